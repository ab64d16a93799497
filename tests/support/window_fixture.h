// The real window, offscreen, with its boxes recorded, and helpers to drive it as an operator
// would.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QString>
#include <memory>

#include "app/frm_main.h"
#include "app/ht_class.h"
#include "support/recorder.h"
#include "support/script.h"

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
