#include "cli/burn_options.h"

#include <QCommandLineParser>
#include <QSet>

#include "station/port_identity.h"

namespace {

bool ParseWhole(const QString& text, qint64 min, qint64 max, qint64& value) {
    bool ok = false;
    value = text.toLongLong(&ok, 10);
    return ok && !text.startsWith('+') && value >= min && value <= max;
}

}  // namespace

QString BurnUsage() {
    return QStringLiteral(
        "Usage: vardo-burn [options] IMAGE\n"
        "Burns the raw firmware image IMAGE into one device after another on every port\n"
        "given, each port a station of its own, all at once.\n"
        "\n"
        "  -p, --port PORT    a station on PORT (ttyUSB0, /dev/ttyUSB0 or a link such as\n"
        "                     /dev/serial/by-id/...); repeat it for more stations\n"
        "  -n, --count N      each station stops after N devices (default: until\n"
        "                     interrupted)\n"
        "      --pace MODE    fixed (the default: 200 ms after every frame) or ack (the\n"
        "                     next frame as soon as the device acknowledges)\n"
        "      --json         JSON lines on stdout instead of text\n"
        "      --list         print the serial ports the window offers, one a line, and\n"
        "                     exit\n"
        "      --baud B       line rate (default 57600; 8 data bits, no parity, 1 stop\n"
        "                     bit)\n"
        "  -h, --help         this text\n"
        "      --version      the version\n"
        "\n"
        "SIGINT or SIGTERM: every station sends its stop frames, then the program exits;\n"
        "a second signal ends it at once.\n"
        "\n"
        "Exit status: 0 every station did what was asked; 1 a station ended on a\n"
        "time-out, a lost port, a write error or a changed image; 2 usage error; 3 a\n"
        "port could not be opened; 130 interrupted.\n");
}

TParsedBurnOptions ParseBurnOptions(const QStringList& arguments) {
    TParsedBurnOptions parsed;
    TBurnOptions& o = parsed.Options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption port(QStringList{"p", "port"}, "", "PORT");
    const QCommandLineOption count(QStringList{"n", "count"}, "", "N");
    const QCommandLineOption pace("pace", "", "MODE");
    const QCommandLineOption json("json");
    const QCommandLineOption list("list");
    const QCommandLineOption baud("baud", "", "B");
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version("version");
    parser.addOptions({port, count, pace, json, list, baud, help, version});
    parser.addPositionalArgument("IMAGE", "");
    if (!parser.parse(arguments)) {
        parsed.Error = parser.errorText();
        return parsed;
    }
    o.Help = parser.isSet(help);
    o.Version = parser.isSet(version);
    o.List = parser.isSet(list);
    o.Json = parser.isSet(json);
    if (o.Help || o.Version || o.List) return parsed;

    auto fail = [&](const QString& error) {
        parsed.Error = error;
        return parsed;
    };
    if (parser.isSet(count)) {
        qint64 n = 0;
        if (parser.values(count).size() > 1) return fail("--count is given more than once");
        if (!ParseWhole(parser.value(count), 1, INT_MAX, n))
            return fail(QString("--count must be a whole number of at least 1, not '%1'")
                            .arg(parser.value(count)));
        o.Count = qint32(n);
    }
    if (parser.isSet(pace)) {
        const QString mode = parser.value(pace);
        if (mode == "fixed")
            o.Pace = TPaceMode::Fixed;
        else if (mode == "ack")
            o.Pace = TPaceMode::Ack;
        else
            return fail(QString("unknown pace '%1' (fixed or ack)").arg(mode));
    }
    if (parser.isSet(baud)) {
        qint64 b = 0;
        if (!ParseWhole(parser.value(baud), 1, 4000000, b))
            return fail(
                QString("--baud must be a line rate in baud, not '%1'").arg(parser.value(baud)));
        o.Baud = int(b);
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) return fail("no image given");
    if (positional.size() > 1)
        return fail(QString("one image only, not '%1'").arg(positional.join("' '")));
    o.Image = positional.first();
    o.Ports = parser.values(port);
    if (o.Ports.isEmpty()) return fail("no port given (--port PORT)");
    QSet<QString> seen;
    for (const QString& name : o.Ports) {
        if (name.isEmpty()) return fail("an empty port name");
        const QString identity = PortIdentity(name);
        if (seen.contains(identity)) return fail(QString("the port %1 is given twice").arg(name));
        seen.insert(identity);
    }
    return parsed;
}
