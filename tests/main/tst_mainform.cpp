#include "About.h"
#include "DBModel.h"
#include "KitDBCtrl.h"
#include "KVSysMain.h"
#include "LoginFrm.h"
#include "PageQueries.h"
#include "Program.h"
#include "Progress.h"
#include "Platform.h"
#include "MainFixture.h"
#include "EditorSupport.h"
#include "SysEdit.h"
#include <QAction>
#include <QScrollBar>
#include "ComCtrls.h"
#include "DBCtrls.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <dlfcn.h>
#include <pwd.h>

// The system's list of users, giving the machine's login name as a test row
// names it (when it names one).
QByteArray g_loginName;
extern "C" passwd* getpwuid(uid_t uid)
{
    static const auto system = reinterpret_cast<passwd* (*)(uid_t)>(dlsym(RTLD_NEXT, "getpwuid"));
    static passwd named;
    passwd* found = system(uid);
    if (!found || g_loginName.isEmpty())
        return found;
    named = *found;
    named.pw_name = g_loginName.data();
    return &named;
}

// Start-up, access and the page frame of the main window.
class TestMainForm : public QObject {
    Q_OBJECT

    std::unique_ptr<kvtest::TestDatabase> mainDb, testDb;
    kvtest::MainFixture fx;  // data module and window only: the sets are mainDb and testDb
    QString typedPassword;
    QStringList typedSources;   // typed in the data source box, prompt by prompt; "" cancels
    QStringList promptSources;  // data source box|name box|password box of each connection prompt
    int prompts = 0;
    QStringList promptNames;
    QStringList promptTitles;
    bool titlesFit = true;

