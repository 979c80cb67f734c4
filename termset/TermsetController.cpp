#include "termset/TermsetController.h"
#include "app/MessageBoxes.h"
#include "link/LinkReply.h"
#include "termset/TermsetBinding.h"
#include "termset/TermsetRead.h"
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

using namespace termset;

namespace {

QString invalidSettingsText()
{
    return TermsetController::tr("設定が無効です");
}

template <class T> T *need(QWidget *root, const QString &name)
{
    T *w = root->findChild<T *>(name);
    if (!w)
        qFatal("TfrmWattorSet: control %s is missing", qPrintable(name));
    return w;
}

} // namespace

int TermsetPageWidgets::radioItem() const
{
    for (int i = 0; i < radios.size(); ++i)
        if (radios[i]->isChecked())
            return i;
    return 0;
}

int TermsetPageWidgets::selected(int field) const
{
    const QComboBox *c = lists.value(field);
    return c ? c->currentIndex() : -1;
}

bool TermsetPageWidgets::requiredComplete() const
{
    for (int i = 0; i < raw.size(); ++i)
        if (def->fields[i].awaited && raw[i]->text().isEmpty())
            return false;
    return true;
}

TermsetController::TermsetController(const Controls &controls, TermsetEngine::Link link)
    : m_c(controls), m_engine(std::move(link))
{
    for (int i = 0; i < PageCount; ++i) {
        TermsetPageWidgets &p = m_pages[size_t(i)];
        const PageDef &d = pageDef(i);
        const PageBinding &n = pageBinding(i);
        QWidget *root = m_c.dialog;
        p.def = &d;
        p.address = need<QLabel>(root, n.addressLabel);
        p.upDown = need<QSpinBox>(root, n.upDown);
        p.read = need<QPushButton>(root, n.readButton);
        p.write = need<QPushButton>(root, n.writeButton);
        p.cancel = need<QPushButton>(root, n.cancelButton);
        p.status = need<QLabel>(root, n.statusLabel);
        p.progress = need<QProgressBar>(root, n.progressBar);
        for (int f = 0; f < d.fields.size(); ++f) {
            p.raw << need<QLabel>(root, n.rawFields[f]);
            QComboBox *list = n.lists[f].isEmpty() ? nullptr : need<QComboBox>(root, n.lists[f]);
            if (list) {
                // Item i is code i. No item is selected until the user picks
                // one or a read fills it.
                list->clear();
                list->addItems(codeListItems(d.fields[f].codes));
                list->setCurrentIndex(-1);
            }
            p.lists << list;
        }
        if (!n.radioGroup.isEmpty())
            p.radios = need<QGroupBox>(root, n.radioGroup)
                           ->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
        for (const QString &name : n.currentLabels)
            p.currentLabels << need<QLabel>(root, name);
    }
}

QString TermsetController::abortedText()
{
    return tr("中断しました");
}

void TermsetController::timerTick()
{
    m_engine.tick();
    m_c.waiting->setText(QString::number(m_engine.WaitCount));
    m_c.toCntr->setText(QString::number(m_engine.TimeoutCount));
}

std::optional<int> TermsetController::ticksOf(QLineEdit *edit, const QString &what)
{
    const auto ticks = parseTicks(edit->text());
    if (!ticks)
        msg::error(m_c.dialog, tr("%1の値 '%2' は使えません。\n"
                                  "0 以上の整数（100ms 単位）を入力してください。")
                                  .arg(what, edit->text()));
    return ticks;
}

std::optional<int> TermsetController::effectiveAddress(const TermsetPageWidgets &p)
{
    bool ok = false;
    const int a = p.address->text().toInt(&ok);
    const int offset = blockOffset(*p.def, p.radioItem());
    const int b = a + offset;
    const int limit = kMaxAddress - (highestAddressUsed(*p.def, b) - b);
    if (ok && a >= 0 && b <= limit)
        return b;
    msg::warning(m_c.dialog, tr("実効アドレス %1 は範囲外です（アドレス %2 ＋ 電流CHのオフセット %3）。\n"
                                "実効アドレスが 0～%4 になるように指定してください。")
                                .arg(b)
                                .arg(p.address->text())
                                .arg(offset)
                                .arg(limit));
    return std::nullopt;
}

