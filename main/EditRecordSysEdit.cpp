// How the main window drives the generic editor: the editor is laid out for
// the page's table, then the page's current row is copied into it, value by
// value, in the order each page gives.
#include "DB.h"
#include "EditDispatch.h"
#include "Formats.h"
#include "SysEdit.h"
#include "SysUtils.h"
#include "Locale.h"
#include "ToolEdit.h"

namespace {

enum class C {
    Text,          // the column's text (Null: empty)
    IntText,       // the column's integer as decimal text
    IntTextIfSet,  // the same, only when the column holds a value
    TextIfSet,     // the text, only when the condition column holds a value
    CurrIfSet,     // the currency value as text, only when set
    Amount,        // a number as plain decimal text (Null: empty)
    Bool,          // the column as a flag (Null: false)
    Id,            // Edit1: the kept id
    Dates,         // Edit7 and Edit8 (adding: today as the start date)
    CodeAndType,   // Code + " " + ServiceType
};

struct Step {
    int Edit;           // 1..10 the inputs, 11.. the check boxes
    const char* Column;
    C Kind;
    const char* IfSet = nullptr;  // TextIfSet: the column that decides
};

struct PageCopy {
    int PageID;
    bool IdOnAdd;  // the id is copied when adding after Yes too
    QVector<Step> Steps;
};

constexpr int Check1 = 11;
constexpr int Check2 = 12;

const QVector<PageCopy>& copies()
{
    static const QVector<PageCopy> table = {
        {1001, false, {{2, "Description", C::Text}, {3, "CustomerID", C::Text}, {4, "ShipTo", C::Text}, {1, "", C::Id},
                       {0, "", C::Dates}}},
        {1005, true, {{1, "", C::Id}, {2, "Description", C::Text}}},
        {1006, false, {{2, "Description", C::Text}, {1, "", C::Id}}},
        {1013, false, {{1, "", C::Id}, {2, "Description", C::Text}, {3, "DepartmentID", C::Text},
                       {4, "Department", C::Text}, {0, "", C::Dates}}},
        {1014, false, {{1, "", C::Id}, {3, "ValidAccountNumberID", C::Text}, {4, "AccountNo", C::Text},
                       {5, "TransactionTypeID", C::Text}, {6, "TransactionType", C::Text},
                       {9, "CostRangeFrom", C::Amount}, {10, "CostRangeTo", C::Amount}}},
        {1015, false, {{1, "", C::Id}, {2, "Description", C::Text}}},
        {1024, false, {{1, "", C::Id}, {2, "Description", C::Text}, {3, "GroupID", C::Text},
                       {4, "GroupName", C::Text}, {0, "", C::Dates}}},
        {1025, false, {{1, "", C::Id}, {2, "Description", C::Text}}},
        {1027, false, {{1, "", C::Id}, {2, "DiscountRate", C::Amount}, {3, "ServiceTypeID", C::Text},
                       {4, "", C::CodeAndType}, {5, "CustomerID", C::Text}, {6, "ShipTo", C::Text},
                       {9, "NonStdRevAdminFee", C::Amount}, {10, "NonStdExpAdminFee", C::Amount}}},
        {1028, false, {{1, "", C::Id}, {2, "Rate", C::Amount}, {3, "ServiceTypeID", C::Text}, {4, "", C::CodeAndType},
                       {5, "CustomerID", C::Text}, {6, "ShipTo", C::Text}}},
        {1029, false, {{1, "", C::Id}, {2, "Description", C::Text}}},
        {1031, false, {{1, "", C::Id}, {2, "Description", C::Text}}},
        {1032, false, {{1, "", C::Id}, {3, "DubiousTypeID", C::IntText}, {4, "DubiousType", C::Text},
                       {5, "DubiousResolutionID", C::IntText}, {6, "Resolution", C::Text}}},
        {1041, false, {{1, "", C::Id}, {2, "ServiceGroupID", C::Text}, {3, "ElementCode", C::Text},
                       {4, "Description", C::Text}, {5, "CustomerID", C::Text}, {6, "ShipTo", C::Text},
                       {Check1, "PlatinumUpdate", C::Bool}, {Check2, "LostRevenueFlag", C::Bool},
                       {0, "", C::Dates}, {9, "ReportGroupID", C::Text}}},
        {1042, false, {{1, "", C::Id}, {2, "Description", C::Text}}},
        {1043, false, {{1, "", C::Id}, {2, "Description", C::Text}, {3, "CustomerID", C::Text},
                       {4, "ShipTo", C::Text}, {0, "", C::Dates}}},
        {1044, false, {{1, "", C::Id}, {2, "Description", C::Text}, {0, "", C::Dates}}},
        {1045, true, {{1, "", C::Id}, {2, "Description", C::Text}}},
        {1047, false, {{1, "", C::Id}, {2, "Person", C::Text}, {3, "EmailAddress", C::Text}, {0, "", C::Dates}}},
        {1048, false, {{1, "", C::Id}, {2, "Description", C::Text}}},
        {1049, true, {{1, "", C::Id}, {2, "ServiceTypeID", C::Text}, {3, "Length", C::Amount},
                      {4, "Percentage", C::Amount}, {5, "Cost", C::Amount}, {6, "Cost100", C::Amount},
                      {0, "", C::Dates}, {9, "RateDescription", C::Text}, {10, "PartCost", C::Amount}}},
        {1050, true, {{1, "", C::Id}, {2, "Description", C::Text}}},
        {1065, false, {{1, "", C::Id}, {2, "Description", C::Text}, {3, "CustomerID", C::Text},
                       {4, "ShipTo", C::Text}, {0, "", C::Dates}}},
        {1068, false, {{1, "", C::Id}, {2, "System", C::Text}, {3, "BatchTypeID", C::Text},
                       {4, "BatchType", C::Text}}},
        {1069, true, {{1, "", C::Id}, {2, "Description", C::Text}, {3, "CostRangeFrom", C::CurrIfSet},
                      {4, "CostRangeTo", C::CurrIfSet}}},
        {1070, true, {{1, "", C::Id}, {2, "Description", C::Text},
                      {3, "TransactionGroupID", C::IntTextIfSet},
                      {4, "TransactionGroup", C::TextIfSet, "TransactionGroupID"},
                      {5, "SystemID", C::IntTextIfSet}, {6, "System", C::TextIfSet, "SystemID"},
                      {0, "", C::Dates}}},
        {1083, false, {{1, "", C::Id}, {2, "AccountNo", C::Text}, {3, "BatchTypeID", C::Text},
                       {4, "BatchType", C::Text}, {5, "TenderNo", C::Text}, {0, "", C::Dates}}},
    };
    return table;
}

const PageCopy* copyOf(int pageId)
{
    for (const PageCopy& p : copies())
        if (p.PageID == pageId)
            return &p;
    return nullptr;
}

constexpr int kPersonPage = 1047;

void setEdit(TSysEditForm& form, int edit, const QString& value)
{
    switch (edit) {
    case 1: form.SetEdit1(value); break;
    case 2: form.SetEdit2(value); break;
    case 3: form.SetEdit3(value); break;
    case 4: form.SetEdit4(value); break;
    case 5: form.SetEdit5(value); break;
    case 6: form.SetEdit6(value); break;
    case 9: form.SetEdit9(value); break;
    case 10: form.SetEdit10(value); break;
    default: break;
    }
}

void copyRow(int pageId, TSysEditForm& form, TDataSet& row, bool add, int keptId)
{
    const PageCopy* page = copyOf(pageId);
    if (!page)
        return;
    auto field = [&row](const char* name) { return row.FieldByName(QLatin1String(name)); };
    for (const Step& s : page->Steps) {
        switch (s.Kind) {
        case C::Text:
            setEdit(form, s.Edit, field(s.Column)->AsString());
            break;
        case C::IntText:
            setEdit(form, s.Edit, QString::number(field(s.Column)->AsInteger()));
            break;
        case C::IntTextIfSet:
            if (!field(s.Column)->IsNull())
                setEdit(form, s.Edit, QString::number(field(s.Column)->AsInteger()));
            break;
        case C::TextIfSet:
            if (!field(s.IfSet)->IsNull())
                setEdit(form, s.Edit, field(s.Column)->AsString());
            break;
        case C::CurrIfSet:
            if (!field(s.Column)->IsNull())
                setEdit(form, s.Edit, CurrToStrF(field(s.Column)->AsCurrency(), ffGeneral, 0));
            break;
        case C::Amount:
            setEdit(form, s.Edit, field(s.Column)->IsNull() ? QString() : TSysEditForm::AmountText(field(s.Column)->AsFloat()));
            break;
        case C::Bool: {
            // A flag without a value counts as not set.
            const bool value = field(s.Column)->AsBoolean();
            if (s.Edit == Check1)
                form.SetCheck1(value);
            else
                form.SetCheck2(value);
            break;
        }
        case C::Id:
            if (!add || page->IdOnAdd)
                form.SetEdit1(QString::number(keptId));
            break;
        case C::CodeAndType:
            setEdit(form, s.Edit, field("Code")->AsString() + QChar(' ') + field("ServiceType")->AsString());
            break;
        case C::Dates:
            if (add && pageId == kPersonPage) {
                form.edtEdit7->setText(DateToStr(Date()));  // shown, not kept
            } else if (add) {
                form.SetEdit7(Date());
            } else {
                if (!field("StartDate")->IsNull())
                    form.SetEdit7(field("StartDate")->AsDateTime());
                if (!field("EndDate")->IsNull())
                    form.SetEdit8(field("EndDate")->AsDateTime());
            }
            break;
        }
    }
}

int codeOf(int pageId)
{
    const TEditPage* page = FindEditPage(pageId);
    return page ? page->Code : -1;
}

}  // namespace

TEditorWiring WireSysEdit(int pageId)
{
    TEditorWiring w;
    w.Create = [pageId](QWidget* owner) {
        auto* form = new TSysEditForm(owner);
        form->SetTableNameID(codeOf(pageId));
        return form;
    };
    w.Copy = [pageId](TRecordEditor& editor, TDataSet& row, bool add, int keptId) {
        copyRow(pageId, static_cast<TSysEditForm&>(editor), row, add, keptId);
    };
    w.SetTodayDefault = [](TRecordEditor& editor) { static_cast<TSysEditForm&>(editor).SetEdit7(Date()); };
    return w;
}
