// Target for the end-to-end tests whose list controls misbehave: each is a real LISTBOX (or another
// control) behind a subclass that lies about counts and lengths, hangs, or takes the process down.
// Everything the subclass does not change behaves like the plain control.
// The fake's declarations come before <windows.h>, whose macros would rewrite the constants they name.
#include "desktop/fake/FakeAccessible.h"

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "AccessibleServer.h"
#include "HostileViews.h"
#include "TargetSupport.h"

namespace {

// WM_APP + 1 answers how many times the window received the message in wParam; WM_APP + 2 resets.
constexpr UINT kQueryCount = WM_APP + 1;
constexpr UINT kResetCounts = WM_APP + 2;
constexpr DWORD kHangMs = 8000;
constexpr WPARAM kHangIndex = 3;
constexpr DWORD kSlowMs = 150;
constexpr int kSlowItems = 60;
// Over 64 KiB as text: more than a pipe holds.
constexpr int kSlowAccessibleItems = 300;
constexpr std::size_t kSlowAccessibleChars = 250;

// Kept apart from the tests' own copy so a slip on either side shows up.
std::vector<std::wstring> Items()
{
    return {L"alpha", L"bravo", L"Gr\u00FC\u00DFe \u65E5\u672C \u20AC", L"delta", L"echo", L"", L"foxtrot"};
}

enum class Kind {
    plain,
    countAnswers, // LB_GETCOUNT answers `value`; every fetch fails
    understate,   // LB_GETTEXTLEN answers half the real length
    overstate,    // LB_GETTEXTLEN answers twice the real length + 10
    grow,         // the first length query of an item answers the truth, later ones a far longer text
    hangCount,    // sleeps inside LB_GETCOUNT
    hangText,     // sleeps inside LB_GETTEXT of kHangIndex
    exitAt,       // ExitProcess inside LB_GETTEXT of `value`
    counted,      // unchanged, only counted
    slow,         // answers each LB_GETTEXT after kSlowMs
    nonsense,     // item 1's length answers -7; item 3's text LB_ERR after a good length
};

struct Behaviour {
    Kind kind = Kind::plain;
    LONG value = 0;
    std::atomic<LONG> counts[6] = {};
    std::vector<int> lengthQueries; // per item, for Kind::grow
};

constexpr UINT kCountedMessages[6] = {LB_GETCOUNT, LB_GETTEXTLEN,   LB_GETTEXT,
                                      CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT};
constexpr int kGrownLength = 4000;

int CountSlot(UINT msg)
{
    for (int i = 0; i < 6; ++i)
        if (kCountedMessages[i] == msg)
            return i;
    return -1;
}

LRESULT RealLength(HWND h, WPARAM index, UINT_PTR id, DWORD_PTR ref, LPARAM lp)
{
    (void)id;
    (void)ref;
    return DefSubclassProc(h, LB_GETTEXTLEN, index, lp);
}

LRESULT CALLBACK HostileProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref)
{
    auto* b = reinterpret_cast<Behaviour*>(ref);
    if (msg == kQueryCount) {
        int slot = CountSlot(static_cast<UINT>(wp));
        return slot < 0 ? -1 : b->counts[slot].load();
    }
    if (msg == kResetCounts) {
        for (auto& c : b->counts)
            c = 0;
        return 0;
    }
    if (int slot = CountSlot(msg); slot >= 0)
        ++b->counts[slot];

    switch (b->kind) {
    case Kind::countAnswers:
        if (msg == LB_GETCOUNT)
            return b->value;
        if (msg == LB_GETTEXT || msg == LB_GETTEXTLEN || msg == CB_GETLBTEXT || msg == CB_GETLBTEXTLEN)
            return LB_ERR;
        break;
    case Kind::understate:
        if (msg == LB_GETTEXTLEN) {
            LRESULT real = RealLength(h, wp, id, ref, lp);
            return real < 0 ? real : real / 2;
        }
        break;
    case Kind::overstate:
        if (msg == LB_GETTEXTLEN) {
            LRESULT real = RealLength(h, wp, id, ref, lp);
            return real < 0 ? real : real * 2 + 10;
        }
        break;
    case Kind::grow:
        // Grows between the caller's own length query and the ones the system makes for LB_GETTEXT.
        if (msg == LB_GETTEXTLEN && wp < b->lengthQueries.size())
            return b->lengthQueries[wp]++ == 0 ? RealLength(h, wp, id, ref, lp) : kGrownLength;
        if (msg == LB_GETTEXT && wp < b->lengthQueries.size()) {
            auto* out = reinterpret_cast<wchar_t*>(lp);
            for (int i = 0; i < kGrownLength; ++i)
                out[i] = static_cast<wchar_t>(L'a' + i % 26);
            out[kGrownLength] = 0;
            return kGrownLength;
        }
        break;
    case Kind::hangCount:
        if (msg == LB_GETCOUNT)
            Sleep(kHangMs);
        break;
    case Kind::hangText:
        if (msg == LB_GETTEXT && wp == kHangIndex)
            Sleep(kHangMs);
        break;
    case Kind::exitAt:
        if (msg == LB_GETTEXT && wp == static_cast<WPARAM>(b->value))
            ExitProcess(3);
        break;
    case Kind::slow:
        if (msg == LB_GETTEXT)
            Sleep(kSlowMs);
        break;
    case Kind::nonsense:
        if (msg == LB_GETTEXTLEN && wp == 1)
            return -7;
        if (msg == LB_GETTEXT && wp == 3)
            return LB_ERR;
        break;
    case Kind::plain:
    case Kind::counted:
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

constexpr wchar_t kFrameClass[] = L"QuorvelHostileFrame";

bool RegisterFrameClass()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = target::QuitOnDestroyProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFrameClass;
    return RegisterClassW(&wc) != 0;
}

HWND MakeFrame(const wchar_t* title, int x, int y, int w, int h)
{
    HWND f = CreateWindowExW(0, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    return f;
}

HWND MakeControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int slot)
{
    const int x = 5 + (slot % 4) * 120, y = 5 + (slot / 4) * 110;
    return CreateWindowExW(WS_EX_CLIENTEDGE, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, 115, 105, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + slot)), GetModuleHandleW(nullptr),
                           nullptr);
}

