#include "ReplacementFile.h"
#include "TestSupport.h"
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
        QVERIFY(f.Commit());
        QCOMPARE(kvtest::FileBytes(file), QByteArray("new bytes"));
        QCOMPARE(mode(file), 0640);
        QCOMPARE(QFileInfo(target).isSymLink(), throughLink);
        QCOMPARE(kvtest::FilesIn(dir.path()).size(), throughLink ? 2 : 1);
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
        QCOMPARE(kvtest::FilesIn(dir.path()).size(), others.size() + 1);
        for (const QString& other : others)
            QCOMPARE(kvtest::FileBytes(dir.filePath(other)), QByteArray("not ours"));
        QCOMPARE(kvtest::FileBytes(target), QByteArray("new bytes"));
    }

    // In a folder that takes no new file, a file that may be written is
    // written in place: cut to the new bytes when they are fewer, the old
    // bytes kept when the check finds fault; with no file there, none is
    // made.
    void inPlace_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("checkFinds");
        QTest::newRow("fewer bytes than it held") << QByteArray(10000, 'o') << QByteArray("new bytes") << false;
        QTest::newRow("more bytes than it held") << QByteArray("old") << QByteArray(10000, 'n') << false;
        QTest::newRow("no bytes") << QByteArray("old") << QByteArray() << false;
        QTest::newRow("the check finds fault") << QByteArray("old") << QByteArray("new bytes") << true;
        QTest::newRow("no file there") << QByteArray() << QByteArray("new bytes") << false;
    }
    void inPlace()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, checkFinds);
        QTemporaryDir folder;
        const QString target = folder.filePath("kvsys.ini");
        const bool existing = !before.isEmpty();
        if (existing)
            QVERIFY(kvtest::WriteFileBytes(target, before));
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
        QVERIFY2(f.open(), qPrintable(f.errorString()));
        QVERIFY(f.WritesInPlace());
        QCOMPARE(f.write(bytes), bytes.size());
        QCOMPARE(kvtest::FileBytes(target), before);  // nothing reaches it before the commit
        QString seen;
        const bool committed = f.Commit([&](const QString& path) {
            seen = QString::fromLatin1(kvtest::FileBytes(path));
            return checkFinds ? QStringLiteral("Not a settings file.") : QString();
        });
        QCOMPARE(seen, QString::fromLatin1(bytes));
        QCOMPARE(committed, !checkFinds);
        QCOMPARE(kvtest::FileBytes(target), checkFinds ? before : bytes);
        QCOMPARE(kvtest::FilesIn(folder.path()), QStringList{"kvsys.ini"});
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
