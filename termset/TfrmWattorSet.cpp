#include "termset/TfrmWattorSet.h"
#include "app/Settings.h"
#include "link/AnswerItems.h"
#include "link/GatewayLink.h"
#include "termset/TermsetController.h"
#include "ui_TfrmWattorSet.h"
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

using namespace termset;

TfrmWattorSet::TfrmWattorSet(GatewayLink &gateway, AppSettings &settings, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmWattorSet), m_settings(settings)
{
    ui->setupUi(this);
    buildPopupMenu();

    WaitTimer1 = new QTimer(this);
    WaitTimer1->setObjectName(QStringLiteral("WaitTimer1"));
    WaitTimer1->setInterval(TermsetEngine::kTickMs);
    connect(WaitTimer1, &QTimer::timeout, this, &TfrmWattorSet::WaitTimer1Timer);

    GatewayLink *g = &gateway;
    TermsetEngine::Link link{
        [g](int reg, uint16_t value) { return g->SendWriteSingleRegister(uint32_t(reg), value); },
        [g](int address, int count) {
            return g->SendReadInputRegisters(kParameterTag, uint32_t(address), uint32_t(count));
        },
        [this](const ReceiveBuffer &rb) {
            forEachWordItem(rb, [this](int index, uint16_t value) { ShowParameterWord(index, value); });
        }};
    m_controller = std::make_unique<TermsetController>(
        TermsetController::Controls{this, ui->PageControl1, ui->edPreReadWait, ui->edWrtInt, ui->edWaiting,
                                    ui->edTObase, ui->edTOCntr, findChild<QAction *>(QStringLiteral("TypeWrtEn")),
                                    ui->cbCRC},
        std::move(link));

    // The timer ticks only while a pause or a poll counts down: the
    // counter boxes show 0 from the start and get their last 0 from the
    // tick that ends the count.
    m_controller->engine().countingStarted = [this] {
        if (!WaitTimer1->isActive())
            WaitTimer1->start();
    };

    wireControls();
    FormCreate();
}

TfrmWattorSet::~TfrmWattorSet()
{
    // A running transaction ends while the controls are still there.
    m_controller->stop();
    delete ui;
}

void TfrmWattorSet::hideEvent(QHideEvent *event)
{
    m_controller->stop();
    QDialog::hideEvent(event);
}

void TfrmWattorSet::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const struct {
        const char *name;
        QString caption;
        void (TfrmWattorSet::*handler)();
    } items[] = {
        {"TypeWrtEn", tr("製品タイプの書き換えを許可"), &TfrmWattorSet::TypeWrtEnClick},
        {"TimeOutChange", tr("タイムアウト値を変更"), &TfrmWattorSet::TimeOutChangeClick},
        {"N1", tr("書き込み間隔を変更"), &TfrmWattorSet::N1Click},
        {"N2", tr("設定読み込み待ち時間を変更"), &TfrmWattorSet::N2Click},
    };
    for (const auto &item : items) {
        auto *action = PopupMenu1->addAction(item.caption);
        action->setObjectName(QLatin1String(item.name));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, item.handler);
    }
    connect(ui->PageControl1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(ui->PageControl1->mapToGlobal(pos)); });
}

void TfrmWattorSet::wireControls()
{
    connect(ui->PageControl1, &QTabWidget::currentChanged, this, &TfrmWattorSet::PageControl1Change);

    // Each up-down writes its number into the address display beside it.
    for (int i = 0; i < PageCount; ++i) {
        TermsetPageWidgets &p = m_controller->page(i);
        QLabel *address = p.address;
        connect(p.upDown, &QSpinBox::valueChanged, address,
                [address](int v) { address->setText(QString::number(v)); });
    }

    connect(ui->btnReadWattor7, &QPushButton::clicked, this, &TfrmWattorSet::btnReadWattor7Click);
    connect(ui->btnWriteWattor7, &QPushButton::clicked, this, &TfrmWattorSet::btnWriteWattor7Click);
    connect(ui->btnReadWattor7Cancel, &QPushButton::clicked, this, &TfrmWattorSet::btnReadWattor7CancelClick);
    connect(ui->btnReadCurron08, &QPushButton::clicked, this, &TfrmWattorSet::btnReadCurron08Click);
    connect(ui->btnWriteCurron08, &QPushButton::clicked, this, &TfrmWattorSet::btnWriteCurron08Click);
    connect(ui->btnReadCurron08Cancel, &QPushButton::clicked, this, &TfrmWattorSet::btnReadCurron08CancelClick);
    connect(ui->btnReadWattor14, &QPushButton::clicked, this, &TfrmWattorSet::btnReadWattor14Click);
    connect(ui->btnWriteWattor14, &QPushButton::clicked, this, &TfrmWattorSet::btnWriteWattor14Click);
    connect(ui->btnReadWattor14Cancel, &QPushButton::clicked, this, &TfrmWattorSet::btnReadWattor14CancelClick);
    connect(ui->btnReadCurron16, &QPushButton::clicked, this, &TfrmWattorSet::btnReadCurron16Click);
    connect(ui->btnWriteCurron16, &QPushButton::clicked, this, &TfrmWattorSet::btnWriteCurron16Click);
    connect(ui->btnReadCurron16Cancel, &QPushButton::clicked, this, &TfrmWattorSet::btnReadCurron16CancelClick);
    connect(ui->btnReadPDU, &QPushButton::clicked, this, &TfrmWattorSet::btnReadPDUClick);
    connect(ui->btnWritePDU, &QPushButton::clicked, this, &TfrmWattorSet::btnWritePDUClick);
    connect(ui->btnCancelPDU, &QPushButton::clicked, this, &TfrmWattorSet::btnReadPDUCancelClick);

    for (QRadioButton *r : m_controller->page(Wattor7).radios)
        connect(r, &QRadioButton::clicked, this, &TfrmWattorSet::RadioGroup1Click);
    for (QRadioButton *r : m_controller->page(Curron16).radios)
        connect(r, &QRadioButton::clicked, this, &TfrmWattorSet::RadioGroup2Click);
}

