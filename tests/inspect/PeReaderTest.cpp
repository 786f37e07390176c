#include <gtest/gtest.h>

#include <algorithm>

#include "InspectTestSupport.h"
#include "inspect/ComponentTexts.h"
#include "inspect/PeReader.h"

namespace prowl {
namespace {

using test::ComponentBytes;

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
        : pe(Get(b, 0x3C)),
          optional(pe + 24),
          directories(optional + (Get(b, optional, 2) == 0x20B ? 112 : 96)),
          sections(optional + Get(b, pe + 20, 2)),
          sectionEnd(sections + 40 * Get(b, pe + 6, 2)) {}
    std::size_t Directory(int i) const { return directories + 8 * i; }
    std::size_t SectionOf(const std::string& b, uint32_t rva) const {
        for (std::size_t s = sections; s < sectionEnd; s += 40)
            if (rva >= Get(b, s + 12) && rva < Get(b, s + 12) + Get(b, s + 8)) return s;
        throw std::runtime_error("address in no section");
    }
    std::size_t Offset(const std::string& b, uint32_t rva) const {
        const std::size_t s = SectionOf(b, rva);
        return rva - Get(b, s + 12) + Get(b, s + 20);
    }
    std::size_t Table(const std::string& b, int directory) const {
        return Offset(b, Get(b, Directory(directory)));
    }
    std::size_t pe, optional, directories, sections, sectionEnd;
};

std::optional<PeFacts> Parse(std::string_view bytes) {
    test::LoudBytes source(bytes);
    return ReadPe(source);
}

TEST(PeReader, TellsWhatEachTestComponentIsFromItsHeadersAlone) {
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"prowl_com.dll", L"64-bit (x64)", L"Register and Unregister"},
        {L"prowl_noentry.dll", L"64-bit (x64)", L"None"},
        {L"prowl_regonly.dll", L"64-bit (x64)", L"Register only"},
        {L"prowl_com32.dll", L"32-bit (x86)", L"Register and Unregister"},
    };
    for (const auto& [file, builtFor, entryPoints] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(file)));
        const std::string bytes = ComponentBytes(file);
        test::LoudBytes source(bytes);
        ComponentFacts facts;
        facts.Program = ReadPe(source);
        ASSERT_TRUE(facts.Program);
        EXPECT_EQ(BuiltForText(facts), builtFor);
        EXPECT_EQ(EntryPointsText(facts), entryPoints);
        EXPECT_TRUE(facts.Program->IsDll);
        EXPECT_LT(source.BytesRead, 16u * 1024) << "of " << bytes.size();
    }
}

TEST(PeReader, DelayLoadedDllsAreListedAfterTheImportedOnesEachOnce) {
    // The import table keeps KERNEL32 alone; the delay-load table, written over the rest of
    // it, names msvcrt, ADVAPI32 by address as the oldest linkers did, and KERNEL32 again.
    std::string b = ComponentBytes(L"prowl_com32.dll");
    const Layout l(b);
    const std::size_t at = l.Table(b, 1);
    std::map<std::string, uint32_t> names;
    for (std::size_t d = at; Get(b, d + 12) != 0; d += 20)
        names[b.c_str() + l.Offset(b, Get(b, d + 12))] = Get(b, d + 12);
    std::string tables(200, '\0');
    Put(tables, 12, names.at("KERNEL32.dll")), Put(tables, 16, 1);
    const uint32_t delayed[][2] = {{1, names.at("msvcrt.dll")},
                                   {0, Get(b, l.optional + 28) + names.at("ADVAPI32.dll")},
                                   {1, names.at("KERNEL32.dll")}};
    for (int i = 0; i < 3; ++i)
        Put(tables, 40 + 32 * i, delayed[i][0]), Put(tables, 44 + 32 * i, delayed[i][1]);
    b.replace(at, tables.size(), tables);
    Put(b, l.Directory(1) + 4, 40);
    Put(b, l.Directory(13), Get(b, l.Directory(1)) + 40), Put(b, l.Directory(13) + 4, 128);

    const auto facts = Parse(b);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->Imports,
              (std::vector<ImportedDll>{
                  {L"KERNEL32.dll"}, {L"msvcrt.dll", true}, {L"ADVAPI32.dll", true}}));
}

