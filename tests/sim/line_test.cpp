// What the simulator does to the line itself: noise, pacing, vanishing, and finishing.
#include <gtest/gtest.h>

#include "sim_fixture.h"
#include "support/named_case.h"
#include "test_frames.h"

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

using SimNoise = SimProcessTest;

TEST_F(SimNoise, SendsNoiseAtItsRateThatNeverPassesForAReply) {
    constexpr int kRate = 5000;
    ASSERT_NO_FATAL_FAILURE(StartSim({"--noise", QString::number(kRate)}));
    const QByteArray noise = Line->Read(2000, 3000);
    ASSERT_EQ(noise.size(), 2000);
    EXPECT_FALSE(noise.contains('\xA5'));
    EXPECT_FALSE(noise.contains('\x85'));
    const QList<TSimEvent> batches = Sim.Events("noise");
    ASSERT_GE(batches.size(), 2);
    qint64 afterFirst = 0;
    for (qsizetype i = 1; i < batches.size(); ++i) afterFirst += batches[i].Count;
    const qint64 spanUs = batches.last().TUs - batches.first().TUs;
    EXPECT_LE(afterFirst, kRate * spanUs / 1000000 + 1);
    EXPECT_GE(afterFirst, kRate * spanUs / 2000000);

    // Amid the noise the handshake is still answered; only the answer can be A5h.
    ASSERT_TRUE(Line->Write("\x5A"));
    ASSERT_TRUE(Sim.WaitForEvents("shake_rx"));
    EXPECT_TRUE(Sim.Events("shake_rx").value(0).Answered);
    QByteArray replies;
    while (!replies.contains('\xA5')) {
        const QByteArray more = Line->Read(1, 2000);
        ASSERT_FALSE(more.isEmpty());
        replies += more;
    }
}

using SimVanish = SimProcessTest;

TEST_F(SimVanish, ClosesTheLineAndEndsOnTheNthGoodBlock) {
    const QList<QByteArray> frames = TestImageFrames(TestImage(3 * 2048));
    ASSERT_NO_FATAL_FAILURE(StartSim({"--vanish-after", "2"}));
    ASSERT_NO_FATAL_FAILURE(Handshake());
    ASSERT_TRUE(Line->Write(frames[0]));
    ASSERT_EQ(Line->Read(1), "\x85");
    ASSERT_TRUE(Line->Write(frames[1]));
    EXPECT_TRUE(Line->WaitForHangUp());
    ASSERT_TRUE(Sim.WaitForExit());
    EXPECT_EQ(Sim.ExitCode(), 0);
    EXPECT_EQ(Sim.Events("frame").value(1).Ack, "none");
    EXPECT_EQ(Sim.Events("vanish").size(), 1);
    EXPECT_EQ(RepliesOf("85"), 1);
}

struct TPaceCase {
    std::string Name;
    QStringList Args;
    bool Completes;  // whether a big write gets through within the time allowed
};

class SimBaud : public SimProcessTest, public ::testing::WithParamInterface<TPaceCase> {};

// A quarter of a megabyte is far more than the terminal buffers: it goes through only as
// fast as the simulator reads.
TEST_P(SimBaud, ABigWriteMeetsBackPressureOnlyAtALineRate) {
    ASSERT_NO_FATAL_FAILURE(StartSim(GetParam().Args));
    EXPECT_EQ(Line->Write(QByteArray(256 * 1024, '\0'), 400), GetParam().Completes);
}

INSTANTIATE_TEST_SUITE_P(Rates, SimBaud,
                         ::testing::Values(TPaceCase{"Unpaced", {}, true},
                                           TPaceCase{"Baud38400", {"--baud", "38400"}, false}),
                         RowName());

using SimBaudFrame = SimProcessTest;

TEST_F(SimBaudFrame, AFrameTakesAsLongAsOnTheWire) {
    constexpr int kBytesPerSecond = 3840;
    ASSERT_NO_FATAL_FAILURE(StartSim({"--baud", "38400"}));
    ASSERT_NO_FATAL_FAILURE(Handshake());
    ASSERT_TRUE(Line->Write(TestLastFrame(kTestFlashBase, "\x01")));
    ASSERT_EQ(Line->Read(1, 3000), "\x85");
    const TSimEvent frame = Sim.Events("frame").value(0);
    const qint64 wireUs = qint64(2060) * 1000000 / kBytesPerSecond;
    // The reads come a hundredth of a second's worth at a time; the first comes at once.
    EXPECT_GE(frame.TUs - frame.StartUs, wireUs - 10000);
    EXPECT_LT(frame.TUs - frame.StartUs, wireUs * 3 / 2);
}

using SimDevices = SimProcessTest;

TEST_F(SimDevices, WritesEachImageAndEndsAfterTheLastDevice) {
    const QByteArray images[] = {TestImage(5000), TestImage(1)};
    ASSERT_NO_FATAL_FAILURE(StartSim({"--devices", "2"}));
    for (int device = 0; device < 2; ++device) {
        ASSERT_NO_FATAL_FAILURE(Handshake());
        for (const QByteArray& frame : TestImageFrames(images[device])) {
            ASSERT_TRUE(Line->Write(frame));
            ASSERT_EQ(Line->Read(1), "\x85");
        }
        ASSERT_TRUE(Sim.WaitForEvents("device_done", device + 1));
        const int padded = (int(images[device].size()) + 2047) / 2048 * 2048;
        EXPECT_EQ(Sim.Image(), images[device].leftJustified(padded, '\0'));
    }
    ASSERT_TRUE(Sim.WaitForExit());
    EXPECT_EQ(Sim.ExitCode(), 0);
    EXPECT_TRUE(Sim.Stderr().contains("devices done 2, frames good 4, bad 0, stop frames 0"));
}

}  // namespace
