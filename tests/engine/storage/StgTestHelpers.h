#pragma once

// Whole-file text through a storage's handle calls, and the error a storage call throws;
// shared by the storage tests.

#include <gtest/gtest.h>

#include <string>

#include "engine/storage/Stg.h"

inline void WriteText(Stg_t* stg, const std::string& name, const std::string& text) {
    FileDescr_t* handle = stg->OpenFile(name, true);
    unsigned written = 0;
    stg->WriteFile(handle, text.data(), static_cast<int>(text.size()), &written);
    EXPECT_EQ(written, text.size());
    stg->CloseFile(handle);
}

inline std::string ReadText(Stg_t* stg, const std::string& name) {
    FileDescr_t* handle = stg->OpenFile(name, false);
    std::string text(static_cast<size_t>(stg->GetFileSize(handle)), '\0');
    unsigned read = 0;
    if (!text.empty()) stg->ReadFile(handle, &text[0], static_cast<int>(text.size()), &read);
    EXPECT_EQ(read, text.size());
    handle->Close();
    return text;
}

// The error `operation` throws; a failure when it throws none.
template <typename Operation>
errStg_e CatchStg(Operation operation) {
    try {
        operation();
    } catch (const errStg_e& error) {
        return error;
    }
    ADD_FAILURE() << "no storage error";
    return errStg_e("", "", -1, -1);
}
