#include "app/TfrmConnect.h"
#include "app/Forms.h"
#include "app/TfrmMain.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "ui_TfrmConnect.h"

TfrmConnect::TfrmConnect(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmConnect)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    connect(ui->btnCONN, &QPushButton::clicked, this, &TfrmConnect::btnCONNClick);
    connect(ui->btnDISCONN, &QPushButton::clicked, this, &TfrmConnect::btnDISCONNClick);
    connect(ui->btnHOST, &QPushButton::clicked, this, &TfrmConnect::btnHOSTClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TfrmConnect::BitBtn1Click);
    FormCreate();
}

TfrmConnect::~TfrmConnect()
{
    delete ui;
}

QString TfrmConnect::statusText() const
{
    return ui->stModbusSockStatus->text();
}

void TfrmConnect::setStatusText(const QString &text)
{
    ui->stModbusSockStatus->setText(text);
}

void TfrmConnect::FormCreate()
{
    frmMain->placeDialog(this, 20, 20);
    ui->HostAddress->setText(frmMain->Settings.modbusHost);
    ui->HostPort->setText(frmMain->Settings.modbusPort);
}

void TfrmConnect::btnCONNClick()
{
    frmMain->clearStatusText();
    frmMain->clearLogArea();
    frmMain->ClientSocket1->open();
}

void TfrmConnect::btnDISCONNClick()
{
    frmMain->clearStatusText();
    frmMain->ClientSocket1->close();
}

void TfrmConnect::btnHOSTClick()
{
    frmMain->FillGWcfgFromSettings();
    frmMain->showGWcfgPage(0);
}

void TfrmConnect::BitBtn1Click()
{
    close();
}
