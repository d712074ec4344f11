#pragma once
// The generic record editor: one window that adds or changes a row of any of
// the simple reference tables. TableNameID chooses the table (codes 0 to 29)
// and so the caption, which inputs show, what their labels say, which are
// read-only name displays, and whether the table is audited.
//
// The caller sets TableNameID first, then the values (Edit1..Edit10,
// Check1..Check4; each also kept as the saved value), then AppendMode. The
// editor looks nothing up itself: even the names beside the ids are what the
// caller passes.
#include "RecordEditor.h"
#include "SysUtils.h"
#include <QStringList>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TDateEdit;

class TSysEditForm : public TRecordEditor {
    Q_OBJECT
    Q_PROPERTY(int TableNameID READ TableNameID WRITE SetTableNameID)
    Q_PROPERTY(QString Edit1 READ Edit1 WRITE SetEdit1)
    Q_PROPERTY(QString Edit2 READ Edit2 WRITE SetEdit2)
    Q_PROPERTY(QString Edit3 READ Edit3 WRITE SetEdit3)
    Q_PROPERTY(QString Edit4 READ Edit4 WRITE SetEdit4)
    Q_PROPERTY(QString Edit5 READ Edit5 WRITE SetEdit5)
    Q_PROPERTY(QString Edit6 READ Edit6 WRITE SetEdit6)
    Q_PROPERTY(double Edit7 READ Edit7 WRITE SetEdit7)
    Q_PROPERTY(double Edit8 READ Edit8 WRITE SetEdit8)
    Q_PROPERTY(QString Edit9 READ Edit9 WRITE SetEdit9)
    Q_PROPERTY(QString Edit10 READ Edit10 WRITE SetEdit10)
    Q_PROPERTY(bool Check1 READ Check1 WRITE SetCheck1)
    Q_PROPERTY(bool Check2 READ Check2 WRITE SetCheck2)
    Q_PROPERTY(bool Check3 READ Check3 WRITE SetCheck3)
    Q_PROPERTY(bool Check4 READ Check4 WRITE SetCheck4)

public:
    explicit TSysEditForm(QWidget* owner = nullptr);

    QLabel* lblEdit1;
    QLabel* lblEdit2;
    QLabel* lblEdit3;
    QLabel* lblEdit4;
    QLabel* lblEdit5;
    QLabel* lblEdit6;
    QLabel* lblEdit7;
    QLabel* lblEdit8;
    QLabel* lblEdit9;
    QLabel* lblEdit10;
    QLineEdit* edtEdit1;
    QLineEdit* edtEdit2;
    QLineEdit* edtEdit3;
    QLineEdit* edtEdit4;
    QLineEdit* edtEdit5;
    QLineEdit* edtEdit6;
    TDateEdit* edtEdit7;
    TDateEdit* edtEdit8;
    QLineEdit* edtEdit9;
    QLineEdit* edtEdit10;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // -1 while no table is chosen; a code outside 0..29 leaves it so and
    // Save disabled.
    int TableNameID() const { return FTableNameID; }
    void SetTableNameID(int value);
    // Adds " (ADD)" or " (EDIT)" to the caption; codes 17 and 26 take the
    // new row's ID typed when adding.
    void SetAppendMode(bool value) override;

    // Texts: the setter keeps the value as given and shows it; the getter
    // gives what a save takes (TextOf): the kept value while the input shows
    // it untouched, else the input's trimmed text.
    QString Edit1() const;
    QString Edit2() const;
    QString Edit3() const;
    QString Edit4() const;
    QString Edit5() const;
    QString Edit6() const;
    QString Edit9() const;
    QString Edit10() const;
    void SetEdit1(const QString& v);
    void SetEdit2(const QString& v);
    void SetEdit3(const QString& v);
    void SetEdit4(const QString& v);
    void SetEdit5(const QString& v);
    void SetEdit6(const QString& v);
    void SetEdit9(const QString& v);
    void SetEdit10(const QString& v);
    // Dates: kept as yyyymmdd (empty when never set).
    TDateTime Edit7() const;
    TDateTime Edit8() const;
    void SetEdit7(TDateTime v);
    void SetEdit8(TDateTime v);
    bool Check1() const;
    bool Check2() const;
    bool Check3() const;
    bool Check4() const;
    void SetCheck1(bool v);
    void SetCheck2(bool v);
    void SetCheck3(bool v);
    void SetCheck4(bool v);

    // The kept values, as the caller set them (dates as yyyymmdd).
    QString Kept(int edit) const;
    bool KeptCheck(int box) const;
    bool Audited() const { return FAudited; }
    // The table of a code; empty outside the laid-out codes.
    static QString TableName(int code);
    // An amount as the operator reads and types it: up to 15 significant
    // digits with the regional decimal separator, never grouped and never in
    // exponent form, so the editor's own check reads it back as the same
    // number. The main window gives a row's amounts so.
    static QString AmountText(double value);
    // The column of the table that input `edit` of a code holds (11 and 12:
    // the first two check boxes); empty for a name display or none.
    static QString ColumnOf(int code, int edit);

