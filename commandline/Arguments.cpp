#include "commandline/Arguments.h"

#include "listing/TextMatch.h"

#include <algorithm>

namespace quorvel {

namespace {

std::u16string lower(std::u16string_view s)
{
    return foldedText(s);
}

bool isHelp(const std::u16string& arg)
{
    const std::u16string a = lower(arg);
    return a == u"--help" || a == u"-h" || a == u"/?";
}

std::optional<OutputFormat> formatNamed(std::u16string_view word)
{
    const std::u16string w = lower(word);
    if (w == u"text")
        return OutputFormat::text;
    if (w == u"csv")
        return OutputFormat::csv;
    if (w == u"json")
        return OutputFormat::json;
    return std::nullopt;
}

// The options that take no value, and where each goes.
bool* flag(ReadRequest& request, std::u16string_view name)
{
    return name == u"--headers"    ? &request.headers
           : name == u"--selected" ? &request.only.selected
           : name == u"--checked"  ? &request.only.checked
           : name == u"--safe-csv" ? &request.safeCsv
                                   : nullptr;
}

Arguments wrong(std::u16string why)
{
    Arguments a;
    a.wrong = std::move(why);
    return a;
}

// Seconds as decimal digits with an optional fraction: "5", "0.5".
std::optional<double> secondsOf(std::u16string_view text)
{
    double seconds = 0, scale = 0;
    for (char16_t c : text) {
        if (c == u'.' && scale == 0)
            scale = 1;
        else if (c >= u'0' && c <= u'9' && scale == 0)
            seconds = seconds * 10 + (c - u'0');
        else if (c >= u'0' && c <= u'9')
            seconds += (c - u'0') * (scale /= 10);
        else
            return std::nullopt;
    }
    return text.empty() || text == u"." ? std::nullopt : std::optional(seconds);
}

// What --read or --list names, once every option is known: a handle, or a
// selector (with --name as its name= clause).
std::optional<std::u16string> takeSelector(ReadRequest& r, bool list)
{
    if (list && !r.handle.empty() && !isSelector(r.handle))
        return u"--list takes a selector (key=value), not \"" + r.handle + u"\"";
    if (r.handle.empty() || !isSelector(r.handle))
        return std::nullopt;
    std::u16string text = r.handle;
    if (r.name) {
        if (parseSelector(text).selector.find(Key::name))
            return u"--name and a name= clause do not go together";
        text += u";name=";
        for (char16_t c : *r.name)
            text += c == u';' ? u";;" : std::u16string(1, c);
        r.name.reset();
    }
    ParsedSelector parsed = parseSelector(text);
    if (!parsed.wrong.empty())
        return parsed.wrong;
    r.selector = std::move(parsed.selector);
    return std::nullopt;
}

} // namespace

Arguments parseArguments(std::span<const std::u16string> args)
{
    for (const std::u16string& arg : args) {
        if (isHelp(arg)) {
            Arguments a;
            a.action = Arguments::Action::help;
            return a;
        }
    }
    if (std::ranges::any_of(args, [](const std::u16string& arg) { return lower(arg) == u"--version"; })) {
        Arguments a;
        a.action = Arguments::Action::version;
        return a;
    }
    Arguments a;
    bool read = false, format = false, out = false, named = false, list = false, wait = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::u16string& arg = args[i];
        if (arg.size() < 2 || arg[0] != u'-')
            return wrong(u"unexpected argument \"" + arg + u"\"");
        const std::size_t equals = arg.find(u'=');
        const std::u16string name = lower(arg.substr(0, equals));
        if (bool* set = flag(a.read, name)) {
            if (equals != std::u16string::npos)
                return wrong(name + u" takes no value");
            if (*set)
                return wrong(name + u" given twice");
            *set = true;
            continue;
        }
        bool* given = name == u"--read"     ? &read
                      : name == u"--format" ? &format
                      : name == u"--out"    ? &out
                      : name == u"--name"   ? &named
                      : name == u"--list"   ? &list
                      : name == u"--wait"   ? &wait
                                            : nullptr;
        if (!given)
            return wrong(u"unknown option \"" + arg + u"\"");
        if (*given)
            return wrong(name + u" given twice");
        *given = true;
        // The value: joined by "=", or the next argument unless that is an option.
        std::u16string value;
        if (equals != std::u16string::npos)
            value = arg.substr(equals + 1);
        else if (i + 1 < args.size() && args[i + 1].rfind(u"--", 0) != 0)
            value = args[++i];
        if (name == u"--list") {
            a.read.handle = value; // a selector, or none: every list
            continue;
        }
        if (value.empty())
            return wrong(name + (name == u"--read"   ? u" needs a window handle"
                                 : name == u"--wait" ? u" needs seconds"
                                 : name == u"--out"  ? u" needs a file name"
                                 : name == u"--name" ? u" needs a list's name"
                                                     : u" needs text, csv or json"));
        if (name == u"--read") {
            a.read.handle = value;
        } else if (name == u"--out") {
            a.read.out = value;
        } else if (name == u"--name") {
            a.read.name = value;
        } else if (name == u"--wait") {
            a.read.waitSeconds = secondsOf(value);
            if (!a.read.waitSeconds)
                return wrong(u"--wait takes seconds, such as 5 or 0.5, not \"" + value + u"\"");
        } else if (std::optional<OutputFormat> f = formatNamed(value)) {
            a.read.format = *f;
        } else {
            return wrong(u"unknown format \"" + value + u"\": text, csv or json");
        }
    }
    if (read && list)
        return wrong(u"--list and --read do not go together");
    if (!read && !list)
        return wrong(u"--read HANDLE is missing");
    const ReadRequest& r = a.read;
    const char16_t* readOnly = r.headers         ? u"--headers"
                               : r.only.selected ? u"--selected"
                               : r.only.checked  ? u"--checked"
                               : r.name          ? u"--name"
                                                 : nullptr;
    if (list && readOnly)
        return wrong(std::u16string(readOnly) + u" goes with --read, not with --list");
    if (std::optional<std::u16string> why = takeSelector(a.read, list))
        return wrong(*why);
    if (wait && !a.read.selector)
        return wrong(list ? u"--wait needs a selector to wait for" : u"--wait needs a selector, not a handle");
    a.action = list ? Arguments::Action::list : Arguments::Action::read;
    return a;
}

