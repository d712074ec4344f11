#include "AuditTrail.h"
#include "EditorSupport.h"
#include "GenFns.h"
#include "SysEdit.h"
#include "SysEditAgreement.h"
#include "SysEditCustomer.h"
#include "SysEditServiceID.h"
#include "SysEditServType.h"
#include "SysEditServiceKpi.h"
#include "SysEditServiceSplit.h"
#include "SysEditSupplier.h"
#include "SysEditTariff.h"
#include "SysEditUserFunction.h"

// The editors' save machinery: one attempt is one transaction, the new row's
// id comes from its INSERT, errors leave the window open with its input, and
// audit rows never go out without the row they name.
namespace {

// A small editor of tOrigin rows, written as every editor is.
class TOriginEditor : public TRecordEditor {
public:
    QLineEdit* edtDescription = AddEdit("edtDescription", 0, 0, 100);
    QPushButton* btnOk = AddButton("btnOk", "&Save", 0, 30);

    TOriginEditor()
    {
        connect(btnOk, &QPushButton::clicked, this, [this] {
            RunSave([this](TSaveAttempt& save) {
                const QString description = edtDescription->text().trimmed();
                const int id = save.ExecInsert({"INSERT INTO tOrigin", "(Description,Active)",
                                                "VALUES (" + Quote(description) + ",1)"});
                TAuditTrail audit = NewAudit(AuditIds.Insert, "tOrigin");
                audit.SetTableID(id);
                audit.AddField("DESCRIPTION", QString(), description);
                audit.AddField("ACTIVE", QString(), "1");
                save.Write(audit);
                return true;
            });
        });
        ReadAuditIds();
    }
    // A text kept as a property setter keeps it, in an input of that width
    // (0: none).
    QLineEdit* Kept(const QString& stored, int width)
    {
        if (width > 0)
            LimitTyping(edtDescription, width);
        KeepText(edtDescription, "Description", stored);
        return edtDescription;
    }
    QString Saved() const { return TextOf(edtDescription); }
};

// An editor of each kind on a row of its table, opened as the main window
// opens it; what the test reads of the row after the save.
struct TOpenedRow {
    QString Table;
    int ID;           // the row changed, or the one added
    QString Row;      // the rows as stored when the editor opens
    QString Columns;  // what the test reads of the row
    std::function<std::unique_ptr<TRecordEditor>()> Open;
    bool Add = false;
    QString Key;      // the key of the save's first read, under the write's lock: the row's id, or the value checked
};

const QString kService1 =
    "INSERT INTO tServiceType (ID, Code, Description) VALUES (3,'PSTN','Fixed line');"
    "INSERT INTO tCentre (ID, Description) VALUES (5,'Finance');"
    "INSERT INTO tLocation (ID, Description) VALUES (11,'Perth');"
    "INSERT INTO tServiceID (ID, ServiceID, Service, ServiceTypeID, CustomerCentreID, SACCnumber, Description, JobNo, "
    "Length, Make, Active) VALUES (1,'0291234567','BUSINESS LINE',3,5,'S1','Front desk','J1',120.5,'MK',1)";

// Service 1's UPDATE as the editor writes it, a column's value (as written)
// replaced where given, and lines added after the column named.
QStringList serviceUpdate(const QMap<QString, QString>& values, const QMap<QString, QString>& after = {})
{
    const QStringList columns{"Service", "Description", "SACCnumber", "PayType", "SupplierAccountID", "LocationID",
                              "CustomerActivityID", "CustomerElementID", "CustomerSubledgerID", "PersonID",
                              "CentreID", "ActivityID", "SubledgerID", "Jobno", "UpMDF", "UpEnd", "DownMDF",
                              "DownEnd", "Length", "No", "Part", "Drawing", "AuthorityID", "ModemTypeID", "BearerID",
                              "SpeedID", "Make", "Ch", "Mux"};
    const QMap<QString, QString> stored{{"Service", "'BUSINESS LINE'"}, {"Description", "'Front desk'"},
                                        {"SACCnumber", "'S1'"},          {"Jobno", "'J1'"},
                                        {"Length", "120.5"},             {"Make", "'MK'"}};
    QStringList lines{"UPDATE tServiceID", "SET ServiceID = '0291234567', CustomerCentreID = 5, ServiceTypeID = 3,"};
    for (const QString& c : columns) {
        lines << c + " = " + values.value(c, stored.value(c, "NULL")) + ",";
        if (after.contains(c))
            lines << after[c];
    }
    return lines << "DateLastChanged = '20260305 14:07:09',LastUpdatedBy = 'admin'" << "WHERE id = 1";
}

std::unique_ptr<TRecordEditor> genericEditor(int code, const QStringList& kept)
{
    auto f = std::make_unique<TSysEditForm>();
    f->SetTableNameID(code);
    for (const QString& kv : kept) {
        const QString key = kv.section('=', 0, 0), v = kv.section('=', 1);
        if (key == "7" || key == "8")
            f->setProperty(("Edit" + key).toLatin1(), kvtest::Ymd(v));
        else
            f->setProperty(("Edit" + key).toLatin1(), v);
    }
    return f;
}

const QMap<QString, TOpenedRow>& openedRows()
{
    const QString serviceType =
        "INSERT INTO tCustomer (ID, ShipTo) VALUES (2,'VRT');INSERT INTO tSupplier (ID, SupplierName) VALUES (1,'Telstra');"
        "INSERT INTO tElement (ID, ElementCode, CustomerID, Active) VALUES (1,'4100',2,1);"
        "INSERT INTO tServiceType (ID, Code, SupplierID, RevenueElementID, AdminFee, ExportToTims, SplitService, "
        "VRTServiceType, NoCalls, Active) VALUES (1,'PSTN',1,1,0,1,0,0,0,1)";
    static const QMap<QString, TOpenedRow> rows = {
        {"location",
         {"tLocation", 3, "INSERT INTO tLocation (ID, Description, StartDate, Active) VALUES (3,'Level 3','20250101',1)",
          "Description || '|' || ifnull(StartDate, '') || '|' || ifnull(EndDate, '') || '|' || Active",
          [] { return genericEditor(0, {"1=3", "2=Level 3", "7=20250101"}); }, false, {}}},
        {"centre",
         {"tCentre", 5,
          "INSERT INTO tDepartment (ID, Description) VALUES (2,'Sales'),(4,'Service'),(6,'Stores');"
          "INSERT INTO tCentre (ID, Description, DepartmentID, Active) VALUES (5,'Sales floor',2,1)",
          "Description || '|' || DepartmentID || '|' || Active",
          [] { return genericEditor(3, {"1=5", "2=Sales floor", "3=2", "4=Sales"}); }, false, {}}},
        {"customer",
         {"tCustomer", 20, kvtest::kCustomer20,
          "ShipTo || '|' || Status || '|' || Invoice || InvoiceServices || PlatinumUpdate || '|' || Address01",
          [] { return std::unique_ptr<TRecordEditor>(kvtest::CustomerEditorOf20()); }, false, {}}},
        {"supplier",
         {"tSupplier", 5,
          "INSERT INTO tSupplier (ID, SupplierName, Active, PlatinumVendorID, PlatinumUpdate, Ziviruri, Address01) "
          "VALUES (5,'Corvane Mobile',1,'CORVMOB01',1,0,'PO Box 1500')",
          "SupplierName || '|' || PlatinumUpdate || Ziviruri || '|' || Address01",
          [] {
              auto f = std::make_unique<TSysEditSupplierForm>();
              f->SetSupplierID("5");
              f->SetSupplierName("Corvane Mobile");
              f->SetPlatinumVendorID("CORVMOB01");
              f->SetActive(true);
              f->SetPlatinumUpdate(true);
              f->SetZivIruri(false);
              f->SetAddress(1, "PO Box 1500");
              return std::unique_ptr<TRecordEditor>(std::move(f));
          },
          false, {}}},
        {"location added",
         {"tLocation", 4, "INSERT INTO tLocation (ID, Description, Active) VALUES (3,'Level 3',1)",
          "Description || '|' || Active", [] { return genericEditor(0, {}); }, true,
          "WHERE tLocation.Description LIKE 'Annex'"}},
        {"function added",
         {"tFunction", 18, "INSERT INTO tFunction (ID, Description) VALUES (14,'Edit')", "Description",
          [] { return genericEditor(17, {}); }, true, "WHERE ID = 18"}},
        {"service level",
         {"tServiceKpi", 1,
          "INSERT INTO tServiceKpi (ID, KpiNumber, Description, ResponseHours, CoreHours, Active) "
          "VALUES (1,'102','Gold','1','24x7',1)",
          "KpiNumber || '|' || Description || '|' || CoreHours",
          [] {
              auto f = std::make_unique<TSysEditServiceKpiForm>();
              f->SetAppendMode(false);
              f->SetID("1");
              f->SetKpiNumber("102");
              f->SetDescription("Gold");
              f->SetResponseHours("1");
              f->SetCoreHours("24x7");
              return std::unique_ptr<TRecordEditor>(std::move(f));
          },
          false, {}}},
        // The service id editor on service 1, as the main window fills it;
        // adding, with ServiceID unique on this server.
        {"service id",
         {"tServiceID", 1, kService1,
          "Service || '|' || SACCnumber || '|' || JobNo || '|' || Description || '|' || ifnull(LocationID, '') || "
          "'|' || ifnull(InstallationDate, '') || '|' || Length || '|' || Make",
          [] {
              auto f = std::make_unique<TSysEditServiceIDForm>();
              f->SetID(1);
              f->SetDescription("Front desk");
              f->SetSACCNumber("S1");
              f->SetServiceID("0291234567");
              f->SetServiceName("BUSINESS LINE");
              f->SetRefID(TServiceRef::ServiceTypeID, 3);
              f->SetRefID(TServiceRef::CustomerCentreID, 5);
              f->SetJobno("J1");
              TServiceLineDetails details;
              details.LineLength = "120.5";
              details.Make = "MK";
              f->SetLineDetails(details);
              return std::unique_ptr<TRecordEditor>(std::move(f));
          },
          false, {}}},
        {"service id added",
         {"tServiceID", 2, kService1 + ";CREATE UNIQUE INDEX uxServiceID ON tServiceID (ServiceID)",
          "ServiceID", [] { return std::unique_ptr<TRecordEditor>(std::make_unique<TSysEditServiceIDForm>()); }, true,
          "WHERE tServiceID.ServiceID LIKE 'NW-1'"}},
        // The split of service 1: rows 1 to 3 (A 50 %, B 50 %, C none).
        {"service split",
         {"tServiceSplit", 1,
          "INSERT INTO tCustomer (ID, ShipTo, Active) VALUES (11,'A',1),(13,'B',1),(14,'C',1),(16,'D',1);"
          "INSERT INTO tServiceID (ID, ServiceID, Active) VALUES (1,'0299001001',1);"
          "INSERT INTO tServiceSplit (ID, ServiceID, CustomerID, RentPercentage, CallPercentage, OtherPercentage, "
          "Active) VALUES (1,1,11,50,50,50,1),(2,1,13,50,50,50,1),(3,1,14,0,0,0,1)",
          "CustomerID || '|' || RentPercentage || '|' || CallPercentage || '|' || OtherPercentage || '|' || Active",
          [] {
              auto f = std::make_unique<TSplitForm>();
              f->SetAppendMode(false);
              f->SetServiceID(1);
              return std::unique_ptr<TRecordEditor>(std::move(f));
          },
          false, "WHERE ServiceID = 1 AND Active = 1"}},
        {"service type",
         {"tServiceType", 1, serviceType,
          "Code || '|' || ifnull(ExpectedRent, '-') || '|' || ifnull(Frequency, '-') || '|' || NoCalls",
          [] {
              auto f = std::make_unique<TSysEditServTypeForm>();
              f->SetID(1);
              f->SetCode("PSTN");
              f->SetSupplierID(1);
              f->SetRevenueElementID(1);
              f->SetAdminFee(false);
              f->SetExportToTims(true);
              return std::unique_ptr<TRecordEditor>(std::move(f));
          },
          false, {}}},
        {"service type added",
         {"tServiceType", 2, serviceType, "Code",
          [] { return std::unique_ptr<TRecordEditor>(new TSysEditServTypeForm); }, true,
          "WHERE tServiceType.Code LIKE 'ISDN'"}},
        {"agreement",
         {"tAgreement", 1,
          "INSERT INTO tAgreementType (ID, Description, Active) VALUES (1,'Whole of government',1),(2,'Agency',1);"
          "INSERT INTO tAgreement (ID, AgreementNo, Description, AgreementTypeID, StartDate) "
          "VALUES (1,'WOG-1','Fixed voice',1,'20190701')",
          "AgreementNo || '|' || AgreementTypeID || '|' || ifnull(EndDate, '-') || '|' || Active",
          [] {
              auto f = std::make_unique<TSysEditAgreementForm>();
              f->SetAgreementNo("WOG-1");
              f->SetDescription("Fixed voice");
              f->SetAgreementTypeID(1);
              f->SetID(1);
              f->SetStartDate(kvtest::Ymd("20190701"));
              return std::unique_ptr<TRecordEditor>(std::move(f));
          },
          false, {}}},
        {"tariff",
         {"tAgreementTariffs", 1,
          "INSERT INTO tAgreement (ID, Description) VALUES (1,'Fixed voice');"
          "INSERT INTO tSupplierServiceCode (id, Code, Active) VALUES (1,'BT-RENT',1);"
          "INSERT INTO tAgreementTariffs (ID, AgreementID, SupplierServiceCodeID, FixedCharge, ChargeIntervalSecs, "
          "MinDuration, Stage1Duration, Stage2Duration, Stage3Duration, Stage4Duration, Stage5Duration, Surcharge, "
          "Discount, ChargePeriod) VALUES (1,1,1,29.95,60,0,180,300,600,900,1200,0,0,0)",
          "FixedCharge || '|' || ifnull(FlagFall, '-') || '|' || ifnull(MaxDuration, '-') || '|' || Surcharge || "
          "ChargePeriod",
          [] {
              auto f = std::make_unique<TSysEditTariffForm>();
              f->SetAgreementID(1);
              f->SetSupplierServiceCodeID(1);
              f->SetAmount("FixedCharge", 29.95);
              f->SetCount("ChargeIntervalSecs", 60);
              f->SetCount("MinDuration", 0);
              for (int stage = 1; stage <= 5; ++stage)
                  f->SetCount(QString("Stage%1Duration").arg(stage), stage == 1 ? 180 : 300 * (stage - 1));
              f->SetID(1);
              return std::unique_ptr<TRecordEditor>(std::move(f));
          },
          false, {}}},
        {"batch type",
         {"tBatchType", 30, kvtest::kBatchType30,
          "Description || '|' || SupplierID || '|' || ifnull(CriticalCheck05, 0) || '|' || Var01Description",
          [] { return std::unique_ptr<TRecordEditor>(kvtest::BatchTypeEditorOf30()); }, false, {}}},
        {"operator",
         {"tUser", 3, "INSERT INTO tAudit (\"Table\") VALUES ('tUserFunction');" + QString(kvtest::kOperators),
          "Password || '|' || Surname || '|' || (SELECT group_concat(FunctionID) FROM tUserFunction WHERE UserID = 3)",
          [] { return std::unique_ptr<TRecordEditor>(kvtest::OperatorEditorOf3()); }, false, {}}},
        {"operator added",
         {"tUser", 5, "INSERT INTO tAudit (\"Table\") VALUES ('tUserFunction');" + QString(kvtest::kOperators),
          "Password || '|' || (SELECT group_concat(FunctionID) FROM tUserFunction WHERE UserID = 5)",
          [] { return std::unique_ptr<TRecordEditor>(std::make_unique<TSysEditUserFunctionForm>()); }, true,
          "WHERE UserLogin LIKE 'newbie'"}},
    };
    return rows;
}

QString changedByAnother(const QString& what)
{
    return "Another operator changed this row after you opened it: " + what +
           ". Nothing was saved; close the editor and open the row again.";
}

}  // namespace

