#pragma once
// The section of a data set's layout and the column and field layouts that
// data-aware controls keep in a placement's store (a profile file or the
// registry store). The routines work on plain lists so that the grid (and
// anything else that shows fields) only maps its own objects to them. A
// control's own section is DefaultSectionName (AppUtils).
#include "AppUtils.h"  // TIniStore, DefaultSectionName
#include <QString>
#include <QVector>

class TDataSet;

// The section for a data set's field layout: the default section of the
// form that owns it, else the data set's name (which DefaultSectionName
// would not give for a data set without a form).
QString GetDataSetSection(const TDataSet* DataSet);

// One grid column as it is stored: key "<grid>.<field>", value
// "<index>,<width>".
struct TColumnLayout {
    QString FieldName;
    int Width = 0;
};

// Erases the section, then writes one key per column in list order.
void SaveColumnsLayout(const TIniStore& Store, const QString& Section, const QString& GridName,
                       const QVector<TColumnLayout>& Columns);
// The columns with their stored widths, moved to their stored indexes; a
// missing key, or an item that is not a number, keeps the current value.
QVector<TColumnLayout> RestoreColumnsLayout(const TIniStore& Store, const QString& Section,
                                            const QString& GridName, const QVector<TColumnLayout>& Columns);

// One field as it is stored: key "<data set name><field name>", value
// "<index>,<display width>,<visible 0/1>".
struct TFieldLayout {
    QString FieldName;
    int DisplayWidth = 0;
    bool Visible = true;
};

void SaveFieldsLayout(const TIniStore& Store, const QString& Section, const QString& DataSetName,
                      const QVector<TFieldLayout>& Fields);
// The fields with their stored display widths (and visibility when
// RestoreVisible), moved to their stored indexes.
QVector<TFieldLayout> RestoreFieldsLayout(const TIniStore& Store, const QString& Section,
                                          const QString& DataSetName, const QVector<TFieldLayout>& Fields,
                                          bool RestoreVisible);
