#pragma once
// The service-level editor: adds or changes one row of tServiceKpi, a service
// level that services refer to. All nine values are free texts; the editor
// checks nothing, stores an empty text as NULL and cuts each text to its
// column's width.
//
// The caller sets AppendMode first, then ID and the row's values (each kept
// as the saved value, so a change writes and audits only what differs).
#include "RecordEditor.h"
#include <QVector>

class QLabel;
class QLineEdit;
class QPushButton;

class TSysEditServiceKpiForm : public TRecordEditor {
    Q_OBJECT

public:
    explicit TSysEditServiceKpiForm(QWidget* owner = nullptr);

    QLineEdit* edtKpiNumber;
    QLineEdit* edtDescription;
    QLineEdit* edtResponseHours;
    QLineEdit* edtRestorationHours;
    QLineEdit* edtAvailability;
    QLineEdit* edtCoreHours;
    QLineEdit* edtAfterHours;
    QLineEdit* edtTravelTime;
    QLineEdit* edtFaultDetect;
    QLineEdit* edtID;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // Shown only while changing a row (the caller sets the mode first).
    void SetID(const QString& value);

    // Texts: kept as stored, shown trimmed; the getters give what a save
    // takes (TextOf): the stored text untouched, else the typed one trimmed
    // and cut to its column's width.
    QString KpiNumber() const { return text(0); }
    QString Description() const { return text(1); }
    QString ResponseHours() const { return text(2); }
    QString RestorationHours() const { return text(3); }
    QString Availability() const { return text(4); }
    QString CoreHours() const { return text(5); }
    QString AfterHours() const { return text(6); }
    QString TravelTime() const { return text(7); }
    QString FaultDetect() const { return text(8); }
    void SetKpiNumber(const QString& v) { setText(0, v); }
    void SetDescription(const QString& v) { setText(1, v); }
    void SetResponseHours(const QString& v) { setText(2, v); }
    void SetRestorationHours(const QString& v) { setText(3, v); }
    void SetAvailability(const QString& v) { setText(4, v); }
    void SetCoreHours(const QString& v) { setText(5, v); }
    void SetAfterHours(const QString& v) { setText(6, v); }
    void SetTravelTime(const QString& v) { setText(7, v); }
    void SetFaultDetect(const QString& v) { setText(8, v); }

    bool Audited() const { return FAudited; }

    void btnOkClick();

private:
    struct TColumn {
        QString Name;  // the column, the property and (in capitals) the audit field
        QLineEdit* Edit;
    };
    QString text(int column) const;
    void setText(int column, const QString& v);

    bool save(TSaveAttempt& attempt);

    QVector<TColumn> m_columns;
    bool FAudited = false;
};
