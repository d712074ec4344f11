#pragma once
// Windows-1252 ("ANSI") conversions. The settings file and the scrambled
// values in it are Windows-1252 bytes; Qt has no such codec of its own.
#include <QByteArray>
#include <QString>

namespace cp1252 {
// Characters outside the code page become '?'.
QByteArray fromUnicode(const QString& text);
QString toUnicode(const QByteArray& bytes);
// One character <-> one byte; false when the character has no byte.
bool charToByte(QChar c, unsigned char& out);
QChar byteToChar(unsigned char b);
// True when every character of the text has a byte.
bool fits(const QString& text);
}  // namespace cp1252
