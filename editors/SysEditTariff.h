#pragma once
// The agreement tariff editor: adds or changes one row of tAgreementTariffs,
// the tariff an agreement sets for one supplier service code. A tariff holds
// a fixed charge, a flagfall, a charge interval, a minimum and a maximum
// (each a duration and a charge), five stages (likewise), a surcharge rate
// and a discount rate with their switches, and a charge-period switch. The
// editor computes nothing from them; it needs an agreement and a service
// code, and writes the row with its audit rows.
//
// Amounts are currency values (an empty input is 0); counts are whole
// numbers (an empty input is none, stored as NULL).
#include "RecordEditor.h"
#include <QHash>
#include <QVector>

class QCheckBox;
class QLineEdit;
class TCurrencyEdit;
class TLookupCombo;

// One amount or count of a tariff: the editor's property, the column that
// holds it, and whether it is an amount (else a count). In the order the
// statements write them.
struct TTariffValue {
    const char* Property;
    const char* Column;
    bool Amount;
};
const QVector<TTariffValue>& TariffValues();

class TSysEditTariffForm : public TRecordEditor {
    Q_OBJECT

public:
    explicit TSysEditTariffForm(QWidget* owner = nullptr);

    QLineEdit* edtID;
    TLookupCombo* cbAgreement;
    TLookupCombo* cbSupplierServiceCode;
    QCheckBox* ckSurcharge;
    QCheckBox* ckDiscount;
    QCheckBox* ckChargePeriod;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    // The input of an amount or count property ("FixedCharge" shows in
    // edtFixedCharge).
    QLineEdit* Input(const QString& property) const { return FInputs.value(property); }

    // Each setter shows the value and keeps it as the saved value.
    int ID() const { return FID; }
    void SetID(int value);
    // The chosen item's id; 0 when none is chosen, the text is erased or
    // names no item. A stored id that is not listed stays until changed.
    int AgreementID() const;
    void SetAgreementID(int value);
    int SupplierServiceCodeID() const;
    void SetSupplierServiceCodeID(int value);
    // Amounts (FixedCharge, FlagFall, MinCharge, ...): empty reads as 0; a
    // text that is no number ends the save attempt (AmountValue).
    double Amount(const QString& property) const;
    void SetAmount(const QString& property, double value);
    // Counts (ChargeIntervalSecs, MinDuration, ...): empty reads as 0; text
    // that is not a whole number raises EConvertError.
    int Count(const QString& property) const;
    void SetCount(const QString& property, int value);
    bool CheckSurcharge() const;
    void SetCheckSurcharge(bool value);
    bool CheckDiscount() const;
    void SetCheckDiscount(bool value);
    bool CheckChargePeriod() const;
    void SetCheckChargePeriod(bool value);

    void btnOkClick();

private:
    bool save(TSaveAttempt& save);

    int FID = 0;
    bool FAudited = false;
    QHash<QString, QLineEdit*> FInputs;
};
