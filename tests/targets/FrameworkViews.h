// The demo target's third window: controls as frameworks make them (superclasses of the system's under a
// Delphi or Visual Basic class name), and a tab control, status bar, header and toolbar under the system's names.
#pragma once

#include <windows.h>

#include "TargetSupport.h"

namespace frameworks {

// Makes the window and its controls and names them; false if any could not be made.
bool MakeFrameworkViews(HINSTANCE inst, const wchar_t* frameClass, target::NamedHandles& handles);

} // namespace frameworks
