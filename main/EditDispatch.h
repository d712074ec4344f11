#pragma once
// Adding and changing rows from the main window: which editor each page
// uses and how the page's current row reaches it.
//
// The page table says, for every page, whether it has an editor, whether
// adding goes on when the page is empty, whether adding asks to start from
// the current row, and what the editor gets when it does not. How a page's
// row is copied into its editor is that editor's wiring: one function per
// editor, each in a file of its own (EditRecord<Editor>.cpp), so editors are
// added without touching each other's lines. A page whose wiring makes no
// editor does nothing.
#include <QVector>
#include <functional>

class QWidget;
class TDataSet;
class TRecordEditor;

// What the editor gets when adding starts without the current row.
enum class TAddDefault {
    Nothing,
    StartDateToday,         // today as the start date
    InstallationDateToday,  // today shown in the installation date
};

enum class TEditKind {
    None,         // the page has no editor
    Message,      // the operator is told where to edit instead
    Generic,      // the generic editor laid out for Code
    Specialised,  // an editor of its own
};

// How the main window drives one page's editor.
struct TEditorWiring {
    // The editor, owned by `owner`, laid out for the page. Empty: the page
    // does nothing yet.
    std::function<TRecordEditor*(QWidget* owner)> Create;
    // Values set before the question (for both add and edit).
    std::function<void(TRecordEditor&, TDataSet& row, bool add, int keptId)> BeforeQuestion;
    // Copies the current row: when editing, and when adding after Yes.
    std::function<void(TRecordEditor&, TDataSet& row, bool add, int keptId)> Copy;
    // The page's default of TAddDefault, with today's date.
    std::function<void(TRecordEditor&)> SetTodayDefault;
    // Sets add or edit mode after the values. Empty: AppendMode := add.
    std::function<void(TRecordEditor&, bool add)> SetMode;
};

struct TEditPage {
    int PageID;
    TEditKind Kind;
    int Code;          // the generic editor's table code; -1 otherwise
    bool OpensEmpty;   // adding goes on when the page is empty
    bool Question;     // adding asks whether to start from the current row
    TAddDefault AddDefault;
    TEditorWiring (*Wire)(int pageId);  // nullptr: no editor
};

// All 53 pages in page id order.
const QVector<TEditPage>& EditPages();
const TEditPage* FindEditPage(int pageId);

// The wiring the main window uses for a page.
TEditorWiring EditorWiringOf(int pageId);

// The wiring of each editor (one file each).
TEditorWiring WireSysEdit(int pageId);           // the generic editor's pages
TEditorWiring WireAgreement(int pageId);         // 1003
TEditorWiring WireAgreementTariff(int pageId);   // 1004
TEditorWiring WireBatchType(int pageId);         // 1012
TEditorWiring WireCustomer(int pageId);          // 1016
TEditorWiring WireServiceID(int pageId);         // 1051
TEditorWiring WireServiceKpi(int pageId);        // 1052
TEditorWiring WireServiceSplit(int pageId);      // 1061
TEditorWiring WireServiceType(int pageId);       // 1063
TEditorWiring WireSupplier(int pageId);          // 1066
TEditorWiring WireUserFunction(int pageId);      // 1082
