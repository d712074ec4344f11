#include "EditorSupport.h"
#include "SysEditServiceID.h"
#include "CurrEdit.h"
#include <QClipboard>
#include <QRegularExpression>

// The service id editor and its line-detail dialog: the statements each save
// builds, the rows and audit rows written, every refusal, Save that stays
// open, the names read again after it, and the line details that come back
// from the dialog only after its Okay.
namespace {

using R = TServiceRef;
const QString kNow = "20260305 14:07:09";

// What the operator types: "ServiceTypeID=3" into the editor's input of
// that name (a date as yyyymmdd), "d.No=7" into the line-detail dialog
// (then Okay), "app=fax" into the application list. An UPDATE is another
// operator's (run by the test before OK).
void type(TSysEditServiceIDForm& f, const QStringList& edits)
{
    bool dialog = false;
    for (const QString& kv : edits) {
        if (kv.startsWith("UPDATE "))
            continue;
        const QString key = kv.section('=', 0, 0);
        const QString value = kv.section('=', 1);
        if (key.startsWith("d.")) {
            if (!dialog)
                f.btnDetailsClick();
            dialog = true;
            f.SysServiceRecordForm->findChild<QLineEdit*>("edt" + key.mid(2))->setText(value);
        } else if (key == "app") {
            kvtest::Retype(f.cbApplication->lineEdit(), value);
        } else if (key.endsWith("Date")) {
            kvtest::Enter(f, {"edt" + kv});
        } else {
            f.findChild<QLineEdit*>("edt" + key)->setText(value);
        }
    }
    if (dialog)
        QTest::mouseClick(f.SysServiceRecordForm->btnOk, Qt::LeftButton);
}
}  // namespace

