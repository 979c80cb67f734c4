#pragma once
// The status text of a monitor poll that went unanswered: "応答なし" and the
// time since the last monitor answer in seconds with one decimal
// ("応答なし (最後の応答から 3.4 秒)"), or that none came since the start.
#include <QString>
#include <cstdint>
#include <optional>

namespace monitor {

QString noAnswerText(std::optional<int64_t> msSinceLastAnswer);

} // namespace monitor
