#pragma once
// The 53 page queries of the main window: each page's statement as text
// lines, the persistent fields it exposes and the columns its grid shows.
// The lines matter one by one (the filter bar replaces or inserts whole
// lines, the sort toggle rewrites the last one), so they are kept exactly.
#include "DB.h"
#include <QString>
#include <QStringList>
#include <QVector>

struct PageGridTitle {
    QString Field;
    QString Title;  // the grid's column title (the grid only; reports keep the label)
};

struct PageQuery {
    int PageID = 0;
    QString QueryName;            // "qSysActivity"
    QStringList Sql;              // the statement, line by line
    QVector<TFieldDef> Fields;    // persistent fields in order
    QStringList GridColumns;      // fields the grid shows, in grid order
    QVector<PageGridTitle> Titles;
};

// All 53, in page id order.
const QVector<PageQuery>& PageQueries();
// nullptr for an unknown page id.
const PageQuery* FindPageQuery(int pageId);
