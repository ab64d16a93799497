// Runs vardo-burn's stations and reports them: dated lines, a live view on a terminal, or
// JSON lines. It opens every port before any station sends, and works out the exit status.
#pragma once

#include <QList>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

#include "cli/burn_report.h"
#include "station/station_thread.h"

enum class TOutputMode { Text, Live, Json };

class TBurnConsole : public QObject {
    Q_OBJECT
  public:
    TBurnConsole(TOutputMode mode, const QList<TStationConfig>& stations);
    ~TBurnConsole() override;

    void Start();
    // A signal: the first stops every station, the next ends the program at once.
    void Interrupt();

  signals:
    void Finished(int exitStatus);

  private:
    struct TEntry {
        std::unique_ptr<TStationThread> Thread;
        TLiveStation Live;
        bool Opened = false;
        bool Failed = false;
        bool Ended = false;
        QString OpenError;
    };

    void Bind(int index);
    void OnOpened(int index, bool ok, const QString& message);
    void OnEnded(int index);
    void Report(const QByteArray& json, const QString& dated);
    void ErrorLine(const QString& text);
    void WriteOut(const QByteArray& bytes);
    void ClearLive();
    void DrawLive();
    void Redraw();

    TOutputMode mMode;
    std::vector<TEntry> mEntries;
    int mPortWidth = 0;
    int mOpenReports = 0;
    bool mInterrupted = false;
    bool mGone = false;  // a port could not be opened: nothing runs
    int mLiveDrawn = 0;  // live lines on screen below the cursor's line
    bool mLiveDirty = false;
    QTimer mRedraw;
};
