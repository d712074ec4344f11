// The generic editor's Save: the checks of the table chosen, then its INSERT
// or UPDATE and its audit rows, all in one attempt.
#include "DateFunctions.h"
#include "Formats.h"
#include "GenFns.h"
#include "Locale.h"
#include "OperatorIdentity.h"
#include "SqlText.h"
#include "SysEdit.h"
#include "ToolEdit.h"
#include <QCheckBox>
#include <QHash>
#include <QLineEdit>
#include <QLocale>
#include <cmath>

namespace {

// The three-decimal form of a rate's length or percentage: thousandths,
// halves to the even thousandth, written with a point and three decimals.
QString threeDecimals(const QString& text)
{
    const double v = QLocale::c().toDouble(text);
    const double thousandths = std::nearbyint(v * 1000.0);  // the default mode rounds halves to even
    return QString::number(thousandths / 1000.0, 'f', 3);
}

// An amount with "." as its point, read as every amount input reads it (the
// page fills amounts in with the regional decimal separator); a text that
// is no number stays as it is.
QString pointed(const QString& amount)
{
    QString text;
    return AmountPointText(amount, text) ? text : amount.trimmed();
}

// An amount kept as the page filled it in and one as a save writes it ("."
// as its point, never read again as typed text) the same number; an empty
// amount is the same only as another empty one.
bool sameAmount(const QString& kept, const QString& written)
{
    const QString x = pointed(kept), y = written.trimmed();
    if (x.isEmpty() || y.isEmpty())
        return x.isEmpty() == y.isEmpty();
    bool xNumber = false, yNumber = false;
    const double vx = QLocale::c().toDouble(x, &xNumber), vy = QLocale::c().toDouble(y, &yNumber);
    return xNumber && yNumber ? vx == vy : x == y;
}

// "SET a,", " b,", ..., " z": one changed column per line (empty items,
// amounts left alone, are none).
QStringList setLines(QStringList items)
{
    items.removeAll(QString());
    QStringList lines;
    for (int i = 0; i < items.size(); ++i)
        lines << (i == 0 ? QStringLiteral("SET ") : QStringLiteral(" ")) + items[i] +
                     (i + 1 < items.size() ? QStringLiteral(",") : QString());
    return lines;
}

// An optional column of an INSERT: its column and value texts are added
// only when the value was given.
void addGiven(QString& columns, QString& values, const QString& given, const QString& column, const QString& value)
{
    if (given.isEmpty())
        return;
    columns += column;
    values += value;
}

const QString kIncomplete = QStringLiteral("Incomplete data. You must complete all fields.");
const QString kNoChanges = QStringLiteral("No data changes were detected.");
const QString kDuplicateDescription = QStringLiteral("This Description already exists in the table. Data not saved.");
const QString kCombinationExists = QStringLiteral("This combination already exists. Changes not saved.");

}  // namespace

// ------------------------------------------------------------ frame

void TSysEditForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& attempt) {
        // The statement's lines go with the attempt, whatever its end.
        struct Clear {
            TSysEditForm* form;
            ~Clear()
            {
                form->FSQLLines.clear();
                form->m_audit.reset();
                form->m_taken.clear();
            }
        } clear{this};
        return save(attempt);
    });
}

bool TSysEditForm::entryMet() const
{
    const int code = FTableNameID;
    if (code == 12 || code < 0)
        return false;
    static const QHash<int, QVector<int>> entry = {
        {3, {2, 3}}, {4, {2, 3}}, {6, {2, 3}}, {7, {2, 3}}, {8, {2, 3}}, {9, {2, 3}}, {24, {2, 3}},
        {0, {2}}, {1, {2}}, {2, {2}}, {10, {2}}, {11, {2}}, {16, {2}},
        {5, {3, 5}}, {19, {3, 5}}, {25, {3, 5}}, {28, {3, 5}}, {29, {3, 5}},
        {17, {1, 2}}, {26, {1, 2}}, {15, {2, 5, 6}},
    };
    for (int n : entry.value(code)) {
        // An element stored without a code may be changed without one.
        if (code == 5 && n == 3 && !FAppendMode && Kept(3).trimmed().isEmpty())
            continue;
        if (input(n)->text().trimmed().isEmpty())
            return false;
    }
    return true;
}

bool TSysEditForm::save(TSaveAttempt& attempt)
{
    if (!FAppendMode)
        if (const std::optional<TStoredRow> row = storedRow())
            KeepUpWithStored(attempt, *row);
    if (!entryMet())
        Refuse(kIncomplete);
    if (FAudited)
        m_audit.emplace(NewAudit(FAppendMode ? AuditIds.Insert : AuditIds.Update, table()));
    switch (FTableNameID) {
    case 3: case 4: case 6: case 8: case 9:
        return saveDescriptionReference(attempt);
    case 10: case 11: case 16: case 20: case 21: case 22: case 23: case 27:
        return saveDescriptionOnly(attempt);
    case 0: return saveLocation(attempt);
    case 1: return savePerson(attempt);
    case 2: return saveValidAccount(attempt);
    case 5: return saveElement(attempt);
    case 7: return saveSystem(attempt);
    case 13: return saveTransactionGroup(attempt);
    case 14: return saveTransactionType(attempt);
    case 15: return saveRate(attempt);
    case 17: return saveFunction(attempt);
    case 19: return saveDubiousPair(attempt);
    case 24: return saveAgreement(attempt);
    case 25: return saveDiscountedRate(attempt);
    case 26: return saveProgram(attempt);
    case 28: return saveDiscount(attempt);
    case 29: return saveCostRange(attempt);
    case 18: return true;  // nothing to write
    default: Refuse(kIncomplete);
    }
}

// ------------------------------------------------------------ building blocks

QString TSysEditForm::rowId() const
{
    return edtEdit1->text().trimmed();
}

QString TSysEditForm::referenceCheck(int edit, const QString& refTable, const QString& notNumber,
                                     const QString& notFound, bool rewriteWhenMissing)
{
    QLineEdit* e = input(edit);
    QString text = e->text().trimmed();
    int id = 0;
    if (!ParseIdText(text, id)) {
        e->setText(text);
        Refuse(notNumber);
    }
    bool exists = false;
    RecordIdExists(refTable, id, exists);
    if (!exists) {
        if (rewriteWhenMissing)
            e->setText(text);
        Refuse(notFound);
    }
    return text;
}

