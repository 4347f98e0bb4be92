// The demo target's twins, made only when asked (--twins): two top-level windows alike but for their titles
// and items, each with a list box and an editable combo box nested in a panel and a list view beside it, for
// finding lists by what stays across restarts. Each adds an item to its list box when asked, and the first
// shows a third window a moment after it is asked to, for a wait to find.
#pragma once

#include "TargetSupport.h"

namespace twins {

constexpr UINT kAddItem = WM_APP + 4;  // adds "added" to the window's list box
constexpr UINT kShowLate = WM_APP + 5; // shows "Quorvel Demo Late", with a list box, 1.5 s later

bool MakeTwinViews(HINSTANCE inst, target::NamedHandles& handles);

} // namespace twins
