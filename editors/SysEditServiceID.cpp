#include "SysEditServiceID.h"
#include "Application.h"
#include "DataMod.h"
#include "DateFunctions.h"
#include "Formats.h"
#include "GenFns.h"
#include "LookupCombo.h"
#include "Locale.h"
#include "SqlText.h"
#include "ToolEdit.h"
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {
const QString kCaption = QStringLiteral("System File: tServiceID");

// What each reference shows and where its name is read.
struct TRefInfo {
    const char* Property;
    const char* IdEdit;
    const char* NameEdit;
    const char* NameCaption;
    const char* Table;
    const char* NameColumn;
};
const TRefInfo kRefs[kServiceRefCount] = {
    {"ServiceTypeID", "edtServiceTypeID", "edtServiceType", "ServiceType", "tServiceType", "Description"},
    {"SupplierAccountID", "edtSupplierAccountID", "edtSupplierAccount", "SupplierAccount", "tValidAccountNumber",
     "AccountNo"},
    {"LocationID", "edtLocationID", "edtLocation", "Location", "tLocation", "Description"},
    {"CustomerCentreID", "edtCustomerCentreID", "edtCustomerCentre", "CustomerCentre", "tCentre", "Description"},
    {"CustomerActivityID", "edtCustomerActivityID", "edtCustomerActivity", "CustomerActivity", "tActivity",
     "Description"},
    {"CustomerElementID", "edtCustomerElementID", "edtCustomerElement", "CustomerElement", "tElement",
     "ElementCode"},
    {"CustomerSubledgerID", "edtCustomerSubledgerID", "edtCustomerSubledger", "CustomerSubledger", "tSubledger",
     "Description"},
    {"PersonID", "edtPersonID", "edtPerson", "Person", "tPerson", "Person"},
    {"CentreID", "edtCentreID", "edtCentre", "Centre", "tCentre", "Description"},
    {"ActivityID", "edtActivityID", "edtActivity", "Activity", "tActivity", "Description"},
    {"ElementID", "edtElementID", "edtElement", "Element", "tElement", "ElementCode"},
    {"SubledgerID", "edtSubledgerID", "edtSubledger", "Subledger", "tSubledger", "Description"},
};

// The first column of the row of `table` with that id; empty when none.
QString lookUp(const QString& column, const QString& table, int id)
{
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Add(QStringLiteral("SELECT ") + column);
    q.SQL().Add(QStringLiteral("FROM ") + table);
    q.SQL().Add(QStringLiteral("WHERE id = ") + QString::number(id));
    q.Open();
    const QString value = q.IsEmpty() ? QString() : q.Fields(0)->AsString();
    q.Close();
    return value;
}

// A service level as its list shows it: number and description, a missing
// part read as empty.
QString kpiLabel(const QString& number, const QString& description)
{
    return (number + QChar(' ') + description).trimmed();
}

// The line details: the kept value's name, its column, its value in the
// details (a text or an id) and the dialog's input showing it.
struct TLineDetail {
    const char* Name;
    const char* Column;
    QString TServiceLineDetails::*Text;
    int TServiceLineDetails::*Id;
    QLineEdit* TSysServiceRecordForm::*Input;
};
using D = TServiceLineDetails;
using F = TSysServiceRecordForm;
const TLineDetail kLineDetails[] = {
    {"No", "No", &D::No, nullptr, &F::edtNo},
    {"Part", "Part", &D::Part, nullptr, &F::edtPart},
    {"Drawing", "Drawing", &D::Drawing, nullptr, &F::edtDrawing},
    {"Make", "Make", &D::Make, nullptr, &F::edtMake},
    {"Ch", "Ch", &D::Ch, nullptr, &F::edtCh},
    {"Mux", "Mux", &D::Mux, nullptr, &F::edtMux},
    {"UpMDF", "UpMDF", &D::UpMDF, nullptr, &F::edtUpMDF},
    {"UpEnd", "UpEnd", &D::UpEnd, nullptr, &F::edtUpEnd},
    {"DownMDF", "DownMDF", &D::DownMDF, nullptr, &F::edtDownMDF},
    {"DownEnd", "DownEnd", &D::DownEnd, nullptr, &F::edtDownEnd},
    {"LineLength", "Length", &D::LineLength, nullptr, &F::edtLineLength},
    {"AuthorityID", "AuthorityID", nullptr, &D::AuthorityID, &F::edtAuthorityID},
    {"ModemTypeID", "ModemTypeID", nullptr, &D::ModemTypeID, &F::edtModemTypeID},
    {"BearerID", "BearerID", nullptr, &D::BearerID, &F::edtBearerID},
    {"SpeedID", "SpeedID", nullptr, &D::SpeedID, &F::edtSpeedID},
};

// A line detail's value as the editor keeps it.
QString detailValue(const TServiceLineDetails& d, const TLineDetail& detail)
{
    return detail.Text ? d.*(detail.Text) : IdText(d.*(detail.Id));
}

// The length as the dialog shows it: a number with the regional decimal
// separator, as amounts are shown.
QString shownLength(const QString& length)
{
    return IsSqlNumber(length) ? QString(length).replace(QChar('.'), FormatSettings().DecimalSeparator) : length;
}

// A kept line-detail value as the dialog shows it.
QString shownDetail(const TLineDetail& detail, const QString& value)
{
    if (detail.Id)
        return QString::number(value.toInt());
    return detail.Text == &D::LineLength ? shownLength(value) : value.trimmed();
}
}  // namespace

