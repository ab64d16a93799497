#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "support/run_fixture.h"

namespace {

class Production : public TRunTest {};

}  // namespace

TEST_F(Production, PortClosedShowsTheMessageAndChangesNothing) {
    mForm->btnSwitch->click();
    mDevice.Listen();
    ClickUpdate();
    EXPECT_EQ(Recorder().Messages, QStringList{"Please Open Port First!"});
    EXPECT_EQ(mForm->cxBtn_UpdateFirmWare->text(), "UpdateFirmWare");
    EXPECT_EQ(LogLines(), QStringList{"Please open firmware."});
    RunEventsFor(50);
    EXPECT_TRUE(mDevice.Received.isEmpty());
}

TEST_F(Production, WithoutAFileTheDeviceAnswersAndNothingIsBurnedUntilStopped) {
    mDevice.Listen([this](const QByteArray& bytes) {
        if (bytes.contains('\x5A')) mDevice.Write("\xA5");
    });
    TScript script;
    script.Then("reply seen", [&] { return mForm->Station->ShakeOk; }, [&] {
        RunEventsFor(300);  // the run waits for a burn that never comes
        ClickUpdate();
    });
    RunUpdate(script);
    EXPECT_EQ(LogLines(), (QStringList{"Please open firmware.", "Waiting...", "Updating...", "Stop."}));
    // The one request, then the two stop frames: no block frame.
    const QByteArray expected = "\x5A" + StopFrameBytes() + StopFrameBytes();
    WaitFor([&] { return mDevice.Received.size() >= expected.size(); });
    EXPECT_EQ(mDevice.Received, expected);
}

TEST_F(Production, ChoosingTheFileLogsItAndADialogCancelledChangesNothing) {
    Recorder().OpenAnswers = {"/tmp/image.bin", ""};
    mForm->cxBtn_OpenFirmWare->click();
    ASSERT_EQ(Recorder().OpenDialogs.size(), 1);
    const TOpenDialogSettings shown = Recorder().OpenDialogs[0];
    EXPECT_EQ(shown.Filter, "烧录文件|*.bin");
    EXPECT_EQ(shown.DefaultExt, "bin");
    EXPECT_EQ(shown.FileName, "");
    EXPECT_EQ(mForm->edSendFile->text(), "/tmp/image.bin");
    ASSERT_EQ(LogLines().size(), 2);
    EXPECT_TRUE(LogLines()[1].startsWith("Open file /tmp/image.bin "));
    mForm->cxBtn_OpenFirmWare->click();  // cancelled
    EXPECT_EQ(mForm->edSendFile->text(), "/tmp/image.bin");
    EXPECT_EQ(LogLines().size(), 2);
}

TEST_F(Production, BrowseButtonUsesTheDialogAsItStandsAndLogsNothing) {
    Recorder().OpenAnswers = {"/tmp/a.bin", "/tmp/b.bin"};
    mForm->edSendFileButtonClick(mForm->edSendFile);
    EXPECT_EQ(Recorder().OpenDialogs[0].Filter, "*.bin");
    EXPECT_EQ(Recorder().OpenDialogs[0].DefaultExt, "");
    EXPECT_EQ(mForm->edSendFile->text(), "/tmp/a.bin");
    mForm->edSendFileButtonClick(mForm->edSendFile);
    EXPECT_EQ(Recorder().OpenDialogs[1].FileName, "/tmp/a.bin");
    EXPECT_EQ(mForm->edSendFile->text(), "/tmp/b.bin");
    EXPECT_EQ(LogLines(), QStringList{"Please open firmware."});
}

TEST_F(Production, FlowNumberButtonResetsTheCounterAndClearEmptiesTheLog) {
    mForm->Station->BurnCount = 7;
    mForm->cxTextEdit_FlowNo->setText("No : 7");
    mForm->cxTextEdit_FlowNo->click();
    EXPECT_EQ(mForm->Station->BurnCount, 0);
    EXPECT_EQ(mForm->cxTextEdit_FlowNo->text(), "No : 0");
    mForm->Station->BurnCount = 2;
    mForm->cxBtn_ResetCounter->click();
    EXPECT_EQ(mForm->Station->BurnCount, 0);
    mForm->cxButton1->click();
    EXPECT_EQ(mForm->RzMemo3->toPlainText(), "");
}

TEST_F(Production, ClosingTheWindowDuringARunEndsItWithoutAStopFrame) {
    mDevice.Listen();
    TScript script;
    script.Then("requests", [&] { return mDevice.Received.count('\x5A') >= 3; }, [&] { mForm->close(); });
    RunUpdate(script, 5000);
    EXPECT_FALSE(mForm->ComPort->Connected());
    EXPECT_TRUE(StopFrameOffsets().isEmpty());
    EXPECT_TRUE(Recorder().Messages.isEmpty());
    EXPECT_TRUE(Recorder().Errors.isEmpty());
}
