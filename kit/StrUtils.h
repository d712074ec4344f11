#pragma once
// String helpers of the kit: character sets, blank trimming, word access
// and the XOR-to-hex scrambling that stored placement values use.
#include <QSet>
#include <QString>
#include <initializer_list>

// A set of characters (the word delimiters, the characters allowed in a text).
class TCharSet {
public:
    TCharSet() = default;
    TCharSet(std::initializer_list<QChar> chars);
    TCharSet(const QString& chars);  // every character of the text
    TCharSet(const char* chars);
    TCharSet& Add(QChar c);
    TCharSet& AddRange(QChar first, QChar last);
    bool Contains(QChar c) const { return m_chars.contains(c); }
    bool IsEmpty() const { return m_chars.isEmpty(); }

private:
    QSet<QChar> m_chars;
};

// True when every character of S is in Chars (also for an empty S).
bool ContainsOnlyChars(const QString& S, const TCharSet& Chars);
// Every occurrence of OldPattern replaced, left to right; replaced text is
// not searched again. An empty pattern leaves S as it is.
QString ReplaceSubstring(const QString& S, const QString& OldPattern, const QString& NewPattern);
// S without any occurrence of Ch.
QString DeleteChars(const QString& S, QChar Ch);
// Blanks (spaces only) removed at the start, the end, or both.
QString TrimLeadingBlanks(const QString& S);
QString TrimTrailingBlanks(const QString& S);
QString TrimBlanks(const QString& S);
// N copies of Ch; empty for N below 1.
QString MakeCharString(QChar Ch, int N);

// Words are runs of characters that are not in WordDelims. Positions and word
// numbers count from 1.
int CountWords(const QString& S, const TCharSet& WordDelims);
// Position of the first character of word N; 0 when there is no such word.
int WordStartPosition(int N, const QString& S, const TCharSet& WordDelims);
// Word N; empty when there is no such word.
QString ExtractWordAt(int N, const QString& S, const TCharSet& WordDelims);

// Each character (a Windows-1252 byte) XOR the key character at the same
// position modulo the key length, written as two lower-case hex digits. An
// empty key leaves the characters as they are.
QString XorEncodeToHex(const QString& S, const QString& Key);
// The reverse: each pair of characters read as hex (a pair that is not hex
// reads as 32), XOR the key character at the pair's position modulo the key
// length. A trailing odd character is ignored.
QString XorDecodeFromHex(const QString& S, const QString& Key);
