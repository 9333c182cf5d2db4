// Fuzz target for the GIF reader. The first byte chooses how the rest is
// used:
//   even: the bytes are a GIF file as they come;
//   odd:  the bytes follow a valid "GIF89a" header with a 4-entry global
//         colour table, so that the fuzzer spends its time on the blocks,
//         the image descriptor and the LZW stream.
// The reader must give null or a picture of a sane size, never crash, leak
// or touch memory outside its buffers.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "resources/ImageLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> file;
    if ((data[0] & 1) != 0) {
        static const uint8_t kHeader[] = {'G', 'I', 'F', '8', '9', 'a', 8,   0, 8, 0, 0x81, 0, 0,
                                          0,   0,   0,   255, 255, 255, 255, 0, 0, 0, 255,  0};
        file.assign(kHeader, kHeader + sizeof kHeader);
    }
    file.insert(file.end(), data + 1, data + size);
    std::unique_ptr<ImageLib::Image> image(ImageLib::ReadGIFImage(file.data(), file.size()));
    if (image != nullptr) {
        if (image->mWidth <= 0 || image->mHeight <= 0 || image->mBits == nullptr) std::abort();
        // The first and the last pixel: a picture shorter than its size shows here.
        const int64_t count = int64_t(image->mWidth) * image->mHeight;
        volatile uint32_t sink = image->mBits[0] ^ image->mBits[count - 1];
        (void)sink;
    }
    return 0;
}
