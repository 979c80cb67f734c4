#include "monitor/TextNumbers.h"
#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>

std::optional<int> ParseInt(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = text.trimmed();
    if (!decimal.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;  // out of the range of an int
    return v;
}

std::optional<double> ParseReal(const QString &text)
{
    static const QRegularExpression real(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    const QString t = text.trimmed();
    if (!real.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString IntConversionError(const QString &text)
{
    return QCoreApplication::translate("monitor", "'%1' は有効な整数値ではありません").arg(text);
}

QString RealConversionError(const QString &text)
{
    return QCoreApplication::translate("monitor", "'%1' は有効な浮動小数点数値ではありません").arg(text);
}
