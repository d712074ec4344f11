#include "StringList.h"

void TStringList::SetStrings(int i, const QString& s)
{
    m_lines[i] = s;
    changed();
}

int TStringList::Add(const QString& s)
{
    m_lines.append(s);
    changed();
    return int(m_lines.size()) - 1;
}

void TStringList::Insert(int index, const QString& s)
{
    m_lines.insert(index, s);
    changed();
}

void TStringList::Delete(int index)
{
    m_lines.removeAt(index);
    changed();
}

void TStringList::Clear()
{
    if (m_lines.isEmpty())
        return;
    m_lines.clear();
    changed();
}

void TStringList::Assign(const TStringList& other)
{
    if (&other == this)
        return;
    m_lines = other.m_lines;
    changed();
}

void TStringList::Assign(const QStringList& lines)
{
    m_lines = lines;
    changed();
}

QString TStringList::Text() const
{
    QString out;
    for (const QString& l : m_lines) {
        out += l;
        out += QStringLiteral("\r\n");
    }
    return out;
}

void TStringList::SetText(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    QStringList lines = t.split(QChar('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    m_lines = lines;
    changed();
}

int TStringList::IndexOf(const QString& s) const
{
    for (int i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].compare(s, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString TStringList::Names(int i) const
{
    const QString& l = m_lines.at(i);
    const int eq = l.indexOf(QChar('='));
    return eq < 0 ? QString() : l.left(eq);
}

int TStringList::IndexOfName(const QString& name) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const int eq = m_lines[i].indexOf(QChar('='));
        if (eq >= 0 && QStringView(m_lines[i]).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TStringList::Values(const QString& name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? QString() : m_lines[i].mid(m_lines[i].indexOf(QChar('=')) + 1);
}

void TStringList::SetValue(const QString& name, const QString& value)
{
    const int i = IndexOfName(name);
    if (value.isEmpty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    if (i < 0)
        Add(name + QChar('=') + value);
    else
        SetStrings(i, name + QChar('=') + value);
}
