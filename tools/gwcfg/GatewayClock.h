#pragma once
// The gateway clock in BCD: input registers 160..163 read, holding
// registers 1184..1187 written (then 1 into 1188).
//
//   160 / 1184: year - 2000 | month    161 / 1185: day | weekday code
//   162 / 1186: hour | minute          163 / 1187: second | 0
//
// Weekday codes have one bit per day, 0x01 Sunday .. 0x40 Saturday.
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace gwclock {

inline constexpr int kReadRegister = 160;
inline constexpr int kReadCount = 4;
inline constexpr int kWriteRegister = 1184;
inline constexpr int kApplyRegister = 1188;
// Data bytes a clock answer must carry to be shown.
inline constexpr int kAnswerBytes = 7;

// Item index of the weekday list (0 blank, 1 日 .. 7 土) to the code
// written; an index out of the list (no item) writes 0.
uint8_t WeekdayCode(int itemIndex);
// " (金) " for a known code, " (??) " for any other.
QString WeekdayText(uint8_t code);

// The clock text of data bytes d0..d6: "2024/05/17 (金) 09:05:07".
QString FormatClock(const std::array<uint8_t, 7> &d);

// The same bytes as a local date and time; none when a byte is no BCD
// number or the date or time does not exist (the weekday is not checked).
std::optional<QDateTime> ClockDateTime(const std::array<uint8_t, 7> &d);

// A field's decimal text read as hexadecimal digits ("59" gives 0x59),
// low byte only. Text that is not a decimal number gives nothing.
std::optional<uint8_t> BcdOfText(const QString &decimalText);

struct Fields {
    QString year, month, day, hour, minute, second;
    int weekdayIndex = -1;
};

// The four words written to 1184..1187, or nothing with *badText set to
// the field text that did not convert.
std::optional<std::array<uint16_t, 4>> EncodeClock(const Fields &f, QString *badText);

} // namespace gwclock
