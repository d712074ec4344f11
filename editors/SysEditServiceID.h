#pragma once
// The service id editor: adds or changes one row of tServiceID, a service's
// id text with its service type, the customer's cost centre, activity,
// element and subledger, a second centre, activity and subledger, location,
// contact person, supplier account, application, service level, dates, job
// number and the line details of its physical line.
//
// The caller sets the row's values (each kept as the saved value, so a save
// writes and audits only what changed), then AppendMode. Save writes and
// keeps the window open; after it the written values are the saved ones and
// an addition goes on as a change of the new row. The line details are
// edited in the line-detail dialog (Details), which stays beside the editor;
// its values come back at the next save after its Okay.
#include "RecordEditor.h"
#include "SysServiceRecord.h"
#include "SysUtils.h"
#include <QHash>
#include <QVector>

class QLineEdit;
class QPushButton;
class TDateEdit;
class TLookupCombo;

// The ids shown with a name beside them, in the order the names are read
// again after a Save.
enum class TServiceRef {
    ServiceTypeID,
    SupplierAccountID,
    LocationID,
    CustomerCentreID,
    CustomerActivityID,
    CustomerElementID,
    CustomerSubledgerID,
    PersonID,
    CentreID,
    ActivityID,
    ElementID,  // the service type's expense element: shown, never written
    SubledgerID,
};
constexpr int kServiceRefCount = 12;

class TSysEditServiceIDForm : public TRecordEditor {
    Q_OBJECT

public:
    explicit TSysEditServiceIDForm(QWidget* owner = nullptr);

    QLineEdit* edtID;
    QLineEdit* edtServiceID;
    QLineEdit* edtService;
    QLineEdit* edtDescription;
    QLineEdit* edtSACCNumber;
    QLineEdit* edtPayType;
    QLineEdit* edtServiceCode;
    QLineEdit* edtJobno;
    TLookupCombo* cbApplication;
    TLookupCombo* cbKpiDescription;
    TDateEdit* edtInstallationDate;
    TDateEdit* edtTerminationDate;
    QLineEdit* edtCurrentRent;
    QLineEdit* edtCurrentCalls;
    QLineEdit* edtPreviousRent;
    QLineEdit* edtPreviousCalls;
    QPushButton* btnDetails;
    QPushButton* btnSave;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    // The line-detail dialog: a window of its own, owned by this one.
    TSysServiceRecordForm* SysServiceRecordForm;

    // The id input of a reference (edtServiceTypeID, ...) and the name
    // shown beside it (edtServiceType, ...).
    QLineEdit* IdEdit(TServiceRef ref) const { return m_refs[int(ref)].Id; }
    QLineEdit* NameEdit(TServiceRef ref) const { return m_refs[int(ref)].Name; }

    // The row's id: empty shown for 0.
    int ID() const;
    void SetID(qint64 value);
    // Texts: kept as stored; the getters give what a save takes (TextOf).
    // ServiceID shows its value as given; Service shows it without keeping
    // it (ServiceName keeps it); the others show the trimmed value.
    QString ServiceID() const;
    void SetServiceID(const QString& value);
    QString Service() const;
    void SetService(const QString& value);
    void SetServiceName(const QString& value);
    QString Description() const;
    void SetDescription(const QString& value);
    QString SACCNumber() const;
    void SetSACCNumber(const QString& value);
    QString PayType() const;
    void SetPayType(const QString& value);
    QString Jobno() const;
    void SetJobno(const QString& value);
    // Shown only; never written.
    QString ServiceCode() const;
    void SetServiceCode(const QString& value);

    // An id input: 0 when blank; text that is no whole number ends a save
    // attempt with "<property> MUST be an integer.".
    int RefID(TServiceRef ref) const;
    void SetRefID(TServiceRef ref, int value);
    // The name beside it, trimmed.
    void SetRefName(TServiceRef ref, const QString& value);
    static QString RefProperty(TServiceRef ref);

    // The lists: the chosen item's id, 0 for none. An id of 1 or more is
    // shown (when listed) and kept.
    int ApplicationID() const;
    void SetApplicationID(int value);
    int ServiceKpiID() const;
    void SetServiceKpiID(int value);

    // Shown only; never written.
    void SetCurrentRent(double value);
    void SetCurrentCalls(double value);
    void SetPreviousRent(double value);
    void SetPreviousCalls(double value);

    // Kept as yyyymmdd; the getters give the input's date (0 for none).
    TDateTime InstallationDate() const;
    void SetInstallationDate(TDateTime value);
    TDateTime TerminationDate() const;
    void SetTerminationDate(TDateTime value);

    // The line details as the main window sets them: shown in the dialog
    // and kept, so a save without a visit to the dialog writes them back
    // unchanged, texts as stored (the length trimmed).
    const TServiceLineDetails& LineDetails() const { return m_details; }
    void SetLineDetails(const TServiceLineDetails& details);
    // A number column of the line details (Length, Ch) as the editor keeps
    // and writes it: "." as the decimal point whatever the locale; empty for
    // none.
    static QString StoredNumberText(const TField& field);

    bool Audited() const { return FAudited; }
    // The saved value of a property, as the save compares with it.
    QString Kept(const QString& property) const { return FKept.Kept(property); }

    // OK: saves and closes. Save: saves and stays, the names beside changed
    // ids read again. Details: shows the line-detail dialog (filled from
    // the editor the first time).
    void btnOkClick();
    void btnSaveClick();
    void btnDetailsClick();
    // The dialog's values from the editor's, and back.
    void UpdateDetailsForm();
    void RetrieveDetails();
    // The names of the ids whose value differs from the saved one, read
    // again; the ids kept as they are now.
    void RefreshLookupNames();

protected:
    // The line-detail texts count among the inputs' texts, named after the
    // dialog ("Details, Up MDF"); a refused one shows the dialog again on it.
    QVector<TInputText> InputTexts() const override;
    void ShowRefusedInput(QWidget* input) override;
    QString RefusedInputName(const QWidget* input) const override;

private:
    struct TRefInputs {
        QLineEdit* Id = nullptr;
        QLineEdit* Name = nullptr;
    };

    // One save attempt; the values written go to `written` (property name
    // to the text now saved) and a new row's id to `newId`. What the window
    // shows changes only after the attempt committed.
    struct TSaveResult {
        QHash<QString, QString> Written;
        qint64 NewId = 0;
        QString DefaultService;  // the Service made from the ServiceID, if any
    };
    bool SaveServiceID(bool stay);
    void save(TSaveAttempt& attempt, TSaveResult& result);
    // The row as a change reads it again: every column the editor writes.
    TStoredRow storedRow(int id) const;
    // The line details a save takes from the dialog after its Okay: texts
    // the dialog gives back as it showed them stay as stored.
    TServiceLineDetails takenDetails() const;
    // The length a save writes for the text the details hold: a number with
    // "." as its point, the stored text where it is the same number; false
    // for a text that is no number.
    bool lengthWritten(const QString& given, QString& length) const;
    // What a change meets another operator's change with: the inputs of the
    // texts, dates, lists and ids, and the dialog's inputs of the line
    // details.
    void watchInputs();
    // The name beside an id, read again (none for 0).
    void showRefName(TServiceRef ref, int id);

    void buildForm();
    void fillLists();

    TRefInputs m_refs[kServiceRefCount];
    TServiceLineDetails m_details;
    bool m_detailsNotFilled = true;
    bool FAudited = false;
};
