#include "resources/ResourceManager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "resources/ResourceImageSource.h"
#include "resources/XMLParser.h"
#include "resources/XMLSectionReader.h"
#include "resources/base/Paths.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {

using Attributes = std::map<std::string, std::string>;

bool Has(const Attributes& attributes, const char* name) { return attributes.find(name) != attributes.end(); }

const std::string* Find(const Attributes& attributes, const char* name) {
    auto it = attributes.find(name);
    return it != attributes.end() ? &it->second : nullptr;
}

int AtoI(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<int>(std::max<long>(std::min<long>(value, 0x7FFFFFFF), -0x7FFFFFFF - 1));
}

// "1,2,3": each item read like atoi.
std::vector<int> IntList(const std::string& text) {
    std::vector<int> out;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        out.push_back(AtoI(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

// The error of a count attribute above its limit.
std::string TooMany(const char* attribute, int limit) {
    return std::string("Too many ") + attribute + " (at most " + std::to_string(limit) + ").";
}

std::string WithoutTrailingSeparator(const std::string& text) {
    if (!text.empty() && (text.back() == '/' || text.back() == '\\')) return text.substr(0, text.size() - 1);
    return text;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

bool ResourceManager::NameLessNoCase::operator()(const std::string& a, const std::string& b) const {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(Lower(a[i]));
        const unsigned char cb = static_cast<unsigned char>(Lower(b[i]));
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

ResourceManager::ResourceManager(VelmAppBase* app) : mApp(app), mOwnImageCache(new MemoryImageCache) {
    mImageSource = mOwnImageCache.get();
}

ResourceManager::~ResourceManager() {
    // Loaded objects go before the image cache they may come from.
    DestroyResourceMap(mImageMap);
    DestroyResourceMap(mSoundMap);
    DestroyResourceMap(mFontMap);
    mResGroupMap.clear();
}

const ResourceManager::ImageRes* ResourceManager::GetImageRes(const std::string& id) const {
    auto it = mImageMap.find(id);
    return it != mImageMap.end() ? static_cast<const ImageRes*>(it->second.get()) : nullptr;
}

const ResourceManager::SoundRes* ResourceManager::GetSoundRes(const std::string& id) const {
    auto it = mSoundMap.find(id);
    return it != mSoundMap.end() ? static_cast<const SoundRes*>(it->second.get()) : nullptr;
}

const ResourceManager::FontRes* ResourceManager::GetFontRes(const std::string& id) const {
    auto it = mFontMap.find(id);
    return it != mFontMap.end() ? static_cast<const FontRes*>(it->second.get()) : nullptr;
}

const ResourceManager::ResList* ResourceManager::GetGroupList(const std::string& group) const {
    auto it = mResGroupMap.find(group);
    return it != mResGroupMap.end() ? &it->second : nullptr;
}

bool ResourceManager::Fail(const std::string& message) {
    if (!mHasFailed) {
        mHasFailed = true;
        mError = message + XMLErrorPlace(mXMLParser.get());
    }
    return false;
}

bool ResourceManager::ParseResourcesFile(const std::string& fileName) {
    mXMLParser = std::make_unique<XMLParser>();
    if (!mXMLParser->OpenFile(fileName)) Fail("Resource file not found: " + fileName);
    return ParseManifest();
}

bool ResourceManager::ParseResourcesBuffer(const std::string& bytes, const std::string& origin) {
    mXMLParser = std::make_unique<XMLParser>();
    mXMLParser->SetBytesSource(bytes, origin);
    return ParseManifest();
}

bool ResourceManager::ParseManifest() {
    while (!mXMLParser->HadError()) {
        XMLElement element;
        if (!mXMLParser->NextElement(&element)) {
            if (mXMLParser->HadError()) Fail(mXMLParser->GetErrorText());
            break;
        }
        if (element.mType == XMLElement::TYPE_START) {
            if (element.mValue == "ResourceManifest") return DoParseResources();
            break;
        }
    }
    Fail("Expecting ResourceManifest tag");
    return DoParseResources();
}

bool ResourceManager::NextInner(XMLElement& element) {
    return NextInnerXMLElement(*mXMLParser, element, [this](const std::string& message) { Fail(message); });
}

bool ResourceManager::DoParseResources() {
    if (mXMLParser != nullptr)
        ReadXMLSections(
                *mXMLParser, "Resources",
                [this](XMLElement& element) {
                    const std::string* id = Find(element.mAttributes, "id");
                    if (id == nullptr || id->empty()) return Fail("No id specified.");
                    mCurResGroup = *id;
                    mCurResGroupList = &mResGroupMap[mCurResGroup];
                    return ParseResources();
                },
                [this](const std::string& message) { Fail(message); });
    mXMLParser.reset();
    // The list pointer served the parse; no group is being loaded yet.
    mCurResGroupList = nullptr;
    return !mHasFailed;
}

bool ResourceManager::ParseResources() {
    for (;;) {
        XMLElement element;
        if (!NextInner(element)) return false;
        if (element.mType == XMLElement::TYPE_START) {
            bool ok;
            if (element.mValue == "Image")
                ok = ParseImageResource(element);
            else if (element.mValue == "Sound")
                ok = ParseSoundResource(element);
            else if (element.mValue == "Font")
                ok = ParseFontResource(element);
            else if (element.mValue == "SetDefaults")
                ok = ParseSetDefaults(element);
            else
                return Fail("Invalid Section '" + element.mValue + "'");
            if (!ok) return false;
            XMLElement end;
            if (!NextInner(end)) return false;
            if (end.mType != XMLElement::TYPE_END) return Fail("Unexpected element found.");
        } else if (element.mType == XMLElement::TYPE_TEXT) {
            return Fail("Element Not Expected '" + element.mValue + "'");
        } else if (element.mType == XMLElement::TYPE_END) {
            return true;
        }
    }
}

bool ResourceManager::ParseSetDefaults(XMLElement& element) {
    if (const std::string* path = Find(element.mAttributes, "path")) {
        // An empty path resets the default; it must not turn later paths
        // into absolute ones.
        const std::string folder = WithoutTrailingSeparator(*path);
        mDefaultPath = folder.empty() ? std::string() : folder + "/";
    }
    if (const std::string* prefix = Find(element.mAttributes, "idprefix")) {
        mDefaultIdPrefix = WithoutTrailingSeparator(*prefix);
    }
    return true;
}

bool ResourceManager::ParseCommonResource(XMLElement& element, std::unique_ptr<BaseRes>& res, ResMap& map) {
    const std::string* path = Find(element.mAttributes, "path");
    if (path == nullptr || path->empty()) return Fail("No path specified.");

    res->mXMLAttributes = element.mAttributes;
    res->mFromProgram = *path == "!program";
    res->mPath = (*path)[0] == '!' ? *path : mDefaultPath + *path;

    const std::string* id = Find(element.mAttributes, "id");
    res->mId = mDefaultIdPrefix + (id != nullptr ? *id : GetFileName(res->mPath, true));
    res->mResGroup = mCurResGroup;

    auto inserted = map.emplace(res->mId, nullptr);
    if (!inserted.second) return Fail("Resource already defined.");
    inserted.first->second = std::move(res);
    if (mCurResGroupList != nullptr) mCurResGroupList->push_back(inserted.first->second.get());
    return true;
}

bool ResourceManager::ParseImageResource(XMLElement& element) {
    std::unique_ptr<BaseRes> owned(new ImageRes);
    ImageRes* res = static_cast<ImageRes*>(owned.get());
    res->mType = ResType_Image;
    if (!ParseCommonResource(element, owned, mImageMap)) return false;

    const Attributes& a = element.mAttributes;
    res->mPalletize = !Has(a, "nopal");
    res->mA4R4G4B4 = Has(a, "a4r4g4b4");
    res->mA8R8G8B8 = Has(a, "a8r8g8b8");
    res->mDDSurface = Has(a, "ddsurface");
    res->mMinimizeSubdivisions = Has(a, "minsubdivide");
    const bool is3D = Is3DAccelerated();
    res->mPurgeBits = Has(a, "nobits") || (Has(a, "nobits3d") && is3D) || (Has(a, "nobits2d") && !is3D);
    if (const std::string* v = Find(a, "alphaimage")) res->mAlphaImage = mDefaultPath + *v;
    if (const std::string* v = Find(a, "alphacolor")) {
        unsigned color = 0;
        if (std::sscanf(v->c_str(), "%x", &color) == 1) res->mAlphaColor = color;
    }
    if (const std::string* v = Find(a, "alphagrid")) res->mAlphaGridImage = mDefaultPath + *v;
    if (const std::string* v = Find(a, "variant")) res->mVariant = *v;
    // A grid of 0 cels (a typo) would divide by zero later: at least one. A
    // side of more than kMaxCels is refused: its frame tables could take
    // gigabytes.
    const std::pair<const char*, int*> grid[] = {{"rows", &res->mRows}, {"cols", &res->mCols}};
    for (const auto& side : grid) {
        const std::string* v = Find(a, side.first);
        if (v == nullptr) continue;
        const int cels = AtoI(*v);
        if (cels > CelAnimation::kMaxCels) return Fail(TooMany(side.first, CelAnimation::kMaxCels));
        *side.second = std::max(1, cels);
    }

    int animType = CelAnimation::None;
    if (const std::string* v = Find(a, "anim")) {
        const std::string word = StringToLower(*v);
        if (word == "none")
            animType = CelAnimation::None;
        else if (word == "once")
            animType = CelAnimation::Once;
        else if (word == "loop")
            animType = CelAnimation::Loop;
        else if (word == "pingpong")
            animType = CelAnimation::PingPong;
        else
            return Fail("Invalid animation type.");
    }
    if (animType != CelAnimation::None) {
        CelAnimation& anim = res->mAnimInfo;
        anim.type = animType;
        const std::string* frameDelay = Find(a, "framedelay");
        anim.frameDelay = frameDelay != nullptr ? AtoI(*frameDelay) : 1;
        const std::pair<const char*, std::vector<int>*> lists[] = {{"perframedelay", &anim.perFrameDelay},
                                                                   {"framemap", &anim.frameMap}};
        for (const auto& list : lists) {
            const std::string* v = Find(a, list.first);
            if (v == nullptr) continue;
            *list.second = IntList(*v);
            if (list.second->size() > static_cast<size_t>(CelAnimation::kMaxFrames)) {
                return Fail(TooMany(list.first, CelAnimation::kMaxFrames));
            }
        }
        const std::string* begin = Find(a, "begindelay");
        const std::string* end = Find(a, "enddelay");
        anim.Compute(std::max(res->mRows, res->mCols), begin != nullptr ? AtoI(*begin) : 0,
                     end != nullptr ? AtoI(*end) : 0);
    }
    return true;
}

bool ResourceManager::ParseSoundResource(XMLElement& element) {
    std::unique_ptr<BaseRes> owned(new SoundRes);
    SoundRes* res = static_cast<SoundRes*>(owned.get());
    res->mType = ResType_Sound;
    if (!ParseCommonResource(element, owned, mSoundMap)) return false;
    if (const std::string* v = Find(element.mAttributes, "volume")) {
        double volume = 0;
        if (std::sscanf(v->c_str(), "%lf", &volume) == 1) res->mVolume = volume;
    }
    if (const std::string* v = Find(element.mAttributes, "pan")) {
        int pan = 0;
        if (std::sscanf(v->c_str(), "%d", &pan) == 1) res->mPanning = pan;
    }
    return true;
}

bool ResourceManager::ParseFontResource(XMLElement& element) {
    std::unique_ptr<BaseRes> owned(new FontRes);
    FontRes* res = static_cast<FontRes*>(owned.get());
    res->mType = ResType_Font;
    if (!ParseCommonResource(element, owned, mFontMap)) return false;
    const Attributes& a = element.mAttributes;
    if (const std::string* v = Find(a, "image")) res->mImagePath = *v;
    if (const std::string* v = Find(a, "tags")) res->mTags = *v;
    res->mBold = Has(a, "bold");
    res->mItalic = Has(a, "italic");
    res->mUnderline = Has(a, "underline");
    res->mShadow = Has(a, "shadow");
    if (const std::string* v = Find(a, "size")) res->mSize = AtoI(*v);
    if (res->mPath.compare(0, 5, "!sys:") == 0) {
        res->mSysFont = true;
        if (res->mSize < 1) return Fail("SysFont needs point size");
    }
    return true;
}

}  // namespace Velm
