// libFuzzer target: any bytes, split at a point the input chooses, must parse to the
// same outcome as the bytes fed at once, without a crash.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/http/HTTPResponseParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t split = data[0] % size;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    Velm::HTTPResponseParser whole;
    whole.Feed(bytes.data(), bytes.size());

    Velm::HTTPResponseParser parts;
    const size_t first = split < bytes.size() ? split : bytes.size();
    if (parts.Feed(bytes.data(), first)) parts.Feed(bytes.data() + first, bytes.size() - first);

    if (whole.IsFinished() != parts.IsFinished() || whole.GetFailure() != parts.GetFailure() ||
        whole.GetContent() != parts.GetContent() || whole.GetContentLength() != parts.GetContentLength())
        std::abort();
    return 0;
}
