#pragma once
// The monitor panel of the main window: its controls become the session's
// selection, the layout rules of monitor/ lay its channels out, and the
// session's answers are drawn into its boxes. The main window keeps the
// panel's buttons; this class reads and draws the panel.
#include "monitor/MonitorSession.h"
#include "monitor/TrendData.h"
#include <QFont>
#include <QObject>
#include <QPalette>
#include <array>

namespace Ui { class TfrmMain; }
class QLabel;
class QMenu;
class QWidget;

class MonitorPanel : public QObject {
    Q_OBJECT
public:
    MonitorPanel(Ui::TfrmMain &ui, MonitorSession &session, QWidget *window);

    // Lays the panel out for its page, area, terminal and addresses, hands
    // the selection to the session and reports the layout (layoutChanged).
    void refreshLayout();
    // What the trend belongs to now: the selection and the channel names.
    monitor::TrendLayout trendLayout() const;
    void clearValues();
    void clearHeaders();
    // With the read window linked to the addresses, its edits are the
    // layout's; otherwise the user types them.
    void setReadWindowLinked(bool linked);

signals:
    void layoutChanged(const monitor::TrendLayout &layout);

private:
    void setupValueBoxes();
    void setupFormatMenu(QWidget *window);
    void showSessionAnswers();
    void updateSelection();
    monitor::MonitorPage page() const;
    void applyTerminalLayout(int base, int stride);
    void applyBitPageLayout(monitor::MonitorPage page);
    void setWordGroupCaptions(const QString &prefix, int base, int first);
    monitor::ChannelTexts wordChannelTexts() const;
    void setChannelTexts(const monitor::ChannelTexts &texts);
    void showBoxes(const monitor::MonitorBoxes &boxes);
    void setStale(bool stale);
    void showCounterColours(bool monitoring);

    Ui::TfrmMain &ui;
    MonitorSession &m_session;
    std::array<QLabel *, 32> m_values{};
    std::array<QLabel *, 32> m_labels{};
    QFont m_labelFont;  // of the channel labels as the form sets it
    std::array<QString, 32> m_labelTexts;  // the labels' texts whole
    std::array<QLabel *, 32> m_units{};
    std::array<QLabel *, 4> m_headers{};
    std::array<QPalette, 36> m_livePalettes;  // of the value and header boxes while greyed
    QMenu *m_formatMenu = nullptr;
    int m_counterColours = -1;
};
