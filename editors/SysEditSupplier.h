#pragma once
// The supplier editor: one row of tSupplier: the supplier's name, its vendor
// id in the Platinum finance system, two switches (export to Platinum, the
// ZivIruri flag) and six address lines. It checks nothing: OK writes the
// row.
//
// The caller sets SupplierID first when editing, then the row's values, then
// AppendMode.
#include "AddressLines.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class TSysEditSupplierForm : public TAddressEditor {
    Q_OBJECT
    Q_PROPERTY(QString SupplierName READ SupplierName WRITE SetSupplierName)
    Q_PROPERTY(QString PlatinumVendorID READ PlatinumVendorID WRITE SetPlatinumVendorID)
    Q_PROPERTY(bool PlatinumUpdate READ PlatinumUpdate WRITE SetPlatinumUpdate)
    Q_PROPERTY(bool ZivIruri READ ZivIruri WRITE SetZivIruri)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)

public:
    explicit TSysEditSupplierForm(QWidget* owner = nullptr);

    QLineEdit* edtSupplierName;
    QCheckBox* ckZivIruri;
    QCheckBox* ckPlatinumUpdate;
    QLineEdit* edtPlatinumVendorID;
    QLineEdit* edtID;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // Shown in edtID while editing; nothing kept.
    void SetSupplierID(const QString& value);

    // Texts: kept as stored, shown trimmed; the getters give what a save
    // takes (TextOf): the stored text untouched, else the typed one trimmed
    // and cut to its column's width.
    QString SupplierName() const;
    QString PlatinumVendorID() const;
    void SetSupplierName(const QString& v);
    void SetPlatinumVendorID(const QString& v);
    bool PlatinumUpdate() const;
    bool ZivIruri() const;
    void SetPlatinumUpdate(bool v);
    void SetZivIruri(bool v);

    bool Audited() const { return FAudited; }

    void btnOkClick();

private:
    bool saveNew(TSaveAttempt& save);
    bool saveChanges(TSaveAttempt& save);

    bool FAudited = false;
};
