#include "bench/figures.h"

#include <sys/resource.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>

double Median(QList<double> values) {
    return Percentile(std::move(values), 50);
}

double Percentile(QList<double> values, double p) {
    if (values.isEmpty()) return std::nan("");
    std::sort(values.begin(), values.end());
    const qsizetype rank = qsizetype(std::ceil(p / 100.0 * double(values.size())));
    return values[qBound<qsizetype>(0, rank - 1, values.size() - 1)];
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

namespace {

qint64 StatusKiB(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) return line.mid(int(strlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

}  // namespace

qint64 ResidentBytes() {
    return StatusKiB("VmRSS:") * 1024;
}

qint64 PeakResidentBytes() {
    return StatusKiB("VmHWM:") * 1024;
}

void TReport::Section(const QString& title) {
    mRows.append({QString(), title, QString(), QString(), 0, true});
}

void TReport::Add(const QString& key, const QString& label, double value, const QString& unit,
                  const QString& goal) {
    mRows.append({key, label, unit, goal, value, false});
}

void TReport::Print() const {
    QJsonObject json;
    json["cores"] = QThread::idealThreadCount();
    std::printf("Vardo benchmark on %d cores\n", QThread::idealThreadCount());
    for (const TRow& row : mRows) {
        if (row.IsSection) {
            std::printf("\n%s\n", qPrintable(row.Label));
            continue;
        }
        std::printf("  %-52s %12.4f %-8s %s\n", qPrintable(row.Label), row.Value, qPrintable(row.Unit),
                    qPrintable(row.Goal.isEmpty() ? QString() : "goal: " + row.Goal));
        json[row.Key] = row.Value;
    }
    std::printf("\n%s\n", QJsonDocument(json).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}
