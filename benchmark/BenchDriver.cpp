// Times Quorvel's list reader against the bare message cost (the floor) and a per-item field rewrite, and
// its list-view and tree-view readers against the floor and the usual per-cell copy through the
// target's memory; times Esc in the middle of a big read, and counts what 1,000 cancelled reads leave
// behind. Figures go to stdout, progress to stderr.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "BenchAccessible.h"
#include "BenchItems.h"
#include "ProcessFootprint.h"

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};
constexpr int kRewriteMax = 10000; // beyond this the quadratic rewrite takes minutes
constexpr int kTxtWndFrame = 101, kTxtListFrame = 102, kTxtWnd = 103, kTxtList = 104;
constexpr double kFloorTarget = 1.15, kGrowthTarget = 12.0, kCopyTarget = 2.0, kCommandLineTarget = 1.1;

struct Options {
    std::wstring handlesFile;
    int reps = 5;
    int repsLarge = 3;
    int rewriteReps = 1;
    double rewriteBudgetMs = 60000;
    DWORD timeoutMs = 600000;
    int maxItems = 100000; // smaller for a quick look; the 100,000-item figures need the default
    // What to time: list and combo boxes, list views, trees, and cancelling reads.
    std::wstring parts = L"boxes,views,trees,cancel,accessible";
    int cancels = 1000;       // reads cancelled part way, to see that they leave nothing behind
    std::wstring commandLine; // quorvel.com: times --read of the largest list view to a file
};

struct Kind {
    const char* name;
    UINT count, textLength, text;
};
const Kind kList{"list", LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT};
const Kind kCombo{"combo", CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT};

Options g_opt;
LARGE_INTEGER g_freq;

bool Timing(const wchar_t* part)
{
    return g_opt.parts.find(part) != std::wstring::npos;
}

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
    HWND main = nullptr, txtWnd = nullptr, txtList = nullptr, frame = nullptr;
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
    q.frame = GetDlgItem(q.main, kTxtListFrame);
    q.txtList = GetDlgItem(q.frame, kTxtList);
    if (!q.txtWnd || !q.txtList)
        Fail("Quorvel's fields were not found");
    GetWindowThreadProcessId(q.main, &q.pid);
    return q;
}

void SetText(HWND h, const wchar_t* text)
{
    Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// A window's text as the system keeps it, without a message: a look that does not wake its owner, which
// on the one CPU of the run would take time from the read being timed.
std::wstring Caption(HWND h)
{
    wchar_t buffer[256] = {};
    InternalGetWindowText(h, buffer, 256);
    return buffer;
}

// The caption of "List Items" once it no longer says a read is under way ("reading…", "… 123"). A read
// starts inside the change of txtWnd and reports its end there. Each look still costs a call to the
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

// The items read so far of a read under way, from the frame's "reading… 1,234"; -1 once it has ended.
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

// The handles file's "name=value" lines: window handles, and figures the target measured itself.
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

void PrintPeak(const char* when, DWORD pid)
{
    SIZE_T peak = 0;
    if (PeakWorkingSet(pid, peak))
        printf("Quorvel peak working set %s: %lu bytes (%.1f MiB)\n", when, static_cast<unsigned long>(peak),
               static_cast<double>(peak) / (1024.0 * 1024.0));
    else
        printf("Quorvel peak working set %s: unavailable (error %lu)\n", when, GetLastError());
}

// --- List views and tree views, read through the target's memory ---------------------------------------

// Characters of the text slot each structure points at, as in Quorvel's reader.
constexpr int kSlotChars = 512;

// A block of the target's memory for structures and texts. The driver is built for the target's bitness,
// so the structures are the native LVITEMW and TVITEMW.
class TargetMemory {
public:
    TargetMemory(HWND window, size_t bytes)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                               FALSE, pid);
        if (!process_)
            Fail("cannot open the target process");
        BOOL targetWow = FALSE, selfWow = FALSE;
        if (!IsWow64Process(process_, &targetWow) || !IsWow64Process(GetCurrentProcess(), &selfWow) ||
            targetWow != selfWow)
            Fail("the target is not of the driver's bitness, so its structures are not the driver's");
        base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!base_)
            Fail("cannot allocate memory in the target");
    }
    ~TargetMemory()
    {
        VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    TargetMemory(const TargetMemory&) = delete;
    TargetMemory& operator=(const TargetMemory&) = delete;

    char* at(size_t offset) const { return base_ + offset; }
    void Write(const void* remote, const void* data, size_t bytes)
    {
        SIZE_T done = 0;
        if (!WriteProcessMemory(process_, const_cast<void*>(remote), data, bytes, &done) || done != bytes)
            Fail("cannot write the target's memory");
    }
    void Read(const void* remote, void* data, size_t bytes)
    {
        SIZE_T done = 0;
        if (!ReadProcessMemory(process_, remote, data, bytes, &done) || done != bytes)
            Fail("cannot read the target's memory");
    }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
};