// ------------------------------------------------------------ the window

TSysEditServiceIDForm::TSysEditServiceIDForm(QWidget* owner) : TRecordEditor(owner)
{
    setObjectName(QStringLiteral("SysEditServiceIDForm"));
    SetModeCaption(kCaption);
    buildForm();
    // FormCreate: the audit action ids, the two lists, the line-detail
    // dialog, and whether the table is audited.
    ReadAuditIds();
    fillLists();
    FAudited = IsTableAudited(QStringLiteral("tServiceID"));
    watchInputs();
}

void TSysEditServiceIDForm::watchInputs()
{
    WatchText(edtServiceID, QStringLiteral("ServiceID"), false);
    WatchText(edtService, QStringLiteral("Service"));
    WatchText(edtDescription, QStringLiteral("Description"));
    WatchText(edtSACCNumber, QStringLiteral("SACCNumber"));
    WatchText(edtPayType, QStringLiteral("PayType"));
    WatchText(edtJobno, QStringLiteral("Jobno"));
    WatchDate(edtInstallationDate, QStringLiteral("InstallationDate"));
    WatchDate(edtTerminationDate, QStringLiteral("TerminationDate"));
    WatchListID(cbApplication, QStringLiteral("ApplicationID"));
    WatchListID(cbKpiDescription, QStringLiteral("ServiceKpiID"));
    // An id: what it holds as a number (a text that is none is the
    // operator's); adopted, it shows the stored id and its name.
    for (int i = 0; i < kServiceRefCount; ++i) {
        const auto ref = TServiceRef(i);
        if (ref == TServiceRef::ElementID)
            continue;  // shown, never written
        const QString name = RefProperty(ref);
        QLineEdit* edit = IdEdit(ref);
        KeepInput(name, {edit,
                         [this, edit, name] {
                             int id = 0;
                             return !TryTypedIdValue(edit, id) || id != FKept.Kept(name).toInt();
                         },
                         [](const QString& v) { return v; },
                         [this, ref, edit, name](const QString& v) {
                             edit->setText(v);
                             FKept.Keep(name, v);
                             showRefName(ref, v.toInt());
                         }});
    }
    // A line detail: what a save would take from the details (from the
    // dialog after its Okay); adopted, the details hold the stored value
    // and the dialog shows it where it still showed the value it replaces.
    for (const TLineDetail& detail : kLineDetails) {
        const QString name = QLatin1String(detail.Name);
        QLineEdit* input = SysServiceRecordForm->*(detail.Input);
        const auto changed = [this, &detail, name] {
            TServiceLineDetails taken = m_details;
            if (SysServiceRecordForm->RecordStatus()) {
                try {
                    taken = takenDetails();
                } catch (const ESaveRefused&) {
                    return true;  // an id that is no number is the operator's
                }
            }
            QString now = detailValue(taken, detail);
            if (detail.Text == &D::LineLength && !lengthWritten(QString(now), now))
                return true;
            return now != FKept.Kept(name);
        };
        const auto adopt = [this, &detail, input, name](const QString& v) {
            const QString shownBefore = shownDetail(detail, FKept.Kept(name));
            if (detail.Text)
                m_details.*(detail.Text) = v;
            else
                m_details.*(detail.Id) = v.toInt();
            FKept.Keep(name, v);
            if (!m_detailsNotFilled && input->text() == shownBefore)
                input->setText(shownDetail(detail, v));
        };
        KeepInput(name, {input, changed, [&detail](const QString& v) { return shownDetail(detail, v); }, adopt});
    }
}

