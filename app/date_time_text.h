#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The date-time text of the log lines: the locale's short date, a blank and its long time
// without the time zone; at exactly midnight only the date.
QString DateTimeText(const QDateTime& when, const QLocale& locale = QLocale::system());
