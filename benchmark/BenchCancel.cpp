// Esc in the middle of a big read, timed from the key to the rows read shown, and many reads each cancelled
// part way, which must leave Quorvel and the target as they were.
#include "BenchParts.h"

#include <algorithm>
#include <cstdio>

#include "BenchItems.h"
#include "ProcessFootprint.h"

namespace bench {

namespace {

struct Cancelled {
    double escapeMs = 0; // from the key to the rows read shown
    long rows = 0;
};

// Characters of one of the list views' rows in txtList: its cells, the TABs between them and CR LF.
constexpr size_t kViewRowChars = bench::kViewColumns * (bench::kCellChars + 1) + 1;

// Starts a read of view and, once it has at least `rows` rows, posts Esc to txtWnd as a key press would
// arrive; the time from there to the frame saying the read was cancelled, its listing shown. txtList must
// then hold exactly the rows the caption counts.
Cancelled CancelMidRead(const Quorvel& q, HWND view, long rows)
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
    if (caption.rfind(L"List Items (cancelled after ", 0) != 0)
        Fail("Esc did not end the read as cancelled");
    for (wchar_t c : caption)
        if (c >= L'0' && c <= L'9')
            result.rows = result.rows * 10 + (c - L'0');
    if (result.rows == 0 || length != static_cast<size_t>(result.rows) * kViewRowChars)
        Fail("after Esc txtList holds other than the rows read");
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

} // namespace

// Esc in the middle of the largest list view, and many reads each cancelled part way: the first must show
// the rows read at once, the second must leave Quorvel and the target as they were.
void TimeCancels(const Quorvel& q, const Handles& handles)
{
    int largest = 0, cycled = 0;
    for (int size : bench::kViewRows) {
        if (size <= g_opt.maxItems) {
            largest = size;
            cycled = std::min(size, 10000);
        }
    }
    HWND view = HandleNamed(handles, "view" + std::to_string(largest));
    printf("Esc in the middle of reading the %d-row list view (at a tenth of its rows), from the key's WM_KEYDOWN to "
           "the read's end shown (the caption says cancelled, txtList holds exactly the rows read), median of 5:\n",
           largest);
    for (const Cpus cpus : {Cpus::own, Cpus::shared}) {
        if (cpus == Cpus::shared && !CanSplit())
            break;
        Arrange(q.pid, cpus);
        const char* where = !CanSplit()         ? "as run"
                            : cpus == Cpus::own ? "Quorvel on a CPU of its own"
                                                : "every process on one CPU";
        std::vector<double> escapes;
        std::vector<long> shown;
        for (int r = 0; r < 5; ++r) {
            const Cancelled c = CancelMidRead(q, view, largest / 10);
            escapes.push_back(c.escapeMs);
            shown.push_back(c.rows);
            Progress("Esc during the %d-row view (%s), rep %d: %.1f ms, %ld rows shown\n", largest, where, r + 1,
                     c.escapeMs, c.rows);
        }
        const double escape = Median(escapes);
        std::sort(shown.begin(), shown.end());
        printf("  %s: %.1f ms, %ld to %ld rows shown (target <= 250) %s\n", where, escape, shown.front(), shown.back(),
               escape <= 250 ? "PASS" : "MISS");
    }
    Arrange(q.pid, Cpus::own);

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

} // namespace bench