constexpr DWORD kListStyle = LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL;

// The behaviour outlives the window: the process ends with the windows still up.
HWND MakeList(HWND parent, int slot, Kind kind, LONG value, const std::vector<std::wstring>& items)
{
    HWND list = MakeControl(parent, L"LISTBOX", L"", kListStyle, slot);
    if (!list)
        return nullptr;
    for (auto& s : items)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    auto* b = new Behaviour;
    b->kind = kind;
    b->value = value;
    b->lengthQueries.assign(items.size(), 0);
    SetWindowSubclass(list, HostileProc, 1, reinterpret_cast<DWORD_PTR>(b));
    return list;
}

HWND Counted(HWND control)
{
    if (control) {
        auto* b = new Behaviour;
        b->kind = Kind::counted;
        SetWindowSubclass(control, HostileProc, 1, reinterpret_cast<DWORD_PTR>(b));
    }
    return control;
}

// Accessible lists that misbehave: a list claiming INT_MAX items, an item whose name is longer than any item may
// be, one whose name is turned away as busy when first asked, and (on a thread of its own, in a COM apartment of
// its own, so that only it stops answering) an object that sleeps when first asked about, as a walk for lists
// does, with a list after it.
HWND AccessibleList(HWND parent, int slot, const char16_t* name, std::int32_t claim, std::size_t bigName,
                    bool busyOnce = false)
{
    namespace acc = quorvel::acc;
    auto* t = new quorvel::FakeAccessibleTree;
    t->add({.role = acc::roleList, .name = name, .claimedChildren = claim});
    for (const char16_t* item : {u"one", u"two", u"three"})
        t->add({.role = acc::roleListItem, .name = item, .element = true}, 0);
    t->nodes[2].name.resize(std::max(bigName, t->nodes[2].name.size()), u'x');
    if (busyOnce) {
        t->onCall = [busy = true](int n, quorvel::FakeQuestion q) mutable {
            const bool now = n == 2 && q == quorvel::FakeQuestion::name && std::exchange(busy, false);
            return now ? std::optional(quorvel::AccessAnswer::busy) : std::nullopt;
        };
    }
    const int x = 5 + (slot % 4) * 120, y = 5 + (slot / 4) * 110;
    return accserver::MakeWindow(parent, {x, y, x + 115, y + 105}, t);
}

