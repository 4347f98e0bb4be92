// Finding lists without a handle: quorvel.com --list of the bench target's desk (BenchDesk.h) and of one window
// of it named by a selector, against a bare program doing the same enumeration, process queries and count
// messages; and quorvel.com --read by selector against the same read by handle, at 1,000 items. Each is timed
// from its process's start to its exit, on the CPU Quorvel has in the run's arrangement, so that both sides
// pay for a process start alike.
#include "BenchDesk.h"
#include "BenchParts.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

namespace bench {

namespace {

constexpr double kListTarget = 1.3, kSelectorTarget = 1.05;

// The classes the bare loop counts, each with the one message that counts its items.
struct Counted {
    const wchar_t* cls;
    UINT message;
};
constexpr Counted kCounted[] = {
    {L"ListBox", LB_GETCOUNT},
    {L"ComboBox", CB_GETCOUNT},
    {L"ComboBoxEx32", CB_GETCOUNT},
    {L"SysListView32", LVM_GETITEMCOUNT},
    {L"SysTreeView32", TVM_GETCOUNT},
    {L"SysTabControl32", TCM_GETITEMCOUNT},
    {L"msctls_statusbar32", SB_GETPARTS},
    {L"ToolbarWindow32", TB_BUTTONCOUNT},
    {L"SysHeader32", HDM_GETITEMCOUNT},
};

BOOL CALLBACK Collect(HWND h, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
    return TRUE;
}

bool Cloaked(HWND h)
{
    using Get = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    static const Get get = [] {
        HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
        return dwm ? reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")))
                   : Get{};
    }();
    DWORD cloaked = 0;
    return get && SUCCEEDED(get(h, 14, &cloaked, sizeof cloaked)) && cloaked;
}

std::wstring ClassOf(HWND h)
{
    wchar_t name[257] = {};
    GetClassNameW(h, name, 257);
    return name;
}

// A command line run to its end on Quorvel's CPU; its milliseconds from start to exit. It must exit 0.
double TimedRun(std::wstring command)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double t0 = NowMs();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &process))
        Fail("cannot start a timed program");
    Arrange(process.dwProcessId, Cpus::own);
    ResumeThread(process.hThread);
    const DWORD waited = WaitForSingleObject(process.hProcess, g_opt.timeoutMs);
    const double t1 = NowMs();
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != WAIT_OBJECT_0 || code != 0)
        Fail("a timed program did not end with exit code 0");
    return t1 - t0;
}

std::string FileText(const std::wstring& file)
{
    std::string text;
    if (FILE* f = _wfopen(file.c_str(), L"rb")) {
        char chunk[65536];
        for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;)
            text.append(chunk, n);
        fclose(f);
    }
    DeleteFileW(file.c_str());
    return text;
}

long Lines(const std::string& text)
{
    long n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

std::wstring Quoted(const std::wstring& s)
{
    return L"\"" + s + L"\"";
}

void PrintRatio(const char* what, double floor, double quorvel, double target)
{
    const double ratio = quorvel / floor;
    printf("%s: %.3f (%.1f ms against %.1f ms; target <= %.2f) %s\n", what, ratio, quorvel, floor, target,
           ratio <= target ? "PASS" : "MISS");
}

} // namespace

int FloorList(const wchar_t* title)
{
    std::vector<HWND> tops;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&tops));
    std::vector<DWORD> asked;
    long lists = 0;
    for (HWND top : tops) {
        if (!IsWindowVisible(top) || Cloaked(top))
            continue;
        wchar_t text[512] = {};
        GetWindowTextW(top, text, 512);
        ClassOf(top);
        DWORD pid = 0;
        GetWindowThreadProcessId(top, &pid);
        if (title && wcscmp(text, title) != 0)
            continue;
        if (std::find(asked.begin(), asked.end(), pid) == asked.end()) {
            asked.push_back(pid);
            if (HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
                wchar_t path[MAX_PATH];
                DWORD n = MAX_PATH;
                BOOL wow = FALSE;
                QueryFullProcessImageNameW(p, 0, path, &n);
                IsWow64Process(p, &wow);
                CloseHandle(p);
            }
        }
        std::vector<HWND> children;
        EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&children));
        for (HWND c : children) {
            const std::wstring cls = ClassOf(c);
            GetDlgCtrlID(c);
            const HWND parent = GetAncestor(c, GA_PARENT);
            for (const Counted& k : kCounted) {
                // A list view's header counts with its list view.
                if (cls != k.cls || (cls == L"SysHeader32" && ClassOf(parent) == L"SysListView32"))
                    continue;
                DWORD_PTR answer = 0;
                SendMessageTimeoutW(c, k.message, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
                ++lists;
            }
        }
    }
    return lists > 0 ? 0 : 1;
}

