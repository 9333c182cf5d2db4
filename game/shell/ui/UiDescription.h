#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "graphics/Point.h"

class IniFile_t;
class IniSection_t;

namespace Velm {

class Dialog;
class Graphics;
class Image;
class Widget;

// One picture of a description, drawn by DrawImages at its level.
struct UiImageEntry_t {
    Image* image = nullptr;
    int x = 0;
    int y = 0;
    int level = 0;
    // The picture was loaded from a file for this entry and goes with the description.
    bool owned = false;
};

// A UI description file: an INI file with one section per element (controls,
// pictures, anchor points) that builds the controls into its owner dialog,
// keeps them by section name for the screen's code, draws its pictures on
// request and can write the current widget positions back into the file.
//
// Sections are read in the INI file's order (case-insensitive name order); a
// section without "Type" (such as a fly dialog's "Main") builds nothing. A
// "Type" outside the eleven element kinds, a malformed number or a picture that
// cannot be found is reported through the debug log with the file, section and
// key, and that element is skipped. Names are case-sensitive byte strings here.
//
// The owner gets the widgets as children; destroying the description deletes
// its own pictures and then removes and deletes every child widget of the owner.
// A widget built with "AddToWidget" other than 1 stays the description's: it is
// deleted with the description unless it was placed in a container by then
// (then that container owns it); never delete one yourself. Destroy a
// description before building another one on the same owner: the old one
// would take the new one's widgets with it.
// Built by screen constructors (on the loading thread for the screens it
// makes); reads the style registry and the text table, writes only itself and
// its owner.
class UiDescription_t {
public:
    // Loads the file (pack or disk) and builds its elements into owner (may be null).
    UiDescription_t(const std::string& fileName, Dialog* owner);
    // Builds from length bytes of INI text; originName is the file name used in
    // messages and by SavePositions.
    UiDescription_t(const char* text, size_t length, const std::string& originName, Dialog* owner);
    ~UiDescription_t();
    UiDescription_t(const UiDescription_t&) = delete;
    UiDescription_t& operator=(const UiDescription_t&) = delete;

    // The widget built for that section, or null.
    Widget* FindWidget(const std::string& name);
    // The point of that section, or null; valid while the description lives.
    Point* FindPoint(const std::string& name);
    // Draws the pictures of that level in order, each with its top-left corner at its x, y.
    void DrawImages(Graphics* g, int level);
    // Reads the file again, sets every widget section's "Position" to the
    // widget's current rectangle and writes the file back to its disk path.
    // Nothing happens when the file has no sections; false when it cannot be written.
    bool SavePositions();

    Dialog* GetOwner() const { return mOwner; }
    const std::vector<UiImageEntry_t>& GetImages() const { return mImages; }
    const std::map<std::string, Point>& GetPoints() const { return mPoints; }
    const std::map<std::string, Widget*>& GetWidgets() const { return mWidgets; }
    const std::string& GetFileName() const { return mFileName; }

private:
    void Build(const IniFile_t& file);
    void BuildElement(const std::string& name, const IniSection_t& section);

    Dialog* mOwner;
    std::vector<UiImageEntry_t> mImages;
    std::map<std::string, Point> mPoints;
    std::map<std::string, Widget*> mWidgets;  // owned by the owner dialog
    // Widgets built but not added to the owner ("AddToWidget" other than 1, or
    // no owner): deleted with the description unless they sit in a container by then.
    std::vector<Widget*> mDetached;
    std::string mFileName;
};

}  // namespace Velm
