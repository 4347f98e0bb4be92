#include "listing/Utf8.h"

namespace quorvel {

namespace {

bool isHigh(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLow(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

bool isLoneSurrogate(std::u16string_view text, std::size_t at)
{
    const char16_t c = text[at];
    if (isHigh(c))
        return at + 1 == text.size() || !isLow(text[at + 1]);
    if (isLow(c))
        return at == 0 || !isHigh(text[at - 1]);
    return false;
}

std::string toUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (isLoneSurrogate(text, i))
            c = 0xFFFD;
        else if (isHigh(text[i]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string decimal(long long n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace quorvel
