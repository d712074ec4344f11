#include "AccessRightsSys.h"
#include "EditorSupport.h"
#include "LoginFrm.h"
#include "SysEditUserFunction.h"

// The operator and rights editor: the flag string rule, what adding and
// changing an operator write (rows, rights, audit rows, all or nothing), its
// checks, and that what it writes is what the login check reads.
namespace {
using Rights = QList<int>;

Rights tickedBoxes(const TSysEditUserFunctionForm& f)
{
    Rights ticked;
    for (int i = 1; i <= TSysEditUserFunctionForm::kFunctions; ++i)
        if (f.cbF[i - 1]->isChecked())
            ticked << i;
    return ticked;
}

void tick(TSysEditUserFunctionForm& f, const Rights& boxes)
{
    for (int i : boxes)
        f.cbF[i - 1]->setChecked(true);
}

// A new session's login check as the operator does it: the login name
// known, the password typed into the prompt.
Rights loginRights(const QString& login, const QString& typedPassword)
{
    Operator() = TOperatorIdentity();
    Operator().OPERATORNAME = login;
    auto previous = SetLoginFormHook([&](TLoginForm& form) {
        form.edtPassword->setText(typedPassword);
        return int(QDialog::Accepted);
    });
    TUserRights rights{};
    const bool allowed = CheckUserAccess(true, rights);
    SetLoginFormHook(previous);
    Operator().OPERATORNAME = " admin ";
    Rights granted;
    for (int i = 0; allowed && i < int(rights.size()); ++i)
        if (rights[i])
            granted << i + 1;
    return granted;
}

// A new operator with that login, password and rights, as typed.
std::unique_ptr<TSysEditUserFunctionForm> adding(const QString& login, const QString& password, const Rights& rights)
{
    auto f = std::make_unique<TSysEditUserFunctionForm>();
    f->SetAppendMode(true);
    kvtest::Enter(*f, {"edtUserLogin=" + login, "edtPassword=" + password});
    tick(*f, rights);
    return f;
}

}  // namespace

