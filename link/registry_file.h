// The settings file in the registry export text format: keys under full paths, each with
// its values in order. Parsing and writing only; no file access here.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

enum class TRegValueType { String, DWord, Other };

struct TRegValue {
    QString Name;  // "@" for a key's default value
    TRegValueType Type = TRegValueType::String;
    QString Text;        // String
    quint32 Number = 0;  // DWord
    QString Raw;         // Other: the data exactly as it stood after "=", kept on rewrite
};

struct TRegKey {
    QString Path;  // as first spelt; compared without regard to case
    QList<TRegValue> Values;

    const TRegValue* Find(const QString& name) const;
    void Set(const TRegValue& value);  // replaces a value of the same name, else appends
    bool Remove(const QString& name);
};

class TRegistryFile {
public:
    static const char* const Header;

    // nullopt when the text is not a file this tool can rewrite without losing anything.
    // An empty text is an empty file.
    static std::optional<TRegistryFile> Parse(const QByteArray& text);
    QByteArray Serialize() const;

    const TRegKey* FindKey(const QString& path) const;
    TRegKey& CreateKey(const QString& path);  // the existing key, or a new one at the end
    const QList<TRegKey>& Keys() const { return mKeys; }

private:
    QList<TRegKey> mKeys;
};
