#include "tools/site/TfrmSite.h"
#include "app/MessageBoxes.h"
#include "monitor/MonitorSession.h"
#include "monitor/TextNumbers.h"
#include "ui_TfrmSite.h"
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

enum TerminalColumn { ColAddress, ColType, ColName };
enum ChannelColumn { ColChannel, ColTag, ColMin, ColMax };

// A whole number from lo to hi, chosen in a spin box.
class NumberDelegate : public QStyledItemDelegate {
public:
    NumberDelegate(int lo, int hi, QObject *parent) : QStyledItemDelegate(parent), m_lo(lo), m_hi(hi) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *spin = new QSpinBox(parent);
        spin->setRange(m_lo, m_hi);
        return spin;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QSpinBox *>(editor)->setValue(index.data(Qt::EditRole).toInt());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *spin = static_cast<QSpinBox *>(editor);
        spin->interpretText();
        model->setData(index, spin->value(), Qt::EditRole);
    }

private:
    int m_lo, m_hi;
};

// A terminal type chosen by its name; the cell keeps the number in UserRole.
class TypeDelegate : public QStyledItemDelegate {
public:
    TypeDelegate(const QStringList &names, QObject *parent) : QStyledItemDelegate(parent), m_names(names) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *combo = new QComboBox(parent);
        combo->addItems(m_names);
        return combo;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QComboBox *>(editor)->setCurrentIndex(index.data(Qt::UserRole).toInt());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const int type = static_cast<QComboBox *>(editor)->currentIndex();
        model->setData(index, type, Qt::UserRole);
        model->setData(index, m_names.value(type), Qt::DisplayRole);
    }

private:
    QStringList m_names;
};

QString boundText(const std::optional<double> &v)
{
    return v ? QString::number(*v, 'g', QLocale::FloatingPointShortest) : QString();
}

QTableWidgetItem *cell(const QString &text)
{
    return new QTableWidgetItem(text);
}

QTableWidgetItem *numberCell(int n)
{
    auto *item = new QTableWidgetItem;
    item->setData(Qt::EditRole, n);
    return item;
}

// Columns at least as wide as their captions (and the widest of the
// contents a column holds).
void fitColumns(QTableWidget *table, const QList<int> &minimum)
{
    const QFontMetrics fm(table->horizontalHeader()->font());
    for (int c = 0; c < table->columnCount(); ++c) {
        const QTableWidgetItem *h = table->horizontalHeaderItem(c);
        table->setColumnWidth(c, std::max(minimum.value(c), fm.horizontalAdvance(h ? h->text() : QString()) + 24));
    }
}

} // namespace

TfrmSite::TfrmSite(MonitorSession &session, const QStringList &typeNames, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmSite), m_session(session), m_typeNames(typeNames)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
    int typeWidth = 0;
    for (const QString &name : m_typeNames)
        typeWidth = std::max(typeWidth, fontMetrics().horizontalAdvance(name) + 40);

    QTableWidget *terminals = ui->gridTerminals;
    terminals->verticalHeader()->hide();
    terminals->setItemDelegateForColumn(ColAddress, new NumberDelegate(0, site::kAddressCount - 1, this));
    terminals->setItemDelegateForColumn(ColType, new TypeDelegate(m_typeNames, this));
    fitColumns(terminals, {60, typeWidth, 100});
    terminals->horizontalHeader()->setStretchLastSection(true);

    QTableWidget *channels = ui->gridChannels;
    channels->verticalHeader()->hide();
    channels->setItemDelegateForColumn(ColChannel, new NumberDelegate(0, site::kChannelCount - 1, this));
    fitColumns(channels, {60, 100, 70, 70});
    channels->horizontalHeader()->setSectionResizeMode(ColTag, QHeaderView::Stretch);

    connect(terminals, &QTableWidget::itemChanged, this, &TfrmSite::terminalEdited);
    connect(channels, &QTableWidget::itemChanged, this, &TfrmSite::channelEdited);
    connect(terminals, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous)
            chooseRow(row);
    });
    // A click on the terminal chosen already shows it again (the monitor may
    // have moved on since).
    connect(terminals, &QTableWidget::cellClicked, this, [this](int row, int) { chooseRow(row); });
    connect(ui->edSiteName, &QLineEdit::editingFinished, this, [this] {
        m_site.name = ui->edSiteName->text();
        commit();
    });
    connect(ui->btnSiteOpen, &QPushButton::clicked, this, &TfrmSite::btnSiteOpenClick);
    connect(ui->btnSiteSave, &QPushButton::clicked, this, &TfrmSite::btnSiteSaveClick);
    connect(ui->btnSiteAdd, &QPushButton::clicked, this, &TfrmSite::btnSiteAddClick);
    connect(ui->btnSiteRemove, &QPushButton::clicked, this, &TfrmSite::btnSiteRemoveClick);
    connect(&m_session, &MonitorSession::siteChanged, this, &TfrmSite::onSiteChanged);
    showSite();
}

