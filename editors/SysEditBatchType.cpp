#include "SysEditBatchType.h"
#include "GenFns.h"
#include "LookupCombo.h"
#include "SysEditUserFunction.h"
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
using F = TSysEditBatchTypeForm;

const QString kCaption = QStringLiteral("System Table: tBatchType");

const F::TDisplayFlagInfo kFlags[F::kDisplayFlags] = {
    {"AccountNo", "Account No", "AccountNo", true},
    {"InvoiceNo", "Invoice No", "InvoiceNo", true},
    {"TotalRevenue", "TotalRevenue", "TotalRevenue", true},
    {"TotalPayable", "TotalPayable", "TotalPayable", true},
    {"TotalCredits", "TotalCredits", "TotalCredits", true},
    {"OpeningBalance", "OpeningBalance", "OpeningBalance", true},
    {"PaymentsReceived", "PaymentsReceived", "PaymentsReceived", true},
    {"TotalAdjustments", "TotalAdjustments", "TotalAdjustments", true},
    {"BatchStart", "BatchStart", "BatchStart", true},
    {"BatchEnd", "BatchEnd", "BatchEnd", true},
    {"PaymentDate", "PaymentDate", "PaymentDate", true},
    {"CreditsToCustomers", "CreditsToCustomers", "CreditsToCustomers", true},
    {"GST", "GSTAmount", "GST", true},
    {"GSTAdjustment", "GSTAdjustment", "GSTAdjustment", true},
    {"OrderNumber", "OrderNumber", "OrderNumber", true},
    {"RequisitionNumber", "RequisitionNumber", "RequisitionNumber", true},
    {"IssueDate", "IssueDate", "IssueDate", true},
    {"RentDates", "RentDates", "RentDates", false},
    {"CallDates", "CallDates", "CallDates", false},
    {"Rounding", "Rounding", "Rounding", true},
    {"TenderNumber", "TenderNumber", "TenderNumber", false},
    {"MultiManual", "MultiManual Entry", "MultiManualEntry", false},
    {"EarlyRevenue", "Preliminary Revenue", "EarlyRevenue", false},
};

// What each test box stands for (its hint); the boxes left of it are not
// active.
const char* const kCriticalHints[F::kTests] = {
    "Unknown Service",   "Additional Services",  "Omitted Services",        "Unexpected Calls",
    "Valid Split Services", "System references", "Terminated Service",      "Incomplete Quetzal data",
    "Extra split service", "CustomerCentre allocated", "Not Active", "Not Active", "Not Active", "Not Active",
    "Not Active",
};
constexpr int kActiveCritical = 10;
const char* const kDubiousHints[] = {
    "Different Rent, Same Service", "Calls less than Rent", "Agreed Tariff & Rates", "Change in Activity",
    "Results in Range of Values",
};
constexpr int kActiveDubious = 5;

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}
QString nameOf(int flag)
{
    return QLatin1String(kFlags[flag].Property) + QStringLiteral("Name");
}
QString varOf(int n)
{
    return QStringLiteral("Var") + twoDigits(n) + QStringLiteral("Description");
}

// The named flags whose names go into one line of a statement.
const QVector<QVector<int>> kNameLines = {
    {F::AccountNo, F::InvoiceNo, F::TotalRevenue, F::TotalPayable},
    {F::TotalCredits, F::OpeningBalance, F::PaymentsReceived, F::TotalAdjustments, F::BatchStart},
    {F::BatchEnd, F::PaymentDate},
    {F::GST, F::GSTAdjustment, F::OrderNumber, F::RequisitionNumber},
    {F::IssueDate, F::Rounding},
};
// The variables of one line of a statement.
const QVector<QVector<int>> kVarLines = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15}};
}  // namespace

const F::TDisplayFlagInfo& TSysEditBatchTypeForm::FlagInfo(int flag)
{
    return kFlags[flag];
}

// ------------------------------------------------------------ the window

