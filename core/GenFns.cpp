#include "GenFns.h"
#include "FieldText.h"
#include "AuditTrail.h"
#include "DataMod.h"
#include "DateFunctions.h"
#include "Formats.h"
#include "IniFiles.h"
#include "SqlText.h"
#include "SysUtils.h"
#include "Application.h"
#include "Dialogs.h"
#include "Progress.h"
#include "ReplacementFile.h"
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <cmath>
#include <memory>

namespace {
const QString kDigits = QStringLiteral("0123456789");

// Cuts T at its first character outside `allowed`; true when something was cut.
bool cutAt(QString& S, const QString& allowed)
{
    const QString t = S.trimmed();
    for (int i = 0; i < t.size(); ++i) {
        if (!allowed.contains(t[i])) {
            S = t.left(i);
            return true;
        }
    }
    return false;
}

// Currency values are fixed point with four decimals: work in those units.
qint64 toCurrencyUnits(double v)
{
    return std::llround(v * 10000.0);
}
}  // namespace

void RecordIdExists(const QString& Table, int Id, bool& Exists)
{
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Add(QStringLiteral("SELECT id"));
    q.SQL().Add(QStringLiteral("FROM ") + Table);
    q.SQL().Add(QStringLiteral("WHERE id = ") + QString::number(Id));
    q.Open();
    Exists = !q.IsEmpty();
    q.Close();
}

QString LockedFrom(const QString& Table)
{
    return QStringLiteral("FROM ") + Table + QStringLiteral(" WITH (UPDLOCK, HOLDLOCK)");
}

void StripTrailingNonDigit(QString& S, bool& Cut)
{
    const QString t = S.trimmed();
    if (!t.isEmpty() && !kDigits.contains(t.back())) {
        S = t.left(t.size() - 1);
        Cut = true;
    } else {
        Cut = false;
    }
}

void CutAtFirstNonDigit(QString& S, bool& Cut)
{
    Cut = cutAt(S, kDigits);
}

void CheckDecimalText(QString& S, bool& Ok)
{
    Ok = !cutAt(S, kDigits + QChar('.'));
}

namespace {
// A column named after a reserved word ([Table] on the audit page) sorts only
// in brackets.
QString sortKey(const QString& field)
{
    static const QStringList reserved = {"TABLE", "ORDER", "GROUP", "KEY", "USER", "SELECT", "FROM", "WHERE",
                                         "DESC", "ASC", "INDEX", "VIEW", "PRIMARY", "FILE", "PERCENT", "PLAN",
                                         "PUBLIC", "BY", "AND", "OR", "NOT", "NULL"};
    return reserved.contains(field.toUpper()) ? QChar('[') + field + QChar(']') : field;
}
}  // namespace

void ToggleSortOrder(const QString& FieldName, TStringList& SQL)
{
    if (SQL.Count() == 0 || FieldName.isEmpty())
        return;
    QString t = SQL.Last().trimmed();
    if (t.left(8).toUpper() != QLatin1String("ORDER BY"))
        return;
    // The current key is the whole last key of the line (a qualified name
    // counts as its column): a column whose name merely ends the line, such
    // as ID on a line ending ServiceID, is another column.
    QString lastKey = t.mid(9).trimmed();
    const int comma = lastKey.lastIndexOf(QChar(','));
    if (comma >= 0)
        lastKey = lastKey.mid(comma + 1).trimmed();
    const QString key = sortKey(FieldName);
    if (lastKey == key || lastKey.endsWith(QChar('.') + key)) {
        SQL.SetStrings(SQL.Count() - 1, t + QStringLiteral(" DESC"));
        return;
    }
    if (!t.mid(9).contains(QChar(',')))
        SQL.SetStrings(SQL.Count() - 1, QStringLiteral("ORDER BY ") + QStringLiteral(" ") + key);
}

QString StripQuotes(const QString& S)
{
    QString out = S;
    out.remove(QChar('\''));
    return out;
}

QString CurrToFixed2(double Value)
{
    // Half away from zero at the cent, as the fixed format rounds.
    const qint64 units = toCurrencyUnits(Value);
    const qint64 cents = (units + (units >= 0 ? 50 : -50)) / 100;
    const qint64 absCents = cents < 0 ? -cents : cents;
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(absCents / 100)
        .arg(absCents % 100, 2, 10, QChar('0'));
}