int TfrmWattorSet::WaitCount() const { return m_controller->engine().WaitCount; }
int TfrmWattorSet::TimeoutCount() const { return m_controller->engine().TimeoutCount; }
QCoro::Task<bool> TfrmWattorSet::WaitTicks(int n) { return m_controller->engine().WaitTicks(n); }

void TfrmWattorSet::ShowParameterWord(int index, uint16_t value)
{
    m_controller->showParameterWord(index, value);
}

void TfrmWattorSet::FormCreate()
{
    m_controller->engine().WaitCount = 0;
    m_controller->engine().TimeoutCount = 0;
    const int kind = m_settings.powerTerminalKind;
    if (kind >= 0 && kind < PageCount)
        ui->PageControl1->setCurrentIndex(kind);
}

void TfrmWattorSet::WaitTimer1Timer()
{
    m_controller->timerTick();
    if (!m_controller->engine().isCounting())
        WaitTimer1->stop();
}

void TfrmWattorSet::showPage(int index)
{
    ui->PageControl1->setCurrentIndex(index);
}

void TfrmWattorSet::PageControl1Change(int index)
{
    m_settings.powerTerminalKind = index;
}

void TfrmWattorSet::TypeWrtEnClick()
{
    const bool on = findChild<QAction *>(QStringLiteral("TypeWrtEn"))->isChecked();
    ui->cbxWattor7Type->setEnabled(on);
    ui->cbxWattor14Type->setEnabled(on);
}

void TfrmWattorSet::TimeOutChangeClick()
{
    ui->edTObase->setEnabled(findChild<QAction *>(QStringLiteral("TimeOutChange"))->isChecked());
}

void TfrmWattorSet::N1Click()
{
    ui->edWrtInt->setEnabled(findChild<QAction *>(QStringLiteral("N1"))->isChecked());
}

void TfrmWattorSet::N2Click()
{
    ui->edPreReadWait->setEnabled(findChild<QAction *>(QStringLiteral("N2"))->isChecked());
}

void TfrmWattorSet::btnReadWattor7Click() { m_controller->read(Wattor7); }
void TfrmWattorSet::btnWriteWattor7Click() { m_controller->write(Wattor7); }
void TfrmWattorSet::btnReadWattor7CancelClick() { m_controller->cancel(Wattor7); }
void TfrmWattorSet::RadioGroup1Click() { m_controller->showCurrentLabels(Wattor7); }
void TfrmWattorSet::btnReadCurron08Click() { m_controller->read(Curron08); }
void TfrmWattorSet::btnWriteCurron08Click() { m_controller->write(Curron08); }
void TfrmWattorSet::btnReadCurron08CancelClick() { m_controller->cancel(Curron08); }
void TfrmWattorSet::btnReadWattor14Click() { m_controller->read(Wattor14); }
void TfrmWattorSet::btnWriteWattor14Click() { m_controller->write(Wattor14); }
void TfrmWattorSet::btnReadWattor14CancelClick() { m_controller->cancel(Wattor14); }
void TfrmWattorSet::btnReadCurron16Click() { m_controller->read(Curron16); }
void TfrmWattorSet::btnWriteCurron16Click() { m_controller->write(Curron16); }
void TfrmWattorSet::btnReadCurron16CancelClick() { m_controller->cancel(Curron16); }
void TfrmWattorSet::RadioGroup2Click() { m_controller->showCurrentLabels(Curron16); }
void TfrmWattorSet::btnReadPDUClick() { m_controller->read(PDU); }
void TfrmWattorSet::btnWritePDUClick() { m_controller->write(PDU); }
void TfrmWattorSet::btnReadPDUCancelClick() { m_controller->cancel(PDU); }
