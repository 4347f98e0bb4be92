#include "handle/HandleText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace quorvel;

namespace {

struct ValueCase {
    const char16_t* text;
    double value;
};

class HandleTextValue : public testing::TestWithParam<ValueCase> {};

TEST_P(HandleTextValue, ReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(handleTextValue(GetParam().text), GetParam().value) << std::u16string(GetParam().text).size();
}

INSTANTIATE_TEST_SUITE_P(Forms, HandleTextValue,
                         testing::Values(
                             // What typing produces.
                             ValueCase{u"", 0}, ValueCase{u"0", 0}, ValueCase{u"7", 7}, ValueCase{u"007", 7},
                             ValueCase{u"123456789", 123456789},
                             // What pasting can bring.
                             ValueCase{u"  42", 42}, ValueCase{u"\t42", 42}, ValueCase{u"-5", -5}, ValueCase{u"+5", 5},
                             ValueCase{u"1.5", 1.5}, ValueCase{u".5", 0.5}, ValueCase{u"5.", 5},
                             ValueCase{u"1e10", 1e10}, ValueCase{u"1E+3", 1000}, ValueCase{u"25e-1", 2.5},
                             ValueCase{u"0x1F", 31}, ValueCase{u"0X1f", 31}, ValueCase{u"&HFF", 255},
                             ValueCase{u"&hff", 255}, ValueCase{u"-0x10", -16}, ValueCase{u"0x0001A2B3", 0x1A2B3},
                             // Reading stops at the first character that cannot continue.
                             ValueCase{u"12abc", 12}, ValueCase{u"12 34", 12}, ValueCase{u"1e", 1},
                             ValueCase{u"1e+", 1}, ValueCase{u"3.25.7", 3.25}, ValueCase{u"0x", 0},
                             ValueCase{u"0xg", 0}, ValueCase{u"&H", 0}, ValueCase{u"1,000", 1},
                             // No number at the start.
                             ValueCase{u"abc", 0}, ValueCase{u"-", 0}, ValueCase{u".", 0}, ValueCase{u"e5", 0},
                             ValueCase{u"\u0661\u0662", 0}, ValueCase{u" - 5", 0},
                             // Beyond any handle.
                             ValueCase{u"9999999999", 9999999999.0}, ValueCase{u"1e-400", 0}));

TEST(HandleTextValue, HugeExponentIsInfinite)
{
    EXPECT_EQ(handleTextValue(u"1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(handleTextValue(u"-1e999"), -std::numeric_limits<double>::infinity());
}

struct FormatCase {
    double value;
    const char16_t* text;
};

class FormatHandleTextValue : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatHandleTextValue, WritesTheStandardForm)
{
    EXPECT_EQ(formatHandleTextValue(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Forms, FormatHandleTextValue,
                         testing::Values(FormatCase{0, u"0"}, FormatCase{-0.0, u"0"}, FormatCase{7, u"7"},
                                         FormatCase{-5, u"-5"}, FormatCase{123456789, u"123456789"},
                                         FormatCase{1e10, u"10000000000"}, FormatCase{-2147483648.0, u"-2147483648"},
                                         FormatCase{1.5, u"1.5"}, FormatCase{0.1, u"0.1"},
                                         FormatCase{std::numeric_limits<double>::infinity(), u"1e999"}));

// Whatever the value, its written form reads back as the same value, so the
// normalising of a focus loss never changes which handle is read.
TEST(FormatHandleTextValue, RoundTrips)
{
    for (double v : {1.0, 2.5, 1e-7, 123.456, 1.0 / 3, 2147483647.5, 1e21, 1e300, 4.9e-324, -7.25, 0x1p60})
        EXPECT_EQ(handleTextValue(formatHandleTextValue(v)), v) << v;
}

TEST(FormatHandleTextValue, IsStableUnderNormalising)
{
    for (const char16_t* text : {u"007", u"  42", u"&HFF", u"1e10", u"2.50", u"-0", u"abc"}) {
        std::u16string once = formatHandleTextValue(handleTextValue(text));
        EXPECT_EQ(formatHandleTextValue(handleTextValue(once)), once);
    }
}

} // namespace
