#pragma once
// The customer editor: one row of tCustomer: its ShipTo code, full name,
// VNumber, status, rate, the annual fee (MaxExServiceAmount), three switches
// (export to the Platinum finance system, invoicing, invoicing of services)
// and six address lines. It checks nothing of its own; only a rate that is
// not a whole number stops a save.
//
// The caller sets CustomerID first when editing, then the row's values, then
// AppendMode.
#include "AddressLines.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class TCurrencyEdit;

class TSysEditCustomerForm : public TAddressEditor {
    Q_OBJECT
    Q_PROPERTY(QString FullName READ FullName WRITE SetFullName)
    Q_PROPERTY(QString ShipTo READ ShipTo WRITE SetShipTo)
    Q_PROPERTY(QString VNumber READ VNumber WRITE SetVNumber)
    Q_PROPERTY(QString Status READ Status WRITE SetStatus)
    Q_PROPERTY(int Rate READ Rate WRITE SetRate)
    Q_PROPERTY(bool PlatinumUpdate READ PlatinumUpdate WRITE SetPlatinumUpdate)
    Q_PROPERTY(bool Invoice READ Invoice WRITE SetInvoice)
    Q_PROPERTY(bool InvoiceServices READ InvoiceServices WRITE SetInvoiceServices)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(double MaxExServiceAmount READ MaxExServiceAmount WRITE SetMaxExServiceAmount)

public:
    explicit TSysEditCustomerForm(QWidget* owner = nullptr);

    QLineEdit* edtShipTo;  // typed letters become capitals
    QLineEdit* edtVNumber;
    QLineEdit* edtFullName;
    TCurrencyEdit* edtMaxExServiceAmount;
    QLineEdit* edtStatus;
    QLineEdit* edtRate;
    QCheckBox* ckPlatinumUpdate;
    QCheckBox* ckInvoiceServices;
    QCheckBox* ckInvoice;
    QLineEdit* edtID;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // Shown in edtID while editing; nothing kept.
    void SetCustomerID(const QString& value);

    // Texts: kept as stored, shown trimmed; the getters give what a save
    // takes (TextOf): the stored text untouched, else the typed one trimmed
    // and cut to its column's width.
    QString FullName() const;
    QString ShipTo() const;
    QString VNumber() const;
    QString Status() const;
    void SetFullName(const QString& v);
    void SetShipTo(const QString& v);
    void SetVNumber(const QString& v);
    void SetStatus(const QString& v);
    // The rate typed; a text that is not a whole number raises the
    // conversion error.
    int Rate() const;
    void SetRate(int v);
    // The amount typed; a text that is not a number ends the save attempt
    // (AmountValue).
    double MaxExServiceAmount() const;
    void SetMaxExServiceAmount(double v);
    bool PlatinumUpdate() const;
    bool Invoice() const;
    bool InvoiceServices() const;
    void SetPlatinumUpdate(bool v);
    void SetInvoice(bool v);
    void SetInvoiceServices(bool v);

    bool Audited() const { return FAudited; }

    void btnOkClick();

private:
    bool saveNew(TSaveAttempt& save);
    bool saveChanges(TSaveAttempt& save);

    bool FAudited = false;
};
