// Times Quorvel's list reader against the bare message cost (the floor) and a per-item field rewrite.
// Figures go to stdout, progress to stderr.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};
constexpr int kRewriteMax = 10000; // beyond this the quadratic rewrite takes minutes
constexpr int kTxtWndFrame = 101, kTxtListFrame = 102, kTxtWnd = 103, kTxtList = 104;
constexpr double kFloorTarget = 1.15, kGrowthTarget = 12.0;

struct Options {
    std::wstring handlesFile;
    int reps = 5;
    int repsLarge = 3;
    int rewriteReps = 1;
    double rewriteBudgetMs = 60000;
    DWORD timeoutMs = 600000;
    int maxItems = 100000; // smaller for a quick look; the 100,000-item figures need the default
};

struct Kind {
    const char* name;
    UINT count, textLength, text;
};
const Kind kList{"list", LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT};
const Kind kCombo{"combo", CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT};

Options g_opt;
LARGE_INTEGER g_freq;

double NowMs()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(g_freq.QuadPart);
}

[[noreturn]] void Fail(const char* what)
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

// What Quorvel's reader sends in the same order: the list count first, the combo count if that is 0.
const Kind& CountItems(HWND target, int& n)
{
    n = static_cast<int>(Send(target, kList.count, 0, 0));
    if (n != 0)
        return kList;
    n = static_cast<int>(Send(target, kCombo.count, 0, 0));
    return kCombo;
}

std::wstring Expected(bool combo, int count)
{
    std::wstring s;
    s.reserve(static_cast<size_t>(count) * 13);
    wchar_t item[32];
    for (int i = 0; i < count; ++i) {
        swprintf(item, 32, L"%ls %06d\r\n", combo ? L"cbox" : L"list", i);
        s += item;
    }
    return s;
}

// The reader's messages in its order: the count, then per item its length and its text.
// Calls onItem(text, length) for each; onItem returns false to stop early.
template <typename OnItem> void ForEachItem(HWND target, OnItem onItem)
{
    std::vector<wchar_t> buffer;
    int n = 0;
    const Kind& k = CountItems(target, n);
    for (int i = 0; i < n; ++i) {
        const LRESULT len = Send(target, k.textLength, i, 0);
        if (len < 0)
            break;
        buffer.assign(static_cast<size_t>(len) + 1, L'\0');
        const auto copied = static_cast<size_t>(Send(target, k.text, i, reinterpret_cast<LPARAM>(buffer.data())));
        if (!onItem(buffer.data(), copied))
            break;
    }
}

// The messages alone: nothing kept but a character total to check against.
double Floor(HWND target, size_t expectedChars)
{
    size_t total = 0, items = 0;
    const double t0 = NowMs();
    ForEachItem(target, [&](const wchar_t*, size_t copied) {
        total += copied;
        ++items;
        return true;
    });
    const double t1 = NowMs();
    if (total + 2 * items != expectedChars)
        Fail("the floor loop read other text than expected");
    return t1 - t0;
}

struct Quorvel {
    HWND main = nullptr, txtWnd = nullptr, txtList = nullptr;
    DWORD pid = 0;
};

Quorvel FindQuorvel(DWORD timeoutMs)
{
    Quorvel q;
    const DWORD start = GetTickCount();
    // Polls until the window exists; the caller's process start gives no other signal.
    while (!(q.main = FindWindowW(nullptr, L"Quorvel"))) {
        if (GetTickCount() - start > timeoutMs)
            Fail("Quorvel's window never appeared");
        Sleep(50);
    }
    q.txtWnd = GetDlgItem(GetDlgItem(q.main, kTxtWndFrame), kTxtWnd);
    q.txtList = GetDlgItem(GetDlgItem(q.main, kTxtListFrame), kTxtList);
    if (!q.txtWnd || !q.txtList)
        Fail("Quorvel's fields were not found");
    GetWindowThreadProcessId(q.main, &q.pid);
    return q;
}

