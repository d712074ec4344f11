#include "CommonControlFns.h"
#include "GenFns.h"
#include "SqlText.h"
#include <QHash>
#include <algorithm>

namespace {
// Captions by page. "=" after a caption: compared as a number; "*": the
// clause comes from the table below; otherwise a text compared with LIKE.
const QHash<int, QStringList>& captions()
{
    static const QHash<int, QStringList> table = {
        {1001, {"ID=", "Description", "CustomerID=", "ShipTo"}},
        {1002, {"ServiceID", "ServiceType", "Description", "CallCode", "RateDescription", "BatchID="}},
        {1003, {"ID=", "AgreementNo", "SupplierID=", "Supplier*"}},
        {1004, {"ID=", "AgreementNo", "AgreementType", "SupplierID=", "Supplier*", "Code", "ValidAccountNo"}},
        {1005, {"ID=", "Description"}},
        {1006, {"ID=", "Description"}},
        {1007, {"ID=", "[Table]", "UserLogin"}},
        {1008, {"UserID", "Action=", "TableName", "TableID=", "FieldName", "OldValue", "NewValue"}},
        {1009, {"ID=", "BatchTypeID=", "BatchType", "BatchStatusID=", "BatchStatus", "BillingPeriod", "SupplierID=",
                "SupplierAccountID=", "InvoiceNo", "RequisitionNumber", "OrderNumber", "TenderNo"}},
        {1010, {"ID=", "BatchID=", "BatchType", "BatchStatusID=", "BatchStatus", "Date*", "BillingPeriod", "UserID=",
                "Operator"}},
        {1011, {"ID=", "Description"}},
        {1012, {"ID=", "Description", "SupplierID=", "SupplierName", "DataSourceTypeID=", "DataSource", "ValidAccount",
                "ProgramDesc", "TenderNo", "AccountNoName", "InvoiceNoName", "TotalRevenueName", "TotalPayableName",
                "TotalCreditsName", "OpeningBalanceName", "PaymentsReceivedName", "TotalAdjustmentsName",
                "BatchStartName", "BatchEndName", "PaymentDateName", "CreditsToCustomersName", "GSTname",
                "GSTAdjustmentName", "OrderNumberName", "RequisitionNumberName*", "IssueDateName", "RoundingName"}},
        {1013, {"ID=", "Description", "DepartmentID=", "Department", "GroupID=", "GroupName", "CustomerID=", "ShipTo",
                "FullName"}},
        {1014, {"ValidAccountNumberID=", "AccountNo", "TransactionTypeID=", "TransactionType"}},
        {1015, {"ID=", "Description"}},
        {1016, {"ID=", "ShipTo", "FullName", "VNumber", "Address01", "Address02", "Address03", "Address04",
                "Address05", "Address06", "Status", "Invoice=", "InvoiceServices=", "PlatinumUpdate="}},
        {1021, {"DCField", "DCValue", "TransValue"}},
        {1022, {}},
        {1023, {"ID=", "DataSource"}},
        {1024, {"ID=", "Description", "GroupID=", "GroupName", "CustomerID=", "ShipTo"}},
        {1025, {"ID=", "Description"}},
        {1026, {"ID=", "Description"}},
        {1027, {"ServiceTypeID=", "Code", "ServiceType", "CustomerID=", "ShipTo"}},
        {1028, {"ServiceTypeID=", "Code", "ServiceType", "CustomerID=", "ShipTo"}},
        {1029, {"ID=", "Description"}},
        {1030, {"ID=", "BatchID=", "ServiceID", "ShipTo", "UserLogin", "DubiousResolution", "DubiousType", "Code"}},
        {1031, {"ID=", "Description"}},
        {1032, {"ID=", "DubiousTypeID=", "DubiousType", "DubiousResolutionID=", "Resolution"}},
        {1041, {"ID=", "ElementCode", "Description", "CustomerID=", "ShipTo", "ServiceGroupID=", "PlatinumUpdate=",
                "ReportGroupID="}},
        {1042, {"ID=", "Description"}},
        {1043, {"ID=", "Description", "CustomerID=", "ShipTo"}},
        {1044, {"ID=", "Description"}},
        {1045, {"ID=", "Description"}},
        {1046, {"Parm", "ParmField", "ParmText", "ParmDescription"}},
        {1047, {"ID=", "Person", "Active="}},
        {1048, {"ID=", "Description"}},
        {1049, {"ID=", "ServiceTypeID=", "Code", "ServiceType", "RateDescription", "LastUpdatedBy"}},
        {1050, {"ID=", "Description"}},
        {1051, {"ID=", "ServiceID", "Service", "Jobno", "ServiceTypeID=", "Code", "ServiceType", "SACC*",
                "Description", "SupplierAccountID=", "AccountNo", "CustomerID=", "ShipTo", "Customer",
                "CustomerCentreID=", "CustomerCentre", "CustomerActivityID=", "CustomerActivity",
                "CustomerElementID=", "CustomerElement", "CustomerSubledgerID=", "CustomerSubledger", "PayType",
                "CentreID=", "Centre", "ActivityID=", "Activity", "ElementID=", "Element", "SubledgerID=",
                "Subledger", "LocationID=", "Location", "PersonID=", "Person", "App_ID*", "Application", "UpEnd",
                "UpMDF", "DownEnd", "DownMDF"}},
        {1052, {"ID=", "KpiNumber*", "Description", "ResponseHours", "RestorationHours", "Availability", "CoreHours",
                "AfterHours", "TravelTime", "FaultDetect"}},
        {1061, {"ID=", "ServiceID=", "ServiceID_Desc", "CustomerID=", "ShipTo", "CallPercentage*", "RentPercentage*",
                "OtherPercentage*"}},
        {1062, {"ServTypID*", "Code", "ServiceType", "SuppID*", "SupplierName", "SysID*", "System", "BatchTypeID=",
                "BatchTypeDescription", "ValidID*", "AccountNo"}},
        {1063, {"ID=", "Code", "Description", "SupplierID=", "SupplierName", "RevElementID*", "RevenueElement",
                "ExpElementID*", "ExpenseElement", "AdminFee=", "SystemID=", "System", "ExportToTims=",
                "SplitService=", "VRTServiceType=", "ExpectedRent=", "NoCalls=", "Active="}},
        {1064, {"ID=", "Status", "Active=", "StartDate*", "EndDate*", "LastUpdatedBy"}},
        {1065, {"ID=", "Description", "CustomerID=", "ShipTo", "StartDate*", "EndDate*", "Active="}},
        // Without "System": it would filter on a column the supplier page's query does not have.
        {1066, {"ID=", "SupplierName", "PlatinumVendorID", "PlatinumUpdate=", "ZivIruri=", "Address01"}},
        {1067, {"ID=", "Code", "AmountCategory", "Description", "TransactionTypeDesc", "TransactionTypeID=",
                "TransactionType", "SupplierID=", "SupplierName"}},
        {1068, {"ID=", "System", "BatchTypeID=", "BatchType"}},
        {1069, {"ID=", "Description"}},
        {1070, {"ID=", "Description", "TransactionGroupID=", "TransactionGroup", "SystemID=", "System"}},
        {1081, {"ID=", "UserLogin", "FirstName", "Surname"}},
        {1082, {"UserLogin", "Password", "FirstName", "Surname*"}},
        {1083, {"ID=", "AccountNo", "BatchTypeID=", "BatchType", "Active="}},
    };
    return table;
}

// Captions with a clause of their own. Those ending in "= '" (dates and
// percentages) compare the typed value exactly.
QString ownClause(int pageId, const QString& caption)
{
    struct Own {
        int page;
        const char* caption;
        const char* clause;
    };
    static const Own table[] = {
        {1003, "Supplier", "SupplierName LIKE '"},  // the page's column is SupplierName
        {1004, "Supplier", "SupplierName LIKE '"},
        {1010, "Date", "StatusChangeDate = '"},
        {1012, "RequisitionNumberName", "requisitionNumberName LIKE '"},
        {1051, "SACC", "SACCnumber LIKE '"},
        {1051, "App_ID", "ApplicationID = "},
        {1052, "KpiNumber", "KpiNumber LIKE "},
        {1061, "CallPercentage", "CallPercentage = '"},
        {1061, "RentPercentage", "RentPercentage = '"},
        {1061, "OtherPercentage", "OtherPercentage = '"},
        {1062, "ServTypID", "ServiceTypeID = "},
        {1062, "SuppID", "SupplierID = "},
        {1062, "SysID", "SystemID = "},
        {1062, "ValidID", "ValidAccountNumberID = "},
        {1063, "RevElementID", "RevenueElementID = "},
        {1063, "ExpElementID", "ExpenseElementID = "},
        {1064, "StartDate", "StartDate = '"},
        {1064, "EndDate", "EndDate = '"},
        {1065, "StartDate", "StartDate = '"},
        {1065, "EndDate", "EndDate = '"},
        {1082, "Surname", "SurName LIKE '"},
    };
    for (const Own& o : table)
        if (o.page == pageId && caption == QLatin1String(o.caption))
            return QLatin1String(o.clause);
    return QString();
}

QString captionOf(const QString& entry)
{
    return entry.endsWith(QChar('=')) || entry.endsWith(QChar('*')) ? entry.left(entry.size() - 1) : entry;
}
}  // namespace

