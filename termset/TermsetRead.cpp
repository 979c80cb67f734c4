#include "termset/TermsetRead.h"
#include "link/AnswerItems.h"
#include <QCoreApplication>

namespace termset {

QCoro::Task<ReadEnd> readTransaction(TermsetEngine &engine, const PageDef &def, int b, int preReadTicks,
                                     ReadSteps steps)
{
    // In every ending the terminal is told to leave settings mode.
    const auto leave = [&engine, &def, b] {
        for (int reg : leaveRegisters(def, b, false))
            engine.writeRegister(reg, kLeaveSettings);
    };
    const auto stopped = [&] {
        leave();
        engine.WaitCount = 0;
        engine.TimeoutCount = 0;
        return ReadEnd::Stopped;
    };
    if (!steps.command(commandWord(b), kEnterSettings)) {
        leave();
        co_return ReadEnd::Failed;
    }
    if (!co_await engine.WaitTicks(preReadTicks))
        co_return stopped();
    const std::optional<int> limit = steps.timeLimit();
    if (!limit) {
        leave();
        co_return ReadEnd::Aborted;
    }
    bool polled = false;
    if (!steps.refused())
        polled = co_await engine.PollSettingsBlock(b, def.registerCount, *limit, steps.complete);
    if (engine.sequence().isStopped())
        co_return stopped();
    leave();
    co_return polled ? ReadEnd::Read : ReadEnd::Failed;
}

TermsetRead::TermsetRead(Link link, QObject *parent)
    : QObject(parent),
      m_engine(TermsetEngine::Link{std::move(link.writeRegister), std::move(link.readSettings),
                                   [this](const ReceiveBuffer &answer) { showAnswer(answer); }})
{
    // The engine's counters tick at 100 ms, as the dialog's timer does, and
    // only while one of them counts.
    m_ticker.setInterval(kTickMs);
    connect(&m_ticker, &QTimer::timeout, this, [this] {
        m_engine.tick();
        if (!m_engine.isCounting())
            m_ticker.stop();
    });
    m_engine.countingStarted = [this] {
        if (!m_ticker.isActive())
            m_ticker.start();
    };
}

TermsetRead::~TermsetRead()
{
    stop();
}

void TermsetRead::showAnswer(const ReceiveBuffer &answer)
{
    forEachWordItem(answer, [this](int index, uint16_t value) {
        for (const RawWrite &w : decodeParameterWord(m_page, index, value, false))
            if (w.field >= 0 && w.field < m_raw.size())
                m_raw[w.field] = w.value;
    });
}

bool TermsetRead::command(int reg, uint16_t value)
{
    const Reply reply = m_engine.writeRegister(reg, value);
    if (reply->ending() == LinkReply::Ending::Lost)
        return false;
    // Its exception answer, whenever it comes while this read runs.
    const int number = m_readNumber;
    auto refused = [this, number](const LinkReply &r) {
        if (r.isException() && number == m_readNumber && isRunning()) {
            m_refused = true;
            m_engine.cancelPoll();
        }
    };
    if (reply->isFinished()) {
        refused(*reply);
    } else {
        LinkReply *r = reply.get();
        connect(r, &LinkReply::finished, this, [r, refused] { refused(*r); });
    }
    return true;
}

QCoro::Task<SettingsReading> TermsetRead::read(int page, int radioItem, int address, int preReadTicks,
                                               int timeLimitTicks)
{
    SettingsReading out;
    const PageDef &def = pageDef(page);
    const int b = address + blockOffset(def, radioItem);
    if (b < 0 || highestAddressUsed(def, b) > kMaxAddress) {
        out.status = QCoreApplication::translate("termset", "実効アドレス %1 は範囲外です").arg(b);
        co_return out;
    }
    const auto running = m_engine.sequence().begin();
    if (!running) {
        out.status = QCoreApplication::translate("termset", def.readFailText);
        co_return out;
    }
    ++m_readNumber;
    m_page = def.index;
    m_raw = QList<std::optional<uint16_t>>(def.fields.size());
    m_refused = false;
    ReadSteps steps{
        [this](int reg, uint16_t value) { return command(reg, value); },
        [timeLimitTicks] { return std::optional<int>(timeLimitTicks); },
        [this, &def] {
            if (m_refused)
                return false;
            for (int f = 0; f < def.fields.size(); ++f)
                if (def.fields[f].awaited && !m_raw[f])
                    return false;
            return true;
        },
        [this] { return m_refused; }};
    out.end = co_await readTransaction(m_engine, def, b, preReadTicks, std::move(steps));
    switch (out.end) {
    case ReadEnd::Read: break;
    case ReadEnd::Stopped: out.status = QCoreApplication::translate("TermsetController", "中断しました"); break;
    case ReadEnd::Failed:
    case ReadEnd::Aborted: out.status = QCoreApplication::translate("termset", def.readFailText); break;
    }
    for (int f = 0; f < def.fields.size(); ++f) {
        const Field &field = def.fields[f];
        if (field.codes == CodeList::None || !m_raw[f])
            continue;
        const uint16_t raw = *m_raw[f];
        const QStringList items = codeListItems(field.codes);
        const int item = listIndexFromRaw(QString::number(raw), int(items.size()));
        out.fields << FieldReading{f, fieldCaption(page, f, radioItem), raw,
                                   item >= 0 && !items[item].isEmpty() ? items[item] : QString::number(raw)};
    }
    co_return out;
}

} // namespace termset