std::wstring ExpectedView(int rows)
{
    std::wstring s;
    s.reserve(static_cast<size_t>(rows) * (bench::kViewColumns * (bench::kCellChars + 1) + 1));
    wchar_t cell[32];
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < bench::kViewColumns; ++c) {
            if (c)
                s += L'\t';
            bench::CellText(r, c, cell, 32);
            s += cell;
        }
        s += L"\r\n";
    }
    return s;
}

std::wstring ExpectedTree(int items)
{
    std::wstring s;
    wchar_t text[32];
    for (int i = 0; i < items; ++i) {
        s.append(static_cast<size_t>(bench::TreeDepth(i)), L'\t');
        bench::TreeText(i, text, 32);
        s += text;
        s += L"\r\n";
    }
    return s;
}

// The list view's bare messages: per column its structure written once, then one LVM_GETITEMTEXTW per row.
// Nothing is kept but the answered lengths' total, to check against.
double ViewFloor(HWND view, int rows)
{
    constexpr size_t slotsAt = sizeof(LVITEMW) * bench::kViewColumns;
    TargetMemory memory(view, slotsAt + bench::kViewColumns * kSlotChars * sizeof(wchar_t));
    size_t total = 0;
    const double t0 = NowMs();
    const auto n = static_cast<int>(Send(view, LVM_GETITEMCOUNT, 0, 0));
    for (int c = 0; c < bench::kViewColumns; ++c) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iSubItem = c;
        item.pszText = reinterpret_cast<wchar_t*>(memory.at(slotsAt + c * kSlotChars * sizeof(wchar_t)));
        item.cchTextMax = kSlotChars;
        void* remote = memory.at(c * sizeof(LVITEMW));
        memory.Write(remote, &item, sizeof item);
        for (int r = 0; r < n; ++r)
            total += static_cast<size_t>(Send(view, LVM_GETITEMTEXTW, r, reinterpret_cast<LPARAM>(remote)));
    }
    const double t1 = NowMs();
    if (n != rows || total != static_cast<size_t>(rows) * bench::kViewColumns * bench::kCellChars)
        Fail("the list view floor read other text than expected");
    return t1 - t0;
}

// The usual copy, cell by cell: write the structure, send, read the structure back, read the text it
// points at. Builds the same listing as Quorvel and checks it.
double ViewCopy(HWND view, const std::wstring& expected)
{
    TargetMemory memory(view, sizeof(LVITEMW) + kSlotChars * sizeof(wchar_t));
    void* remote = memory.at(0);
    auto* slot = reinterpret_cast<wchar_t*>(memory.at(sizeof(LVITEMW)));
    std::wstring out;
    wchar_t text[kSlotChars + 1];
    const double t0 = NowMs();
    const auto n = static_cast<int>(Send(view, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < bench::kViewColumns; ++c) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = r;
            item.iSubItem = c;
            item.pszText = slot;
            item.cchTextMax = kSlotChars;
            memory.Write(remote, &item, sizeof item);
            Send(view, LVM_GETITEMTEXTW, r, reinterpret_cast<LPARAM>(remote));
            memory.Read(remote, &item, sizeof item);
            memory.Read(item.pszText, text, kSlotChars * sizeof(wchar_t));
            text[kSlotChars] = L'\0';
            if (c)
                out += L'\t';
            out += text;
        }
        out += L"\r\n";
    }
    const double t1 = NowMs();
    if (out != expected)
        Fail("the list view copy read other text than expected");
    return t1 - t0;
}

