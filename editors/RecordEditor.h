#pragma once
// What every record editor is built on: the modal editor window, one save
// attempt per click, statement lines, kept values and the audit rows.
//
// How to write an editor
// ----------------------
// Derive the window from TRecordEditor and build its controls in code, each
// with its name (setObjectName). Read the audit action ids once, in the
// constructor: ReadAuditIds() fills AuditIds (Update, Delete, Insert). The
// operator's login name, for audit rows and LastUpdatedBy, is FUser.
//
// Properties the main window sets show the value and keep it as the saved
// value; the save compares with it, so it writes and audits only changes. A
// text goes through KeepText and comes back through TextOf, so that a text
// the operator left alone is written back exactly as stored, and the width
// (LimitTyping) and trimming apply only to what the operator typed; what
// the input shows is what is saved:
//     void SetDescription(const QString& v) { KeepText(edtDescription, "Description", v); }
//     const QString description = TextOf(edtDescription);
//     if (FKept.Changed("Description", description)) ...
// SetModeCaption names the window's caption, which then shows the mode.
// Override SetAppendMode when the mode changes more of the window (inputs).
//
// The Save (or OK) handler runs one attempt through RunSave. Everything the
// attempt does is one transaction: lookups, the row's statement, the audit
// rows and any other write commit together or not at all. A check that
// fails calls Refuse(message): the warning box shows the message, nothing is
// written, and the window stays open with the operator's input. A database
// or conversion error ends the attempt the same way, with its own text.
// Return true to close the window with OK, false to stay open.
//
//     connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
//     void TSysEditThingForm::btnOkClick()
//     {
//         RunSave([this](TSaveAttempt& save) {
//             const QString code = edtCode->text().trimmed();
//             if (code.isEmpty())
//                 Refuse("Code field is Mandatory.");
//             QStringList columns{"(Code,"}, values{"VALUES (" + Quote(code) + ","};
//             if (!note.isEmpty()) { columns << "Note,"; values << Quote(note) + ","; }
//             const qint64 id = save.ExecInsert(InsertStatement("tThing", columns, values));
//             TAuditTrail audit = NewAudit(AuditIds.Insert, "tThing");
//             audit.SetTableID(id);               // the id the INSERT gave
//             audit.AddField("CODE", QString(), code);
//             save.Write(audit);                  // same transaction as the row
//             return true;                        // close with OK
//         });
//     }
//
// Statement lines are built exactly as the editor defines them, one clause
// per line. Optional items carry a trailing comma that DropFinalComma (the
// last SET line of an UPDATE) or InsertStatement (column and value lines of
// an INSERT) settles. Every value spliced in goes through SqlStr, Quote or
// QuoteOrNull; a LIKE that means equality uses SqlLikeExact. An id typed as
// text is read with ParseIdText. The statements of the last attempt, audit
// rows included, are in LastStatements() for the tests to compare.
//
// A change never writes over what another operator saved meanwhile. The
// save of a change first reads its row again, by its key, inside the
// attempt and under the write's lock (LockedFrom), and meets it with the
// kept values, before it checks anything or builds a statement:
//     bool TSysEditThingForm::saveChanges(TSaveAttempt& save)
//     {
//         const int id = RowToChange(edtID, "thing");
//         TStoredRow stored("tThing", "WHERE id = " + QString::number(id));
//         stored.Text("Code").Text("Note").Flag("Export").Amount("Fee")
//             .Date("EndDate").Id("SupplierID").Number("Rate");
//         KeepUpWithStored(save, stored);
//         ... the checks and statements as before, from TextOf, FKept ...
//     }
// Each entry names a kept value, its column (when another than the name)
// and how the column reads as the value the main window gives the setter:
// Text (the text), Number (QString::number of the integer: a setter given
// AsInteger), Id (IdText: a list's id, empty for none), Flag ("1"/"0"),
// Amount (as KeepAmount keeps it), Date (yyyymmdd, empty for none); Value
// takes a reader of its own where the main window converts otherwise (the
// generic editor's amounts, shown as the operator types them). The kept
// value and the reading must agree exactly for a row nobody changed, or the
// save sees a change that was not made. A value nobody else changed is left
// alone; one the operator left as shown but another changed is adopted
// (shown and kept as stored now), so the statements, built afterwards from
// the inputs and the kept values as always, write the stored value and
// audit no change; one both changed refuses the attempt with "Another
// operator changed this row after you opened it: <input> is now '<stored
// value as the input shows it>'. Nothing was saved; close the editor and
// open the row again." and the focus on the input; a row gone is refused
// ("...: it is no longer in the table. ..."). Where nobody else changed the
// row the statements are exactly what they were, and every audit row's old
// value is the value its write replaces.
// The machinery knows each value's input from Keep*, KeepText and KeepListID,
// which register it. An input whose setter the main window may not call
// (a value it leaves empty) is registered with WatchText, WatchCheck,
// WatchDate, WatchAmount or WatchListID when the window is built; an input
// of another kind (a value in a dialog of its own, a list that shows a
// missing id its own way) registers a TKeptInput with KeepInput: the input
// that names it and takes the focus, whether the operator changed it, how
// it shows a value, and how it takes one as kept. A value without an input
// is adopted into FKept only.
// An editor that writes a set of rows (line details, split rows, rights)
// reads them itself with save.Read({"SELECT ...", LockedFrom("tThingLine"),
// "WHERE ThingID = 5"}, ...) (by key, never a scan), gives every value a
// kept name of its own ("Line3.Cost") and calls KeepUpWith({{name, stored},
// ...}); a row it writes or deletes that is gone calls RefuseRowGone(). A
// row it deletes or a right it removes that another already removed is no
// change: it writes and audits nothing for it.
//
// A check that a value is free (a duplicate description, a code, an id
// typed, a right) reads under the write's lock (LockedFrom), so on SQL
// Server too the check and the write hold under one lock; and the write
// passes the check's message as `taken` (save.ExecInsert(lines, message)):
// should the value be taken after all, the operator gets that message, not
// the server's text, and the window stays open with the input. LastReads()
// gives the reads of the last attempt for the tests.
//
// Every attempt that commits a write sets Wrote(): the main window reloads
// its page when the editor closes with OK or Wrote() is set, so a
// Save-and-stay button or a reactivation before Cancel is not lost. After a
// save that keeps the window open, FKept.KeepAll(written) makes the written
// values the saved ones.
//
// Every other handler that starts work (a lookup button, a timer) runs
// inside RunGuarded or Guarded (Application.h), never bare: no exception may
// unwind through Qt's signal code.
//
// Lists of reference rows with ids are TLookupCombo (LookupCombo.h).
//
// Controls are placed where the window defines them, each with its name:
// AddLabel, AddEdit, AddCheck, AddButton and AddControl; ShowOnly greys out an input
// the operator only reads (the row's id). ModeCaption gives the caption
// with the mode. Places and sizes are given for the standard font; once the
// window's controls are all built, ScaleToFont(this) sizes it for the font
// in use.
#include "AuditTrail.h"
#include "DB.h"
#include "Dialogs.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "VCLUtils.h"  // FontScale
#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