TfrmSite::~TfrmSite()
{
    // A cell or the name still being edited is committed as its editor
    // loses the focus, which happens while the controls are taken down after
    // this: not into a window already gone.
    for (QWidget *control : findChildren<QWidget *>())
        control->disconnect(this);
    delete ui;
}

// ---- the session's installation, shown ------------------------------------

void TfrmSite::onSiteChanged()
{
    // The window's own edits come back unchanged: only the file may be new.
    const std::optional<site::Site> &s = m_session.site();
    if (s ? *s == m_site : m_site == site::Site{})
        showTitle();
    else
        showSite();
}

void TfrmSite::showSite()
{
    m_site = m_session.site().value_or(site::Site{});
    ui->edSiteName->setText(m_site.name);
    ui->stSiteGateway->setText(
        m_site.gateway
            ? tr("ファイルのゲートウェイ: %1:%2 (接続先は変更していません。Modbus設定で変更できます)")
                  .arg(m_site.gateway->host)
                  .arg(m_site.gateway->port)
            : tr("ファイルのゲートウェイ: なし (Modbus設定の接続先を使います)"));
    showTerminals();
    // A file opened moves nothing on the monitor until a terminal is chosen.
    const QSignalBlocker block(ui->gridTerminals);
    ui->gridTerminals->setCurrentCell(-1, -1);
    showChannels();
    showTitle();
}

void TfrmSite::showTitle()
{
    const QString path = m_session.sitePath();
    setWindowTitle(path.isEmpty() ? tr("設置構成") : tr("設置構成 - %1").arg(QFileInfo(path).fileName()));
}

void TfrmSite::showTerminals()
{
    QTableWidget *grid = ui->gridTerminals;
    const QSignalBlocker block(grid);
    const int current = grid->currentRow();
    grid->setRowCount(int(m_site.terminals.size()));
    for (int r = 0; r < grid->rowCount(); ++r) {
        const site::Terminal &t = m_site.terminals[r];
        grid->setItem(r, ColAddress, numberCell(t.address));
        QTableWidgetItem *type = cell(m_typeNames.value(t.type));
        type->setData(Qt::UserRole, t.type);
        grid->setItem(r, ColType, type);
        grid->setItem(r, ColName, cell(t.name));
    }
    grid->setCurrentCell(std::min(current, grid->rowCount() - 1), current < 0 ? -1 : ColAddress);
}

void TfrmSite::showChannels()
{
    QTableWidget *grid = ui->gridChannels;
    const QSignalBlocker block(grid);
    const site::Terminal *t = chosenTerminal();
    if (!t) {
        grid->setRowCount(0);
        return;
    }
    // The channels, then an empty row for the next one.
    grid->setRowCount(int(t->channels.size()) + 1);
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (r == t->channels.size()) {
            for (int c = ColChannel; c <= ColMax; ++c)
                grid->setItem(r, c, cell(QString()));
            break;
        }
        const site::Channel &ch = t->channels[r];
        grid->setItem(r, ColChannel, numberCell(ch.channel));
        grid->setItem(r, ColTag, cell(ch.tag));
        grid->setItem(r, ColMin, cell(boundText(ch.min)));
        grid->setItem(r, ColMax, cell(boundText(ch.max)));
    }
}

site::Terminal *TfrmSite::chosenTerminal()
{
    const int row = ui->gridTerminals->currentRow();
    return row >= 0 && row < m_site.terminals.size() ? &m_site.terminals[row] : nullptr;
}

void TfrmSite::chooseRow(int row)
{
    showChannels();
    if (row >= 0 && row < m_site.terminals.size())
        emit terminalChosen(m_site.terminals[row].address, m_site.terminals[row].type);
}

void TfrmSite::commit()
{
    m_session.setSite(m_site, m_session.sitePath());
}

// ---- edits -----------------------------------------------------------------

