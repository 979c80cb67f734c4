#include "monitor/MonitorSession.h"
#include "monitor/CsvLog.h"
#include "monitor/CsvRow.h"
#include "monitor/FormatElapsed.h"
#include "monitor/TextNumbers.h"
#include "monitor/ValueDecoding.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

using monitor::ConnectionState;

MonitorSession::MonitorSession(QObject *parent)
    : QObject(parent), m_link(new ModbusLink(this)), m_recorder(new BusRecorder(*m_link, this))
{
    m_realFactor.fill(0.1f);
    m_logElapsedText = QStringLiteral("0:00:00.0");
    m_pollTimer.setObjectName(QStringLiteral("Timer1"));
    m_pollTimer.setInterval(500);
    connect(&m_pollTimer, &QTimer::timeout, this, &MonitorSession::tick);

    connect(m_link, &ModbusLink::requestTimedOut, this, &MonitorSession::onTimedOut);
    connect(m_link, &ModbusLink::connecting, this,
            [this] { emit connectionStateChanged(ConnectionState::Connecting); });
    connect(m_link, &ModbusLink::connected, this,
            [this] { emit connectionStateChanged(ConnectionState::Connected); });
    connect(m_link, &ModbusLink::disconnected, this, &MonitorSession::onDisconnected);
    // A recording that ends by itself says why once, in a box and in the
    // status bar.
    connect(m_recorder, &BusRecorder::failed, this, [this](const QString &message) {
        emit statusText(message);
        emit errorMessage(message);
    });
}

MonitorSession::~MonitorSession()
{
    // The recording is closed while the link it reads through is still there.
    delete m_recorder;
}

// ---- connection ----------------------------------------------------------------

ConnectionState MonitorSession::connectionState() const
{
    switch (m_link->socketState()) {
    case QAbstractSocket::ConnectedState: return ConnectionState::Connected;
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState: return ConnectionState::Connecting;
    default: return ConnectionState::Disconnected;
    }
}

void MonitorSession::applyConnectionSettings()
{
    m_link->setHost(m_settings.modbusHost);
    m_link->setPort(m_settings.modbusPort.toInt());
    m_link->setResponseTimeout(m_settings.responseTimeoutMs);
}

void MonitorSession::onDisconnected()
{
    m_monitoringAtDisconnect = m_monitoring || m_monitoringAtPause;
    m_pollTimer.stop();
    if (m_monitoring) {
        m_monitoring = false;
        emit monitoringChanged(false);
    }
    emit connectionStateChanged(ConnectionState::Disconnected);
}

Reply MonitorSession::writeSingleCoil(const QString &source, uint32_t address, uint8_t state)
{
    return m_journal.track(m_link->SendWriteSingleCoil(address, state),
                           journal::Write::singleCoil(source, address, state));
}

// ---- selection ------------------------------------------------------------------

void MonitorSession::setSelection(const monitor::MonitorSelection &selection)
{
    m_selection = selection;
}

void MonitorSession::setSite(const site::Site &site, const QString &path)
{
    if (m_site == site && m_sitePath == path)
        return;
    m_site = site;
    m_sitePath = path;
    emit siteChanged();
}

void MonitorSession::clearSite()
{
    if (!m_site && m_sitePath.isEmpty())
        return;
    m_site.reset();
    m_sitePath.clear();
    emit siteChanged();
}

monitor::MonitorState MonitorSession::decodingState(const monitor::MonitorSelection &sel) const
{
    monitor::MonitorState s;
    s.wordPage = sel.poll.page == monitor::MonitorPage::Word;
    s.dataType = sel.dataType;
    s.extendedArea = sel.extendedArea;
    s.swapped = m_settings.wordOrderSwap != 0;
    s.displayFormat = m_displayFormat;
    s.wordAddress = sel.poll.wordAddress;
    s.bitDataItem = sel.bitDataItem;
    s.logValueType = m_settings.logValueType;
    s.logScale = m_settings.logScale;
    s.table = &m_table;
    s.realFactor = &m_realFactor;
    return s;
}

// ---- monitoring -------------------------------------------------------------------

MonitorSession::StartFailure MonitorSession::startMonitoring(const QString &intervalText, QString *error)
{
    m_monitoringAtPause = false;  // the user's ▶ during a pause stands
    m_monitorCount = 0;
    const auto start = ParseInt(m_autoSave.firstNumber);
    if (!start) {
        *error = IntConversionError(m_autoSave.firstNumber);
        return StartFailure::Numbering;
    }
    const auto digits = ParseInt(m_autoSave.digits);
    if (!digits) {
        *error = IntConversionError(m_autoSave.digits);
        return StartFailure::Numbering;
    }
    m_logFileNumber = *start;
    m_logFileDigits = *digits;

    const monitor::PollInterval poll = monitor::pollInterval(intervalText);
    if (!poll.ms) {
        *error = poll.error;
        return StartFailure::Interval;
    }
    m_pollTimer.setInterval(*poll.ms);
    if (*poll.ms == 0)
        m_pollTimer.stop();  // monitoring is on, but nothing is ever sent
    else
        m_pollTimer.start();
    m_monitoring = true;
    emit monitoringChanged(true);
    emit monitorStarted(QDateTime::currentMSecsSinceEpoch());
    return StartFailure::None;
}