// A list of kSlowAccessibleItems long names whose program takes 10 ms to hand out each child, on a thread of
// its own: a read of it takes seconds without a call that takes long.
HWND SlowAccessible()
{
    return target::MakeOnOwnThread([]() -> HWND {
        namespace acc = quorvel::acc;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        HWND f = MakeFrame(L"Quorvel Hostile Slow Accessible", 820, 220, 200, 200);
        auto* t = new quorvel::FakeAccessibleTree;
        t->add({.role = acc::roleList, .name = u"Slow"});
        for (int i = 0; i < kSlowAccessibleItems; ++i) {
            std::u16string name = u"slow " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26));
            name.resize(kSlowAccessibleChars, static_cast<char16_t>(u'0' + i % 10));
            t->add({.role = acc::roleListItem, .name = name, .element = true}, 0);
        }
        t->onCall = [](int n, quorvel::FakeQuestion q) {
            if (n == 0 && q == quorvel::FakeQuestion::child)
                Sleep(10);
            return std::optional<quorvel::AccessAnswer>();
        };
        return f ? accserver::MakeWindow(f, {5, 5, 150, 150}, t) : nullptr;
    });
}

// Its program sleeps in every first question about one of its objects: each read that walks to it hangs.
HWND HangingAccessible()
{
    return target::MakeOnOwnThread([]() -> HWND {
        namespace acc = quorvel::acc;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        HWND f = MakeFrame(L"Quorvel Hostile Hang Accessible", 820, 10, 200, 200);
        auto* t = new quorvel::FakeAccessibleTree;
        t->add({.role = acc::roleClient, .name = u"window"});
        const int stuck = t->add({.role = acc::roleClient, .name = u"stuck"}, 0);
        t->add({.role = acc::roleListItem, .name = u"late", .element = true}, t->add({.role = acc::roleList}, 0));
        t->onCall = [stuck](int n, quorvel::FakeQuestion) {
            if (n == stuck)
                Sleep(kHangMs);
            return std::optional<quorvel::AccessAnswer>();
        };
        return f ? accserver::MakeWindow(f, {5, 5, 150, 150}, t) : nullptr;
    });
}

