#include "support/recorder.h"

namespace {
TRecorder* gInstance = nullptr;
}

TRecorder& TRecorder::Instance() {
    return *gInstance;
}

TRecorder::TRecorder() {
    gInstance = this;
}

TRecorder::~TRecorder() {
    gInstance = nullptr;
}

std::optional<QString> TRecorder::RunOpenDialog(const TOpenDialogSettings& settings) {
    OpenDialogs.append(settings);
    const QString answer = OpenAnswers.isEmpty() ? QString() : OpenAnswers.takeFirst();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
}

void TRecorder::Clear() {
    Messages.clear();
    Errors.clear();
    OpenDialogs.clear();
    OpenAnswers.clear();
}
