// Reads a tree view of any process: every item, collapsed branches included,
// depth first in the order shown, indented by one TAB per level below the top.
#pragma once

#include "listreader/ControlClass.h"
#include "listreader/Reading.h"

namespace quorvel {

// Adds the items of a window known by its class to be a tree view, each with
// its depth. Reading expands, selects and scrolls nothing. The walk never
// visits more items than the tree's own count, nor any item twice, whatever
// the target answers. With Reading::states, each item's selection and check
// state too, a message each.
void readTreeView(Reading& reading, WindowHandle treeView, ClassInfo treeViewClass);

} // namespace quorvel
