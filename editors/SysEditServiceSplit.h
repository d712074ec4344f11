#pragma once
// The service split editor: a service (a tServiceID row) can be invoiced to
// several customers. Its split is its active tServiceSplit rows, each naming
// a customer and that customer's share, in whole percent, of the service's
// rental, call and other charges; over the rows each share totals 100.
//
// The window edits one service's split in ten rows. Adding creates the split
// of a service that has none; editing changes the rows of a service that has
// one, adds rows typed into blank lines and retires (Active = 0) the rows
// whose customer is cleared. Every row is checked before any is written, and
// all rows are written in one transaction; a save never leaves the service's
// active shares totalling anything but 100.
//
// The customers can run to a million: one list, read in one pass, stands
// behind all ten ShipTo rows.
#include "RecordEditor.h"
#include <QVector>

class QLineEdit;
class TLookupCombo;
class TLookupList;

class TSplitForm : public TRecordEditor {
    Q_OBJECT

public:
    static constexpr int kRows = 10;

    explicit TSplitForm(QWidget* owner = nullptr);

    TLookupCombo* cbServiceID;
    QLineEdit* dbedtServiceDescription;
    QLineEdit* edtItem[kRows];
    TLookupCombo* cbShipTo[kRows];
    QLineEdit* edtRent[kRows];
    QLineEdit* edtCalls[kRows];
    QLineEdit* edtOther[kRows];
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // Lists the services that can be chosen: adding, those without a split
    // (the list can be used); editing, those with one (the list cannot).
    // Adds " (ADD)" or " (EDIT)" to the caption.
    void SetAppendMode(bool value) override;

    // The service whose split is edited. Setting it shows the service (when
    // adding and it is not listed, the first listed one) and loads its split
    // into the rows. Adding writes for the service shown; editing for the
    // service set.
    int ServiceID() const;
    void SetServiceID(int value);

    void btnOkClick();

private:
    // A split row as loaded: id 0 for a blank line. Shown is what its
    // ShipTo row shows: the customer's ShipTo, or for a customer no longer
    // on file (or without a ShipTo) a text naming its id, so that the row
    // still counts and can be cleared.
    struct TLoadedSplit {
        int ID = 0;
        int CustomerID = 0;
        bool OnFile = false;  // the customer is on file with a ShipTo
        QString Shown, Rent, Calls, Other;
    };
    // One line as the operator left it, checked.
    struct TSplitLine {
        QString ShipTo;
        int CustomerID = 0;
        QString Rent, Calls, Other;  // whole numbers, or empty
    };

    void LoadSplits(int service);
    // The ShipTo of a customer: as listed, else as on file (empty for none).
    QString customerShipTo(int customer) const;
    // A loaded row's customer and what its ShipTo row shows for it.
    static void SetCustomer(TLoadedSplit& split, int customer, const QString& shipTo);
    // Whether line i names the customer it was loaded with no longer on
    // file (its ShipTo row shows the loaded text): the row keeps it.
    bool KeptOffFile(int i, const QString& shipTo) const;
    // The kept values of line i (ShipTo<n> the customer's id, Rent<n>,
    // Calls<n>, Other<n>) as loaded.
    void KeepLoaded(int i);
    // How a save meets another operator's change: each line's inputs.
    void WatchLines();
    // Inside an edit's save, before anything is written: the service's
    // active split rows read again under the write's lock and met with the
    // loaded ones, by id. A row another retired or removed is no longer
    // written (nor shown); one the operator changed refuses the save.
    void KeepUpWithStoredSplit(TSaveAttempt& attempt);
    // The services of the mode, each once, in ServiceID order.
    void ListServices(bool adding);
    // Checks every line (customer known, whole non-negative shares, each
    // total exactly 100 with the rows beyond the tenth) and gives them; a
    // failed check refuses the save.
    QVector<TSplitLine> CheckLines();
    bool save(TSaveAttempt& save);
    // A new split row for the service, audited with the INSERT's id.
    void InsertSplit(TSaveAttempt& attempt, const QString& service, const TSplitLine& line);
    void showDescription();

    bool FAudited = false;
    int FServiceID = 0;    // the service set
    int FListed = -1;      // the mode the services are listed for (1 adding, 0 editing)
    TLookupList* FCustomers;
    TLoadedSplit FLoaded[kRows];
    // The shares of the loaded rows beyond the tenth, which the window
    // neither shows nor changes: Rent, Calls, Other.
    qint64 FUnshown[3] = {0, 0, 0};
};