QString TSysEditForm::decimalCheck(int edit, const QString& message)
{
    QLineEdit* e = input(edit);
    const QString typed = e->text().trimmed();
    // What cannot be in a number is cut from the input before anything
    // else.
    QString amount;
    int valid = 0;
    if (!DecimalPointText(typed, amount, &valid)) {
        if (valid < typed.size())
            e->setText(typed.left(valid));
        Refuse(message);
    }
    return amount;
}

bool TSysEditForm::amountTouched(int edit) const
{
    return input(edit)->text().trimmed() != Kept(edit).trimmed();
}

QString TSysEditForm::ifTouched(int edit, const QString& item) const
{
    return amountTouched(edit) ? item : QString();
}

void TSysEditForm::wholeNumberCheck(int edit, const QString& message)
{
    QLineEdit* e = input(edit);
    QString text = e->text().trimmed();
    if (text.isEmpty())
        return;
    int id = 0;
    if (!ParseIdText(text, id)) {
        e->setText(text);
        Refuse(message);
    }
}

QString TSysEditForm::dateText(int edit) const
{
    return DateEditYMD(static_cast<TDateEdit*>(input(edit)));
}

void TSysEditForm::audit(const QString& field, const QString& oldValue, const QString& newValue)
{
    if (m_audit)
        m_audit->AddField(field, oldValue, newValue);
}

void TSysEditForm::auditKept(const QString& field, int edit, const QString& now)
{
    audit(field, FAppendMode ? QString() : Kept(edit), now);
}

QString TSysEditForm::keptAmount(int edit) const
{
    return pointed(Kept(edit).trimmed());
}

void TSysEditForm::auditAmount(const QString& field, int edit, const QString& now)
{
    if (FAppendMode)
        audit(field, QString(), now);
    else if (amountTouched(edit) && !sameAmount(Kept(edit), now))
        audit(field, keptAmount(edit), now);
}

void TSysEditForm::addLastUpdatedBy(QString& columns, QString& values) const
{
    addGiven(columns, values, FUser, QStringLiteral(",LastUpdatedBy"), QStringLiteral(", ") + Quote(FUser));
}

QString TSysEditForm::lastUpdatedBy() const
{
    return FUser.isEmpty() ? QString() : QStringLiteral(", LastUpdatedBy = ") + Quote(FUser);
}

void TSysEditForm::insertRow(const QString& columns, const QString& values)
{
    FSQLLines << QStringLiteral("INSERT INTO ") + table() << columns + QChar(')') << values + QChar(')');
}

void TSysEditForm::updateRow(const QStringList& setLines)
{
    FSQLLines << QStringLiteral("UPDATE ") + table() << setLines << QStringLiteral("WHERE id = ") + rowId();
}

bool TSysEditForm::saveDescriptionChange(TSaveAttempt& attempt)
{
    const QString description = Edit2();
    if (description == Kept(2))
        Refuse(kNoChanges);
    updateRow({QStringLiteral("SET Description = ") + Quote(description)});
    audit(QStringLiteral("DESCRIPTION"), Kept(2), description);
    run(attempt);
    return true;
}

void TSysEditForm::dateBlockAdd(QString& columns, QString& values, bool withActive)
{
    const QString start = dateText(7);
    const QString end = dateText(8);
    if (!start.isEmpty()) {
        columns += QStringLiteral(",StartDate");
        values += QStringLiteral(",'") + start + QChar('\'');
        audit(QStringLiteral("STARTDATE"), QString(), start);
    }
    if (!withActive) {
        if (!end.isEmpty()) {
            columns += QStringLiteral(",EndDate");
            values += QStringLiteral(",'") + end + QChar('\'');
            audit(QStringLiteral("ENDDATE"), QString(), end);
        }
        return;
    }
    if (!end.isEmpty()) {
        columns += QStringLiteral(",EndDate,Active");
        values += QStringLiteral(",'") + end + QStringLiteral("',0");
        audit(QStringLiteral("ENDDATE"), QString(), end);
        audit(QStringLiteral("ACTIVE"), QString(), QStringLiteral("0"));
    } else {
        columns += QStringLiteral(",Active");
        values += QStringLiteral(",1");
        audit(QStringLiteral("ACTIVE"), QString(), QStringLiteral("1"));
    }
}

QString TSysEditForm::dateBlockEdit(bool withActive)
{
    QString parts;
    const QString start = dateText(7);
    const QString end = dateText(8);
    const QString keptStart = Kept(7).size() == 8 ? Kept(7) : QString();
    const QString keptEnd = Kept(8).size() == 8 ? Kept(8) : QString();
    if (start.isEmpty() && !keptStart.isEmpty()) {
        parts += QStringLiteral(", StartDate = NULL");
        audit(QStringLiteral("STARTDATE"), keptStart, QString());
    } else if (!start.isEmpty() && start != keptStart) {
        parts += QStringLiteral(", StartDate = '") + start + QChar('\'');
        audit(QStringLiteral("STARTDATE"), keptStart, start);
    }
    if (end.isEmpty() && !keptEnd.isEmpty()) {
        parts += withActive ? QStringLiteral(", EndDate = NULL, Active = 1") : QStringLiteral(", EndDate = NULL");
        audit(QStringLiteral("ENDDATE"), keptEnd, QString());
        if (withActive)
            audit(QStringLiteral("ACTIVE"), QStringLiteral("0"), QStringLiteral("1"));
    } else if (!end.isEmpty() && end != keptEnd) {
        parts += QStringLiteral(", EndDate = '") + end + (withActive ? QStringLiteral("', Active = 0") : QStringLiteral("'"));
        audit(QStringLiteral("ENDDATE"), keptEnd, end);
        if (withActive && keptEnd.isEmpty())
            audit(QStringLiteral("ACTIVE"), QStringLiteral("1"), QStringLiteral("0"));
    }
    return parts;
}

