// Fuzz target: arbitrary bytes through the XML tokenizer (all three readers).

#include <cstddef>
#include <cstdint>
#include <string>

#include "resources/XMLParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Velm::XMLParser parser;
    parser.SetBytesSource(std::string(reinterpret_cast<const char*>(data), size), "fuzz.xml");
    Velm::XMLElement element;
    while (parser.NextElement(&element)) {
    }
    return 0;
}
