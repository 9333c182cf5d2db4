#include "platform/DebugOutput.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace plat {
namespace {

std::mutex gSinkMutex;
DebugSink gSink;

}  // namespace

void DebugOutput(const std::string& text) {
    std::lock_guard<std::mutex> lock(gSinkMutex);
    if (gSink) {
        gSink(text);
    } else {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
}

DebugSink SetDebugSink(DebugSink sink) {
    std::lock_guard<std::mutex> lock(gSinkMutex);
    DebugSink previous = std::move(gSink);
    gSink = std::move(sink);
    return previous;
}

struct CapturedDebugOutput::Shared {
    std::mutex mutex;
    std::string text;
};

CapturedDebugOutput::CapturedDebugOutput() : mShared(std::make_unique<Shared>()) {
    Shared* shared = mShared.get();
    mPrevious = SetDebugSink([shared](const std::string& text) {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->text += text;
    });
}

CapturedDebugOutput::~CapturedDebugOutput() { SetDebugSink(std::move(mPrevious)); }

std::string CapturedDebugOutput::Text() const {
    std::lock_guard<std::mutex> lock(mShared->mutex);
    return mShared->text;
}

DebugOutputFile::DebugOutputFile(const std::string& path) : mFile(std::fopen(path.c_str(), "w")) {
    if (mFile == nullptr) return;
    std::FILE* file = mFile;
    mPrevious = SetDebugSink([file](const std::string& text) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fflush(file);
    });
}

DebugOutputFile::~DebugOutputFile() {
    if (mFile == nullptr) return;
    // The sink is called under the sink lock: once it is replaced, nothing writes to the file.
    SetDebugSink(std::move(mPrevious));
    std::fclose(mFile);
}

}  // namespace plat
