#pragma once

// The exceptions of the engine's sound system. errSnd_e carries a numeric code whose text
// says what failed (the table is in SoundError.cpp); the by-name play functions catch it
// and answer handle 0. Sync_t and Thread_t only name the failures of events and of the
// streaming thread.

#include "engine/storage/EngineError.h"

namespace Sound {

class errSnd_e : public err_e {
public:
    explicit errSnd_e(unsigned code) : mCode(code) {}

    // "Sound errror".
    const char* GetName() const override;
    // The text of the code; "Sond unknown errror" for a code without one. The text is a
    // constant and safe to read from any thread.
    const char* GetMessage() const override;
    unsigned GetCode() const { return mCode; }

private:
    unsigned mCode;
};

// Codes of errSnd_e.
enum : unsigned {
    kErrCooperativeLevel = 2,
    kErrPrimaryBuffer = 3,
    kErrPrimaryFormat = 4,
    kErrListener = 5,
    kErrBadFileFormat = 6,
    kErrBadParams = 7,
    kErrBadInit = 8,
    kErrBadFileData = 9,
    kErrLockBuffer = 11,
    kErrReadBuffer = 12,
    kErrResetFile = 13,
    kErrParseFile = 14,
    kErrReadFile = 15,
    kErrGetStatus = 16,
    kErrGetPosition = 21,
    kErrCreateBuffer = 22,
    kErrQueryInterface = 23,
    kErrSetNotifications = 24,
    kErrSetPosition = 30,
    kErrStopSound = 31,
    kErrPlaySound = 32,
};

class Sync_t {
public:
    enum Error_e { BadName_e = 0 };  // an event or timer cannot be created
};

class Thread_t {
public:
    enum Error_e { NotCreated_e = 0 };  // the streaming thread cannot be created
};

}  // namespace Sound
