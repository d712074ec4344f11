// The profile file reader and writer on any bytes: every key read back, one
// written back and read again as written.
#include "FuzzSupport.h"
#include "IniFiles.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kvfuzz::Init();
    // In memory where the machine offers it: every write is flushed to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/kvfuzz-XXXXXX")
                                                                      : QDir::tempPath() + QStringLiteral("/kvfuzz-XXXXXX"));
    static const bool quiet = (TIniFile::SetWriteFailureReport(nullptr), true);
    (void)quiet;
    const QString file = dir.filePath(QStringLiteral("fuzz.ini"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TIniFile ini(file);
    for (const QString& section : ini.ReadSections()) {
        const TStringList values = ini.ReadSectionValues(section);
        for (const QString& key : ini.ReadSection(section))
            ini.ReadString(section, key, QString());
        (void)values;
    }
    // A value taken from the input, written and read back.
    const QString value = kvfuzz::Text(data, qMin<size_t>(size, 64));
    try {
        ini.WriteString(QStringLiteral("Fuzz"), QStringLiteral("Key"), value);
        // As written, or without the blanks around it.
        const QString back = TIniFile(file).ReadString(QStringLiteral("Fuzz"), QStringLiteral("Key"), QString());
        kvfuzz::Check(back == value || back == value.trimmed());
    } catch (const EIniFileException&) {
        kvfuzz::Check(value.contains(QChar('\n')) || value.contains(QChar('\r')));
    }
    TIniFile::ForgetUnwritten();
    return 0;
}
