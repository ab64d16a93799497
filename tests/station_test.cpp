// The station engine alone, on a worker thread, against vardo-sim in its own process: what
// goes on the wire, what it reports, and how each run ends.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "burn/protocol.h"
#include "sim/sim_process.h"
#include "station/station_thread.h"
#include "support/images.h"
#include "support/named_case.h"
#include "support/pty_pair.h"

namespace {

constexpr quint32 kFlashBase = 0x08004000;

// One station thread and everything it reported, collected on the test's thread.
class TStationProbe {
  public:
    explicit TStationProbe(const TStationConfig& config)
        : Thread(std::make_unique<TStationThread>(config)) {
        QObject::connect(Thread.get(), &TStationThread::Opened, [this](bool ok, const QString& m) {
            Opened = ok ? 1 : 0;
            OpenError = m;
            if (ok) Thread->Go();
        });
        QObject::connect(Thread.get(), &TStationThread::LogLine,
                         [this](const QString& line, const QDateTime&) { Log.append(line); });
        QObject::connect(Thread.get(), &TStationThread::StateChanged,
                         [this](TStationState s) { States.append(s); });
        QObject::connect(Thread.get(), &TStationThread::DeviceFinished,
                         [this](const TDeviceOutcome& o) { Outcomes.append(o); });
        QObject::connect(Thread.get(), &TStationThread::Failed,
                         [this](const QString& m) { Failures.append(m); });
        QObject::connect(Thread.get(), &QThread::finished, [this] { Ended = true; });
    }
    bool Start() {
        Thread->start();
        return WaitFor([this] { return Opened >= 0; }) && Opened == 1;
    }
    bool WaitForEnd(int timeoutMs = 20000) {
        return WaitFor([this] { return Ended; }, timeoutMs);
    }
    int Done() const {
        int n = 0;
        for (const TDeviceOutcome& o : Outcomes) n += o.Result == TDeviceResult::Done;
        return n;
    }

    std::unique_ptr<TStationThread> Thread;
    int Opened = -1;
    QString OpenError;
    QStringList Log;
    QList<TStationState> States;
    QList<TDeviceOutcome> Outcomes;
    QStringList Failures;
    bool Ended = false;
};

class Station : public ::testing::Test {
  protected:
    void SetUp() override { SetProtocolConstants(); }

    std::shared_ptr<const TImageSnapshot> Image(const QByteArray& bytes) {
        mImagePath = mDir.filePath("image.bin");
        QFile file(mImagePath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QString error;
        std::optional<TImageSnapshot> image = TImageSnapshot::Load(mImagePath, &error);
        EXPECT_TRUE(image) << error.toStdString();
        return std::make_shared<const TImageSnapshot>(*image);
    }
    TStationConfig Config(const QString& port, const QByteArray& image, qint32 count = 0,
                          TPaceMode pace = TPaceMode::Fixed) {
        TStationConfig c;
        c.Port = port;
        c.Count = count;
        c.Pace = pace;
        c.Image = Image(image);
        return c;
    }
    QList<TSimEvent> Frames(TSimProcess& sim, const QString& kind) {
        QList<TSimEvent> frames;
        for (const TSimEvent& e : sim.Events("frame"))
            if (e.Kind == kind) frames.append(e);
        return frames;
    }
    bool TwoStopFrames(TSimProcess& sim) {
        return sim.WaitForTrace(
            [&](const QList<TSimEvent>&) { return Frames(sim, "stop").size() == 2; });
    }

    QTemporaryDir mDir;
    QString mImagePath;
};

}  // namespace

TEST_F(Station, BurnsOneDeviceByteForByteAndReportsItsFigures) {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start());
    const QByteArray image = RandomImage(5000);
    TStationProbe probe(Config(sim.DevicePath(), image, 1));
    ASSERT_TRUE(probe.Start());
    ASSERT_TRUE(probe.WaitForEnd());
    EXPECT_EQ(sim.Image(), Padded(image));
    EXPECT_TRUE(sim.Events("bad_frame").isEmpty());
    ASSERT_EQ(probe.Outcomes.size(), 1);
    const TDeviceOutcome& o = probe.Outcomes[0];
    EXPECT_EQ(o.Result, TDeviceResult::Done);
    EXPECT_EQ(o.Flow, 1);
    EXPECT_EQ(o.Blocks, 3);
    EXPECT_EQ(o.BlocksAcked, 3);
    EXPECT_EQ(o.FramesSent, 3);
    EXPECT_EQ(o.Resends, 0);
    EXPECT_LE(o.Started, o.Ended);
    ASSERT_EQ(probe.Log.size(), 5);
    EXPECT_EQ(probe.Log.mid(0, 3), (QStringList{"Waiting...", "Updating...", "No : 1"}));
    EXPECT_TRUE(probe.Log[3].startsWith("Update complete. "));
    EXPECT_EQ(probe.Log[4], "Stop.");
    // With its count reached the station takes its stop path.
    EXPECT_TRUE(TwoStopFrames(sim));
    EXPECT_EQ(probe.States.first(), TStationState::Waiting);
    EXPECT_EQ(probe.States.last(), TStationState::Stopped);
    EXPECT_TRUE(probe.Failures.isEmpty());
}

