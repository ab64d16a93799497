// End-to-end burns: the real window against the device simulator in its own process, which
// checks every frame with a parser of its own and writes back the image it received.
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/progress_bar.h"
#include "burn/firmware_file.h"
#include "sim/sim_process.h"
#include "support/images.h"
#include "support/named_case.h"
#include "support/pty_pair.h"
#include "support/window_fixture.h"

namespace {

constexpr quint32 kFlashBase = 0x08004000;

class Burn : public TWindowTest {
protected:
    // Starts the simulator, then the window, opens the simulator's port and chooses `image`.
    void Start(const QByteArray& image, const QStringList& simArgs = {}) {
        ASSERT_TRUE(mSim.Start(simArgs));
        CreateWindow();
        OpenPort(mSim.DevicePath());
        mImagePath = mDir.filePath("image.bin");
        QFile file(mImagePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(image);
        file.close();
        Recorder().OpenAnswers = {mImagePath};
        mForm->cxBtn_OpenFirmWare->click();
    }
    void Run(TScript& script, int timeoutMs = 30000) {
        script.Run([this] { mForm->cxBtn_UpdateFirmWare->click(); }, timeoutMs,
                   [this] { mForm->cxButton_Stop->click(); });
        EXPECT_EQ(script.Failure, "") << "step not reached";
    }
    void ClickUpdate() { mForm->cxBtn_UpdateFirmWare->click(); }
    QList<TSimEvent> Frames(const QString& kind) {
        QList<TSimEvent> frames;
        for (const TSimEvent& e : mSim.Events("frame"))
            if (e.Kind == kind) frames.append(e);
        return frames;
    }
    // The run's own lines, after the start line and the "Open file" line.
    QStringList RunLog() const { return LogLines().mid(2); }
    bool Idle() const {
        return mForm->cxBtn_UpdateFirmWare->text() == "UpdateFirmWare" && mForm->Station->StopRequested;
    }

    QTemporaryDir mDir;
    QString mImagePath;
    TSimProcess mSim;
};

struct TImageCase {
    const char* Name;
    int Size;
    QStringList SimArgs;
};

class BurnsAnImage : public Burn, public ::testing::WithParamInterface<TImageCase> {};

TEST_P(BurnsAnImage, ByteForByteWithPaddingAndOneFramePerBlock) {
    const QByteArray image = RandomImage(GetParam().Size);
    Start(image, GetParam().SimArgs);
    TScript script;
    // The device is done once its last acknowledgement has gone out; a late one may go out
    // after the tool has already counted the device on an earlier one.
    script.Then("completed", [&] { return mForm->Station->BurnOk; })
        .Then("device done", [&] { return !mSim.Events("device_done").isEmpty(); }, [&] { ClickUpdate(); });
    Run(script);
    const int blocks = (GetParam().Size + 2047) / 2048;
    EXPECT_EQ(mSim.Image(), Padded(image));
    // The simulator checked every header, address, checksum and tail itself.
    EXPECT_TRUE(mSim.Events("bad_frame").isEmpty());
    const QList<TSimEvent> last = Frames("last");
    ASSERT_FALSE(last.isEmpty());
    EXPECT_EQ(last.first().Address, kFlashBase + 2048u * quint32(blocks - 1));
    for (const TSimEvent& f : Frames("block")) EXPECT_LT(f.Address, last.first().Address);
    EXPECT_EQ(RunLog().mid(0, 3), (QStringList{"Waiting...", "Updating...", "No : 1"}));
    EXPECT_TRUE(RunLog().value(3).startsWith("Update complete. "));
    EXPECT_EQ(mForm->cxTextEdit_FlowNo->text(), "No : 1");
    EXPECT_EQ(mForm->RzProgressBar->TotalParts(), blocks);
    if (RunLog().count("Updating...") == 1) {  // unless the next device's burn has begun
        EXPECT_EQ(mForm->Station->BlockAddress, kFlashBase + 2048u * quint32(blocks));
    }
    EXPECT_TRUE(Recorder().Errors.isEmpty());
    EXPECT_TRUE(Recorder().Messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BurnsAnImage,
    ::testing::Values(TImageCase{"OneByte", 1, {}}, TImageCase{"OneBlock", 2048, {}},
                      TImageCase{"JustOverABlock", 2049, {}}, TImageCase{"ThreeBlocks", 5000, {}},
                      // The last block acknowledged only at its third sending.
                      TImageCase{"AcksDroppedTwicePerBlock", 2049, {"--drop-acks", "2"}},
                      TImageCase{"EveryThirdAckDropped", 9000, {"--drop-every", "3"}},
                      TImageCase{"AcksAmongNoise", 5000, {"--noise", "300"}},
                      // Acknowledgements after the pace count for the next frame.
                      TImageCase{"AcksLate", 5000, {"--ack-delay", "260"}},
                      TImageCase{"LineAt57600", 5000, {"--baud", "57600"}}),
    RowName());

TEST_F(Burn, TwoDevicesInOneRunAreLoggedInOrderAndCounted) {
    const QByteArray image = RandomImage(3000);
    Start(image);
    TScript script;
    script.Then("two devices", [&] { return mForm->Station->BurnCount == 2; }, [&] { ClickUpdate(); });
    Run(script);
    const QStringList log = RunLog();
    ASSERT_GE(log.size(), 8);
    EXPECT_EQ(log[0], "Waiting...");
    EXPECT_EQ(log[1], "Updating...");
    EXPECT_EQ(log[2], "No : 1");
    EXPECT_TRUE(log[3].startsWith("Update complete. "));
    EXPECT_EQ(log[4], "Waiting...");
    EXPECT_EQ(log[5], "Updating...");
    EXPECT_EQ(log[6], "No : 2");
    EXPECT_TRUE(log[7].startsWith("Update complete. "));
    EXPECT_EQ(log.count("Stop."), 1);
    EXPECT_EQ(mForm->cxTextEdit_FlowNo->text(), "No : 2");
    EXPECT_EQ(mSim.Image(), Padded(image));
}

TEST_F(Burn, CounterResetMidRunMakesTheNextDeviceNumberOne) {
    Start(RandomImage(100));
    TScript script;
    script.Then("first device", [&] { return mForm->Station->BurnCount == 1; }, [&] { mForm->cxBtn_ResetCounter->click(); })
        .Then("next device", [&] { return mForm->Station->BurnCount == 1 && mForm->Station->BurnOk && RunLog().count("No : 1") == 2; },
              [&] { ClickUpdate(); });
    Run(script);
    EXPECT_EQ(RunLog().count("No : 2"), 0);
}

TEST_F(Burn, DeviceThatNeverAcknowledgesGetsTheFirstBlockEvery200MsFor10sThenStop) {
    Start(RandomImage(5000), {"--never-ack"});
    TScript script;
    script.Then("run ended", [&] { return Idle(); });
    Run(script, 20000);
    const QList<TSimEvent> blocks = Frames("block");
    ASSERT_GE(blocks.size(), 40);
    EXPECT_LE(blocks.size(), 51);
    for (const TSimEvent& f : blocks) EXPECT_EQ(f.Address, kFlashBase);
    const qint64 spanMs = (blocks.last().TUs - blocks.first().StartUs) / 1000;
    EXPECT_GE(spanMs, 9500);
    EXPECT_LE(spanMs, 10600);
    // The simulator traces the second stop frame a moment after the tool has written it.
    EXPECT_TRUE(mSim.WaitForTrace([&](const QList<TSimEvent>&) { return Frames("stop").size() == 2; }));
    EXPECT_EQ(RunLog().mid(2), QStringList{"Stop."});
    EXPECT_FALSE(mForm->Station->BurnOk);
    EXPECT_EQ(mForm->Station->BurnCount, 0);
}

TEST_F(Burn, StopDuringABurnSendsTwoStopFramesAndEndsTheRun) {
    Start(RandomImage(20 * 2048));
    TScript script;
    script.Then("some blocks", [&] { return Frames("block").size() >= 3; }, [&] { ClickUpdate(); })
        .Then("stopped", [&] { return Idle(); });
    Run(script);
    ASSERT_TRUE(mSim.WaitForTrace([&](const QList<TSimEvent>&) { return Frames("stop").size() == 2; }));
    const QList<TSimEvent> stops = Frames("stop");
    EXPECT_GE((stops[1].StartUs - stops[0].TUs) / 1000, 199);
    EXPECT_EQ(RunLog().count("Stop."), 1);
    EXPECT_EQ(RunLog().count("No : 1"), 0);
    EXPECT_FALSE(mForm->Station->BurnOk);
    // Nothing more goes out once the run is over.
    const int frames = int(mSim.Events("frame").size());
    RunEventsFor(500);
    EXPECT_EQ(mSim.Events("frame").size(), frames);
}

TEST_F(Burn, TimeOutNoticedAfterAStopLeavesTheRunStopped) {
    Start(RandomImage(5000), {"--never-ack"});
    TScript script;
    script.Then("a block", [&] { return !Frames("block").isEmpty(); }, [&] {
        ClickUpdate();
        mForm->Station->BurnTimedOut = true;  // as if the 10 s ran out during the stop's pause
    });
    Run(script);
    EXPECT_TRUE(Idle());
    ASSERT_TRUE(mSim.WaitForTrace([&](const QList<TSimEvent>&) { return Frames("stop").size() >= 2; }));
    RunEventsFor(300);
    EXPECT_EQ(Frames("stop").size(), 2);
    EXPECT_EQ(RunLog().count("Stop."), 1);
    EXPECT_EQ(RunLog().count("Waiting..."), 1);
}

struct TNoBurnCase {
    const char* Name;
    // Spoils the chosen file; `holder` may keep it open as another program would.
    std::function<void(const QString& path, TFirmwareFile& holder)> Spoil;
};

class FileThatCannotBeBurned : public Burn, public ::testing::WithParamInterface<TNoBurnCase> {};

TEST_P(FileThatCannotBeBurned, SendsNothingAndTheRunWaitsUntilStopped) {
    Start(RandomImage(3000));
    TFirmwareFile holder;
    GetParam().Spoil(mImagePath, holder);
    TScript script;
    script.Then("device answered", [&] { return mForm->Station->ShakeOk; }, [&] {
        RunEventsFor(400);
        ClickUpdate();
    });
    Run(script);
    EXPECT_TRUE(Frames("block").isEmpty());
    EXPECT_TRUE(Frames("last").isEmpty());
    EXPECT_EQ(RunLog(), (QStringList{"Waiting...", "Updating...", "Stop."}));
    EXPECT_TRUE(Recorder().Errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileThatCannotBeBurned,
    ::testing::Values(
        TNoBurnCase{"Missing", [](const QString& p, TFirmwareFile&) { QFile::remove(p); }},
        TNoBurnCase{"Empty", [](const QString& p, TFirmwareFile&) { QFile(p).resize(0); }},
        TNoBurnCase{"LockedByAnotherHolder",
                    [](const QString& p, TFirmwareFile& holder) { ASSERT_TRUE(holder.Open(p)); }}),
    RowName());

TEST_F(Burn, NoFileChosenSendsNothing) {
    ASSERT_TRUE(mSim.Start());
    CreateWindow();
    OpenPort(mSim.DevicePath());
    TScript script;
    script.Then("device answered", [&] { return mForm->Station->ShakeOk; }, [&] {
        RunEventsFor(300);
        ClickUpdate();
    });
    Run(script);
    ASSERT_TRUE(mSim.WaitForTrace([&](const QList<TSimEvent>&) { return Frames("stop").size() == 2; }));
    EXPECT_EQ(mSim.Events("frame").size(), 2);  // the stop frames only
}

TEST_F(Burn, FileCutShortBeforeTheBurnIsBurnedAsItIsThen) {
    const QByteArray image = RandomImage(5000);
    Start(image);
    QFile(mImagePath).resize(1000);
    TScript script;
    script.Then("completed", [&] { return mForm->Station->BurnOk; })
        .Then("device done", [&] { return !mSim.Events("device_done").isEmpty(); }, [&] { ClickUpdate(); });
    Run(script);
    EXPECT_EQ(mSim.Image(), Padded(image.left(1000)));
    EXPECT_EQ(Frames("last").size(), 1);
    EXPECT_TRUE(Frames("block").isEmpty());
}

TEST_F(Burn, DeviceVanishingDuringTheHandshakeShowsTheSendMessageOnceAndWaitsForStop) {
    Start(RandomImage(3000), {"--never-answer"});
    TScript script;
    script.Then("requests", [&] { return mSim.Events("shake_rx").size() >= 3; }, [&] { mSim.Stop(SIGKILL); })
        .Then("send failed", [&] { return !Recorder().Messages.isEmpty(); })
        .Then("still running", [&] { return mForm->cxBtn_UpdateFirmWare->text() == "StopUpdate"; },
              [&] { ClickUpdate(); });
    Run(script);
    EXPECT_EQ(Recorder().Messages, QStringList{"没有打开的串口！"});
    EXPECT_EQ(Recorder().Errors, QStringList{"Port Not Open."});  // the stop frame cannot go out
    EXPECT_TRUE(Idle());
    EXPECT_EQ(LogLines().last(), "Stop.");
}

TEST_F(Burn, DeviceVanishingMidBurnEndsTheRunWithTheComponentsError) {
    Start(RandomImage(6 * 2048), {"--vanish-after", "2"});
    TScript script;
    script.Then("run ended by the error", [&] { return !Recorder().Errors.isEmpty(); });
    Run(script);
    ASSERT_EQ(Recorder().Errors.size(), 1);
    EXPECT_TRUE(Recorder().Errors[0].startsWith("Unable to write to com port") ||
                Recorder().Errors[0] == "Port Not Open.")
        << Recorder().Errors[0].toStdString();
    // Left over: the caption still says stop, nothing runs.
    EXPECT_EQ(mForm->cxBtn_UpdateFirmWare->text(), "StopUpdate");
    EXPECT_FALSE(mForm->Station->StopRequested);
    EXPECT_FALSE(mForm->ComPort->Connected());
    // The next click stops; its stop frame cannot go out.
    ClickUpdate();
    EXPECT_EQ(LogLines().last(), "Stop.");
    EXPECT_EQ(mForm->cxBtn_UpdateFirmWare->text(), "UpdateFirmWare");
    EXPECT_EQ(Recorder().Errors.size(), 2);
    // A further click takes the start path.
    ClickUpdate();
    EXPECT_EQ(Recorder().Messages, QStringList{"Please Open Port First!"});
}

TEST_F(Burn, FileTruncatedMidBurnIsNeverSentAsIfRead) {
    Start(RandomImage(8 * 2048));
    TScript script;
    script.Then("first block acknowledged", [&] { return mForm->RzProgressBar->PartsComplete() >= 1; },
                [&] { QFile(mImagePath).resize(3000); })
        .Then("run ended by the error", [&] { return !Recorder().Errors.isEmpty(); });
    Run(script);
    ASSERT_EQ(Recorder().Errors.size(), 1);
    EXPECT_EQ(Recorder().Errors[0], "Unable to read the firmware file " + mImagePath + ".");
    EXPECT_TRUE(mSim.Events("bad_frame").isEmpty());
    EXPECT_TRUE(Frames("last").isEmpty());
    for (const TSimEvent& f : Frames("block")) EXPECT_LE(f.Address, kFlashBase + 2048u);
    EXPECT_EQ(mForm->cxBtn_UpdateFirmWare->text(), "StopUpdate");
    // The file was closed on the way out, so it can be opened again.
    TFirmwareFile again;
    EXPECT_TRUE(again.Open(mImagePath));
}

TEST_F(Burn, ClosingTheWindowMidBurnEndsTheRunWithoutMoreTraffic) {
    Start(RandomImage(20 * 2048));
    TScript script;
    script.Then("some blocks", [&] { return Frames("block").size() >= 2; }, [&] { mForm->close(); });
    Run(script);
    RunEventsFor(300);
    EXPECT_TRUE(Frames("stop").isEmpty());
    EXPECT_TRUE(Recorder().Errors.isEmpty());
    EXPECT_TRUE(Recorder().Messages.isEmpty());
}

}  // namespace
