#include "VerInfo.h"
#include "VerInfoBlock.h"
#include <QByteArrayView>
#include <QFile>

// ---------------------------------------------------------------- the block

#define KV_VERINFO_STRING(key, value) "\\StringFileInfo\\" KV_VERINFO_STRING_TABLE "\\" key "\0" value "\0"

namespace {

// The one copy of the block in the program. It is kept even though only its
// markers are read in memory: the reader finds it in the executable file.
// The markers are never spelled out anywhere else, so the scan cannot stop
// at a stray copy of them.
__attribute__((used)) const char VersionBlock[] =
    "\x7F" "KVVERSIONBLOCK" "\x01"
    "\\" "\0" KV_VERINFO_FIXED "\0"
    "\\VarFileInfo\\Translation" "\0" KV_VERINFO_TRANSLATION "\0"
    KV_VERINFO_STRINGS
    "\0"
    "\x7F" "KVVERSIONEND" "\x01";

constexpr qsizetype BlockLength = sizeof(VersionBlock) - 1;
constexpr qsizetype StartLength = 16;
constexpr qsizetype EndLength = 14;
// A block is a few hundred bytes; a start marker with no end marker within
// this reach is not the start of one.
constexpr qsizetype MaxBlockLength = 64 * 1024;

QByteArrayView StartMarker()
{
    return QByteArrayView(VersionBlock, StartLength);
}

QByteArrayView EndMarker()
{
    return QByteArrayView(VersionBlock + BlockLength - EndLength, EndLength);
}

// The entries of a well-formed block, in order; false when Block is not one.
bool ParseBlock(QByteArrayView Block, QList<QPair<QByteArrayView, QByteArrayView>>* Entries)
{
    if (Block.size() < StartLength + 1 + EndLength || !Block.startsWith(StartMarker())
        || !Block.endsWith(EndMarker()))
        return false;
    const qsizetype stop = Block.size() - EndLength;
    qsizetype pos = StartLength;
    for (;;) {
        const qsizetype pathEnd = Block.indexOf('\0', pos);
        if (pathEnd < 0 || pathEnd >= stop)
            return false;
        if (pathEnd == pos)
            return pathEnd + 1 == stop;
        const qsizetype valueEnd = Block.indexOf('\0', pathEnd + 1);
        if (valueEnd < 0 || valueEnd >= stop)
            return false;
        if (Entries)
            Entries->append(qMakePair(Block.sliced(pos, pathEnd - pos), Block.sliced(pathEnd + 1, valueEnd - pathEnd - 1)));
        pos = valueEnd + 1;
    }
}

// The file's bytes, mapped when possible.
class FileBytes {
public:
    explicit FileBytes(const QString& FileName) : m_file(FileName)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            return;
        const qint64 size = m_file.size();
        if (size <= 0)
            return;
        if (uchar* mem = m_file.map(0, size)) {
            m_view = QByteArrayView(reinterpret_cast<const char*>(mem), size);
        } else {
            m_copy = m_file.readAll();
            m_view = QByteArrayView(m_copy);
        }
    }
    QByteArrayView View() const { return m_view; }

private:
    QFile m_file;
    QByteArray m_copy;
    QByteArrayView m_view;
};

QString Hex4(quint32 Value)
{
    return QStringLiteral("%1").arg(Value & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper();
}

const char* const KeyNames[] = {"CompanyName",      "FileDescription", "FileVersion", "InternalName",
                                "LegalCopyright",   "LegalTrademarks", "OriginalFilename",
                                "ProductName",      "ProductVersion",  "Comments"};

}  // namespace

QByteArray EmbeddedVersionBlock()
{
    return QByteArray(VersionBlock, BlockLength);
}

QByteArray MakeVersionBlock(const QList<QPair<QByteArray, QByteArray>>& Entries)
{
    QByteArray block = StartMarker().toByteArray();
    for (const auto& entry : Entries) {
        block += entry.first;
        block += '\0';
        block += entry.second;
        block += '\0';
    }
    block += '\0';
    block += EndMarker();
    return block;
}

quint32 GetFileVersionInfoSize(const QString& FileName, quint32& Handle)
{
    Handle = 0;
    const FileBytes file(FileName);
    const QByteArrayView bytes = file.View();
    for (qsizetype start = bytes.indexOf(StartMarker()); start >= 0;
         start = bytes.indexOf(StartMarker(), start + 1)) {
        const QByteArrayView reach = bytes.sliced(start, qMin(MaxBlockLength, bytes.size() - start));
        const qsizetype end = reach.indexOf(EndMarker(), StartLength);
        if (end < 0)
            continue;
        Handle = quint32(start);
        return quint32(end + EndLength);
    }
    return 0;
}

