#include "CurrEdit.h"
#include "Locale.h"
#include "OperatorIdentity.h"
#include "SysEditCustomer.h"
#include "TestSupport.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

// The customer editor: the statements adding and changing a customer write,
// line by line, with their audit rows; a changed status is stored; amounts
// are written with "." whatever the regional settings; a rate that is not a
// number stops the save with nothing written.
class TestSysEditCustomer : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    // Customer 20 as the main window gives it to the editor.
    std::unique_ptr<TSysEditCustomerForm> editorOf20()
    {
        auto f = std::make_unique<TSysEditCustomerForm>();
        f->SetCustomerID("20");
        f->SetShipTo("HLTH");
        f->SetFullName("Department of Health");
        f->SetVNumber("V1000231");
        f->SetActive(true);
        f->SetStatus("Agency");
        f->SetRate(1);
        f->SetMaxExServiceAmount(25000);
        f->SetPlatinumUpdate(false);
        f->SetInvoice(true);
        f->SetInvoiceServices(true);
        f->SetAddress(1, "Health House");
        f->SetAddress(2, "73 Carrington St");
        for (int n = 3; n <= 6; ++n)
            f->SetAddress(n, QString());
        f->SetAppendMode(false);
        return f;
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(12,'Reference Delete'),"
                 "(13,'Reference Insert');"
                 "INSERT INTO tAudit (\"Table\") VALUES ('tCustomer');"
                 "INSERT INTO tCustomer (ID, ShipTo, FullName, VNumber, Address01, Address02, Status, Rate, Invoice, "
                 "InvoiceServices, PlatinumUpdate, Active, MaxExServiceAmount) VALUES (20,'HLTH','Department of "
                 "Health','V1000231','Health House','73 Carrington St','Agency',1,1,1,0,1,25000);");
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = "admin";
    }
    void cleanup()
    {
        db.reset();
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
    }

    // One addition with every kind of value, under both decimal separators:
    // the lines, the row, and audit rows naming the row the INSERT made.
    void add_data()
    {
        QTest::addColumn<QChar>("decimalSeparator");
        QTest::newRow("decimal point") << QChar('.');
        QTest::newRow("decimal comma") << QChar(',');
    }
    void add()
    {
        QFETCH(QChar, decimalSeparator);
        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.DecimalSeparator = decimalSeparator;
        fs.ThousandSeparator = decimalSeparator == ',' ? QChar('.') : QChar(',');
        SetFormatSettings(fs);
        kvtest::MessageRecorder boxes;
        TSysEditCustomerForm f;
        f.SetAppendMode(true);
        QCOMPARE(f.windowTitle(), QString("System Table: tCustomer (ADD)"));
        QTest::keyClicks(f.edtShipTo, "ab'cd");
        QCOMPARE(f.edtShipTo->text(), QString("AB'CD"));
        f.edtFullName->setText(" O'Neill & Sons ");
        f.edtStatus->setText("Corp");
        f.edtRate->setText("12");
        f.edtMaxExServiceAmount->SetValue(1234.5);
        f.ckPlatinumUpdate->setChecked(true);
        f.ckInvoice->setChecked(true);
        f.edtAddress[0]->setText("1 Main St");
        f.edtAddress[2]->setText("Suite 4");
        f.edtAddress[5]->setText("Attn: AP");
        QTest::mouseClick(f.btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f.result(), int(mrOk));

        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tCustomer", "(ShipTo, FullName, VNumber, Active,",
                              "Status, Rate, PlatinumUpdate, Invoice, InvoiceServices,", " Address01, Address03,",
                              " Address06, MaxExServiceAmount)", "VALUES ('AB''C','O''Neill & Sons',NULL,1,",
                              "'Corp',12,1,1,0,", " '1 Main St', 'Suite 4',", " 'Attn: AP',1234.5)"}));
        QCOMPARE(db->Rows("SELECT ID || '|' || ShipTo || '|' || FullName || '|' || ifnull(VNumber, 'NULL') || '|' || "
                          "Active || '|' || Rate || '|' || MaxExServiceAmount FROM tCustomer WHERE ID = 21"),
                 QStringList({"21|AB'C|O'Neill & Sons|NULL|1|12|1234.5"}));
        QCOMPARE(db->AuditRows(), QStringList({"admin|13|tCustomer|21|SHIPTO|NULL|'AB''C'",
                                               "admin|13|tCustomer|21|FULLNAME|NULL|'O''Neill & Sons'",
                                               "admin|13|tCustomer|21|ACTIVE|NULL|'1'",
                                               "admin|13|tCustomer|21|STATUS|NULL|'Corp'",
                                               "admin|13|tCustomer|21|RATE|NULL|'12'",
                                               "admin|13|tCustomer|21|PLATINUMUPDATE|NULL|'1'",
                                               "admin|13|tCustomer|21|INVOICE|NULL|'1'",
                                               "admin|13|tCustomer|21|INVOICESERVICES|NULL|'0'",
                                               "admin|13|tCustomer|21|ADDRESS01|NULL|'1 Main St'",
                                               "admin|13|tCustomer|21|ADDRESS03|NULL|'Suite 4'",
                                               "admin|13|tCustomer|21|ADDRESS06|NULL|'Attn: AP'",
                                               "admin|13|tCustomer|21|MAXEXSERVICEAMOUNT|NULL|'1234.5'"}));
    }

    // From the defaults: the rate must be typed first; a rate of 0 and no
    // amount are stored as NULL. A ShipTo already in use is no obstacle and
    // the audit rows still name the new row.
    void addFromDefaults()
    {
        kvtest::MessageRecorder boxes;
        TSysEditCustomerForm f;
        f.SetAppendMode(true);
        QVERIFY(f.ckActive->isChecked());
        QVERIFY(!f.ckActive->isEnabled());
        f.edtShipTo->setText("HLTH");
        f.btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList({"'' is not a valid integer value."}));
        QCOMPARE(boxes.Boxes().first().Type, mtWarning);
        QVERIFY(f.LastStatements().isEmpty());
        f.edtRate->setText("12a");
        f.btnOkClick();
        QCOMPARE(boxes.Texts().last(), QString("'12a' is not a valid integer value."));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tCustomer"), QString("1"));

        f.edtRate->setText(" 0");
        f.btnOkClick();
        QCOMPARE(boxes.Count(), 2);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tCustomer", "(ShipTo, FullName, VNumber, Active,",
                              "Status, Rate, PlatinumUpdate, Invoice, InvoiceServices)",
                              "VALUES ('HLTH',NULL,NULL,1,", "NULL,NULL,0,0,0)"}));
        QCOMPARE(db->Rows("SELECT ifnull(Rate, 'NULL') || '|' || ifnull(MaxExServiceAmount, 'NULL') FROM tCustomer "
                          "WHERE ID = 21"),
                 QStringList({"NULL|NULL"}));
        QCOMPARE(db->AuditRows(), QStringList({"admin|13|tCustomer|21|SHIPTO|NULL|'HLTH'",
                                               "admin|13|tCustomer|21|ACTIVE|NULL|'1'",
                                               "admin|13|tCustomer|21|RATE|NULL|'NULL'",
                                               "admin|13|tCustomer|21|PLATINUMUPDATE|NULL|'0'",
                                               "admin|13|tCustomer|21|INVOICE|NULL|'0'",
                                               "admin|13|tCustomer|21|INVOICESERVICES|NULL|'0'"}));
    }

    // A change: the ShipTo and the switches always, the rest only when
    // changed, the status included; audit rows for what changed.
    void change()
    {
        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = '.';
        SetFormatSettings(fs);
        kvtest::MessageRecorder boxes;
        auto f = editorOf20();
        QCOMPARE(f->windowTitle(), QString("System Table: tCustomer (EDIT)"));
        QCOMPARE(f->edtID->text(), QString("20"));
        f->edtFullName->setText("Dept of Health");
        f->edtStatus->setText("Gov");
        f->edtRate->setText("0");
        f->edtMaxExServiceAmount->SetValue(30000.25);
        f->ckPlatinumUpdate->setChecked(true);
        f->edtAddress[1]->clear();
        f->edtAddress[4]->setText("Level 2");
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->result(), int(mrOk));

        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tCustomer", "SET ShipTo = 'HLTH', FullName = 'Dept of Health', Status = 'Gov',",
                              " Rate = NULL, MaxExServiceAmount = 30000.25, PlatinumUpdate = 1, Invoice = 1, "
                              "InvoiceServices = 1,",
                              " Address02 = NULL,", " Address05 = 'Level 2'", "WHERE id = 20"}));
        QCOMPARE(db->Rows("SELECT FullName || '|' || Status || '|' || ifnull(Rate, 'NULL') || '|' || "
                          "MaxExServiceAmount || '|' || PlatinumUpdate || '|' || ifnull(Address02, 'NULL') || '|' || "
                          "Address05 FROM tCustomer"),
                 QStringList({"Dept of Health|Gov|NULL|30000.25|1|NULL|Level 2"}));
        QCOMPARE(db->AuditRows(),
                 QStringList({"admin|11|tCustomer|20|FULLNAME|'Department of Health'|'Dept of Health'",
                              "admin|11|tCustomer|20|STATUS|'Agency'|'Gov'", "admin|11|tCustomer|20|RATE|'1'|'0'",
                              "admin|11|tCustomer|20|MAXEXSERVICEAMOUNT|'25000'|'30000.25'",
                              "admin|11|tCustomer|20|PLATINUMUPDATE|'0'|'1'",
                              "admin|11|tCustomer|20|ADDRESS02|'73 Carrington St'|NULL",
                              "admin|11|tCustomer|20|ADDRESS05|NULL|'Level 2'"}));
    }

    // Editing without a customer id refuses instead of writing nowhere.
    void changeWithoutId()
    {
        kvtest::MessageRecorder boxes;
        TSysEditCustomerForm f;
        f.SetRate(1);
        f.SetAppendMode(false);
        f.btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList({"This customer has no ID, so it cannot be changed."}));
        QVERIFY(f.LastStatements().isEmpty());
    }
};

KV_TEST_MAIN(TestSysEditCustomer)
#include "tst_syseditcustomer.moc"
