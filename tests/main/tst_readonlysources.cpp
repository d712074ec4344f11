// The program started on settings and data it may not write: it starts,
// browses, says once per file what it could not keep, and writes nothing.
#include "MainFixture.h"
#include "Platform.h"
#include <QCryptographicHash>
#include <QDirIterator>
#include <QPushButton>

namespace {
// Every file of a folder with a digest of its bytes.
QStringList snapshot(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        out << QFileInfo(file).fileName() + " " +
                   QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
    }
    out.sort();
    return out;
}
}  // namespace

class TestReadOnlySources : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> source;
    QTemporaryDir dataDir;
    QString dataFile;
    kvtest::MainFixture fx;

    // The demo database, copied (once opened in WAL mode) into a folder of
    // its own, and the settings that connect to it.
    void prepare()
    {
        source = std::make_unique<kvtest::TestDatabase>(true, QStringLiteral("source"));
        source->Exec(kvtest::DemoSql());
        source->Db()->SetConnected(false);
        dataFile = dataDir.filePath("kv.db");
        QFile::remove(dataFile);
        QVERIFY(QFile::copy(source->File(), dataFile));
        kvtest::WriteConnectionSettings(dataFile);
        QFile::remove(SettingsFolder() + "Tarvalis.ini");
    }
    void start()
    {
        fx.Launch({"1"});
        fx.form->show();
    }
    int browse(int pageId)
    {
        TQuery* q = fx.Open(pageId) ? fx.form->CurrentQuery(pageId) : nullptr;
        return q && q->Active() ? q->RecordCount() : -1;
    }
    void stop()
    {
        if (fx.form)
            fx.form->close();
        fx.Close();
    }
    static int boxesNaming(const kvtest::MessageRecorder& boxes, const QString& what)
    {
        int n = 0;
        for (const QString& t : boxes.Texts())
            n += t.contains(what) ? 1 : 0;
        return n;
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void cleanup()
    {
        stop();
        TIniFile::ForgetUnwritten();
    }

    void readOnlySettingsFolder()
    {
        prepare();
        // The last connection's password differs from the main set's, so
        // the start has something to write (a value written as it stands
        // leaves the file alone).
        TIniFile(SettingsFileName()).WriteString("DBconnection", "pd", TDM::EncodeString("older"));
        const QString settings = SettingsFolder();
        const QStringList before = snapshot(settings);
        kvtest::MessageRecorder boxes;
        {
            kvtest::ReadOnlyFolder readOnly(settings);
            start();  // operator 1 remakes the connection from the main set, writing "DBconnection"
            QVERIFY(DM->dbKVdata->Connected());
            QVERIFY(browse(1006) > 0);
            QCOMPARE(fx.form->OperatorName(), QString("demo"));
            stop();
            QCOMPARE(snapshot(settings), before);
        }
        QCOMPARE(boxesNaming(boxes, QFileInfo(SettingsFileName()).fileName()), 1);  // kvsys.ini
        QCOMPARE(boxesNaming(boxes, "Tarvalis.ini"), 1);
        QCOMPARE(boxes.Count(), 2);
        // The stamp still reached the database.
        QVERIFY(!kvtest::SqliteRows(dataFile, "SELECT LastLoggedOff FROM tUser WHERE ID = 1").first().contains("NULL"));
    }

    void readOnlyDatabaseFolder()
    {
        prepare();
        const QStringList before = snapshot(dataDir.path());
        kvtest::MessageRecorder boxes;
        {
            kvtest::ReadOnlyFolder readOnly(dataDir.path());
            start();
            QVERIFY(DM->dbKVdata->ReadOnly());
            const int rows = browse(1006);
            QVERIFY(rows > 0);
            TQuery* q = fx.form->CurrentQuery(1006);
            const int id = q->FieldByName("ID")->AsInteger();
            const bool active = q->FieldByName("Active")->AsBoolean();
            QTest::mouseClick(fx.form->btnDel, Qt::LeftButton);  // deactivate
            QCOMPARE(boxes.Texts(), QStringList({DM->dbKVdata->ReadOnlyMessage() + "."}));
            QVERIFY(q->Active());
            QCOMPARE(q->RecordCount(), rows);
            QVERIFY(q->Locate("ID", id));
            QCOMPARE(q->FieldByName("Active")->AsBoolean(), active);
            boxes.Clear();
            stop();  // the log-off stamp cannot be written either
            QCOMPARE(boxesNaming(boxes, "read-only"), 1);
            QCOMPARE(boxes.Count(), 1);
        }
        QCOMPARE(snapshot(dataDir.path()), before);  // no journal, nothing changed
    }
};

KV_TEST_MAIN(TestReadOnlySources)
#include "tst_readonlysources.moc"