class TCustomDateEdit;
class TCustomNumEdit;
class TDataSet;
class TField;
class TLookupCombo;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// A check of a save attempt failed: its message goes to the warning box.
KV_DECLARE_EXCEPTION(ESaveRefused, Exception)

// The same for what one input holds: after the box, the input is shown with
// the focus.
class EInputRefused : public ESaveRefused {
public:
    EInputRefused(QWidget* input, const QString& message) : ESaveRefused(message), m_input(input) {}
    QWidget* Input() const { return m_input; }

private:
    QPointer<QWidget> m_input;
};

// Ends the attempt with the message in the warning box; nothing is written.
[[noreturn]] void Refuse(const QString& message);
// The same, then `input` shown with the focus.
[[noreturn]] void Refuse(QWidget* input, const QString& message);

// An input as the operator reads its name: the caption of the label it is
// the buddy of (or of the label named after it, lblX for edtX), without its
// "&" and final ":"; empty when it has none.
QString InputCaption(const QWidget* input);

// ------------------------------------------------------------ statement text

// 'value' with its apostrophes doubled.
QString Quote(const QString& value);
// Quote(value), or NULL for an empty value.
QString QuoteOrNull(const QString& value);
// A value spliced bare (a number that passed its check), or NULL for an
// empty value.
QString BareOrNull(const QString& value);
// An item of a statement's list: QuoteOrNull(value) and its comma.
QString TextItem(const QString& value);
// An id as the editors keep, audit and write it: its decimal text, empty for
// none (0 or less).
QString IdText(int id);
// A flag as SQL and audit text: "1" or "0".
QString BitText(bool on);
// The last line loses its final comma (the last SET item of an UPDATE).
void DropFinalComma(QStringList& lines);
// "INSERT INTO " + table, the column lines, then the value lines; in the last
// column line and the last value line the final comma becomes ")".
QStringList InsertStatement(const QString& table, QStringList columnLines, QStringList valueLines);

