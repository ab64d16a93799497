#include <gtest/gtest.h>

#include "app/date_time_text.h"
#include "app/event_loop.h"
#include "burn/protocol.h"
#include "link/hex_codec.h"
#include "support/named_case.h"

struct TDWordCase {
    const char* Name;
    quint32 Value;
    const char* Text;
};

class DWordToHexTable : public ::testing::TestWithParam<TDWordCase> {};

TEST_P(DWordToHexTable, GivesEightUpperCaseDigits) {
    EXPECT_EQ(DWordToHex(GetParam().Value), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Cases, DWordToHexTable,
                         ::testing::Values(TDWordCase{"Zero", 0, "00000000"},
                                           TDWordCase{"FlashBase", 0x08004000, "08004000"},
                                           TDWordCase{"MaxChecksum", 522240, "0007F800"},
                                           TDWordCase{"Largest", 0x7FFFFFFF, "7FFFFFFF"},
                                           TDWordCase{"Letters", 0xABCDEF, "00ABCDEF"}),
                         RowName());

struct TByteCase {
    const char* Name;
    int Value;
    const char* Text;
};

class ByteToHexTable : public ::testing::TestWithParam<TByteCase> {};

TEST_P(ByteToHexTable, GivesTwoUpperCaseDigits) {
    EXPECT_EQ(ByteToHex(GetParam().Value), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ByteToHexTable,
                         ::testing::Values(TByteCase{"Request", 0x5A, "5A"}, TByteCase{"Zero", 0, "00"},
                                           TByteCase{"Max", 255, "FF"}, TByteCase{"Above255", 300, "2C"}),
                         RowName());

TEST(Protocol, ConstantsHaveTheirBytes) {
    SetProtocolConstants();
    EXPECT_EQ(ShakeRequest, "\x5A");
    EXPECT_EQ(ShakeReply, "\xA5");
    EXPECT_EQ(BlockHeader, "\xF0\xF0");
    EXPECT_EQ(LastBlockHeader, "\xF1\xF1");
    EXPECT_EQ(StopHeader, "\xF2\xF2");
    EXPECT_EQ(FrameTail, "\x0D\x0A");
    EXPECT_EQ(BlockAck, "\x85");
    EXPECT_EQ(FlashBase, 0x08004000u);
    EXPECT_EQ(kFrameBytes, 2060);
}

TEST(Protocol, ChecksumOfAFullBlockOfFFAndOfZeros) {
    quint32 sum = 0;
    SumBlock(QByteArray(BlockSize, '\xFF'), BlockSize, sum);
    EXPECT_EQ(HexTextToBytes(DWordToHex(sum).toLatin1()), QByteArray("\x00\x07\xF8\x00", 4));
    sum = 0;
    SumBlock(QByteArray(BlockSize, '\0'), BlockSize, sum);
    EXPECT_EQ(HexTextToBytes(DWordToHex(sum).toLatin1()), QByteArray(4, '\0'));
}

TEST(Protocol, SumBlockAddsToWhatIsThere) {
    quint32 sum = 10;
    SumBlock(QByteArray("\x01\x02\xFF", 3), 2, sum);
    EXPECT_EQ(sum, 13u);
}

struct TBlockCountCase {
    const char* Name;
    qint32 Size;
    qint32 Blocks;
};

class BlockCount : public ::testing::TestWithParam<TBlockCountCase> {};

TEST_P(BlockCount, RoundsUp) {
    EXPECT_EQ(BlockCountOf(GetParam().Size), GetParam().Blocks);
}

INSTANTIATE_TEST_SUITE_P(Cases, BlockCount,
                         ::testing::Values(TBlockCountCase{"OneByte", 1, 1}, TBlockCountCase{"OneBlock", 2048, 1},
                                           TBlockCountCase{"JustOver", 2049, 2}, TBlockCountCase{"Five", 5000, 3},
                                           TBlockCountCase{"Empty", 0, 0}, TBlockCountCase{"Largest", 0x7FFFFFFF, 1048576}),
                         RowName());

struct TTickCase {
    const char* Name;
    quint32 Start;
    quint32 Now;
    bool Over;
};

class TickWait : public ::testing::TestWithParam<TTickCase> {};

TEST_P(TickWait, EndsAsTheTickArithmeticSays) {
    EXPECT_EQ(TickWaitOver(GetParam().Start, GetParam().Now, 20), GetParam().Over);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TickWait,
    ::testing::Values(TTickCase{"NotYet", 1000, 1019, false}, TTickCase{"Exactly", 1000, 1020, true},
                      TTickCase{"Later", 1000, 1500, true},
                      // Wrapping from FFFFFFFFh to 0 keeps the difference right.
                      TTickCase{"WrapNotYet", 0xFFFFFFF0u, 0x00000002u, false},
                      TTickCase{"WrapOver", 0xFFFFFFF0u, 0x00000004u, true},
                      // Passing 2^31 cuts that one wait short.
                      TTickCase{"Passing2To31", 0x7FFFFFFEu, 0x80000001u, true}),
    RowName());

TEST(DateTimeText, ShortDateBlankLongTimeWithoutZone) {
    const QLocale c(QLocale::C);
    const QDateTime when(QDate(2026, 12, 11), QTime(13, 5, 9));
    EXPECT_EQ(DateTimeText(when, c), c.toString(when.date(), QLocale::ShortFormat) + " 13:05:09");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(DateTimeText(when, us), "12/11/26 1:05:09 PM");
}

TEST(DateTimeText, AtExactlyMidnightOnlyTheDate) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(DateTimeText(QDateTime(QDate(2026, 12, 11), QTime(0, 0)), us), "12/11/26");
    EXPECT_EQ(DateTimeText(QDateTime(QDate(2026, 12, 11), QTime(0, 0, 1)), us), "12/11/26 12:00:01 AM");
}
