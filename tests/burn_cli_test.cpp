// vardo-burn end to end: the real program against vardo-sim processes, as a script or a
// test jig would run it.
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "sim/sim_process.h"
#include "support/images.h"
#include "support/named_case.h"
#include "support/pty_pair.h"

namespace {

struct TBurnResult {
    int Status = -1;  // -1: did not end in time, or crashed
    QByteArray Out;
    QByteArray Err;
    QList<QJsonObject> Events() const {
        QList<QJsonObject> events;
        for (const QByteArray& line : Out.split('\n'))
            if (!line.isEmpty()) events.append(QJsonDocument::fromJson(line).object());
        return events;
    }
    QList<QJsonObject> Events(const QString& station, const QString& event) const {
        QList<QJsonObject> events;
        for (const QJsonObject& e : Events())
            if (e["station"].toString() == station && e["event"].toString() == event)
                events.append(e);
        return events;
    }
    QStringList ErrLines() const { return QString::fromUtf8(Err).split('\n', Qt::SkipEmptyParts); }
};

TBurnResult RunBurn(const QStringList& args, int timeoutMs = 30000) {
    QProcess process;
    process.start(VARDO_BURN_PATH, args);
    TBurnResult result;
    if (process.waitForStarted() && process.waitForFinished(timeoutMs) &&
        process.exitStatus() == QProcess::NormalExit)
        result.Status = process.exitCode();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    result.Out = process.readAllStandardOutput();
    result.Err = process.readAllStandardError();
    return result;
}

class BurnCli : public ::testing::Test {
  protected:
    QString WriteImage(const QByteArray& bytes, const QString& name = "image.bin") {
        const QString path = mDir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // Starts `count` simulators; the first `special` get `specialArgs`.
    void StartSims(int count, const QStringList& args = {}, int special = 0,
                   const QStringList& specialArgs = {}) {
        for (int i = 0; i < count; ++i) {
            mSims.push_back(std::make_unique<TSimProcess>());
            ASSERT_TRUE(mSims.back()->Start(i < special ? specialArgs : args));
        }
    }
    QStringList PortArgs() const {
        QStringList args;
        for (const auto& sim : mSims) args << "-p" << sim->DevicePath();
        return args;
    }
    static QList<TSimEvent> Frames(TSimProcess& sim, const QString& kind) {
        QList<TSimEvent> frames;
        for (const TSimEvent& e : sim.Events("frame"))
            if (e.Kind == kind) frames.append(e);
        return frames;
    }
    static bool TwoStopFrames(TSimProcess& sim) {
        return sim.WaitForTrace(
            [&](const QList<TSimEvent>&) { return Frames(sim, "stop").size() == 2; });
    }

    QTemporaryDir mDir;
    std::vector<std::unique_ptr<TSimProcess>> mSims;
};

}  // namespace

TEST_F(BurnCli, OneStationOnALinkBurnsThreeDevicesByteForByteInPlainDatedLines) {
    StartSims(1);
    const QByteArray image = RandomImage(5000);
    // A stable name such as /dev/serial/by-id/... is a link to the device.
    const QString link = mDir.filePath("by-id-link");
    ASSERT_EQ(::symlink(qPrintable(mSims[0]->DevicePath()), qPrintable(link)), 0);
    const TBurnResult r = RunBurn({"-p", link, "-n", "3", WriteImage(image)});
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    TSimProcess& sim = *mSims[0];
    EXPECT_EQ(sim.Events("device_done").size(), 3);
    EXPECT_EQ(sim.Image(), Padded(image));
    EXPECT_TRUE(sim.Events("bad_frame").isEmpty());
    EXPECT_TRUE(TwoStopFrames(sim));
    EXPECT_TRUE(r.Err.isEmpty());
    // Not a terminal: dated lines only, no control characters.
    const QStringList lines = QString::fromUtf8(r.Out).split('\n', Qt::SkipEmptyParts);
    const QRegularExpression dated("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d " +
                                   QRegularExpression::escape(link) + " ");
    for (const QString& line : lines)
        EXPECT_TRUE(dated.match(line).hasMatch()) << line.toStdString();
    EXPECT_FALSE(r.Out.contains('\x1b'));
    EXPECT_EQ(lines.filter(" done: No : ").size(), 3);
    EXPECT_EQ(lines.filter(" Update complete. ").size(), 3);
    EXPECT_TRUE(lines.last().endsWith("stopped after 3 devices"));
}

TEST_F(BurnCli, FourStationsBurnTheirDevicesAtTheSameTime) {
    StartSims(4);
    const QByteArray image = RandomImage(4 * 2048);
    const TBurnResult r = RunBurn(PortArgs() + QStringList{"-n", "2", "--json", WriteImage(image)});
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    // Every line is one JSON object with the fields every event has.
    for (const QJsonObject& e : r.Events()) {
        EXPECT_FALSE(e["time"].toString().isEmpty());
        EXPECT_FALSE(e["station"].toString().isEmpty());
        EXPECT_FALSE(e["event"].toString().isEmpty());
    }
    QDateTime latestStart, earliestEnd;
    for (const auto& sim : mSims) {
        const QString port = sim->DevicePath();
        const QList<QJsonObject> done = r.Events(port, "done");
        ASSERT_EQ(done.size(), 2) << port.toStdString();
        EXPECT_EQ(done[1]["flow"].toInt(), 2);
        EXPECT_EQ(done[0]["blocks"].toInt(), 4);
        EXPECT_EQ(done[0]["frames_sent"].toInt(), 4 + done[0]["resends"].toInt());
        EXPECT_EQ(done[0]["image_bytes"].toInt(), image.size());
        EXPECT_EQ(done[0]["image_sha256"].toString(),
                  QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
        EXPECT_EQ(r.Events(port, "stopped").size(), 1);
        EXPECT_EQ(r.Events(port, "progress").size(), 8);
        EXPECT_EQ(sim->Image(), Padded(image));
        const QDateTime started =
            QDateTime::fromString(done[0]["started"].toString(), Qt::ISODateWithMs);
        const QDateTime ended =
            QDateTime::fromString(done[0]["ended"].toString(), Qt::ISODateWithMs);
        ASSERT_TRUE(started.isValid() && ended.isValid());
        if (!latestStart.isValid() || started > latestStart) latestStart = started;
        if (!earliestEnd.isValid() || ended < earliestEnd) earliestEnd = ended;
    }
    // Each station's first device was under way while every other's was.
    EXPECT_LT(latestStart, earliestEnd);
}

TEST_F(BurnCli, AVanishingDeviceFailsItsStationWhileTheOthersFinish) {
    StartSims(4, {}, 1, {"--vanish-after", "2"});
    const QByteArray image = RandomImage(6 * 2048);
    const TBurnResult r = RunBurn(PortArgs() + QStringList{"-n", "2", "--json", WriteImage(image)});
    EXPECT_EQ(r.Status, 1);
    const QString lost = mSims[0]->DevicePath();
    ASSERT_EQ(r.ErrLines().size(), 1) << r.Err.toStdString();
    EXPECT_TRUE(r.ErrLines()[0].startsWith("vardo-burn: " + lost + ": the port went away"));
    ASSERT_EQ(r.Events(lost, "error").size(), 2);  // the device's outcome, then the station's
    EXPECT_EQ(r.Events(lost, "error")[0]["result"].toString(), "lost");
    EXPECT_EQ(r.Events(lost, "stopped")[0]["status"].toString(), "failed");
    for (size_t i = 1; i < mSims.size(); ++i) {
        const QString port = mSims[i]->DevicePath();
        EXPECT_EQ(r.Events(port, "done").size(), 2);
        EXPECT_EQ(r.Events(port, "stopped")[0]["status"].toString(), "ok");
        EXPECT_EQ(mSims[i]->Image(), Padded(image));
    }
}

TEST_F(BurnCli, ADeviceThatNeverAcknowledgesEndsWithStatusOne) {
    StartSims(1, {"--never-ack"});
    const TBurnResult r = RunBurn(PortArgs() + QStringList{"--json", WriteImage(RandomImage(100))});
    EXPECT_EQ(r.Status, 1);
    const QString port = mSims[0]->DevicePath();
    EXPECT_EQ(r.Events(port, "timed_out").size(), 1);
    EXPECT_EQ(r.ErrLines().size(), 1);
    EXPECT_TRUE(r.ErrLines().value(0).contains("timed out"));
    EXPECT_TRUE(TwoStopFrames(*mSims[0]));
}

TEST_F(BurnCli, SigintMidBurnStopsEveryStationWithTwoStopFrames) {
    StartSims(3);
    QProcess process;
    process.start(VARDO_BURN_PATH,
                  PortArgs() + QStringList{"--json", WriteImage(RandomImage(20 * 2048))});
    QByteArray out;
    ASSERT_TRUE(WaitFor(
        [&] {
            out += process.readAllStandardOutput();
            return out.count("\"progress\"") >= 6;
        },
        10000));
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130);
    out += process.readAllStandardOutput();
    for (const auto& sim : mSims) {
        EXPECT_TRUE(TwoStopFrames(*sim)) << sim->DevicePath().toStdString();
        const QList<TSimEvent> stops = Frames(*sim, "stop");
        if (stops.size() == 2) {
            EXPECT_GE((stops[1].StartUs - stops[0].TUs) / 1000, 199);
        }
    }
    EXPECT_EQ(out.count("\"status\":\"interrupted\""), 3);
}

TEST_F(BurnCli, APortThatCannotBeOpenedEndsWithStatusThreeAndSendsNothing) {
    StartSims(1);
    const QString missing = mDir.filePath("no-such-port");
    const TBurnResult r =
        RunBurn(PortArgs() + QStringList{"-p", missing, WriteImage(RandomImage(100))});
    EXPECT_EQ(r.Status, 3);
    EXPECT_EQ(r.ErrLines(), QStringList{"vardo-burn: cannot open " + missing +
                                        ": Unable to open com port (Error: 2)"});
    RunEventsFor(100);
    EXPECT_TRUE(mSims[0]->Events("shake_rx").isEmpty());
}

TEST_F(BurnCli, ListPrintsThePortsTheWindowOffers) {
    StartSims(1);
    const TBurnResult r = RunBurn({"--list"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_TRUE(QString::fromUtf8(r.Out).split('\n').contains(mSims[0]->DevicePath()));
}

TEST_F(BurnCli, HelpFitsEightyColumnsAndVersionNamesTheProgram) {
    const TBurnResult help = RunBurn({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_TRUE(help.Out.startsWith("Usage: vardo-burn [options] IMAGE"));
    for (const QString& line : QString::fromUtf8(help.Out).split('\n')) EXPECT_LE(line.size(), 80);
    const TBurnResult version = RunBurn({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_TRUE(version.Out.startsWith("vardo-burn "));
}

// Each row's arguments; PORT is a running simulator's port, LINK a link to it, IMAGE a good
// image, EMPTY an empty file, DIR a directory.
struct TUsageCase {
    const char* Name;
    QStringList Args;
    const char* Says;  // part of the one line on stderr
};

class UsageError : public BurnCli, public ::testing::WithParamInterface<TUsageCase> {};

TEST_P(UsageError, EndsWithStatusTwoSaysWhyInOneLineAndSendsNothing) {
    StartSims(1);
    const QString port = mSims[0]->DevicePath();
    const QString link = mDir.filePath("link");
    ASSERT_EQ(::symlink(qPrintable(port), qPrintable(link)), 0);
    const QString dir = mDir.filePath("dir");
    ASSERT_TRUE(QDir().mkdir(dir));
    QStringList args;
    for (const QString& a : GetParam().Args) {
        if (a == "PORT")
            args << port;
        else if (a == "LINK")
            args << link;
        else if (a == "IMAGE")
            args << WriteImage(RandomImage(100));
        else if (a == "EMPTY")
            args << WriteImage({}, "empty.bin");
        else if (a == "DIR")
            args << dir;
        else
            args << a;
    }
    const TBurnResult r = RunBurn(args);
    EXPECT_EQ(r.Status, 2);
    ASSERT_EQ(r.ErrLines().size(), 1) << r.Err.toStdString();
    EXPECT_TRUE(r.ErrLines()[0].startsWith("vardo-burn: "));
    EXPECT_TRUE(r.ErrLines()[0].contains(GetParam().Says)) << r.ErrLines()[0].toStdString();
    EXPECT_TRUE(r.Out.isEmpty());
    RunEventsFor(100);
    EXPECT_TRUE(mSims[0]->Events("shake_rx").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsageError,
    ::testing::Values(
        TUsageCase{"NoArguments", {}, "no image given"},
        TUsageCase{"NoImage", {"-p", "PORT"}, "no image given"},
        TUsageCase{"NoPort", {"IMAGE"}, "no port given"},
        TUsageCase{"TwoImages", {"-p", "PORT", "IMAGE", "IMAGE"}, "one image only"},
        TUsageCase{"UnknownOption", {"-p", "PORT", "--bogus", "IMAGE"}, "Unknown option 'bogus'"},
        TUsageCase{"PortWithoutItsValue", {"IMAGE", "-p"}, "Missing value after '-p'"},
        TUsageCase{"CountWithoutItsValue",
                   {"-p", "PORT", "IMAGE", "--count"},
                   "Missing value after '--count'"},
        TUsageCase{
            "CountZero", {"-p", "PORT", "-n", "0", "IMAGE"}, "--count must be a whole number"},
        TUsageCase{
            "CountNegative", {"-p", "PORT", "-n", "-3", "IMAGE"}, "--count must be a whole number"},
        TUsageCase{"CountNotANumber",
                   {"-p", "PORT", "-n", "many", "IMAGE"},
                   "--count must be a whole number"},
        TUsageCase{"CountAFraction",
                   {"-p", "PORT", "-n", "1.5", "IMAGE"},
                   "--count must be a whole number"},
        TUsageCase{"UnknownPace", {"-p", "PORT", "--pace", "fast", "IMAGE"}, "unknown pace 'fast'"},
        TUsageCase{"BaudNotANumber", {"-p", "PORT", "--baud", "fast", "IMAGE"}, "--baud must be"},
        TUsageCase{"SamePortTwice", {"-p", "PORT", "-p", "PORT", "IMAGE"}, "is given twice"},
        TUsageCase{"SamePortByALink", {"-p", "PORT", "-p", "LINK", "IMAGE"}, "is given twice"},
        TUsageCase{"ImageMissing", {"-p", "PORT", "/no/such/image.bin"}, "does not exist"},
        TUsageCase{"ImageEmpty", {"-p", "PORT", "EMPTY"}, "is empty"},
        TUsageCase{"ImageADirectory", {"-p", "PORT", "DIR"}, "is a directory"},
        // Opens, but every read fails (EIO), even for root.
        TUsageCase{"ImageUnreadable", {"-p", "PORT", "/proc/self/mem"}, "cannot read the image"}),
    RowName());

// The live view: vardo-burn on a pseudo-terminal of the test's own.
TEST_F(BurnCli, OnATerminalEachStationHasALiveLineRedrawnInPlace) {
    StartSims(2);
    const QString image = WriteImage(RandomImage(6 * 2048));
    QList<QByteArray> argv;
    argv << VARDO_BURN_PATH;
    for (const QString& a : PortArgs() + QStringList{"-n", "2", image}) argv << a.toUtf8();
    std::vector<char*> cargv;
    for (QByteArray& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    winsize size{};
    size.ws_col = 100;
    size.ws_row = 30;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execv(cargv[0], cargv.data());
        _exit(127);
    }
    QByteArray screen;
    int status = -1;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30000) {
        char buffer[4096];
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(master, &fds);
        timeval tv{0, 50000};
        if (select(master + 1, &fds, nullptr, nullptr, &tv) > 0) {
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0) screen.append(buffer, int(n));
            if (n <= 0) break;  // the program has ended and closed the terminal
        }
        if (waitpid(pid, &status, WNOHANG) == pid) {
            while (read(master, buffer, sizeof buffer) > 0) {
            }
            break;
        }
    }
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    close(master);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const QString text = QString::fromUtf8(screen);
    // Lines redrawn in place: the cursor goes up over them and clears them.
    EXPECT_TRUE(text.contains("\x1b[2A\r\x1b[J"));
    // A station's live line while it burns: port, state, device, bar, block k/n, percent.
    const QRegularExpression live(QRegularExpression::escape(mSims[0]->DevicePath()) +
                                  " +burning +done 0 +\\[#*-*\\] [1-5]/6 +\\d+%  resends \\d+");
    EXPECT_TRUE(live.match(text).hasMatch()) << text.toStdString();
    // Finished devices as dated lines above the live lines.
    EXPECT_EQ(text.count(QRegularExpression("\\d\\d:\\d\\d:\\d\\d \\S+ done: No : ")), 4);
    for (const QString& line : text.split('\n'))
        EXPECT_LE(line.section('\r', -1).size(), 100) << line.toStdString();
}
