#pragma once
// The byte forms of the project file's text. Project files are written in the system's ANSI
// code page, which other tools and older files expect; text that code page cannot hold goes
// to UTF-8 with a byte-order mark instead, so nothing is ever replaced by "?".

#include <string>
#include <string_view>

namespace prowl {

// Appends the text in the system's ANSI code page. False, with `out` as it was, when some
// character has no exact form there (best-fit look-alikes count as no form).
bool TryEncodeAnsi(std::wstring_view text, std::string& out);

// Appends the decoded bytes. False, with `out` as it was, when the bytes are not valid in
// the system's ANSI code page.
bool TryDecodeAnsi(std::string_view bytes, std::wstring& out);

// Appends the text as UTF-8. A lone surrogate (file systems allow them in names) is written
// in the three-byte form UTF-8 would give its code point, so it survives a round trip.
void AppendUtf8(std::wstring_view text, std::string& out);

// Appends the decoded bytes. False, with `out` as it was, for malformed or overlong
// sequences and code points above U+10FFFF; the three-byte surrogate form is accepted.
bool TryDecodeUtf8(std::string_view bytes, std::wstring& out);

}  // namespace prowl