    void btnOkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* input(int edit) const;
    void setText(int edit, const QString& v);
    void setCheck(int box, bool v);

    // One save attempt, code by code; true closes with OK.
    bool save(TSaveAttempt& attempt);
    bool entryMet() const;
    bool saveDescriptionReference(TSaveAttempt& attempt);  // 3, 4, 6, 8, 9
    bool saveDescriptionOnly(TSaveAttempt& attempt);       // 10, 11, 16, 20-23, 27
    // Changing the description alone (10, 11, 16, 17, 20-23, 26, 27):
    // refused when it did not change.
    bool saveDescriptionChange(TSaveAttempt& attempt);
    bool saveLocation(TSaveAttempt& attempt);              // 0
    bool savePerson(TSaveAttempt& attempt);                // 1
    bool saveValidAccount(TSaveAttempt& attempt);          // 2
    bool saveElement(TSaveAttempt& attempt);               // 5
    bool saveSystem(TSaveAttempt& attempt);                // 7
    bool saveTransactionGroup(TSaveAttempt& attempt);      // 13
    bool saveTransactionType(TSaveAttempt& attempt);       // 14
    bool saveRate(TSaveAttempt& attempt);                  // 15
    bool saveFunction(TSaveAttempt& attempt);              // 17
    bool saveDubiousPair(TSaveAttempt& attempt);           // 19
    bool saveAgreement(TSaveAttempt& attempt);             // 24
    bool saveDiscountedRate(TSaveAttempt& attempt);        // 25
    bool saveProgram(TSaveAttempt& attempt);               // 26
    bool saveDiscount(TSaveAttempt& attempt);              // 28
    bool saveCostRange(TSaveAttempt& attempt);             // 29

    // Building blocks.
    QString table() const { return TableName(FTableNameID); }
    // The row being changed as a save reads it again; none without columns
    // or a row id.
    std::optional<TStoredRow> storedRow() const;
    QString rowId() const;
    QString referenceCheck(int edit, const QString& table, const QString& notNumber, const QString& notFound,
                           bool rewriteWhenMissing = true);
    // An amount input: a minus, digits and one point ("." or the regional
    // decimal separator), read as every amount input reads it, without
    // thousands separators. Refused with the message otherwise, the input cut
    // back to what passed. Gives the amount with "." as its point.
    QString decimalCheck(int edit, const QString& message);
    // An amount input the operator changed from what the page filled in.
    // One left alone is not written by a change, nor audited.
    bool amountTouched(int edit) const;
    // `item` when the amount of `edit` was touched, else nothing.
    QString ifTouched(int edit, const QString& item) const;
    void wholeNumberCheck(int edit, const QString& message);
    QString dateText(int edit) const;  // yyyymmdd, empty when the input is blank
    void dateBlockAdd(QString& columns, QString& values, bool withActive = true);
    QString dateBlockEdit(bool withActive = true);
    void descriptionCheck(TSaveAttempt& attempt, const QString& mandatory);
    void audit(const QString& field, const QString& oldValue, const QString& newValue);
    // An audit row of an input: from its kept value when changing, from
    // none when adding.
    void auditKept(const QString& field, int edit, const QString& now);
    // The same for an amount: compared as a number, the kept value audited
    // with "." as its point.
    void auditAmount(const QString& field, int edit, const QString& now);
    QString keptAmount(int edit) const;
    // The row's statement: "INSERT INTO " + the table, then the column list
    // and the value list each closed with ")"; or "UPDATE " + the table, the
    // SET lines and the row's WHERE line.
    void insertRow(const QString& columns, const QString& values);
    void updateRow(const QStringList& setLines);
    // The operator's login name as LastUpdatedBy, when there is one: an
    // INSERT's column and value, or an UPDATE's item.
    void addLastUpdatedBy(QString& columns, QString& values) const;
    QString lastUpdatedBy() const;
    // The checks discounts and discounted rates share: the customer, the
    // service type and the rate (given back as an amount).
    QString customerAndServiceType(QString& customer, QString& serviceType);
    // An optional amount changed from its kept value; empty sides as NULL.
    void auditOptional(const QString& field, int edit, const QString& now);
    // A check that a value is free: a row `lookup` finds refuses the
    // attempt with `message`, which is then also the write's refusal should
    // another program add the value after all.
    void refuseFound(TSaveAttempt& attempt, const QStringList& lookup, const QString& message);
    // A row of the table with both values already there refuses an addition.
    void refuseExistingPair(TSaveAttempt& attempt, const QString& first, const QString& firstValue,
                            const QString& second, const QString& secondValue);
    // Runs the row's statement and writes the audit rows naming it.
    void run(TSaveAttempt& attempt, const QString& typedId = QString());

    int FTableNameID = -1;
    bool FAudited = false;
    QStringList FSQLLines;
    std::optional<TAuditTrail> m_audit;
    QString m_taken;  // the message of the attempt's check that a value is free
};
