// The never-shown second form; it carries the file-size operation the burn uses.
#pragma once

#include <QWidget>

class TFrm_HtClass : public QWidget {
public:
    TFrm_HtClass();
    // The file's size in bytes, the low 32 bits read as signed; -1 when it cannot be opened
    // (missing, no access, or held by another burn).
    qint32 FileSizeByName(const QString& fileName);
};

extern TFrm_HtClass* Frm_HtClass;