// The tree walked depth first as Quorvel walks it: the first child, else the next sibling, else the next
// sibling of the nearest ancestor that has one. Calls onItem(item, depth) for each item.
template <typename OnItem> void WalkTree(HWND tree, OnItem onItem)
{
    std::vector<LPARAM> parents;
    auto next = [&](WPARAM relation, LPARAM from) {
        return static_cast<LPARAM>(Send(tree, TVM_GETNEXTITEM, relation, from));
    };
    LPARAM item = next(TVGN_ROOT, 0);
    while (item) {
        onItem(item, static_cast<int>(parents.size()));
        LPARAM step = next(TVGN_CHILD, item);
        if (step) {
            parents.push_back(item);
        } else {
            step = next(TVGN_NEXT, item);
            while (!step && !parents.empty()) {
                const LPARAM parent = parents.back();
                parents.pop_back();
                step = next(TVGN_NEXT, parent);
            }
        }
        item = step;
    }
}

// The tree's bare messages: the walk, every item's structure written in one go, one TVM_GETITEMW per item.
double TreeFloor(HWND tree, int items)
{
    const size_t slotAt = sizeof(TVITEMW) * static_cast<size_t>(items);
    TargetMemory memory(tree, slotAt + kSlotChars * sizeof(wchar_t));
    std::vector<TVITEMW> structures;
    structures.reserve(static_cast<size_t>(items));
    size_t answered = 0;
    const double t0 = NowMs();
    WalkTree(tree, [&](LPARAM handle, int) {
        if (structures.size() == static_cast<size_t>(items))
            Fail("the tree has more items than it should");
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = reinterpret_cast<HTREEITEM>(handle);
        item.pszText = reinterpret_cast<wchar_t*>(memory.at(slotAt));
        item.cchTextMax = kSlotChars;
        structures.push_back(item);
    });
    memory.Write(memory.at(0), structures.data(), structures.size() * sizeof(TVITEMW));
    for (size_t i = 0; i < structures.size(); ++i)
        answered += Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.at(i * sizeof(TVITEMW)))) != 0;
    const double t1 = NowMs();
    if (structures.size() != static_cast<size_t>(items) || answered != structures.size())
        Fail("the tree floor did not read every item");
    return t1 - t0;
}

// The usual copy, item by item as the walk finds them: write the structure, send, read it back, read the
// text. Builds the same listing as Quorvel and checks it.
double TreeCopy(HWND tree, const std::wstring& expected)
{
    TargetMemory memory(tree, sizeof(TVITEMW) + kSlotChars * sizeof(wchar_t));
    void* remote = memory.at(0);
    auto* slot = reinterpret_cast<wchar_t*>(memory.at(sizeof(TVITEMW)));
    std::wstring out;
    wchar_t text[kSlotChars + 1];
    const double t0 = NowMs();
    WalkTree(tree, [&](LPARAM handle, int depth) {
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = reinterpret_cast<HTREEITEM>(handle);
        item.pszText = slot;
        item.cchTextMax = kSlotChars;
        memory.Write(remote, &item, sizeof item);
        if (!Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)))
            Fail("TVM_GETITEMW failed");
        memory.Read(remote, &item, sizeof item);
        memory.Read(item.pszText, text, kSlotChars * sizeof(wchar_t));
        text[kSlotChars] = L'\0';
        out.append(static_cast<size_t>(depth), L'\t');
        out += text;
        out += L"\r\n";
    });
    const double t1 = NowMs();
    if (out != expected)
        Fail("the tree copy read other text than expected");
    return t1 - t0;
}

// quorvel.com --read of the list into a file, from its start to its exit; the file must hold the listing
// (ASCII here, so its UTF-8 is the same bytes).
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
    const double t0 = NowMs();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        Fail("cannot start quorvel.com");
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

struct ViewRow {
    const char* kind; // "view" or "tree"
    int size, cells, reps;
    double floor, copy, reader;
    double commandLine = -1; // -1: not timed
};

