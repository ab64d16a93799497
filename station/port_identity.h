// Port names as every program takes them: platform names (ttyUSB0), absolute paths, and
// symbolic links such as /dev/serial/by-id/...
#pragma once

#include <QString>

// The device a port name stands for: platform names under /dev, links resolved; two names
// with the same identity are the same port.
QString PortIdentity(const QString& name);
