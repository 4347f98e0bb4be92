// What the command line asks for, read from its arguments alone: nothing here
// touches a window or a file.
#pragma once

#include "finding/Selector.h"
#include "listing/RenderOptions.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvel {

enum class OutputFormat { text, csv, json };

struct ReadRequest {
    // As given: every form the handle field takes, or a selector; for --list,
    // its selector, if any.
    std::u16string handle;
    OutputFormat format = OutputFormat::text;
    bool headers = false;
    // None: standard output.
    std::optional<std::u16string> out = {};
    // Of the lists a window tells only through accessibility, the one of this name.
    std::optional<std::u16string> name = {};
    // --selected and --checked: only the rows in those states.
    RowFilter only = {};
    bool safeCsv = false;
    // The selector, when what is given holds "=" (--name then is its name= clause).
    std::optional<Selector> selector = {};
    // --wait: how long to look again for a list the selector names.
    std::optional<double> waitSeconds = {};

    RenderOptions rendering() const { return {headers, only, safeCsv}; }
};

struct Arguments {
    // list: --list, the overview of the lists the selector names (every one without it).
    enum class Action { read, list, help, version, wrong } action = Action::wrong;
    ReadRequest read;
    std::u16string wrong; // what is wrong with the arguments, for Action::wrong
};

// args: the arguments after the program's name. "--help", "-h" or "/?"
// anywhere asks for the usage, and failing that "--version" anywhere for the
// version line; option names and format words are taken in
// any case, and a value may follow its option or be joined to it by "=".
Arguments parseArguments(std::span<const std::u16string> args);

// The usage, CR LF after each line.
std::u16string_view usage();

} // namespace quorvel