// A currency value as SQL text: "." as the decimal point whatever the locale,
// no grouping, at most four decimals, no trailing zeros, "0" for zero.
QString CurrText(double value);

// A date input's date as 'yyyymmdd' text (without quotes); empty when the
// input counts as empty by its own blank test. A text that is not a date
// raises EConvertError, so it is refused rather than stored as some date.
QString DateEditYMD(TCustomDateEdit* edit);

// An amount input's value. A text that is not a number (no key lets one in,
// but deleting can leave one: "e5" of "1e5") ends the attempt with
// "<name>: '<text>' is not a valid floating point value." rather than being
// read as 0.
double AmountValue(const TCustomNumEdit* edit, const QString& name);

// A decimal typed into a text input, read as the generic editor's amount
// inputs read it: a minus, then digits with one point ("." or the regional
// decimal separator), no thousands separator ("1.000" where "." groups
// thousands is no such number, so the same text never means two numbers).
// True with `point` the number with "." as its point (empty for an empty
// text); false for a text that is no such number, `valid` then the length
// of its start before the first character that cannot be in one.
bool DecimalPointText(const QString& typed, QString& point, int* valid = nullptr);

// An id typed as text: cut at its first non-digit. False when anything was
// cut or the number does not fit a 32-bit integer; text is then what passed
// (the leading digits), for the input to show.
bool ParseIdText(QString& text, int& id);

// A new row's id that the window goes on with (as the row it changes next):
// one beyond what the editors carry (32 bits) refuses the attempt, so
// nothing is committed.
void RefuseIdBeyondEditors(qint64 id);

// Letters the operator types or pastes into the edit become capitals
// (TypeCapitals); text set by code shows as given, so an untouched value is
// saved unchanged.
void SetUpperCase(QLineEdit* edit);

// An input whose value the operator reads (and may select and copy) but
// cannot change by any means: read-only, on the window's own grey rather
// than the white of an input that takes typing.
void ShowReadOnly(QLineEdit* edit);

// ------------------------------------------------------------ the font

// Puts a control at its place as given for the standard font. ScaleToFont
// scales this place rather than what the control made of it (a date input
// raises a height below its text's), so an input is placed this way.
void PlaceControl(QWidget* control, int left, int top, int width, int height);

// Sizes a built window for its font: the window and every control in it, in
// place and size, grow by FontScale of the window's font. A label as large
// as its caption stays so; no label is lower than its text. Controls inside
// a plain frame are placed within it the same way; the parts of a control
// and other windows are left to themselves. A bar of controls inside a
// window (of a fixed height) grows the same way.
// A window that would then not fit its screen with its frame keeps its
// controls on a sheet that scrolls inside it, with OK and the buttons of its
// row in view at the bottom; the tab order stays as it was, and the control
// that takes the focus scrolls into view.
void ScaleToFont(QWidget* window);

// ------------------------------------------------------------ kept values

// The values a caller set, by property name, as the editor keeps them to
// detect what the operator changed. A value never set reads empty.
class TKeptValues {
public:
    void Keep(const QString& name, const QString& value) { m_values.insert(name, value); }
    void Keep(const QString& name, bool value) { Keep(name, value ? QStringLiteral("1") : QStringLiteral("0")); }
    QString Kept(const QString& name) const { return m_values.value(name); }
    bool Has(const QString& name) const { return m_values.contains(name); }
    bool Changed(const QString& name, const QString& now) const { return Kept(name) != now; }
    bool Changed(const QString& name, bool now) const
    {
        return Changed(name, now ? QStringLiteral("1") : QStringLiteral("0"));
    }
    // A flag's kept value; a flag never set reads false.
    bool KeptBool(const QString& name) const { return Kept(name) == QLatin1String("1"); }
    // A text a save writes without apostrophes: without them when the
    // operator changed it, else as kept (as it is stored).
    QString WithoutQuotesIfChanged(const QString& name, const QString& now) const;
    // After a save that keeps the window open, what was written becomes the
    // saved value.
    void KeepAll(const QHash<QString, QString>& written);
    // The audit row of `name` changing to `now`: the field is the name in
    // capitals, the old value the kept one. Nothing without an audit trail
    // (a table that is not audited).
    void Audit(TAuditTrail* audit, const QString& name, const QString& now) const;

private:
    QHash<QString, QString> m_values;
};

