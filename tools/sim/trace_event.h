// One line of the trace: a JSON object with the time and the event's name first, then its
// fields in the order they were added.
#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace sim {

class TTraceEvent {
  public:
    TTraceEvent(qint64 tUs, const char* name);

    TTraceEvent& Text(const char* key, const QString& value);
    TTraceEvent& Number(const char* key, qint64 value);
    TTraceEvent& Flag(const char* key, bool value);

    const QString& Name() const { return mName; }
    // Without a line end.
    QByteArray Json() const;

  private:
    QString mName;
    std::vector<std::pair<QByteArray, QByteArray>> mFields;  // key, JSON value text
};

// "08004000": eight upper-case hex digits.
QString HexAddress(quint32 address);

}  // namespace sim
