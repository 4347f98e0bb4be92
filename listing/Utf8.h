// UTF-8 for what leaves Quorvel as bytes: files, pipes and redirected
// standard handles.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// A UTF-16 unit that is half of a surrogate pair without its other half:
// text a broken target handed over, which no encoding can carry.
bool isLoneSurrogate(std::u16string_view text, std::size_t at);

// UTF-8 without a byte-order mark; a lone surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

// A whole number in plain decimal digits, as CSV and JSON write it.
std::u16string decimal(long long n);

} // namespace quorvel
