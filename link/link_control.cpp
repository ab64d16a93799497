// Opening and closing the link, port discovery, the status line and the saved settings.
#include <QLineEdit>
#include <QPushButton>

#include "app/frm_main.h"
#include "link/com_combo.h"
#include "link/settings_store.h"

namespace {
const char* const kSettingsPath = "HKEY_LOCAL_MACHINE\\Software\\Selvik";
const char* const kSavedKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Selvik\\ComPort";
}  // namespace

void TFrmMain::DiscoverPorts() {
    try {
        QStringList ports;
        TComPort::ListPorts(ports);
        ComComboBox1->SetComProperty(ports.isEmpty() ? TComProperty::cpNone : TComProperty::cpPort);
    } catch (...) {
        // Discovery never fails visibly: an error counts as no ports found.
        ComComboBox1->SetComProperty(TComProperty::cpNone);
    }
}

void TFrmMain::Button9Click(QObject*) {
    if (ComComboBox1->ComProperty() != TComProperty::cpNone) {
        ComComboBox1->SetComProperty(TComProperty::cpPort);
        return;
    }
    DiscoverPorts();
}

void TFrmMain::btnSwitchClick(QObject*) {
    if (!ComPort->Connected()) {
        for (TComComboBox* box : {ComComboBox1, ComComboBox2, ComComboBox3, ComComboBox4,
                                  ComComboBox5, ComComboBox6})
            box->SelectionChanged();
    }
    ComPort->WriteSettings(kSettingsPath);
    try {
        if (ComPort->Connected()) {
            ComPort->ForceClosed = true;
            ComPort->SetConnected(false);
        } else {
            ComPort->SetConnected(true);
        }
    } catch (...) {
        ShowModalMessage("没有找到串口！");
    }
}

void TFrmMain::ComPortAfterOpen(QObject*) {
    btnSwitch->setText("关闭串口 Close Port");
    ShowPortStatus();
}

void TFrmMain::ComPortAfterClose(QObject*) {
    btnSwitch->setText("打开串口 Open Port");
    ShowPortStatus();
}

void TFrmMain::ShowPortStatus() {
    if (!ComPort->Connected()) {
        edStatus->setText("STATUS:COM Port Closed");
        return;
    }
    // The texts come from the boxes; the parity is never shown.
    edStatus->setText(QString("STATUS:%1 Open %2 %3 %4 %5")
                          .arg(ComComboBox1->Text(), ComComboBox2->Text(), ComComboBox4->Text(),
                               ComComboBox5->Text(), ComComboBox6->Text()));
}

void TFrmMain::ComComboBox1Change(QObject*) {
    ShowPortStatus();
}

void TFrmMain::Button2Click(QObject*) {
    if (ComPort->Connected()) ComPort->DiscardInput();
}

void TFrmMain::RestoreSettings() {
    // An unreadable file counts as holding the key, so that the read reports it.
    TRegistryFile file;
    const bool readable = TSettingsStore().Read(file);
    if (!readable || file.FindKey(kSavedKey)) ComPort->ReadSettings(kSettingsPath);
}
