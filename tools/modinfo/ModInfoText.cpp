#include "tools/modinfo/ModInfoText.h"
#include "link/ReceiveBuffer.h"
#include <QStringList>

QString hex4(uint16_t value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

QString macAddressText(const uint8_t b[6], bool rm2)
{
    static constexpr int kRm2Order[6] = {0, 1, 2, 3, 4, 5};
    static constexpr int kRm1Order[6] = {1, 0, 3, 2, 5, 4};
    const int *order = rm2 ? kRm2Order : kRm1Order;
    QStringList parts;
    for (int i = 0; i < 6; ++i)
        parts << QStringLiteral("%1").arg(b[order[i]], 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(u'-');
}

QString transmissionModeText(unsigned value)
{
    static const char *const kModes[16] = {
        "D4 1Km", "D4 500m", "D4 200m", "D4 100m", "D3 1Km",  "D3 500m",  "D3 200m",  "D3 100m",
        "D2 3Km", "D2 1km",  "D2 200m", "D2 50m",  "D2W 3Km", "D2W 1km", "D2W 200m", "D2W 50m",
    };
    return value < 16 ? QString::fromUtf8(kModes[value]) : QString();
}

ModuleInfoFields decodeModuleWords(const ReceiveBuffer &rb, bool rm2)
{
    ModuleInfoFields f;
    const int n = rb.byteCount();
    // Word i is input register 296 + i.
    auto hexOf = [&](int word) -> std::optional<QString> {
        if (2 * word + 1 < n)
            return hex4(rb.word(word));
        return std::nullopt;
    };
    if (n >= 6) {
        uint8_t mac[6];
        for (int i = 0; i < 6; ++i)
            mac[i] = rb.dataByte(i);
        f.macAddress = macAddressText(mac, rm2);
    }
    f.pcBoardHw = hexOf(5);
    f.pcBoardFw = hexOf(6);
    f.busBoardHw = hexOf(3);
    f.busBoardFw = hexOf(4);
    f.fpga = hexOf(14);
    f.dipSwitch = hexOf(7);
    if (2 * 10 + 1 < n)
        f.extension = rb.word(10) != 0 ? QStringLiteral("ON") : QStringLiteral("OFF");
    return f;
}

ModuleInfoFields decodeLoginMode(const ReceiveBuffer &rb)
{
    ModuleInfoFields f;
    if (rb.byteCount() < 1)
        return f;
    switch (rb.dataByte(0)) {
    case 0: f.loginMode = QStringLiteral("User"); break;
    case 1: f.loginMode = QStringLiteral("Admin"); break;
    default: break;
    }
    return f;
}

ModuleInfoFields decodeRotarySwitch(const ReceiveBuffer &rb)
{
    ModuleInfoFields f;
    if (rb.byteCount() < 2)
        return f;
    const uint16_t v = rb.word(0);
    f.rotarySwitch = hex4(v);
    const QString mode = transmissionModeText(v);
    if (!mode.isEmpty())
        f.transmission = mode;
    return f;
}

void mergeFields(ModuleInfoFields &into, const ModuleInfoFields &from)
{
    const auto take = [](std::optional<QString> &to, const std::optional<QString> &given) {
        if (given)
            to = given;
    };
    take(into.macAddress, from.macAddress);
    take(into.pcBoardHw, from.pcBoardHw);
    take(into.pcBoardFw, from.pcBoardFw);
    take(into.loginMode, from.loginMode);
    take(into.busBoardHw, from.busBoardHw);
    take(into.busBoardFw, from.busBoardFw);
    take(into.fpga, from.fpga);
    take(into.rotarySwitch, from.rotarySwitch);
    take(into.dipSwitch, from.dipSwitch);
    take(into.extension, from.extension);
    take(into.transmission, from.transmission);
}

ModuleInfoFields decodeModuleInfo(uint8_t tag, const ReceiveBuffer &rb, bool rm2)
{
    switch (tag) {
    case 1: return decodeModuleWords(rb, rm2);
    case 2: return decodeLoginMode(rb);
    default: return decodeRotarySwitch(rb);
    }
}