bool GetFileVersionInfo(const QString& FileName, quint32 Handle, quint32 Size, QByteArray& Data)
{
    const FileBytes file(FileName);
    const QByteArrayView bytes = file.View();
    if (qsizetype(Handle) + qsizetype(Size) > bytes.size())
        return false;
    const QByteArrayView block = bytes.sliced(Handle, Size);
    if (!ParseBlock(block, nullptr))
        return false;
    Data = block.toByteArray();
    return true;
}

bool VerQueryValue(const QByteArray& Data, const QString& SubBlock, QByteArray& Value)
{
    QList<QPair<QByteArrayView, QByteArrayView>> entries;
    if (!ParseBlock(Data, &entries))
        return false;
    QString path = SubBlock;
    const qsizetype nul = path.indexOf(QChar(0));
    if (nul >= 0)
        path.truncate(nul);
    for (const auto& entry : entries) {
        if (QString::fromUtf8(entry.first).compare(path, Qt::CaseInsensitive) == 0) {
            Value = entry.second.toByteArray();
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- the reader

TVerInfoRes::TVerInfoRes(const QString& FileName) : m_fileName(FileName)
{
    ReadVersionInfo();
    ReadFixedFileInfo();
    ReadFileFlags();
}

TVerInfoRes::~TVerInfoRes() = default;

void TVerInfoRes::ReadVersionInfo()
{
    m_size = qint32(GetFileVersionInfoSize(m_fileName, m_handle));
    if (m_size == 0)
        throw ENoVerInfoError(QStringLiteral("No Version Info Available."));
    if (!GetFileVersionInfo(m_fileName, m_handle, quint32(m_size), m_data))
        throw EVerInfoError(QStringLiteral("Cannot obtain version info."));
    QByteArray value;
    const QList<QByteArray> words =
        VerQueryValue(m_data, QStringLiteral("\\VarFileInfo\\Translation"), value)
            ? value.simplified().split(' ')
            : QList<QByteArray>();
    bool languageOk = false;
    bool codePageOk = false;
    quint32 language = 0;
    quint32 codePage = 0;
    if (words.size() >= 2) {
        language = words.at(0).toUInt(&languageOk, 16);
        codePage = words.at(1).toUInt(&codePageOk, 16);
    }
    if (!languageOk || !codePageOk || language > 0xFFFF || codePage > 0xFFFF)
        throw EVerInfoError(QStringLiteral("No language info."));
    m_translation = language | (codePage << 16);
}

void TVerInfoRes::ReadFixedFileInfo()
{
    QByteArray value;
    QList<quint32> words;
    if (VerQueryValue(m_data, QStringLiteral("\\"), value)) {
        for (const QByteArray& text : value.simplified().split(' ')) {
            bool ok = false;
            const quint32 word = text.toUInt(&ok);
            if (!ok)
                break;
            words << word;
        }
    }
    if (words.size() * 4 < 52)
        throw eNoFixeVerInfo(QStringLiteral("No fixed file info"));
    quint32* fields[] = {&m_fixedInfo.dwSignature,        &m_fixedInfo.dwStrucVersion,
                         &m_fixedInfo.dwFileVersionMS,    &m_fixedInfo.dwFileVersionLS,
                         &m_fixedInfo.dwProductVersionMS, &m_fixedInfo.dwProductVersionLS,
                         &m_fixedInfo.dwFileFlagsMask,    &m_fixedInfo.dwFileFlags,
                         &m_fixedInfo.dwFileOS,           &m_fixedInfo.dwFileType,
                         &m_fixedInfo.dwFileSubtype,      &m_fixedInfo.dwFileDateMS,
                         &m_fixedInfo.dwFileDateLS};
    for (int i = 0; i < 13; ++i)
        *fields[i] = words.at(i);
}

void TVerInfoRes::ReadFileFlags()
{
    const quint32 flags = m_fixedInfo.dwFileFlags & m_fixedInfo.dwFileFlagsMask;
    if (flags & VS_FF_PRERELEASE)
        m_flags.Add(QStringLiteral("Pre-release"));
    if (flags & VS_FF_PRIVATEBUILD)
        m_flags.Add(QStringLiteral("Private build"));
    if (flags & VS_FF_SPECIALBUILD)
        m_flags.Add(QStringLiteral("Special build"));
    if (flags & VS_FF_DEBUG)
        m_flags.Add(QStringLiteral("Debug"));
}

QString TVerInfoRes::KeyName(int Index)
{
    return Index >= 0 && Index < 10 ? QString::fromLatin1(KeyNames[Index]) : QString();
}

QString TVerInfoRes::GetVersionString(int Index) const
{
    const QString key = KeyName(Index);
    if (key.isEmpty())
        return QString();
    // The path ends in a NUL, as the version API's callers pass it.
    const QString path = QStringLiteral("\\StringFileInfo\\") + Hex4(m_translation)
                         + Hex4(m_translation >> 16) + QLatin1Char('\\') + key + QChar(0);
    QByteArray value;
    return VerQueryValue(m_data, path, value) ? QString::fromUtf8(value) : QString();
}
