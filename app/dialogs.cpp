#include "app/dialogs.h"

#include <QtGlobal>

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
