#pragma once

// Reads a properties document, a small XML file of named values, into the
// application's typed tables:
//
//   <Properties>
//     <String id="UNABLE_OPEN_PROPERTIES">Unable to open properties file</String>
//     <StringArray id="NAMES"><String>a</String><String>b</String></StringArray>
//     <Boolean id="FLAG">yes</Boolean>        1 YES ON TRUE / 0 NO OFF FALSE, any case
//     <Integer id="COUNT">0x1F</Integer>      decimal or 0x hexadecimal
//     <Double id="RATE">-1.25</Double>        no exponent
//   </Properties>
//
// Several "Properties" elements may follow each other. The first error stops
// the parse; its text carries " on Line n" (and " in File '...'" for a named
// source). Values stored before an error stay stored. Runs on the main thread.

#include <memory>
#include <string>
#include <vector>

namespace Velm {

class Buffer;
class XMLElement;
class XMLParser;

// The tables a properties document fills; the application object provides them.
class PropertiesReceiver {
public:
    virtual void SetString(const std::string& id, const std::wstring& text) = 0;
    virtual void SetBoolean(const std::string& id, bool value) = 0;
    virtual void SetInteger(const std::string& id, int value) = 0;
    virtual void SetDouble(const std::string& id, double value) = 0;
    // Stores the list unless the id already holds one: the first list stays.
    virtual void InsertStringArray(const std::string& id, const std::vector<std::string>& values) = 0;

protected:
    ~PropertiesReceiver() = default;
};

class PropertiesParser {
public:
    explicit PropertiesParser(PropertiesReceiver* app);
    virtual ~PropertiesParser();
    PropertiesParser(const PropertiesParser&) = delete;
    PropertiesParser& operator=(const PropertiesParser&) = delete;

    // Parses the buffer's bytes decoded as UTF-8. True when no error occurred.
    bool ParsePropertiesBuffer(const Buffer& buffer);
    std::string GetErrorText() const { return mError; }
    bool HadError() const { return mHasFailed; }

protected:
    bool DoParseProperties();
    bool ParseProperties();
    bool ReadElementText(std::string& text);
    bool ReadStringArray(std::vector<std::string>& values);
    void Fail(const std::string& message);
    // The next token inside an element; the end of the document there fails.
    bool NextInner(XMLElement& element);

private:
    PropertiesReceiver* mApp;
    std::unique_ptr<XMLParser> mXMLParser;
    std::string mError;
    bool mHasFailed = false;
};

}  // namespace Velm