TSysEditBatchTypeForm::TSysEditBatchTypeForm(QWidget* owner) : TRecordEditor(owner)
{
    setObjectName(QStringLiteral("SysEditBatchTypeForm"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(1000, 622);

    // The batch type itself, top left.
    auto labelled = [this](QWidget* input, const char* caption) {
        AddLabel(QStringLiteral("lbl") + input->objectName().mid(3), QLatin1String(caption), 8,
                 input->y() + 3)
            ->setBuddy(input);
    };
    edtID = AddEdit(QStringLiteral("edtID"), 160, 8, 64);
    ShowOnly(edtID);
    SetModeCaption(kCaption, edtID);
    labelled(edtID, "ID");
    edtDescription = AddEdit(QStringLiteral("edtDescription"), 160, 34, 240);
    LimitTyping(edtDescription, 50);
    labelled(edtDescription, "Description");
    auto lookup = [&](const char* name, const char* caption, int top, const QStringList& select,
                      const char* textField, const char* idField, bool tenRows) {
        auto* combo = AddControl<TLookupCombo>(QLatin1String(name), 160, top, 240, 22);
        labelled(combo, caption);
        combo->Fill(select, QLatin1String(textField), QLatin1String(idField));
        if (tenRows)
            combo->setMaxVisibleItems(10);
        return combo;
    };
    cbSupplier = lookup("cbSupplier", "Supplier", 60,
                        {"SELECT id, SupplierName", "FROM tSupplier", "WHERE Active = 1", "ORDER BY SupplierName"},
                        "SupplierName", "id", true);
    cbDataSourceType =
        lookup("cbDataSourceType", "DataSourceType", 86, {"SELECT *", "FROM tDataSourceType"}, "DataSource", "ID",
               false);
    cbProgram = lookup("cbProgram", "Program Type", 112, {"SELECT *", "FROM tProgram"}, "Description", "id", true);
    cbReportGroup =
        lookup("cbReportGroup", "ReportGroup", 138, {"SELECT *", "FROM tReportGroup"}, "GroupDesc", "ID", true);
    edtSupplierDisplayedName = AddEdit(QStringLiteral("edtSupplierDisplayedName"), 160, 164, 240);
    LimitTyping(edtSupplierDisplayedName, 100);
    labelled(edtSupplierDisplayedName, "SupplierDisplayedName");

    // The display flags in two blocks, each a box and its name per row.
    for (int block = 0; block < 2; ++block) {
        const int left = 8 + block * 324;
        AddLabel(QStringLiteral("lblCheckIfDisplayed%1").arg(block + 1), QStringLiteral("Check if displayed:"), left,
                 204);
        AddLabel(QStringLiteral("lblDisplayedFieldName%1").arg(block + 1), QStringLiteral("Displayed field name:"),
                 left + 152, 204);
    }
    for (int i = 0; i < kDisplayFlags; ++i) {
        const TDisplayFlagInfo& info = kFlags[i];
        const bool right = i > CreditsToCustomers;
        const int row = right ? i - GST : i;
        const int left = 8 + (right ? 324 : 0);
        const int top = 224 + row * 26;
        const QString property = QLatin1String(info.Property);
        ckFlag[i] = AddCheck(i == EarlyRevenue ? QStringLiteral("ckPrelimRevenue") : QStringLiteral("ck") + property,
                             QLatin1String(info.Caption), left, top + 2, 148);
        if (info.Named) {
            edtName[i] = AddEdit(QStringLiteral("edt") + property, left + 152, top, 160);
            LimitTyping(edtName[i], 50);
        }
    }
    // Credits to customers is shown, never changed here.
    ckFlag[CreditsToCustomers]->setEnabled(false);
    ShowOnly(edtName[CreditsToCustomers]);

    // The variables' descriptions.
    AddLabel(QStringLiteral("lblVariableDescription"), QStringLiteral("Variable Description"), 664, 8);
    for (int n = 1; n <= kVariables; ++n) {
        const int top = 28 + (n - 1) * 26;
        edtVar[n - 1] = AddEdit(QStringLiteral("edtVar") + twoDigits(n), 692, top, 136);
        LimitTyping(edtVar[n - 1], 20);
        AddLabel(QStringLiteral("lblVar") + twoDigits(n), twoDigits(n) + QChar(':'), 664, top + 3)
            ->setBuddy(edtVar[n - 1]);
    }

    // The tests, each kind on its panel.
    auto panel = [this](const QString& kind, const char* caption, const QString& boxCaption, int top,
                        std::array<QCheckBox*, kTests>& boxes) {
        auto* frame = new QFrame(this);
        frame->setObjectName(QStringLiteral("panel") + kind);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(844, top, 148, 300);
        auto* title = new QLabel(QLatin1String(caption), frame);
        title->setObjectName(QStringLiteral("lbl") + kind + QStringLiteral("Tests"));
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->move(8, 6);
        title->adjustSize();
        for (int n = 1; n <= kTests; ++n) {
            boxes[n - 1] = new QCheckBox(boxCaption + twoDigits(n), frame);
            boxes[n - 1]->setObjectName(QStringLiteral("ck") + kind + twoDigits(n));
            boxes[n - 1]->setGeometry(8, 26 + (n - 1) * 18, 134, 17);
        }
        return frame;
    };
    panelCritical = panel(QStringLiteral("Critical"), "Critical Tests:", QStringLiteral("CriticalError"), 8, ckCritical);
    panelDubious = panel(QStringLiteral("Dubious"), "Dubious Tests:", QStringLiteral("DubiousError"), 314, ckDubious);
    for (int n = 1; n <= kTests; ++n) {
        ckCritical[n - 1]->setToolTip(QLatin1String(kCriticalHints[n - 1]));
        ckCritical[n - 1]->setEnabled(n <= kActiveCritical);
        if (n <= kActiveDubious)
            ckDubious[n - 1]->setToolTip(QLatin1String(kDubiousHints[n - 1]));
        ckDubious[n - 1]->setEnabled(n <= kActiveDubious);
    }
    // Every batch type runs these unless told otherwise.
    for (int n : {1, 9, 10})
        ckCritical[n - 1]->setChecked(true);
    // A display flag the caller does not set stands unticked.
    for (int i = 0; i < kDisplayFlags; ++i)
        KeepCheck(ckFlag[i], QLatin1String(kFlags[i].Column), false);
    watchId(cbSupplier, QStringLiteral("SupplierID"));
    watchId(cbDataSourceType, QStringLiteral("DataSourceTypeID"));
    watchId(cbProgram, QStringLiteral("ProgramID"));
    watchId(cbReportGroup, QStringLiteral("ReportGroupID"));

    AddOkCancel(btnOk, btnCancel, QStringLiteral("&Ok"), 664, 440, [this] { btnOkClick(); });
    ScaleToFont(this);

    ReadAuditIds();
    FAudited = IsTableAudited(QStringLiteral("tBatchType"));
}

// ------------------------------------------------------------ properties

void TSysEditBatchTypeForm::SetBatchTypeID(const QString& value)
{
    ShowRowID(edtID, value);
}

void TSysEditBatchTypeForm::setId(TLookupCombo* combo, const QString& name, int v)
{
    FKept.Keep(name, QString::number(v));
    combo->SetID(v);
}

void TSysEditBatchTypeForm::watchId(TLookupCombo* combo, const QString& name)
{
    // The id is kept as its number, or empty when the caller set none (a
    // row without one): either way the list showed that id, or none.
    KeepInput(name, {combo, [this, combo, name] { return combo->ID() != FKept.Kept(name).toInt(); },
                     [combo](const QString& v) {
                         const int index = combo->IndexOfID(v.toInt());
                         return index >= 0 ? combo->itemText(index) : v;
                     },
                     [this, combo, name](const QString& v) {
                         FKept.Keep(name, v);
                         combo->SetID(v.toInt());
                     }});
}

QString TSysEditBatchTypeForm::Description() const { return TextOf(edtDescription); }
void TSysEditBatchTypeForm::SetDescription(const QString& v) { KeepText(edtDescription, QStringLiteral("Description"), v); }
QString TSysEditBatchTypeForm::SupplierDisplayedName() const { return TextOf(edtSupplierDisplayedName); }
void TSysEditBatchTypeForm::SetSupplierDisplayedName(const QString& v)
{
    KeepText(edtSupplierDisplayedName, QStringLiteral("SupplierDisplayedName"), v);
}

int TSysEditBatchTypeForm::SupplierID() const { return cbSupplier->ID(); }
int TSysEditBatchTypeForm::ProgramID() const { return cbProgram->ID(); }
int TSysEditBatchTypeForm::ReportGroupID() const { return cbReportGroup->ID(); }
int TSysEditBatchTypeForm::DataSourceTypeID() const { return cbDataSourceType->ID(); }
void TSysEditBatchTypeForm::SetSupplierID(int v) { setId(cbSupplier, QStringLiteral("SupplierID"), v); }
void TSysEditBatchTypeForm::SetProgramID(int v) { setId(cbProgram, QStringLiteral("ProgramID"), v); }
void TSysEditBatchTypeForm::SetReportGroupID(int v) { setId(cbReportGroup, QStringLiteral("ReportGroupID"), v); }
void TSysEditBatchTypeForm::SetDataSourceTypeID(int v)
{
    setId(cbDataSourceType, QStringLiteral("DataSourceTypeID"), v);
}

bool TSysEditBatchTypeForm::Flag(TDisplayFlag flag) const
{
    return ckFlag[flag]->isChecked();
}

void TSysEditBatchTypeForm::SetFlag(TDisplayFlag flag, bool v)
{
    KeepCheck(ckFlag[flag], QLatin1String(kFlags[flag].Column), v);
}

QString TSysEditBatchTypeForm::FlagName(TDisplayFlag flag) const
{
    return edtName[flag] ? TextOf(edtName[flag]) : QString();
}

void TSysEditBatchTypeForm::SetFlagName(TDisplayFlag flag, const QString& v)
{
    if (edtName[flag])
        KeepText(edtName[flag], nameOf(flag), v);
}

void TSysEditBatchTypeForm::SetVar(int n, const QString& v)
{
    if (n >= 1 && n <= kVariables)
        KeepText(edtVar[n - 1], varOf(n), v);
}

void TSysEditBatchTypeForm::setTests(std::array<QCheckBox*, kTests>& boxes, const QString& column, QString& stored,
                                     const QString& v)
{
    stored = FlagString(v);
    for (int n = 1; n <= kTests; ++n)
        KeepCheck(boxes[n - 1], column + twoDigits(n), FlagTicked(stored, n));
}

void TSysEditBatchTypeForm::SetCritical1To15(const QString& v)
{
    setTests(ckCritical, QStringLiteral("CriticalCheck"), FCritical1To15, v);
}

void TSysEditBatchTypeForm::SetDubious1To15(const QString& v)
{
    setTests(ckDubious, QStringLiteral("DubiousCheck"), FDubious1To15, v);
}

// ------------------------------------------------------------ the save

namespace {
// Every box the statements write, in column order: the display flags, then
// the critical and the dubious tests.
struct TBox {
    QString Column;
    QCheckBox* Box;
};

QVector<TBox> allBoxes(const TSysEditBatchTypeForm& f)
{
    QVector<TBox> boxes;
    for (int i = 0; i < F::kDisplayFlags; ++i)
        boxes.append({QLatin1String(kFlags[i].Column), f.ckFlag[i]});
    for (int n = 1; n <= F::kTests; ++n)
        boxes.append({QStringLiteral("CriticalCheck") + twoDigits(n), f.ckCritical[n - 1]});
    for (int n = 1; n <= F::kTests; ++n)
        boxes.append({QStringLiteral("DubiousCheck") + twoDigits(n), f.ckDubious[n - 1]});
    return boxes;
}

// The boxes of each line of an INSERT's columns (a literal where the line
// is not simply the columns joined by ", ") and of an UPDATE's SET lines.
struct TBoxLine {
    int From, To;
    const char* Columns;
};
const TBoxLine kInsertBoxLines[] = {
    {0, 7, nullptr},
    {7, 14, nullptr},
    {14, 23,
     "OrderNumber, RequisitionNumber, IssueDate, RentDates, CallDates, Rounding, TenderNumber,MultiManualEntry,"
     "EarlyRevenue,"},
    {23, 30, nullptr},
    {30, 38, nullptr},
    {38, 45, nullptr},
    {45, 53, nullptr},
};
const TBoxLine kUpdateBoxLines[] = {{0, 7, nullptr},   {7, 14, nullptr},  {14, 24, nullptr}, {24, 30, nullptr},
                                    {30, 38, nullptr}, {38, 45, nullptr}, {45, 53, nullptr}};
}  // namespace

void TSysEditBatchTypeForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& save) { return FAppendMode ? saveNew(save) : saveChanges(save); });
}