void TermsetController::selectListsFromRaw(TermsetPageWidgets &p)
{
    for (int f = 0; f < p.lists.size(); ++f)
        if (QComboBox *list = p.lists[f])
            list->setCurrentIndex(listIndexFromRaw(p.raw[f]->text(), list->count()));
}

void TermsetController::clearRawFields(TermsetPageWidgets &p)
{
    for (QLabel *l : std::as_const(p.raw))
        l->clear();
}

// One transaction at a time: the dialog's two counters serve only one, so
// the read and write buttons of every page stay disabled while it runs.
void TermsetController::setTransactionButtons(bool enabled)
{
    for (TermsetPageWidgets &p : m_pages) {
        p.read->setEnabled(enabled);
        p.write->setEnabled(enabled);
    }
}

void TermsetController::begin(int page)
{
    m_running = page;
    m_writeRefused = false;
    setTransactionButtons(false);
}

void TermsetController::writeRefused()
{
    if (m_running < 0)
        return;
    m_writeRefused = true;
    m_engine.cancelPoll();
}

bool TermsetController::command(int reg, uint16_t value)
{
    const Reply reply = m_engine.writeRegister(reg, value);
    if (reply->ending() == LinkReply::Ending::Lost)
        return false;
    // Its exception answer, whenever it comes while the transaction runs.
    auto refused = [this](const LinkReply &r) {
        if (r.isException())
            writeRefused();
    };
    if (reply->isFinished()) {
        refused(*reply);
    } else {
        LinkReply *r = reply.get();
        QObject::connect(r, &LinkReply::finished, m_c.dialog, [r, refused] { refused(*r); });
    }
    return true;
}

void TermsetController::stop()
{
    m_engine.sequence().stop();
}

void TermsetController::stopped(TermsetPageWidgets &p, const QList<int> &leaveRegs)
{
    // The terminal is not left in settings mode: the commands that leave it
    // go out (nothing is sent once the connection is gone).
    for (int reg : leaveRegs)
        m_engine.writeRegister(reg, kLeaveSettings);
    m_engine.WaitCount = 0;
    m_engine.TimeoutCount = 0;
    showStopped(p);
    m_running = -1;
    setTransactionButtons(true);
}

void TermsetController::showStopped(TermsetPageWidgets &p)
{
    m_c.waiting->setText(QStringLiteral("0"));
    m_c.toCntr->setText(QStringLiteral("0"));
    p.status->setText(abortedText());
}

void TermsetController::end(const QList<int> &leaveRegs)
{
    for (int reg : leaveRegs)
        m_engine.writeRegister(reg, kLeaveSettings);
    m_running = -1;
    setTransactionButtons(true);
}

void TermsetController::fail(TermsetPageWidgets &p, const QString &text, const QList<int> &leaveRegs)
{
    p.status->setText(text);
    end(leaveRegs);
}

QCoro::Task<bool> TermsetController::poll(TermsetPageWidgets &p, int b, const QString &failText,
                                          const QList<int> &leaveRegs)
{
    const auto limit = ticksOf(m_c.toBase, tr("タイムアウト値"));
    if (!limit) {
        fail(p, abortedText(), leaveRegs);
        co_return false;
    }
    const auto complete = [this, &p] { return !m_writeRefused && p.requiredComplete(); };
    bool polled = false;
    if (!m_writeRefused)
        polled = co_await m_engine.PollSettingsBlock(b, p.def->registerCount, *limit, complete);
    if (m_engine.sequence().isStopped()) {
        stopped(p, leaveRegs);
        co_return false;
    }
    if (!polled) {
        fail(p, failText, leaveRegs);
        co_return false;
    }
    co_return true;
}

