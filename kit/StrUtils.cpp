#include "StrUtils.h"
#include "Cp1252.h"

TCharSet::TCharSet(std::initializer_list<QChar> chars)
{
    for (QChar c : chars)
        m_chars.insert(c);
}

TCharSet::TCharSet(const QString& chars)
{
    for (QChar c : chars)
        m_chars.insert(c);
}

TCharSet::TCharSet(const char* chars) : TCharSet(QString::fromLatin1(chars)) {}

TCharSet& TCharSet::Add(QChar c)
{
    m_chars.insert(c);
    return *this;
}

TCharSet& TCharSet::AddRange(QChar first, QChar last)
{
    for (unsigned c = first.unicode(); c <= last.unicode(); ++c)
        m_chars.insert(QChar(char16_t(c)));
    return *this;
}

bool ContainsOnlyChars(const QString& S, const TCharSet& Chars)
{
    for (QChar c : S)
        if (!Chars.Contains(c))
            return false;
    return true;
}

QString ReplaceSubstring(const QString& S, const QString& OldPattern, const QString& NewPattern)
{
    if (OldPattern.isEmpty())
        return S;
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = S.indexOf(OldPattern, from);
        if (at < 0)
            break;
        result += QStringView(S).mid(from, at - from);
        result += NewPattern;
        from = at + OldPattern.size();
    }
    result += QStringView(S).mid(from);
    return result;
}

QString DeleteChars(const QString& S, QChar Ch)
{
    QString result = S;
    result.remove(Ch);
    return result;
}

QString TrimLeadingBlanks(const QString& S)
{
    qsizetype i = 0;
    while (i < S.size() && S.at(i) == QLatin1Char(' '))
        ++i;
    return S.mid(i);
}

QString TrimTrailingBlanks(const QString& S)
{
    qsizetype n = S.size();
    while (n > 0 && S.at(n - 1) == QLatin1Char(' '))
        --n;
    return S.left(n);
}

QString TrimBlanks(const QString& S)
{
    return TrimTrailingBlanks(TrimLeadingBlanks(S));
}

QString MakeCharString(QChar Ch, int N)
{
    return N < 1 ? QString() : QString(N, Ch);
}

namespace {

// Start (0-based) and length of word N, or -1 when there is none.
qsizetype findWord(int N, const QString& S, const TCharSet& WordDelims, qsizetype& length)
{
    length = 0;
    if (N < 1)
        return -1;
    int count = 0;
    qsizetype i = 0;
    while (i < S.size()) {
        while (i < S.size() && WordDelims.Contains(S.at(i)))
            ++i;
        if (i >= S.size())
            break;
        const qsizetype start = i;
        while (i < S.size() && !WordDelims.Contains(S.at(i)))
            ++i;
        if (++count == N) {
            length = i - start;
            return start;
        }
    }
    return -1;
}

}  // namespace

int CountWords(const QString& S, const TCharSet& WordDelims)
{
    int count = 0;
    bool inWord = false;
    for (QChar c : S) {
        const bool delim = WordDelims.Contains(c);
        if (!delim && !inWord)
            ++count;
        inWord = !delim;
    }
    return count;
}

int WordStartPosition(int N, const QString& S, const TCharSet& WordDelims)
{
    qsizetype length;
    const qsizetype start = findWord(N, S, WordDelims, length);
    return start < 0 ? 0 : int(start) + 1;
}

QString ExtractWordAt(int N, const QString& S, const TCharSet& WordDelims)
{
    qsizetype length;
    const qsizetype start = findWord(N, S, WordDelims, length);
    return start < 0 ? QString() : S.mid(start, length);
}

QString XorEncodeToHex(const QString& S, const QString& Key)
{
    const QByteArray text = cp1252::fromUnicode(S);
    const QByteArray key = cp1252::fromUnicode(Key);
    QString result;
    result.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(text.at(i));
        if (!key.isEmpty())
            b ^= static_cast<unsigned char>(key.at(i % key.size()));
        result += QStringLiteral("%1").arg(unsigned(b), 2, 16, QLatin1Char('0'));
    }
    return result;
}

QString XorDecodeFromHex(const QString& S, const QString& Key)
{
    const QByteArray key = cp1252::fromUnicode(Key);
    QByteArray bytes;
    for (qsizetype pair = 0; pair * 2 + 1 < S.size(); ++pair) {
        bool ok = false;
        const QString digits = S.mid(pair * 2, 2);
        int value = 0;
        // Only two hex digits make a pair; no sign, no blanks.
        if (digits.at(0).isLetterOrNumber() && digits.at(1).isLetterOrNumber())
            value = digits.toInt(&ok, 16);
        if (!ok)
            value = 32;
        unsigned char b = static_cast<unsigned char>(value);
        if (!key.isEmpty())
            b ^= static_cast<unsigned char>(key.at(pair % key.size()));
        bytes.append(char(b));
    }
    return cp1252::toUnicode(bytes);
}
