// A long production run: 200 devices in a row through the simulator with a 1-block image.
// Checks the count, the log, every device's image and that the tool's memory stays flat.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

#include "bench/bench_window.h"
#include "bench/figures.h"
#include "sim/sim_process.h"
#include "support/recorder.h"

namespace {

constexpr int kDevices = 200;
constexpr int kEarlyDevice = 20;
constexpr double kMemoryTolerance = 0.10;

int Fail(const QString& why) {
    std::printf("soak: FAILED: %s\n", qPrintable(why));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    TRecorder dialogs;
    SetDialogs(&dialogs);

    QTemporaryDir dir;
    const QString imagePath = WriteImage(dir, 1500);
    QFile imageFile(imagePath);
    imageFile.open(QIODevice::ReadOnly);
    const QByteArray expected = imageFile.readAll() + QByteArray(2048 - 1500, '\0');

    TSimProcess sim;
    if (!sim.Start({"--devices", QString::number(kDevices)})) return Fail("simulator did not start");
    TWindow w(sim.DevicePath());
    w->edSendFile->setText(imagePath);

    qint64 earlyRss = 0, lateRss = 0;
    int imagesChecked = 0, imagesWrong = 0;
    int lastDone = 0;
    // After each device the simulator has written what it received; it is read before the
    // next device can be done (a burn takes at least 200 ms).
    auto checkImages = [&] {
        const int done = int(sim.Events("device_done").size());
        if (done > lastDone) {
            lastDone = done;
            ++imagesChecked;
            if (sim.Image() != expected) ++imagesWrong;
        }
    };
    QElapsedTimer wall;
    wall.start();
    TScript script;
    script.Then("device 20", [&] { checkImages(); return w->Station->BurnCount >= kEarlyDevice; }, [&] { earlyRss = ResidentBytes(); })
        .Then("device 200", [&] { checkImages(); return w->Station->BurnCount >= kDevices; }, [&] {
            lateRss = ResidentBytes();
            w->cxBtn_UpdateFirmWare->click();
        });
    Run(w, script, 30 * 60 * 1000);
    checkImages();
    const double seconds = double(wall.elapsed()) / 1000.0;

    // The log: the start line, then per device its four lines; the completion pair in order.
    const QStringList log = w->RzMemo3->toPlainText().split('\n');
    int completions = 0;
    bool inOrder = true;
    for (int i = 0; i + 1 < log.size(); ++i) {
        if (!log[i].startsWith("No : ")) continue;
        ++completions;
        inOrder &= log[i] == "No : " + QString::number(completions) &&
                   log[i + 1].startsWith("Update complete. ");
    }
    const double growth = earlyRss > 0 ? double(lateRss - earlyRss) / double(earlyRss) : 1.0;
    std::printf("soak: %d devices in %.1f s (%.0f ms each)\n", completions, seconds,
                1000.0 * seconds / qMax(completions, 1));
    std::printf("soak: flow number \"%s\", completion lines in order: %s\n",
                qPrintable(w->cxTextEdit_FlowNo->text()), inOrder ? "yes" : "no");
    std::printf("soak: images checked %d, wrong %d, bad frames %lld\n", imagesChecked, imagesWrong,
                static_cast<long long>(sim.Events("bad_frame").size()));
    std::printf("soak: resident memory after device %d: %.1f MiB, after device %d: %.1f MiB (%+.1f %%)\n",
                kEarlyDevice, double(earlyRss) / (1 << 20), kDevices, double(lateRss) / (1 << 20),
                100.0 * growth);

    if (!script.Failure.isEmpty()) return Fail("step not reached: " + script.Failure);
    if (w->cxTextEdit_FlowNo->text() != "No : 200") return Fail("flow number");
    if (completions != kDevices || !inOrder) return Fail("completion lines");
    if (imagesWrong > 0 || imagesChecked < kDevices || !sim.Events("bad_frame").isEmpty())
        return Fail("images");
    if (growth > kMemoryTolerance) return Fail("memory grew");
    std::printf("soak: passed\n");
    return 0;
}
