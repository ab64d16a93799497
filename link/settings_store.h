// The settings file that takes the registry's place: one .reg-format text file holding
// both roots under their full key paths. Every write is read-modify-write under a lock file
// with an atomic replace, so a crash or a second instance never tears it.
#pragma once

#include <QString>
#include <functional>

#include "link/registry_file.h"

class TSettingsStore {
public:
    // $XDG_CONFIG_HOME/Vardo/registry.reg, or ~/.config/Vardo/registry.reg.
    static QString DefaultPath();
    // Joins a root and a sub-path into the full key path the file holds:
    // ("HKEY_LOCAL_MACHINE", "\\SOFTWARE\\Selvik") -> "HKEY_LOCAL_MACHINE\\SOFTWARE\\Selvik".
    static QString KeyPath(const QString& root, const QString& subPath);

    explicit TSettingsStore(QString filePath = DefaultPath());
    const QString& FilePath() const { return mPath; }

    // The file as it is now; a missing file reads as an empty one. False when the file
    // exists but cannot be read or parsed.
    bool Read(TRegistryFile& out) const;
    // Applies `change` to the file's current content and replaces the file. False, with the
    // file untouched, when it cannot be parsed, locked or saved.
    bool Modify(const std::function<void(TRegistryFile&)>& change);

private:
    QString mPath;
};