// Times floor, copy, reader and, when asked, the command line in turn, reps times each, so a drift in
// machine load hits all alike.
ViewRow TimeView(const Quorvel& q, HWND control, bool tree, int size, int reps, bool commandLine = false)
{
    const std::wstring expected = tree ? ExpectedTree(size) : ExpectedView(size);
    const char* kind = tree ? "tree" : "view";
    std::vector<double> floors, copies, readers, commandLines;
    for (int r = 0; r < reps; ++r) {
        floors.push_back(tree ? TreeFloor(control, size) : ViewFloor(control, size));
        copies.push_back(tree ? TreeCopy(control, expected) : ViewCopy(control, expected));
        readers.push_back(Reader(q, control, expected, r == 0));
        if (commandLine)
            commandLines.push_back(CommandLineRead(control, expected));
        Progress("%d %s rep %d: floor %.1f ms, copy %.1f ms, reader %.1f ms, command line %.1f ms\n", size, kind, r + 1,
                 floors.back(), copies.back(), readers.back(), commandLine ? commandLines.back() : -1.0);
    }
    const int cells = tree ? size : size * bench::kViewColumns;
    return {kind,           size,           cells,           reps,
            Median(floors), Median(copies), Median(readers), commandLine ? Median(commandLines) : -1};
}

void PrintViewTable(const std::vector<ViewRow>& rows)
{
    printf("List views (report, %d columns, virtual; size in rows) and tree views (3 levels; size in items), read\n"
           "through the target's memory. Medians in milliseconds. floor: per column the structure written once, then\n"
           "one LVM_GETITEMTEXTW per row; for a tree, one TVM_GETNEXTITEM walk, every structure written at once,\n"
           "then one TVM_GETITEMW per item. copy: the usual per-cell copy: write the structure, send, read the\n"
           "structure back, read the text. reader: Quorvel, from the change of txtWnd to the listing shown.\n\n",
           bench::kViewColumns);
    printf("%-7s %-5s %8s %5s %11s %11s %11s %8s %8s %9s\n", "size", "kind", "cells", "runs", "floor ms", "copy ms",
           "reader ms", "rd/floor", "copy/rd", "rd us/cell");
    for (const ViewRow& r : rows)
        printf("%-7d %-5s %8d %5d %11.1f %11.1f %11.1f %8.3f %8.2f %9.1f\n", r.size, r.kind, r.cells, r.reps, r.floor,
               r.copy, r.reader, r.reader / r.floor, r.copy / r.reader, r.reader * 1000.0 / r.cells);
    printf("\n");
    for (const char* kind : {"view", "tree"}) {
        const ViewRow *largest = nullptr, *previous = nullptr, *leastGain = nullptr;
        for (const ViewRow& r : rows) {
            if (std::string(r.kind) != kind)
                continue;
            previous = largest;
            largest = &r;
            if (!leastGain || r.copy / r.reader < leastGain->copy / leastGain->reader)
                leastGain = &r;
        }
        if (!largest)
            continue;
        const char* unit = std::string(kind) == "view" ? "rows" : "items";
        const double vsFloor = largest->reader / largest->floor;
        printf("%s reader / floor at %d %s: %.3f (target <= %.2f) %s\n", kind, largest->size, unit, vsFloor,
               kFloorTarget, vsFloor <= kFloorTarget ? "PASS" : "MISS");
        const double gain = leastGain->copy / leastGain->reader;
        printf("%s per-cell copy / reader, least at any size (%d %s): %.2f (target >= %.0f) %s\n", kind,
               leastGain->size, unit, gain, kCopyTarget, gain >= kCopyTarget ? "PASS" : "MISS");
        if (largest->commandLine >= 0) {
            const double vsReader = largest->commandLine / largest->reader;
            printf("%s command line --read to a file / reader at %d %s: %.3f (%.1f ms against %.1f ms; target <= %.2f)"
                   " %s\n",
                   kind, largest->size, unit, vsReader, largest->commandLine, largest->reader, kCommandLineTarget,
                   vsReader <= kCommandLineTarget ? "PASS" : "MISS");
        }
        if (previous && largest->size == 10 * previous->size) {
            const double growth = largest->reader / previous->reader;
            printf("%s reader growth %d / %d %s: %.2f (target <= %.0f) %s\n", kind, largest->size, previous->size, unit,
                   growth, kGrowthTarget, growth <= kGrowthTarget ? "PASS" : "MISS");
            printf("%s floor growth %d / %d %s: %.2f\n", kind, largest->size, previous->size, unit,
                   largest->floor / previous->floor);
        }
    }
    printf("\n");
}

