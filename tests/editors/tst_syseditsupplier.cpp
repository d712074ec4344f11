#include "EditorSupport.h"
#include "SysEditSupplier.h"

// The supplier editor: the statements adding and changing a supplier write,
// line by line, with their audit rows naming the right row.
class TestSysEditSupplier : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = kvtest::EditorDatabase(
            {"tSupplier"},
            "INSERT INTO tSupplier (ID, SupplierName, Active, PlatinumVendorID, PlatinumUpdate, Ziviruri, Address01, "
            "Address02) VALUES (5,'Corvane Mobile',1,'CORVMOB01',1,0,'PO Box 1500','CHIPPERTON'),"
            "(6,'Corvane%',1,NULL,0,0,NULL,NULL)");
    }
    void cleanup() { db.reset(); }

    // An addition with every kind of value: a quote in the name, a name that
    // other suppliers share (and that reads as a pattern), addresses. A name
    // longer than its column is cut, and the audit rows still name the row.
    void add()
    {
        TSysEditSupplierForm f;
        f.SetAppendMode(true);
        QCOMPARE(f.windowTitle(), QString("System Table: tSupplier (ADD)"));
        kvtest::Enter(f, {"edtSupplierName= Corvane% ", "edtPlatinumVendorID=O'VEND", "ckZivIruri=1",
                          "edtAddress02=Level 4", "edtAddress05=Accounts"});
        KV_EXPECT_SAVED(f);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tSupplier", "(SupplierName, PlatinumVendorID, Active,",
                              "PlatinumUpdate, ZivIruri,", " Address02,", " Address05)",
                              "VALUES ('Corvane%','O''VEND',1,", "0,1,", " 'Level 4',", " 'Accounts')"}));
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("admin|13|tSupplier|7|",
                                                   {"SUPPLIERNAME|NULL|'Corvane%'", "PLATINUMVENDORID|NULL|'O''VEND'",
                                                    "ACTIVE|NULL|'1'", "PLATINUMUPDATE|NULL|'0'", "ZIVIRURI|NULL|'1'",
                                                    "ADDRESS02|NULL|'Level 4'", "ADDRESS05|NULL|'Accounts'"}));
        QCOMPARE(db->Value("SELECT SupplierName || '|' || PlatinumVendorID || '|' || Ziviruri FROM tSupplier "
                           "WHERE ID = 7"),
                 QString("Corvane%|O'VEND|1"));

        TSysEditSupplierForm g;
        g.SetAppendMode(true);
        g.edtSupplierName->setText(QString(60, 'n'));
        KV_EXPECT_SAVED(g);
        QCOMPARE(db->Value("SELECT length(SupplierName) FROM tSupplier WHERE ID = 8"), QString("50"));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tAuditTrail WHERE TableID = 8"), QString("4"));
    }

    // A change: the name and switches always, the vendor id and addresses
    // only when changed; audit rows for what changed.
    void change()
    {
        TSysEditSupplierForm f;
        f.SetSupplierID("5");
        f.SetSupplierName("Corvane Mobile");
        f.SetPlatinumVendorID("CORVMOB01");
        f.SetActive(true);
        f.SetPlatinumUpdate(true);
        f.SetZivIruri(false);
        f.SetAddress(1, "PO Box 1500");
        f.SetAddress(2, "CHIPPERTON");
        f.SetAppendMode(false);
        QCOMPARE(f.edtID->text(), QString("5"));
        kvtest::Enter(f, {"edtPlatinumVendorID=", "ckPlatinumUpdate=0", "edtAddress01=PO Box 1600",
                          "edtAddress06=it's here"});
        KV_EXPECT_SAVED(f);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"UPDATE tSupplier", " SET SupplierName = 'Corvane Mobile', PlatinumVendorID = NULL,",
                              " PlatinumUpdate = 0, ZivIruri = 0,", " Address01 = 'PO Box 1600',",
                              " Address06 = 'it''s here'", "WHERE id = 5"}));
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("admin|11|tSupplier|5|",
                                                   {"PLATINUMVENDORID|'CORVMOB01'|NULL", "PLATINUMUPDATE|'1'|'0'",
                                                    "ADDRESS01|'PO Box 1500'|'PO Box 1600'",
                                                    "ADDRESS06|NULL|'it''s here'"}));
        QCOMPARE(db->Value("SELECT quote(PlatinumVendorID) || '|' || PlatinumUpdate || '|' || Address06 "
                           "FROM tSupplier WHERE ID = 5"),
                 QString("NULL|0|it's here"));
    }
};

KV_TEST_MAIN(TestSysEditSupplier)
#include "tst_syseditsupplier.moc"
