// A list view, tree view, tab control, status bar, toolbar or standalone
// header, in a 32-bit or 64-bit process, whose answers the fuzzer bends: any
// count, any length, text pointers into nowhere, item handles that loop, no
// answer at all. The reader must stay within its buffers, walk no item twice
// nor more items than the count, and release every block of the target's
// memory and every process handle it took.
#include "desktop/fake/FakeDesktop.h"
#include "tests/support/ReadText.h"
#include "tests/fuzz/FuzzScript.h"

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <iterator>
#include <set>

namespace {

using namespace quorvel;

using Script = FuzzScript;

constexpr WindowHandle view = 40, header = 41;

constexpr FakeKind kinds[] = {FakeKind::listView,  FakeKind::treeView, FakeKind::tabControl,
                              FakeKind::statusBar, FakeKind::toolbar,  FakeKind::header};

void build(FakeDesktop& desktop, Script& script, FakeKind kind)
{
    desktop.process(1) = FakeProcess(script.byte() & 1 ? 8 : 4);
    FakeWindow& w = desktop.add(view, kind);
    w.process = 1;
    const int items = script.byte() % 40;
    if (kind != FakeKind::listView && kind != FakeKind::treeView) {
        w.simple = script.byte() % 5 == 0;
        w.text = u"simple";
        for (int i = 0; i < items; ++i) {
            w.items.push_back(std::u16string(script.byte() % 3 == 0 ? 600 : script.byte() % 3, u'b'));
            if (script.byte() % 4 == 0)
                w.marked.insert(static_cast<std::size_t>(i));
        }
        return;
    }
    if (kind == FakeKind::treeView) {
        for (int i = 0; i < items; ++i)
            w.tree.push_back({std::u16string(script.byte() % 4, u't'), i == 0 ? -1 : script.byte() % (i + 1) - 1});
        return;
    }
    w.style = script.byte() & 3;
    w.columns = 1 + script.byte() % 4;
    w.header = header;
    desktop.add(header, FakeKind::header).parent = view;
    for (int r = 0; r < items; ++r) {
        w.rows.emplace_back();
        for (int c = 0; c < w.columns; ++c)
            w.rows.back().push_back(std::u16string(script.byte() % 3 == 0 ? 600 : script.byte() % 3, u'c'));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FakeDesktop desktop;
    Script script{data, size};
    const FakeKind kind = kinds[script.byte() % std::size(kinds)];
    const bool tree = kind == FakeKind::treeView;
    build(desktop, script, kind);
    FakeProcess& process = desktop.process(1);
    const int pointerBytes = process.pointerBytes;
    const RemoteAddress planted = process.plantText(u"planted");
    auto claimedCount = static_cast<std::int32_t>(desktop.window(view).tree.size());
    std::multiset<RemoteAddress> itemsAsked;
    auto bend = [&](unsigned msg, std::uintptr_t, std::intptr_t lParam) -> std::optional<MessageResult> {
        // Once the input runs out the target stops answering, as a hung one does.
        if (script.exhausted())
            return MessageResult{};
        const std::uint8_t mode = script.byte();
        if (msg == win::TVM_GETITEMW) {
            RemoteAddress item = 0;
            process.read(process.fromParam(lParam) + (pointerBytes == 8 ? 8 : 4), &item,
                         static_cast<std::size_t>(pointerBytes));
            itemsAsked.insert(item);
        }
        if (mode % 13 == 0)
            return MessageResult{};
        if (mode % 3 != 0)
            return std::nullopt; // the control's own answer
        if (msg == win::TVM_GETCOUNT || msg == win::LVM_GETITEMCOUNT || msg == win::HDM_GETITEMCOUNT) {
            const std::int32_t n = script.number();
            if (msg == win::TVM_GETCOUNT)
                claimedCount = n;
            return MessageResult{true, n};
        }
        if (msg == win::TVM_GETNEXTITEM)
            return MessageResult{true, static_cast<std::intptr_t>(desktop.treeItem(view, script.byte() % 8))};
        if (msg == win::LVM_GETITEMTEXTW || msg == win::TVM_GETITEMW) {
            // Point the text somewhere else: text of the target's own, or nowhere.
            const std::size_t field =
                msg == win::LVM_GETITEMTEXTW ? (pointerBytes == 8 ? 24 : 20) : (pointerBytes == 8 ? 24 : 16);
            const RemoteAddress to = script.byte() & 1 ? planted : RemoteAddress{script.byte()} << 12;
            process.write(process.fromParam(lParam) + field, &to, static_cast<std::size_t>(pointerBytes));
            return MessageResult{true, script.number()};
        }
        return MessageResult{true, script.number()};
    };
    desktop.window(view).hook = bend;
    if (kind == FakeKind::listView)
        desktop.window(header).hook = bend;

    const std::u16string listing = readText(desktop, script.byte() & 1 && kind == FakeKind::listView ? header : view);
    if (desktop.liveProcessHandles() != 0 || desktop.liveRemoteBlocks() != 0)
        __builtin_trap(); // memory or a handle left behind in the target
    if (!listing.empty() && (listing.size() < 2 || listing.substr(listing.size() - 2) != u"\r\n"))
        __builtin_trap();
    if (tree) {
        for (RemoteAddress h : itemsAsked) {
            if (itemsAsked.count(h) > 1 && h != 0)
                __builtin_trap(); // an item visited twice
        }
        if (itemsAsked.size() > static_cast<std::size_t>(std::max(claimedCount, 0)))
            __builtin_trap(); // more items than the tree's count
    }
    return 0;
}
