#include "resources/XMLSectionReader.h"

#include "resources/XMLParser.h"
#include "resources/base/StringUtils.h"

namespace Velm {

std::string XMLErrorPlace(const XMLParser* parser) {
    std::string place;
    if (parser == nullptr) return place;
    if (parser->GetLineNumber() > 0) place += FormatString(" on Line %d", parser->GetLineNumber());
    if (!parser->GetFileName().empty()) place += " in File '" + parser->GetFileName() + "'";
    return place;
}

void ReadXMLSections(XMLParser& parser, const std::string& section,
                     const std::function<bool(XMLElement& element)>& readSection, const XMLFail& fail) {
    if (!parser.HadError()) {
        for (;;) {
            XMLElement element;
            if (!parser.NextElement(&element)) break;
            if (element.mType == XMLElement::TYPE_START) {
                if (element.mValue != section) {
                    fail("Invalid Section '" + element.mValue + "'");
                    break;
                }
                if (!readSection(element)) break;
            } else if (element.mType == XMLElement::TYPE_TEXT) {
                fail("Element Not Expected '" + element.mValue + "'");
                break;
            }
        }
    }
    if (parser.HadError()) fail(parser.GetErrorText());
}

bool NextInnerXMLElement(XMLParser& parser, XMLElement& element, const XMLFail& fail) {
    if (parser.NextElement(&element)) return true;
    // The document ended inside an element: a truncated file is an error, not a success.
    if (!parser.HadError()) fail("Unexpected End of File");
    return false;
}

}  // namespace Velm
