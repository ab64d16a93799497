#include <gtest/gtest.h>

#include "sim_fixture.h"
#include "support/named_case.h"
#include "test_frames.h"

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

const QByteArray kImage = TestImage(4096);  // a block frame, then a last-block frame
const QList<QByteArray> kFrames = TestImageFrames(kImage);

struct TAckCase {
    std::string Name;
    QStringList Args;
    std::vector<int> Sends;  // which frame goes out, in order
    QStringList Acks;        // the simulator's verdict on each
    int DevicesDone;
};

const TAckCase kAckCases[] = {
    {"PlainDevice", {}, {0, 1}, {"sent", "sent"}, 1},
    // Each block's own first two go; the last block is done only once its ack went out.
    {"DropAcks",
     {"--drop-acks", "2"},
     {0, 0, 0, 1, 1, 1},
     {"dropped", "dropped", "sent", "dropped", "dropped", "sent"},
     1},
    {"DropEvery", {"--drop-every", "2"}, {0, 1, 1}, {"sent", "dropped", "sent"}, 1},
    {"NeverAck", {"--never-ack"}, {0, 0, 0}, {"withheld", "withheld", "withheld"}, 0},
};

class SimAcks : public SimProcessTest, public ::testing::WithParamInterface<TAckCase> {};

TEST_P(SimAcks, AcknowledgesAsToldAndFinishesOnlyOnTheLastAck) {
    const TAckCase& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(StartSim(row.Args));
    ASSERT_NO_FATAL_FAILURE(Handshake());
    QStringList acks;
    for (size_t i = 0; i < row.Sends.size(); ++i) {
        ASSERT_NO_FATAL_FAILURE(SendFrame(kFrames[row.Sends[i]]));
        acks << Sim.Events("frame").last().Ack;
        if (acks.last() == "sent") {
            EXPECT_EQ(Line->Read(1), "\x85") << i;
        }
    }
    EXPECT_EQ(acks, row.Acks);
    if (row.DevicesDone > 0) {
        ASSERT_TRUE(Sim.WaitForEvents("device_done", row.DevicesDone));
    }
    EXPECT_EQ(Sim.Events("device_done").size(), row.DevicesDone);
    EXPECT_EQ(RepliesOf("85"), row.Acks.count("sent"));
    EXPECT_EQ(Line->ReadWaiting(), QByteArray());
    EXPECT_EQ(Sim.Image(), row.DevicesDone > 0 ? kImage : QByteArray());
}

INSTANTIATE_TEST_SUITE_P(Options, SimAcks, ::testing::ValuesIn(kAckCases), RowName());

using SimAckDelay = SimProcessTest;

TEST_F(SimAckDelay, SendsTheAckLateWhileItGoesOnReading) {
    constexpr qint64 kDelayUs = 300000;
    ASSERT_NO_FATAL_FAILURE(StartSim({"--ack-delay", "300"}));
    ASSERT_NO_FATAL_FAILURE(Handshake());
    const qint64 sentUs = TSimProcess::NowUs();
    ASSERT_NO_FATAL_FAILURE(SendFrame(kFrames[0]));
    // Bytes written during the delay are taken in before the ack goes out.
    ASSERT_TRUE(Line->Write(QByteArray::fromHex("001122")));
    ASSERT_TRUE(Sim.WaitForEvents("skipped"));
    EXPECT_EQ(RepliesOf("85"), 0);
    ASSERT_EQ(Line->Read(1, 2000), "\x85");
    EXPECT_GE(TSimProcess::NowUs() - sentUs, kDelayUs);
    ASSERT_TRUE(Sim.WaitForEvents("reply", 2));
    const TSimEvent frame = Sim.Events("frame").value(0);
    const TSimEvent ack = Sim.Events("reply").value(1);
    EXPECT_EQ(frame.Ack, "delayed");
    EXPECT_EQ(ack.Byte, "85");
    EXPECT_GE(ack.TUs - frame.TUs, kDelayUs);
    EXPECT_LT(ack.TUs - frame.TUs, kDelayUs + 150000);
    EXPECT_EQ(Sim.Events("skipped").value(0).Count, 3);
}

}  // namespace
