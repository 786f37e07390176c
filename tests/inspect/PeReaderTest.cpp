#include <gtest/gtest.h>

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
    std::size_t SectionOf(uint32_t rva) const {
        for (std::size_t s = sections; s < sectionEnd; s += 40)
            if (rva >= Get(b, s + 12) && rva < Get(b, s + 12) + Get(b, s + 8)) return s;
        throw std::runtime_error("address in no section");
    }
    std::size_t Offset(uint32_t rva) const {
        return rva - Get(b, SectionOf(rva) + 12) + Get(b, SectionOf(rva) + 20);
    }
    std::size_t Table(int directory) const { return Offset(Get(b, Directory(directory))); }
    const std::string& b;
    std::size_t pe, optional, directories, sections, sectionEnd;
};

std::optional<PeFacts> Parse(std::string_view bytes) {
    test::CountedBytes source(bytes);
    return ReadPe(source);
}

TEST(PeReader, ReadsEachComponentFromItsHeadersAndRefusesOrReadsWholeEveryTruncation) {
    const std::tuple<const wchar_t*, uint16_t, bool, bool> cases[] = {
        {L"prowl_com.dll", kMachineX64, true, true},
        {L"prowl_noentry.dll", kMachineX64, false, false},
        {L"prowl_regonly.dll", kMachineX64, true, false},
        {L"prowl_com32.dll", kMachineX86, true, true},
    };
    for (const auto& [file, machine, registers, unregisters] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(file)));
        const std::string bytes = test::ComponentBytes(file);
        test::CountedBytes source(bytes);
        const auto whole = ReadPe(source);
        ASSERT_TRUE(whole);
        EXPECT_EQ(std::tuple(whole->Machine, whole->IsDll, whole->ExportsRegister,
                             whole->ExportsUnregister),
                  std::tuple(machine, true, registers, unregisters));
        EXPECT_LT(source.BytesRead, 16u * 1024) << "of " << bytes.size();
        // Every length through the headers, then a stride that lands all over the sections.
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

// What a user sees of a hand-edited file: refused as no program file, or read without what is
// out of range. That no such file is read past its end is the fuzz target's to check.
TEST(PeReader, RefusesAFileWithAnyFieldOutOfRangeButOnlyDropsAManifestOutOfRange) {
    const std::string original = test::ComponentBytes(L"prowl_sxs.dll");
    const Layout l(original);
    const std::size_t imports = l.Table(1), exports = l.Table(0);
    const std::size_t importSection = l.SectionOf(Get(original, l.Directory(1)));
    const auto whole = Parse(original);
    ASSERT_TRUE(whole && whole->Assemblies.size() == 1);
    std::optional<PeFacts> refused, noManifest = whole, registerOnly = whole;
    noManifest->Assemblies.clear();
    registerOnly->ExportsUnregister = false;
    const std::optional<PeFacts> noTables = PeFacts{kMachineX64, true, false, false, {}, {}};
    const struct {
        std::size_t at;
        uint32_t value;
        int bytes;
        const std::optional<PeFacts>& expected;
    } cases[] = {
        {1, 'X', 1, refused},                      // no MZ
        {l.pe + 2, 'X', 1, refused},               // no PE signature
        {l.optional, 0x30B, 2, refused},           // unknown optional header
        {l.pe + 20, 110, 2, refused},              // optional header too short
        {l.Directory(1), 0xFFFFFFF0, 4, refused},  // import table outside the image
        {l.Directory(1), Get(original, importSection + 12) + Get(original, importSection + 8), 4,
         refused},                               // just past its section
        {imports + 12, 0x7FFFFFF0, 4, refused},  // import name outside the image
        {exports + 24, 0x40000000, 4, refused},  // more export names than fit
        {exports + 32, 0xFFFFFFF0, 4, refused},  // export names outside the image
        {exports + 28, 0xFFFFFF00, 4, refused},  // the functions outside it
        // The loader finds no entry point whose ordinal is past the function count, and no
        // tables past the directory count.
        {exports + 20, 1, 4, registerOnly},
        {l.directories - 4, 0, 4, noTables},
        {l.Directory(2), 0xFFFFFFF0, 4, noManifest},  // resources outside the image
    };
    for (const auto& c : cases) {
        std::string bytes = original;
        Put(bytes, c.at, c.value, c.bytes);
        EXPECT_EQ(Parse(bytes), c.expected) << "case " << &c - cases;
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
    std::string utf16 = "\xFF\xFE", many;
    for (const char c : identity("Wide")) utf16 += std::string{c, '\0'};
    for (int i = 0; i < 20; ++i) many += identity("N" + std::to_string(i));
    const std::pair<std::string, std::vector<AssemblyIdentity>> cases[] = {
        {"<!-- " + identity("Commented") +
             " --><assembly><assemblyIdentity name='Own' "
             "version='1.0.0.0' publicKeyToken='0123456789abcdef'/><dependentAssembly>"
             "<asmv1:assemblyIdentity description=\"a > b\" name='VC90.CRT' version='9.0.1.8' "
             "processorArchitecture='x86' publicKeyToken='1fc8b3'></asmv1:assemblyIdentity>",
         {{L"VC90.CRT", L"9.0.1.8", L"x86", L"1fc8b3"}}},
        {identity("..\\Windows") + identity("a_b") + identity("*") + identity("P", "win32-policy") +
             identity("Kept") + "<dependentAssembly><assemblyIdentity name='Open'",
         {{L"Kept", L"1.0.0.0", L"", L"0123456789abcdef"}}},
        {utf16, {{L"Wide", L"1.0.0.0", L"", L"0123456789abcdef"}}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(DependentAssemblies(text), expected) << text;
    EXPECT_EQ(DependentAssemblies(many).size(), kMaxDependentAssemblies);
}

}  // namespace
}  // namespace prowl