TStoredRow TSysEditServiceIDForm::storedRow(int id) const
{
    TStoredRow row(QStringLiteral("tServiceID"), QStringLiteral("WHERE id = ") + QString::number(id));
    row.Text(QStringLiteral("ServiceID"))
        .Text(QStringLiteral("Service"))
        .Text(QStringLiteral("Description"))
        .Text(QStringLiteral("SACCNumber"), QStringLiteral("SACCnumber"))
        .Text(QStringLiteral("PayType"))
        .Text(QStringLiteral("Jobno"), QStringLiteral("JobNo"))
        .Id(QStringLiteral("ApplicationID"))
        .Id(QStringLiteral("ServiceKpiID"))
        .Date(QStringLiteral("InstallationDate"))
        .Date(QStringLiteral("TerminationDate"));
    for (int i = 0; i < kServiceRefCount; ++i)
        if (TServiceRef(i) != TServiceRef::ElementID)
            row.Id(RefProperty(TServiceRef(i)));
    for (const TLineDetail& detail : kLineDetails) {
        const QString name = QLatin1String(detail.Name), column = QLatin1String(detail.Column);
        if (detail.Id)
            row.Id(name, column);
        else if (detail.Text == &D::LineLength)
            row.Value(name, column, [](const TField& f) { return StoredNumberText(f).trimmed(); });
        else if (detail.Text == &D::Ch)
            row.Value(name, column, [](const TField& f) { return StoredNumberText(f); });
        else
            row.Text(name, column);
    }
    return row;
}

