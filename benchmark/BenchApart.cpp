// The floors, the per-cell copies and the rewrite loop, each made in a process of its own: this driver started
// again with --measure, put on the CPU Quorvel's reads get before it runs, so that both pay alike for sharing
// a CPU with the target and wineserver or not.
#include "BenchParts.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

namespace {

// The driver's own exe, to start again.
std::wstring SelfPath()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(n);
    return path;
}

} // namespace

Measured MeasureApart(const char* what, HWND target, int size)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0) || !SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0))
        Fail("cannot make a pipe for a measurement");
    wchar_t args[256];
    swprintf(args, 256, L" --measure %hs %ld %d %lu %.0f", what, static_cast<long>(reinterpret_cast<LONG_PTR>(target)),
             size, static_cast<unsigned long>(g_opt.timeoutMs), g_opt.rewriteBudgetMs);
    std::wstring command = L"\"" + SelfPath() + L"\"" + args;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    // Suspended until it is where Quorvel reads, so that not one of its messages is sent from elsewhere.
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &process))
        Fail("cannot start a measurement");
    CloseHandle(write);
    Arrange(process.dwProcessId, Cpus::own);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    std::string out;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got)
        out.append(buffer, got);
    CloseHandle(read);
    DWORD code = 1;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    Measured m{};
    if (code != 0 || sscanf(out.c_str(), "%lf %ld", &m.ms, &m.count) != 2)
        Fail("a measurement failed");
    return m;
}

int RunMeasurement(int argc, wchar_t** argv)
{
    if (argc < 7)
        Fail("usage: benchdriver --measure WHAT HANDLE SIZE TIMEOUT_MS REWRITE_BUDGET_MS");
    char what[32];
    snprintf(what, sizeof what, "%ls", argv[2]);
    HWND target = reinterpret_cast<HWND>(static_cast<LONG_PTR>(wcstol(argv[3], nullptr, 10)));
    const int size = _wtoi(argv[4]);
    g_opt.timeoutMs = static_cast<DWORD>(wcstoul(argv[5], nullptr, 10));
    g_opt.rewriteBudgetMs = _wtof(argv[6]);
    Measured m{};
    if (!MeasureList(what, target, size, m) && !MeasureView(what, target, size, m) &&
        !MeasureAccessible(what, target, size, m))
        Fail("no such measurement");
    printf("%.3f %ld\n", m.ms, m.count);
    fflush(stdout);
    return 0;
}

} // namespace bench
