#include "monitor/Survey.h"
#include "link/ModbusFrames.h"
#include "monitor/MonitorAnswer.h"
#include "monitor/MonitorLayout.h"
#include "monitor/MonitorPolling.h"
#include "monitor/MonitorSession.h"
#include "monitor/TrendData.h"
#include "monitor/ValueDecoding.h"
#include "tools/gwcfg/GatewayClock.h"
#include "tools/modinfo/ModInfoText.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>

namespace survey {

void fillStatistics(ChannelResult &c, const QList<double> &samples)
{
    if (samples.isEmpty()) {
        c.lowest.reset();
        c.mean.reset();
        c.highest.reset();
        c.verdict = Verdict::NoAnswer;
        return;
    }
    const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
    double sum = 0;
    for (double v : samples)
        sum += v;
    c.lowest = *lo;
    c.highest = *hi;
    c.mean = sum / double(samples.size());
    const bool below = c.expectedMin && *lo < *c.expectedMin;
    const bool above = c.expectedMax && *hi > *c.expectedMax;
    c.verdict = below || above ? Verdict::OutOfRange : Verdict::Ok;
}

QList<int> surveyedChannels(const site::Terminal &terminal)
{
    const monitor::ChannelTexts texts = monitor::terminalChannels(terminal.type, monitor::Extended512);
    // The monitor's window shows four word addresses; the boxes past the
    // terminal's own words belong to whatever sits at the next addresses.
    const int ownBoxes = 8 * monitor::terminalWordCount(terminal.type);
    QList<int> boxes;
    for (int p = 0; p < site::kChannelCount; ++p) {
        const QString label = texts.labels[size_t(p)].trimmed();
        const bool labelled = p < ownBoxes && !label.isEmpty() && label != QLatin1String("--");
        if (labelled || terminal.channelAt(p))
            boxes << p;
    }
    return boxes;
}

} // namespace survey

namespace {

// What the monitor reads for a terminal on the word page with the extended
// input area.
monitor::MonitorSelection selectionOf(const site::Terminal &t)
{
    monitor::MonitorSelection s;
    s.poll.page = monitor::MonitorPage::Word;
    const monitor::ReadWindow window = monitor::wordReadWindow(monitor::Extended512, t.type, t.address);
    s.poll.readAddress = window.address;
    s.poll.readSize = window.size;
    s.poll.wordAddress = t.address;
    s.dataType = monitor::wordAreaDataType(monitor::Extended512, t.type);
    s.extendedArea = true;
    return s;
}

QString surveyText(const char *text)
{
    return QCoreApplication::translate("Survey", text);
}

} // namespace

Survey::Survey(MonitorSession &session, QObject *parent)
    : QObject(parent), m_session(session),
      m_settingsRead(termset::TermsetRead::Link{
          [&session](int reg, uint16_t value) {
              return session.journal().track(session.link().SendWriteSingleRegister(uint32_t(reg), value),
                                             journal::Write::singleRegister(journalSource(), uint32_t(reg), value));
          },
          [&session](int address, int count) {
              return session.link().SendReadInputRegisters(termset::kParameterTag, uint32_t(address), uint32_t(count));
          }})
{
    m_pauseTimer.setSingleShot(true);
    connect(&m_pauseTimer, &QTimer::timeout, this, [this] {
        m_pauseOver = true;
        m_sequence.poke();
    });
    // The connection went: whatever waits ends now, and so does the survey.
    connect(&session.link(), &ModbusLink::disconnected, this, [this] {
        if (!m_running)
            return;
        m_linkLost = true;
        m_settingsRead.stop();
        m_sequence.poke();
    });
}

Survey::~Survey()
{
    m_ending = true;
    m_stopRequested = true;
    m_settingsRead.stop();
    m_sequence.stop();
}

QString Survey::journalSource()
{
    return QCoreApplication::translate("TfrmSurvey", "一括点検");
}

