#include "Json.h"

#include "Utf8.h"

#include <cstdio>

std::string JsonString(const std::wstring& s)
{
    std::string in = ToUtf8(s);
    std::string out = "\"";
    for (unsigned char c : in) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}
