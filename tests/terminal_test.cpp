#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/hex_view.h"
#include "support/named_case.h"
#include "support/pty_pair.h"
#include "support/window_fixture.h"

namespace {

class Terminal : public TWindowTest {
protected:
    void SetUp() override {
        TWindowTest::SetUp();
        RegisterPort(mDevice.Path());
        CreateWindow();
        OpenPort(mDevice.Path());
    }

    TPtyPair mDevice;
};

}  // namespace

TEST_F(Terminal, ReceivedChunksAreCountedShownAndNotCapturedWhileCaptureIsOff) {
    TFrmMain& f = *mForm;
    mDevice.Write("abcd");
    ASSERT_TRUE(WaitFor([&] { return f.RxCount == 4; }));
    EXPECT_EQ(f.edRx->text(), "Rx:4");
    mDevice.Write("efghij");
    ASSERT_TRUE(WaitFor([&] { return f.RxCount == 10; }));
    EXPECT_EQ(f.edRx->text(), "Rx:10");
    EXPECT_EQ(f.MPHexEditorEx1->Data().Mid(0, 10), "abcdefghij");
    EXPECT_EQ(f.Station->RxCaptureLen, 0xFFFFFF);
}

TEST_F(Terminal, CaptureTakesChunksThatFitAndDropsOneThatWouldFillIt) {
    TFrmMain& f = *mForm;
    f.Station->RxCaptureLen = 40950;
    mDevice.Write(QByteArray(10, '\x85'));
    ASSERT_TRUE(WaitFor([&] { return f.RxCount == 10; }));
    EXPECT_EQ(f.Station->RxCaptureLen, 40950);
    mDevice.Write(QByteArray(9, '\x85'));
    ASSERT_TRUE(WaitFor([&] { return f.RxCount == 19; }));
    EXPECT_EQ(f.Station->RxCaptureLen, 40959);
    EXPECT_EQ(f.Station->RxCapture[40958], 0x85);
}

TEST_F(Terminal, ClearEmptiesOnlyTheHexView) {
    TFrmMain& f = *mForm;
    f.Station->RxCaptureLen = 0;
    mDevice.Write("xyz");
    ASSERT_TRUE(WaitFor([&] { return f.RxCount == 3; }));
    f.Btn_Clear->click();
    EXPECT_EQ(f.MPHexEditorEx1->Data().Size(), 0);
    EXPECT_EQ(f.edRx->text(), "Rx:3");
    EXPECT_EQ(f.Station->RxCaptureLen, 3);
    EXPECT_EQ(f.Station->RxCapture[0], 'x');
}

struct TSendCase {
    const char* Name;
    QString Memo;
    bool Hex;
    QByteArray Wire;
};

class TerminalSends : public Terminal, public ::testing::WithParamInterface<TSendCase> {};

TEST_P(TerminalSends, TheMemoAsHexOrRaw) {
    TFrmMain& f = *mForm;
    f.Memo1->setPlainText(GetParam().Memo);
    f.cbsendHex->setChecked(GetParam().Hex);
    EXPECT_TRUE(f.SendMemo());
    EXPECT_EQ(mDevice.ReadAll().toHex(' '), GetParam().Wire.toHex(' '));
    EXPECT_EQ(f.TxCount, GetParam().Wire.size());
    EXPECT_EQ(f.edTx->text(), "Tx:" + QString::number(GetParam().Wire.size()));
    EXPECT_TRUE(Recorder().Messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, TerminalSends,
                         ::testing::Values(TSendCase{"HexByte", "5A", true, "\x5A"},
                                           TSendCase{"RawText", "5A", false, "\x35\x41"},
                                           TSendCase{"TrailingLineBreak", "5A\n", true, "\x5A"},
                                           TSendCase{"ZeroX", "0x1F", true, QByteArray("\x00\x1F", 2)},
                                           TSendCase{"OddDigits", "ABC", true, "\xAB\x0C"},
                                           TSendCase{"Design", "aa0d", true, "\xAA\x0D"},
                                           TSendCase{"Empty", "", true, ""}),
                         RowName());

TEST_F(Terminal, SendButtonAndRefillButton) {
    TFrmMain& f = *mForm;
    f.btnSend->click();  // the design text "aa0d"
    EXPECT_EQ(mDevice.Read(2, 2000), "\xAA\x0D");
    f.Button1->click();
    EXPECT_EQ(f.Memo1->toPlainText(), "");
}

TEST_F(Terminal, SendOnAClosedPortFailsOnceAndLeavesTheCount) {
    TFrmMain& f = *mForm;
    f.btnSwitch->click();
    ASSERT_FALSE(f.ComPort->Connected());
    f.TxCount = 5;
    f.edTx->setText("stale");
    f.Memo1->setPlainText("5A");
    EXPECT_FALSE(f.SendMemo());
    EXPECT_EQ(Recorder().Messages, QStringList{"没有打开的串口！"});
    EXPECT_EQ(f.TxCount, 5);
    EXPECT_EQ(f.edTx->text(), "Tx:5");
    EXPECT_FALSE(f.SendOk);
}

TEST_F(Terminal, VanishedDeviceClosesTheLinkAndTheNextSendFails) {
    TFrmMain& f = *mForm;
    mDevice.CloseDevice();
    ASSERT_TRUE(WaitFor([&] { return !f.ComPort->Connected(); }));
    EXPECT_EQ(f.edStatus->text(), "STATUS:COM Port Closed");
    EXPECT_EQ(f.btnSwitch->text(), "打开串口 Open Port");
    f.Memo1->setPlainText("5A");
    EXPECT_FALSE(f.SendMemo());
    EXPECT_EQ(Recorder().Messages, QStringList{"没有打开的串口！"});
}