void TfrmSite::terminalEdited(QTableWidgetItem *item)
{
    const int row = item->row();
    if (row < 0 || row >= m_site.terminals.size())
        return;
    site::Terminal &t = m_site.terminals[row];
    switch (item->column()) {
    case ColAddress: t.address = std::clamp(item->data(Qt::EditRole).toInt(), 0, site::kAddressCount - 1); break;
    case ColType: t.type = item->data(Qt::UserRole).toInt(); break;
    case ColName: t.name = item->text(); break;
    default: return;
    }
    commit();
    if (item->column() != ColName && row == ui->gridTerminals->currentRow())
        emit terminalChosen(t.address, t.type);
}

void TfrmSite::channelEdited(QTableWidgetItem *item)
{
    site::Terminal *t = chosenTerminal();
    if (!t)
        return;
    const int row = item->row();
    const bool added = row >= t->channels.size();
    site::Channel c;
    if (added) {
        // The first box position the terminal does not list yet.
        while (c.channel < site::kChannelCount - 1 && t->channelAt(c.channel))
            ++c.channel;
    } else {
        c = t->channels[row];
    }
    const QString text = item->text().trimmed();
    switch (item->column()) {
    case ColChannel:
        if (!item->data(Qt::EditRole).isValid() || text.isEmpty()) {
            showChannelsLater();
            return;
        }
        c.channel = std::clamp(item->data(Qt::EditRole).toInt(), 0, site::kChannelCount - 1);
        break;
    case ColTag: c.tag = text; break;
    case ColMin:
    case ColMax: {
        std::optional<double> bound;
        if (!text.isEmpty()) {
            bound = ParseReal(text);
            if (!bound) {  // not a number: the cell shows what it had
                showChannelsLater();
                return;
            }
        }
        (item->column() == ColMin ? c.min : c.max) = bound;
        break;
    }
    default: return;
    }
    const bool empty = c.tag.isEmpty() && !c.min && !c.max;
    if (added && !(item->column() == ColChannel || !empty)) {
        showChannelsLater();
        return;
    }
    if (added)
        t->channels << c;
    else if (empty && item->column() != ColChannel)
        t->channels.removeAt(row);
    else
        t->channels[row] = c;
    commit();
    showChannelsLater();
}

void TfrmSite::showChannelsLater()
{
    // After the cell's edit has ended, so as not to replace the item the view
    // is still handling: a new empty row, a refused value shown as it was.
    QMetaObject::invokeMethod(this, &TfrmSite::showChannels, Qt::QueuedConnection);
}

void TfrmSite::btnSiteAddClick()
{
    // At the first word address no terminal has yet.
    int address = 0;
    while (address < site::kAddressCount && m_site.terminalAt(address))
        ++address;
    if (address == site::kAddressCount)
        return;
    m_site.terminals << site::Terminal{address, 0, QString(), {}, {}};
    commit();
    showTerminals();
    ui->gridTerminals->setCurrentCell(int(m_site.terminals.size()) - 1, ColAddress);
}

void TfrmSite::btnSiteRemoveClick()
{
    const int row = ui->gridTerminals->currentRow();
    if (row < 0 || row >= m_site.terminals.size())
        return;
    m_site.terminals.removeAt(row);
    commit();
    {
        const QSignalBlocker block(ui->gridTerminals);
        ui->gridTerminals->setCurrentCell(-1, -1);
    }
    showTerminals();
    showChannels();
}

// ---- files -----------------------------------------------------------------

bool TfrmSite::openFile(const QString &path)
{
    QString error;
    const std::optional<site::Site> s = site::read(path, &error);
    if (!s) {
        msg::error(this, error);
        return false;
    }
    m_session.setSite(*s, path);
    return true;
}

bool TfrmSite::saveFile(const QString &path)
{
    QString error;
    if (!site::write(path, m_site, &error)) {
        msg::error(this, error);
        return false;
    }
    m_session.setSite(m_site, path);
    return true;
}

QString TfrmSite::fileDialog(bool save)
{
    const QString name = save ? QStringLiteral("SiteSaveDialog") : QStringLiteral("SiteOpenDialog");
    auto *dialog = findChild<QFileDialog *>(name, Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new QFileDialog(this, save ? tr("設置構成の保存") : tr("設置構成を開く"));
        dialog->setObjectName(name);
        dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog->setDefaultSuffix(QStringLiteral("rmsite"));
        dialog->setNameFilter(tr("設置構成 (*.rmsite)"));
    }
    if (!m_session.sitePath().isEmpty())
        dialog->selectFile(m_session.sitePath());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().first();
}

void TfrmSite::btnSiteOpenClick()
{
    if (const QString path = fileDialog(false); !path.isEmpty())
        openFile(path);
}

void TfrmSite::btnSiteSaveClick()
{
    if (const QString path = fileDialog(true); !path.isEmpty())
        saveFile(path);
}