QCoro::Task<> TermsetController::read(int page)
{
    if (m_running >= 0)
        co_return;
    TermsetPageWidgets &p = m_pages[size_t(page)];
    const PageDef &d = *p.def;
    const auto b = effectiveAddress(p);
    if (!b)
        co_return;
    const auto preRead = ticksOf(m_c.preReadWait, tr("設定読み込み待ち時間"));
    if (!preRead || !ticksOf(m_c.toBase, tr("タイムアウト値")))
        co_return;
    const auto running = m_engine.sequence().begin();
    if (!running)
        co_return;

    clearRawFields(p);
    p.status->clear();
    begin(page);
    // The transaction itself is the one a read without the dialog runs; the
    // raw fields fill as its poll's answers come (showParameterWord).
    ReadSteps steps{
        [this](int reg, uint16_t value) { return command(reg, value); },
        [this] { return ticksOf(m_c.toBase, tr("タイムアウト値")); },
        [this, &p] { return !m_writeRefused && p.requiredComplete(); },
        [this] { return m_writeRefused; }};
    switch (co_await readTransaction(m_engine, d, *b, *preRead, std::move(steps))) {
    case ReadEnd::Read:
        selectListsFromRaw(p);
        break;
    case ReadEnd::Failed:
        p.status->setText(QCoreApplication::translate("termset", d.readFailText));
        break;
    case ReadEnd::Aborted:
        p.status->setText(abortedText());
        break;
    case ReadEnd::Stopped:
        showStopped(p);
        break;
    }
    m_running = -1;
    setTransactionButtons(true);
}

QCoro::Task<> TermsetController::write(int page)
{
    if (m_running >= 0)
        co_return;
    TermsetPageWidgets &p = m_pages[size_t(page)];
    const PageDef &d = *p.def;
    p.status->clear();
    p.progress->setValue(0);
    const bool typeRewrite = m_c.typeWrtEn->isChecked();
    const auto selected = [&p](int field) { return p.selected(field); };
    if (!writeAllowed(d, selected, typeRewrite)) {
        p.status->setText(invalidSettingsText());
        co_return;
    }
    const auto b = effectiveAddress(p);
    if (!b)
        co_return;
    const QString intervalName = tr("書き込み間隔");
    if (!ticksOf(m_c.wrtInt, intervalName) || !ticksOf(m_c.toBase, tr("タイムアウト値")))
        co_return;
    const auto running = m_engine.sequence().begin();
    if (!running)
        co_return;

    clearRawFields(p);
    begin(page);
    const QList<int> leave = leaveRegisters(d, *b, true);
    const QString failText = QCoreApplication::translate("termset", d.writeFailText);
    for (const CommandStep &step : writeCommands(d, *b, selected, typeRewrite)) {
        if (!command(step.reg, step.value)) {
            fail(p, failText, leave);
            co_return;
        }
        // The interval is read afresh for every command.
        const auto interval = ticksOf(m_c.wrtInt, intervalName);
        if (!interval) {
            fail(p, abortedText(), leave);
            co_return;
        }
        if (!co_await m_engine.WaitTicks(*interval)) {
            stopped(p, leave);
            co_return;
        }
        p.progress->setValue(step.progress);
    }
    if (!co_await poll(p, *b, failText, leave))
        co_return;
    end(leave);
    p.progress->setValue(100);
}

void TermsetController::cancel(int page)
{
    m_engine.cancelPoll();
    TermsetPageWidgets &p = m_pages[size_t(page)];
    p.read->setEnabled(true);
    p.write->setEnabled(true);
}

void TermsetController::showParameterWord(int index, uint16_t value)
{
    const int target = m_running >= 0 ? m_running : m_c.pages->currentIndex();
    if (target < 0 || target >= PageCount)
        return;
    TermsetPageWidgets &p = m_pages[size_t(target)];
    for (const RawWrite &w : decodeParameterWord(target, index, value, m_c.crc->isChecked()))
        if (QLabel *l = p.raw.value(w.field))
            l->setText(QString::number(w.value));
}

void TermsetController::showCurrentLabels(int page)
{
    TermsetPageWidgets &p = m_pages[size_t(page)];
    const int item = p.radioItem();
    if (item >= p.def->radioLabelCaptions.size())
        return;
    const QStringList &captions = p.def->radioLabelCaptions[item];
    for (int i = 0; i < p.currentLabels.size() && i < captions.size(); ++i)
        p.currentLabels[i]->setText(captions[i]);
}