double AddCurrRounded(double A, double B)
{
    auto cents = [](double v) {
        const qint64 units = toCurrencyUnits(v);
        qint64 c = units / 100;
        const qint64 rem = units % 100;  // same sign as units
        if (rem > 50 || (rem == 50 && (c % 2) != 0))
            ++c;
        else if (rem < -50 || (rem == -50 && (c % 2) != 0))
            --c;
        return c;
    };
    return double(cents(A) + cents(B)) / 100.0;
}

QString RightString(const QString& S, int N)
{
    if (N <= 0)
        return QString();
    return N >= S.size() ? S : S.right(N);
}

bool IsTableAudited(const QString& Table)
{
    const QString t = Table.trimmed();
    if (t.isEmpty())
        return false;
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Add(QStringLiteral("SELECT tAudit.id"));
    q.SQL().Add(QStringLiteral("FROM tAudit"));
    q.SQL().Add(QStringLiteral("WHERE tAudit.[Table] LIKE ") + SqlLikeExact(t));
    q.Open();
    const bool audited = !q.IsEmpty();
    q.Close();
    return audited;
}

void BeginAuditTrail(const QString& UserId, const QString& Action, const QString& Table, QString& InsertLine,
                     QString& Columns, QString& Values)
{
    BeginAuditTrailAt(UserId, Action, Table, DateTimeToSql(Now()), InsertLine, Columns, Values);
}

void BeginAuditTrailAt(const QString& UserId, const QString& Action, const QString& Table,
                       const QString& ActionTime, QString& InsertLine, QString& Columns, QString& Values)
{
    // The action is the tEvent id; without one the rows could not be written.
    int action = 0;
    if (!TryStrToInt(Action, action))
        throw EDatabaseError(QStringLiteral("No audit event is defined for this change (tEvent has no row for it)"));
    InsertLine = QStringLiteral("INSERT INTO tAuditTrail");
    Columns = QStringLiteral("(UserID,ActionTime,Action,TableName,TableID,FieldName,OldValue,NewValue)");
    Values = QStringLiteral("VALUES ('") + SqlStr(UserId) + QStringLiteral("','") + ActionTime +
             QStringLiteral("',") + QString::number(action) + QStringLiteral(",'") + SqlStr(Table) + QStringLiteral("',");
}

void AppendText(const QString& Text, QString& Target)
{
    Target += Text;
}

namespace {
// One side of an audit row: NULL, or the text quoted.
QString auditValue(const QString& value, bool null)
{
    return null ? QStringLiteral("NULL") : QChar('\'') + SqlStr(value) + QChar('\'');
}

void addAuditLine(const QString& FieldName, const QString& OldSql, const QString& NewSql, TStringList& Lines)
{
    Lines.Add(QStringLiteral(",'") + SqlStr(FieldName) + QStringLiteral("',") + OldSql + QChar(',') + NewSql +
              QChar(')'));
}
}  // namespace

void AddAuditField(const QString& FieldName, const QString& OldValue, const QString& NewValue, TStringList& Lines)
{
    if (NewValue == OldValue)
        return;
    addAuditLine(FieldName, auditValue(OldValue, OldValue.isEmpty()), auditValue(NewValue, NewValue.isEmpty()),
                 Lines);
}

void AddStoredAuditField(const QString& FieldName, const QString& StoredValue, const QString& NewValue,
                         TStringList& Lines)
{
    const QString oldSql = auditValue(StoredValue, StoredValue.isNull());
    const QString newSql = auditValue(NewValue, NewValue.isEmpty());
    if (oldSql != newSql)
        addAuditLine(FieldName, oldSql, newSql, Lines);
}

void WriteAuditTrail(const QString& InsertLine, const QString& Columns, const QString& Values,
                     const TStringList& Lines)
{
    if (Lines.Count() == 0)
        return;
    // The head must end in the row's id: a row naming no row is refused.
    if (Values.endsWith(QChar(',')))
        throw EDatabaseError(QStringLiteral("The audit rows name no row (no table id)"));
    QVector<QStringList> statements;
    for (int i = 0; i < Lines.Count(); ++i)
        statements.append({InsertLine, Columns, Values + Lines[i]});
    WriteAuditStatements(statements);
}

bool IsTestDatabase()
{
    TIniFile ini(SettingsFileName());
    const QString active = ini.ReadString(QStringLiteral("DBconnection"), QStringLiteral("KVDSN"), QString());
    const QString test = TDM::DecodeOrEmpty(ini.ReadString(QStringLiteral("TestCfg"), QStringLiteral("id1"), QString()));
    return active == test || active.toUpper().contains(QLatin1String("TEST"));
}

namespace {
// The column a parameter row names: only a plain column name is spliced into
// a statement.
bool isColumnName(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
}
}  // namespace