class TestSysEditUserFunction : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    QStringList rightsOf(const QString& login) const
    {
        return db->Rows("SELECT FunctionID FROM tUserFunction JOIN tUser ON tUser.ID = tUserFunction.UserID "
                        "WHERE UserLogin = '" + QString(login).replace("'", "''") + "' ORDER BY FunctionID");
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init() { db = kvtest::EditorDatabase({"tUserFunction"}, kvtest::kOperators, " admin "); }
    void cleanup() { db.reset(); }

    // The rule for the rights' flag string; the boxes it ticks, whatever
    // was ticked before (a short string grants nothing it does not hold).
    void flagStrings_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<Rights>("ticked");
        QTest::newRow("sixteen characters") << "1010000000000001" << "1010000000000001" << Rights{1, 3, 16};
        QTest::newRow("a trailing letter is dropped and zeros pad")
            << "101x" << "1010000000000000" << Rights{1, 3};
        QTest::newRow("padding cuts to sixteen")
            << "11111111111111111111x" << "1111111111111111"
            << Rights{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        QTest::newRow("short digits are kept; missing boxes stay clear") << "101" << "101" << Rights{1, 3};
        QTest::newRow("anything but 0 ticks") << "0a1" << "0a1" << Rights{2, 3};
        QTest::newRow("empty") << "" << "" << Rights{};
    }
    void flagStrings()
    {
        QFETCH(QString, given);
        QFETCH(QString, stored);
        QFETCH(Rights, ticked);
        QCOMPARE(FlagString(given), stored);
        TSysEditUserFunctionForm f;
        tick(f, {2, 5});
        f.SetFunction1To16(given);
        QCOMPARE(f.Function1To16(), stored);
        QCOMPARE(tickedBoxes(f), ticked);
    }

    // A new operator: the row with its password trimmed, its rights, its
    // audit rows naming the row the INSERT made; then a login with the
    // password as typed (blanks round it) gets exactly the boxes ticked.
    void addOperator()
    {
        auto f = adding(" o'hara ", "  pa ss  ", {7, 9, 14});
        QCOMPARE(f->windowTitle(), QString("System Edit: tUserFunction (ADD)"));
        kvtest::Enter(*f, {"edtFirstName= Mary-Jo "});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->Rows("SELECT ID || '|' || UserLogin || '|' || Password || '|' || FirstName || '|' || "
                          "ifnull(Surname, 'NULL') || '|' || Active FROM tUser WHERE ID > 4"),
                 QStringList({"5|o'hara|pa ss|Mary-Jo|NULL|1"}));
        QCOMPARE(rightsOf("o'hara"), QStringList({"7", "9", "14"}));
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("admin|13|tUser|5|", {"USERLOGIN|NULL|'o''hara'",
                                                                        "FIRSTNAME|NULL|'Mary-Jo'", "ACTIVE|NULL|'1'"}));
        const QVector<QStringList> statements = f->LastStatements();
        QCOMPARE(statements.size(), 1 + 3 + 3);  // the row, its audit rows, three rights
        QCOMPARE(statements.first(), QStringList({"INSERT INTO tUser", "(UserLogin, Password, FirstName, Surname, Active)",
                                                  "VALUES ('o''hara','pa ss',", "'Mary-Jo',NULL, 1)"}));
        QCOMPARE(statements.last(), QStringList({"INSERT INTO tUserFunction", "(UserID, FunctionID)", "VALUES (5, 14)"}));
        QCOMPARE(loginRights("o'hara", "  pa ss  "), Rights({7, 9, 14}));
    }

    // A new operator beside one whose id is the largest 32-bit number or
    // beyond it takes the next id whole: its rights and its audit rows name
    // that id, on the file and through ODBC. Just inside 32 bits the login
    // check then gives it its rights.
    void addBesideWideIds_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<qlonglong>("last");  // the largest id before the addition
        for (const bool odbc : {false, true}) {
            const QByteArray route = odbc ? "through ODBC" : "SQLite file";
            for (const qlonglong last : {2147483646LL, 2147483647LL, 3000000000LL, 9007199254740992LL})
                QTest::addRow("beside %lld, %s", last, route.constData()) << odbc << last;
        }
    }
    void addBesideWideIds()
    {
        QFETCH(bool, odbc);
        QFETCH(qlonglong, last);
        const QString setup = QString("INSERT INTO tUser (ID, UserLogin, Password, Active) VALUES (%1,'wide','w',1);"
                                      "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (%1,7)").arg(last);
        db->Exec(setup);
        std::unique_ptr<kvtest::TestDatabase> file;
        std::unique_ptr<kvtest::OdbcDataSource> source;
        std::unique_ptr<TDatabase> connection;
        kvtest::TestDatabase* written = db.get();
        if (odbc) {
            db.reset();
            file = std::make_unique<kvtest::TestDatabase>(true, "dbFile");
            file->Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(13,'Reference Insert');"
                      "INSERT INTO tAudit (\"Table\") VALUES ('tUserFunction');" + QString(kvtest::kOperators) + ";" + setup);
            source = std::make_unique<kvtest::OdbcDataSource>("kvwideoperators", file->File());
            if (!source->Available())
                QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
            connection = source->Connect("dbKVdata");
            written = file.get();
        }
        auto f = adding("newbie", "pw", {7, 14});
        KV_EXPECT_SAVED(*f);
        f.reset();
        connection.reset();
        const QString added = QString::number(last + 1);
        QCOMPARE(written->Value("SELECT ID FROM tUser WHERE UserLogin = 'newbie'"), added);
        QCOMPARE(written->Rows("SELECT UserID || ':' || FunctionID FROM tUserFunction WHERE UserID > 4 "
                               "ORDER BY UserID, FunctionID"),
                 QStringList({QString::number(last) + ":7", added + ":7", added + ":14"}));
        QCOMPARE(written->AuditRows(), kvtest::Prefixed("admin|13|tUser|" + added + "|",
                                                        {"USERLOGIN|NULL|'newbie'", "ACTIVE|NULL|'1'"}));
        if (!odbc && last + 1 <= std::numeric_limits<int>::max())
            QCOMPARE(loginRights("newbie", "pw"), Rights({7, 14}));
    }

    // What adding refuses; a login's "%", "_" and "[" match only themselves.
    void addChecks_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        const QString incomplete = "UserLogin and Password MUST be completed. Try again.";
        const QString exists = "This Operator already exists in the table.";
        QTest::newRow("no login") << "   " << "pw" << incomplete;
        QTest::newRow("password only blanks") << "newbie" << "   " << incomplete;
        QTest::newRow("login of an active operator") << "ADMIN" << "pw" << exists;
        QTest::newRow("login of an inactive operator") << " jsmith " << "pw" << exists;
        QTest::newRow("underscore matches only itself") << "j_doe" << "pw" << QString();
        QTest::newRow("percent matches only itself") << "j%" << "pw" << QString();
        QTest::newRow("bracket matches only itself") << "[j]xdoe" << "pw" << QString();
    }
    void addChecks()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, message);
        auto f = adding(login, password, {});
        if (message.isEmpty()) {
            KV_EXPECT_SAVED(*f);
            QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser"), QString("5"));
        } else {
            KV_EXPECT_REFUSED(*f, message);
            QCOMPARE(f->edtUserLogin->text(), login);
        }
    }

    // Changing an operator: the row written whole with the password trimmed,
    // only the rights that changed, audit rows for what changed; the login
    // then gives the new rights with the new password.
    void changeOperator()
    {
        auto f = kvtest::OperatorEditorOf3();
        QCOMPARE(f->windowTitle(), QString("System Edit: tUserFunction (EDIT)"));
        QCOMPARE(tickedBoxes(*f), Rights({7, 9}));
        kvtest::Enter(*f, {"edtPassword=  new pw ", "edtSurname=  ", "cbF14=1", "cbF9=0"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->Value("SELECT UserLogin || '|' || Password || '|' || FirstName || '|' || ifnull(Surname, 'NULL') "
                           "FROM tUser WHERE ID = 3"),
                 QString("mnguyen|new pw|Minh|NULL"));
        QCOMPARE(rightsOf("mnguyen"), QStringList({"7", "14"}));
        QCOMPARE(db->AuditRows(), QStringList({"admin|11|tUser|3|PASSWORD|'old'|'new pw'",
                                               "admin|11|tUser|3|SURNAME|'Nguyen'|NULL",
                                               "admin|11|tUserFunction|3|FUNCTIONID|'9'|NULL",
                                               "admin|11|tUserFunction|3|FUNCTIONID|NULL|'14'"}));
        const QVector<QStringList> statements = f->LastStatements();
        QCOMPARE(statements.size(), 1 + 2 + 2 + 2);
        QCOMPARE(statements[0], QStringList({"UPDATE tUser", "SET UserLogin = 'mnguyen',", "Password = 'new pw',",
                                             " FirstName = 'Minh',", " Surname = NULL", "WHERE id = 3"}));
        QCOMPARE(statements[3], QStringList({"DELETE tUserFunction", "WHERE UserID = 3", "AND FunctionID = 9"}));
        QCOMPARE(statements[4], QStringList({"INSERT INTO tUserFunction", "(UserID, FunctionID)", "VALUES (3, 14)"}));
        QCOMPARE(f->LastReads().value(1),
                 QStringList({"SELECT FunctionID", "FROM tUserFunction WITH (UPDLOCK, HOLDLOCK)", "WHERE UserID = 3"}));
        QCOMPARE(loginRights("mnguyen", "new pw"), Rights({7, 14}));
    }

    void changeChecks_data()
    {
        QTest::addColumn<int>("userId");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("message");
        const QString exists = "This Operator already exists in the table.";
        QTest::newRow("another operator's login") << 3 << "Admin" << exists;
        QTest::newRow("an inactive operator's login") << 3 << "jsmith" << exists;
        QTest::newRow("its own login, other letter case") << 3 << "MNguyen" << QString();
        QTest::newRow("a quote in the login") << 3 << "m'nguyen" << QString();
        QTest::newRow("no operator id") << -1 << "mnguyen" << "Invalid UserID value - Must be positive.";
    }
    void changeChecks()
    {
        QFETCH(int, userId);
        QFETCH(QString, login);
        QFETCH(QString, message);
        TSysEditUserFunctionForm f;
        if (userId >= 0)
            f.SetUserID(userId);
        f.SetUserLogin("mnguyen");
        f.SetPassword("old");
        f.SetAppendMode(false);
        kvtest::Enter(f, {"edtUserLogin=" + login});
        if (message.isEmpty())
            KV_EXPECT_SAVED(f);
        else
            KV_EXPECT_REFUSED(f, message);
        QCOMPARE(db->Value("SELECT UserLogin FROM tUser WHERE ID = 3"), message.isEmpty() ? login : "mnguyen");
    }

    // A right that cannot be written takes the new operator with it; the
    // window keeps the input, and the next Save adds the operator once. A
    // new operator not found (active) after its INSERT gets no rights: the
    // whole save goes back with a message.
    void nothingHalfWritten()
    {
        db->Exec("CREATE TRIGGER refuse14 BEFORE INSERT ON tUserFunction WHEN NEW.FunctionID = 14 "
                 "BEGIN SELECT RAISE(ABORT, 'right refused'); END;");
        auto f = adding("tnew", "pw", {7, 14});
        const QStringList boxes = kvtest::Click(*f);
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first().contains("right refused"));
        QVERIFY(f->result() != mrOk);
        QVERIFY(!f->Wrote());
        QCOMPARE(db->Value("SELECT COUNT(*) || '|' || (SELECT COUNT(*) FROM tUserFunction) FROM tUser"), QString("4|4"));
        QCOMPARE(db->AuditRows(), QStringList());
        QCOMPARE(f->edtUserLogin->text(), QString("tnew"));
        db->Exec("DROP TRIGGER refuse14;");
        KV_EXPECT_SAVED(*f);
        QCOMPARE(rightsOf("tnew"), QStringList({"7", "14"}));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser WHERE UserLogin = 'tnew'"), QString("1"));

        db->Exec("CREATE TRIGGER retire AFTER INSERT ON tUser BEGIN UPDATE tUser SET Active = 0 WHERE ID = NEW.ID; "
                 "END;");
        auto ghost = adding("ghost", "pw", {7});
        QCOMPARE(kvtest::Click(*ghost), QStringList({"The new operator could not be found after it was added, so its "
                                                     "rights cannot be written. Nothing has been saved."}));
        QVERIFY(ghost->result() != mrOk);
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser"), QString("5"));
    }

    // One change through the ODBC route (to SQLite through its ODBC
    // driver): the operator's row, a right removed with "DELETE
    // tUserFunction" and one granted, and their audit rows.
    void changeThroughOdbc()
    {
        db.reset();
        kvtest::TestDatabase file(true, "dbFile");
        file.Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(13,'Reference Insert');"
                  "INSERT INTO tAudit (\"Table\") VALUES ('tUserFunction');" + QString(kvtest::kOperators) + ";");
        kvtest::OdbcDataSource source("kvoperators", file.File());
        if (!source.Available())
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        auto odbc = source.Connect("dbKVdata");
        QVERIFY(!odbc->IsEmbedded());
        auto f = kvtest::OperatorEditorOf3();
        kvtest::Enter(*f, {"edtPassword= it's new ", "cbF9=0", "cbF14=1"});
        KV_EXPECT_SAVED(*f);
        f.reset();
        odbc.reset();
        QCOMPARE(file.Rows("SELECT Password FROM tUser WHERE ID = 3"), QStringList({"it's new"}));
        QCOMPARE(file.Rows("SELECT FunctionID FROM tUserFunction WHERE UserID = 3 ORDER BY FunctionID"),
                 QStringList({"7", "14"}));
        QCOMPARE(file.AuditRows(), QStringList({"admin|11|tUser|3|PASSWORD|'old'|'it''s new'",
                                                "admin|11|tUserFunction|3|FUNCTIONID|'9'|NULL",
                                                "admin|11|tUserFunction|3|FUNCTIONID|NULL|'14'"}));
    }
};

KV_TEST_MAIN(TestSysEditUserFunction)
#include "tst_sysedituserfunction.moc"
