// An image taken once at the start of a run, with its SHA-256: every device of the run gets
// these bytes, and a file that changes on disk meanwhile is noticed before the next device.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "station/image_source.h"

struct TImageSnapshot {
    QString Path;
    QByteArray Bytes;
    QByteArray Sha256;  // raw digest

    // The whole file; nullopt with `error` set when it cannot be burned (missing, a
    // directory, empty, unreadable, or too large for the target's address range).
    static std::optional<TImageSnapshot> Load(const QString& path, QString* error);
    // Whether the file no longer holds these bytes: changed, gone or unreadable.
    bool ChangedOnDisk() const;
};

// The largest image whose block addresses stay below 80000000h.
constexpr qint64 kMaxImageBytes = 2013249536;

// One burn's view of a snapshot.
class TSnapshotSource : public TImageSource {
  public:
    explicit TSnapshotSource(const TImageSnapshot& image) : mImage(image) {}
    qint32 Open() override { return qint32(mImage.Bytes.size()); }
    bool ReadAt(qint64 offset, char* buffer, qint64 count) override;
    void Close() override {}
    QString Path() const override { return mImage.Path; }

  private:
    const TImageSnapshot& mImage;
};
