#pragma once

// Base of the engine's exceptions (storage and sound). Thrown by value and caught by
// reference; the texts are for messages and logs, never parsed.
class err_e {
public:
    virtual ~err_e() = default;
    virtual const char* GetName() const { return "UnknownError"; }
    virtual const char* GetMessage() const { return "UnknownError"; }
};
