#include "Cp1252.h"
#include "DataMod.h"
#include "IniFiles.h"
#include "LoginFrm.h"
#include "OperatorIdentity.h"
#include "Platform.h"
#include "TestSupport.h"
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>

// Start-up connection: the settings file, its scrambled identity and the
// connection prompt.
class TestDataMod : public QObject {
    Q_OBJECT

    struct PromptAnswer {
        QString dsn;       // typed over the proposal when not null
        QString name;
        QString password;
        bool paste = false;  // the DSN pasted rather than typed
    };
    QList<PromptAnswer> answers;
    QList<QStringList> prompts;  // caption, DSN box, name box, name label
    LoginFormHook previousHook;
    TDatabase::LoginDialogFn previousLogin;
    int libraryLogins = 0;

    static QString ini() { return SettingsFileName(); }
    static QString read(const QString& section, const QString& key)
    {
        return TIniFile(ini()).ReadString(section, key, QString());
    }

private slots:
    void initTestCase()
    {
        previousHook = SetLoginFormHook([this](TLoginForm& form) {
            prompts << QStringList{form.windowTitle(), form.edtDSN->text(), form.edtName->text(),
                                   form.lblEnterName->text()};
            if (answers.isEmpty())
                return int(QDialog::Rejected);
            form.show();
            const PromptAnswer a = answers.takeFirst();
            if (!a.dsn.isNull()) {
                form.edtDSN->clear();
                if (a.paste) {
                    QGuiApplication::clipboard()->setText(a.dsn);
                    form.edtDSN->paste();
                } else {
                    QTest::keyClicks(form.edtDSN, a.dsn);
                }
            }
            if (!a.name.isNull()) {
                form.edtName->clear();
                QTest::keyClicks(form.edtName, a.name);
            }
            QTest::keyClicks(form.edtPassword, a.password);
            QTest::mouseClick(form.btnOK, Qt::LeftButton);
            return form.result();
        });
        previousLogin = TDatabase::SetLoginDialog([this](const QString&, QString&, QString&) {
            ++libraryLogins;
            return false;
        });
    }
    void cleanupTestCase()
    {
        SetLoginFormHook(previousHook);
        TDatabase::SetLoginDialog(previousLogin);
    }
    void init()
    {
        QFile::remove(ini());
        answers.clear();
        prompts.clear();
        libraryLogins = 0;
    }

