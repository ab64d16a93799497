// The window burns the file named in the file name edit, read again for every sending.
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "app/frm_main.h"
#include "app/ht_class.h"
#include "burn/firmware_file.h"
#include "station/image_source.h"

namespace {

// The firmware file, sized by the second form and held with no sharing for the whole burn.
class TChosenFile : public TImageSource {
public:
    explicit TChosenFile(const QString& path) : mPath(path) {}
    qint32 Open() override {
        const qint32 size = Frm_HtClass->FileSizeByName(mPath);
        if (size <= 0) return size;
        return mFile.Open(mPath) ? size : -1;
    }
    bool ReadAt(qint64 offset, char* buffer, qint64 count) override {
        return mFile.ReadAt(offset, buffer, count);
    }
    void Close() override { mFile.Close(); }
    QString Path() const override { return mPath; }

private:
    QString mPath;
    TFirmwareFile mFile;  // closed on every way out, an error's included
};

}  // namespace

void TFrmMain::cxButton_BurnFileClick(QObject*) {
    const QString name = edSendFile->text();
    if (!name.isEmpty() && QFileInfo(name).isFile()) BurnImage(name, RzProgressBar);
}

void TFrmMain::BurnImage(const QString& fileName, TRzProgressBar* bar) {
    mBurnBar = bar;
    TChosenFile file(fileName);
    Station->BurnImage(file);
}

void TFrmMain::BurnDevice() {
    cxButton_BurnFileClick(cxButton_BurnFile);
}
