#include "EditDispatch.h"
#include "MainFixture.h"
#include "RecordEditor.h"
#include "SysEditUserFunction.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

// The pages of the operator, batch type, customer and supplier editors: what
// the main window copies from the current row into each editor, and saves
// made from the pages themselves.
class TestEditWiring : public QObject {
    Q_OBJECT
    kvtest::MainFixture fx;

    // Opens the page and makes the row with that key current.
    TQuery* openAt(int pageId, const QString& key, int id)
    {
        if (!fx.Open(pageId))
            return nullptr;
        TQuery* q = fx.form->CurrentQuery(pageId);
        return q->Locate(key, id) ? q : nullptr;
    }
    // The program again on the same database, as operator `operatorId`.
    void restartAs(const QString& operatorId)
    {
        fx.form.reset();
        fx.dm.reset();
        DM = nullptr;
        Operator() = TOperatorIdentity();
        fx.dm = std::make_unique<TDM>();
        DM = fx.dm.get();
        fx.dm->DMCreate();
        fx.form = std::make_unique<TMainForm>(QStringList{operatorId});
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init() { fx.Start({"1"}); }
    void cleanup()
    {
        TRecordEditor::SetShowModalHook(nullptr);
        fx.Stop();
    }

    // ---------------------------------------------------------- operators

    // The rights reach the editor as one flag string, character i for
    // function i.
    void operatorRights_data()
    {
        QTest::addColumn<QList<int>>("functions");
        QTest::addColumn<QString>("flags");
        QTest::newRow("none") << QList<int>{} << "0000000000000000";
        QTest::newRow("first, third and last") << QList<int>{1, 3, 16} << "1010000000000001";
        QTest::newRow("the four this program reads") << QList<int>{7, 9, 14, 15} << "0000001010000110";
        QTest::newRow("all") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}
                             << "1111111111111111";
    }
    void operatorRights()
    {
        QFETCH(QList<int>, functions);
        QFETCH(QString, flags);
        QString rows;
        for (int f : functions)
            rows += QString("%1(40,%2)").arg(rows.isEmpty() ? "" : ",").arg(f);
        fx.db->Exec("INSERT INTO tUser (ID, UserLogin, Password, FirstName, Surname, Active) VALUES "
                    "(40,' spaced ',' pw ',' Fay ',' Lin ',1);" +
                    (rows.isEmpty() ? QString() : "INSERT INTO tUserFunction (UserID, FunctionID) VALUES " + rows + ";"));
        QVERIFY(openAt(1082, "UserID", 40));
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditUserFunctionForm&>(e);
            seen << f.Function1To16() << QString::number(f.UserID()) << "[" + f.UserLogin() + "]"
                 << "[" + f.Password() + "]" << "[" + f.FirstName() + "]" << "[" + f.Surname() + "]"
                 << QString::number(f.AppendMode());
            return int(mrCancel);
        });
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(seen, QStringList({flags, "40", "[ spaced ]", "[pw]", "[Fay]", "[Lin]", "0"}));
    }

    // An operator without a login opens with an empty one.
    void operatorWithoutLogin()
    {
        fx.db->Exec("UPDATE tUser SET UserLogin = NULL WHERE ID = 9;");
        QVERIFY(openAt(1082, "UserID", 9));
        kvtest::MessageRecorder boxes;
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditUserFunctionForm&>(e);
            seen << "[" + f.UserLogin() + "]" << f.Surname();
            return int(mrCancel);
        });
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(seen, QStringList({"[]", "Guest"}));
    }

    // Rights given from the page are the operator's rights in the next
    // session; an operator added from the page can log in with them.
    void operatorSavedFromThePage()
    {
        QVERIFY(openAt(1082, "UserID", 2));
        TRecordEditor::SetShowModalHook([](TRecordEditor& e) {
            auto& f = static_cast<TSysEditUserFunctionForm&>(e);
            f.cbF[8]->setChecked(true);
            f.cbF[13]->setChecked(true);
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 0);
        TQuery* q = fx.form->CurrentQuery(1082);
        QCOMPARE(q->FieldByName("UserID")->AsInteger(), 2);
        QCOMPARE(q->FieldByName("F14")->AsInteger(), 14);

        // Adding without the current row: a blank editor.
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditUserFunctionForm&>(e);
            seen << f.windowTitle() << f.UserLogin() << f.Function1To16();
            f.edtUserLogin->setText("newop");
            f.edtPassword->setText("pw");
            f.cbF[6]->setChecked(true);
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        boxes.Answer(mrNo);
        fx.form->btnAddClick();
        QCOMPARE(boxes.Texts(), QStringList({"Use the present data as a starting point?"}));
        QCOMPARE(seen, QStringList({"System Edit: tUserFunction (ADD)", "", "0000000000000000"}));

        restartAs("2");
        for (int right = 1; right <= 17; ++right)
            QVERIFY2(HasRight(right) == (right == 7 || right == 9 || right == 14), qPrintable(QString::number(right)));
        const QString newId = fx.db->Value("SELECT ID FROM tUser WHERE UserLogin = 'newop'");
        restartAs(newId);
        for (int right = 1; right <= 17; ++right)
            QVERIFY2(HasRight(right) == (right == 7), qPrintable(QString::number(right)));
    }
};

KV_TEST_MAIN(TestEditWiring)
#include "tst_editwiring.moc"
