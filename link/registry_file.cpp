#include "link/registry_file.h"

#include <QStringDecoder>
#include <QStringList>

const char* const TRegistryFile::Header = "Windows Registry Editor Version 5.00";

namespace {

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString Quote(const QString& s) {
    QString out = "\"";
    for (QChar c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + '"';
}

// Reads a quoted string starting at `pos` (which must hold the opening quote); on success
// sets `pos` just past the closing quote.
std::optional<QString> Unquote(const QString& line, int& pos) {
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    QString out;
    for (int i = pos + 1; i < line.size(); ++i) {
        QChar c = line[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= line.size()) return std::nullopt;
            QChar next = line[++i];
            if (next != '\\' && next != '"') return std::nullopt;
            out += next;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

bool IsHexDigits(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

std::optional<TRegValue> ParseValue(const QString& line) {
    TRegValue value;
    int pos = 0;
    if (line.startsWith('@')) {
        value.Name = "@";
        pos = 1;
    } else {
        auto name = Unquote(line, pos);
        if (!name) return std::nullopt;
        value.Name = *name;
    }
    if (pos >= line.size() || line[pos] != '=') return std::nullopt;
    const QString data = line.mid(pos + 1);
    if (data.startsWith('"')) {
        int end = 0;
        auto text = Unquote(data, end);
        if (!text || end != data.size()) return std::nullopt;
        value.Type = TRegValueType::String;
        value.Text = *text;
    } else if (data.startsWith("dword:", Qt::CaseInsensitive)) {
        const QString digits = data.mid(6);
        if (!IsHexDigits(digits) || digits.size() > 8) return std::nullopt;
        value.Type = TRegValueType::DWord;
        value.Number = digits.toUInt(nullptr, 16);
    } else if (data.startsWith("hex", Qt::CaseInsensitive)) {
        value.Type = TRegValueType::Other;
        value.Raw = data;
    } else {
        return std::nullopt;  // includes "-", the deletion mark, which this file never holds
    }
    return value;
}

}  // namespace

const TRegValue* TRegKey::Find(const QString& name) const {
    for (const TRegValue& v : Values) {
        if (SameName(v.Name, name)) return &v;
    }
    return nullptr;
}

void TRegKey::Set(const TRegValue& value) {
    for (TRegValue& v : Values) {
        if (SameName(v.Name, value.Name)) {
            const QString keptName = v.Name;
            v = value;
            v.Name = keptName;
            return;
        }
    }
    Values.append(value);
}

bool TRegKey::Remove(const QString& name) {
    for (int i = 0; i < Values.size(); ++i) {
        if (SameName(Values[i].Name, name)) {
            Values.removeAt(i);
            return true;
        }
    }
    return false;
}

std::optional<TRegistryFile> TRegistryFile::Parse(const QByteArray& bytes) {
    TRegistryFile file;
    if (bytes.isEmpty()) return file;
    if (bytes.contains('\0')) return std::nullopt;
    QStringDecoder decode(QStringDecoder::Utf8);
    QString text = decode(bytes);
    if (decode.hasError()) return std::nullopt;
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);

    QStringList lines = text.split('\n');
    for (QString& l : lines) {
        if (l.endsWith('\r')) l.chop(1);
        // A carriage return that does not end its line would not survive a rewrite.
        if (l.contains('\r')) return std::nullopt;
    }
    if (lines.isEmpty() || lines.first() != Header) return std::nullopt;

    TRegKey* key = nullptr;
    for (int i = 1; i < lines.size(); ++i) {
        QString line = lines[i];
        // Binary values may run over several lines, each ending in a backslash; one that runs
        // past the end of the file is cut short.
        while (line.endsWith('\\') && line.contains("=hex", Qt::CaseInsensitive)) {
            if (i + 1 >= lines.size() || (i + 2 == lines.size() && lines[i + 1].isEmpty()))
                return std::nullopt;
            line += '\n' + lines[++i];
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(';')) continue;
        if (trimmed.startsWith('[')) {
            if (!trimmed.endsWith(']') || trimmed.size() < 3 || trimmed[1] == '-')
                return std::nullopt;
            key = &file.CreateKey(trimmed.mid(1, trimmed.size() - 2));
            continue;
        }
        if (!key) return std::nullopt;
        auto value = ParseValue(line);
        if (!value) return std::nullopt;
        key->Set(*value);
    }
    return file;
}

QByteArray TRegistryFile::Serialize() const {
    QString out = QString(Header) + "\n";
    for (const TRegKey& key : mKeys) {
        out += "\n[" + key.Path + "]\n";
        for (const TRegValue& v : key.Values) {
            out += v.Name == "@" ? QString("@") : Quote(v.Name);
            out += '=';
            switch (v.Type) {
                case TRegValueType::String:
                    out += Quote(v.Text);
                    break;
                case TRegValueType::DWord:
                    out += QString("dword:%1").arg(v.Number, 8, 16, QChar('0'));
                    break;
                case TRegValueType::Other:
                    out += v.Raw;
                    break;
            }
            out += '\n';
        }
    }
    return out.toUtf8();
}

const TRegKey* TRegistryFile::FindKey(const QString& path) const {
    for (const TRegKey& k : mKeys) {
        if (SameName(k.Path, path)) return &k;
    }
    return nullptr;
}

TRegKey& TRegistryFile::CreateKey(const QString& path) {
    for (TRegKey& k : mKeys) {
        if (SameName(k.Path, path)) return k;
    }
    mKeys.append(TRegKey{path, {}});
    return mKeys.last();
}
