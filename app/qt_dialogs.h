// The program's boxes and file dialog, with the application title as caption.
#pragma once

#include "app/dialogs.h"

class TQtDialogs : public TDialogs {
public:
    void ShowModalMessage(const QString& text) override;
    void ShowErrorBox(const QString& text) override;
    std::optional<QString> RunOpenDialog(const TOpenDialogSettings& settings) override;
};
