#include "EditDispatch.h"
#include "MainFixture.h"
#include "RecordEditor.h"
#include "LookupCombo.h"
#include "CurrEdit.h"
#include "SysEditBatchType.h"
#include "SysEditCustomer.h"
#include "SysEditSupplier.h"
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

    // ---------------------------------------------------------- batch types

    // The tests reach the editor as two strings of fifteen characters.
    void batchTypeTests_data()
    {
        QTest::addColumn<QString>("critical");  // per column: 1, 0 or N (Null)
        QTest::addColumn<QString>("dubious");
        QTest::addColumn<QString>("criticalFlags");
        QTest::addColumn<QString>("dubiousFlags");
        QTest::newRow("CriticalCheck09 alone") << "000000001000000" << "000000000000000" << "000000001000000"
                                               << "000000000000000";
        QTest::newRow("every dubious check") << "000000000000000" << "111111111111111" << "000000000000000"
                                             << "111111111111111";
        QTest::newRow("first and last, Null as false") << "1NNNNNNNNNNNNN1" << "N1000000000000N" << "100000000000001"
                                                       << "010000000000000";
    }
    void batchTypeTests()
    {
        QFETCH(QString, critical);
        QFETCH(QString, dubious);
        QFETCH(QString, criticalFlags);
        QFETCH(QString, dubiousFlags);
        QStringList set;
        for (int n = 1; n <= 15; ++n) {
            auto value = [](QChar c) { return c == 'N' ? QString("NULL") : QString(c); };
            set << QString("CriticalCheck%1 = %2").arg(n, 2, 10, QChar('0')).arg(value(critical[n - 1]))
                << QString("DubiousCheck%1 = %2").arg(n, 2, 10, QChar('0')).arg(value(dubious[n - 1]));
        }
        fx.db->Exec("UPDATE tBatchType SET " + set.join(", ") + " WHERE ID = 2;");
        QVERIFY(openAt(1012, "id", 2));
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditBatchTypeForm&>(e);
            seen << f.Critical1To15() << f.Dubious1To15();
            return int(mrCancel);
        });
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(seen, QStringList({criticalFlags, dubiousFlags}));
    }

    // A row copied into the editor: its ids where set, every flag, every
    // name (also of a flag switched off), its variables; OK writes it back
    // unharmed and the page finds the row again. Adding shows no id.
    void batchTypeFromThePage()
    {
        fx.db->Exec("UPDATE tBatchType SET TotalCredits = 0, TotalCreditsName = 'Kept credits', ProgramID = NULL, "
                    "Var02Description = ' Originating area ' WHERE ID = 2;");
        QVERIFY(openAt(1012, "id", 2));
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            using F = TSysEditBatchTypeForm;
            auto& f = static_cast<F&>(e);
            seen << f.windowTitle() << f.edtID->text() << f.Description() << QString::number(f.SupplierID())
                 << QString::number(f.DataSourceTypeID()) << QString::number(f.ProgramID())
                 << f.cbProgram->currentText() << QString::number(f.Flag(F::AccountNo)) << f.FlagName(F::AccountNo)
                 << QString::number(f.Flag(F::TotalCredits)) << f.FlagName(F::TotalCredits)
                 << QString::number(f.Flag(F::RentDates)) << QString::number(f.Flag(F::MultiManual))
                 << f.edtVar[0]->text() << f.edtVar[1]->text();
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(seen, QStringList({"System Table: tBatchType (EDIT)", "2", "Brellink freecall and 1300", "1", "1",
                                    "0", "", "1", "Account", "0", "Kept credits", "1", "0", "Answer point",
                                    "Originating area"}));
        QCOMPARE(fx.form->CurrentQuery(1012)->FieldByName("id")->AsInteger(), 2);
        QCOMPARE(fx.db->Value("SELECT TotalCreditsName || '|' || ifnull(ProgramID, 'NULL') FROM tBatchType "
                              "WHERE ID = 2"),
                 QString("Kept credits|NULL"));
        QCOMPARE(fx.db->Value("SELECT COUNT(*) FROM tAuditTrail WHERE TableName = 'tBatchType'"), QString("0"));

        seen.clear();
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditBatchTypeForm&>(e);
            QStringList critical;
            for (QCheckBox* box : f.ckCritical)
                critical << QString::number(box->isChecked());
            seen << f.windowTitle() << "[" + f.edtID->text() + "]" << f.Description() << critical.join("");
            return int(mrCancel);
        });
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        boxes.Answer(mrNo);
        fx.form->btnAddClick();
        QCOMPARE(seen, QStringList({"System Table: tBatchType (ADD)", "[]", "Brellink freecall and 1300",
                                    "111100101100000", "System Table: tBatchType (ADD)", "[]", "",
                                    "100000001100000"}));
    }

    // ---------------------------------------------------------- customers

    // The row reaches the editor value by value; a changed status is saved
    // with its audit row and the page finds the row again.
    void customerFromThePage()
    {
        fx.db->Exec("UPDATE tCustomer SET Rate = NULL, Address05 = 'Level 3' WHERE ID = 3;");
        const QString lastAudit = fx.db->Value("SELECT MAX(AuditID) FROM tAuditTrail");
        QVERIFY(openAt(1016, "id", 3));
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditCustomerForm&>(e);
            seen << f.windowTitle() << f.edtID->text() << f.ShipTo() << f.FullName() << f.VNumber() << f.Status()
                 << f.edtRate->text() << QString::number(f.MaxExServiceAmount()) << QString::number(f.Active())
                 << QString::number(f.PlatinumUpdate()) << QString::number(f.Invoice())
                 << QString::number(f.InvoiceServices()) << f.Address(1) << f.Address(5);
            f.edtStatus->setText("Closed");
            f.edtRate->setText("2");
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(seen, QStringList({"System Table: tCustomer (EDIT)", "3", "TRSY", "Treasury and Finance", "V1000102",
                                    "Agency", "0", "8000", "1", "1", "1", "0", "1 Government Place", "Level 3"}));
        QCOMPARE(fx.form->CurrentQuery(1016)->FieldByName("id")->AsInteger(), 3);
        QCOMPARE(fx.db->Value("SELECT Status || '|' || Rate FROM tCustomer WHERE ID = 3"), QString("Closed|2"));
        QCOMPARE(fx.db->Rows("SELECT FieldName || '|' || ifnull(OldValue, 'NULL') || '|' || NewValue FROM tAuditTrail "
                             "WHERE AuditID > " + lastAudit),
                 QStringList({"STATUS|Agency|Closed", "RATE|0|2"}));
    }

    // ---------------------------------------------------------- suppliers

    // The row reaches the editor value by value; a change is saved with
    // its audit rows and the page finds the row again.
    void supplierFromThePage()
    {
        fx.db->Exec("UPDATE tSupplier SET Ziviruri = 1, Address06 = 'Rear entrance' WHERE ID = 2;");
        const QString lastAudit = fx.db->Value("SELECT MAX(AuditID) FROM tAuditTrail");
        QVERIFY(openAt(1066, "id", 2));
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditSupplierForm&>(e);
            seen << f.windowTitle() << f.edtID->text() << f.SupplierName() << f.PlatinumVendorID()
                 << QString::number(f.Active()) << QString::number(f.PlatinumUpdate())
                 << QString::number(f.ZivIruri()) << f.Address(1) << f.Address(4) << f.Address(6);
            f.edtSupplierName->setText("Corvane Mobile Pty");
            f.ckZivIruri->setChecked(false);
            QTest::mouseClick(f.btnOk, Qt::LeftButton);
            return f.result();
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(seen, QStringList({"System Table: tSupplier (EDIT)", "2", "Corvane Mobile", "CORVMOB01", "1", "1",
                                    "1", "PO Box 1500", "", "Rear entrance"}));
        QCOMPARE(fx.form->CurrentQuery(1066)->FieldByName("id")->AsInteger(), 2);
        QCOMPARE(fx.db->Value("SELECT SupplierName || '|' || Ziviruri FROM tSupplier WHERE ID = 2"),
                 QString("Corvane Mobile Pty|0"));
        QCOMPARE(fx.db->Rows("SELECT FieldName || '|' || OldValue || '|' || NewValue FROM tAuditTrail "
                             "WHERE AuditID > " + lastAudit),
                 QStringList({"SUPPLIERNAME|Corvane Mobile|Corvane Mobile Pty", "ZIVIRURI|1|0"}));
    }
};

KV_TEST_MAIN(TestEditWiring)
#include "tst_editwiring.moc"
