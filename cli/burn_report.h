// What vardo-burn prints, as plain functions: dated lines, JSON events and the live line of
// a station on a terminal.
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include "station/device_outcome.h"

// What the live line of one station shows.
struct TLiveStation {
    QString Port;
    TStationState State = TStationState::Idle;
    qint32 Devices = 0;  // devices done in this run
    qint32 Block = 0;
    qint32 Blocks = 0;
    qint32 Resends = 0;
    QString Failure;  // what ended it, if anything did
};

// "2026-12-11 18:03:04 ttyUSB0 text"
QString DatedLine(const QDateTime& when, const QString& station, const QString& text);
// "No : 3, 32 blocks, 33 frames, 1 resend, 6.6 s" and the message, for a dated line.
QString OutcomeText(const TDeviceOutcome& outcome);
// The event name of a device's outcome: done, timed_out, error or stopped.
QString OutcomeEvent(TDeviceResult result);
// The outcome's figures as JSON fields.
QJsonObject OutcomeFields(const TDeviceOutcome& outcome);
// One JSON line: time, station, event, then `fields`; no newline.
QByteArray JsonEvent(const QDateTime& when, const QString& station, const QString& event,
                     const QJsonObject& fields = {});
// The station's line, cut to `width` columns.
QString LiveLine(const TLiveStation& station, int portWidth, int width);
