#pragma once
// Routines the main window and the record editors share: clean-ups of
// numbers typed as text, the record-id check, money helpers, the audit trail,
// the parameters table, the test-database test and the sort toggle.
//
// Statements are built one clause per line, as the program always builds
// them; every value spliced in passes the quoting helper.
#include "DB.h"
#include "StringList.h"
#include <QString>
#include <functional>

class TReplacementFile;

// Runs "SELECT id", "FROM " + Table, "WHERE id = " + Id.
void RecordIdExists(const QString& Table, int Id, bool& Exists);

// The FROM line of a read that a write's transaction makes before it
// writes: "FROM " + Table + " WITH (UPDLOCK, HOLDLOCK)". What the read finds,
// and what it would find were it there, stays so until the transaction
// ends, so no other program's write comes between the read and the write:
// a row compared before it is changed is still as read, and a value found
// free is still free when it is added.
QString LockedFrom(const QString& Table);

// Number texts. S is trimmed for the scan; when nothing is cut S is left
// exactly as given.
void StripTrailingNonDigit(QString& S, bool& Cut);
void CutAtFirstNonDigit(QString& S, bool& Cut);
void CheckDecimalText(QString& S, bool& Ok);

// Rewrites the last line of a query's text when a grid column title is
// clicked: a new column sorts ascending, the current one flips to descending
// and back.
void ToggleSortOrder(const QString& FieldName, TStringList& SQL);

QString StripQuotes(const QString& S);
// Fixed-point text with exactly two decimals, "." as the point (SQL text).
QString CurrToFixed2(double Value);
// A + B after rounding each to whole cents (halves to the even cent).
double AddCurrRounded(double A, double B);
QString RightString(const QString& S, int N);

// Audit trail: one INSERT per changed field. TAuditTrail (AuditTrail.h)
// puts these together for a whole change.
bool IsTableAudited(const QString& Table);
void BeginAuditTrail(const QString& UserId, const QString& Action, const QString& Table, QString& InsertLine,
                     QString& Columns, QString& Values);
// The same with the action time given (DateTimeToSql text).
void BeginAuditTrailAt(const QString& UserId, const QString& Action, const QString& Table,
                       const QString& ActionTime, QString& InsertLine, QString& Columns, QString& Values);
void AppendText(const QString& Text, QString& Target);
// An empty value is written as NULL.
void AddAuditField(const QString& FieldName, const QString& OldValue, const QString& NewValue, TStringList& Lines);
// The same with the old value as it was stored: only a null text is NULL,
// an empty or blank one is written as it stands.
void AddStoredAuditField(const QString& FieldName, const QString& StoredValue, const QString& NewValue,
                         TStringList& Lines);
void WriteAuditTrail(const QString& InsertLine, const QString& Columns, const QString& Values,
                     const TStringList& Lines);

// True when the active data source is the test set's, or names a test one.
bool IsTestDatabase();

// Parameters (tParameter): the value of the column the row's ParmField names.
void GetParameter(const QString& Parm, QString& Value);
void SetParameter(const QString& Parm, const QString& Value, const QString& Field);

// CSV export: the rows of the data set to a file the operator chooses, the
// proposed name being TableName. A header line of the field names, then one
// line per row; every value in double quotes (quotes inside doubled), UTF-8,
// lines ending in CR LF. The folder chosen is kept in the "UserDirectory"
// parameter. An empty data set only gets the message "No entries found in
// table ...".
void ExportDataSetToCsv(TDataSet* DataSet, const QString& TableName);

// Why a file written through a TReplacementFile is not there, with the
// system's reason: "Cannot create file "<file>". <reason>" when it could not
// be begun, "Cannot write file ..." when it could not be completed.
enum class TFileStep { Create, Write };
QString FileErrorText(TFileStep Step, const TReplacementFile& File);

// One CSV line (without its line end) of the given texts.
QByteArray CsvLine(const QStringList& Values);

// The save dialog the export asks; tests answer it through the hook. The
// answer is the chosen file's path, empty when cancelled.
struct TSaveDialogRequest {
    QString Title;
    QString FileName;
    QString Filter;       // "Description|pattern" pairs
    int FilterIndex = 1;
    QString DefaultExt;
    QString InitialDir;
};
using SaveDialogHook = std::function<QString(const TSaveDialogRequest&)>;
SaveDialogHook SetSaveDialogHook(SaveDialogHook hook);
// Asks it (or the hook). It asks nothing of its own about an existing file:
// the caller decides what an existing file means.
QString ExecuteSaveDialog(const TSaveDialogRequest& Request);
