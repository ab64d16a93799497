// The one window: it owns every control, the serial port, the timers and all run-time
// state, and hosts every handler. Its member functions are defined in the file of the
// subsystem they belong to (app/, link/, burn/).
#pragma once

#include <QWidget>

#include "app/dialogs.h"
#include "link/com_port.h"
#include "station/station.h"
#include "station/station_host.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class TComComboBox;
class THexView;
class TRzProgressBar;

// The window's firmware update page is a view of one station that runs on the GUI thread:
// the run's flags, counters, capture and timers are the station's, and the window carries
// its traffic through the terminal's paths (Tx count, hex send, the send memo).
class TFrmMain : public QWidget, private TStationHost {
public:
    TFrmMain();
    ~TFrmMain() override;

    // --- State record of the terminal; the run's state is the station's ---
    qint32 RxCount = 0;
    qint32 TxCount = 0;
    bool SendOk = false;

    // --- Non-visual components ---
    TComPort* ComPort;
    TStation* Station;  // the production run on ComPort, with its timers tmr1 and tmr2
    TOpenDialogSettings OpenDialog1;
    QList<QPixmap> ImageList1;

    // --- Controls ---
    QTabWidget* RzPageControl1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QTabWidget* RzPageControl4;
    QWidget* TabSheet1;
    QGroupBox* GroupBox1;
    QLabel* Label3;
    TComComboBox* ComComboBox1;
    TComComboBox* ComComboBox2;
    TComComboBox* ComComboBox3;
    TComComboBox* ComComboBox4;
    TComComboBox* ComComboBox5;
    TComComboBox* ComComboBox6;
    QLabel* ComLed1;
    QLabel* ComLed2;
    QLabel* ComLed3;
    QPushButton* btnSwitch;
    QPushButton* Button9;
    QPushButton* Button2;
    QCheckBox* CB_InfoOut;

    QTabWidget* RzPageControl3;
    QWidget* TabSheet7;
    QPushButton* cxBtn_OpenFirmWare;
    QPushButton* cxBtn_UpdateFirmWare;
    QPushButton* cxBtn_ResetCounter;
    TRzProgressBar* RzProgressBar;
    QPushButton* cxTextEdit_FlowNo;
    QPlainTextEdit* RzMemo3;
    QPushButton* cxButton1;

    QWidget* TabSheet5;
    QLabel* CnAAText1;

    QWidget* TabSheet4;
    QPushButton* cxButton_BurnShake;
    QPushButton* cxButton_BurnFile;
    QPushButton* cxButton_BurnAll;
    QPushButton* cxButton_Stop;
    QLineEdit* edSendFile;
    QLineEdit* cxTextEdit_No;
    QPlainTextEdit* RzMemo1;
    QPlainTextEdit* RzMemo2;
    QPushButton* cxButton_ClearSingle;
    QPushButton* cxButton_ClearAll;

    QWidget* TabSheet6;
    THexView* MPHexEditorEx1;

    QWidget* TabSheet8;
    QPlainTextEdit* Memo1;
    QCheckBox* cbsendHex;
    QPushButton* btnSend;
    QPushButton* Button1;
    QLabel* Panel3;

    QWidget* Panel2;
    QToolButton* SpeedButton1;
    QLineEdit* edStatus;
    QLineEdit* edRx;
    QLineEdit* edTx;
    QPushButton* Button5;
    QPushButton* Btn_Clear;

    // --- Start-up and main window ---
    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void FormResize(QObject* Sender);
    void FormClose(QObject* Sender);
    void SpeedButton1Click(QObject* Sender);
    void Button5Click(QObject* Sender);
    void ShowRxCount();
    void ShowTxCount();
    bool StaysOnTop() const;

    // --- Link control ---
    void DiscoverPorts();
    void Button9Click(QObject* Sender);
    void btnSwitchClick(QObject* Sender);
    void ComPortAfterOpen(QObject* Sender);
    void ComPortAfterClose(QObject* Sender);
    void ShowPortStatus();
    void ComComboBox1Change(QObject* Sender);
    void Button2Click(QObject* Sender);

    // --- Receive path ---
    void ComPortRxChar(QObject* Sender, int Count);
    void Btn_ClearClick(QObject* Sender);

    // --- Send path ---
    void SendString(const QByteArray& bytes);
    bool SendMemo();
    void btnSendClick(QObject* Sender);
    void Button1Click(QObject* Sender);

    // --- Handshake ---
    void cxButton_BurnShakeClick(QObject* Sender);

    // --- File burn ---
    void cxButton_BurnFileClick(QObject* Sender);
    void BurnImage(const QString& fileName, TRzProgressBar* bar);

    // --- Production loop and firmware update page ---
    void cxBtn_UpdateFirmWareClick(QObject* Sender);
    void cxButton_BurnAllClick(QObject* Sender);
    void cxButton_StopClick(QObject* Sender);
    void cxBtn_OpenFirmWareClick(QObject* Sender);
    void edSendFileButtonClick(QObject* Sender);
    void cxBtn_ResetCounterClick(QObject* Sender);
    void cxButton1Click(QObject* Sender);
    void cxButton_ClearSingleClick(QObject* Sender);
    void cxButton_ClearAllClick(QObject* Sender);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void RestoreSettings();
    void CreateControls();
    void CreateLinkColumn();
    void CreateFirmwarePage();
    void CreateHiddenPages();
    void CreateStatusBar();
    void BindHandlers();
    void BindStation();

    // How the station's traffic goes out, and which image the next device gets.
    void WritePiece(const QByteArray& bytes) override;
    void WriteHexPiece(const QByteArray& bytes) override;
    bool SendShakeRequest(const QString& hexText) override;
    void BurnDevice() override;

    bool mShown = false;
    TRzProgressBar* mBurnBar = nullptr;  // the bar the running burn reports to
};

extern TFrmMain* FrmMain;
