// The simulator waits in poll, never in a spinning loop, whatever the line is doing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <functional>

#include "app/event_loop.h"
#include "sim_fixture.h"
#include "support/named_case.h"

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

constexpr int kWindowMs = 500;

// User and system time the process has used, in milliseconds.
qint64 CpuMs(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = stat.readAll();
    // The fields after the command name in parentheses; utime and stime are the 12th and
    // 13th of them.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const qint64 ticks = fields.value(11).toLongLong() + fields.value(12).toLongLong();
    return ticks * 1000 / sysconf(_SC_CLK_TCK);
}

struct TQuietCase {
    std::string Name;
    QStringList Args;
    std::function<void(TToolLine&)> Before;  // what the tool does before the measurement
};

const TQuietCase kQuietCases[] = {
    {"AfterTheToolClosedItsEnd",
     {},
     [](TToolLine& line) {
         line.Write("\x5A");
         line.Read(1);
         line.Close();
     }},
    {"NoiseThatNobodyReads", {"--noise", "5000"}, [](TToolLine&) {}},
    {"PacedReadingOfAWriteBacklog",
     {"--baud", "9600", "--noise", "100"},
     [](TToolLine& line) { line.Write(QByteArray(64 * 1024, '\0'), 0); }},
    {"DelayedAcksPending",
     {"--ack-delay", "2000"},
     [](TToolLine& line) {
         line.Write("\x5A");
         line.Read(1);
         line.Write(QByteArray::fromHex("F1F108004000") + QByteArray(2052, '\0') +
                    QByteArray::fromHex("0D0A"));
     }},
};

class SimNoSpin : public SimProcessTest, public ::testing::WithParamInterface<TQuietCase> {};

TEST_P(SimNoSpin, UsesLittleCpuWhileItWaits) {
    ASSERT_NO_FATAL_FAILURE(StartSim(GetParam().Args));
    GetParam().Before(*Line);
    const qint64 before = CpuMs(Sim.Pid());
    ASSERT_GE(before, 0);
    // A measuring window, not a wait for something to happen.
    QDeadlineTimer window(kWindowMs);
    while (!window.hasExpired()) PumpMessagesOrWait(int(window.remainingTime()));
    ASSERT_TRUE(Sim.Running());
    EXPECT_LT(CpuMs(Sim.Pid()) - before, kWindowMs / 10);
}

INSTANTIATE_TEST_SUITE_P(Lines, SimNoSpin, ::testing::ValuesIn(kQuietCases), RowName());

}  // namespace
