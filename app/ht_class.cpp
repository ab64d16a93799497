#include "app/ht_class.h"

#include "burn/firmware_file.h"

TFrm_HtClass* Frm_HtClass = nullptr;

TFrm_HtClass::TFrm_HtClass() {
    setWindowTitle("Frm_HtClass");
    resize(928, 480);
}

qint32 TFrm_HtClass::FileSizeByName(const QString& fileName) {
    TFirmwareFile file;
    if (!file.Open(fileName)) return -1;
    return qint32(quint32(quint64(file.Size())));
}