class TestSaveMachinery : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

private slots:
    void init()
    {
        db = kvtest::EditorDatabase({}, "INSERT INTO tOrigin (ID, Description, Active) VALUES (40,'Perth',0)",
                                    " o'neil ");
    }
    void cleanup() { db.reset(); }

    // A failing audit insert takes the row with it; the window keeps the
    // input; the next Save writes the row once, and its audit rows name the
    // row the INSERT made (not the older row of the same text).
    void oneAttemptIsOneTransaction()
    {
        db->Exec("CREATE TRIGGER refuseActive BEFORE INSERT ON tAuditTrail WHEN NEW.FieldName = 'ACTIVE' "
                 "BEGIN SELECT RAISE(ABORT, 'audit refused'); END;");
        TOriginEditor editor;
        editor.edtDescription->setText("  Perth ");
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(editor.btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(boxes.Boxes().first().Type, mtWarning);
        QVERIFY(boxes.Texts().first().contains("audit refused"));
        QCOMPARE(db->Value("SELECT COUNT(*) || '|' || (SELECT COUNT(*) FROM tAuditTrail) FROM tOrigin"), QString("1|0"));
        QVERIFY(editor.result() != mrOk);
        QVERIFY(!editor.Wrote());
        QCOMPARE(editor.edtDescription->text(), QString("  Perth "));
        QCOMPARE(editor.LastStatements().size(), 3);  // the row and both audit rows were tried

        db->Exec("DROP TRIGGER refuseActive;");
        KV_EXPECT_SAVED(editor);
        QVERIFY(editor.Wrote());
        QCOMPARE(db->Rows("SELECT ID || '|' || Description || '|' || Active FROM tOrigin ORDER BY ID"),
                 QStringList({"40|Perth|0", "41|Perth|1"}));
        const QString head = "INSERT INTO tAuditTrail",
                      columns = "(UserID,ActionTime,Action,TableName,TableID,FieldName,OldValue,NewValue)",
                      values = "VALUES ('o''neil','20260305 14:07:09',13,'tOrigin',41,";
        const QVector<QStringList> expected = {{"INSERT INTO tOrigin", "(Description,Active)", "VALUES ('Perth',1)"},
                                               {head, columns, values + "'DESCRIPTION',NULL,'Perth')"},
                                               {head, columns, values + "'ACTIVE',NULL,'1')"}};
        QCOMPARE(editor.LastStatements(), expected);
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("o'neil|13|tOrigin|41|", {"DESCRIPTION|NULL|'Perth'", "ACTIVE|NULL|'1'"}));
    }

    // No audit row goes out without the id of the row it names, by either
    // route; the action ids are the last row of each kind of event.
    void auditRowsAndActions()
    {
        TAuditTrail noId("u", "13", "tOrigin");
        noId.AddField("DESCRIPTION", QString(), "x");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, noId.Write());
        QString insert, columns, values;
        TStringList lines;
        BeginAuditTrail("u", "13", "tOrigin", insert, columns, values);
        AddAuditField("DESCRIPTION", QString(), "x", lines);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, WriteAuditTrail(insert, columns, values, lines));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tAuditTrail"), QString("0"));

        db->Exec("INSERT INTO tEvent (ID, Description) VALUES (14,'Batch Import'),(15,'reference update (new)');");
        const TAuditEventIds ids = ReadAuditEventIds();
        QCOMPARE(QStringList({ids.Update, ids.Delete, ids.Insert}), QStringList({"15", "12", "13"}));
    }

    // Amounts reach SQL in one form whatever the regional settings, rounded
    // to four decimals.
    void amountTexts()
    {
        kvtest::DecimalSeparator separator(',');
        QCOMPARE(QStringList({CurrText(12.5), CurrText(0), CurrText(-0.0001), CurrText(1234567.891249),
                              CurrText(0.1 + 0.2)}),
                 QStringList({"12.5", "0", "-0.0001", "1234567.8912", "0.3"}));
    }

    // Typed letters become capitals where they were typed, the cursor
    // staying after them, and after an Undo too.
    void upperCaseInput_data()
    {
        QTest::addColumn<QStringList>("keys");  // typed, or a key sequence in brackets
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::newRow("in the middle") << QStringList({"ab1", "[Left]", "x"}) << "ABX1" << 3;
        QTest::newRow("after an Undo") << QStringList({"ab", "[Ctrl+Z]", "c"}) << "C" << 1;
    }
    void upperCaseInput()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QLineEdit edit;
        SetUpperCase(&edit);
        edit.show();
        edit.setFocus();
        for (const QString& k : keys)
            if (k.startsWith('['))
                QTest::keySequence(&edit, QKeySequence(k.mid(1, k.size() - 2)));
            else
                QTest::keyClicks(&edit, k);
        QCOMPARE(edit.text(), text);
        QCOMPARE(edit.cursorPosition(), cursor);
    }

    // An input takes no more typed characters than its width, a character
    // whole or not at all. A longer stored text shows whole, and the input
    // holds no more than it; left alone it is saved as stored, changed it is
    // saved as the input shows it.
    void typingWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");  // at the end; "\b" deletes
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("saved");
        QTest::newRow("typed beyond the width") << 4 << "" << "ABCDEF" << "ABCD" << "ABCD";
        QTest::newRow("emoji at the last place") << 4 << "" << "ABC🐧" << "ABC" << "ABC";
        QTest::newRow("longer, left alone") << 4 << " TRSYXX " << "" << "TRSYXX" << " TRSYXX ";
        QTest::newRow("longer, typed at") << 4 << "TRSYXX" << "Z" << "TRSYXX" << "TRSYXX";
        QTest::newRow("longer, shortened") << 4 << "TRSYXX" << "\b" << "TRSYX" << "TRSYX";
        const QString long40010 = QString("Description ").repeated(3335).left(40010);
        QTest::newRow("no width, 40,010 characters shortened")
            << 0 << long40010 << "\b" << long40010.left(40009) << long40010.left(40009);
    }
    void typingWidth()
    {
        QFETCH(int, width);
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, saved);
        TOriginEditor editor;
        QLineEdit* edit = editor.Kept(stored, width);
        editor.show();
        edit->setFocus();
        edit->end(false);
        const qsizetype keys = typed.contains(QChar(0xD83D)) ? typed.indexOf(QChar(0xD83D)) : typed.size();
        QTest::keyClicks(edit, typed.left(keys));
        QInputMethodEvent commit;
        commit.setCommitString(typed.mid(keys));
        QApplication::sendEvent(edit, &commit);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(editor.Saved(), saved);
    }

    // Another operator (a real second connection) changes the row between
    // the editor's opening and OK. A value the operator left as shown is
    // kept as the other stored it; one both changed refuses the save, named
    // with what is stored now, with nothing written and the focus on it; a
    // row removed meanwhile is refused alike. Where nobody else changed the
    // row the statements are those the editors always wrote; every audit
    // row's old value is the value its write replaced. The save reads the
    // row once, by its key, under the write's lock.
    void anotherOperatorsChange_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<QString>("other");         // what the other operator writes (SQL)
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");       // empty: saved
        QTest::addColumn<QString>("focus");         // the input refused
        QTest::addColumn<QStringList>("lines");     // the row's statement (saved)
        QTest::addColumn<QString>("stored");        // the row after it ("": gone)
        QTest::addColumn<QStringList>("audit");     // field|old|new
        for (const bool odbc : {false, true}) {
            const auto row = [odbc](const char* editor, const char* what) {
                return &(QTest::addRow("%s, %s: %s", odbc ? "through ODBC" : "SQLite file", editor, what)
                         << QString(editor) << odbc);
            };
            const QString where1 = " WHERE ID = 1", where3 = " WHERE ID = 3", gone = changedByAnother("it is no longer in the table");
            const QStringList location{"UPDATE tLocation", "SET Description = 'Level 3'", "WHERE id = 3"};
            *row("location", "untouched OK") << "" << QStringList() << "" << "" << location << "Level 3|20250101||1"
                                              << QStringList();
            *row("location", "description changed")
                << "" << QStringList{"edtEdit2=Annex"} << "" << ""
                << QStringList{"UPDATE tLocation", "SET Description = 'Annex'", "WHERE id = 3"} << "Annex|20250101||1"
                << QStringList{"DESCRIPTION|'Level 3'|'Annex'"};
            const QString basement = "UPDATE tLocation SET Description = 'Basement'" + where3;
            *row("location", "untouched OK, another changed the description")
                << basement << QStringList() << "" << ""
                << QStringList{"UPDATE tLocation", "SET Description = 'Basement'", "WHERE id = 3"}
                << "Basement|20250101||1" << QStringList();
            *row("location", "end date set, another changed the description")
                << basement << QStringList{"edtEdit8=20261231"} << "" << ""
                << QStringList{"UPDATE tLocation", "SET Description = 'Basement', EndDate = '20261231', Active = 0",
                               "WHERE id = 3"}
                << "Basement|20250101|20261231|0"
                << QStringList{"ENDDATE|NULL|'20261231'", "ACTIVE|'1'|'0'"};
            *row("location", "both changed the description")
                << basement << QStringList{"edtEdit2=Annex"} << changedByAnother("Location is now 'Basement'")
                << "edtEdit2" << QStringList() << "Basement|20250101||1" << QStringList();
            *row("location", "both changed the start date")
                << "UPDATE tLocation SET StartDate = '20250301'" + where3 << QStringList{"edtEdit7=20250201"}
                << changedByAnother("StartDate is now '01/03/2025'") << "edtEdit7" << QStringList()
                << "Level 3|20250301||1" << QStringList();
            *row("location", "removed by another") << "DELETE FROM tLocation" + where3 << QStringList() << gone << ""
                                                    << QStringList() << "" << QStringList();
            const QString department = "UPDATE tCentre SET DepartmentID = 4 WHERE ID = 5";
            *row("centre", "untouched OK") << "" << QStringList() << "" << ""
                << QStringList{"UPDATE tCentre", "SET Description = 'Sales floor',DepartmentID = 2", "WHERE id = 5"}
                << "Sales floor|2|1" << QStringList();
            *row("centre", "untouched OK, another changed the department")
                << department << QStringList() << "" << ""
                << QStringList{"UPDATE tCentre", "SET Description = 'Sales floor',DepartmentID = 4", "WHERE id = 5"}
                << "Sales floor|4|1" << QStringList();
            *row("centre", "description changed, another changed the department")
                << department << QStringList{"edtEdit2=Annex"} << "" << ""
                << QStringList{"UPDATE tCentre", "SET Description = 'Annex',DepartmentID = 4", "WHERE id = 5"}
                << "Annex|4|1" << QStringList{"DESCRIPTION|'Sales floor'|'Annex'"};
            *row("centre", "both changed the department")
                << department << QStringList{"edtEdit3=6"} << changedByAnother("DepartmentID is now '4'") << "edtEdit3"
                << QStringList() << "Sales floor|4|1" << QStringList();
            const QString elsewhere = "UPDATE tCustomer SET Status = 'ELSEWHR', Invoice = 0, InvoiceServices = 0, "
                                      "PlatinumUpdate = 1 WHERE ID = 20";
            *row("customer", "untouched OK") << "" << QStringList() << "" << ""
                << QStringList{"UPDATE tCustomer", "SET ShipTo = 'HLTH',",
                               " PlatinumUpdate = 0, Invoice = 1, InvoiceServices = 1", "WHERE id = 20"}
                << "HLTH|Agency|110|Health House" << QStringList();
            *row("customer", "untouched OK, another changed the status and switches")
                << elsewhere << QStringList() << "" << ""
                << QStringList{"UPDATE tCustomer", "SET ShipTo = 'HLTH',",
                               " PlatinumUpdate = 1, Invoice = 0, InvoiceServices = 0", "WHERE id = 20"}
                << "HLTH|ELSEWHR|001|Health House" << QStringList();
            *row("customer", "address changed, another changed the status and switches")
                << elsewhere << QStringList{"edtAddress01=Level 2"} << "" << ""
                << QStringList{"UPDATE tCustomer", "SET ShipTo = 'HLTH',",
                               " PlatinumUpdate = 1, Invoice = 0, InvoiceServices = 0,", " Address01 = 'Level 2'",
                               "WHERE id = 20"}
                << "HLTH|ELSEWHR|001|Level 2" << QStringList{"ADDRESS01|'Health House'|'Level 2'"};
            *row("customer", "both changed the status")
                << elsewhere << QStringList{"edtStatus=Gov"} << changedByAnother("Status is now 'ELSEWHR'")
                << "edtStatus" << QStringList() << "HLTH|ELSEWHR|001|Health House" << QStringList();
            *row("customer", "both changed a switch")
                << elsewhere << QStringList{"ckInvoice=0"} << changedByAnother("Invoice is now 'not ticked'")
                << "ckInvoice" << QStringList() << "HLTH|ELSEWHR|001|Health House" << QStringList();
            *row("customer", "removed by another") << "DELETE FROM tCustomer WHERE ID = 20" << QStringList() << gone
                                                    << "" << QStringList() << "" << QStringList();
            const QString renamed = "UPDATE tSupplier SET SupplierName = 'Corvane Wireless', Ziviruri = 1 WHERE ID = 5";
            *row("supplier", "untouched OK") << "" << QStringList() << "" << ""
                << QStringList{"UPDATE tSupplier", " SET SupplierName = 'Corvane Mobile',",
                               " PlatinumUpdate = 1, ZivIruri = 0", "WHERE id = 5"}
                << "Corvane Mobile|10|PO Box 1500" << QStringList();
            *row("supplier", "untouched OK, another changed the name and ZivIruri")
                << renamed << QStringList() << "" << ""
                << QStringList{"UPDATE tSupplier", " SET SupplierName = 'Corvane Wireless',",
                               " PlatinumUpdate = 1, ZivIruri = 1", "WHERE id = 5"}
                << "Corvane Wireless|11|PO Box 1500" << QStringList();
            *row("supplier", "switch changed, another changed the name and ZivIruri")
                << renamed << QStringList{"ckPlatinumUpdate=0"} << "" << ""
                << QStringList{"UPDATE tSupplier", " SET SupplierName = 'Corvane Wireless',",
                               " PlatinumUpdate = 0, ZivIruri = 1", "WHERE id = 5"}
                << "Corvane Wireless|01|PO Box 1500" << QStringList{"PLATINUMUPDATE|'1'|'0'"};
            *row("supplier", "both changed the name")
                << renamed << QStringList{"edtSupplierName=Corvane"}
                << changedByAnother("Supplier Name is now 'Corvane Wireless'") << "edtSupplierName" << QStringList()
                << "Corvane Wireless|11|PO Box 1500" << QStringList();
            const QString platinum = "UPDATE tServiceKpi SET Description = 'Platinum' WHERE ID = 1";
            *row("service level", "untouched OK") << "" << QStringList() << "" << ""
                << QStringList{"UPDATE tServiceKpi", "SET KpiNumber = '102'", "WHERE id = 1"} << "102|Gold|24x7"
                << QStringList();
            *row("service level", "core hours changed, another changed the description")
                << platinum << QStringList{"edtCoreHours=Mon-Fri"} << "" << ""
                << QStringList{"UPDATE tServiceKpi", "SET KpiNumber = '102',", " CoreHours = 'Mon-Fri'", "WHERE id = 1"}
                << "102|Platinum|Mon-Fri" << QStringList{"COREHOURS|'24x7'|'Mon-Fri'"};
            *row("location added", "description checked under the lock")
                << "" << QStringList{"edtEdit2=Annex"} << "" << ""
                << QStringList{"INSERT INTO tLocation", "(Description,Active)", "VALUES ('Annex',1)"} << "Annex|1"
                << QStringList{"DESCRIPTION|NULL|'Annex'", "ACTIVE|NULL|'1'"};
            *row("function added", "another added the id between the check and the write")
                << "CREATE TRIGGER theirs BEFORE INSERT ON tFunction BEGIN INSERT INTO tFunction (ID, Description) "
                   "VALUES (NEW.ID, 'Theirs'); END"
                << QStringList{"edtEdit1=18", "edtEdit2=Reports"} << "ID must be a unique number." << ""
                << QStringList() << "" << QStringList();
            *row("service level", "both changed the description")
                << platinum << QStringList{"edtDescription=Silver"} << changedByAnother("Description is now 'Platinum'")
                << "edtDescription" << QStringList() << "102|Platinum|24x7" << QStringList();
            // The service id editor: every column it writes, line details
            // included, kept as another stored it where the operator left it.
            const QString otherLine = "UPDATE tServiceID SET Service = 'OTHER LINE', SACCnumber = 'S2', JobNo = 'J2'";
            const QString service = "|Front desk|||120.5|MK";
            *row("service id", "untouched OK") << "" << QStringList() << "" << "" << serviceUpdate({})
                                                << "BUSINESS LINE|S1|J1" + service << QStringList();
            *row("service id", "untouched OK, another changed ten columns")
                << otherLine + ", LocationID = 11, InstallationDate = '20250101', Length = 99, Make = 'MK2', "
                               "PayType = 'C'" + where1
                << QStringList() << "" << ""
                << serviceUpdate({{"Service", "'OTHER LINE'"}, {"SACCnumber", "'S2'"}, {"Jobno", "'J2'"},
                                  {"LocationID", "11"}, {"Length", "99"}, {"Make", "'MK2'"}, {"PayType", "'C'"}},
                                 {{"PayType", "InstallationDate = '20250101',"}})
                << "OTHER LINE|S2|J2|Front desk|11|20250101|99.0|MK2" << QStringList();
            *row("service id", "description changed, another changed the service, SACC and job number")
                << otherLine + where1 << QStringList{"edtDescription=Reception"} << "" << ""
                << serviceUpdate({{"Service", "'OTHER LINE'"}, {"SACCnumber", "'S2'"}, {"Jobno", "'J2'"},
                                  {"Description", "'RECEPTION'"}})
                << "OTHER LINE|S2|J2|RECEPTION|||120.5|MK" << QStringList{"DESCRIPTION|'Front desk'|'RECEPTION'"};
            *row("service id", "both changed the service")
                << otherLine + where1 << QStringList{"edtService=My line"}
                << changedByAnother("Service is now 'OTHER LINE'") << "edtService" << QStringList()
                << "OTHER LINE|S2|J2" + service << QStringList();
            *row("service id", "removed by another") << "DELETE FROM tServiceID" + where1 << QStringList() << gone
                                                      << "" << QStringList() << "" << QStringList();
            *row("service id added", "another added the ServiceID between the check and the write")
                << "CREATE TRIGGER theirs BEFORE INSERT ON tServiceID BEGIN INSERT INTO tServiceID (ServiceID) "
                   "VALUES (NEW.ServiceID); END"
                << QStringList{"edtServiceID=NW-1", "edtServiceTypeID=3", "edtCustomerCentreID=5"}
                << "The ServiceID NW-1 already exists. Duplicates are not permitted." << "" << QStringList() << ""
                << QStringList();
            // The split: its rows read again as a set, each met by its id.
            const QString rent7030 = "UPDATE tServiceSplit SET RentPercentage = 70 WHERE ID = 1;"
                                     "UPDATE tServiceSplit SET RentPercentage = 30 WHERE ID = 2";
            const QStringList toD{"UPDATE tServiceSplit", "SET CustomerID = 16", "WHERE ID = 1"};
            *row("service split", "customer changed") << "" << QStringList{"cbShipTo1=D"} << "" << "" << toD
                                                       << "16|50|50|50|1" << QStringList{"CUSTOMERID|'11'|'16'"};
            *row("service split", "customer changed, a row cleared that another retired")
                << "UPDATE tServiceSplit SET Active = 0 WHERE ID = 3" << QStringList{"cbShipTo1=D", "cbShipTo3="}
                << "" << "" << toD << "16|50|50|50|1" << QStringList{"CUSTOMERID|'11'|'16'"};
            *row("service split", "customer changed, another moved rent between the rows")
                << rent7030 << QStringList{"cbShipTo1=D"} << "" << "" << toD << "16|70|50|50|1"
                << QStringList{"CUSTOMERID|'11'|'16'"};
            *row("service split", "both changed a share")
                << rent7030 << QStringList{"edtRent1=60", "edtRent2=40"} << changedByAnother("Rent1 is now '70'")
                << "edtRent1" << QStringList() << "11|70|50|50|1" << QStringList();
            *row("service split", "both changed the customer")
                << "UPDATE tServiceSplit SET CustomerID = 13 WHERE ID = 1" << QStringList{"cbShipTo1=D"}
                << changedByAnother("ShipTo1 is now 'B'") << "cbShipTo1" << QStringList() << "13|50|50|50|1"
                << QStringList();
            *row("service split", "a row changed that another retired")
                << "UPDATE tServiceSplit SET Active = 0 WHERE ID = 1" << QStringList{"edtRent1=60", "edtRent2=40"}
                << gone << "" << QStringList()
                << "11|50|50|50|0" << QStringList();
            const QString isdn = "UPDATE tServiceType SET Code = 'ISDN', ExpectedRent = 40, Frequency = 12 WHERE ID = 1";
            *row("service type", "untouched OK") << "" << QStringList() << "" << ""
                << QStringList{"UPDATE tServiceType", "SET Code = 'PSTN'", "WHERE id = 1"} << "PSTN|-|-|0"
                << QStringList();
            *row("service type", "no calls ticked, another changed the code, rent and frequency")
                << isdn << QStringList{"ckNoCalls=1"} << "" << ""
                << QStringList{"UPDATE tServiceType", "SET Code = 'ISDN',", "NoCalls = 1", "WHERE id = 1"}
                << "ISDN|40.0|12|1" << QStringList{"NOCALLS|'0'|'1'"};
            *row("service type", "both changed the frequency")
                << isdn << QStringList{"edtFrequency=6"}
                << changedByAnother("Bill Frequ (0,1,3,6,12 Months) is now '12'") << "edtFrequency" << QStringList()
                << "ISDN|40.0|12|0" << QStringList();
            *row("service type", "both changed the rent") << isdn << QStringList{"edtExpectedRent=35"}
                << changedByAnother("ExpectedRent is now '40'") << "edtExpectedRent" << QStringList()
                << "ISDN|40.0|12|0" << QStringList();
            *row("service type", "removed by another") << "DELETE FROM tServiceType WHERE ID = 1" << QStringList()
                                                        << gone << "" << QStringList() << "" << QStringList();
            *row("service type added", "another added the code between the check and the write")
                << "CREATE UNIQUE INDEX uqCode ON tServiceType (Code); CREATE TRIGGER theirs BEFORE INSERT ON "
                   "tServiceType BEGIN INSERT INTO tServiceType (Code) VALUES (NEW.Code); END"
                << QStringList{"edtCode=ISDN", "edtSupplierID=1", "cbRevenueElement=4100"}
                << "The Code MUST be a unique value." << "" << QStringList() << "" << QStringList();
            const QString ended = "UPDATE tAgreement SET AgreementNo = 'WOG-2', EndDate = '20251231', Active = 0 "
                                  "WHERE ID = 1";
            *row("agreement", "untouched OK") << "" << QStringList() << "" << ""
                << QStringList{"UPDATE tAgreement", "SET AgreementNo = 'WOG-1'", "WHERE id = 1"} << "WOG-1|1|-|1"
                << QStringList();
            *row("agreement", "type changed, another changed the number and ended it")
                << ended << QStringList{"cbAgreementType=Agency"} << "" << ""
                << QStringList{"UPDATE tAgreement", "SET AgreementNo = 'WOG-2',", "AgreementTypeID = 2", "WHERE id = 1"}
                << "WOG-2|2|20251231|0" << QStringList{"AGREEMENTTYPEID|'1'|'2'"};
            *row("agreement", "both changed the end date")
                << ended << QStringList{"edtEndDate=20260630"} << changedByAnother("EndDate is now '31/12/2025'")
                << "edtEndDate" << QStringList() << "WOG-2|1|20251231|0" << QStringList();
            *row("agreement", "removed by another") << "DELETE FROM tAgreement WHERE ID = 1" << QStringList() << gone
                                                     << "" << QStringList() << "" << QStringList();
            const QString flagfall = "UPDATE tAgreementTariffs SET FlagFall = 0.3, MaxDuration = 3600, Surcharge = 1 "
                                     "WHERE ID = 1";
            *row("tariff", "untouched OK") << "" << QStringList() << "" << ""
                << QStringList{"UPDATE tAgreementTariffs", "SET AgreementID = 1,", "MaxDuration = NULL", "WHERE id = 1"}
                << "29.95|-|-|00" << QStringList();
            *row("tariff", "charge period ticked, another set the flagfall, maximum and surcharge")
                << flagfall << QStringList{"ckChargePeriod=1"} << "" << ""
                << QStringList{"UPDATE tAgreementTariffs", "SET AgreementID = 1,", "ChargePeriod = 1", "WHERE id = 1"}
                << "29.95|0.3|3600|11" << QStringList{"CHARGEPERIOD|'0'|'1'"};
            *row("tariff", "both changed the flagfall")
                << flagfall << QStringList{"edtFlagFall=0.25"} << changedByAnother("FlagFall is now '0.3'")
                << "edtFlagFall" << QStringList() << "29.95|0.3|3600|10" << QStringList();
            *row("tariff", "both changed the surcharge switch")
                << flagfall << QStringList{"ckSurcharge=1"} << changedByAnother("Surcharge is now 'ticked'")
                << "ckSurcharge" << QStringList() << "29.95|0.3|3600|10" << QStringList();
            *row("tariff", "removed by another") << "DELETE FROM tAgreementTariffs WHERE ID = 1" << QStringList()
                                                  << gone << "" << QStringList() << "" << QStringList();
            // The batch type's row; the operator's row and rights (a right
            // that is already as the operator leaves it is no change).
            const QString fixed = "UPDATE tBatchType SET Description = 'Telstra Fixed', SupplierID = 2, ProgramID = 1, "
                                  "InvoiceNo = 1, CriticalCheck05 = 1 WHERE ID = 30";
            const QList<QPair<QString, QString>> theirs{
                {"'Old Telstra', SupplierID = 3", "'Telstra Fixed', SupplierID = 2"}, {"ProgramID = NULL", "ProgramID = 1"},
                {"InvoiceNo = 0", "InvoiceNo = 1"}, {"CriticalCheck05 = 0", "CriticalCheck05 = 1"}};
            *row("batch type", "untouched OK") << "" << QStringList() << "" << "" << kvtest::BatchType30Update({})
                                                << "Old Telstra|3|0|Calls" << QStringList();
            *row("batch type", "variable changed, another changed the description, ids and flags")
                << fixed << QStringList{"edtVar01=Call count"} << "" << ""
                << kvtest::BatchType30Update(theirs + QList<QPair<QString, QString>>{{"'Calls'", "'Call count'"}})
                << "Telstra Fixed|2|1|Call count" << QStringList{"VAR01DESCRIPTION|'Calls'|'Call count'"};
            *row("batch type", "both changed the supplier")
                << fixed << QStringList{"cbSupplier=Telstra"} << changedByAnother("Supplier is now 'Optus'")
                << "cbSupplier" << QStringList() << "Telstra Fixed|2|1|Calls" << QStringList();
            *row("batch type", "both changed a test")
                << fixed << QStringList{"ckCritical05=1", "edtVar01=Call count"}
                << changedByAnother("CriticalError05 is now 'ticked'") << "ckCritical05" << QStringList()
                << "Telstra Fixed|2|1|Calls" << QStringList();
            *row("batch type", "removed by another") << "DELETE FROM tBatchType WHERE ID = 30" << QStringList() << gone
                                                      << "" << QStringList() << "" << QStringList();
            const auto operator3 = [](const QString& password, const QString& surname) {
                return QStringList{"UPDATE tUser", "SET UserLogin = 'mnguyen',", "Password = '" + password + "',",
                                   " FirstName = 'Minh',", " Surname = '" + surname + "'", "WHERE id = 3"};
            };
            const QString granted = "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (3,14)",
                          tran = "UPDATE tUser SET Surname = 'Tran' WHERE ID = 3";
            *row("operator", "untouched OK") << "" << QStringList() << "" << "" << operator3("old", "Nguyen")
                                              << "old|Nguyen|7,9" << QStringList();
            *row("operator", "untouched OK, another changed the surname and granted a right")
                << tran + ";" + granted << QStringList() << "" << "" << operator3("old", "Tran") << "old|Tran|7,9,14"
                << QStringList();
            *row("operator", "password changed and a right granted, which another granted")
                << granted << QStringList{"edtPassword=new", "cbF14=1"} << "" << "" << operator3("new", "Nguyen")
                << "new|Nguyen|7,9,14" << QStringList{"PASSWORD|'old'|'new'"};
            *row("operator", "password changed and a right removed, which another removed")
                << "DELETE FROM tUserFunction WHERE UserID = 3 AND FunctionID = 9"
                << QStringList{"edtPassword=new", "cbF9=0"} << "" << "" << operator3("new", "Nguyen") << "new|Nguyen|7"
                << QStringList{"PASSWORD|'old'|'new'"};
            *row("operator", "both changed the surname")
                << tran << QStringList{"edtSurname=Tan", "cbF14=1"} << changedByAnother("Surname is now 'Tran'")
                << "edtSurname" << QStringList() << "old|Tran|7,9" << QStringList();
            *row("operator", "removed by another") << "DELETE FROM tUser WHERE ID = 3" << QStringList() << gone << ""
                                                    << QStringList() << "" << QStringList();
            *row("operator added", "login checked under the lock")
                << "" << QStringList{"edtUserLogin=newbie", "edtPassword=pw", "cbF7=1"} << "" << ""
                << QStringList{"INSERT INTO tUser", "(UserLogin, Password, FirstName, Surname, Active)",
                               "VALUES ('newbie','pw',", "NULL,NULL, 1)"}
                << "pw|7" << QStringList{"USERLOGIN|NULL|'newbie'", "ACTIVE|NULL|'1'"};
            *row("operator added", "another added the login between the check and the write")
                << "CREATE UNIQUE INDEX uxLogin ON tUser (UserLogin); CREATE TRIGGER theirs BEFORE INSERT ON tUser "
                   "BEGIN INSERT INTO tUser (UserLogin, Password) VALUES (NEW.UserLogin, 'x'); END"
                << QStringList{"edtUserLogin=newbie", "edtPassword=pw", "cbF7=1"}
                << "This Operator already exists in the table." << "" << QStringList() << "" << QStringList();
        }
    }
    void anotherOperatorsChange()
    {
        QFETCH(QString, editor);
        QFETCH(bool, odbc);
        QFETCH(QString, other);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QStringList, lines);
        QFETCH(QString, stored);
        QFETCH(QStringList, audit);
        const TOpenedRow& opened = openedRows()[editor];
        db.reset();
        kvtest::TestDatabase file(true, odbc ? "dbFile" : "dbKVdata");
        file.Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(13,'Reference Insert');"
                  "INSERT INTO tAudit (\"Table\") VALUES ('" + opened.Table + "');" + opened.Row + ";");
        std::unique_ptr<kvtest::OdbcDataSource> source;
        std::unique_ptr<TDatabase> viaOdbc;
        if (odbc) {
            source = std::make_unique<kvtest::OdbcDataSource>("kvothers", file.File());
            if (!source->Available())
                QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
            viaOdbc = source->Connect("dbKVdata");
        }
        Operator().OPERATORNAME = "admin";
        std::unique_ptr<TRecordEditor> f = opened.Open();
        f->SetAppendMode(opened.Add);
        kvtest::Enter(*f, typed);
        if (!other.isEmpty())
            file.Exec(other + ";");
        if (message.isEmpty()) {
            KV_EXPECT_SAVED(*f);
            QCOMPARE(f->LastStatements().first(), lines);
        } else {
            QCOMPARE(kvtest::Click(*f), QStringList{message});
            QVERIFY(f->result() != mrOk && !f->Wrote());
            if (!focus.isEmpty())
                QCOMPARE(f->focusWidget(), f->findChild<QWidget*>(focus));
        }
        const QString id = QString::number(opened.ID);
        QCOMPARE(file.Value("SELECT " + opened.Columns + " FROM " + opened.Table + " WHERE ID = " + id), stored);
        QCOMPARE(file.AuditRows(), kvtest::Prefixed(QString("admin|%1|").arg(opened.Add ? 13 : 11) + opened.Table +
                                                        "|" + id + "|",
                                                    audit));
        const QStringList read = f->LastReads().value(0);
        QCOMPARE(read.mid(1), QStringList({"FROM " + opened.Table + " WITH (UPDLOCK, HOLDLOCK)",
                                           opened.Key.isEmpty() ? "WHERE id = " + id : opened.Key}));
    }

    // The edges of a 32-bit id (the rest of the id rule is tested through
    // the editors' checks).
    void idTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("id");
        QTest::newRow("largest") << "2147483647" << true << "2147483647" << 2147483647;
        QTest::newRow("too large for 32 bits") << "2147483648" << false << "2147483648" << 0;
        QTest::newRow("far too large") << "99999999999999999999999" << false << "99999999999999999999999" << 0;
    }
    void idTexts()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QString, left);
        QFETCH(int, id);
        int parsed = -1;
        QCOMPARE(ParseIdText(typed, parsed), ok);
        QCOMPARE(typed, left);
        QCOMPARE(parsed, id);
    }
};

KV_TEST_MAIN(TestSaveMachinery)
#include "tst_savemachinery.moc"
