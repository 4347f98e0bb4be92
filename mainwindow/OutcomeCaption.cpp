#include "mainwindow/OutcomeCaption.h"

#include "listing/OutcomeWords.h"
#include "listing/Utf8.h"

#include <algorithm>

namespace quorvel {

namespace {

constexpr std::u16string_view title = u"List Items";

std::u16string captioned(std::u16string_view inside)
{
    std::u16string out(title);
    out += u" (";
    out += inside;
    out += u')';
    return out;
}

// The group sizes, right to left; a final 0 repeats the size before it.
std::vector<int> groupSizes(const std::u16string& grouping)
{
    std::vector<int> sizes;
    int size = 0;
    bool any = false;
    for (char16_t c : grouping + u";") {
        if (c >= u'0' && c <= u'9') {
            size = std::min(size * 10 + (c - u'0'), 9);
            any = true;
        } else if (c == u';') {
            if (any)
                sizes.push_back(size);
            size = 0;
            any = false;
        }
    }
    return sizes;
}

std::u16string article(const std::u16string& word)
{
    const char16_t c = word.empty() ? u'x' : static_cast<char16_t>(word[0] | 0x20);
    return std::u16string(c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u' ? u"an " : u"a ") + word;
}

// Which accessible list was read, as in "4 in Sizes, list 2 of 3", and the
// items of it that could not be read ("; 2 unreadable") in every choice.
std::vector<std::u16string> listCaptions(const ReadStatus& s, const NumberFormat& format)
{
    const std::u16string n = groupDigits(s.items, format);
    const std::u16string in = s.listName.empty() ? n : n + u" in " + s.listName;
    const std::u16string lost = s.unreadable ? u"; " + groupDigits(s.unreadable, format) + u" unreadable" : u"";
    std::vector<std::u16string> choices;
    if (s.listNumber > 0 && s.listCount > 1)
        choices.push_back(captioned(in + u", list " + groupDigits(s.listNumber, {u"", u"0"}) + u" of " +
                                    groupDigits(s.listCount, {u"", u"0"}) + lost));
    choices.push_back(captioned(in + lost));
    choices.push_back(captioned(n + lost));
    return choices;
}

} // namespace

std::u16string groupDigits(std::uint64_t n, const NumberFormat& format)
{
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n);
    std::vector<int> sizes = groupSizes(format.grouping);
    const bool repeats = !sizes.empty() && sizes.back() == 0;
    if (repeats)
        sizes.pop_back();
    std::u16string out;
    std::size_t end = digits.size();
    for (std::size_t g = 0; end > 0; ++g) {
        const int size = g < sizes.size() ? sizes[g] : repeats && !sizes.empty() ? sizes.back() : 0;
        // A size of 0, or past the stated groups: the rest is one group.
        const std::size_t take = size > 0 ? std::min(static_cast<std::size_t>(size), end) : end;
        out.insert(0, digits.substr(end - take, take));
        end -= take;
        if (end > 0)
            out.insert(0, format.separator);
    }
    return out;
}

std::vector<std::u16string> captionChoices(const ReadStatus& s, const NumberFormat& format)
{
    // The count, and the unreadable ones beside it: a listing missing texts
    // never reads like a whole one, however narrow the frame.
    std::u16string n = groupDigits(s.items, format);
    if (s.unreadable)
        n += u"; " + groupDigits(s.unreadable, format) + u" unreadable";
    if (s.reading)
        return {captioned(u"reading\u2026 " + n), captioned(u"\u2026 " + n)};
    switch (s.end) {
    case ReadEnd::complete:
        if (s.listCount > 0)
            return listCaptions(s, format);
        if (s.items == 0 && s.unreadable == 0)
            return {captioned(u"none: empty list"), captioned(u"none")};
        return {captioned(n)};
    case ReadEnd::notAnswering:
    case ReadEnd::windowGone:
    case ReadEnd::memoryFailed:
    case ReadEnd::outOfMemory:
    case ReadEnd::refused:
        return {captioned(u"stopped after " + n + u": " + std::u16string(briefReason(s.end))),
                captioned(u"stopped after " + n), captioned(u"stopped: " + n)};
    case ReadEnd::cancelled:
        return {captioned(u"cancelled after " + n), captioned(u"cancelled: " + n)};
    case ReadEnd::noWindow:
        if (s.handle == 0)
            return {captioned(u"no window has that handle"), captioned(u"no window")};
        return {captioned(u"no window " + decimal(s.handle)), captioned(u"no window")};
    case ReadEnd::nothingToRead:
        return {captioned(u"nothing to read in " + article(s.className)), captioned(u"nothing to read")};
    case ReadEnd::accessDenied:
        return {captioned(u"access denied: the program runs with higher rights"), captioned(u"access denied")};
    }
    return {std::u16string(title)};
}

std::u16string fitCaption(const std::vector<std::u16string>& choices, int width,
                          const std::function<int(const std::u16string&)>& measure)
{
    for (const std::u16string& c : choices) {
        if (measure(c) <= width)
            return c;
    }
    return choices.back();
}

} // namespace quorvel
