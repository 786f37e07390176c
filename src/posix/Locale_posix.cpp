// Text lengths as the portable build's code page makes them.
#include "ui/dialogs/LocaleFormat.h"

namespace prowl {

// Windows-1252 is single-byte: every character, held or not, takes one byte.
std::size_t AnsiByteCount(std::wstring_view text) { return text.size(); }

}  // namespace prowl
