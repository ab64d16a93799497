// Every handler bound to a signal, a timer or a port event is entered through Guarded, so an
// error escaping it never crosses Qt's event dispatch: it is shown in the error box and the
// loop goes on.
#pragma once

#include <exception>
#include <utility>

#include "app/dialogs.h"

template <typename Handler>
void Guarded(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        Dialogs().ShowErrorBox(ErrorBoxText(QString::fromUtf8(e.what())));
    }
}
