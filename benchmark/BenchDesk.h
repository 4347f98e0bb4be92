// The desktop the finding part of the benchmark looks through: many top-level windows of the bench target,
// each holding lists of the usual kinds, some of them nested in a panel. Shared by the target, which makes
// it when asked (--desk), and the driver, which times finding lists on it.
#pragma once

#include <cwchar>

namespace bench {

constexpr int kDeskWindows = 50;
constexpr int kDeskLists = 20;
// The window a selector names alone: "title=Quorvel Bench Desk 17".
constexpr int kDeskNamed = 17;

inline void DeskTitle(int window, wchar_t* out, int capacity)
{
    swprintf(out, static_cast<size_t>(capacity), L"Quorvel Bench Desk %02d", window);
}

// Makes the desk's windows; false if any could not be made. The target's side only.
bool MakeBenchDesk();

} // namespace bench
