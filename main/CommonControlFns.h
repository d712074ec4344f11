#pragma once
// The filter bar's columns: for each page, the captions it offers and the
// clause prefix each one stands for.
#include <QString>
#include <QStringList>

// The page's captions in order; an unknown page gives an empty list.
QStringList GetFilterFields(int pageId);
// The pages that have a list (some of them empty), in page id order.
QList<int> FilterListPages();

// The clause prefix of the caption at `index` of the page's list: the column
// and " = " (a number, the value follows bare) or the column and " LIKE '"
// (a text, the value and "%'" follow), or the page's own clause for that
// caption (empty for a caption that filters on nothing). False when the
// index is not one of the page's captions.
bool FilterClause(int pageId, int index, QString& clause);

// The Current and Terminated boxes as they count for a page: only where its
// query has an Active field (Shown).
struct ActiveBoxes {
    bool Shown = false;
    bool Current = true;
    bool Terminated = false;
};

struct FilteredLines {
    QStringList Lines;
    bool ValueDropped = false;  // a number clause found no digits in the value
};

// The filter rule. The filter goes to the last line holding "WHERE " (it
// replaces the page's own condition); without one, to the place of the
// ORDER BY line, which moves to the end; without that, to a new last line.
// The line becomes "WHERE ", the clause as given and the value (a text clause: the
// value quoted and "%'" after it; a clause ending in "= '": the value exactly;
// a number clause: the value's leading digits, the condition dropped when it
// has none), followed directly by the Active piece: Current only gives
// Active = 1, Current unticked gives Active <> 1, both ticked nothing. A
// value without a clause gives no condition. A line left blank is removed.
FilteredLines FilterQueryLines(const QStringList& lines, const QString& clause, const QString& value,
                               const ActiveBoxes& boxes);

// The page's statement for the one row whose key field holds the value
// bound to its ? mark, as it is stored, whatever the filter: the key
// condition stands where the filter rule puts the filter, in place of the
// page's own condition.
QStringList KeyRowLines(const QStringList& lines, const QString& keyField);
