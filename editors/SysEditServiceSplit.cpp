#include "SysEditServiceSplit.h"
#include "Application.h"
#include "DataMod.h"
#include "GenFns.h"
#include "LookupCombo.h"
#include <QCollator>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <algorithm>
#include <numeric>

namespace {

const QString kTable = QStringLiteral("tServiceSplit");
const QString kCaption = QStringLiteral("SplitForm");

constexpr int kRowTop = 96;
constexpr int kRowHeight = 24;

// The three shares of a line, in the order they are checked.
enum TShare { Rent, Calls, Other };
const char* const kShareNames[] = {"Rent", "Calls", "Other"};

// The active customers with a ShipTo, in ShipTo order, sorted as people
// read them (letter case aside), in English where the system names no
// language. The database's order mostly is that order already: it is
// checked in one pass and sorted again only where it differs.
TLookupRows sortedCustomers()
{
    TLookupRows rows;
    {
        TQuery q(nullptr, QLatin1String(kDatabaseName));
        q.UniDirectional = true;
        q.SQL().Assign(QStringList{"SELECT ID, ShipTo", "FROM tCustomer", "WHERE Active = 1", "ORDER BY ShipTo"});
        q.Open();
        const TField* id = q.FieldByName(QStringLiteral("ID"));
        const TField* shipTo = q.FieldByName(QStringLiteral("ShipTo"));
        // A customer whose id does not fit is not listed: it cannot be
        // chosen, so no row takes another customer for it.
        int customer = 0;
        for (; !q.Eof(); q.Next()) {
            const QString text = shipTo->AsString().trimmed();
            if (!text.isEmpty() && id->TryAsInteger(customer))
                rows.Add(text, customer);
        }
    }
    const QLocale system = QLocale::system();
    QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto before = [&](int a, int b) { return collator.compare(rows.Text(a), rows.Text(b)) < 0; };
    int row = 1;
    while (row < rows.Count() && !before(row, row - 1))
        ++row;
    if (row >= rows.Count())
        return rows;
    QVector<int> order(rows.Count());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), before);
    TLookupRows sorted;
    for (int i : order)
        sorted.Add(rows.Text(i), rows.ID(i));
    return sorted;
}

}  // namespace

TSplitForm::TSplitForm(QWidget* owner) : TRecordEditor(owner), FCustomers(new TLookupList(this))
{
    setObjectName(QStringLiteral("SplitForm"));
    SetModeCaption(kCaption);
    setFixedSize(442, 388);

    AddLabel("lblServiceID", "ServiceID", 16, 8);
    cbServiceID = AddControl<TLookupCombo>("cbServiceID", 16, 24, 150);
    AddLabel("lblServiceDescription", "Service Description", 176, 8);
    dbedtServiceDescription = AddEdit("dbedtServiceDescription", 176, 24, 250);
    ShowOnly(dbedtServiceDescription);
    AddLabel("lblInvoicedTo", "The above ServiceID shall be invoiced to the following customers", 16, 56);
    AddLabel("lblItem", "Item", 16, kRowTop - 16);
    AddLabel("lblShipTo", "ShipTo", 64, kRowTop - 16);
    AddLabel("lblRent", "Rent %", 200, kRowTop - 16);
    AddLabel("lblCalls", "Calls %", 264, kRowTop - 16);
    AddLabel("lblOther", "Other %", 328, kRowTop - 16);

    // One list of customers behind every row; each item carries its
    // customer's id.
    FCustomers->Assign(sortedCustomers());
    QList<QWidget*> order{cbServiceID};
    for (int i = 0; i < kRows; ++i) {
        const int top = kRowTop + i * kRowHeight;
        const QString n = QString::number(i + 1);
        edtItem[i] = AddEdit("edtItem" + n, 16, top, 40);
        edtItem[i]->setText(n);
        ShowOnly(edtItem[i]);
        cbShipTo[i] = AddControl<TLookupCombo>("cbShipTo" + n, 64, top, 128);
        cbShipTo[i]->SetEditable(true);
        cbShipTo[i]->SetList(FCustomers);
        edtRent[i] = AddEdit("edtRent" + n, 200, top, 56);
        edtCalls[i] = AddEdit("edtCalls" + n, 264, top, 56);
        edtOther[i] = AddEdit("edtOther" + n, 328, top, 56);
        order << cbShipTo[i] << edtRent[i] << edtCalls[i] << edtOther[i];
    }
    AddOkCancel(btnOk, btnCancel, QStringLiteral("&Ok"), 264, 348, [this] { btnOkClick(); });
    ScaleToFont(this);
    order << btnOk << btnCancel;
    SetTabOrder(order);
    connect(cbServiceID, &TLookupCombo::PickedID, this, [this] { RunGuarded([this] { showDescription(); }); });

    ReadAuditIds();
    FAudited = IsTableAudited(kTable);
    WatchLines();
}

