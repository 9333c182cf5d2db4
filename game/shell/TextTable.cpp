#include "game/shell/TextTable.h"

#include "engine/util/IniFile.h"
#include "resources/base/StringUtils.h"

namespace {
TextTable_t* gTextTable = nullptr;
}  // namespace

TextTable_t* TextTable_t::Instance() {
    if (gTextTable == nullptr) gTextTable = new TextTable_t();
    return gTextTable;
}

void TextTable_t::Destroy() {
    delete gTextTable;
    gTextTable = nullptr;
}

bool TextTable_t::Load(const std::string& fileName) {
    IniFile_t terms;
    terms.Load(fileName, true);
    return Load(terms);
}

bool TextTable_t::Load(const IniFile_t& terms) {
    if (terms.GetSectionCount() == 0) {
        // No terms at all: the framework's own properties file holds the texts.
        if (mStringTable != nullptr) mStringTable->LoadProperties("default.xml");
        return true;
    }
    for (auto section = terms.SectionsBegin(); section != terms.SectionsEnd(); ++section) {
        for (auto key = section->second.KeysBegin(); key != section->second.KeysEnd(); ++key) {
            mTexts[key->first] = Velm::TrimString(key->second.value);
        }
    }
    return true;
}

std::string TextTable_t::Lookup(const std::string& key) const {
    const auto it = mTexts.find(key);
    if (it != mTexts.end()) return it->second;
    std::string text = mStringTable != nullptr ? mStringTable->GetString(key) : std::string();
    return text.empty() ? key : text;
}
