// The service id editor's save: the checks in their order, the INSERT in its
// column groups or the UPDATE line by line, and the audit rows.
#include "DateFunctions.h"
#include "GenFns.h"
#include "LookupCombo.h"
#include "OperatorIdentity.h"
#include "SqlText.h"
#include "SysEditServiceID.h"
#include "ToolEdit.h"
#include <QLineEdit>
#include <QLocale>
#include <optional>

namespace {

using R = TServiceRef;

// An optional id that is looked up before it is written; %1 in a message
// stands for the number.
struct TOptionalRef {
    R Ref;
    const char* Table;
    const char* AddingMessage;
    const char* ChangingMessage;
};
// In the order of the statements.
const TOptionalRef kAllocation[] = {
    {R::SupplierAccountID, "tValidAccountNumber", "SupplierAccountID %1 does not exist.",
     "SupplierAccountID %1 does not exist."},
    {R::LocationID, "tLocation", "LocationID %1 does not exist.", "LocationID %1 does not exist."},
    {R::CustomerActivityID, "tActivity", "CustomerActivityID does not exist.", "CustomerActivityID %1 does not exist."},
    {R::CustomerElementID, "tElement", "CustomerElementID %1 does not exist.", "CustomerElementID %1 does not exist."},
    {R::CustomerSubledgerID, "tSubledger", "CustomerSubledgerID %1 does not exist.",
     "CustomerSubledgerID %1 does not exist."},
    {R::PersonID, "tPerson", "PersonID does not exist.", "PersonID does not exist."},
    {R::CentreID, "tCentre", "CentreID %1 does not exist.", "CentreID does not exist."},
    {R::ActivityID, "tActivity", "ActivityID does not exist.", "ActivityID does not exist."},
    {R::SubledgerID, "tSubledger", "SubledgerID %1 does not exist.", "SubledgerID %1 does not exist."},
};

// The ids of the line details, with the dialog's input of each.
struct TLineRef {
    const char* Column;
    const char* Table;
    int TServiceLineDetails::*Id;
    QLineEdit* TSysServiceRecordForm::*Input;
};
const TLineRef kLineRefs[] = {
    {"AuthorityID", "tAuthority", &TServiceLineDetails::AuthorityID, &TSysServiceRecordForm::edtAuthorityID},
    {"ModemTypeID", "tModemType", &TServiceLineDetails::ModemTypeID, &TSysServiceRecordForm::edtModemTypeID},
    {"BearerID", "tBearer", &TServiceLineDetails::BearerID, &TSysServiceRecordForm::edtBearerID},
    {"SpeedID", "tSpeed", &TServiceLineDetails::SpeedID, &TSysServiceRecordForm::edtSpeedID},
};

bool idExists(const QString& table, int id)
{
    bool exists = false;
    RecordIdExists(table, id, exists);
    return exists;
}

// A text column with what the statement writes: the text, or NULL.
struct TTextColumn {
    QString Column;    // the column, and (in capitals) the audit field
    QString Property;  // the kept value's name
    QString Value;     // as written
};

// A number as both servers read it: digits with at most one decimal point.
bool isLengthText(const QString& text)
{
    QString checked = text;
    bool ok = false;
    CheckDecimalText(checked, ok);
    return ok && IsSqlNumber(text);
}

}  // namespace

