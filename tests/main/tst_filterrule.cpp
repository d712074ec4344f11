#include "CommonControlFns.h"
#include "DataMod.h"
#include "MainFixture.h"
#include "PageQueries.h"

// The filter bar's rule and column lists, without a window: the statement
// lines a filter gives, and what they select on the demo data.
namespace {

bool hasActiveField(const PageQuery& p)
{
    for (const TFieldDef& f : p.Fields)
        if (f.Name == QLatin1String("Active"))
            return true;
    return false;
}

// The page's query filtered on the caption with the value, Current ticked
// alone where the page has the boxes, as the window applies it.
std::unique_ptr<TQuery> filteredPage(int pageId, const QString& caption, const QString& value)
{
    const PageQuery* p = FindPageQuery(pageId);
    QString clause;
    if (!FilterClause(pageId, int(GetFilterFields(pageId).indexOf(caption)), clause))
        qFatal("no caption %s on page %d", qPrintable(caption), pageId);
    auto q = std::make_unique<TQuery>(nullptr, QLatin1String(kDatabaseName));
    q->SQL().Assign(FilterQueryLines(p->Sql, clause.trimmed(), value, {hasActiveField(*p), true, false}).Lines);
    q->SetFieldDefs(p->Fields);
    q->Open();
    return q;
}

}  // namespace

class TestFilterRule : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

