#include "tools/ftp/LineEnds.h"

QByteArray LineEndConverter::convert(QByteArrayView chunk)
{
    QByteArray out;
    out.reserve(chunk.size() + chunk.size() / 16 + 2);
    if (m_target == Target::CrLf) {
        for (char c : chunk) {
            if (c == '\n' && !m_lastWasCr)
                out += '\r';
            out += c;
            m_lastWasCr = (c == '\r');
        }
        return out;
    }
    for (char c : chunk) {
        if (m_heldCr) {
            m_heldCr = false;
            if (c != '\n')
                out += '\r';
        }
        if (c == '\r')
            m_heldCr = true;
        else
            out += c;
    }
    return out;
}

QByteArray LineEndConverter::finish()
{
    if (m_heldCr) {
        m_heldCr = false;
        return QByteArrayLiteral("\r");
    }
    return {};
}