void SetText(HWND h, const wchar_t* text)
{
    Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// "0" names no window, so it reads nothing; emptying txtList makes a stale listing fail the length check.
double Reader(const Quorvel& q, HWND target, const std::wstring& expected, bool checkText)
{
    SetText(q.txtWnd, L"0");
    SetText(q.txtList, L"");
    const std::wstring handle = std::to_wstring(reinterpret_cast<ULONG_PTR>(target));
    const double t0 = NowMs();
    // The edit's EN_CHANGE runs the reader before this send returns.
    SetText(q.txtWnd, handle.c_str());
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

// The naive way: the whole field read back and written again after every item.
// Past the budget it stops, and the time is a lower bound; done says how far it got.
double Rewrite(HWND edit, HWND target, const std::wstring& expected, int& done)
{
    SetWindowTextW(edit, L"");
    std::wstring text;
    bool stopped = false;
    const double t0 = NowMs();
    ForEachItem(target, [&](const wchar_t* item, size_t copied) {
        if (copied != 0) {
            const int have = GetWindowTextLengthW(edit);
            text.assign(static_cast<size_t>(have) + 1, L'\0');
            text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), have + 1)));
            text.append(item, copied);
            text += L"\r\n";
            SetWindowTextW(edit, text.c_str());
        }
        ++done;
        stopped = NowMs() - t0 > g_opt.rewriteBudgetMs;
        return !stopped;
    });
    const double t1 = NowMs();
    if (!stopped && static_cast<size_t>(GetWindowTextLengthW(edit)) != expected.size())
        Fail("the rewrite loop built other text than expected");
    return t1 - t0;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
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

std::map<std::string, HWND> ReadHandles(const std::wstring& path)
{
    std::map<std::string, HWND> handles;
    FILE* f = _wfopen(path.c_str(), L"r");
    if (!f)
        Fail("cannot open the handles file");
    char line[128];
    while (fgets(line, sizeof line, f)) {
        char* eq = strchr(line, '=');
        if (!eq)
            continue;
        *eq = '\0';
        handles[line] = reinterpret_cast<HWND>(static_cast<LONG_PTR>(strtol(eq + 1, nullptr, 10)));
    }
    fclose(f);
    return handles;
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

} // namespace

