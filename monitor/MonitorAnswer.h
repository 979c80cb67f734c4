#pragma once
// The pure part of a monitor answer: what the answer writes into the value
// and header boxes, and the value columns of its CSV row.
#include "monitor/ConversionTable.h"
#include <QString>
#include <array>
#include <cstdint>

namespace monitor {

// Everything the decoding reads besides the answer itself.
struct MonitorState {
    bool wordPage = true;       // tsWord active (else a bit page)
    int dataType = 0;           // item of cbxDataType, -1 none
    bool extendedArea = false;  // DataAreaSelect is "拡張512W入力データ"
    bool swapped = false;       // WordOrderSwap
    int displayFormat = 0;      // DisplayFormat
    int wordAddress = 0;        // seWordAdrs: selects the conversion entries
    int bitDataItem = 0;        // BitDataSelect item kept by the last layout refresh
    int logValueType = 0;       // LogValueType
    int logScale = 0;           // LogScale
    const ConversionTable *table = nullptr;
    const std::array<float, 32> *realFactor = nullptr;
};

// The boxes an answer writes: bit p of valueMask (headerMask) set when
// value box p (header box p) gets the text in values[p] (headers[p]).
struct MonitorBoxes {
    std::array<QString, 32> values;
    std::array<QString, 4> headers;
    uint32_t valueMask = 0;
    uint32_t headerMask = 0;
    void clear() { valueMask = headerMask = 0; }
};

// Decodes the answer data (the bytes after the byte count; byteCount as
// received) by the state: fills boxes and appends one column per value to
// row, each column preceded by "," (the row's prefix already ends in one,
// so the first column follows it directly).
void decodeMonitorAnswer(const uint8_t *data, int byteCount, const MonitorState &state,
                         MonitorBoxes &boxes, QString &row);
// The boxes alone, without the row.
void decodeMonitorBoxes(const uint8_t *data, int byteCount, const MonitorState &state,
                        MonitorBoxes &boxes);

// Gain and offset of value box p at word address w: conversion entry
// 8w + p + 1. Entries past the table's end (boxes of the last word
// addresses) have the default gain 0.1 and offset 0.
ConversionEntry conversionFor(const ConversionTable &table, int w, int position);

} // namespace monitor