void TSysEditServiceIDForm::buildForm()
{
    setFixedSize(700, 462);
    // A label with its input below it; inputs are made in tab order.
    const auto place = [this](QWidget* input, const QString& name, const QString& caption, int left, int top,
                              int width) {
        input->setObjectName(name);
        PlaceControl(input, left, top + 15, width, 21);
        const int prefix = name.startsWith(QLatin1String("edt")) ? 3 : 2;  // edt or cb
        QLabel* label = AddLabel(QStringLiteral("lbl") + name.mid(prefix), caption, left, top);
        label->setBuddy(input);
    };
    const auto edit = [&](const QString& name, const QString& caption, int left, int top, int width) {
        auto* e = new QLineEdit(this);
        place(e, name, caption, left, top, width);
        return e;
    };
    const auto upper = [&](const QString& name, const QString& caption, int left, int top, int width) {
        QLineEdit* e = edit(name, caption, left, top, width);
        SetUpperCase(e);
        return e;
    };
    const auto ref = [&](TServiceRef r, int left, int top) {
        const TRefInfo& info = kRefs[int(r)];
        TRefInputs& inputs = m_refs[int(r)];
        inputs.Id = edit(QLatin1String(info.IdEdit), QLatin1String(info.Property), left, top, 132);
        inputs.Name = edit(QLatin1String(info.NameEdit), QLatin1String(info.NameCaption), left + 140, top, 196);
        inputs.Name->setEnabled(false);
    };
    const auto shown = [&](const QString& name, const QString& caption, int left, int top) {
        QLineEdit* e = edit(name, caption, left, top, 80);
        e->setEnabled(false);
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    const auto row = [](int r) { return 8 + 44 * r + (r >= 5 ? 8 : 0); };
    constexpr int right = 356;

    edtID = edit(QStringLiteral("edtID"), QStringLiteral("ID"), 8, row(0), 60);
    edtID->setEnabled(false);
    edtServiceID = upper(QStringLiteral("edtServiceID"), QStringLiteral("ServiceID"), 76, row(0), 130);
    edtService = upper(QStringLiteral("edtService"), QStringLiteral("Service"), 214, row(0), 130);
    edtSACCNumber = upper(QStringLiteral("edtSACCNumber"), QStringLiteral("SACC"), right, row(0), 150);
    edtPayType = upper(QStringLiteral("edtPayType"), QStringLiteral("PayType"), 514, row(0), 50);
    edtServiceCode = upper(QStringLiteral("edtServiceCode"), QStringLiteral("ServiceCode"), 572, row(0), 120);
    edtServiceCode->setEnabled(false);

    edtDescription = upper(QStringLiteral("edtDescription"), QStringLiteral("Description"), 8, row(1), 336);
    ref(TServiceRef::ServiceTypeID, right, row(1));
    cbApplication = new TLookupCombo(this);
    cbApplication->SetEditable(true);
    place(cbApplication, QStringLiteral("cbApplication"), QStringLiteral("Application"), 8, row(2), 336);
    ref(TServiceRef::SupplierAccountID, right, row(2));
    edtInstallationDate = new TDateEdit(this);
    place(edtInstallationDate, QStringLiteral("edtInstallationDate"), QStringLiteral("Installation Date"), 8,
          row(3), 110);
    edtTerminationDate = new TDateEdit(this);
    place(edtTerminationDate, QStringLiteral("edtTerminationDate"), QStringLiteral("Termination Date"), 126, row(3),
          110);
    edtJobno = upper(QStringLiteral("edtJobno"), QStringLiteral("Job Number"), 244, row(3), 100);
    ref(TServiceRef::LocationID, right, row(3));
    cbKpiDescription = new TLookupCombo(this);
    cbKpiDescription->SetEditable(true);
    place(cbKpiDescription, QStringLiteral("cbKpiDescription"), QStringLiteral("KPI Description"), 8, row(4), 336);
    ref(TServiceRef::PersonID, right, row(4));

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("bvlAllocation"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, row(5) - 8, 684, 4);
    ref(TServiceRef::CustomerCentreID, 8, row(5));
    ref(TServiceRef::CentreID, right, row(5));
    ref(TServiceRef::CustomerActivityID, 8, row(6));
    ref(TServiceRef::ActivityID, right, row(6));
    ref(TServiceRef::CustomerElementID, 8, row(7));
    ref(TServiceRef::ElementID, right, row(7));
    IdEdit(TServiceRef::ElementID)->setEnabled(false);
    ref(TServiceRef::CustomerSubledgerID, 8, row(8));
    ref(TServiceRef::SubledgerID, right, row(8));

    edtCurrentRent = shown(QStringLiteral("edtCurrentRent"), QStringLiteral("CurrentRent"), 8, row(9));
    edtCurrentCalls = shown(QStringLiteral("edtCurrentCalls"), QStringLiteral("Current Calls"), 96, row(9));
    edtPreviousRent = shown(QStringLiteral("edtPreviousRent"), QStringLiteral("Previous Rent"), 184, row(9));
    edtPreviousCalls = shown(QStringLiteral("edtPreviousCalls"), QStringLiteral("Previous Calls"), 272, row(9));

    const int buttons = row(9) + 14;
    btnDetails = AddButton(QStringLiteral("btnDetails"), QStringLiteral("&Details"), right, buttons);
    btnSave = AddButton(QStringLiteral("btnSave"), QStringLiteral("&Save"), 440, buttons);
    btnOk = AddButton(QStringLiteral("btnOk"), QStringLiteral("&Ok"), 528, buttons);
    btnOk->setDefault(true);
    btnCancel = AddButton(QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), 617, buttons);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { SetModalResult(mrCancel); });
    connect(btnDetails, &QPushButton::clicked, this, Guarded([this] { btnDetailsClick(); }));
    ScaleToFont(this);

    // The line-detail dialog: hidden until Details, closed with this window.
    SysServiceRecordForm = new TSysServiceRecordForm(this);
    SysServiceRecordForm->hide();
    edtServiceID->setFocus();
}

