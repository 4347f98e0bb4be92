// What a survey of the desktop found: the top-level windows in Z order and,
// in each, the lists Quorvel reads, as a selector names them.
#pragma once

#include "desktop/WindowTree.h"
#include "listing/Listing.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvel {

struct TopWindow {
    WindowHandle handle = 0;
    std::u16string title = {}, className = {};
    std::uint32_t processId = 0;
    ProgramFacts program = {};
    bool surveyed = true; // its lists are in the desk

    // The program's file name ("regedit.exe"); empty when the system did not tell.
    std::u16string exe() const;
};

// One list: a control, or a list the window's program tells only through
// accessibility, which is then named by the window that tells it and its
// place among that window's lists.
struct ListEntry {
    std::size_t window = 0; // in Desk::windows
    WindowHandle handle = 0;
    std::u16string className = {};
    // Class and instance among the top-level window's descendants
    // ("SysListView321"); empty, like id, for the top-level window itself.
    std::u16string nn = {};
    std::optional<std::int32_t> id = {};
    ListKind kind = ListKind::none;
    // Of an accessible list.
    std::u16string name = {};
    std::size_t place = 0; // from 1, in the walk's order

    bool accessible() const { return kind == ListKind::accessible; }
};

struct Desk {
    std::vector<TopWindow> windows;
    std::vector<ListEntry> lists; // window by window, each in the order of its descendants
    // Windows that read as another's list (the Edit of a combo box, a list
    // view's header, a ComboBoxEx's combo box): the handle, then the list's.
    std::vector<std::pair<WindowHandle, WindowHandle>> standIns;
    // Programs that did not answer, or refused, when asked for accessible lists.
    std::set<std::uint32_t> silent, refusing;
    bool cancelled = false;

    // The list a handle reads as; lists.size() when none.
    std::size_t listOf(WindowHandle handle) const;
};

} // namespace quorvel