bool TSysEditBatchTypeForm::saveNew(TSaveAttempt& save)
{
    TAuditTrail audit = NewAudit(AuditIds.Insert, QStringLiteral("tBatchType"));
    auto note = [&](const QString& field, const QString& value) {
        if (FAudited)
            audit.AddField(field, QString(), value);
    };
    QStringList columns, values;
    auto group = [&](const QString& column, const QString& value) {
        if (!column.isEmpty()) {
            columns << column;
            values << value;
        }
    };

    const QString description = Description();
    const QString supplier = QString::number(SupplierID());
    const QString dataSource = QString::number(DataSourceTypeID());
    group(QStringLiteral("(Description, SupplierID, DataSourceTypeID, Active,"),
          QStringLiteral("VALUES (") + TextItem(description) + supplier + QChar(',') + dataSource +
              QStringLiteral(",1,"));
    note(QStringLiteral("DESCRIPTION"), description);
    note(QStringLiteral("SUPPLIERID"), supplier);
    note(QStringLiteral("DATASOURCETYPEID"), dataSource);

    const QString shown = SupplierDisplayedName();
    const QString reportGroup = QString::number(ReportGroupID());
    group(QStringLiteral("SupplierDisplayedName, ReportGroupID,"), TextItem(shown) + reportGroup + QChar(','));
    note(QStringLiteral("SUPPLIERDISPLAYEDNAME"), shown);
    note(QStringLiteral("REPORTGROUPID"), reportGroup);

    const QVector<TBox> boxes = allBoxes(*this);
    for (const TBoxLine& line : kInsertBoxLines) {
        QStringList names;
        QString value;
        for (int i = line.From; i < line.To; ++i) {
            const QString on = BitText(boxes[i].Box->isChecked());
            names << boxes[i].Column;
            value += on + QChar(',');
            note(boxes[i].Column.toUpper(), on);
        }
        group(line.Columns ? QLatin1String(line.Columns) : names.join(QStringLiteral(", ")) + QChar(','), value);
    }

    // The program, then the names and descriptions that are not empty.
    const int program = ProgramID();
    QString column = QStringLiteral("ProgramID,");
    QString value = (program == 0 ? QStringLiteral("NULL") : QString::number(program)) + QChar(',');
    if (program != 0)
        note(QStringLiteral("PROGRAMID"), QString::number(program));
    auto item = [&](const QString& name, const QString& text, bool first) {
        if (text.isEmpty())
            return;
        const QString blank = first ? QString() : QStringLiteral(" ");
        column += blank + name + QChar(',');
        value += blank + Quote(text) + QChar(',');
        note(name.toUpper(), text);
    };
    auto endLine = [&] {
        group(column, value);
        column.clear();
        value.clear();
    };
    for (const QVector<int>& line : kNameLines) {
        for (int flag : line)
            item(nameOf(flag), FlagName(TDisplayFlag(flag)), flag == AccountNo);
        endLine();
    }
    for (const QVector<int>& line : kVarLines) {
        for (int n : line)
            item(varOf(n), TextOf(edtVar[n - 1]), false);
        endLine();
    }

    audit.SetTableID(save.ExecInsert(InsertStatement(QStringLiteral("tBatchType"), columns, values)));
    if (FAudited)
        save.Write(audit);
    return true;
}

