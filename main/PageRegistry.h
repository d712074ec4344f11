#pragma once
// The main window's table pages: for each page id, the names of its tab
// sheet, query, data source and grid, its table name, and where its node
// sits in the tree.
#include <QString>
#include <QVector>

struct PageInfo {
    int PageID;
    const char* Sheet;      // tab sheet name
    const char* Caption;    // tab caption
    const char* Query;
    const char* DataSource;
    const char* Grid;
    const char* Table;      // report title, CSV file name, deactivation
    const char* Group;      // tree group
    const char* Node;       // tree node text
    bool InactiveBlue;      // the grid draws inactive rows blue
};

// All 53, in page id order (the alphabetical order of the tables).
const QVector<PageInfo>& Pages();
const PageInfo* FindPage(int pageId);
const PageInfo* FindPageByNode(const QString& nodeText);  // exact, case-sensitive

// The tree: groups in order with their nodes in order.
struct TreeGroup {
    QString Name;
    QStringList Nodes;
};
QVector<TreeGroup> TreeGroups(bool security, bool audit);
