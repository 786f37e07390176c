#include "inspect/ComparablePath.h"

#include <vector>

#include "model/TextCase.h"

namespace prowl {

namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::wstring_view Trim(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::wstring ComparablePath(std::wstring_view path) {
    std::wstring unified(path);
    for (auto& c : unified)
        if (c == L'/') c = L'\\';
    std::wstring_view rest = unified;
    bool unc = false;
    if (StartsWith(rest, L"\\\\?\\UNC\\")) {
        rest.remove_prefix(8), unc = true;
    } else if (StartsWith(rest, L"\\\\?\\") || StartsWith(rest, L"\\\\.\\")) {
        rest.remove_prefix(4);
    } else if (StartsWith(rest, L"\\\\")) {
        rest.remove_prefix(2), unc = true;
    }
    std::wstring_view drive;
    if (!unc && rest.size() >= 2 && rest[1] == L':') {
        drive = rest.substr(0, 2);
        rest.remove_prefix(2);
    }
    const bool rooted = unc || !drive.empty() || StartsWith(rest, L"\\");

    // A share's server and name are its root, which ".." cannot climb out of.
    const std::size_t floor = unc ? 2 : 0;
    std::vector<std::wstring_view> parts;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(L'\\'), rest.size());
        const std::wstring_view part = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (part.empty() || part == L".") continue;
        if (part == L".." && rooted) {
            if (parts.size() > floor) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }

    std::wstring out(unc ? L"\\" : drive);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (rooted || i > 0) out += L'\\';
        out += parts[i];
    }
    if (parts.empty() && rooted) out += L'\\';
    return UpperCase(out);
}

std::wstring ExpandEnvironment(std::wstring_view text, const SystemFacts& facts) {
    std::wstring out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t open = text.find(L'%');
        const std::size_t close =
            open == std::wstring_view::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring_view::npos) break;
        out += text.substr(0, open);
        const std::wstring_view name = text.substr(open + 1, close - open - 1);
        const auto value = name.empty() ? std::nullopt : facts.Environment(std::wstring(name));
        if (value) {
            out += *value;
        } else {
            out += text.substr(open, close - open + 1);
        }
        text.remove_prefix(close + 1);
    }
    out += text;
    return out;
}

PathResolver::PathResolver(const SystemFacts& facts)
    : facts_(facts),
      system64_(ComparablePath(facts.SystemFolder(Bitness::Bits64))),
      system32_(ComparablePath(facts.SystemFolder(Bitness::Bits32))) {}

std::wstring PathResolver::AsSeenBy(Bitness bitness, std::wstring comparable) const {
    if (bitness == Bitness::Bits32 && system32_ != system64_ && StartsWith(comparable, system64_) &&
        (comparable.size() == system64_.size() || comparable[system64_.size()] == L'\\'))
        comparable.replace(0, system64_.size(), system32_);
    return comparable;
}

std::wstring PathResolver::RegisteredFile(std::wstring_view value, Bitness bitness) const {
    const std::wstring expanded = ExpandEnvironment(value, facts_);
    std::wstring_view text = Trim(expanded);
    if (StartsWith(text, L"\"")) {
        text.remove_prefix(1);
        text = Trim(text.substr(0, text.find(L'"')));
    }
    if (text.empty()) return {};
    std::wstring file(text);
    if (file.find(L'~') != std::wstring::npos) file = facts_.LongPath(file);
    if (file.find_first_of(L"\\/:") == std::wstring::npos)
        file = facts_.SystemFolder(bitness) + L"\\" + file;
    return AsSeenBy(bitness, ComparablePath(file));
}

}  // namespace prowl