private slots:
    void initTestCase()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec(kvtest::DemoSql());
    }
    void cleanupTestCase() { db.reset(); }

    void lines_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("clause");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("current");
        QTest::addColumn<bool>("terminated");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("dropped");

        const QStringList paged{"SELECT *", "FROM tActivity", "WHERE Active = 1", "ORDER BY Description"};
        auto withSlot = [&](const QString& line) {
            return QStringList{"SELECT *", "FROM tActivity", line, "ORDER BY Description"};
        };
        QTest::newRow("text replaces the page's own condition, current rows")
            << paged << "Description LIKE '" << "AB" << true << true << false
            << withSlot("WHERE Description LIKE 'AB%'AND Active = 1") << false;
        QTest::newRow("current unticked: terminated rows")
            << paged << "Description LIKE '" << "" << true << false << false << withSlot("WHERE Active <> 1") << false;
        QTest::newRow("current unticked with a condition")
            << paged << "ID =" << "4" << true << false << true << withSlot("WHERE ID =4AND Active <> 1") << false;
        QTest::newRow("both ticked and no value: the line goes")
            << paged << "ID =" << "" << true << true << true
            << QStringList{"SELECT *", "FROM tActivity", "ORDER BY Description"} << false;
        QTest::newRow("boxes not shown add nothing")
            << paged << "ID =" << "7" << false << false << false << withSlot("WHERE ID =7") << false;
        QTest::newRow("the last WHERE line is the slot")
            << QStringList{"SELECT *", "FROM (SELECT * FROM tRate", "WHERE Code > 0) AS R", "WHERE Active = 1"}
            << "Code LIKE '" << "X" << false << true << false
            << QStringList{"SELECT *", "FROM (SELECT * FROM tRate", "WHERE Code > 0) AS R", "WHERE Code LIKE 'X%'"}
            << false;
        QTest::newRow("no WHERE: the ORDER BY line moves to the end")
            << QStringList{"SELECT *", "FROM tActivity", "ORDER BY Description", "-- end"} << "ID =" << "3" << false
            << true << false
            << QStringList{"SELECT *", "FROM tActivity", "WHERE ID =3", "-- end", "ORDER BY Description"} << false;
        QTest::newRow("neither WHERE nor ORDER BY: a new last line")
            << QStringList{"SELECT *", "FROM tProgram"} << "Description LIKE '" << "LOAD" << false << true << false
            << QStringList{"SELECT *", "FROM tProgram", "WHERE Description LIKE 'LOAD%'"} << false;
        QTest::newRow("number cut at its first non-digit")
            << paged << "ID =" << " 12x " << true << true << false << withSlot("WHERE ID =12AND Active = 1") << false;
        QTest::newRow("number without digits: only the Active piece")
            << paged << "ID =" << "abc" << true << true << false << withSlot("WHERE Active = 1") << true;
        QTest::newRow("apostrophe doubled, the operator's wildcards kept")
            << paged << "FullName LIKE '" << "O'B_%" << false << true << false
            << withSlot("WHERE FullName LIKE 'O''B_%%'") << false;
        QTest::newRow("date compared exactly")
            << paged << "StartDate = '" << "20100701" << true << true << false
            << withSlot("WHERE StartDate = '20100701'AND Active = 1") << false;
        QTest::newRow("percentage compared exactly, quote doubled")
            << paged << "CallPercentage = '" << "5'" << false << true << false
            << withSlot("WHERE CallPercentage = '5'''") << false;
        QTest::newRow("number after a word gets a blank")
            << paged << "KpiNumber LIKE" << "1a" << true << true << false
            << withSlot("WHERE KpiNumber LIKE 1AND Active = 1") << false;
        QTest::newRow("clause derived from the shown column keeps its blank")
            << paged << "BatchID = " << "1111" << false << true << false << withSlot("WHERE BatchID = 1111") << false;
        QTest::newRow("value without a clause: only the Active piece")
            << paged << "" << "42" << true << true << false << withSlot("WHERE Active = 1") << false;
    }
    void lines()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, clause);
        QFETCH(QString, value);
        QFETCH(bool, shown);
        QFETCH(bool, current);
        QFETCH(bool, terminated);
        QFETCH(QStringList, expected);
        QFETCH(bool, dropped);
        const FilteredLines out = FilterQueryLines(lines, clause, value, {shown, current, terminated});
        QCOMPARE(out.Lines, expected);
        QCOMPARE(out.ValueDropped, dropped);
    }

    // The clause behind a caption where it is not the caption's own
    // "= " or "LIKE '": another column, an exact text, a bare LIKE.
    void clauses_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("clause");
        QTest::newRow("1001 number") << 1001 << "CustomerID" << "CustomerID = ";
        QTest::newRow("1001 text") << 1001 << "ShipTo" << "ShipTo LIKE '";
        QTest::newRow("1003 supplier name") << 1003 << "Supplier" << "SupplierName LIKE '";
        QTest::newRow("1010 date exactly") << 1010 << "Date" << "StatusChangeDate = '";
        QTest::newRow("1052 number by LIKE") << 1052 << "KpiNumber" << "KpiNumber LIKE ";
        QTest::newRow("1062 shortened caption") << 1062 << "ValidID" << "ValidAccountNumberID = ";
        QTest::newRow("1066 flag") << 1066 << "ZivIruri" << "ZivIruri = ";
        QTest::newRow("1082 caption case") << 1082 << "Surname" << "SurName LIKE '";
    }
    void clauses()
    {
        QFETCH(int, page);
        QFETCH(QString, caption);
        QString clause;
        QVERIFY(FilterClause(page, int(GetFilterFields(page).indexOf(caption)), clause));
        QTEST(clause, "clause");
        QVERIFY(!FilterClause(page, int(GetFilterFields(page).size()), clause));
        QVERIFY(!FilterClause(page, -1, clause));
        QVERIFY(!FilterClause(999, 0, clause));
    }

    // The caption list of every page's filter bar, in its order (page 1066
    // offers no "System": its query has no such column).
    void everyPageCaptionList_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("captions");
        const struct {
            int page;
            QStringList captions;
        } rows[] = {
            {1001, {"ID", "Description", "CustomerID", "ShipTo"}},
            {1002, {"ServiceID", "ServiceType", "Description", "CallCode", "RateDescription", "BatchID"}},
            {1003, {"ID", "AgreementNo", "SupplierID", "Supplier"}},
            {1004, {"ID", "AgreementNo", "AgreementType", "SupplierID", "Supplier", "Code", "ValidAccountNo"}},
            {1005, {"ID", "Description"}},
            {1006, {"ID", "Description"}},
            {1007, {"ID", "[Table]", "UserLogin"}},
            {1008, {"UserID", "Action", "TableName", "TableID", "FieldName", "OldValue", "NewValue"}},
            {1009, {"ID", "BatchTypeID", "BatchType", "BatchStatusID", "BatchStatus", "BillingPeriod", "SupplierID",
                    "SupplierAccountID", "InvoiceNo", "RequisitionNumber", "OrderNumber", "TenderNo"}},
            {1010, {"ID", "BatchID", "BatchType", "BatchStatusID", "BatchStatus", "Date", "BillingPeriod", "UserID",
                    "Operator"}},
            {1011, {"ID", "Description"}},
            {1012, {"ID", "Description", "SupplierID", "SupplierName", "DataSourceTypeID", "DataSource",
                    "ValidAccount", "ProgramDesc", "TenderNo", "AccountNoName", "InvoiceNoName", "TotalRevenueName",
                    "TotalPayableName", "TotalCreditsName", "OpeningBalanceName", "PaymentsReceivedName",
                    "TotalAdjustmentsName", "BatchStartName", "BatchEndName", "PaymentDateName",
                    "CreditsToCustomersName", "GSTname", "GSTAdjustmentName", "OrderNumberName",
                    "RequisitionNumberName", "IssueDateName", "RoundingName"}},
            {1013, {"ID", "Description", "DepartmentID", "Department", "GroupID", "GroupName", "CustomerID",
                    "ShipTo", "FullName"}},
            {1014, {"ValidAccountNumberID", "AccountNo", "TransactionTypeID", "TransactionType"}},
            {1015, {"ID", "Description"}},
            {1016, {"ID", "ShipTo", "FullName", "VNumber", "Address01", "Address02", "Address03", "Address04",
                    "Address05", "Address06", "Status", "Invoice", "InvoiceServices", "PlatinumUpdate"}},
            {1021, {"DCField", "DCValue", "TransValue"}},
            {1022, {}},
            {1023, {"ID", "DataSource"}},
            {1024, {"ID", "Description", "GroupID", "GroupName", "CustomerID", "ShipTo"}},
            {1025, {"ID", "Description"}},
            {1026, {"ID", "Description"}},
            {1027, {"ServiceTypeID", "Code", "ServiceType", "CustomerID", "ShipTo"}},
            {1028, {"ServiceTypeID", "Code", "ServiceType", "CustomerID", "ShipTo"}},
            {1029, {"ID", "Description"}},
            {1030, {"ID", "BatchID", "ServiceID", "ShipTo", "UserLogin", "DubiousResolution", "DubiousType", "Code"}},
            {1031, {"ID", "Description"}},
            {1032, {"ID", "DubiousTypeID", "DubiousType", "DubiousResolutionID", "Resolution"}},
            {1041, {"ID", "ElementCode", "Description", "CustomerID", "ShipTo", "ServiceGroupID", "PlatinumUpdate",
                    "ReportGroupID"}},
            {1042, {"ID", "Description"}},
            {1043, {"ID", "Description", "CustomerID", "ShipTo"}},
            {1044, {"ID", "Description"}},
            {1045, {"ID", "Description"}},
            {1046, {"Parm", "ParmField", "ParmText", "ParmDescription"}},
            {1047, {"ID", "Person", "Active"}},
            {1048, {"ID", "Description"}},
            {1049, {"ID", "ServiceTypeID", "Code", "ServiceType", "RateDescription", "LastUpdatedBy"}},
            {1050, {"ID", "Description"}},
            {1051, {"ID", "ServiceID", "Service", "Jobno", "ServiceTypeID", "Code", "ServiceType", "SACC",
                    "Description", "SupplierAccountID", "AccountNo", "CustomerID", "ShipTo", "Customer",
                    "CustomerCentreID", "CustomerCentre", "CustomerActivityID", "CustomerActivity",
                    "CustomerElementID", "CustomerElement", "CustomerSubledgerID", "CustomerSubledger", "PayType",
                    "CentreID", "Centre", "ActivityID", "Activity", "ElementID", "Element", "SubledgerID",
                    "Subledger", "LocationID", "Location", "PersonID", "Person", "App_ID", "Application", "UpEnd",
                    "UpMDF", "DownEnd", "DownMDF"}},
            {1052, {"ID", "KpiNumber", "Description", "ResponseHours", "RestorationHours", "Availability",
                    "CoreHours", "AfterHours", "TravelTime", "FaultDetect"}},
            {1061, {"ID", "ServiceID", "ServiceID_Desc", "CustomerID", "ShipTo", "CallPercentage", "RentPercentage",
                    "OtherPercentage"}},
            {1062, {"ServTypID", "Code", "ServiceType", "SuppID", "SupplierName", "SysID", "System", "BatchTypeID",
                    "BatchTypeDescription", "ValidID", "AccountNo"}},
            {1063, {"ID", "Code", "Description", "SupplierID", "SupplierName", "RevElementID", "RevenueElement",
                    "ExpElementID", "ExpenseElement", "AdminFee", "SystemID", "System", "ExportToTims",
                    "SplitService", "VRTServiceType", "ExpectedRent", "NoCalls", "Active"}},
            {1064, {"ID", "Status", "Active", "StartDate", "EndDate", "LastUpdatedBy"}},
            {1065, {"ID", "Description", "CustomerID", "ShipTo", "StartDate", "EndDate", "Active"}},
            {1066, {"ID", "SupplierName", "PlatinumVendorID", "PlatinumUpdate", "ZivIruri", "Address01"}},
            {1067, {"ID", "Code", "AmountCategory", "Description", "TransactionTypeDesc", "TransactionTypeID",
                    "TransactionType", "SupplierID", "SupplierName"}},
            {1068, {"ID", "System", "BatchTypeID", "BatchType"}},
            {1069, {"ID", "Description"}},
            {1070, {"ID", "Description", "TransactionGroupID", "TransactionGroup", "SystemID", "System"}},
            {1081, {"ID", "UserLogin", "FirstName", "Surname"}},
            {1082, {"UserLogin", "Password", "FirstName", "Surname"}},
            {1083, {"ID", "AccountNo", "BatchTypeID", "BatchType", "Active"}},
        };
        for (const auto& r : rows)
            QTest::addRow("%d", r.page) << r.page << r.captions;
    }
    void everyPageCaptionList()
    {
        QFETCH(int, page);
        QFETCH(QStringList, captions);
        QCOMPARE(GetFilterFields(page), captions);
        QVERIFY(FindPage(page));
    }

    // Every clause of every page runs on the schema with a value.
    void everyClauseRuns()
    {
        for (const PageQuery& p : PageQueries()) {
            const QStringList captions = GetFilterFields(p.PageID);
            for (const QString& caption : captions) {
                try {
                    filteredPage(p.PageID, caption, QStringLiteral("1"));
                } catch (const EDatabaseError& e) {
                    QFAIL(qPrintable(QString("%1 %2: %3").arg(p.PageID).arg(caption, e.Message())));
                }
            }
        }
    }

    // What a filter selects, against the same condition asked directly.
    void selectedRows_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("countSql");
        QTest::addColumn<bool>("found");
        QTest::newRow("text starts with, any case")
            << 1001 << "Description" << "CL" << "SELECT COUNT(*) FROM tActivity WHERE Description LIKE 'cl%' AND Active = 1" << true;
        QTest::newRow("date exactly")
            << 1064 << "StartDate" << "20100701"
            << "SELECT COUNT(*) FROM tStatus WHERE StartDate = '20100701' AND Active = 1" << true;
        QTest::newRow("percentage 50, not 5")
            << 1061 << "CallPercentage" << "50" << "SELECT COUNT(*) FROM tServiceSplit WHERE CallPercentage = 50 AND Active = 1" << true;
        QTest::newRow("percentage 5 finds no 50")
            << 1061 << "CallPercentage" << "5" << "SELECT COUNT(*) FROM tServiceSplit WHERE CallPercentage = 5" << false;
    }
    void selectedRows()
    {
        QFETCH(int, page);
        QFETCH(QString, caption);
        QFETCH(QString, value);
        QFETCH(QString, countSql);
        const int expected = db->Value(countSql).toInt();
        QTEST(expected > 0, "found");  // the demo data has such rows, or none
        QCOMPARE(filteredPage(page, caption, value)->RecordCount(), expected);
    }
};

KV_TEST_MAIN(TestFilterRule)
#include "tst_filterrule.moc"
