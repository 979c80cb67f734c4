#include "app/IniFile.h"
#include "monitor/WholeFile.h"
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

bool isSectionLine(const QString &line, QString *name = nullptr)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool keyOf(const QString &line, QString *key, QString *value = nullptr)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return false;
    *key = t.left(eq).trimmed();
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

QString unquote(const QString &v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

void IniFile::load()
{
    m_lines.clear();
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    QStringDecoder decode(QStringConverter::System);
    QString text = decode(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    m_lines = text.split(u'\n');
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

bool IniFile::save(QString *error) const
{
    QStringEncoder encode(QStringConverter::System);
    QString text;
    for (const QString &line : m_lines)
        text += line + QStringLiteral("\r\n");
    return WriteWholeFile(m_path, encode(text), error);
}

int IniFile::findSection(const QString &section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        QString name;
        if (isSectionLine(m_lines[i], &name) && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const
{
    int i = sectionLine + 1;
    while (i < m_lines.size() && !isSectionLine(m_lines[i]))
        ++i;
    return i;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const int s = findSection(section);
    if (s < 0)
        return def;
    const int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        QString k, v;
        if (keyOf(m_lines[i], &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0)
            return unquote(v);
    }
    return def;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + u'=' + value;
    int s = findSection(section);
    if (s < 0) {
        m_lines << (u'[' + section + u']') << line;
        return;
    }
    const int end = sectionEnd(s);
    int lastKey = s;
    for (int i = s + 1; i < end; ++i) {
        QString k;
        if (!keyOf(m_lines[i], &k))
            continue;
        lastKey = i;
        if (k.compare(key, Qt::CaseInsensitive) == 0) {
            m_lines[i] = line;
            return;
        }
    }
    m_lines.insert(lastKey + 1, line);
}