void TSysEditForm::descriptionCheck(TSaveAttempt& attempt, const QString& mandatory)
{
    const QString description = Edit2();
    if (description.isEmpty() && !mandatory.isEmpty())
        Refuse(mandatory);
    QStringList lookup{QStringLiteral("SELECT *"), LockedFrom(table()),
                       QStringLiteral("WHERE Description LIKE ") + SqlLikeExact(description)};
    if (!FAppendMode)
        lookup << QStringLiteral("AND id <> ") + rowId();
    refuseFound(attempt, lookup, kDuplicateDescription);
    if (!FAppendMode && description == Kept(2))
        Refuse(kNoChanges);
}

void TSysEditForm::refuseFound(TSaveAttempt& attempt, const QStringList& lookup, const QString& message)
{
    if (attempt.Exists(lookup))
        Refuse(message);
    m_taken = message;
}

void TSysEditForm::run(TSaveAttempt& attempt, const QString& typedId)
{
    if (FAppendMode && typedId.isEmpty()) {
        const qint64 id = attempt.ExecInsert(FSQLLines, m_taken);
        if (m_audit)
            m_audit->SetTableID(id);
    } else {
        attempt.Exec(FSQLLines, m_taken);
        if (m_audit)
            m_audit->SetTableID(FAppendMode ? typedId : rowId());
    }
    if (m_audit)
        attempt.Write(*m_audit);
}

// ------------------------------------------------------------ the codes

void TSysEditForm::refuseExistingPair(TSaveAttempt& attempt, const QString& first, const QString& firstValue,
                                      const QString& second, const QString& secondValue)
{
    const QString t = table();
    refuseFound(attempt,
                {QStringLiteral("SELECT ") + t + QStringLiteral(".id"), LockedFrom(t),
                 QStringLiteral("WHERE ") + t + QChar('.') + first + QStringLiteral(" = ") + firstValue,
                 QStringLiteral("AND ") + t + QChar('.') + second + QStringLiteral(" = ") + secondValue},
                kCombinationExists);
}

QString TSysEditForm::customerAndServiceType(QString& customer, QString& serviceType)
{
    customer = referenceCheck(5, QStringLiteral("tCustomer"), QStringLiteral("CustomerID error - must be a number."),
                              QStringLiteral("CustomerID does not exist."));
    serviceType = referenceCheck(3, QStringLiteral("tServiceType"), QStringLiteral("ServiceTypeID error - must be a number."),
                                 QStringLiteral("ServiceTypeID does not exist."), false);
    return decimalCheck(2, QStringLiteral("Rate error - must be a number."));
}

void TSysEditForm::auditOptional(const QString& field, int edit, const QString& now)
{
    if (amountTouched(edit) && !sameAmount(Kept(edit), now))
        audit(field, BareOrNull(keptAmount(edit)), BareOrNull(now));
}

bool TSysEditForm::saveDescriptionReference(TSaveAttempt& attempt)
{
    struct Ref {
        const char* column;
        const char* refTable;
    };
    static const QHash<int, Ref> refs = {{3, {"DepartmentID", "tDepartment"}}, {4, {"CustomerID", "tCustomer"}},
                                         {6, {"CustomerID", "tCustomer"}},     {8, {"GroupID", "tGroup"}},
                                         {9, {"CustomerID", "tCustomer"}}};
    const Ref ref = refs.value(FTableNameID);
    const QString column = QLatin1String(ref.column);
    const QString field = column.toUpper();
    const QString reference = referenceCheck(3, QLatin1String(ref.refTable), column + QStringLiteral(" must be a number."),
                                             column + QStringLiteral(" does not exist."));
    const QString description = Edit2();
    const bool asEdit = !FAppendMode || FTableNameID == 3 || FTableNameID == 6;
    audit(field, asEdit ? Kept(3) : QString(), reference);
    audit(QStringLiteral("DESCRIPTION"), asEdit ? Kept(2) : QString(), description);
    if (FAppendMode) {
        QString columns = QStringLiteral("(Description,") + column;
        QString values = QStringLiteral("VALUES (") + Quote(description) + QChar(',') + reference;
        dateBlockAdd(columns, values);
        insertRow(columns, values);
    } else {
        updateRow({QStringLiteral("SET Description = ") + Quote(description) + QChar(',') + column +
                   QStringLiteral(" = ") + reference + dateBlockEdit()});
    }
    run(attempt);
    return true;
}

bool TSysEditForm::saveDescriptionOnly(TSaveAttempt& attempt)
{
    const int code = FTableNameID;
    const QString description = Edit2();
    switch (code) {
    case 16:
        if (FAppendMode)
            refuseFound(attempt,
                        {QStringLiteral("SELECT id"), LockedFrom(table()),
                         QStringLiteral("WHERE Description LIKE ") + SqlLikeExact(description)},
                        QStringLiteral("The \"Description\" field must be unique - try again."));
        break;
    case 20:
        descriptionCheck(attempt, QString());
        break;
    case 21:
    case 22:
        descriptionCheck(attempt, QStringLiteral("A Description is Mandatory."));
        break;
    case 23:
    case 27:
        descriptionCheck(attempt, QStringLiteral("Description field is Mandatory."));
        break;
    default:
        break;
    }
    if (!FAppendMode)
        return saveDescriptionChange(attempt);
    switch (code) {
    case 10:
    case 11:
        insertRow(QStringLiteral("(Description,Active"), QStringLiteral("VALUES (") + Quote(description) +
                                                             QStringLiteral(",1"));
        break;
    case 16:
    case 23:
    case 27:
        insertRow(QStringLiteral("(Description, Active"), QStringLiteral("VALUES (") + Quote(description) +
                                                              QStringLiteral(", 1"));
        break;
    default:  // 20, 21, 22
        insertRow(QStringLiteral("(Description"), QStringLiteral("VALUES (") + Quote(description));
        break;
    }
    audit(QStringLiteral("DESCRIPTION"), code == 21 ? Kept(2) : QString(), description);
    if (code == 11)
        audit(QStringLiteral("ACTIVE"), QString(), QStringLiteral("1"));
    run(attempt);
    return true;
}