bool Survey::start(int samples, int intervalMs, QString *error)
{
    const auto refuse = [error](const char *text) {
        if (error)
            *error = surveyText(text);
        return false;
    };
    if (m_running)
        return refuse(QT_TRANSLATE_NOOP("Survey", "一括点検は実行中です。"));
    if (!m_session.site())
        return refuse(QT_TRANSLATE_NOOP("Survey", "設置構成が開かれていません。\n"
                                                  "設定 → 設置構成 で設置構成ファイルを開いてから点検してください。"));
    if (!m_session.isConnected())
        return refuse(QT_TRANSLATE_NOOP("Survey", "リレイモに接続されていません。"));

    m_site = *m_session.site();
    m_result = survey::SurveyResult{};
    m_result.siteName = m_site.name;
    m_result.siteFile = m_session.sitePath();
    m_result.started = QDateTime::currentDateTime();
    m_result.samplesPerTerminal = std::max(1, samples);
    m_result.intervalMs = std::max(0, intervalMs);
    m_result.gateway.host = m_session.link().host();
    m_result.gateway.port = m_session.link().port();
    m_total = 2;  // the module information and the clock
    for (const site::Terminal &t : std::as_const(m_site.terminals)) {
        survey::TerminalResult r;
        r.address = t.address;
        r.type = t.type;
        r.typeName = m_typeNames.value(t.type, monitor::terminalType(t.type).caption);
        r.name = t.name;
        r.samplesAsked = m_result.samplesPerTerminal;
        const monitor::ChannelTexts texts = monitor::terminalChannels(t.type, monitor::Extended512);
        for (int p : survey::surveyedChannels(t)) {
            survey::ChannelResult c;
            c.channel = p;
            c.label = texts.labels[size_t(p)];
            c.unit = texts.units[size_t(p)];
            if (const site::Channel *named = t.channelAt(p)) {
                c.tag = named->tag;
                c.expectedMin = named->min;
                c.expectedMax = named->max;
            }
            r.channels << c;
            r.series << QList<double>{};
        }
        m_result.terminals << r;
        m_total += r.samplesAsked + (termset::settingsUnits(t.type).isEmpty() ? 0 : 1);
    }
    m_done = 0;
    m_stopRequested = false;
    m_linkLost = false;
    m_running = true;
    m_session.pauseMonitoring();
    emit progress(0, m_total);
    run();
    return true;
}

void Survey::stop()
{
    if (m_running)
        m_stopRequested = true;
}

void Survey::stepDone()
{
    ++m_done;
    emit progress(m_done, m_total);
}

void Survey::noteEnding(const Reply &reply)
{
    if (reply->ending() == LinkReply::Ending::Lost || !m_session.isConnected())
        m_linkLost = true;
}

QCoro::Task<bool> Survey::pause(int ms)
{
    if (ms <= 0)
        co_return !m_linkLost;
    m_pauseOver = false;
    m_pauseTimer.start(ms);
    const bool awaited = co_await m_sequence.until([this] { return m_pauseOver || m_linkLost; });
    m_pauseTimer.stop();
    co_return awaited && !m_linkLost;
}

QCoro::Task<> Survey::run()
{
    {
        const auto running = m_sequence.begin();
        if (!running) {
            finish();
            co_return;
        }
        for (int i = 0; i < m_result.terminals.size() && goesOn(); ++i) {
            co_await sampleTerminal(i);
            if (goesOn())
                co_await readSettings(i);
        }
        if (goesOn())
            co_await readModuleInfo();
        if (goesOn())
            co_await readClock();
    }
    finish();
}

QCoro::Task<> Survey::sampleTerminal(int index)
{
    // Kept here until the terminal is done: the result may be copied
    // meanwhile by whoever shows it.
    const QList<survey::ChannelResult> channels = m_result.terminals[index].channels;
    const int asked = m_result.terminals[index].samplesAsked;
    QList<QList<double>> series(channels.size());
    int received = 0;
    const monitor::MonitorSelection selection = selectionOf(m_site.terminals[index]);
    monitor::MonitorState state = m_session.decodingState(selection);
    state.displayFormat = monitor::Decimal;
    ModbusLink &link = m_session.link();
    QElapsedTimer sent;
    for (int k = 0; k < asked && goesOn(); ++k) {
        if (k > 0 && !co_await pause(m_result.intervalMs - int(sent.elapsed())))
            break;
        // The reads of one tick of the monitor, in one send.
        Reply values, header;
        {
            const ModbusLink::Batch together(link);
            for (const monitor::PollRequest &q : monitor::pollRequests(selection.poll)) {
                const bool isValues = q.tag == 0;
                const uint8_t tag = isValues ? modbus::kSurveyTag : modbus::kSurveyHeaderTag;
                const Reply reply = q.function == monitor::PollRequest::InputRegisters
                                        ? link.SendReadInputRegisters(tag, q.address, q.count)
                                        : link.SendReadHoldingRegisters(tag, q.address, q.count);
                (isValues ? values : header) = reply;
            }
        }
        sent.start();
        if (!values || !co_await m_sequence.reply(values) || (header && !co_await m_sequence.reply(header)))
            co_return;  // the survey's object goes
        if (values->isGoodAnswer()) {
            const ReceiveBuffer &rb = values->answer();
            const uint8_t *data = rb.bytes.data() + ReceiveBuffer::kDataStart;
            monitor::MonitorBoxes boxes;
            monitor::decodeMonitorBoxes(data, rb.byteCount(), state, boxes);
            const monitor::TrendSample sample = monitor::trendSample(data, rb.byteCount(), state, boxes);
            for (int c = 0; c < channels.size(); ++c) {
                const int p = channels[c].channel;
                if (sample.mask & (1u << p))
                    series[c] << sample.values[size_t(p)];
            }
            ++received;
        }
        noteEnding(values);
        stepDone();
    }
    survey::TerminalResult &r = m_result.terminals[index];
    r.samplesReceived = received;
    r.series = series;
    for (int c = 0; c < r.channels.size(); ++c)
        survey::fillStatistics(r.channels[c], r.series[c]);
    emit terminalSurveyed(index, r);
}

