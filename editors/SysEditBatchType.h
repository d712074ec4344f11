#pragma once
// The batch type editor: one row of tBatchType, the kind of a supplier's
// billing batch: its supplier, data source type, program type and report
// group, which of the batch's summary fields are displayed and under which
// names, which critical and dubious tests run on it, and what its fifteen
// variables mean. It checks nothing: OK writes the row. A change first reads
// the row again as stored now: a value another operator changed meanwhile
// and this one left alone is kept as stored, one both changed refuses the
// save (RecordEditor.h).
//
// The caller sets BatchTypeID first when editing, then the row's values (the
// tests as two flag strings), then AppendMode.
#include "RecordEditor.h"
#include <array>

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class TLookupCombo;

class TSysEditBatchTypeForm : public TRecordEditor {
    Q_OBJECT
    Q_PROPERTY(QString Description READ Description WRITE SetDescription)
    Q_PROPERTY(int SupplierID READ SupplierID WRITE SetSupplierID)
    Q_PROPERTY(int ProgramID READ ProgramID WRITE SetProgramID)
    Q_PROPERTY(QString SupplierDisplayedName READ SupplierDisplayedName WRITE SetSupplierDisplayedName)
    Q_PROPERTY(int ReportGroupID READ ReportGroupID WRITE SetReportGroupID)
    Q_PROPERTY(int DataSourceTypeID READ DataSourceTypeID WRITE SetDataSourceTypeID)
    Q_PROPERTY(QString Critical1To15 READ Critical1To15 WRITE SetCritical1To15)
    Q_PROPERTY(QString Dubious1To15 READ Dubious1To15 WRITE SetDubious1To15)

public:
    // The display flags, in the order the window declares them (and the
    // order of their columns).
    enum TDisplayFlag {
        AccountNo, InvoiceNo, TotalRevenue, TotalPayable, TotalCredits, OpeningBalance, PaymentsReceived,
        TotalAdjustments, BatchStart, BatchEnd, PaymentDate, CreditsToCustomers, GST, GSTAdjustment, OrderNumber,
        RequisitionNumber, IssueDate, RentDates, CallDates, Rounding, TenderNumber, MultiManual, EarlyRevenue,
    };
    static constexpr int kDisplayFlags = EarlyRevenue + 1;
    static constexpr int kTests = 15;
    static constexpr int kVariables = 15;

    struct TDisplayFlagInfo {
        const char* Property;  // the flag's property; its name's is Property + "Name"
        const char* Caption;   // of its check box
        const char* Column;    // the flag's column; the name's is Property + "Name"
        bool Named;            // it has a displayed name
    };
    static const TDisplayFlagInfo& FlagInfo(int flag);

    explicit TSysEditBatchTypeForm(QWidget* owner = nullptr);

    QLineEdit* edtID;
    QLineEdit* edtDescription;
    TLookupCombo* cbSupplier;
    TLookupCombo* cbDataSourceType;
    TLookupCombo* cbProgram;
    TLookupCombo* cbReportGroup;
    QLineEdit* edtSupplierDisplayedName;
    std::array<QCheckBox*, kDisplayFlags> ckFlag{};    // ckAccountNo .. ckPrelimRevenue
    std::array<QLineEdit*, kDisplayFlags> edtName{};   // edtAccountNo ..; null for unnamed flags
    std::array<QLineEdit*, kVariables> edtVar{};       // edtVar01 ..
    QFrame* panelCritical;
    QFrame* panelDubious;
    std::array<QCheckBox*, kTests> ckCritical{};       // ckCritical01 ..
    std::array<QCheckBox*, kTests> ckDubious{};        // ckDubious01 ..
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // Shown in edtID while editing; nothing kept.
    void SetBatchTypeID(const QString& value);

    // Texts are kept as stored and shown trimmed; the getters give what a
    // save takes (TextOf).
    QString Description() const;
    void SetDescription(const QString& v);
    QString SupplierDisplayedName() const;
    void SetSupplierDisplayedName(const QString& v);
    // Ids: the list shows the row of the id; 0 when none is chosen.
    int SupplierID() const;
    int ProgramID() const;
    int ReportGroupID() const;
    int DataSourceTypeID() const;
    void SetSupplierID(int v);
    void SetProgramID(int v);
    void SetReportGroupID(int v);
    void SetDataSourceTypeID(int v);
    bool Flag(TDisplayFlag flag) const;
    void SetFlag(TDisplayFlag flag, bool v);
    // The displayed name of a named flag (empty for the others).
    QString FlagName(TDisplayFlag flag) const;
    void SetFlagName(TDisplayFlag flag, const QString& v);
    // Variable n (1 to 15): its description.
    void SetVar(int n, const QString& v);
    // The tests as flag strings: box NN checked when character NN is there
    // and not "0"; the boxes' states are kept.
    QString Critical1To15() const { return FCritical1To15; }
    QString Dubious1To15() const { return FDubious1To15; }
    void SetCritical1To15(const QString& v);
    void SetDubious1To15(const QString& v);

    bool Audited() const { return FAudited; }

    void btnOkClick();

private:
    void setId(TLookupCombo* combo, const QString& name, int v);
    // How a save meets the id a list showed with the id stored now.
    void watchId(TLookupCombo* combo, const QString& name);
    void setTests(std::array<QCheckBox*, kTests>& boxes, const QString& column, QString& stored, const QString& v);
    bool saveNew(TSaveAttempt& save);
    bool saveChanges(TSaveAttempt& save);

    QString FCritical1To15;
    QString FDubious1To15;
    bool FAudited = false;
};