bool TSysEditForm::saveLocation(TSaveAttempt& attempt)
{
    const QString description = Edit2();
    if (FAppendMode) {
        refuseFound(attempt,
                    {QStringLiteral("SELECT tLocation.id"), LockedFrom(QStringLiteral("tLocation")),
                     QStringLiteral("WHERE tLocation.Description LIKE ") + SqlLikeExact(description)},
                    QStringLiteral("The \"Description\" field must be unique - try again."));
        audit(QStringLiteral("DESCRIPTION"), QString(), description);
        QString columns = QStringLiteral("(Description");
        QString values = QStringLiteral("VALUES (") + Quote(description);
        dateBlockAdd(columns, values);
        insertRow(columns, values);
    } else {
        audit(QStringLiteral("DESCRIPTION"), Kept(2), description);
        updateRow({QStringLiteral("SET Description = ") + Quote(description) + dateBlockEdit()});
    }
    run(attempt);
    return true;
}

bool TSysEditForm::savePerson(TSaveAttempt& attempt)
{
    const QString person = Edit2();
    const QString email = Edit3();
    if (FAppendMode) {
        refuseFound(attempt,
                    {QStringLiteral("SELECT id"), LockedFrom(table()),
                     QStringLiteral("WHERE Person LIKE ") + SqlLikeExact(person), QStringLiteral("AND Active = 1")},
                    QStringLiteral("The \"Person\" field must be unique - try again."));
        audit(QStringLiteral("PERSON"), QString(), person);
        audit(QStringLiteral("EMAILADDRESS"), QString(), email);
        QString columns = QStringLiteral("(Person");
        QString values = QStringLiteral("VALUES (") + Quote(person);
        addGiven(columns, values, email, QStringLiteral(",EmailAddress"), QChar(',') + Quote(email));
        dateBlockAdd(columns, values);
        insertRow(columns, values);
    } else {
        audit(QStringLiteral("PERSON"), Kept(2), person);
        QString set = QStringLiteral("SET Person = ") + Quote(person);
        if (email.isEmpty() && !Kept(3).isEmpty()) {
            set += QStringLiteral(", EmailAddress = NULL");
            audit(QStringLiteral("EMAILADDRESS"), Kept(3), QStringLiteral("NULL"));
        } else if (email != Kept(3)) {
            set += QStringLiteral(", EmailAddress = ") + Quote(email);
            audit(QStringLiteral("EMAILADDRESS"), Kept(3), email);
        }
        updateRow({set + dateBlockEdit()});
    }
    run(attempt);
    return true;
}

bool TSysEditForm::saveValidAccount(TSaveAttempt& attempt)
{
    const QString account = Edit2();
    QString batchType = Edit3();
    if (!batchType.isEmpty())
        batchType = referenceCheck(3, QStringLiteral("tBatchType"), QStringLiteral("BatchTypeID must be a number."),
                                   QStringLiteral("BatchTypeID does not exist."));
    const QString tender = Edit5();
    if (FAppendMode) {
        QString columns = QStringLiteral("(AccountNo");
        QString values = QStringLiteral("VALUES (") + Quote(account);
        addGiven(columns, values, batchType, QStringLiteral(",BatchTypeID"), QChar(',') + batchType);
        addGiven(columns, values, tender, QStringLiteral(",TenderNo"), QChar(',') + Quote(tender));
        audit(QStringLiteral("ACCOUNTNO"), QString(), account);
        audit(QStringLiteral("BATCHTYPEID"), QString(), batchType);
        audit(QStringLiteral("TENDERNO"), QString(), tender);
        dateBlockAdd(columns, values);
        insertRow(columns, values);
    } else {
        QString set = QStringLiteral("SET AccountNo = ") + Quote(account);
        audit(QStringLiteral("ACCOUNTNO"), Kept(2), account);
        if (batchType != Kept(3)) {
            set += QStringLiteral(", BatchTypeID = ") + BareOrNull(batchType);
            audit(QStringLiteral("BATCHTYPEID"), Kept(3), batchType);
        }
        // A tender number the operator cleared is cleared.
        if (!tender.isEmpty() || !Kept(5).trimmed().isEmpty()) {
            set += QStringLiteral(", TenderNo = ") + QuoteOrNull(tender);
            audit(QStringLiteral("TENDERNO"), Kept(5), tender);
        }
        updateRow({set + dateBlockEdit()});
    }
    run(attempt);
    return true;
}

