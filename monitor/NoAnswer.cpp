#include "monitor/NoAnswer.h"
#include <algorithm>

namespace monitor {

QString noAnswerText(std::optional<int64_t> msSinceLastAnswer)
{
    if (!msSinceLastAnswer)
        return QStringLiteral("応答なし (応答を受信していません)");
    const int64_t tenths = std::max<int64_t>(*msSinceLastAnswer, 0) / 100;
    return QStringLiteral("応答なし (最後の応答から %1.%2 秒)").arg(tenths / 10).arg(tenths % 10);
}

} // namespace monitor