// ------------------------------------------------------------ row statements

// The INSERT of a new row, its column line built beside its value line.
// Every column written gets its audit row (no old value), the field name
// being the column's name in capitals.
//     TInsertLines insert(audit);
//     insert.Add("Code", code, Quote(code));   // (Code,  /  VALUES ('A',
//     insert.AddEndDate(endDate);             // EndDate,Active, or Active,
//     audit.SetTableID(save.ExecInsert(insert.Statement("tThing")));
class TInsertLines {
public:
    explicit TInsertLines(TAuditTrail& audit) : m_audit(audit) {}
    // The column, its value as audited, and as written in SQL.
    void Add(const QString& column, const QString& value, const QString& sqlValue);
    // A value written bare (a number or flag).
    void Add(const QString& column, const QString& value) { Add(column, value, value); }
    // A column written without an audit row.
    void Put(const QString& column, const QString& sqlValue);
    // With an end date the row is stored inactive: "EndDate,Active," and
    // the quoted date with 0; without one "Active," with 1.
    void AddEndDate(const QString& endDate);
    QStringList Statement(const QString& table) const;

private:
    TAuditTrail& m_audit;
    QString m_columns = QStringLiteral("(");
    QString m_values = QStringLiteral("VALUES (");
};

// The SET lines of an UPDATE: one line for each value that differs from its
// kept value, with its audit row from the kept value to the new one.
class TUpdateLines {
public:
    // The first line ("UPDATE " + table).
    TUpdateLines(const QString& table, const TKeptValues& kept, TAuditTrail& audit);
    // A line written whether or not the value changed (the first SET line);
    // audited only when it did.
    void Always(const QString& name, const QString& now, const QString& line);
    // The line when `now` differs from the kept value of `name`; the audit
    // row shows `audited` as the new value (`now` when not given). True when
    // the line was added.
    bool Set(const QString& name, const QString& now, const QString& line,
             const std::optional<QString>& audited = std::nullopt);
    // A start date: " StartDate = 'yyyymmdd'," or, cleared, "StartDate = NULL,".
    void SetStartDate(const QString& startDate);
    // An end date and the Active it decides, when the end date changed:
    // "EndDate = 'yyyymmdd', Active = 0," (ACTIVE audited 1 to 0 when there
    // was none) or, cleared, "EndDate = NULL, Active = 1," (ACTIVE 0 to 1).
    void SetEndDate(const QString& endDate);
    // Any other line.
    void Add(const QString& line) { m_lines << line; }
    // The lines, the last SET line without its comma, then `whereLine`.
    QStringList Statement(const QString& whereLine) const;

private:
    QStringList m_lines;
    const TKeptValues& m_kept;
    TAuditTrail& m_audit;
};

// ------------------------------------------------------------ one attempt

// One save attempt: a transaction on the program's connection, held from
// construction to Commit(). Leaving it without Commit() rolls everything
// back. Lookups made through it see the attempt's own writes.
class TSaveAttempt {
public:
    TSaveAttempt();
    TSaveAttempt(const TSaveAttempt&) = delete;
    TSaveAttempt& operator=(const TSaveAttempt&) = delete;

    // A SELECT: true when it gives a row.
    bool Exists(const QStringList& lines);
    // A SELECT: the named column of its first row (null when no row).
    QVariant Value(const QStringList& lines, const QString& field);
    // A SELECT: `row` for each row it gives, in turn; the number of rows.
    int Read(const QStringList& lines, const std::function<void(const TDataSet&)>& row);

    // A statement that returns no rows. An UPDATE that changes no row (its
    // row is gone) refuses the attempt. With `taken`: the check's message
    // when the statement meets a unique key that holds its value after all
    // (another program added it since the check), rather than the server's
    // text.
    void Exec(const QStringList& lines, const QString& taken = QString());
    // An INSERT: the id the server gave the new row, whole. `taken` as for
    // Exec.
    qint64 ExecInsert(const QStringList& lines, const QString& taken = QString());
    // The audit rows of the change.
    void Write(const TAuditTrail& audit);

