#include "ReplacementFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool& unnamedFiles()
{
    static bool enabled = true;
    return enabled;
}

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

// Why a target that is there cannot be replaced by a file; empty when it can.
QString notAFile(mode_t mode)
{
    const char* kind = S_ISREG(mode)    ? nullptr
                       : S_ISDIR(mode)  ? "a folder"
                       : S_ISFIFO(mode) ? "a named pipe"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode) ? "a socket"
                                        : "something else";
    if (!kind)
        return QString();
    return QStringLiteral("It is %1, not an ordinary file, and is left as it is.").arg(QLatin1String(kind));
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

// The size of the file `fd`, or -1 with errno.
qint64 sizeOf(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
}

// Copies the first `size` bytes of one file over the start of another: 0, or
// the error that stopped it.
int copyBytes(int from, int to, qint64 size)
{
    QByteArray chunk(1 << 18, Qt::Uninitialized);
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::pread(from, chunk.data(), size_t(qMin<qint64>(chunk.size(), size - done)), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        if (const int error = writeAll(to, chunk.constData(), n, done))
            return error;
        done += n;
    }
    return 0;
}

// Temporary files beside a target are named ".kvsys-", twelve letters or
// digits and ".tmp": short whatever the target's name, and known again as
// this program's own.
constexpr char kPrefix[] = ".kvsys-";
constexpr char kSuffix[] = ".tmp";
constexpr int kRandomLength = 12;

bool isLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

QByteArray temporaryName(const QByteArray& folder)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray s(kRandomLength, 'x');
    for (char& c : s)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return folder + '/' + kPrefix + s + kSuffix;
}

bool isTemporaryName(const char* name)
{
    const size_t prefix = sizeof kPrefix - 1, suffix = sizeof kSuffix - 1;
    if (std::strlen(name) != prefix + kRandomLength + suffix || std::strncmp(name, kPrefix, prefix) != 0 ||
        std::strcmp(name + prefix + kRandomLength, kSuffix) != 0)
        return false;
    for (int i = 0; i < kRandomLength; ++i)
        if (!isLetterOrDigit(name[prefix + size_t(i)]))
            return false;
    return true;
}

// Removes the temporary files of earlier runs from a folder. A file being
// written is locked by its writer for as long as it lives, so a file whose
// lock is free was left by a run that ended; files of another user, or that
// are not ordinary files, are never touched, nor is the target itself.
void removeLeftovers(const QByteArray& folder, const QByteArray& target)
{
    const QByteArray targetName = target.mid(target.lastIndexOf('/') + 1);
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name) || targetName == entry->d_name)
            continue;
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// The errors of a file system, or a system, that has no unnamed files.
bool noUnnamedFiles(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// An unnamed file in `folder`, or -1 with errno.
int unnamedFile(const QByteArray& folder, mode_t mode)
{
    if (!unnamedFiles()) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
}

// A named temporary file in `folder`, locked; its name in `name`. -1 with
// errno when none can be made.
int namedFile(const QByteArray& folder, QByteArray& name)
{
    for (int attempt = 0;; ++attempt) {
        name = temporaryName(folder);
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST && attempt < 100)
                continue;
            return -1;
        }
        // Locked as it was made; a file that another run's clean-up took
        // for a leftover in between is gone, and another is made.
        struct stat st {};
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        if (::fstat(fd, &st) == 0 && st.st_nlink > 0)
            return fd;
        ::close(fd);
    }
}

// Gives the unnamed file `fd` a temporary name in `folder`: 0, or the error.
int nameUnnamed(int fd, const QByteArray& folder, QByteArray& name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0;; ++attempt) {
        name = temporaryName(folder);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        int error = errno;
        // Without /proc the file itself is given, where the system allows it.
        if (error != EEXIST && ::linkat(fd, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0)
            return 0;
        if (error != EEXIST || attempt >= 100)
            return error;
    }
}

// The staged bytes of a file written in place: an unnamed file in the
// system's temporary folder (where it has none, one whose name goes as soon
// as it is made). -1 with errno when none can be made.
int stagingFile()
{
    const QByteArray folder = QFile::encodeName(QDir::tempPath());
    const int fd = unnamedFile(folder, 0600);
    if (fd >= 0 || !noUnnamedFiles(errno))
        return fd;
    QByteArray name = folder + "/kvsys-XXXXXX";
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0)
        ::unlink(name.constData());
    return named;
}
}  // namespace

bool TReplacementFile::SetUnnamedFiles(bool enabled)
{
    const bool old = unnamedFiles();
    unnamedFiles() = enabled;
    return old;
}

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

bool TReplacementFile::giveUp(int error)
{
    return giveUp(qt_error_string(error));
}

bool TReplacementFile::giveUp(const QString& reason)
{
    fail(reason);
    Discard();
    return false;
}

