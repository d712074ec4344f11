#include "ReplacementFile.h"
#include "TestSupport.h"
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <csignal>
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
// folder reached the disk after the file took its new name.
namespace {
QString watchedFile;
QByteArray heldAtFolderFlush;
}
extern "C" int fsync(int fd)
{
    struct stat st {};
    if (!watchedFile.isEmpty() && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) &&
        QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget() == QFileInfo(watchedFile).path())
        heldAtFolderFlush = kvtest::FileBytes(watchedFile);
    return int(::syscall(SYS_fsync, fd));
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
    // link, the link stays and the file it leads to is replaced.
    void replaces_data()
    {
        QTest::addColumn<bool>("throughLink");
        addUnnamedColumn();
        QTest::newRow("the file itself") << false << true;
        QTest::newRow("through a link") << true << true;
        QTest::newRow("the file itself, named temporary files") << false << false;
        QTest::newRow("through a link, named temporary files") << true << false;
    }
    void replaces()
    {
        QFETCH(bool, throughLink);
        QFETCH(bool, unnamed);
        TemporaryFiles files(unnamed);
        const QString file = dir.filePath("report.csv");
        QVERIFY(kvtest::WriteFileBytes(file, "earlier"));
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0640) == 0);
        const QString target = throughLink ? dir.filePath("link.csv") : file;
        if (throughLink)
            QVERIFY(QFile::link(file, target));
        TReplacementFile f(target);
        QVERIFY(f.open());
        QCOMPARE(f.write("new bytes"), 9);
        watchedFile = file;
        heldAtFolderFlush.clear();
        QVERIFY(f.Commit());
        watchedFile.clear();
        QCOMPARE(heldAtFolderFlush, QByteArray("new bytes"));  // its name, too, is on the disk
        QCOMPARE(kvtest::FileBytes(file), QByteArray("new bytes"));
        QCOMPARE(mode(file), 0640);
        QCOMPARE(QFileInfo(target).isSymLink(), throughLink);
        QCOMPARE(kvtest::FilesIn(dir.path()).size(), throughLink ? 2 : 1);
    }

    // A replaced file keeps its owner, group, setgid bit and access control
    // list. A writer that may not give a new file all of them writes the
    // old one in place instead, so it keeps them.
    void keepsOwnerGroupAndRights_data()
    {
        QTest::addColumn<uint>("owner");
        QTest::addColumn<uint>("group");
        QTest::addColumn<int>("rights");
        QTest::addColumn<bool>("acl");
        QTest::addColumn<uint>("writer");
        const uint me = ::geteuid(), mine = ::getegid();
        QTest::newRow("setgid, of another group") << me << 65534u << 02664 << false << me;
        QTest::newRow("of another user") << 65534u << 65534u << 0644 << false << me;
        QTest::newRow("with an access control list") << me << mine << 0640 << true << me;
        QTest::newRow("of a user the writer may not give it to") << 1234u << 1234u << 0666 << false << 65534u;
    }
    void keepsOwnerGroupAndRights()
    {
        QFETCH(uint, owner);
        QFETCH(uint, group);
        QFETCH(int, rights);
        QFETCH(bool, acl);
        QFETCH(uint, writer);
        if ((owner != ::geteuid() || writer != ::geteuid()) && !kvtest::ReadOnlyFolder::RunningAsRoot())
            QSKIP("Only root may give a file away.");
        const QString file = dir.filePath("report.csv");
        const QByteArray path = QFile::encodeName(file);
        QVERIFY(kvtest::WriteFileBytes(file, "earlier"));
        QVERIFY(::chown(path.constData(), owner, group) == 0 && ::chmod(path.constData(), mode_t(rights)) == 0);
        // user rw-, user 65534 rw-, group r--, mask rw-, other ---
        const QByteArray list = QByteArray::fromHex("02000000" "01000600ffffffff" "02000600feff0000"
                                                    "04000400ffffffff" "10000600ffffffff" "20000000ffffffff");
        if (acl && ::setxattr(path.constData(), "system.posix_acl_access", list.constData(), size_t(list.size()), 0))
            QSKIP("This file system keeps no access control lists.");
        struct stat before {}, after {};
        QVERIFY(::stat(path.constData(), &before) == 0);
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            TReplacementFile f(file);
            const bool done = (writer == ::geteuid() || ::setuid(writer) == 0) && f.open() &&
                              f.write("new bytes") == 9 && f.Commit();
            ::_exit(done ? 0 : 1);
        }
        int status = -1;
        QVERIFY(pid > 0 && ::waitpid(pid, &status, 0) == pid);
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0700) == 0);
        QCOMPARE(status, 0);
        QCOMPARE(kvtest::FileBytes(file), QByteArray("new bytes"));
        QVERIFY(::stat(path.constData(), &after) == 0);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(after.st_mode, before.st_mode);
        QByteArray kept(256, '\0');
        kept.truncate(qMax<ssize_t>(0, ::getxattr(path.constData(), "system.posix_acl_access", kept.data(), 256)));
        QCOMPARE(kept, acl ? list : QByteArray());
        QCOMPARE(kvtest::FilesIn(dir.path()), QStringList{"report.csv"});
    }

    // In a sticky folder that everyone may write, a link is followed only
    // when it belongs to the writer or to the folder's owner.
    void linksInAnOpenFolder_data()
    {
        QTest::addColumn<uint>("linkOwner");
        QTest::addColumn<bool>("followed");
        QTest::newRow("the writer's link") << ::geteuid() << true;
        QTest::newRow("the folder owner's link") << 1234u << true;
        QTest::newRow("another user's link") << 65534u << false;
    }
    void linksInAnOpenFolder()
    {
        QFETCH(uint, linkOwner);
        QFETCH(bool, followed);
        if (!kvtest::ReadOnlyFolder::RunningAsRoot())
            QSKIP("Only root may give a link away.");
        const QString file = dir.filePath("report.csv"), open = dir.filePath("open");
        const QString link = open + "/report.csv";
        QVERIFY(kvtest::WriteFileBytes(file, "earlier") && QDir(dir.path()).mkdir("open"));
        const auto removeOpen = qScopeGuard([&] { QDir(open).removeRecursively(); });
        QVERIFY(::chmod(QFile::encodeName(open).constData(), 01777) == 0);
        QVERIFY(::chown(QFile::encodeName(open).constData(), 1234, 1234) == 0);
        QVERIFY(QFile::link(file, link) && ::lchown(QFile::encodeName(link).constData(), linkOwner, 0) == 0);
        TReplacementFile f(link);
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
    // folder that cannot hold them is named.
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
        QTest::newRow("a file with gaps, no room reserved")
            << QByteArray("old") << QByteArray(10000, 'n') << false << "gaps"
            << "The file has gaps that the disk cannot reserve room for ahead, and is left as it was";
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
        const QString target = folder.filePath("kvsys.ini");
        const bool existing = !before.isEmpty();
        if (existing)
            QVERIFY(kvtest::WriteFileBytes(target, before));
        if (setting == "gaps")
            QVERIFY(::truncate(QFile::encodeName(target).constData(), 1 << 20) == 0);
        const QByteArray held = kvtest::FileBytes(target);
        const QString staging = setting == "missing staging" ? temporary.filePath("gone") : temporary.path();
        const QByteArray oldTemporary = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(staging));
        const TemporaryFiles files(setting != "named staging");
        const bool reserving = TReplacementFile::SetRoomReservation(setting.isEmpty());
        const auto restore = qScopeGuard([&] {
            qputenv("TMPDIR", oldTemporary);
            TReplacementFile::SetRoomReservation(reserving);
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
        QCOMPARE(kvtest::FilesIn(folder.path()), QStringList{"kvsys.ini"});
        QCOMPARE(kvtest::FilesIn(staging), QStringList());
    }

    // Two writers in place at once: the second waits while the first holds
    // the file, so it ends as one writer's whole bytes.
    void twoWritersInPlace()
    {
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
        const int other = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CLOEXEC);
        QVERIFY(other >= 0 && ::flock(other, LOCK_EX) == 0);  // the other writer, copying
        QByteArray whileHeld;
        std::thread otherWriter([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            whileHeld = kvtest::FileBytes(target);
            ::close(other);
        });
        const bool committed = f.Commit();
        otherWriter.join();
        QVERIFY(committed);
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

KV_TEST_MAIN(TestReplacementFile)
#include "tst_replacementfile.moc"
