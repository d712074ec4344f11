#include "SysEditServiceKpi.h"
#include "GenFns.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

namespace {
const QString kCaption = QStringLiteral("System Table: tServiceKpi");
const QString kTable = QStringLiteral("tServiceKpi");
}  // namespace

TSysEditServiceKpiForm::TSysEditServiceKpiForm(QWidget* owner) : TRecordEditor(owner)
{
    setObjectName(QStringLiteral("SysEditServiceKpiForm"));
    setFixedSize(472, 346);

    AddLabel(QStringLiteral("lblID"), QStringLiteral("ID:"), 16, 19);
    edtID = AddEdit(QStringLiteral("edtID"), 144, 16, 73);
    ShowOnly(edtID);
    SetModeCaption(kCaption, edtID);

    // Label, column, width; in tab order.
    struct Row {
        const char* Label;
        const char* Column;
        int Width;
        int EditWidth;
    };
    static const Row rows[] = {
        {"KpiNumber:", "KpiNumber", 50, 121},
        {"Description :", "Description", 128, 313},
        {"Response Hours :", "ResponseHours", 50, 201},
        {"Restoration Hours :", "RestorationHours", 50, 201},
        {"Availability :", "Availability", 50, 201},
        {"Core Hours :", "CoreHours", 50, 201},
        {"After Hours :", "AfterHours", 50, 201},
        {"Travel Time :", "TravelTime", 50, 201},
        {"Fault Detect :", "FaultDetect", 50, 201},
    };
    int top = 48;
    for (const Row& r : rows) {
        const QString column = QLatin1String(r.Column);
        QLabel* label = AddLabel(QStringLiteral("lbl") + column, QLatin1String(r.Label), 16, top + 3);
        QLineEdit* edit = AddEdit(QStringLiteral("edt") + column, 144, top, r.EditWidth);
        label->setBuddy(edit);
        LimitTyping(edit, r.Width);
        m_columns.append({column, edit});
        top += 28;
    }
    edtKpiNumber = m_columns[0].Edit;
    edtDescription = m_columns[1].Edit;
    edtResponseHours = m_columns[2].Edit;
    edtRestorationHours = m_columns[3].Edit;
    edtAvailability = m_columns[4].Edit;
    edtCoreHours = m_columns[5].Edit;
    edtAfterHours = m_columns[6].Edit;
    edtTravelTime = m_columns[7].Edit;
    edtFaultDetect = m_columns[8].Edit;
    SetUpperCase(edtKpiNumber);

    AddOkCancel(btnOk, btnCancel, QStringLiteral("&Ok"), 288, 306, [this] { btnOkClick(); });
    ScaleToFont(this);

    // FormCreate: the audit action ids and whether the table is audited.
    ReadAuditIds();
    FAudited = IsTableAudited(kTable);
    edtKpiNumber->setFocus();
}

void TSysEditServiceKpiForm::SetID(const QString& value)
{
    ShowRowID(edtID, value);
}

QString TSysEditServiceKpiForm::text(int column) const
{
    return TextOf(m_columns[column].Edit);
}

void TSysEditServiceKpiForm::setText(int column, const QString& v)
{
    KeepText(m_columns[column].Edit, m_columns[column].Name, v);
}

void TSysEditServiceKpiForm::btnOkClick()
{
    RunSave([this](TSaveAttempt& attempt) { return save(attempt); });
}

bool TSysEditServiceKpiForm::save(TSaveAttempt& attempt)
{
    // The row's id, as the caller gave it, must be a number to name the row.
    const int id = AppendMode() ? 0 : StrToInt(edtID->text().trimmed());
    if (!AppendMode()) {
        TStoredRow stored(kTable, QStringLiteral("WHERE id = ") + QString::number(id));
        for (const TColumn& c : m_columns)
            stored.Text(c.Name);
        KeepUpWithStored(attempt, stored);
    }
    QStringList v;
    for (int i = 0; i < m_columns.size(); ++i)
        v << text(i);
    const auto field = [this](int i) { return m_columns[i].Name.toUpper(); };

    // Without the audit, no audit action is needed either.
    std::optional<TAuditTrail> audit;
    if (FAudited)
        audit.emplace(NewAudit(AppendMode() ? AuditIds.Insert : AuditIds.Update, kTable));
    const auto auditField = [&audit](const QString& name, const QString& oldValue, const QString& newValue) {
        if (audit)
            audit->AddField(name, oldValue, newValue);
    };
    if (AppendMode()) {
        const QStringList lines = {
            QStringLiteral("INSERT INTO tServiceKpi"),
            QStringLiteral("(KpiNumber, Active, Description, ResponseHours, RestorationHours,"),
            QStringLiteral("Availability, CoreHours, AfterHours, TravelTime, FaultDetect)"),
            QStringLiteral("VALUES (") + (v[0].isEmpty() ? QStringLiteral("NULL, 1,") : Quote(v[0]) + ",1,") +
                TextItem(v[1]) + TextItem(v[2]) + TextItem(v[3]),
            TextItem(v[4]) + TextItem(v[5]) + TextItem(v[6]) + TextItem(v[7]) + QuoteOrNull(v[8]) + QChar(')'),
        };
        const qint64 newId = attempt.ExecInsert(lines);
        if (audit)
            audit->SetTableID(newId);
        if (!v[0].isEmpty()) {
            auditField(field(0), QString(), v[0]);
            auditField(QStringLiteral("ACTIVE"), QString(), QStringLiteral("1"));
        }
        for (int i = 1; i < v.size(); ++i)
            auditField(field(i), QString(), v[i]);
    } else {
        if (audit)
            audit->SetTableID(id);
        auditField(field(0), FKept.Kept(m_columns[0].Name), v[0]);
        QStringList lines = {QStringLiteral("UPDATE tServiceKpi")};
        // Three lines: the number with the description and response hours,
        // then the next three and the last three, each holding only what
        // changed; the first always stands.
        const auto changed = [&](int first, int last, QString line) {
            for (int i = first; i <= last; ++i) {
                const QString& kept = FKept.Kept(m_columns[i].Name);
                if (v[i] == kept)
                    continue;
                line += QChar(' ') + m_columns[i].Name + QStringLiteral(" = ") + TextItem(v[i]);
                auditField(field(i), kept, v[i]);
            }
            return line;
        };
        lines << changed(1, 2, QStringLiteral("SET KpiNumber = ") + TextItem(v[0]));
        for (int first : {3, 6}) {
            const QString line = changed(first, first + 2, QString());
            if (!line.isEmpty())
                lines << line;
        }
        DropFinalComma(lines);
        lines << QStringLiteral("WHERE id = ") + QString::number(id);
        attempt.Exec(lines);
    }
    if (audit)
        attempt.Write(*audit);
    return true;
}
