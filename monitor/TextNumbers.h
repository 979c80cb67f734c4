#pragma once
// Conversion of typed or read text into numbers, with the error texts the
// tool shows when a text does not convert. Integers are plain decimal with
// an optional sign; surrounding blanks are allowed.
#include <QString>
#include <optional>

std::optional<int> ParseInt(const QString &text);
// A decimal real (point as separator, exponent allowed); infinities and
// values that are not numbers are refused.
std::optional<double> ParseReal(const QString &text);

// "'abc' は有効な整数値ではありません"
QString IntConversionError(const QString &text);
// "'abc' は有効な浮動小数点数値ではありません"
QString RealConversionError(const QString &text);
