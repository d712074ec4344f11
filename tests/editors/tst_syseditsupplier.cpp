#include "OperatorIdentity.h"
#include "SysEditSupplier.h"
#include "TestSupport.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

// The supplier editor: the statements adding and changing a supplier write,
// line by line, with their audit rows naming the right row.
class TestSysEditSupplier : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    // Supplier 5 as the main window gives it to the editor.
    std::unique_ptr<TSysEditSupplierForm> editorOf5()
    {
        auto f = std::make_unique<TSysEditSupplierForm>();
        f->SetSupplierID("5");
        f->SetSupplierName("Corvane Mobile");
        f->SetPlatinumVendorID("CORVMOB01");
        f->SetActive(true);
        f->SetPlatinumUpdate(true);
        f->SetZivIruri(false);
        f->SetAddress(1, "PO Box 1500");
        f->SetAddress(2, "CHIPPERTON");
        for (int n = 3; n <= 6; ++n)
            f->SetAddress(n, QString());
        f->SetAppendMode(false);
        return f;
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(12,'Reference Delete'),"
                 "(13,'Reference Insert');"
                 "INSERT INTO tAudit (\"Table\") VALUES ('tSupplier');"
                 "INSERT INTO tSupplier (ID, SupplierName, Active, PlatinumVendorID, PlatinumUpdate, Ziviruri, "
                 "Address01, Address02) VALUES (5,'Corvane Mobile',1,'CORVMOB01',1,0,'PO Box 1500','CHIPPERTON'),"
                 "(6,'Corvane%',1,NULL,0,0,NULL,NULL);");
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = "admin";
    }
    void cleanup() { db.reset(); }

    // An addition with every kind of value: a quote in the name, a name that
    // other suppliers share (and that reads as a pattern), addresses.
    void add()
    {
        kvtest::MessageRecorder boxes;
        TSysEditSupplierForm f;
        f.SetAppendMode(true);
        QCOMPARE(f.windowTitle(), QString("System Table: tSupplier (ADD)"));
        f.edtSupplierName->setText(" Corvane% ");
        f.edtPlatinumVendorID->setText("O'VEND");
        f.ckZivIruri->setChecked(true);
        f.edtAddress[1]->setText("Level 4");
        f.edtAddress[4]->setText("Accounts");
        QTest::mouseClick(f.btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f.result(), int(mrOk));
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tSupplier", "(SupplierName, PlatinumVendorID, Active,",
                              "PlatinumUpdate, ZivIruri,", " Address02,", " Address05)",
                              "VALUES ('Corvane%','O''VEND',1,", "0,1,", " 'Level 4',", " 'Accounts')"}));
        QCOMPARE(db->AuditRows(), QStringList({"admin|13|tSupplier|7|SUPPLIERNAME|NULL|'Corvane%'",
                                               "admin|13|tSupplier|7|PLATINUMVENDORID|NULL|'O''VEND'",
                                               "admin|13|tSupplier|7|ACTIVE|NULL|'1'",
                                               "admin|13|tSupplier|7|PLATINUMUPDATE|NULL|'0'",
                                               "admin|13|tSupplier|7|ZIVIRURI|NULL|'1'",
                                               "admin|13|tSupplier|7|ADDRESS02|NULL|'Level 4'",
                                               "admin|13|tSupplier|7|ADDRESS05|NULL|'Accounts'"}));
        QCOMPARE(db->Value("SELECT SupplierName || '|' || PlatinumVendorID || '|' || Ziviruri FROM tSupplier "
                           "WHERE ID = 7"),
                 QString("Corvane%|O'VEND|1"));
    }

    // From the defaults: no name, no vendor id, Active 1, both switches 0,
    // no addresses. A name longer than its column is cut, and the audit
    // rows still name the new row.
    void addFromDefaults()
    {
        kvtest::MessageRecorder boxes;
        TSysEditSupplierForm f;
        f.SetAppendMode(true);
        f.btnOkClick();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tSupplier", "(SupplierName, PlatinumVendorID, Active,",
                              "PlatinumUpdate, ZivIruri)", "VALUES (NULL,NULL,1,", "0,0)"}));
        QCOMPARE(db->Value("SELECT quote(SupplierName) || quote(PlatinumVendorID) || Active || PlatinumUpdate || "
                           "Ziviruri FROM tSupplier WHERE ID = 7"),
                 QString("NULLNULL100"));

        TSysEditSupplierForm g;
        g.SetAppendMode(true);
        g.edtSupplierName->setText(QString(60, 'n'));
        g.btnOkClick();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(db->Value("SELECT length(SupplierName) FROM tSupplier WHERE ID = 8"), QString("50"));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tAuditTrail WHERE TableID = 8"), QString("4"));
    }

    // A change: the name and switches always, the vendor id and addresses
    // only when changed; audit rows for what changed.
    void change()
    {
        kvtest::MessageRecorder boxes;
        auto f = editorOf5();
        QCOMPARE(f->edtID->text(), QString("5"));
        f->edtPlatinumVendorID->clear();
        f->ckPlatinumUpdate->setChecked(false);
        f->edtAddress[0]->setText("PO Box 1600");
        f->edtAddress[5]->setText("it's here");
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tSupplier", " SET SupplierName = 'Corvane Mobile', PlatinumVendorID = NULL,",
                              " PlatinumUpdate = 0, ZivIruri = 0,", " Address01 = 'PO Box 1600',",
                              " Address06 = 'it''s here'", "WHERE id = 5"}));
        QCOMPARE(db->AuditRows(), QStringList({"admin|11|tSupplier|5|PLATINUMVENDORID|'CORVMOB01'|NULL",
                                               "admin|11|tSupplier|5|PLATINUMUPDATE|'1'|'0'",
                                               "admin|11|tSupplier|5|ADDRESS01|'PO Box 1500'|'PO Box 1600'",
                                               "admin|11|tSupplier|5|ADDRESS06|NULL|'it''s here'"}));
        QCOMPARE(db->Value("SELECT ifnull(PlatinumVendorID, 'NULL') || '|' || PlatinumUpdate || '|' || Address06 "
                           "FROM tSupplier WHERE ID = 5"),
                 QString("NULL|0|it's here"));
    }
};

KV_TEST_MAIN(TestSysEditSupplier)
#include "tst_syseditsupplier.moc"
