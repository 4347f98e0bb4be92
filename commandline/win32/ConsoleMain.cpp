// quorvel.com: the console twin. cmd and PowerShell find it before quorvel.exe
// when "quorvel" is typed, wait for it and get its exit code; typed without
// arguments it opens the window of the quorvel.exe beside it.
#include "commandline/win32/CommandLineMain.h"
#include "commandline/win32/StandardOutput.h"

#include <windows.h>

#include <string>

namespace {

int openWindow()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD n = 0;
    while ((n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(n);
    const std::size_t dot = path.find_last_of(L".\\");
    if (dot != std::wstring::npos && path[dot] == L'.')
        path.resize(dot);
    path += L".exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!n ||
        !::CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        const std::u16string file(path.begin(), path.end());
        quorvel::StandardOutput().printError(u"quorvel: cannot start " + file + u"\r\n");
        return 1;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return openWindow();
    return quorvel::commandLineMain(argc, argv);
}
