// List boxes and combo boxes: Quorvel's reader against the bare message cost (the floor) and against the
// whole field read back and written again per item (the rewrite).
#include "BenchParts.h"

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

constexpr int kRewriteMax = 10000; // beyond this the quadratic rewrite takes minutes

struct Kind {
    const char* name;
    UINT count, textLength, text;
};
const Kind kList{"list", LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT};
const Kind kCombo{"combo", CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT};

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

} // namespace

bool MeasureList(const std::string& what, HWND target, int size, Measured& out)
{
    const bool combo = what.rfind("combo-", 0) == 0;
    if (!combo && what.rfind("list-", 0) != 0)
        return false;
    const std::wstring expected = Expected(combo, size);
    if (what.ends_with("-floor")) {
        out = {Floor(target, expected.size()), 0};
        return true;
    }
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 0, 0, 300, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!edit)
        Fail("cannot create the rewrite field");
    SendMessageW(edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    int done = 0;
    out.ms = Rewrite(edit, target, expected, done);
    out.count = done;
    DestroyWindow(edit);
    return true;
}

ListResults TimeLists(const Quorvel& q, const Handles& handles)
{
    ListResults results;

    for (int size : kSizes) {
        if (size > g_opt.maxItems)
            break;
        const int reps = RepsAt(size), referenceReps = ReferenceRepsAt(size);
        const std::wstring expected[2] = {Expected(false, size), Expected(true, size)};
        HWND targets[2];
        for (int k = 0; k < 2; ++k)
            targets[k] = HandleNamed(handles, std::string(k ? "combo" : "list") + std::to_string(size));
        std::vector<double> floors[2];
        ReaderTimes readers[2];
        // Floor and reader alternate so a drift in machine load hits both alike.
        for (int r = 0; r < reps; ++r) {
            for (int k = 0; k < 2; ++k) {
                floors[k].push_back(MeasureApart(k ? "combo-floor" : "list-floor", targets[k], size).ms);
                TimeReaders(q, targets[k], expected[k], r, referenceReps, readers[k]);
                if (size == 100000 && k == 0 && !results.haveReadPeak)
                    results.haveReadPeak = PeakWorkingSet(q.pid, results.readPeak);
                Progress("%d %s rep %d: floor %.1f ms, reader %.1f ms, on one CPU %.1f ms\n", size,
                         k ? "combo" : "list", r + 1, floors[k].back(), readers[k].own.back(),
                         static_cast<int>(readers[k].shared.size()) == r + 1 ? readers[k].shared.back() : -1.0);
            }
        }
        for (int k = 0; k < 2; ++k) {
            ListRow row{size,
                        k ? "combo" : "list",
                        Median(floors[k]),
                        readers[k].Own(),
                        readers[k].Shared(),
                        -1,
                        reps,
                        static_cast<int>(readers[k].shared.size()),
                        0,
                        size};
            if (size <= kRewriteMax) {
                const int rewriteReps = size > 1000 ? 1 : g_opt.rewriteReps;
                std::vector<double> times;
                for (int r = 0; r < rewriteReps; ++r) {
                    const Measured rewrite = MeasureApart(k ? "combo-rewrite" : "list-rewrite", targets[k], size);
                    const int done = static_cast<int>(rewrite.count);
                    times.push_back(rewrite.ms);
                    row.rewriteDone = std::min(row.rewriteDone, done);
                    Progress("%d %s rewrite rep %d: %.1f ms, %d items\n", size, row.kind, r + 1, times.back(), done);
                    if (done < size)
                        break; // one run past the budget says enough
                }
                row.rewrite = Median(times);
                row.rewriteReps = static_cast<int>(times.size());
            }
            results.rows.push_back(row);
        }
    }
    return results;
}

void PrintLists(const ListResults& results)
{
    const std::vector<ListRow>& rows = results.rows;
    if (rows.empty())
        return;
    printf("List boxes and combo boxes. runs: floor and reader, then the reader with every process on one CPU.\n\n");
    printf("%-7s %-6s %5s %11s %11s %8s %11s %8s %20s %9s\n", "items", "kind", "runs", "floor ms", "reader ms",
           "rd/floor", "1-CPU ms", "1c/floor", "rewrite ms", "rw/rd");
    for (const ListRow& r : rows) {
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
        printf("%-7d %-6s %5s %11.1f %11.1f %8.3f %s %20s %9s\n", r.size, r.kind, Runs(r.reps, r.sharedReps).c_str(),
               r.floor, r.reader, r.reader / r.floor, ReferenceCells(r.shared, r.floor).c_str(), rewrite, ratio);
    }
    printf("\n");
    for (const char* kind : {"list", "combo"}) {
        std::vector<int> sizes;
        std::vector<double> floors, readers, shared;
        const ListRow *at10k = nullptr, *at100k = nullptr;
        for (const ListRow& r : rows)
            if (std::string(r.kind) == kind) {
                sizes.push_back(r.size);
                floors.push_back(r.floor);
                readers.push_back(r.reader);
                shared.push_back(r.shared);
                if (r.size == 10000)
                    at10k = &r;
                else if (r.size == 100000)
                    at100k = &r;
            }
        PrintFloorRatios(kind, "items", sizes, floors, readers, shared);
        if (!at10k || !at100k)
            continue; // a quick run without the 100,000-item lists
        const double growth = at100k->reader / at10k->reader;
        printf("%-5s reader growth 100000 / 10000 items: %.2f (target <= %.0f) %s\n", kind, growth, kGrowthTarget,
               growth <= kGrowthTarget ? "PASS" : "MISS");
        // The messages' own cost sets how linear any reader can be.
        printf("%-5s floor growth 100000 / 10000 items: %.2f\n", kind, at100k->floor / at10k->floor);
    }
    printf("\n");
}

} // namespace bench
