#include "app/progress_bar.h"

#include <cmath>

TRzProgressBar::TRzProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    setTextVisible(true);
    Show();
}

void TRzProgressBar::SetTotalParts(int total) {
    if (total == mTotal) return;
    mTotal = total;
    mComplete = 0;
    Show();
}

void TRzProgressBar::SetPartsComplete(int complete) {
    mComplete = complete;
    Show();
}

void TRzProgressBar::Show() {
    if (mTotal <= 0) {
        setValue(0);
        return;
    }
    const int shown = qBound(0, mComplete, mTotal);
    setValue(int(std::lround(100.0 * shown / mTotal)));
}
