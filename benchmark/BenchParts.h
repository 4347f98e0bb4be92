// The parts of the benchmark, one file each: list and combo boxes, list views and tree views, Esc and cancelled
// reads, the command line, lists told only through accessibility, and the first rows of a big read. Each times its part
// against Quorvel and prints its figures, or hands them back to be printed in the run's order.
#pragma once

#include "BenchCommon.h"

namespace bench {

using Handles = std::map<std::string, long>;

// --- Measurements made apart (BenchApart.cpp) ---

// What one measurement gives back: its time, and a count of its own (the rewrite's items done).
struct Measured {
    double ms;
    long count;
};
// The floor, a per-cell copy or the rewrite loop of a target of size items (what: "list-floor",
// "view-copy", ...), made in a process of its own on the CPU Quorvel's reads get, as they are made.
Measured MeasureApart(const char* what, HWND target, int size);
// In that process (benchdriver --measure ...): makes it and prints what it gives back.
int RunMeasurement(int argc, wchar_t** argv);
// Each part's own measurements; false for one that is not its.
bool MeasureList(const std::string& what, HWND target, int size, Measured& out);
bool MeasureView(const std::string& what, HWND target, int size, Measured& out);
bool MeasureAccessible(const std::string& what, HWND target, int size, Measured& out);

// --- List and combo boxes (BenchLists.cpp) ---

struct ListRow {
    int size;
    const char* kind;
    double floor, reader, shared, rewrite; // shared < 0: not timed; rewrite < 0: skipped
    int reps, sharedReps, rewriteReps, rewriteDone;
};

struct ListResults {
    std::vector<ListRow> rows;
    SIZE_T readPeak = 0; // Quorvel's peak working set after reading the 100,000-item list
    bool haveReadPeak = false;
};

ListResults TimeLists(const Quorvel& q, const Handles& handles);
void PrintLists(const ListResults& results);

// --- List views and tree views (BenchViews.cpp) ---

struct ViewRow {
    const char* kind; // "view" or "tree"
    int size, cells, reps, referenceReps;
    double floor, copy, reader;
    double shared = -1;      // the reader with every process on one CPU; -1: not timed
    double commandLine = -1; // -1: not timed
};

struct ViewResults {
    std::vector<ViewRow> rows;
    SIZE_T viewPeak = 0; // Quorvel's peak working set after the largest list view
    bool haveViewPeak = false;
    int largestView = 0;
    long treeFillMs[3] = {-1, -1, -1}; // as the target measured filling its trees
};

ViewResults TimeViews(const Quorvel& q, const Handles& handles);
void PrintViews(const ViewResults& results);

// --- Esc in the middle of a read, and reads cancelled part way (BenchCancel.cpp) ---

void TimeCancels(const Quorvel& q, const Handles& handles);

// --- The command line (BenchCommandLine.cpp) ---

// quorvel.com --read of control into a file, from its start to its exit; the file must hold expected.
double CommandLineRead(HWND control, const std::wstring& expected);

// --- Lists told only through accessibility (BenchAccessible.cpp) ---

// In a Quorvel of their own, started and closed here.
void TimeAccessible(const Handles& handles);

// --- The first rows of a big read, every kind (BenchFirstRows.cpp) ---

void TimeFirstRows(const Quorvel& q, const Handles& handles);

// --- Finding lists without a handle (BenchFinding.cpp) ---

void TimeFinding(const Handles& handles);
// The bare loop, run as a program of its own (benchdriver --floor-list [TITLE]); its exit code.
int FloorList(const wchar_t* title);

} // namespace bench