    void Commit();
    // True once a statement has run (committed or not).
    bool Wrote() const { return !m_statements.isEmpty(); }
    // Every write in order, audit rows included, each as its lines.
    const QVector<QStringList>& Statements() const { return m_statements; }
    // Every read in order, each as its lines.
    const QVector<QStringList>& Reads() const { return m_reads; }

private:
    void open(const QStringList& lines);
    TQuery m_query;
    TTransaction m_transaction;
    QVector<QStringList> m_statements;
    QVector<QStringList> m_reads;
};

// ------------------------------------------------------------ the row as stored

// How a column's value reads as the editor keeps it: exactly as the main
// window gives it to the property setter, so that a value nobody changed
// reads the same.
using TStoredReader = std::function<QString(const TField&)>;

// The row a change writes, as its save reads it again: the table, the row's
// key, and for each kept value it holds the column and how that reads. One
// row by its key; the read takes the write's lock (LockedFrom), so what it
// finds stays so until the save commits.
//     TStoredRow row("tThing", "WHERE id = " + QString::number(id));
//     row.Text("Code").Flag("Export").Amount("Fee", "AnnualFee").Date("EndDate");
class TStoredRow {
public:
    TStoredRow(const QString& table, const QString& whereLine) : m_table(table), m_where(whereLine) {}
    // Kept value `name` in `column` (the name when not given):
    TStoredRow& Text(const QString& name, const QString& column = QString());    // the text
    TStoredRow& Number(const QString& name, const QString& column = QString());  // an integer, "0" for none
    TStoredRow& Id(const QString& name, const QString& column = QString());      // IdText: empty for none
    TStoredRow& Flag(const QString& name, const QString& column = QString());    // "1" or "0"
    TStoredRow& Amount(const QString& name, const QString& column = QString());  // as KeepAmount keeps it
    TStoredRow& Date(const QString& name, const QString& column = QString());    // yyyymmdd, empty for none
    TStoredRow& Value(const QString& name, const QString& column, const TStoredReader& read);

    struct TColumn {
        QString Name;
        QString Column;
        TStoredReader Read;
    };
    const QVector<TColumn>& Columns() const { return m_columns; }
    // "SELECT <the columns>", LockedFrom(table), the WHERE line.
    QStringList Select() const;

private:
    QString m_table;
    QString m_where;
    QVector<TColumn> m_columns;
};

// The refusal of a save that meets another operator's change: "Another
// operator changed this row after you opened it: " + what + ". Nothing was
// saved; close the editor and open the row again."
QString ChangedByAnother(const QString& what);

// ------------------------------------------------------------ the window

class TRecordEditor : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool AppendMode READ AppendMode WRITE SetAppendMode)
    Q_PROPERTY(bool Wrote READ Wrote)

public:
    explicit TRecordEditor(QWidget* owner = nullptr);

    // True to add a row, false to change the one the caller set. The
    // caption set by SetModeCaption shows the mode.
    bool AppendMode() const { return FAppendMode; }
    virtual void SetAppendMode(bool value);

    // True once a save attempt committed a write, whatever the window's
    // result: the main window then reloads its page.
    bool Wrote() const { return m_wrote; }

    // Shows the window modally; the result is a TModalResult (mrOk when the
    // row was saved, mrCancel otherwise).
    int ShowModal();
    // Closes the window with that result.
    void SetModalResult(int result) { done(result); }

    // The statements the last save attempt ran or was about to run.
    const QVector<QStringList>& LastStatements() const { return m_lastStatements; }
    // The reads the last save attempt made.
    const QVector<QStringList>& LastReads() const { return m_lastReads; }

    // Tests: answers ShowModal instead of running the window (drive the
    // inputs, click, return the result).
    using ShowModalHook = std::function<int(TRecordEditor&)>;
    static ShowModalHook SetShowModalHook(ShowModalHook hook);