    void scrambling_data()
    {
        QTest::addColumn<QString>("clear");
        QTest::addColumn<QString>("hex");
        QTest::newRow("sa") << "sa" << "DA1F";  // s^A9, a^7E
        QTest::newRow("key repeats after 31") << QString(33, 'A') << "";
        QTest::newRow("windows-1252 text") << QString::fromUtf8("pässwörd€") << "";
        QTest::newRow("path beyond Windows-1252") << QString::fromUtf8("/home/o'neil/оператор/数据.db") << "";
        QTest::newRow("windows-1252 text looking like the mark") << QString::fromUtf8("ï»¿x") << "";
    }
    void scrambling()
    {
        QFETCH(QString, clear);
        QFETCH(QString, hex);
        const QString enc = TDM::EncodeString(clear);
        const bool marked = !cp1252::fits(clear) || clear.startsWith(QString::fromUtf8("ï»¿"));
        QCOMPARE(enc.size(), marked ? (clear.toUtf8().size() + 3) * 2 : clear.size() * 2);
        QCOMPARE(enc, enc.toUpper());
        if (!hex.isEmpty())
            QCOMPARE(enc, hex);
        if (clear.size() > 31)
            QCOMPARE(enc.mid(62, 4), enc.left(4));  // the key starts again at 32
        QCOMPARE(TDM::DecodeString(enc), clear);
        if (cp1252::fits(clear))
            QCOMPARE(TDM::XorWithKey(TDM::XorWithKey(clear)), clear);
        // The run command writes the demo settings with a shell script; the
        // program must read back what it wrote (the script does not mark a
        // text that starts like the UTF-8 mark).
        if (marked && cp1252::fits(clear))
            return;
        QProcess p;
        p.start("sh", {kvtest::SourcePath("scripts/kvsys-encode.sh"), clear});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(QString::fromLatin1(p.readAllStandardOutput()).trimmed(), enc);
    }
    // The run command hands the program its arguments as given; only a bare
    // run adds the demo administrator's id.
    void runCommandPassesItsArguments_data()
    {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("program");
        QTest::newRow("bare run") << QStringList() << QStringList{"1"};
        QTest::newRow("an operator on the test database") << QStringList{"3", "1"} << QStringList{"3", "1"};
        QTest::newRow("a blank inside an argument") << QStringList{"4 5"} << QStringList{"4 5"};
    }
    void runCommandPassesItsArguments()
    {
        QFETCH(QStringList, given);
        QFETCH(QStringList, program);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KV_DRY_RUN", "1");
        p.setProcessEnvironment(env);
        p.start("sh", QStringList{kvtest::SourcePath("scripts/run.sh")} + given);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), program);
    }

    // The README's recipe for a SQLite file through unixODBC, run as it
    // stands over the run command's settings: started with an operator id,
    // the program works through the recipe's data sources, not on the file
    // the run command put in KVDSN, and asks nothing.
    void readmeOdbcRecipeReachesItsSources()
    {
        QFile readme(kvtest::SourcePath("README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll());
        const qsizetype heading = text.indexOf("### A SQLite file through unixODBC");
        QVERIFY2(heading >= 0, "the README has no recipe for a SQLite file through unixODBC");
        const qsizetype open = text.indexOf("```sh\n", heading);
        const qsizetype close = text.indexOf("\n```", open + 6);
        QVERIFY(open > heading && close > open);
        const QString recipe = text.mid(open + 6, close - open - 5);
        if (!QSqlDatabase::isDriverAvailable("QODBC") ||
            !TIniFile("/etc/odbcinst.ini").SectionExists("SQLite3"))
            QSKIP("the SQLite ODBC driver is not registered on this machine (scripts/install-deps.sh installs it)");

        // The demo databases and the settings as the run command makes them.
        QTemporaryDir home;
        const QString data = home.filePath("share/kvsys");
        QVERIFY(QDir().mkpath(data));
        for (const char* script : {"db/schema.sql", "db/demo.sql"}) {
            QFile f(kvtest::SourcePath(script));
            QVERIFY(f.open(QIODevice::ReadOnly));
            kvtest::ExecSqliteScript(data + "/demo.db", QString::fromUtf8(f.readAll()));
        }
        QVERIFY(QFile::copy(data + "/demo.db", data + "/demo-test.db"));
        kvtest::ExecSqliteScript(data + "/demo-test.db", "DELETE FROM tCustomer WHERE ID > (SELECT MIN(ID) FROM tCustomer);");
        // The program's settings file is named after it: kvsys.ini, here this
        // test program's.
        const QString kvsysIni = SettingsFolder() + "kvsys.ini";
        {
            TIniFile s(kvsysIni);
            s.WriteString("DBconnection", "KVDSN", data + "/demo.db");
            for (const QString& section : {QString("DBconnection"), QString("MainCfg"), QString("TestCfg")}) {
                const bool set = section != "DBconnection";
                if (set)
                    s.WriteString(section, "id1", TDM::EncodeString(data + (section == "TestCfg" ? "/demo-test.db" : "/demo.db")));
                s.WriteString(section, set ? "id2" : "ur", TDM::EncodeString("sa"));
                s.WriteString(section, set ? "id3" : "pd", TDM::EncodeString("demo"));
            }
        }

        QProcess sh;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.filePath("share"));
        env.insert("ODBCINI", home.filePath("odbc.ini"));
        env.remove("ODBCSYSINI");
        sh.setProcessEnvironment(env);
        sh.setWorkingDirectory(kvtest::SourcePath("."));
        sh.start("sh", {"-e", "-c", recipe});
        QVERIFY(sh.waitForFinished(20000));
        QVERIFY2(sh.exitCode() == 0, sh.readAllStandardError().constData());
        QVERIFY(QFile::rename(kvsysIni, ini()));

        const QByteArray odbcIni = qgetenv("ODBCINI"), odbcSysIni = qgetenv("ODBCSYSINI");
        qputenv("ODBCINI", env.value("ODBCINI").toLocal8Bit());
        qunsetenv("ODBCSYSINI");
        const auto customers = [] {
            TQuery q(nullptr, QLatin1String(kDatabaseName));
            q.SQL().Add("SELECT COUNT(*) AS n FROM tCustomer");
            q.Open();
            return q.FieldByName("n")->AsInteger();
        };
        {
            TDM dm;
            DM = &dm;
            dm.DMCreate();
            dm.SetDatabaseSet(false);  // what a start with an operator id does
            QCOMPARE(dm.dbKVdata->AliasName, QString("kvdemo"));
            QVERIFY(!dm.dbKVdata->IsEmbedded());
            QCOMPARE(QString::number(customers()), kvtest::SqliteRows(data + "/demo.db", "SELECT COUNT(*) FROM tCustomer").value(0));
            dm.SetDatabaseSet(true);  // a second argument 1
            QCOMPARE(dm.dbKVdata->AliasName, QString("kvdemotest"));
            QVERIFY(!dm.dbKVdata->IsEmbedded());
            QCOMPARE(customers(), 1);
            dm.dbKVdata->SetConnected(false);
        }
        DM = nullptr;
        qputenv("ODBCINI", odbcIni);
        if (odbcSysIni.isNull())
            qunsetenv("ODBCSYSINI");
        else
            qputenv("ODBCSYSINI", odbcSysIni);
        QVERIFY(prompts.isEmpty());
        QCOMPARE(read("DBconnection", "KVDSN"), QString("kvdemotest"));
    }

    void firstStartPromptsAndStoresTheIdentity()
    {
        kvtest::TestDatabase file(true, "fixture");
        const QString path = file.File();
        TDM dm;
        DM = &dm;
        answers << PromptAnswer{path, "admin", " secret "};
        dm.DMCreate();
        QVERIFY(dm.dbKVdata->Connected());
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts[0], QStringList({"SQLServer ODBC Link: Brellinghast", "sqlkv", "sa", "Enter ODBC identity:"}));
        QCOMPARE(read("DBconnection", "KVDSN"), path);
        QCOMPARE(read("DBconnection", "ur"), TDM::EncodeString("admin"));
        QCOMPARE(read("DBconnection", "pd"), TDM::EncodeString("secret"));
        QVERIFY(!dm.dbKVdata->LoginPrompt);
        DM = nullptr;
    }

    // The data source box lower-cases a name, but keeps a path as typed.
    void dataSourceBoxKeepsAPathsCase_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("data source name") << "KvProd_DSN" << "kvprod_dsn";
        QTest::newRow("file path") << "/srv/Data/KV Main.db" << "/srv/Data/KV Main.db";
        QTest::newRow("separator removed again") << "Kv/\b" << "kv";
    }
    void dataSourceBoxKeepsAPathsCase()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TLoginForm form;
        form.show();
        QTest::keyClicks(form.edtDSN, typed);
        QCOMPARE(form.edtDSN->text(), shown);
        QTest::keyClicks(form.edtName, "SA");
        QCOMPARE(form.edtName->text(), QString("sa"));
    }

    // The data source given at the prompt is the file connected and stored,
    // and the next start connects to it without asking.
    void dataSourceStoredAndConnectedAgain_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("after");  // pasted after the path
        QTest::newRow("capitals beside a lower-case twin") << "" << "Main.db" << "";
        QTest::newRow("pasted lines making a section") << "" << "main.db" << "\n[General]\r\nGetLog=0";
        QTest::newRow("folder beyond Windows-1252") << QString::fromUtf8("Данные 数据") << "main.db" << "";
    }
    void dataSourceStoredAndConnectedAgain()
    {
        QFETCH(QString, folder);
        QFETCH(QString, fileName);
        QFETCH(QString, after);
        kvtest::TestDatabase file(true, "fixture");
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath(folder)));
        const QString path = QDir(dir.filePath(folder)).filePath(fileName);
        QVERIFY(QFile::copy(file.File(), path));
        if (fileName != fileName.toLower())
            kvtest::ExecSqliteScript(QDir(dir.filePath(folder)).filePath(fileName.toLower()), "CREATE TABLE other (x);");
        for (int start = 0; start < 2; ++start) {
            TDM dm;
            DM = &dm;
            if (start == 0)
                answers << PromptAnswer{path + after, "admin", "secret", fileName == fileName.toLower()};
            dm.DMCreate();
            QCOMPARE(dm.dbKVdata->AliasName, path);
            TQuery q(nullptr, QLatin1String(kDatabaseName));
            q.SQL().Add("SELECT COUNT(*) AS n FROM tUser");  // the twin has no such table
            q.Open();
            q.Close();
        }
        DM = nullptr;
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(read("DBconnection", "KVDSN"), path);
        QVERIFY(!TIniFile(ini()).SectionExists("General"));
    }

    void emptyPasswordIsNotStored()
    {
        kvtest::TestDatabase file(true, "fixture");
        const QString path = file.File();
        TDM dm;
        DM = &dm;
        answers << PromptAnswer{path, "admin", ""};
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, dm.ConnectDatabase());
        // No identity: the library's login dialog was asked (and cancelled).
        QCOMPARE(libraryLogins, 1);
        QVERIFY(!TIniFile(ini()).ValueExists("DBconnection", "pd"));
        answers << PromptAnswer{QString(), QString(), "secret"};
        dm.ConnectDatabase();  // asks again, proposing the stored data source and user
        QCOMPARE(prompts.size(), 2);
        QCOMPARE(prompts[1][1], path);
        QCOMPARE(prompts[1][2], QString("admin"));
        QVERIFY(dm.dbKVdata->Connected());
        DM = nullptr;
    }

    void badHexCountsAsMissing()
    {
        kvtest::TestDatabase file(true, "fixture");
        TIniFile s(ini());
        s.WriteString("DBconnection", "KVDSN", file.File());
        s.WriteString("DBconnection", "ur", "not hex");
        s.WriteString("DBconnection", "pd", TDM::EncodeString("secret"));
        TDM dm;
        DM = &dm;
        answers << PromptAnswer{QString(), "admin", "secret"};
        dm.ConnectDatabase();
        QCOMPARE(prompts.size(), 1);
        QVERIFY(dm.dbKVdata->Connected());
        QCOMPARE(read("DBconnection", "ur"), TDM::EncodeString("admin"));
        DM = nullptr;
    }

    // A stored data source that no longer works: the engine's message, then
    // the prompt again instead of failing on every start.
    void failedStartShowsWhyAndAsksAgain()
    {
        kvtest::TestDatabase file(true, "fixture");
        TIniFile s(ini());
        s.WriteString("DBconnection", "KVDSN", "no_such_dsn");
        s.WriteString("DBconnection", "ur", TDM::EncodeString("sa"));
        s.WriteString("DBconnection", "pd", TDM::EncodeString("pw"));
        kvtest::MessageRecorder boxes;
        {
            TDM dm;
            DM = &dm;
            QVERIFY_THROWS_EXCEPTION(EAbort, dm.DMCreate());  // the prompt was cancelled
            QCOMPARE(boxes.Count(), 1);
            QCOMPARE(boxes.Boxes().first().Type, mtError);
            QCOMPARE(prompts.size(), 1);
            QCOMPARE(prompts[0][1], QString("no_such_dsn"));  // proposes what failed
        }
        TDM dm;
        DM = &dm;
        answers << PromptAnswer{file.File(), "sa", "pw"};
        dm.DMCreate();
        QVERIFY(dm.dbKVdata->Connected());
        QCOMPARE(read("DBconnection", "KVDSN"), file.File());
        DM = nullptr;

        TDatabase missing;
        missing.DatabaseName = "dbMissing";
        missing.LoginPrompt = false;
        missing.AliasName = "/no/such/folder/kv.db_TESTDB";
        try {
            missing.SetConnected(true);
            QFAIL("must not connect");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message(), QString("The database file '/no/such/folder/kv.db_TESTDB' does not exist"));
        }
    }

    // An empty test set: the prompt proposes the current data source with
    // "_TESTDB" appended, and what is given is kept for both sections.
    void switchingToAnEmptyTestSet()
    {
        kvtest::TestDatabase mainFile(true, "fixture1"), testFile(true, "fixture2");
        const QString mainPath = mainFile.File();
        const QString testPath = testFile.File();
        TIniFile s(ini());
        s.WriteString("DBconnection", "KVDSN", mainPath);
        s.WriteString("DBconnection", "ur", TDM::EncodeString("admin"));
        s.WriteString("DBconnection", "pd", TDM::EncodeString("secret"));
        TDM dm;
        DM = &dm;
        dm.DMCreate();
        QVERIFY(prompts.isEmpty());

        answers << PromptAnswer{testPath, "tester", "pw2"};
        dm.SetDatabaseSet(true);
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts[0][1], mainPath + "_TESTDB");  // a path keeps its case
        QCOMPARE(dm.dbKVdata->AliasName, testPath);
        QVERIFY(dm.dbKVdata->Connected());
        QCOMPARE(read("DBconnection", "KVDSN"), testPath);
        QCOMPARE(QStringList({TDM::DecodeString(read("TestCfg", "id1")), TDM::DecodeString(read("TestCfg", "id2")),
                              TDM::DecodeString(read("TestCfg", "id3")), TDM::DecodeString(read("DBconnection", "ur"))}),
                 QStringList({testPath, "tester", "pw2", "tester"}));
        DM = nullptr;
    }
};

KV_TEST_MAIN(TestDataMod)
#include "tst_datamod.moc"
