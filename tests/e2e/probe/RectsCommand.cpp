// Dumps a window's client size and every descendant's geometry as JSON lines.
#include "Commands.h"
#include "Json.h"
#include "Utf8.h"
#include "WindowQuery.h"

#include <string>

namespace {
constexpr size_t kMaxText = 256;

std::string Num(long long v)
{
    return std::to_string(v);
}

std::string DescribeChild(HWND h)
{
    HWND parent = GetAncestor(h, GA_PARENT);
    RECT r;
    GetWindowRect(h, &r);
    // Relative to the parent's client area, which is how controls are placed.
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    std::wstring text;
    ReadText(h, text);
    size_t len = text.size();
    if (text.size() > kMaxText)
        text.resize(kMaxText);
    return "{\"kind\":\"child\",\"hwnd\":" + Num(HwndValue(h)) + ",\"parent\":" + Num(HwndValue(parent)) +
           ",\"id\":" + Num(GetDlgCtrlID(h)) + ",\"class\":" + JsonString(ClassName(h)) +
           ",\"text\":" + JsonString(text) + ",\"text_len\":" + Num(static_cast<long long>(len)) +
           ",\"x\":" + Num(r.left) + ",\"y\":" + Num(r.top) + ",\"w\":" + Num(r.right - r.left) +
           ",\"h\":" + Num(r.bottom - r.top) +
           ",\"style\":" + Num(static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE))) +
           ",\"exstyle\":" + Num(static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE))) +
           ",\"visible\":" + (IsWindowVisible(h) ? "true" : "false") + "}";
}
} // namespace

int CmdRects(const Args& a)
{
    HWND top = ParseHwnd(a[0]);
    RECT c;
    if (!GetClientRect(top, &c))
        return 1;
    RECT w;
    GetWindowRect(top, &w);
    WriteLine("{\"kind\":\"client\",\"hwnd\":" + Num(HwndValue(top)) + ",\"w\":" + Num(c.right) +
              ",\"h\":" + Num(c.bottom) + ",\"screen_x\":" + Num(w.left) + ",\"screen_y\":" + Num(w.top) +
              ",\"style\":" + Num(static_cast<unsigned long>(GetWindowLongW(top, GWL_STYLE))) + "}");
    for (HWND h : Descendants(top))
        WriteLine(DescribeChild(h));
    return 0;
}
