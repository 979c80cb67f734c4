#include "app/TfrmConnect.h"
#include "app/Settings.h"
#include "link/ModbusLink.h"
#include "ui_TfrmConnect.h"

TfrmConnect::TfrmConnect(ModbusLink &link, const AppSettings &settings, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmConnect), m_link(link), m_settings(settings)
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

void TfrmConnect::setTarget(const QString &host, const QString &port)
{
    ui->HostAddress->setText(host);
    ui->HostPort->setText(port);
}

void TfrmConnect::showBytesReceived(int count)
{
    ui->StaticText2->setText(QString::number(count) + QStringLiteral(" Byte(s) Recieved."));
}

void TfrmConnect::connectionOpened()
{
    if (isVisible())
        done(QDialog::Accepted);
}

void TfrmConnect::FormCreate()
{
    // At the main window's top left + 20.
    if (QWidget *owner = parentWidget())
        move(owner->x() + 20, owner->y() + 20);
    setTarget(m_settings.modbusHost, m_settings.modbusPort);
}

void TfrmConnect::btnCONNClick()
{
    emit connectPressed();
    m_link.open();
}

void TfrmConnect::btnDISCONNClick()
{
    emit disconnectPressed();
    m_link.close();
}

void TfrmConnect::btnHOSTClick()
{
    emit settingsRequested();
}

void TfrmConnect::BitBtn1Click()
{
    close();
}
