// Small statistics and the report: a table for people, one JSON line for scripts.
#pragma once

#include <QList>
#include <QString>
#include <utility>

double Median(QList<double> values);
// The p-th percentile (0..100), nearest rank.
double Percentile(QList<double> values, double p);

// This process's CPU seconds (user + system) so far.
double CpuSeconds();
// Resident memory now and at its peak, in bytes.
qint64 ResidentBytes();
qint64 PeakResidentBytes();

class TReport {
public:
    void Section(const QString& title);
    // One figure: its JSON key, a label, the value, its unit and the goal in words.
    void Add(const QString& key, const QString& label, double value, const QString& unit,
             const QString& goal = QString());
    void Print() const;

private:
    struct TRow {
        QString Key, Label, Unit, Goal;
        double Value;
        bool IsSection;
    };
    QList<TRow> mRows;
};
