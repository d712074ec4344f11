#pragma once
// The key of the row in front of a page, as the editors and Del take it.
class TField;

// The row's id as the 32-bit integer the editors and the audit rows carry.
// An id that does not fit raises ERangeError naming it: wrapped to another
// number it would change some other row, or none, and claim the change.
int RowKeyOf(const TField* key);
