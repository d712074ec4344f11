#include "ReplacementFile.h"
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The file a target names: a symbolic link is written through, so the link
// stays and the file it leads to is replaced.
QString finalPath(const QString& target)
{
    const QFileInfo fi(QFileInfo(target).absoluteFilePath());
    if (!fi.isSymLink())
        return fi.absoluteFilePath();
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? fi.symLinkTarget() : canonical;
}

// Writes every byte, at `offset` (or where the file stands when it is
// negative): 0, or the error that stopped it.
int writeAll(int fd, const char* data, qint64 size, qint64 offset = -1)
{
    for (qint64 done = 0; done < size;) {
        const size_t left = size_t(size - done);
        const ssize_t n =
            offset < 0 ? ::write(fd, data + done, left) : ::pwrite(fd, data + done, left, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

QByteArray randomSuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray s(6, 'x');
    for (char& c : s)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return s;
}
}  // namespace

TReplacementFile::TReplacementFile(const QString& target, QObject* parent) : QIODevice(parent), m_target(target)
{
}

TReplacementFile::~TReplacementFile()
{
    Discard();
}

bool TReplacementFile::fail(int error)
{
    return fail(qt_error_string(error));
}

bool TReplacementFile::fail(const QString& reason)
{
    setErrorString(reason);
    m_failed = true;
    return false;
}

bool TReplacementFile::open(OpenMode mode)
{
    if (isOpen() || !(mode & WriteOnly) || (mode & ReadOnly))
        return false;
    m_failed = false;
    m_inPlace = false;
    m_pending.clear();
    m_written = 0;
    m_final = QFile::encodeName(finalPath(m_target));

    struct stat existing {};
    const bool replacing = ::stat(m_final.constData(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode))
        return fail(EISDIR);
    if (replacing && ::access(m_final.constData(), W_OK) != 0)
        return fail(errno);

    const qsizetype slash = m_final.lastIndexOf('/');
    const QByteArray stem = m_final.left(slash + 1) + '.' + m_final.mid(slash + 1) + '.';
    for (int attempt = 0; m_fd < 0; ++attempt) {
        const QByteArray name = stem + randomSuffix();
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_temporary = name;
            break;
        }
        const int error = errno;
        if (error == EEXIST && attempt < 100)
            continue;
        // The folder refuses a new file for want of rights, not of room.
        if ((error == EACCES || error == EPERM) && m_directFallback && replacing && S_ISREG(existing.st_mode))
            return openInPlace();
        return fail(error);
    }
    if (replacing)
        ::fchmod(m_fd, existing.st_mode & 0777);
    return QIODevice::open(WriteOnly | Unbuffered);
}

bool TReplacementFile::openInPlace()
{
    m_fd = ::open(m_final.constData(), O_WRONLY | O_CLOEXEC);
    if (m_fd < 0)
        return fail(errno);
    m_inPlace = true;
    return QIODevice::open(WriteOnly | Unbuffered);
}

// The room for the new bytes is reserved first (beyond the file's end, its
// length unchanged), so a disk without it fails before the file is touched;
// then they are written over the old ones and the file cut to their length.
bool TReplacementFile::writeInPlace()
{
    const qint64 size = m_pending.size();
    int reserved = 0;
    while (size > 0 && (reserved = ::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size))) != 0 && errno == EINTR) {
    }
    if (reserved != 0 && errno != EOPNOTSUPP && errno != ENOSYS)  // those: a file system that reserves nothing
        return fail(errno);
    if (const int error = writeAll(m_fd, m_pending.constData(), size, 0))
        return fail(error);
    m_written = size;
    m_pending.clear();
    if (::ftruncate(m_fd, off_t(size)) != 0)
        return fail(errno);
    return true;
}

qint64 TReplacementFile::readData(char*, qint64)
{
    return -1;
}

qint64 TReplacementFile::writeData(const char* data, qint64 size)
{
    if (m_failed || m_fd < 0)
        return -1;
    if (m_inPlace) {
        m_pending.append(data, size);
        return size;
    }
    if (const int error = writeAll(m_fd, data, size)) {
        fail(error);
        return -1;
    }
    m_written += size;
    return size;
}

bool TReplacementFile::Commit(const Check& check)
{
    if (m_fd < 0 && !m_failed)
        return fail(QStringLiteral("The file was not opened."));
    auto giveUp = [this](auto reason) {
        fail(reason);
        Discard();
        return false;
    };
    if (m_failed || (m_inPlace && !writeInPlace())) {
        Discard();
        return false;
    }
    if (::fsync(m_fd) != 0 && errno != EINVAL)  // EINVAL: a file that cannot be synced
        return giveUp(errno);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return giveUp(errno);
    if (st.st_size != m_written)
        return giveUp(QStringLiteral("The file holds %1 bytes of the %2 written.").arg(st.st_size).arg(m_written));
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return giveUp(errno);
    if (check) {
        const QString wrong = check(QFile::decodeName(m_inPlace ? m_final : m_temporary));
        if (!wrong.isEmpty())
            return giveUp(wrong);
    }
    if (!m_inPlace && ::rename(m_temporary.constData(), m_final.constData()) != 0)
        return giveUp(errno);
    m_temporary.clear();
    QIODevice::close();
    return true;
}

void TReplacementFile::Discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_pending.clear();
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
    if (isOpen())
        QIODevice::close();
}