bool TSysEditForm::saveElement(TSaveAttempt& attempt)
{
    const QString customer = referenceCheck(5, QStringLiteral("tCustomer"), QStringLiteral("CustomerID must be a number."),
                                            QStringLiteral("CustomerID does not exist."));
    // The optional group ids go into the statement bare: whole numbers only.
    wholeNumberCheck(2, QStringLiteral("ServiceGroupID must be a number."));
    wholeNumberCheck(9, QStringLiteral("ReportGroupID must be a number."));
    const QString serviceGroup = Edit2();
    const QString reportGroup = Edit9();
    const QString description = Edit4();
    const bool platinum = CheckBox1->isChecked();
    const bool lostRevenue = CheckBox2->isChecked();

    // The code in capitals, unique among the customer's elements.
    const QString code = Edit3().toUpper();
    auto uniqueCode = [&] {
        QStringList lookup{QStringLiteral("SELECT id"), LockedFrom(QStringLiteral("tElement")),
                           QStringLiteral("WHERE ElementCode LIKE ") + SqlLikeExact(code),
                           QStringLiteral("AND CustomerID = ") + customer};
        if (!FAppendMode)
            lookup << QStringLiteral("AND id <> ") + rowId();
        refuseFound(attempt, lookup, QStringLiteral("The ElementCode MUST be a unique value."));
    };

    if (FAppendMode) {
        uniqueCode();
        QString columns = QStringLiteral("(ElementCode, CustomerID, PlatinumUpdate, LostRevenueFlag");
        QString values = QStringLiteral("VALUES (") + Quote(code) + QStringLiteral(", ") + customer +
                         QStringLiteral(", ") + BitText(platinum) + QStringLiteral(", ") + BitText(lostRevenue);
        audit(QStringLiteral("ELEMENTCODE"), QString(), code);
        audit(QStringLiteral("CUSTOMERID"), QString(), customer);
        audit(QStringLiteral("PLATINUMUPDATE"), QString(), BitText(platinum));
        audit(QStringLiteral("LOSTREVENUEFLAG"), QString(), BitText(lostRevenue));
        audit(QStringLiteral("DESCRIPTION"), QString(), description);
        addGiven(columns, values, description, QStringLiteral(", Description"),
                 QStringLiteral(", ") + Quote(description));
        if (!serviceGroup.isEmpty()) {
            columns += QStringLiteral(", ServiceGroupID");
            values += QStringLiteral(", ") + serviceGroup;
            audit(QStringLiteral("SERVICEGROUPID"), Kept(2), serviceGroup);
        }
        dateBlockAdd(columns, values);
        if (!reportGroup.isEmpty()) {
            columns += QStringLiteral(", ReportGroupID");
            values += QStringLiteral(", ") + reportGroup;
            audit(QStringLiteral("REPORTGROUPID"), Kept(9), reportGroup);
        }
        insertRow(columns, values);
    } else {
        QStringList sets;
        QString set = QStringLiteral("SET CustomerID = ") + customer;
        audit(QStringLiteral("CUSTOMERID"), Kept(5), customer);
        // An element stored without a code may be given one; a stored code
        // is never written. The old code is audited as it was stored: NULL
        // only where there was none, else the empty or blank text.
        if (Kept(3).trimmed().isEmpty() && !code.trimmed().isEmpty()) {
            uniqueCode();
            set += QStringLiteral(", ElementCode = ") + Quote(code);
            if (m_audit)
                m_audit->AddStoredField(QStringLiteral("ELEMENTCODE"), Kept(3), code);
        }
        if (platinum != KeptCheck(1)) {
            set += QStringLiteral(", PlatinumUpdate = ") + BitText(platinum);
            audit(QStringLiteral("PLATINUMUPDATE"), BitText(!platinum), BitText(platinum));
        }
        if (lostRevenue != KeptCheck(2)) {
            set += QStringLiteral(", LostRevenueFlag = ") + BitText(lostRevenue);
            audit(QStringLiteral("LOSTREVENUEFLAG"), BitText(!lostRevenue), BitText(lostRevenue));
        }
        if (description != Kept(4)) {
            if (description.isEmpty()) {
                set += QStringLiteral(", Description = NULL");
            } else {
                sets << set + QChar(',');
                set = QStringLiteral(" Description = ") + Quote(description);
            }
            audit(QStringLiteral("DESCRIPTION"), Kept(4), description);
        }
        if (serviceGroup != Kept(2)) {
            set += QStringLiteral(", ServiceGroupID = ") + BareOrNull(serviceGroup);
            audit(QStringLiteral("SERVICEGROUPID"), Kept(2), serviceGroup);
        }
        set += dateBlockEdit();
        if (reportGroup != Kept(9)) {
            set += QStringLiteral(", ReportGroupID = ") + BareOrNull(reportGroup);
            audit(QStringLiteral("REPORTGROUPID"), Kept(9), reportGroup);
        }
        updateRow(sets << set);
    }
    run(attempt);
    return true;
}

bool TSysEditForm::saveSystem(TSaveAttempt& attempt)
{
    const QString batchType = referenceCheck(3, QStringLiteral("tBatchType"), QStringLiteral("BatchTypeID must be a number."),
                                             QStringLiteral("BatchTypeID does not exist."));
    QStringList duplicate{QStringLiteral("SELECT *"), LockedFrom(QStringLiteral("tSystem")),
                          QStringLiteral("WHERE BatchTypeID = ") + batchType};
    if (!FAppendMode)
        duplicate << QStringLiteral("AND id <> ") + rowId();
    refuseFound(attempt, duplicate, QStringLiteral("This BatchTypeID already exists in the table. Data not saved."));
    const QString system = Edit2();
    const QString now = DateTimeToSql(Now());
    const QString operatorNumber = QString::number(Operator().OPERATORNUMBER);
    auditKept(QStringLiteral("BATCHTYPEID"), 3, batchType);
    auditKept(QStringLiteral("SYSTEM"), 2, system);
    if (FAppendMode) {
        insertRow(QStringLiteral("(System,BatchTypeID,Active,DateEntered,DateLastChanged,UserID"),
                  QStringLiteral("VALUES (") + Quote(system) + QChar(',') + batchType + QStringLiteral(",1,'") + now +
                      QStringLiteral("','") + now + QStringLiteral("',") + operatorNumber);
    } else {
        updateRow({QStringLiteral("SET System = ") + Quote(system) + QStringLiteral(",BatchTypeID = ") + batchType +
                   QStringLiteral(", DateLastChanged = '") + now + QStringLiteral("', UserID = ") + operatorNumber});
    }
    run(attempt);
    return true;
}

bool TSysEditForm::saveTransactionGroup(TSaveAttempt& attempt)
{
    const QString description = Edit2();
    if (description.isEmpty())
        Refuse(QStringLiteral("Description field is Mandatory."));
    // The range values go into the statement bare: numbers only.
    const QString from = decimalCheck(3, QStringLiteral("CostRangeFrom must be a number."));
    const QString to = decimalCheck(4, QStringLiteral("CostRangeTo must be a number."));
    if (FAppendMode) {
        QString columns = QStringLiteral("(Description");
        QString values = QStringLiteral("VALUES (") + Quote(description);
        addGiven(columns, values, from, QStringLiteral(",CostRangeFrom"), QChar(',') + from);
        addGiven(columns, values, to, QStringLiteral(",CostRangeTo"), QChar(',') + to);
        insertRow(columns, values);
    } else {
        updateRow({QStringLiteral("SET Description = ") + Quote(description) +
                   ifTouched(3, QStringLiteral(", CostRangeFrom = ") + BareOrNull(from)) +
                   ifTouched(4, QStringLiteral(", CostRangeTo = ") + BareOrNull(to))});
    }
    auditKept(QStringLiteral("DESCRIPTION"), 2, description);
    auditAmount(QStringLiteral("COSTRANGEFROM"), 3, from);
    auditAmount(QStringLiteral("COSTRANGETO"), 4, to);
    run(attempt);
    return true;
}