int wmain(int argc, wchar_t** argv)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring a = argv[i];
        if (a == L"--handles")
            g_opt.handlesFile = argv[i + 1];
        else if (a == L"--reps")
            g_opt.reps = _wtoi(argv[i + 1]);
        else if (a == L"--max-items")
            g_opt.maxItems = _wtoi(argv[i + 1]);
        else if (a == L"--reps-large")
            g_opt.repsLarge = _wtoi(argv[i + 1]);
        else if (a == L"--rewrite-reps")
            g_opt.rewriteReps = _wtoi(argv[i + 1]);
        else if (a == L"--rewrite-budget-s")
            g_opt.rewriteBudgetMs = _wtof(argv[i + 1]) * 1000;
        else if (a == L"--timeout-s")
            g_opt.timeoutMs = static_cast<DWORD>(_wtoi(argv[i + 1])) * 1000;
    }
    if (g_opt.handlesFile.empty() || g_opt.reps < 1 || g_opt.repsLarge < 1 || g_opt.rewriteReps < 1)
        Fail("usage: benchdriver --handles FILE [--reps N] [--reps-large N] [--rewrite-reps N] [--rewrite-budget-s S] "
             "[--timeout-s S]");
    QueryPerformanceFrequency(&g_freq);

    const auto handles = ReadHandles(g_opt.handlesFile);
    const Quorvel q = FindQuorvel(60000);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 0, 0, 300, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!edit)
        Fail("cannot create the rewrite field");
    SendMessageW(edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);

    SIZE_T idlePeak = 0;
    const bool haveIdlePeak = PeakWorkingSet(q.pid, idlePeak);

    struct Row {
        int size;
        const char* kind;
        double floor, reader, rewrite; // rewrite < 0: skipped
        int reps, rewriteReps, rewriteDone;
    };
    std::vector<Row> rows;
    SIZE_T readPeak = 0;
    bool haveReadPeak = false;

    for (int size : kSizes) {
        if (size > g_opt.maxItems)
            break;
        const int reps = size >= 100000 ? g_opt.repsLarge : g_opt.reps;
        const std::wstring expected[2] = {Expected(false, size), Expected(true, size)};
        HWND targets[2];
        for (int k = 0; k < 2; ++k) {
            const auto it = handles.find(std::string(k ? "combo" : "list") + std::to_string(size));
            if (it == handles.end())
                Fail("the handles file lacks a control");
            targets[k] = it->second;
        }
        std::vector<double> floors[2], readers[2];
        // Floor and reader alternate so a drift in machine load hits both alike.
        for (int r = 0; r < reps; ++r) {
            for (int k = 0; k < 2; ++k) {
                floors[k].push_back(Floor(targets[k], expected[k].size()));
                readers[k].push_back(Reader(q, targets[k], expected[k], r == 0));
                if (size == 100000 && k == 0 && !haveReadPeak)
                    haveReadPeak = PeakWorkingSet(q.pid, readPeak);
                Progress("%d %s rep %d: floor %.1f ms, reader %.1f ms\n", size, k ? "combo" : "list", r + 1,
                         floors[k].back(), readers[k].back());
            }
        }
        for (int k = 0; k < 2; ++k) {
            Row row{size, k ? "combo" : "list", Median(floors[k]), Median(readers[k]), -1, reps, 0, size};
            if (size <= kRewriteMax) {
                const int rewriteReps = size > 1000 ? 1 : g_opt.rewriteReps;
                std::vector<double> times;
                for (int r = 0; r < rewriteReps; ++r) {
                    int done = 0;
                    times.push_back(Rewrite(edit, targets[k], expected[k], done));
                    row.rewriteDone = std::min(row.rewriteDone, done);
                    Progress("%d %s rewrite rep %d: %.1f ms, %d items\n", size, row.kind, r + 1, times.back(), done);
                    if (done < size)
                        break; // one run past the budget says enough
                }
                row.rewrite = Median(times);
                row.rewriteReps = static_cast<int>(times.size());
            }
            rows.push_back(row);
        }
    }

    printf("%-7s %-6s %5s %11s %11s %8s %20s %9s\n", "items", "kind", "runs", "floor ms", "reader ms", "rd/floor",
           "rewrite ms", "rw/rd");
    for (const Row& r : rows) {
        char rewrite[32], ratio[32];
        if (r.rewrite < 0) {
            snprintf(rewrite, sizeof rewrite, "skipped");
            snprintf(ratio, sizeof ratio, "-");
        } else if (r.rewriteDone < r.size) {
            snprintf(rewrite, sizeof rewrite, ">%.0f (%d items)", r.rewrite, r.rewriteDone);
            snprintf(ratio, sizeof ratio, ">%.1f", r.rewrite / r.reader);
        } else {
            snprintf(rewrite, sizeof rewrite, "%.1f (%dx)", r.rewrite, r.rewriteReps);
            snprintf(ratio, sizeof ratio, "%.1f", r.rewrite / r.reader);
        }
        printf("%-7d %-6s %5d %11.1f %11.1f %8.3f %20s %9s\n", r.size, r.kind, r.reps, r.floor, r.reader,
               r.reader / r.floor, rewrite, ratio);
    }
    printf("\n");
    for (const char* kind : {"list", "combo"}) {
        const Row *at10k = nullptr, *at100k = nullptr;
        for (const Row& r : rows)
            if (std::string(r.kind) == kind) {
                if (r.size == 10000)
                    at10k = &r;
                else if (r.size == 100000)
                    at100k = &r;
            }
        if (!at10k || !at100k)
            continue; // a quick run without the 100,000-item lists
        const double vsFloor = at100k->reader / at100k->floor;
        const double growth = at100k->reader / at10k->reader;
        printf("%-5s reader / floor at 100000 items: %.3f (target <= %.2f) %s\n", kind, vsFloor, kFloorTarget,
               vsFloor <= kFloorTarget ? "PASS" : "MISS");
        printf("%-5s reader growth 100000 / 10000 items: %.2f (target <= %.0f) %s\n", kind, growth, kGrowthTarget,
               growth <= kGrowthTarget ? "PASS" : "MISS");
        // The messages' own cost sets how linear any reader can be.
        printf("%-5s floor growth 100000 / 10000 items: %.2f\n", kind, at100k->floor / at10k->floor);
    }
    printf("\n");
    if (haveIdlePeak)
        printf("Quorvel peak working set before any read: %lu bytes (%.1f MiB)\n", static_cast<unsigned long>(idlePeak),
               static_cast<double>(idlePeak) / (1024.0 * 1024.0));
    if (haveReadPeak)
        printf("Quorvel peak working set after reading the 100000-item list: %lu bytes (%.1f MiB)\n",
               static_cast<unsigned long>(readPeak), static_cast<double>(readPeak) / (1024.0 * 1024.0));
    else
        PrintPeak("after the reads", q.pid);
    fflush(stdout);
    DestroyWindow(edit);
    return 0;
}
