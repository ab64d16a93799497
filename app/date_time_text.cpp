#include "app/date_time_text.h"

#include <QRegularExpression>

QString DateTimeText(const QDateTime& when, const QLocale& locale) {
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time().msecsSinceStartOfDay() == 0) return date;
    static const QRegularExpression zone("\\s*\\bt+\\b\\s*");
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.replace(zone, " ");
    return date + ' ' + locale.toString(when.time(), format.trimmed());
}
