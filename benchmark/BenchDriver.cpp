// Times Quorvel's list reader against the bare message cost (the floor) and a per-item field rewrite, and
// its list-view and tree-view readers against the floor and the usual per-cell copy through the
// target's memory; times the first rows of a big read shown and Esc in the middle of one, and counts what
// 1,000 cancelled reads leave behind; times lists told only through accessibility against the same calls.
// Where the run has two CPUs, Quorvel gets one to itself and the rest share the other, and its reads are
// timed again with every process on that one CPU for reference. Figures go to stdout, progress to stderr.
// Each part lives in a file of its own (BenchParts.h).
#include "BenchParts.h"

#include <cstdio>

using namespace bench;

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && std::wstring(argv[1]) == L"--measure")
        return RunMeasurement(argc, argv);
    if (argc >= 2 && std::wstring(argv[1]) == L"--floor-list")
        return FloorList(argc > 2 ? argv[2] : nullptr);
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
        else if (a == L"--exe")
            g_opt.exe = argv[i + 1];
        else if (a == L"--reps-reference")
            g_opt.repsReference = _wtoi(argv[i + 1]);
        else if (a == L"--reps-reference-large")
            g_opt.repsReferenceLarge = _wtoi(argv[i + 1]);
        else if (a == L"--reps-accessible-large")
            g_opt.repsAccessibleLarge = _wtoi(argv[i + 1]);
        else if (a == L"--cpus" && swscanf(argv[i + 1], L"%d,%d", &g_opt.sharedCpu, &g_opt.ownCpu) != 2)
            g_opt.sharedCpu = g_opt.ownCpu = -1;
    }
    if (g_opt.handlesFile.empty() || g_opt.reps < 1 || g_opt.repsLarge < 1 || g_opt.rewriteReps < 1 ||
        g_opt.repsReference < 1 || g_opt.repsReferenceLarge < 1 || g_opt.repsAccessibleLarge < 1)
        Fail("usage: benchdriver --handles FILE [--reps N] [--reps-large N] [--reps-reference N] "
             "[--reps-reference-large N] [--reps-accessible-large N] [--rewrite-reps N] [--rewrite-budget-s S] "
             "[--timeout-s S] [--parts first,boxes,views,trees,cancel,accessible,finding] [--cancels N] "
             "[--command-line QUORVEL_COM] [--exe QUORVEL_EXE] [--cpus SHARED,OWN]");

    const Handles handles = ReadHandles(g_opt.handlesFile);
    const Quorvel q = FindQuorvel(60000);

    SIZE_T idlePeak = 0;
    const bool haveIdlePeak = PeakWorkingSet(q.pid, idlePeak);

    // Each part's figures are out before the next starts: a run that fails late still shows them.
    Arrange(q.pid, Cpus::own);
    if (Timing(L"first"))
        TimeFirstRows(q, handles);
    fflush(stdout);
    if (Timing(L"cancel"))
        TimeCancels(q, handles);
    fflush(stdout);
    ListResults lists;
    if (Timing(L"boxes")) {
        lists = TimeLists(q, handles);
        PrintLists(lists);
    }
    fflush(stdout);
    const ViewResults views = TimeViews(q, handles);
    PrintViews(views);
    fflush(stdout);
    if (Timing(L"accessible"))
        TimeAccessible(handles);
    fflush(stdout);
    if (Timing(L"finding"))
        TimeFinding(handles);

    printf("\n");
    if (haveIdlePeak)
        printf("Quorvel peak working set before any read: %lu bytes (%.1f MiB)\n", static_cast<unsigned long>(idlePeak),
               static_cast<double>(idlePeak) / (1024.0 * 1024.0));
    if (lists.haveReadPeak)
        printf("Quorvel peak working set after reading the 100000-item list: %lu bytes (%.1f MiB)\n",
               static_cast<unsigned long>(lists.readPeak), static_cast<double>(lists.readPeak) / (1024.0 * 1024.0));
    else if (!views.haveViewPeak)
        PrintPeak("after the reads", q.pid);
    if (views.haveViewPeak)
        printf("Quorvel peak working set after reading the %d-row list view (the largest read): %lu bytes (%.1f MiB)\n",
               views.largestView, static_cast<unsigned long>(views.viewPeak),
               static_cast<double>(views.viewPeak) / (1024.0 * 1024.0));
    fflush(stdout);
    return 0;
}
