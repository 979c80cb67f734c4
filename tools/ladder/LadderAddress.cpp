#include "tools/ladder/LadderAddress.h"

std::optional<int> ladderWordReference(int a)
{
    struct Range {
        int first, last, reference;
    };
    static constexpr Range kRanges[] = {
        {0, 63, 30033},       // word bus input (input registers 32..95)
        {64, 127, 41057},     // word bus output (holding 1056..1119)
        {704, 1215, 41281},   // extended word bus output (holding 1280..1791)
        {1216, 3519, 32359},  // input registers 2358..4661
        {3520, 4543, 41793},  // work area NVRAM (holding 1792..2815)
        {4544, 5887, 35697},  // input registers 5696..7039
        {5888, 7935, 42849},  // 32-bit work area RAM (holding 2848..4895)
    };
    for (const Range &r : kRanges)
        if (a >= r.first && a <= r.last)
            return r.reference + (a - r.first);
    return std::nullopt;
}
