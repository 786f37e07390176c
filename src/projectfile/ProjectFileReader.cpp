#include <array>
#include <cstring>

#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "projectfile/TextEncoding.h"

namespace prowl {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kFieldCount = 9;
constexpr std::size_t kQuotedValueLimit = 40;

[[noreturn]] void ThrowAtLine(int64_t line, const std::wstring& reason) {
    throw ProwlError(L"line " + std::to_wstring(line) + L": " + reason);
}

int64_t LineOfOffset(std::string_view bytes, std::size_t offset) {
    int64_t line = 1;
    for (std::size_t at = bytes.find("\r\n"); at != std::string_view::npos && at < offset;
         at = bytes.find("\r\n", at + 2))
        ++line;
    return line;
}

// Tells which line a whole-text decode stumbled on, by decoding line after line.
int64_t FirstUndecodableLine(std::string_view body, bool utf8) {
    int64_t line = 1;
    std::size_t begin = 0;
    std::wstring scratch;
    for (;;) {
        const std::size_t end = body.find("\r\n", begin);
        const std::string_view piece = body.substr(
            begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
        scratch.clear();
        if (!(utf8 ? TryDecodeUtf8(piece, scratch) : TryDecodeAnsi(piece, scratch))) return line;
        if (end == std::string_view::npos) return line;
        begin = end + 2;
        ++line;
    }
}

std::wstring DecodeProjectText(std::string_view bytes) {
    if (const void* nul = std::memchr(bytes.data(), 0, bytes.size()))
        ThrowAtLine(LineOfOffset(bytes, static_cast<std::size_t>(static_cast<const char*>(nul) -
                                                                 bytes.data())),
                    L"the file holds a NUL byte, so it is not a project file");
    const bool utf8 = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
    const std::string_view body = utf8 ? bytes.substr(kUtf8Mark.size()) : bytes;
    std::wstring text;
    if (utf8 ? TryDecodeUtf8(body, text) : TryDecodeAnsi(body, text)) return text;
    ThrowAtLine(FirstUndecodableLine(body, utf8),
                utf8 ? L"the text is not valid UTF-8"
                     : L"the text is not valid in the system's ANSI code page");
}

bool IsAbsolutePath(std::wstring_view path) {
    if (path.size() < 3) return false;
    const wchar_t drive = path[0];
    const bool letter = (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    if (letter && path[1] == L':' && path[2] == L'\\') return true;
    return path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

std::wstring Quoted(std::wstring_view value) {
    if (value.size() > kQuotedValueLimit)
        return L"\"" + std::wstring(value.substr(0, kQuotedValueLimit)) + L"...\"";
    return L"\"" + std::wstring(value) + L"\"";
}

// Blanks, an optional sign, decimal digits, blanks; nothing else, and within 32 bits.
int32_t ParseNumberField(std::wstring_view field, const wchar_t* name, int32_t lineNumber) {
    std::size_t i = 0;
    const std::size_t n = field.size();
    while (i < n && field[i] == L' ') ++i;
    bool negative = false;
    if (i < n && (field[i] == L'+' || field[i] == L'-')) negative = field[i++] == L'-';
    const std::size_t firstDigit = i;
    int64_t magnitude = 0;
    bool tooLarge = false;
    while (i < n && field[i] >= L'0' && field[i] <= L'9') {
        magnitude = magnitude * 10 + (field[i] - L'0');
        if (magnitude > 2147483648LL) {
            tooLarge = true;
            magnitude = 2147483648LL;
        }
        ++i;
    }
    const bool digits = i > firstDigit;
    while (i < n && field[i] == L' ') ++i;
    if (!digits || i != n)
        ThrowAtLine(lineNumber,
                    std::wstring(name) + L" " + Quoted(field) + L" is not a whole number");
    if (tooLarge || magnitude > (negative ? 2147483648LL : 2147483647LL))
        ThrowAtLine(lineNumber,
                    std::wstring(name) + L" " + Quoted(field) + L" is outside the 32-bit range");
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

std::size_t CountLineBreaks(std::wstring_view text) {
    std::size_t n = 0;
    for (std::size_t at = text.find(L"\r\n"); at != std::wstring_view::npos;
         at = text.find(L"\r\n", at + 2))
        ++n;
    return n;
}

}  // namespace

bool ParseItemLine(std::wstring_view line, int32_t lineNumber, LoadedProject& into,
                   FileSystem& fs) {
    std::array<std::wstring_view, kFieldCount> f;
    std::size_t fields = 0;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t tab = line.find(L'\t', begin);
        if (fields == kFieldCount) return false;  // a tenth field
        f[fields++] = line.substr(begin, tab == std::wstring_view::npos ? tab : tab - begin);
        if (tab == std::wstring_view::npos) break;
        begin = tab + 1;
    }
    if (fields != kFieldCount) return false;

    auto record = std::make_shared<clsObject>();
    record->Index = ParseNumberField(f[0], L"Index", lineNumber);
    record->Key = f[1];
    record->NodeType = f[2];
    record->ParentIndex = ParseNumberField(f[3], L"ParentIndex", lineNumber);
    record->Path = f[4];
    record->Reference = f[5];
    record->Text = f[6];
    record->Included = f[7];
    record->Expanded = f[8];

    clsSaveFile& counts = into.SaveFile;
    if (record->NodeType == kNodeFolder) {
        ++counts.Folder_Count;
        record->Exists = fs.FolderExists(record->Path);
        if (!record->Exists) ++counts.Folder_Missing;
    } else if (record->NodeType == kNodeDll) {
        ++counts.DLL_Count;
        record->Exists = fs.FileExists(record->Path);
        if (!record->Exists) ++counts.DLL_Missing;
    } else if (record->NodeType == kNodeOcx) {
        ++counts.OCX_Count;
        record->Exists = fs.FileExists(record->Path);
        if (!record->Exists) ++counts.OCX_Missing;
    }
    into.DigColl->Add(std::move(record));
    return true;
}

void ParseItemLines(std::wstring_view text, int32_t firstLineNumber, LoadedProject& into,
                    FileSystem& fs) {
    into.DigColl->Reserve(static_cast<std::size_t>(into.DigColl->Count()) + CountLineBreaks(text) +
                          1);
    int32_t lineNumber = firstLineNumber;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find(L"\r\n", begin);
        ParseItemLine(text.substr(begin, end == std::wstring_view::npos ? end : end - begin),
                      lineNumber, into, fs);
        if (end == std::wstring_view::npos) break;
        begin = end + 2;
        ++lineNumber;
    }
}

bool OpenProjectFile(ProjectState& state, FileSystem& fs, StatusSink& status,
                     const std::wstring& FileName) {
    const std::wstring text = DecodeProjectText(fs.ReadAllBytes(FileName));
    const std::wstring_view all = text;
    const std::size_t headerEnd = all.find(L"\r\n");
    const std::wstring_view header = all.substr(0, headerEnd);
    if (!IsAbsolutePath(header))
        ThrowAtLine(1,
                    L"the start path is not an absolute path such as C:\\Folder or "
                    L"\\\\server\\share");

    // A lone LF or CR means lines that do not end the way this file's lines do: taking the
    // whole file as its start path would open a broken project without a word.
    if (header.find_first_of(L"\r\n\t") != std::wstring_view::npos)
        ThrowAtLine(1,
                    L"the start path holds a line break or TAB: the lines of a project file end "
                    L"with CR LF");
    LoadedProject loaded;
    loaded.SaveFile.StartPath = header;
    // A header alone is a project without items, and a single item line needs no line break.
    if (headerEnd != std::wstring_view::npos)
        ParseItemLines(all.substr(headerEnd + 2), 2, loaded, fs);
    loaded.SaveFile.Altered = false;
    loaded.SaveFile.FileName = FileName;

    // Everything succeeded: install. The project record is refilled, so whoever holds it
    // sees the opened project; the collection is a new one.
    if (state.SaveFile)
        *state.SaveFile = std::move(loaded.SaveFile);
    else
        state.SaveFile = std::make_shared<clsSaveFile>(std::move(loaded.SaveFile));
    state.DigColl = std::move(loaded.DigColl);

    status.StatusBar_Update(kPanelAction, L"Opened File: " + state.SaveFile->FileName);
    return true;
}

}  // namespace prowl
