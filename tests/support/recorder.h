// Stands in for the modal boxes and the file dialog: records what would have been shown and
// answers the file dialog from a script.
#pragma once

#include <QStringList>

#include "app/dialogs.h"

class TRecorder : public TDialogs {
public:
    static TRecorder& Instance();
    TRecorder();
    ~TRecorder() override;

    void ShowModalMessage(const QString& text) override { Messages.append(text); }
    void ShowErrorBox(const QString& text) override { Errors.append(text); }
    std::optional<QString> RunOpenDialog(const TOpenDialogSettings& settings) override;

    void Clear();

    QStringList Messages;
    QStringList Errors;
    QList<TOpenDialogSettings> OpenDialogs;  // the settings of every dialog shown
    QStringList OpenAnswers;  // the next answers; an empty one: the operator cancels
};