void TSysEditServiceIDForm::fillLists()
{
    cbApplication->Fill({QStringLiteral("SELECT *"), QStringLiteral("FROM tApplication"),
                         QStringLiteral("WHERE Active = 1"), QStringLiteral("ORDER BY Description")},
                        QStringLiteral("Description"));
    // The service levels: a blank item first, so none can be chosen.
    cbKpiDescription->ClearItems();
    cbKpiDescription->AddItem(QString(), 0);
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Assign(QStringList{QStringLiteral("SELECT ID, KpiNumber, Description"), QStringLiteral("FROM tServiceKPI"),
                    QStringLiteral("WHERE Active = 1"), QStringLiteral("ORDER BY KpiNumber")});
    q.Open();
    // A service level whose id does not fit is not listed.
    int id = 0;
    for (; !q.Eof(); q.Next())
        if (q.FieldByName(QStringLiteral("ID"))->TryAsInteger(id))
            cbKpiDescription->AddItem(kpiLabel(q.FieldByName(QStringLiteral("KpiNumber"))->AsString(),
                                               q.FieldByName(QStringLiteral("Description"))->AsString()),
                                      id);
    q.Close();
}

// ------------------------------------------------------------ properties

int TSysEditServiceIDForm::ID() const
{
    const QString text = edtID->text().trimmed();
    return text.isEmpty() ? 0 : StrToInt(text);
}

void TSysEditServiceIDForm::SetID(qint64 value)
{
    KeepText(edtID, QStringLiteral("ID"), value == 0 ? QString() : QString::number(value));
}

QString TSysEditServiceIDForm::ServiceID() const
{
    return TextOf(edtServiceID);
}

void TSysEditServiceIDForm::SetServiceID(const QString& value)
{
    KeepText(edtServiceID, QStringLiteral("ServiceID"), value, false);
}

QString TSysEditServiceIDForm::Service() const
{
    return TextOf(edtService);
}

void TSysEditServiceIDForm::SetService(const QString& value)
{
    edtService->setText(value);
}

void TSysEditServiceIDForm::SetServiceName(const QString& value)
{
    KeepText(edtService, QStringLiteral("Service"), value);
}

QString TSysEditServiceIDForm::Description() const
{
    return TextOf(edtDescription);
}

void TSysEditServiceIDForm::SetDescription(const QString& value)
{
    KeepText(edtDescription, QStringLiteral("Description"), value);
}

QString TSysEditServiceIDForm::SACCNumber() const
{
    return TextOf(edtSACCNumber);
}

void TSysEditServiceIDForm::SetSACCNumber(const QString& value)
{
    KeepText(edtSACCNumber, QStringLiteral("SACCNumber"), value);
}

QString TSysEditServiceIDForm::PayType() const
{
    return TextOf(edtPayType);
}

void TSysEditServiceIDForm::SetPayType(const QString& value)
{
    KeepText(edtPayType, QStringLiteral("PayType"), value);
}

QString TSysEditServiceIDForm::Jobno() const
{
    return TextOf(edtJobno);
}

void TSysEditServiceIDForm::SetJobno(const QString& value)
{
    KeepText(edtJobno, QStringLiteral("Jobno"), value);
}

QString TSysEditServiceIDForm::ServiceCode() const
{
    return edtServiceCode->text().trimmed();
}

void TSysEditServiceIDForm::SetServiceCode(const QString& value)
{
    edtServiceCode->setText(value.trimmed());
    edtServiceCode->home(false);  // a long text shows its beginning
}