QStringList GetFilterFields(int pageId)
{
    QStringList out;
    for (const QString& e : captions().value(pageId))
        out << captionOf(e);
    return out;
}

QList<int> FilterListPages()
{
    QList<int> ids = captions().keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool FilterClause(int pageId, int index, QString& clause)
{
    const QStringList entries = captions().value(pageId);
    if (index < 0 || index >= entries.size())
        return false;
    const QString& e = entries[index];
    const QString caption = captionOf(e);
    if (e.endsWith(QChar('*')))
        clause = ownClause(pageId, caption);
    else if (e.endsWith(QChar('=')))
        clause = caption + QStringLiteral(" = ");
    else
        clause = caption + QStringLiteral(" LIKE '");
    return true;
}

namespace {
// The line of the page's own condition: the last one holding "WHERE ";
// without one, the ORDER BY line's place (the ORDER BY moving to the end);
// without that, a new last line.
int conditionLine(QStringList& text)
{
    for (int i = int(text.size()) - 1; i >= 0; --i)
        if (text[i].toUpper().contains(QLatin1String("WHERE ")))
            return i;
    for (int i = 0; i < text.size(); ++i)
        if (text[i].toUpper().contains(QLatin1String("ORDER BY "))) {
            text.append(text[i]);
            return i;
        }
    text.append(QString());
    return int(text.size()) - 1;
}
}  // namespace

FilteredLines FilterQueryLines(const QStringList& lines, const QString& clause, const QString& value,
                               const ActiveBoxes& boxes)
{
    FilteredLines out{lines, false};
    QStringList& text = out.Lines;
    const int slot = conditionLine(text);

    QString condition;
    QString v = value.trimmed();
    const QString& c = clause;
    if (!v.isEmpty() && !c.trimmed().isEmpty()) {
        condition = QStringLiteral("WHERE ") + c;
        if (c.endsWith(QStringLiteral("= '"))) {
            condition += SqlStr(v) + QChar('\'');  // dates and percentages: the value exactly
        } else if (c.endsWith(QChar('\''))) {
            condition += SqlStr(v) + QStringLiteral("%'");  // the operator's own % and _ stay wildcards
        } else {
            bool cut = false;
            CutAtFirstNonDigit(v, cut);
            if (v.isEmpty()) {
                condition.clear();
                out.ValueDropped = true;
            } else {
                if (c.back().isLetter())  // "KpiNumber LIKE": a blank before the number
                    condition += QChar(' ');
                condition += v;
            }
        }
    }

    QString piece;
    if (boxes.Shown) {
        const QString join = condition.isEmpty() ? QStringLiteral("WHERE ") : QStringLiteral("AND ");
        if (!boxes.Current)
            piece = join + QStringLiteral("Active <> 1");
        else if (!boxes.Terminated)
            piece = join + QStringLiteral("Active = 1");
    }
    text[slot] = condition + piece;
    if (text[slot].trimmed().isEmpty())
        text.removeAt(slot);
    return out;
}

QStringList KeyRowLines(const QStringList& lines, const QString& keyField)
{
    QStringList text = lines;
    text[conditionLine(text)] = QStringLiteral("WHERE ") + keyField + QStringLiteral(" = ?");
    return text;
}
