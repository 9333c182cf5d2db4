#pragma once

// The resource manifest ("properties\resources.xml") and its records: every
// image, sound and font the game loads is named by a string id and belongs to
// a resource group that is loaded as a whole.
//
// Manifest format:
//   <ResourceManifest>
//     <Resources id="Init">                      a group; "id" is required
//       <SetDefaults path="images" idprefix="IMAGE_"/>
//       <Image path="logo" rows="1" cols="4" anim="loop" framedelay="5"/>
//       <Sound path="!program" id="CLICK" volume="0.5" pan="-200"/>
//       <Font path="!sys:Arial" id="SMALL" size="12" bold/>
//     </Resources>
//   </ResourceManifest>
// Each resource element must be empty. A path that begins with '!' is used as
// written; any other gets the default path in front. Without "id" the id is
// the file name without folder and last extension. Ids are case-sensitive;
// group names compare case-insensitively.
//
// This class reads the manifest into records; loading and lookup of the
// resources themselves build on these records. The first error is kept with
// " on Line n" and " in File '...'" while a manifest is read. Not thread-safe:
// the manifest is read once, on the thread that owns the manager.

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "graphics/CelAnimation.h"

namespace Velm {

class VelmAppBase;
class XMLElement;
class XMLParser;

class ResourceManager {
public:
    enum ResType { ResType_Image = 0, ResType_Sound = 1, ResType_Font = 2 };

    class BaseRes {
    public:
        virtual ~BaseRes() = default;
        // Releases the loaded object; nothing is loaded in the base.
        virtual void DeleteResource() {}

        int mType = ResType_Image;
        std::string mId;
        std::string mResGroup;  // the "id" of the enclosing "Resources", as written
        std::string mPath;      // full path: default path in front unless it began with '!'
        std::map<std::string, std::string> mXMLAttributes;  // every attribute of the element
        bool mFromProgram = false;  // path "!program": made by the program, never loaded
    };

    class ImageRes : public BaseRes {
    public:
        std::string mAlphaImage;      // default path in front
        std::string mAlphaGridImage;  // default path in front
        std::string mVariant;
        bool mPalletize = true;  // false with "nopal"
        bool mA4R4G4B4 = false;
        bool mA8R8G8B8 = false;
        bool mDDSurface = false;
        bool mPurgeBits = false;  // "nobits", or "nobits3d"/"nobits2d" matching the 3D state
        bool mMinimizeSubdivisions = false;
        int mRows = 1;  // at least 1
        int mCols = 1;  // at least 1
        uint32_t mAlphaColor = 0xFFFFFF;
        CelAnimation mAnimInfo;  // type 0 when not animated
    };

    class SoundRes : public BaseRes {
    public:
        int mSoundId = -1;     // -1 until loaded
        double mVolume = -1;   // -1: no volume set
        int mPanning = 0;
    };

    class FontRes : public BaseRes {
    public:
        std::string mImagePath;  // the "image" value as written
        std::string mTags;
        bool mSysFont = false;  // path "!sys:" + face name
        bool mBold = false;
        bool mItalic = false;
        bool mUnderline = false;
        bool mShadow = false;
        int mSize = 0;  // point size of a system font
    };

    struct NameLessNoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using ResMap = std::map<std::string, std::unique_ptr<BaseRes>>;
    using ResList = std::list<BaseRes*>;  // records owned by the id maps
    using ResGroupMap = std::map<std::string, ResList, NameLessNoCase>;

    explicit ResourceManager(VelmAppBase* app = nullptr);
    virtual ~ResourceManager();
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // Reads the manifest through the pack-aware file functions.
    bool ParseResourcesFile(const std::string& fileName);
    // Reads a manifest held in memory; origin names it in error texts.
    bool ParseResourcesBuffer(const std::string& bytes, const std::string& origin);

    // Whether hardware 3D is on when the manifest is read ("nobits3d",
    // "nobits2d"); without a query the drawing is taken as software.
    void SetIs3DAcceleratedQuery(std::function<bool()> query) { mIs3DQuery = std::move(query); }

    // Records by id (case-sensitive), or null.
    const ImageRes* GetImageRes(const std::string& id) const;
    const SoundRes* GetSoundRes(const std::string& id) const;
    const FontRes* GetFontRes(const std::string& id) const;
    // The records of a group in manifest order, or null for an unknown group.
    const ResList* GetGroupList(const std::string& group) const;

    bool Fail(const std::string& message);
    std::string GetErrorText() const { return mError; }
    bool HadError() const { return mHasFailed; }

protected:
    bool DoParseResources();
    virtual bool ParseCommonResource(XMLElement& element, std::unique_ptr<BaseRes>& res, ResMap& map);
    virtual bool ParseSoundResource(XMLElement& element);
    virtual bool ParseImageResource(XMLElement& element);
    virtual bool ParseFontResource(XMLElement& element);
    virtual bool ParseSetDefaults(XMLElement& element);
    virtual bool ParseResources();

    std::set<std::string> mLoadedGroups;
    ResMap mImageMap;
    ResMap mSoundMap;
    ResMap mFontMap;
    XMLParser* mXMLParser = nullptr;  // only while a manifest is read
    std::string mError;
    bool mHasFailed = false;
    VelmAppBase* mApp;
    std::string mCurResGroup;
    std::string mDefaultPath;
    std::string mDefaultIdPrefix;
    ResGroupMap mResGroupMap;
    ResList* mCurResGroupList = nullptr;

private:
    bool ParseManifest();
    // The next token inside an element; the end of the document there fails.
    bool NextInner(XMLElement& element);
    bool Is3DAccelerated() const { return mIs3DQuery ? mIs3DQuery() : false; }

    std::function<bool()> mIs3DQuery;
};

}  // namespace Velm
