#include "inspect/Manifest.h"

#include <optional>

namespace prowl {

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// UTF-16 manifests hold ASCII in practice; their other characters are never part of an
// identity that passes the check below, so they may as well become '?'.
std::string Narrowed(std::string_view text) {
    if (text.size() < 2 || static_cast<uint8_t>(text[0]) != 0xFF ||
        static_cast<uint8_t>(text[1]) != 0xFE)
        return std::string(text);
    std::string narrow;
    for (std::size_t i = 2; i + 1 < text.size(); i += 2)
        narrow.push_back(text[i + 1] == 0 ? text[i] : '?');
    return narrow;
}

// The value of the attribute in the text of a tag, from after its name to before its '>'.
std::optional<std::string_view> Attribute(std::string_view tag, std::string_view wanted) {
    std::size_t at = 0;
    while (at < tag.size()) {
        while (at < tag.size() && (Blank(tag[at]) || tag[at] == '/')) ++at;
        const std::size_t nameStart = at;
        while (at < tag.size() && tag[at] != '=' && !Blank(tag[at])) ++at;
        const std::string_view name = tag.substr(nameStart, at - nameStart);
        while (at < tag.size() && Blank(tag[at])) ++at;
        if (at == tag.size() || tag[at] != '=') return std::nullopt;
        ++at;
        while (at < tag.size() && Blank(tag[at])) ++at;
        if (at == tag.size() || (tag[at] != '"' && tag[at] != '\'')) return std::nullopt;
        const std::size_t close = tag.find(tag[at], at + 1);
        if (close == std::string_view::npos) return std::nullopt;
        if (name == wanted) return tag.substr(at + 1, close - at - 1);
        at = close + 1;
    }
    return std::nullopt;
}

// Only what store folders are named with: letters, digits, dots, hyphens, and the '*' that
// stands for "the component's own processor".
std::optional<std::wstring> Field(std::string_view tag, std::string_view name, bool required) {
    const auto value = Attribute(tag, name);
    if (!value) return required ? std::nullopt : std::optional<std::wstring>(L"");
    std::wstring field;
    for (const char c : *value) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (!plain && !(c == '*' && value->size() == 1)) return std::nullopt;
        field.push_back(static_cast<wchar_t>(c));
    }
    if (required && field.empty()) return std::nullopt;
    return field;
}

std::optional<AssemblyIdentity> Identity(std::string_view tag) {
    const auto type = Attribute(tag, "type");
    if (type && *type != "win32") return std::nullopt;
    const auto name = Field(tag, "name", true), version = Field(tag, "version", true),
               architecture = Field(tag, "processorArchitecture", false),
               token = Field(tag, "publicKeyToken", true);
    if (!name || !version || !architecture || !token) return std::nullopt;
    if (name->find(L'*') != std::wstring::npos || version->find(L'*') != std::wstring::npos ||
        token->find(L'*') != std::wstring::npos)
        return std::nullopt;
    return AssemblyIdentity{*name, *version, *architecture, *token};
}

}  // namespace

std::vector<AssemblyIdentity> DependentAssemblies(std::string_view manifest) {
    const std::string text = Narrowed(manifest);
    std::vector<AssemblyIdentity> assemblies;
    int32_t depth = 0;  // how many dependentAssembly elements are open
    std::size_t at = 0;
    while (assemblies.size() < kMaxDependentAssemblies) {
        const std::size_t open = text.find('<', at);
        if (open == std::string::npos) break;
        if (text.compare(open, 4, "<!--") == 0) {
            const std::size_t end = text.find("-->", open + 4);
            if (end == std::string::npos) break;
            at = end + 3;
            continue;
        }
        // The tag ends at the first '>' outside quotes.
        std::size_t close = open + 1;
        char quote = 0;
        for (; close < text.size(); ++close) {
            const char c = text[close];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        if (close >= text.size()) break;
        std::string_view tag = std::string_view(text).substr(open + 1, close - open - 1);
        at = close + 1;
        const bool closing = !tag.empty() && tag.front() == '/';
        if (closing) tag.remove_prefix(1);
        const bool empty = !tag.empty() && tag.back() == '/';
        std::size_t nameEnd = 0;
        while (nameEnd < tag.size() && !Blank(tag[nameEnd]) && tag[nameEnd] != '/') ++nameEnd;
        std::string_view name = tag.substr(0, nameEnd);
        if (const std::size_t colon = name.find(':'); colon != std::string_view::npos)
            name.remove_prefix(colon + 1);  // asmv1:assemblyIdentity and the like
        if (name == "dependentAssembly") {
            if (closing)
                depth = depth > 0 ? depth - 1 : 0;
            else if (!empty)
                ++depth;
        } else if (name == "assemblyIdentity" && !closing && depth > 0) {
            if (auto identity = Identity(tag.substr(nameEnd)))
                assemblies.push_back(std::move(*identity));
        }
    }
    return assemblies;
}

}  // namespace prowl