bool TSysEditForm::saveTransactionType(TSaveAttempt& attempt)
{
    const QString description = Edit2();
    if (description.isEmpty())
        Refuse(QStringLiteral("Description field is Mandatory."));
    if (Edit3().isEmpty())
        Refuse(QStringLiteral("TransactionGroupID field is Mandatory."));
    if (Edit5().isEmpty())
        Refuse(QStringLiteral("SystemID field is Mandatory."));
    const QString group = referenceCheck(3, QStringLiteral("tTransactionGroup"),
                                         QStringLiteral("TransactionGroupID must be a number."),
                                         QStringLiteral("TransactionGroupID does not exist."));
    const QString system = referenceCheck(5, QStringLiteral("tSystem"), QStringLiteral("SystemID must be a number."),
                                          QStringLiteral("SystemID does not exist."));
    auditKept(QStringLiteral("SYSTEMID"), 5, system);
    auditKept(QStringLiteral("DESCRIPTION"), 2, description);
    auditKept(QStringLiteral("TRANSACTIONGROUPID"), 3, group);
    if (FAppendMode) {
        QString columns = QStringLiteral("(Description,TransactionGroupID,SystemID");
        QString values = QStringLiteral("VALUES (") + Quote(description) + QChar(',') + group + QChar(',') + system;
        dateBlockAdd(columns, values);
        addLastUpdatedBy(columns, values);
        insertRow(columns, values);
    } else {
        QString set = QStringLiteral("SET Description = ") + Quote(description) +
                      QStringLiteral(", TransactionGroupID = ") + group + QStringLiteral(", SystemID = ") + system +
                      dateBlockEdit();
        updateRow({set + lastUpdatedBy()});
    }
    run(attempt);
    return true;
}

bool TSysEditForm::saveRate(TSaveAttempt& attempt)
{
    const QString serviceType = referenceCheck(2, QStringLiteral("tServiceType"),
                                               QStringLiteral("ServiceTypeID must be a number."),
                                               QStringLiteral("ServiceTypeID does not exist."));
    const QString cost = decimalCheck(5, QStringLiteral("Cost must be a number."));
    const QString cost100 = decimalCheck(6, QStringLiteral("Cost100 must be a number."));
    // Optional values: a value typed must be a number; nothing stored is
    // overwritten or dropped because of a typing slip.
    const QString typedLength = decimalCheck(3, QStringLiteral("Length must be a number."));
    const QString percentage = decimalCheck(4, QStringLiteral("Percentage must be a number."));
    const QString partCost = decimalCheck(10, QStringLiteral("PartCost must be a number."));
    const QString length = typedLength.isEmpty() ? QStringLiteral("0") : typedLength;
    // Apostrophes go from a description the operator typed; one left as
    // stored is written back as it is.
    const QString description = FKept.WithoutQuotesIfChanged(QStringLiteral("Edit9"), Edit9());
    const bool add = FAppendMode;

    // The length is written in its three-decimal form when adding, the
    // percentage when changing.
    const QString lengthWritten = add ? threeDecimals(length) : length;
    const QString percentageWritten = add ? percentage : (percentage.isEmpty() ? QString() : threeDecimals(percentage));
    // Amounts are compared as numbers: 5 kept and 5.000 written is no change.
    auditAmount(QStringLiteral("COST100"), 6, cost100);
    auditKept(QStringLiteral("SERVICETYPEID"), 2, serviceType);
    auditAmount(QStringLiteral("COST"), 5, cost);
    auditAmount(QStringLiteral("LENGTH"), 3, lengthWritten);
    auditAmount(QStringLiteral("PERCENTAGE"), 4, percentageWritten);
    if (add) {
        QString columns = QStringLiteral("(ServiceTypeID,Cost,Cost100,Length");
        QString values = QStringLiteral("VALUES (") + serviceType + QChar(',') + cost + QChar(',') + cost100 +
                         QChar(',') + lengthWritten;
        addGiven(columns, values, percentage, QStringLiteral(",Percentage"), QChar(',') + percentage);
        dateBlockAdd(columns, values);
        if (!description.isEmpty()) {
            columns += QStringLiteral(",Description");
            values += QStringLiteral(",  ") + Quote(description);
            audit(QStringLiteral("DESCRIPTION"), QString(), description);
        }
        if (!partCost.isEmpty()) {
            columns += QStringLiteral(",PartCost");
            values += QStringLiteral(",  ") + partCost;
            audit(QStringLiteral("PARTCOST"), QString(), partCost);
        }
        addLastUpdatedBy(columns, values);
        insertRow(columns, values);
    } else {
        // The amounts the operator did not touch are left out: the page fills
        // them in with fewer digits than a stored value may have.
        QString set = QStringLiteral("SET ServiceTypeID = ") + serviceType +
                      ifTouched(5, QStringLiteral(", Cost = ") + cost) +
                      ifTouched(6, QStringLiteral(", Cost100 = ") + cost100) +
                      ifTouched(3, QStringLiteral(", Length = ") + lengthWritten) +
                      ifTouched(4, QStringLiteral(", Percentage = ") + BareOrNull(percentageWritten)) + dateBlockEdit();
        // A description or part cost the operator cleared is cleared.
        if (!description.isEmpty() || !Kept(9).trimmed().isEmpty()) {
            set += QStringLiteral(", Description = ") + QuoteOrNull(description);
            audit(QStringLiteral("DESCRIPTION"), Kept(9), description);
        }
        if (amountTouched(10)) {
            set += QStringLiteral(", PartCost = ") + BareOrNull(partCost);
            auditAmount(QStringLiteral("PARTCOST"), 10, partCost);
        }
        updateRow({set + lastUpdatedBy()});
    }
    run(attempt);
    return true;
}

bool TSysEditForm::saveFunction(TSaveAttempt& attempt)
{
    QString id = Edit1();
    int number = 0;
    if (!ParseIdText(id, number)) {
        edtEdit1->setText(id);
        Refuse(QStringLiteral("ID must be a number."));
    }
    const QString description = Edit2();
    if (FAppendMode) {
        refuseFound(attempt, {QStringLiteral("SELECT *"), LockedFrom(QStringLiteral("tFunction")),
                              QStringLiteral("WHERE ID = ") + id},
                    QStringLiteral("ID must be a unique number."));
        insertRow(QStringLiteral("(ID, Description"),
                  QStringLiteral("VALUES (") + id + QChar(',') + Quote(description));
        audit(QStringLiteral("DESCRIPTION"), QString(), description);
        run(attempt, id);  // the row keeps the ID typed
        return true;
    }
    return saveDescriptionChange(attempt);
}

