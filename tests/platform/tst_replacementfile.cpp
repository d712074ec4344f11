#include "ReplacementFile.h"
#include "TestSupport.h"
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

// Every flush of the program's code comes here first: a flush of a folder is
// noted with what the file watched then held, so a test sees whether the
// folder reached the disk after the file took its new name; the first flush
// of the file watched itself is noted too.
namespace {
QString watchedFile;
QByteArray heldAtFolderFlush, heldAtFileFlush;
}
extern "C" int fsync(int fd)
{
    struct stat st {};
    if (!watchedFile.isEmpty() && ::fstat(fd, &st) == 0) {
        const QString path = QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget();
        if (S_ISDIR(st.st_mode) && path == QFileInfo(watchedFile).path())
            heldAtFolderFlush = kvtest::FileBytes(watchedFile);
        if (S_ISREG(st.st_mode) && path == watchedFile && heldAtFileFlush.isNull())
            heldAtFileFlush = kvtest::FileBytes(watchedFile);
    }
    return int(::syscall(SYS_fsync, fd));
}

// Every lock the program's code takes comes here first: on the file named
// lockless, neither kind is taken, as on a file system without locks.
namespace {
struct stat lockless {};
bool onLocklessFile(int fd)
{
    struct stat st {};
    return lockless.st_ino != 0 && ::fstat(fd, &st) == 0 && st.st_dev == lockless.st_dev &&
           st.st_ino == lockless.st_ino;
}
}
extern "C" int flock(int fd, int operation)
{
    if (onLocklessFile(fd)) {
        errno = ENOLCK;
        return -1;
    }
    return int(::syscall(SYS_flock, fd, operation));
}
extern "C" int fcntl(int fd, int command, ...)
{
    va_list rest;
    va_start(rest, command);
    void* argument = va_arg(rest, void*);
    va_end(rest);
    const bool locking = command == F_SETLK || command == F_SETLKW || command == F_OFD_SETLK ||
                         command == F_OFD_SETLKW;
    if (locking && onLocklessFile(fd)) {
        errno = ENOLCK;
        return -1;
    }
    return int(::syscall(SYS_fcntl, fd, command, argument));
}

// Every change of a file's owner comes here first: while watched, the
// rights the files had until then are noted.
namespace {
bool watchingRights = false;
mode_t rightsShown = 0;
}
extern "C" int fchown(int fd, uid_t owner, gid_t group)
{
    struct stat st {};
    if (watchingRights && ::fstat(fd, &st) == 0)
        rightsShown |= st.st_mode & 0777;
    return int(::syscall(SYS_fchown, fd, owner, group));
}

// Every extended attribute the program's code sets comes here first: while
// refused, no user attribute can be set, as where the file system has no
// room left for them.
namespace {
bool userAttributesRefused = false;
}
extern "C" int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags)
{
    if (userAttributesRefused && std::strncmp(name, "user.", 5) == 0) {
        errno = ENOSPC;
        return -1;
    }
    return int(::syscall(SYS_fsetxattr, fd, name, value, size, flags));
}

// A file that takes another's place only once it is complete: what stands at
// the target afterwards, and that nothing is left beside it.
class TestReplacementFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    static int mode(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
    }
    static int links(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_nlink) : -1;
    }

    // The temporary files made without a name (where the file system has
    // them) or named from the start (where it has not), for one test.
    struct TemporaryFiles {
        explicit TemporaryFiles(bool unnamed) : m_old(TReplacementFile::SetUnnamedFiles(unnamed)) {}
        ~TemporaryFiles() { TReplacementFile::SetUnnamedFiles(m_old); }
        bool m_old;
    };
    static void addUnnamedColumn() { QTest::addColumn<bool>("unnamed"); }

    // A child process that writes `bytes` to the file and stays, the write
    // made, until it is ended by force (at the latest when this goes).
    struct Writer {
        pid_t pid = -1;
        Writer(const QString& target, const QByteArray& bytes) : pid(start(target, bytes)) {}
        ~Writer() { End(); }
        Writer(const Writer&) = delete;
        Writer& operator=(const Writer&) = delete;
        bool End()
        {
            const bool ended = pid > 0 && ::kill(pid, SIGKILL) == 0 && ::waitpid(pid, nullptr, 0) == pid;
            pid = -1;
            return ended;
        }
        static pid_t start(const QString& target, const QByteArray& bytes);
    };

    // The temporary files left in a folder, but for `others`.
    static int leftovers(const QString& folder, const QStringList& others)
    {
        int n = 0;
        for (const QString& name : kvtest::FilesIn(folder))
            n += !others.contains(name) && name.contains(QRegularExpression("^\\.kvsys-[A-Za-z0-9]{12}\\.tmp$"));
        return n;
    }

