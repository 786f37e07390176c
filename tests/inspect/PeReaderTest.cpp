#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "InspectTestSupport.h"
#include "inspect/PeReader.h"

namespace prowl {
namespace {

uint32_t Get(const std::string& b, std::size_t at, int bytes = 4) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
    return v;
}
void Put(std::string& b, std::size_t at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i, v >>= 8) b[at + i] = static_cast<char>(v);
}

// Where the fields live, worked out here by hand from the published layout.
struct Layout {
    explicit Layout(const std::string& b)
        : b(b),
          pe(Get(b, 0x3C)),
          optional(pe + 24),
          directories(optional + (Get(b, optional, 2) == 0x20B ? 112 : 96)),
          sections(optional + Get(b, pe + 20, 2)),
          sectionEnd(sections + 40 * Get(b, pe + 6, 2)) {}
    std::size_t Directory(int i) const { return directories + 8 * i; }
    std::size_t Offset(uint32_t rva) const {
        for (std::size_t s = sections; s < sectionEnd; s += 40)
            if (rva >= Get(b, s + 12) && rva < Get(b, s + 12) + Get(b, s + 8))
                return rva - Get(b, s + 12) + Get(b, s + 20);
        throw std::runtime_error("address in no section");
    }
    std::size_t Table(int directory) const { return Offset(Get(b, Directory(directory))); }
    const std::string& b;
    std::size_t pe, optional, directories, sections, sectionEnd;
};

// The bytes as the reader sees a file, without a copy, so that a thousand cuts stay cheap; a
// read past the end is the reader's fault.
struct View final : ByteSource {
    explicit View(std::string_view bytes) : b(bytes) {}
    uint64_t Size() const override { return b.size(); }
    bool Read(uint64_t at, void* to, std::size_t n) override {
        const bool inside = at <= b.size() && n <= b.size() - at;
        EXPECT_TRUE(inside) << "a read past the end of the file";
        return inside && (std::memcpy(to, b.data() + at, n), true);
    }
    std::string_view b;
};
std::optional<PeFacts> Parse(std::string_view bytes) {
    View view(bytes);
    return ReadPe(view);
}

TEST(PeReader, ReadsEachComponentFromItsHeaders) {
    const std::tuple<const wchar_t*, uint16_t, bool, bool> cases[] = {
        {L"prowl_com.dll", kMachineX64, true, true},
        {L"prowl_noentry.dll", kMachineX64, false, false},
        {L"prowl_regonly.dll", kMachineX64, true, false},
        {L"prowl_com32.dll", kMachineX86, true, true},
    };
    for (const auto& [file, machine, registers, unregisters] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(file)));
        const std::string bytes = test::ComponentBytes(file);
        const auto whole = Parse(bytes);
        ASSERT_TRUE(whole);
        EXPECT_EQ(std::tuple(whole->Machine, whole->IsDll, whole->ExportsRegister,
                             whole->ExportsUnregister),
                  std::tuple(machine, true, registers, unregisters));
        // A file cut short is no program file while its headers are cut, and read whole or
        // refused after that: every length through the headers, then a stride over the rest.
        const std::size_t headers = Get(bytes, Layout(bytes).optional + 60);
        for (std::size_t n = 0; n < bytes.size(); n += n <= headers ? 1 : 61) {
            const auto cut = Parse(std::string_view(bytes).substr(0, n));
            if (n <= headers ? cut.has_value() : cut && *cut != *whole) {
                ADD_FAILURE() << "cut to " << n;
                break;
            }
        }
    }
}

TEST(PeReader, DelayLoadedDllsAreListedAfterTheImportedOnesEachOnce) {
    // The import table keeps KERNEL32 alone; the delay-load table, written over the rest of
    // it, names msvcrt, ADVAPI32 by address as the oldest linkers did, and KERNEL32 again.
    std::string b = test::ComponentBytes(L"prowl_com32.dll");
    const Layout l(b);
    const std::size_t at = l.Table(1);
    std::map<std::string, uint32_t> names;
    for (std::size_t d = at; Get(b, d + 12) != 0; d += 20)
        names[b.c_str() + l.Offset(Get(b, d + 12))] = Get(b, d + 12);
    std::string tables(200, '\0');
    Put(tables, 12, names.at("KERNEL32.dll")), Put(tables, 16, 1);
    const uint32_t delayed[][2] = {{1, names.at("msvcrt.dll")},
                                   {0, Get(b, l.optional + 28) + names.at("ADVAPI32.dll")},
                                   {1, names.at("KERNEL32.dll")}};
    for (int i = 0; i < 3; ++i)
        Put(tables, 40 + 32 * i, delayed[i][0]), Put(tables, 44 + 32 * i, delayed[i][1]);
    Put(b, l.Directory(13), Get(b, l.Directory(1)) + 40), Put(b, l.Directory(13) + 4, 128);
    Put(b, l.Directory(1) + 4, 40);
    b.replace(at, tables.size(), tables);
    EXPECT_EQ(Parse(b).value().Imports,
              (std::vector<ImportedDll>{
                  {L"KERNEL32.dll"}, {L"msvcrt.dll", true}, {L"ADVAPI32.dll", true}}));
}

