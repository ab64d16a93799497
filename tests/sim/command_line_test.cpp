#include <gtest/gtest.h>

#include "sim/sim_process.h"
#include "support/named_case.h"

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

struct TBadLine {
    std::string Name;
    QStringList Args;
    QByteArray Message;
};

const TBadLine kBadLines[] = {
    {"UnknownOption", {"--bogus"}, "unknown option '--bogus'"},
    {"StrayArgument", {"extra"}, "unknown option 'extra'"},
    {"MissingValue", {"--noise"}, "--noise wants a value"},
    {"NotANumber", {"--ack-delay", "soon"}, "--ack-delay wants a whole number"},
    {"OutOfRange", {"--baud", "5"}, "--baud wants a whole number from 10"},
    {"FlagWithAValue", {"--never-ack=yes"}, "--never-ack takes no value"},
    {"EmptyPath", {"--out="}, "--out wants a non-empty FILE"},
};

class SimBadOption : public ::testing::TestWithParam<TBadLine> {};

TEST_P(SimBadOption, EndsWithStatusTwoAndSaysWhy) {
    const TSimRun run = TSimProcess::Run(GetParam().Args);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.contains(GetParam().Message)) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains("--help"));
    EXPECT_TRUE(run.Out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Lines, SimBadOption, ::testing::ValuesIn(kBadLines), RowName());

TEST(SimHelp, ListsEveryOptionAndEndsWithStatusZero) {
    const TSimRun run = TSimProcess::Run({"--help"});
    EXPECT_EQ(run.ExitCode, 0);
    for (const char* option :
         {"--out FILE", "--trace FILE", "--link PATH", "--devices N", "--answer-after N",
          "--never-answer", "--drop-acks N", "--drop-every K", "--ack-delay MS", "--never-ack",
          "--noise RATE", "--vanish-after N", "--baud B", "--help"})
        EXPECT_TRUE(run.Out.contains(option)) << option;
}

}  // namespace