void TSplitForm::WatchLines()
{
    for (int i = 0; i < kRows; ++i) {
        const QString n = QString::number(i + 1);
        // The customer: the one a save would write (none once cleared).
        const QString shipTo = "ShipTo" + n;
        KeepInput(shipTo, {cbShipTo[i],
                           [this, i, shipTo] {
                               const QString text = cbShipTo[i]->currentText().trimmed();
                               const int customer = KeptOffFile(i, text) ? FLoaded[i].CustomerID : cbShipTo[i]->ID();
                               return text.isEmpty() || IdText(customer) != FKept.Kept(shipTo);
                           },
                           [this](const QString& v) {
                               TLoadedSplit shown;
                               SetCustomer(shown, v.toInt(), customerShipTo(v.toInt()));
                               return shown.Shown;
                           },
                           [this, i, shipTo](const QString& v) {
                               SetCustomer(FLoaded[i], v.toInt(), customerShipTo(v.toInt()));
                               FKept.Keep(shipTo, v);
                               cbShipTo[i]->SetID(FLoaded[i].CustomerID, FLoaded[i].Shown);
                           }});
        // A share: as a save would write it (a text that is no whole number
        // is the operator's).
        QLineEdit* inputs[] = {edtRent[i], edtCalls[i], edtOther[i]};
        QString TLoadedSplit::*loaded[] = {&TLoadedSplit::Rent, &TLoadedSplit::Calls, &TLoadedSplit::Other};
        for (int kind : {Rent, Calls, Other}) {
            const QString name = QLatin1String(kShareNames[kind]) + n;
            QLineEdit* input = inputs[kind];
            QString TLoadedSplit::*share = loaded[kind];
            KeepInput(name, {input,
                             [this, input, name] {
                                 QString text = input->text().trimmed();
                                 bool cut = false;
                                 CutAtFirstNonDigit(text, cut);
                                 if (!text.isEmpty())
                                     text = QString::number(text.toLongLong());
                                 return cut || text != FKept.Kept(name);
                             },
                             [](const QString& v) { return v; },
                             [this, i, input, name, share](const QString& v) {
                                 FLoaded[i].*share = v;
                                 FKept.Keep(name, v);
                                 input->setText(v);
                             }});
        }
    }
}

QString TSplitForm::customerShipTo(int customer) const
{
    const int row = FCustomers->IndexOf(customer);
    if (row >= 0 || customer <= 0)
        return row >= 0 ? FCustomers->Text(row).toString() : QString();
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Assign(QStringList{"SELECT ShipTo", "FROM tCustomer", "WHERE ID = " + QString::number(customer)});
    q.Open();
    return q.IsEmpty() ? QString() : q.FieldByName(QStringLiteral("ShipTo"))->AsString();
}

void TSplitForm::SetCustomer(TLoadedSplit& split, int customer, const QString& shipTo)
{
    split.CustomerID = customer;
    split.Shown = shipTo.trimmed();
    split.OnFile = !split.Shown.isEmpty();
    if (!split.OnFile)
        split.Shown = customer > 0 ? QStringLiteral("(customer %1)").arg(customer) : QStringLiteral("(no customer)");
}

bool TSplitForm::KeptOffFile(int i, const QString& shipTo) const
{
    const TLoadedSplit& loaded = FLoaded[i];
    return loaded.ID != 0 && !loaded.OnFile && shipTo == loaded.Shown;
}

void TSplitForm::KeepLoaded(int i)
{
    const TLoadedSplit& s = FLoaded[i];
    const QString n = QString::number(i + 1);
    FKept.Keep("ShipTo" + n, IdText(s.CustomerID));
    FKept.Keep("Rent" + n, s.Rent);
    FKept.Keep("Calls" + n, s.Calls);
    FKept.Keep("Other" + n, s.Other);
}

