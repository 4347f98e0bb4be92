// What the bench target shows in its list views and tree views, shared with the driver that checks
// what it reads against it.
#pragma once

#include <cwchar>
#include <string>

namespace bench {

// Report list views, all virtual (LVS_OWNERDATA): the target fills a cell's text when asked, so a
// 100,000-row view starts at once and every size is the same kind of control.
constexpr int kViewRows[] = {1000, 10000, 100000};
constexpr int kViewColumns = 3;
constexpr int kCellChars = 13; // "cell 000123 2"

inline void CellText(int row, int column, wchar_t* out, int capacity)
{
    swprintf(out, static_cast<size_t>(capacity), L"cell %06d %d", row, column);
}

// Trees of three levels: TreeRoots(size) top items, each with kTreeChildren children of
// kTreeGrandchildren items each, so 100 items per top item. Items are numbered depth first. The first
// kTreesTimed are read whole against their floor and copy; the largest is only for the first rows shown,
// since each whole read of it would take minutes.
constexpr int kTreeSizes[] = {1000, 10000, 100000};
constexpr int kTreesTimed = 2;
constexpr int kTreeChildren = 9;
constexpr int kTreeGrandchildren = 10;
constexpr int kItemsPerRoot = 1 + kTreeChildren * (1 + kTreeGrandchildren);
constexpr int TreeRoots(int size)
{
    return size / kItemsPerRoot;
}

inline void TreeText(int index, wchar_t* out, int capacity)
{
    swprintf(out, static_cast<size_t>(capacity), L"node %06d", index);
}

// Depth of the item with depth-first index i: 0 for a top item, 1 for a child, 2 for a grandchild.
inline int TreeDepth(int index)
{
    const int inRoot = index % kItemsPerRoot;
    if (inRoot == 0)
        return 0;
    return (inRoot - 1) % (1 + kTreeGrandchildren) == 0 ? 1 : 2;
}

// Lists told only through accessibility: simple elements (child ids) of one list object, which hands out
// no enumerator, so that the system asks for each child on its own.
constexpr int kAccessibleSizes[] = {1000, 10000, 100000};

inline void AccessibleText(int index, wchar_t* out, int capacity)
{
    swprintf(out, static_cast<size_t>(capacity), L"acc %06d", index);
}

} // namespace bench
