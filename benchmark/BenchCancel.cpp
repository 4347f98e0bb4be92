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

} // namespace bench
