// Reads an executable's version record and counts its icons.
#include "Commands.h"
#include "Utf8.h"

#include <windows.h>
// shellapi.h needs the types from windows.h first.
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {
std::wstring QueryString(const std::vector<BYTE>& data, const wchar_t* block, const wchar_t* name)
{
    std::wstring path = std::wstring(block) + name;
    void* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(data.data(), path.c_str(), &value, &len) || !value)
        return L"";
    // The length may or may not count terminators, so stop at the first one.
    const wchar_t* text = static_cast<const wchar_t*>(value);
    return std::wstring(text, wcsnlen(text, len));
}
} // namespace

int CmdVersion(const Args& a)
{
    const std::wstring& exe = a[0];
    DWORD dummy = 0;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &dummy);
    UINT iconCount = ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0);
    WriteLine("icons=" + std::to_string(iconCount));
    if (!size) {
        WriteLine("version_record=none");
        return 1;
    }
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(exe.c_str(), 0, size, data.data()))
        return 1;

    struct Translation {
        WORD language;
        WORD codepage;
    };
    Translation* tr = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len) ||
        len < sizeof(Translation)) {
        WriteLine("translation=none");
        return 1;
    }
    char buf[64];
    snprintf(buf, sizeof buf, "translation=%04x%04x", tr->language, tr->codepage);
    WriteLine(buf);
    wchar_t block[64];
    swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", tr->language, tr->codepage);
    for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"ProductName", L"FileDescription"})
        WriteLine(ToUtf8(name) + "=" + ToUtf8(QueryString(data, block, name)));

    VS_FIXEDFILEINFO* fixed = nullptr;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) && fixed) {
        snprintf(buf, sizeof buf, "fixed=%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                 HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
        WriteLine(buf);
    }
    return 0;
}
