#include "commandline/Arguments.h"
#include "commandline/CommandLine.h"
#include "desktop/ControlMessages.h"
#include "desktop/fake/FakeAccessible.h"
#include "desktop/fake/FakeDesktop.h"
#include "reading/ReadingThread.h"
#include "tests/support/FakeDesk.h"
#include "tests/support/HangingList.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <gtest/gtest.h>

using namespace quorvel;

namespace {

using Args = std::vector<std::u16string>;
using Action = Arguments::Action;

struct ArgsCase {
    Args args;
    Action action;
    ReadRequest read = {};
    const char16_t* wrong = u"";
};

TEST(Arguments, EveryOptionRepeatedMissingOrUnknown)
{
    const ArgsCase cases[] = {
        {{u"--read", u"0x1F"}, Action::read, {u"0x1F", OutputFormat::text, false, std::nullopt}},
        {{u"--read", u"-5", u"--format", u"CSV", u"--headers", u"--out", u"a b.csv"},
         Action::read,
         {u"-5", OutputFormat::csv, true, u"a b.csv"}},
        {{u"--OUT=x.json", u"--format=json", u"--read=&HFF"},
         Action::read,
         {u"&HFF", OutputFormat::json, false, u"x.json"}},
        {{u"--format", u"text", u"--SELECTED", u"--read", u" 12", u"--checked", u"--safe-csv"},
         Action::read,
         {u" 12", OutputFormat::text, false, std::nullopt, {}, {true, true}, true}},
        {{u"--read", u"1", u"--bogus", u"/?"}, Action::help},
        {{u"-h"}, Action::help},
        {{u"--HELP"}, Action::help},
        {{u"--read", u"1", u"--bogus", u"--Version"}, Action::version},
        {{u"--version", u"-h"}, Action::help},
        {{u"--version=1"}, Action::wrong, {}, u"unknown option \"--version=1\""},
        {{}, Action::wrong, {}, u"--read HANDLE is missing"},
        {{u"--format", u"csv"}, Action::wrong, {}, u"--read HANDLE is missing"},
        {{u"--read"}, Action::wrong, {}, u"--read needs a window handle"},
        {{u"--read="}, Action::wrong, {}, u"--read needs a window handle"},
        {{u"--read", u"--headers"}, Action::wrong, {}, u"--read needs a window handle"},
        {{u"--read", u"1", u"--out"}, Action::wrong, {}, u"--out needs a file name"},
        {{u"--read", u"1", u"--format"}, Action::wrong, {}, u"--format needs text, csv or json"},
        {{u"--read", u"1", u"--format", u"xml"}, Action::wrong, {}, u"unknown format \"xml\": text, csv or json"},
        {{u"--read", u"1", u"--read", u"2"}, Action::wrong, {}, u"--read given twice"},
        {{u"--read", u"1", u"--format", u"csv", u"--format=json"}, Action::wrong, {}, u"--format given twice"},
        {{u"--read", u"1", u"--out", u"a", u"--out", u"a"}, Action::wrong, {}, u"--out given twice"},
        {{u"--read", u"1", u"--headers", u"--Headers"}, Action::wrong, {}, u"--headers given twice"},
        {{u"--read", u"1", u"--headers=yes"}, Action::wrong, {}, u"--headers takes no value"},
        {{u"--read", u"1", u"--verbose"}, Action::wrong, {}, u"unknown option \"--verbose\""},
        {{u"--read", u"1", u"-"}, Action::wrong, {}, u"unexpected argument \"-\""},
        {{u"--read", u"1", u"2"}, Action::wrong, {}, u"unexpected argument \"2\""},
        {{u"--name=Big list", u"--read", u"1"}, Action::read, {u"1", OutputFormat::text, false, {}, u"Big list"}},
        {{u"--read", u"1", u"--name"}, Action::wrong, {}, u"--name needs a list's name"},
        {{u"--read", u"title=a", u"--wait", u"2.5"}, Action::read, {.handle = u"title=a", .waitSeconds = 2.5}},
        {{u"--list", u"--format", u"json"}, Action::list, {u"", OutputFormat::json}},
        {{u"--list=exe=a.exe", u"--wait=1"}, Action::list, {.handle = u"exe=a.exe", .waitSeconds = 1}},
        {{u"--read", u"1", u"--wait", u"2"}, Action::wrong, {}, u"--wait needs a selector, not a handle"},
        {{u"--read", u"exe=a.exe", u"--wait", u"-1"},
         Action::wrong,
         {},
         u"--wait takes seconds, such as 5 or 0.5, not \"-1\""},
        {{u"--list", u"--wait", u"1"}, Action::wrong, {}, u"--wait needs a selector to wait for"},
        {{u"--list", u"--read", u"1"}, Action::wrong, {}, u"--list and --read do not go together"},
        {{u"--list", u"12"}, Action::wrong, {}, u"--list takes a selector (key=value), not \"12\""},
        {{u"--list", u"--checked"}, Action::wrong, {}, u"--checked goes with --read, not with --list"},
        {{u"--read", u"title=x; name=A", u"--name", u"B"},
         Action::wrong,
         {},
         u"--name and a name= clause do not go together"},
        {{u"--read", u"nn=X1", u"--name", u"A"},
         Action::wrong,
         {},
         u"name= needs a clause that names the window: title, exe, pid, wclass or handle"},
        {{u"--read", u"colour=red"}, Action::wrong, {}, u"unknown key \"colour\" in \"colour=red\""},
    };
    for (const ArgsCase& c : cases) {
        const Arguments a = parseArguments(c.args);
        const auto name = "case " + std::to_string(&c - cases);
        EXPECT_EQ(a.action, c.action) << name;
        EXPECT_EQ(a.wrong, c.wrong) << name;
        EXPECT_EQ(a.read.waitSeconds, c.read.waitSeconds) << name;
        if (c.action != Action::read)
            continue;
        EXPECT_EQ(a.read.selector.has_value(), c.read.handle.find(u'=') != std::u16string::npos);
        EXPECT_EQ(a.read.handle, c.read.handle);
        EXPECT_EQ(a.read.format, c.read.format);
        EXPECT_EQ(a.read.headers, c.read.headers);
        EXPECT_EQ((std::tuple{a.read.only.selected, a.read.only.checked, a.read.safeCsv}),
                  (std::tuple{c.read.only.selected, c.read.only.checked, c.read.safeCsv}));
        EXPECT_EQ(a.read.out, c.read.out);
        EXPECT_EQ(a.read.name, c.read.name);
    }
}

// Keeps what the command line writes, and can refuse the output.
struct CapturedOutput : CommandOutput {
    bool prepare(const std::optional<std::u16string>&, std::u16string& why) override
    {
        why = u"no room";
        return !refusePrepare;
    }
    bool streams() const override { return streaming; }
    bool write(std::u16string_view text, std::u16string& why) override
    {
        if (blockMs)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::exchange(blockMs, 0))); // a reader that waits
        why = u"disk full";
        written = !refuseWrite && parts.size() != refuseAt;
        listing = written ? listing + std::u16string(text) : u"";
        parts.emplace_back(text);
        ++writes;
        return written;
    }
    void abandon() override { abandoned = true; }
    void printOut(std::u16string_view text) override { out += text; }
    void printError(std::u16string_view text) override { err += text; }

    bool refusePrepare = false, refuseWrite = false, written = false, abandoned = false, streaming = false;
    std::size_t refuseAt = SIZE_MAX; // the part at which standard output goes away
    int blockMs = 0;                 // how long the first write blocks
    std::atomic<int> writes{0};
    std::u16string listing, out, err;
    std::vector<std::u16string> parts;
};

