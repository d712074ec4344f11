#include "Cp1252.h"

namespace {
// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes, which map to
// the C1 control with the same number, so every byte reads back as itself.
const char16_t kHigh[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
}  // namespace

namespace cp1252 {

QChar byteToChar(unsigned char b)
{
    if (b >= 0x80 && b < 0xA0) {
        const char16_t u = kHigh[b - 0x80];
        return QChar(u ? u : char16_t(b));
    }
    return QChar(char16_t(b));
}

bool charToByte(QChar c, unsigned char& out)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        out = static_cast<unsigned char>(u);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        const char16_t m = kHigh[i] ? kHigh[i] : char16_t(0x80 + i);
        if (m == u) {
            out = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

bool fits(const QString& text)
{
    unsigned char b;
    for (QChar c : text)
        if (!charToByte(c, b))
            return false;
    return true;
}

QByteArray fromUnicode(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        unsigned char b;
        out.append(charToByte(c, b) ? char(b) : '?');
    }
    return out;
}

QString toUnicode(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes)
        out.append(byteToChar(static_cast<unsigned char>(ch)));
    return out;
}

}  // namespace cp1252
