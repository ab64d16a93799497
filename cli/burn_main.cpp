// vardo-burn: burns one image into device after device on many ports at once, for scripts
// and test jigs.
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>

#include "app/signal_pipe.h"
#include "burn/protocol.h"
#include "cli/burn_console.h"
#include "cli/burn_options.h"
#include "link/com_port.h"

namespace {

int UsageError(const QString& text) {
    fprintf(stderr, "vardo-burn: %s (see --help)\n", qPrintable(text));
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vardo");
    const TParsedBurnOptions parsed = ParseBurnOptions(QCoreApplication::arguments());
    if (!parsed.Error.isEmpty()) return UsageError(parsed.Error);
    const TBurnOptions& o = parsed.Options;
    if (o.Help) {
        fputs(qPrintable(BurnUsage()), stdout);
        return kExitOk;
    }
    if (o.Version) {
        printf("vardo-burn %s\n", VARDO_VERSION);
        return kExitOk;
    }
    if (o.List) {
        QStringList ports;
        TComPort::ListPorts(ports);
        for (const QString& p : ports) printf("%s\n", qPrintable(p));
        return kExitOk;
    }
    QString error;
    std::optional<TImageSnapshot> image = TImageSnapshot::Load(o.Image, &error);
    if (!image) return UsageError(error);

    SetProtocolConstants();
    const auto shared = std::make_shared<const TImageSnapshot>(std::move(*image));
    QList<TStationConfig> stations;
    for (const QString& port : o.Ports) {
        TStationConfig c;
        c.Port = port;
        c.Baud = o.Baud;
        c.Pace = o.Pace;
        c.Count = o.Count;
        c.Image = shared;
        stations.append(c);
    }
    const TOutputMode mode = o.Json                  ? TOutputMode::Json
                             : isatty(STDOUT_FILENO) ? TOutputMode::Live
                                                     : TOutputMode::Text;
    TSignalPipe signalPipe;
    TBurnConsole console(mode, stations);
    QSocketNotifier notifier(signalPipe.Fd(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &console, [&] {
        char bytes[16];
        for (ssize_t n = read(signalPipe.Fd(), bytes, sizeof bytes); n > 0;
             n = read(signalPipe.Fd(), bytes, sizeof bytes))
            for (ssize_t i = 0; i < n; ++i) console.Interrupt();
    });
    QObject::connect(&console, &TBurnConsole::Finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    console.Start();
    return QCoreApplication::exec();
}
