// The demo target's window of lists it draws itself and tells only to accessibility clients: a list, a grid
// as Windows Forms tells one, a tree told by levels, one told by nesting, and a panel holding two lists.
#pragma once

#include "TargetSupport.h"

namespace drawn {

// Makes the window (below the others, so that it covers none of them) and names its parts.
bool MakeDrawnViews(target::NamedHandles& handles);

} // namespace drawn
