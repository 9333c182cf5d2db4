#include "game/shell/screens/FrameAnim.h"

#include <tinyxml.h>
#include <cstdlib>

#include "resources/pack/PakFile.h"

namespace {

// The whole file through the pack-aware file functions; false when it cannot be opened.
bool ReadWholeFile(const std::string& fileName, std::string& out) {
    PakFileHandle* file = PakFOpen(fileName.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    out.clear();
    char chunk[4096];
    int got = 0;
    while ((got = PakFRead(chunk, 1, static_cast<int>(sizeof(chunk)), file)) > 0) {
        out.append(chunk, static_cast<size_t>(got));
    }
    PakFClose(file);
    return true;
}

int IntAttribute(const TiXmlElement* element, const char* name, int fallback) {
    const char* value = element->Attribute(name);
    return value != nullptr ? std::atoi(value) : fallback;
}

}  // namespace

FrameAnim_t::~FrameAnim_t() = default;

bool FrameAnim_t::Load(const std::string& fileName, const std::string& elementName, bool loadImages) {
    std::string text;
    if (!ReadWholeFile(fileName, text)) {
        Clear();
        mError = "Cannot open '" + fileName + "'";
        return false;
    }
    return LoadFromText(text, fileName, elementName, loadImages);
}

bool FrameAnim_t::LoadFromText(const std::string& text, const std::string& origin, const std::string& elementName,
                               bool loadImages) {
    Clear();
    mError.clear();
    TiXmlDocument document;
    document.Parse(text.c_str());
    if (document.Error()) {
        mError = std::string(document.ErrorDesc()) + " on Line " + std::to_string(document.ErrorRow()) + " in File '" +
                 origin + "'";
        return false;
    }
    const TiXmlElement* root = document.RootElement();
    const TiXmlElement* anim = root != nullptr ? root->FirstChildElement(elementName.c_str()) : nullptr;
    if (anim == nullptr) {
        mError = "No element '" + elementName + "' in File '" + origin + "'";
        return false;
    }
    const char* time = anim->Attribute("time");
    frameTime = time != nullptr ? static_cast<float>(std::atof(time)) : 0.2f;
    const bool additive = IntAttribute(anim, "additive", 0) == 1;
    for (const TiXmlElement* item = anim->FirstChildElement("item"); item != nullptr;
         item = item->NextSiblingElement("item")) {
        const char* name = item->Attribute("name");
        if (name == nullptr) {
            continue;
        }
        auto frameItem = std::make_unique<FrameAnimItem_t>();
        frameItem->name = name;
        frameItem->picture.imageName = name;
        frameItem->picture.additive = additive;
        frameItem->offsetX = IntAttribute(item, "x", 0);
        frameItem->offsetY = IntAttribute(item, "y", 0);
        items.push_back(std::move(frameItem));
    }
    frameCount = static_cast<int>(items.size());
    if (loadImages) {
        LoadImages();
    }
    SetPosition(static_cast<float>(IntAttribute(anim, "x", 0)), static_cast<float>(IntAttribute(anim, "y", 0)));
    return true;
}

void FrameAnim_t::Clear() {
    items.clear();
    frameCount = 0;
    frame = 0;
    elapsed = 0;
    playing = false;
}

void FrameAnim_t::Start() {
    elapsed = 0;
    frame = 0;
    playing = true;
}

void FrameAnim_t::Update(float seconds) {
    if (!playing) {
        return;
    }
    elapsed += seconds;
    if (elapsed >= frameTime) {
        elapsed = 0;
        frame += 1;
        if (frame >= frameCount) {
            frame = 0;
        }
    }
}

void FrameAnim_t::Draw(Velm::Graphics* g) {
    if (!playing || frame < 0 || frame >= frameCount) {
        return;
    }
    FrameAnimItem_t& item = *items[static_cast<size_t>(frame)];
    item.picture.x = static_cast<float>(item.baseX + item.offsetX);
    item.picture.y = static_cast<float>(item.baseY + item.offsetY);
    item.picture.centred = false;
    item.picture.Draw(g, scale);
}

void FrameAnim_t::SetPosition(float newX, float newY) {
    x = newX;
    y = newY;
    for (auto& item : items) {
        item->baseX = static_cast<int>(newX);
        item->baseY = static_cast<int>(newY);
        item->reserved = 0;
    }
}

void FrameAnim_t::LoadImages() {
    for (auto& item : items) {
        item->picture.ReloadImage();
    }
}

const FrameAnimItem_t* FrameAnim_t::GetItem(int index) const {
    if (index < 0 || index >= frameCount) {
        return nullptr;
    }
    return items[static_cast<size_t>(index)].get();
}
