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
    if (OpenAnswers.empty()) return std::nullopt;
    auto answer = OpenAnswers.front();
    OpenAnswers.pop_front();
    return answer;
}

void TRecorder::Clear() {
    Messages.clear();
    Errors.clear();
    OpenDialogs.clear();
    OpenAnswers.clear();
}