class TestSysEditServiceID : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    QString count(const QString& table) const { return db->Value("SELECT COUNT(*) FROM " + table); }
    // What the operator types, then what another operator writes (type()).
    void typeAndAnother(TSysEditServiceIDForm& f, const QStringList& edits)
    {
        type(f, edits);
        for (const QString& sql : edits.filter(QRegularExpression("^UPDATE ")))
            db->Exec(sql + ";");
    }

    // A new service from the defaults, as Add then No leaves it.
    std::unique_ptr<TSysEditServiceIDForm> adding()
    {
        auto f = std::make_unique<TSysEditServiceIDForm>();
        f->edtInstallationDate->SetDate(kvtest::Ymd("20260305"));
        f->SetAppendMode(true);
        return f;
    }
    // Service 20 as a double-click on its row sets it up.
    std::unique_ptr<TSysEditServiceIDForm> editing()
    {
        auto f = std::make_unique<TSysEditServiceIDForm>();
        f->SetID(20);
        f->SetInstallationDate(kvtest::Ymd("20200101"));
        f->SetDescription("Front desk");
        f->SetSACCNumber("S1");
        f->SetServiceID("0291234567");
        f->SetServiceName("BUSINESS LINE");
        f->SetRefID(R::ServiceTypeID, 3);
        f->SetRefName(R::ServiceTypeID, "Fixed line");
        f->SetPayType("M");
        f->SetApplicationID(1);
        const QList<QPair<TServiceRef, int>> ids = {
            {R::CentreID, 6},           {R::ActivityID, 8},         {R::ElementID, 9},
            {R::SubledgerID, 10},       {R::LocationID, 11},        {R::PersonID, 12},
            {R::SupplierAccountID, 13}, {R::CustomerCentreID, 5},   {R::CustomerActivityID, 7},
            {R::CustomerElementID, 9},  {R::CustomerSubledgerID, 10}};
        for (const auto& p : ids) {
            f->SetRefID(p.first, p.second);
            f->SetRefName(p.first, "name " + QString::number(p.second));
        }
        f->SetJobno("J1");
        // No, Part, LineLength, UpMDF, UpEnd, DownMDF, DownEnd, Cost, Cost100,
        // Invoiced, Drawing, then the four ids with their names, Make, Ch, Mux.
        f->SetLineDetails({"N1", "P", "120.5", "U1", "UE", "D1", "DE", 12.5, 0, 0, "DR", 1, {}, 2, {}, 3, {}, 4, {},
                           "MK", "2", "MX"});
        f->SetServiceKpiID(1);
        f->SetAppendMode(false);
        return f;
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = kvtest::EditorDatabase(
            {"tServiceID"},
            "INSERT INTO tServiceType (ID, Code, Description) VALUES (3,'PSTN','Fixed line'),(4,'MOB','Mobile');"
            "INSERT INTO tCentre (ID, Description) VALUES (5,'Finance'),(6,'Payroll');"
            "INSERT INTO tActivity (ID, Description) VALUES (7,'Operations'),(8,'Admin');"
            "INSERT INTO tElement (ID, ElementCode) VALUES (9,'E100');"
            "INSERT INTO tSubledger (ID, Description) VALUES (10,'Sub A');"
            "INSERT INTO tLocation (ID, Description) VALUES (11,'Perth'),(14,'Hobart');"
            "INSERT INTO tPerson (ID, Person) VALUES (12,'Ann Lee');"
            "INSERT INTO tValidAccountNumber (ID, AccountNo) VALUES (13,'ACC-13'),(15,'ACC-15');"
            "INSERT INTO tSupplierAccount (ID, SupplierAccount) VALUES (13,'not this'),(15,'nor this');"
            "INSERT INTO tApplication (ID, Description, Active) VALUES (1,'Voice',1),(2,'Fax',1),(9,'Dial-up',0);"
            "INSERT INTO tServiceKpi (ID, KpiNumber, Description, Active) VALUES (1,'101','Gold',1),"
            "(2,'202',NULL,1),(5,'099','Legacy',0);"
            "INSERT INTO tAuthority (ID, Description) VALUES (1,'Shared');"
            "INSERT INTO tModemType (ID, Description) VALUES (2,'NTU');"
            "INSERT INTO tBearer (ID, Description) VALUES (3,'Copper');"
            "INSERT INTO tSpeed (ID, Description) VALUES (4,'2 Mbps');"
            "INSERT INTO tServiceID (ID, ServiceID, Service, ServiceTypeID, CustomerCentreID, CustomerActivityID,"
            " CustomerElementID, CustomerSubLedgerID, PayType, CentreID, ActivityID, SubledgerID, LocationID,"
            " PersonID, SupplierAccountID, ApplicationID, InstallationDate, SACCnumber, Description, JobNo, UpMDF,"
            " UpEnd, DownMDF, DownEnd, Length, ServiceKpiID, No, Part, Drawing, AuthorityID, ModemTypeID, BearerID,"
            " SpeedID, Make, Ch, Mux, Active) VALUES"
            " (20,'0291234567','BUSINESS LINE',3,5,7,9,10,'M',6,8,10,11,12,13,1,'20200101','S1','Front desk','J1',"
            "  'U1','UE','D1','DE',120.5,1,'N1','P','DR',1,2,3,4,'MK',2,'MX',1);"
            "INSERT INTO tServiceID (ID, ServiceID, ServiceTypeID, CustomerCentreID, Active) VALUES"
            " (21,'OLD-1',3,5,0),(22,'AB11',3,5,1)",
            " op ");
    }
    void cleanup() { db.reset(); }

    // ------------------------------------------------------------ the window

    void lists()
    {
        auto f = adding();
        // Active applications only, no blank; the service levels after a
        // blank, one without a description shown (and chosen) by its number.
        QCOMPARE(kvtest::Items(f->cbApplication), QStringList({"2 Fax", "1 Voice"}));
        QCOMPARE(kvtest::Items(f->cbKpiDescription), QStringList({"0 ", "1 101 Gold", "2 202"}));

        // Inactive rows a service still refers to are shown and kept.
        f->SetApplicationID(9);
        f->SetServiceKpiID(5);
        QCOMPARE(f->cbApplication->currentText(), QString("Dial-up"));
        QCOMPARE(f->ApplicationID(), 9);
        QCOMPARE(f->cbKpiDescription->currentText(), QString("099 Legacy"));
        QCOMPARE(f->ServiceKpiID(), 5);
        QCOMPARE(f->Kept("ServiceKpiID"), QString("5"));
    }

    // ------------------------------------------------------------ adding

    // The INSERT in its column groups, the row, and the audit rows naming
    // the row the INSERT made.
    void addWritesEveryGroup()
    {
        auto f = adding();
        type(*f, {"ServiceID=nw-4567", "ServiceTypeID=3", "CustomerCentreID=5", "Description=O'Brien's line",
                  "SACCNumber=S9", "PayType=C", "SupplierAccountID=13", "LocationID=11", "CustomerActivityID=7",
                  "CentreID=6", "Jobno=J'7", "app=Fax", "d.UpMDF=U'9", "d.LineLength=250", "d.No=4", "d.AuthorityID=1",
                  "d.SpeedID=4", "d.Ch=12.5", "d.Mux=M2", "TerminationDate=20261231"});
        f->cbKpiDescription->setCurrentIndex(2);
        KV_EXPECT_SAVED(*f);
        const QStringList insert = {
            "INSERT INTO tServiceID",
            "(ServiceID,CustomerCentreID,ServiceTypeID,Service,Description,",
            "SACCnumber,PayType,InstallationDate,TerminationDate,Active,SupplierAccountID,LocationID,",
            "CustomerActivityID,CentreID,ApplicationID,",
            "Jobno,UpMDF,Length,ServiceKpiID,No,",
            "AuthorityID,SpeedID,Ch,Mux,",
            "DateEntered,DateLastChanged,LastUpdatedBy)",
            "VALUES ('nw-4567',5,3,'nw4567','O''Brien''s line',",
            "'S9','C','20260305','20261231',0,13,11,",
            "7,6,2,",
            "'J7','U9',250,2,'4',",
            "1,4,'12.5','M2',",
            "'" + kNow + "','" + kNow + "',' op ')",
        };
        QCOMPARE(f->LastStatements().first(), insert);
        QCOMPARE(db->Rows("SELECT ID || '|' || ServiceID || '|' || Service || '|' || Active || '|' || JobNo || '|' || "
                          "UpMDF || '|' || Length || '|' || ServiceKpiID || '|' || No || '|' || Ch || '|' || "
                          "LastUpdatedBy || '|' || DateEntered FROM tServiceID WHERE ID = 23"),
                 QStringList({"23|nw-4567|nw4567|0|J7|U9|250.0|2|4|12.5| op |" + kNow}));
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("op|13|tServiceID|23|",
                               {"SERVICEID|NULL|'nw-4567'", "SERVICETYPEID|NULL|'3'", "CUSTOMERCENTREID|NULL|'5'",
                                "SERVICE|NULL|'nw4567'", "DESCRIPTION|NULL|'O''Brien''s line'",
                                "SACCNUMBER|NULL|'S9'", "PAYTYPE|NULL|'C'", "INSTALLATIONDATE|NULL|'20260305'",
                                "TERMINATIONDATE|NULL|'20261231'", "ACTIVE|NULL|'0'", "SUPPLIERACCOUNTID|NULL|'13'",
                                "LOCATIONID|NULL|'11'", "CUSTOMERACTIVITYID|NULL|'7'", "CENTREID|NULL|'6'",
                                "APPLICATIONID|NULL|'2'", "JOBNO|NULL|'J7'", "UPMDF|NULL|'U9'", "LENGTH|NULL|'250'",
                                "SERVICEKPIID|NULL|'2'", "NO|NULL|'4'", "AUTHORITYID|NULL|'1'", "SPEEDID|NULL|'4'",
                                "CH|NULL|'12.5'", "MUX|NULL|'M2'"}));
    }

    // Without a Service, the ServiceID gives one: up to its first "-" (else
    // "."), then at most 20 characters after it.
    void defaultService_data()
    {
        QTest::addColumn<QString>("serviceId");
        QTest::addColumn<QString>("service");
        QTest::newRow("dash") << "NW-4567" << "NW4567";
        QTest::newRow("dot, the first only") << "TX.77.66" << "TX77.66";
        QTest::newRow("both, the dash first") << "A.B-C" << "A.BC";
        QTest::newRow("neither") << "NWX" << "";
        QTest::newRow("twenty after the dash") << "AB-" + QString(30, '9') << "AB" + QString(20, '9');
    }
    void defaultService()
    {
        QFETCH(QString, serviceId);
        QFETCH(QString, service);
        auto f = adding();
        type(*f, {"ServiceID=" + serviceId, "ServiceTypeID=3", "CustomerCentreID=5"});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->Value("SELECT quote(Service) FROM tServiceID WHERE ID = 23"),
                 service.isEmpty() ? QString("NULL") : "'" + service + "'");
        const QString columns = "(ServiceID,CustomerCentreID,ServiceTypeID,";
        QCOMPARE(f->LastStatements().first().at(1), service.isEmpty() ? columns : columns + "Service,");
    }

    // ------------------------------------------------------------ changing

    // A change writes every column back and audits only what differs.
    void untouchedChangeAuditsNothing()
    {
        auto f = editing();
        KV_EXPECT_SAVED(*f);
        const QStringList update = {
            "UPDATE tServiceID",
            "SET ServiceID = '0291234567', CustomerCentreID = 5, ServiceTypeID = 3,",
            "Service = 'BUSINESS LINE',", "Description = 'Front desk',", "SACCnumber = 'S1',", "PayType = 'M',",
            "InstallationDate = '20200101',",
            "SupplierAccountID = 13,", "LocationID = 11,", "CustomerActivityID = 7,", "CustomerElementID = 9,",
            "CustomerSubledgerID = 10,", "PersonID = 12,", "CentreID = 6,", "ActivityID = 8,", "SubledgerID = 10,",
            "Jobno = 'J1',", "UpMDF = 'U1',", "UpEnd = 'UE',", "DownMDF = 'D1',", "DownEnd = 'DE',",
            "Length = 120.5,",
            "No = 'N1',", "Part = 'P',", "Drawing = 'DR',",
            "AuthorityID = 1,", "ModemTypeID = 2,", "BearerID = 3,", "SpeedID = 4,",
            "Make = 'MK',", "Ch = '2',", "Mux = 'MX',",
            "DateLastChanged = '" + kNow + "',LastUpdatedBy = ' op '",
            "WHERE id = 20",
        };
        QCOMPARE(f->LastStatements(), QVector<QStringList>({update}));
        QCOMPARE(db->AuditRows(), QStringList());
    }

    // A stored text left alone is written as stored, without an audit row.
    // The job number loses its apostrophes only when the operator changed
    // it. A description of any length (its input has no width) is held
    // whole: shortened at its end, it is saved as the input shows it.
    void storedTexts_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");  // "\b": Backspace at the end; else typed over
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("audit");
        QTest::newRow("left alone") << "Jobno" << "O'B" << "" << "Jobno = 'O''B'," << QStringList();
        QTest::newRow("typed") << "Jobno" << "O'B" << "Q'1" << "Jobno = 'Q1',"
                               << QStringList{"op|11|tServiceID|20|JOBNO|'O''B'|'Q1'"};
        const QString long40010 = QString("DESCRIPTION ").repeated(3335).left(40010);
        QTest::newRow("a description of 40,010 characters, shortened at its end")
            << "Description" << long40010 << "\b" << "Description = '" + long40010.left(40009) + "',"
            << QStringList{"op|11|tServiceID|20|DESCRIPTION|'" + long40010 + "'|'" + long40010.left(40009) + "'"};
    }
    void storedTexts()
    {
        QFETCH(QString, input);
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, line);
        QFETCH(QStringList, audit);
        db->Exec("UPDATE tServiceID SET " + input + " = " + Quote(stored) + " WHERE ID = 20;");
        auto f = editing();
        QLineEdit* edit = f->findChild<QLineEdit*>("edt" + input);
        input == "Jobno" ? f->SetJobno(stored) : f->SetDescription(stored);
        if (typed == "\b") {
            f->show();
            edit->setFocus();
            edit->end(false);
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else if (!typed.isEmpty()) {
            type(*f, {input + "=" + typed});
        }
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first().filter(QRegularExpression("^" + input + " = ")), QStringList{line});
        QCOMPARE(db->AuditRows(), audit);
    }

    // Changes in the editor and in the dialog: their lines and one audit row
    // each, cleared ids and dates as NULL.
    void changesAndTheirAuditRows()
    {
        auto f = editing();
        type(*f, {"CustomerCentreID=6", "Description=Reception's desk", "LocationID=", "Jobno=J'2", "app=fax",
                  "d.AuthorityID=", "d.LineLength=99", "d.No=N'1", "InstallationDate=", "TerminationDate=20260301"});
        f->cbKpiDescription->setCurrentIndex(0);
        KV_EXPECT_SAVED(*f);
        const QStringList lines = f->LastStatements().first();
        const QStringList expectedLines = {
            "SET ServiceID = '0291234567', CustomerCentreID = 6, ServiceTypeID = 3,",
            "Description = 'Reception''s desk',", "ApplicationID = 2,", " InstallationDate = NULL,",
            " TerminationDate = '20260301',Active=0,", "LocationID = NULL,", "Jobno = 'J2',", "Length = 99,",
            "ServiceKpiID = NULL,", "No = 'N1',", "AuthorityID = NULL,"};
        for (const QString& expected : expectedLines)
            QVERIFY2(lines.contains(expected), qPrintable(expected));
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("op|11|tServiceID|20|",
                               {"CUSTOMERCENTREID|'5'|'6'", "DESCRIPTION|'Front desk'|'Reception''s desk'",
                                "APPLICATIONID|'1'|'2'", "INSTALLATIONDATE|'20200101'|NULL",
                                "TERMINATIONDATE|NULL|'20260301'", "LOCATIONID|'11'|NULL", "JOBNO|'J1'|'J2'",
                                "LENGTH|'120.5'|'99'", "SERVICEKPIID|'1'|NULL", "AUTHORITYID|'1'|NULL"}));
        QCOMPARE(db->Rows("SELECT CustomerCentreID || '|' || Active || '|' || quote(InstallationDate) || '|' || "
                          "TerminationDate || '|' || quote(LocationID) || '|' || ApplicationID || '|' || "
                          "quote(ServiceKpiID) || '|' || quote(AuthorityID) || '|' || Length FROM tServiceID "
                          "WHERE ID = 20"),
                 QStringList({"6|0|NULL|20260301|NULL|2|NULL|NULL|99.0"}));
    }

    // Rules of single UPDATE lines (the row with a termination date).
    void updateLines_data()
    {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("absent");
        QTest::newRow("a Service of 0 is none") << QStringList({"Service=0"}) << "Service = NULL," << "";
        QTest::newRow("termination date cleared")
            << QStringList({"TerminationDate="}) << " TerminationDate = NULL,Active=1," << "";
        QTest::newRow("a negative line id is none") << QStringList({"d.BearerID=-3"}) << "BearerID = NULL," << "";
        QTest::newRow("an optional id of 0 is none") << QStringList({"CentreID=0"}) << "CentreID = NULL," << "";
        QTest::newRow("application typed in other letters") << QStringList({"app=voice"}) << "" << "ApplicationID";
        QTest::newRow("application erased") << QStringList({"app="}) << "ApplicationID = NULL," << "";
        QTest::newRow("a line detail another changed, another changed in the dialog")
            << QStringList({"d.Mux=MX2", "UPDATE tServiceID SET Make = 'MK2' WHERE ID = 20"})
            << "Make = 'MK2'," << "Make = 'MK',";
    }
    void updateLines()
    {
        QFETCH(QStringList, edits);
        QFETCH(QString, present);
        QFETCH(QString, absent);
        db->Exec("UPDATE tServiceID SET TerminationDate = '20250101' WHERE ID = 20;");
        auto f = editing();
        f->SetTerminationDate(kvtest::Ymd("20250101"));
        typeAndAnother(*f, edits);
        KV_EXPECT_SAVED(*f);
        const QString lines = f->LastStatements().first().join('\n');
        QVERIFY2(present.isEmpty() || f->LastStatements().first().contains(present), qPrintable(lines));
        QVERIFY2(absent.isEmpty() || !lines.contains(absent), qPrintable(lines));
    }

    // ------------------------------------------------------------ refusals

    // Each check's message; the first failure decides; nothing is written
    // and the window stays open with its input. A line detail refused is
    // named after the dialog, which shows again with the focus on it.
    void refusals_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("message");
        using L = QStringList;
        const L valid = {"ServiceID=NW-1", "ServiceTypeID=3", "CustomerCentreID=5"};
        const auto plus = [&](const QString& e) { return valid + L{e}; };
        const QString required = "Valid entries are required for ServiceID,\r\nServiceTypeID, and CustomerCentreID.";
        const QString exists = "The ServiceID %1 already exists. Duplicates are not permitted.";
        QTest::newRow("changing without a row id") << false << L({"ID="})
                                                   << "This service has no ID, so it cannot be changed.";
        QTest::newRow("no ServiceID") << true << L({"ServiceTypeID=3", "CustomerCentreID=5"}) << required;
        QTest::newRow("negative centre") << true << plus("CustomerCentreID=-5") << required;
        QTest::newRow("service type not a number") << true << plus("ServiceTypeID=3x") << "ServiceTypeID MUST be an integer.";
        QTest::newRow("duplicate of an inactive row, any case") << true << plus("ServiceID= old-1 ") << exists.arg("old-1");
        QTest::newRow("changing to another row's ServiceID") << false << L({"ServiceID=AB11"}) << exists.arg("AB11");
        QTest::newRow("service type missing, the first check")
            << true << L({"ServiceID=NW-1", "ServiceTypeID=99", "CustomerCentreID=98", "LocationID=77"})
            << "ServiceTypeID 99 does not exist.";
        QTest::newRow("centre missing") << true << plus("CustomerCentreID=98") << "CustomerCentreID 98 does not exist.";
        QTest::newRow("supplier account") << true << plus("SupplierAccountID=77") << "SupplierAccountID 77 does not exist.";
        QTest::newRow("customer activity, adding") << true << plus("CustomerActivityID=77")
                                                   << "CustomerActivityID does not exist.";
        QTest::newRow("customer activity, changing") << false << L({"CustomerActivityID=77"})
                                                     << "CustomerActivityID 77 does not exist.";
        QTest::newRow("centre, adding") << true << plus("CentreID=77") << "CentreID 77 does not exist.";
        QTest::newRow("centre, changing") << false << L({"CentreID=77"}) << "CentreID does not exist.";
        QTest::newRow("location") << true << plus("LocationID=77") << "LocationID 77 does not exist.";
        QTest::newRow("customer element") << false << L({"CustomerElementID=77"}) << "CustomerElementID 77 does not exist.";
        QTest::newRow("customer subledger") << true << plus("CustomerSubledgerID=77")
                                            << "CustomerSubledgerID 77 does not exist.";
        QTest::newRow("person") << true << plus("PersonID=77") << "PersonID does not exist.";
        QTest::newRow("activity") << false << L({"ActivityID=77"}) << "ActivityID does not exist.";
        QTest::newRow("subledger") << false << L({"SubledgerID=77"}) << "SubledgerID 77 does not exist.";
        QTest::newRow("negative location") << true << plus("LocationID=-1") << "LocationID MUST be an integer.";
        QTest::newRow("application not listed") << false << L({"app=Telex"}) << "The Application Telex is not in its list.";
        // The line details: the message names the dialog and the input.
        QTest::newRow("length with a comma") << false << L({"d.LineLength=12,5"})
                                             << "Details, Line Length: Length must be a number.";
        QTest::newRow("channel not a number") << false << L({"d.Ch=two"}) << "Details, Ch: Ch must be a number.";
        QTest::newRow("negative authority") << true << plus("d.AuthorityID=-2")
                                            << "Details, AuthorityID: AuthorityID MUST be an integer.";
        QTest::newRow("modem type not a number") << false << L({"d.ModemTypeID=EXCH NORTHGATE"})
                                                 << "Details, ModemTypeID: ModemTypeID MUST be an integer.";
        QTest::newRow("bearer missing") << false << L({"d.BearerID=55"}) << "Details, BearerID: BearerID 55 does not exist.";
        QTest::newRow("authority missing") << true << plus("d.AuthorityID=55")
                                           << "Details, AuthorityID: AuthorityID 55 does not exist.";
        QTest::newRow("modem type missing") << false << L({"d.ModemTypeID=55"})
                                            << "Details, ModemTypeID: ModemTypeID 55 does not exist.";
        QTest::newRow("speed missing") << true << plus("d.SpeedID=55") << "Details, SpeedID: SpeedID 55 does not exist.";
        // Another operator changed what the operator changed too.
        QTest::newRow("a line detail another changed too")
            << false << L({"d.Make=MK3", "UPDATE tServiceID SET Make = 'MK2' WHERE ID = 20"})
            << "Another operator changed this row after you opened it: Details, Make is now 'MK2'. Nothing was "
               "saved; close the editor and open the row again.";
        QTest::newRow("an id another changed too")
            << false << L({"LocationID=14", "UPDATE tServiceID SET LocationID = NULL WHERE ID = 20"})
            << "Another operator changed this row after you opened it: LocationID is now ''. Nothing was "
               "saved; close the editor and open the row again.";
    }
    void refusals()
    {
        QFETCH(bool, add);
        QFETCH(QStringList, edits);
        QFETCH(QString, message);
        auto f = add ? adding() : editing();
        typeAndAnother(*f, edits);
        const QString services = "SELECT group_concat(ID || ServiceID || coalesce(LocationID, '') || "
                                 "coalesce(Make, ''), ',') FROM tServiceID";
        const QString before = db->Value(services);
        KV_EXPECT_REFUSED(*f, message);
        QVERIFY(!f->Wrote());
        QCOMPARE(db->Value(services), before);
        QCOMPARE(count("tAuditTrail"), QString("0"));
        QCOMPARE(f->AppendMode(), add);
        // A line detail refused: the dialog shows again on its input.
        const TSysServiceRecordForm* details = f->SysServiceRecordForm;
        if (const qsizetype named = message.indexOf("Details, "); named >= 0) {
            QVERIFY(details->isVisible());
            QVERIFY(details->focusWidget());
            QVERIFY2(message.mid(named).startsWith(TSysServiceRecordForm::InputName(details->focusWidget())),
                     qPrintable(details->focusWidget()->objectName()));
        }
    }

    // Wildcards and quotes in a ServiceID match only themselves; texts of
    // ten thousand characters are written whole; a Service of 0 is added
    // as it stands.
    void textsAsTyped()
    {
        auto f = adding();
        type(*f, {"ServiceID=AB_1", "ServiceTypeID=3", "CustomerCentreID=5", "Service=0"});
        KV_EXPECT_SAVED(*f);  // not refused because AB11 exists
        QCOMPARE(db->Value("SELECT Service FROM tServiceID WHERE ID = 23"), QString("0"));

        const QString longText = QString(5000, 'x') + "'[%_" + QString(4996, 'y');
        f = adding();
        type(*f, {"ServiceID=" + longText, "Service=" + longText, "Description=" + longText, "ServiceTypeID=3",
                  "CustomerCentreID=5", "Jobno=" + longText});
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->Value("SELECT ServiceID = Service AND Service = Description FROM tServiceID WHERE ID = 24"),
                 QString("1"));
        QCOMPARE(db->Value("SELECT length(ServiceID) || '|' || length(JobNo) FROM tServiceID WHERE ID = 24"),
                 QString("10000|9999"));  // the job number loses its quote

        // The same ServiceID again is a duplicate, found through its quote
        // and wildcards.
        f = adding();
        type(*f, {"ServiceID=" + longText, "ServiceTypeID=3", "CustomerCentreID=5"});
        KV_EXPECT_REFUSED(*f, "The ServiceID " + longText + " already exists. Duplicates are not permitted.");
    }

    // ------------------------------------------------------------ Save

    // Save writes and stays: an addition goes on as a change of the new
    // row; each change is audited once; the row just saved is no duplicate.
    void saveAndStay_data()
    {
        QTest::addColumn<bool>("audited");
        QTest::newRow("audited") << true;
        QTest::newRow("not audited") << false;
    }
    void saveAndStay()
    {
        QFETCH(bool, audited);
        if (!audited)
            db->Exec("DELETE FROM tAudit;");
        auto f = adding();
        type(*f, {"ServiceID=NW-7", "ServiceTypeID=3", "CustomerCentreID=5", "Description=First"});
        QCOMPARE(kvtest::Click(*f, "btnSave"), QStringList());
        QCOMPARE(f->result(), 0);  // still open
        QVERIFY(f->Wrote());
        QCOMPARE(f->windowTitle(), QString("System File: tServiceID (EDIT)"));
        QCOMPARE(f->edtID->text(), QString("23"));
        QCOMPARE(f->edtService->text(), QString("NW7"));
        QCOMPARE(f->LastStatements().first().first(), QString("INSERT INTO tServiceID"));

        // The names beside changed ids are read again: the supplier account
        // from the table its check uses.
        type(*f, {"Description=Second", "LocationID=14", "SupplierAccountID=15"});
        QCOMPARE(kvtest::Click(*f, "btnSave"), QStringList());
        QCOMPARE(f->LastStatements().first().first(), QString("UPDATE tServiceID"));
        QCOMPARE(f->LastStatements().first().last(), QString("WHERE id = 23"));
        QCOMPARE(f->NameEdit(R::LocationID)->text() + "|" + f->NameEdit(R::SupplierAccountID)->text(),
                 QString("Hobart|ACC-15"));

        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().size(), 1);  // the UPDATE, no audit rows
        QCOMPARE(count("tServiceID"), QString("4"));
        QCOMPARE(db->Value("SELECT Description || '|' || LocationID || '|' || Service || '|' || SupplierAccountID "
                           "FROM tServiceID WHERE ID = 23"),
                 QString("Second|14|NW7|15"));
        QStringList expected;
        if (audited)
            expected = kvtest::Prefixed("op|13|tServiceID|23|",
                                        {"SERVICEID|NULL|'NW-7'", "SERVICETYPEID|NULL|'3'", "CUSTOMERCENTREID|NULL|'5'",
                                         "SERVICE|NULL|'NW7'", "DESCRIPTION|NULL|'First'",
                                         "INSTALLATIONDATE|NULL|'20260305'", "ACTIVE|NULL|'1'"}) +
                       kvtest::Prefixed("op|11|tServiceID|23|", {"DESCRIPTION|'First'|'Second'", "SUPPLIERACCOUNTID|NULL|'15'",
                                                                   "LOCATIONID|NULL|'14'"});
        QCOMPARE(db->AuditRows(), expected);
    }

    // Beside a row whose id is beyond 32 bits, Save (which goes on with the
    // new row) is refused before anything is kept, the window not being
    // able to carry the new id; OK adds the row, audited on its whole id.
    // A new id just inside 32 bits is carried: Save goes on with that row.
    void addBesideAWideId_data()
    {
        QTest::addColumn<qlonglong>("last");  // the largest id before the addition
        QTest::newRow("the new id the largest 32-bit one") << 2147483646LL;
        QTest::newRow("the new id just beyond 32 bits") << 2147483647LL;
        QTest::newRow("the new id well beyond 32 bits") << 3000000000LL;
    }
    void addBesideAWideId()
    {
        QFETCH(qlonglong, last);
        db->Exec(QString("INSERT INTO tServiceID (ID, ServiceID, ServiceTypeID, CustomerCentreID, Active) VALUES "
                         "(%1,'WIDE',3,5,1)").arg(last));
        const qlonglong added = last + 1;
        const bool fits = added <= std::numeric_limits<int>::max();
        auto f = adding();
        type(*f, {"ServiceID=NW-8", "ServiceTypeID=3", "CustomerCentreID=5"});
        QCOMPARE(kvtest::Click(*f, "btnSave"),
                 fits ? QStringList()
                      : QStringList({QString("The new row would get the id %1, which is too large for this program; "
                                             "nothing was saved.").arg(added)}));
        QCOMPARE(f->Wrote(), fits);
        QCOMPARE(f->AppendMode(), !fits);
        QCOMPARE(count("tServiceID"), QString(fits ? "5" : "4"));
        if (fits) {
            QCOMPARE(qlonglong(f->ID()), added);
            type(*f, {"Description=Carried"});
        } else {
            QCOMPARE(db->AuditRows(), QStringList());
        }
        KV_EXPECT_SAVED(*f);
        QCOMPARE(count("tServiceID"), QString("5"));
        QCOMPARE(db->Value(QString("SELECT ServiceID || '|' || ifnull(Description, '') FROM tServiceID WHERE ID = %1")
                               .arg(added)),
                 QString(fits ? "NW-8|Carried" : "NW-8|"));
        QCOMPARE(db->Rows("SELECT DISTINCT TableID FROM tAuditTrail"), QStringList({QString::number(added)}));
    }

    // ------------------------------------------------------------ line details

    void lineDetailDialog()
    {
        auto f = editing();
        f->show();
        TSysServiceRecordForm* d = f->SysServiceRecordForm;
        QVERIFY(d->isHidden());
        QCOMPARE(d->parent(), f.get());  // closes with the editor
        f->btnDetailsClick();
        QVERIFY(d->isVisible());
        QVERIFY(!d->isModal());
        QCOMPARE(d->windowTitle(), QString("Service Record for 0291234567"));
        QVERIFY(!d->edtUpEnd->isEnabled() && !d->edtDownEnd->isEnabled());

        // The amounts show what is stored, whole, and take nothing the
        // operator types, pastes or commits; they look so, on the window's
        // grey. No statement writes them: the dialog hands them back as it
        // got them.
        QCOMPARE(d->edtCost->text(), QString("12.5"));
        QGuiApplication::clipboard()->setText("77");
        for (TCurrencyEdit* amount : {d->edtCost, d->edtCost100, d->edtInvoiced}) {
            const QString before = amount->text();
            kvtest::Retype(amount, "9€");
            QInputMethodEvent digit;
            digit.setCommitString("7");
            QApplication::sendEvent(amount, &digit);
            QTest::keyClick(amount, Qt::Key_Backspace);
            QTest::keySequence(amount, QKeySequence::Paste);
            QCOMPARE(amount->text(), before);
            QCOMPARE(amount->palette().color(QPalette::Base), d->palette().color(QPalette::Window));
            QVERIFY(amount->palette().color(QPalette::Base) != d->edtNo->palette().color(QPalette::Base));
        }
        QCOMPARE(d->Details().Cost, 12.5);

        // Filled the first time only: later clicks show it as it was left.
        d->edtNo->setText("N9");
        f->edtServiceID->setText("0299999999");
        QTest::mouseClick(d->btnCancel, Qt::LeftButton);
        QVERIFY(d->isHidden());
        QVERIFY(!d->RecordStatus());
        f->btnDetailsClick();
        QCOMPARE(d->edtNo->text(), QString("N9"));
        QCOMPARE(d->FormCaptionName(), QString("0291234567"));
    }

    // Details, change, Okay, OK: written and audited. Details, change, then
    // Cancel or the close box: not written.
    void lineDetailsComeBackAfterOkay_data()
    {
        QTest::addColumn<QString>("closedWith");
        QTest::addColumn<bool>("written");
        QTest::newRow("Okay") << "okay" << true;
        QTest::newRow("Cancel") << "cancel" << false;
        QTest::newRow("close box") << "close" << false;
        QTest::newRow("Esc") << "esc" << false;
    }
    void lineDetailsComeBackAfterOkay()
    {
        QFETCH(QString, closedWith);
        QFETCH(bool, written);
        auto f = editing();
        f->show();
        f->btnDetailsClick();
        TSysServiceRecordForm* d = f->SysServiceRecordForm;
        d->edtDrawing->setText(" DR2 ");
        d->edtModemTypeID->setText("");
        if (closedWith == "okay")
            QTest::mouseClick(d->btnOk, Qt::LeftButton);
        else if (closedWith == "cancel")
            QTest::mouseClick(d->btnCancel, Qt::LeftButton);
        else if (closedWith == "close")
            d->close();
        else
            QTest::keyClick(d, Qt::Key_Escape);
        QVERIFY(d->isHidden());
        KV_EXPECT_SAVED(*f);
        QCOMPARE(db->Value("SELECT Drawing || '|' || quote(ModemTypeID) FROM tServiceID WHERE ID = 20"),
                 written ? QString("DR2|NULL") : QString("DR|2"));
        QCOMPARE(db->AuditRows(), written ? kvtest::Prefixed("op|11|tServiceID|20|",
                                                             {"DRAWING|'DR'|'DR2'", "MODEMTYPEID|'2'|NULL"})
                                          : QStringList());
    }

    // Values taken back from the dialog are not the saved ones: a Save
    // audits them, a second Save does not audit them again, and a later
    // Okay with further changes audits only those.
    void lineDetailsAuditedOnce()
    {
        auto f = editing();
        f->show();
        type(*f, {"d.Make=MK2"});
        f->btnSaveClick();
        type(*f, {"d.Mux=MX2"});
        f->btnSaveClick();
        f->btnSaveClick();
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("op|11|tServiceID|20|", {"MAKE|'MK'|'MK2'", "MUX|'MX'|'MX2'"}));
    }
};

KV_TEST_MAIN(TestSysEditServiceID)
#include "tst_syseditserviceid.moc"