std::u16string_view usage()
{
    return u"Usage:\r\n"
           u"  quorvel --read HANDLE [--format text|csv|json] [--headers] [--selected]\r\n"
           u"                [--checked] [--safe-csv] [--name NAME] [--out FILE]\r\n"
           u"  quorvel --read SELECTOR [--wait SECONDS] [the same options]\r\n"
           u"  quorvel --list [SELECTOR] [--format text|csv|json] [--safe-csv] [--out FILE]\r\n"
           u"                [--wait SECONDS]\r\n"
           u"  quorvel --help\r\n"
           u"  quorvel --version\r\n"
           u"\r\n"
           u"Reads every item of the list in the window with that handle (decimal, 0x1F\r\n"
           u"or &H1F), or of the one list the selector names, and writes them as UTF-8 to\r\n"
           u"FILE, or else to standard output.\r\n"
           u"  --format text   the lines \"List Items\" shows, cells joined by TAB (default)\r\n"
           u"  --format csv    one record per item or row (RFC 4180); a tree item's depth,\r\n"
           u"                  then its text\r\n"
           u"  --format json   one object: the window's handle and class (and those of the\r\n"
           u"                  window read from, where that is another), the kind, whether\r\n"
           u"                  the read was complete, the items (or columns and rows), and\r\n"
           u"                  their states where the list tells them\r\n"
           u"  --headers       a report list view's or a table's column names first (text\r\n"
           u"                  and csv)\r\n"
           u"  --selected      only the selected items or rows\r\n"
           u"  --checked       only the checked ones (a partly checked one is not); with\r\n"
           u"                  --selected, both must hold (json then gives each one's\r\n"
           u"                  index in the whole list)\r\n"
           u"  --safe-csv      a field beginning with = + - @ TAB or CR gets a leading '\r\n"
           u"                  so that a spreadsheet shows it as text, not as a formula\r\n"
           u"  --name NAME     of the lists a window tells only to accessibility clients,\r\n"
           u"                  the first named NAME (in any case) instead of the first\r\n"
           u"  --out FILE      FILE is replaced only once the whole listing is written\r\n"
           u"  --wait SECONDS  looks again every 250 ms until a list matches the selector\r\n"
           u"  --list          a line per list: its selector, kind, items, handle, class,\r\n"
           u"                  nn, id, pid, exe, bits and title\r\n"
           u"\r\n"
           u"A SELECTOR is key=value clauses joined by ; (;; is a ; of the value), such as\r\n"
           u"\"exe=regedit.exe; nn=SysListView321\". Of the top-level window: title, exe,\r\n"
           u"pid, wclass, handle; of the list: class, nn (ClassNN), id, kind, name (of a\r\n"
           u"list told only to accessibility clients), nth. Values match whole, in any\r\n"
           u"case; * and ? are wildcards but in nn, id, pid, nth and handle.\r\n"
           u"\r\n"
           u"Exit codes: 0 the whole list was read; 1 bad arguments or output, or a\r\n"
           u"  list that can't tell the state asked for;\r\n"
           u"2 nothing to read (no such window, no list in it or none of that name,\r\n"
           u"  access denied, no list matches the selector);\r\n"
           u"3 part of the list: the target stopped answering, went away or its memory\r\n"
           u"  failed mid-read, the program refused to tell the list, Quorvel ran out\r\n"
           u"  of memory, Ctrl+C, or items whose text could not be read; what was read\r\n"
           u"  is written (in JSON, or to a file, nothing when out of memory);\r\n"
           u"4 more than one list matches the selector: nothing is read, and each is\r\n"
           u"  named on standard error by a selector that names it alone.\r\n"
           u"Without arguments Quorvel opens its window.\r\n";
}

} // namespace quorvel
