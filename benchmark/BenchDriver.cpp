// Times Quorvel's list reader against the bare message cost (the floor) and a per-item field rewrite, and
// its list-view and tree-view readers against the floor and the usual per-cell copy through the
// target's memory; times Esc in the middle of a big read, and counts what 1,000 cancelled reads leave
// behind. Figures go to stdout, progress to stderr. Each part lives in a file of its own (BenchParts.h).
#include "BenchParts.h"

#include <cstdio>

using namespace bench;

int wmain(int argc, wchar_t** argv)
{
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
    }
    if (g_opt.handlesFile.empty() || g_opt.reps < 1 || g_opt.repsLarge < 1 || g_opt.rewriteReps < 1)
        Fail("usage: benchdriver --handles FILE [--reps N] [--reps-large N] [--rewrite-reps N] [--rewrite-budget-s S] "
             "[--timeout-s S] [--parts boxes,views,trees,cancel,accessible] [--cancels N] "
             "[--command-line QUORVEL_COM]");

    const Handles handles = ReadHandles(g_opt.handlesFile);
    const Quorvel q = FindQuorvel(60000);

    SIZE_T idlePeak = 0;
    const bool haveIdlePeak = PeakWorkingSet(q.pid, idlePeak);

    const ListResults lists = Timing(L"boxes") ? TimeLists(q, handles) : ListResults{};
    const ViewResults views = TimeViews(q, handles);
    if (Timing(L"cancel"))
        TimeCancels(q, handles);
    if (Timing(L"accessible"))
        TimeAccessible(q, handles);

    PrintLists(lists);
    PrintViews(views);
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
