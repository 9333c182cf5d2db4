#include "resources/PropertiesParser.h"

#include "resources/XMLParser.h"
#include "resources/XMLSectionReader.h"
#include "resources/base/Buffer.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {

std::string IdOf(const XMLElement& element) {
    auto it = element.mAttributes.find("id");
    return it != element.mAttributes.end() ? it->second : std::string();
}

}  // namespace

PropertiesParser::PropertiesParser(PropertiesReceiver* app) : mApp(app) {}

PropertiesParser::~PropertiesParser() = default;

bool PropertiesParser::ParsePropertiesBuffer(const Buffer& buffer) {
    mXMLParser = std::make_unique<XMLParser>();
    mXMLParser->SetStringSource(buffer.UTF8ToWideString());
    return DoParseProperties();
}

void PropertiesParser::Fail(const std::string& message) {
    if (mHasFailed) return;
    mHasFailed = true;
    mError = message + XMLErrorPlace(mXMLParser.get());
}

bool PropertiesParser::DoParseProperties() {
    if (mXMLParser != nullptr)
        ReadXMLSections(
                *mXMLParser, "Properties", [this](XMLElement&) { return ParseProperties(); },
                [this](const std::string& message) { Fail(message); });
    mXMLParser.reset();
    return !mHasFailed;
}

bool PropertiesParser::NextInner(XMLElement& element) {
    return NextInnerXMLElement(*mXMLParser, element, [this](const std::string& message) { Fail(message); });
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
