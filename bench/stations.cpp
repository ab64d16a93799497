#include "bench/stations.h"

#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/bench_window.h"
#include "bench/figures.h"
#include "burn/protocol.h"
#include "sim/sim_process.h"

namespace {

constexpr int kSmallBlocks = 4;
constexpr int kLargeBlocks = 32;  // 64 KiB
// About 0.83 s a device at the fixed pace, so each run takes some 13 s.
constexpr int kDevicesPerStation = 16;
constexpr int kAckDelayMs = 5;
constexpr int kSlowBaud = 57600;
constexpr int kLineBitsPerByte = 10;  // start, 8 data bits, stop
constexpr int kRunTimeoutMs = 180000;
constexpr int kReadPollMs = 50;
constexpr int kStopGraceMs = 5000;
// A slow line may still hold frames when the tool has finished.
constexpr int kDeviceDoneWaitMs = 30000;
constexpr int kScalingStations[] = {1, 4, 16};
constexpr int kMostStations = 16;

// The CPU seconds (user + system, all threads) of another process so far; -1 when gone.
double ProcessCpuSeconds(qint64 pid) {
    QFile file(QString("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = file.readAll();
    // The command name may hold spaces and parentheses; the fields after its last ')' do not.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    constexpr int kUtimeField = 11;  // proc(5) fields 14 and 15, counted from field 3
    constexpr int kStimeField = 12;
    if (fields.size() <= kStimeField) return -1;
    const qint64 ticks = fields[kUtimeField].toLongLong() + fields[kStimeField].toLongLong();
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

QDateTime ParseTime(const QJsonValue& v) {
    return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

// What one vardo-burn run said on stdout, and how it ended.
struct TBurnRun {
    int ExitCode = -1;  // -1: crashed, or killed at the deadline
    int Done = 0;
    int Failures = 0;  // timed_out and error events
    int Stopped = 0;   // stopped events with status ok
    QDateTime FirstStart, LastEnd;
    // Of the latest done event.
    double DurationS = -1;
    int FramesSent = 0;
    int Resends = 0;
    // From the first burning event to the last done one.
    double CpuPerWall = -1;

    double DevicesPerMinute() const {
        if (Done == 0 || !FirstStart.isValid() || !LastEnd.isValid()) return -1;
        return Done * 60000.0 / double(FirstStart.msecsTo(LastEnd));
    }
};

// Runs vardo-burn --json with `args` to its end; `expectedDone` done events make the end of
// the CPU sample.
TBurnRun RunBurn(const QStringList& args, int expectedDone) {
    TBurnRun run;
    QProcess burn;
    burn.start(VARDO_BURN_PATH, QStringList{"--json"} + args);
    if (!burn.waitForStarted()) {
        std::fprintf(stderr, "vardo-bench: vardo-burn did not start\n");
        return run;
    }
    const qint64 pid = burn.processId();
    double cpu0 = -1;
    qint64 wall0Us = 0;
    auto take = [&](const QJsonObject& e) {
        const QString event = e["event"].toString();
        if (event == "burning" && cpu0 < 0) {
            cpu0 = ProcessCpuSeconds(pid);
            wall0Us = TSimProcess::NowUs();
        } else if (event == "done") {
            const QDateTime started = ParseTime(e["started"]);
            const QDateTime ended = ParseTime(e["ended"]);
            if (!run.FirstStart.isValid() || started < run.FirstStart) run.FirstStart = started;
            if (!run.LastEnd.isValid() || ended > run.LastEnd) run.LastEnd = ended;
            run.DurationS = e["duration_s"].toDouble();
            run.FramesSent = e["frames_sent"].toInt();
            run.Resends = e["resends"].toInt();
            if (++run.Done == expectedDone && cpu0 >= 0) {
                const double cpu1 = ProcessCpuSeconds(pid);
                const qint64 wallUs = TSimProcess::NowUs() - wall0Us;
                if (cpu1 >= 0 && wallUs > 0)
                    run.CpuPerWall = (cpu1 - cpu0) / (double(wallUs) / 1e6);
            }
        } else if (event == "timed_out" || event == "error") {
            ++run.Failures;
            std::fprintf(stderr, "vardo-bench: vardo-burn: %s\n",
                         QJsonDocument(e).toJson(QJsonDocument::Compact).constData());
        } else if (event == "stopped" && e["status"].toString() == "ok") {
            ++run.Stopped;
        }
    };
    QDeadlineTimer deadline(kRunTimeoutMs);
    while (burn.canReadLine() || burn.state() != QProcess::NotRunning) {
        if (burn.canReadLine()) {
            take(QJsonDocument::fromJson(burn.readLine()).object());
            continue;
        }
        if (deadline.hasExpired()) {
            std::fprintf(stderr, "vardo-bench: vardo-burn still ran after %d s; ended\n",
                         kRunTimeoutMs / 1000);
            burn.terminate();
            if (!burn.waitForFinished(kStopGraceMs)) burn.kill();
            burn.waitForFinished(kStopGraceMs);
            return run;
        }
        burn.waitForReadyRead(kReadPollMs);
    }
    if (burn.exitStatus() == QProcess::NormalExit) run.ExitCode = burn.exitCode();
    const QByteArray err = burn.readAllStandardError();
    if (!err.isEmpty()) std::fprintf(stderr, "vardo-bench: vardo-burn: %s", err.constData());
    return run;
}

// End of a frame to the start of the next at one simulator, within each device: the gap from
// a device's last frame to the next device's first holds a handshake, and stop frames close
// the run.
QList<double> FrameGapsMs(TSimProcess& sim) {
    QList<double> gaps;
    qint64 prevEndUs = -1;
    for (const TSimEvent& e : sim.Events("frame")) {
        if (e.Kind == "stop") {
            prevEndUs = -1;
            continue;
        }
        if (prevEndUs >= 0) gaps.append(double(e.StartUs - prevEndUs) / 1000.0);
        prevEndUs = e.Kind == "last" ? -1 : e.TUs;
    }
    return gaps;
}

// The image as the device holds it: padded with zeros to whole blocks.
QByteArray PaddedImage(const QString& path) {
    QFile file(path);
    QByteArray image = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    image.append(QByteArray((BlockSize - image.size() % BlockSize) % BlockSize, '\0'));
    return image;
}

struct TStationsRun {
    TBurnRun Burn;
    QList<QList<double>> GapsMs;  // one list a station
    bool Exact = true;            // every simulator holds the image
    // At the first simulator: its first frame's first byte to its last device done.
    double DeviceSeconds = -1;
    bool Ok = false;  // exit 0, every device done, every station stopped well
};

// `stations` simulators, one vardo-burn on all of them burning `devices` each.
TStationsRun BurnOnStations(int stations, int devices, const QString& image,
                            const QStringList& simArgs, const QStringList& burnArgs) {
    TStationsRun result;
    std::vector<std::unique_ptr<TSimProcess>> sims;
    QStringList args = burnArgs + QStringList{"-n", QString::number(devices)};
    for (int i = 0; i < stations; ++i) {
        sims.push_back(std::make_unique<TSimProcess>());
        if (!sims.back()->Start(simArgs)) {
            std::fprintf(stderr, "vardo-bench: vardo-sim did not start\n");
            result.Exact = false;
            return result;
        }
        args += QStringList{"-p", sims.back()->DevicePath()};
    }
    result.Burn = RunBurn(args + QStringList{image}, stations * devices);
    const QByteArray expected = PaddedImage(image);
    for (const auto& sim : sims) {
        if (!sim->WaitForEvents("device_done", devices, kDeviceDoneWaitMs))
            std::fprintf(stderr, "vardo-bench: vardo-sim saw %d of %d devices done\n",
                         int(sim->Events("device_done").size()), devices);
        result.GapsMs.append(FrameGapsMs(*sim));
        if (sim->Image() != expected) result.Exact = false;
    }
    const QList<TSimEvent> frames = sims.front()->Events("frame");
    const QList<TSimEvent> done = sims.front()->Events("device_done");
    if (!frames.isEmpty() && !done.isEmpty())
        result.DeviceSeconds = double(done.back().TUs - frames.front().StartUs) / 1e6;
    const TBurnRun& b = result.Burn;
    result.Ok = b.ExitCode == 0 && b.Done == stations * devices && b.Failures == 0 &&
                b.Stopped == stations && result.Exact;
    if (!result.Ok)
        std::fprintf(stderr,
                     "vardo-bench: %d stations: exit %d, %d of %d done, %d failures, %d of %d "
                     "stopped, image %s\n",
                     stations, b.ExitCode, b.Done, stations * devices, b.Failures, b.Stopped,
                     stations, result.Exact ? "exact" : "differs");
    return result;
}

void ScalingFigures(TReport& report, const QString& image, bool& allOk) {
    report.Section(QString("vardo-burn on many stations: %1 KiB image (%2 blocks), %3 devices each")
                       .arg(kSmallBlocks * BlockSize / 1024)
                       .arg(kSmallBlocks)
                       .arg(kDevicesPerStation));
    double single = -1;
    for (int stations : kScalingStations) {
        const TStationsRun run = BurnOnStations(stations, kDevicesPerStation, image, {}, {});
        allOk = allOk && run.Ok;
        const double perMinute = run.Burn.DevicesPerMinute();
        if (stations == 1) single = perMinute;
        report.Add(
            QString("stations_%1_devices_per_min").arg(stations),
            QString("%1 station%2, devices per minute").arg(stations).arg(stations == 1 ? "" : "s"),
            perMinute, "1/min");
        if (stations > 1)
            report.Add(QString("stations_%1_scaling").arg(stations),
                       QString("%1 stations, over %1 times one station").arg(stations),
                       perMinute / (stations * single), "", ">= 0.95");
        if (stations != kMostStations) continue;
        double worstP99 = -1;
        QList<double> all;
        for (const QList<double>& gaps : run.GapsMs) {
            worstP99 = qMax(worstP99, Percentile(gaps, 99));
            all += gaps;
        }
        report.Add("stations_16_gap_p99_ms", "16 stations, frame end to next, worst station p99",
                   worstP99, "ms", "<= 203");
        report.Add("stations_16_gap_median_ms", "16 stations, frame end to next, median of all",
                   Median(all), "ms");
        report.Add("stations_16_cpu", "16 stations, the tool's CPU per wall second",
                   run.Burn.CpuPerWall, "", "<= 0.05");
    }
}

void AckPaceFigures(TReport& report, const QString& image, bool& allOk) {
    const QStringList delayed{"--ack-delay", QString::number(kAckDelayMs)};
    report.Section(QString("Pace by acknowledgement: 64 KiB (%1 blocks), acks %2 ms late")
                       .arg(kLargeBlocks)
                       .arg(kAckDelayMs));
    const TStationsRun fixed = BurnOnStations(1, 1, image, delayed, {"--pace", "fixed"});
    const TStationsRun ack = BurnOnStations(1, 1, image, delayed, {"--pace", "ack"});
    allOk = allOk && fixed.Ok && ack.Ok;
    report.Add("pace_fixed_s", "fixed pace, burn time", fixed.Burn.DurationS, "s");
    report.Add("pace_ack_s", "ack pace, burn time", ack.Burn.DurationS, "s");
    report.Add("pace_ack_ratio", "ack pace over fixed pace",
               ack.Burn.DurationS / fixed.Burn.DurationS, "", "<= 0.12");
    report.Add("pace_fixed_exact", "fixed pace, image byte-exact (1) or not (0)",
               fixed.Exact ? 1 : 0, "", "1");
    report.Add("pace_ack_exact", "ack pace, image byte-exact (1) or not (0)", ack.Exact ? 1 : 0, "",
               "1");

    const QString baud = QString::number(kSlowBaud);
    const double floor = double(kLargeBlocks) * kFrameBytes * kLineBitsPerByte / kSlowBaud;
    const TStationsRun line =
        BurnOnStations(1, 1, image, {"--baud", baud}, {"--baud", baud, "--pace", "ack"});
    allOk = allOk && line.Ok;
    report.Section(
        QString("Pace by acknowledgement at %1 baud on both sides, 64 KiB").arg(kSlowBaud));
    report.Add("pace_ack_57600_s", "burn time", line.Burn.DurationS, "s");
    report.Add("pace_ack_57600_floor_s", "the line's floor", floor, "s");
    report.Add("pace_ack_57600_ratio", "over the floor", line.Burn.DurationS / floor, "",
               "<= 1.05");
    // The tool cannot see a pseudo-terminal's queue: a frame still on the line is sent again
    // after the pace, and the device may still be reading when the tool reports done.
    report.Add("pace_ack_57600_device_s", "at the device, first frame to device done",
               line.DeviceSeconds, "s");
    report.Add("pace_ack_57600_device_ratio", "at the device, over the floor",
               line.DeviceSeconds / floor, "");
    report.Add("pace_ack_57600_frames", "frames sent", line.Burn.FramesSent, "",
               QString::number(kLargeBlocks));
    report.Add("pace_ack_57600_exact", "image byte-exact (1) or not (0)", line.Exact ? 1 : 0, "",
               "1");
}

}  // namespace

void StationsSection(TReport& report) {
    QTemporaryDir smallDir, largeDir;
    const QString small = WriteImage(smallDir, kSmallBlocks * BlockSize);
    const QString large = WriteImage(largeDir, kLargeBlocks * BlockSize);
    bool allOk = true;
    ScalingFigures(report, small, allOk);
    AckPaceFigures(report, large, allOk);
    report.Section("vardo-burn's runs");
    report.Add("stations_runs_ok", "every run exit 0, all devices done (1) or not (0)",
               allOk ? 1 : 0, "", "1");
}