void GetParameter(const QString& Parm, QString& Value)
{
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Add(QStringLiteral("SELECT ParmField"));
    q.SQL().Add(QStringLiteral("FROM tParameter"));
    q.SQL().Add(QStringLiteral("WHERE Parm LIKE ") + SqlLikeExact(Parm));
    q.Open();
    const QString field = q.IsEmpty() ? QString() : q.FieldByName(QStringLiteral("Parmfield"))->AsString().trimmed();
    q.Close();
    if (field.isEmpty()) {
        Value.clear();
        return;
    }
    if (!isColumnName(field))
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(field));
    q.SQL().SetStrings(0, QStringLiteral("SELECT ") + field);
    q.Open();
    Value = q.IsEmpty() ? QString() : q.FieldByName(field)->AsString();
    q.Close();
}

void SetParameter(const QString& Parm, const QString& Value, const QString& Field)
{
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Add(QStringLiteral("SELECT ParmField"));
    q.SQL().Add(QStringLiteral("FROM tParameter"));
    q.SQL().Add(QStringLiteral("WHERE Parm LIKE ") + SqlLikeExact(Parm));
    q.Open();
    const QString existing =
        q.IsEmpty() ? QString() : q.FieldByName(QStringLiteral("Parmfield"))->AsString().toUpper();
    q.Close();
    q.SQL().Clear();

    if (!isColumnName(Field))
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(Field));
    const bool quoted = Field == QLatin1String("PARMTEXT") || Field == QLatin1String("PARMDATE");
    // An unquoted value goes in as a number, so it must be one both servers
    // read as a number (no grouping, no "inf" or "nan").
    if (!quoted && !IsSqlNumber(Value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(Value));
    const QString value = quoted ? QChar('\'') + SqlStr(Value) + QChar('\'') : Value.trimmed();
    if (!existing.isEmpty()) {
        q.SQL().Add(QStringLiteral("UPDATE tParameter"));
        q.SQL().Add(QStringLiteral("SET ") + Field + QStringLiteral(" = ") + value);
        q.SQL().Add(QStringLiteral("WHERE Parm LIKE ") + SqlLikeExact(Parm));
    } else {
        q.SQL().Add(QStringLiteral("INSERT INTO tParameter"));
        q.SQL().Add(QStringLiteral("(Parm, ParmField, ") + Field + QStringLiteral(", ParmUserDefined)"));
        q.SQL().Add(QStringLiteral("VALUES ('") + SqlStr(Parm) + QStringLiteral("', '") + SqlStr(Field) +
                    QStringLiteral("', ") + value + QStringLiteral(",1)"));
    }
    q.ExecSQL();
}

// ---------------------------------------------------------------- CSV export

namespace {
SaveDialogHook& saveDialogHook()
{
    static SaveDialogHook hook;
    return hook;
}

// "Description|pattern|..." as Qt's name filters.
QStringList qtNameFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(QChar('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QStringLiteral("*.*"), QStringLiteral("*"));  // every file, dotted or not
        pattern.replace(QChar(';'), QChar(' '));
        out << parts[i].section(QChar('('), 0, 0).trimmed() + QStringLiteral(" (") + pattern + QChar(')');
    }
    return out;
}
}  // namespace

