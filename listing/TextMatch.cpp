#include "listing/TextMatch.h"

#include <algorithm>

namespace quorvel {

char16_t folded(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    return c;
}

std::u16string foldedText(std::u16string_view text)
{
    std::u16string out(text);
    std::transform(out.begin(), out.end(), out.begin(), folded);
    return out;
}

bool sameText(std::u16string_view a, std::u16string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return folded(x) == folded(y); });
}

bool matchesPattern(std::u16string_view text, std::u16string_view pattern)
{
    // Greedy with one step back to the last star: linear in practice, never
    // exponential, whatever the pattern.
    std::size_t t = 0, p = 0, star = std::u16string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && (pattern[p] == u'?' || folded(pattern[p]) == folded(text[t]))) {
            ++p;
            ++t;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace quorvel
