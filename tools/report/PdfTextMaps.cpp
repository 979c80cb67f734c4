#include "tools/report/PdfTextMaps.h"
#include <QList>
#include <QString>
#include <utility>

namespace {

// How QPdfWriter begins the text of every ToUnicode map.
const QByteArray kMapStart = QByteArrayLiteral("/CIDInit /ProcSet findresource begin");
const QByteArray kStream = QByteArrayLiteral("stream\n");
const QByteArray kLength = QByteArrayLiteral("/Length ");
constexpr int kXrefEntry = 20;  // "oooooooooo ggggg n \n"

// The character a map target stands for.
uint intended(uint u)
{
    if (u == 0x09 || u == 0x0A || u == 0x0D)
        return 0x20;
    if (u >= 0x2E80 && u <= 0x2FDF) {
        const QString n = QString(QChar(char16_t(u))).normalized(QString::NormalizationForm_KC);
        if (n.size() == 1)
            return n[0].unicode();
    }
    return u;
}

QByteArray hex4(uint u) { return QByteArray::number(u, 16).toUpper().rightJustified(4, '0'); }

// The <hex> tokens of a line of the map, with their positions.
struct Token {
    qsizetype at, size;  // of the digits
    uint value;
};

QList<Token> tokensOf(const QByteArray &line)
{
    QList<Token> tokens;
    for (qsizetype i = line.indexOf('<'); i >= 0; i = line.indexOf('<', i + 1)) {
        const qsizetype end = line.indexOf('>', i);
        if (end < 0)
            break;
        bool ok = false;
        const uint v = line.mid(i + 1, end - i - 1).toUInt(&ok, 16);
        tokens.append({i + 1, end - i - 1, ok ? v : 0xFFFFFFFF});
    }
    return tokens;
}

// A target of one UTF-16 unit, mended in place (same width).
bool mendTarget(QByteArray &line, const Token &t)
{
    if (t.size != 4 || intended(t.value) == t.value)
        return false;
    line.replace(t.at, 4, hex4(intended(t.value)));
    return true;
}

// "<a> <b> <d>" maps a..b to d, d+1, ...; "<a> <b> [<d1> <d2> ...]" to the
// list. A run of consecutive targets with one to mend becomes a list.
bool mendRange(QByteArray &line)
{
    const QList<Token> tokens = tokensOf(line);
    if (tokens.size() < 3)
        return false;
    if (line.contains('[')) {
        bool changed = false;
        for (qsizetype i = tokens.size() - 1; i >= 2; --i)
            changed = mendTarget(line, tokens[i]) || changed;
        return changed;
    }
    const Token &d = tokens[2];
    const uint count = tokens[1].value - tokens[0].value + 1;
    if (d.size != 4 || tokens[1].value < tokens[0].value || count > 0x10000)
        return false;
    bool any = false;
    for (uint i = 0; i < count && !any; ++i)
        any = intended(d.value + i) != d.value + i;
    if (!any)
        return false;
    QByteArray list = line.left(d.at - 1) + '[';
    for (uint i = 0; i < count; ++i)
        list += '<' + hex4(intended(d.value + i)) + QByteArrayLiteral("> ");
    line = list + ']';
    return true;
}

QByteArray mendMap(const QByteArray &map, bool *changed)
{
    QList<QByteArray> lines = map.split('\n');
    enum { Other, Ranges, Chars } section = Other;
    for (QByteArray &line : lines) {
        if (line.endsWith("beginbfrange"))
            section = Ranges;
        else if (line.endsWith("beginbfchar"))
            section = Chars;
        else if (line.startsWith("endbf"))
            section = Other;
        else if (section == Ranges)
            *changed = mendRange(line) || *changed;
        else if (section == Chars) {
            const QList<Token> tokens = tokensOf(line);
            if (tokens.size() == 2)
                *changed = mendTarget(line, tokens[1]) || *changed;
        }
    }
    return lines.join('\n');
}

} // namespace

QByteArray mendToUnicodeMaps(const QByteArray &pdf)
{
    // The one cross-reference table: "xref\n0 N\n" and N entries.
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0)
        return pdf;
    bool ok = false;
    const qsizetype xref = pdf.mid(startxref + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || xref <= 0 || xref >= startxref || !pdf.mid(xref).startsWith("xref\n0 "))
        return pdf;
    const qsizetype countEnd = pdf.indexOf('\n', xref + 7);
    const qsizetype entries = pdf.mid(xref + 7, countEnd - xref - 7).trimmed().toLongLong(&ok);
    const qsizetype firstEntry = countEnd + 1;
    if (!ok || entries <= 0 || firstEntry + entries * kXrefEntry > startxref)
        return pdf;

    // Each map rewritten: (where in the input, bytes gained there).
    QByteArray out;
    QList<std::pair<qsizetype, qsizetype>> edits;
    qsizetype copied = 0;
    for (qsizetype at = pdf.indexOf(kMapStart); at >= 0 && at < xref; at = pdf.indexOf(kMapStart, at + 1)) {
        if (pdf.mid(at - kStream.size(), kStream.size()) != kStream)
            continue;
        const qsizetype object = pdf.lastIndexOf(" obj", at);
        const qsizetype lengthKey = pdf.lastIndexOf(kLength, at);
        if (object < 0 || lengthKey < object)
            continue;
        const qsizetype number = lengthKey + kLength.size();
        qsizetype numberEnd = number;
        while (numberEnd < at && pdf[numberEnd] >= '0' && pdf[numberEnd] <= '9')
            ++numberEnd;
        const qsizetype length = pdf.mid(number, numberEnd - number).toLongLong(&ok);
        // A length given as a reference to another object ("12 0 R") is not
        // the writer's; leave such a file alone.
        if (!ok || pdf.mid(numberEnd).trimmed().startsWith("0 R") || at + length > xref)
            return pdf;
        bool changed = false;
        const QByteArray mended = mendMap(pdf.mid(at, length), &changed);
        if (!changed)
            continue;
        const QByteArray newLength = QByteArray::number(mended.size());
        out += pdf.mid(copied, number - copied) + newLength + pdf.mid(numberEnd, at - numberEnd) + mended;
        edits.append({number, newLength.size() - (numberEnd - number) + mended.size() - length});
        copied = at + length;
    }
    if (edits.isEmpty())
        return pdf;

    auto moved = [&edits](qsizetype offset) {
        for (const auto &[where, gained] : edits)
            if (where < offset)
                offset += gained;
        return offset;
    };
    out += pdf.mid(copied, firstEntry - copied);
    for (qsizetype i = 0; i < entries; ++i) {
        const QByteArray entry = pdf.mid(firstEntry + i * kXrefEntry, kXrefEntry);
        if (entry.size() != kXrefEntry)
            return pdf;
        if (entry[17] == 'n')
            out += QByteArray::number(moved(entry.left(10).toLongLong()), 10).rightJustified(10, '0')
                   + entry.mid(10);
        else
            out += entry;
    }
    const qsizetype afterEntries = firstEntry + entries * kXrefEntry;
    out += pdf.mid(afterEntries, startxref + 9 - afterEntries);
    out += '\n' + QByteArray::number(moved(xref)) + QByteArrayLiteral("\n%%EOF\n");
    return out;
}
