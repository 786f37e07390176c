#include "model/SystemPath.h"

namespace prowl {

namespace {
// Leaves room for the "\*" a listing appends and for the 8.3 slack CreateDirectory wants.
constexpr std::size_t kLongPathThreshold = 248;

bool StartsWith(const std::wstring& s, const wchar_t* prefix) { return s.rfind(prefix, 0) == 0; }
}  // namespace

std::wstring ToSystemPath(const std::wstring& path) {
    if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) return path;

    const bool unc = StartsWith(path, L"\\\\");
    std::wstring out;
    out.reserve(path.size() + 8);
    std::size_t i = 0;
    if (unc) {
        out = L"\\\\";
        i = 2;
        while (i < path.size() && path[i] == L'\\') ++i;
    }
    for (; i < path.size(); ++i) {
        const wchar_t c = path[i];
        if (c == L'\\' && !out.empty() && out.back() == L'\\' && out.size() > (unc ? 2u : 0u))
            continue;
        out.push_back(c);
    }

    if (out.size() < kLongPathThreshold) return out;
    // The \\?\ form turns off the system's own normalisation, so do the part it would do.
    for (auto& c : out)
        if (c == L'/') c = L'\\';
    if (unc) return L"\\\\?\\UNC\\" + out.substr(2);
    return L"\\\\?\\" + out;
}

}  // namespace prowl
