#include "tools/sim/options.h"

#include <climits>
#include <optional>

namespace sim {

namespace {

enum class TArg { None, Number, Path };

struct TOptionEntry {
    const char* Name;
    TArg Arg;
    const char* ValueName;
    qint64 Min;
    qint64 Max;
    const char* Help;
    void (*Apply)(TOptions&, const QString& text, qint64 number);
};

const TOptionEntry kOptionTable[] = {
    {"--out", TArg::Path, "FILE", 0, 0, "write each device's image (08004000h up, padded) to FILE",
     [](TOptions& o, const QString& t, qint64) { o.OutPath = t; }},
    {"--trace", TArg::Path, "FILE", 0, 0, "write one JSON object per event and line to FILE",
     [](TOptions& o, const QString& t, qint64) { o.TracePath = t; }},
    {"--link", TArg::Path, "PATH", 0, 0, "make PATH a symbolic link to the device while running",
     [](TOptions& o, const QString& t, qint64) { o.LinkPath = t; }},
    {"--devices", TArg::Number, "N", 1, INT_MAX, "exit after N devices are done",
     [](TOptions& o, const QString&, qint64 n) { o.Devices = int(n); }},
    {"--answer-after", TArg::Number, "N", 1, INT_MAX,
     "answer the handshake from each device's N-th request on",
     [](TOptions& o, const QString&, qint64 n) { o.Device.AnswerAfter = int(n); }},
    {"--never-answer", TArg::None, nullptr, 0, 0, "never answer the handshake",
     [](TOptions& o, const QString&, qint64) { o.Device.NeverAnswer = true; }},
    {"--drop-acks", TArg::Number, "N", 1, INT_MAX,
     "drop the first N acknowledgements of each block",
     [](TOptions& o, const QString&, qint64 n) { o.Device.DropAcks = int(n); }},
    {"--drop-every", TArg::Number, "K", 1, INT_MAX, "drop every K-th acknowledgement",
     [](TOptions& o, const QString&, qint64 n) { o.Device.DropEvery = int(n); }},
    {"--ack-delay", TArg::Number, "MS", 0, 3600000, "send each acknowledgement MS ms late",
     [](TOptions& o, const QString&, qint64 n) { o.Device.AckDelayUs = n * 1000; }},
    {"--never-ack", TArg::None, nullptr, 0, 0, "never acknowledge a block",
     [](TOptions& o, const QString&, qint64) { o.Device.NeverAck = true; }},
    {"--noise", TArg::Number, "RATE", 1, 1000000,
     "send RATE noise bytes per second (never A5h or 85h)",
     [](TOptions& o, const QString&, qint64 n) { o.Device.NoiseRate = int(n); }},
    {"--vanish-after", TArg::Number, "N", 1, INT_MAX,
     "on the N-th good block: close the line and exit, no ack",
     [](TOptions& o, const QString&, qint64 n) { o.Device.VanishAfter = int(n); }},
    {"--baud", TArg::Number, "B", 10, 4000000, "read no faster than B baud (B/10 bytes per second)",
     [](TOptions& o, const QString&, qint64 n) { o.Baud = int(n); }},
    {"--help", TArg::None, nullptr, 0, 0, "show this text and exit",
     [](TOptions& o, const QString&, qint64) { o.Help = true; }},
};

const TOptionEntry* FindOption(const QString& name) {
    for (const TOptionEntry& option : kOptionTable)
        if (name == QLatin1String(option.Name)) return &option;
    return nullptr;
}

// Empty when `text` is a whole number in the option's range.
QString ReadNumber(const TOptionEntry& option, const QString& text, qint64& number) {
    bool ok = false;
    number = text.toLongLong(&ok);
    if (!ok || number < option.Min || number > option.Max)
        return QString("%1 wants a whole number from %2 to %3, not '%4'")
            .arg(option.Name)
            .arg(option.Min)
            .arg(option.Max)
            .arg(text);
    return {};
}

}  // namespace

TParsedOptions ParseOptions(const QStringList& args) {
    TParsedOptions result;
    for (int i = 0; i < args.size(); ++i) {
        QString name = args[i];
        std::optional<QString> value;
        const int eq = name.indexOf('=');
        if (name.startsWith("--") && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (name == "-h") name = "--help";
        const TOptionEntry* option = FindOption(name);
        if (!option) {
            result.Error = QString("unknown option '%1'").arg(args[i]);
            return result;
        }
        if (option->Arg == TArg::None && value) {
            result.Error = QString("%1 takes no value").arg(option->Name);
            return result;
        }
        if (option->Arg != TArg::None && !value) {
            if (i + 1 >= args.size()) {
                result.Error = QString("%1 wants a value (%2)").arg(option->Name, option->ValueName);
                return result;
            }
            value = args[++i];
        }
        qint64 number = 0;
        if (option->Arg == TArg::Number) result.Error = ReadNumber(*option, *value, number);
        if (option->Arg == TArg::Path && value->isEmpty())
            result.Error = QString("%1 wants a non-empty %2").arg(option->Name, option->ValueName);
        if (!result.Error.isEmpty()) return result;
        option->Apply(result.Options, value.value_or(QString()), number);
    }
    return result;
}

QString HelpText() {
    QString text =
        "Usage: vardo-sim [options]\n"
        "Plays the target device on a pseudo-terminal. Prints the device path as its\n"
        "first line, lists it as a serial port in the settings store while it runs,\n"
        "answers the handshake, checks and acknowledges every frame. SIGINT or SIGTERM\n"
        "ends it.\n"
        "\nOptions:\n";
    for (const TOptionEntry& option : kOptionTable) {
        QString left = QString("  ") + option.Name;
        if (option.ValueName) left += QString(" ") + option.ValueName;
        text += left.leftJustified(22) + ' ' + option.Help + '\n';
    }
    return text;
}

}  // namespace sim