// Cancels at the given ask (once per message); never when 0.
struct CancelAt : ReadControl {
    explicit CancelAt(int at) : at(at) {}
    bool cancelled() override { return ++asked == at || (at && asked > at); }
    void progress(Listing&) override {}
    int at, asked = 0;
};

constexpr WindowHandle target = 300;
enum class Setup { list, emptyList, button, denied, hung, unreadable, cancelled, refusePrepare, refuseWrite };

void arrange(Setup s, FakeDesktop& d, CapturedOutput& o)
{
    if (s == Setup::button) {
        d.add(target).className = u"Button";
        return;
    }
    FakeWindow& w = d.add(target, s == Setup::denied ? FakeKind::treeView : FakeKind::listBox);
    w.items = {u"a", u"", u"c,d"};
    if (s == Setup::emptyList)
        w.items.clear();
    w.tree = {{u"a"}};
    d.process(0).accessDenied = s == Setup::denied;
    o.refusePrepare = s == Setup::refusePrepare;
    o.refuseWrite = s == Setup::refuseWrite;
    if (s == Setup::hung || s == Setup::unreadable) {
        // Unanswered, or answered with neither a length nor LB_ERR.
        const MessageResult answer = s == Setup::hung ? MessageResult{} : MessageResult{true, -7};
        w.hook = [answer](unsigned m, std::uintptr_t i, std::intptr_t) {
            return m == win::LB_GETTEXTLEN && i == 1 ? std::optional<MessageResult>(answer) : std::nullopt;
        };
    }
}

