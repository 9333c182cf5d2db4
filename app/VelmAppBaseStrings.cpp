// The string table and the property tables a properties file fills.

#include "app/VelmAppBase.h"
#include "resources/ResourceManager.h"

namespace Velm {

void VelmAppBase::SetString(const std::string& id, const std::wstring& text) { mStringProperties[id] = text; }

void VelmAppBase::SetBoolean(const std::string& name, bool value) { mBoolProperties[name] = value; }

void VelmAppBase::SetInteger(const std::string& name, int value) { mIntProperties[name] = value; }

void VelmAppBase::SetDouble(const std::string& name, double value) { mDoubleProperties[name] = value; }

void VelmAppBase::InsertStringArray(const std::string& name, const std::vector<std::string>& values) {
    // The first list stored under a name stays.
    if (mStringVectorProperties.count(name) != 0) return;
    std::vector<std::wstring>& list = mStringVectorProperties[name];
    for (const std::string& value : values) list.push_back(StringToWideString(value));
}

std::string VelmAppBase::GetString(const std::string& id) {
    std::map<std::string, std::wstring>::const_iterator it = mStringProperties.find(id);
    return it == mStringProperties.end() ? std::string() : WideStringToString(it->second);
}

std::string VelmAppBase::GetStringWithDefault(const std::string& id, const std::string& defaultText) {
    std::map<std::string, std::wstring>::const_iterator it = mStringProperties.find(id);
    return it == mStringProperties.end() ? defaultText : WideStringToString(it->second);
}

bool VelmAppBase::GetBoolean(const std::string& name, bool defaultValue) {
    std::map<std::string, bool>::const_iterator it = mBoolProperties.find(name);
    return it == mBoolProperties.end() ? defaultValue : it->second;
}

int VelmAppBase::GetInteger(const std::string& name, int defaultValue) {
    std::map<std::string, int>::const_iterator it = mIntProperties.find(name);
    return it == mIntProperties.end() ? defaultValue : it->second;
}

double VelmAppBase::GetDouble(const std::string& name, double defaultValue) {
    std::map<std::string, double>::const_iterator it = mDoubleProperties.find(name);
    return it == mDoubleProperties.end() ? defaultValue : it->second;
}

const std::vector<std::wstring>* VelmAppBase::GetStringVector(const std::string& name) {
    std::map<std::string, std::vector<std::wstring>>::const_iterator it = mStringVectorProperties.find(name);
    return it == mStringVectorProperties.end() ? nullptr : &it->second;
}

bool VelmAppBase::LoadProperties(const std::string& file, bool required, bool checkSignature) {
    Buffer buffer;
    if (!ReadBufferFromFile(file, buffer)) {
        if (!required) return true;
        Popup(GetStringWithDefault("UNABLE_OPEN_PROPERTIES", "Unable to open properties file ") + file);
        return false;
    }
    if (checkSignature && !CheckSignature(buffer, file)) {
        Popup(GetStringWithDefault("PROPERTIES_SIG_FAILED", "Signature check failed on ") + file + "'");
        return false;
    }
    PropertiesParser parser(this);
    if (!parser.ParsePropertiesBuffer(buffer)) {
        Popup(parser.GetErrorText());
        return false;
    }
    return true;
}

void VelmAppBase::LoadResourceManifest() {
    if (!mResourceManager->ParseResourcesFile("properties\\resources.xml")) ShowResourceError(true);
}

void VelmAppBase::ShowResourceError(bool exit) {
    Popup(mResourceManager->GetErrorText());
    if (exit) RestoreDisplayAndExit(1);
}

}  // namespace Velm
