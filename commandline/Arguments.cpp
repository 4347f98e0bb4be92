#include "commandline/Arguments.h"

#include <algorithm>

namespace quorvel {

namespace {

std::u16string lower(std::u16string_view s)
{
    std::u16string out(s);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return out;
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
    bool read = false, format = false, out = false, named = false;
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
        if (value.empty())
            return wrong(name + (name == u"--read"   ? u" needs a window handle"
                                 : name == u"--out"  ? u" needs a file name"
                                 : name == u"--name" ? u" needs a list's name"
                                                     : u" needs text, csv or json"));
        if (name == u"--read") {
            a.read.handle = value;
        } else if (name == u"--out") {
            a.read.out = value;
        } else if (name == u"--name") {
            a.read.name = value;
        } else if (std::optional<OutputFormat> f = formatNamed(value)) {
            a.read.format = *f;
        } else {
            return wrong(u"unknown format \"" + value + u"\": text, csv or json");
        }
    }
    if (!read)
        return wrong(u"--read HANDLE is missing");
    a.action = Arguments::Action::read;
    return a;
}

std::u16string_view usage()
{
    return u"Usage:\r\n"
           u"  quorvel --read HANDLE [--format text|csv|json] [--headers] [--selected]\r\n"
           u"                [--checked] [--safe-csv] [--name NAME] [--out FILE]\r\n"
           u"  quorvel --help\r\n"
           u"  quorvel --version\r\n"
           u"\r\n"
           u"Reads every item of the list in the window with that handle (decimal, 0x1F\r\n"
           u"or &H1F) and writes them as UTF-8 to FILE, or else to standard output.\r\n"
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
           u"\r\n"
           u"Exit codes: 0 the whole list was read; 1 bad arguments or output, or a\r\n"
           u"  list that can't tell the state asked for;\r\n"
           u"2 nothing to read (no such window, no list in it or none of that name,\r\n"
           u"  access denied);\r\n"
           u"3 part of the list: the target stopped answering, went away or its memory\r\n"
           u"  failed mid-read, the program refused to tell the list, Quorvel ran out\r\n"
           u"  of memory, Ctrl+C, or items whose text could not be read; what was read\r\n"
           u"  is written (in JSON, or to a file, nothing when out of memory).\r\n"
           u"Without arguments Quorvel opens its window.\r\n";
}

} // namespace quorvel
