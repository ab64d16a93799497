// A progress bar counted in parts: it shows completed/total as a rounded percentage.
#pragma once

#include <QProgressBar>

class TRzProgressBar : public QProgressBar {
public:
    explicit TRzProgressBar(QWidget* parent);

    int TotalParts() const { return mTotal; }
    // A total that differs from the present one resets the completed count to 0.
    void SetTotalParts(int total);
    int PartsComplete() const { return mComplete; }
    // A count above the total shows as the total.
    void SetPartsComplete(int complete);

private:
    void Show();

    int mTotal = 0;
    int mComplete = 0;
};
