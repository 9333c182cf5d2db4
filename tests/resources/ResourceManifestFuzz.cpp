// Fuzz target: arbitrary bytes as a resource manifest.

#include <cstddef>
#include <cstdint>
#include <string>

#include "resources/ResourceManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Velm::ResourceManager manager;
    manager.ParseResourcesBuffer(std::string(reinterpret_cast<const char*>(data), size), "fuzz.xml");
    return 0;
}