struct Cancelled {
    double escapeMs = 0; // from the key to the rows read shown
    double showMs = 0;   // the same rows set into txtList again: the edit control's share of escapeMs
    long rows = 0;
};

// Starts a read of view and, once it has at least `rows` rows, posts Esc to txtWnd as a key press would
// arrive; the time from there to the frame saying the read was cancelled, its listing shown. With
// timeShow, also times txtList taking the same listing again, which is what showing it costs.
Cancelled CancelMidRead(const Quorvel& q, HWND view, long rows, bool timeShow = false)
{
    SetText(q.txtWnd, L"0");
    SetText(q.txtWnd, std::to_wstring(reinterpret_cast<ULONG_PTR>(view)).c_str());
    for (long read = ItemsSoFar(q); read < rows; read = ItemsSoFar(q)) {
        if (read < 0)
            Fail("the read ended before it could be cancelled");
        Sleep(2);
    }
    const double t0 = NowMs();
    PostMessageW(q.txtWnd, WM_KEYDOWN, VK_ESCAPE, 1);
    const std::wstring caption = WaitRead(q);
    Cancelled result;
    result.escapeMs = NowMs() - t0;
    const auto length = static_cast<size_t>(Send(q.txtList, WM_GETTEXTLENGTH, 0, 0));
    if (caption.rfind(L"List Items (cancelled after ", 0) != 0 || length == 0)
        Fail("Esc did not end the read with the rows read before it");
    for (wchar_t c : caption)
        if (c >= L'0' && c <= L'9')
            result.rows = result.rows * 10 + (c - L'0');
    if (timeShow) {
        std::vector<wchar_t> text(length + 1);
        Send(q.txtList, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        SetText(q.txtList, L"");
        const double s0 = NowMs();
        SetText(q.txtList, text.data());
        result.showMs = NowMs() - s0;
    }
    return result;
}

struct Footprint {
    long threads = -1, handles = -1, privateKiB = -1, targetKiB = -1;
};

// Committed private memory counted region by region: Wine answers 0 for another process's PrivateUsage.
long CommittedKiBOf(DWORD pid)
{
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!p)
        return -1;
    const long kib = target::CommittedKiB(p);
    CloseHandle(p);
    return kib;
}

Footprint Measure(const Quorvel& q, HWND target)
{
    return {target::ThreadCountOf(q.pid), target::HandleCountOf(q.pid), CommittedKiBOf(q.pid),
            CommittedKiBOf(target::ProcessOf(target))};
}

// Esc in the middle of the largest list view, and many reads each cancelled part way: the first must show
// the rows read at once, the second must leave Quorvel and the target as they were.
void TimeCancels(const Quorvel& q, const std::map<std::string, long>& handles)
{
    int largest = 0, cycled = 0;
    for (int size : bench::kViewRows) {
        if (size <= g_opt.maxItems) {
            largest = size;
            cycled = std::min(size, 10000);
        }
    }
    HWND view = HandleNamed(handles, "view" + std::to_string(largest));
    std::vector<double> escapes, shows;
    std::vector<long> shown;
    for (int r = 0; r < 5; ++r) {
        const Cancelled c = CancelMidRead(q, view, largest / 10, true);
        escapes.push_back(c.escapeMs);
        shows.push_back(c.showMs);
        shown.push_back(c.rows);
        Progress("Esc during the %d-row view, rep %d: %.1f ms, %ld rows shown, showing them alone %.1f ms\n", largest,
                 r + 1, c.escapeMs, c.rows, c.showMs);
    }
    const double escape = Median(escapes);
    std::sort(shown.begin(), shown.end());
    printf("Esc in the middle of reading the %d-row list view (at a tenth of its rows): %.1f ms from the key's "
           "WM_KEYDOWN to the rows read shown, median of 5 (target <= 250) %s\n",
           largest, escape, escape <= 250 ? "PASS" : "MISS");
    printf("  of which showing them: %.1f ms, the median time txtList takes the same listing (%ld to %ld rows) when "
           "set again\n",
           Median(shows), shown.front(), shown.back());

    HWND cycledView = HandleNamed(handles, "view" + std::to_string(cycled));
    CancelMidRead(q, cycledView, 256); // the first of a kind warms both sides up
    const Footprint before = Measure(q, cycledView);
    for (int i = 0; i < g_opt.cancels; ++i) {
        CancelMidRead(q, cycledView, 256);
        if ((i + 1) % 100 == 0)
            Progress("%d cancelled reads\n", i + 1);
    }
    const Footprint after = Measure(q, cycledView);
    // Heaps grow by 64 KiB now and then; a read's block in the target is over 256 KiB.
    const bool same = after.threads == before.threads && after.handles <= before.handles &&
                      after.privateKiB - before.privateKiB < 256 && after.targetKiB - before.targetKiB < 256;
    printf("%d reads of the %d-row list view, each cancelled by Esc once 256 rows were in: Quorvel threads %ld -> "
           "%ld, handles %ld -> %ld, committed private memory %ld -> %ld KiB; target committed %ld -> %ld KiB %s\n",
           g_opt.cancels, cycled, before.threads, after.threads, before.handles, after.handles, before.privateKiB,
           after.privateKiB, before.targetKiB, after.targetKiB, same ? "PASS" : "MISS");
}