    // Operators: 1 admin (7, 9, 14, 15), 2 viewer (7), 3 editor (7, 14, 15),
    // 4 inactive, 5 the machine's own login (7, 15), 6 no right 7 (14 only).
    void seed(kvtest::TestDatabase& db)
    {
        db.Exec(QString("INSERT INTO tUser (ID, UserLogin, FirstName, Surname, Password, Active) VALUES "
                        "(1,'admin','Ada','Admin','Secret',1),(2,'viewer','','Vue','pw',1),"
                        "(3,'editor','Ed',NULL,'pw',1),(4,'gone','Old','Timer','pw',0),"
                        "(5,'%1','Machine','User','pw',1),(6,'noseven','No','Seven','pw',1);"
                        "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (1,7),(1,9),(1,14),(1,15),"
                        "(2,7),(3,7),(3,14),(3,15),(5,7),(5,15),(6,14);"
                        "INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),"
                        "(12,'Reference Delete'),(13,'Reference Insert'),(14,'Batch Import');")
                    .arg(PlatformUserName().toLower().replace("'", "''")));
    }
    TMainForm* start(const QStringList& args, const QString& getLog = "0", const QString& source = QString())
    {
        kvtest::WriteConnectionSettings(source.isEmpty() ? mainDb->File() : source, testDb->File(), getLog);
        fx.Launch(args);
        return fx.form.get();
    }
    static QTreeWidgetItem* node(TMainForm& f, const QString& text)
    {
        const auto found = f.TreeViewSystem->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    static void choose(TMainForm& f, const QString& text)
    {
        QTreeWidgetItem* item = node(f, text);
        QVERIFY2(item, qPrintable(text));
        f.TreeViewSystem->setCurrentItem(item);
        f.TreeViewSystemChange();
    }

private slots:
    void initTestCase()
    {
        kvtest::QuietHeadlessNotices();
        SetLoginFormHook([this](TLoginForm& form) {
            ++prompts;
            promptNames << form.edtName->text() + (form.edtName->isEnabled() ? "" : " (disabled)");
            promptTitles << form.windowTitle();
            // The title bar has room for the whole title in a bold font,
            // beside the window's icon and close button.
            QFont bold = form.font();
            bold.setBold(true);
            titlesFit = titlesFit && form.width() >= QFontMetrics(bold).horizontalAdvance(form.windowTitle()) + 64;
            for (QWidget* w : form.findChildren<QWidget*>())
                titlesFit = titlesFit && form.rect().contains(w->geometry());
            const bool connection = !form.edtDSN->isHidden();
            if (connection)
                promptSources << form.edtDSN->text() + "|" + form.edtName->text() + "|" + form.edtPassword->text();
            const QString source = connection ? typedSources.value(promptSources.size() - 1) : QString();
            if (typedPassword.isNull() || (connection && source.isEmpty()))
                return int(QDialog::Rejected);
            form.show();
            if (connection)
                kvtest::Retype(form.edtDSN, source);
            kvtest::Retype(form.edtPassword, typedPassword);
            QTest::mouseClick(form.btnOK, Qt::LeftButton);
            return form.result();
        });
    }
    void init()
    {
        mainDb = std::make_unique<kvtest::TestDatabase>(true, "fixtureMain");
        testDb = std::make_unique<kvtest::TestDatabase>(true, "fixtureTest");
        seed(*mainDb);
        seed(*testDb);
        typedPassword = QString();
        typedSources.clear();
        promptSources.clear();
        prompts = 0;
        promptNames.clear();
        promptTitles.clear();
    }
    void cleanup() { fx.Close(); }

    void trustedStartWithoutArguments()
    {
        auto f = start({}, "0");
        QCOMPARE(prompts, 0);
        QCOMPARE(f->OperatorName(), PlatformUserName());
        QCOMPARE(f->OperatorNumber(), 5);
        QCOMPARE(f->windowTitle(), QString("Brellinghast System Tables       Operator: Machine User"));
        for (bool r : Operator().UserRights)
            QVERIFY(r);  // every right in trusted mode
        QCOMPARE(mainDb->Value("SELECT LastLoggedOn FROM tUser WHERE ID = 5"), QString("20260305 14:07:09"));
        QVERIFY(!f->Timebomb->isActive());
        f->close();
        QCOMPARE(mainDb->Value("SELECT LastLoggedOff FROM tUser WHERE ID = 5"), QString("20260305 14:07:09"));
        QVERIFY(!DM->dbKVdata->Connected());
    }

    // Without arguments and with the password check on, the machine's own
    // login is asked its password, compared exactly, on a SQLite file and
    // through ODBC. A password the connection cannot carry as typed (through
    // the SQLite ODBC driver, characters beyond the Basic Multilingual Plane)
    // is refused before it is sent with a message naming the password, and
    // the program does not start; a login name it cannot carry is refused
    // naming the login name, before any password is asked.
    void passwordStartWithoutArguments_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("refused");  // the refusal's start, if any
        QTest::addColumn<QString>("login");    // the machine's login name, if not its own
        for (const bool odbc : {false, true}) {
            const char* route = odbc ? ", through ODBC" : "";
            const auto refusal = [odbc](QString c) { return odbc ? "Password holds the character " + c : ""; };
            QTest::addRow("right password%s", route) << odbc << "pw" << true << "" << "";
            QTest::addRow("wrong case%s", route) << odbc << "PW" << false << "" << "";
            QTest::addRow("wildcard%s", route) << odbc << "%" << false << "" << "";
            QTest::addRow("injection%s", route) << odbc << "' OR '1'='1" << false << "" << "";
            QTest::addRow("letters of other scripts%s", route) << odbc << "Mañana北京" << true << "" << "";
            QTest::addRow("emoji break-out%s", route) << odbc << "🐧 OR 1=1 --" << false << refusal("🐧") << "";
            QTest::addRow("musical symbol%s", route) << odbc << "pw𝄞' OR 'a'='a" << false << refusal("𝄞") << "";
        }
        QTest::newRow("login name with an emoji, through ODBC")
            << true << "pw🐧" << false << "Login name holds the character 🐧" << "op🐧";
    }
    void passwordStartWithoutArguments()
    {
        QFETCH(bool, odbc);
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        QFETCH(QString, refused);
        QFETCH(QString, login);
        kvtest::MessageRecorder boxes;
        typedPassword = password;
        if (accepted)  // the one typed is the operator's password
            mainDb->Exec("UPDATE tUser SET Password = '" + password + "' WHERE ID = 5");
        std::unique_ptr<kvtest::OdbcDataSource> source;
        if (odbc) {
            source = std::make_unique<kvtest::OdbcDataSource>("kvlogin", mainDb->File());
            if (!source->Available())
                QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        }
        TMainForm* f = nullptr;
        QString raised;
        g_loginName = login.toUtf8();
        try {
            f = start({}, QString(), odbc ? "kvlogin" : QString());  // GetLog absent: passwords are asked
        } catch (const EDatabaseError& e) {
            raised = e.Message();
        }
        g_loginName.clear();
        QCOMPARE(promptNames, QStringList(PlatformUserName() + " (disabled)").mid(0, login.isEmpty()));
        if (!refused.isEmpty()) {
            QVERIFY2(raised.startsWith(refused + " (U+"), qPrintable(raised));
            QVERIFY(!f && !HasRight(7));
            QCOMPARE(Operator().OPERATORNUMBER, login.isEmpty() ? 5 : 0);
            QCOMPARE(boxes.Count(), 0);
            return;
        }
        QCOMPARE(raised, QString());
        QCOMPARE(f->Timebomb->isActive(), !accepted);
        if (accepted) {
            QCOMPARE(boxes.Count(), 0);
            QCOMPARE(f->OperatorNumber(), 5);
            QVERIFY(HasRight(7) && HasRight(15) && !HasRight(14) && !HasRight(9));
            QCOMPARE(node(*f, "Security")->childCount(), 3);  // 15 without 9: no audit pages
            return;
        }
        QCOMPARE(boxes.Texts(), QStringList({"User and Password not found. Access is denied."}));
        QCOMPARE(f->TreeViewSystem->topLevelItemCount(), 0);  // the tree is not built
        f->show();
        QTRY_VERIFY_WITH_TIMEOUT(!f->isVisible(), 2000);  // closes itself about 100 ms later
        QCOMPARE(mainDb->Value("SELECT LastLoggedOff FROM tUser WHERE ID = 5"), QString("20260305 14:07:09"));
    }