QString ExecuteSaveDialog(const TSaveDialogRequest& r)
{
    if (saveDialogHook())
        return saveDialogHook()(r);
    QFileDialog dlg(QApplication::activeWindow(), r.Title, r.InitialDir);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = qtNameFilters(r.Filter);
    dlg.setNameFilters(filters);
    if (r.FilterIndex >= 1 && r.FilterIndex <= filters.size())
        dlg.selectNameFilter(filters[r.FilterIndex - 1]);
    dlg.setDefaultSuffix(r.DefaultExt);
    dlg.selectFile(r.FileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().first();
}

namespace {
void appendCsvValue(QByteArray& out, const QString& value)
{
    out += '"';
    QByteArray bytes = value.toUtf8();
    if (bytes.contains('"'))
        bytes.replace("\"", "\"\"");
    out += bytes;
    out += '"';
}

// A value between double quotes, written as its field gives it; quotes
// inside are doubled where they stand.
void appendCsvValue(QByteArray& out, TFieldText& text, const TValueRef& value)
{
    out += '"';
    const qsizetype start = out.size();
    text.Append(out, value);
    const qsizetype end = out.size();
    const char* first = static_cast<const char*>(std::memchr(out.constData() + start, '"', size_t(end - start)));
    if (first) {
        const qsizetype from = first - out.constData();
        const qsizetype quotes = std::count(out.cbegin() + from, out.cend(), '"');
        out.resize(end + quotes);
        char* b = out.data();
        for (qsizetype r = end, w = end + quotes; r > from;) {
            b[--w] = b[--r];
            if (b[r] == '"')
                b[--w] = '"';
        }
    }
    out += '"';
}

}  // namespace

QString FileErrorText(TFileStep Step, const TReplacementFile& File)
{
    const QString what = Step == TFileStep::Create ? QStringLiteral("Cannot create file \"%1\". %2")
                                                   : QStringLiteral("Cannot write file \"%1\". %2");
    return what.arg(QDir::toNativeSeparators(File.FileName()), File.errorString());
}

SaveDialogHook SetSaveDialogHook(SaveDialogHook hook)
{
    SaveDialogHook old = std::move(saveDialogHook());
    saveDialogHook() = std::move(hook);
    return old;
}

QByteArray CsvLine(const QStringList& Values)
{
    QByteArray out;
    for (int i = 0; i < Values.size(); ++i) {
        if (i > 0)
            out += ',';
        appendCsvValue(out, Values[i]);
    }
    return out;
}

void ExportDataSetToCsv(TDataSet* DataSet, const QString& TableName)
{
    if (!DataSet)
        return;
    const int count = DataSet->RecordCount();
    if (count == 0) {
        MessageDlg(QStringLiteral("No entries found in table ") + TableName, mtInformation, mbOK);
        return;
    }
    const double step = 100.0 / count;
    QString stored;
    GetParameter(QStringLiteral("UserDirectory"), stored);

    TSaveDialogRequest request;
    request.Title = QStringLiteral("Save the selected table values in CSV format");
    request.FileName = TableName;
    request.Filter = QStringLiteral("All Files (*.*)|*.*");
    request.FilterIndex = 1;
    request.DefaultExt = QStringLiteral("csv");
    const bool storedExists = !stored.isEmpty() && QFileInfo(stored).isDir();
    request.InitialDir = storedExists ? stored : QCoreApplication::applicationDirPath();
    const QString path = ExecuteSaveDialog(request);
    if (path.isEmpty())
        return;

    auto progress = std::make_unique<TProgressForm>();
    progress->btnCancel->setEnabled(false);
    progress->btnCancel->setVisible(false);
    progress->Msg->setText(QStringLiteral("Saving account data to file ..."));
    progress->show();

    // Written beside the target and put in its place only when every byte is
    // on the disk: a failed export leaves an existing file as it was. A file
    // whose folder takes no new file is written in place when it may be.
    TReplacementFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        progress->hide();
        MessageDlg(FileErrorText(TFileStep::Create, file), mtError, mbOK);
        return;
    }

    constexpr int kFlushAt = 1 << 16;
    constexpr int kPumpEvery = 256;  // rows between two looks at the window messages
    QByteArray buffer;
    buffer.reserve(kFlushAt + 4096);
    bool ok = true;
    auto flush = [&] {
        if (ok && !buffer.isEmpty())
            ok = file.write(buffer) == buffer.size();
        buffer.clear();
    };

    TRowReader source(DataSet);
    const int fields = source->FieldCount();
    QStringList names;
    std::vector<TFieldText> texts;
    for (int i = 0; i < fields; ++i) {
        names << source->Fields(i)->FieldName();
        texts.emplace_back(source->Fields(i));
    }
    buffer += CsvLine(names);
    buffer += "\r\n";

    // Each line is built as bytes from the stored values, without a QString
    // or a QVariant on the way for the texts, numbers and dates of a page.
    QVector<TValueRef> values;
    int done = 0;
    while (ok && !source->Eof()) {
        if (done % kPumpEvery == 0)
            ProcessMessages();
        source->RowValues(source->CurrentRow(), values);
        for (int i = 0; i < fields; ++i) {
            if (i > 0)
                buffer += ',';
            appendCsvValue(buffer, texts[size_t(i)], values[i]);
        }
        buffer += "\r\n";
        if (buffer.size() >= kFlushAt)
            flush();
        progress->SetPosition(qRound(++done * step));
        source->Next();
    }
    flush();
    if (!ok || !file.Commit()) {
        progress->hide();
        MessageDlg(FileErrorText(TFileStep::Write, file), mtError, mbOK);
        return;
    }

    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo(folder).isDir() && folder != stored)
        SetParameter(QStringLiteral("UserDirectory"), folder, QStringLiteral("PARMTEXT"));
    progress->hide();
}
