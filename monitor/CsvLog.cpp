#include "monitor/CsvLog.h"
#include <QCoreApplication>
#include "monitor/WholeFile.h"
#include <QFileInfo>
#include <QStringEncoder>
#include <climits>

QString CsvHeaderCaption(int headerMode)
{
    switch (headerMode) {
    case 1: return QStringLiteral("Count");
    case 2: return QStringLiteral("Elapsed");
    case 3: return QStringLiteral("Date,Time,Count");
    default: return QString();
    }
}

QString CsvHeaderRow(int headerMode, int firstRegister, int registerCount)
{
    QString row = CsvHeaderCaption(headerMode);
    for (int i = 0; i < registerCount; ++i) {
        row += u',';
        row += QString::number(firstRegister + i);
    }
    return row;
}

QString CsvFileNumberText(int number, int digits)
{
    QString text = QString::number(number);
    if (number < 0) {
        // The sign stays in front of the padding ("-001").
        text = text.mid(1);
        if (text.size() < digits - 1)
            text = QString(digits - 1 - text.size(), u'0') + text;
        return u'-' + text;
    }
    if (text.size() < digits)
        text = QString(digits - text.size(), u'0') + text;
    return text;
}

QString CsvFileName(const QString &folder, const QString &header, int number, int digits)
{
    return folder + header + CsvFileNumberText(number, digits) + QStringLiteral(".csv");
}

QString CsvFileText(const QString &headerRow, const QStringList &lines)
{
    QString text;
    qsizetype size = headerRow.size() + 2;
    for (const QString &line : lines)
        size += line.size() + 2;
    text.reserve(size);
    text += headerRow;
    text += QStringLiteral("\r\n");
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

QStringList LogTextLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

bool WriteTextFile(const QString &path, const QString &text, QString *error)
{
    QStringEncoder encoder(QStringConverter::System);
    QString why;
    if (WriteWholeFile(path, encoder.encode(text), &why))
        return true;
    if (error)
        *error = QCoreApplication::translate("monitor", "ファイル %1 に書き込めません: %2").arg(path, why);
    return false;
}

int NextFreeCsvNumber(const QString &folder, const QString &header, int number, int digits,
                      QString *name)
{
    QString candidate = CsvFileName(folder, header, number, digits);
    while (QFileInfo::exists(candidate) && number < INT_MAX) {
        ++number;
        candidate = CsvFileName(folder, header, number, digits);
    }
    if (name)
        *name = candidate;
    return number;
}