void MonitorSession::stopMonitoring()
{
    m_monitoringAtPause = false;  // and so does the user's ■
    m_pollTimer.stop();
    if (!m_monitoring)
        return;
    m_monitoring = false;
    emit monitoringChanged(false);
}

void MonitorSession::resumeMonitoring()
{
    if (!m_monitoringAtDisconnect || !m_link->isOpen())
        return;
    m_monitoring = true;
    if (m_pollTimer.interval() > 0)
        m_pollTimer.start();
    emit monitoringChanged(true);
}

void MonitorSession::pauseMonitoring()
{
    if (!m_monitoring)
        return;
    stopMonitoring();
    m_monitoringAtPause = true;
}

void MonitorSession::endMonitoringPause()
{
    if (!std::exchange(m_monitoringAtPause, false) || m_monitoring)
        return;
    // Without a connection it stays off until the connection is back.
    m_monitoringAtDisconnect = true;
    resumeMonitoring();
}

QString MonitorSession::monitorElapsedText() const
{
    return FormatElapsed(uint32_t(m_pollTimer.interval()), m_monitorCount);
}

void MonitorSession::tick()
{
    if (!m_monitoring)
        return;
    const ModbusLink::Batch together(*m_link);  // the tick's requests in one send
    for (const monitor::PollRequest &r : monitor::pollRequests(m_selection.poll)) {
        const Reply reply = r.function == monitor::PollRequest::InputRegisters
                                ? m_link->SendReadInputRegisters(r.tag, r.address, r.count)
                                : m_link->SendReadHoldingRegisters(r.tag, r.address, r.count);
        if (!reply->serial())
            continue;  // not sent: no connection
        m_stamps[reply->serial()] = m_selection;
        // Every ending (answer, timeout, the link's loss) takes the stamp
        // away; a good answer is shown.
        connect(reply.get(), &LinkReply::finished, this, [this, r = reply.get()] {
            if (!r->isGoodAnswer()) {
                m_stamps.erase(r->serial());
                return;
            }
            if (r->tag() == 20)
                handleHeaderAnswer(r->answer(), r->match().request);
            else
                handleValuesAnswer(r->answer(), r->match().request);
        });
    }
}

bool MonitorSession::stampedCurrent(const modbus::Transaction &request, monitor::MonitorSelection *stamped)
{
    *stamped = m_selection;
    if (request.serial == 0)
        return true;  // an answer that matched no request cannot be told
    const auto it = m_stamps.find(request.serial);
    if (it == m_stamps.end())
        return false;  // not a poll of this session
    *stamped = it->second;
    m_stamps.erase(it);
    return *stamped == m_selection;
}

void MonitorSession::answerCame()
{
    if (m_stale) {
        m_stale = false;
        emit staleChanged(false);
    }
    m_lastAnswer.start();
}

void MonitorSession::handleHeaderAnswer(const ReceiveBuffer &rb, const modbus::Transaction &request)
{
    monitor::MonitorSelection sel;
    if (!stampedCurrent(request, &sel))
        return;
    answerCame();
    monitor::MonitorBoxes boxes;
    const bool wordPage = sel.poll.page == monitor::MonitorPage::Word;
    for (int m = 0; m < 4 && m < rb.wordCount(); ++m) {
        if (auto text = monitor::headerText(rb.word(m), m_displayFormat, wordPage)) {
            boxes.headers[size_t(m)] = *text;
            boxes.headerMask |= 1u << m;
        }
    }
    if (boxes.headerMask)
        emit boxesDecoded(boxes);
}

void MonitorSession::handleValuesAnswer(const ReceiveBuffer &rb, const modbus::Transaction &request)
{
    monitor::MonitorSelection sel;
    if (!stampedCurrent(request, &sel))
        return;
    answerCame();
    const qint64 arrived = QDateTime::currentMSecsSinceEpoch();
    const monitor::MonitorState s = decodingState(sel);

    QString row = monitor::csvRowPrefix(
        m_settings.logHeaderMode, m_logCount, m_logElapsedText,
        m_settings.logHeaderMode == 3 ? QDateTime::currentDateTime() : QDateTime());
    monitor::MonitorBoxes boxes;
    const uint8_t *data = rb.bytes.data() + ReceiveBuffer::kDataStart;
    monitor::decodeMonitorAnswer(data, rb.byteCount(), s, boxes, row);
    emit boxesDecoded(boxes);
    logRow(row);
    m_lastRow = row;
    emit answerRow(row);
    ++m_monitorCount;
    emit monitorCounted(m_monitorCount, monitorElapsedText());
    autoSaveCheck();
    emit valuesSampled(monitor::trendSample(data, rb.byteCount(), s, boxes), arrived);
}

