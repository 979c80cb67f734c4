#include "monitor/ConversionTable.h"
#include <QCoreApplication>
#include "monitor/TextNumbers.h"
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cmath>
#include <limits>

namespace {

bool isSpace(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

// A real that a single-precision entry can hold.
std::optional<float> ParseSingle(const QString &text)
{
    const auto v = ParseReal(text);
    if (!v || std::fabs(*v) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(*v);
}

} // namespace

QStringList SplitCommaText(const QString &line)
{
    QStringList fields;
    const qsizetype nul = line.indexOf(QChar(0));
    const qsizetype n = nul < 0 ? line.size() : nul;
    qsizetype i = 0;
    while (i < n && isSpace(line[i]))
        ++i;
    while (i < n) {
        QString field;
        if (line[i] == u'"') {
            ++i;
            while (i < n) {
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
        } else {
            const qsizetype start = i;
            while (i < n && line[i].unicode() > 32 && line[i] != u',')
                ++i;
            field = line.mid(start, i - start);
        }
        fields << field;
        while (i < n && isSpace(line[i]))
            ++i;
        if (i < n && line[i] == u',') {
            ++i;
            while (i < n && isSpace(line[i]))
                ++i;
        }
    }
    return fields;
}

ConversionTable::LoadResult ConversionTable::load(const QString &text)
{
    LoadResult result;
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineEnd);
    for (qsizetype li = 0; li < lines.size() && result.accepted < kEntries; ++li) {
        const QStringList f = SplitCommaText(lines[li]);
        if (f.isEmpty() || f[0].isEmpty() || f[0] == QStringLiteral("#"))
            continue;
        auto fail = [&](const QString &error) {
            result.ok = false;
            result.line = int(li + 1);
            result.error = error;
            return result;
        };
        const auto c = ParseInt(f[0]);
        if (!c)
            return fail(IntConversionError(f[0]));
        if (*c < 1 || *c > kEntries)
            continue;
        ConversionEntry &e = entry(*c);
        e.number = *c;
        const QString gainText = f.value(1), offsetText = f.value(2);
        const auto gain = ParseSingle(gainText);
        if (!gain)
            return fail(RealConversionError(gainText));
        e.gain = *gain;
        const auto offset = ParseSingle(offsetText);
        if (!offset)
            return fail(RealConversionError(offsetText));
        e.offset = *offset;
        ++result.accepted;
    }
    return result;
}

ConversionTable::LoadResult ConversionTable::loadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LoadResult result;
        result.ok = false;
        result.error = QCoreApplication::translate("monitor", "ファイル %1 を開けません: %2").arg(path, file.errorString());
        return result;
    }
    QStringDecoder decoder(QStringConverter::System);
    const QString text = decoder.decode(file.readAll());
    return load(text);
}
