// DPI queries that exist only on newer Windows, looked up at run time so the
// exe still starts where they are missing.
#pragma once

#include <windows.h>

namespace quorvel {

UINT windowDpi(HWND window);
UINT systemDpi();
// The outer size of a window whose client area is clientWidth x clientHeight at dpi.
SIZE windowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

} // namespace quorvel
