#pragma once

#include <string>

#include "engine/storage/EngineError.h"

// Every failure of a storage operation. A directory storage puts its path in the storage
// name, a memory storage its name. The code and operation numbers index the tables of
// texts in StgError.cpp; operation 13 means "no particular operation" and adds no line.
class errStg_e : public err_e {
public:
    errStg_e(const std::string& storageName, const std::string& fileName, int code, int operation);

    const char* GetName() const override;
    // Three or four lines joined by "\r\n": the code's text, "Storage name : ...",
    // "File name : ..." and the operation's text. The text lives in one buffer per thread
    // and stays valid until that thread asks for the next storage message.
    const char* GetMessage() const override;

    const std::string& GetStorageName() const { return mStorageName; }
    const std::string& GetFileName() const { return mFileName; }
    int GetCode() const { return mCode; }
    int GetOperation() const { return mOperation; }

private:
    std::string mStorageName;
    std::string mFileName;
    int mCode;
    int mOperation;
};
