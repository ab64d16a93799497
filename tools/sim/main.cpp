// vardo-sim: plays the target device on a pseudo-terminal, for tests, benchmarks and for
// trying the tool without hardware.
#include <fcntl.h>
#include <unistd.h>

#include <QFileInfo>
#include <cstdio>
#include <stdexcept>

#include "app/signal_pipe.h"
#include "tools/sim/device.h"
#include "tools/sim/mono_clock.h"
#include "tools/sim/options.h"
#include "tools/sim/port_registration.h"
#include "tools/sim/pty.h"
#include "tools/sim/run_loop.h"

using namespace sim;

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kDrainMs = 1000;

// A symbolic link to the device for as long as it lives; a stale link of ours is replaced.
class TDeviceLink {
  public:
    TDeviceLink(QString linkPath, const QString& target) : mPath(std::move(linkPath)) {
        if (mPath.isEmpty()) return;
        if (QFileInfo(mPath).isSymLink()) ::unlink(qPrintable(mPath));
        if (::symlink(qPrintable(target), qPrintable(mPath)) != 0)
            throw std::runtime_error("could not make the link " + mPath.toStdString());
        mMade = true;
    }
    ~TDeviceLink() {
        if (mMade) ::unlink(qPrintable(mPath));
    }
    TDeviceLink(const TDeviceLink&) = delete;
    TDeviceLink& operator=(const TDeviceLink&) = delete;

  private:
    QString mPath;
    bool mMade = false;
};

int OpenTrace(const QString& path) {
    if (path.isEmpty()) return -1;
    const int fd = ::open(qPrintable(path), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("could not open the trace file " + path.toStdString());
    return fd;
}

void PrintSummary(const TDeviceStats& stats) {
    fprintf(stderr, "vardo-sim: devices done %d, frames good %d, bad %d, stop frames %d\n",
            stats.DevicesDone, stats.GoodFrames, stats.BadFrames, stats.StopFrames);
}

int Run(const TOptions& options) {
    TSignalPipe signalPipe;
    TPty pty;
    const int traceFd = OpenTrace(options.TracePath);
    TDeviceLink link(options.LinkPath, pty.Path());
    TPortRegistration registration(QString("vardo-sim-%1").arg(getpid()), pty.Path());
    if (!registration.Ok())
        fprintf(stderr, "vardo-sim: could not list the port in the settings store\n");

    // Listed and linked before the path is printed, so whoever reads it finds both.
    printf("%s\n", qPrintable(pty.Path()));
    fflush(stdout);

    TLineSink sink(pty.Master(), traceFd, options.OutPath);
    TDevice device(options.Device, sink, MonotonicUs());
    TLoop loop{pty, device, sink, std::nullopt, options.Devices, signalPipe.Fd()};
    if (options.Baud > 0) loop.Pacer.emplace(options.Baud / 10);

    const TLoopEnd end = RunLoop(loop);
    if (end == TLoopEnd::DevicesDone) Drain(loop, kDrainMs);
    pty.Close();
    if (traceFd >= 0) ::close(traceFd);
    PrintSummary(device.Stats());
    if (end == TLoopEnd::LineFailed) {
        fprintf(stderr, "vardo-sim: the pseudo-terminal failed\n");
        return kExitFailed;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const TParsedOptions parsed = ParseOptions(args);
    if (!parsed.Error.isEmpty()) {
        fprintf(stderr, "vardo-sim: %s\nTry 'vardo-sim --help'.\n", qPrintable(parsed.Error));
        return kExitUsage;
    }
    if (parsed.Options.Help) {
        fputs(qPrintable(HelpText()), stdout);
        return 0;
    }
    try {
        return Run(parsed.Options);
    } catch (const std::exception& e) {
        fprintf(stderr, "vardo-sim: %s\n", e.what());
        return kExitFailed;
    }
}
