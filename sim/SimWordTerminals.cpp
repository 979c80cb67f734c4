#include "sim/SimWordTerminals.h"
#include "sim/SimGateway.h"
#include <cmath>

void SimWordTerminals::tick(SimGateway &gw, qint64 nowMs)
{
    const double t = double(nowMs) / 1000.0;
    for (int ch = 0; ch < 8; ++ch) {
        const double deg = 22.0 + ch + 1.5 * std::sin(t / 5.0 + ch);
        const auto tenths = quint16(std::lround(deg * 10.0));
        gw.setInputRegister(320 + ch, tenths);
        if (ch == 0)
            gw.setInputRegister(32, tenths);
    }
}
