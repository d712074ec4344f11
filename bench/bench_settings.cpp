// Times 300 settings writes, each changing one key of a settings file that
// holds the connection, the two connection sets and a window's placement,
// next to 300 replacements of a file of that size by the system calls alone
// (a file beside it written, flushed and renamed over it). Medians of
// several rounds, in the temporary folder.
#include "BenchSupport.h"
#include "IniFiles.h"
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kWrites = 300;
constexpr int kRounds = 9;
constexpr int kKeys = 30;  // the placement's keys, written in turn

QByteArray seed()
{
    QByteArray text = "[DBconnection]\r\nKVDSN=/srv/kv/main.db\r\nur=DA1F\r\npd=C81FDA9E3B\r\n\r\n"
                      "[MainCfg]\r\nid1=9A1B7C3D5E\r\nid2=DA1F\r\nid3=C81FDA9E3B\r\n\r\n"
                      "[TestCfg]\r\nid1=9A1B7C3D5E6F\r\nid2=DA1F\r\nid3=C81FDA9E3B\r\n\r\n"
                      "[General]\r\nGetLog=1\r\n\r\n[TMainForm]\r\n";
    for (int k = 0; k < kKeys; ++k)
        text += "Key" + QByteArray::number(k) + "=0,0,1366,768\r\n";
    return text;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Seconds for the writes through the settings file.
double settingsWrites(const QString& path, int round)
{
    if (!writeFile(path, seed()))
        std::exit(1);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kWrites; ++i) {
        TIniFile ini(path);
        ini.WriteString(QStringLiteral("TMainForm"), QStringLiteral("Key%1").arg(i % kKeys),
                        QStringLiteral("%1,%2,1366,768").arg(round).arg(i));
    }
    return timer.nsecsElapsed() / 1e9;
}

// Seconds for as many replacements of a file of `size` bytes.
double replacements(const QString& path, qsizetype size)
{
    const QByteArray bytes(size, 'k');
    const QByteArray target = QFile::encodeName(path), temporary = target + ".new";
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kWrites; ++i) {
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(fd) != 0 ||
            ::close(fd) != 0 || ::rename(temporary.constData(), target.constData()) != 0)
            std::exit(1);
    }
    return timer.nsecsElapsed() / 1e9;
}
}  // namespace

int main()
{
    TIniFile::SetWriteFailureReport([](const QString& file, const QString& reason) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(reason));
        std::exit(1);
    });
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kvbench-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("kvsys.ini"));
    std::vector<double> writes, anchors;
    for (int round = 0; round < kRounds; ++round) {
        writes.push_back(settingsWrites(path, round));
        anchors.push_back(replacements(dir.filePath(QStringLiteral("plain.ini")), QFile(path).size()));
    }
    const double w = BenchMedian(writes), a = BenchMedian(anchors);
    std::printf("%d settings writes: %.1f ms (%.3f ms each); %d replacements by system calls: %.1f ms; ratio %.2f\n",
                kWrites, w * 1e3, w * 1e3 / kWrites, kWrites, a * 1e3, w / a);
    return 0;
}
