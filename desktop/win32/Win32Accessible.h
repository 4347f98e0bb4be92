// Accessible objects of other programs through COM (oleacc). The thread that
// uses this must be in a COM apartment (ComApartment) for as long as it holds
// any object it got here.
#pragma once

#include "desktop/Accessible.h"

namespace quorvel {

class Win32AccessibleWindows : public AccessibleWindows {
public:
    // WM_GETOBJECT for OBJID_CLIENT, sent with the bound of every message,
    // then its answer unmarshalled. Never AccessibleObjectFromWindow: its send
    // waits without limit, and for a window that makes no object it makes a
    // default one that lists child windows, not items.
    AccessAnswer clientObject(WindowHandle window, std::unique_ptr<Accessible>& object,
                              CallObserver& observer) override;
    // COM in the multithreaded apartment, which needs no message loop.
    std::shared_ptr<void> enterThread() override;
};

} // namespace quorvel
