#include <gtest/gtest.h>

#include "support/named_case.h"

#include "link/hex_codec.h"

struct THexCase {
    const char* Name;
    QByteArray Text;
    QByteArray Bytes;
};

class HexTextToBytesTable : public ::testing::TestWithParam<THexCase> {};

TEST_P(HexTextToBytesTable, GivesTheBytes) {
    EXPECT_EQ(HexTextToBytes(GetParam().Text).toHex(' '), GetParam().Bytes.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, HexTextToBytesTable,
    ::testing::Values(
        THexCase{"aa0d", "aa0d", "\xAA\x0D"}, THexCase{"FiveA", "5A", "\x5A"},
        THexCase{"Address", "08004000", QByteArray("\x08\x00\x40\x00", 4)},
        THexCase{"Spaced", "A5 5A", "\xA5\x5A"}, THexCase{"OddCount", "ABC", "\xAB\x0C"},
        THexCase{"LoneDigits", "1 2 3", "\x01\x02\x03"}, THexCase{"SkipInside", "12x34", "\x12\x34"},
        THexCase{"LoneThenPair", "1x234", "\x01\x23\x04"},
        THexCase{"ZeroX", "0x1F", QByteArray("\x00\x1F", 2)}, THexCase{"NoDigits", "xyz", ""},
        THexCase{"Empty", "", ""}, THexCase{"TrailingLineBreak", "5A\r\n", "\x5A"},
        THexCase{"LoneDigitAtEnd", "5", "\x05"}, THexCase{"LowerCase", "ff", "\xFF"},
        // GBK bytes are skipped unless they fall in a digit range, as "A" (41h) does here.
        THexCase{"GbkBytes", "\xB0\xA1" "1\xC4\x41", "\x01\x0A"}),
    RowName());
