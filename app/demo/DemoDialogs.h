#pragma once

#include <string>
#include <vector>

namespace Velm {

// The two small windows of demo playback: the list of markers still ahead, and the
// "Jump To Time" entry. The application object builds their contents and acts on the
// answer; this interface only asks the user.
//
// The stand-in shows the system's button box: the marker lines as buttons (and "Cancel"),
// and for the jump the stored time with "Ok" and "Cancel" (the time cannot be edited
// there). Main thread only.
class DemoDialogs {
public:
    virtual ~DemoDialogs();

    // Caption "Marker List". Returns the index of the line chosen, -1 when closed.
    virtual int ChooseMarker(const std::vector<std::string>& lines);
    // Caption "Jump To Time". `text` comes in filled and, on "Ok", goes out edited; false
    // for "Cancel" or closing.
    virtual bool EditJumpTime(std::string* text);
};

// The dialogs in use: by default those in the game window (DemoDialogsInWindow), which
// fall back to the stand-in; null restores the default. The object set is not owned.
DemoDialogs& GetDemoDialogs();
void SetDemoDialogs(DemoDialogs* dialogs);

// One line of the marker list: "name (hh:mm:ss)" with the time from the marker to the end
// of the demo.
std::string FormatDemoMarkerLine(const std::string& name, int updatesToEnd, int frameTimeMs);

// A time typed as numbers separated by ':' ("1:30" or "0:01:30"), in seconds: each number
// multiplies what came before by 60. Text that is not a number counts as 0.
int ParseDemoJumpTime(const std::string& text);

}  // namespace Velm
