#pragma once
// The filter bar's columns: for each page, the captions it offers and the
// clause prefix each one stands for.
#include <QString>
#include <QStringList>

// The page's captions in order; an unknown page gives an empty list.
QStringList GetFilterFields(int pageId);

// The clause prefix of the caption at `index` of the page's list: the column
// and " = " (a number, the value follows bare) or the column and " LIKE '"
// (a text, the value and "%'" follow), or the page's own clause for that
// caption (empty for a caption that filters on nothing). False when the
// index is not one of the page's captions.
bool FilterClause(int pageId, int index, QString& clause);
