#include "BenchAccessible.h"

#include <oleacc.h>

#include <cstdio>
#include <vector>

#include "BenchItems.h"
#include "BenchParts.h"

namespace bench {

namespace {

constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr LONG kBatch = 256;

} // namespace

bool AccessibleFloor(HWND window, DWORD timeoutMs, std::size_t& items, std::size_t& chars)
{
    items = chars = 0;
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return false;
    DWORD_PTR answer = 0;
    IAccessible* list = nullptr;
    if (!SendMessageTimeoutW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG, timeoutMs,
                             &answer) ||
        FAILED(ObjectFromLresult(static_cast<LRESULT>(answer), kIidAccessible, 0, reinterpret_cast<void**>(&list)))) {
        CoUninitialize();
        return false;
    }
    LONG count = 0;
    bool ok = SUCCEEDED(list->get_accChildCount(&count));
    std::vector<VARIANT> batch(kBatch);
    for (LONG first = 0; ok && first < count; first += kBatch) {
        LONG got = 0;
        ok = SUCCEEDED(AccessibleChildren(list, first, kBatch, batch.data(), &got));
        for (LONG i = 0; ok && i < got; ++i) {
            BSTR name = nullptr;
            ok = batch[i].vt == VT_I4 && SUCCEEDED(list->get_accName(batch[i], &name));
            chars += SysStringLen(name);
            ++items;
            SysFreeString(name);
        }
        for (VARIANT& v : batch)
            VariantClear(&v);
    }
    list->Release();
    CoUninitialize();
    return ok;
}

// Lists told only through accessibility, against the same calls from a bare loop in this process; Quorvel's
// peak working set after the largest.
void TimeAccessible(const Quorvel& q, const Handles& handles)
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

} // namespace bench
