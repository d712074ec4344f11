#include "ReplacementFile.h"
#include "TestSupport.h"
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

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

private slots:
    void init() { kvtest::RemoveFilesIn(dir.path()); }

    // A replaced file keeps its permissions; written through a symbolic
    // link, the link stays and the file it leads to is replaced.
    void replaces_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("the file itself") << false;
        QTest::newRow("through a link") << true;
    }
    void replaces()
    {
        QFETCH(bool, throughLink);
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
    void keepsTheFileThere_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("dropped") << "dropped";
        QTest::newRow("discarded") << "discarded";
        QTest::newRow("the check finds fault") << "check";
    }
    void keepsTheFileThere()
    {
        QFETCH(QString, end);
        const QString target = dir.filePath("report.pdf");
        QVERIFY(kvtest::WriteFileBytes(target, "earlier"));
        {
            TReplacementFile f(target);
            QVERIFY(f.open());
            QCOMPARE(f.write("half a report"), 13);
            QCOMPARE(kvtest::FilesIn(dir.path()).size(), 2);
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
};

KV_TEST_MAIN(TestReplacementFile)
#include "tst_replacementfile.moc"