TEST_F(Station, BurnsDevicesInARowAndCountsThem) {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start());
    const QByteArray image = RandomImage(2049);
    TStationProbe probe(Config(sim.DevicePath(), image, 3));
    ASSERT_TRUE(probe.Start());
    ASSERT_TRUE(probe.WaitForEnd());
    EXPECT_EQ(probe.Done(), 3);
    EXPECT_EQ(probe.Log.count("Waiting..."), 3);
    EXPECT_EQ(probe.Log.filter("No : ").join(","), "No : 1,No : 2,No : 3");
    EXPECT_EQ(sim.Events("device_done").size(), 3);
    EXPECT_EQ(sim.Image(), Padded(image));
    EXPECT_EQ(probe.Outcomes.last().Flow, 3);
}

TEST_F(Station, DeviceThatNeverAcknowledgesTimesOutAndTheStationStops) {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start({"--never-ack"}));
    TStationProbe probe(Config(sim.DevicePath(), RandomImage(3000)));
    ASSERT_TRUE(probe.Start());
    ASSERT_TRUE(probe.WaitForEnd(20000));
    ASSERT_EQ(probe.Outcomes.size(), 1);
    const TDeviceOutcome& o = probe.Outcomes[0];
    EXPECT_EQ(o.Result, TDeviceResult::TimedOut);
    EXPECT_EQ(o.BlocksAcked, 0);
    EXPECT_GE(o.FramesSent, 40);
    EXPECT_EQ(o.Resends, o.FramesSent - 1);
    EXPECT_EQ(o.Flow, 0);
    EXPECT_TRUE(TwoStopFrames(sim));
    for (const TSimEvent& f : Frames(sim, "block")) EXPECT_EQ(f.Address, kFlashBase);
    EXPECT_EQ(probe.Log.last(), "Stop.");
}

struct TStopCase {
    const char* Name;
    QStringList SimArgs;
    // When the test asks for the stop.
    std::function<bool(TSimProcess&)> When;
    TDeviceResult Interrupted;  // the outcome of the device under way, if any
    int Outcomes;
};

class StationStopped : public Station, public ::testing::WithParamInterface<TStopCase> {};

