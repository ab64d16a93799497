// The real window for the benchmark and the soak: made as program start makes it, its port
// opened, its runs driven step by step.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "app/frm_main.h"
#include "app/ht_class.h"
#include "support/script.h"

// The window as program start makes it, with its port open on `path`.
class TWindow {
public:
    explicit TWindow(const QString& path);
    ~TWindow();
    TFrmMain& operator*() { return *mForm; }
    TFrmMain* operator->() { return mForm.get(); }

private:
    TFrm_HtClass mHtClass;
    std::unique_ptr<TFrmMain> mForm;
};

// Clicks "UpdateFirmWare" and works through the script; says on stderr which step was missed.
void Run(TWindow& w, TScript& script, int timeoutMs);

// A random image of `bytes` bytes in `dir`; returns its path.
QString WriteImage(const QTemporaryDir& dir, int bytes);
