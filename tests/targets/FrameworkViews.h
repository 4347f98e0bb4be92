// The demo target's third window: controls as frameworks make them (superclasses of the system's under a
// Delphi or Visual Basic class name), and a tab control, status bar, header and toolbar under the system's names,
// and a list box, list view and tree view with items selected and checked.
#pragma once

#include <windows.h>

#include "TargetSupport.h"

#include <vector>

namespace frameworks {

// In the order of Fill's tables.
enum class Kind { listBox, comboBox, listView, tree, tabs, header, toolbar, parts };

// Fills a control of that kind with one item per text: a list view's rows get their number as a second cell, a
// tree's second text is the first's child, a toolbar's nullptr is a separator and its "" a button without text,
// and a header's three columns are shown last first.
void Fill(HWND w, Kind kind, const std::vector<const wchar_t*>& texts);

// Makes the window and its controls and names them; false if any could not be made.
bool MakeFrameworkViews(HINSTANCE inst, const wchar_t* frameClass, target::NamedHandles& handles);

} // namespace frameworks
