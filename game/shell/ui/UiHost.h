#pragma once

#include <memory>
#include <string>

namespace Velm {

class Font;
class Image;

// What UI descriptions and styles need of the application: whether a file
// exists (resource pack or disk), loading a picture file into a new picture,
// making a bitmap font from its descriptor, and the display mode. The base
// class works without an application: it asks the pack-aware file functions,
// loads pictures through the engine's image hook, makes fonts with the
// process-wide font host and reads the 3D flag from the engine's hooks. The
// application installs its own (demo-aware) host at start-up; tests install
// fakes. Read on the main thread and the loading thread; set once before either
// builds a description.
class UiHost {
public:
    virtual ~UiHost();

    virtual bool FileExists(const std::string& path);
    // A new picture read from the file, owned by the caller; null when nothing was read.
    virtual Image* GetImage(const std::string& path);
    // A new bitmap font from its descriptor file; null when the font did not load.
    virtual std::unique_ptr<Font> MakeImageFont(const std::string& path);
    // True while drawing goes through the 3D device (float-position draw calls).
    virtual bool Is3DAccelerated();
};

// The installed host, or a process-wide base host when none is installed.
UiHost& GetUiHost();
// Installs host (not owned; null restores the base host).
void SetUiHost(UiHost* host);

}  // namespace Velm
