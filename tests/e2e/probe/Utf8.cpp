#include "Utf8.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

std::string ToUtf8(const std::wstring& s)
{
    if (s.empty())
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& s)
{
    if (s.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

bool ReadUtf8File(const std::wstring& path, std::wstring& text)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "cannot read %ls\n", path.c_str());
        return false;
    }
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    CloseHandle(f);
    text = FromUtf8(bytes);
    return true;
}

void WriteOut(const std::string& bytes)
{
    static bool binary = false;
    if (!binary) {
        _setmode(_fileno(stdout), _O_BINARY);
        binary = true;
    }
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
}

void WriteLine(const std::string& line)
{
    WriteOut(line + "\n");
}
