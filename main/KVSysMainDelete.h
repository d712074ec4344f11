#pragma once
// What the main window's Del button does on each page that allows it.
#include <QString>

enum class DelKind {
    Toggle,          // Active only, own audit row
    ToggleEndDate,   // Active and EndDate, own audit row
    ToggleTermDate,  // Active and TerminationDate, own audit row
    ToggleShared,    // Active only, audit through the shared routines
    Delete           // the program row itself
};

// How the page's own audit row writes its old and new values.
enum class AuditValues { BothQuoted, OldQuoted, BothBare, Date, Shared };

struct DeletePage {
    int PageID;
    DelKind Kind;
    const char* Table;  // the table the statement changes
    AuditValues Values;
};

// The page's row of the table; nullptr where Del does nothing.
const DeletePage* FindDeletePage(int pageId);