struct RunCase {
    const char* name;
    Setup setup;
    Args args;
    int code;
    const char16_t* listing; // nullptr: nothing written
    const char16_t* err;     // the first line on standard error
};

const Args read300 = {u"--read", u"300"};
const RunCase runs[] = {
    {"Text", Setup::list, read300, 0, u"a\r\nc,d\r\n", u""},
    {"CsvToAFile",
     Setup::list,
     {u"--read", u"0x12C", u"--format=csv", u"--out", u"f"},
     0,
     u"a\r\n\"\"\r\n\"c,d\"\r\n",
     u""},
    {"EmptyList", Setup::emptyList, read300, 0, u"", u""},
    {"Help", Setup::list, {u"--help"}, 0, nullptr, u""},
    {"BadOption", Setup::list, {u"--read", u"300", u"--x"}, 1, nullptr, u"quorvel: unknown option \"--x\"\r\n"},
    {"NoOutput", Setup::refusePrepare, read300, 1, nullptr, u"quorvel: no room\r\n"},
    {"WriteFails", Setup::refuseWrite, read300, 1, nullptr, u"quorvel: disk full\r\n"},
    {"NoWindow", Setup::list, {u"--read", u"301"}, 2, nullptr, u"quorvel: no window has the handle 301\r\n"},
    {"NoHandle", Setup::list, {u"--read", u"x"}, 2, nullptr, u"quorvel: no window has the handle x\r\n"},
    {"NothingToRead", Setup::button, read300, 2, nullptr,
     u"quorvel: window 300 (class Button) holds no list Quorvel reads\r\n"},
    {"AccessDenied", Setup::denied, read300, 2, nullptr,
     u"quorvel: access denied to window 300: its program runs with higher rights\r\n"},
    {"Hung", Setup::hung, read300, 3, u"a\r\n", u"quorvel: stopped after 1 item: the target stopped answering\r\n"},
    {"Cancelled", Setup::cancelled, read300, 3, u"a\r\n", u"quorvel: cancelled after 1 item\r\n"},
    {"Unreadable", Setup::unreadable, read300, 3, u"a\r\nc,d\r\n", u"quorvel: 1 of 3 items could not be read\r\n"},
    {"CantTell",
     Setup::list,
     {u"--read", u"300", u"--checked"},
     1,
     nullptr,
     u"quorvel: window 300 (class ListBox) can't tell which items are checked\r\n"},
    // By selector, on the lists of a FakeDesk beside the list above.
    {"BySelector", Setup::list, {u"--read", u"title=Twin A; kind=listbox"}, 0, u"a\r\nb\r\n", u""},
    {"AccessibleByName", Setup::list, {u"--read", u"title=Drawn", u"--name", u"sizes"}, 0, u"item of Sizes\r\n", u""},
    {"Ambiguous",
     Setup::list,
     {u"--read", u"exe=twin.exe;kind=listbox"},
     4,
     nullptr,
     u"quorvel: 2 lists match exe=twin.exe; kind=listbox; each is named alone by one of these selectors:\r\n"},
    {"NoMatch",
     Setup::list,
     {u"--read", u"exe=no.exe", u"--wait", u"0"},
     2,
     nullptr,
     u"quorvel: no list matches exe=no.exe\r\n"},
    {"List",
     Setup::list,
     {u"--list", u"title=Twin ?; kind=listbox", u"--format", u"csv"},
     0,
     u"selector,kind,items,handle,class,nn,id,pid,exe,bits,title\r\n"
     u"title=Twin A; nn=ListBox1,listbox,2,102,ListBox,ListBox1,1,2,twin.exe,32,Twin A\r\n"
     u"title=Twin B; nn=ListBox1,listbox,2,202,ListBox,ListBox1,1,2,twin.exe,32,Twin B\r\n",
     u""},
    {"ListNone", Setup::list, {u"--list", u"title=Nope"}, 2, nullptr, u"quorvel: no list matches title=Nope\r\n"},
};