bool TSysEditForm::saveProgram(TSaveAttempt& attempt)
{
    const QString description = Edit2();
    if (FAppendMode) {
        QString id = Edit1();
        int number = 0;
        if (!ParseIdText(id, number))
            Refuse(QStringLiteral("ProgramID must be an integer."));  // the input keeps what was typed
        refuseFound(attempt, {QStringLiteral("SELECT id"), LockedFrom(QStringLiteral("tProgram")),
                              QStringLiteral("WHERE id = ") + QString::number(number)},
                    QStringLiteral("ProgramID already exists. It must be unique."));
        insertRow(QStringLiteral("(ID,Description"), QStringLiteral("VALUES (") + id + QChar(',') + Quote(description));
        audit(QStringLiteral("ID"), QString(), id);
        audit(QStringLiteral("DESCRIPTION"), QString(), description);
        run(attempt, id);
        return true;
    }
    return saveDescriptionChange(attempt);
}

bool TSysEditForm::saveDubiousPair(TSaveAttempt& attempt)
{
    auto checkId = [&](int edit, const QString& name, const QString& refTable, const QString& invalid) {
        QString text = input(edit)->text().trimmed();
        int id = 0;
        if (!ParseIdText(text, id)) {
            input(edit)->setText(text);
            Refuse(name + QStringLiteral(" must be a number."));
        }
        if (!attempt.Exists({QStringLiteral("SELECT *"), QStringLiteral("FROM ") + refTable,
                             QStringLiteral("WHERE ID = ") + text}))
            Refuse(invalid);
        return text;
    };
    const QString type = checkId(3, QStringLiteral("DubiousTypeID"), QStringLiteral("tDubiousType"),
                                 QStringLiteral("DubiousTypeID is an invalid number."));
    const QString resolution = checkId(5, QStringLiteral("DubiousResolutionID"), QStringLiteral("tDubiousResolution"),
                                       QStringLiteral("DubiousResolutionID is an invalid number."));
    QStringList pair{QStringLiteral("SELECT *"), LockedFrom(QStringLiteral("tDubiousValidResolution")),
                     QStringLiteral("WHERE DubiousTypeID = ") + type,
                     QStringLiteral("AND DubiousResolutionID = ") + resolution};
    if (!FAppendMode)
        pair << QStringLiteral("AND ID <> ") + rowId();
    const QVariant found = attempt.Value(pair, QStringLiteral("ID"));
    if (!found.isNull()) {
        const QVariant active = attempt.Value(pair, QStringLiteral("Active"));
        if (!FAppendMode || active.toBool())
            Refuse(kCombinationExists);
        // Adding a pair that is there but inactive brings it back.
        const QString foundId = found.toString();
        attempt.Exec({QStringLiteral("UPDATE tDubiousValidResolution"), QStringLiteral("SET Active = 1"),
                      QStringLiteral("WHERE ID = ") + foundId});
        if (FAudited) {
            TAuditTrail reactivation = NewAudit(AuditIds.Update, table());
            reactivation.SetTableID(foundId);
            reactivation.AddField(QStringLiteral("ACTIVE"), QStringLiteral("0"), QStringLiteral("1"));
            attempt.Write(reactivation);
        }
        attempt.Commit();
        MessageDlg(QStringLiteral("This combination already existed and has been reactivated."), mtInformation, mbOK, 0);
        return false;
    }
    m_taken = kCombinationExists;
    if (FAppendMode) {
        insertRow(QStringLiteral("(DubiousTypeID,DubiousResolutionID,Active"),
                  QStringLiteral("VALUES (") + type + QChar(',') + resolution + QStringLiteral(",1"));
        if (resolution != Kept(5))
            audit(QStringLiteral("DUBIOUSRESOLUTIONID"), QString(), resolution);
        if (type != Kept(3))
            audit(QStringLiteral("DUBIOUSTYPEID"), QString(), type);
        audit(QStringLiteral("ACTIVE"), QString(), QStringLiteral("1"));
    } else {
        FSQLLines << QStringLiteral("UPDATE ") + table()
                  << setLines({QStringLiteral("DubiousTypeID = ") + type,
                               QStringLiteral("DubiousResolutionID = ") + resolution})
                  << QStringLiteral("WHERE ID = ") + rowId();
        audit(QStringLiteral("DUBIOUSRESOLUTIONID"), Kept(5), resolution);
        audit(QStringLiteral("DUBIOUSTYPEID"), Kept(3), type);
    }
    run(attempt);
    return true;
}

bool TSysEditForm::saveAgreement(TSaveAttempt& attempt)
{
    const QString supplier = referenceCheck(3, QStringLiteral("tSupplier"), QStringLiteral("SupplierID must be a number."),
                                            QStringLiteral("SupplierID does not exist."));
    const QString agreement = Edit2();
    auditKept(QStringLiteral("AGREEMENTNO"), 2, agreement);
    auditKept(QStringLiteral("SUPPLIERID"), 3, supplier);
    if (FAppendMode) {
        QString columns = QStringLiteral("(AgreementNo,SupplierID");
        QString values = QStringLiteral("VALUES (") + Quote(agreement) + QChar(',') + supplier;
        dateBlockAdd(columns, values, false);
        insertRow(columns, values);
    } else {
        updateRow({QStringLiteral("SET AgreementNo = ") + Quote(agreement) + QStringLiteral(",SupplierID = ") +
                   supplier + dateBlockEdit(false)});
    }
    run(attempt);
    return true;
}

