#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/progress_bar.h"
#include "support/run_fixture.h"

namespace {

class Handshake : public TRunTest {
protected:
    int Requests() const { return int(mDevice.Received.count('\x5A')); }
    // Requests and stop frames only: no frame may carry the request byte before the stop.
    int RequestsBeforeStop() const {
        const QList<qsizetype> stops = StopFrameOffsets();
        return int(mDevice.Received.left(stops.isEmpty() ? -1 : stops.first()).count('\x5A'));
    }
};

}  // namespace

TEST_F(Handshake, DeviceAnsweringTheFirstRequestGetsOneRequest) {
    mDevice.Listen([this](const QByteArray& bytes) {
        if (bytes.contains('\x5A')) mDevice.Write("\xA5");
    });
    TScript script;
    script.Then("reply seen", [&] { return mForm->ShakeOk; }, [&] { ClickUpdate(); });
    RunUpdate(script);
    EXPECT_EQ(RequestsBeforeStop(), 1);
    EXPECT_EQ(LogLines(), (QStringList{"Please open firmware.", "Waiting...", "Updating...", "Stop."}));
    EXPECT_EQ(mForm->Memo1->toPlainText(), "");
    EXPECT_EQ(mForm->RxCaptureLen, 0xFFFF);
}

TEST_F(Handshake, DeviceAnsweringPass150IsLoggedWaitingTwice) {
    mDevice.Listen([this](const QByteArray&) {
        if (Requests() == 150) mDevice.Write("\xA5");
    });
    TScript script;
    script.Then("reply seen", [&] { return mForm->ShakeOk; }, [&] { ClickUpdate(); });
    RunUpdate(script);
    EXPECT_EQ(LogLines(), (QStringList{"Please open firmware.", "Waiting...", "Waiting...", "Updating...",
                                       "Stop."}));
    EXPECT_GE(Requests(), 150);
}

TEST_F(Handshake, ReplyAmongOtherBytesCounts) {
    mDevice.Listen([this](const QByteArray&) {
        if (Requests() == 3) mDevice.Write("\x01\x02\xA5\x85\x00");
    });
    TScript script;
    script.Then("reply seen", [&] { return mForm->ShakeOk; }, [&] { ClickUpdate(); });
    RunUpdate(script);
    EXPECT_TRUE(LogHas("Updating..."));
}

TEST_F(Handshake, ReplyBeforeTheHandshakeStartedIsNeverSeen) {
    mDevice.Write("\xA5");
    ASSERT_TRUE(WaitFor([&] { return mForm->RxCount == 1; }));
    mDevice.Listen();
    TScript script;
    script.Then("some requests", [&] { return Requests() >= 10; }, [&] { ClickUpdate(); });
    RunUpdate(script);
    EXPECT_FALSE(LogHas("Updating..."));
    EXPECT_FALSE(mForm->ShakeOk);
}

TEST_F(Handshake, StopSendsTwoStopFramesAtLeast200MsApartAndEndsTheRun) {
    mDevice.Listen();
    TScript script;
    script.Then("a few requests", [&] { return Requests() >= 5; }, [&] { ClickUpdate(); })
        .Then("second stop frame", [&] { return StopFrameOffsets().size() == 2; });
    RunUpdate(script);
    const QList<qsizetype> stops = StopFrameOffsets();
    ASSERT_EQ(stops.size(), 2);
    // Nothing but requests before the first stop frame, nothing after the second.
    EXPECT_EQ(mDevice.Received.left(stops[0]), QByteArray(stops[0], '\x5A'));
    EXPECT_EQ(stops[1], stops[0] + 2060);
    EXPECT_EQ(mDevice.Received.size(), stops[1] + 2060);
    const qint64 apart = mDevice.ArrivalMs(stops[1]) - mDevice.ArrivalMs(stops[0] + 2059);
    EXPECT_GE(apart, 195);  // arrival times of the pty's reads, so allow their jitter
    EXPECT_EQ(mForm->cxBtn_UpdateFirmWare->text(), "UpdateFirmWare");
    EXPECT_EQ(mForm->RzProgressBar->PartsComplete(), 0);
    EXPECT_TRUE(mForm->StopRequested);
    EXPECT_EQ(mForm->TxCount, stops[0] + 2 * 2060);
    EXPECT_EQ(LogLines().last(), "Stop.");
    EXPECT_EQ(LogLines().count("Waiting..."), 1);
}

TEST_F(Handshake, PortClosedDuringTheHandshakeShowsTheSendMessageOnceAndWaitsForStop) {
    mDevice.Listen();
    TScript script;
    script.Then("requests", [&] { return Requests() >= 3; }, [&] { mForm->btnSwitch->click(); })
        .Then("send failed", [&] { return Recorder().Messages.size() == 1; })
        .Then("still running", [&] { return mForm->cxBtn_UpdateFirmWare->text() == "StopUpdate"; },
              [&] { ClickUpdate(); });
    RunUpdate(script);
    EXPECT_EQ(Recorder().Messages, QStringList{"没有打开的串口！"});
    // The stop frame cannot go out either; only that stop path ends.
    EXPECT_EQ(Recorder().Errors, QStringList{"Port Not Open."});
    EXPECT_EQ(LogLines().last(), "Stop.");
    EXPECT_EQ(mForm->cxBtn_UpdateFirmWare->text(), "UpdateFirmWare");
    EXPECT_TRUE(StopFrameOffsets().isEmpty());
}
