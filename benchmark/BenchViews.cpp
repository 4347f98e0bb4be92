// List views and tree views, read through the target's memory: Quorvel's reader against the bare messages (the
// floor) and against the usual per-cell copy, and the command line's read of the largest list view.
#include "BenchParts.h"

#include <commctrl.h>

#include <cstdio>

#include "BenchItems.h"

namespace bench {

namespace {

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

} // namespace

bool MeasureView(const std::string& what, HWND control, int size, Measured& out)
{
    if (what == "view-floor")
        out = {ViewFloor(control, size), 0};
    else if (what == "view-copy")
        out = {ViewCopy(control, ExpectedView(size)), 0};
    else if (what == "tree-floor")
        out = {TreeFloor(control, size), 0};
    else if (what == "tree-copy")
        out = {TreeCopy(control, ExpectedTree(size)), 0};
    else
        return false;
    return true;
}

namespace {

// Times floor, copy, reader and, when asked, the command line in turn, so a drift in machine load hits all
// alike: the floor and the reader reps times, the others in the first reference reps.
ViewRow TimeView(const Quorvel& q, HWND control, bool tree, int size, bool commandLine = false)
{
    const std::wstring expected = tree ? ExpectedTree(size) : ExpectedView(size);
    const char* kind = tree ? "tree" : "view";
    const int reps = RepsAt(size), referenceReps = ReferenceRepsAt(size);
    std::vector<double> floors, copies, commandLines;
    ReaderTimes readers;
    for (int r = 0; r < reps; ++r) {
        floors.push_back(MeasureApart(tree ? "tree-floor" : "view-floor", control, size).ms);
        if (r < referenceReps)
            copies.push_back(MeasureApart(tree ? "tree-copy" : "view-copy", control, size).ms);
        TimeReaders(q, control, expected, r, referenceReps, readers);
        if (commandLine && r < referenceReps)
            commandLines.push_back(CommandLineRead(control, expected));
        const bool referenced = static_cast<int>(readers.shared.size()) == r + 1;
        Progress("%d %s rep %d: floor %.1f ms, copy %.1f ms, reader %.1f ms, on one CPU %.1f ms, command line %.1f "
                 "ms\n",
                 size, kind, r + 1, floors.back(), r < referenceReps ? copies.back() : -1.0, readers.own.back(),
                 referenced ? readers.shared.back() : -1.0,
                 commandLine && r < referenceReps ? commandLines.back() : -1.0);
    }
    ViewRow row{kind,           size,          tree ? size : size * bench::kViewColumns,
                reps,           referenceReps, Median(floors),
                Median(copies), readers.Own()};
    row.shared = readers.Shared();
    if (commandLine)
        row.commandLine = Median(commandLines);
    return row;
}

void PrintViewTable(const std::vector<ViewRow>& rows)
{
    printf("List views (report, %d columns, virtual; size in rows) and tree views (3 levels; size in items), read\n"
           "through the target's memory. Medians in milliseconds. floor: per column the structure written once, then\n"
           "one LVM_GETITEMTEXTW per row; for a tree, one TVM_GETNEXTITEM walk, every structure written at once,\n"
           "then one TVM_GETITEMW per item. copy: the usual per-cell copy: write the structure, send, read the\n"
           "structure back, read the text. reader: Quorvel, from the change of txtWnd to the listing shown.\n"
           "runs: floor and reader, then copy and the reader with every process on one CPU (1-CPU).\n\n",
           bench::kViewColumns);
    printf("%-7s %-5s %8s %5s %11s %11s %11s %8s %11s %8s %8s %9s\n", "size", "kind", "cells", "runs", "floor ms",
           "copy ms", "reader ms", "rd/floor", "1-CPU ms", "1c/floor", "copy/rd", "rd us/cell");
    for (const ViewRow& r : rows)
        printf("%-7d %-5s %8d %5s %11.1f %11.1f %11.1f %8.3f %s %8.2f %9.1f\n", r.size, r.kind, r.cells,
               Runs(r.reps, r.referenceReps).c_str(), r.floor, r.copy, r.reader, r.reader / r.floor,
               ReferenceCells(r.shared, r.floor).c_str(), r.copy / r.reader, r.reader * 1000.0 / r.cells);
    printf("\n");
    for (const char* kind : {"view", "tree"}) {
        const ViewRow *largest = nullptr, *previous = nullptr, *leastGain = nullptr;
        std::vector<int> sizes;
        std::vector<double> floors, readers, shared;
        for (const ViewRow& r : rows) {
            if (std::string(r.kind) != kind)
                continue;
            previous = largest;
            largest = &r;
            if (!leastGain || r.copy / r.reader < leastGain->copy / leastGain->reader)
                leastGain = &r;
            sizes.push_back(r.size);
            floors.push_back(r.floor);
            readers.push_back(r.reader);
            shared.push_back(r.shared);
        }
        if (!largest)
            continue;
        const char* unit = std::string(kind) == "view" ? "rows" : "items";
        PrintFloorRatios(kind, unit, sizes, floors, readers, shared);
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

} // namespace

ViewResults TimeViews(const Quorvel& q, const Handles& handles)
{
    ViewResults results;
    for (int s = 0; s < 3; ++s) {
        const int size = bench::kViewRows[s];
        if (size > g_opt.maxItems || !Timing(L"views"))
            break;
        HWND view = HandleNamed(handles, "view" + std::to_string(size));
        const bool largest = s == 2 || bench::kViewRows[s + 1] > g_opt.maxItems;
        results.rows.push_back(TimeView(q, view, false, size, largest && !g_opt.commandLine.empty()));
        // The largest read of the run: Quorvel's peak working set right after it.
        results.haveViewPeak = PeakWorkingSet(q.pid, results.viewPeak);
        results.largestView = size;
    }
    for (int s = 0; s < bench::kTreesTimed; ++s) {
        const int size = bench::kTreeSizes[s];
        if (size > g_opt.maxItems || !Timing(L"trees"))
            break;
        HWND tree = HandleNamed(handles, "tree" + std::to_string(size));
        results.rows.push_back(TimeView(q, tree, true, size));
    }
    for (int s = 0; s < 3; ++s) {
        const auto fill = handles.find("tree" + std::to_string(bench::kTreeSizes[s]) + "_fill_ms");
        if (fill != handles.end() && bench::kTreeSizes[s] <= g_opt.maxItems && (Timing(L"trees") || Timing(L"first")))
            results.treeFillMs[s] = fill->second;
    }
    return results;
}

void PrintViews(const ViewResults& results)
{
    if (!results.rows.empty())
        PrintViewTable(results.rows);
    bool filled = false;
    for (int s = 0; s < 3; ++s)
        if (results.treeFillMs[s] >= 0) {
            printf("bench target: filling the %d-item tree view (TVM_INSERTITEMW, redraw off) took %ld ms\n",
                   bench::kTreeSizes[s], results.treeFillMs[s]);
            filled = true;
        }
    if (filled)
        printf("\n");
}

} // namespace bench
