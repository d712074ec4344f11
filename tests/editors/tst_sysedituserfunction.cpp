#include "AccessRightsSys.h"
#include "LoginFrm.h"
#include "OperatorIdentity.h"
#include "SysEditUserFunction.h"
#include "TestSupport.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

// The operator and rights editor: the flag string rule, what adding and
// changing an operator write (rows, rights, audit rows, all or nothing), its
// checks, and that what it writes is what the login check reads.
namespace {
using Rights = QList<int>;

QList<int> tickedBoxes(const TSysEditUserFunctionForm& f)
{
    QList<int> ticked;
    for (int i = 1; i <= TSysEditUserFunctionForm::kFunctions; ++i)
        if (f.cbF[i - 1]->isChecked())
            ticked << i;
    return ticked;
}
}  // namespace

class TestSysEditUserFunction : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    QStringList audit() const { return db->AuditRows(); }
    QStringList rightsOf(const QString& login) const
    {
        return db->Rows("SELECT FunctionID FROM tUserFunction JOIN tUser ON tUser.ID = tUserFunction.UserID "
                        "WHERE UserLogin = '" + QString(login).replace("'", "''") + "' ORDER BY FunctionID");
    }
    // A new session's login check as the operator does it: the login name
    // known, the password typed into the prompt.
    static Rights loginRights(const QString& login, const QString& typedPassword, bool* allowed = nullptr)
    {
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = login;
        auto previous = SetLoginFormHook([&](TLoginForm& form) {
            form.edtPassword->setText(typedPassword);
            return int(QDialog::Accepted);
        });
        TUserRights rights{};
        const bool ok = CheckUserAccess(true, rights);
        SetLoginFormHook(previous);
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = "admin";
        if (allowed)
            *allowed = ok;
        Rights granted;
        for (int i = 0; i < int(rights.size()); ++i)
            if (rights[i])
                granted << i + 1;
        return granted;
    }
    // An editor filled as the main window fills it for operator 3.
    std::unique_ptr<TSysEditUserFunctionForm> editorOfMinh()
    {
        auto f = std::make_unique<TSysEditUserFunctionForm>();
        f->SetUserID(3);
        f->SetUserLogin("mnguyen");
        f->SetPassword("old");
        f->SetFirstName("Minh");
        f->SetSurname("Nguyen");
        f->SetFunction1To16("0000001010000000");  // 7 and 9
        f->SetAppendMode(false);
        return f;
    }
    static void tick(TSysEditUserFunctionForm& f, const Rights& boxes)
    {
        for (int i : boxes)
            f.cbF[i - 1]->setChecked(true);
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(12,'Reference Delete'),"
                 "(13,'Reference Insert');"
                 "INSERT INTO tAudit (\"Table\") VALUES ('tUserFunction');"
                 "INSERT INTO tUser (ID, UserLogin, Password, FirstName, Surname, Active) VALUES "
                 "(1,'admin','adm','Ada','Min',1),(2,'jsmith','js',NULL,'Smith',0),(3,'mnguyen','old','Minh',"
                 "'Nguyen',1),(4,'jxdoe','jx',NULL,NULL,1);"
                 "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (1,7),(1,14),(3,7),(3,9);");
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = " admin ";
    }
    void cleanup() { db.reset(); }

    void flagStrings_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<Rights>("ticked");
        QTest::newRow("sixteen characters") << "1010000000000001" << "1010000000000001" << Rights{1, 3, 16};
        QTest::newRow("a trailing letter is dropped and zeros pad")
            << "101x" << "1010000000000000" << Rights{1, 3};
        QTest::newRow("blanks round the trailing letter") << "  101x " << "1010000000000000" << Rights{1, 3};
        QTest::newRow("padding cuts to sixteen")
            << "11111111111111111111x" << "1111111111111111"
            << Rights{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        QTest::newRow("short digits are kept; missing boxes stay clear") << "101" << "101" << Rights{1, 3};
        QTest::newRow("fifteen characters") << "000000001000000" << "000000001000000" << Rights{9};
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
        tick(f, {2, 5});  // whatever was shown before
        f.SetFunction1To16(given);
        QCOMPARE(f.Function1To16(), stored);
        QCOMPARE(tickedBoxes(f), ticked);
    }

    // A new operator: the row with its password trimmed, its rights, its
    // audit rows naming the row the INSERT made; then a login with the
    // password as typed (blanks round it) gets exactly the boxes ticked.
    void addOperator()
    {
        kvtest::MessageRecorder boxes;
        TSysEditUserFunctionForm f;
        QVERIFY(f.Audited());
        f.SetAppendMode(true);
        QCOMPARE(f.windowTitle(), QString("System Edit: tUserFunction (ADD)"));
        f.edtUserLogin->setText(" o'hara ");
        f.edtPassword->setText("  pa ss  ");
        f.edtFirstName->setText(" Mary-Jo ");
        tick(f, {7, 9, 14});
        QTest::mouseClick(f.btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f.result(), int(mrOk));

        QCOMPARE(db->Rows("SELECT ID || '|' || UserLogin || '|' || Password || '|' || FirstName || '|' || "
                          "ifnull(Surname, 'NULL') || '|' || Active FROM tUser WHERE ID > 4"),
                 QStringList({"5|o'hara|pa ss|Mary-Jo|NULL|1"}));
        QCOMPARE(rightsOf("o'hara"), QStringList({"7", "9", "14"}));
        QCOMPARE(audit(), QStringList({"admin|13|tUser|5|USERLOGIN|NULL|'o''hara'",
                                       "admin|13|tUser|5|FIRSTNAME|NULL|'Mary-Jo'",
                                       "admin|13|tUser|5|ACTIVE|NULL|'1'"}));
        const QVector<QStringList> statements = f.LastStatements();
        QCOMPARE(statements.size(), 1 + 3 + 3);  // the row, its audit rows, three rights
        QCOMPARE(statements.first(), QStringList({"INSERT INTO tUser",
                                                  "(UserLogin, Password, FirstName, Surname, Active)",
                                                  "VALUES ('o''hara','pa ss',", "'Mary-Jo',NULL, 1)"}));
        QCOMPARE(statements.last(), QStringList({"INSERT INTO tUserFunction", "(UserID, FunctionID)", "VALUES (5, 14)"}));

        bool allowed = false;
        QCOMPARE(loginRights("o'hara", "  pa ss  ", &allowed), Rights({7, 9, 14}));
        QVERIFY(allowed);
    }

    // What adding refuses; a login's "%" and "_" match only themselves.
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
        kvtest::MessageRecorder boxes;
        TSysEditUserFunctionForm f;
        f.SetAppendMode(true);
        f.edtUserLogin->setText(login);
        f.edtPassword->setText(password);
        f.btnOkClick();
        QCOMPARE(boxes.Texts(), message.isEmpty() ? QStringList() : QStringList({message}));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser"), message.isEmpty() ? QString("5") : QString("4"));
        QCOMPARE(f.result() == mrOk, message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(boxes.Boxes().first().Type, mtWarning);
            QCOMPARE(f.edtUserLogin->text(), login);
        }
    }

    // Changing an operator: the row written whole with the password trimmed,
    // only the rights that changed, audit rows for what changed; the login
    // then gives the new rights with the new password.
    void changeOperator()
    {
        kvtest::MessageRecorder boxes;
        auto f = editorOfMinh();
        QCOMPARE(f->windowTitle(), QString("System Edit: tUserFunction (EDIT)"));
        QCOMPARE(tickedBoxes(*f), Rights({7, 9}));
        f->edtPassword->setText("  new pw ");
        f->edtSurname->setText("  ");
        f->cbF[13]->setChecked(true);
        f->cbF[8]->setChecked(false);
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->result(), int(mrOk));

        QCOMPARE(db->Rows("SELECT UserLogin || '|' || Password || '|' || FirstName || '|' || "
                          "ifnull(Surname, 'NULL') FROM tUser WHERE ID = 3"),
                 QStringList({"mnguyen|new pw|Minh|NULL"}));
        QCOMPARE(rightsOf("mnguyen"), QStringList({"7", "14"}));
        QCOMPARE(audit(), QStringList({"admin|11|tUser|3|PASSWORD|'old'|'new pw'",
                                       "admin|11|tUser|3|SURNAME|'Nguyen'|NULL",
                                       "admin|11|tUserFunction|3|FUNCTIONID|'9'|NULL",
                                       "admin|11|tUserFunction|3|FUNCTIONID|NULL|'14'"}));
        const QVector<QStringList> statements = f->LastStatements();
        QCOMPARE(statements.size(), 1 + 2 + 2 + 2);
        QCOMPARE(statements[0], QStringList({"UPDATE tUser", "SET UserLogin = 'mnguyen',", "Password = 'new pw',",
                                             " FirstName = 'Minh',", " Surname = NULL", "WHERE id = 3"}));
        QCOMPARE(statements[3], QStringList({"DELETE tUserFunction", "WHERE UserID = 3", "AND FunctionID = 9"}));
        QCOMPARE(statements[4], QStringList({"INSERT INTO tUserFunction", "(UserID, FunctionID)", "VALUES (3, 14)"}));

        QCOMPARE(loginRights("mnguyen", "new pw"), Rights({7, 14}));
    }

    void changeChecks_data()
    {
        QTest::addColumn<int>("userId");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("message");
        const QString exists = "This Operator already exists in the table.";
        const QString badId = "Invalid UserID value - Must be positive.";
        QTest::newRow("another operator's login") << 3 << "Admin" << exists;
        QTest::newRow("an inactive operator's login") << 3 << "jsmith" << exists;
        QTest::newRow("its own login, other letter case") << 3 << "MNguyen" << QString();
        QTest::newRow("a quote in the login") << 3 << "m'nguyen" << QString();
        QTest::newRow("no operator id") << -1 << "mnguyen" << badId;
        QTest::newRow("operator id 0") << 0 << "mnguyen" << badId;
    }
    void changeChecks()
    {
        QFETCH(int, userId);
        QFETCH(QString, login);
        QFETCH(QString, message);
        kvtest::MessageRecorder boxes;
        TSysEditUserFunctionForm f;
        if (userId >= 0)
            f.SetUserID(userId);
        f.SetUserLogin("mnguyen");
        f.SetPassword("old");
        f.SetAppendMode(false);
        f.edtUserLogin->setText(login);
        f.btnOkClick();
        QCOMPARE(boxes.Texts(), message.isEmpty() ? QStringList() : QStringList({message}));
        QCOMPARE(db->Value("SELECT UserLogin FROM tUser WHERE ID = 3"), message.isEmpty() ? login : "mnguyen");
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser"), QString("4"));
    }

    // A right that cannot be written takes the new operator with it; the
    // window keeps the input, and the next Save adds the operator once.
    void failingRightLeavesNoOperator()
    {
        db->Exec("CREATE TRIGGER refuse14 BEFORE INSERT ON tUserFunction WHEN NEW.FunctionID = 14 "
                 "BEGIN SELECT RAISE(ABORT, 'right refused'); END;");
        kvtest::MessageRecorder boxes;
        TSysEditUserFunctionForm f;
        f.SetAppendMode(true);
        f.edtUserLogin->setText("tnew");
        f.edtPassword->setText("pw");
        tick(f, {7, 14});
        f.btnOkClick();
        QCOMPARE(boxes.Count(), 1);
        QVERIFY(boxes.Texts().first().contains("right refused"));
        QVERIFY(f.result() != mrOk);
        QVERIFY(!f.Wrote());
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser WHERE UserLogin = 'tnew'"), QString("0"));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUserFunction"), QString("4"));
        QCOMPARE(audit(), QStringList());
        QCOMPARE(f.edtUserLogin->text(), QString("tnew"));

        db->Exec("DROP TRIGGER refuse14;");
        f.btnOkClick();
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(f.result(), int(mrOk));
        QCOMPARE(rightsOf("tnew"), QStringList({"7", "14"}));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser WHERE UserLogin = 'tnew'"), QString("1"));
    }

    // A new operator that is not there (active) after its INSERT gets no
    // rights: the whole save goes back with a message.
    void newOperatorNotFoundAgain()
    {
        db->Exec("CREATE TRIGGER retire AFTER INSERT ON tUser BEGIN UPDATE tUser SET Active = 0 WHERE ID = NEW.ID; "
                 "END;");
        kvtest::MessageRecorder boxes;
        TSysEditUserFunctionForm f;
        f.SetAppendMode(true);
        f.edtUserLogin->setText("ghost");
        f.edtPassword->setText("pw");
        tick(f, {7});
        f.btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList({"The new operator could not be found after it was added, so its rights "
                                             "cannot be written. Nothing has been saved."}));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser"), QString("4"));
        QCOMPARE(audit(), QStringList());
        QVERIFY(f.result() != mrOk);
    }

    // One change through the ODBC route (to SQLite through its ODBC
    // driver): the operator's row, a right removed with "DELETE
    // tUserFunction" and one granted, and their audit rows.
    void changeThroughOdbc()
    {
        db.reset();
        kvtest::TestDatabase file(true, "dbFile");
        file.Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(13,'Reference Insert');"
                  "INSERT INTO tAudit (\"Table\") VALUES ('tUserFunction');"
                  "INSERT INTO tUser (ID, UserLogin, Password, FirstName, Surname, Active) VALUES "
                  "(3,'mnguyen','old','Minh','Nguyen',1);"
                  "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (3,7),(3,9);");
        QTemporaryDir odbcDir;
        if (!kvtest::DefineSqliteOdbcDsn(odbcDir.path(), "kvoperators", file.File()))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        TDatabase odbc;
        odbc.DatabaseName = "dbKVdata";
        odbc.AliasName = "kvoperators";
        odbc.LoginPrompt = false;
        odbc.SetConnected(true);
        QVERIFY(!odbc.IsEmbedded());
        kvtest::MessageRecorder boxes;
        {
            auto f = editorOfMinh();
            f->edtPassword->setText(" it's new ");
            f->cbF[8]->setChecked(false);
            f->cbF[13]->setChecked(true);
            f->btnOkClick();
            QCOMPARE(boxes.Texts(), QStringList());
            QCOMPARE(f->result(), int(mrOk));
        }
        odbc.SetConnected(false);
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
