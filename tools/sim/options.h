// The simulator's command line.
#pragma once

#include <QString>
#include <QStringList>

#include "tools/sim/device.h"

namespace sim {

struct TOptions {
    TDeviceConfig Device;
    int Baud = 0;     // read at this line rate; 0: as fast as bytes come
    int Devices = 0;  // exit after this many devices; 0: run until stopped
    QString OutPath;
    QString TracePath;
    QString LinkPath;
    bool Help = false;
};

struct TParsedOptions {
    TOptions Options;
    QString Error;  // empty when the command line was good
};

// `args` without the program name.
TParsedOptions ParseOptions(const QStringList& args);
QString HelpText();

}  // namespace sim