QString TSysEditServiceIDForm::RefProperty(TServiceRef ref)
{
    return QLatin1String(kRefs[int(ref)].Property);
}

int TSysEditServiceIDForm::RefID(TServiceRef ref) const
{
    return TypedIdValue(IdEdit(ref), RefProperty(ref));
}

void TSysEditServiceIDForm::SetRefID(TServiceRef ref, int value)
{
    IdEdit(ref)->setText(QString::number(value));
    FKept.Keep(RefProperty(ref), IdText(value));
}

void TSysEditServiceIDForm::SetRefName(TServiceRef ref, const QString& value)
{
    NameEdit(ref)->setText(value.trimmed());
    NameEdit(ref)->home(false);
}

int TSysEditServiceIDForm::ApplicationID() const
{
    return cbApplication->ID();
}

void TSysEditServiceIDForm::SetApplicationID(int value)
{
    // An inactive application shows its own description.
    KeepListID(cbApplication, QStringLiteral("ApplicationID"), value,
               [value] { return lookUp(QStringLiteral("Description"), QStringLiteral("tApplication"), value); });
}

int TSysEditServiceIDForm::ServiceKpiID() const
{
    return cbKpiDescription->ID();
}

void TSysEditServiceIDForm::SetServiceKpiID(int value)
{
    KeepListID(cbKpiDescription, QStringLiteral("ServiceKpiID"), value, [value] {
        return kpiLabel(lookUp(QStringLiteral("KpiNumber"), QStringLiteral("tServiceKPI"), value),
                        lookUp(QStringLiteral("Description"), QStringLiteral("tServiceKPI"), value));
    });
}

namespace {
QString currText(double value)
{
    return FloatToStr(RoundHalfEven(value, 4));
}
}  // namespace

void TSysEditServiceIDForm::SetCurrentRent(double value)
{
    edtCurrentRent->setText(currText(value));
}

void TSysEditServiceIDForm::SetCurrentCalls(double value)
{
    edtCurrentCalls->setText(currText(value));
}

void TSysEditServiceIDForm::SetPreviousRent(double value)
{
    edtPreviousRent->setText(currText(value));
}

void TSysEditServiceIDForm::SetPreviousCalls(double value)
{
    edtPreviousCalls->setText(currText(value));
}

TDateTime TSysEditServiceIDForm::InstallationDate() const
{
    return edtInstallationDate->Date();
}

void TSysEditServiceIDForm::SetInstallationDate(TDateTime value)
{
    KeepDate(edtInstallationDate, QStringLiteral("InstallationDate"), value);
}

TDateTime TSysEditServiceIDForm::TerminationDate() const
{
    return edtTerminationDate->Date();
}

void TSysEditServiceIDForm::SetTerminationDate(TDateTime value)
{
    KeepDate(edtTerminationDate, QStringLiteral("TerminationDate"), value);
}

void TSysEditServiceIDForm::SetLineDetails(const TServiceLineDetails& details)
{
    m_details = details;
    m_details.LineLength = m_details.LineLength.trimmed();
    for (const TLineDetail& detail : kLineDetails)
        FKept.Keep(QLatin1String(detail.Name), detailValue(m_details, detail));
}

QString TSysEditServiceIDForm::StoredNumberText(const TField& field)
{
    if (field.IsNull())
        return QString();
    return field.IsNumeric() ? SqlFloat(field.AsFloat()) : field.AsString();
}

// ------------------------------------------------------------ handlers

void TSysEditServiceIDForm::btnOkClick()
{
    SaveServiceID(false);
}

void TSysEditServiceIDForm::btnSaveClick()
{
    SaveServiceID(true);
}

