#include "cli/burn_report.h"

#include <QJsonDocument>

namespace {

constexpr int kBarCells = 20;

QString Plural(qint32 n, const char* one, const char* many) {
    return QString("%1 %2").arg(n).arg(n == 1 ? one : many);
}

}  // namespace

QString DatedLine(const QDateTime& when, const QString& station, const QString& text) {
    return when.toString("yyyy-MM-dd HH:mm:ss") + " " + station + " " + text;
}

QString OutcomeEvent(TDeviceResult result) {
    const bool failed = result == TDeviceResult::Lost || result == TDeviceResult::Error;
    return failed ? QString("error") : ResultWord(result);
}

QString OutcomeText(const TDeviceOutcome& o) {
    const double seconds = double(o.Started.msecsTo(o.Ended)) / 1000.0;
    QString text = ResultWord(o.Result) + ": ";
    if (o.Result == TDeviceResult::Done) text += QString("No : %1, ").arg(o.Flow);
    text += QString("%1 of %2, %3, %4, %5 s")
                .arg(o.BlocksAcked)
                .arg(Plural(o.Blocks, "block", "blocks"))
                .arg(Plural(o.FramesSent, "frame", "frames"))
                .arg(Plural(o.Resends, "resend", "resends"))
                .arg(seconds, 0, 'f', 1);
    if (!o.Message.isEmpty() && o.Result != TDeviceResult::Done) text += " (" + o.Message + ")";
    return text;
}

QJsonObject OutcomeFields(const TDeviceOutcome& o) {
    return QJsonObject{
        {"result", ResultWord(o.Result)},
        {"flow", o.Flow},
        {"blocks", o.Blocks},
        {"blocks_acked", o.BlocksAcked},
        {"frames_sent", o.FramesSent},
        {"resends", o.Resends},
        {"started", IsoTime(o.Started)},
        {"ended", IsoTime(o.Ended)},
        {"duration_s", double(o.Started.msecsTo(o.Ended)) / 1000.0},
        {"message", o.Message},
    };
}

QByteArray JsonEvent(const QDateTime& when, const QString& station, const QString& event,
                     const QJsonObject& fields) {
    QJsonObject o = fields;
    o.insert("time", IsoTime(when));
    o.insert("station", station);
    o.insert("event", event);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QString LiveLine(const TLiveStation& s, int portWidth, int width) {
    QString line = s.Port.leftJustified(portWidth) + "  " + StateWord(s.State).leftJustified(9);
    line += QString(" done %1").arg(s.Devices, -4);
    if (s.State == TStationState::Burning && s.Blocks > 0) {
        const int filled = int(qint64(s.Block) * kBarCells / s.Blocks);
        const int percent = int(qint64(s.Block) * 100 / s.Blocks);
        line += " [" + QString(filled, '#') + QString(kBarCells - filled, '-') + "] " +
                QString("%1/%2 %3%").arg(s.Block).arg(s.Blocks).arg(percent, 3) +
                QString("  resends %1").arg(s.Resends);
    } else if (!s.Failure.isEmpty()) {
        line += " " + s.Failure;
    }
    return line.left(qMax(width, 1));
}
