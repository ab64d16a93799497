#include "bench/bench_window.h"

#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <cstdio>

#include "app/event_loop.h"
#include "link/com_combo.h"

namespace {
// The steps are looked at rarely, so that looking costs next to nothing.
constexpr int kBenchTickMs = 100;
}  // namespace

TWindow::TWindow(const QString& path) {
    Frm_HtClass = &mHtClass;
    mForm = std::make_unique<TFrmMain>();
    FrmMain = mForm.get();
    mForm->show();
    PumpMessages();
    TComComboBox* box = mForm->ComComboBox1;
    box->setCurrentIndex(box->findText(path));
    emit box->activated(box->currentIndex());
    mForm->btnSwitch->click();
}

TWindow::~TWindow() {
    mForm.reset();
    FrmMain = nullptr;
    Frm_HtClass = nullptr;
}

void Run(TWindow& w, TScript& script, int timeoutMs) {
    script.TickMs = kBenchTickMs;
    script.Run([&] { w->cxBtn_UpdateFirmWare->click(); }, timeoutMs, [&] { w->cxButton_Stop->click(); });
    if (!script.Failure.isEmpty())
        std::fprintf(stderr, "vardo-bench: step not reached: %s\n", qPrintable(script.Failure));
}

QString WriteImage(const QTemporaryDir& dir, int bytes) {
    QByteArray image(bytes, '\0');
    for (char& b : image) b = char(QRandomGenerator::global()->bounded(256));
    const QString path = dir.filePath("image.bin");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(image);
    return path;
}

