#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/progress_bar.h"
#include "support/named_case.h"
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

struct TAnswerCase {
    const char* Name;
    int OnRequest;  // the device answers when this request arrives
    QByteArray Answer;
    QStringList Log;  // after the start line, the stop included
};

class HandshakeAnswered : public Handshake, public ::testing::WithParamInterface<TAnswerCase> {};

TEST_P(HandshakeAnswered, TheRequestsStopAtTheReplyAndTheLogShowsThePasses) {
    mDevice.Listen([this](const QByteArray&) {
        if (Requests() == GetParam().OnRequest) mDevice.Write(GetParam().Answer);
    });
    TScript script;
    script.Then("reply seen", [&] { return mForm->Station->ShakeOk; }, [&] { ClickUpdate(); });
    RunUpdate(script);
    EXPECT_EQ(RequestsBeforeStop(), GetParam().OnRequest);
    EXPECT_EQ(LogLines().mid(1), GetParam().Log);
    EXPECT_EQ(mForm->Memo1->toPlainText(), "");
    EXPECT_EQ(mForm->Station->RxCaptureLen, 0xFFFF);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandshakeAnswered,
    ::testing::Values(
        TAnswerCase{"FirstRequest", 1, "\xA5", {"Waiting...", "Updating...", "Stop."}},
        // "Waiting..." on passes 1 and 100.
        TAnswerCase{"Pass150", 150, "\xA5", {"Waiting...", "Waiting...", "Updating...", "Stop."}},
        TAnswerCase{"AmongOtherBytes", 3, QByteArray("\x01\x02\xA5\x85\x00", 5),
                    {"Waiting...", "Updating...", "Stop."}}),
    RowName());

TEST_F(Handshake, ReplyBeforeTheHandshakeStartedIsNeverSeen) {
    mDevice.Write("\xA5");
    ASSERT_TRUE(WaitFor([&] { return mForm->RxCount == 1; }));
    mDevice.Listen();
    TScript script;
    script.Then("some requests", [&] { return Requests() >= 10; }, [&] { ClickUpdate(); });
    RunUpdate(script);
    EXPECT_FALSE(LogHas("Updating..."));
    EXPECT_FALSE(mForm->Station->ShakeOk);
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
    EXPECT_TRUE(mForm->Station->StopRequested);
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
