#include <algorithm>
#include <string_view>

#include "projectfile/ChunkedBytes.h"
#include "projectfile/ProjectFile.h"
#include "projectfile/TextEncoding.h"

namespace prowl {

namespace {

constexpr std::size_t kLongestNumber = 11;  // "-2147483648"

// Decimal digits with a "-" when negative, written backwards from `end`; returns the start.
template <typename Char>
Char* FormatNumber(int32_t value, Char* end) {
    Char* p = end;
    // Through 64 bits, so the most negative value has a magnitude too.
    int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
    do {
        *--p = static_cast<Char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = static_cast<Char>('-');
    return p;
}

// The nine fields of an item line, joined by TABs, into anything with Put (text, false when
// it cannot be held), PutChar and PutNumber. The one place that knows the field order.
template <typename Out>
bool PutFields(Out& out, const clsObject& r) {
    out.PutNumber(r.Index);
    out.PutChar('\t');
    bool ok = out.Put(r.Key);
    out.PutChar('\t');
    ok = ok && out.Put(r.NodeType);
    out.PutChar('\t');
    out.PutNumber(r.ParentIndex);
    out.PutChar('\t');
    ok = ok && out.Put(r.Path);
    out.PutChar('\t');
    ok = ok && out.Put(r.Reference);
    out.PutChar('\t');
    ok = ok && out.Put(r.Text);
    out.PutChar('\t');
    ok = ok && out.Put(r.Included);
    out.PutChar('\t');
    ok = ok && out.Put(r.Expanded);
    return ok;
}

struct WideLine {
    bool Put(const std::wstring& text) {
        line += text;
        return true;
    }
    void PutChar(char c) { line += static_cast<wchar_t>(c); }
    void PutNumber(int32_t value) {
        wchar_t digits[kLongestNumber];
        line.append(FormatNumber(value, digits + kLongestNumber), digits + kLongestNumber);
    }
    std::wstring line;
};

}  // namespace

std::wstring BuildRecordLine(const clsObject& record) {
    WideLine out;
    PutFields(out, record);
    out.line += L"\r\n";
    return std::move(out.line);
}

namespace {

// The project file's bytes, made straight from the records. ASCII, which nearly every path,
// label and number is, is copied through; other text goes through the chosen encoding.
class FileBytes : public ChunkedBytes {
  public:
    FileBytes(FileReplacement& file, bool utf8) : ChunkedBytes(file), utf8_(utf8) {
        if (utf8_) Put(std::string_view("\xEF\xBB\xBF"));
    }
    using ChunkedBytes::Put;

    // False when the text has no exact form in the ANSI code page.
    bool Put(std::wstring_view text) {
        // Copy as if ASCII, and keep the copy only if it was.
        const std::size_t n = text.size();
        if (static_cast<std::size_t>(end_ - cur_) < n) MakeRoom(n);
        char* const out = cur_;
        const wchar_t* const in = text.data();
        unsigned seen = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned>(in[i]);
            seen |= c;
            out[i] = static_cast<char>(c);
        }
        if (seen < 0x80) {
            cur_ = out + n;
            return true;
        }
        return PutEncoded(text);
    }
    void PutChar(char c) {
        if (cur_ == end_) MakeRoom(1);
        *cur_++ = c;
    }
    void PutNumber(int32_t value) {
        char digits[kLongestNumber];
        const char* start = FormatNumber(value, digits + kLongestNumber);
        Put(std::string_view(start, static_cast<std::size_t>(digits + kLongestNumber - start)));
    }
    // The line break goes before the line: the last item line ends the file without one.
    bool PutRecord(const clsObject& r) {
        PutChar('\r');
        PutChar('\n');
        return PutFields(*this, r);
    }

  private:
    bool PutEncoded(std::wstring_view text) {
        encoded_.clear();
        if (utf8_)
            AppendUtf8(text, encoded_);
        else if (!TryEncodeAnsi(text, encoded_))
            return false;
        Put(std::string_view(encoded_));
        return true;
    }
    bool utf8_;
    std::string encoded_;
};

// Writes the project in the system's ANSI code page; false, with nothing replaced, as soon as
// some text has no exact form there. Each record written advances the progress bar, and
// `counted` tells how many did.
bool WriteAnsi(FileSystem& fs, const std::wstring& FileName, const clsSaveFile& project,
               const ItemCollection& records, StatusSink& status, int32_t& counted) {
    const auto file = fs.BeginReplaceFile(FileName);
    FileBytes bytes(*file, false);
    if (!bytes.Put(project.StartPath)) return false;
    // Count is read afresh: a command taken while the window processes events may shorten
    // the collection.
    for (int32_t i = 1; i <= records.Count(); ++i) {
        if (!bytes.PutRecord(*records.Item(i))) return false;
        status.ProgressBar_Increment(1);
        ++counted;
    }
    // Without items the header keeps its line break.
    if (counted == 0) bytes.Put(std::string_view("\r\n"));
    bytes.Finish();
    return true;
}

// The whole project as UTF-8 with a byte-order mark, which holds every text. The progress bar
// goes on from the records the first attempt counted.
void WriteUtf8(FileSystem& fs, const std::wstring& FileName, const clsSaveFile& project,
               const ItemCollection& records, StatusSink& status, int32_t counted) {
    const auto file = fs.BeginReplaceFile(FileName);
    FileBytes bytes(*file, true);
    bytes.Put(project.StartPath);
    int32_t written = 0;
    for (int32_t i = 1; i <= records.Count(); ++i) {
        bytes.PutRecord(*records.Item(i));
        if (++written > counted) status.ProgressBar_Increment(1);
    }
    if (written == 0) bytes.Put(std::string_view("\r\n"));
    bytes.Finish();
}

}  // namespace

bool SaveProjectFile(ProjectState& state, FileSystem& fs, StatusSink& status,
                     const std::wstring& FileName) {
    if (!state.SaveFile) state.SaveFile = std::make_shared<clsSaveFile>();
    if (!state.DigColl) state.DigColl = std::make_shared<ItemCollection>();
    // The progress calls let the window process events, and a command taken there may replace
    // DigColl and SaveFile: the save goes on with the project it began with.
    const SaveFileRef project = state.SaveFile;
    const CollectionRef records = state.DigColl;
    const int32_t count = records->Count();

    status.StatusBar_Update(kPanelAction, L"Saving File: ");
    status.ProgressBar_Show(true, count + 1);
    try {
        int32_t counted = 0;
        if (!WriteAnsi(fs, FileName, *project, *records, status, counted))
            WriteUtf8(fs, FileName, *project, *records, status, counted);
    } catch (...) {
        status.ProgressBar_Show(false, count + 1);
        throw;
    }
    status.ProgressBar_Increment(1);
    status.ProgressBar_Show(false, count + 1);

    project->Altered = false;
    project->FileName = FileName;
    status.StatusBar_Update(kPanelAction, L"Saved File: " + project->FileName);
    return true;
}

}  // namespace prowl