void MonitorSession::onTimedOut(const modbus::Transaction &request)
{
    if (request.tag != 0 && request.tag != 20)
        return;
    if (!m_stale) {
        m_stale = true;
        emit staleChanged(true);
    }
    emit monitorTimedOut(m_lastAnswer.isValid() ? std::optional<int64_t>(m_lastAnswer.elapsed())
                                                : std::nullopt);
}

// ---- recording -------------------------------------------------------------------

bool MonitorSession::startRecording(const QString &intervalText, QString *error)
{
    int interval = m_monitoring ? m_pollTimer.interval() : 0;
    if (interval <= 0) {
        const monitor::PollInterval poll = monitor::pollInterval(intervalText);
        if (!poll.ms) {
            *error = poll.error;
            return false;
        }
        interval = *poll.ms;
    }
    if (interval <= 0) {
        *error = QCoreApplication::translate("TfrmMain", "間隔が 0 ms では記録できません。");
        return false;
    }
    return m_recorder->start(m_settings.logDir, m_site ? &*m_site : nullptr, interval,
                             m_settings.wordOrderSwap != 0, error);
}

void MonitorSession::stopRecording()
{
    m_recorder->stop();
}

// ---- logging ---------------------------------------------------------------------

void MonitorSession::startLogging()
{
    m_logging = true;
    m_logCount = 0;
    m_logElapsedText = QStringLiteral("0:00:00.0");
    m_rows.clear();
    emit rowsCleared();
}

void MonitorSession::clearRows()
{
    m_rows.clear();
    emit rowsCleared();
}

void MonitorSession::stopLogging()
{
    m_logging = false;
}

void MonitorSession::logRow(const QString &row)
{
    if (!m_logging)
        return;
    m_rows.append(row);
    ++m_logCount;
    m_logElapsedText = FormatElapsed(uint32_t(m_pollTimer.interval()), m_logCount);
    emit rowLogged(row, m_logCount, m_logElapsedText);
}

void MonitorSession::autoSaveCheck()
{
    switch (m_autoSaveRule.step(m_logging, m_autoSave.enabled, m_autoSave.interval, m_monitorCount)) {
    case monitor::AutoSaveRule::Save:
        autoSave();
        break;
    case monitor::AutoSaveRule::Report:
        // Monitoring and logging go on; only the saving waits for a usable
        // interval.
        emit errorMessage(m_autoSaveRule.report());
        break;
    case monitor::AutoSaveRule::Nothing:
        break;
    }
}

void MonitorSession::autoSave()
{
    const QString header = CsvHeaderRow(m_settings.logHeaderMode, m_selection.poll.readAddress,
                                        m_selection.poll.readSize);
    const QString text = CsvFileText(header, m_rows);

    // An existing file is never replaced: restarting the monitor restarts
    // the numbers, so the next free number is taken instead.
    QString name;
    const QString &dir = m_settings.logDir;
    const QString wanted = CsvFileName(dir, m_autoSave.fileHeader, m_logFileNumber, m_logFileDigits);
    const int number = NextFreeCsvNumber(dir, m_autoSave.fileHeader, m_logFileNumber, m_logFileDigits, &name);
    QString error;
    if (!WriteTextFile(name, text, &error)) {
        // The rows stay and go into the next attempt; the file number is kept.
        emit statusText(error);
        if (m_reportedAutoSaveError != error) {
            m_reportedAutoSaveError = error;
            emit errorMessage(error + QCoreApplication::translate("TfrmMain", "\nログは消去せずに残しています。"));
        }
        return;
    }
    m_reportedAutoSaveError.clear();
    m_rows.clear();
    emit rowsCleared();
    m_logFileNumber = number + 1;
    if (name == wanted)
        emit statusText(QCoreApplication::translate("TfrmMain", "ログを保存しました: %1").arg(name));
    else
        emit statusText(QCoreApplication::translate("TfrmMain", "%1 は既にあるため、ログを %2 に保存しました").arg(QFileInfo(wanted).fileName(), name));
}

bool MonitorSession::saveRows(const QString &path, QString *error) const
{
    QString text;
    for (const QString &line : m_rows)
        text += line + QStringLiteral("\r\n");
    return WriteTextFile(path, text, error);
}
