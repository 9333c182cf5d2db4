#include "resources/pack/PakFile.h"

#include "platform/Files.h"

// GetSharedPakInterface is defined with the shared cell in PakInterface.cpp.

PakFileHandle* PakFOpen(const char* name, const char* mode) {
    if (PakInterfaceBase* pak = GetSharedPakInterface()) return pak->FOpen(name, mode);
    if (name == nullptr || mode == nullptr) return nullptr;
    FILE* stream = plat::OpenFile(name, mode);
    if (stream == nullptr) return nullptr;
    PakFileHandle* file = new PakFileHandle;
    file->stream = stream;
    return file;
}

int PakFClose(PakFileHandle* file) {
    if (PakInterfaceBase* pak = GetSharedPakInterface()) return pak->FClose(file);
    if (file == nullptr) return EOF;
    const int result = file->stream != nullptr ? std::fclose(file->stream) : EOF;
    delete file;
    return result;
}

int PakFSeek(PakFileHandle* file, long offset, int origin) {
    if (PakInterfaceBase* pak = GetSharedPakInterface()) return pak->FSeek(file, offset, origin);
    if (file == nullptr || file->stream == nullptr) return -1;
    return std::fseek(file->stream, offset, origin);
}

long PakFTell(PakFileHandle* file) {
    if (PakInterfaceBase* pak = GetSharedPakInterface()) return pak->FTell(file);
    if (file == nullptr || file->stream == nullptr) return -1;
    return std::ftell(file->stream);
}

int PakFRead(void* buffer, int elementSize, int count, PakFileHandle* file) {
    if (PakInterfaceBase* pak = GetSharedPakInterface()) return pak->FRead(buffer, elementSize, count, file);
    if (file == nullptr || file->stream == nullptr || buffer == nullptr || elementSize <= 0 || count <= 0) return 0;
    return static_cast<int>(
            std::fread(buffer, static_cast<size_t>(elementSize), static_cast<size_t>(count), file->stream));
}

int PakFGetC(PakFileHandle* file) {
    if (PakInterfaceBase* pak = GetSharedPakInterface()) return pak->FGetC(file);
    if (file == nullptr || file->stream == nullptr) return EOF;
    return std::fgetc(file->stream);
}

int PakUnGetC(int c, PakFileHandle* file) {
    if (PakInterfaceBase* pak = GetSharedPakInterface()) return pak->UnGetC(c, file);
    if (file == nullptr || file->stream == nullptr) return EOF;
    return std::ungetc(c, file->stream);
}
