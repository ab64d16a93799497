// While it runs the simulator's port is listed where the tool looks, and every way out takes
// the listing and the link away again.
#include <gtest/gtest.h>
#include <signal.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "link/settings_store.h"
#include "sim_fixture.h"
#include "support/named_case.h"
#include "test_frames.h"

namespace {

// Rows here live in this unnamed namespace, where gtest looks for their printer.
using ::operator<<;

constexpr const char* kSerialComm = "HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The registered path of the simulator with that process id; empty when none.
QString RegisteredPath(qint64 pid) {
    TRegistryFile file;
    if (!TSettingsStore().Read(file)) return "unreadable";
    const TRegKey* key = file.FindKey(kSerialComm);
    const TRegValue* value = key ? key->Find(QString("vardo-sim-%1").arg(pid)) : nullptr;
    return value ? value->Text : QString();
}

struct TEnding {
    std::string Name;
    QStringList Args;
    std::function<void(SimProcessTest&, TToolLine&, TSimProcess&)> End;
};

class SimRegistration : public SimProcessTest, public ::testing::WithParamInterface<TEnding> {
  public:
    void Burn(const QByteArray& frame) {
        ASSERT_NO_FATAL_FAILURE(Handshake());
        ASSERT_TRUE(Line->Write(frame));
    }
};

const TEnding kEndings[] = {
    {"Sigterm", {}, [](auto&, auto&, TSimProcess& sim) { ::kill(pid_t(sim.Pid()), SIGTERM); }},
    {"Sigint", {}, [](auto&, auto&, TSimProcess& sim) { ::kill(pid_t(sim.Pid()), SIGINT); }},
    {"Vanish",
     {"--vanish-after", "1"},
     [](SimProcessTest& test, auto&, auto&) {
         static_cast<SimRegistration&>(test).Burn(TestBlockFrame(kTestFlashBase, "\x01"));
     }},
    {"LastDevice",
     {"--devices", "1"},
     [](SimProcessTest& test, TToolLine& line, auto&) {
         static_cast<SimRegistration&>(test).Burn(TestLastFrame(kTestFlashBase, "\x01"));
         line.Read(1);
     }},
};

TEST_P(SimRegistration, ListsThePortWhileRunningAndRemovesItOnEveryWayOut) {
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyVardoSim");
    ASSERT_NO_FATAL_FAILURE(StartSim(GetParam().Args + QStringList{"--link", link}));
    const qint64 pid = Sim.Pid();
    EXPECT_EQ(RegisteredPath(pid), Sim.DevicePath());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), Sim.DevicePath());

    ASSERT_NO_FATAL_FAILURE(GetParam().End(*this, *Line, Sim));
    ASSERT_TRUE(Sim.WaitForExit());
    EXPECT_EQ(Sim.ExitCode(), 0);
    EXPECT_EQ(RegisteredPath(pid), QString());
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(Sim.Stderr().contains("vardo-sim: devices done"));
}

INSTANTIATE_TEST_SUITE_P(Endings, SimRegistration, ::testing::ValuesIn(kEndings), RowName());

}  // namespace
