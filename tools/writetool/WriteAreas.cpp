#include "tools/writetool/WriteAreas.h"
#include <QCoreApplication>
#include <QRegularExpression>

const std::array<WriteArea, 13> &writeAreas()
{
    static const std::array<WriteArea, 13> areas{{
        {"ビットバス出力", 41025, 41040, false, false},
        {"ワードバス出力", 41057, 41120, false, false},
        {"拡張ワードバス出力", 41281, 41792, false, false},
        {"エラーリセット", 41203, 41203, false, false},
        {"ｻｲｼﾞﾝｸﾞ・再起動", 41204, 41204, false, false},
        {"ワークエリア(NV)", 41793, 42816, false, false},
        {"ﾗﾀﾞｰﾒﾓﾘ(B0-511)", 1001, 1512, true, false},
        {"ﾗﾀﾞｰﾒﾓﾘ(B1280-1791)", 5001, 5512, true, false},
        {"ﾗﾀﾞｰﾒﾓﾘ(QD4)", 1, 256, true, false},
        {"ﾗﾀﾞｰﾒﾓﾘ(QD2)", 4001, 4512, true, false},
        {"32ビットワーク(1)", 42849, 46944, false, false},
        {"32ビットワーク(2)", 46945, 46976, false, false},
        {"フリー", 41025, 49999, false, true},
    }};
    return areas;
}

QString areaDescription(int a)
{
    if (a >= 41025 && a <= 41040)
        return QCoreApplication::translate("WriteAreas", "ﾋﾞｯﾄﾊﾞｽ出力");
    if (a >= 41057 && a <= 41120)
        return QCoreApplication::translate("WriteAreas", "ﾜｰﾄﾞﾊﾞｽ出力");
    if (a == 41203)
        return QCoreApplication::translate("WriteAreas", "ｴﾗｰﾘｾｯﾄ");
    if (a == 41204)
        return QCoreApplication::translate("WriteAreas", "再起動[1],ｻｲｼﾞﾝｸﾞ[2]");
    if (a >= 41281 && a <= 41792) {
        // 64 word addresses of 8 registers each: word address and register.
        const int n = a - 41281;
        return QCoreApplication::translate("WriteAreas", "拡張ﾜｰﾄﾞﾊﾞｽ出力  %1:%2").arg(n / 8).arg(n % 8);
    }
    if (a >= 41793 && a <= 42816)
        return QCoreApplication::translate("WriteAreas", "ﾜｰｸｴﾘｱ(NVRAM)");
    if (a >= 42817 && a <= 42848)
        return QCoreApplication::translate("WriteAreas", "ﾗﾀﾞｰﾒﾓﾘ(予約)");
    if (a >= 42849 && a <= 46976)
        return QCoreApplication::translate("WriteAreas", "32ﾋﾞｯﾄﾜｰｸｴﾘｱ(RAM)");
    return QString();
}

std::optional<uint32_t> parseWriteValue(const QString &text, bool hex)
{
    const QString t = text.trimmed();
    if (hex) {
        // Up to 16 hexadecimal digits: the whole 64-bit pattern.
        static const QRegularExpression digits(QStringLiteral("^[0-9A-Fa-f]{1,16}$"));
        if (!digits.match(t).hasMatch())
            return std::nullopt;
        bool ok = false;
        const qulonglong v = t.toULongLong(&ok, 16);
        if (!ok)
            return std::nullopt;
        return uint32_t(v & 0xFFFFFFFFu);
    }
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    if (!decimal.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;  // beyond 64 bits
    return uint32_t(quint64(v) & 0xFFFFFFFFu);
}