    // A valid operator id gives no password; an inactive one leads to the
    // prompt with an empty name; without right 7 the window closes quietly.
    // Without right 9 no Security group, without 15 no database switch.
    void startWithAnOperatorId_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("prompted");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("groups");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("switches");
        const QStringList denied{"User and Password not found. Access is denied."};
        QTest::newRow("1 admin") << "1" << QStringList() << QStringList() << 7 << "Ada Admin" << true;
        QTest::newRow("2 viewer, no first name") << "2" << QStringList() << QStringList() << 6 << "Vue" << false;
        QTest::newRow("4 inactive") << "4" << QStringList{" (disabled)"} << denied << 0 << "" << false;
        QTest::newRow("6 without right 7") << "6" << QStringList() << QStringList() << 0 << "" << false;
    }
    void startWithAnOperatorId()
    {
        QFETCH(QString, id);
        QFETCH(int, groups);
        QFETCH(QString, title);
        typedPassword = "pw";
        kvtest::MessageRecorder boxes;
        auto f = start({id}, "1");
        QTEST(promptNames, "prompted");
        QTEST(boxes.Texts(), "messages");
        QCOMPARE(f->Timebomb->isActive(), groups == 0);
        QCOMPARE(f->TreeViewSystem->topLevelItemCount(), groups);
        if (groups) {
            QCOMPARE(f->windowTitle(), "Brellinghast System Tables       Operator: " + title);
            QTEST(f->mnuToolsSelectMainDatabaseItem->isVisible() || f->mnuToolsSelectTestDatabaseItem->isVisible(),
                  "switches");
        }
        QCOMPARE(mainDb->Value("SELECT LastLoggedOn FROM tUser WHERE ID = 1"), QString("NULL"));  // only without arguments
    }

    void notANumberEndsTheStart()
    {
        try {
            start({"12x"}, "1");
            QFAIL("must raise");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message(), QString("'12x' is not a valid integer value"));
        }
        QVERIFY(MainForm == nullptr);
    }

    void testDatabaseKeptOnlyWithRightFifteen()
    {
        {
            auto f = start({"3", "1"}, "1");  // editor holds 15
            QVERIFY(f->FTestData);
            QCOMPARE(DM->dbKVdata->AliasName, testDb->File());
            QVERIFY(!f->lblTestData->isHidden());
            f->mnuToolsSelectMainDatabaseItemClick();
            QVERIFY(!f->FTestData);
            QVERIFY(f->lblTestData->isHidden());
            QCOMPARE(DM->dbKVdata->AliasName, mainDb->File());
            f->mnuToolsSelectTestDatabaseItemClick();
            QVERIFY(!f->lblTestData->isHidden());
            f->close();
        }
        cleanup();
        {
            auto f = start({"2", "1"}, "1");  // viewer: back to the main set
            QVERIFY(!f->FTestData);
            QVERIFY(f->lblTestData->isHidden());
            QCOMPARE(DM->dbKVdata->AliasName, mainDb->File());
            QCOMPARE(TIniFile(SettingsFileName()).ReadString("DBconnection", "KVDSN", ""), mainDb->File());
        }
    }

    // A set that does not connect (a file that is not there, an ODBC name
    // not defined) is told, naming the set and its data source, and asked for
    // at the prompt, which proposes the set's data source and user (after a
    // failed answer, what was typed); what connects is kept, and the next
    // start asks nothing. Cancel leaves the settings file as it was: after a
    // failure at the start it ends the start; for a set lacking a value, or
    // at a switch, the program stays on the database (and page) it was on.
    void wrongSetMendedAtThePrompt_data()
    {
        QTest::addColumn<QStringList>("args");   // "switch": then Tools > Select Test Database
        QTest::addColumn<QString>("names");      // what the set met names; empty: its id3 removed
        QTest::addColumn<bool>("copied");        // the connection in use holds the same wrong set
        QTest::addColumn<QStringList>("typed");  // data source typed at each prompt; "" cancels
        QTest::addColumn<QStringList>("prompted");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("on");  // the database in use after; "" the start ended
        const QString gone = "/nowhere/kv.db", other = "/nowhere/kv2.db", goneTest = "/nowhere/kv-test.db";
        const QString notThere = "Cannot connect to the %1 database '%2': The database file '%2' does not exist.";
        QTest::newRow("main set's file not there, a wrong answer, then mended")
            << QStringList{"1"} << gone << false << QStringList{other, "<main>"}
            << QStringList{gone + "|kvuser|", other + "|kvuser|pw"}
            << QStringList{notThere.arg("main", gone), notThere.arg("main", other)} << "<main>";
        QTest::newRow("main set's ODBC name not defined, mended through ODBC")
            << QStringList{"1"} << "kvnosuch" << false << QStringList{"kvmain"}
            << QStringList{"kvnosuch|kvuser|"}
            << QStringList{"Cannot connect to the main database 'kvnosuch': [unixODBC][Driver Manager]Data source "
                           "name not found and no default driver specified."}
            << "kvmain";
        QTest::newRow("connection in use a copy of the wrong main set: one prompt")
            << QStringList{"1"} << gone << true << QStringList{"<main>"} << QStringList{gone + "|kvuser|"}
            << QStringList{notThere.arg("main", gone)} << "<main>";
        QTest::newRow("Cancel after the main set failed ends the start")
            << QStringList{"1"} << gone << false << QStringList{""} << QStringList{gone + "|kvuser|"}
            << QStringList{notThere.arg("main", gone)} << "";
        QTest::newRow("Cancel for a test set without password stays on main")
            << QStringList{"3", "1"} << "" << false << QStringList{""}
            << QStringList{"<test>|kvuser|"} << QStringList() << "<main>";
        QTest::newRow("failed switch to the test set, cancelled")
            << QStringList{"3", "switch"} << goneTest << false << QStringList{""}
            << QStringList{goneTest + "|kvuser|"} << QStringList{notThere.arg("test", goneTest)} << "<main>";
    }
    void wrongSetMendedAtThePrompt()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, names);
        QFETCH(bool, copied);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, prompted);
        QFETCH(QString, on);
        const auto real = [this](QStringList texts) {
            return texts.replaceInStrings("<main>", mainDb->File()).replaceInStrings("<test>", testDb->File());
        };
        kvtest::OdbcDataSource source("kvmain", mainDb->File());
        if (on == "kvmain" && !source.Available())
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        kvtest::WriteConnectionSettings(mainDb->File(), testDb->File(), "1");
        const QString set = args.size() > 1 ? "TestCfg" : "MainCfg";  // the user of each set is "kvuser"
        TIniFile ini(SettingsFileName());
        ini.WriteString(set, "id2", TDM::EncodeString("kvuser"));
        if (names.isEmpty())
            ini.DeleteKey(set, "id3");
        else
            ini.WriteString(set, "id1", TDM::EncodeString(names));
        if (copied) {
            ini.WriteString("DBconnection", "KVDSN", names);
            ini.WriteString("DBconnection", "ur", TDM::EncodeString("kvuser"));
        }
        QByteArray before = kvtest::FileBytes(SettingsFileName());
        typedPassword = "pw";
        typedSources = real(typed);
        kvtest::MessageRecorder boxes;
        const bool switched = args.removeAll("switch") > 0;
        try {
            fx.Launch(args);
            if (switched) {
                choose(*fx.form, "tCentre");
                before = kvtest::FileBytes(SettingsFileName());
                fx.form->mnuToolsSelectTestDatabaseItem->trigger();
            }
        } catch (const EAbort&) {  // the start ended
        }
        QCOMPARE(!fx.form, on.isEmpty());
        QCOMPARE(promptSources, real(prompted));
        QTEST(boxes.Texts(), "messages");
        if (on.isEmpty() || typed.last().isEmpty())
            QCOMPARE(kvtest::FileBytes(SettingsFileName()), before);
        if (on.isEmpty())
            return;
        QVERIFY(DM->dbKVdata->Connected());
        QCOMPARE(DM->dbKVdata->AliasName, real({on}).first());
        QVERIFY(fx.form->lblTestData->isHidden());
        if (switched)
            QVERIFY(fx.form->CurrentQuery(1013)->Active());  // the page stays as it was
        if (typed.last().isEmpty())
            return;
        fx.Close();  // mended: the next start asks nothing
        const int asked = prompts;
        fx.Launch(args);
        QCOMPARE(prompts, asked);
        QCOMPARE(DM->dbKVdata->AliasName, real({on}).first());
    }

    // A page's grid is made when the page is first shown, and kept; closing
    // a page closes its query only.
    void pagesOpenAndClose()
    {
        auto f = start({"1"}, "1");
        f->show();
        QVERIFY(f->SysPageControl->isHidden());
        choose(*f, "Charges");  // a group opens nothing
        QVERIFY(f->SysPageControl->isVisible());
        QCOMPARE(ActivePageID, 0);
        QVERIFY(f->findChildren<TKitDBGrid*>().isEmpty());
        choose(*f, "tCentre");
        QCOMPARE(ActivePageID, 1013);
        QVERIFY(f->CurrentQuery(1013)->Active());
        const QList<TKitDBGrid*> grids = f->findChildren<TKitDBGrid*>();
        QCOMPARE(grids.size(), 1);
        QCOMPARE(f->PageOf(1013)->Grid, grids.first());
        QCOMPARE(grids.first()->DataSource(), f->CurrentDataSource(1013));
        choose(*f, "tUser");
        QCOMPARE(ActivePageID, 1081);
        QVERIFY(f->CurrentQuery(1013)->Active());
        QCOMPARE(f->CurrentQuery(1081)->RecordCount(), 5);  // active operators
        QVERIFY(!f->dbNavigator->isHidden());
        QCOMPARE(f->dbNavigator->DataSource(), f->CurrentDataSource(1081));
        f->ActionTabClose();
        QVERIFY(!f->CurrentQuery(1081)->Active());
        QVERIFY(f->CurrentQuery(1013)->Active());  // only that page's query closed
        QCOMPARE(ActivePageID, 1013);
        f->ActionTabClose();
        QVERIFY(!f->dbNavigator->isVisible());
        QCOMPARE(f->CurrentTabPageID(), 0);
        choose(*f, "tCentre");
        QCOMPARE(f->PageOf(1013)->Grid, grids.first());  // the same grid again
        QVERIFY(f->CurrentQuery(1013)->Active());
    }

    // Opening a group closes the one that was open, however it opens; a
    // table chosen inside the open group leaves it open.
    void oneGroupOpenAtATime()
    {
        auto f = start({"1"}, "1");
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QTreeWidget* tree = f->TreeViewSystem;
        auto expanded = [tree] {
            QStringList out;
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                if (tree->topLevelItem(i)->isExpanded())
                    out << tree->topLevelItem(i)->text(0);
            return out;
        };
        auto click = [tree](QTreeWidgetItem* item) {
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        };
        click(node(*f, "Charges"));
        QCOMPARE(expanded(), QStringList{"Charges"});
        click(node(*f, "tRate"));
        QTRY_COMPARE(ActivePageID, 1049);
        click(node(*f, "Customer"));
        QCOMPARE(expanded(), QStringList{"Customer"});
        click(node(*f, "tStatus"));
        QCOMPARE(expanded(), QStringList{"Customer"});
        // By the keyboard: the arrow key opens the group under the cursor.
        tree->setCurrentItem(node(*f, "Service"));
        QCOMPARE(expanded(), QStringList{"Service"});
        tree->setCurrentItem(node(*f, "Validation"));
        QTest::keyClick(tree, Qt::Key_Left);
        QTest::keyClick(tree, Qt::Key_Right);
        QCOMPARE(expanded(), QStringList{"Validation"});
        QVERIFY(!tree->verticalScrollBar()->isVisible());
    }

    // An inactive operator's row is drawn blue, unless highlighted; the
    // audit page never draws blue.
    void inactiveRowsAreBlueWhereAsked()
    {
        auto f = start({"1"}, "1");
        f->show();
        choose(*f, "tUser");
        QTest::mouseClick(f->cbNotActive, Qt::LeftButton);  // every operator, as Terminated shows them
        f->btnApplyFilterClick();
        TQuery* q = f->CurrentQuery(1081);
        const auto* page = f->PageOf(1081);
        TField* login = q->FieldByName("UserLogin");
        auto colour = [&](const QString& who, bool highlighted) {
            if (!q->Locate("UserLogin", who))
                return QColor();
            TActiveRecordScope painted(q, q->RecNo() - 1);
            TFont font{QFont(), Qt::black};
            TColor bg = clWindow;
            page->Grid->OnGetCellParams(page->Grid, login, font, bg, highlighted);
            return font.Color;
        };
        QVERIFY(bool(page->Grid->OnGetCellParams));
        QCOMPARE(colour("gone", false), QColor(0, 0, 255));
        QCOMPARE(colour("admin", false), QColor(Qt::black));
        QCOMPARE(colour("gone", true), QColor(Qt::black));
        choose(*f, "tAudit");
        QVERIFY(!f->PageOf(1007)->Grid->OnGetCellParams);
    }

    void titleClickSorts()
    {
        auto f = start({"1"}, "1");
        choose(*f, "tUser");
        TQuery* q = f->CurrentQuery(1081);
        f->KitDBGridSysTitleClick(q->FieldByName("UserLogin"));
        QCOMPARE(q->SQL().Last(), QString("ORDER BY  UserLogin"));
        QVERIFY(q->Active());
        QCOMPARE(q->FieldByName("UserLogin")->AsString(), QString("admin"));
        f->KitDBGridSysTitleClick(q->FieldByName("UserLogin"));
        QCOMPARE(q->SQL().Last(), QString("ORDER BY  UserLogin DESC"));
        QCOMPARE(q->FieldByName("UserLogin")->AsString(), QString("viewer"));
    }

    // Without right 14 a double-click, Add and Del open no editor, ask
    // nothing and change nothing.
    void withoutRightFourteenNothingHappens()
    {
        mainDb->Exec("INSERT INTO tCentre (ID, Description, Active) VALUES (1,'Alpha',1);");
        auto f = start({"2"}, "1");
        choose(*f, "tCentre");
        int editors = 0;
        TRecordEditor::SetShowModalHook([&](TRecordEditor&) { return ++editors, int(mrCancel); });
        kvtest::MessageRecorder boxes;
        f->KitDBGridSysDblClick();
        f->btnAddClick();
        f->btnDeleteClick();
        TRecordEditor::SetShowModalHook(nullptr);
        QCOMPARE(editors, 0);
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(mainDb->Value("SELECT Active FROM tCentre"), QString("1"));
    }

    // Every title reads as given: the program sets no display name for the
    // window system to add after each one.
    void windowTitlesAsGiven()
    {
        const QString testName = QCoreApplication::applicationName();
        InitApplicationObject();
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QCOMPARE(MessageCaption(mtCustom), QString("Brellinghast"));
        QCOMPARE(MessageCaption(mtConfirmation), QString("Confirm"));
        TApplication::setApplicationName(testName);
        SetApplicationTitle("kvsys");

        QCOMPARE(TAboutBox(start({"1"}, "1")).windowTitle(), QString("About"));
        QCOMPARE(TProgressForm().windowTitle(), QString("Progress Status"));
        QString dsn;
        TStringList params;
        LoginPrompt("Brellinghast", true, dsn, params);
        LoginPrompt("User Access", false, dsn, params);
        QCOMPARE(promptTitles, QStringList({"SQLServer ODBC Link: Brellinghast", "Invoice Brellinghast Login"}));
        QVERIFY(titlesFit);
    }
};

KV_TEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
