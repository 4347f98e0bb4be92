// Reads a tree view of any process: every item, collapsed branches included,
// depth first in the order shown, indented by one TAB per level below the top.
#pragma once

#include "desktop/Desktop.h"

#include <string>

namespace quorvel {

// The listing of a window known by its class to be a tree view. Reading
// expands, selects and scrolls nothing. The walk never visits more items than
// the tree's own count, nor any item twice, whatever the target answers.
std::u16string readTreeView(Desktop& desktop, WindowHandle treeView);

} // namespace quorvel
