#include "WindowQuery.h"

#include <cwchar>

namespace {
constexpr UINT kMessageTimeoutMs = 5000;

BOOL CALLBACK CollectChild(HWND h, LPARAM lp)
{
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}
} // namespace

HWND ParseHwnd(const std::wstring& s)
{
    // Handles travel as signed 32-bit decimals; sign extension matches how 64-bit Windows widens them.
    long long v = wcstoll(s.c_str(), nullptr, 10);
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<int>(v)));
}

DWORD ParseMs(const std::wstring& s)
{
    return static_cast<DWORD>(wcstoul(s.c_str(), nullptr, 10));
}

long long HwndValue(HWND h)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(h));
}

HWND FindTopLevel(const std::wstring& caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND h = nullptr;
        while ((h = FindWindowExW(nullptr, h, nullptr, caption.c_str())) != nullptr) {
            if (IsWindowVisible(h))
                return h;
        }
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        Sleep(50);
    }
}

std::vector<HWND> Descendants(HWND parent)
{
    std::vector<HWND> out;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

HWND FindDescendantById(HWND parent, int id)
{
    for (HWND h : Descendants(parent)) {
        if (GetDlgCtrlID(h) == id)
            return h;
    }
    return nullptr;
}

bool ReadText(HWND hwnd, std::wstring& text)
{
    // The text may grow between the two messages (a caption, rows coming in): a copy that fills its buffer
    // is taken again, in a larger one.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &len))
        return false;
    for (std::size_t room = len + 64;; room *= 2) {
        std::wstring buf(room, L'\0');
        DWORD_PTR got = 0;
        if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                                 kMessageTimeoutMs, &got))
            return false;
        if (got + 1 < buf.size()) {
            buf.resize(got);
            text = buf;
            return true;
        }
    }
}

std::wstring ClassName(HWND hwnd)
{
    wchar_t buf[256] = {};
    GetClassNameW(hwnd, buf, 256);
    return buf;
}