// What a user sees of a hand-edited file: refused as no program file, or read without what is
// out of range, and never read past its end.
TEST(PeReader, RefusesAFileWithAnyFieldOutOfRangeButOnlyDropsAManifestOutOfRange) {
    const std::string original = test::ComponentBytes(L"prowl_sxs.dll");
    const Layout l(original);
    const std::size_t imports = l.Table(1), exports = l.Table(0);
    const auto whole = Parse(original);
    ASSERT_TRUE(whole && whole->Assemblies.size() == 1);
    std::optional<PeFacts> refused, noManifest = whole, registerOnly = whole;
    noManifest->Assemblies.clear();
    registerOnly->ExportsUnregister = false;
    const std::optional<PeFacts> noTables = PeFacts{kMachineX64, true, false, false, {}, {}};
    // Where a field is, what is written there and in how many bytes, and what is read then.
    const std::tuple<std::size_t, uint32_t, int, std::optional<PeFacts>> cases[] = {
        {1, 'X', 1, refused},                      // no MZ
        {l.pe + 2, 'X', 1, refused},               // no PE signature
        {l.optional, 0x30B, 2, refused},           // unknown optional header
        {l.Directory(1), 0xFFFFFFF0, 4, refused},  // import table outside the image
        {exports + 32, 0xFFFFFFF0, 4, refused},    // export names outside the image
        {exports + 28, 0xFFFFFF00, 4, refused},    // the functions outside it
        // The loader finds no entry point whose ordinal is past the function count, and no
        // tables past the directory count.
        {exports + 20, 1, 4, registerOnly},
        {l.directories - 4, 0, 4, noTables},
        {l.Directory(2), 0xFFFFFFF0, 4, noManifest},  // resources outside the image
    };
    for (const auto& [at, value, size, expected] : cases) {
        std::string bytes = original;
        Put(bytes, at, value, size);
        EXPECT_EQ(Parse(bytes), expected) << "at " << at;
    }
    std::string unended = original;  // an imported DLL's name that runs past its reach
    std::fill_n(unended.begin() + l.Offset(Get(original, imports + 12)), 300, 'A');
    EXPECT_FALSE(Parse(unended));
}

TEST(Manifest, NamesTheAssembliesDependedOnAndNothingThatCouldLeaveTheStore) {
    const auto identity = [](std::string name, std::string type = "win32") {
        return "<dependentAssembly><assemblyIdentity type='" + type + "' name='" + name +
               "' version='1.0.0.0' publicKeyToken='0123456789abcdef'/></dependentAssembly>";
    };
    const std::string manifest =
        "<!-- " + identity("Commented") +
        " --><assembly><assemblyIdentity name='Own' version='1.0.0.0' "
        "publicKeyToken='0123456789abcdef'/><dependentAssembly><asmv1:assemblyIdentity "
        "description=\"a > b\" name='VC90.CRT' version='9.0.1.8' processorArchitecture='x86' "
        "publicKeyToken='1fc8b3'></asmv1:assemblyIdentity></dependentAssembly>" +
        identity("..\\Windows") + identity("a_b") + identity("*") + identity("P", "win32-policy") +
        identity("Kept") + "<dependentAssembly><assemblyIdentity name='Open'";
    EXPECT_EQ(DependentAssemblies(manifest),
              (std::vector<AssemblyIdentity>{{L"VC90.CRT", L"9.0.1.8", L"x86", L"1fc8b3"},
                                             {L"Kept", L"1.0.0.0", L"", L"0123456789abcdef"}}));
}

}  // namespace
}  // namespace prowl
