#include "BenchCommon.h"

#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

Options g_opt;

namespace {

LARGE_INTEGER Frequency()
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
}

constexpr int kTxtWndFrame = 101, kTxtListFrame = 102, kTxtWnd = 103, kTxtList = 104;

} // namespace

std::wstring Caption(HWND h)
{
    wchar_t buffer[256] = {};
    InternalGetWindowText(h, buffer, 256);
    return buffer;
}

bool Timing(const wchar_t* part)
{
    return g_opt.parts.find(part) != std::wstring::npos;
}

double NowMs()
{
    static const LARGE_INTEGER freq = Frequency();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

void Fail(const char* what)
{
    fprintf(stderr, "benchdriver: %s (error %lu)\n", what, GetLastError());
    fflush(stderr);
    ExitProcess(1);
}

void Progress(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    vfprintf(stderr, fmt, ap);
    va_end(ap);
    fflush(stderr);
}

LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_NORMAL, g_opt.timeoutMs, &answer))
        Fail("a message got no answer");
    return static_cast<LRESULT>(answer);
}

void SetText(HWND h, const wchar_t* text)
{
    Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

int RepsAt(int size)
{
    return size >= 100000 ? g_opt.repsLarge : g_opt.reps;
}

int ReferenceRepsAt(int size)
{
    return std::min(RepsAt(size), size >= 100000 ? g_opt.repsReferenceLarge : g_opt.repsReference);
}

bool CanSplit()
{
    return g_opt.ownCpu >= 0 && g_opt.sharedCpu >= 0 && g_opt.ownCpu != g_opt.sharedCpu;
}

// Wine hands a process's affinity on to the system's scheduler thread by thread, and a thread the process
// makes later gets it too.
void Arrange(DWORD pid, Cpus cpus)
{
    if (!CanSplit())
        return;
    const DWORD_PTR mask = DWORD_PTR{1} << (cpus == Cpus::own ? g_opt.ownCpu : g_opt.sharedCpu);
    HANDLE p = OpenProcess(PROCESS_SET_INFORMATION | PROCESS_QUERY_INFORMATION, FALSE, pid);
    DWORD_PTR now = 0, system = 0;
    const bool ok = p && SetProcessAffinityMask(p, mask) && GetProcessAffinityMask(p, &now, &system) && now == mask;
    if (p)
        CloseHandle(p);
    if (!ok)
        Fail("cannot put Quorvel on its CPU");
}

namespace {

Quorvel QuorvelAt(HWND main)
{
    Quorvel q;
    q.main = main;
    q.txtWnd = GetDlgItem(GetDlgItem(q.main, kTxtWndFrame), kTxtWnd);
    q.frame = GetDlgItem(q.main, kTxtListFrame);
    q.txtList = GetDlgItem(q.frame, kTxtList);
    if (!q.txtWnd || !q.txtList)
        Fail("Quorvel's fields were not found");
    GetWindowThreadProcessId(q.main, &q.pid);
    return q;
}

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindOf(HWND h, LPARAM lp)
{
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t title[16] = {};
    InternalGetWindowText(h, title, 16);
    if (pid == s->pid && std::wstring(title) == L"Quorvel") {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

} // namespace

Quorvel FindQuorvel(DWORD timeoutMs)
{
    HWND main = nullptr;
    const DWORD start = GetTickCount();
    // Polls until the window exists; the caller's process start gives no other signal.
    while (!(main = FindWindowW(nullptr, L"Quorvel"))) {
        if (GetTickCount() - start > timeoutMs)
            Fail("Quorvel's window never appeared");
        Sleep(50);
    }
    return QuorvelAt(main);
}

FreshQuorvel StartQuorvel()
{
    std::wstring command = L"\"" + g_opt.exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (g_opt.exe.empty() ||
        !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        Fail("cannot start quorvel.exe");
    CloseHandle(process.hThread);
    Search s{process.dwProcessId, nullptr};
    for (const DWORD start = GetTickCount(); EnumWindows(FindOf, reinterpret_cast<LPARAM>(&s)), !s.found;) {
        if (GetTickCount() - start > 60000)
            Fail("the fresh Quorvel's window never appeared");
        Sleep(50);
    }
    return {QuorvelAt(s.found), process.hProcess};
}

void CloseQuorvel(FreshQuorvel& fresh)
{
    PostMessageW(fresh.q.main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(fresh.process, 30000) != WAIT_OBJECT_0)
        Fail("the fresh Quorvel did not close");
    CloseHandle(fresh.process);
    fresh.process = nullptr;
}

// A read starts inside the change of txtWnd and reports its end there. Each look still costs a call to the
// window server on the one CPU the reader runs on, so the looks grow sparser as the read goes on: one per
// 200th of the time so far, which keeps the time they miss near 0.5% and their cost below it.
std::wstring WaitRead(const Quorvel& q)
{
    const double start = NowMs(), deadline = start + g_opt.timeoutMs;
    for (;;) {
        std::wstring caption = Caption(q.frame);
        if (caption.find(L'\u2026') == std::wstring::npos)
            return caption;
        const double now = NowMs();
        if (now > deadline)
            Fail("Quorvel's read never ended");
        Sleep(static_cast<DWORD>(std::clamp((now - start) / 200, 1.0, 20.0)));
    }
}

long ItemsSoFar(const Quorvel& q)
{
    const std::wstring caption = Caption(q.frame);
    if (caption.find(L'\u2026') == std::wstring::npos)
        return -1;
    long n = 0;
    for (wchar_t c : caption)
        if (c >= L'0' && c <= L'9')
            n = n * 10 + (c - L'0');
    return n;
}

// "0" names no window, so it reads nothing; emptying txtList makes a stale listing fail the length check.
double Reader(const Quorvel& q, HWND target, const std::wstring& expected, bool checkText)
{
    SetText(q.txtWnd, L"0");
    SetText(q.txtList, L"");
    const std::wstring handle = std::to_wstring(reinterpret_cast<ULONG_PTR>(target));
    const double t0 = NowMs();
    SetText(q.txtWnd, handle.c_str());
    WaitRead(q);
    const auto length = static_cast<size_t>(Send(q.txtList, WM_GETTEXTLENGTH, 0, 0));
    const double t1 = NowMs();
    if (length != expected.size()) {
        fprintf(stderr, "txtList holds %zu characters, expected %zu\n", length, expected.size());
        Fail("Quorvel's listing has the wrong length");
    }
    if (checkText) {
        std::vector<wchar_t> buffer(length + 1);
        const auto copied =
            static_cast<size_t>(Send(q.txtList, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
        if (std::wstring(buffer.data(), copied) != expected)
            Fail("Quorvel's listing differs from the items");
    }
    return t1 - t0;
}

void TimeReaders(const Quorvel& q, HWND target, const std::wstring& expected, int rep, int referenceReps,
                 ReaderTimes& times)
{
    Arrange(q.pid, Cpus::own);
    times.own.push_back(Reader(q, target, expected, rep == 0));
    if (CanSplit() && rep < referenceReps) {
        Arrange(q.pid, Cpus::shared);
        times.shared.push_back(Reader(q, target, expected, false));
        Arrange(q.pid, Cpus::own);
    }
}

std::string Runs(int reps, int referenceReps)
{
    return referenceReps > 0 ? std::to_string(reps) + "/" + std::to_string(referenceReps) : std::to_string(reps);
}

std::string ReferenceCells(double shared, double floor)
{
    char cells[32];
    if (shared < 0)
        snprintf(cells, sizeof cells, "%11s %8s", "-", "-");
    else
        snprintf(cells, sizeof cells, "%11.1f %8.3f", shared, shared / floor);
    return cells;
}

void PrintFloorRatios(const char* kind, const char* unit, const std::vector<int>& sizes,
                      const std::vector<double>& floors, const std::vector<double>& readers,
                      const std::vector<double>& shared)
{
    int most = -1, mostShared = -1;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (most < 0 || readers[i] / floors[i] > readers[most] / floors[most])
            most = static_cast<int>(i);
        if (shared[i] >= 0 && (mostShared < 0 || shared[i] / floors[i] > shared[mostShared] / floors[mostShared]))
            mostShared = static_cast<int>(i);
    }
    if (most < 0)
        return;
    const double ratio = readers[most] / floors[most];
    printf("%-5s reader / floor, most at any size (%d %s%s): %.3f (target <= %.2f) %s\n", kind, sizes[most], unit,
           CanSplit() ? "; Quorvel on a CPU of its own" : "", ratio, kFloorTarget,
           ratio <= kFloorTarget ? "PASS" : "MISS");
    if (mostShared >= 0)
        printf("%-5s reader / floor, most at any size (%d %s; every process on one CPU, for reference): %.3f\n", kind,
               sizes[mostShared], unit, shared[mostShared] / floors[mostShared]);
}

bool PeakWorkingSet(DWORD pid, SIZE_T& peak)
{
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!p)
        p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!p)
        return false;
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    const BOOL ok = GetProcessMemoryInfo(p, &pmc, sizeof pmc);
    CloseHandle(p);
    peak = pmc.PeakWorkingSetSize;
    return ok != FALSE;
}

void PrintPeak(const char* when, DWORD pid)
{
    SIZE_T peak = 0;
    if (PeakWorkingSet(pid, peak))
        printf("Quorvel peak working set %s: %lu bytes (%.1f MiB)\n", when, static_cast<unsigned long>(peak),
               static_cast<double>(peak) / (1024.0 * 1024.0));
    else
        printf("Quorvel peak working set %s: unavailable (error %lu)\n", when, GetLastError());
}

std::map<std::string, long> ReadHandles(const std::wstring& path)
{
    std::map<std::string, long> handles;
    FILE* f = _wfopen(path.c_str(), L"r");
    if (!f)
        Fail("cannot open the handles file");
    char line[128];
    while (fgets(line, sizeof line, f)) {
        char* eq = strchr(line, '=');
        if (!eq)
            continue;
        *eq = '\0';
        handles[line] = strtol(eq + 1, nullptr, 10);
    }
    fclose(f);
    return handles;
}

HWND HandleNamed(const std::map<std::string, long>& handles, const std::string& name)
{
    const auto it = handles.find(name);
    if (it == handles.end())
        Fail("the handles file lacks a control");
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(it->second));
}

} // namespace bench
