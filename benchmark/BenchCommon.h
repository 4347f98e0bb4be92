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
    int reps = 5;
    int repsLarge = 3;
    int rewriteReps = 1;
    double rewriteBudgetMs = 60000;
    DWORD timeoutMs = 600000;
    int maxItems = 100000; // smaller for a quick look; the 100,000-item figures need the default
    // What to time: list and combo boxes, list views, trees, and cancelling reads.
    std::wstring parts = L"boxes,views,trees,cancel,accessible";
    int cancels = 1000;       // reads cancelled part way, to see that they leave nothing behind
    std::wstring commandLine; // quorvel.com: times --read of the largest list view to a file
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

struct Quorvel {
    HWND main = nullptr, txtWnd = nullptr, txtList = nullptr, frame = nullptr;
    DWORD pid = 0;
};

Quorvel FindQuorvel(DWORD timeoutMs);
// The caption of "List Items" once it no longer says a read is under way.
std::wstring WaitRead(const Quorvel& q);
// The items read so far of a read under way, from the frame's "reading… 1,234"; -1 once it has ended.
long ItemsSoFar(const Quorvel& q);
// Quorvel reading target from the change of txtWnd to its frame saying the read has ended, the listing shown;
// the listing is checked against expected by its length, and with checkText by its text.
double Reader(const Quorvel& q, HWND target, const std::wstring& expected, bool checkText);

bool PeakWorkingSet(DWORD pid, SIZE_T& peak);
void PrintPeak(const char* when, DWORD pid);

// The handles file's "name=value" lines: window handles, and figures the target measured itself.
std::map<std::string, long> ReadHandles(const std::wstring& path);
HWND HandleNamed(const std::map<std::string, long>& handles, const std::string& name);

} // namespace bench
