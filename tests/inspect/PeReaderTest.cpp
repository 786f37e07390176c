#include <gtest/gtest.h>

#include "InspectTestSupport.h"
#include "inspect/PeReader.h"
#include "ui/memory/MemoryDisk.h"

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

// The reader keeps its reads inside the file itself; the fuzz target checks that it does.
std::optional<PeFacts> Parse(const std::string& bytes) {
    MemoryDisk disk;
    disk.File(L"C:\\x.dll", bytes);
    return ReadPe(*MemoryComponents(disk).Open(L"C:\\x.dll"));
}

TEST(PeReader, ReadsEachComponentFromItsHeaders) {
    const std::tuple<const wchar_t*, uint16_t, bool, bool> cases[] = {
        {L"prowl_com.dll", kMachineX64, true, true},
        {L"prowl_noentry.dll", kMachineX64, false, false},
        {L"prowl_regonly.dll", kMachineX64, true, false},
        {L"prowl_com32.dll", kMachineX86, true, true},
    };
    for (const auto& [file, machine, registers, unregisters] : cases) {
        const auto facts = Parse(test::ComponentBytes(file));
        ASSERT_TRUE(facts);
        EXPECT_EQ(std::tuple(facts->Machine, facts->IsDll, facts->ExportsRegister,
                             facts->ExportsUnregister),
                  std::tuple(machine, true, registers, unregisters))
            << testing::PrintToString(std::wstring(file));
    }
}

// What a user sees of a hand-edited file: refused as no program file, or read without what is
// out of range. That no such file is read past its end is the fuzz target's to check.
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
