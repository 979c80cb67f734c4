#include "termset/TermsetBinding.h"

namespace termset {

namespace {

QStringList numbered(const QString &prefix, int from, int to)
{
    QStringList l;
    for (int i = from; i <= to; ++i)
        l << prefix + QString::number(i);
    return l;
}

// Register 0, then the frequency, voltage (outlet bar: clear) and type
// lists of registers 1 to 3, then the current ranges.
QStringList lists(const QString &page, const QString &reg2, const QStringList &currents)
{
    return QStringList{QString(), page + QStringLiteral("Freq"), page + reg2, page + QStringLiteral("Type")}
           + currents;
}

// The labels of a current page: register 0 and 1 to 3 whole, then circuit
// n at register r, group g as cfg<g><0r> (cfg101 ... cfg107, cfg201 ...).
QStringList currentRawFields(const QString &prefix, const PageDef &def)
{
    QStringList l;
    for (const Field &f : def.fields)
        l << prefix + QString::number(f.group * 100 + f.reg);
    return l;
}

QList<PageBinding> buildBindings()
{
    QList<PageBinding> b(PageCount);

    PageBinding &w7 = b[Wattor7];
    w7.addressLabel = QStringLiteral("stWattor7adrs");
    w7.upDown = QStringLiteral("UpDown1");
    w7.readButton = QStringLiteral("btnReadWattor7");
    w7.writeButton = QStringLiteral("btnWriteWattor7");
    w7.cancelButton = QStringLiteral("btnReadWattor7Cancel");
    w7.statusLabel = QStringLiteral("lbWattor7WriteStatus");
    w7.progressBar = QStringLiteral("Wattor7ProgressBar1");
    w7.radioGroup = QStringLiteral("RadioGroup1");
    w7.currentLabels = numbered(QStringLiteral("Label"), 6, 12);
    w7.rawFields = numbered(QStringLiteral("stWattor7cfg"), 1, 11);
    w7.lists = lists(QStringLiteral("cbxWattor7"), QStringLiteral("Volt"), numbered(QStringLiteral("cbxWattor7Cur"), 1, 7));

    PageBinding &c8 = b[Curron08];
    c8.addressLabel = QStringLiteral("stCurron08Adrs");
    c8.upDown = QStringLiteral("UpDown2");
    c8.readButton = QStringLiteral("btnReadCurron08");
    c8.writeButton = QStringLiteral("btnWriteCurron08");
    c8.cancelButton = QStringLiteral("btnReadCurron08Cancel");
    c8.statusLabel = QStringLiteral("lbCurron08WriteStatus");
    c8.progressBar = QStringLiteral("Curron08ProgressBar1");
    c8.rawFields = currentRawFields(QStringLiteral("stCurron08cfg"), pageDef(Curron08));
    c8.lists = lists(QStringLiteral("cbxCurron08"), QStringLiteral("Volt"), numbered(QStringLiteral("cbxCurron08Cur"), 1, 8));

    PageBinding &w14 = b[Wattor14];
    w14.addressLabel = QStringLiteral("stWattor14Adrs");
    w14.upDown = QStringLiteral("UpDown4");
    w14.readButton = QStringLiteral("btnReadWattor14");
    w14.writeButton = QStringLiteral("btnWriteWattor14");
    w14.cancelButton = QStringLiteral("btnReadWattor14Cancel");
    w14.statusLabel = QStringLiteral("lbWattor14WriteStatus");
    w14.progressBar = QStringLiteral("Wattor14ProgressBar1");
    w14.rawFields = numbered(QStringLiteral("stWattor14cfg"), 1, 11);
    w14.lists = lists(QStringLiteral("cbxWattor14"), QStringLiteral("Volt"),
                      {"cbxWattor14Cur12", "cbxWattor14Cur34", "cbxWattor14Cur56", "cbxWattor14Cur78",
                       "cbxWattor14Cur910", "cbxWattor14Cur1112", "cbxWattor14Cur1314"});

    PageBinding &c16 = b[Curron16];
    c16.addressLabel = QStringLiteral("stCurron16Adrs");
    c16.upDown = QStringLiteral("UpDown3");
    c16.readButton = QStringLiteral("btnReadCurron16");
    c16.writeButton = QStringLiteral("btnWriteCurron16");
    c16.cancelButton = QStringLiteral("btnReadCurron16Cancel");
    c16.statusLabel = QStringLiteral("lbCurron16WriteStatus");
    c16.progressBar = QStringLiteral("Curron16ProgressBar1");
    c16.radioGroup = QStringLiteral("RadioGroup2");
    c16.currentLabels = numbered(QStringLiteral("lblC"), 1, 16);
    c16.rawFields = currentRawFields(QStringLiteral("stCurron16cfg"), pageDef(Curron16));
    c16.lists = lists(QStringLiteral("cbxCurron16"), QStringLiteral("Volt"), numbered(QStringLiteral("cbxCurron16Cur"), 1, 16));

    PageBinding &pdu = b[PDU];
    pdu.addressLabel = QStringLiteral("stPDUadrs");
    pdu.upDown = QStringLiteral("UpDown5");
    pdu.readButton = QStringLiteral("btnReadPDU");
    pdu.writeButton = QStringLiteral("btnWritePDU");
    pdu.cancelButton = QStringLiteral("btnCancelPDU");
    pdu.statusLabel = QStringLiteral("lbPDUWriteStatus");
    pdu.progressBar = QStringLiteral("PDUProgressBar1");
    pdu.rawFields = numbered(QStringLiteral("stPDUcfg"), 0, 3);
    pdu.lists = {QString(), QStringLiteral("cbxPDUfreq"), QStringLiteral("cbxPDUclr"), QStringLiteral("cbxPDUtype")};

    for (int i = 0; i < PageCount; ++i) {
        b[i].page = i;
        const int fields = int(pageDef(i).fields.size());
        if (b[i].rawFields.size() != fields || b[i].lists.size() != fields)
            qFatal("TfrmWattorSet: page %d binds %d labels and %d lists to %d fields", i,
                   int(b[i].rawFields.size()), int(b[i].lists.size()), fields);
    }
    return b;
}

} // namespace

const PageBinding &pageBinding(int page)
{
    static const QList<PageBinding> bindings = buildBindings();
    return bindings[qBound(0, page, int(PageCount) - 1)];
}

QStringList PageBinding::mustSelect() const
{
    const PageDef &def = pageDef(page);
    QStringList l;
    for (int i = 0; i < def.fields.size(); ++i)
        if (termset::mustSelect(def.fields[i]))
            l << lists[i];
    return l;
}

QString PageBinding::typeList() const
{
    const int f = typeField(pageDef(page));
    return f < 0 ? QString() : lists[f];
}

QStringList PageBinding::required() const
{
    const PageDef &def = pageDef(page);
    QStringList l;
    for (int i = 0; i < def.fields.size(); ++i)
        if (def.fields[i].awaited)
            l << rawFields[i];
    return l;
}

} // namespace termset
