#include "station/image_snapshot.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace {

std::optional<QByteArray> ReadAll(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QString("cannot read the image %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = QString("cannot read the image %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::optional<TImageSnapshot> TImageSnapshot::Load(const QString& path, QString* error) {
    const QFileInfo info(path);
    QString problem;
    if (!info.exists())
        problem = QString("the image %1 does not exist").arg(path);
    else if (info.isDir())
        problem = QString("the image %1 is a directory").arg(path);
    else if (info.size() > kMaxImageBytes)
        problem = QString("the image %1 is larger than %2 bytes").arg(path).arg(kMaxImageBytes);
    if (!problem.isEmpty()) {
        if (error) *error = problem;
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = ReadAll(path, error);
    if (!bytes) return std::nullopt;
    if (bytes->isEmpty()) {
        if (error) *error = QString("the image %1 is empty").arg(path);
        return std::nullopt;
    }
    TImageSnapshot image;
    image.Path = path;
    image.Bytes = *bytes;
    image.Sha256 = QCryptographicHash::hash(image.Bytes, QCryptographicHash::Sha256);
    return image;
}

bool TImageSnapshot::ChangedOnDisk() const {
    const std::optional<QByteArray> now = ReadAll(Path, nullptr);
    return !now || *now != Bytes;
}

bool TSnapshotSource::ReadAt(qint64 offset, char* buffer, qint64 count) {
    if (offset < 0 || count < 0 || offset + count > mImage.Bytes.size()) return false;
    std::memcpy(buffer, mImage.Bytes.constData() + offset, size_t(count));
    return true;
}
