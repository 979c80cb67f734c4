#include "diag/ResponseTimes.h"
#include <algorithm>
#include <cmath>

ResponseTimes::ResponseTimes(int rangeMs) : m_rangeMs(std::clamp(rangeMs, 1, kMaxRangeMs)) {}

void ResponseTimes::add(int64_t us)
{
    us = std::max<int64_t>(us, 0);
    const size_t buckets = size_t(int64_t(m_rangeMs) * 1000 / kBucketUs) + 1;
    if (m_buckets.empty())
        m_buckets.assign(buckets, 0);
    const size_t b = std::min(size_t(us / kBucketUs), buckets - 1);
    ++m_buckets[b];
    if (m_count == 0 || us < m_minUs)
        m_minUs = us;
    if (m_count == 0 || us > m_maxUs)
        m_maxUs = us;
    ++m_count;
    m_sumUs += us;
}

void ResponseTimes::clear()
{
    m_buckets.clear();
    m_buckets.shrink_to_fit();
    m_count = m_sumUs = m_minUs = m_maxUs = 0;
}

std::optional<int64_t> ResponseTimes::minUs() const
{
    return m_count ? std::optional<int64_t>(m_minUs) : std::nullopt;
}

std::optional<int64_t> ResponseTimes::maxUs() const
{
    return m_count ? std::optional<int64_t>(m_maxUs) : std::nullopt;
}

std::optional<int64_t> ResponseTimes::meanUs() const
{
    if (!m_count)
        return std::nullopt;
    return (m_sumUs + m_count / 2) / m_count;
}

std::optional<int64_t> ResponseTimes::percentileUs(double p) const
{
    if (!m_count)
        return std::nullopt;
    const int64_t rank = std::clamp<int64_t>(int64_t(std::ceil(p * double(m_count))), 1, m_count);
    int64_t seen = 0;
    for (size_t b = 0; b < m_buckets.size(); ++b) {
        seen += m_buckets[b];
        if (seen >= rank) {
            if (b + 1 == m_buckets.size())
                return m_maxUs;  // at or past the range: no edge to give
            return std::clamp<int64_t>(int64_t(b) * kBucketUs, m_minUs, m_maxUs);
        }
    }
    return m_maxUs;
}

QString msText(std::optional<int64_t> us)
{
    if (!us)
        return QStringLiteral("-");
    return QString::number(double(*us) / 1000.0, 'f', 1);
}
