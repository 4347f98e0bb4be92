// What every part of the benchmark driver shares: its options, the clock, messages with a time limit, and
// Quorvel's window as the driver finds and drives it.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

constexpr int kSizes[] = {1000, 10000, 100000};
constexpr double kFloorTarget = 1.15, kGrowthTarget = 12.0, kCopyTarget = 2.0, kCommandLineTarget = 1.1;

struct Options {
    std::wstring handlesFile;
    int reps = 5;      // Quorvel's reads in the run's arrangement, and the floors, at 1,000 and 10,000 items
    int repsLarge = 5; // the same at 100,000 items
    // The reference runs: Quorvel's reads with every process on one CPU, beside those on a CPU of its own, and
    // the per-cell copy and the command line; at most reps of them.
    int repsReference = 3;
    int repsReferenceLarge = 1;
    int repsAccessibleLarge = 3; // an accessible read of 100,000 items takes minutes
    int rewriteReps = 1;
    double rewriteBudgetMs = 60000;
    DWORD timeoutMs = 600000;
    int maxItems = 100000; // smaller for a quick look; the 100,000-item figures need the default
    // What to time: the first rows, list and combo boxes, list views, trees, cancelling reads, accessible lists.
    std::wstring parts = L"first,boxes,views,trees,cancel,accessible";
    int cancels = 1000;       // reads cancelled part way, to see that they leave nothing behind
    std::wstring commandLine; // quorvel.com: times --read of the largest list view to a file
    std::wstring exe;         // quorvel.exe: a fresh one reads the accessible lists
    // The CPU every process of the run shares, and the one Quorvel gets to itself in the run's arrangement;
    // -1 for none: Quorvel stays where it was started.
    int sharedCpu = -1, ownCpu = -1;
};

extern Options g_opt;

// Whether the run times this part.
bool Timing(const wchar_t* part);
double NowMs();
[[noreturn]] void Fail(const char* what);
// Progress goes to stderr, figures to stdout.
void Progress(const char* fmt, ...);
// A message with the run's time limit; no answer ends the run.
LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp);
void SetText(HWND h, const wchar_t* text);
double Median(std::vector<double> v);

// Runs at a size in the run's arrangement, and of the reference.
int RepsAt(int size);
int ReferenceRepsAt(int size);

// Where Quorvel's processes run: on a CPU of their own while the target, wineserver and this driver share
// the other (the run's arrangement, when it has two CPUs), or with every process on that one CPU.
enum class Cpus { own, shared };
bool CanSplit();
// Puts the process on the CPU of the arrangement, every thread of it, and those it makes later.
void Arrange(DWORD pid, Cpus cpus);

struct Quorvel {
    HWND main = nullptr, txtWnd = nullptr, txtList = nullptr, frame = nullptr;
    DWORD pid = 0;
};

Quorvel FindQuorvel(DWORD timeoutMs);
// A window's text as the system keeps it, without a message: a look that does not wake its owner, which
// would take time from the read being timed.
std::wstring Caption(HWND h);
// A Quorvel of its own: started, its window found, and at the end closed.
struct FreshQuorvel {
    Quorvel q;
    HANDLE process = nullptr;
};
FreshQuorvel StartQuorvel();
void CloseQuorvel(FreshQuorvel& fresh);
// The caption of "List Items" once it no longer says a read is under way.
std::wstring WaitRead(const Quorvel& q);
// The items read so far of a read under way, from the frame's "reading… 1,234"; -1 once it has ended.
long ItemsSoFar(const Quorvel& q);
// Quorvel reading target from the change of txtWnd to its frame saying the read has ended, the listing shown;
// the listing is checked against expected by its length, and with checkText by its text.
double Reader(const Quorvel& q, HWND target, const std::wstring& expected, bool checkText);

// Quorvel's reads of one target, by arrangement: in the run's in every rep, with every process on one CPU
// in the first reference reps (only when the run's arrangement gives Quorvel a CPU of its own).
struct ReaderTimes {
    std::vector<double> own, shared;
    // Medians, or -1 for none.
    double Own() const { return own.empty() ? -1 : Median(own); }
    double Shared() const { return shared.empty() ? -1 : Median(shared); }
};
void TimeReaders(const Quorvel& q, HWND target, const std::wstring& expected, int rep, int referenceReps,
                 ReaderTimes& times);

// "5/3": runs in the run's arrangement and of the reference; "5" without a reference.
std::string Runs(int reps, int referenceReps);
// The table cells of a reference time and its ratio to the floor: "-" where none was timed.
std::string ReferenceCells(double shared, double floor);
// Prints a kind's reader / floor at the size where it is largest, against the target, and the same with every
// process on one CPU beside it for reference. sizes, floors, readers and shared (-1: not timed) go in step.
void PrintFloorRatios(const char* kind, const char* unit, const std::vector<int>& sizes,
                      const std::vector<double>& floors, const std::vector<double>& readers,
                      const std::vector<double>& shared);

bool PeakWorkingSet(DWORD pid, SIZE_T& peak);
void PrintPeak(const char* when, DWORD pid);

// The handles file's "name=value" lines: window handles, and figures the target measured itself.
std::map<std::string, long> ReadHandles(const std::wstring& path);
HWND HandleNamed(const std::map<std::string, long>& handles, const std::string& name);

} // namespace bench
