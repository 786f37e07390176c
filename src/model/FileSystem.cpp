#include "model/FileSystem.h"

namespace prowl {

namespace {

class GatheredReplacement final : public FileReplacement {
  public:
    GatheredReplacement(FileSystem& fs, std::wstring path) : fs_(fs), path_(std::move(path)) {}
    void Write(std::string_view bytes) override { bytes_.append(bytes); }
    void Commit() override { fs_.ReplaceFileContents(path_, bytes_); }

  private:
    FileSystem& fs_;
    std::wstring path_;
    std::string bytes_;
};

}  // namespace

std::unique_ptr<FileReplacement> FileSystem::BeginReplaceFile(const std::wstring& path) {
    return std::make_unique<GatheredReplacement>(*this, path);
}

}  // namespace prowl
