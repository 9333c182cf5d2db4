#include "engine/storage/FileDescr.h"

#include "engine/storage/MemBuffer.h"
#include "engine/storage/PackFile.h"
#include "engine/storage/Stg.h"
#include "engine/storage/StgError.h"

FileDescr_t::FileDescr_t(Stg_t* handleOwner, const std::string& fileName, bool canWrite)
        : owner(handleOwner), name(fileName), writable(canWrite) {}

FileDescr_t::~FileDescr_t() {
    delete pack;
    if (file) std::fclose(file);
    delete memory;
}

void FileDescr_t::Read(void* buffer, int count, unsigned* read) {
    if (owner) {
        owner->ReadFile(this, buffer, count, read);
    } else if (memory) {
        memory->Read(buffer, count < 0 ? 0u : static_cast<unsigned>(count), read);
    }
}

void FileDescr_t::Seek(int origin, int offset, int* position) {
    if (owner) {
        owner->Seek(this, origin, offset, position);
    } else if (memory) {
        memory->Seek(origin, offset, position);
    }
}

int FileDescr_t::GetSize() {
    if (owner) return owner->GetFileSize(this);
    return memory ? static_cast<int>(memory->size) : 0;
}

void FileDescr_t::Close() {
    if (owner) {
        owner->CloseFile(this);
    } else {
        delete this;
    }
}

FileDescr_t* NewMemFileDescr(const void* data, unsigned length, bool copy) {
    FileDescr_t* handle = new FileDescr_t(nullptr, std::string(), false);
    handle->memory = new MemBuffer_t();
    handle->memory->Init(data, length, copy);
    return handle;
}

void StgReadFile(FileDescr_t* handle, void* buffer, int count, unsigned* read) {
    if (!handle) throw errStg_e("", "", 2, 8);
    handle->Read(buffer, count, read);
}

int StgGetFileSize(FileDescr_t* handle) {
    if (!handle) throw errStg_e("", "", 2, 3);
    return handle->GetSize();
}
