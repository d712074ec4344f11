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
// - the file is Windows-1252 bytes.
// Every call reads the file afresh and every write goes straight to disk, so
// two TIniFile objects on one file never undo each other's writes.
#include "Exceptions.h"
#include "StringList.h"
#include <QString>
#include <QStringList>

KV_DECLARE_EXCEPTION(EIniFileException, Exception)

class TIniFile {
public:
    explicit TIniFile(QString fileName) : m_fileName(std::move(fileName)) {}

    const QString& FileName() const { return m_fileName; }

    QString ReadString(const QString& section, const QString& ident, const QString& def) const;
    int ReadInteger(const QString& section, const QString& ident, int def) const;
    bool ReadBool(const QString& section, const QString& ident, bool def) const;

    // Raise EIniFileException when the file cannot be written.
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

private:
    struct Doc;
    Doc load() const;
    void save(const Doc& doc) const;
    QString m_fileName;
};
