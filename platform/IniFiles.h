#pragma once
// TIniFile: profile-file access with the semantics the program's settings and
// placement files were written with:
// - section and key names compare case-insensitively, blanks around names and
//   values are trimmed;
// - a value wrapped in one matching pair of quotes (' or ") loses them, so a
//   value that itself starts and ends with the same quote is written inside
//   one more pair of double quotes;
// - lines we do not touch (comments, unknown keys, their order) stay as they
//   are; CR LF and LF files are both read, and a file keeps its line ends;
// - the file is Windows-1252 bytes while its text fits that code page; a
//   file that starts with the UTF-8 byte-order mark, or whose bytes are
//   valid UTF-8 with letters beyond ASCII, is read as UTF-8 and stays so;
//   a text Windows-1252 cannot hold turns the file into UTF-8 (with the
//   mark);
// - a name or value holding a line break is refused (it would write lines
//   of its own), as is a key with "=" or a leading "[", and a section name
//   with "]".
// Every call reads the file afresh and every write goes straight to disk, so
// two TIniFile objects on one file never undo each other's writes; a write
// reads, changes and writes back the file while it is held against other
// programs (parsing it once, under that hold), and a read waits for one
// writing it, so two programs writing their keys to one file keep each
// other's and never read a half-written file. A write the file cannot take
// (it may not be written, the disk is full, another program holds it past
// the wait, or it reads with NUL bytes, which no settings file holds) is
// reported once (through the write-failure report) and leaves the file as
// it is; the change is kept in memory for the rest of the run: reads see
// it on top of the file, and the next write makes it, then its own, on what
// the file holds by then, so nothing another program wrote meanwhile is
// lost and the file keeps its encoding.
#include "Exceptions.h"
#include "StringList.h"
#include <QString>
#include <QStringList>
#include <functional>

KV_DECLARE_EXCEPTION(EIniFileException, Exception)

class TIniFile {
public:
    explicit TIniFile(QString fileName) : m_fileName(std::move(fileName)) {}

    const QString& FileName() const { return m_fileName; }

    QString ReadString(const QString& section, const QString& ident, const QString& def) const;
    int ReadInteger(const QString& section, const QString& ident, int def) const;
    bool ReadBool(const QString& section, const QString& ident, bool def) const;

    // Raise EIniFileException for a name or value the file cannot hold.
    void WriteString(const QString& section, const QString& ident, const QString& value);
    void WriteInteger(const QString& section, const QString& ident, int value);
    void WriteBool(const QString& section, const QString& ident, bool value);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& ident) const;
    QStringList ReadSection(const QString& section) const;        // key names
    QStringList ReadSections() const;
    TStringList ReadSectionValues(const QString& section) const;  // Name=Value
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& ident);

    // Writes are immediate; kept for callers that flush explicitly.
    void UpdateFile() {}

    // The value text as it is stored for a given value (the quote rule).
    static QString EncodeValue(const QString& value);
    static QString DecodeValue(const QString& stored);

    // Called the first time a file cannot be written (once per file per
    // run), with the system's reason. The default shows a warning box; the
    // previous report is returned. Without a report the failure passes
    // silently.
    using WriteFailureReport = std::function<void(const QString& fileName, const QString& reason)>;
    static WriteFailureReport SetWriteFailureReport(WriteFailureReport report);
    // Forgets what was kept in memory and which files were reported.
    static void ForgetUnwritten();

    struct Edit;  // one change a write makes, kept while the file cannot take it

private:
    struct Doc;
    static Doc parse(const QByteArray& bytes);
    static QByteArray encode(const Doc& doc);
    QByteArray readBytes() const;  // the file as it stands
    Doc load() const;              // and the changes it has not taken
    // Reads the file, makes the change on it (after those it has not taken
    // yet) and writes it back, all while it is held against other programs.
    void change(const Edit& edit);
    void reportOnce(const QString& key, const QString& reason) const;  // the write failure, told once
    QString m_fileName;
};
