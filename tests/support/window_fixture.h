// The real window, offscreen, with its boxes recorded, and helpers to drive it as an operator
// would.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QString>
#include <functional>
#include <memory>

#include "app/frm_main.h"
#include "app/ht_class.h"
#include "support/recorder.h"

class TWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the window, as program start does.
    void CreateWindow();
    // Lists a port in the store's SERIALCOMM key, where virtual-port tools register theirs.
    static void RegisterPort(const QString& path);
    // Picks the port in the port box (the operator's pick) and clicks the port button.
    void OpenPort(const QString& path);
    void PickPort(const QString& path);
    static void WriteStore(const QByteArray& bytes);
    static QByteArray ReadStore();
    QStringList LogLines() const;

    static TRecorder& Recorder() { return TRecorder::Instance(); }

    std::unique_ptr<TFrm_HtClass> mHtClass;
    std::unique_ptr<TFrmMain> mForm;
};

// Runs `start` (a click that may run for long, pumping as it goes) while a timer works
// through the steps in order: each waits for its condition, then acts. If a step is not
// reached in time, the run is stopped, so a test never hangs.
class TScript {
public:
    TScript& Then(const QString& name, std::function<bool()> until, std::function<void()> action = {});
    // Returns once `start` has returned and every step is done, or at the deadline.
    void Run(const std::function<void()>& start, int timeoutMs, const std::function<void()>& rescue);
    // The name of the step that was not reached, empty when all were.
    QString Failure;

private:
    struct TStep {
        QString Name;
        std::function<bool()> Until;
        std::function<void()> Action;
    };
    void Tick();
    QList<TStep> mSteps;
    int mNext = 0;
    bool mBusy = false;
};