protected:
    // One save attempt: `attempt` runs inside one transaction; true closes
    // the window with OK. False when it failed (the box has been shown).
    bool RunSave(const std::function<bool(TSaveAttempt&)>& attempt);

    // Controls at their place (left, top, width, height), named. A label
    // takes the size of its caption.
    QLabel* AddLabel(const QString& name, const QString& caption, int left, int top);
    QLineEdit* AddEdit(const QString& name, int left, int top, int width, int height = 21);
    QCheckBox* AddCheck(const QString& name, const QString& caption, int left, int top, int width,
                        int height = 17);
    QPushButton* AddButton(const QString& name, const QString& caption, int left, int top, int width = 75,
                           int height = 25);
    // Any other kind of control (a lookup list, a date or amount input).
    template <typename W>
    W* AddControl(const QString& name, int left, int top, int width, int height = 21)
    {
        auto* control = new W(this);
        control->setObjectName(name);
        PlaceControl(control, left, top, width, height);
        return control;
    }
    // Tab goes from each control of the list to the next.
    void SetTabOrder(const QList<QWidget*>& order);
    // An input the operator only reads: disabled, grey, skipped by Tab.
    static void ShowOnly(QLineEdit* edit);
    // The caption followed by " (ADD)" when adding, else " (EDIT)".
    static QString ModeCaption(const QString& caption, bool add);

    // The Ok (default) and Cancel buttons side by side, 88 apart: Ok runs
    // onOk, Cancel closes the window with mrCancel.
    void AddOkCancel(QPushButton*& ok, QPushButton*& cancel, const QString& okCaption, int left, int top,
                     const std::function<void()>& onOk);
    // The window's caption. From then on SetAppendMode shows it followed by
    // the mode (ModeCaption) and, when adding, clears `edtID` if given (a
    // new row has no id yet).
    void SetModeCaption(const QString& caption, QLineEdit* edtID = nullptr);
    // An id the caller sets: shown only while changing a row.
    void ShowRowID(QLineEdit* edtID, const QString& value) const;

    // The edit holds no more than `width` characters, a character never
    // cut in half, however the text gets there (typed, pasted, dropped,
    // committed by an input method, brought back by Undo). While a row is
    // changed, a longer text a setter shows stays whole: the edit then holds
    // up to that text's length for as long as the window is open. An edit
    // without a width holds a text a setter shows whole, whatever its length
    // (beyond the line's own room of 32,767 characters), in either mode.
    static void LimitTyping(QLineEdit* edit, int width);
    // A property setter's work for a text shown in an edit: the value kept
    // under `name` exactly as stored, and shown trimmed (or as given) and
    // whole (when adding, no more of it than the width).
    void KeepText(QLineEdit* edit, const QString& name, const QString& value, bool showTrimmed = true);
    // The text a save takes from an edit: while changing a row, a text the
    // edit still shows as KeepText showed it is the kept value, exactly as
    // stored; otherwise what the edit holds, trimmed, never cut.
    QString TextOf(const QLineEdit* edit) const;
    // After a save that keeps the window open: what the edits show now
    // stands for what was written (FKept.KeepAll).
    void TextsShownAsKept();
    // A text a save may write, by the input that holds it.
    struct TInputText {
        QString Name;         // the input as the operator reads it (InputCaption)
        QWidget* Input;       // what takes the focus when the text is refused
        QString Text;         // what a save takes from it
        QString Stored;       // the stored text it was filled with, if any
        bool Untouched;       // the stored text, left alone by the operator
    };
    // The texts of the window's inputs. An editor with inputs in a window of
    // its own adds those.
    virtual QVector<TInputText> InputTexts() const;
    // After a refusal that names `input`: the input takes the focus.
    virtual void ShowRefusedInput(QWidget* input);
    // An input as a refusal names it: InputCaption. An editor with inputs
    // in a window of its own names those after the window too.
    virtual QString RefusedInputName(const QWidget* input) const { return InputCaption(input); }
    // The same for a flag shown in a check box.
    void KeepCheck(QCheckBox* box, const QString& name, bool value);
    // The same for a date (kept as yyyymmdd, empty for none) and for an
    // amount (kept whole as SqlFloat gives it: the audit row's old value).
    void KeepDate(TCustomDateEdit* edit, const QString& name, TDateTime value);
    void KeepAmount(TCustomNumEdit* edit, const QString& name, double value);
    // Whether the operator changed the text an amount input showed when
    // KeepAmount filled it in (empty when it never did). A change writes and
    // audits only the amounts touched: the input shows fewer digits than a
    // stored value may have.
    bool AmountTouched(const TCustomNumEdit* edit, const QString& name) const;
    // The same for the id of a list's row: an id of 0 or less shows and
    // keeps nothing; one the list does not hold (an inactive row) is kept
    // and given back unchanged, an editable list showing shownWhenMissing()
    // for it.
    void KeepListID(TLookupCombo* list, const QString& name, int value,
                    const std::function<QString()>& shownWhenMissing = {});
    // A flag an UPDATE writes whatever its state: " Column = 1," (or 0) on
    // `line`; its audit row (with a trail) when it differs from the value
    // kept under the column's name.
    void SwitchItem(QString& line, const QString& column, bool on, TAuditTrail* audit) const;
    // The id of the row being changed, from the edit that shows it; a save
    // without one is refused ("This <what> has no ID, so it cannot be
    // changed.") rather than run with a broken WHERE clause.
    static int RowToChange(const QLineEdit* edtID, const QString& what);

    // How the save machinery meets a kept value in the input that shows it:
    // Keep* and KeepText register one for the value they keep, and the
    // Watch* functions for an input whose value the caller may never set
    // (it keeps nothing then). An input of another kind registers its own
    // with KeepInput.
    struct TKeptInput {
        QWidget* Input = nullptr;                       // names the value (InputCaption) and takes the focus
        std::function<bool()> Changed;                  // the operator changed what it showed
        std::function<QString(const QString&)> Shown;   // a kept value as the input shows it
        std::function<void(const QString&)> Adopt;      // shows a value and keeps it as the saved one
    };
    void KeepInput(const QString& name, const TKeptInput& input) { m_keptInputs.insert(name, input); }
    // Whether the operator changed what the input keeping `name` showed
    // (false where no input keeps it).
    bool InputChanged(const QString& name) const
    {
        const auto input = m_keptInputs.constFind(name);
        return input != m_keptInputs.constEnd() && input->Changed();
    }
    void WatchText(QLineEdit* edit, const QString& name, bool showTrimmed = true);
    void WatchCheck(QCheckBox* box, const QString& name);
    void WatchDate(TCustomDateEdit* edit, const QString& name);
    void WatchAmount(TCustomNumEdit* edit, const QString& name);
    void WatchListID(TLookupCombo* list, const QString& name);

    // Inside a change's save attempt, before its statements are built: the
    // row as stored now, read again by its key under the write's lock, met
    // with the kept values (what the editor was opened with). A value
    // nobody else changed is left alone. One the operator left as shown but
    // another changed is adopted: shown and kept as stored now, so the
    // statements write the stored value (and audit no change). One both
    // changed refuses the attempt, naming its input and the stored value
    // ("Another operator changed this row after you opened it: Status is
    // now 'ELSEWHR'. ..."), with the focus on that input; so does a row
    // that is gone. Nothing is adopted when the attempt is refused.
    void KeepUpWithStored(TSaveAttempt& save, const TStoredRow& row);
    // The same for values an editor read itself (a row set it writes), by
    // kept name: stored[name] = the value as stored now.
    void KeepUpWith(const QVector<QPair<QString, QString>>& stored);
    // Refuses the attempt: the row (or one of the rows) the save writes is
    // no longer in its table.
    [[noreturn]] static void RefuseRowGone();

    // Reads the three audit action ids into AuditIds.
    void ReadAuditIds();
    // An audit trail for this editor's operator.
    TAuditTrail NewAudit(const QString& action, const QString& table) const;

    void reject() override { done(mrCancel); }

    bool FAppendMode = false;
    QString FUser;            // the operator's login name, trimmed
    TAuditEventIds AuditIds;  // tEvent ids of update, delete and insert
    TKeptValues FKept;

private:
    // A statement refused for a character its data source cannot carry: the
    // refusal names the input whose text holds it, as typed, or as stored
    // where the operator left that text alone (or the audit row keeps it).
    // False when no input holds it.
    bool NameUncarried(const EUncarriedText& refused, QString& message, QPointer<QWidget>& input) const;

    bool m_wrote = false;
    QHash<QString, QString> m_amountTexts;  // what KeepAmount showed, by name
    struct TShownText {
        QString Name;   // the kept value's
        QString Shown;  // what KeepText showed
    };
    QHash<const QLineEdit*, TShownText> m_shownTexts;
    // How much a limited edit holds: its width, or while a row is changed
    // the text KeepText showed when that is longer.
    void SetTypingRoom(QLineEdit* edit);
    QVector<QStringList> m_lastStatements;
    QVector<QStringList> m_lastReads;
    QHash<QString, TKeptInput> m_keptInputs;  // by kept name
    QString m_modeCaption;             // empty: the caption is the editor's own
    QLineEdit* m_idCleared = nullptr;  // cleared when adding
};
