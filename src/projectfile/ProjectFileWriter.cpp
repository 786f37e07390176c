#include <vector>

#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "projectfile/TextEncoding.h"

namespace prowl {

namespace {

constexpr std::size_t kLongestNumber = 11;  // "-2147483648"

void AppendNumber(std::wstring& out, int32_t value) {
    wchar_t digits[kLongestNumber];
    wchar_t* end = digits + kLongestNumber;
    wchar_t* p = end;
    // Through 64 bits, so the most negative value has a magnitude too.
    int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
    do {
        *--p = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = L'-';
    out.append(p, end);
}

std::size_t LineLength(const clsObject& r) {
    return 2 * kLongestNumber + r.Key.size() + r.NodeType.size() + r.Path.size() +
           r.Reference.size() + r.Text.size() + r.Included.size() + r.Expanded.size() + 8 + 2;
}

}  // namespace

void AppendRecordLine(std::wstring& out, const clsObject& r) {
    AppendNumber(out, r.Index);
    out += L'\t';
    out += r.Key;
    out += L'\t';
    out += r.NodeType;
    out += L'\t';
    AppendNumber(out, r.ParentIndex);
    out += L'\t';
    out += r.Path;
    out += L'\t';
    out += r.Reference;
    out += L'\t';
    out += r.Text;
    out += L'\t';
    out += r.Included;
    out += L'\t';
    out += r.Expanded;
    out += L"\r\n";
}

std::wstring BuildRecordLine(const clsObject& record) {
    std::wstring line;
    line.reserve(LineLength(record));
    AppendRecordLine(line, record);
    return line;
}

bool SaveProjectFile(ProjectState& state, FileSystem& fs, StatusSink& status,
                     const std::wstring& FileName) {
    if (!state.SaveFile) state.SaveFile = std::make_shared<clsSaveFile>();
    if (!state.DigColl) state.DigColl = std::make_shared<ItemCollection>();
    // The progress calls let the window process events, and a command taken there may replace
    // DigColl and SaveFile: the save goes on with the project it began with.
    const SaveFileRef project = state.SaveFile;
    const std::vector<ObjectRef> records(state.DigColl->begin(), state.DigColl->end());
    const int32_t count = static_cast<int32_t>(records.size());

    status.StatusBar_Update(kPanelAction, L"Saving File: ");
    status.ProgressBar_Show(true, count + 1);
    try {
        std::size_t length = project->StartPath.size() + 2;
        for (const ObjectRef& r : records) length += LineLength(*r);
        std::wstring text;
        text.reserve(length);
        text += project->StartPath;
        text += L"\r\n";
        for (const ObjectRef& r : records) {
            AppendRecordLine(text, *r);
            status.ProgressBar_Increment(1);
        }
        // The last item line ends the file without a line break.
        if (count > 0) text.resize(text.size() - 2);

        std::string bytes;
        if (!TryEncodeAnsi(text, bytes)) {
            bytes = "\xEF\xBB\xBF";
            AppendUtf8(text, bytes);
        }
        fs.ReplaceFileContents(FileName, bytes);
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
