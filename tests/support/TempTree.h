#pragma once
// A scratch folder on the real disk for tests under Wine, under Z:\tmp so that Unix tools can
// remove it whole.

#include <filesystem>
#include <string>
#include <vector>

namespace prowl::test {

class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::wstring& Root() const { return root_; }      // Z:\tmp\...
    std::wstring Path(const std::wstring& relative) const;  // Root() + "\" + relative

    void Folder(const std::wstring& relative);  // with any missing parents
    void File(const std::wstring& relative, const std::string& bytes = "");
    std::string Read(const std::wstring& relative) const;  // "<missing>" when there is none
    // Maps a drive ("Q:") or a share ("\\server\share") of the Wine prefix to a folder of
    // the tree (one name, no backslash), until destruction.
    void Map(const std::wstring& name, const std::wstring& relative);

  private:
    std::wstring root_;
    std::wstring unixRoot_;
    std::vector<std::wstring> mapped_;
};

// Runs a Unix command line (the program given by its absolute Unix path) and waits for it.
void RunUnix(const std::wstring& program, const std::wstring& arguments);

inline std::string ToUtf8(const std::wstring& text) {
    const std::u8string bytes = std::filesystem::path(text).u8string();
    return {bytes.begin(), bytes.end()};
}

// The text as bytes, for ASCII paths in files written by hand.
inline std::string Narrow(const std::wstring& ascii) { return {ascii.begin(), ascii.end()}; }

// A drive letter that names no drive of the prefix, for "drive does not exist" cases.
wchar_t UnusedDriveLetter();

}  // namespace prowl::test