bool TSysEditServiceIDForm::SaveServiceID(bool stay)
{
    TSaveResult result;
    const bool adding = AppendMode();
    if (!RunSave([&](TSaveAttempt& attempt) {
            result = TSaveResult();
            save(attempt, result);
            // Staying, the window goes on with a new row as a change of it.
            if (stay)
                RefuseIdBeyondEditors(result.NewId);
            return !stay;
        }))
        return false;
    // Written: the window shows and keeps what the row now holds, and an
    // addition goes on as a change of the new row.
    if (!result.DefaultService.isEmpty())
        SetService(result.DefaultService);
    if (adding) {
        SetID(result.NewId);
        SetAppendMode(false);
    }
    if (stay)
        RunGuarded([this] { RefreshLookupNames(); });
    FKept.KeepAll(result.Written);
    TextsShownAsKept();
    return true;
}

void TSysEditServiceIDForm::RefreshLookupNames()
{
    for (int i = 0; i < kServiceRefCount; ++i) {
        const auto ref = TServiceRef(i);
        const int id = RefID(ref);
        if (IdText(id) == FKept.Kept(RefProperty(ref)))
            continue;
        SetRefID(ref, id);
        showRefName(ref, id);
    }
}

void TSysEditServiceIDForm::showRefName(TServiceRef ref, int id)
{
    const TRefInfo& info = kRefs[int(ref)];
    SetRefName(ref, id == 0 ? QString() : lookUp(QLatin1String(info.NameColumn), QLatin1String(info.Table), id));
}

void TSysEditServiceIDForm::btnDetailsClick()
{
    TSysServiceRecordForm* dialog = SysServiceRecordForm;
    if (m_detailsNotFilled) {
        UpdateDetailsForm();
        // First shown beside the editor, within the screen.
        QPoint at = frameGeometry().topRight() + QPoint(8, 0);
        if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            at.setX(qMax(area.left(), qMin(at.x(), area.right() - dialog->frameGeometry().width())));
            at.setY(qMax(area.top(), qMin(at.y(), area.bottom() - dialog->frameGeometry().height())));
        }
        dialog->move(at);
    }
    m_detailsNotFilled = false;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TSysEditServiceIDForm::UpdateDetailsForm()
{
    SysServiceRecordForm->SetFormCaptionName(ServiceID());
    TServiceLineDetails shown = m_details;
    shown.LineLength = shownLength(m_details.LineLength);
    SysServiceRecordForm->SetDetails(shown);
}

void TSysEditServiceIDForm::RetrieveDetails()
{
    // The operator's values, not the saved ones: the save compares with
    // what the main window set.
    m_details = takenDetails();
}

TServiceLineDetails TSysEditServiceIDForm::takenDetails() const
{
    // The dialog shows texts trimmed: one it gives back as it showed it
    // stays as held.
    TServiceLineDetails back = SysServiceRecordForm->Details();
    for (const TLineDetail& detail : kLineDetails)
        if (detail.Text && back.*(detail.Text) == shownDetail(detail, m_details.*(detail.Text)))
            back.*(detail.Text) = m_details.*(detail.Text);
    return back;
}

QVector<TRecordEditor::TInputText> TSysEditServiceIDForm::InputTexts() const
{
    QVector<TInputText> texts = TRecordEditor::InputTexts();
    // What a save writes: the values the dialog gave back after its Okay,
    // else those the main window set.
    for (const TLineDetail& detail : kLineDetails) {
        if (!detail.Text)
            continue;
        QLineEdit* input = SysServiceRecordForm->*(detail.Input);
        const QString stored = FKept.Kept(QLatin1String(detail.Name));
        const QString& now = m_details.*(detail.Text);
        texts.append({TSysServiceRecordForm::InputName(input), input, now, stored, !FAppendMode && now == stored});
    }
    return texts;
}

QString TSysEditServiceIDForm::RefusedInputName(const QWidget* input) const
{
    return input->window() == SysServiceRecordForm ? TSysServiceRecordForm::InputName(input)
                                                   : TRecordEditor::RefusedInputName(input);
}

void TSysEditServiceIDForm::ShowRefusedInput(QWidget* input)
{
    if (input->window() != SysServiceRecordForm) {
        TRecordEditor::ShowRefusedInput(input);
        return;
    }
    btnDetailsClick();
    input->setFocus();
}
