#pragma once
// The agreement editor: adds or changes one row of tAgreement (agreement
// number, description, agreement type, supplier, batch type, valid account
// number, start and end dates).
//
// The four lists hold the active rows of their tables. Picking a supplier
// narrows the batch types to that supplier's and chooses the first; picking
// a batch type narrows the valid account numbers likewise. Only the
// operator's own pick does that: the values the caller sets never do.
#include "RecordEditor.h"
#include "SysUtils.h"

class QLineEdit;
class TDateEdit;
class TLookupCombo;

class TSysEditAgreementForm : public TRecordEditor {
    Q_OBJECT

public:
    explicit TSysEditAgreementForm(QWidget* owner = nullptr);

    QLineEdit* edtID;
    QLineEdit* edtAgreementNo;
    QLineEdit* edtDescription;
    TLookupCombo* cbSupplier;
    TLookupCombo* cbAgreementType;
    TLookupCombo* cbBatchType;
    TLookupCombo* cbValidAccountNumber;
    TDateEdit* edtStartDate;
    TDateEdit* edtEndDate;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // Each setter shows the value and keeps it as the saved value.
    int ID() const { return FID; }
    void SetID(int value);
    QString AgreementNo() const;
    void SetAgreementNo(const QString& value);
    QString Description() const;
    void SetDescription(const QString& value);
    // The chosen row's id, 0 for none. A stored id that is not listed (an
    // inactive supplier, say) stays as it was until the operator picks.
    int AgreementTypeID() const;
    void SetAgreementTypeID(int value);
    int SupplierID() const;
    void SetSupplierID(int value);
    int BatchTypeID() const;
    void SetBatchTypeID(int value);
    int ValidAccountNumberID() const;
    void SetValidAccountNumberID(int value);
    void SetStartDate(TDateTime value);
    void SetEndDate(TDateTime value);

    void btnOkClick();
    // The operator picked a supplier: its batch types, the first chosen.
    void cbSupplierChange();
    // The operator picked a batch type: its account numbers, the first chosen.
    void cbBatchTypeChange();

private:
    bool save(TSaveAttempt& save);
    // Refills `list` from `sql` narrowed by `condition`; the first item is
    // chosen. Without a chosen row the list stays empty.
    static void refill(TLookupCombo* list, QStringList sql, int id, const QString& condition,
                       const QString& textField);

    int FID = 0;
    bool FAudited = false;
};
