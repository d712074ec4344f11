#pragma once
// The service type editor: adds or changes one row of tServiceType (code,
// description, supplier, the revenue and expense elements it is booked to,
// system, dates, expected rent, billing frequency and five flags).
//
// The element lists hold the active elements of the internal customer whose
// ShipTo is "VRT", after an empty choice for none (one of the two must be
// chosen). The billing frequency is one of 0, 1, 3, 6 or 12 months:
// the input takes digits only and falls back to the last allowed value.
// Adding writes the columns that have a value; changing writes the code and
// the columns that differ from what the caller set.
#include "RecordEditor.h"
#include "SysUtils.h"

class QCheckBox;
class QLineEdit;
class TCurrencyEdit;
class TDateEdit;
class TLookupCombo;

class TSysEditServTypeForm : public TRecordEditor {
    Q_OBJECT

public:
    explicit TSysEditServTypeForm(QWidget* owner = nullptr);

    QLineEdit* edtID;
    QLineEdit* edtCode;
    QLineEdit* edtDescription;
    QLineEdit* edtSupplierID;
    QLineEdit* edtSupplier;
    QLineEdit* edtSystemID;
    QLineEdit* edtSystem;
    TLookupCombo* cbRevenueElement;
    TLookupCombo* cbExpenseElement;
    TDateEdit* edtStartDate;
    TDateEdit* edtEndDate;
    TCurrencyEdit* edtExpectedRent;
    QLineEdit* edtFrequency;
    QCheckBox* ckAdminFee;
    QCheckBox* ckExportToTims;
    QCheckBox* ckSplitService;
    QCheckBox* ckVRTServiceType;
    QCheckBox* ckNoCalls;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // Each setter shows the value and keeps it as the saved value.
    int ID() const { return FID; }
    void SetID(int value);  // 0 shows nothing
    QString Code() const;
    void SetCode(const QString& value);
    QString Description() const;
    void SetDescription(const QString& value);
    // The ids typed as text; 0 shows nothing (no supplier, no system).
    void SetSupplierID(int value);
    void SetSystemID(int value);
    void SetSupplierName(const QString& value);
    void SetSystemName(const QString& value);
    // The chosen element's id; a stored id that is not listed (an inactive
    // element) stays as it was until the operator picks another.
    int RevenueElementID() const;
    void SetRevenueElementID(int value);
    int ExpenseElementID() const;
    void SetExpenseElementID(int value);
    double ExpectedRent() const;  // an empty input reads as 0; see AmountValue
    void SetExpectedRent(double value);
    void SetStartDate(TDateTime value);
    void SetEndDate(TDateTime value);
    bool AdminFee() const;
    void SetAdminFee(bool value);
    bool ExportToTims() const;
    void SetExportToTims(bool value);
    bool SplitService() const;
    void SetSplitService(bool value);
    bool VRTServiceType() const;
    void SetVRTServiceType(bool value);
    bool NoCalls() const;
    void SetNoCalls(bool value);
    // 0, 1, 3, 6 or 12; another value leaves the frequency as it was.
    int Frequency();
    void SetFrequency(int value);

    void btnOkClick();
    // The frequency input: digits only, an allowed value or the last one.
    void edtFrequencyChange();

private:
    bool save(TSaveAttempt& save);
    void showFrequency(int value);

    int FID = 0;
    int FFrequency = 0;
    bool FAudited = false;
};
