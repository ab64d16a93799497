#include <gtest/gtest.h>

#include "sim_fixture.h"
#include "support/named_case.h"
#include "test_frames.h"

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

struct TAnswerCase {
    std::string Name;
    QStringList Args;
    int Requests;  // written at once
    std::vector<bool> Answered;
    int Skipped;  // requests after the answer: the device is taking frames by then
};

const TAnswerCase kAnswerCases[] = {
    {"PlainDevice", {}, 2, {true}, 1},
    {"AnswerAfterThree", {"--answer-after", "3"}, 4, {false, false, true}, 1},
    {"NeverAnswer", {"--never-answer"}, 5, {false, false, false, false, false}, 0},
};

class SimAnswer : public SimProcessTest, public ::testing::WithParamInterface<TAnswerCase> {};

TEST_P(SimAnswer, AnswersTheHandshakeOnlyWhenToldTo) {
    const TAnswerCase& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(StartSim(row.Args));
    ASSERT_TRUE(Line->Write(QByteArray(row.Requests, '\x5A')));
    ASSERT_TRUE(Sim.WaitForTrace([&](const QList<TSimEvent>&) {
        int skipped = 0;
        for (const TSimEvent& e : Sim.Events("skipped")) skipped += int(e.Count);
        return Sim.Events("shake_rx").size() == qsizetype(row.Answered.size()) &&
               skipped == row.Skipped;
    }));
    std::vector<bool> answered;
    for (const TSimEvent& e : Sim.Events("shake_rx")) answered.push_back(e.Answered);
    EXPECT_EQ(answered, row.Answered);
    const bool answers = row.Answered.back();
    if (answers) {
        EXPECT_EQ(Line->Read(1), "\xA5");
    }
    EXPECT_EQ(Line->ReadWaiting(), QByteArray());
    EXPECT_EQ(RepliesOf("A5"), answers ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Options, SimAnswer, ::testing::ValuesIn(kAnswerCases), RowName());

using SimAnswerAfter = SimProcessTest;

TEST_F(SimAnswerAfter, CountsTheRequestsOfEachDevice) {
    ASSERT_NO_FATAL_FAILURE(StartSim({"--answer-after", "2"}));
    for (int device = 0; device < 2; ++device) {
        ASSERT_TRUE(Line->Write("\x5A"));
        ASSERT_TRUE(Sim.WaitForEvents("shake_rx", 2 * device + 1));
        ASSERT_NO_FATAL_FAILURE(Handshake());
        ASSERT_NO_FATAL_FAILURE(SendFrame(TestLastFrame(kTestFlashBase, "\x01")));
        ASSERT_EQ(Line->Read(1), "\x85");
        ASSERT_TRUE(Sim.WaitForEvents("device_done", device + 1));
    }
    QList<qint64> numbers;
    for (const TSimEvent& e : Sim.Events("shake_rx")) numbers << e.N;
    EXPECT_EQ(numbers, QList<qint64>({1, 2, 1, 2}));
}

}  // namespace
