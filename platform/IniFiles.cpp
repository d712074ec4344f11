#include "IniFiles.h"
#include "Cp1252.h"
#include "Dialogs.h"
#include "Platform.h"
#include "ReplacementFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <cerrno>
#include <chrono>
#include <thread>
#include <unistd.h>

// One change of this program's to a file: a key's line written, a key
// removed or a section removed.
struct TIniFile::Edit {
    enum Kind { Write, Delete, Erase } kind;
    QString section, ident, line;
};

struct TIniFile::Doc {
    QStringList lines;
    bool crlf = true;
    bool utf8 = false;  // read as UTF-8 (and so written)
    bool bom = false;   // with the byte-order mark

    static QString sectionName(const QString& line)
    {
        const QString t = line.trimmed();
        if (!t.startsWith(QChar('[')))
            return QString();
        const int close = t.indexOf(QChar(']'));
        if (close < 0)
            return QString();
        return t.mid(1, close - 1).trimmed();
    }
    static bool isSection(const QString& line)
    {
        const QString t = line.trimmed();
        return t.startsWith(QChar('[')) && t.indexOf(QChar(']')) > 0;
    }
    static bool keyOf(const QString& line, QString& key, QString& rawValue)
    {
        const int eq = line.indexOf(QChar('='));
        if (eq < 0 || isSection(line))
            return false;
        key = line.left(eq).trimmed();
        rawValue = line.mid(eq + 1);
        return true;
    }
    // [first line after the header, end) of a section; -1 when absent.
    int sectionStart(const QString& section, int& end) const
    {
        const QString want = section.trimmed();
        for (int i = 0; i < lines.size(); ++i) {
            if (isSection(lines[i]) && sectionName(lines[i]).compare(want, Qt::CaseInsensitive) == 0) {
                end = i + 1;
                while (end < lines.size() && !isSection(lines[end]))
                    ++end;
                return i + 1;
            }
        }
        end = -1;
        return -1;
    }
    // The line of a key among the lines [start, end); -1 when absent.
    int keyIn(int start, int end, const QString& ident) const
    {
        const QString want = ident.trimmed();
        for (int i = qMax(start, 0); i < end; ++i) {
            QString k, v;
            if (keyOf(lines[i], k, v) && k.compare(want, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    int keyLine(const QString& section, const QString& ident) const
    {
        int end;
        const int start = sectionStart(section, end);
        return keyIn(start, end, ident);
    }
    // Makes the change; false when the text already is as it makes it.
    bool apply(const Edit& edit)
    {
        int end;
        const int start = sectionStart(edit.section, end);
        if (edit.kind == Edit::Erase) {
            if (start >= 0)
                lines.erase(lines.begin() + (start - 1), lines.begin() + end);
            return start >= 0;
        }
        const int existing = keyIn(start, end, edit.ident);
        if (edit.kind == Edit::Delete) {
            if (existing >= 0)
                lines.removeAt(existing);
            return existing >= 0;
        }
        if (existing >= 0) {
            if (lines[existing] == edit.line)
                return false;
            lines[existing] = edit.line;
        } else if (start < 0) {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines.append(QString());
            lines.append(QChar('[') + edit.section.trimmed() + QChar(']'));
            lines.append(edit.line);
        } else {
            // After the section's last non-blank line, so a blank separator
            // before the next section stays where it was.
            int at = end;
            while (at > start && lines[at - 1].trimmed().isEmpty())
                --at;
            lines.insert(at, edit.line);
        }
        return true;
    }
    // Makes the changes in their order; false when none changed anything.
    bool apply(const QList<Edit>& edits)
    {
        bool changed = false;
        for (const Edit& edit : edits)
            changed = apply(edit) || changed;
        return changed;
    }
};

namespace {
const QByteArray kBom("\xEF\xBB\xBF");

// Files that could not be written, by absolute name: the changes of this
// run that did not reach them, in their order, and whether the operator has
// been told.
struct Unwritten {
    QHash<QString, QList<TIniFile::Edit>> edits;
    QSet<QString> reported;
};
Unwritten& unwritten()
{
    static Unwritten u;
    return u;
}
TIniFile::WriteFailureReport& failureReport()
{
    static TIniFile::WriteFailureReport report = [](const QString& fileName, const QString& reason) {
        const QString because = reason.endsWith(QChar('.')) ? reason : reason + QChar('.');
        MessageDlg(QStringLiteral("Unable to write to %1. %2 Settings changed now are kept until the program "
                                  "closes.")
                       .arg(QDir::toNativeSeparators(fileName), because),
                   mtWarning, mbOK);
    };
    return report;
}
QString keyOfFile(const QString& fileName)
{
    return QFileInfo(fileName).absoluteFilePath();
}

// Why a path the writability probe refuses may not be written: the
// system's reason where it gives one, else that of a file without rights.
QString refusal(const QString& path)
{
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return qt_error_string(errno);
    return qt_error_string(EACCES);
}

bool hasLineBreak(const QString& s)
{
    return s.contains(QChar('\n')) || s.contains(QChar('\r'));
}

// A settings file never holds a NUL byte; a file system may show some where
// its text is (FAT in user space does, for a while or for good, after
// another program has shortened the file). Bytes that show one are read
// again (with `read`) a few times; false when they still show one.
bool readWithoutNul(QByteArray& bytes, const std::function<bool(QByteArray&)>& read)
{
    for (int again = 0; bytes.contains('\0'); ++again) {
        if (again == 3)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20 << again));
        if (!read(bytes))
            return false;
    }
    return true;
}

QString nulReason()
{
    return QStringLiteral("It reads with NUL bytes where its text should be, which no settings file holds, and "
                          "is left as it is");
}
}  // namespace

TIniFile::WriteFailureReport TIniFile::SetWriteFailureReport(WriteFailureReport report)
{
    WriteFailureReport old = std::move(failureReport());
    failureReport() = std::move(report);
    return old;
}

void TIniFile::ForgetUnwritten()
{
    unwritten() = Unwritten();
}

TIniFile::Doc TIniFile::parse(const QByteArray& bytes)
{
    Doc doc;
    QString text;
    if (bytes.startsWith(kBom)) {
        doc.utf8 = doc.bom = true;
        text = QString::fromUtf8(bytes.mid(kBom.size()));
    } else {
        bool ascii = true;
        for (char ch : bytes)
            ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
        QStringDecoder utf8(QStringDecoder::Utf8);
        if (!ascii) {
            const QString decoded = utf8(bytes);
            if (!utf8.hasError()) {
                doc.utf8 = true;
                text = decoded;
            }
        }
        if (!doc.utf8)
            text = cp1252::toUnicode(bytes);
    }
    doc.crlf = text.isEmpty() || text.contains(QStringLiteral("\r\n"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    doc.lines = text.split(QChar('\n'));
    if (!doc.lines.isEmpty() && doc.lines.last().isEmpty())
        doc.lines.removeLast();
    return doc;
}

QByteArray TIniFile::encode(const Doc& doc)
{
    const QString eol = doc.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const QString& l : doc.lines)
        text += l + eol;
    if (doc.utf8 || !cp1252::fits(text))
        return (doc.bom || !doc.utf8 ? kBom : QByteArray()) + text.toUtf8();
    return cp1252::fromUnicode(text);
}

QByteArray TIniFile::readBytes() const
{
    QByteArray bytes;
    // A file that is not an ordinary one (a named pipe would keep the read
    // waiting for a writer) is not read; it is refused as its write is.
    if (const QString wrong = TReplacementFile::NotAFile(m_fileName); !wrong.isEmpty()) {
        reportOnce(keyOfFile(m_fileName), wrong);
        return bytes;
    }
    const auto read = [this](QByteArray& b) { return TReplacementFile::ReadWhole(m_fileName, b); };
    if (read(bytes))
        readWithoutNul(bytes, read);
    return bytes;
}

TIniFile::Doc TIniFile::load() const
{
    // The file as it is, and on top of it the changes of this run that did
    // not reach it.
    Doc doc = parse(readBytes());
    doc.apply(unwritten().edits.value(keyOfFile(m_fileName)));
    return doc;
}

void TIniFile::change(const Edit& edit)
{
    const QFileInfo fi(m_fileName);
    const QString key = keyOfFile(m_fileName);
    // The changes of this run that the file has not taken go first, then
    // this one.
    QList<Edit> edits = unwritten().edits.value(key);
    edits.append(edit);
    const QString probed = fi.exists() ? fi.absoluteFilePath() : fi.absolutePath();
    // The file is read, changed and written back while it is held against
    // other programs, so a change one of them makes meanwhile is never
    // lost. It is replaced only by one holding every byte; a writable file
    // in a folder that is not is written in place, and only when the disk
    // has room for it.
    TReplacementFile file(m_fileName);
    QByteArray bytes;
    QString reason;
    bool held = false;
    if (!PathWritable(probed))
        reason = refusal(probed);
    else if (!(held = file.HoldToChange(bytes)))
        reason = file.errorString();
    else if (!readWithoutNul(bytes, [&](QByteArray& b) { return file.ReadAgain(b); }))
        reason = bytes.contains('\0') ? nulReason() : file.errorString();
    if (!held)
        bytes = readBytes();  // as it stands, to see whether it changes at all
    Doc doc = parse(bytes);
    if (!doc.apply(edits)) {
        unwritten().edits.remove(key);  // it holds every change already: it is not touched
        return;
    }
    if (reason.isEmpty()) {
        bytes = encode(doc);
        if (file.open() && file.write(bytes) == bytes.size() && file.Commit()) {
            unwritten().edits.remove(key);
            return;
        }
        reason = file.errorString();
    }
    file.Discard();  // let go of it before the operator hears of it
    // The session goes on with the changes in memory, and the next write
    // puts them on top of what the file holds then; the operator hears of it
    // once.
    unwritten().edits.insert(key, edits);
    reportOnce(key, reason);
}

void TIniFile::reportOnce(const QString& key, const QString& reason) const
{
    if (!unwritten().reported.contains(key)) {
        unwritten().reported.insert(key);
        if (failureReport())
            failureReport()(m_fileName, reason);
    }
}

QString TIniFile::EncodeValue(const QString& value)
{
    // Reading trims the value before it looks for quotes, so the test is on
    // the trimmed text too (a blank before the quotes must not lose them).
    const QString t = value.trimmed();
    if (t.size() >= 2) {
        const QChar first = t.front();
        if ((first == QChar('"') || first == QChar('\'')) && t.back() == first)
            return QChar('"') + value + QChar('"');
    }
    return value;
}

QString TIniFile::DecodeValue(const QString& stored)
{
    const QString v = stored.trimmed();
    if (v.size() >= 2) {
        const QChar first = v.front();
        if ((first == QChar('"') || first == QChar('\'')) && v.back() == first)
            return v.mid(1, v.size() - 2);
    }
    return v;
}

QString TIniFile::ReadString(const QString& section, const QString& ident, const QString& def) const
{
    const Doc doc = load();
    const int i = doc.keyLine(section, ident);
    if (i < 0)
        return def;
    QString k, v;
    Doc::keyOf(doc.lines[i], k, v);
    return DecodeValue(v);
}

int TIniFile::ReadInteger(const QString& section, const QString& ident, int def) const
{
    const QString s = ReadString(section, ident, QString()).trimmed();
    if (s.isEmpty())
        return def;
    bool ok = false;
    int v;
    if (s.startsWith(QChar('$')))
        v = s.mid(1).toInt(&ok, 16);
    else if (s.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        v = s.mid(2).toInt(&ok, 16);
    else
        v = s.toInt(&ok, 10);
    return ok ? v : def;
}

bool TIniFile::ReadBool(const QString& section, const QString& ident, bool def) const
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    if (hasLineBreak(section) || hasLineBreak(ident) || hasLineBreak(value))
        throw EIniFileException(QStringLiteral("The setting %1 of [%2] holds a line break, which %3 cannot keep")
                                    .arg(ident.simplified(), section.simplified(), m_fileName));
    if (ident.contains(QChar('=')) || ident.trimmed().startsWith(QChar('[')) || ident.trimmed().isEmpty() ||
        section.contains(QChar(']')) || section.trimmed().isEmpty())
        throw EIniFileException(QStringLiteral("'%1' in [%2] is not a name %3 can keep")
                                    .arg(ident, section, m_fileName));
    change(Edit{Edit::Write, section, ident, ident.trimmed() + QChar('=') + EncodeValue(value)});
}

void TIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::SectionExists(const QString& section) const
{
    int end;
    return load().sectionStart(section, end) >= 0;
}

bool TIniFile::ValueExists(const QString& section, const QString& ident) const
{
    return load().keyLine(section, ident) >= 0;
}

QStringList TIniFile::ReadSection(const QString& section) const
{
    QStringList keys;
    const Doc doc = load();
    int end;
    const int start = doc.sectionStart(section, end);
    for (int i = start; start >= 0 && i < end; ++i) {
        QString k, v;
        if (Doc::keyOf(doc.lines[i], k, v) && !k.isEmpty())
            keys.append(k);
    }
    return keys;
}

QStringList TIniFile::ReadSections() const
{
    QStringList names;
    for (const QString& l : load().lines)
        if (Doc::isSection(l))
            names.append(Doc::sectionName(l));
    return names;
}

TStringList TIniFile::ReadSectionValues(const QString& section) const
{
    TStringList out;
    const Doc doc = load();
    int end;
    const int start = doc.sectionStart(section, end);
    for (int i = start; start >= 0 && i < end; ++i) {
        QString k, v;
        if (Doc::keyOf(doc.lines[i], k, v) && !k.isEmpty())
            out.Add(k + QChar('=') + DecodeValue(v));
    }
    return out;
}

void TIniFile::EraseSection(const QString& section)
{
    change(Edit{Edit::Erase, section, QString(), QString()});
}

void TIniFile::DeleteKey(const QString& section, const QString& ident)
{
    change(Edit{Edit::Delete, section, ident, QString()});
}
