// Windows that draw their items and tell them only to accessibility clients: each answers
// WM_GETOBJECT(OBJID_CLIENT) with an IAccessible over a table of nodes, children told as child ids or as
// objects. The thread that makes one must be in a COM apartment, with a message loop.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

namespace accnodes {

struct Node {
    LONG role = 0;
    std::wstring name;
    int parent = 0;       // the first node, the window's own object, has none (-1)
    bool element = false; // told to its parent as a child id
    const wchar_t* value = nullptr;
    RECT rect = {}; // in the window's client area, for drawing and hit tests
    // Hostile: what get_accChildCount claims (-1: the truth), a sleep inside get_accRole, a name of this
    // many characters.
    LONG claim = -1;
    DWORD sleepMs = 0;
    std::size_t nameChars = 0;
};

struct Table {
    std::vector<Node> nodes;
    std::vector<std::vector<int>> children; // filled by MakeWindow, as is window
    HWND window = nullptr;
    // Adds a node; its index. The first added is the window's own object.
    int Add(LONG role, std::wstring name, int parent = 0, bool element = false, RECT rect = {});
};

// A child window showing the table's names, which owns the table for the life of the process.
HWND MakeWindow(HWND parent, RECT at, Table* table);

} // namespace accnodes
