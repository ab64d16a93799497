// The window's construction, its lifecycle handlers, the stay-on-top toggle and the status
// bar counters.
#include "app/frm_main.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

#include "app/guard.h"
#include "app/hex_view.h"
#include "app/pin_images.h"
#include "app/progress_bar.h"
#include "app/size_rule.h"
#include "burn/protocol.h"
#include "link/com_combo.h"

TFrmMain* FrmMain = nullptr;

namespace {

constexpr int kDesignWidth = 1000;
constexpr int kDesignHeight = 671;

// Connects a click to its handler through the guard.
template <typename Handler>
void OnClick(QAbstractButton* button, TFrmMain* form, Handler handler) {
    QObject::connect(button, &QAbstractButton::clicked, form,
                     [=] { Guarded([=] { (form->*handler)(button); }); });
}

}  // namespace

TFrmMain::TFrmMain() {
    ComPort = new TComPort(this);
    Station = new TStation(ComPort, this, this);
    OpenDialog1.Filter = "*.bin";
    ImageList1 = MakeImageList();
    CreateControls();
    mBurnBar = RzProgressBar;
    BindHandlers();
    BindStation();
    resize(kDesignWidth, kDesignHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate(this);
}

TFrmMain::~TFrmMain() {
    // The port closes with the window; nothing of the window may be called back by then.
    ComPort->OnAfterOpen = nullptr;
    ComPort->OnAfterClose = nullptr;
    ComPort->OnRxChar = nullptr;
}

void TFrmMain::BindHandlers() {
    OnClick(SpeedButton1, this, &TFrmMain::SpeedButton1Click);
    OnClick(Button5, this, &TFrmMain::Button5Click);
    OnClick(btnSwitch, this, &TFrmMain::btnSwitchClick);
    OnClick(Button9, this, &TFrmMain::Button9Click);
    OnClick(Button2, this, &TFrmMain::Button2Click);
    OnClick(Btn_Clear, this, &TFrmMain::Btn_ClearClick);
    OnClick(btnSend, this, &TFrmMain::btnSendClick);
    OnClick(Button1, this, &TFrmMain::Button1Click);
    OnClick(cxButton_BurnShake, this, &TFrmMain::cxButton_BurnShakeClick);
    OnClick(cxButton_BurnFile, this, &TFrmMain::cxButton_BurnFileClick);
    OnClick(cxButton_BurnAll, this, &TFrmMain::cxButton_BurnAllClick);
    OnClick(cxButton_Stop, this, &TFrmMain::cxButton_StopClick);
    OnClick(cxBtn_OpenFirmWare, this, &TFrmMain::cxBtn_OpenFirmWareClick);
    OnClick(cxBtn_UpdateFirmWare, this, &TFrmMain::cxBtn_UpdateFirmWareClick);
    OnClick(cxBtn_ResetCounter, this, &TFrmMain::cxBtn_ResetCounterClick);
    OnClick(cxTextEdit_FlowNo, this, &TFrmMain::cxBtn_ResetCounterClick);
    OnClick(cxButton1, this, &TFrmMain::cxButton1Click);
    OnClick(cxButton_ClearSingle, this, &TFrmMain::cxButton_ClearSingleClick);
    OnClick(cxButton_ClearAll, this, &TFrmMain::cxButton_ClearAllClick);
    QAction* browse = edSendFile->actions().first();
    QObject::connect(browse, &QAction::triggered, this,
                     [=] { Guarded([=] { edSendFileButtonClick(edSendFile); }); });

    for (TComComboBox* box :
         {ComComboBox1, ComComboBox2, ComComboBox3, ComComboBox4, ComComboBox5, ComComboBox6})
        box->OnChange = [this](QObject* sender) { ComComboBox1Change(sender); };
    ComPort->OnAfterOpen = [this] { ComPortAfterOpen(ComPort); };
    ComPort->OnAfterClose = [this] { ComPortAfterClose(ComPort); };
    // The component itself ends event delivery on an error that escapes this handler.
    ComPort->OnRxChar = [this](TComPort* sender, int count) { ComPortRxChar(sender, count); };
}

void TFrmMain::BindStation() {
    // Direct connections: each report takes effect before the station goes on, as when the
    // run's code wrote to the controls itself.
    TStation* s = Station;
    connect(s, &TStation::LogLine, this, [this](const QString& line) { RzMemo3->appendPlainText(line); });
    connect(s, &TStation::RunningChanged, this, [this](bool running) {
        cxBtn_UpdateFirmWare->setText(running ? "StopUpdate" : "UpdateFirmWare");
    });
    connect(s, &TStation::DeviceStarting, this,
            [this](qint32 count) { cxTextEdit_No->setText(QString::number(count)); });
    connect(s, &TStation::FlowNumberChanged, this,
            [this](qint32 count) { cxTextEdit_FlowNo->setText("No : " + QString::number(count)); });
    connect(s, &TStation::BurnBegun, this, [this](qint32 blocks) { mBurnBar->SetTotalParts(blocks); });
    connect(s, &TStation::Progress, this,
            [this](qint32 block, qint32, qint32) { mBurnBar->SetPartsComplete(block); });
    connect(s, &TStation::FrameSent, this, [this] { ShowTxCount(); });
    connect(s, &TStation::ShakeRequestEnded, this, [this] { Memo1->clear(); });
    connect(s, &TStation::Message, this, [](const QString& text) { ShowModalMessage(text); });
}

void TFrmMain::FormCreate(QObject*) {
    DiscoverPorts();
    RxCount = 0;
    TxCount = 0;
    SetProtocolConstants();
    Station->BurnCount = 0;
    Station->BlockAddress = FlashBase;
    Station->StopRequested = true;
}

void TFrmMain::FormShow(QObject*) {
    RestoreSettings();
    Station->RxCaptureLen = kCaptureOffAtShow;
    setWindowTitle("Ridel Burn Tools V1.3");
    RzPageControl3->setTabVisible(RzPageControl3->indexOf(TabSheet4), false);
}

void TFrmMain::FormResize(QObject*) {
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize outer = frameGeometry().size();
    const QSize wanted = ApplyMinimumSize(outer);
    if (wanted != outer) resize(wanted - frame);
}

void TFrmMain::FormClose(QObject*) {
    if (ComPort->Connected()) {
        // The window must be able to close even when a vanished device fails the abort.
        ComPort->ForceClosed = true;
        ComPort->SetConnected(false);
    }
    ComPort->OnAfterClose = nullptr;
    // A run still on the stack ends at its loops' next checks instead of waiting for a
    // click that can no longer come.
    Station->RaiseStopFlags();
}

bool TFrmMain::StaysOnTop() const {
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void TFrmMain::SpeedButton1Click(QObject*) {
    const bool onTop = !StaysOnTop();
    // Changing the flags hides a top-level window; show it again as it was.
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) show();
    SpeedButton1->setChecked(onTop);
    const QPixmap glyph = ImageList1.value(onTop ? kPinTopImage : kPinSideImage);
    if (!glyph.isNull()) SpeedButton1->setIcon(glyph);
}

void TFrmMain::Button5Click(QObject*) {
    RxCount = 0;
    TxCount = 0;
    ShowRxCount();
    ShowTxCount();
    Btn_ClearClick(Button5);
}

void TFrmMain::ShowRxCount() {
    edRx->setText("Rx:" + QString::number(RxCount));
}

void TFrmMain::ShowTxCount() {
    edTx->setText("Tx:" + QString::number(TxCount));
}

void TFrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !mShown) {
        mShown = true;
        Guarded([this] { FormShow(this); });
    }
}

void TFrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Guarded([this] { FormResize(this); });
}

void TFrmMain::closeEvent(QCloseEvent* event) {
    Guarded([this] { FormClose(this); });
    event->accept();
}
