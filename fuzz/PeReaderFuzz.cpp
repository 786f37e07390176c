// Any bytes as a component file: the PE reader answers or refuses, and never asks for a byte
// past the end of the file.
#include <cstring>

#include "FuzzTargets.h"
#include "inspect/PeReader.h"

namespace prowl::fuzz {

namespace {

class StrictBytes final : public ByteSource {
  public:
    explicit StrictBytes(std::string_view bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, void* buffer, std::size_t length) override {
        Require(offset <= bytes_.size() && length <= bytes_.size() - offset,
                "a read within the file");
        if (length) std::memcpy(buffer, bytes_.data() + offset, length);
        return true;
    }

  private:
    std::string_view bytes_;
};

}  // namespace

void PeReaderFuzz(std::string_view bytes) {
    StrictBytes source(bytes);
    ReadPe(source);
}

}  // namespace prowl::fuzz
