// The first rows of a big read: from the change of txtWnd to txtList no longer empty, for every kind of
// list at its largest size, then the read stopped by Esc.
#include "BenchParts.h"

#include <cstdio>

#include "BenchItems.h"

namespace bench {

namespace {

struct FirstKind {
    const char* kind;
    const char* handle; // the target's name for it, before the size
    const int* sizes;
    int count;
};

// Quorvel appends a batch of rows to txtList and then shows their count in the caption, which the driver
// reads without waking Quorvel; so the caption's first count is when the rows are in, which a message to
// txtList then checks. Should it find txtList still empty, it watches txtList itself from there.
double FirstRows(const Quorvel& q, HWND target)
{
    SetText(q.txtWnd, L"0");
    SetText(q.txtList, L"");
    const std::wstring handle = std::to_wstring(reinterpret_cast<ULONG_PTR>(target));
    const double t0 = NowMs(), deadline = t0 + g_opt.timeoutMs;
    SetText(q.txtWnd, handle.c_str());
    long read = 0;
    while ((read = ItemsSoFar(q)) == 0) {
        if (NowMs() > deadline)
            Fail("Quorvel showed no rows");
        Sleep(1);
    }
    double t1 = NowMs();
    while (Send(q.txtList, WM_GETTEXTLENGTH, 0, 0) == 0) {
        if (read < 0 || NowMs() > deadline)
            Fail("Quorvel's read ended with txtList empty");
        Sleep(1);
        t1 = NowMs();
    }
    if (read > 0) {
        PostMessageW(q.txtWnd, WM_KEYDOWN, VK_ESCAPE, 1);
        WaitRead(q);
    }
    return t1 - t0;
}

} // namespace

void TimeFirstRows(const Quorvel& q, const Handles& handles)
{
    static const int lists[] = {1000, 10000, 100000};
    const FirstKind kinds[] = {{"list", "list", lists, 3},
                               {"combo", "combo", lists, 3},
                               {"view", "view", bench::kViewRows, 3},
                               {"tree", "tree", bench::kTreeSizes, 3},
                               {"accessible", "accessible", bench::kAccessibleSizes, 3}};
    printf("First rows shown: from the change of txtWnd to txtList no longer empty (seen by the caption's first "
           "count, which Quorvel shows right after appending those rows, and checked in txtList), median of %d per "
           "arrangement, each read then stopped by Esc\n",
           RepsAt(g_opt.maxItems));
    for (const FirstKind& k : kinds) {
        int size = 0;
        for (int i = 0; i < k.count; ++i)
            if (k.sizes[i] <= g_opt.maxItems)
                size = k.sizes[i];
        if (!size)
            continue;
        HWND target = HandleNamed(handles, k.handle + std::to_string(size));
        std::vector<double> own, shared;
        // The arrangements take turns, so a drift in machine load hits both alike.
        for (int r = 0; r < RepsAt(size); ++r) {
            Arrange(q.pid, Cpus::own);
            own.push_back(FirstRows(q, target));
            if (CanSplit()) {
                Arrange(q.pid, Cpus::shared);
                shared.push_back(FirstRows(q, target));
            }
            Progress("first rows of the %d-item %s, rep %d: %.1f ms, on one CPU %.1f ms\n", size, k.kind, r + 1,
                     own.back(), shared.empty() ? -1.0 : shared.back());
        }
        const double first = Median(own);
        printf("%-10s first rows at %d items: %.1f ms%s (target <= 400) %s", k.kind, size, first,
               CanSplit() ? ", Quorvel on a CPU of its own" : "", first <= 400 ? "PASS" : "MISS");
        if (!shared.empty()) {
            const double one = Median(shared);
            printf("; %.1f ms, every process on one CPU (target <= 400) %s", one, one <= 400 ? "PASS" : "MISS");
        }
        printf("\n");
    }
    Arrange(q.pid, Cpus::own);
    printf("\n");
}

} // namespace bench
