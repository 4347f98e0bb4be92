// The command line: quorvel.com --read of a list into a file, timed from the process's start to its exit, on
// the CPU Quorvel has in the run's arrangement.
#include "BenchParts.h"

#include <cstdio>

namespace bench {

// The file must hold the listing (ASCII here, so its UTF-8 is the same bytes).
double CommandLineRead(HWND control, const std::wstring& expected)
{
    wchar_t folder[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder))
        Fail("no folder for the command line's file");
    const std::wstring file = std::wstring(folder) + L"quorvel-bench-read.txt";
    DeleteFileW(file.c_str());
    std::wstring command = L"\"" + g_opt.commandLine + L"\" --read " +
                           std::to_wstring(reinterpret_cast<ULONG_PTR>(control)) + L" --out \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Started held, so that it runs where Quorvel runs from its first instruction.
    const double t0 = NowMs();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &process))
        Fail("cannot start quorvel.com");
    Arrange(process.dwProcessId, Cpus::own);
    ResumeThread(process.hThread);
    const DWORD waited = WaitForSingleObject(process.hProcess, g_opt.timeoutMs);
    const double t1 = NowMs();
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != WAIT_OBJECT_0 || code != 0)
        Fail("quorvel.com --read did not end with exit code 0");
    std::string text;
    if (FILE* f = _wfopen(file.c_str(), L"rb")) {
        char chunk[65536];
        for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;)
            text.append(chunk, n);
        fclose(f);
    }
    DeleteFileW(file.c_str());
    if (text != std::string(expected.begin(), expected.end()))
        Fail("quorvel.com --read wrote other text than the listing");
    return t1 - t0;
}

} // namespace bench