TEST(PeReader, RefusesAFileWithAnyFieldOutOfRangeAndTakesWhatTheLoaderTakes) {
    const std::string original = ComponentBytes(L"prowl_needsdep.dll");
    const Layout l(original);
    const std::size_t imports = l.Table(original, 1), exports = l.Table(original, 0);
    const std::size_t importSection = l.SectionOf(original, Get(original, l.Directory(1)));
    struct Edit {
        const char* what;
        std::size_t at;
        uint32_t value;
        int bytes = 4;
    };
    const Edit refused[] = {
        {"no MZ", 1, 'X', 1},
        {"no PE signature", l.pe + 2, 'X', 1},
        {"PE header past the end", 0x3C, 0xFFFFFFF0},
        {"unknown optional header", l.optional, 0x30B, 2},
        {"optional header too short", l.pe + 20, 110, 2},
        {"section table past the end", l.pe + 6, 0xFFFF, 2},
        {"import table outside the image", l.Directory(1), 0xFFFFFFF0},
        {"import table's section past the end", importSection + 20, 0xFFFFFE00},
        {"import table just past its section", l.Directory(1),
         Get(original, importSection + 12) + Get(original, importSection + 8)},
        {"import name outside the image", imports + 12, 0x7FFFFFF0},
        {"export table outside the image", l.Directory(0), 0xFFFFFFF0},
        {"more export names than fit", exports + 24, 0x40000000},
        {"export names outside the image", exports + 32, 0xFFFFFFF0},
        {"export ordinals outside the image", exports + 36, 0xFFFFFFF0},
        {"exported functions outside the image", exports + 28, 0xFFFFFF00},
    };
    const auto edited = [&](const Edit& edit) {
        std::string bytes = original;
        Put(bytes, edit.at, edit.value, edit.bytes);
        return Parse(bytes);
    };
    for (const Edit& edit : refused) EXPECT_FALSE(edited(edit)) << edit.what;
    std::string unended = original;  // an imported DLL's name that runs past its reach
    std::fill_n(unended.begin() + l.Offset(original, Get(original, imports + 12)), 300, 'A');
    EXPECT_FALSE(Parse(unended));

    // The loader finds no entry point whose ordinal is past the function count, and no
    // tables past the directory count.
    const auto unregisterPastTheEnd = edited({"", exports + 20, 1});
    ASSERT_TRUE(unregisterPastTheEnd);
    EXPECT_TRUE(unregisterPastTheEnd->ExportsRegister && !unregisterPastTheEnd->ExportsUnregister);
    const auto noDirectories = edited({"", l.directories - 4, 0});
    ASSERT_TRUE(noDirectories);
    EXPECT_TRUE(!noDirectories->ExportsRegister && noDirectories->Imports.empty());
}

TEST(PeReader, AManifestOutOfRangeIsNoneAndTheRestOfTheFileStillCounts) {
    const std::string original = ComponentBytes(L"prowl_sxs.dll");
    const Layout l(original);
    // Type 24's entry, its first name's table, that one's first language's data entry.
    const std::size_t types = l.Table(original, 2), typeEntry = types + 16;
    ASSERT_EQ(Get(original, typeEntry), 24u) << "the manifest is the only resource";
    const std::size_t names = types + (Get(original, typeEntry + 4) & 0x7FFFFFFF);
    const std::size_t languages = types + (Get(original, names + 20) & 0x7FFFFFFF);
    const std::size_t data = types + Get(original, languages + 20);
    const std::pair<std::size_t, uint32_t> edits[] = {
        {l.Directory(2), 0xFFFFFFF0},         // the directory outside the image
        {types + 14, 0xFFFF},                 // more types than the section holds
        {names + 20, 0x80000000},             // a name's table that is the directory itself
        {languages + 20, 0x80000000 | 0x10},  // a language that is a table, not data
        {data, 0xFFFFFF00},                   // the manifest outside the image
        {data + 4, 0x7FFFFFFF},               // a manifest of two gigabytes
    };
    const auto whole = Parse(original);
    ASSERT_TRUE(whole && whole->Assemblies.size() == 1);
    for (const auto& [at, value] : edits) {
        std::string bytes = original;
        Put(bytes, at, value);
        const auto facts = Parse(bytes);
        ASSERT_TRUE(facts) << at;
        EXPECT_TRUE(facts->Assemblies.empty()) << at;
        EXPECT_EQ(facts->Imports, whole->Imports) << at;
    }
}

