// A collection no scan makes (repeated keys, references to nothing or to later records, keys
// past any index, empty fields) drawn on the in-memory tree, then worked on as a user would:
// ticks, expansions, renames, clicks and group runs on random nodes. After every action the
// tree is still what the builder draws from the records.

#include "Desk.h"
#include "FuzzTargets.h"

namespace prowl::fuzz {

void ProjectTreeFuzz(std::string_view bytes) {
    std::size_t at = 0;
    const auto next = [&] { return at < bytes.size() ? static_cast<uint8_t>(bytes[at++]) : 0u; };
    // Few distinct keys, so that repeats and references to earlier, later and absent records
    // are all common; a few texts that only look like keys.
    const auto key = [&] {
        static const wchar_t* const kOdd[] = {L"", L"K0", L"K01", L"K2147483647", L"K-1", L"k1"};
        const unsigned byte = next();
        return byte >= 250 ? std::wstring(kOdd[byte - 250]) : MakeKey(byte % 24);
    };
    static const wchar_t* const kFlags[] = {kFlagOn, kFlagOff, L"", L"2"};
    test::Desk desk;
    desk.state.SaveFile->StartPath = L"C:\\P";
    for (unsigned i = 0, count = next() % 48; i < count; ++i) {
        const unsigned type = next();
        const std::wstring text = std::to_wstring(i), path = L"C:\\P\\" + text + L".dll";
        if (type & 0x40) desk.disk.File(path);
        // A braced list is evaluated in order: the bytes are taken field by field.
        desk.state.DigColl->Add(std::make_shared<clsObject>(
            clsObject{type & 0x80 ? 2147483647 : static_cast<int32_t>(i + 1), 0,
                      type % 5 == 4 ? L"" : std::to_wstring(type % 5), path, (type & 0x40) != 0,
                      key(), text, key(), kFlags[next() % 4], kFlags[(next() >> 2) % 4]}));
    }
    desk.logic.ProjectTree().BuildProjectTree(*desk.state.DigColl);
    MemoryTreeView& tree = desk.window.tree;
    while (at < bytes.size()) {
        desk.window.prompts.messageAnswers.assign(4, MsgAnswer::Ok);
        const unsigned action = next();
        const int32_t node = static_cast<int32_t>(1 + next() % tree.Count());
        const std::function<void()> actions[] = {
            [&] { tree.UserToggleCheck(node); },
            [&] { tree.UserExpand(node); },
            [&] { tree.UserCollapse(node); },
            [&] { tree.UserEditLabel(node, std::to_wstring(action)); },
            [&] { tree.UserClick(node); },
            [&] { tree.UserMouseUp(2, 0, 1, 1); },
            [&] { desk.logic.OnMenuClick(action & 8 ? L"mnuGroup_Reg" : L"mnuGroup_Unreg"); },
            [&] { desk.logic.ProjectTree().BuildProjectTree(*desk.state.DigColl); }};
        actions[action % 8]();
        desk.window.prompts.messages.clear();
        Require(desk.Unmirrored() == 0, "the tree mirrors the records");
    }
}

}  // namespace prowl::fuzz
