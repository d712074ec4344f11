#pragma once
// The key of the row in front of a page, as the editors and Del take it.
#include <QString>

class TField;

// The field of a page's query that names its row: UserID on the rights page
// (it lists operators), id everywhere else.
QString PageKeyField(int pageId);

// The row's id as the 32-bit integer the editors and the audit rows carry.
// An id that does not fit raises ERangeError naming it: wrapped to another
// number it would change some other row, or none, and claim the change.
int RowKeyOf(const TField* key);
