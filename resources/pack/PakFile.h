#pragma once

// The pack-aware file functions that every reader of data files uses. Each
// call looks up the process's shared pack interface: with one, the call goes
// to it (resource pack first, then the disk); without one, it is the standard
// library call on a disk file opened through the platform layer, so "r" and
// "rt" reads drop CR bytes as a pack entry read through PakFGetC does.

#include "resources/pack/PakInterface.h"

// The process's shared pack interface, or null when no PakInterface exists.
PakInterfaceBase* GetSharedPakInterface();

PakFileHandle* PakFOpen(const char* name, const char* mode);
int PakFClose(PakFileHandle* file);
int PakFSeek(PakFileHandle* file, long offset, int origin);
long PakFTell(PakFileHandle* file);
int PakFRead(void* buffer, int elementSize, int count, PakFileHandle* file);
int PakFGetC(PakFileHandle* file);
int PakUnGetC(int c, PakFileHandle* file);
