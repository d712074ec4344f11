// The main window's single route for adding and changing rows.
#include "EditDispatch.h"
#include "Application.h"
#include "CommonControlFns.h"
#include "Dialogs.h"
#include "KVSysMain.h"
#include "RecordEditor.h"
#include "RowKey.h"
#include <memory>

namespace {
using K = TEditKind;
using D = TAddDefault;

constexpr bool Y = true;
constexpr bool N = false;
}  // namespace

const QVector<TEditPage>& EditPages()
{
    // page, kind, code, opens empty, question, add without copying, wiring
    static const QVector<TEditPage> pages = {
        {1001, K::Generic, 4, Y, Y, D::StartDateToday, WireSysEdit},
        {1002, K::None, -1, N, N, D::Nothing, nullptr},
        {1003, K::Specialised, -1, Y, Y, D::StartDateToday, WireAgreement},
        {1004, K::Specialised, -1, Y, Y, D::Nothing, WireAgreementTariff},
        {1005, K::Generic, 27, Y, Y, D::StartDateToday, WireSysEdit},
        {1006, K::Generic, 23, Y, Y, D::Nothing, WireSysEdit},
        {1007, K::None, -1, N, N, D::Nothing, nullptr},
        {1008, K::None, -1, N, N, D::Nothing, nullptr},
        {1009, K::None, -1, N, N, D::Nothing, nullptr},
        {1010, K::None, -1, N, N, D::Nothing, nullptr},
        {1011, K::None, -1, N, N, D::Nothing, nullptr},
        {1012, K::Specialised, -1, Y, Y, D::Nothing, WireBatchType},
        {1013, K::Generic, 3, N, Y, D::StartDateToday, WireSysEdit},
        {1014, K::Generic, 29, Y, Y, D::Nothing, WireSysEdit},
        {1015, K::Generic, 22, N, N, D::Nothing, WireSysEdit},
        {1016, K::Specialised, -1, N, Y, D::Nothing, WireCustomer},
        {1021, K::None, -1, N, N, D::Nothing, nullptr},
        {1022, K::None, -1, N, N, D::Nothing, nullptr},
        {1023, K::None, -1, N, N, D::Nothing, nullptr},
        {1024, K::Generic, 8, N, Y, D::StartDateToday, WireSysEdit},
        {1025, K::Generic, 10, Y, Y, D::Nothing, WireSysEdit},
        {1026, K::None, -1, N, N, D::Nothing, nullptr},
        {1027, K::Generic, 28, Y, Y, D::Nothing, WireSysEdit},
        {1028, K::Generic, 25, Y, Y, D::Nothing, WireSysEdit},
        {1029, K::Generic, 21, N, N, D::Nothing, WireSysEdit},
        {1030, K::None, -1, N, N, D::Nothing, nullptr},
        {1031, K::Generic, 20, N, N, D::Nothing, WireSysEdit},
        {1032, K::Generic, 19, N, Y, D::Nothing, WireSysEdit},
        {1041, K::Generic, 5, N, Y, D::StartDateToday, WireSysEdit},
        {1042, K::Generic, 17, N, N, D::Nothing, WireSysEdit},
        {1043, K::Generic, 9, N, Y, D::StartDateToday, WireSysEdit},
        {1044, K::Generic, 0, N, Y, D::StartDateToday, WireSysEdit},
        {1045, K::Generic, 11, N, Y, D::Nothing, WireSysEdit},
        {1046, K::None, -1, N, N, D::Nothing, nullptr},
        {1047, K::Generic, 1, N, Y, D::StartDateToday, WireSysEdit},
        {1048, K::Generic, 26, N, Y, D::Nothing, WireSysEdit},
        {1049, K::Generic, 15, N, Y, D::StartDateToday, WireSysEdit},
        {1050, K::Generic, 16, N, Y, D::Nothing, WireSysEdit},
        {1051, K::Specialised, -1, N, Y, D::InstallationDateToday, WireServiceID},
        {1052, K::Specialised, -1, Y, Y, D::Nothing, WireServiceKpi},
        {1061, K::Specialised, -1, Y, Y, D::Nothing, WireServiceSplit},
        {1062, K::None, -1, N, N, D::Nothing, nullptr},
        {1063, K::Specialised, -1, N, Y, D::StartDateToday, WireServiceType},
        {1064, K::None, -1, N, N, D::Nothing, nullptr},
        {1065, K::Generic, 6, N, Y, D::StartDateToday, WireSysEdit},
        {1066, K::Specialised, -1, N, Y, D::Nothing, WireSupplier},
        {1067, K::None, -1, N, N, D::Nothing, nullptr},
        {1068, K::Generic, 7, N, Y, D::Nothing, WireSysEdit},
        {1069, K::Generic, 13, N, Y, D::Nothing, WireSysEdit},
        {1070, K::Generic, 14, N, Y, D::StartDateToday, WireSysEdit},
        {1081, K::Message, -1, N, N, D::Nothing, nullptr},
        {1082, K::Specialised, -1, N, Y, D::Nothing, WireUserFunction},
        {1083, K::Generic, 2, N, Y, D::StartDateToday, WireSysEdit},
    };
    return pages;
}

