#include "app/dialogs.h"

#include <QStringList>

namespace {
TDialogs* gDialogs = nullptr;
}

TDialogs& Dialogs() {
    Q_ASSERT(gDialogs);
    return *gDialogs;
}

void SetDialogs(TDialogs* dialogs) {
    gDialogs = dialogs;
}

QString ErrorBoxText(const QString& message) {
    if (message.isEmpty() || message.back().unicode() <= QChar('.').unicode()) return message;
    return message + '.';
}

void ShowModalMessage(const QString& text) {
    Dialogs().ShowModalMessage(text);
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) entries << parts[i] + " (" + parts[i + 1] + ")";
    return entries.isEmpty() ? filter : entries.join(";;");
}
