#include <gtest/gtest.h>

#include <cstring>

#include "InspectTestSupport.h"
#include "inspect/ComponentTexts.h"
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
    std::size_t Directory(int i) const { return directories + 8 * i; }
    std::size_t Table(int directory) const {  // where it is in the file
        const uint32_t rva = Get(b, Directory(directory));
        const std::size_t sections = optional + Get(b, pe + 20, 2);
        for (std::size_t s = sections; s < sections + 40 * Get(b, pe + 6, 2); s += 40)
            if (rva - Get(b, s + 12) < Get(b, s + 8)) return rva - Get(b, s + 12) + Get(b, s + 20);
        throw std::runtime_error("address in no section");
    }
    const std::string& b;
    std::size_t pe = Get(b, 0x3C), optional = pe + 24,
                directories = optional + (Get(b, optional, 2) == 0x20B ? 112 : 96);
};

// The bytes as the reader sees a file, without a copy, so that a thousand cuts stay cheap; a
// read past the end is the reader's fault.
std::optional<PeFacts> Parse(std::string_view bytes) {
    struct View final : ByteSource {
        std::string_view b;
        uint64_t Size() const override { return b.size(); }
        bool Read(uint64_t at, void* to, std::size_t n) override {
            const bool inside = at <= b.size() && n <= b.size() - at;
            EXPECT_TRUE(inside) << "a read past the end of the file";
            return inside && (std::memcpy(to, b.data() + at, n), true);
        }
    } view;
    view.b = bytes;
    return ReadPe(view);
}

TEST(PeReader, ReadsEachComponentFromItsHeadersAndAFileCutShortWholeOrNotAtAll) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"prowl_com.dll", L"64-bit (x64): Register and Unregister"},
        {L"prowl_noentry.dll", L"64-bit (x64): None"},
        {L"prowl_regonly.dll", L"64-bit (x64): Register only"},
        {L"prowl_com32.dll", L"32-bit (x86): Register and Unregister"},
    };
    for (const auto& [file, expected] : cases) {
        const std::string bytes = test::ComponentBytes(file);
        const ComponentFacts whole{Parse(bytes), {}, {}};
        EXPECT_EQ(BuiltForText(whole) + L": " + EntryPointsText(whole), expected);
        // A file cut short is no program file while its headers are cut, and read whole or
        // refused after that: every length through the headers, then a stride over the rest.
        const std::size_t headers = Get(bytes, Layout{bytes}.optional + 60);
        for (std::size_t n = 0; n < bytes.size(); n += n <= headers ? 1 : 61) {
            const auto cut = Parse(std::string_view(bytes).substr(0, n));
            ASSERT_TRUE(n <= headers ? !cut : !cut || cut == whole.Program)
                << testing::PrintToString(std::wstring(file)) << " cut to " << n;
        }
    }
}

// Where the headers are padded, a delay-load table that names late.dll, old.dll by address as
// the oldest linkers did, and the imported KERNEL32 again in other letters. Then what a user
// sees of hand-edited fields: refused as no program file, or read without what is out of
// range, and never read past the end.
TEST(PeReader, ListsDelayLoadedDllsLastAndRefusesAnyFieldOutOfRangeButAManifest) {
    std::string original = test::ComponentBytes(L"prowl_sxs.dll");
    const Layout l{original};
    const uint32_t pad = l.optional + Get(original, l.pe + 20, 2) + 40 * Get(original, l.pe + 6, 2);
    const char names[] = "late.dll\0old.dll\0kernel32.DLL";
    original.replace(pad + 96, sizeof names, names, sizeof names);
    const uint32_t delayed[][2] = {{1, pad + 96}, {0, 0x10000000 + pad + 105}, {1, pad + 113}};
    for (int i = 0; i < 3; ++i)
        Put(original, pad + 32 * i, delayed[i][0]), Put(original, pad + 32 * i + 4, delayed[i][1]);
    Put(original, l.Directory(13), pad), Put(original, l.Directory(13) + 4, 96);
    Put(original, l.optional + 24, 0x10000000), Put(original, l.optional + 28, 0);
    const auto whole = Parse(original);
    ASSERT_TRUE(whole && whole->Assemblies.size() == 1);
    std::wstring listed;  // a delayed one marked with a star
    for (const ImportedDll& dll : whole->Imports) listed += dll.Name + (dll.Delayed ? L"* " : L" ");
    EXPECT_EQ(listed, L"ADVAPI32.dll KERNEL32.dll msvcrt.dll prowldep.dll late.dll* old.dll* ");

    const std::size_t exports = l.Table(0);
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