bool TSysEditBatchTypeForm::saveChanges(TSaveAttempt& save)
{
    const int id = RowToChange(edtID, QStringLiteral("batch type"));
    // Every value the statement writes, as stored now: an id as the main
    // window keeps it (its number, empty for none).
    const auto storedId = [](const TField& f) { return f.IsNull() ? QString() : QString::number(f.AsInteger()); };
    TStoredRow stored(QStringLiteral("tBatchType"), QStringLiteral("WHERE id = ") + QString::number(id));
    stored.Text(QStringLiteral("Description")).Text(QStringLiteral("SupplierDisplayedName"));
    for (const char* column : {"SupplierID", "DataSourceTypeID", "ReportGroupID", "ProgramID"})
        stored.Value(QLatin1String(column), QString(), storedId);
    for (const TBox& box : allBoxes(*this))
        stored.Flag(box.Column);
    for (const QVector<int>& names : kNameLines)
        for (int flag : names)
            stored.Text(nameOf(flag));
    for (int n = 1; n <= kVariables; ++n)
        stored.Text(varOf(n));
    KeepUpWithStored(save, stored);

    TAuditTrail audit = NewAudit(AuditIds.Update, QStringLiteral("tBatchType"));
    audit.SetTableID(id);
    TAuditTrail* trail = FAudited ? &audit : nullptr;
    auto note = [&](const QString& field, const QString& now) { FKept.Audit(trail, field, now); };
    QStringList lines{QStringLiteral("UPDATE tBatchType")};

    const QString description = Description();
    const QString supplier = QString::number(SupplierID());
    const QString dataSource = QString::number(DataSourceTypeID());
    note(QStringLiteral("Description"), description);
    note(QStringLiteral("SupplierID"), supplier);
    note(QStringLiteral("DataSourceTypeID"), dataSource);
    lines << QStringLiteral("SET Description = ") +
                 (description.isEmpty() ? QStringLiteral("NULL,") : Quote(description) + QStringLiteral(", ")) +
                 QStringLiteral("SupplierID = ") + supplier + QStringLiteral(", DataSourceTypeID = ") + dataSource +
                 QChar(',');

    // The displayed name and the report group only when they changed.
    QString changed;
    const QString shown = SupplierDisplayedName();
    if (FKept.Changed(QStringLiteral("SupplierDisplayedName"), shown)) {
        changed += QStringLiteral(" SupplierDisplayedName = ") + TextItem(shown);
        note(QStringLiteral("SupplierDisplayedName"), shown);
    }
    const QString reportGroup = QString::number(ReportGroupID());
    if (FKept.Changed(QStringLiteral("ReportGroupID"), reportGroup)) {
        changed += QStringLiteral(" ReportGroupID = ") + reportGroup + QChar(',');
        note(QStringLiteral("ReportGroupID"), reportGroup);
    }
    if (!changed.isEmpty())
        lines << changed;

    // Every box, changed or not; audit rows for the changed ones.
    const QVector<TBox> boxes = allBoxes(*this);
    for (const TBoxLine& range : kUpdateBoxLines) {
        QString line;
        for (int i = range.From; i < range.To; ++i)
            SwitchItem(line, boxes[i].Column, boxes[i].Box->isChecked(), trail);
        lines << line;
    }

    // The program (none stays NULL), then every name and description.
    const int program = ProgramID();
    const QString programText = program == 0 ? QString() : QString::number(program);
    note(QStringLiteral("ProgramID"), programText);
    QString line = QStringLiteral(" ProgramID = ") + (program == 0 ? QStringLiteral("NULL") : programText) + QChar(',');
    auto item = [&](const QString& name, const QString& text) {
        line += QChar(' ') + name + QStringLiteral(" = ") + TextItem(text);
        note(name, text);
    };
    for (const QVector<int>& names : kNameLines) {
        for (int flag : names)
            item(nameOf(flag), FlagName(TDisplayFlag(flag)));
        lines << line;
        line.clear();
    }
    for (const QVector<int>& vars : kVarLines) {
        for (int n : vars)
            item(varOf(n), TextOf(edtVar[n - 1]));
        lines << line;
        line.clear();
    }
    DropFinalComma(lines);
    lines << QStringLiteral("WHERE id = ") + QString::number(id);

    save.Exec(lines);
    if (FAudited)
        save.Write(audit);
    return true;
}
