#include "desktop/ControlMessages.h"
#include "desktop/fake/FakeDesktop.h"
#include "listing/TextRendering.h"
#include "listreader/ListItemReader.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OutcomeCaption.h"
#include "reading/ReadMailbox.h"
#include "mainwindow/ThreadedReads.h"
#include "tests/support/HangingList.h"
#include "tests/support/InlineReadRunner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <climits>
#include <set>
#include <gtest/gtest.h>

using namespace quorvel;

namespace {

constexpr WindowHandle target = 500, child = 501;

// Cancels once it has been asked a given number of times (once per message),
// and keeps every progress count.
struct CancelAfter : ReadControl {
    explicit CancelAfter(std::size_t asks) : left(asks) {}
    bool cancelled() override { return left == 0 || (--left, false); }
    void progress(Listing& listing) override { counts.push_back(listing.rows()); }
    std::size_t left;
    std::vector<std::size_t> counts;
};

// One list of each way of reading, in a 64-bit process; long texts force refetches
// or buffers of their own.
void makeTarget(FakeDesktop& d, int kind)
{
    d.process(1) = FakeProcess(8);
    const std::u16string longText(700, u'L');
    const FakeKind kinds[] = {FakeKind::listBox,    FakeKind::listView,  FakeKind::treeView,
                              FakeKind::comboBoxEx, FakeKind::statusBar, FakeKind::toolbar};
    FakeWindow& w = d.add(target, kinds[kind]);
    w.process = 1;
    for (int i = 0; i < 300; ++i) {
        const std::u16string text =
            i % 97 == 5 ? longText : u"item " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26));
        w.items.push_back(text);
        w.rows.push_back({text, u"second"});
        w.tree.push_back({text, i % 3 == 0 ? -1 : i - 1});
    }
    w.columns = 2;
    w.style = win::LVS_REPORT;
    w.header = child;
    d.add(child, FakeKind::header).parent = target;
}

class CancelAnywhere : public testing::TestWithParam<int> {};

// Whatever message a cancel comes before, the read ends cancelled with whole
// items from the first, and nothing of Quorvel's left in the target.
TEST_P(CancelAnywhere, KeepsAWholePrefixAndLeavesNothing)
{
    FakeDesktop whole;
    makeTarget(whole, GetParam());
    UnfollowedRead all;
    const Listing full = readListItems(whole, target, all);
    ASSERT_EQ(full.end, ReadEnd::complete);
    ASSERT_GT(full.rows(), 100u);
    const std::u16string fullText = renderText(full);
    std::size_t messages = whole.sentMessages.size();
    for (std::size_t at = 0; at < messages; at += at < 20 ? 1 : 7) {
        FakeDesktop d;
        makeTarget(d, GetParam());
        CancelAfter control(at);
        const Listing part = readListItems(d, target, control);
        EXPECT_EQ(part.end, ReadEnd::cancelled) << at;
        EXPECT_EQ(d.sentMessages.size(), at) << "a message went out after the cancel";
        EXPECT_EQ(fullText.substr(0, renderText(part).size()), renderText(part)) << at;
        EXPECT_EQ(d.liveProcessHandles() + d.liveRemoteBlocks(), 0) << at;
        if (!control.counts.empty()) {
            EXPECT_EQ(control.counts.back(), part.rows()) << at;
        }
        EXPECT_TRUE(std::is_sorted(control.counts.begin(), control.counts.end()));
    }
}

