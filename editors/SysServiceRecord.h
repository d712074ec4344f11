#pragma once
// The service line-detail dialog: the physical line of one service (the
// distribution frame ends up and down the line, its length, number, part,
// drawing, make, channel and multiplexer, the bearer, speed, modem type and
// authority with their names, and three cost values, which it only shows:
// no statement writes them).
//
// The service id editor owns it and shows it beside itself, modeless, so the
// operator can use both. It takes the values in (SetDetails) and hands them
// back (Details); it reads no table and writes none. Okay sets RecordStatus
// and hides the dialog, Cancel (or Esc) clears it and hides it; the close box
// only hides it. The editor takes the values back at its next save only when
// RecordStatus is set.
#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;
class TCurrencyEdit;

// The line details as the editor holds them and the dialog shows them.
struct TServiceLineDetails {
    QString No;
    QString Part;
    QString LineLength;
    QString UpMDF;
    QString UpEnd;
    QString DownMDF;
    QString DownEnd;
    double Cost = 0;
    double Cost100 = 0;
    double Invoiced = 0;
    QString Drawing;
    int AuthorityID = 0;
    QString AuthorityName;
    int ModemTypeID = 0;
    QString ModemTypeName;
    int BearerID = 0;
    QString BearerName;
    int SpeedID = 0;
    QString SpeedName;
    QString Make;
    QString Ch;
    QString Mux;
};

// An id typed as text: 0 when blank, else a whole number (a minus sign
// allowed); false for anything else.
bool TryTypedIdValue(const QLineEdit* edit, int& id);
// The same, ending the save attempt with "<property> MUST be an integer."
// for a text that is no whole number.
int TypedIdValue(const QLineEdit* edit, const QString& property);

class TSysServiceRecordForm : public QDialog {
    Q_OBJECT
public:
    explicit TSysServiceRecordForm(QWidget* owner = nullptr);

    QLineEdit* edtNo;
    QLineEdit* edtPart;
    QLineEdit* edtDrawing;
    QLineEdit* edtMake;
    QLineEdit* edtCh;
    QLineEdit* edtMux;
    QLineEdit* edtUpMDF;
    QLineEdit* edtUpEnd;
    QLineEdit* edtDownMDF;
    QLineEdit* edtDownEnd;
    QLineEdit* edtLineLength;
    TCurrencyEdit* edtCost;
    TCurrencyEdit* edtCost100;
    TCurrencyEdit* edtInvoiced;
    QLineEdit* edtBearerID;
    QLineEdit* edtBearername;
    QLineEdit* edtSpeedID;
    QLineEdit* edtSpeedName;
    QLineEdit* edtModemTypeID;
    QLineEdit* edtModemTypeName;
    QLineEdit* edtAuthorityID;
    QLineEdit* edtAuthorityName;
    QComboBox* cbMnemonic;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // True after Okay, false after Cancel and at creation.
    bool RecordStatus() const { return FRecordStatus; }
    void SetRecordStatus(bool value) { FRecordStatus = value; }

    // The caption is "Service Record for " and the trimmed value; the getter
    // gives the text after that, at most 20 characters.
    QString FormCaptionName() const;
    void SetFormCaptionName(const QString& value);

    // Every text is trimmed on the way in and out; an id shows as its
    // decimal text. The three amounts are shown as given, to be read only,
    // and given back as they came.
    void SetDetails(const TServiceLineDetails& details);
    // Ends the save attempt when an id input holds no whole number, naming
    // the input (RefuseInput).
    TServiceLineDetails Details() const;

    // An input of the dialog as the operator reads its name in a message:
    // "Details, " and its label ("Details, Line Length").
    static QString InputName(const QWidget* input);
    // Ends the save attempt with "Details, <label>: " and the message; the
    // dialog is then shown again with the focus on the input.
    [[noreturn]] static void RefuseInput(QLineEdit* input, const QString& message);

    void btnOkClick();
    void btnCancelClick();

protected:
    // Esc is Cancel.
    void reject() override { btnCancelClick(); }
    // The close box hides the dialog and leaves RecordStatus as it was.
    void closeEvent(QCloseEvent* event) override;

private:
    bool FRecordStatus = false;
    double m_amounts[3] = {};  // Cost, Cost100 and Invoiced as given
};
