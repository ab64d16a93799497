#include "station/port_identity.h"

#include <QFileInfo>

QString PortIdentity(const QString& name) {
    const QString path = name.startsWith('/') ? name : "/dev/" + name;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}
