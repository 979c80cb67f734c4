#pragma once
// Line-end conversion for text (ASCII) transfers, chunk by chunk: a CR LF
// pair that arrives split over two chunks is still recognised.
#include <QByteArray>
#include <QByteArrayView>

class LineEndConverter {
public:
    enum class Target {
        CrLf,  // every LF not preceded by CR becomes CR LF; CR LF stays
        Lf,    // every CR LF becomes LF; a CR on its own stays
    };
    explicit LineEndConverter(Target target) : m_target(target) {}

    QByteArray convert(QByteArrayView chunk);
    // The bytes held back at the end of the data (a trailing CR).
    QByteArray finish();

private:
    Target m_target;
    bool m_lastWasCr = false;  // CrLf: the last byte put out was a CR
    bool m_heldCr = false;     // Lf: a CR waits for the next chunk
};
