#include "resources/pack/PakInterface.h"

// The process's one pack object. It is made during static initialisation, so
// it is the shared pack interface before main runs, and it is never destroyed:
// files may be read until the very end of the process. This unit is linked
// only into programs that use GlobalPakInterface; the others read from the
// disk alone.
namespace {
PakInterface* const gPakInterface = new PakInterface;
}

PakInterface& GlobalPakInterface() { return *gPakInterface; }
