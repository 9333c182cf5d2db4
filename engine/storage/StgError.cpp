#include "engine/storage/StgError.h"

namespace {

const char* const kCodeTexts[] = {
        "Unknown error",             // 0
        "Generic error",             // 1
        "Invalid argument",          // 2
        "Invalid directory",         // 3
        "Invalid file handle",       // 4
        "Invalid storage handle",    // 5
        "Invalid File Mode",         // 6
        "Open stream error",         // 7
        "Open storage error",        // 8
        "Create storage error",      // 9
        "Open file error",           // 10
        "File is already used",      // 11
        "Invalid storage mode",      // 12
        "File size error",           // 13
        "Seek error",                // 14
        "Read error",                // 15
        "Write error",               // 16
        "Stat error",                // 17
        "Deleting error",            // 18
        "Memory error",              // 19
        "File is already exist",     // 20
        "Storage is already exist",  // 21
        "Function is not realized",  // 22
};

// Operation 13 has no text: it adds no line at all.
const char* const kOperationTexts[] = {
        "Mode=TestFilePresent",  // 0
        "Mode=TestDirPresent",   // 1
        "Mode=seek",             // 2
        "Mode=size",             // 3
        "Mode=openStg",          // 4
        "Mode=openFileRead",     // 5
        "Mode=openFileWrite",    // 6
        "Mode=CloseFile",        // 7
        "Mode=ReadFile",         // 8
        "Mode=WriteFile",        // 9
        "Mode=CreateDir",        // 10
        "Mode=DeleteDir",        // 11
        "Mode=DeleteFile",       // 12
};

const int kCodeCount = static_cast<int>(sizeof(kCodeTexts) / sizeof(kCodeTexts[0]));
const int kOperationCount = static_cast<int>(sizeof(kOperationTexts) / sizeof(kOperationTexts[0]));
const int kNoOperation = 13;

}  // namespace

errStg_e::errStg_e(const std::string& storageName, const std::string& fileName, int code, int operation)
        : mStorageName(storageName), mFileName(fileName), mCode(code), mOperation(operation) {}

const char* errStg_e::GetName() const { return "Storage Error"; }

const char* errStg_e::GetMessage() const {
    // One buffer shared by every storage error of the thread, as callers keep only the
    // pointer until they have shown or copied the text. A string grows as needed, so
    // long paths never overflow it.
    thread_local std::string message;
    message = (mCode >= 0 && mCode < kCodeCount) ? kCodeTexts[mCode] : kCodeTexts[0];
    message += "\r\nStorage name : ";
    message += mStorageName;
    message += "\r\nFile name : ";
    message += mFileName;
    if (mOperation != kNoOperation) {
        message += "\r\n";
        if (mOperation >= 0 && mOperation < kOperationCount) message += kOperationTexts[mOperation];
    }
    return message.c_str();
}
