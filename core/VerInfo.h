#pragma once
// The program's version information: a version block that the build links
// into every program using this unit, and TVerInfoRes, which finds the block
// in an executable file and reads it back for the About box.
//
// A block is plain bytes, so it can be found by scanning a file:
//   start marker  0x7F "KVVERSIONBLOCK" 0x01
//   entries       path NUL value NUL ...
//   an empty path (one NUL) after the last entry
//   end marker    0x7F "KVVERSIONEND" 0x01
// Paths follow the version resource's: "\" holds the fixed part as thirteen
// decimal words, "\VarFileInfo\Translation" the language and code page as
// two hexadecimal numbers, "\StringFileInfo\<lang><cp>\<key>" the strings.
#include "Exceptions.h"
#include "StringList.h"
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

KV_DECLARE_EXCEPTION(ENoVerInfoError, Exception)  // the file has no version block
KV_DECLARE_EXCEPTION(EVerInfoError, Exception)    // unreadable, or no language information
KV_DECLARE_EXCEPTION(eNoFixeVerInfo, Exception)   // no fixed file information

// The fixed part of the version information, word for word (52 bytes).
struct TVSFixedFileInfo {
    quint32 dwSignature = 0;
    quint32 dwStrucVersion = 0;
    quint32 dwFileVersionMS = 0;
    quint32 dwFileVersionLS = 0;
    quint32 dwProductVersionMS = 0;
    quint32 dwProductVersionLS = 0;
    quint32 dwFileFlagsMask = 0;
    quint32 dwFileFlags = 0;
    quint32 dwFileOS = 0;
    quint32 dwFileType = 0;
    quint32 dwFileSubtype = 0;
    quint32 dwFileDateMS = 0;
    quint32 dwFileDateLS = 0;
};

enum : quint32 {
    VS_FF_DEBUG = 0x01,
    VS_FF_PRERELEASE = 0x02,
    VS_FF_PATCHED = 0x04,
    VS_FF_PRIVATEBUILD = 0x08,
    VS_FF_INFOINFERRED = 0x10,
    VS_FF_SPECIALBUILD = 0x20
};

// ---------------------------------------------------------------- the block

// The block linked into this program.
QByteArray EmbeddedVersionBlock();
// A block holding these entries (path, value) in this order.
QByteArray MakeVersionBlock(const QList<QPair<QByteArray, QByteArray>>& Entries);

// The version services, as the system's version API offers them.
// The size of the first version block in the file, 0 when it has none (or
// cannot be opened); Handle is the block's offset in the file.
quint32 GetFileVersionInfoSize(const QString& FileName, quint32& Handle);
// Reads the block found by GetFileVersionInfoSize; false when the bytes
// there are not a well-formed block of that size.
bool GetFileVersionInfo(const QString& FileName, quint32 Handle, quint32 Size, QByteArray& Data);
// The value stored under SubBlock (compared without regard to case; cut at
// a NUL character); false when the block has no such entry.
bool VerQueryValue(const QByteArray& Data, const QString& SubBlock, QByteArray& Value);

// ---------------------------------------------------------------- the reader

class TVerInfoRes {
public:
    // String keys by index.
    enum {
        viCompanyName, viFileDescription, viFileVersion, viInternalName, viLegalCopyright,
        viLegalTrademarks, viOriginalFilename, viProductName, viProductVersion, viComments
    };

    // Reads everything at once; raises ENoVerInfoError, EVerInfoError or
    // eNoFixeVerInfo.
    explicit TVerInfoRes(const QString& FileName);
    ~TVerInfoRes();
    TVerInfoRes(const TVerInfoRes&) = delete;
    TVerInfoRes& operator=(const TVerInfoRes&) = delete;

    // The value of string key Index (0..9) in the table of the first
    // translation; empty when the key is absent.
    QString GetVersionString(int Index) const;
    static QString KeyName(int Index);

    quint32 Handle() const { return m_handle; }
    qint32 Size() const { return m_size; }
    const QByteArray& Data() const { return m_data; }
    quint32 Translation() const { return m_translation; }  // language id | code page << 16
    const TVSFixedFileInfo& FixedFileInfo() const { return m_fixedInfo; }
    const TStringList& Flags() const { return m_flags; }
    const QString& FileName() const { return m_fileName; }

protected:
    void ReadVersionInfo();
    void ReadFixedFileInfo();
    void ReadFileFlags();

private:
    quint32 m_handle = 0;
    qint32 m_size = 0;
    QByteArray m_data;
    quint32 m_translation = 0;
    TVSFixedFileInfo m_fixedInfo;
    TStringList m_flags;
    QString m_fileName;
};
