#include "AccessRightsSys.h"
#include "DataMod.h"
#include "IniFiles.h"
#include "LoginFrm.h"
#include "TestSupport.h"
#include <QFile>
#include <algorithm>
#include <functional>
#include <QLineEdit>
#include <QPushButton>

// Operator login, rights and the log-on and log-off stamps, on their own.
class TestAccess : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;
    QString password;  // what the operator types at the prompt
    QString pasted;    // what the operator pastes there instead

    void setLogin(const QString& getLog)
    {
        QFile::remove(SettingsFileName());
        TIniFile(SettingsFileName()).WriteString("General", "GetLog", getLog);
    }

private slots:
    void initTestCase()
    {
        SetLoginFormHook([this](TLoginForm& form) {
            form.show();
            QTest::keyClicks(form.edtPassword, password);
            if (!pasted.isNull())
                form.edtPassword->setText(pasted);
            QTest::mouseClick(form.btnOK, Qt::LeftButton);
            return form.result();
        });
    }
    void init()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("INSERT INTO tUser (ID, UserLogin, FirstName, Surname, Password, Active) VALUES "
                 "(1,'a_b','Al','Bee','pw',1),(2,'axb','Ax','Bee','pw',1),(3,'a%','Pat','Cent','pw',1),"
                 "(4,'abc',NULL,'Solo','pw',1),(5,'x','X','Y','pw',0);"
                 "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (1,7),(1,14),(1,30),(2,7),(3,7),(4,14);");
        Operator() = TOperatorIdentity();
        password.clear();
        pasted = QString();
    }

    void loginNamesMatchOnlyThemselves()
    {
        QString id;
        StampLastLoggedOn("A_B", id);  // lower-cased, and _ is no wildcard
        QCOMPARE(id, QString("1"));
        QCOMPARE(db->Rows("SELECT ID, LastLoggedOn FROM tUser WHERE LastLoggedOn IS NOT NULL"),
                 QStringList({"1|20260305 14:07:09"}));
        StampLastLoggedOn("a%x", id);
        QCOMPARE(id, QString("0"));
        StampLastLoggedOn("  Unknown ", id);
        QCOMPARE(id, QString("0"));
    }

    // The statement that finds the operator by login: the login exactly, an
    // active row only, and the password only when one was asked for.
    void byNameStatement_data()
    {
        QTest::addColumn<QString>("getLog");
        QTest::addColumn<int>("startedWith");  // operator id on the command line, 0 for none
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("found");  // operator number, 0 for refused
        QTest::newRow("trusted, login of another case") << "0" << 0 << "AXB" << "" << 2;
        QTest::newRow("trusted, % is no wildcard") << "0" << 0 << "a%b" << "" << 0;
        QTest::newRow("trusted, inactive login") << "0" << 0 << "x" << "" << 0;
        QTest::newRow("password, wrong one") << "1" << 0 << "axb" << "pw2" << 0;
        QTest::newRow("password, inactive operator") << "1" << 0 << "x" << "pw" << 0;
        QTest::newRow("started with an id: no password") << "1" << 2 << "" << "wrong" << 2;
    }
    void byNameStatement()
    {
        QFETCH(QString, getLog);
        QFETCH(int, startedWith);
        QFETCH(QString, login);
        QFETCH(QString, typed);
        QFETCH(int, found);
        setLogin(getLog);
        Operator().SetOperatorName(login);
        Operator().SetOperatorNumber(startedWith);
        password = typed;
        kvtest::MessageRecorder boxes;
        TUserRights rights{};
        const bool granted = CheckUserAccess(startedWith == 0, rights);
        QCOMPARE(Operator().OPERATORNUMBER, found == 0 ? startedWith : found);
        QCOMPARE(granted, found != 0);
        QCOMPARE(boxes.Texts(), found ? QStringList() : QStringList({"User and Password not found. Access is denied."}));
    }

    void passwordModeRights()
    {
        setLogin("1");
        Operator().SetOperatorName("a_b");
        password = "pw";
        TUserRights rights;
        rights.fill(true);
        QVERIFY(CheckUserAccess(true, rights));
        for (int fn = 1; fn <= 17; ++fn)
            QCOMPARE(rights[fn - 1], fn == 7 || fn == 14);  // function 30 grants nothing
        QCOMPARE(Operator().OPERATORFULLNAME, QString("Al Bee"));
    }

    void hostilePasswords()
    {
        setLogin("1");
        TUserRights rights{};
        Operator().SetOperatorName("a_b");
        pasted = QString(QChar(0xD83D)) + "' OR 1=1 --";  // half an emoji, then a break-out
        {
            kvtest::MessageRecorder boxes;
            QVERIFY(!CheckUserAccess(true, rights));
            QCOMPARE(boxes.Texts(), QStringList({"User and Password not found. Access is denied."}));
        }
        pasted = QString("pw") + QChar(0) + "' OR 1=1 --";
        try {
            CheckUserAccess(true, rights);
            QFAIL("a password holding NUL reached the engine");
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.Message().contains("NUL character"), qPrintable(e.Message()));
        }
        QCOMPARE(Operator().OPERATORNUMBER, 0);

        TLoginForm form;  // the boxes take no more than tUser's 50 characters
        form.edtName->setText(QString(60, 'n'));
        form.edtPassword->setText(QString(16385, 'p'));
        QCOMPARE(form.edtName->text().size(), 50);
        QCOMPARE(form.edtPassword->text().size(), 50);
    }

    // An operator whose id is beyond 32 bits is refused with a message
    // naming it, before anything is stamped and with no rights at all: cut
    // to 32 bits, 2^32+1 would be operator 1, with operator 1's rights.
    void operatorIdBeyond32Bits()
    {
        db->Exec("INSERT INTO tUser (ID, UserLogin, FirstName, Surname, Password, Active) VALUES "
                 "(4294967297,'wide','Wy','De','pw',1);"
                 "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (4294967297,2);");
        const auto refused = [](const std::function<void()>& login) {
            try {
                login();
            } catch (const ERangeError& e) {
                return e.Message();
            }
            return QString("let in");
        };
        QString id = "unset";
        QCOMPARE(refused([&] { StampLastLoggedOn("wide", id); }),
                 QString("The value 4294967297 of ID is too large for this program."));
        QCOMPARE(id, QString("unset"));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser WHERE LastLoggedOn IS NOT NULL"), QString("0"));
        setLogin("1");
        Operator().SetOperatorName("wide");
        password = "pw";
        TUserRights rights{};
        QCOMPARE(refused([&] { CheckUserAccess(true, rights); }),
                 QString("The value 4294967297 of ID is too large for this program."));
        QCOMPARE(Operator().OPERATORNUMBER, 0);
        QCOMPARE(std::count(rights.begin(), rights.end(), true), 0);
    }

    void logOffStamp()
    {
        StampLastLoggedOff("0");
        StampLastLoggedOff("2 OR 1=1");  // only an id goes into the statement
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tUser WHERE LastLoggedOff IS NOT NULL"), QString("0"));
        StampLastLoggedOff(" 2 ");
        QCOMPARE(db->Rows("SELECT ID, LastLoggedOff FROM tUser WHERE LastLoggedOff IS NOT NULL"),
                 QStringList({"2|20260305 14:07:09"}));
    }
};

KV_TEST_MAIN(TestAccess)
#include "tst_access.moc"
