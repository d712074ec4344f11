#include "SysServiceRecord.h"
#include "CurrEdit.h"
#include "Formats.h"
#include "RecordEditor.h"
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

namespace {
const QString kCaption = QStringLiteral("Service Record for ");

QString idText(int id)
{
    return QString::number(id);
}
}  // namespace

bool TryTypedIdValue(const QLineEdit* edit, int& id)
{
    id = 0;
    QString text = edit->text().trimmed();
    if (text.isEmpty())
        return true;
    const bool negative = text.startsWith(QChar('-'));
    if (negative)
        text.remove(0, 1);
    // Digits only, within a 32-bit integer.
    if (text.isEmpty() || !ParseIdText(text, id))
        return false;
    if (negative)
        id = -id;
    return true;
}

int TypedIdValue(const QLineEdit* edit, const QString& property)
{
    int id = 0;
    if (!TryTypedIdValue(edit, id))
        Refuse(property + QStringLiteral(" MUST be an integer."));
    return id;
}

TSysServiceRecordForm::TSysServiceRecordForm(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("SysServiceRecordForm"));
    setWindowTitle(kCaption);
    setFixedSize(372, 486);

    // A label with its input below it, both named; in tab order.
    const auto place = [this](QWidget* input, const char* name, const char* labelName, const QString& caption,
                              int left, int top, int width) {
        input->setObjectName(QLatin1String(name));
        PlaceControl(input, left, top + 15, width, 21);
        auto* label = new QLabel(caption, this);
        label->setObjectName(QLatin1String(labelName));
        label->move(left, top);
        label->adjustSize();
        label->setBuddy(input);
    };
    const auto edit = [&](const char* name, const char* labelName, const QString& caption, int left, int top,
                          int width) {
        auto* e = new QLineEdit(this);
        place(e, name, labelName, caption, left, top, width);
        return e;
    };
    const auto money = [&](const char* name, const char* labelName, const QString& caption, int left, int top) {
        auto* e = new TCurrencyEdit(this);
        place(e, name, labelName, caption, left, top, 112);
        return e;
    };

    edtNo = edit("edtNo", "lblNo", QStringLiteral("No"), 8, 8, 88);
    edtPart = edit("edtPart", "lblPart", QStringLiteral("Part"), 104, 8, 40);
    edtDrawing = edit("edtDrawing", "lblDrawing", QStringLiteral("Drawing"), 152, 8, 100);
    edtMake = edit("edtMake", "lblMake", QStringLiteral("Make"), 260, 8, 104);
    edtCh = edit("edtCh", "lblCh", QStringLiteral("Ch"), 8, 52, 88);
    edtMux = edit("edtMux", "lblMux", QStringLiteral("Mux"), 104, 52, 88);
    edtLineLength = edit("edtLineLength", "lblLineLength", QStringLiteral("Line Length"), 200, 52, 88);
    edtUpMDF = edit("edtUpMDF", "lblUpMDF", QStringLiteral("Up MDF"), 8, 96, 88);
    edtUpEnd = edit("edtUpEnd", "lblUpEnd", QStringLiteral("Up End"), 104, 96, 260);
    edtDownMDF = edit("edtDownMDF", "lblDownMDF", QStringLiteral("Down MDF"), 8, 140, 88);
    edtDownEnd = edit("edtDownEnd", "lblDownEnd", QStringLiteral("Down End"), 104, 140, 260);
    edtCost = money("edtCost", "lblCost", QStringLiteral("Cost"), 8, 184);
    edtCost100 = money("edtCost100", "lblCost100", QStringLiteral("Cost100"), 128, 184);
    edtInvoiced = money("edtInvoiced", "lblInvoiced", QStringLiteral("Invoiced"), 248, 184);
    edtBearerID = edit("edtBearerID", "lblBearerID", QStringLiteral("BearerID"), 8, 228, 88);
    edtBearername = edit("edtBearername", "lblBearer", QStringLiteral("Bearer"), 104, 228, 260);
    edtSpeedID = edit("edtSpeedID", "lblSpeedID", QStringLiteral("SpeedID"), 8, 272, 88);
    edtSpeedName = edit("edtSpeedName", "lblSpeed", QStringLiteral("Speed"), 104, 272, 260);
    edtModemTypeID = edit("edtModemTypeID", "lblModemTypeID", QStringLiteral("ModemTypeID"), 8, 316, 88);
    edtModemTypeName = edit("edtModemTypeName", "lblModemType", QStringLiteral("Modem Type"), 104, 316, 260);
    edtAuthorityID = edit("edtAuthorityID", "lblAuthorityID", QStringLiteral("AuthorityID"), 8, 360, 88);
    edtAuthorityName = edit("edtAuthorityName", "lblAuthority", QStringLiteral("Authority"), 104, 360, 260);
    cbMnemonic = new QComboBox(this);
    place(cbMnemonic, "cbMnemonic", "lblMnemonic", QStringLiteral("Mnemonic"), 8, 404, 356);
    // The two ends and the names beside the ids are shown, not typed.
    for (QLineEdit* shown : {edtUpEnd, edtDownEnd, edtBearername, edtSpeedName, edtModemTypeName, edtAuthorityName})
        shown->setEnabled(false);
    // No statement writes the amounts: they show what is stored, whole, and
    // take no typing.
    for (TCurrencyEdit* amount : {edtCost, edtCost100, edtInvoiced}) {
        UsePlainCurrencyText(amount);
        ShowReadOnly(amount);
    }

    btnOk = new QPushButton(QStringLiteral("&Okay"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(200, 452, 75, 25);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(289, 452, 75, 25);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    ScaleToFont(this);
}

QString TSysServiceRecordForm::FormCaptionName() const
{
    return windowTitle().mid(kCaption.size(), 20);
}

void TSysServiceRecordForm::SetFormCaptionName(const QString& value)
{
    setWindowTitle(kCaption + value.trimmed());
}

void TSysServiceRecordForm::SetDetails(const TServiceLineDetails& d)
{
    const auto show = [](QLineEdit* e, const QString& v) { e->setText(v.trimmed()); };
    show(edtNo, d.No);
    show(edtPart, d.Part);
    show(edtLineLength, d.LineLength);
    show(edtUpMDF, d.UpMDF);
    show(edtUpEnd, d.UpEnd);
    show(edtDownMDF, d.DownMDF);
    show(edtDownEnd, d.DownEnd);
    m_amounts[0] = d.Cost;
    m_amounts[1] = d.Cost100;
    m_amounts[2] = d.Invoiced;
    edtCost->SetValue(d.Cost);
    edtCost100->SetValue(d.Cost100);
    edtInvoiced->SetValue(d.Invoiced);
    show(edtDrawing, d.Drawing);
    edtAuthorityID->setText(idText(d.AuthorityID));
    show(edtAuthorityName, d.AuthorityName);
    edtModemTypeID->setText(idText(d.ModemTypeID));
    show(edtModemTypeName, d.ModemTypeName);
    edtBearerID->setText(idText(d.BearerID));
    show(edtBearername, d.BearerName);
    edtSpeedID->setText(idText(d.SpeedID));
    show(edtSpeedName, d.SpeedName);
    show(edtMake, d.Make);
    show(edtCh, d.Ch);
    show(edtMux, d.Mux);
}

TServiceLineDetails TSysServiceRecordForm::Details() const
{
    const auto text = [](const QLineEdit* e) { return e->text().trimmed(); };
    TServiceLineDetails d;
    d.No = text(edtNo);
    d.Part = text(edtPart);
    d.LineLength = text(edtLineLength);
    d.UpMDF = text(edtUpMDF);
    d.UpEnd = text(edtUpEnd);
    d.DownMDF = text(edtDownMDF);
    d.DownEnd = text(edtDownEnd);
    d.Cost = m_amounts[0];
    d.Cost100 = m_amounts[1];
    d.Invoiced = m_amounts[2];
    d.Drawing = text(edtDrawing);
    const auto id = [](QLineEdit* e, const char* property) {
        int value = 0;
        if (!TryTypedIdValue(e, value))
            RefuseInput(e, QLatin1String(property) + QStringLiteral(" MUST be an integer."));
        return value;
    };
    d.AuthorityID = id(edtAuthorityID, "AuthorityID");
    d.AuthorityName = text(edtAuthorityName);
    d.ModemTypeID = id(edtModemTypeID, "ModemTypeID");
    d.ModemTypeName = text(edtModemTypeName);
    d.BearerID = id(edtBearerID, "BearerID");
    d.BearerName = text(edtBearername);
    d.SpeedID = id(edtSpeedID, "SpeedID");
    d.SpeedName = text(edtSpeedName);
    d.Make = text(edtMake);
    d.Ch = text(edtCh);
    d.Mux = text(edtMux);
    return d;
}

QString TSysServiceRecordForm::InputName(const QWidget* input)
{
    return QStringLiteral("Details, ") + InputCaption(input);
}

void TSysServiceRecordForm::RefuseInput(QLineEdit* input, const QString& message)
{
    Refuse(input, InputName(input) + QStringLiteral(": ") + message);
}

void TSysServiceRecordForm::btnOkClick()
{
    FRecordStatus = true;
    hide();
}

void TSysServiceRecordForm::btnCancelClick()
{
    FRecordStatus = false;
    hide();
}

void TSysServiceRecordForm::closeEvent(QCloseEvent* event)
{
    hide();
    event->accept();
}