TEST(Manifest, NamesTheAssembliesDependedOnAndNothingThatCouldLeaveTheStore) {
    const auto identity = [](std::string name, std::string type = "win32") {
        return "<dependency><dependentAssembly><assemblyIdentity type=\"" + type + "\" name=\"" +
               name + "\" version=\"1.0.0.0\" publicKeyToken=\"0123456789abcdef\"/>" +
               "</dependentAssembly></dependency>";
    };
    const std::string vc90 =
        "<dependentAssembly><asmv1:assemblyIdentity description='a > b' type='win32' "
        "name='Microsoft.VC90.CRT' version='9.0.21022.8' processorArchitecture='x86' "
        "publicKeyToken='1fc8b3b9a1e18e3b' language='*'></asmv1:assemblyIdentity>"
        "</dependentAssembly>";
    std::string utf16 = "\xFF\xFE";
    for (const char c : identity("Wide")) utf16 += std::string{c, '\0'};
    std::string many;
    for (int i = 0; i < 20; ++i) many += identity("N" + std::to_string(i));
    const AssemblyIdentity vc90Identity{L"Microsoft.VC90.CRT", L"9.0.21022.8", L"x86",
                                        L"1fc8b3b9a1e18e3b"};
    const auto plain = [](const wchar_t* name) {
        return AssemblyIdentity{name, L"1.0.0.0", L"", L"0123456789abcdef"};
    };
    const std::pair<std::string, std::vector<AssemblyIdentity>> cases[] = {
        {"<!-- " + identity("Commented") +
             " --><assembly><assemblyIdentity name=\"Own\" "
             "version=\"1.0.0.0\" publicKeyToken=\"0123456789abcdef\"/>" +
             vc90 + "</assembly>",
         {vc90Identity}},
        {identity("..\\..\\Windows") + identity("a_b") + identity("*") +
             identity("P", "win32-policy") + identity("Kept"),
         {plain(L"Kept")}},
        {utf16, {plain(L"Wide")}},
        {"<dependentAssembly><assemblyIdentity name=\"Open\" version=\"1.0\" "
         "publicKeyToken=\"aa\"",
         {}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(DependentAssemblies(text), expected) << text;
    EXPECT_EQ(DependentAssemblies(many).size(), kMaxDependentAssemblies);
}

TEST(PeReader, ATruncatedFileIsRefusedOrReadWhole) {
    for (const wchar_t* file : {L"prowl_needsdep.dll", L"prowl_com32.dll"}) {
        const std::string bytes = ComponentBytes(file);
        const auto whole = Parse(bytes);
        ASSERT_TRUE(whole);
        const std::size_t headers = Get(bytes, Layout(bytes).optional + 60);
        // Every length through the headers, then a stride that lands all over the sections.
        for (std::size_t n = 0; n < bytes.size(); n += n <= headers ? 1 : 61) {
            const auto cut = Parse(std::string_view(bytes).substr(0, n));
            if (n <= headers ? cut.has_value() : cut && *cut != *whole) {
                ADD_FAILURE() << testing::PrintToString(std::wstring(file)) << " cut to " << n;
                break;
            }
        }
    }
}

}  // namespace
}  // namespace prowl
