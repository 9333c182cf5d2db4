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
// The manager reads the manifest into records, then loads whole groups, one
// resource per step so that a loading screen can show progress, keeps each
// loaded image, sound id and font in its record, answers lookups by id and
// releases groups again. Images come from an image source (the application's
// shared-image cache; a MemoryImageCache of its own until one is set), sounds
// from the framework sound manager, fonts from a font maker (see
// ResourceFontMaker.h); "!ref:" fonts are duplicates of other font resources.
//
// Errors: the first error is kept (with " on Line n" and " in File '...'"
// while a manifest is read). A failed load stops the group; lookups of
// required resources throw ResourceManagerException.
//
// Threads: no lock. The manifest is read once; a loading thread may load
// groups while no other thread uses the manager.

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>

#include <exception>
#include <vector>

#include "graphics/CelAnimation.h"
#include "graphics/SharedImage.h"

namespace Velm {

class Font;
class MemoryImage;
class MemoryImageCache;
class ResourceFontMaker;
class ResourceImageSource;
class SoundManager;
class VelmAppBase;
class XMLElement;
class XMLParser;

// Thrown when a required resource is not defined or not loaded. mText holds
// the manager's error text at the time of the throw; what() is the base's.
class ResourceManagerException : public std::exception {
public:
    explicit ResourceManagerException(const std::string& text) : mText(text) {}
    ~ResourceManagerException() override = default;
    const char* what() const noexcept override { return std::exception::what(); }

    std::string mText;
};

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
        std::string mResGroup;                              // the "id" of the enclosing "Resources", as written
        std::string mPath;                                  // full path: default path in front unless it began with '!'
        std::map<std::string, std::string> mXMLAttributes;  // every attribute of the element
        bool mFromProgram = false;                          // path "!program": made by the program, never loaded
    };

    class ImageRes : public BaseRes {
    public:
        // Releases the image handle.
        void DeleteResource() override;

        SharedImageHandle mImage;     // empty until loaded
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
        // Frees the sound in the sound manager it was loaded into.
        void DeleteResource() override;

        int mSoundId = -1;                      // -1 until loaded
        SoundManager* mSoundManager = nullptr;  // the manager that holds mSoundId
        double mVolume = -1;                    // -1: no volume set
        int mPanning = 0;
    };

    class FontRes : public BaseRes {
    public:
        // Deletes the font and its source image.
        void DeleteResource() override;

        Font* mFont = nullptr;          // owned; null until loaded
        MemoryImage* mImage = nullptr;  // owned: the picture of an "image" font
        std::string mImagePath;         // the "image" value as written
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

    // Where images, sounds and fonts come from. None is owned. Without an
    // image source the manager reads images into a cache of its own; without
    // a sound manager every sound fails; without a font maker only "!ref:"
    // fonts load. The image source and the sound manager must outlive the
    // resources loaded from them (DeleteResources releases them early).
    void SetImageSource(ResourceImageSource* source);
    void SetSoundManager(SoundManager* soundManager) { mSoundManager = soundManager; }
    void SetFontMaker(ResourceFontMaker* fontMaker) { mFontMaker = fontMaker; }

    // ---- Group loading ----
    // Clears any earlier failure and makes the group (case-insensitive) the
    // one LoadNextResource works through, from its first record.
    virtual void StartLoadResources(const std::string& group);
    // Loads the next record of the current group that is not loaded yet
    // (program-made records are skipped): the result of that load. False
    // when none is left, after a failure, or without a current group.
    virtual bool LoadNextResource();
    // The whole group; true and the group marked as loaded when nothing
    // failed. A failure stops the group and keeps what was loaded before it.
    virtual bool LoadResources(const std::string& group);
    // Releases the loaded objects of the group's records (every record with
    // the empty name); the records stay defined and can be loaded again.
    virtual void DeleteResources(const std::string& group);
    bool IsGroupLoaded(const std::string& group) const { return mLoadedGroups.count(group) != 0; }
    // The records of the group (exact name) that loading works through:
    // program-made records are not counted.
    int GetNumResources(const std::string& group) const;

    // ---- Lookup ----
    // The loaded resource; otherwise the failure "Image resource not found: "
    // (or Sound, Font) with the id is recorded and ResourceManagerException
    // thrown. Nothing is loaded.
    virtual SharedImageHandle GetImageThrow(const std::string& id);
    virtual int GetSoundThrow(const std::string& id);
    virtual Font* GetFontThrow(const std::string& id);
    // The image, loaded on demand unless program-made; an empty handle when
    // the id is not defined or loading fails (the failure is recorded).
    SharedImageHandle GetImage(const std::string& id);
    // The loaded font, or null; nothing is loaded.
    Font* GetFont(const std::string& id) const;

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
    virtual void DeleteResourcesInMap(ResMap& map, const std::string& group);
    virtual bool DoLoadImage(ImageRes* res);
    virtual bool DoLoadFont(FontRes* res);
    virtual bool DoLoadSound(SoundRes* res);
    // Called after each resource is loaded; nothing here.
    virtual void ResourceLoadedHook(BaseRes* res);
    bool LoadAlphaImage(ImageRes* res, MemoryImage* image);
    bool LoadAlphaGridImage(ImageRes* res, MemoryImage* image);
    void DestroyResourceMap(ResMap& map);

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
    std::unique_ptr<XMLParser> mXMLParser;  // only while a manifest is read
    std::string mError;
    bool mHasFailed = false;
    VelmAppBase* mApp;
    std::string mCurResGroup;
    std::string mDefaultPath;
    std::string mDefaultIdPrefix;
    ResGroupMap mResGroupMap;
    ResList* mCurResGroupList = nullptr;
    ResList::iterator mCurRes;  // the next record of mCurResGroupList to load

    ResourceImageSource* mImageSource;
    SoundManager* mSoundManager = nullptr;
    ResourceFontMaker* mFontMaker = nullptr;

private:
    bool ParseManifest();
    // The next token inside an element; the end of the document there fails.
    bool NextInner(XMLElement& element);
    bool Is3DAccelerated() const { return mIs3DQuery ? mIs3DQuery() : false; }

    std::function<bool()> mIs3DQuery;
    std::unique_ptr<MemoryImageCache> mOwnImageCache;  // while no image source is set
};

}  // namespace Velm