bool TReplacementFile::open(OpenMode mode)
{
    if (isOpen() || !(mode & WriteOnly) || (mode & ReadOnly))
        return false;
    m_failed = false;
    m_inPlace = false;
    m_written = 0;
    m_final = QFile::encodeName(finalPath(m_target));
    m_folder = m_final.left(qMax<qsizetype>(m_final.lastIndexOf('/'), 1));

    // A name the system refuses (too long, a folder that is not one) is
    // refused here, before anything is written.
    struct stat existing {};
    const bool replacing = ::stat(m_final.constData(), &existing) == 0;
    if (!replacing && errno != ENOENT)
        return fail(errno);
    if (replacing) {
        const QString wrong = notAFile(existing.st_mode);
        if (!wrong.isEmpty())
            return fail(wrong);
        if (::access(m_final.constData(), W_OK) != 0)
            return fail(errno);
    }

    removeLeftovers(m_folder, m_final);
    m_fd = unnamedFile(m_folder, 0666);
    if (m_fd >= 0)
        ::flock(m_fd, LOCK_EX);  // so that it is never taken for a leftover once named
    else if (noUnnamedFiles(errno))
        m_fd = namedFile(m_folder, m_temporary);
    if (m_fd < 0) {
        const int error = errno;
        m_temporary.clear();
        // The folder refuses a new file for want of rights, not of room.
        if ((error == EACCES || error == EPERM) && replacing)
            return openInPlace();
        return fail(error);
    }
    if (replacing)
        ::fchmod(m_fd, existing.st_mode & 0777);
    return QIODevice::open(WriteOnly | Unbuffered);
}

bool TReplacementFile::openInPlace()
{
    m_targetFd = ::open(m_final.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_targetFd < 0)
        return fail(errno);
    struct stat st {};
    if (::fstat(m_targetFd, &st) != 0)
        return giveUp(errno);
    if (const QString wrong = notAFile(st.st_mode); !wrong.isEmpty())
        return giveUp(wrong);
    m_fd = stagingFile();
    if (m_fd < 0)
        return giveUp(errno);
    m_inPlace = true;
    return QIODevice::open(WriteOnly | Unbuffered);
}

// The staged bytes are checked first; then the room for them is reserved in
// the target (beyond the file's end, its length unchanged), so a disk
// without it fails before the file is touched; then they are copied over
// the old ones and the file cut to their length.
bool TReplacementFile::writeInPlace(const Check& check)
{
    if (check) {
        const QString wrong = check(QStringLiteral("/proc/self/fd/%1").arg(m_fd));
        if (!wrong.isEmpty())
            return giveUp(wrong);
    }
    const qint64 size = m_written;
    int reserved = 0;
    while (size > 0 && (reserved = ::fallocate(m_targetFd, FALLOC_FL_KEEP_SIZE, 0, off_t(size))) != 0 &&
           errno == EINTR) {
    }
    if (reserved != 0 && errno != EOPNOTSUPP && errno != ENOSYS)  // those: a file system that reserves nothing
        return giveUp(errno);
    if (const int error = copyBytes(m_fd, m_targetFd, size))
        return giveUp(error);
    if (::ftruncate(m_targetFd, off_t(size)) != 0)
        return giveUp(errno);
    if (::fsync(m_targetFd) != 0 && errno != EINVAL)  // EINVAL: a file that cannot be synced
        return giveUp(errno);
    const int fd = m_targetFd;
    m_targetFd = -1;
    if (::close(fd) != 0)
        return giveUp(errno);
    Discard();  // the staged bytes
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
    if (m_failed) {
        Discard();
        return false;
    }
    if (!m_inPlace && ::fsync(m_fd) != 0 && errno != EINVAL)  // EINVAL: a file that cannot be synced
        return giveUp(errno);
    const qint64 size = sizeOf(m_fd);
    if (size < 0)
        return giveUp(errno);
    if (size != m_written)
        return giveUp(QStringLiteral("The file holds %1 bytes of the %2 written.").arg(size).arg(m_written));
    if (m_inPlace)
        return writeInPlace(check);
    if (m_temporary.isEmpty()) {
        if (const int error = nameUnnamed(m_fd, m_folder, m_temporary)) {
            m_temporary.clear();
            return giveUp(error);
        }
    }
    if (check) {
        const QString wrong = check(QFile::decodeName(m_temporary));
        if (!wrong.isEmpty())
            return giveUp(wrong);
    }
    if (::rename(m_temporary.constData(), m_final.constData()) != 0)
        return giveUp(errno);
    m_temporary.clear();
    // Closed only now, so that the lock holds until the file has its place;
    // every byte reached the disk at the sync above.
    ::close(m_fd);
    m_fd = -1;
    QIODevice::close();
    return true;
}

void TReplacementFile::Discard()
{
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());  // while it is still locked
    m_temporary.clear();
    for (int* fd : {&m_fd, &m_targetFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    if (isOpen())
        QIODevice::close();
}