void TSplitForm::KeepUpWithStoredSplit(TSaveAttempt& attempt)
{
    struct TStoredSplit {
        QString Customer, Rent, Calls, Other;
    };
    QHash<int, TStoredSplit> stored;
    attempt.Read({QStringLiteral("SELECT ID, CustomerID, RentPercentage, CallPercentage, OtherPercentage"),
                  LockedFrom(kTable), "WHERE ServiceID = " + QString::number(ServiceID()) + " AND Active = 1"},
                 [&](const TDataSet& row) {
                     const auto text = [&](const char* column) { return row.FieldByName(QLatin1String(column))->AsString(); };
                     stored.insert(row.FieldByName(QStringLiteral("ID"))->AsInteger(),
                                   {IdText(row.FieldByName(QStringLiteral("CustomerID"))->AsInteger()),
                                    text("RentPercentage"), text("CallPercentage"), text("OtherPercentage")});
                 });
    QVector<QPair<QString, QString>> now;
    for (int i = 0; i < kRows; ++i) {
        TLoadedSplit& loaded = FLoaded[i];
        if (loaded.ID == 0)
            continue;
        const QString n = QString::number(i + 1);
        const auto found = stored.constFind(loaded.ID);
        if (found != stored.constEnd()) {
            now << qMakePair("ShipTo" + n, found->Customer) << qMakePair("Rent" + n, found->Rent)
                << qMakePair("Calls" + n, found->Calls) << qMakePair("Other" + n, found->Other);
            continue;
        }
        // Gone: retired already where the operator retires it, refused where
        // the operator changed it; left alone, the line shows it gone.
        if (!cbShipTo[i]->currentText().trimmed().isEmpty()) {
            for (const char* input : {"ShipTo", "Rent", "Calls", "Other"})
                if (InputChanged(QLatin1String(input) + n))
                    RefuseRowGone();
            cbShipTo[i]->SetID(0);
            for (QLineEdit* share : {edtRent[i], edtCalls[i], edtOther[i]})
                share->clear();
        }
        loaded = TLoadedSplit();
        KeepLoaded(i);
    }
    KeepUpWith(now);
}

// ------------------------------------------------------------ properties

void TSplitForm::SetAppendMode(bool value)
{
    TRecordEditor::SetAppendMode(value);
    // The list is read again only when the mode changes.
    if (FListed != int(value)) {
        const int shown = cbServiceID->currentIndex() >= 0 ? cbServiceID->ID() : 0;
        ListServices(value);
        FListed = int(value);
        if (shown > 0)
            cbServiceID->SetID(shown);
    }
    cbServiceID->setEnabled(value);
    showDescription();
}

void TSplitForm::ListServices(bool adding)
{
    // A service counts as split while it has active split rows; one with
    // several is listed once.
    TLookupRows rows;
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.UniDirectional = true;
    q.SQL().Assign(QStringList{
        "SELECT tServiceID.ID, tServiceID.ServiceID", "FROM tServiceID",
        "LEFT JOIN tServiceSplit ON ((tServiceID.ID = tServiceSplit.ServiceID) AND (tServiceSplit.Active = 1))",
        adding ? "WHERE tServiceSplit.ID IS NULL" : "WHERE tServiceSplit.ID IS NOT NULL",
        "AND tServiceID.Active = 1", "ORDER BY tServiceID.ServiceID, tServiceID.ID"});
    q.Open();
    const TField* idField = q.FieldByName(QStringLiteral("ID"));
    const TField* serviceField = q.FieldByName(QStringLiteral("ServiceID"));
    int last = 0;
    for (; !q.Eof(); q.Next()) {
        // A service whose id does not fit is not listed.
        int id = 0;
        if (!idField->TryAsInteger(id))
            continue;
        if (id != last)
            rows.Add(serviceField->AsString(), id);
        last = id;
    }
    q.Close();
    TLookupList* list = cbServiceID->List();
    const QSignalBlocker quiet(cbServiceID);
    list->Assign(std::move(rows));
    cbServiceID->SetID(0);
}

int TSplitForm::ServiceID() const
{
    if (!FAppendMode)
        return FServiceID;
    return cbServiceID->currentIndex() >= 0 ? cbServiceID->ID() : 0;
}

void TSplitForm::SetServiceID(int value)
{
    FServiceID = value;
    if (cbServiceID->IndexOfID(value) < 0 && FAppendMode && cbServiceID->count() > 0)
        cbServiceID->SetID(cbServiceID->ItemID(0));
    else
        cbServiceID->SetID(value);
    showDescription();
    LoadSplits(value);
}