void TimeFinding(const Handles& handles)
{
    wchar_t folder[MAX_PATH], self[MAX_PATH], named[64];
    if (!GetTempPathW(MAX_PATH, folder) || !GetModuleFileNameW(nullptr, self, MAX_PATH))
        Fail("no folder for the finding part's files");
    DeskTitle(kDeskNamed, named, 64);
    const std::wstring out = std::wstring(folder) + L"quorvel-bench-finding.txt", com = Quoted(g_opt.commandLine);
    const std::wstring one = std::wstring(L"title=") + named;
    const HWND list1000 = HandleNamed(handles, "list1000");
    const std::wstring byHandle = com + L" --read " + std::to_wstring(reinterpret_cast<ULONG_PTR>(list1000)),
                       bySelector = com + L" --read " + Quoted(L"title=Quorvel Bench Target; nn=ListBox1");
    std::vector<double> floorAll, listAll, floorOne, listOne, handleRead, selectorRead;
    const int reps = RepsAt(1000);
    Progress("finding: --list of %d windows of %d lists, %d runs\n", kDeskWindows, kDeskLists, reps);
    // Untimed first: the target paints its desk of new windows, and Wine maps the programs' files, only once.
    TimedRun(Quoted(self) + L" --floor-list");
    TimedRun(com + L" --list --out " + Quoted(out));
    DeleteFileW(out.c_str());
    for (int rep = 0; rep < reps; ++rep) {
        floorAll.push_back(TimedRun(Quoted(self) + L" --floor-list"));
        listAll.push_back(TimedRun(com + L" --list --out " + Quoted(out)));
        if (Lines(FileText(out)) < kDeskWindows * kDeskLists + 1)
            Fail("quorvel.com --list listed fewer lists than the desk holds");
        floorOne.push_back(TimedRun(Quoted(self) + L" --floor-list " + Quoted(named)));
        listOne.push_back(TimedRun(com + L" --list " + Quoted(one) + L" --out " + Quoted(out)));
        if (Lines(FileText(out)) != kDeskLists + 1)
            Fail("quorvel.com --list of one window listed other than its lists");
        // By turns first, so that neither gains by following the other.
        for (int k = 0; k < 2; ++k) {
            const bool selector = (rep + k) % 2 == 1;
            (selector ? selectorRead : handleRead)
                .push_back(TimedRun((selector ? bySelector : byHandle) + L" --out " + Quoted(out)));
            if (Lines(FileText(out)) != 1000)
                Fail("quorvel.com --read by selector or handle wrote other than the 1000 items");
        }
    }
    printf("\nFinding lists without a handle, on a desktop of %d windows of %d lists each beside the bench target's "
           "own.\nMedians of %d runs in milliseconds, each from its process's start to its exit on Quorvel's CPU. "
           "floor: a bare program doing the same\nenumeration, process queries and count messages; quorvel: "
           "quorvel.com --list (to a file), or --read of the 1000-item list box.\n",
           kDeskWindows, kDeskLists, reps);
    PrintRatio("--list of the whole desktop / floor", Median(floorAll), Median(listAll), kListTarget);
    PrintRatio("--list \"title=Quorvel Bench Desk 17\" / floor", Median(floorOne), Median(listOne), kListTarget);
    PrintRatio("--read by selector / by handle at 1000 items", Median(handleRead), Median(selectorRead),
               kSelectorTarget);
    // What a selector costs before the read: under Wine each top-level window is a question to wineserver.
    std::vector<HWND> tops;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&tops));
    const auto shown = std::count_if(tops.begin(), tops.end(), [](HWND h) { return IsWindowVisible(h) != FALSE; });
    printf("the desktop's top-level windows: %zu, %ld of them visible; a selector looks at each, a handle at none\n",
           tops.size(), static_cast<long>(shown));
}

} // namespace bench
