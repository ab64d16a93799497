// Modal boxes and the file-open dialog behind one replaceable service, so that tests record
// them instead of waiting for a person.
#pragma once

#include <QString>
#include <optional>

// What the open dialog is shown with.
struct TOpenDialogSettings {
    QString DefaultExt;
    QString FileName;
    QString Filter;  // description and pattern separated by "|", e.g. "烧录文件|*.bin"
};

class TDialogs {
public:
    virtual ~TDialogs() = default;
    virtual void ShowModalMessage(const QString& text) = 0;
    virtual void ShowErrorBox(const QString& text) = 0;
    // The chosen file's full path, or nullopt when the operator cancelled.
    virtual std::optional<QString> RunOpenDialog(const TOpenDialogSettings& settings) = 0;
};

// The service in use; the program installs the real boxes, tests a recorder.
TDialogs& Dialogs();
void SetDialogs(TDialogs* dialogs);

// The error box's text: a full stop is added unless the message is empty or its last
// character's code is at most that of "." (as with ")" or "!").
QString ErrorBoxText(const QString& message);

void ShowModalMessage(const QString& text);

// "烧录文件|*.bin" -> "烧录文件 (*.bin)"; a lone pattern stays as it is.
QString QtFileFilter(const QString& filter);