class Run : public testing::TestWithParam<RunCase> {};

TEST_P(Run, ExitCodePerOutcome)
{
    const RunCase& c = GetParam();
    FakeDesk desk;
    FakeDesktop& d = desk.d;
    CapturedOutput o;
    arrange(c.setup, d, o);
    // The list's count, then per item its length and text: the fourth message asks for the second item.
    CancelAt control(c.setup == Setup::cancelled ? 4 : 0);
    EXPECT_EQ(runCommandLine(c.args, d, o, control, &desk.tree), c.code);
    EXPECT_EQ(o.written, c.listing != nullptr);
    EXPECT_EQ(o.listing, c.listing ? c.listing : u"");
    EXPECT_EQ(o.err.substr(0, o.err.find(u'\n') + 1), c.err);
    // The usage goes with every wrong argument, to standard error, and not with output that can't be written;
    // --help's to standard out.
    const bool untold = c.name == std::string("CantTell");
    const bool outputFails = c.setup == Setup::refusePrepare || c.setup == Setup::refuseWrite || untold;
    EXPECT_EQ(o.err.find(u"Usage:") != std::u16string::npos, c.code == 1 && !outputFails);
    EXPECT_EQ(o.out.find(u"Usage:") == 0, c.args[0] == u"--help");
    EXPECT_EQ(o.abandoned, c.code == 2 || c.code == 4 || untold);
    EXPECT_EQ(d.liveProcessHandles() + d.liveRemoteBlocks(), 0);
}

