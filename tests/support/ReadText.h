// The text "List Items" shows for a read of target that nobody cancels.
#pragma once

#include "tests/support/InlineReadRunner.h"
#include "listing/TextRendering.h"
#include "listreader/ListItemReader.h"

namespace quorvel {

inline std::u16string readText(Desktop& desktop, WindowHandle target)
{
    UnfollowedRead control;
    return renderText(readListItems(desktop, target, control));
}

} // namespace quorvel
