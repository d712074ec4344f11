#include "ReplacementFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace {
bool& unnamedFiles()
{
    static bool enabled = true;
    return enabled;
}

bool& roomReservation()
{
    static bool enabled = true;
    return enabled;
}

// Whether a symbolic link that ends a path may be followed: not when it
// lies in a sticky folder that everyone may write and is owned by neither
// the writer nor the folder's owner, where anyone could have put it to lead
// elsewhere. A link in the middle of a path leads only to a folder, and is
// followed wherever it lies.
bool mayFollow(const struct stat& link, const struct stat& folder)
{
    const bool open = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !open || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

// Puts the names of a path on the stack of names still to be resolved, its
// first name on top; empty names and "." are left out, so the last name on
// the stack is the path's last part.
void pushNames(QByteArrayList& rest, const QByteArray& path)
{
    const QByteArrayList names = path.split('/');
    for (auto name = names.crbegin(); name != names.crend(); ++name)
        if (!name->isEmpty() && *name != ".")
            rest.append(*name);
}

// The file a target names, every symbolic link on the way followed: a
// link is written through, so it stays and the file it leads to is
// replaced. 0, or the error that stops it (a last link that may not be
// followed, too many links, a folder on the way that is not one). A last
// name that is not there yet is a new file.
int finalPath(const QString& target, QByteArray& path)
{
    QByteArrayList rest;
    pushNames(rest, QFile::encodeName(QFileInfo(target).absoluteFilePath()));
    path.clear();  // the part resolved so far, without links
    int links = 0;
    while (!rest.isEmpty()) {
        const QByteArray name = rest.takeLast();
        if (name == "..") {
            path.truncate(qMax<qsizetype>(path.lastIndexOf('/'), 0));
            continue;
        }
        const QByteArray next = path + '/' + name;
        struct stat st {};
        if (::lstat(next.constData(), &st) != 0) {
            if (errno == ENOENT && rest.isEmpty()) {
                path = next;
                return 0;
            }
            return errno;
        }
        if (!S_ISLNK(st.st_mode)) {
            path = next;
            continue;
        }
        if (rest.isEmpty()) {
            struct stat folder {};
            if (::stat(path.isEmpty() ? "/" : path.constData(), &folder) != 0)
                return errno;
            if (!mayFollow(st, folder))
                return EACCES;
        }
        if (++links > 40)
            return ELOOP;
        QByteArray to(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(next.constData(), to.data(), size_t(to.size()));
        if (n < 0)
            return errno;
        to.truncate(n);
        if (to.startsWith('/'))
            path.clear();
        pushNames(rest, to);
    }
    if (path.isEmpty())
        path = "/";
    return 0;
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

// Copies the bytes [from, to) of one file to the same place in another: 0,
// or the error that stopped it.
int copyBytes(int source, int target, qint64 from, qint64 to)
{
    QByteArray chunk(1 << 18, Qt::Uninitialized);
    for (qint64 done = from; done < to;) {
        const ssize_t n = ::pread(source, chunk.data(), size_t(qMin<qint64>(chunk.size(), to - done)), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        if (const int error = writeAll(target, chunk.constData(), n, done))
            return error;
        done += n;
    }
    return 0;
}

// Flushes a file to the disk: 0, or the error. A file that cannot be
// flushed (EINVAL) counts as flushed.
int flush(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

// Flushes a folder, so that a name just given in it survives a power loss.
void flushFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// An extended attribute as `get` reads it (with a buffer and its size, or
// none and 0 for the size it needs): false when it cannot be read, as when
// the file has none of that name.
template <typename Get>
bool readAttribute(const Get& get, QByteArray& value)
{
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return false;
        value.resize(size);
        const ssize_t n = get(value.data(), size_t(size));
        if (n >= 0) {
            value.truncate(n);
            return true;
        }
        if (errno != ERANGE)  // ERANGE: it grew meanwhile, and is read again
            return false;
    }
}

// The access control list of a file (by its name, or of the open file),
// as the system stores it; empty when it has none.
constexpr char kAcl[] = "system.posix_acl_access";
QByteArray aclOf(const QByteArray& path)
{
    QByteArray acl;
    readAttribute([&](char* to, size_t size) { return ::getxattr(path.constData(), kAcl, to, size); }, acl);
    return acl;
}
QByteArray aclOf(int fd)
{
    QByteArray acl;
    readAttribute([&](char* to, size_t size) { return ::fgetxattr(fd, kAcl, to, size); }, acl);
    return acl;
}

// Gives the new file `fd` the access control list of the file `path` it
// replaces. A list the new file took from its folder goes when the old one
// had none, so the new file never grants more than the old one did.
bool keepAcl(int fd, const QByteArray& path)
{
    const QByteArray acl = aclOf(path);
    if (acl == aclOf(fd))
        return true;
    if (!acl.isEmpty())
        return ::fsetxattr(fd, kAcl, acl.constData(), size_t(acl.size()), 0) == 0;
    return ::fremovexattr(fd, kAcl) == 0 || errno == ENODATA || errno == EOPNOTSUPP;
}

// Gives the new file `fd` the user extended attributes of the file `path`
// it replaces (the tags and origin marks that desktops and backup tools
// set); false when one cannot be kept.
bool keepUserAttributes(int fd, const QByteArray& path)
{
    QByteArray names;
    if (!readAttribute([&](char* to, size_t size) { return ::listxattr(path.constData(), to, size); }, names))
        return true;  // a file system without them: the old file has none
    for (const QByteArray& name : names.split('\0')) {
        QByteArray value;
        if (!name.startsWith("user.") ||
            !readAttribute([&](char* to, size_t size) { return ::getxattr(path.constData(), name.constData(), to, size); },
                           value))
            continue;
        if (::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    return true;
}

// Gives the new file `fd` the owner, group, rights (setgid and sticky bits
// too), access control list and user extended attributes of the file
// `path` it replaces, each only where the new file has another; false when
// it cannot have them all, as when the writer may not give the file away or
// the file system refuses to change them. A file system that keeps no owner
// or rights of any file (FAT in user space) shows the same for every file,
// the new one too, and so asks for no change. The new file is made with no
// rights for others, so these only ever widen them to the old file's.
bool keepAttributes(int fd, const QByteArray& path, const struct stat& old)
{
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    if (!keepAcl(fd, path) || !keepUserAttributes(fd, path) || ::fstat(fd, &now) != 0)
        return false;
    // Last: a change of owner or list may clear the setgid bit.
    if ((now.st_mode & 07777) != (old.st_mode & 07777) && ::fchmod(fd, old.st_mode & 07777) != 0)
        return false;
    return ::fstat(fd, &now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
           (now.st_mode & 07777) == (old.st_mode & 07777);
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
// lock is free was left by a run that ended. Only what this program could
// have made goes: an ordinary file of this user with that one name. Each
// is looked at before it is opened (a named pipe opened would wake its
// writer), and opened through what was looked at, not by its name again.
// The target itself is never touched.
void removeLeftovers(const QByteArray& folder, const QByteArray& target)
{
    const QByteArray targetName = target.mid(target.lastIndexOf('/') + 1);
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    const auto ours = [](const struct stat& st) {
        return S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == ::geteuid();
    };
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name) || targetName == entry->d_name)
            continue;
        struct stat seen {}, held {}, named {};
        if (::fstatat(dirFd, entry->d_name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || !ours(seen))
            continue;
        const int path = ::openat(dirFd, entry->d_name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (path < 0)
            continue;
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(path);
        const int fd = ::fstat(path, &held) == 0 && ours(held) ? ::open(self.constData(), O_RDONLY | O_CLOEXEC) : -1;
        ::close(path);
        if (fd < 0)
            continue;
        if (::fstat(fd, &held) == 0 && ours(held) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
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
int namedFile(const QByteArray& folder, mode_t mode, QByteArray& name)
{
    for (int attempt = 0;; ++attempt) {
        name = temporaryName(folder);
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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

// The folder for the staged bytes of a file written in place: the
// system's temporary folder.
QByteArray stagingFolder()
{
    const QByteArray set = qgetenv("TMPDIR");
    return set.isEmpty() ? QByteArray("/tmp") : set;
}

// The staged bytes of a file written in place: an unnamed file in `folder`
// (where it has none, one whose name goes as soon as it is made). -1 with
// errno when none can be made.
int stagingFile(const QByteArray& folder)
{
    const int fd = unnamedFile(folder, 0600);
    if (fd >= 0 || !noUnnamedFiles(errno))
        return fd;
    QByteArray name = folder + "/kvsys-XXXXXX";
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0)
        ::unlink(name.constData());
    return named;
}

// How long a file held by another program is waited for: once for each
// read or write of it.
using Deadline = std::chrono::steady_clock::time_point;
constexpr std::chrono::seconds kWait(5);
Deadline waitLimit()
{
    return std::chrono::steady_clock::now() + kWait;
}

// The files another program has held past the wait, and when. For a minute
// after, one is not waited for again until this program finds it free, so
// a run that reads or writes it several times in a row (as at the start)
// waits once, not at every step.
class HeldFiles {
public:
    static bool Known(const struct stat& st)
    {
        const std::lock_guard<std::mutex> guard(lock());
        const auto found = files().find({st.st_dev, st.st_ino});
        return found != files().end() && std::chrono::steady_clock::now() - found->second < std::chrono::minutes(1);
    }
    static void Note(const struct stat& st, bool held)
    {
        const std::lock_guard<std::mutex> guard(lock());
        if (held)
            files()[{st.st_dev, st.st_ino}] = std::chrono::steady_clock::now();
        else
            files().erase({st.st_dev, st.st_ino});
    }

private:
    using Files = std::map<std::pair<dev_t, ino_t>, std::chrono::steady_clock::time_point>;
    static std::mutex& lock()
    {
        static std::mutex m;
        return m;
    }
    static Files& files()
    {
        static Files f;
        return f;
    }
};

// The error of a wait that ran out while only readers held the file;
// EWOULDBLOCK is that of one a writer held.
constexpr int kReadersHoldIt = -EWOULDBLOCK;

bool heldByAnother(int error)
{
    return error == EWOULDBLOCK || error == kReadersHoldIt;
}

QString errorText(int error)
{
    if (!heldByAnother(error))
        return qt_error_string(error);
    return QStringLiteral("Another program is %1 the file; try again when it has finished")
        .arg(error == kReadersHoldIt ? QLatin1String("reading") : QLatin1String("writing"));
}

// The errors of a file system that takes no lock of a kind.
bool takesNoLocks(int error)
{
    return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL;
}

// Locks `fd` for one writer or, `shared`, for readers, with both kinds of
// lock other programs take: a lock of the whole file (flock) and a record
// lock over all of it (fcntl, held by the open file as the first is), the
// second where `records`. One held by another program, of either kind, is
// waited for until `until`; neither is kept while the other is waited for.
// 0, also where the file system takes neither kind, or the error
// (EWOULDBLOCK or kReadersHoldIt when the wait ran out).
int lockBoth(int fd, bool shared, Deadline until, bool records = true)
{
    for (;;) {
        bool busy = false, readers = false;
        if (::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK && !takesNoLocks(errno))
                return errno;
            busy = errno == EWOULDBLOCK;
            // Held by readers alone when a reader may have it too.
            readers = busy && !shared && ::flock(fd, LOCK_SH | LOCK_NB) == 0 && ::flock(fd, LOCK_UN) == 0;
        }
        if (!busy) {
            struct flock whole {};
            whole.l_type = shared ? F_RDLCK : F_WRLCK;
            whole.l_whence = SEEK_SET;  // from the start, l_len 0: to any end
            if (!records || ::fcntl(fd, F_OFD_SETLK, &whole) == 0 || takesNoLocks(errno))
                return 0;
            const int error = errno;
            ::flock(fd, LOCK_UN);
            if (error != EAGAIN && error != EACCES)
                return error;
            readers = !shared && ::fcntl(fd, F_OFD_GETLK, &whole) == 0 && whole.l_type == F_RDLCK;
        }
        if (std::chrono::steady_clock::now() >= until)
            return readers ? kReadersHoldIt : EWOULDBLOCK;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Opens the ordinary file at `path` for `access` and holds it: for readers
// where it is opened only to read, else for one writer. A lock holds the
// file it was taken on, not its name: where a rename put another file in
// its place meanwhile, that one is held instead. A file another program has
// held past an earlier wait is tried once, not waited for. 0 with the file
// in `fd` and its state in `st`; 0 with `fd` -1 when the path names
// something else, which is looked at and not opened; ENOENT when nothing is
// there; or the error (as lockBoth's when the wait ran out).
int holdFile(const QByteArray& path, int access, Deadline until, int& fd, struct stat& st)
{
    for (;;) {
        fd = -1;
        if (::stat(path.constData(), &st) != 0)
            return errno;
        if (!S_ISREG(st.st_mode))
            return 0;
        fd = ::open(path.constData(), access | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return errno;
        const struct stat seen = st;
        int error = lockBoth(fd, access == O_RDONLY, HeldFiles::Known(seen) ? Deadline() : until);
        if (heldByAnother(error) || !error)
            HeldFiles::Note(seen, error != 0);
        struct stat named {};
        if (!error && ::fstat(fd, &st) != 0)
            error = errno;
        if (!error && S_ISREG(st.st_mode) && ::stat(path.constData(), &named) == 0 && named.st_dev == st.st_dev &&
            named.st_ino == st.st_ino)
            return 0;
        ::close(fd);
        fd = -1;
        if (error)
            return error;
    }
}

// Reads the whole file `fd` from its start: 0, or the error.
int readWhole(int fd, QByteArray& bytes)
{
    bytes.clear();
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::pread(fd, chunk.data(), size_t(chunk.size()), off_t(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : 0;
        bytes.append(chunk.constData(), n);
    }
}
}  // namespace

bool TReplacementFile::SetUnnamedFiles(bool enabled)
{
    const bool old = unnamedFiles();
    unnamedFiles() = enabled;
    return old;
}

bool TReplacementFile::SetRoomReservation(bool enabled)
{
    const bool old = roomReservation();
    roomReservation() = enabled;
    return old;
}

QString TReplacementFile::NotAFile(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? notAFile(st.st_mode) : QString();
}

bool TReplacementFile::ReadWhole(const QString& path, QByteArray& bytes)
{
    bytes.clear();
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    struct stat st {};
    const int error = holdFile(name, O_RDONLY, waitLimit(), fd, st);
    // One held longer than the wait is read as it stands.
    if (heldByAnother(error))
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const bool read = fd >= 0 && readWhole(fd, bytes) == 0;
    if (fd >= 0)
        ::close(fd);
    return read;
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

QString TReplacementFile::stagingReason(int error) const
{
    return QStringLiteral("The temporary folder \"%1\" cannot hold the new bytes: %2")
        .arg(QDir::toNativeSeparators(QFile::decodeName(m_staging)), qt_error_string(error));
}

bool TReplacementFile::open(OpenMode mode)
{
    if (isOpen() || !(mode & WriteOnly) || (mode & ReadOnly))
        return false;
    if (!m_held && !find(false))
        return false;
    return make();
}

bool TReplacementFile::HoldToChange(QByteArray& bytes)
{
    bytes.clear();
    if (isOpen() || m_held || !find(true))
        return false;
    if (m_targetFd >= 0) {
        if (const int error = readWhole(m_targetFd, bytes))
            return giveUp(error);
    }
    return true;
}

bool TReplacementFile::ReadAgain(QByteArray& bytes)
{
    bytes.clear();
    if (!m_held || isOpen())
        return false;
    if (m_targetFd < 0)
        return true;  // no file there yet
    // Through an opening of its own, so a file system that keeps what it
    // showed of a file for each opening shows it afresh.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_targetFd);
    const int fd = ::open(self.constData(), O_RDONLY | O_CLOEXEC);
    const int error = readWhole(fd >= 0 ? fd : m_targetFd, bytes);
    if (fd >= 0)
        ::close(fd);
    return !error || giveUp(error);
}

// Holds what is there for a change: the file against other programs that
// hold it, or, where there is none yet, its folder against others of this
// program making it. 0 with `replacing` set, or the error.
int TReplacementFile::holdTarget(struct stat& existing, bool& replacing)
{
    const Deadline until = waitLimit();
    for (;;) {
        const int error = holdFile(m_final, O_RDWR, until, m_targetFd, existing);
        replacing = error == 0;
        if (error != ENOENT)
            return error;
        // A folder that cannot be held is not: making the file there fails
        // with the system's reason.
        m_folderFd = ::open(m_folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_folderFd < 0)
            return 0;
        if (const int held = lockBoth(m_folderFd, false, until, false))
            return held;
        if (::stat(m_final.constData(), &existing) != 0)
            return errno == ENOENT ? 0 : errno;
        ::close(m_folderFd);  // made meanwhile: that file is held instead
        m_folderFd = -1;
    }
}

// Finds the file the target names and what stands there, held when `hold`;
// false, with the reason, when it cannot be written. A name the system
// refuses (too long, a folder that is not one) is refused here, before
// anything is written.
bool TReplacementFile::find(bool hold)
{
    struct stat& existing = m_existing;
    bool& replacing = m_replacing;
    replacing = false;
    m_failed = false;
    m_inPlace = false;
    m_written = 0;
    if (const int error = finalPath(m_target, m_final))
        return fail(error);
    m_folder = m_final.left(qMax<qsizetype>(m_final.lastIndexOf('/'), 1));
    if (hold) {
        m_held = true;
        if (const int error = holdTarget(existing, replacing))
            return giveUp(errorText(error));
    } else {
        replacing = ::stat(m_final.constData(), &existing) == 0;
        if (!replacing && errno != ENOENT)
            return fail(errno);
    }
    if (replacing) {
        const QString wrong = notAFile(existing.st_mode);
        if (!wrong.isEmpty())
            return giveUp(wrong);
        if (::access(m_final.constData(), W_OK) != 0)
            return giveUp(errno);
    }
    return true;
}

// Makes the file that takes the target's place, or where the target is
// written in place, the one that holds its new bytes meanwhile.
bool TReplacementFile::make()
{
    const struct stat& existing = m_existing;
    const bool replacing = m_replacing;
    removeLeftovers(m_folder, m_final);
    // A file with other names is written in place, so every name shows the
    // new bytes.
    if (replacing && existing.st_nlink > 1)
        return openInPlace();
    // One that replaces a file shows nobody its bytes until it has that
    // file's rights.
    const mode_t mode = replacing ? 0600 : 0666;
    m_fd = unnamedFile(m_folder, mode);
    if (m_fd >= 0)
        ::flock(m_fd, LOCK_EX);  // so that it is never taken for a leftover once named
    else if (noUnnamedFiles(errno))
        m_fd = namedFile(m_folder, mode, m_temporary);
    if (m_fd < 0) {
        const int error = errno;
        m_temporary.clear();
        // The folder refuses a new file for want of rights, not of room.
        if ((error == EACCES || error == EPERM) && replacing)
            return openInPlace();
        return giveUp(error);
    }
    // A file the writer may not give the old one's owner, group, rights and
    // attributes is not made: the old file is written in place and keeps
    // them.
    if (replacing && !keepAttributes(m_fd, m_final, existing)) {
        dropTemporary();
        return openInPlace();
    }
    return QIODevice::open(WriteOnly | Unbuffered);
}

bool TReplacementFile::openInPlace()
{
    if (m_targetFd < 0)
        m_targetFd = ::open(m_final.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_targetFd < 0)
        return giveUp(errno);
    struct stat st {};
    if (::fstat(m_targetFd, &st) != 0)
        return giveUp(errno);
    if (const QString wrong = notAFile(st.st_mode); !wrong.isEmpty())
        return giveUp(wrong);
    m_staging = stagingFolder();
    m_fd = stagingFile(m_staging);
    if (m_fd < 0)
        return giveUp(stagingReason(errno));
    m_inPlace = true;
    return QIODevice::open(WriteOnly | Unbuffered);
}

// The staged bytes are checked first. Then, with the file held against
// other programs (the one a rename put in its place meanwhile, if any), the
// room for them is reserved in the target where the disk can reserve it
// ahead, and the part of them past the file's old end is written and
// flushed: a disk without room fails there, the file is cut back to its
// old length and keeps its old bytes. Only then is the rest copied over the
// old bytes and the file cut to their length. Without room reserved, the
// old bytes are overwritten only where they already take room on the disk:
// a file with gaps, or one that takes less room than its size, is refused
// untouched.
bool TReplacementFile::writeInPlace(const Check& check)
{
    if (check) {
        const QString wrong = check(QStringLiteral("/proc/self/fd/%1").arg(m_fd));
        if (!wrong.isEmpty())
            return giveUp(wrong);
    }
    struct stat st {};
    if (!m_held) {
        int held = -1;
        const int error = holdFile(m_final, O_WRONLY, waitLimit(), held, st);
        if (error)
            return giveUp(errorText(error));
        if (held < 0)
            return giveUp(notAFile(st.st_mode));
        ::close(m_targetFd);
        m_targetFd = held;
    } else if (::fstat(m_targetFd, &st) != 0) {
        return giveUp(errno);
    }
    const qint64 size = m_written;
    const qint64 old = st.st_size;
    const qint64 kept = qMin(old, size);
    bool reserved = false;
    if (size > 0 && roomReservation()) {
        int result = 0;
        while ((result = ::fallocate(m_targetFd, FALLOC_FL_KEEP_SIZE, 0, off_t(size))) != 0 && errno == EINTR) {
        }
        reserved = result == 0;
        if (!reserved && errno != EOPNOTSUPP && errno != ENOSYS)  // those: a file system that reserves nothing
            return giveUp(errno);
    }
    if (!reserved && kept > 0) {
        const off_t gap = ::lseek(m_targetFd, 0, SEEK_HOLE);
        if (gap < 0 || gap < kept || qint64(st.st_blocks) * 512 < old)
            return giveUp(QStringLiteral("The file has gaps that the disk cannot reserve room for ahead, and is "
                                         "left as it was"));
    }
    if (size > old) {
        int error = copyBytes(m_fd, m_targetFd, old, size);
        if (!error)
            error = flush(m_targetFd);
        if (error) {
            if (::ftruncate(m_targetFd, off_t(old)) == 0)
                flush(m_targetFd);
            return giveUp(error);
        }
    }
    if (const int error = copyBytes(m_fd, m_targetFd, 0, kept))
        return giveUp(error);
    if (::ftruncate(m_targetFd, off_t(size)) != 0)
        return giveUp(errno);
    if (const int error = flush(m_targetFd))
        return giveUp(error);
    const int fd = m_targetFd;
    m_targetFd = -1;
    if (::close(fd) != 0)  // and with it the hold on the file
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
        fail(m_inPlace ? stagingReason(error) : qt_error_string(error));
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
    if (!m_inPlace) {
        if (const int error = flush(m_fd))
            return giveUp(error);
    }
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
    // Every byte reached the disk at the flush above; the new name reaches
    // it with the folder's.
    flushFolder(m_folder);
    // Closed only now, so that the locks hold until the file has its place.
    Discard();
    return true;
}

void TReplacementFile::dropTemporary()
{
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());  // while it is still locked
    m_temporary.clear();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void TReplacementFile::Discard()
{
    dropTemporary();
    m_held = false;
    for (int* fd : {&m_targetFd, &m_folderFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    if (isOpen())
        QIODevice::close();
}
