#include <gtest/gtest.h>

#include "support/named_case.h"

#include <QDir>
#include <QFile>

#include "link/com_port.h"
#include "link/settings_store.h"

namespace {

const char* const kPath = "HKEY_LOCAL_MACHINE\\Software\\Selvik";

class ComPortStore : public ::testing::Test {
public:
    void SetUp() override { QFile::remove(TSettingsStore::DefaultPath()); }
    static void WriteFile(const QByteArray& bytes) {
        const QString path = TSettingsStore::DefaultPath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray ReadFile() {
        QFile f(TSettingsStore::DefaultPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray Section(const QByteArray& values) {
        return "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Selvik\\ComPort]\n" +
               values;
    }
    TComPort mPort;
};

}  // namespace

TEST_F(ComPortStore, WritesTheBasicValuesInOrder) {
    TComSettings s = mPort.Settings();
    s.Port = "ttyUSB0";
    mPort.SetSettings(s);
    mPort.WriteSettings(kPath);
    EXPECT_EQ(ReadFile(), Section("\"Port\"=\"ttyUSB0\"\n\"BaudRate\"=\"57600\"\n\"StopBits\"=\"1\"\n"
                                  "\"DataBits\"=\"8\"\n\"Parity\"=\"None\"\n\"FlowControl\"=\"None\"\n"));
}

TEST_F(ComPortStore, CustomRateAlsoWritesTheNumber) {
    TComSettings s = mPort.Settings();
    s.BaudRate = brCustom;
    s.CustomBaudRate = 250000;
    mPort.SetSettings(s);
    mPort.WriteSettings(kPath);
    EXPECT_TRUE(ReadFile().contains("\"BaudRate\"=\"Custom\"\n\"CustomBaudRate\"=dword:0003d090\n\"StopBits\""));
}

TEST_F(ComPortStore, RoundTrip) {
    TComSettings s = mPort.Settings();
    s.Port = "ttyACM3";
    s.BaudRate = BaudRateTexts().indexOf("115200");
    s.Parity = TParityBits::prOdd;
    s.StopBits = TStopBits::sbTwoStopBits;
    s.DataBits = TDataBits::dbSeven;
    ApplyFlowControlText(s.FlowControl, "Hardware");
    mPort.SetSettings(s);
    mPort.WriteSettings(kPath);
    TComPort restored;
    restored.ReadSettings("hkey_local_machine\\Software\\Selvik");
    EXPECT_EQ(restored.Settings().Port, "ttyACM3");
    EXPECT_EQ(BaudRateValue(restored.Settings()), 115200);
    EXPECT_EQ(restored.Settings().Parity, TParityBits::prOdd);
    EXPECT_EQ(restored.Settings().StopBits, TStopBits::sbTwoStopBits);
    EXPECT_EQ(restored.Settings().DataBits, TDataBits::dbSeven);
    EXPECT_EQ(FlowControlText(restored.Settings().FlowControl), "Hardware");
}

TEST_F(ComPortStore, ReadingMatchesWithoutCaseAndFallsBackForUnknownTexts) {
    WriteFile(Section("\"BaudRate\"=\"115200\"\n\"Parity\"=\"odd\"\n\"StopBits\"=\"3\"\n"
                      "\"DataBits\"=\"9\"\n\"FlowControl\"=\"software\"\n"));
    mPort.ReadSettings(kPath);
    const TComSettings& s = mPort.Settings();
    EXPECT_EQ(s.Port, "");  // missing reads as empty
    EXPECT_EQ(BaudRateValue(s), 115200);
    EXPECT_EQ(s.Parity, TParityBits::prOdd);
    EXPECT_EQ(s.StopBits, TStopBits::sbOneStopBit);
    EXPECT_EQ(s.DataBits, TDataBits::dbEight);
    EXPECT_EQ(FlowControlText(s.FlowControl), "Software");
}

TEST_F(ComPortStore, UnknownRateReadsAs9600AndUnknownFlowLeavesTheLines) {
    WriteFile(Section("\"Port\"=\"ttyS1\"\n\"BaudRate\"=\"fast\"\n\"FlowControl\"=\"\"\n"));
    TComSettings s = mPort.Settings();
    ApplyFlowControlText(s.FlowControl, "Hardware");
    mPort.SetSettings(s);
    mPort.ReadSettings(kPath);
    EXPECT_EQ(BaudRateValue(mPort.Settings()), 9600);
    EXPECT_EQ(FlowControlText(mPort.Settings().FlowControl), "Hardware");
}

struct TLoadFailure {
    const char* Name;
    QByteArray File;
};

class ComPortStoreLoadFails : public ComPortStore,
                              public ::testing::WithParamInterface<TLoadFailure> {};

TEST_P(ComPortStoreLoadFails, WithFailedToLoadSettingsAndTheFileUntouched) {
    WriteFile(GetParam().File);
    try {
        mPort.ReadSettings(kPath);
        FAIL() << "read did not fail";
    } catch (const EComPort& e) {
        EXPECT_STREQ(e.what(), "Failed to load settings");
    }
    EXPECT_EQ(ReadFile(), GetParam().File);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComPortStoreLoadFails,
    ::testing::Values(
        TLoadFailure{"WrongType", ComPortStore::Section("\"Port\"=dword:00000001\n")},
        TLoadFailure{"CustomWithoutNumber", ComPortStore::Section("\"BaudRate\"=\"Custom\"\n")},
        TLoadFailure{"CustomWithStringNumber",
                     ComPortStore::Section("\"BaudRate\"=\"custom\"\n\"CustomBaudRate\"=\"9600\"\n")},
        TLoadFailure{"Truncated", ComPortStore::Section("\"Port\"=\"tty")},
        TLoadFailure{"Garbage", QByteArray("\x7f\x45\x4c\x46\x02\x01\x01\x00", 8)}),
    RowName());

TEST_F(ComPortStore, StoringOverAnUnparsableFileFailsAndKeepsIt) {
    const QByteArray garbage("PK\x03\x04 binary", 11);
    WriteFile(garbage);
    try {
        mPort.WriteSettings(kPath);
        FAIL() << "write did not fail";
    } catch (const EComPort& e) {
        EXPECT_STREQ(e.what(), "Failed to store settings");
    }
    EXPECT_EQ(ReadFile(), garbage);
}

TEST_F(ComPortStore, EmptyFileIsAnEmptyStore) {
    WriteFile("");
    mPort.ReadSettings(kPath);
    EXPECT_EQ(mPort.Settings().Port, "");
    mPort.WriteSettings(kPath);
    EXPECT_TRUE(ReadFile().contains("\"Port\"=\"\"\n"));
}

TEST_F(ComPortStore, ListPortsAddsTheRegisteredPortsSortedWithoutCase) {
    WriteFile(
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n"
        "\"sim0\"=\"COM2\"\n\"sim1\"=\"COM10\"\n\"sim2\"=\"com2\"\n\"sim3\"=\"/dev/pts/9\"\n");
    QStringList ports;
    TComPort::ListPorts(ports);
    for (const char* expected : {"/dev/pts/9", "COM10", "COM2"}) EXPECT_TRUE(ports.contains(expected));
    EXPECT_EQ(ports.filter("com2", Qt::CaseInsensitive).size(), 1);
    EXPECT_LT(ports.indexOf("COM10"), ports.indexOf("COM2"));
}