TEST(CommandLine, VersionLineOfTheProjectVersionAndThisBuildsBitness)
{
    const std::string line =
        std::string("Quorvel ") + QUORVEL_CMAKE_VERSION + " (" + std::to_string(sizeof(void*) * 8) + "-bit)\r\n";
    FakeDesktop d;
    CapturedOutput o;
    CancelAt control(0);
    EXPECT_EQ(runCommandLine(Args{u"--version"}, d, o, control), 0);
    EXPECT_EQ(o.out, std::u16string(line.begin(), line.end()));
    EXPECT_EQ(o.err, u"");
    EXPECT_NE(usage().find(u"quorvel --version\r\n"), std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, Run, testing::ValuesIn(runs),
                         [](const auto& info) { return std::string(info.param.name); });

// To standard output, text and CSV go out as they are read, and together are what one write would be; JSON
// comes whole. A reader that goes away stops the read: exit 1, not a word, nothing left in the target.
TEST(Streaming, RowsGoOutAsTheyAreReadUntilTheReaderGoesAway)
{
    std::vector<std::u16string> items;
    for (int i = 0; i < 40; ++i)
        items.push_back(u"item " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
    // Every other item of a list box that selects many is selected; only JSON and a filter ask which.
    for (const std::u16string option : {u"--format=text", u"--format=csv", u"--format=json", u"--selected"}) {
        const Args args = {u"--read", u"300", option};
        FakeDesktop d;
        FakeWindow& list = d.add(target, FakeKind::listBox);
        list.items = items;
        list.style = win::LBS_EXTENDEDSEL;
        for (std::size_t i = 0; i < items.size(); i += 2)
            list.states[i] = 0x2;
        CapturedOutput whole, streamed;
        CancelAt control(0);
        EXPECT_EQ(runCommandLine(args, d, whole, control), 0);
        const bool json = option == u"--format=json", filtered = option == u"--selected";
        EXPECT_EQ(std::count(d.sentMessages.begin(), d.sentMessages.end(), win::LB_GETSEL), json || filtered ? 40 : 0);
        EXPECT_EQ(whole.listing.find(u"item B") == std::u16string::npos, filtered);
        streamed.streaming = true;
        // The read waits before the third item until something is written: it went out before the read ended.
        list.hook = [&](unsigned m, std::uintptr_t i, std::intptr_t) -> std::optional<MessageResult> {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!json && m == win::LB_GETTEXTLEN && i == 2 && streamed.writes == 0 &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return std::nullopt;
        };
        EXPECT_EQ(runCommandLine(args, d, streamed, control), 0);
        EXPECT_EQ(streamed.listing, whole.listing);
        EXPECT_EQ(streamed.parts.size() > 1, !json);
        EXPECT_EQ(streamed.parts.front().find(u"item C") == std::u16string::npos, !json);
    }
    FakeDesktop d;
    FakeWindow& view = d.add(target, FakeKind::listView);
    view.rows.assign(2000, {u"row"});
    std::atomic<int> texts = 0;
    CapturedOutput gone;
    // Past its first rows the view answers slowly, a millisecond a row: once the first rows have gone out,
    // the read has seconds left in which to notice that nobody takes them.
    view.hook = [&](unsigned msg, std::uintptr_t, std::intptr_t) -> std::optional<MessageResult> {
        if (msg == win::LVM_GETITEMTEXTW && ++texts > 100) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (gone.writes == 0 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::nullopt;
    };
    gone.streaming = true;
    gone.refuseAt = 0;
    CancelAt control(0);
    const Args read = {u"--read", u"300"};
    EXPECT_EQ(runCommandLine(read, d, gone, control), 1);
    EXPECT_EQ(gone.err, u"");
    EXPECT_EQ(gone.parts.size(), 1u);
    EXPECT_LT(texts, 2000);
    EXPECT_EQ(d.liveProcessHandles() + d.liveRemoteBlocks(), 0);
}

// A read inside one call for longer than the bound is given up: what it read is written, states and filter
// as for a whole read, it ends not answering, and its thread, let go at last, ends by itself without touching
// the output again.
TEST(Streaming, AReadStuckInACallIsGivenUpWithWhatItRead)
{
    const struct {
        const char16_t* option;
        const char16_t* written;
    } cases[] = {{u"--format=text", u"a\r\nb\r\n"},
                 {u"--selected", u"b\r\n"},
                 {u"--format=json", u"  \"items\": [\r\n    \"a\",\r\n    \"b\"\r\n  ],\r\n  \"selected\": [1],\r\n"}};
    for (const auto& c : cases) {
        FakeDesktop d;
        HangingList hanging(d, target);
        CapturedOutput o;
        o.streaming = true;
        CancelAt control(0);
        EXPECT_EQ(runCommandLine(Args{u"--read", u"300", c.option}, d, o, control, &hanging.tree, 500), 3);
        EXPECT_EQ(ReadingThread::workersLeft(), 1);
        EXPECT_NE(o.listing.find(c.written), std::u16string::npos);
        EXPECT_EQ(o.err, u"quorvel: stopped after 2 items: the target stopped answering\r\n");
        const std::u16string written = o.listing;
        hanging.letItGo();
        EXPECT_EQ((std::pair{hanging.tree.liveObjects.load(), ReadingThread::workersLeft()}), (std::pair{0, 0}));
        EXPECT_EQ(o.listing, written);
    }
}

// Output that blocks for longer than the bound pauses the read, and never ends it: only a call can be overdue.
TEST(Streaming, OutputThatBlocksIsNoStuckRead)
{
    FakeDesktop d;
    HangingList slow(d, target);
    slow.hangs = false;
    CapturedOutput o;
    o.streaming = true;
    o.blockMs = 900;
    CancelAt control(0);
    EXPECT_EQ(runCommandLine(Args{u"--read", u"300"}, d, o, control, &slow.tree, 300), 0);
    EXPECT_EQ(o.listing, u"a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(o.err, u"");
}

} // namespace
