#include "link/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
constexpr int kLockWaitMs = 5000;
}

QString TSettingsStore::DefaultPath() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + "/Vardo/registry.reg";
}

QString TSettingsStore::KeyPath(const QString& root, const QString& subPath) {
    QString sub = subPath;
    while (sub.startsWith('\\')) sub.remove(0, 1);
    while (sub.endsWith('\\')) sub.chop(1);
    return sub.isEmpty() ? root : root + '\\' + sub;
}

TSettingsStore::TSettingsStore(QString filePath) : mPath(std::move(filePath)) {}

bool TSettingsStore::Read(TRegistryFile& out) const {
    QFile file(mPath);
    if (!file.exists()) {
        out = TRegistryFile();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) return false;
    auto parsed = TRegistryFile::Parse(file.readAll());
    if (!parsed) return false;
    out = *parsed;
    return true;
}

bool TSettingsStore::Modify(const std::function<void(TRegistryFile&)>& change) {
    if (!QDir().mkpath(QFileInfo(mPath).absolutePath())) return false;
    QLockFile lock(mPath + ".lock");
    if (!lock.tryLock(kLockWaitMs)) return false;
    TRegistryFile content;
    if (!Read(content)) return false;
    change(content);
    QSaveFile save(mPath);
    if (!save.open(QIODevice::WriteOnly)) return false;
    save.write(content.Serialize());
    return save.commit();
}
