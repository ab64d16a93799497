#include <gtest/gtest.h>

#include "support/named_case.h"

#include "link/registry_file.h"

namespace {

const char* const kSample =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Selvik\\ComPort]\n"
    "\"Port\"=\"ttyUSB0\"\n"
    "\"CustomBaudRate\"=dword:00002580\n"
    "\"Odd \\\"name\\\"\"=\"C:\\\\dir\\\\\"\n"
    "\"Blob\"=hex:01,02,\\\n"
    "  03,04\n"
    "\n"
    "[HKEY_CURRENT_USER\\Other]\n"
    "@=\"default\"\n";

}  // namespace

TEST(RegistryFile, ParsesTypedValuesUnderFullPaths) {
    auto file = TRegistryFile::Parse(kSample);
    ASSERT_TRUE(file);
    const TRegKey* key = file->FindKey("hkey_local_machine\\SOFTWARE\\selvik\\comport");
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->Values.size(), 4);
    EXPECT_EQ(key->Find("port")->Text, "ttyUSB0");
    EXPECT_EQ(key->Find("CustomBaudRate")->Type, TRegValueType::DWord);
    EXPECT_EQ(key->Find("CustomBaudRate")->Number, 9600u);
    EXPECT_EQ(key->Find("Odd \"name\"")->Text, "C:\\dir\\");
    EXPECT_EQ(key->Find("Blob")->Type, TRegValueType::Other);
    EXPECT_EQ(file->FindKey("HKEY_CURRENT_USER\\Other")->Find("@")->Text, "default");
}

TEST(RegistryFile, BinaryValueOverSeveralLinesSurvivesTwoRewrites) {
    const QByteArray text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n"
                            "\"B\"=hex:41,\\\n  42,\\\n  43\n\"C\"=\"x\"\n";
    auto first = TRegistryFile::Parse(text);
    ASSERT_TRUE(first);
    auto second = TRegistryFile::Parse(first->Serialize());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Serialize(), text);
    EXPECT_EQ(second->FindKey("HKEY_CURRENT_USER\\K")->Find("C")->Text, "x");
}

TEST(RegistryFile, RewriteKeepsEverythingAsItStood) {
    auto file = TRegistryFile::Parse(kSample);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Serialize(), QByteArray(kSample));
}

TEST(RegistryFile, WritesNumbersAsEightHexDigits) {
    TRegistryFile file;
    TRegValue v;
    v.Name = "CustomBaudRate";
    v.Type = TRegValueType::DWord;
    v.Number = 0x2580;
    file.CreateKey("HKEY_LOCAL_MACHINE\\A").Set(v);
    EXPECT_TRUE(file.Serialize().contains("\"CustomBaudRate\"=dword:00002580\n"));
}

TEST(RegistryFile, EmptyTextIsAnEmptyFile) {
    auto file = TRegistryFile::Parse("");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Keys().isEmpty());
}

TEST(RegistryFile, CrLfAndByteOrderMarkAreAccepted) {
    auto file = TRegistryFile::Parse(
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n"
        "\"A\"=\"b\"\r\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->FindKey("HKEY_CURRENT_USER\\K")->Find("A")->Text, "b");
}

struct TBadFile {
    const char* Name;
    QByteArray Text;
};

class RegistryFileRejects : public ::testing::TestWithParam<TBadFile> {};

TEST_P(RegistryFileRejects, TextItCannotRewriteSafely) {
    EXPECT_FALSE(TRegistryFile::Parse(GetParam().Text));
}

const QByteArray kHead = "Windows Registry Editor Version 5.00\n\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryFileRejects,
    ::testing::Values(
        TBadFile{"NoHeader", "[HKEY_CURRENT_USER\\K]\n\"A\"=\"b\"\n"},
        TBadFile{"OldHeader", "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n"},
        TBadFile{"TruncatedString", kHead + "[HKEY_CURRENT_USER\\K]\n\"Port\"=\"tty"},
        TBadFile{"TruncatedSection", kHead + "[HKEY_CURRENT_USER\\K"},
        TBadFile{"ValueBeforeAnyKey", kHead + "\"A\"=\"b\"\n"},
        TBadFile{"UnknownEscape", kHead + "[HKEY_CURRENT_USER\\K]\n\"A\"=\"\\n\"\n"},
        TBadFile{"LongDword", kHead + "[HKEY_CURRENT_USER\\K]\n\"A\"=dword:123456789\n"},
        TBadFile{"BadDword", kHead + "[HKEY_CURRENT_USER\\K]\n\"A\"=dword:xyz\n"},
        TBadFile{"DeletionMark", kHead + "[-HKEY_CURRENT_USER\\K]\n"},
        TBadFile{"Garbage", QByteArray("\x00\xff\xfe garbage", 11)},
        TBadFile{"InvalidUtf8", kHead + "[HKEY_CURRENT_USER\\K]\n\"A\"=\"\xff\xfe\"\n"},
        // Files that parse but would not be written back as they were read.
        TBadFile{"ContinuationAtTheEnd", kHead + "[HKEY_CURRENT_USER\\K]\n\"B\"=hex:41,\\"},
        TBadFile{"ContinuationBeforeTheLastLineBreak", kHead + "[HKEY_CURRENT_USER\\K]\n\"B\"=hex:41,\\\n"},
        TBadFile{"StrayCarriageReturn", kHead + "[HKEY_CURRENT_USER\\K]\n\"B\"=hex:41\r\r\n"},
        TBadFile{"StrayCarriageReturnAfterContinuation",
                 kHead + "[HKEY_CURRENT_USER\\K]\n\"B\"=hex:41,\\\r\r\n\"C\"=\"x\"\n"}),
    RowName());
