#include "SysEdit.h"
#include "DB.h"
#include "Formats.h"
#include "GenFns.h"
#include "Locale.h"
#include "SqlText.h"
#include "ToolEdit.h"
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <cmath>

namespace {

// What a code shows. Labels stand for Edit2, 3, 4, 5, 6, 9, 10 in that
// order; nullptr leaves the input hidden. Read-only inputs are name displays.
struct TLayout {
    int Code;
    const char* Table;
    const char* Labels[7];
    unsigned ReadOnly;  // bit per entry of Labels
    const char* StartLabel;  // dates: the labels of Edit7 and Edit8
    const char* EndLabel;
    const char* Check1;
    const char* Check2;
};

constexpr unsigned RO4 = 1u << 2;  // Edit4
constexpr unsigned RO6 = 1u << 4;  // Edit6
constexpr const char* kStart = "StartDate";
constexpr const char* kEnd = "EndDate";

const TLayout kLayouts[] = {
    {0, "tLocation", {"Location"}, 0, kStart, kEnd, nullptr, nullptr},
    {1, "tPerson", {"Person", "Email Address"}, 0, kStart, kEnd, nullptr, nullptr},
    {2, "tValidAccountNumber", {"AccountNo", "BatchTypeID", "BatchType", "Tender No"}, RO4, nullptr, nullptr,
     nullptr, nullptr},
    {3, "tCentre", {"Description", "DepartmentID", "Department"}, RO4, kStart, kEnd, nullptr, nullptr},
    {4, "tActivity", {"Description", "CustomerID", "ShipTo"}, RO4, kStart, kEnd, nullptr, nullptr},
    {5, "tElement", {"ServiceGroupID", "ElementCode", "Description", "CustomerID", "ShipTo", "ReportGroupID"}, RO6,
     kStart, kEnd, "Platinum Update", "Lost Revenue"},
    {6, "tSubledger", {"Description", "CustomerID", "ShipTo"}, RO4, kStart, kEnd, nullptr, nullptr},
    {7, "tSystem", {"System", "BatchTypeID", "BatchType"}, RO4, nullptr, nullptr, nullptr, nullptr},
    {8, "tDepartment", {"Description", "GroupID", "GroupName"}, RO4, kStart, kEnd, nullptr, nullptr},
    {9, "tGroup", {"Description", "CustomerID", "ShipTo"}, RO4, kStart, kEnd, nullptr, nullptr},
    {10, "tDestination", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {11, "tOrigin", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {13, "tTransactionGroup", {"Description", "CostRangeFrom", "CostRangeTo"}, 0, nullptr, nullptr, nullptr, nullptr},
    {14, "tTransactionType", {"Description", "TransactionGroupID", "TransactionGroup", "SystemID", "System"},
     RO4 | RO6, kStart, kEnd, nullptr, nullptr},
    {15, "tRate", {"ServiceTypeID", "Length", "Percentage", "Cost", "Cost100", "RateDescription", "PartCost"}, 0,
     kStart, kEnd, nullptr, nullptr},
    {16, "tRateDescription", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {17, "tFunction", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {19, "tDubiousValidResolution", {nullptr, "DubiousTypeID", "DubiousType", "ResolutionID", "Resolution"},
     RO4 | RO6, nullptr, nullptr, nullptr, nullptr},
    {20, "tDubiousType", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {21, "tDubiousResolution", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {22, "tCriticalType", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {23, "tApplication", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {24, "tAgreement", {"AgreementNo", "SupplierID", "Supplier"}, RO4, "AgreementDateFrom", "AgreementDateTo",
     nullptr, nullptr},
    {25, "tDiscountedRate", {"Rate (max 100)", "ServiceTypeID", "Code + ServiceType", "CustomerID", "ShipTo"},
     RO4 | RO6, nullptr, nullptr, nullptr, nullptr},
    {26, "tProgram", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {27, "tAgreementType", {"Description"}, 0, nullptr, nullptr, nullptr, nullptr},
    {28, "tDiscount",
     {"DiscountRate (max 100)", "ServiceTypeID", "Code + ServiceType", "CustomerID", "ShipTo",
      "NonStdRevAdminFee %", "NonStdExpAdminFee %"},
     RO4 | RO6, nullptr, nullptr, nullptr, nullptr},
    {29, "tCostRange",
     {nullptr, "ValidAccountNumberID", "ValidAccountNumber", "TransactionTypeID", "TransactionType",
      "CostRangeFrom", "CostRangeTo"},
     RO4 | RO6, nullptr, nullptr, nullptr, nullptr},
};

// How each input of a code holds a column of its table, as the main window
// gives the row's value to the editor; the name displays hold none.
enum class TRead {
    Text,       // the column's text
    Number,     // an integer's decimal text, 0 for none
    Amount,     // an amount as the operator reads and types it; empty for none
    Currency,   // a currency's general text; empty for none
    Date,       // Edit7 and Edit8: yyyymmdd, empty for none
    Flag,       // the check boxes: "1" or "0"
};

struct TColumnOf {
    int Edit;  // 1..10 the inputs, 11 and 12 the first two check boxes
    const char* Column;
    TRead Read;
};

struct TColumnsOf {
    int Code;
    QVector<TColumnOf> Columns;
};

constexpr int kCheck1 = 11;
constexpr int kCheck2 = 12;

const QVector<TColumnOf>& columnsOf(int code)
{
    const TColumnOf start{7, "StartDate", TRead::Date}, end{8, "EndDate", TRead::Date};
    const TColumnOf description{2, "Description", TRead::Text};
    static const QVector<TColumnsOf> table = {
        {0, {description, start, end}},
        {1, {{2, "Person", TRead::Text}, {3, "EmailAddress", TRead::Text}, start, end}},
        {2, {{2, "AccountNo", TRead::Text}, {3, "BatchTypeID", TRead::Text}, {5, "TenderNo", TRead::Text}, start, end}},
        {3, {description, {3, "DepartmentID", TRead::Text}, start, end}},
        {4, {description, {3, "CustomerID", TRead::Text}, start, end}},
        {5, {{2, "ServiceGroupID", TRead::Text}, {3, "ElementCode", TRead::Text}, {4, "Description", TRead::Text},
             {5, "CustomerID", TRead::Text}, {9, "ReportGroupID", TRead::Text}, start, end,
             {kCheck1, "PlatinumUpdate", TRead::Flag}, {kCheck2, "LostRevenueFlag", TRead::Flag}}},
        {6, {description, {3, "CustomerID", TRead::Text}, start, end}},
        {7, {{2, "System", TRead::Text}, {3, "BatchTypeID", TRead::Text}}},
        {8, {description, {3, "GroupID", TRead::Text}, start, end}},
        {9, {description, {3, "CustomerID", TRead::Text}, start, end}},
        {10, {description}}, {11, {description}}, {16, {description}}, {17, {description}}, {20, {description}},
        {21, {description}}, {22, {description}}, {23, {description}}, {26, {description}}, {27, {description}},
        {13, {description, {3, "CostRangeFrom", TRead::Currency}, {4, "CostRangeTo", TRead::Currency}}},
        {14, {description, {3, "TransactionGroupID", TRead::Text}, {5, "SystemID", TRead::Text}, start, end}},
        {15, {{2, "ServiceTypeID", TRead::Text}, {3, "Length", TRead::Amount}, {4, "Percentage", TRead::Amount},
              {5, "Cost", TRead::Amount}, {6, "Cost100", TRead::Amount}, {9, "Description", TRead::Text},
              {10, "PartCost", TRead::Amount}, start, end}},
        {19, {{3, "DubiousTypeID", TRead::Number}, {5, "DubiousResolutionID", TRead::Number}}},
        {24, {{2, "AgreementNo", TRead::Text}, {3, "SupplierID", TRead::Text}, start, end}},
        {25, {{2, "Rate", TRead::Amount}, {3, "ServiceTypeID", TRead::Text}, {5, "CustomerID", TRead::Text}}},
        {28, {{2, "DiscountRate", TRead::Amount}, {3, "ServiceTypeID", TRead::Text}, {5, "CustomerID", TRead::Text},
              {9, "NonStdRevAdminFee", TRead::Amount}, {10, "NonStdExpAdminFee", TRead::Amount}}},
        {29, {{3, "ValidAccountNumberID", TRead::Text}, {5, "TransactionTypeID", TRead::Text},
              {9, "CostRangeFrom", TRead::Amount}, {10, "CostRangeTo", TRead::Amount}}},
    };
    static const QVector<TColumnOf> none;
    for (const TColumnsOf& c : table)
        if (c.Code == code)
            return c.Columns;
    return none;
}

// The kept value's name of an input or check box.
QString keptName(int edit)
{
    return edit >= kCheck1 ? QStringLiteral("Check%1").arg(edit - kCheck1 + 1) : QStringLiteral("Edit%1").arg(edit);
}

const TLayout* layoutOf(int code)
{
    for (const TLayout& l : kLayouts)
        if (l.Code == code)
            return &l;
    return nullptr;
}

// The inputs the Labels entries stand for.
constexpr int kLayoutEdits[7] = {2, 3, 4, 5, 6, 9, 10};

}  // namespace

// ------------------------------------------------------------ the window

TSysEditForm::TSysEditForm(QWidget* owner) : TRecordEditor(owner)
{
    setObjectName(QStringLiteral("SysEditForm"));
    setWindowTitle(QStringLiteral("System Edit"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    // The window is 339 by 313 outside; this is its client area.
    setFixedSize(331, 286);

    // A label takes the room up to the next column or the window's edge, so
    // the longest captions ("DiscountRate (max 100)") read whole; it is 13
    // high above its input, and as high as its text once sized for the font.
    auto label = [this](const char* name, int left, int top) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(left, top, (left < 176 ? 176 : width()) - 4 - left, 13);
        return l;
    };
    auto edit = [this](const char* name, int left, int top) { return AddEdit(QLatin1String(name), left, top, 137); };
    auto date = [this](const char* name, int left, int top) {
        return AddControl<TDateEdit>(QLatin1String(name), left, top, 137);
    };
    auto check = [this](const char* name, int left, int top) {
        QCheckBox* c = AddCheck(QLatin1String(name), QString(), left, top, 137);
        c->hide();
        return c;
    };

    lblEdit1 = label("lblEdit1", 16, 8);
    edtEdit1 = edit("edtEdit1", 16, 24);
    lblEdit2 = label("lblEdit2", 176, 8);
    edtEdit2 = edit("edtEdit2", 176, 24);
    lblEdit3 = label("lblEdit3", 16, 48);
    edtEdit3 = edit("edtEdit3", 16, 64);
    lblEdit4 = label("lblEdit4", 176, 48);
    edtEdit4 = edit("edtEdit4", 176, 64);
    lblEdit5 = label("lblEdit5", 16, 88);
    edtEdit5 = edit("edtEdit5", 16, 104);
    lblEdit6 = label("lblEdit6", 176, 88);
    edtEdit6 = edit("edtEdit6", 176, 104);
    lblEdit9 = label("lblEdit9", 16, 128);
    edtEdit9 = edit("edtEdit9", 16, 144);
    lblEdit10 = label("lblEdit10", 176, 128);
    edtEdit10 = edit("edtEdit10", 176, 144);
    lblEdit7 = label("lblEdit7", 16, 168);
    edtEdit7 = date("edtEdit7", 16, 184);
    lblEdit8 = label("lblEdit8", 176, 168);
    edtEdit8 = date("edtEdit8", 176, 184);
    CheckBox1 = check("CheckBox1", 16, 208);
    CheckBox2 = check("CheckBox2", 176, 208);
    CheckBox3 = check("CheckBox3", 16, 224);
    CheckBox4 = check("CheckBox4", 176, 224);
    for (QWidget* w : std::initializer_list<QWidget*>{lblEdit3, edtEdit3, lblEdit4, edtEdit4, lblEdit5, edtEdit5,
                                                      lblEdit6, edtEdit6, lblEdit9, edtEdit9, lblEdit10, edtEdit10,
                                                      lblEdit7, edtEdit7, lblEdit8, edtEdit8})
        w->hide();

    btnOk = AddButton(QStringLiteral("btnOk"), QStringLiteral("&Save"), 64, 248);
    btnOk->setDefault(true);
    btnCancel = AddButton(QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), 192, 248);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { SetModalResult(mrCancel); });

    // Tab order: the inputs in their rows, the dates, the boxes, the buttons.
    SetTabOrder({edtEdit1, edtEdit2, edtEdit3, edtEdit4, edtEdit5, edtEdit6, edtEdit9, edtEdit10, edtEdit7, edtEdit8,
                 CheckBox1, CheckBox2, CheckBox3, CheckBox4, btnOk, btnCancel});
    ScaleToFont(this);

    // Save stays disabled until a table is chosen.
    btnOk->setEnabled(false);
    ReadAuditIds();
}

void TSysEditForm::showEvent(QShowEvent* event)
{
    // The window opens in the middle of the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    TRecordEditor::showEvent(event);
}

QString TSysEditForm::TableName(int code)
{
    const TLayout* l = layoutOf(code);
    return l ? QLatin1String(l->Table) : QString();
}

void TSysEditForm::SetTableNameID(int value)
{
    if (value < 0 || value > 29) {
        FTableNameID = -1;
        btnOk->setEnabled(false);
        return;
    }
    FTableNameID = value;
    btnOk->setEnabled(true);
    const TLayout* layout = layoutOf(value);
    if (!layout)
        return;  // codes 12 and 18: no layout
    setWindowTitle(windowTitle() + QStringLiteral(": ") + QLatin1String(layout->Table));
    lblEdit1->setText(QStringLiteral("ID"));
    edtEdit1->setEnabled(false);
    lblEdit2->setText(QString());
    for (int i = 0; i < 7; ++i) {
        const int n = kLayoutEdits[i];
        auto* lbl = findChild<QLabel*>(QStringLiteral("lblEdit%1").arg(n));
        QLineEdit* e = input(n);
        const bool shown = layout->Labels[i] != nullptr;
        lbl->setVisible(shown);
        e->setVisible(shown);
        if (!shown)
            continue;
        lbl->setText(QLatin1String(layout->Labels[i]));
        if (layout->ReadOnly & (1u << i)) {
            e->setEnabled(false);
            // The transaction type draws the labels of its name displays grey.
            if (value == 14)
                lbl->setEnabled(false);
        }
    }
    if (layout->StartLabel) {
        lblEdit7->setText(QLatin1String(layout->StartLabel));
        lblEdit8->setText(QLatin1String(layout->EndLabel));
        for (QWidget* w : std::initializer_list<QWidget*>{lblEdit7, edtEdit7, lblEdit8, edtEdit8})
            w->show();
    }
    if (layout->Check1) {
        CheckBox1->setText(QLatin1String(layout->Check1));
        CheckBox2->setText(QLatin1String(layout->Check2));
        CheckBox1->show();
        CheckBox2->show();
    }
    FAudited = IsTableAudited(QLatin1String(layout->Table));
    // The inputs a change writes, watched whether or not the caller sets
    // them (one it leaves empty stands for a column without a value).
    for (const TColumnOf& c : columnsOf(value)) {
        if (c.Read == TRead::Flag)
            WatchCheck(findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(c.Edit - kCheck1 + 1)), keptName(c.Edit));
        else if (c.Read == TRead::Date)
            WatchDate(static_cast<TDateEdit*>(input(c.Edit)), keptName(c.Edit));
        else
            WatchText(input(c.Edit), keptName(c.Edit), false);
    }
}

QString TSysEditForm::AmountText(double value)
{
    const int exponent = value == 0 ? 0 : int(std::floor(std::log10(std::abs(value))));
    QString text = QString::number(value, 'f', qMax(0, 14 - exponent));
    if (text.contains(QChar('.'))) {
        while (text.endsWith(QChar('0')))
            text.chop(1);
        if (text.endsWith(QChar('.')))
            text.chop(1);
    }
    return text.replace(QChar('.'), FormatSettings().DecimalSeparator);
}

QString TSysEditForm::ColumnOf(int code, int edit)
{
    for (const TColumnOf& c : columnsOf(code))
        if (c.Edit == edit)
            return QLatin1String(c.Column);
    return QString();
}

std::optional<TStoredRow> TSysEditForm::storedRow() const
{
    const QVector<TColumnOf>& columns = columnsOf(FTableNameID);
    QString id = rowId();
    int number = 0;
    if (columns.isEmpty() || !ParseIdText(id, number) || number < 1)
        return std::nullopt;
    TStoredRow row(table(), QStringLiteral("WHERE id = ") + id);
    for (const TColumnOf& c : columns) {
        const QString name = keptName(c.Edit), column = QLatin1String(c.Column);
        switch (c.Read) {
        case TRead::Text: row.Text(name, column); break;
        case TRead::Number: row.Number(name, column); break;
        case TRead::Flag: row.Flag(name, column); break;
        case TRead::Date: row.Date(name, column); break;
        case TRead::Amount:
            row.Value(name, column, [](const TField& f) { return f.IsNull() ? QString() : AmountText(f.AsFloat()); });
            break;
        case TRead::Currency:
            row.Value(name, column, [](const TField& f) {
                return f.IsNull() ? QString() : CurrToStrF(f.AsCurrency(), ffGeneral, 0);
            });
            break;
        }
    }
    return row;
}

void TSysEditForm::SetAppendMode(bool value)
{
    TRecordEditor::SetAppendMode(value);
    setWindowTitle(ModeCaption(windowTitle(), value));
    if (FTableNameID == 17 || FTableNameID == 26)
        edtEdit1->setEnabled(value);
    // An element's code is given once: when the element is added, or when
    // one stored without a code is changed. A stored code never changes.
    if (FTableNameID == 5)
        edtEdit3->setEnabled(value || Kept(3).trimmed().isEmpty());
}

// ------------------------------------------------------------ properties

QLineEdit* TSysEditForm::input(int edit) const
{
    switch (edit) {
    case 1: return edtEdit1;
    case 2: return edtEdit2;
    case 3: return edtEdit3;
    case 4: return edtEdit4;
    case 5: return edtEdit5;
    case 6: return edtEdit6;
    case 7: return edtEdit7;
    case 8: return edtEdit8;
    case 9: return edtEdit9;
    case 10: return edtEdit10;
    default: return nullptr;
    }
}

void TSysEditForm::setText(int edit, const QString& v)
{
    KeepText(input(edit), QStringLiteral("Edit%1").arg(edit), v, false);
}

QString TSysEditForm::Kept(int edit) const
{
    return FKept.Kept(QStringLiteral("Edit%1").arg(edit));
}

bool TSysEditForm::KeptCheck(int box) const
{
    return FKept.KeptBool(QStringLiteral("Check%1").arg(box));
}

QString TSysEditForm::Edit1() const { return TextOf(edtEdit1); }
QString TSysEditForm::Edit2() const { return TextOf(edtEdit2); }
QString TSysEditForm::Edit3() const { return TextOf(edtEdit3); }
QString TSysEditForm::Edit4() const { return TextOf(edtEdit4); }
QString TSysEditForm::Edit5() const { return TextOf(edtEdit5); }
QString TSysEditForm::Edit6() const { return TextOf(edtEdit6); }
QString TSysEditForm::Edit9() const { return TextOf(edtEdit9); }
QString TSysEditForm::Edit10() const { return TextOf(edtEdit10); }
void TSysEditForm::SetEdit1(const QString& v) { setText(1, v); }
void TSysEditForm::SetEdit2(const QString& v) { setText(2, v); }
void TSysEditForm::SetEdit3(const QString& v) { setText(3, v); }
void TSysEditForm::SetEdit4(const QString& v) { setText(4, v); }
void TSysEditForm::SetEdit5(const QString& v) { setText(5, v); }
void TSysEditForm::SetEdit6(const QString& v) { setText(6, v); }
void TSysEditForm::SetEdit9(const QString& v) { setText(9, v); }
void TSysEditForm::SetEdit10(const QString& v) { setText(10, v); }

// Before the property is set the dates read as no date.
TDateTime TSysEditForm::Edit7() const { return FKept.Has(QStringLiteral("Edit7")) ? edtEdit7->Date() : 0.0; }
TDateTime TSysEditForm::Edit8() const { return FKept.Has(QStringLiteral("Edit8")) ? edtEdit8->Date() : 0.0; }
void TSysEditForm::SetEdit7(TDateTime v) { KeepDate(edtEdit7, QStringLiteral("Edit7"), v); }
void TSysEditForm::SetEdit8(TDateTime v) { KeepDate(edtEdit8, QStringLiteral("Edit8"), v); }

void TSysEditForm::setCheck(int box, bool v)
{
    KeepCheck(findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(box)), QStringLiteral("Check%1").arg(box), v);
}

bool TSysEditForm::Check1() const { return CheckBox1->isChecked(); }
bool TSysEditForm::Check2() const { return CheckBox2->isChecked(); }
bool TSysEditForm::Check3() const { return CheckBox3->isChecked(); }
bool TSysEditForm::Check4() const { return CheckBox4->isChecked(); }
void TSysEditForm::SetCheck1(bool v) { setCheck(1, v); }
void TSysEditForm::SetCheck2(bool v) { setCheck(2, v); }
void TSysEditForm::SetCheck3(bool v) { setCheck(3, v); }
void TSysEditForm::SetCheck4(bool v) { setCheck(4, v); }
