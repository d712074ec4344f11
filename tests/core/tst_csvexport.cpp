#include "GenFns.h"
#include "DataMod.h"
#include "Progress.h"
#include "SqlText.h"
#include "TestSupport.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <optional>
#include <sys/stat.h>  // mkfifo

// The CSV export of a page: the file's bytes, the save dialog, the folder
// kept in "UserDirectory", and the failures.
class TestCsvExport : public QObject {
    Q_OBJECT

    std::unique_ptr<kvtest::TestDatabase> db;
    QTemporaryDir out;
    QList<TSaveDialogRequest> requests;
    QString answer;  // the path the save dialog gives; empty: cancelled
    SaveDialogHook previousHook;

    static QVector<TFieldDef> pageFields()
    {
        auto def = [](const QString& name, TFieldType t, int size = 0) {
            TFieldDef d;
            d.Name = name;
            d.DataType = t;
            d.Size = size;
            return d;
        };
        TFieldDef rate = def("Rate", ftFloat);
        rate.Currency = true;
        return {def("ID", ftInteger), def("Description", ftString, 40), def("StartDate", ftDateTime), rate,
                def("Active", ftBoolean)};
    }
    std::unique_ptr<TQuery> openPage()
    {
        auto q = std::make_unique<TQuery>(nullptr, QLatin1String(kDatabaseName));
        q->SQL().Assign(QStringList{"SELECT ID, Description, StartDate, Rate, Active", "FROM tExport", "ORDER BY ID"});
        q->SetFieldDefs(pageFields());
        q->Open();
        return q;
    }
    QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString userDirectory() { return db->Value("SELECT ParmText FROM tParameter WHERE Parm = 'UserDirectory'"); }
    int parameterWrites() { return db->Value("SELECT COUNT(*) FROM tParmLog").toInt(); }

private slots:
    void initTestCase()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("CREATE TABLE tExport (ID INTEGER PRIMARY KEY, Description TEXT, StartDate TEXT, Rate REAL,"
                 " Active INTEGER);"
                 // Every write of a parameter leaves a trace, so "unchanged" is checked, not assumed.
                 "CREATE TABLE tParmLog (Parm TEXT);"
                 "CREATE TRIGGER tParmIns AFTER INSERT ON tParameter BEGIN INSERT INTO tParmLog VALUES (new.Parm); END;"
                 "CREATE TRIGGER tParmUpd AFTER UPDATE ON tParameter BEGIN INSERT INTO tParmLog VALUES (new.Parm); END;");
        previousHook = SetSaveDialogHook([this](const TSaveDialogRequest& r) {
            requests << r;
            return answer;
        });
    }
    void cleanupTestCase()
    {
        SetSaveDialogHook(previousHook);
        db.reset();
    }

    void init()
    {
        db->Exec("DELETE FROM tExport; DELETE FROM tParameter; DELETE FROM tParmLog;"
                 "INSERT INTO tExport VALUES (1, 'Say \"hi\", then go', '20260305', 12.5, 1);"
                 "INSERT INTO tExport VALUES (2, 'Zoë''s café €', NULL, NULL, 0);"
                 "INSERT INTO tExport VALUES (3, 'Plain', '19991231', 1234.56, 1);");
        requests.clear();
        answer.clear();
        kvtest::RemoveFilesIn(kvtest::FullDisk::Folder());
    }
    // A file of the same name is replaced without asking; in a folder that
    // takes no new file, it is written in place, whether it held more bytes
    // or fewer.
    void fileBytes_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("oldSize");
        QTest::newRow("over a longer file") << false << 10000;
        QTest::newRow("over a longer file, folder closed") << true << 10000;
        QTest::newRow("over a shorter file, folder closed") << true << 10;
    }
    void fileBytes()
    {
        QFETCH(bool, closed);
        QFETCH(int, oldSize);
        kvtest::MessageRecorder boxes;
        auto page = openPage();
        const QString folder = out.filePath(closed ? "closed" : "open");
        QVERIFY(QDir().mkpath(folder));
        answer = QDir(folder).filePath("tExport.csv");
        QFile old(answer);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(oldSize, 'x'));
        old.close();
        {
            std::optional<kvtest::ClosedFolder> closing;
            if (closed && !closing.emplace(folder).Available())
                QSKIP("No folder can be closed to new files here.");
            ExportDataSetToCsv(page.get(), "tExport");
        }
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(kvtest::FilesIn(folder), QStringList{"tExport.csv"});
        const QByteArray expected =
            "\"ID\",\"Description\",\"StartDate\",\"Rate\",\"Active\"\r\n"
            "\"1\",\"Say \"\"hi\"\", then go\",\"05/03/2026\",\"12.5\",\"True\"\r\n"
            "\"2\",\"Zo\xc3\xab's caf\xc3\xa9 \xe2\x82\xac\",\"\",\"\",\"False\"\r\n"
            "\"3\",\"Plain\",\"31/12/1999\",\"1234.56\",\"True\"\r\n";
        QCOMPARE(read(answer), expected);
    }

    void csvLineQuotes_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("empty value") << QStringList{""} << QByteArray("\"\"");
        QTest::newRow("only quotes") << QStringList{"\"\""} << QByteArray("\"\"\"\"\"\"");
        QTest::newRow("comma and apostrophe kept") << QStringList{"O'Brien, J", "x"}
                                                   << QByteArray("\"O'Brien, J\",\"x\"");
        QTest::newRow("no values") << QStringList{} << QByteArray();
    }
    void csvLineQuotes()
    {
        QFETCH(QStringList, values);
        QFETCH(QByteArray, line);
        QCOMPARE(CsvLine(values), line);
    }

    // Quotes in a row's text are doubled wherever they stand; the values
    // around them keep their bytes.
    void quotesInARow_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("first and last") << "\"Direct\"" << QByteArray("\"\"\"Direct\"\"\"");
        QTest::newRow("side by side") << "a\"\"b" << QByteArray("\"a\"\"\"\"b\"");
        QTest::newRow("only a quote") << "\"" << QByteArray("\"\"\"\"");
        QTest::newRow("beside non-ASCII") << QString::fromUtf8("€\"é") << QByteArray("\"\xe2\x82\xac\"\"\xc3\xa9\"");
    }
    void quotesInARow()
    {
        QFETCH(QString, description);
        QFETCH(QByteArray, written);
        db->Exec("UPDATE tExport SET Description = '" + SqlStr(description) + "' WHERE ID = 3;");
        auto page = openPage();
        answer = out.filePath("quotes.csv");
        ExportDataSetToCsv(page.get(), "tExport");
        QCOMPARE(read(answer).split('\n').at(3), "\"3\"," + written + ",\"31/12/1999\",\"1234.56\",\"True\"\r");
    }

    // The save dialog's request; cancelled, nothing is written or kept.
    void saveDialogRequest_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("used");
        QTest::newRow("nothing stored") << QString() << false;
        QTest::newRow("existing folder") << out.path() << true;
        QTest::newRow("folder gone") << out.filePath("gone") << false;
        QTest::newRow("a file, not a folder") << QCoreApplication::applicationFilePath() << false;
    }
    void saveDialogRequest()
    {
        QFETCH(QString, stored);
        QFETCH(bool, used);
        if (!stored.isEmpty())
            SetParameter("UserDirectory", stored, "PARMTEXT");
        const int writes = parameterWrites();
        auto page = openPage();
        ExportDataSetToCsv(page.get(), "tCustomer");
        QCOMPARE(requests.size(), 1);
        const TSaveDialogRequest& r = requests.first();
        QCOMPARE(QStringList({r.Title, r.FileName, r.Filter, r.DefaultExt}),
                 QStringList({"Save the selected table values in CSV format", "tCustomer", "All Files (*.*)|*.*", "csv"}));
        QCOMPARE(r.InitialDir, used ? stored : QCoreApplication::applicationDirPath());
        QCOMPARE(parameterWrites(), writes);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).filter("tCustomer"), QStringList());
    }

    void userDirectoryKept()
    {
        const QString dir = out.filePath("O'Brien's exports, Zoë  2026");
        QVERIFY(QDir().mkpath(dir));
        kvtest::MessageRecorder boxes;
        auto page = openPage();

        answer = dir + "/first.csv";
        ExportDataSetToCsv(page.get(), "tExport");
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(userDirectory(), dir);
        QCOMPARE(parameterWrites(), 1);

        // The same folder again: the parameter is not written.
        answer = dir + "/second.csv";
        ExportDataSetToCsv(page.get(), "tExport");
        QVERIFY(QFile::exists(answer));
        QCOMPARE(parameterWrites(), 1);

        // Another folder: updated, still one row.
        answer = out.filePath("elsewhere.csv");
        ExportDataSetToCsv(page.get(), "tExport");
        QCOMPARE(userDirectory(), out.path());
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tParameter WHERE Parm = 'UserDirectory'"), QString("1"));
        QCOMPARE(parameterWrites(), 2);
    }

    // A name that no file can take: a folder, a named pipe or a device
    // (itself or through a link), which are left as they are, or a new file
    // in a folder that takes none.
    void unwritableFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const QString notAFile = "It is %1, not an ordinary file, and is left as it is.";
        QTest::newRow("a folder") << "folder" << notAFile.arg("a folder");
        QTest::newRow("a named pipe") << "pipe" << notAFile.arg("a named pipe");
        QTest::newRow("a link to the null device") << "null" << notAFile.arg("a device");
        QTest::newRow("a new file in a closed folder") << "closed" << kvtest::ClosedFolder::Reason();
    }
    void unwritableFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        SetParameter("UserDirectory", out.path(), "PARMTEXT");
        const int writes = parameterWrites();
        const QString blocked = out.filePath("blocked");
        QVERIFY(QDir(blocked).removeRecursively());
        QVERIFY(QDir().mkpath(blocked + "/inner"));
        answer = blocked + "/inner";
        if (kind == "pipe" || kind == "null")
            answer = blocked + "/tExport.csv";
        if (kind == "pipe")
            QVERIFY(::mkfifo(QFile::encodeName(answer).constData(), 0600) == 0);
        if (kind == "null")
            QVERIFY(QFile::link("/dev/null", answer));
        if (kind == "closed")
            answer = blocked + "/new.csv";
        const QString thing = kind == "null" ? "/dev/null" : answer;
        const QString before = kvtest::NodeAt(thing);
        QCOMPARE(before.isEmpty(), kind == "closed");
        kvtest::MessageRecorder boxes;
        auto page = openPage();
        {
            std::optional<kvtest::ClosedFolder> closing;
            if (kind == "closed" && !closing.emplace(blocked).Available())
                QSKIP("No folder can be closed to new files here.");
            ExportDataSetToCsv(page.get(), "tExport");
        }
        QCOMPARE(boxes.Texts(), QStringList{"Cannot create file \"" + answer + "\". " + reason});
        QCOMPARE(boxes.Boxes().first().Type, mtError);
        QCOMPARE(kvtest::NodeAt(thing), before);
        QCOMPARE(kvtest::FilesIn(blocked), kind == "pipe" || kind == "null" ? QStringList{"tExport.csv"} : QStringList());
        QVERIFY(QDir(blocked).removeRecursively());
        QCOMPARE(userDirectory(), out.path());
        QCOMPARE(parameterWrites(), writes);
        // And no progress window is left behind.
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<TProgressForm*>(w) && w->isVisible()));
    }

    // A full disk: a small page fails only when its last bytes are flushed, a
    // long one on the way. Either way an existing file keeps its bytes, a new
    // one is not made, nothing is left beside it, the folder is not kept, and
    // the operator reads the system's reason. With room again it is written.
    void fullDisk_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("closed");  // the folder takes no new file: written in place
        QTest::newRow("small page onto an existing file") << 17 << true << false;
        QTest::newRow("small page, new file") << 17 << false << false;
        QTest::newRow("long page onto an existing file") << 5000 << true << false;
        QTest::newRow("long page, new file") << 5000 << false << false;
        QTest::newRow("long page onto an existing file, folder closed") << 5000 << true << true;
    }
    void fullDisk()
    {
        QFETCH(int, rows);
        QFETCH(bool, existing);
        QFETCH(bool, closed);
        db->Exec(QString("WITH RECURSIVE n(i) AS (SELECT 4 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                         " INSERT INTO tExport SELECT i, 'Row ' || i, '20260101', i * 0.01, i % 2 FROM n;")
                     .arg(rows));
        SetParameter("UserDirectory", out.path(), "PARMTEXT");
        const int writes = parameterWrites();
        const QString folder = kvtest::FullDisk::Folder();
        answer = folder + "/tExport.csv";
        const QByteArray earlier = "\"ID\"\r\n\"an earlier export\"\r\n";
        if (existing)
            QVERIFY(kvtest::WriteFileBytes(answer, earlier));
        kvtest::MessageRecorder boxes;
        auto page = openPage();
        std::optional<kvtest::ClosedFolder> closing;
        if (closed && !closing.emplace(folder).Available())
            QSKIP("No folder can be closed to new files here.");
        {
            kvtest::FullDisk full;
            RunGuarded([&] { ExportDataSetToCsv(page.get(), "tExport"); });
        }
        QCOMPARE(boxes.Texts(), QStringList{"Cannot write file \"" + answer + "\". " + kvtest::FullDisk::Reason()});
        QCOMPARE(boxes.Boxes().first().Type, mtError);
        QCOMPARE(kvtest::FilesIn(folder), existing ? QStringList{"tExport.csv"} : QStringList());
        if (existing)
            QCOMPARE(kvtest::FileBytes(answer), earlier);
        QCOMPARE(parameterWrites(), writes);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<TProgressForm*>(w) && w->isVisible()));

        boxes.Clear();
        ExportDataSetToCsv(page.get(), "tExport");
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(kvtest::FileBytes(answer).count("\r\n"), rows + 1);
        closing.reset();
        QVERIFY(QFile::remove(answer));
    }

    // Any name the file system takes can be exported to; a longer one is
    // refused with the system's reason.
    void longFileNames_data() { kvtest::AddNameLengthRows(); }
    void longFileNames()
    {
        QFETCH(int, length);
        const QString name = QString(length - 4, QChar('e')) + ".csv";
        answer = out.filePath(name);
        kvtest::MessageRecorder boxes;
        auto page = openPage();
        ExportDataSetToCsv(page.get(), "tExport");
        if (length > 255) {
            QCOMPARE(boxes.Texts(),
                     QStringList{"Cannot create file \"" + answer + "\". " + qt_error_string(ENAMETOOLONG)});
            QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).filter("eeee"), QStringList());
            return;
        }
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(kvtest::FileBytes(answer).count("\r\n"), 4);
        QVERIFY(QFile::remove(answer));
    }

    void progressWindowWhileWriting()
    {
        auto page = openPage();
        answer = out.filePath("progress.csv");
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* f = qobject_cast<TProgressForm*>(w); f && f->isVisible())
                    seen << f->windowTitle() << f->Msg->text() << (f->btnCancel->isVisible() ? "abort" : "no abort");
        });
        ExportDataSetToCsv(page.get(), "tExport");
        QCOMPARE(seen, QStringList({"Progress Status", "Saving account data to file ...", "no abort"}));
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<TProgressForm*>(w) && w->isVisible()));
    }

    void longPageStreamsThroughItsOwnCursor()
    {
        db->Exec("WITH RECURSIVE n(i) AS (SELECT 4 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)"
                 " INSERT INTO tExport SELECT i, 'Row ' || i, '20260101', i * 0.01, i % 2 FROM n;");
        auto page = openPage();
        page->MoveBy(5);
        const int fetchedBefore = page->FetchedCount();
        answer = out.filePath("long.csv");
        ExportDataSetToCsv(page.get(), "tExport");
        const QByteArray bytes = read(answer);
        QCOMPARE(bytes.count("\r\n"), 20001);
        QVERIFY(bytes.endsWith("\"20000\",\"Row 20000\",\"01/01/2026\",\"200\",\"False\"\r\n"));
        // The page itself was not walked: the grid keeps its row and its few rows.
        QCOMPARE(page->RecNo(), 6);
        QCOMPARE(page->FetchedCount(), fetchedBefore);
    }
};

KV_TEST_MAIN_FULL_DISK(TestCsvExport)
#include "tst_csvexport.moc"
