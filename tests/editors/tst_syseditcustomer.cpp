#include "CurrEdit.h"
#include "EditorSupport.h"
#include "SysEditCustomer.h"
#include "SysEditSupplier.h"
#include <QClipboard>

// The customer editor: the statements adding and changing a customer write,
// line by line, with their audit rows; a changed status is stored; amounts
// keep their four decimals, show as plain text and are written with "."
// whatever the regional settings; a rate that is not a number stops the save
// with nothing written. A long stored name edited is saved as the input
// shows it, by this editor as by the supplier's.
class TestSysEditCustomer : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    static std::unique_ptr<TSysEditCustomerForm> editorOf20() { return kvtest::CustomerEditorOf20(); }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = kvtest::EditorDatabase({"tCustomer"}, kvtest::kCustomer20);
    }
    void cleanup() { db.reset(); }

    // A name stored longer than its input's width of 50 (other programs
    // write such names) is edited key by key: the input holds up to the
    // stored length whatever comes in (a character whole or not at all),
    // Undo and Redo go on working, and OK saves what the input shows,
    // audited, or nothing when it shows the stored name.
    void longStoredName_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("keys");  // keys and how often, or what is typed, pasted or committed
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("history");   // what the input can still do
        QTest::addColumn<bool>("add");          // a row added with the stored one as its starting point
        const QString name = QString("Treasury and Finance ").repeated(5).left(90);
        const QString pasted = QString("Pasted name ").repeated(8).left(87);
        for (const QString table : {"tCustomer", "tSupplier"}) {
            const auto row = [&](const char* what, const QStringList& keys, const QString& shown, const char* history) {
                QTest::addRow("%s: %s", qPrintable(table), what) << table << name << keys << shown << history << false;
            };
            row("End, Backspace x3, Undo x3", {"End", "Backspace*3", "Ctrl+Z*3"}, name, "Redo");
            row("select all, Delete, Undo", {"Ctrl+A", "Del", "Ctrl+Z"}, name, "Redo");
            row("End, Backspace x3", {"End", "Backspace*3"}, name.left(87), "Undo");
            row("at 70, Backspace, X typed", {"Home", "Right*70", "Backspace", "Type:X"},
                name.left(69) + "X" + name.mid(70), "Undo");
            row("select all, 87 characters pasted", {"Ctrl+A", "Paste:" + pasted}, pasted, "Undo");
        }
        const QStringList full{"End", "Backspace", "Type:Z", "Home", "Right*40"};
        for (const QString how : {"Type", "Paste", "Commit"})
            QTest::addRow("an emoji (%s) in the middle of a full input", qPrintable(how))
                << "tCustomer" << name << full + QStringList{how + ":🐧"} << name.left(89) + "Z" << "Undo" << false;
        QTest::newRow("what fits of a paste in the middle, a character whole, undone and redone")
            << "tSupplier" << name
            << QStringList({"End", "Backspace*2", "Home", "Right*40", "Paste:x🐧", "Ctrl+Z", "Ctrl+Shift+Z"})
            << name.left(40) + "x" + name.mid(40, 48) << "Undo" << false;
        const QString straddling = QString("Straddle ").repeated(6).left(49) + "🐧Holdings";
        QTest::newRow("shortened, an emoji across the width") << "tCustomer" << straddling
            << QStringList({"End", "Backspace*3"}) << straddling.left(56) << "Undo" << false;
        for (const QString table : {"tCustomer", "tSupplier"})
            QTest::addRow("%s: added from it, an emoji across the width", qPrintable(table))
                << table << straddling << QStringList() << straddling.left(49) << "" << true;
    }
    void longStoredName()
    {
        QFETCH(QString, table);
        QFETCH(QString, stored);
        QFETCH(QStringList, keys);
        QFETCH(QString, shown);
        QFETCH(QString, history);
        QFETCH(bool, add);
        const bool customer = table == "tCustomer";
        const QString column = customer ? "FullName" : "SupplierName";
        db->Exec("INSERT INTO tAudit (\"Table\") VALUES ('tSupplier');"
                 "INSERT INTO tSupplier (ID, Active) VALUES (20, 1);"
                 "UPDATE " + table + " SET " + column + " = '" + stored + "'");
        std::unique_ptr<TRecordEditor> f;
        if (customer) {
            f = editorOf20();
        } else {
            auto supplier = std::make_unique<TSysEditSupplierForm>();
            supplier->SetSupplierID("20");
            f = std::move(supplier);
        }
        f->setProperty(qPrintable(column), stored);
        f->SetAppendMode(add);
        f->show();
        auto* edit = f->findChild<QLineEdit*>("edt" + column);
        edit->setFocus();
        for (const QString& step : keys) {
            const QString how = step.section(':', 0, 0), text = step.section(':', 1);
            if (how == "Type") {  // a character as a key of its own
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, text, Qt::NoModifier);
            } else if (how == "Paste") {
                QGuiApplication::clipboard()->setText(text);
                QTest::keySequence(edit, QKeySequence::Paste);
            } else if (how == "Commit") {
                QInputMethodEvent commit;
                commit.setCommitString(text);
                QApplication::sendEvent(edit, &commit);
            } else {
                for (int i = 0; i < qMax(1, step.section('*', 1).toInt()); ++i)
                    QTest::keySequence(edit, QKeySequence(step.section('*', 0, 0)));
            }
        }
        QCOMPARE(edit->text(), shown);
        QCOMPARE(QString("%1 %2").arg(edit->isUndoAvailable() ? "Undo" : "", edit->isRedoAvailable() ? "Redo" : "")
                     .trimmed(),
                 history);
        KV_EXPECT_SAVED(*f);
        if (add) {
            QCOMPARE(db->Value("SELECT " + column + " FROM " + table + " ORDER BY ID DESC LIMIT 1"), shown);
            return;
        }
        QCOMPARE(db->Value("SELECT " + column + " FROM " + table + " WHERE ID = 20"), shown);
        QCOMPARE(db->AuditRows(), shown == stored ? QStringList()
                                                  : kvtest::Prefixed("admin|11|" + table + "|20|",
                                                                     {column.toUpper() + "|'" + stored + "'|'" + shown + "'"}));
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
        kvtest::DecimalSeparator separator(decimalSeparator);
        TSysEditCustomerForm f;
        f.SetAppendMode(true);
        QCOMPARE(f.windowTitle(), QString("System Table: tCustomer (ADD)"));
        kvtest::Enter(f, {"edtShipTo=ab'cd", "edtFullName= O'Neill & Sons ", "edtStatus=Corp", "edtRate=12",
                          "ckPlatinumUpdate=1", "ckInvoice=1", "edtAddress01=1 Main St", "edtAddress03=Suite 4",
                          "edtAddress06=Attn: AP"});
        f.edtMaxExServiceAmount->SetValue(1234.5);
        QCOMPARE(f.edtShipTo->text(), QString("AB'C"));  // typed in capitals, no more than its width
        KV_EXPECT_SAVED(f);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tCustomer", "(ShipTo, FullName, VNumber, Active,",
                              "Status, Rate, PlatinumUpdate, Invoice, InvoiceServices,", " Address01, Address03,",
                              " Address06, MaxExServiceAmount)", "VALUES ('AB''C','O''Neill & Sons',NULL,1,",
                              "'Corp',12,1,1,0,", " '1 Main St', 'Suite 4',", " 'Attn: AP',1234.5)"}));
        QCOMPARE(db->Value("SELECT ID || '|' || ShipTo || '|' || FullName || '|' || ifnull(VNumber, 'NULL') || '|' || "
                           "Active || '|' || Rate || '|' || MaxExServiceAmount FROM tCustomer WHERE ID = 21"),
                 QString("21|AB'C|O'Neill & Sons|NULL|1|12|1234.5"));
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("admin|13|tCustomer|21|",
                                  {"SHIPTO|NULL|'AB''C'", "FULLNAME|NULL|'O''Neill & Sons'", "ACTIVE|NULL|'1'",
                                   "STATUS|NULL|'Corp'", "RATE|NULL|'12'", "PLATINUMUPDATE|NULL|'1'",
                                   "INVOICE|NULL|'1'", "INVOICESERVICES|NULL|'0'", "ADDRESS01|NULL|'1 Main St'",
                                   "ADDRESS03|NULL|'Suite 4'", "ADDRESS06|NULL|'Attn: AP'",
                                   "MAXEXSERVICEAMOUNT|NULL|'1234.5'"}));
    }

    // From the defaults: the rate must be typed first; a rate of 0 and no
    // amount are stored as NULL. A ShipTo already in use is no obstacle and
    // the audit rows still name the new row.
    void addFromDefaults()
    {
        TSysEditCustomerForm f;
        f.SetAppendMode(true);
        QVERIFY(f.ckActive->isChecked() && !f.ckActive->isEnabled());
        kvtest::Enter(f, {"edtShipTo=HLTH"});
        KV_EXPECT_REFUSED(f, "'' is not a valid integer value.");
        kvtest::Enter(f, {"edtRate=12a"});
        KV_EXPECT_REFUSED(f, "'12a' is not a valid integer value.");
        kvtest::Enter(f, {"edtRate= 0"});
        KV_EXPECT_SAVED(f);
        QCOMPARE(f.LastStatements().first(),
                 QStringList({"INSERT INTO tCustomer", "(ShipTo, FullName, VNumber, Active,",
                              "Status, Rate, PlatinumUpdate, Invoice, InvoiceServices)",
                              "VALUES ('HLTH',NULL,NULL,1,", "NULL,NULL,0,0,0)"}));
        QCOMPARE(db->Value("SELECT quote(Rate) || '|' || quote(MaxExServiceAmount) FROM tCustomer WHERE ID = 21"),
                 QString("NULL|NULL"));
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("admin|13|tCustomer|21|",
                                                   {"SHIPTO|NULL|'HLTH'", "ACTIVE|NULL|'1'", "RATE|NULL|'NULL'",
                                                    "PLATINUMUPDATE|NULL|'0'", "INVOICE|NULL|'0'",
                                                    "INVOICESERVICES|NULL|'0'"}));
    }

    // The annual fee shows as the currency's plain text with its four
    // decimals and the regional decimal separator: left alone it writes
    // nothing, typed it is stored whole.
    void amounts_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");  // empty: left alone
        QTest::addColumn<QString>("written");
        QTest::newRow("three decimals left alone") << QChar('.') << 1250.125 << "1250.125" << "" << "";
        QTest::newRow("four decimals left alone") << QChar('.') << 1234.5678 << "1234.5678" << "" << "";
        QTest::newRow("whole, left alone") << QChar('.') << 8000.0 << "8000" << "" << "";
        QTest::newRow("four decimals typed") << QChar('.') << 8000.0 << "8000" << "1234.5678" << "1234.5678";
        QTest::newRow("decimal comma, left alone") << QChar(',') << 1234.5 << "1234,5" << "" << "";
        QTest::newRow("decimal comma, typed") << QChar(',') << 1234.5 << "1234,5" << "12,3456" << "12.3456";
    }
    void amounts()
    {
        QFETCH(QChar, separator);
        kvtest::DecimalSeparator regional(separator);
        QFETCH(double, stored);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        db->Exec("UPDATE tCustomer SET MaxExServiceAmount = " + QString::number(stored, 'f', 4));
        auto f = editorOf20();
        f->SetMaxExServiceAmount(stored);
        f->show();
        QCOMPARE(f->edtMaxExServiceAmount->ShownText(), shown);
        if (!typed.isEmpty())
            kvtest::Enter(*f, {"edtMaxExServiceAmount=" + typed});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first()[2].contains("MaxExServiceAmount"), !written.isEmpty());
        QCOMPARE(db->Value("SELECT printf('%.4f', MaxExServiceAmount) FROM tCustomer"),
                 QString::number(written.isEmpty() ? stored : written.toDouble(), 'f', 4));
        QCOMPARE(db->AuditRows().size(), written.isEmpty() ? 0 : 1);
    }

    // A change: the ShipTo and the switches always, the rest only when
    // changed, the status included; audit rows for what changed. Without a
    // customer id the change is refused instead of writing nowhere.
    void change()
    {
        kvtest::DecimalSeparator separator(',');
        auto f = editorOf20();
        QCOMPARE(f->windowTitle(), QString("System Table: tCustomer (EDIT)"));
        QCOMPARE(f->edtID->text(), QString("20"));
        kvtest::Enter(*f, {"edtFullName=Dept of Health", "edtStatus=Gov", "edtRate=0", "ckPlatinumUpdate=1",
                           "edtAddress02=", "edtAddress05=Level 2"});
        f->edtMaxExServiceAmount->SetValue(30000.25);
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(),
                 QStringList({"UPDATE tCustomer", "SET ShipTo = 'HLTH', FullName = 'Dept of Health', Status = 'Gov',",
                              " Rate = NULL, MaxExServiceAmount = 30000.25, PlatinumUpdate = 1, Invoice = 1, "
                              "InvoiceServices = 1,",
                              " Address02 = NULL,", " Address05 = 'Level 2'", "WHERE id = 20"}));
        QCOMPARE(db->Value("SELECT FullName || '|' || Status || '|' || quote(Rate) || '|' || MaxExServiceAmount || '|' "
                           "|| PlatinumUpdate || '|' || quote(Address02) || '|' || Address05 FROM tCustomer"),
                 QString("Dept of Health|Gov|NULL|30000.25|1|NULL|Level 2"));
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("admin|11|tCustomer|20|",
                                  {"FULLNAME|'Department of Health'|'Dept of Health'", "STATUS|'Agency'|'Gov'",
                                   "RATE|'1'|'0'", "MAXEXSERVICEAMOUNT|'25000'|'30000.25'", "PLATINUMUPDATE|'0'|'1'",
                                   "ADDRESS02|'73 Carrington St'|NULL", "ADDRESS05|NULL|'Level 2'"}));

        TSysEditCustomerForm noId;
        noId.SetRate(1);
        noId.SetAppendMode(false);
        KV_EXPECT_REFUSED(noId, "This customer has no ID, so it cannot be changed.");
    }
};

KV_TEST_MAIN(TestSysEditCustomer)
#include "tst_syseditcustomer.moc"
