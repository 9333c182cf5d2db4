#pragma once

namespace Velm {

class DDImage;
class MemoryImage;

// A record of the application's shared-image cache: one image per (file, variant) and the
// number of handles that refer to it. The cache deletes records whose count is 0 after the
// next update.
struct SharedImage {
    MemoryImage* image = nullptr;  // made by the application: a surface image on the display
    int refCount = 0;
};

// A handle to an image: either a counted reference to a cache record, or a plain image that
// is not counted (and deleted by the handle only when ownsUnshared is set). Counts are plain
// ints changed on the drawing thread.
class SharedImageHandle {
public:
    SharedImage* shared = nullptr;
    MemoryImage* unshared = nullptr;
    bool ownsUnshared = false;

    SharedImageHandle() = default;
    SharedImageHandle(SharedImage* record);
    // Shares the record (counted) and the plain image; a copy never owns.
    SharedImageHandle(const SharedImageHandle& other);
    ~SharedImageHandle();

    SharedImageHandle& operator=(const SharedImageHandle& other);
    SharedImageHandle& operator=(SharedImage* record);
    // Refers to a plain image; nothing is counted and ownsUnshared keeps its value.
    SharedImageHandle& operator=(MemoryImage* image);

    // Deletes an owned plain image, drops the record's count and asks the application to purge
    // when it reaches 0.
    void Release();

    MemoryImage* GetImage() const;
    // The cache record's image as a surface image: null for a plain image, and for a record
    // whose image was not made on the display (a display stand-in makes memory images).
    DDImage* GetDDImage() const;
};

}  // namespace Velm
