#include "tools/journal/TfrmJournal.h"
#include "monitor/WriteJournal.h"
#include "tools/journal/JournalModel.h"
#include "ui_TfrmJournal.h"
#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

TfrmJournal::TfrmJournal(const WriteJournal &journal, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmJournal), m_journal(journal), m_model(new JournalModel(journal, this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowMinMaxButtonsHint);
    QTableView *grid = ui->gridJournal;
    grid->setModel(m_model);
    // Fixed row heights and column widths: a new row never makes the view
    // measure the texts of every row.
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    QHeaderView *h = grid->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setStretchLastSection(true);
    const QFontMetrics fm = grid->fontMetrics();
    const auto width = [&](JournalColumn c, const QString &widest) {
        const QString header = m_model->headerData(int(c), Qt::Horizontal).toString();
        grid->setColumnWidth(int(c), std::max(fm.horizontalAdvance(widest), fm.horizontalAdvance(header)) + 18);
    };
    width(JournalColumn::Time, QStringLiteral("0000-00-00T00:00:00.000+00:00"));
    // Room for most window names; a longer one is cut, its tool tip whole,
    // so that the outcome stays in view beside the main window.
    width(JournalColumn::Window, QString(10, QChar(0x30A2)));
    width(JournalColumn::Function, QStringLiteral("00"));
    width(JournalColumn::Reference, QStringLiteral("000000"));
    width(JournalColumn::Value, QStringLiteral("0000000000"));
    grid->setTextElideMode(Qt::ElideRight);

    // Follows the newest row while the list shows its end.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar *bar = ui->gridJournal->verticalScrollBar();
        m_follow = bar->value() >= bar->maximum();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_follow)
            ui->gridJournal->scrollToBottom();
    });
    // A long path does not widen the window; the tool tip holds all of it.
    ui->stJournalFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

TfrmJournal::~TfrmJournal()
{
    delete ui;
}

void TfrmJournal::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    const QString path = QDir::toNativeSeparators(m_journal.filePath());
    ui->stJournalFile->setText(path.isEmpty() ? QString() : tr("ファイル: %1").arg(path));
    ui->stJournalFile->setToolTip(path);
    if (m_follow)
        ui->gridJournal->scrollToBottom();
}
