// The tree's popup through the logic: each registration command reaches the engine with the
// record of the node the user clicked.
#include <gtest/gtest.h>

#include "ui/MemoryProgram.h"

namespace prowl {
namespace {

TEST(RegistrationCommands, EachPopupCommandActsOnTheRecordOfTheClickedNode) {
    test::MemoryProgram p;
    std::vector<std::wstring> starts;
    p.launcher.onStart = [&](const std::wstring& start) {
        const std::size_t from = start.find(L' ') + 1;  // the switches and the path alone
        starts.push_back(start.substr(from, start.rfind(L'|') - from));
    };
    // Indexes unlike positions, a key used twice and a reference to nothing: d.dll repeats
    // a.dll's key and x.dll names no parent, so both hang under the root after the others
    // (out of P's group run), no node is at position + 1, and no key or index leads to the
    // record its node stands for.
    const std::tuple<int32_t, const wchar_t*, std::wstring, const wchar_t*, const wchar_t*>
        records[] = {{7, kNodeFolder, L"C:\\P", L"K7", L"K0"},
                     {2, kNodeDll, L"C:\\P\\x.dll", L"K2", L"K9"},
                     {1, kNodeDll, L"C:\\P\\a.dll", L"K4", L"K7"},
                     {4, kNodeFolder, L"C:\\P\\Sub", L"K3", L"K7"},
                     {3, kNodeOcx, L"C:\\P\\Sub\\c.ocx", L"K5", L"K3"},
                     {5, kNodeDll, L"C:\\P\\d.dll", L"K4", L"K7"}};
    for (const auto& [index, type, path, key, reference] : records) {
        p.state.DigColl->Add(std::make_shared<clsObject>(
            clsObject{index, 0, type, path, true, key, path.substr(path.rfind(L'\\') + 1),
                      reference, kFlagOn, kFlagOn}));
        if (type != kNodeFolder) p.disk.File(path);
    }
    p.state.SaveFile->StartPath = L"C:\\P";
    p.logic.ProjectTree().BuildProjectTree(*p.state.DigColl);

    using Lines = std::vector<std::wstring>;
    const std::tuple<const wchar_t*, const wchar_t*, Lines> cases[] = {
        {L"d.dll", L"mnuMe_Reg", {L"/U /S \"C:\\P\\d.dll\"", L"/S \"C:\\P\\d.dll\""}},
        {L"x.dll", L"mnuMe_Unreg", {L"/U /S \"C:\\P\\x.dll\""}},
        {L"Sub", L"mnuGroup_Reg", {L"/U /S \"C:\\P\\Sub\\c.ocx\"", L"/S \"C:\\P\\Sub\\c.ocx\""}},
        {L"P", L"mnuGroup_Unreg", {L"/U /S \"C:\\P\\a.dll\"", L"/U /S \"C:\\P\\Sub\\c.ocx\""}},
    };
    for (const auto& [label, item, lines] : cases) {
        SCOPED_TRACE(item);
        starts.clear();
        p.Click(label);
        p.logic.OnMenuClick(item);
        EXPECT_EQ(starts, lines);
    }

    // After a rebuild no node is selected, and a command that arrives anyway (queued before the
    // rebuild) finds nothing to act on.
    starts.clear();
    p.logic.ProjectTree().BuildProjectTree(*p.state.DigColl);
    p.commands.RegisterMe();
    p.commands.UnregisterMe();
    p.commands.RegisterGroup();
    p.commands.UnregisterGroup();
    EXPECT_EQ(starts, Lines{});
}

}  // namespace
}  // namespace prowl
