#pragma once

#include <string>

#include "game/shell/ui/FlyWidget.h"

namespace Velm {

class Graphics;
class Widget;

// The application's message box: a caption, a message drawn word-wrapped in the rectangle
// of the file's "Message" element, and the buttons of the file ("Ok" and, on the
// two-button file, "Cancel"). A click flies the box out and yields the button's id; Enter
// and Esc set the result at once (1000 or 1001, with 1 or 2 as the result after the
// fly-out), so a caller waiting in WaitForResult returns without the flight.
class MessageDialog : public FlyWidget_t {
public:
    // Dialog results of the keys.
    static constexpr int kEnterResult = 1000;
    static constexpr int kEscResult = 1001;
    static constexpr int kConfirmed = 1;
    static constexpr int kCancelled = 2;

    // dialogId: the id to register under unless the file names one.
    MessageDialog(const std::string& fileName, const std::string& caption, const std::string& message,
                  int dialogId = 0);

    void Draw(Graphics* g) override;
    void KeyUp(int key) override;

private:
    Widget* mMessage = nullptr;
};

}  // namespace Velm