QCoro::Task<> Survey::readSettings(int index)
{
    const site::Terminal &t = m_site.terminals[index];
    const QList<termset::SettingsUnit> units = termset::settingsUnits(t.type);
    if (units.isEmpty())
        co_return;
    survey::TerminalSettings settings;
    settings.pageName = termset::pageCaption(units.first().page);
    settings.read = true;
    for (int u = 0; u < units.size(); ++u) {
        const termset::SettingsReading reading =
            co_await m_settingsRead.read(units[u].page, units[u].radioItem, t.address);
        // A further unit of the terminal adds its current ranges only.
        for (const termset::FieldReading &f : reading.fields)
            if (u == 0 || f.field >= termset::kFirstRangeField)
                settings.items << survey::SettingItem{f.caption, f.itemText};
        if (reading.end != termset::ReadEnd::Read) {
            settings.read = false;
            settings.failure = reading.status;
            break;
        }
    }
    if (m_ending)
        co_return;
    survey::TerminalResult &r = m_result.terminals[index];
    r.settings = settings;
    stepDone();
    emit terminalSurveyed(index, r);
}

QCoro::Task<> Survey::readModuleInfo()
{
    ModuleInfoFields fields;
    int good = 0;
    for (const ModuleInfoRead &q : kModuleInfoReads) {
        const Reply reply = m_session.link().SendReadInputRegisters(q.tag, q.address, q.count);
        if (!co_await m_sequence.reply(reply))
            co_return;
        noteEnding(reply);
        if (reply->isGoodAnswer()) {
            mergeFields(fields, decodeModuleInfo(q.tag, reply->answer(), m_rm2));
            ++good;
        }
        if (m_linkLost)
            break;
    }
    survey::GatewayResult &g = m_result.gateway;
    g.moduleInfo = fields;
    g.moduleInfoRead = good == int(std::size(kModuleInfoReads));
    stepDone();
    emit gatewaySurveyed(g);
}

QCoro::Task<> Survey::readClock()
{
    // The read of the settings dialog's clock (request tag 4).
    const Reply reply = m_session.link().SendReadInputRegisters(4, gwclock::kReadRegister, gwclock::kReadCount);
    if (!co_await m_sequence.reply(reply))
        co_return;
    noteEnding(reply);
    const QDateTime pc = QDateTime::currentDateTime();  // the answer has just come
    survey::GatewayResult &g = m_result.gateway;
    if (reply->isGoodAnswer() && reply->answer().byteCount() >= gwclock::kAnswerBytes) {
        std::array<uint8_t, 7> d{};
        for (int i = 0; i < 7; ++i)
            d[size_t(i)] = reply->answer().dataByte(i);
        if (const auto clock = gwclock::ClockDateTime(d)) {
            g.clock = *clock;
            g.clockDifferenceSeconds = pc.secsTo(*clock);
        }
    }
    stepDone();
    emit gatewaySurveyed(g);
}

void Survey::finish()
{
    m_running = false;
    m_pauseTimer.stop();
    m_result.finished = QDateTime::currentDateTime();
    m_result.stopped = m_stopRequested || m_linkLost;
    if (m_ending)
        return;
    m_session.endMonitoringPause();
    emit finished(m_result);
}
