// Any bytes as a component file: the PE reader answers or refuses, and never asks for a byte
// past the end of the file.
#include <cstring>

#include "FuzzTargets.h"
#include "inspect/PeReader.h"

namespace prowl::fuzz {

void PeReaderFuzz(std::string_view bytes) {
    struct StrictBytes final : ByteSource {
        std::string_view bytes;
        uint64_t Size() const override { return bytes.size(); }
        bool Read(uint64_t offset, void* buffer, std::size_t length) override {
            Require(offset <= bytes.size() && length <= bytes.size() - offset,
                    "a read within the file");
            if (length) std::memcpy(buffer, bytes.data() + offset, length);
            return true;
        }
    } source;
    source.bytes = bytes;
    ReadPe(source);
}

}  // namespace prowl::fuzz