TEST_P(StationStopped, TakesTheStopPathWithTwoStopFramesAndEnds) {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start(GetParam().SimArgs));
    TStationProbe probe(Config(sim.DevicePath(), RandomImage(20 * 2048)));
    ASSERT_TRUE(probe.Start());
    ASSERT_TRUE(WaitFor([&] { return GetParam().When(sim); }));
    probe.Thread->RequestStop();
    ASSERT_TRUE(probe.WaitForEnd());
    EXPECT_TRUE(TwoStopFrames(sim));
    const QList<TSimEvent> stops = Frames(sim, "stop");
    EXPECT_GE((stops[1].StartUs - stops[0].TUs) / 1000, 199);
    EXPECT_EQ(probe.Log.count("Stop."), 1);
    ASSERT_EQ(probe.Outcomes.size(), GetParam().Outcomes);
    if (GetParam().Outcomes > 0) {
        EXPECT_EQ(probe.Outcomes[0].Result, GetParam().Interrupted);
    }
    EXPECT_TRUE(probe.Failures.isEmpty());
    EXPECT_EQ(probe.States.last(), TStationState::Stopped);
    // Nothing more goes out once the run is over.
    const int frames = int(sim.Events("frame").size());
    RunEventsFor(300);
    EXPECT_EQ(sim.Events("frame").size(), frames);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StationStopped,
    ::testing::Values(TStopCase{"DuringTheHandshake",
                                {"--never-answer"},
                                [](TSimProcess& s) { return s.Events("shake_rx").size() >= 3; },
                                TDeviceResult::Done,
                                0},
                      TStopCase{"DuringABurn",
                                {},
                                [](TSimProcess& s) { return s.Events("frame").size() >= 3; },
                                TDeviceResult::Stopped,
                                1}),
    RowName());

TEST_F(Station, StopAskedForBeforeTheRunBeganSendsNothing) {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start());
    TStationConfig config = Config(sim.DevicePath(), RandomImage(100));
    auto thread = std::make_unique<TStationThread>(config);
    bool opened = false, ended = false;
    QObject::connect(thread.get(), &TStationThread::Opened, [&] { opened = true; });
    QObject::connect(thread.get(), &QThread::finished, [&] { ended = true; });
    thread->start();
    ASSERT_TRUE(WaitFor([&] { return opened; }));
    thread->RequestStop();
    ASSERT_TRUE(WaitFor([&] { return ended; }));
    RunEventsFor(200);
    EXPECT_TRUE(sim.Events("shake_rx").isEmpty());
}

TEST_F(Station, VanishedDeviceEndsTheRunAsLostAndNamesThePort) {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start({"--vanish-after", "2"}));
    TStationProbe probe(Config(sim.DevicePath(), RandomImage(6 * 2048)));
    ASSERT_TRUE(probe.Start());
    ASSERT_TRUE(probe.WaitForEnd());
    ASSERT_EQ(probe.Outcomes.size(), 1);
    EXPECT_EQ(probe.Outcomes[0].Result, TDeviceResult::Lost);
    EXPECT_GE(probe.Outcomes[0].BlocksAcked, 1);
    ASSERT_EQ(probe.Failures.size(), 1);
    EXPECT_TRUE(probe.Failures[0].startsWith("the port went away"))
        << probe.Failures[0].toStdString();
    EXPECT_EQ(probe.States.last(), TStationState::PortLost);
}

TEST_F(Station, PortThatCannotBeOpenedIsReportedAndNothingRuns) {
    TStationConfig config = Config(mDir.filePath("no-such-port"), RandomImage(10));
    TStationProbe probe(config);
    probe.Thread->start();
    ASSERT_TRUE(WaitFor([&] { return probe.Opened == 0; }));
    EXPECT_EQ(probe.OpenError, "Unable to open com port (Error: 2)");
    probe.Thread->Cancel();
    EXPECT_TRUE(probe.WaitForEnd());
}