void TSplitForm::showDescription()
{
    // Read for the service shown, not kept for every service listed.
    const int index = cbServiceID->currentIndex();
    QString description;
    if (index >= 0) {
        TQuery q(nullptr, QLatin1String(kDatabaseName));
        q.SQL().Assign(QStringList{"SELECT Description", "FROM tServiceID",
                                   "WHERE ID = " + QString::number(cbServiceID->ItemID(index))});
        q.Open();
        if (!q.Eof())
            description = q.FieldByName(QStringLiteral("Description"))->AsString();
    }
    dbedtServiceDescription->setText(description);
}

void TSplitForm::LoadSplits(int service)
{
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Assign(QStringList{"SELECT tServiceSplit.ID, tServiceSplit.CustomerID, tServiceSplit.RentPercentage,",
                               " tServiceSplit.CallPercentage, tServiceSplit.OtherPercentage, tCustomer.ShipTo",
                               "FROM tServiceSplit",
                               "LEFT JOIN tCustomer ON tServiceSplit.CustomerID = tCustomer.ID",
                               "WHERE tServiceSplit.ServiceID = " + QString::number(service),
                               "AND tServiceSplit.Active = 1",
                               "ORDER BY tServiceSplit.ID"});
    q.Open();
    for (int i = 0; i < kRows; ++i) {
        TLoadedSplit& s = FLoaded[i];
        s = TLoadedSplit();
        if (!q.Eof()) {
            s.ID = q.FieldByName(QStringLiteral("ID"))->AsInteger();
            SetCustomer(s, q.FieldByName(QStringLiteral("CustomerID"))->AsInteger(),
                        q.FieldByName(QStringLiteral("ShipTo"))->AsString());
            s.Rent = q.FieldByName(QStringLiteral("RentPercentage"))->AsString();
            s.Calls = q.FieldByName(QStringLiteral("CallPercentage"))->AsString();
            s.Other = q.FieldByName(QStringLiteral("OtherPercentage"))->AsString();
            q.Next();
        }
        KeepLoaded(i);
        // A customer no longer listed (inactive, or gone) shows as loaded.
        cbShipTo[i]->SetID(s.CustomerID, s.Shown);
        edtRent[i]->setText(s.Rent);
        edtCalls[i]->setText(s.Calls);
        edtOther[i]->setText(s.Other);
    }
    // The rows beyond the tenth stay as they are, and still count.
    std::fill(std::begin(FUnshown), std::end(FUnshown), 0);
    for (; !q.Eof(); q.Next()) {
        FUnshown[Rent] += q.FieldByName(QStringLiteral("RentPercentage"))->AsInteger();
        FUnshown[Calls] += q.FieldByName(QStringLiteral("CallPercentage"))->AsInteger();
        FUnshown[Other] += q.FieldByName(QStringLiteral("OtherPercentage"))->AsInteger();
    }
}

// ------------------------------------------------------------ save

void TSplitForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& attempt) { return save(attempt); });
}

QVector<TSplitForm::TSplitLine> TSplitForm::CheckLines()
{
    QVector<TSplitLine> lines(kRows);
    // What is stored and not shown counts too (edited rows only: adding
    // writes the ten rows alone).
    qint64 totals[3] = {0, 0, 0};
    if (!FAppendMode)
        std::copy(std::begin(FUnshown), std::end(FUnshown), totals);
    for (int i = 0; i < kRows; ++i) {
        TSplitLine& line = lines[i];
        line.ShipTo = cbShipTo[i]->currentText().trimmed();
        if (line.ShipTo.isEmpty())
            continue;
        const QString row = QString::number(i + 1);
        // A row left naming a customer no longer on file keeps it when it
        // is changed, and gives no new row its customer.
        const bool keptOffFile = KeptOffFile(i, line.ShipTo);
        if (keptOffFile ? FAppendMode : !cbShipTo[i]->TextKnown())
            Refuse("ShipTo" + row + " is not a known customer. Save aborted.");
        line.CustomerID = keptOffFile ? FLoaded[i].CustomerID : cbShipTo[i]->ID();
        QLineEdit* inputs[] = {edtRent[i], edtCalls[i], edtOther[i]};
        QString* values[] = {&line.Rent, &line.Calls, &line.Other};
        for (int kind : {Rent, Calls, Other}) {
            QString text = inputs[kind]->text().trimmed();
            if (text.isEmpty())
                continue;
            bool cut = false;
            CutAtFirstNonDigit(text, cut);
            if (cut) {
                inputs[kind]->setText(text);
                Refuse(QStringLiteral("Whole integers only. ") + QLatin1String(kShareNames[kind]) + row +
                       QStringLiteral(" adjusted. Save aborted."));
            }
            bool ok = false;
            const qint64 value = text.toLongLong(&ok);
            // A share above 100 (or too large to hold) never totals 100.
            totals[kind] += ok ? qMin<qint64>(value, 101) : 101;
            *values[kind] = QString::number(value);
        }
    }
    if (totals[Rent] != 100 || totals[Calls] != 100 || totals[Other] != 100)
        Refuse(QStringLiteral("Integer totals are not 100. Please review your data."));
    return lines;
}