bool TSysEditForm::saveDiscountedRate(TSaveAttempt& attempt)
{
    QString customer, serviceType;
    const QString rate = customerAndServiceType(customer, serviceType);
    if (FAppendMode) {
        refuseExistingPair(attempt, QStringLiteral("ServiceTypeID"), serviceType, QStringLiteral("CustomerID"),
                           customer);
        insertRow(QStringLiteral("(ServiceTypeID, CustomerID, Rate, Active"),
                  QStringLiteral("VALUES (") + serviceType + QStringLiteral(", ") + customer + QStringLiteral(", ") +
                      BareOrNull(rate) + QStringLiteral(", 1"));
    } else {
        if (serviceType == Kept(3) && customer == Kept(5) && sameAmount(Kept(2), rate))
            Refuse(kNoChanges);
        updateRow(setLines(QStringList{QStringLiteral("ServiceTypeID = ") + serviceType,
                                       QStringLiteral("CustomerID = ") + customer,
                                       ifTouched(2, QStringLiteral("Rate = ") + BareOrNull(rate))}));
    }
    auditKept(QStringLiteral("SERVICETYPEID"), 3, serviceType);
    auditKept(QStringLiteral("CUSTOMERID"), 5, customer);
    auditAmount(QStringLiteral("RATE"), 2, rate);
    if (FAppendMode)
        audit(QStringLiteral("ACTIVE"), QString(), QStringLiteral("1"));
    run(attempt);
    return true;
}

bool TSysEditForm::saveDiscount(TSaveAttempt& attempt)
{
    QString customer, serviceType;
    const QString rate = customerAndServiceType(customer, serviceType);
    const QString revFee = decimalCheck(9, QStringLiteral("NonStdRevAdminFee error - must be a number."));
    const QString expFee = decimalCheck(10, QStringLiteral("NonStdExpAdminFee error - must be a number."));
    if (FAppendMode) {
        refuseExistingPair(attempt, QStringLiteral("ServiceTypeID"), serviceType, QStringLiteral("CustomerID"),
                           customer);
        QString columns = QStringLiteral("(ServiceTypeID, CustomerID, DiscountRate, Active");
        QString values = QStringLiteral("VALUES (") + serviceType + QStringLiteral(", ") + customer +
                         QStringLiteral(", ") + BareOrNull(rate) + QStringLiteral(", 1");
        addGiven(columns, values, revFee, QStringLiteral(", NonStdRevAdminFee"), QStringLiteral(", ") + revFee);
        addGiven(columns, values, expFee, QStringLiteral(", NonStdExpAdminFee"), QStringLiteral(", ") + expFee);
        insertRow(columns, values);
        audit(QStringLiteral("SERVICETYPEID"), QString(), serviceType);
        audit(QStringLiteral("CUSTOMERID"), QString(), customer);
        audit(QStringLiteral("DISCOUNTRATE"), QString(), BareOrNull(rate));
        audit(QStringLiteral("NONSTDREVADMINFEE"), QString(), BareOrNull(revFee));
        audit(QStringLiteral("NONSTDEXPADMINFEE"), QString(), BareOrNull(expFee));
        audit(QStringLiteral("ACTIVE"), QString(), QStringLiteral("1"));
        run(attempt);
        return true;
    }
    audit(QStringLiteral("SERVICETYPEID"), Kept(3), serviceType);
    audit(QStringLiteral("CUSTOMERID"), Kept(5), customer);
    auditOptional(QStringLiteral("DISCOUNTRATE"), 2, rate);
    auditOptional(QStringLiteral("NONSTDREVADMINFEE"), 9, revFee);
    auditOptional(QStringLiteral("NONSTDEXPADMINFEE"), 10, expFee);
    if (m_audit && m_audit->IsEmpty())
        Refuse(kNoChanges);
    // The opened row by its id: its service type and customer need not be
    // unique among the rows.
    updateRow(setLines({QStringLiteral("ServiceTypeID = ") + serviceType, QStringLiteral("CustomerID = ") + customer,
                        ifTouched(2, QStringLiteral("DiscountRate = ") + BareOrNull(rate)),
                        ifTouched(9, QStringLiteral("NonStdRevAdminFee = ") + BareOrNull(revFee)),
                        ifTouched(10, QStringLiteral("NonStdExpAdminFee = ") + BareOrNull(expFee))}));
    run(attempt);
    return true;
}

bool TSysEditForm::saveCostRange(TSaveAttempt& attempt)
{
    const QString transactionType = referenceCheck(5, QStringLiteral("tTransactionType"),
                                                   QStringLiteral("TransactionTypeID error - must be a number."),
                                                   QStringLiteral("TransactionTypeID does not exist."));
    const QString account = referenceCheck(3, QStringLiteral("tValidAccountNumber"),
                                           QStringLiteral("ValidAccountNumberID error - must be a number."),
                                           QStringLiteral("ValidAccountNumberID does not exist."), false);
    const QString from = decimalCheck(9, QStringLiteral("CostRangeFrom error - must be a number."));
    const QString to = decimalCheck(10, QStringLiteral("CostRangeTo error - must be a number."));
    if (FAppendMode) {
        refuseExistingPair(attempt, QStringLiteral("ValidAccountNumberID"), account,
                           QStringLiteral("TransactionTypeID"), transactionType);
        insertRow(QStringLiteral("(ValidAccountNumberID, TransactionTypeID, CostRangeFrom, CostRangeTo"),
                  QStringLiteral("VALUES (") + account + QStringLiteral(", ") + transactionType + QStringLiteral(", ") +
                      BareOrNull(from) + QStringLiteral(", ") + BareOrNull(to));
        audit(QStringLiteral("VALIDACCOUNTNUMBERID"), QString(), account);
        audit(QStringLiteral("TRANSACTIONTYPEID"), QString(), transactionType);
        audit(QStringLiteral("COSTRANGEFROM"), QString(), BareOrNull(from));
        audit(QStringLiteral("COSTRANGETO"), QString(), BareOrNull(to));
        run(attempt);
        return true;
    }
    audit(QStringLiteral("VALIDACCOUNTNUMBERID"), Kept(3), account);
    audit(QStringLiteral("TRANSACTIONTYPEID"), Kept(5), transactionType);
    auditOptional(QStringLiteral("COSTRANGEFROM"), 9, from);
    auditOptional(QStringLiteral("COSTRANGETO"), 10, to);
    if (m_audit && m_audit->IsEmpty())
        Refuse(kNoChanges);
    updateRow(setLines({QStringLiteral("ValidAccountNumberID = ") + account,
                        QStringLiteral("TransactionTypeID = ") + transactionType,
                        ifTouched(9, QStringLiteral("CostRangeFrom = ") + BareOrNull(from)),
                        ifTouched(10, QStringLiteral("CostRangeTo = ") + BareOrNull(to))}));
    run(attempt);
    return true;
}
