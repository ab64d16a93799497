// vardo-burn's command line: what it asks for, or the one-line reason it cannot be run.
#pragma once

#include <QString>
#include <QStringList>

#include "station/station.h"

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitStationFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitOpenFailed = 3;
constexpr int kExitInterrupted = 130;

constexpr int kDefaultBaud = 57600;

struct TBurnOptions {
    QString Image;
    QStringList Ports;  // as given
    qint32 Count = 0;   // 0: until interrupted
    TPaceMode Pace = TPaceMode::Fixed;
    int Baud = kDefaultBaud;
    bool Json = false;
    bool List = false;
    bool Help = false;
    bool Version = false;
};

struct TParsedBurnOptions {
    TBurnOptions Options;
    QString Error;  // empty when the command line is good
};

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
TParsedBurnOptions ParseBurnOptions(const QStringList& arguments);

QString BurnUsage();
