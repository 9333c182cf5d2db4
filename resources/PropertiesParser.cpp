#include "resources/PropertiesParser.h"

#include "resources/base/Buffer.h"
#include "resources/base/StringUtils.h"
#include "resources/XMLParser.h"

namespace Velm {

namespace {

std::string IdOf(const XMLElement& element) {
    auto it = element.mAttributes.find("id");
    return it != element.mAttributes.end() ? it->second : std::string();
}

}  // namespace

PropertiesParser::PropertiesParser(PropertiesReceiver* app) : mApp(app) {}

PropertiesParser::~PropertiesParser() {
    delete mXMLParser;
}

bool PropertiesParser::ParsePropertiesBuffer(const Buffer& buffer) {
    delete mXMLParser;
    mXMLParser = new XMLParser;
    mXMLParser->SetStringSource(buffer.UTF8ToWideString());
    return DoParseProperties();
}

void PropertiesParser::Fail(const std::string& message) {
    if (mHasFailed) return;
    mHasFailed = true;
    mError = message;
    if (mXMLParser != nullptr) {
        if (mXMLParser->GetLineNumber() > 0) mError += FormatString(" on Line %d", mXMLParser->GetLineNumber());
        if (!mXMLParser->GetFileName().empty()) mError += " in File '" + mXMLParser->GetFileName() + "'";
    }
}

bool PropertiesParser::DoParseProperties() {
    if (mXMLParser != nullptr && !mXMLParser->HadError()) {
        for (;;) {
            XMLElement element;
            if (!mXMLParser->NextElement(&element)) break;
            if (element.mType == XMLElement::TYPE_START) {
                if (element.mValue != "Properties") {
                    Fail("Invalid Section '" + element.mValue + "'");
                    break;
                }
                if (!ParseProperties()) break;
            } else if (element.mType == XMLElement::TYPE_TEXT) {
                Fail("Element Not Expected '" + element.mValue + "'");
                break;
            }
        }
    }
    if (mXMLParser != nullptr && mXMLParser->HadError()) Fail(mXMLParser->GetErrorText());
    delete mXMLParser;
    mXMLParser = nullptr;
    return !mHasFailed;
}

bool PropertiesParser::NextInner(XMLElement& element) {
    if (mXMLParser->NextElement(&element)) return true;
    // The document ended inside an element: a truncated file is an error,
    // not a success.
    if (!mXMLParser->HadError()) Fail("Unexpected End of File");
    return false;
}

bool PropertiesParser::ParseProperties() {
    for (;;) {
        XMLElement element;
        if (!NextInner(element)) return false;
        if (element.mType == XMLElement::TYPE_END) return true;
        if (element.mType == XMLElement::TYPE_TEXT) {
            Fail("Element Not Expected '" + element.mValue + "'");
            return false;
        }
        if (element.mType != XMLElement::TYPE_START) continue;

        const std::string id = IdOf(element);
        const std::string& tag = element.mValue;
        if (tag == "String") {
            std::string text;
            if (!ReadElementText(text)) return false;
            if (mApp != nullptr) mApp->SetString(id, StringToWideString(text));
        } else if (tag == "StringArray") {
            std::vector<std::string> values;
            if (!ReadStringArray(values)) return false;
            if (mApp != nullptr) mApp->InsertStringArray(id, values);
        } else if (tag == "Boolean") {
            std::string text;
            if (!ReadElementText(text)) return false;
            text = StringToUpper(text);
            bool value;
            if (text == "1" || text == "YES" || text == "ON" || text == "TRUE") {
                value = true;
            } else if (text == "0" || text == "NO" || text == "OFF" || text == "FALSE") {
                value = false;
            } else {
                Fail("Invalid Boolean Value: '" + text + "'");
                return false;
            }
            if (mApp != nullptr) mApp->SetBoolean(id, value);
        } else if (tag == "Integer") {
            std::string text;
            if (!ReadElementText(text)) return false;
            int value = 0;
            if (!StringToInt(text, &value)) {
                Fail("Invalid Integer Value: '" + text + "'");
                return false;
            }
            if (mApp != nullptr) mApp->SetInteger(id, value);
        } else if (tag == "Double") {
            std::string text;
            if (!ReadElementText(text)) return false;
            double value = 0;
            if (!StringToDouble(text, &value)) {
                Fail("Invalid Double Value: '" + text + "'");
                return false;
            }
            if (mApp != nullptr) mApp->SetDouble(id, value);
        } else {
            Fail("Invalid Section '" + tag + "'");
            return false;
        }
    }
}

bool PropertiesParser::ReadElementText(std::string& text) {
    text.clear();
    for (;;) {
        XMLElement element;
        if (!NextInner(element)) return false;
        if (element.mType == XMLElement::TYPE_TEXT) {
            text = element.mValue;
        } else if (element.mType == XMLElement::TYPE_START) {
            Fail("Unexpected Section: '" + element.mValue + "'");
            return false;
        } else if (element.mType == XMLElement::TYPE_END) {
            return true;
        }
    }
}

bool PropertiesParser::ReadStringArray(std::vector<std::string>& values) {
    values.clear();
    for (;;) {
        XMLElement element;
        if (!NextInner(element)) return false;
        if (element.mType == XMLElement::TYPE_START) {
            if (element.mValue != "String") {
                Fail("Invalid Section '" + element.mValue + "'");
                return false;
            }
            std::string text;
            if (!ReadElementText(text)) return false;
            values.push_back(text);
        } else if (element.mType == XMLElement::TYPE_TEXT) {
            Fail("Element Not Expected '" + element.mValue + "'");
            return false;
        } else if (element.mType == XMLElement::TYPE_END) {
            return true;
        }
    }
}

}  // namespace Velm