std::string kindName(const testing::TestParamInfo<int>& info)
{
    static const char* const names[] = {"ListBox", "ListView", "TreeView", "ComboBoxEx", "StatusBar", "Toolbar"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Kinds, CancelAnywhere, testing::Range(0, 6), kindName);

struct OutcomeCase {
    const char* name;
    void (*arrange)(FakeDesktop&);
    ReadEnd end;
    std::size_t rows;
};

// A three-item list box whose second length query goes unanswered: hung, gone, or refused by the system.
void failsAtSecond(FakeDesktop& d, bool destroy, bool deny)
{
    d.add(target, FakeKind::listBox).items = {u"a", u"b", u"c"};
    d.window(target).hook = [&d, destroy, deny](unsigned m, std::uintptr_t i,
                                                std::intptr_t) -> std::optional<MessageResult> {
        if (m != win::LB_GETTEXTLEN || i != (deny ? 0 : 1))
            return std::nullopt;
        const MessageResult unanswered{false, 0, deny}; // taken before the hook goes with its window
        if (destroy)
            d.destroy(target);
        return unanswered;
    };
}

const OutcomeCase outcomes[] = {
    {"NoWindow", [](FakeDesktop&) {}, ReadEnd::noWindow, 0},
    {"Button", [](FakeDesktop& d) { d.add(target).className = u"Button"; }, ReadEnd::nothingToRead, 0},
    {"LoneEdit", [](FakeDesktop& d) { d.add(target, FakeKind::edit); }, ReadEnd::nothingToRead, 0},
    {"EmptyListBox", [](FakeDesktop& d) { d.add(target, FakeKind::listBox); }, ReadEnd::complete, 0},
    {"EmptyListView", [](FakeDesktop& d) { d.add(target, FakeKind::listView); }, ReadEnd::complete, 0},
    {"Complete",
     [](FakeDesktop& d) {
         d.add(target, FakeKind::listBox).items = {u"a", u"", u"c"};
     },
     ReadEnd::complete, 3},
    {"Hung", [](FakeDesktop& d) { failsAtSecond(d, false, false); }, ReadEnd::notAnswering, 1},
    {"Exited", [](FakeDesktop& d) { failsAtSecond(d, true, false); }, ReadEnd::windowGone, 1},
    {"MessagesDenied", [](FakeDesktop& d) { failsAtSecond(d, false, true); }, ReadEnd::accessDenied, 0},
    {"ProcessDenied",
     [](FakeDesktop& d) {
         d.add(target, FakeKind::listView).rows = {{u"a"}};
         d.process(0).accessDenied = true;
     },
     ReadEnd::accessDenied, 0},
    {"MemoryRefused",
     [](FakeDesktop& d) {
         d.add(target, FakeKind::treeView).tree = {{u"a"}};
         d.process(0).allocFails = true;
     },
     ReadEnd::memoryFailed, 0},
};

class Outcome : public testing::TestWithParam<OutcomeCase> {};

TEST_P(Outcome, SaysHowTheReadEnded)
{
    FakeDesktop d;
    GetParam().arrange(d);
    UnfollowedRead control;
    const Listing listing = readListItems(d, target, control);
    EXPECT_EQ(listing.end, GetParam().end);
    EXPECT_EQ(listing.rows(), GetParam().rows);
    EXPECT_EQ(listing.handle, target);
}

INSTANTIATE_TEST_SUITE_P(Cases, Outcome, testing::ValuesIn(outcomes),
                         [](const auto& info) { return std::string(info.param.name); });

// A way an item the list confirms can fail to give its text whole: the message, the index it hits (a
// toolbar's command), and the answer given in place of the control's own, after letting the control
// answer first when passFirst (a long text that fills its slot, refetched).
struct Unreadable {
    const char* name;
    FakeKind kind;
    unsigned message;
    std::uintptr_t at;
    std::intptr_t answer;
    const char16_t* shown;
    std::size_t unreadable, rows;
    bool passFirst = false;
};

const std::u16string longItem(300, u'L');
const Unreadable unreadables[] = {
    {"LengthNeitherLengthNorError", FakeKind::listBox, win::LB_GETTEXTLEN, 1, -7, u"a\r\nc\r\n", 1, 3},
    {"LengthPastTheCap", FakeKind::listBox, win::LB_GETTEXTLEN, 1, (1 << 20) + 1, u"a\r\nc\r\n", 1, 3},
    {"TextFailsAfterAGoodLength", FakeKind::listBox, win::LB_GETTEXT, 1, win::LB_ERR, u"a\r\nc\r\n", 1, 3},
    {"TextCutShort", FakeKind::listBox, win::LB_GETTEXT, 1, 5, u"a\r\nc\r\n", 1, 3},
    // Not unreadable: LB_ERR for a length ends the list, whatever the count.
    {"LengthErrorEndsTheList", FakeKind::listBox, win::LB_GETTEXTLEN, 1, win::LB_ERR, u"a\r\n", 0, 1},
    {"ListViewRow", FakeKind::listView, win::LVM_GETITEMTEXTW, 1, -7, u"a\tx\r\nc\tx\r\n", 1, 3},
    {"ListViewRefetch", FakeKind::listView, win::LVM_GETITEMTEXTW, 1, -7, u"a\r\nc\r\n", 1, 3, true},
    {"TreeItem", FakeKind::treeView, win::TVM_GETITEMW, 1, 0, u"a\r\nc\r\n", 1, 3},
    {"StatusBarPartPastItsLength", FakeKind::statusBar, win::SB_GETTEXTLENGTHW, 1, 10, u"a\r\nc\r\n", 1, 3},
    {"ToolbarText", FakeKind::toolbar, win::TB_GETBUTTONTEXTW, 1001, -1, u"a\r\nc\r\n", 1, 3},
    {"TabItem", FakeKind::tabControl, win::TCM_GETITEMW, 1, 0, u"a\r\nc\r\n", 1, 3},
    {"HeaderItem", FakeKind::header, win::HDM_GETITEMW, 1, 0, u"a\r\nc\r\n", 1, 3},
    // Past the real end of a count that is not checked first, failures are no items.
    {"ComboBoxExItem", FakeKind::comboBoxEx, win::CBEM_GETITEMW, 1, 0, u"a\r\nc\r\n", 1, 3},
    {"ComboBoxExLastItem", FakeKind::comboBoxEx, win::CBEM_GETITEMW, 2, 0, u"a\r\nb\r\n", 0, 2},
};

class UnreadableItem : public testing::TestWithParam<Unreadable> {};

// Every item the list confirms is in the listing, read or counted as unreadable; none is dropped silently.
TEST_P(UnreadableItem, IsCountedNotDropped)
{
    const Unreadable& c = GetParam();
    FakeDesktop d;
    d.process(1) = FakeProcess(8);
    FakeWindow& w = d.add(target, c.kind);
    w.process = 1;
    w.items = {u"a", c.passFirst ? longItem : u"b", u"c"};
    w.rows = {{u"a", u"x"}, {w.items[1], u"x"}, {u"c", u"x"}};
    w.columns = c.passFirst ? 1 : 2;
    w.style = win::LVS_REPORT;
    w.header = child;
    d.add(child, FakeKind::header).parent = target;
    w.tree = {{u"a"}, {u"b", 0}, {u"c"}};
    if (c.kind == FakeKind::statusBar)
        w.items[1] = std::u16string(600, u'b'); // runs past a buffer sized for the answered length
    int asks = 0, passed = 0;
    w.hook = [&](unsigned msg, std::uintptr_t wParam, std::intptr_t) -> std::optional<MessageResult> {
        if (msg != c.message)
            return std::nullopt;
        // A tree item or a ComboBoxEx item is named in the structure; they are asked for in order.
        const std::uintptr_t index = msg == win::TVM_GETITEMW || msg == win::CBEM_GETITEMW ? asks++ : wParam;
        if (index != c.at || (c.passFirst && passed++ == 0))
            return std::nullopt;
        return MessageResult{true, c.answer};
    };
    UnfollowedRead control;
    const Listing listing = readListItems(d, target, control);
    EXPECT_EQ(renderText(listing), c.shown);
    EXPECT_EQ(listing.unreadableRows(), c.unreadable);
    EXPECT_EQ(listing.rows(), c.rows);
    EXPECT_EQ(listing.whole(), c.unreadable == 0);
    EXPECT_EQ(listing.end, ReadEnd::complete);
    EXPECT_EQ(d.liveProcessHandles() + d.liveRemoteBlocks(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, UnreadableItem, testing::ValuesIn(unreadables),
                         [](const auto& info) { return std::string(info.param.name); });

// A list too large to hold ends its read with an outcome of its own, keeping the rows before and nothing in
// the target.
TEST(Outcome, OutOfMemoryEndsTheReadNotTheProcess)
{
    FakeDesktop d;
    makeTarget(d, 1);
    int texts = 0;
    d.window(target).hook = [&](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::LVM_GETITEMTEXTW && ++texts > 520)
            throw std::bad_alloc();
        return std::nullopt;
    };
    UnfollowedRead control;
    const Listing listing = readListItems(d, target, control);
    EXPECT_EQ(listing.end, ReadEnd::outOfMemory);
    EXPECT_GT(listing.rows(), 0u);
    EXPECT_LT(listing.rows(), 260u);
    EXPECT_EQ(d.liveProcessHandles() + d.liveRemoteBlocks(), 0);
}

// A listing with the given items added since the last hand.
Listing& grown(Listing& listing, std::initializer_list<const char16_t*> items)
{
    for (const char16_t* item : items)
        listing.addItem(item);
    return listing;
}

// What a read hands on reaches the owner whole and in order, the listing once, whether or not the wake-ups got
// through: a wake-up is asked for again only once the last was taken or could not be posted. The reading side
// lets go of what it handed on.
TEST(Mailbox, NothingIsLostToAWakeUpThatFailed)
{
    ReadMailbox box(7, {[](const Listing& l, std::size_t first) { return renderText(l, {}, first); }});
    Listing read;
    read.handle = 42;
    box.hand(grown(read, {u"a"}));
    EXPECT_TRUE(box.claimWake());
    box.hand(grown(read, {u"b"}));
    EXPECT_FALSE(box.claimWake());
    box.wakeFailed();
    read.addUnreadableItem();
    box.hand(grown(read, {u"c"}));
    EXPECT_EQ((std::pair{read.rows(), read.firstHeld()}), (std::pair<std::size_t, std::size_t>{4, 4}));
    EXPECT_TRUE(box.claimWake());
    ReadMailbox::Taken taken = box.take();
    EXPECT_EQ(taken.batch.text, u"a\r\nb\r\nc\r\n");
    EXPECT_EQ((std::pair{taken.batch.items, taken.batch.unreadable}), (std::pair<std::size_t, std::size_t>{3, 1}));
    EXPECT_FALSE(taken.listing);
    read.end = ReadEnd::windowGone;
    box.finish(grown(read, {u"d"}));
    EXPECT_TRUE(box.claimWake());
    taken = box.take();
    EXPECT_EQ(taken.batch.text, u"d\r\n");
    ASSERT_TRUE(taken.listing);
    EXPECT_EQ((std::tuple{taken.listing->handle, taken.listing->rows(), taken.listing->end}),
              (std::tuple{42, std::size_t{5}, ReadEnd::windowGone}));
    EXPECT_FALSE(box.take().listing);
}

// Rows the owner has not taken hold the read up once there are more than the limit; a render that runs out of
// memory loses no row, and one that keeps failing ends the read out of memory with the rows handed on.
TEST(Mailbox, RowsWaitForTheOwnerAndOutOfMemoryLosesNone)
{
    int renders = 0;
    bool failing = false;
    const auto render = [&](const Listing& l, std::size_t first) -> std::optional<std::u16string> {
        if (++renders == 2 || failing)
            throw std::bad_alloc();
        return renderText(l, {}, first);
    };
    ReadMailbox box(1, {render, false, 8});
    Listing read;
    box.hand(grown(read, {u"a"}));
    EXPECT_THROW(box.hand(grown(read, {u"b"})), std::bad_alloc);
    EXPECT_EQ(read.firstHeld(), 1u) << "the row stays to be handed again";
    box.hand(grown(read, {u"c"}));
    std::atomic<bool> handed = false;
    std::thread reader([&] {
        box.hand(grown(read, {u"d"})); // 9 characters wait: more than the limit
        handed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // time to go on, if it would
    EXPECT_FALSE(handed);
    EXPECT_EQ(box.take().batch.text, u"a\r\nb\r\nc\r\n");
    reader.join();
    failing = true;
    box.finish(grown(read, {u"e"}));
    const ReadMailbox::Taken taken = box.take();
    EXPECT_EQ(taken.batch.text, u"d\r\n");
    ASSERT_TRUE(taken.listing);
    EXPECT_EQ((std::pair{taken.listing->rows(), taken.listing->end}),
              (std::pair{std::size_t{4}, ReadEnd::outOfMemory}));
}

// On the reading thread, a read inside one call for longer than the bound is given up when the window polls:
// it ends not answering with the rows handed on, the next read runs at once on a fresh worker while the first
// is still inside its call, and that worker ends by itself once the call returns.
TEST(ReadingThread, AReadGivenUpLeavesItsWorkerToEndByItself)
{
    FakeDesktop d;
    HangingList hanging(d, target);
    d.add(child, FakeKind::listBox).items = {u"x", u"y"};
    constexpr WindowHandle txtList = 11, frame = 12;
    d.add(txtList);
    d.add(frame).rect = {0, 0, 385, 193};
    ThreadedReads reads(
        d, 1, [&d] { return std::shared_ptr<OtherWindows>(&d, [](OtherWindows*) {}); }, &hanging.tree,
        [](std::uint64_t) { return true; }, 300);
    ReadController controller(d, reads, txtList, frame);
    const auto until = [&](const char16_t* caption) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (d.getWindowText(frame) != caption && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            reads.polled(controller);
        }
        return d.getWindowText(frame);
    };
    controller.read(target);
    EXPECT_EQ(d.timers.count({1, ThreadedReads::pollTimerId}), 1u);
    EXPECT_EQ(until(u"List Items (stopped after 2: not answering)"), u"List Items (stopped after 2: not answering)");
    EXPECT_EQ(d.getWindowText(txtList), u"a\r\nb\r\n");
    EXPECT_EQ(d.timers.count({1, ThreadedReads::pollTimerId}), 0u);
    EXPECT_EQ(ReadingThread::workersLeft(), 1);
    controller.read(child);
    EXPECT_EQ(until(u"List Items (2)"), u"List Items (2)");
    EXPECT_EQ(d.getWindowText(txtList), u"x\r\ny\r\n");
    hanging.letItGo();
    EXPECT_EQ((std::pair{hanging.tree.liveObjects.load(), ReadingThread::workersLeft()}), (std::pair{0, 0}));
}

// A read inside one call for longer than the bound is overdue: a message only once its own time limit has had
// time to end it. Time between calls never counts, however long.
TEST(Mailbox, OverdueOnlyInsideOneCallPastItsBound)
{
    CallWatch watch;
    EXPECT_FALSE(watch.overdue(1'000'000));
    watch.entered(1000, false);
    EXPECT_FALSE(watch.overdue(1000 + answerBoundMs));
    EXPECT_TRUE(watch.overdue(1001 + answerBoundMs));
    EXPECT_EQ(watch.unboundedFor(1250), 250u);
    watch.left();
    EXPECT_FALSE(watch.overdue(1'000'000));
    watch.entered(1'000'000, true);
    EXPECT_EQ(watch.unboundedFor(1'000'250), 0u);
    EXPECT_FALSE(watch.overdue(1'000'001 + answerBoundMs));
    EXPECT_TRUE(watch.overdue(1'000'001 + answerBoundMs + CallWatch::messageGraceMs));
    watch.finish();
    EXPECT_FALSE(watch.overdue(10'000'000));
}

TEST(Caption, GroupsDigitsTheUsersWay)
{
    struct {
        std::uint64_t n;
        NumberFormat format;
        const char16_t* text;
    } cases[] = {{0, {}, u"0"},
                 {999, {}, u"999"},
                 {1234567, {}, u"1,234,567"},
                 {1234567, {u".", u"3;0"}, u"1.234.567"},
                 {123456789, {u",", u"3;2;0"}, u"12,34,56,789"},
                 {1234567, {u" ", u"3"}, u"1234 567"},
                 {1234567, {u",", u"0"}, u"1234567"},
                 {1234567, {u"\u00a0", u""}, u"1234567"}};
    for (const auto& c : cases)
        EXPECT_EQ(groupDigits(c.n, c.format), c.text) << c.n;
}

TEST(Caption, EveryOutcomeIsToldApartAndShortensToWholeWords)
{
    const NumberFormat format;
    std::set<std::u16string> longest, shortest;
    const ReadEnd ends[] = {ReadEnd::complete,     ReadEnd::notAnswering,  ReadEnd::windowGone,
                            ReadEnd::memoryFailed, ReadEnd::cancelled,     ReadEnd::outOfMemory,
                            ReadEnd::noWindow,     ReadEnd::nothingToRead, ReadEnd::accessDenied};
    for (ReadEnd end : ends) {
        for (std::size_t items : {std::size_t{0}, std::size_t{1234}}) {
            const auto choices =
                captionChoices({.end = end, .items = items, .handle = 0x12345, .className = u"Edit"}, format);
            longest.insert(choices.front());
            shortest.insert(choices.back());
            for (const auto& c : choices)
                EXPECT_EQ(c.substr(0, 12), u"List Items (") << static_cast<int>(end);
            // The shortest fits the frame at 96 dpi with room to spare.
            EXPECT_LE(choices.back().size(), 30u);
            if (isPartial(end)) {
                EXPECT_NE(choices.back().find(items ? u"1,234" : u"0"), std::u16string::npos);
            }
        }
    }
    // Those that read nothing give no count, so each of them once, the others twice.
    EXPECT_EQ(longest.size(), 2 * std::size(ends) - 3);
    EXPECT_EQ(captionChoices({.end = ReadEnd::nothingToRead, .className = u"Edit"}, format).front(),
              u"List Items (nothing to read in an Edit)");
    // Items that could not be read are named beside the count in every choice, whole or not.
    for (ReadEnd end : {ReadEnd::complete, ReadEnd::notAnswering, ReadEnd::cancelled}) {
        for (const auto& c : captionChoices({.end = end, .items = 3, .unreadable = 2}, format))
            EXPECT_NE(c.find(u"3; 2 unreadable"), std::u16string::npos) << static_cast<int>(end);
    }
    EXPECT_EQ(captionChoices({.end = ReadEnd::complete, .items = 3, .unreadable = 2}, format).front(),
              u"List Items (3; 2 unreadable)");
    EXPECT_EQ(fitCaption({u"List Items (a long one)", u"List Items (short)"}, 6 * 20,
                         [](const std::u16string& s) { return 6 * static_cast<int>(s.size()); }),
              u"List Items (short)");
}

TEST(ReadCaption, FollowsAReadInItsFrame)
{
    FakeDesktop d;
    constexpr WindowHandle txtWnd = 10, txtList = 11, frame = 12;
    InlineReadRunner runner(d);
    MainForm form(d, {1, txtWnd, txtList, frame}, runner);
    runner.setController(form.reads());
    d.add(txtWnd, FakeKind::edit).onChange = [&] { form.txtWnd_Change(); };
    d.add(txtList);
    d.add(frame).rect = {0, 0, 385, 193};
    d.userNumberFormat = {u".", u"3;0"};
    std::vector<std::u16string> items(1500, u"x");
    d.add(target, FakeKind::listBox).items = items;
    d.setWindowText(txtWnd, u"500");
    EXPECT_EQ(d.getWindowText(frame), u"List Items (1.500)");
    d.setWindowText(txtWnd, u"12345");
    EXPECT_EQ(d.getWindowText(frame), u"List Items (no window 12345)");
    d.setWindowText(txtWnd, u"99999999999");
    EXPECT_EQ(d.getWindowText(frame), u"List Items (no window has that handle)");
    // Too narrow for the long form: the short one, in whole words.
    d.window(frame).rect = {0, 0, 150, 193};
    d.setWindowText(txtWnd, u"12345");
    EXPECT_EQ(d.getWindowText(frame), u"List Items (no window)");
}

// A field that takes no more ends the read out of memory with the rows it holds, whole, and no message goes out
// after.
TEST(ReadCaption, AFieldThatTakesNoMoreEndsTheReadWithTheRowsItHolds)
{
    FakeDesktop d;
    constexpr WindowHandle txtWnd = 10, txtList = 11, frame = 12;
    InlineReadRunner runner(d);
    MainForm form(d, {1, txtWnd, txtList, frame}, runner);
    runner.setController(form.reads());
    d.add(txtWnd, FakeKind::edit).onChange = [&] { form.txtWnd_Change(); };
    d.add(txtList).textLimit = 7;
    d.add(frame).rect = {0, 0, 385, 193};
    d.add(target, FakeKind::listBox).items = {u"ab", u"cd", u"ef"};
    d.setWindowText(txtWnd, u"500");
    EXPECT_EQ(d.getWindowText(txtList), u"ab\r\n");
    EXPECT_EQ(d.getWindowText(frame), u"List Items (stopped after 1: out of memory)");
    EXPECT_EQ(std::count(d.sentMessages.begin(), d.sentMessages.end(), win::LB_GETTEXTLEN), 2);
}

// A read given up in a call keeps the rows it handed on and ends not answering; the next read starts at once,
// and whatever the given-up one brings later changes nothing.
TEST(ReadCaption, AReadGivenUpEndsWithWhatItHandedOn)
{
    struct ManualRunner : ReadRunner {
        void start(WindowHandle, std::uint64_t read, std::optional<Point>) override { started.push_back(read); }
        void cancel() override {}
        std::vector<std::uint64_t> started;
    } runner;
    FakeDesktop d;
    constexpr WindowHandle txtList = 11, frame = 12;
    d.add(txtList);
    d.add(frame).rect = {0, 0, 385, 193};
    ReadController reads(d, runner, txtList, frame);
    reads.read(target);
    reads.readProgress(1, {u"a\r\nb\r\n", 2, 0});
    Listing givenUp;
    givenUp.addItem(u"a");
    givenUp.addItem(u"b");
    givenUp.addItem(u"c");
    givenUp.addUnreadableItem();
    givenUp.forgetRows();
    givenUp.end = ReadEnd::notAnswering;
    reads.readFinished(1, {u"c\r\n", 3, 1}, givenUp);
    EXPECT_EQ(d.getWindowText(txtList), u"a\r\nb\r\nc\r\n");
    EXPECT_EQ(d.getWindowText(frame), u"List Items (stopped after 3; 1 unreadable: not answering)");
    EXPECT_FALSE(reads.reading());
    reads.read(target);
    EXPECT_EQ(runner.started, (std::vector<std::uint64_t>{1, 2}));
    reads.readFinished(1, {u"late\r\n", 9, 0}, Listing());
    EXPECT_EQ(d.getWindowText(txtList), u"");
    EXPECT_TRUE(reads.reading());
}

} // namespace
