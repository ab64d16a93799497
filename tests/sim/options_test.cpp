#include "tools/sim/options.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/named_case.h"

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

struct TGoodLine {
    std::string Name;
    QStringList Args;
    std::function<qint64(const sim::TOptions&)> Field;
    qint64 Expected;
};

const TGoodLine kGoodLines[] = {
    {"AnswerAfter", {"--answer-after", "3"}, [](auto& o) { return o.Device.AnswerAfter; }, 3},
    {"NeverAnswer", {"--never-answer"}, [](auto& o) { return o.Device.NeverAnswer; }, 1},
    {"DropAcks", {"--drop-acks", "2"}, [](auto& o) { return o.Device.DropAcks; }, 2},
    {"DropEvery", {"--drop-every=4"}, [](auto& o) { return o.Device.DropEvery; }, 4},
    {"AckDelayInMicroseconds",
     {"--ack-delay", "250"},
     [](auto& o) { return o.Device.AckDelayUs; },
     250000},
    {"NeverAck", {"--never-ack"}, [](auto& o) { return o.Device.NeverAck; }, 1},
    {"Noise", {"--noise", "500"}, [](auto& o) { return o.Device.NoiseRate; }, 500},
    {"VanishAfter", {"--vanish-after", "2"}, [](auto& o) { return o.Device.VanishAfter; }, 2},
    {"Baud", {"--baud=115200"}, [](auto& o) { return o.Baud; }, 115200},
    {"Devices", {"--devices", "5"}, [](auto& o) { return o.Devices; }, 5},
    {"Out", {"--out", "/tmp/a.bin"}, [](auto& o) { return o.OutPath == "/tmp/a.bin"; }, 1},
    {"Trace", {"--trace=/tmp/t"}, [](auto& o) { return o.TracePath == "/tmp/t"; }, 1},
    {"Link", {"--link", "/tmp/ttyS"}, [](auto& o) { return o.LinkPath == "/tmp/ttyS"; }, 1},
    {"Help", {"-h"}, [](auto& o) { return o.Help; }, 1},
    {"LaterWins", {"--baud", "300", "--baud", "9600"}, [](auto& o) { return o.Baud; }, 9600},
    {"NothingGivenIsAPlainDevice",
     {},
     [](auto& o) {
         return o.Device.AnswerAfter == 1 && !o.Device.NeverAck && o.Device.NoiseRate == 0 &&
                o.Baud == 0 && o.Devices == 0;
     },
     1},
};

class SimOptions : public ::testing::TestWithParam<TGoodLine> {};

TEST_P(SimOptions, TakesTheValue) {
    const sim::TParsedOptions parsed = sim::ParseOptions(GetParam().Args);
    ASSERT_TRUE(parsed.Error.isEmpty()) << qPrintable(parsed.Error);
    EXPECT_EQ(GetParam().Field(parsed.Options), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, SimOptions, ::testing::ValuesIn(kGoodLines), RowName());

}  // namespace