bool TSplitForm::save(TSaveAttempt& attempt)
{
    if (ServiceID() <= 0)
        Refuse(QStringLiteral("A ServiceID MUST be chosen."));
    if (!FAppendMode)
        KeepUpWithStoredSplit(attempt);
    const QVector<TSplitLine> lines = CheckLines();
    const QString service = QString::number(ServiceID());
    for (int i = 0; i < kRows; ++i) {
        const TSplitLine& line = lines[i];
        const TLoadedSplit& loaded = FLoaded[i];
        if (FAppendMode || loaded.ID == 0) {
            // A new row, when it has a customer and a share.
            if (!line.ShipTo.isEmpty() && !(line.Rent + line.Calls + line.Other).isEmpty())
                InsertSplit(attempt, service, line);
            continue;
        }
        const QString id = QString::number(loaded.ID);
        TAuditTrail audit = NewAudit(AuditIds.Update, kTable);
        audit.SetTableID(loaded.ID);
        if (line.ShipTo.isEmpty()) {
            // The customer was cleared: the row is retired.
            attempt.Exec({QStringLiteral("UPDATE tServiceSplit"), QStringLiteral("SET Active = 0"), "WHERE ID = " + id});
            audit.AddField(QStringLiteral("ACTIVE"), QStringLiteral("1"), QStringLiteral("0"));
        } else {
            // The changed items on one SET line: customer, then the shares.
            QString set;
            if (line.CustomerID != loaded.CustomerID) {
                set += "CustomerID = " + QString::number(line.CustomerID) + ",";
                audit.AddField(QStringLiteral("CUSTOMERID"), IdText(loaded.CustomerID), IdText(line.CustomerID));
            }
            const QString shares[][3] = {{QStringLiteral("RentPercentage"), loaded.Rent, line.Rent},
                                         {QStringLiteral("CallPercentage"), loaded.Calls, line.Calls},
                                         {QStringLiteral("OtherPercentage"), loaded.Other, line.Other}};
            for (const auto& s : shares) {
                if (s[1] == s[2])
                    continue;
                // An erased share is NULL.
                set += s[0] + " = " + BareOrNull(s[2]) + ",";
                audit.AddField(s[0].toUpper(), s[1], s[2]);
            }
            if (set.isEmpty())
                continue;
            set.chop(1);
            attempt.Exec({QStringLiteral("UPDATE tServiceSplit"), "SET " + set, "WHERE ID = " + id});
        }
        if (FAudited)
            attempt.Write(audit);
    }
    // The service's active shares as stored now, rows written meanwhile by
    // anyone else included: each totals 100, or nothing is written.
    if (!attempt.Exists({QStringLiteral("SELECT ServiceID"), LockedFrom(kTable),
                         "WHERE ServiceID = " + service, QStringLiteral("AND Active = 1"),
                         QStringLiteral("GROUP BY ServiceID"), QStringLiteral("HAVING SUM(RentPercentage) = 100"),
                         QStringLiteral("AND SUM(CallPercentage) = 100"),
                         QStringLiteral("AND SUM(OtherPercentage) = 100")}))
        Refuse(QStringLiteral("Integer totals are not 100. Please review your data."));
    return true;
}

void TSplitForm::InsertSplit(TSaveAttempt& attempt, const QString& service, const TSplitLine& line)
{
    TAuditTrail audit = NewAudit(AuditIds.Insert, kTable);
    TInsertLines insert(audit);
    insert.Put(QStringLiteral("ServiceID"), service);
    insert.Add(QStringLiteral("CustomerID"), QString::number(line.CustomerID));
    if (!line.Calls.isEmpty())
        insert.Add(QStringLiteral("CallPercentage"), line.Calls);
    if (!line.Rent.isEmpty())
        insert.Add(QStringLiteral("RentPercentage"), line.Rent);
    if (!line.Other.isEmpty())
        insert.Add(QStringLiteral("OtherPercentage"), line.Other);
    insert.Put(QStringLiteral("Active"), QStringLiteral("1"));
    audit.SetTableID(attempt.ExecInsert(insert.Statement(kTable)));
    if (FAudited)
        attempt.Write(audit);
}
