#include "BenchAccessible.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

#include "BenchItems.h"
#include "BenchParts.h"

namespace bench {

namespace {

constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr IID kIidEnumVariant = {0x00020404, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr LONG kBatch = 256;

} // namespace

bool AccessibleFloor(HWND window, DWORD timeoutMs, std::size_t& items, std::size_t& chars)
{
    items = chars = 0;
    // The list box and combo box counts come first, as for a window of any class.
    DWORD_PTR answer = 0;
    for (UINT count : {LB_GETCOUNT, CB_GETCOUNT})
        if (!SendMessageTimeoutW(window, count, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &answer))
            return false;
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return false;
    IAccessible* list = nullptr;
    if (!SendMessageTimeoutW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG, timeoutMs,
                             &answer) ||
        FAILED(ObjectFromLresult(static_cast<LRESULT>(answer), kIidAccessible, 0, reinterpret_cast<void**>(&list)))) {
        CoUninitialize();
        return false;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    BSTR name = nullptr;
    LONG count = 0;
    IEnumVARIANT* enumerator = nullptr;
    bool ok = SUCCEEDED(list->get_accRole(self, &role)) && role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_LIST &&
              SUCCEEDED(list->get_accName(self, &name)) && SUCCEEDED(list->get_accChildCount(&count)) &&
              FAILED(list->QueryInterface(kIidEnumVariant, reinterpret_cast<void**>(&enumerator)));
    SysFreeString(name);
    for (LONG first = 0; ok && first < count; first += kBatch) {
        const LONG batch = std::min(kBatch, count - first);
        VARIANT child{};
        child.vt = VT_I4;
        for (LONG i = 1; ok && i <= batch; ++i) {
            child.lVal = first + i;
            IDispatch* object = nullptr;
            ok = list->get_accChild(child, &object) == S_FALSE && !object;
        }
        for (LONG i = 1; ok && i <= batch; ++i) {
            child.lVal = first + i;
            BSTR text = nullptr;
            ok = SUCCEEDED(list->get_accName(child, &text));
            chars += SysStringLen(text);
            ++items;
            SysFreeString(text);
        }
    }
    list->Release();
    CoUninitialize();
    return ok;
}

namespace {

std::wstring ExpectedAccessible(int size)
{
    std::wstring expected;
    wchar_t text[32];
    for (int i = 0; i < size; ++i) {
        bench::AccessibleText(i, text, 32);
        expected += text;
        expected += L"\r\n";
    }
    return expected;
}

} // namespace

bool MeasureAccessible(const std::string& what, HWND list, int size, Measured& out)
{
    if (what != "accessible-floor")
        return false;
    std::size_t items = 0, chars = 0;
    const double t0 = NowMs();
    if (!bench::AccessibleFloor(list, g_opt.timeoutMs, items, chars) ||
        chars + 2 * items != ExpectedAccessible(size).size())
        Fail("the accessible floor read other items than expected");
    out = {NowMs() - t0, static_cast<long>(items)};
    return true;
}

// Lists told only through accessibility, against the same calls from a bare loop in this process, read by a
// Quorvel started for them: the largest first, so that its peak working set after its first read is that of
// a fresh Quorvel after the largest.
void TimeAccessible(const Handles& handles)
{
    struct AccRow {
        int size, reps, sharedReps;
        double floor, reader, shared;
    };
    std::vector<AccRow> rows;
    SIZE_T peak = 0;
    bool havePeak = false;
    int peakSize = 0;
    FreshQuorvel fresh = StartQuorvel();
    const Quorvel& q = fresh.q;
    for (auto s = std::rbegin(bench::kAccessibleSizes); s != std::rend(bench::kAccessibleSizes); ++s) {
        const int size = *s;
        if (size > g_opt.maxItems)
            continue;
        HWND list = HandleNamed(handles, "accessible" + std::to_string(size));
        const std::wstring expected = ExpectedAccessible(size);
        const int reps = size >= 100000 ? g_opt.repsAccessibleLarge : RepsAt(size);
        const int referenceReps = std::min(reps, ReferenceRepsAt(size));
        std::vector<double> floors;
        ReaderTimes readers;
        for (int r = 0; r < reps; ++r) {
            floors.push_back(MeasureApart("accessible-floor", list, size).ms);
            TimeReaders(q, list, expected, r, referenceReps, readers);
            if (!peakSize) {
                havePeak = PeakWorkingSet(q.pid, peak);
                peakSize = size;
            }
            const bool referenced = static_cast<int>(readers.shared.size()) == r + 1;
            Progress("%d accessible rep %d: floor %.1f ms, reader %.1f ms, on one CPU %.1f ms\n", size, r + 1,
                     floors.back(), readers.own.back(), referenced ? readers.shared.back() : -1.0);
        }
        rows.insert(rows.begin(), {size, reps, static_cast<int>(readers.shared.size()), Median(floors), readers.Own(),
                                   readers.Shared()});
    }
    CloseQuorvel(fresh);
    if (rows.empty())
        return;
    printf(
        "Lists told only through accessibility (simple elements, no enumerator; size in items), read by a Quorvel\n"
        "started for them, the largest first. floor: what the reader asks, from a bare loop: the list's object, its\n"
        "role, name and child count, whether it has an enumerator, then 256 at a time each child's get_accChild\n"
        "and each item's get_accName. runs: floor and reader, then the reader with every process on one CPU\n"
        "(1-CPU).\n\n");
    printf("%-7s %5s %11s %11s %8s %11s %8s %9s\n", "items", "runs", "floor ms", "reader ms", "rd/floor", "1-CPU ms",
           "1c/floor", "rd us/item");
    std::vector<int> sizes;
    std::vector<double> floors, readers, shared;
    for (const AccRow& r : rows) {
        printf("%-7d %5s %11.1f %11.1f %8.3f %s %9.1f\n", r.size, Runs(r.reps, r.sharedReps).c_str(), r.floor, r.reader,
               r.reader / r.floor, ReferenceCells(r.shared, r.floor).c_str(), r.reader * 1000.0 / r.size);
        if (r.size >= 10000) {
            sizes.push_back(r.size);
            floors.push_back(r.floor);
            readers.push_back(r.reader);
            shared.push_back(r.shared);
        }
    }
    printf("\n");
    PrintFloorRatios("accessible", "items", sizes, floors, readers, shared);
    const AccRow& last = rows.back();
    if (rows.size() > 1 && last.size == 10 * rows[rows.size() - 2].size) {
        const AccRow& before = rows[rows.size() - 2];
        const double growth = last.reader / before.reader;
        printf("accessible reader growth %d / %d items: %.2f (target <= %.0f) %s\n", last.size, before.size, growth,
               kGrowthTarget, growth <= kGrowthTarget ? "PASS" : "MISS");
        printf("accessible floor growth %d / %d items: %.2f\n", last.size, before.size, last.floor / before.floor);
    }
    if (havePeak)
        printf("Quorvel peak working set after reading the %d-item accessible list, its first read: %lu bytes (%.1f "
               "MiB; target <= 64 MiB) %s\n",
               peakSize, static_cast<unsigned long>(peak), static_cast<double>(peak) / (1024.0 * 1024.0),
               peak <= (SIZE_T{64} << 20) ? "PASS" : "MISS");
    printf("\n");
}

} // namespace bench
