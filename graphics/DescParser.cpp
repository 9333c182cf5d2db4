#include "graphics/DescParser.h"

#include <cctype>

#include "resources/base/StringUtils.h"
#include "resources/pack/PakFile.h"

namespace Velm {

DescParser::DescParser() = default;

DescParser::~DescParser() {
    for (auto& entry : defines) delete entry.second;
}

std::string DescParser::UpperName(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool DescParser::Error(const std::string& message) {
    error = message;
    return false;
}

DataElement* DescParser::Dereference(const std::string& name) {
    auto it = defines.find(UpperName(name));
    return it != defines.end() ? it->second : nullptr;
}

void DescParser::SetDefine(const std::string& name, DataElement* value) {
    DataElement*& slot = defines[UpperName(name)];
    delete slot;
    slot = value;
}

void DescParser::RemoveDefine(const std::string& name) {
    auto it = defines.find(UpperName(name));
    if (it == defines.end()) return;
    delete it->second;
    defines.erase(it);
}

bool DescParser::LoadDescriptor(const std::string& path) {
    error.clear();
    PakFileHandle* file = PakFOpen(path.c_str(), "r");
    if (file == nullptr) return false;

    bool ok = true;
    int newlines = 0;
    bool atEnd = false;
    while (!atEnd) {
        std::string text;
        bool lineStart = true;
        bool comment = false;
        bool singleQuote = false;
        bool doubleQuote = false;
        bool backslash = false;
        auto append = [&](char c) {
            if (text.empty()) currentLine = newlines + 1;
            text += c;
        };
        auto appendPending = [&](char c) {
            if (backslash) append('\\');
            backslash = false;
            append(c);
        };
        for (;;) {
            const int read = PakFGetC(file);
            if (read < 0) {
                atEnd = true;
                break;
            }
            const char c = static_cast<char>(read);
            if (c == '\r') continue;
            if (c == '\n') ++newlines;
            if (lineStart) {
                if (c == ' ' || c == '\t' || c == '\n') continue;
                lineStart = false;
                if (c == '#') {
                    comment = true;
                    continue;
                }
            }
            if (c == '\n') {
                lineStart = true;
                if (comment)
                    comment = false;
                else
                    appendPending(c);
                continue;
            }
            if (comment) continue;
            const bool inQuotes = singleQuote || doubleQuote;
            if (c == '\\') {
                if (!inQuotes) {
                    append(c);
                } else if (backslash) {
                    append('\\');
                    append('\\');
                    backslash = false;
                } else {
                    backslash = true;
                }
                continue;
            }
            if (c == '\'' || c == '"') {
                const bool ordinary = (c == '\'' && doubleQuote) || (c == '"' && singleQuote);
                if (ordinary || backslash) {
                    appendPending(c);
                } else {
                    if (c == '\'')
                        singleQuote = !singleQuote;
                    else
                        doubleQuote = !doubleQuote;
                    append(c);
                }
                continue;
            }
            if (c == ';' && !inQuotes && (flags & 1) != 0) break;
            appendPending(c);
        }
        if (!text.empty() && !ProcessCommandText(text)) {
            ok = false;
            break;
        }
    }
    currentCommand.clear();
    currentLine = 0;
    PakFClose(file);
    return ok;
}

bool DescParser::ProcessCommandText(const std::string& text) {
    currentCommand = text;
    ListDataElement command;
    int position = 0;
    if (!ParseToList(text, &command, false, &position)) return false;
    if (command.items.empty()) return true;
    if (command.items[0]->isList) return Error("Missing Command");
    return HandleCommand(&command);
}

bool DescParser::ParseToList(const std::string& text, ListDataElement* out, bool inList, int* position) {
    int localPosition = 0;
    int& pos = position != nullptr ? *position : localPosition;
    bool singleQuote = false;
    bool doubleQuote = false;
    bool escape = false;
    SingleDataElement* token = nullptr;
    auto add = [&](char c) {
        if (token == nullptr) {
            token = new SingleDataElement();
            out->items.push_back(token);
        }
        token->value += c;
    };
    const int size = static_cast<int>(text.size());
    while (pos < size) {
        const char c = text[static_cast<size_t>(pos++)];
        if (escape) {
            add(c);
            escape = false;
            continue;
        }
        if (c == '\'') {
            if (!doubleQuote) singleQuote = !singleQuote;
            add(c);
            continue;
        }
        if (c == '"') {
            if (!singleQuote) doubleQuote = !doubleQuote;
            add(c);
            continue;
        }
        if (c == '\\') {
            escape = true;
            continue;
        }
        if (singleQuote || doubleQuote) {
            add(c);
            continue;
        }
        if (c == ')') {
            if (inList) return true;
            return Error("Unexpected List End");
        }
        if (c == '(') {
            if (token != nullptr) return Error("Unexpected List Start");
            ListDataElement* list = new ListDataElement();
            out->items.push_back(list);
            if (!ParseToList(text, list, true, &pos)) return false;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\n' || c == ',') {
            token = nullptr;
            continue;
        }
        add(c);
    }
    if (singleQuote) return Error("Unterminated Single Quotes");
    if (doubleQuote) return Error("Unterminated Double Quotes");
    if (inList) return Error("Unterminated List");
    return true;
}

bool DescParser::IsImmediate(const std::string& token) {
    if (token.empty()) return false;
    const char c = token[0];
    return std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '+' || c == '\'' || c == '"';
}

std::string DescParser::Unquote(const std::string& token) {
    if (token.empty() || (token[0] != '\'' && token[0] != '"')) return token;
    const char quote = token[0];
    std::string result;
    bool afterQuote = false;
    for (char c : token) {
        if (c != quote) {
            result += c;
            afterQuote = false;
        } else if (afterQuote) {
            result += c;
        } else {
            afterQuote = true;
        }
    }
    return result;
}

bool DescParser::ResolveList(ListDataElement* source, ListDataElement* out) {
    out->Clear();
    for (DataElement* item : source->items) {
        if (item->isList) {
            ListDataElement* list = new ListDataElement();
            out->items.push_back(list);
            if (!ResolveList(static_cast<ListDataElement*>(item), list)) return false;
            continue;
        }
        const std::string& value = static_cast<SingleDataElement*>(item)->value;
        if (IsImmediate(value)) {
            out->items.push_back(new SingleDataElement(Unquote(value)));
            continue;
        }
        DataElement* defined = Dereference(value);
        if (defined == nullptr) return Error("Unable to Dereference \"" + value + "\"");
        out->items.push_back(defined->Duplicate());
    }
    return true;
}

bool DescParser::GetListValue(DataElement* value, ListDataElement* out) {
    if (value->isList) return ResolveList(static_cast<ListDataElement*>(value), out);
    DataElement* defined = Dereference(static_cast<SingleDataElement*>(value)->value);
    if (defined == nullptr || !defined->isList) return false;
    *out = *static_cast<ListDataElement*>(defined);
    return true;
}

bool DescParser::GetStringValue(DataElement* value, std::string* out) {
    out->clear();
    if (value->isList) return false;
    const std::string& text = static_cast<SingleDataElement*>(value)->value;
    DataElement* defined = Dereference(text);
    if (defined != nullptr) {
        if (defined->isList) return false;
        *out = Unquote(static_cast<SingleDataElement*>(defined)->value);
        return true;
    }
    *out = Unquote(text);
    return true;
}

bool DescParser::GetStringVector(DataElement* value, std::vector<std::string>* out) {
    out->clear();
    ListDataElement list;
    if (value->isList) {
        if (!ResolveList(static_cast<ListDataElement*>(value), &list)) return false;
    } else {
        const std::string& name = static_cast<SingleDataElement*>(value)->value;
        DataElement* defined = Dereference(name);
        if (defined == nullptr) return Error("Unable to Dereference \"" + name + "\"");
        if (!defined->isList) return false;
        list = *static_cast<ListDataElement*>(defined);
    }
    for (DataElement* item : list.items) {
        if (item->isList) {
            out->clear();
            return false;
        }
        out->push_back(static_cast<SingleDataElement*>(item)->value);
    }
    return true;
}

bool DescParser::GetIntVector(DataElement* value, std::vector<int>* out) {
    std::vector<std::string> texts;
    if (!GetStringVector(value, &texts)) return false;
    for (const std::string& text : texts) {
        int number = 0;
        if (!StringToInt(text, &number)) return false;
        out->push_back(number);
    }
    return true;
}

bool DescParser::GetDoubleVector(DataElement* value, std::vector<double>* out) {
    std::vector<std::string> texts;
    if (!GetStringVector(value, &texts)) return false;
    for (const std::string& text : texts) {
        double number = 0;
        if (!StringToDouble(text, &number)) return false;
        out->push_back(number);
    }
    return true;
}

std::string DescParser::DataElementToString(DataElement* value) {
    if (!value->isList) return static_cast<SingleDataElement*>(value)->value;
    std::string text = "(";
    const ListDataElement* list = static_cast<ListDataElement*>(value);
    for (size_t i = 0; i < list->items.size(); ++i) {
        if (i > 0) text += ", ";
        text += DataElementToString(list->items[i]);
    }
    return text + ")";
}

}  // namespace Velm
