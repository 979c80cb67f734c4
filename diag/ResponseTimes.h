#pragma once
// Response times of answers: count, minimum, mean, maximum and percentiles
// in bounded memory.
//
// Times are kept in microseconds. Minimum, maximum and mean are exact; a
// percentile comes from buckets of 0.1 ms from 0 up to the range (the
// response timeout), with one more bucket for anything at or past it. The
// percentile p is the lower edge of the bucket that holds the sample of
// rank ceil(p * count), limited to [minimum, maximum] (the maximum when
// that sample lies at or past the range); so it is within 0.1 ms below the
// true one and minimum <= percentile <= maximum always holds. The buckets are allocated with the first sample: a kind of request
// that never ran costs no bucket memory.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class ResponseTimes {
public:
    static constexpr int64_t kBucketUs = 100;
    static constexpr int kMaxRangeMs = 10000;  // 100 001 buckets, 400 KB

    // rangeMs is limited to 1 .. kMaxRangeMs.
    explicit ResponseTimes(int rangeMs = 1000);

    void add(int64_t us);
    void clear();

    int64_t count() const { return m_count; }
    std::optional<int64_t> minUs() const;
    std::optional<int64_t> maxUs() const;
    std::optional<int64_t> meanUs() const;
    // p in (0, 1]; nothing before the first sample.
    std::optional<int64_t> percentileUs(double p) const;
    int rangeMs() const { return m_rangeMs; }
    // Bucket memory now held (0 before the first sample).
    size_t bucketBytes() const { return m_buckets.capacity() * sizeof(uint32_t); }

private:
    int m_rangeMs;
    std::vector<uint32_t> m_buckets;
    int64_t m_count = 0;
    int64_t m_sumUs = 0;
    int64_t m_minUs = 0;
    int64_t m_maxUs = 0;
};

// A time in ms with one decimal ("12.3"), "-" when there is none.
QString msText(std::optional<int64_t> us);
