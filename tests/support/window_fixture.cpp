#include "support/window_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/event_loop.h"
#include "link/com_combo.h"
#include "link/settings_store.h"
#include "support/pty_pair.h"

void TWindowTest::SetUp() {
    QFile::remove(TSettingsStore::DefaultPath());
    Recorder().Clear();
}

void TWindowTest::TearDown() {
    mForm.reset();
    FrmMain = nullptr;
    mHtClass.reset();
    Frm_HtClass = nullptr;
    QFile::remove(TSettingsStore::DefaultPath());
}

void TWindowTest::CreateWindow() {
    mHtClass = std::make_unique<TFrm_HtClass>();
    Frm_HtClass = mHtClass.get();
    mForm = std::make_unique<TFrmMain>();
    FrmMain = mForm.get();
    mForm->show();
    PumpMessages();
}

void TWindowTest::RegisterPort(const QString& path) {
    ASSERT_TRUE(TSettingsStore().Modify([&](TRegistryFile& file) {
        TRegValue v;
        v.Name = "test" + QFileInfo(path).fileName();
        v.Text = path;
        file.CreateKey("HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM").Set(v);
    }));
}

void TWindowTest::PickPort(const QString& path) {
    TComComboBox* box = mForm->ComComboBox1;
    const int index = box->findText(path);
    ASSERT_GE(index, 0) << "port not listed: " << path.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void TWindowTest::OpenPort(const QString& path) {
    PickPort(path);
    mForm->btnSwitch->click();
    ASSERT_TRUE(mForm->ComPort->Connected());
}

void TWindowTest::WriteStore(const QByteArray& bytes) {
    const QString path = TSettingsStore::DefaultPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray TWindowTest::ReadStore() {
    QFile f(TSettingsStore::DefaultPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList TWindowTest::LogLines() const {
    const QString text = mForm->RzMemo3->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}