private slots:
    void init() { kvtest::RemoveFilesIn(dir.path()); }

    // A replaced file keeps its permissions; written through a symbolic
    // link, the link stays and the file it leads to is replaced. A file with
    // a second name is written in place, so both names show the new bytes.
    // On a file system that keeps no owners or rights of its own, the file
    // is replaced all the same.
    void replaces_data()
    {
        QTest::addColumn<QString>("via");
        addUnnamedColumn();
        QTest::addColumn<QString>("fileSystem");
        QTest::newRow("the file itself") << "" << true << "";
        QTest::newRow("through a link") << "link" << true << "";
        QTest::newRow("the file itself, named temporary files") << "" << false << "";
        QTest::newRow("through a link, named temporary files") << "link" << false << "";
        QTest::newRow("through a second name") << "second name" << true << "";
        QTest::newRow("on a FAT file system in user space") << "" << true << "fusefat";
    }
    void replaces()
    {
        QFETCH(QString, via);
        QFETCH(bool, unnamed);
        QFETCH(QString, fileSystem);
        TemporaryFiles files(unnamed);
        std::optional<kvtest::FuseMount> mounted;
        if (!fileSystem.isEmpty() && !mounted.emplace(fileSystem).Available())
            QSKIP("That file system cannot be mounted here.");
        const QString folder = mounted ? mounted->Folder() : dir.path();
        const QString file = folder + "/report.csv";
        QVERIFY(kvtest::WriteFileBytes(file, "earlier"));
        ::chmod(QFile::encodeName(file).constData(), 0640);  // where the file system keeps rights
        const int rights = mode(file);
        const QString target = via.isEmpty() ? file : folder + (via == "link" ? "/link.csv" : "/second.csv");
        if (via == "link")
            QVERIFY(QFile::link(file, target));
        if (via == "second name")
            QVERIFY(::link(QFile::encodeName(file).constData(), QFile::encodeName(target).constData()) == 0);
        TReplacementFile f(target);
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QCOMPARE(f.write("new bytes"), 9);
        watchedFile = file;
        heldAtFolderFlush.clear();
        QVERIFY2(f.Commit(), qPrintable(f.errorString()));
        watchedFile.clear();
        if (via != "second name")
            QCOMPARE(heldAtFolderFlush, QByteArray("new bytes"));  // its name, too, is on the disk
        QCOMPARE(kvtest::FileBytes(file), QByteArray("new bytes"));
        QCOMPARE(kvtest::FileBytes(target), QByteArray("new bytes"));
        QCOMPARE(mode(file), rights);
        QCOMPARE(QFileInfo(target).isSymLink(), via == "link");
        QCOMPARE(kvtest::FilesIn(folder).size(), via.isEmpty() ? 1 : 2);
        if (via == "second name")
            QCOMPARE(links(file), 2);
    }

    // A replaced file keeps its owner, group, setgid bit, access control
    // list and user extended attributes, and takes no list from its folder
    // that it did not have. A writer that may not give a new file all of
    // them, or whose file system refuses them (bindfs with its deny options,
    // as NFS refuses root), writes the old one in place instead, so it keeps
    // them. Until the new file has the old one's rights it shows nobody more
    // than they do.
    void keepsOwnerGroupAndRights_data()
    {
        QTest::addColumn<uint>("owner");
        QTest::addColumn<uint>("group");
        QTest::addColumn<int>("rights");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<uint>("writer");
        QTest::addColumn<bool>("inPlace");
        const uint me = ::geteuid(), mine = ::getegid();
        QTest::newRow("setgid, of another group") << me << 65534u << 02664 << "" << me << false;
        QTest::newRow("of another user") << 65534u << 65534u << 0644 << "" << me << false;
        QTest::newRow("with an access control list") << me << mine << 0640 << "acl" << me << false;
        QTest::newRow("of a user the writer may not give it to") << 1234u << 1234u << 0666 << "" << 65534u << true;
        QTest::newRow("of another group alone") << me << 65534u << 0644 << "" << me << false;
        QTest::newRow("without a list, in a folder with a default one")
            << me << mine << 0640 << "default acl" << me << false;
        QTest::newRow("with user extended attributes") << me << mine << 0644 << "user attributes" << me << false;
        QTest::newRow("of another group, no rights for others, named temporary files")
            << me << 65534u << 0600 << "named" << me << false;
        QTest::newRow("with a user extended attribute the new file cannot take")
            << me << mine << 0644 << "user attributes refused" << me << true;
        QTest::newRow("of another user, on a file system that refuses to give a file away")
            << 65534u << 65534u << 0664 << "--chown-deny" << me << true;
        QTest::newRow("on a file system that refuses to change rights") << me << mine << 0664 << "--chmod-deny" << me
                                                                          << true;
    }
    void keepsOwnerGroupAndRights()
    {
        QFETCH(uint, owner);
        QFETCH(uint, group);
        QFETCH(int, rights);
        QFETCH(QString, extra);
        QFETCH(uint, writer);
        QFETCH(bool, inPlace);
        if ((owner != ::geteuid() || group != ::getegid() || writer != ::geteuid()) &&
            !kvtest::ReadOnlyFolder::RunningAsRoot())
            QSKIP("Only root may give a file away.");
        const QString file = dir.filePath("report.csv");
        const QByteArray path = QFile::encodeName(file), folder = QFile::encodeName(dir.path());
        QVERIFY(kvtest::WriteFileBytes(file, "earlier"));
        QVERIFY(::chown(path.constData(), owner, group) == 0 && ::chmod(path.constData(), mode_t(rights)) == 0);
        // user rw-, user 65534 rw-, group r--, mask rw-, other ---
        const QByteArray list = QByteArray::fromHex("02000000" "01000600ffffffff" "02000600feff0000"
                                                    "04000400ffffffff" "10000600ffffffff" "20000000ffffffff");
        const char* listKind = extra == "acl" ? "system.posix_acl_access" : "system.posix_acl_default";
        const auto noDefaultList = qScopeGuard([&] { ::removexattr(folder.constData(), "system.posix_acl_default"); });
        if (extra.endsWith("acl") &&
            ::setxattr(extra == "acl" ? path.constData() : folder.constData(), listKind, list.constData(),
                       size_t(list.size()), 0) != 0)
            QSKIP("This file system keeps no access control lists.");
        const char* origin = "user.xdg.origin.url";
        const QByteArray url = "https://example.invalid/report.csv";
        if (extra.startsWith("user attributes") &&
            ::setxattr(path.constData(), origin, url.constData(), size_t(url.size()), 0))
            QSKIP("This file system keeps no user extended attributes.");
        struct stat before {}, after {};
        QVERIFY(::stat(path.constData(), &before) == 0);
        QVERIFY(::chmod(folder.constData(), 0777) == 0);
        const TemporaryFiles files(extra != "named");
        std::optional<kvtest::FuseMount> mounted;  // showing the folder again
        if (extra.startsWith("--") && !mounted.emplace("bindfs", dir.path(), QStringList{extra}).Available())
            QSKIP("That file system cannot be mounted here.");
        const pid_t pid = ::fork();
        if (pid == 0) {
            watchingRights = true;
            userAttributesRefused = extra == "user attributes refused";
            TReplacementFile f(mounted ? mounted->Folder() + "/report.csv" : file);
            const bool done = (writer == ::geteuid() || ::setuid(writer) == 0) && f.open() &&
                              f.write("new bytes") == 9 && f.Commit();
            ::_exit(!done ? 1 : (rightsShown & ~mode_t(rights)) != 0 ? 2 : 0);
        }
        int status = -1;
        QVERIFY(pid > 0 && ::waitpid(pid, &status, 0) == pid);
        QVERIFY(::chmod(folder.constData(), 0700) == 0);
        QVERIFY2(status != 2 << 8, "The new file showed others more than the old one did.");
        QCOMPARE(status, 0);
        QCOMPARE(kvtest::FileBytes(file), QByteArray("new bytes"));
        QVERIFY(::stat(path.constData(), &after) == 0);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino == before.st_ino, inPlace);
        QByteArray kept(256, '\0');
        kept.truncate(qMax<ssize_t>(0, ::getxattr(path.constData(), "system.posix_acl_access", kept.data(), 256)));
        QCOMPARE(kept, extra == "acl" ? list : QByteArray());
        kept.resize(256);
        kept.truncate(qMax<ssize_t>(0, ::getxattr(path.constData(), origin, kept.data(), 256)));
        QCOMPARE(kept, extra.startsWith("user attributes") ? url : QByteArray());
        QCOMPARE(kvtest::FilesIn(dir.path()), QStringList{"report.csv"});
    }

    // In a sticky folder that everyone may write, a link that ends the path
    // is followed only when it belongs to the writer or to the folder's
    // owner; one in the middle of the path is followed whoever it belongs to.
    void linksInAnOpenFolder_data()
    {
        QTest::addColumn<uint>("linkOwner");
        QTest::addColumn<bool>("middle");
        QTest::addColumn<bool>("followed");
        QTest::newRow("the writer's link") << ::geteuid() << false << true;
        QTest::newRow("the folder owner's link") << 1234u << false << true;
        QTest::newRow("another user's link") << 65534u << false << false;
        QTest::newRow("another user's link to their folder, in the middle") << 65534u << true << true;
    }
    void linksInAnOpenFolder()
    {
        QFETCH(uint, linkOwner);
        QFETCH(bool, middle);
        QFETCH(bool, followed);
        if (!kvtest::ReadOnlyFolder::RunningAsRoot())
            QSKIP("Only root may give a link away.");
        const QString open = dir.filePath("open"), theirs = dir.filePath("theirs");
        const QString file = middle ? theirs + "/report.csv" : dir.filePath("report.csv");
        const QString link = open + (middle ? "/mid" : "/report.csv");
        QVERIFY(QDir(dir.path()).mkdir("open") && QDir(dir.path()).mkdir("theirs"));
        QVERIFY(kvtest::WriteFileBytes(file, "earlier"));
        const auto remove = qScopeGuard([&] {
            QDir(open).removeRecursively();
            QDir(theirs).removeRecursively();
        });
        QVERIFY(::chmod(QFile::encodeName(open).constData(), 01777) == 0);
        QVERIFY(::chown(QFile::encodeName(open).constData(), 1234, 1234) == 0);
        QVERIFY(::chown(QFile::encodeName(theirs).constData(), linkOwner, 0) == 0);
        QVERIFY(QFile::link(middle ? theirs : file, link));
        QVERIFY(::lchown(QFile::encodeName(link).constData(), linkOwner, 0) == 0);
        TReplacementFile f(middle ? link + "/report.csv" : link);
        QCOMPARE(f.open(), followed);
        if (followed)
            QVERIFY(f.write("new bytes") == 9 && f.Commit());
        else
            QCOMPARE(f.errorString(), qt_error_string(EACCES));
        QCOMPARE(kvtest::FileBytes(file), QByteArray(followed ? "new bytes" : "earlier"));
        QVERIFY(QFileInfo(link).isSymLink());
    }

    // Not committed, or committed while its check finds fault: the file
    // there keeps its bytes and nothing is left beside it.
    // While it is written, an unnamed temporary file shows nowhere; a named
    // one shows beside the target.
    void keepsTheFileThere_data()
    {
        QTest::addColumn<QString>("end");
        addUnnamedColumn();
        QTest::newRow("dropped") << "dropped" << true;
        QTest::newRow("discarded") << "discarded" << true;
        QTest::newRow("the check finds fault") << "check" << true;
        QTest::newRow("dropped, named temporary files") << "dropped" << false;
        QTest::newRow("discarded, named temporary files") << "discarded" << false;
        QTest::newRow("the check finds fault, named temporary files") << "check" << false;
    }
    void keepsTheFileThere()
    {
        QFETCH(QString, end);
        QFETCH(bool, unnamed);
        TemporaryFiles files(unnamed);
        const QString target = dir.filePath("report.pdf");
        QVERIFY(kvtest::WriteFileBytes(target, "earlier"));
        {
            TReplacementFile f(target);
            QVERIFY(f.open());
            QCOMPARE(f.write("half a report"), 13);
            QCOMPARE(kvtest::FilesIn(dir.path()).size(), unnamed ? 1 : 2);
            if (end == "discarded")
                f.Discard();
            if (end == "check") {
                QString seen;
                QVERIFY(!f.Commit([&](const QString& path) {
                    seen = QString::fromLatin1(kvtest::FileBytes(path));
                    return QStringLiteral("Not a report.");
                }));
                QCOMPARE(seen, QString("half a report"));
                QCOMPARE(f.errorString(), QString("Not a report."));
            }
        }
        QCOMPARE(kvtest::FilesIn(dir.path()), QStringList{"report.pdf"});
        QCOMPARE(kvtest::FileBytes(target), QByteArray("earlier"));
    }

    // The final rename fails (a folder has taken the target's place since it
    // was opened): the commit says so, and nothing is left beside it.
    void failedRenameLeavesNothing_data()
    {
        addUnnamedColumn();
        QTest::newRow("unnamed temporary file") << true;
        QTest::newRow("named temporary file") << false;
    }
    void failedRenameLeavesNothing()
    {
        QFETCH(bool, unnamed);
        TemporaryFiles files(unnamed);
        const QString target = dir.filePath("report.csv");
        QVERIFY(kvtest::WriteFileBytes(target, "earlier"));
        TReplacementFile f(target);
        QVERIFY(f.open());
        QCOMPARE(f.write("new bytes"), 9);
        QVERIFY(QFile::remove(target));
        QVERIFY(QDir(dir.path()).mkpath("report.csv/inner"));
        QVERIFY(!f.Commit());
        QCOMPARE(f.errorString(), qt_error_string(EISDIR));
        QCOMPARE(kvtest::FilesIn(dir.path()), QStringList());
        QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"inner"});
        QVERIFY(QDir(target).removeRecursively());
    }

    // Any name the file system takes can be written, whatever the temporary
    // file is called; one it refuses is refused at once with its reason.
    void namesUpToTheLongest_data() { kvtest::AddNameLengthRows(); }
    void namesUpToTheLongest()
    {
        QFETCH(int, length);
        TemporaryFiles files(false);  // named: unnamed ones are written by the export and report tests
        const QString name = QString(length - 4, QChar('r')) + ".csv";
        const QString target = dir.filePath(name);
        TReplacementFile f(target);
        if (length > 255) {
            QVERIFY(!f.open());
            QCOMPARE(f.errorString(), qt_error_string(ENAMETOOLONG));
            QCOMPARE(kvtest::FilesIn(dir.path()), QStringList());
            return;
        }
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QCOMPARE(f.write("new bytes"), 9);
        QVERIFY2(f.Commit(), qPrintable(f.errorString()));
        QCOMPARE(kvtest::FilesIn(dir.path()), QStringList{name});
        QCOMPARE(kvtest::FileBytes(target), QByteArray("new bytes"));
    }

    // Ended by force while it writes: an unnamed temporary file leaves
    // nothing. A named one stays until the next file written to that folder
    // removes it; one that a live writer holds, and any file not named as
    // these are, is never removed.
    void killedWriterLeavesNothing_data()
    {
        addUnnamedColumn();
        QTest::newRow("unnamed temporary file") << true;
        QTest::newRow("named temporary file") << false;
    }
    void killedWriterLeavesNothing()
    {
        QFETCH(bool, unnamed);
        TemporaryFiles files(unnamed);
        const QString target = dir.filePath("export.csv");
        QVERIFY(kvtest::WriteFileBytes(target, "earlier"));
        // Not this program's: other names, and (where the test may give
        // one away) a file of another user named as its own are.
        QStringList others{".export.csv.abc123", ".kvsys-ABCDEFGHIJKL.tmp.bak", ".kvsys-short.tmp"};
        if (kvtest::ReadOnlyFolder::RunningAsRoot())
            others << ".kvsys-OTHERUSER123.tmp";
        for (const QString& other : others)
            QVERIFY(kvtest::WriteFileBytes(dir.filePath(other), "not ours"));
        if (kvtest::ReadOnlyFolder::RunningAsRoot())
            QVERIFY(::chown(QFile::encodeName(dir.filePath(others.last())).constData(), 65534, 65534) == 0);
        // A second name of another file, and a named pipe with a writer
        // waiting for a reader, named as this program's own.
        others << "shared.txt" << ".kvsys-SECONDNAME01.tmp";
        QVERIFY(kvtest::WriteFileBytes(dir.filePath("shared.txt"), "not ours"));
        QVERIFY(::link(QFile::encodeName(dir.filePath("shared.txt")).constData(),
                       QFile::encodeName(dir.filePath(others.last())).constData()) == 0);
        others << ".kvsys-NAMEDPIPE001.tmp";
        const QByteArray pipe = QFile::encodeName(dir.filePath(others.last()));
        QVERIFY(::mkfifo(pipe.constData(), 0600) == 0);
        const pid_t pipeWriter = ::fork();
        if (pipeWriter == 0)
            ::_exit(::open(pipe.constData(), O_WRONLY) >= 0 ? 0 : 1);
        QVERIFY(pipeWriter > 0);
        const auto endPipeWriter = qScopeGuard([&] {
            ::kill(pipeWriter, SIGKILL);
            ::waitpid(pipeWriter, nullptr, 0);
            ::unlink(pipe.constData());
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // till it waits
        Writer writer(target, QByteArray(1 << 20, 'x'));
        QVERIFY(writer.pid > 0);
        QCOMPARE(leftovers(dir.path(), others), unnamed ? 0 : 1);
        {
            // Written meanwhile: the live writer's file stays.
            TReplacementFile f(target);
            QVERIFY(f.open());
            QCOMPARE(leftovers(dir.path(), others), unnamed ? 0 : 2);
        }
        QCOMPARE(leftovers(dir.path(), others), unnamed ? 0 : 1);
        QVERIFY(writer.End());
        QCOMPARE(kvtest::FileBytes(target), QByteArray("earlier"));
        QCOMPARE(leftovers(dir.path(), others), unnamed ? 0 : 1);

        TReplacementFile f(target);
        QVERIFY(f.open());
        QCOMPARE(f.write("new bytes"), 9);
        QVERIFY(f.Commit());
        QCOMPARE(leftovers(dir.path(), others), 0);
        QCOMPARE(::waitpid(pipeWriter, nullptr, WNOHANG), 0);  // still waiting
        QCOMPARE(kvtest::FilesIn(dir.path()).size(), others.size() + 1);
        for (const QString& other : others)
            if (QFileInfo(dir.filePath(other)).isFile())
                QCOMPARE(kvtest::FileBytes(dir.filePath(other)), QByteArray("not ours"));
        QCOMPARE(kvtest::FileBytes(target), QByteArray("new bytes"));
    }

    // In a folder that takes no new file, a file that may be written is
    // written in place: cut to the new bytes when they are fewer, the old
    // bytes kept when the check finds fault; with no file there, none is
    // made. Where no room can be reserved ahead, the new bytes past the old
    // end are written first; a file with gaps is refused untouched. The
    // staged bytes leave nothing in the temporary folder, and a temporary
    // folder that cannot hold them is named. A file system without locks is
    // written as any other.
    void inPlace_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("checkFinds");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("refusal");
        QByteArray varied(700000, Qt::Uninitialized);
        for (int i = 0; i < varied.size(); ++i)
            varied[i] = char(i * 7 + i / 251);
        const QString noRoom = "The temporary folder \"%1\" cannot hold the new bytes: %2";
        QTest::newRow("fewer bytes than it held") << QByteArray(10000, 'o') << QByteArray("new bytes") << false << "" << "";
        QTest::newRow("more bytes than it held") << QByteArray("old") << QByteArray(10000, 'n') << false << "" << "";
        QTest::newRow("no bytes") << QByteArray("old") << QByteArray() << false << "" << "";
        QTest::newRow("the check finds fault") << QByteArray("old") << QByteArray("new bytes") << true << "" << "";
        QTest::newRow("no file there") << QByteArray() << QByteArray("new bytes") << false << "" << "";
        QTest::newRow("several copy chunks, more") << varied.left(300000) << varied.mid(3) << false << "" << "";
        QTest::newRow("several copy chunks, fewer, no room reserved")
            << varied << varied.mid(5, 400000) << false << "no reservation" << "";
        QTest::newRow("several copy chunks, more, no room reserved")
            << varied.left(300000) << varied.mid(7) << false << "no reservation" << "";
        const QString gaps = "The file has gaps that the disk cannot reserve room for ahead, and is left as it was";
        QTest::newRow("a file with gaps, no room reserved")
            << QByteArray("old") << QByteArray(10000, 'n') << false << "gaps" << gaps;
        QTest::newRow("a file with gaps, on a file system that finds none")
            << QByteArray("old") << QByteArray(10000, 'n') << false << "gaps, bindfs" << gaps;
        QTest::newRow("more bytes, the part past the old end on the disk first")
            << varied.left(5000) << varied.mid(11, 20000) << false << "flushes" << "";
        QTest::newRow("a file system without locks") << QByteArray("old") << QByteArray("new bytes") << false
                                                     << "no locks" << "";
        QTest::newRow("temporary folder without unnamed files")
            << QByteArray("old") << varied << false << "named staging" << "";
        QTest::newRow("temporary folder missing")
            << QByteArray("old") << QByteArray("new") << false << "missing staging"
            << noRoom.arg("%1", qt_error_string(ENOENT));
        QTest::newRow("temporary folder closed")
            << QByteArray("old") << QByteArray("new") << false << "closed staging"
            << noRoom.arg("%1", kvtest::ClosedFolder::Reason());
    }
    void inPlace()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, checkFinds);
        QFETCH(QString, setting);
        QFETCH(QString, refusal);
        QTemporaryDir folder, temporary;
        std::optional<kvtest::FuseMount> mounted;
        if (setting.endsWith("bindfs") && !mounted.emplace("bindfs", folder.path()).Available())
            QSKIP("That file system cannot be mounted here.");
        const QString target = (mounted ? mounted->Folder() : folder.path()) + "/kvsys.ini";
        const bool existing = !before.isEmpty();
        if (existing)
            QVERIFY(kvtest::WriteFileBytes(target, before));
        if (setting.startsWith("gaps"))
            QVERIFY(::truncate(QFile::encodeName(target).constData(), 1 << 20) == 0);
        if (setting == "no locks")
            QVERIFY(::stat(QFile::encodeName(target).constData(), &lockless) == 0);
        if (setting == "flushes") {
            watchedFile = target;
            heldAtFileFlush = QByteArray();
        }
        const QByteArray held = kvtest::FileBytes(target);
        const QString staging = setting == "missing staging" ? temporary.filePath("gone") : temporary.path();
        const QByteArray oldTemporary = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(staging));
        const TemporaryFiles files(setting != "named staging");
        const bool reserving = TReplacementFile::SetRoomReservation(setting != "no reservation" && setting != "gaps");
        const auto restore = qScopeGuard([&] {
            qputenv("TMPDIR", oldTemporary);
            TReplacementFile::SetRoomReservation(reserving);
            lockless = {};
            watchedFile.clear();
        });
        std::optional<kvtest::ClosedFolder> closedStaging;
        if (setting == "closed staging")
            closedStaging.emplace(staging);
        kvtest::ClosedFolder closed(folder.path());
        if (!closed.Available())
            QSKIP("No folder can be closed to new files here.");
        TReplacementFile f(target);
        if (!existing) {
            QVERIFY(!f.open());
            QCOMPARE(f.errorString(), kvtest::ClosedFolder::Reason());
            QVERIFY(!QFile::exists(target));
            return;
        }
        if (setting.endsWith("staging") && !setting.startsWith("named")) {
            QVERIFY(!f.open());
            QCOMPARE(f.errorString(), refusal.arg(staging));
            QCOMPARE(kvtest::FileBytes(target), held);
            return;
        }
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QVERIFY(f.WritesInPlace());
        QCOMPARE(f.write(bytes), bytes.size());
        QCOMPARE(kvtest::FileBytes(target), held);  // nothing reaches it before the commit
        QCOMPARE(kvtest::FilesIn(staging), QStringList());
        QString seen;
        const bool committed = f.Commit([&](const QString& path) {
            seen = QString::fromLatin1(kvtest::FileBytes(path));
            return checkFinds ? QStringLiteral("Not a settings file.") : QString();
        });
        QCOMPARE(seen, QString::fromLatin1(bytes));
        QCOMPARE(committed, !checkFinds && refusal.isEmpty());
        if (!committed)
            QCOMPARE(f.errorString(), checkFinds ? QString("Not a settings file.") : refusal);
        QVERIFY(kvtest::FileBytes(target) == (committed ? bytes : held));
        if (setting == "flushes")
            QVERIFY(heldAtFileFlush == before + bytes.mid(before.size()));
        QCOMPARE(kvtest::FilesIn(folder.path()), QStringList{"kvsys.ini"});
        QCOMPARE(kvtest::FilesIn(staging), QStringList());
    }

    // Written in place while another program holds the file, with either
    // kind of lock programs take, for writing or for reading: the writer
    // waits until it lets go, and the file ends as the writer's whole bytes.
    void twoWritersInPlace_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::newRow("another writer's lock of the whole file") << "exclusive";
        QTest::newRow("a reader's lock of the whole file") << "shared";
        QTest::newRow("another writer's record lock") << "record";
    }
    void twoWritersInPlace()
    {
        QFETCH(QString, lock);
        QTemporaryDir folder;
        const QString target = folder.filePath("export.csv");
        const QByteArray before(1 << 20, 'o');
        QVERIFY(kvtest::WriteFileBytes(target, before));
        kvtest::ClosedFolder closed(folder.path());
        if (!closed.Available())
            QSKIP("No folder can be closed to new files here.");
        TReplacementFile f(target);
        QVERIFY(f.open() && f.WritesInPlace());
        QCOMPARE(f.write(QByteArray(1 << 19, 'n')), 1 << 19);
        // The other program holds the file until it is told to let go.
        int held[2], letGo[2];
        QVERIFY(::pipe(held) == 0 && ::pipe(letGo) == 0);
        const QByteArray path = QFile::encodeName(target);
        const pid_t other = ::fork();
        if (other == 0) {
            const int fd = ::open(path.constData(), lock == "shared" ? O_RDONLY : O_WRONLY);
            struct flock whole {};
            whole.l_type = F_WRLCK;
            whole.l_whence = SEEK_SET;
            const bool locked = lock == "record" ? ::fcntl(fd, F_SETLK, &whole) == 0
                                                 : ::flock(fd, lock == "shared" ? LOCK_SH : LOCK_EX) == 0;
            char c = locked ? 'y' : 'n';
            if (::write(held[1], &c, 1) == 1)
                (void)::read(letGo[0], &c, 1);
            ::_exit(0);
        }
        char answer = 0;
        QVERIFY(other > 0 && ::read(held[0], &answer, 1) == 1 && answer == 'y');
        QByteArray whileHeld;
        std::thread otherProgram([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            whileHeld = kvtest::FileBytes(target);
            (void)::write(letGo[1], "x", 1);
        });
        const bool committed = f.Commit();
        otherProgram.join();
        QVERIFY(::waitpid(other, nullptr, 0) == other);
        for (const int fd : {held[0], held[1], letGo[0], letGo[1]})
            ::close(fd);
        QVERIFY2(committed, qPrintable(f.errorString()));
        QVERIFY(whileHeld == before);
        QVERIFY(kvtest::FileBytes(target) == QByteArray(1 << 19, 'n'));
    }
};

pid_t TestReplacementFile::Writer::start(const QString& target, const QByteArray& bytes)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        TReplacementFile f(target);
        const char done = f.open() && f.write(bytes) == bytes.size() ? 'y' : 'n';
        if (::write(ready[1], &done, 1) == 1)
            for (;;)
                ::pause();
        ::_exit(1);
    }
    ::close(ready[1]);
    char done = 0;
    const bool wrote = pid > 0 && ::read(ready[0], &done, 1) == 1 && done == 'y';
    ::close(ready[0]);
    if (pid > 0 && !wrote) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return wrote ? pid : -1;
}

KV_TEST_MAIN_FULL_DISK(TestReplacementFile)
#include "tst_replacementfile.moc"
