#pragma once

#include <functional>
#include <string>

namespace Velm {

class XMLElement;
class XMLParser;

// The reading shared by the properties reader and the resource manifest reader:
// a document whose top level is a run of elements of one section name, failures
// reported once through the reader's own Fail.

using XMLFail = std::function<void(const std::string& message)>;

// Where the parser stands, to follow an error message: " on Line <n>" once a line
// has been read, and " in File '<name>'" when it reads a file. Empty without a parser.
std::string XMLErrorPlace(const XMLParser* parser);

// Reads the top level until the document ends: each start of a `section` element
// goes to `readSection` (false stops the reading); the start of any other element
// fails with "Invalid Section '<name>'" and top-level text with "Element Not
// Expected '<text>'", both stopping the reading. An error of the parser itself,
// before or during the reading, fails with the parser's own text.
void ReadXMLSections(XMLParser& parser, const std::string& section,
                     const std::function<bool(XMLElement& element)>& readSection, const XMLFail& fail);

// The next token inside an element. False at the end of the document, which
// fails with "Unexpected End of File" unless the parser already has an error.
bool NextInnerXMLElement(XMLParser& parser, XMLElement& element, const XMLFail& fail);

}  // namespace Velm
