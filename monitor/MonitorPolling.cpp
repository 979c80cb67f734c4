#include "monitor/MonitorPolling.h"
#include "monitor/MonitorLayout.h"
#include "monitor/TextNumbers.h"
#include <QCoreApplication>

// The texts are the main window's and keep its translation context.
namespace monitor {

int headerWord(const PollSelection &s)
{
    switch (s.page) {
    case MonitorPage::Bit: return headerWordOnBitPage(s.bitAddress);
    case MonitorPage::D2: return headerWordOnD2Page(s.d2BitAddress);
    case MonitorPage::Word: break;
    }
    return headerWordOnWordPage(s.wordAddress);
}

std::vector<PollRequest> pollRequests(const PollSelection &s)
{
    const int a = s.readAddress;
    const auto count = uint32_t(s.readSize);
    if (a >= 30001 && a <= 40000)
        return {{0, PollRequest::InputRegisters, uint32_t(a - 30001), count},
                {20, PollRequest::InputRegisters, uint32_t(headerWord(s)), 4}};
    if (a >= 41025 && a <= 50000)
        return {{0, PollRequest::HoldingRegisters, uint32_t(a - 40001), count}};
    return {};
}

PollInterval pollInterval(const QString &text)
{
    bool ok = false;
    const int interval = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return {std::nullopt,
                QCoreApplication::translate("TfrmMain", "'%1' は有効な整数値ではありません").arg(text)};
    if (interval < 0) {
        // A negative interval would leave the timer silent for weeks.
        return {std::nullopt, QCoreApplication::translate(
                                  "TfrmMain", "モニター間隔 '%1' は 0 以上の整数で指定してください")
                                  .arg(text)};
    }
    return {interval, QString()};
}

AutoSaveRule::Action AutoSaveRule::step(bool logging, bool autoSave, const QString &intervalText,
                                        uint32_t monitorCount)
{
    if (!logging || !autoSave)
        return Nothing;
    const auto interval = ParseInt(intervalText);
    if (!interval || *interval <= 0) {
        if (m_reportedInterval == intervalText)
            return Nothing;
        m_reportedInterval = intervalText;
        m_report = (interval ? QCoreApplication::translate(
                                   "TfrmMain",
                                   "保存間隔 %1 では自動ファイル保存ができません。1 以上の整数を指定してください。")
                                   .arg(intervalText.trimmed())
                             : IntConversionError(intervalText))
                   + QCoreApplication::translate("TfrmMain", "\n保存間隔が直るまで自動ファイル保存は行いません。");
        return Report;
    }
    m_reportedInterval.reset();
    return monitorCount % uint32_t(*interval) == 0 ? Save : Nothing;
}

} // namespace monitor
