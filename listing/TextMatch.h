// The one rule of case Quorvel compares names by (class names, option
// words, an accessible list's name, a selector's values), and the wildcards
// a selector's values may hold.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// A letter as its small form: ASCII, Latin-1, Greek and Cyrillic capitals;
// anything else as it is.
char16_t folded(char16_t c);
std::u16string foldedText(std::u16string_view text);

// Whole texts, equal but for case.
bool sameText(std::u16string_view a, std::u16string_view b);

// The whole text against a pattern in which * stands for any run of
// characters and ? for any one; the rest compares but for case.
bool matchesPattern(std::u16string_view text, std::u16string_view pattern);

} // namespace quorvel