const TEditPage* FindEditPage(int pageId)
{
    for (const TEditPage& p : EditPages())
        if (p.PageID == pageId)
            return &p;
    return nullptr;
}

TEditorWiring EditorWiringOf(int pageId)
{
    const TEditPage* page = FindEditPage(pageId);
    return page && page->Wire ? page->Wire(pageId) : TEditorWiring();
}

namespace {
// The page's row of `key` as the table holds it now: the page's own
// statement (its joins and fields, so every wiring reads the names and types
// it knows) restricted to that key in place of the page's condition; nullptr
// where the table no longer holds the row.
std::unique_ptr<TQuery> StoredRow(const TQuery& page, const QString& keyField, int key)
{
    auto row = std::make_unique<TQuery>(nullptr, page.DatabaseName);
    row->setObjectName(page.objectName());
    row->SQL().Assign(KeyRowLines(page.SQL().Lines(), keyField));
    row->Params = {key};
    row->SetFieldDefs(page.FieldDefs());
    row->Open();
    if (row->IsEmpty())
        return nullptr;
    return row;
}
}  // namespace

void TMainForm::EditRecord(int pageId, bool add)
{
    // Whatever happens, the window is repainted before the call ends.
    struct Pump {
        ~Pump() { ProcessMessages(); }
    } pump;

    const TEditPage* page = FindEditPage(pageId);
    TQuery* query = CurrentQuery(pageId);
    if (!page || !query || page->Kind == TEditKind::None)
        return;
    const bool empty = query->Bof() && query->Eof();
    if (page->Kind == TEditKind::Message) {
        if (!empty)
            MessageDlg(QStringLiteral("Select tUserFunction to edit this table."), mtInformation, mbOK, 0);
        return;
    }
    if (empty && (!add || !page->OpensEmpty))
        return;
    // Rows, but none picked (the picked one went): nothing to edit, nothing
    // to start from.
    const bool nonePicked = !empty && !query->HasCurrent();
    if (nonePicked && !add)
        return;

    const TEditorWiring wiring = EditorWiringOf(pageId);
    if (!wiring.Create)
        return;
    const QString keyField = PageKeyField(pageId);
    TField* key = empty || nonePicked ? nullptr : query->FieldByName(keyField);
    // The page returns to this row after a save, whatever its id.
    const QVariant rowKey = key ? key->Value() : QVariant();
    // Editing, and adding from the present data, hand the row's id to the
    // editor: a row whose id the editors cannot carry is refused before
    // anything opens.
    int keptId = key && !add ? RowKeyOf(key) : 0;
    // The editor starts from the row as the table holds it now, not from the
    // page's copy, which may be old. A row gone meanwhile is told, the page
    // is read again, and nothing opens.
    std::unique_ptr<TQuery> stored;
    const auto readStored = [&] {
        stored = StoredRow(*query, keyField, RowKeyOf(key));
        if (!stored) {
            MessageDlg(QStringLiteral("The row is no longer in the table."), mtWarning, mbOK, 0);
            ReloadPage(query, rowKey, false);
        }
        return stored != nullptr;
    };
    if (!add && !readStored())
        return;
    // One editor per call, freed when it closes.
    std::unique_ptr<TRecordEditor> editor(wiring.Create(this));

    if (wiring.BeforeQuestion)
        wiring.BeforeQuestion(*editor, stored ? *stored : *query, add, keptId);
    bool copy = !add;
    if (add && page->Question && !nonePicked)
        copy = MessageDlg(QStringLiteral("Use the present data as a starting point?"), mtConfirmation, mbYes | mbNo,
                          0) == mrYes;
    if (copy) {
        if (key && add) {
            if (!readStored())
                return;
            keptId = RowKeyOf(key);
        }
        if (wiring.Copy)
            wiring.Copy(*editor, stored ? *stored : *query, add, keptId);
    } else if (page->AddDefault != TAddDefault::Nothing && wiring.SetTodayDefault) {
        wiring.SetTodayDefault(*editor);
    }
    if (wiring.SetMode)
        wiring.SetMode(*editor, add);
    else
        editor->SetAppendMode(add);

    const int result = editor->ShowModal();
    const bool wrote = result == mrOk || editor->Wrote();
    editor.reset();
    if (wrote)
        ReloadPage(query, rowKey);
}