// Lists told only through accessibility, against the same calls from a bare loop in this process; Quorvel's
// peak working set after the largest.
void TimeAccessible(const Quorvel& q, const std::map<std::string, long>& handles)
{
    struct AccRow {
        int size, reps;
        double floor, reader;
    };
    std::vector<AccRow> rows;
    SIZE_T peak = 0;
    bool havePeak = false;
    for (int size : bench::kAccessibleSizes) {
        if (size > g_opt.maxItems)
            break;
        HWND list = HandleNamed(handles, "accessible" + std::to_string(size));
        std::wstring expected;
        wchar_t text[32];
        for (int i = 0; i < size; ++i) {
            bench::AccessibleText(i, text, 32);
            expected += text;
            expected += L"\r\n";
        }
        const int reps = size >= 100000 ? g_opt.repsLarge : g_opt.reps;
        std::vector<double> floors, readers;
        for (int r = 0; r < reps; ++r) {
            std::size_t items = 0, chars = 0;
            const double t0 = NowMs();
            if (!bench::AccessibleFloor(list, g_opt.timeoutMs, items, chars) || chars + 2 * items != expected.size())
                Fail("the accessible floor read other items than expected");
            floors.push_back(NowMs() - t0);
            readers.push_back(Reader(q, list, expected, r == 0));
            Progress("%d accessible rep %d: floor %.1f ms, reader %.1f ms\n", size, r + 1, floors.back(),
                     readers.back());
        }
        havePeak = PeakWorkingSet(q.pid, peak);
        rows.push_back({size, reps, Median(floors), Median(readers)});
    }
    if (rows.empty())
        return;
    printf("Lists told only through accessibility (simple elements, no enumerator; size in items). floor: the list's\n"
           "child count, AccessibleChildren in batches of 256 and one get_accName per item, from a bare loop.\n\n");
    printf("%-7s %5s %11s %11s %8s %9s\n", "items", "runs", "floor ms", "reader ms", "rd/floor", "rd us/item");
    for (const AccRow& r : rows)
        printf("%-7d %5d %11.1f %11.1f %8.3f %9.1f\n", r.size, r.reps, r.floor, r.reader, r.reader / r.floor,
               r.reader * 1000.0 / r.size);
    const AccRow& last = rows.back();
    printf("accessible reader / floor at %d items: %.3f (target <= %.2f) %s\n", last.size, last.reader / last.floor,
           kFloorTarget, last.reader / last.floor <= kFloorTarget ? "PASS" : "MISS");
    if (rows.size() > 1 && last.size == 10 * rows[rows.size() - 2].size) {
        const AccRow& before = rows[rows.size() - 2];
        const double growth = last.reader / before.reader;
        printf("accessible reader growth %d / %d items: %.2f (target <= %.0f) %s\n", last.size, before.size, growth,
               kGrowthTarget, growth <= kGrowthTarget ? "PASS" : "MISS");
        printf("accessible floor growth %d / %d items: %.2f\n", last.size, before.size, last.floor / before.floor);
    }
    if (havePeak)
        printf("Quorvel peak working set after reading the %d-item accessible list: %lu bytes (%.1f MiB; target <= 64 "
               "MiB) %s\n",
               last.size, static_cast<unsigned long>(peak), static_cast<double>(peak) / (1024.0 * 1024.0),
               peak <= (SIZE_T{64} << 20) ? "PASS" : "MISS");
    printf("\n");
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
        else if (a == L"--parts")
            g_opt.parts = argv[i + 1];
        else if (a == L"--cancels")
            g_opt.cancels = _wtoi(argv[i + 1]);
        else if (a == L"--command-line")
            g_opt.commandLine = argv[i + 1];
    }
    if (g_opt.handlesFile.empty() || g_opt.reps < 1 || g_opt.repsLarge < 1 || g_opt.rewriteReps < 1)
        Fail("usage: benchdriver --handles FILE [--reps N] [--reps-large N] [--rewrite-reps N] [--rewrite-budget-s S] "
             "[--timeout-s S] [--parts boxes,views,trees,cancel,accessible] [--cancels N] "
             "[--command-line QUORVEL_COM]");
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
        if (size > g_opt.maxItems || !Timing(L"boxes"))
            break;
        const int reps = size >= 100000 ? g_opt.repsLarge : g_opt.reps;
        const std::wstring expected[2] = {Expected(false, size), Expected(true, size)};
        HWND targets[2];
        for (int k = 0; k < 2; ++k)
            targets[k] = HandleNamed(handles, std::string(k ? "combo" : "list") + std::to_string(size));
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

    std::vector<ViewRow> viewRows;
    SIZE_T viewPeak = 0;
    bool haveViewPeak = false;
    int largestView = 0;
    for (int s = 0; s < 3; ++s) {
        const int size = bench::kViewRows[s];
        if (size > g_opt.maxItems || !Timing(L"views"))
            break;
        HWND view = HandleNamed(handles, "view" + std::to_string(size));
        const bool largest = s == 2 || bench::kViewRows[s + 1] > g_opt.maxItems;
        viewRows.push_back(TimeView(q, view, false, size, size >= 100000 ? g_opt.repsLarge : g_opt.reps,
                                    largest && !g_opt.commandLine.empty()));
        // The largest read of the run: Quorvel's peak working set right after it.
        haveViewPeak = PeakWorkingSet(q.pid, viewPeak);
        largestView = size;
    }
    long treeFillMs[2] = {-1, -1};
    for (int s = 0; s < 2; ++s) {
        const int size = bench::kTreeSizes[s];
        if (size > g_opt.maxItems || !Timing(L"trees"))
            break;
        HWND tree = HandleNamed(handles, "tree" + std::to_string(size));
        viewRows.push_back(TimeView(q, tree, true, size, g_opt.reps));
        const auto fill = handles.find("tree" + std::to_string(size) + "_fill_ms");
        if (fill != handles.end())
            treeFillMs[s] = fill->second;
    }

    if (Timing(L"cancel"))
        TimeCancels(q, handles);
    if (Timing(L"accessible"))
        TimeAccessible(q, handles);

    if (!rows.empty())
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
    if (!rows.empty())
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
    if (!rows.empty())
        printf("\n");
    if (!viewRows.empty())
        PrintViewTable(viewRows);
    for (int s = 0; s < 2; ++s)
        if (treeFillMs[s] >= 0)
            printf("bench target: filling the %d-item tree view (TVM_INSERTITEMW, redraw off) took %ld ms\n",
                   bench::kTreeSizes[s], treeFillMs[s]);
    printf("\n");
    if (haveIdlePeak)
        printf("Quorvel peak working set before any read: %lu bytes (%.1f MiB)\n", static_cast<unsigned long>(idlePeak),
               static_cast<double>(idlePeak) / (1024.0 * 1024.0));
    if (haveReadPeak)
        printf("Quorvel peak working set after reading the 100000-item list: %lu bytes (%.1f MiB)\n",
               static_cast<unsigned long>(readPeak), static_cast<double>(readPeak) / (1024.0 * 1024.0));
    else if (!haveViewPeak)
        PrintPeak("after the reads", q.pid);
    if (haveViewPeak)
        printf("Quorvel peak working set after reading the %d-row list view (the largest read): %lu bytes (%.1f MiB)\n",
               largestView, static_cast<unsigned long>(viewPeak), static_cast<double>(viewPeak) / (1024.0 * 1024.0));
    fflush(stdout);
    DestroyWindow(edit);
    return 0;
}
