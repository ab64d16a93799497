#include "tools/sim/line_pacer.h"

#include <gtest/gtest.h>

#include "support/named_case.h"

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

struct TRate {
    std::string Name;
    int BytesPerSecond;
    int Chunk;
};

class SimLinePacer : public ::testing::TestWithParam<TRate> {};

// Reading greedily whenever the pacer allows: the next read never comes sooner than the
// bytes read so far would take on the wire, and a second holds at most a hundred reads.
TEST_P(SimLinePacer, NeverReadsFasterThanTheLine) {
    const TRate& rate = GetParam();
    sim::TLinePacer pacer(rate.BytesPerSecond);
    EXPECT_EQ(pacer.ChunkSize(), rate.Chunk);
    qint64 read = 0;
    int readsInFirstSecond = 0;
    for (qint64 now = 0; now < 3000000; now = pacer.ReadyUs()) {
        pacer.Consumed(pacer.ChunkSize(), now);
        read += pacer.ChunkSize();
        if (now < 1000000) ++readsInFirstSecond;
        ASSERT_GE(pacer.ReadyUs() * rate.BytesPerSecond, read * 1000000);
    }
    EXPECT_GE(read, 3 * rate.BytesPerSecond - rate.Chunk);
    EXPECT_LE(readsInFirstSecond, 100);
}

INSTANTIATE_TEST_SUITE_P(Rates, SimLinePacer,
                         ::testing::Values(TRate{"Baud300", 30, 1}, TRate{"Baud9600", 960, 10},
                                           TRate{"Baud115200", 11520, 116}),
                         RowName());

TEST(SimLinePacerIdle, ALateReadEarnsNoBurst) {
    sim::TLinePacer pacer(1000);
    pacer.Consumed(10, 5000000);
    EXPECT_EQ(pacer.ReadyUs(), 5010000);
}

}  // namespace