void TSysEditServiceIDForm::save(TSaveAttempt& attempt, TSaveResult& result)
{
    const bool adding = AppendMode();
    // LastUpdatedBy is the login name as the main window holds it now.
    const QString user = Operator().OPERATORNAME;
    const QString stamp = DateTimeToSql(Now());
    // A change needs the row it changes, as stored now: another operator's
    // change is kept where this one left the value alone.
    const int rowId = adding ? 0 : RowToChange(edtID, QStringLiteral("service"));
    if (!adding)
        KeepUpWithStored(attempt, storedRow(rowId));

    // Required values.
    const QString serviceId = ServiceID();
    const int typeId = RefID(R::ServiceTypeID);
    const int centreId = RefID(R::CustomerCentreID);
    if (serviceId.isEmpty() || typeId < 1 || centreId < 1)
        Refuse(QStringLiteral("Valid entries are required for ServiceID,\r\nServiceTypeID, and CustomerCentreID."));

    // The ServiceID is unique over all rows, inactive ones too; read under
    // the write's lock, so it stays so until the row is written.
    QStringList duplicate = {QStringLiteral("SELECT tServiceID.id"), LockedFrom(QStringLiteral("tServiceID")),
                             QStringLiteral("WHERE tServiceID.ServiceID LIKE ") + SqlLikeExact(serviceId)};
    if (!adding)
        duplicate << QStringLiteral("AND id <> ") + QString::number(rowId);
    const QString taken = QStringLiteral("The ServiceID ") + serviceId + QStringLiteral(" already exists. ") +
                          QStringLiteral("Duplicates are not permitted.");
    if (attempt.Exists(duplicate)) {
        edtServiceID->setText(serviceId);
        Refuse(taken);
    }

    // Without a Service, the ServiceID up to its first "-" (else ".") and
    // at most 20 characters after it.
    QString service = Service();
    if (service.isEmpty()) {
        int cut = serviceId.indexOf(QChar('-'));
        if (cut < 0)
            cut = serviceId.indexOf(QChar('.'));
        if (cut >= 0)
            service = serviceId.left(cut) + serviceId.mid(cut + 1, 20);
        result.DefaultService = service;
    }

    if (!idExists(QStringLiteral("tServiceType"), typeId))
        Refuse(QStringLiteral("ServiceTypeID ") + QString::number(typeId) + QStringLiteral(" does not exist."));
    if (!idExists(QStringLiteral("tCentre"), centreId))
        Refuse(QStringLiteral("CustomerCentreID ") + QString::number(centreId) + QStringLiteral(" does not exist."));

    // The dialog's values, when its Okay was pressed since the last save.
    // A value refused names the dialog and its input, and the dialog shows
    // again on it.
    TSysServiceRecordForm* dialog = SysServiceRecordForm;
    if (dialog->RecordStatus()) {
        RetrieveDetails();
        dialog->SetRecordStatus(false);
    }
    const TServiceLineDetails& d = m_details;

    // The optional ids, checked in statement order; 0 stands for none.
    int allocation[std::size(kAllocation)];
    for (size_t i = 0; i < std::size(kAllocation); ++i) {
        const TOptionalRef& r = kAllocation[i];
        const int id = RefID(r.Ref);
        if (id < 0)
            Refuse(RefProperty(r.Ref) + QStringLiteral(" MUST be an integer."));
        if (id > 0 && !idExists(QLatin1String(r.Table), id))
            Refuse(QString::fromLatin1(adding ? r.AddingMessage : r.ChangingMessage)
                       .replace(QStringLiteral("%1"), QString::number(id)));
        allocation[i] = id;
    }
    if (!cbApplication->TextKnown())
        Refuse(QStringLiteral("The Application ") + cbApplication->currentText().trimmed() +
               QStringLiteral(" is not in its list."));
    const int applicationId = qMax(0, ApplicationID());
    QString length;
    if (!lengthWritten(d.LineLength, length))
        dialog->RefuseInput(dialog->edtLineLength, QStringLiteral("Length must be a number."));
    m_details.LineLength = length;
    if (!cbKpiDescription->TextKnown())
        Refuse(QStringLiteral("The KPI Description ") + cbKpiDescription->currentText().trimmed() +
               QStringLiteral(" is not in its list."));
    const int kpiId = qMax(0, ServiceKpiID());
    int lineIds[std::size(kLineRefs)];
    for (size_t i = 0; i < std::size(kLineRefs); ++i) {
        const TLineRef& r = kLineRefs[i];
        int id = d.*(r.Id);
        if (id < 0 && !adding)
            id = 0;  // written as NULL
        if (id < 0)
            dialog->RefuseInput(dialog->*(r.Input), QLatin1String(r.Column) + QStringLiteral(" MUST be an integer."));
        if (id > 0 && !idExists(QLatin1String(r.Table), id))
            dialog->RefuseInput(dialog->*(r.Input), QLatin1String(r.Column) + QChar(' ') + QString::number(id) +
                                                        QStringLiteral(" does not exist."));
        lineIds[i] = id;
    }
    // The job number and the line details lose their single quotes where
    // the operator changed them; the others are written as stored.
    const auto typed = [this](const QString& property, const QString& value) {
        return FKept.WithoutQuotesIfChanged(property, value);
    };
    // The channel column holds a number: a text that is none would make the
    // row unreadable.
    const QString ch = typed(QStringLiteral("Ch"), d.Ch);
    if (!ch.trimmed().isEmpty() && !IsSqlNumber(ch.trimmed()))
        dialog->RefuseInput(dialog->edtCh, QStringLiteral("Ch must be a number."));

    const QString installed = DateEditYMD(edtInstallationDate);
    const QString terminated = DateEditYMD(edtTerminationDate);
    const QString typeText = QString::number(typeId);
    const QString centreText = QString::number(centreId);

    // Texts as written: the first four as typed (quotes doubled), the job
    // number and the line details as above.
    const QVector<TTextColumn> heading = {
        {QStringLiteral("Description"), QStringLiteral("Description"), Description()},
        {QStringLiteral("SACCnumber"), QStringLiteral("SACCNumber"), SACCNumber()},
        {QStringLiteral("PayType"), QStringLiteral("PayType"), PayType()},
    };
    const QVector<TTextColumn> frame = {
        {QStringLiteral("Jobno"), QStringLiteral("Jobno"), typed(QStringLiteral("Jobno"), Jobno())},
        {QStringLiteral("UpMDF"), QStringLiteral("UpMDF"), typed(QStringLiteral("UpMDF"), d.UpMDF)},
        {QStringLiteral("UpEnd"), QStringLiteral("UpEnd"), typed(QStringLiteral("UpEnd"), d.UpEnd)},
        {QStringLiteral("DownMDF"), QStringLiteral("DownMDF"), typed(QStringLiteral("DownMDF"), d.DownMDF)},
        {QStringLiteral("DownEnd"), QStringLiteral("DownEnd"), typed(QStringLiteral("DownEnd"), d.DownEnd)},
    };
    const QVector<TTextColumn> line = {
        {QStringLiteral("No"), QStringLiteral("No"), typed(QStringLiteral("No"), d.No)},
        {QStringLiteral("Part"), QStringLiteral("Part"), typed(QStringLiteral("Part"), d.Part)},
        {QStringLiteral("Drawing"), QStringLiteral("Drawing"), typed(QStringLiteral("Drawing"), d.Drawing)},
    };
    const QVector<TTextColumn> equipment = {
        {QStringLiteral("Make"), QStringLiteral("Make"), typed(QStringLiteral("Make"), d.Make)},
        {QStringLiteral("Ch"), QStringLiteral("Ch"), ch},
        {QStringLiteral("Mux"), QStringLiteral("Mux"), typed(QStringLiteral("Mux"), d.Mux)},
    };

    // The audit rows, when the table is audited.
    std::optional<TAuditTrail> audit;
    if (FAudited)
        audit.emplace(NewAudit(adding ? AuditIds.Insert : AuditIds.Update, QStringLiteral("tServiceID")));
    const auto auditField = [&](const QString& column, const QString& property, const QString& now) {
        if (audit)
            audit->AddField(column.toUpper(), adding ? QString() : FKept.Kept(property), now);
    };

    QHash<QString, QString>& written = result.Written;
    const auto write = [&](const QString& property, const QString& now) { written.insert(property, now); };
    write(QStringLiteral("ServiceID"), serviceId);
    write(QStringLiteral("ServiceTypeID"), typeText);
    write(QStringLiteral("CustomerCentreID"), centreText);
    write(QStringLiteral("ApplicationID"), IdText(applicationId));
    write(QStringLiteral("ServiceKpiID"), IdText(kpiId));
    write(QStringLiteral("InstallationDate"), installed);
    write(QStringLiteral("TerminationDate"), terminated);
    write(QStringLiteral("LineLength"), d.LineLength);
    for (size_t i = 0; i < std::size(kAllocation); ++i)
        write(RefProperty(kAllocation[i].Ref), IdText(allocation[i]));
    for (size_t i = 0; i < std::size(kLineRefs); ++i)
        write(QLatin1String(kLineRefs[i].Column), IdText(lineIds[i]));
    for (const auto* texts : {&heading, &frame, &line, &equipment})
        for (const TTextColumn& t : *texts)
            write(t.Property, t.Value);

    if (adding) {
        QString columns = QStringLiteral("(ServiceID,CustomerCentreID,ServiceTypeID,");
        QString values = QStringLiteral("VALUES (") + Quote(serviceId) + QChar(',') + centreText + QChar(',') +
                         typeText + QChar(',');
        QStringList columnLines, valueLines;
        // A column with its value, when it has one.
        const auto addColumn = [&](const QString& column, const QString& value) {
            if (value.isEmpty())
                return;
            columns += column + QChar(',');
            values += value + QChar(',');
        };
        // The same with the column's audit row, `audited` its new value.
        const auto add = [&](const QString& column, const QString& value, const QString& audited) {
            addColumn(column, value);
            auditField(column, QString(), audited);
        };
        // A text column (quoted) and an id column (bare), each with its
        // audit row.
        const auto addText = [&](const QString& column, const QString& text) {
            add(column, text.isEmpty() ? QString() : Quote(text), text);
        };
        const auto addId = [&](const QString& column, int id) { add(column, IdText(id), IdText(id)); };
        const auto endGroup = [&] {
            if (columns.isEmpty())
                return;
            columnLines << columns;
            valueLines << values;
            columns.clear();
            values.clear();
        };
        auditField(QStringLiteral("ServiceID"), QString(), serviceId);
        auditField(QStringLiteral("ServiceTypeID"), QString(), typeText);
        auditField(QStringLiteral("CustomerCentreID"), QString(), centreText);

        addText(QStringLiteral("Service"), service);
        addText(heading[0].Column, heading[0].Value);
        endGroup();

        for (int i = 1; i < heading.size(); ++i)
            addText(heading[i].Column, heading[i].Value);
        addText(QStringLiteral("InstallationDate"), installed);
        if (!terminated.isEmpty())
            addColumn(QStringLiteral("TerminationDate,Active"), Quote(terminated) + QStringLiteral(",0"));
        else
            addColumn(QStringLiteral("Active"), QStringLiteral("1"));
        auditField(QStringLiteral("TerminationDate"), QString(), terminated);
        auditField(QStringLiteral("Active"), QString(),
                   terminated.isEmpty() ? QStringLiteral("1") : QStringLiteral("0"));
        for (size_t i = 0; i < std::size(kAllocation); ++i) {
            addId(RefProperty(kAllocation[i].Ref), allocation[i]);
            if (kAllocation[i].Ref == R::LocationID)
                endGroup();
        }
        addId(QStringLiteral("ApplicationID"), applicationId);
        endGroup();

        for (const TTextColumn& t : frame)
            addText(t.Column, t.Value);
        add(QStringLiteral("Length"), d.LineLength, d.LineLength);
        addId(QStringLiteral("ServiceKpiID"), kpiId);
        for (const TTextColumn& t : line)
            addText(t.Column, t.Value);
        endGroup();

        for (size_t i = 0; i < std::size(kLineRefs); ++i)
            addId(QLatin1String(kLineRefs[i].Column), lineIds[i]);
        for (const TTextColumn& t : equipment)
            addText(t.Column, t.Value);
        endGroup();

        columnLines << QStringLiteral("DateEntered,DateLastChanged,LastUpdatedBy,");
        valueLines << Quote(stamp) + QChar(',') + Quote(stamp) + QChar(',') + Quote(user) + QChar(',');
        result.NewId =
            attempt.ExecInsert(InsertStatement(QStringLiteral("tServiceID"), columnLines, valueLines), taken);
        if (audit)
            audit->SetTableID(result.NewId);
        write(QStringLiteral("Service"), service);
    } else {
        QStringList lines = {QStringLiteral("UPDATE tServiceID")};
        lines << QStringLiteral("SET ServiceID = ") + Quote(serviceId) + QStringLiteral(", CustomerCentreID = ") +
                     centreText + QStringLiteral(", ServiceTypeID = ") + typeText + QChar(',');
        auditField(QStringLiteral("CustomerCentreID"), QStringLiteral("CustomerCentreID"), centreText);
        auditField(QStringLiteral("ServiceID"), QStringLiteral("ServiceID"), serviceId);
        auditField(QStringLiteral("ServiceTypeID"), QStringLiteral("ServiceTypeID"), typeText);

        // A text column: its value, or NULL.
        const auto text = [&](const TTextColumn& t) {
            lines << t.Column + QStringLiteral(" = ") + QuoteOrNull(t.Value) + QChar(',');
            auditField(t.Column, t.Property, t.Value);
        };
        // A Service of "0" is no Service.
        const QString serviceWritten = service == QLatin1String("0") ? QString() : service;
        text({QStringLiteral("Service"), QStringLiteral("Service"), serviceWritten});
        write(QStringLiteral("Service"), serviceWritten);
        for (const TTextColumn& t : heading)
            text(t);

        // The lists write only a change; a list left empty clears its id.
        const auto listed = [&](const QString& column, int id) {
            const QString kept = FKept.Kept(column);
            if (id >= 1 && IdText(id) != kept)
                lines << column + QStringLiteral(" = ") + QString::number(id) + QChar(',');
            else if (id < 1 && !kept.isEmpty())
                lines << column + QStringLiteral(" = NULL,");
            else
                return;
            auditField(column, column, IdText(id));
        };
        listed(QStringLiteral("ApplicationID"), applicationId);

        // A date is written when there is one, NULL when it was cleared.
        if (!installed.isEmpty())
            lines << QStringLiteral("InstallationDate = ") + Quote(installed) + QChar(',');
        else if (!FKept.Kept(QStringLiteral("InstallationDate")).isEmpty())
            lines << QStringLiteral(" InstallationDate = NULL,");
        auditField(QStringLiteral("InstallationDate"), QStringLiteral("InstallationDate"), installed);
        if (!terminated.isEmpty())
            lines << QStringLiteral(" TerminationDate = ") + Quote(terminated) + QStringLiteral(",Active=0,");
        else if (!FKept.Kept(QStringLiteral("TerminationDate")).isEmpty())
            lines << QStringLiteral(" TerminationDate = NULL,Active=1,");
        auditField(QStringLiteral("TerminationDate"), QStringLiteral("TerminationDate"), terminated);

        const auto id = [&](const QString& column, int value) {
            lines << column + QStringLiteral(" = ") + BareOrNull(IdText(value)) + QChar(',');
            auditField(column, column, IdText(value));
        };
        for (size_t i = 0; i < std::size(kAllocation); ++i)
            id(RefProperty(kAllocation[i].Ref), allocation[i]);
        for (const TTextColumn& t : frame)
            text(t);
        lines << QStringLiteral("Length = ") + BareOrNull(d.LineLength) + QChar(',');
        auditField(QStringLiteral("Length"), QStringLiteral("LineLength"), d.LineLength);
        listed(QStringLiteral("ServiceKpiID"), kpiId);
        for (const TTextColumn& t : line)
            text(t);
        for (size_t i = 0; i < std::size(kLineRefs); ++i)
            id(QLatin1String(kLineRefs[i].Column), lineIds[i]);
        for (const TTextColumn& t : equipment)
            text(t);
        lines << QStringLiteral("DateLastChanged = ") + Quote(stamp) + QStringLiteral(",LastUpdatedBy = ") +
                     Quote(user);
        lines << QStringLiteral("WHERE id = ") + QString::number(rowId);
        attempt.Exec(lines, taken);
        if (audit)
            audit->SetTableID(rowId);
    }
    if (audit)
        attempt.Write(*audit);
}

bool TSysEditServiceIDForm::lengthWritten(const QString& given, QString& length) const
{
    // Written as a number. Typed in the dialog, it is read as the generic
    // editor's amounts are; the same number as stored stays as stored.
    const QString keptLength = FKept.Kept(QStringLiteral("LineLength"));
    length = given;
    const bool typedNumber = length.isEmpty() || length == keptLength || DecimalPointText(given, length);
    if (typedNumber && !keptLength.isEmpty() && length != keptLength &&
        QLocale::c().toDouble(length) == QLocale::c().toDouble(keptLength))
        length = keptLength;
    return typedNumber && (length.isEmpty() || isLengthText(length));
}