int RunHostile(const std::wstring& handlesFile)
{
    HWND frame = MakeFrame(L"Quorvel Hostile Target", 10, 300, 500, 450);
    if (!frame)
        return 1;
    target::NamedHandles w;
    w.push_back({"plain", MakeList(frame, 0, Kind::plain, 0, Items())});
    w.push_back({"count_minus_one", MakeList(frame, 1, Kind::countAnswers, -1, Items())});
    w.push_back({"count_int_min", MakeList(frame, 2, Kind::countAnswers, INT_MIN, Items())});
    w.push_back({"count_int_max", MakeList(frame, 3, Kind::countAnswers, INT_MAX, Items())});
    w.push_back({"understate", MakeList(frame, 4, Kind::understate, 0, Items())});
    w.push_back({"overstate", MakeList(frame, 5, Kind::overstate, 0, Items())});
    w.push_back({"empty", MakeList(frame, 6, Kind::counted, 0, {})});
    w.push_back({"static", Counted(MakeControl(frame, L"STATIC", L"not a list", SS_LEFT, 7))});
    w.push_back({"button", Counted(MakeControl(frame, L"BUTTON", L"not a list", BS_PUSHBUTTON, 8))});
    HWND doomed = MakeControl(frame, L"LISTBOX", L"", kListStyle, 9);
    w.push_back({"destroyed", doomed});
    w.push_back(
        {"nonsense", MakeList(frame, 12, Kind::nonsense, 0, {L"one", L"two", L"three", L"four-four", L"five"})});
    DestroyWindow(doomed);

    // A hanging list lives on a thread of its own, with its own frame, so only it stops answering.
    auto hanging = [](Kind kind, const wchar_t* title, int y) {
        return target::MakeOnOwnThread([=]() -> HWND {
            HWND f = MakeFrame(title, 520, y, 300, 200);
            return f ? MakeList(f, 0, kind, 0, Items()) : nullptr;
        });
    };
    w.push_back({"hang_count", hanging(Kind::hangCount, L"Quorvel Hostile Hang Count", 10)});
    w.push_back({"hang_text", hanging(Kind::hangText, L"Quorvel Hostile Hang Text", 230)});
    // Slow, not hung: a read of it takes seconds, time enough to cancel it or close the reader.
    w.push_back({"slow_list", target::MakeOnOwnThread([]() -> HWND {
                     std::vector<std::wstring> items;
                     for (int i = 0; i < kSlowItems; ++i)
                         items.push_back(L"slow " + std::to_wstring(100 + i));
                     HWND f = MakeFrame(L"Quorvel Hostile Slow List", 520, 450, 300, 200);
                     return f ? MakeList(f, 0, Kind::slow, 0, items) : nullptr;
                 })});
    w.push_back({"acc_int_max", AccessibleList(frame, 10, u"Claims", INT_MAX, 0)});
    // One character past the longest name taken: unreadable, and quick to hand across.
    w.push_back({"acc_big_name", AccessibleList(frame, 11, u"Big", -1, quorvel::maxAccessibleText + 1)});
    w.push_back({"acc_busy_once", AccessibleList(frame, 13, u"Busy", -1, 0, true)});
    w.push_back({"acc_slow", SlowAccessible()});
    w.push_back({"acc_hang", HangingAccessible()});
    if (!hostile::MakeViews(w))
        return 1;
    for (auto& n : w)
        if (!n.second)
            return 1;
    if (!handlesFile.empty() && !target::WriteHandles(handlesFile, w))
        return 2;
    target::RunMessageLoop();
    return 0;
}

// Separate processes, as each can be read only once: one ends itself mid-read, the other corrupts its
// reader's memory if the reader trusts the system to stay inside its buffer.
int RunSingle(const std::wstring& handlesFile, const wchar_t* title, const char* name, Kind kind, LONG value)
{
    HWND frame = MakeFrame(title, 600, 450, 300, 200);
    if (!frame)
        return 1;
    HWND list = MakeList(frame, 0, kind, value, Items());
    if (!list)
        return 1;
    if (!handlesFile.empty() && !target::WriteHandles(handlesFile, {{name, list}}))
        return 2;
    target::RunMessageLoop();
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    std::wstring handlesFile;
    LONG exitAt = -1;
    int exitViewAt = -1;
    bool grow = false;
    for (int i = 1; i < __argc; ++i) {
        std::wstring arg = __wargv[i];
        if (arg == L"--handles" && i + 1 < __argc)
            handlesFile = __wargv[++i];
        else if (arg == L"--exit-at" && i + 1 < __argc)
            exitAt = _wtoi(__wargv[++i]);
        else if (arg == L"--exit-view-at" && i + 1 < __argc)
            exitViewAt = _wtoi(__wargv[++i]);
        else if (arg == L"--grow")
            grow = true;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // for the accessible lists
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    if (!RegisterFrameClass())
        return 1;
    if (exitAt >= 0)
        return RunSingle(handlesFile, L"Quorvel Hostile Exit", "exit", Kind::exitAt, exitAt);
    if (exitViewAt >= 0)
        return hostile::RunExitingView(handlesFile, exitViewAt);
    if (grow)
        return RunSingle(handlesFile, L"Quorvel Hostile Grow", "grow", Kind::grow, 0);
    return RunHostile(handlesFile);
}
