#include "projectfile/Report.h"

#include <array>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "inspect/ComponentFacts.h"
#include "inspect/ComponentTexts.h"
#include "model/Records.h"
#include "model/TextCase.h"
#include "projectfile/TextEncoding.h"

namespace prowl {
namespace {

constexpr std::size_t kChunk = 256 * 1024;
constexpr std::string_view kHeader =
    "Path,Type,Included,Exists Now,Built For,Registered,Missing DLLs\r\n";

// Which files are in a folder now, from one listing. A folder that cannot be listed (access
// denied) is not taken as empty: its files are looked up one by one instead.
class FilesNow {
  public:
    explicit FilesNow(FileSystem& fs) : fs_(fs) {}

    bool Exists(const std::wstring& path) {
        const std::size_t slash = path.rfind(L'\\');
        if (slash == std::wstring::npos) return LookUp(path);
        // A drive root's folder keeps its backslash ("C:\" rather than "C:").
        const std::wstring folder = path.substr(0, slash == 2 && path[1] == L':' ? 3 : slash);
        auto found = folders_.find(folder);
        if (found == folders_.end()) found = folders_.emplace(folder, List(folder)).first;
        const Listing& listing = found->second;
        if (listing.status == ListStatus::NotFound) return false;
        if (listing.status == ListStatus::Failed) return LookUp(path);
        return listing.upperNames.contains(UpperCase(path.substr(slash + 1)));
    }

  private:
    struct Listing {
        ListStatus status = ListStatus::NotFound;
        std::unordered_set<std::wstring> upperNames;  // files only
    };

    Listing List(const std::wstring& folder) {
        Listing listing;
        std::vector<DirEntry> entries;
        listing.status = fs_.ListFolder(folder, entries, nullptr);
        if (listing.status == ListStatus::Ok)
            for (const DirEntry& entry : entries)
                if (!entry.IsFolder()) listing.upperNames.insert(UpperCase(entry.Name));
        return listing;
    }
    bool LookUp(const std::wstring& path) {
        return fs_.LookUpFile(path, nullptr) == FileLookup::Present;
    }

    FileSystem& fs_;
    std::unordered_map<std::wstring, Listing> folders_;
};

class CsvOut {
  public:
    explicit CsvOut(FileReplacement& file) : file_(file) {
        bytes_.reserve(kChunk + 4096);
        bytes_ += "\xEF\xBB\xBF";
        bytes_ += kHeader;
    }

    void Row(const std::array<std::wstring, 7>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i != 0) bytes_ += ',';
            Field(fields[i]);
        }
        bytes_ += "\r\n";
        if (bytes_.size() >= kChunk) Flush();
    }

    void Finish() {
        Flush();
        file_.Commit();
    }

  private:
    void Field(const std::wstring& text) {
        if (text.find_first_of(L",\"\r\n") == std::wstring::npos) {
            AppendUtf8(text, bytes_);
            return;
        }
        std::wstring quoted;
        quoted.reserve(text.size() + 8);
        quoted += L'"';
        for (const wchar_t c : text) {
            if (c == L'"') quoted += L'"';
            quoted += c;
        }
        quoted += L'"';
        AppendUtf8(quoted, bytes_);
    }
    void Flush() {
        file_.Write(bytes_);
        bytes_.clear();
    }

    FileReplacement& file_;
    std::string bytes_;
};

const wchar_t* YesNo(bool value) { return value ? L"Yes" : L"No"; }

}  // namespace

void WriteReport(const ItemCollection& records, const ReportSources& sources, StatusSink& status,
                 const std::wstring& FileName) {
    status.StatusBar_Update(kPanelAction, L"Exporting Report: ");
    status.ProgressBar_Show(true, records.Count());
    try {
        const auto file = sources.files.BeginReplaceFile(FileName);
        CsvOut csv(*file);
        FilesNow now(sources.files);
        for (int32_t i = 1; i <= records.Count(); ++i) {
            // Held here: the progress call below may let a command drop it from the collection.
            const ObjectRef record = records.Item(i);
            const bool dll = record->NodeType == kNodeDll;
            if (dll || record->NodeType == kNodeOcx) {
                const bool exists = now.Exists(record->Path);
                std::optional<ComponentFacts> facts;
                if (exists)
                    facts = InspectComponent(record->Path, sources.components, sources.system,
                                             sources.registration);
                csv.Row({record->Path, dll ? L"DLL" : L"OCX", YesNo(record->Included == kFlagOn),
                         YesNo(exists), facts ? BuiltForText(*facts) : L"",
                         RegisteredText(sources.registration.Lookup(record->Path)),
                         facts ? MissingDllsText(*facts) : L""});
            }
            status.ProgressBar_Increment(1);
        }
        csv.Finish();
    } catch (...) {
        status.ProgressBar_Show(false, 0);
        throw;
    }
    status.ProgressBar_Show(false, 0);
    status.StatusBar_Update(kPanelAction, L"Exported Report: " + FileName);
}

}  // namespace prowl
