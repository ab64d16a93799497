// Program start: the title, the main window, the hidden second form, then the event loop.
#include <QApplication>
#include <QIcon>

#include "app/frm_main.h"
#include "app/ht_class.h"
#include "app/qt_dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vardo");
    QGuiApplication::setDesktopFileName("vardo");
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addFile(QString(":/icons/vardo-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    TQtDialogs dialogs;
    SetDialogs(&dialogs);

    TFrmMain frmMain;
    FrmMain = &frmMain;
    TFrm_HtClass htClass;
    Frm_HtClass = &htClass;

    frmMain.show();
    const int status = QApplication::exec();
    FrmMain = nullptr;
    Frm_HtClass = nullptr;
    return status;
}
