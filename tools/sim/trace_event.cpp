#include "tools/sim/trace_event.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace sim {

namespace {

// A string as a JSON literal, quotes and escapes included.
QByteArray JsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

}  // namespace

TTraceEvent::TTraceEvent(qint64 tUs, const char* name) : mName(QString::fromLatin1(name)) {
    Number("t_us", tUs);
    Text("event", mName);
}

TTraceEvent& TTraceEvent::Text(const char* key, const QString& value) {
    mFields.emplace_back(key, JsonString(value));
    return *this;
}

TTraceEvent& TTraceEvent::Number(const char* key, qint64 value) {
    mFields.emplace_back(key, QByteArray::number(value));
    return *this;
}

TTraceEvent& TTraceEvent::Flag(const char* key, bool value) {
    mFields.emplace_back(key, value ? "true" : "false");
    return *this;
}

QByteArray TTraceEvent::Json() const {
    QByteArray line = "{";
    for (const auto& [key, value] : mFields) {
        if (line.size() > 1) line += ',';
        line += '"' + key + "\":" + value;
    }
    return line + '}';
}

QString HexAddress(quint32 address) {
    return QString::number(address, 16).toUpper().rightJustified(8, '0');
}

}  // namespace sim