TEST_F(Station, ImageChangedOnDiskEndsTheRunBeforeTheNextDevice) {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start());
    const QByteArray image = RandomImage(3000);
    TStationProbe probe(Config(sim.DevicePath(), image));
    ASSERT_TRUE(probe.Start());
    ASSERT_TRUE(WaitFor([&] { return probe.Done() == 1; }));
    QFile file(mImagePath);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write("X");
    file.close();
    ASSERT_TRUE(probe.WaitForEnd());
    // The first device got the image; the changed one went to no device.
    EXPECT_EQ(probe.Done(), 1);
    EXPECT_EQ(sim.Image(), Padded(image));
    ASSERT_EQ(probe.Failures.size(), 1);
    EXPECT_EQ(probe.Failures[0], "the image " + mImagePath + " changed during the run");
    EXPECT_TRUE(TwoStopFrames(sim));
    EXPECT_EQ(Frames(sim, "last").size(), 1);
}

struct TAckPaceCase {
    const char* Name;
    QStringList SimArgs;
    int Size;
};

class AckPace : public Station, public ::testing::WithParamInterface<TAckPaceCase> {};

TEST_P(AckPace, BurnsByteForByteWithoutWaitingOutThePace) {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start(GetParam().SimArgs));
    const QByteArray image = RandomImage(GetParam().Size);
    TStationProbe probe(Config(sim.DevicePath(), image, 1, TPaceMode::Ack));
    ASSERT_TRUE(probe.Start());
    ASSERT_TRUE(probe.WaitForEnd());
    EXPECT_EQ(probe.Done(), 1);
    EXPECT_EQ(sim.Image(), Padded(image));
    EXPECT_TRUE(sim.Events("bad_frame").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AckPace,
    ::testing::Values(TAckPaceCase{"Prompt", {}, 9000},
                      TAckPaceCase{"AcksDroppedTwicePerBlock", {"--drop-acks", "2"}, 5000},
                      TAckPaceCase{"EveryThirdAckDropped", {"--drop-every", "3"}, 9000},
                      TAckPaceCase{"AcksLate", {"--ack-delay", "60"}, 9000},
                      TAckPaceCase{"AcksLateWithinThePace", {"--ack-delay", "150"}, 5000}),
    RowName());

TEST_F(AckPace, NextFrameGoesOutAsSoonAsTheAcknowledgementIsIn) {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start({"--ack-delay", "5"}));
    TStationProbe probe(Config(sim.DevicePath(), RandomImage(8 * 2048), 1, TPaceMode::Ack));
    ASSERT_TRUE(probe.Start());
    ASSERT_TRUE(probe.WaitForEnd());
    ASSERT_EQ(probe.Done(), 1);
    // Eight frames under the fixed pace take at least 8 x 200 ms.
    EXPECT_LT(probe.Outcomes[0].Started.msecsTo(probe.Outcomes[0].Ended), 7 * kPaceMs);
}

TEST_F(Station, StationsOnSeveralThreadsBurnAtOnce) {
    constexpr int kStations = 3;
    std::vector<std::unique_ptr<TSimProcess>> sims;
    std::vector<std::unique_ptr<TStationProbe>> probes;
    const QByteArray image = RandomImage(4 * 2048);
    for (int i = 0; i < kStations; ++i) {
        sims.push_back(std::make_unique<TSimProcess>());
        ASSERT_TRUE(sims.back()->Start());
        probes.push_back(
            std::make_unique<TStationProbe>(Config(sims.back()->DevicePath(), image, 2)));
    }
    for (auto& p : probes) ASSERT_TRUE(p->Start());
    for (auto& p : probes) ASSERT_TRUE(p->WaitForEnd());
    // Every first device was under way while every other station's first device was.
    QDateTime latestStart, earliestEnd;
    for (int i = 0; i < kStations; ++i) {
        EXPECT_EQ(probes[i]->Done(), 2);
        EXPECT_EQ(sims[i]->Image(), Padded(image));
        const TDeviceOutcome& first = probes[i]->Outcomes[0];
        if (!latestStart.isValid() || first.Started > latestStart) latestStart = first.Started;
        if (!earliestEnd.isValid() || first.Ended < earliestEnd) earliestEnd = first.Ended;
    }
    EXPECT_LT(latestStart, earliestEnd);
}
