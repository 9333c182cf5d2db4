// Demo recording and playback entry points of the main loop.

#include "app/VelmAppBase.h"

namespace Velm {

void VelmAppBase::PlayDemoCommands() {}

bool VelmAppBase::PrepareDemoCommand(bool) { return false; }

void VelmAppBase::WriteDemoTimingBlock() {}

bool VelmAppBase::ReadDemoFile(std::string* error)
{
    *error = "Invalid demo file.";
    return false;
}

int VelmAppBase::FindNumberedDemoFiles(const std::string&, int, bool) { return 0; }

} // namespace Velm
