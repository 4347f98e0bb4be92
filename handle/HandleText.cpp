#include "handle/HandleText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quorvel {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigit(char16_t c)
{
    if (isDigit(c))
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Accumulating in a double keeps every value up to 2^53 exact, which covers
// every handle; longer runs round like any other huge number.
double readHex(std::u16string_view digits)
{
    double value = 0;
    for (char16_t c : digits) {
        int d = hexDigit(c);
        if (d < 0)
            break;
        value = value * 16 + d;
    }
    return value;
}

std::size_t hexPrefixLength(std::u16string_view s)
{
    if (s.size() > 2 && hexDigit(s[2]) >= 0 &&
        ((s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) || (s[0] == u'&' && (s[1] == u'h' || s[1] == u'H'))))
        return 2;
    return 0;
}

// The longest prefix of s of the form digits [. digits] [e [sign] digits],
// with at least one mantissa digit, as ASCII.
std::string decimalPrefix(std::u16string_view s)
{
    std::string out;
    std::size_t i = 0;
    std::size_t mantissaDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++mantissaDigits)
        out += static_cast<char>(s[i]);
    if (i < s.size() && s[i] == u'.') {
        out += '.';
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++mantissaDigits)
            out += static_cast<char>(s[i]);
    }
    if (mantissaDigits == 0)
        return {};
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exponent += static_cast<char>(s[j++]);
        if (j < s.size() && isDigit(s[j])) {
            for (; j < s.size() && isDigit(s[j]); ++j)
                exponent += static_cast<char>(s[j]);
            out += exponent;
        }
    }
    return out;
}

double readDecimal(const std::string& number)
{
    double value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone; the exponent's sign tells which way.
        auto e = number.find('e');
        bool negativeExponent = e != std::string::npos && e + 1 < number.size() && number[e + 1] == '-';
        return negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return value;
}

} // namespace

double handleTextValue(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    double sign = 1;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        sign = text[i] == u'-' ? -1 : 1;
        ++i;
    }
    std::u16string_view rest = text.substr(i);
    if (std::size_t prefix = hexPrefixLength(rest))
        return sign * readHex(rest.substr(prefix));
    std::string number = decimalPrefix(rest);
    return number.empty() ? 0.0 : sign * readDecimal(number);
}

std::u16string formatHandleTextValue(double value)
{
    if (value == 0 || std::isnan(value))
        return u"0"; // also turns -0 into plain "0"
    if (std::isinf(value))
        return value > 0 ? u"1e999" : u"-1e999"; // reads back as infinity
    char buffer[400];
    const bool whole = std::nearbyint(value) == value;
    auto result = whole ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                        : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::u16string(buffer, result.ptr);
}

std::optional<WindowHandle> targetHandle(double value)
{
    if (!(value > 0))
        return std::nullopt;
    // nearbyint rounds a half to the even neighbour in the default mode.
    const double rounded = std::nearbyint(value);
    if (rounded > std::numeric_limits<WindowHandle>::max())
        return std::nullopt;
    return static_cast<WindowHandle>(rounded);
}

} // namespace quorvel
