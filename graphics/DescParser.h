#pragma once

#include <map>
#include <string>
#include <vector>

#include "graphics/DataElement.h"

namespace Velm {

// Reader of the font descriptor command language. A descriptor file is a sequence of
// commands ended by ';' (or the end of the file); a line whose first non-blank character is
// '#' is a comment. Each command is split into tokens and parenthesised lists; tokens are
// separated by blanks, line breaks and ','. Single or double quotes keep separators inside a
// token, and a backslash inside quotes escapes the next character. A token that starts with
// a digit, '-', '+' or a quote is an immediate; any other token is a name that may stand for
// a define (names are case-insensitive).
//
// What a command does is left to a derived class (HandleCommand). Errors go through the
// virtual Error, which returns false so that the failing command ends the load. The file is
// read through the pack-aware file functions. One parser per load; not thread-safe.
class DescParser {
public:
    int flags = 1;  // bit 0: a ';' outside quotes ends a command
    std::string error;
    int currentLine = 0;                          // line (from 1) where the command being handled starts
    std::string currentCommand;                   // text of the command being handled
    std::map<std::string, DataElement*> defines;  // keys upper-cased; values owned

    DescParser();
    DescParser(const DescParser&) = delete;
    DescParser& operator=(const DescParser&) = delete;

    // Records the message and returns false.
    virtual bool Error(const std::string& message);
    // The define of that name (any case), or null; stays owned by the parser.
    virtual DataElement* Dereference(const std::string& name);
    // Receives the whole command, its name as the first item; false stops the load.
    virtual bool HandleCommand(ListDataElement* command) = 0;
    virtual ~DescParser();

    // False when the file cannot be opened (nothing reported) or a command failed.
    bool LoadDescriptor(const std::string& path);
    bool ProcessCommandText(const std::string& text);
    // position (optional, shared by nested calls) is the index of the next character.
    bool ParseToList(const std::string& text, ListDataElement* out, bool inList, int* position);
    // Copies source into out with quoted tokens unquoted and names replaced by copies of
    // their defines.
    bool ResolveList(ListDataElement* source, ListDataElement* out);
    bool GetListValue(DataElement* value, ListDataElement* out);
    bool GetStringValue(DataElement* value, std::string* out);
    bool GetStringVector(DataElement* value, std::vector<std::string>* out);
    bool GetIntVector(DataElement* value, std::vector<int>* out);
    bool GetDoubleVector(DataElement* value, std::vector<double>* out);
    std::string DataElementToString(DataElement* value);
    // Drops enclosing quotes; two quote characters in a row inside stand for one.
    std::string Unquote(const std::string& token);
    bool IsImmediate(const std::string& token);

protected:
    // Stores value under the upper-cased name, deleting an earlier value.
    void SetDefine(const std::string& name, DataElement* value);
    void RemoveDefine(const std::string& name);
    static std::string UpperName(const std::string& name);
};

}  // namespace Velm
