#include "DB.h"
#include "Application.h"
#include "Cursor.h"
#include "DBLogin.h"
#include "Formats.h"
#include "Locale.h"
#include "SqlDialect.h"
#include "SqliteSetup.h"
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <cmath>
#include <limits>
#include <utility>

// ---------------------------------------------------------------- conversions

namespace FieldConv {

bool ParseDateTimeText(const QString& text, QDateTime& out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    QDate d;
    QString rest;
    if (t.size() >= 8 && t.left(8).toInt() > 0 && (t.size() == 8 || t[8] == QChar(' ') || t[8] == QChar('T'))) {
        bool digits = true;
        for (int i = 0; i < 8; ++i)
            digits = digits && t[i].isDigit();
        if (digits) {
            d = QDate(t.left(4).toInt(), t.mid(4, 2).toInt(), t.mid(6, 2).toInt());
            rest = t.mid(9);
        }
    }
    if (!d.isValid() && t.size() >= 10 && t[4] == QChar('-') && t[7] == QChar('-')) {
        d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
        rest = t.mid(11);
    }
    if (!d.isValid())
        return false;
    QTime tm(0, 0);
    rest = rest.trimmed();
    if (!rest.isEmpty()) {
        const int dot = rest.indexOf(QChar('.'));
        QString hms = dot >= 0 ? rest.left(dot) : rest;
        const QStringList parts = hms.split(QChar(':'));
        if (parts.size() < 2 || parts.size() > 3)
            return false;
        bool ok1, ok2, ok3 = true;
        const int h = parts[0].toInt(&ok1), m = parts[1].toInt(&ok2);
        const int s = parts.size() == 3 ? parts[2].toInt(&ok3) : 0;
        int ms = 0;
        if (dot >= 0)
            ms = int(std::lround(QStringLiteral("0.%1").arg(rest.mid(dot + 1).left(6)).toDouble() * 1000.0));
        tm = QTime(h, m, s, qMin(ms, 999));
        if (!ok1 || !ok2 || !ok3 || !tm.isValid())
            return false;
    }
    // Stored date-times carry no zone; keeping them in UTC spares a time-zone
    // lookup for every value read.
    out = QDateTime(d, tm, Qt::UTC);
    return true;
}

QString FloatToDisplay(double v)
{
    return FloatToStr(v);
}

}  // namespace FieldConv

namespace {
bool isStringType(TFieldType t)
{
    return t == ftString || t == ftFixedChar || t == ftWideString || t == ftUnknown;
}
bool isIntType(TFieldType t)
{
    return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc || t == ftLargeint;
}
bool isFloatType(TFieldType t)
{
    return t == ftFloat || t == ftCurrency || t == ftBCD;
}
bool isDateType(TFieldType t)
{
    return t == ftDate || t == ftTime || t == ftDateTime;
}

QString blobName(TFieldType t)
{
    switch (t) {
    case ftMemo: return QStringLiteral("Memo");
    case ftFmtMemo: return QStringLiteral("FmtMemo");
    case ftGraphic: return QStringLiteral("Graphic");
    case ftParadoxOle: return QStringLiteral("ParadoxOle");
    case ftDBaseOle: return QStringLiteral("DBaseOle");
    case ftTypedBinary: return QStringLiteral("TypedBinary");
    default: return QStringLiteral("Blob");
    }
}

QString variantText(const QVariant& raw)
{
    if (raw.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(raw.toByteArray());
    if (raw.typeId() == QMetaType::Double)
        return FloatToStr(raw.toDouble());
    return raw.toString();
}

[[noreturn]] void convertError(const QString& text, const char* what)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid %2").arg(text, QLatin1String(what)));
}
}  // namespace

// ---------------------------------------------------------------------- TField

int TField::DisplayWidth() const
{
    if (m_def.DisplayWidth > 0)
        return m_def.DisplayWidth;
    if (isStringType(m_def.DataType) && m_def.Size > 0)
        return m_def.Size;
    return 10;
}

TAlignment TField::Alignment() const
{
    if (m_def.Alignment >= 0)
        return TAlignment(m_def.Alignment);
    return IsNumeric() ? taRightJustify : taLeftJustify;
}

bool TField::IsBlob() const
{
    switch (m_def.DataType) {
    case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle:
    case ftDBaseOle: case ftTypedBinary:
        return true;
    default:
        return false;
    }
}

bool TField::IsNumeric() const
{
    return isIntType(m_def.DataType) || isFloatType(m_def.DataType);
}

QVariant TField::raw() const
{
    if (!m_dataSet || !m_dataSet->Active() || m_dataSet->ActiveRecord() < 0)
        return QVariant();
    return m_dataSet->RawValue(m_dataSet->ActiveRecord(), m_index);
}

QVariant TField::Value() const
{
    return ValueOf(raw());
}

bool TField::IsNull() const
{
    return Value().isNull();
}

QVariant TField::ValueOf(const QVariant& r) const
{
    if (r.isNull() || !r.isValid())
        return QVariant();
    const TFieldType t = m_def.DataType;
    if (isDateType(t)) {
        if (r.typeId() == QMetaType::QDateTime)
            return r;
        if (r.typeId() == QMetaType::QDate)
            return QDateTime(r.toDate(), QTime(0, 0), Qt::UTC);
        const QString s = variantText(r);
        if (s.trimmed().isEmpty())
            return QVariant();
        QDateTime dt;
        if (FieldConv::ParseDateTimeText(s, dt))
            return dt;
        return s;  // not a date: AsDateTime will say so
    }
    if (t == ftBoolean) {
        if (r.typeId() == QMetaType::Bool)
            return r;
        if (r.canConvert<qlonglong>() && r.typeId() != QMetaType::QString)
            return r.toLongLong() != 0;
        const QString s = r.toString().trimmed();
        bool ok = false;
        const qlonglong n = s.toLongLong(&ok);
        if (ok)
            return n != 0;
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        return r;
    }
    if (isIntType(t)) {
        if (r.typeId() == QMetaType::QString) {
            bool ok = false;
            const qlonglong n = r.toString().trimmed().toLongLong(&ok);
            return ok ? QVariant(n) : r;
        }
        if (r.typeId() == QMetaType::Double) {
            // A double beyond 64 bits stays as it is: no whole number holds it.
            const double whole = RoundHalfEven(r.toDouble(), 0);
            return whole >= -0x1p63 && whole < 0x1p63 ? QVariant(qlonglong(whole)) : QVariant(r.toDouble());
        }
        return r.toLongLong();
    }
    if (isFloatType(t)) {
        if (r.typeId() == QMetaType::QString) {
            bool ok = false;
            const double d = QLocale::c().toDouble(r.toString().trimmed(), &ok);
            return ok ? QVariant(d) : r;
        }
        return r.toDouble();
    }
    if (IsBlob())
        return r.typeId() == QMetaType::QByteArray ? r : QVariant(r.toString().toUtf8());
    return variantText(r);
}

QString TField::AsStringOf(const QVariant& r) const
{
    const QVariant v = ValueOf(r);
    if (v.isNull())
        return QString();
    const TFieldType t = m_def.DataType;
    if (isDateType(t) && v.typeId() == QMetaType::QDateTime) {
        const TDateTime dt = QDateTimeToDateTime(v.toDateTime());
        if (t == ftDate)
            return DateToStr(dt);
        if (t == ftTime)
            return TimeToStr(dt);
        return DateTimeToStr(dt);
    }
    if (t == ftBoolean && v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (isFloatType(t) && v.typeId() == QMetaType::Double)
        return FloatToStr(v.toDouble());
    return variantText(v);
}

QString TField::AsString() const
{
    return AsStringOf(raw());
}

QString TField::DisplayTextOf(const QVariant& r) const
{
    if (IsBlob()) {
        const QString name = blobName(m_def.DataType);
        return QChar('(') + (ValueOf(r).isNull() ? name : name.toUpper()) + QChar(')');
    }
    if (!m_def.DisplayFormat.isEmpty() && isFloatType(m_def.DataType)) {
        const QVariant v = ValueOf(r);
        if (v.typeId() == QMetaType::Double)
            return FormatFloat(m_def.DisplayFormat, v.toDouble());
    }
    if (m_def.Currency && isFloatType(m_def.DataType)) {
        const QVariant v = ValueOf(r);
        if (v.typeId() == QMetaType::Double)
            return CurrToStrF(v.toDouble(), ffCurrency, FormatSettings().CurrencyDecimals);
    }
    return AsStringOf(r);
}

QString TField::DisplayText() const
{
    return DisplayTextOf(raw());
}

namespace {
// A whole number of a double, when it lies in the 32-bit range (never for
// NaN or infinity).
TIntegerFit integerOfWhole(double whole, int& out)
{
    if (!(whole >= double(std::numeric_limits<int>::min()) && whole <= double(std::numeric_limits<int>::max())))
        return TIntegerFit::OutOfRange;
    out = int(whole);
    return TIntegerFit::Fits;
}

TIntegerFit integerOfNumber(qlonglong n, int& out)
{
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return TIntegerFit::OutOfRange;
    out = int(n);
    return TIntegerFit::Fits;
}

// A field's value read as a 32-bit integer: null 0, a flag 0 or 1, a double
// rounded half to even, a date its day number, a text as StrToInt reads it.
TIntegerFit integerOf(const QVariant& v, int& out)
{
    out = 0;
    if (v.isNull())
        return TIntegerFit::Fits;
    switch (v.typeId()) {
    case QMetaType::Bool:
        out = v.toBool() ? 1 : 0;
        return TIntegerFit::Fits;
    case QMetaType::Double: return integerOfWhole(RoundHalfEven(v.toDouble(), 0), out);
    case QMetaType::QString: return ScanIntText(v.toString(), out);
    case QMetaType::QDateTime: return integerOfWhole(std::trunc(QDateTimeToDateTime(v.toDateTime())), out);
    case QMetaType::ULongLong:
        return v.toULongLong() > qulonglong(std::numeric_limits<int>::max()) ? TIntegerFit::OutOfRange
                                                                               : integerOfNumber(v.toLongLong(), out);
    default: {
        bool number = false;
        const qlonglong n = v.toLongLong(&number);
        if (number)
            return integerOfNumber(n, out);
        out = v.toInt();
        return TIntegerFit::Fits;
    }
    }
}
}  // namespace

int TField::AsInteger() const
{
    const QVariant v = Value();
    int out = 0;
    switch (integerOf(v, out)) {
    case TIntegerFit::Fits: return out;
    case TIntegerFit::NotInteger: return StrToInt(v.toString());
    case TIntegerFit::OutOfRange: break;
    }
    throw ERangeError(QStringLiteral("The value %1 of %2 is too large for this program.")
                          .arg(AsStringOf(raw()).trimmed(), FieldName()));
}

bool TField::TryAsInteger(int& value) const
{
    return integerOf(Value(), value) == TIntegerFit::Fits;
}

double TField::AsFloat() const
{
    const QVariant v = Value();
    if (v.isNull())
        return 0.0;
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? 1.0 : 0.0;
    case QMetaType::QString: {
        double d;
        if (TryStrToFloat(v.toString(), d))
            return d;
        bool ok = false;
        d = QLocale::c().toDouble(v.toString().trimmed(), &ok);
        if (!ok)
            convertError(v.toString(), "floating point value");
        return d;
    }
    case QMetaType::QDateTime: return QDateTimeToDateTime(v.toDateTime());
    default: return v.toDouble();
    }
}

bool TField::AsBoolean() const
{
    const QVariant v = Value();
    if (v.isNull())
        return false;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        const QChar c = s.isEmpty() ? QChar() : s[0].toUpper();
        if (c == QChar('T') || c == QChar('Y') || (c.isDigit() && c != QChar('0')))
            return true;
        if (c == QChar('F') || c == QChar('N') || c == QChar('0'))
            return false;
        convertError(s, "boolean value");
    }
    return v.toDouble() != 0.0;
}

TDateTime TField::AsDateTime() const
{
    const QVariant v = Value();
    if (v.isNull())
        return 0.0;
    if (v.typeId() == QMetaType::QDateTime)
        return QDateTimeToDateTime(v.toDateTime());
    if (v.typeId() == QMetaType::QDate)
        return QDateToDateTime(v.toDate());
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
        return v.toDouble();
    QDateTime dt;
    if (FieldConv::ParseDateTimeText(v.toString(), dt))
        return QDateTimeToDateTime(dt);
    convertError(v.toString(), "date and time");
}

// ------------------------------------------------------------------- TDatabase

namespace {
QList<TDatabase*>& databases()
{
    static QList<TDatabase*> list;
    return list;
}
TDatabase::LoginDialogFn& loginDialog()
{
    static TDatabase::LoginDialogFn fn = &LoginDialogEx;
    return fn;
}
std::atomic<int> g_connectionSerial{0};

// The data source as an existing file. Settings files may hold a path whose
// capitals were lost to the lower-case connection prompt, so a path that
// matches an existing one only without regard to case (and unambiguously) is
// taken as that file.
QString existingFile(const QString& path)
{
    if (path.isEmpty())
        return QString();
    if (QFileInfo(path).isFile())
        return path;
    const QString clean = QDir::cleanPath(QDir(path).isAbsolute() ? path : QDir::current().absoluteFilePath(path));
    const QStringList parts = clean.split(QChar('/'), Qt::SkipEmptyParts);
    QString current = QStringLiteral("/");
    for (const QString& part : parts) {
        const QDir dir(current);
        if (QFileInfo::exists(dir.filePath(part))) {
            current = dir.filePath(part);
            continue;
        }
        QString match;
        for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                if (!match.isEmpty())
                    return QString();  // ambiguous
                match = entry;
            }
        }
        if (match.isEmpty())
            return QString();
        current = dir.filePath(match);
    }
    return QFileInfo(current).isFile() ? current : QString();
}

bool isSqliteFile(const QString& path)
{
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.isFile())
        return false;
    if (fi.size() == 0)
        return true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// An ODBC data source may lead to SQLite too (tests, small installs): true
// when it does. The SQLite ODBC driver reads INTEGER columns as 32-bit
// numbers unless the connection asks for 64-bit ones, and an id beyond 32
// bits would then arrive cut to some other row's: the connection is made
// again asking for them, and a number beyond 32 bits must come back whole.
// A table of a SQLite database reached through ODBC, whose lock a write
// transaction takes at its start; empty for a database without tables.
QString firstTable(QSqlDatabase& db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
                               "ORDER BY name LIMIT 1")) ||
        !q.next())
        return QString();
    return q.value(0).toString();
}

bool setUpOdbc(QSqlDatabase& db, const QString& source)
{
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT sqlite_version()")))
            return false;
    }
    db.close();
    QString options = source.trimmed();
    while (options.endsWith(QChar(';')))
        options.chop(1);
    db.setDatabaseName(options + QStringLiteral(";BigInt=1"));
    if (!db.open())
        DatabaseErrorFrom(db.lastError());
    const qint64 wide = (qint64(1) << 32) + 1;
    QSqlQuery probe(db);
    probe.setForwardOnly(true);
    if (!probe.exec(QStringLiteral("SELECT %1").arg(wide)) || !probe.next() || probe.value(0).toLongLong() != wide)
        throw EDatabaseError(QStringLiteral("The ODBC driver of data source '%1' cuts whole numbers to 32 bits, so "
                                            "rows could be taken for one another: it cannot be used")
                                 .arg(source));
    return true;
}

// The kinds of character beyond ASCII that a connection may fail to carry
// as they are: a driver manager that hands the program's UTF-16 text to a
// driver in a narrower form cuts what that form lacks (and may then cut
// every character of the statement to its low byte, where the low byte of
// one half of an emoji is an apostrophe). Each kind is sent and read back
// when the connection opens, with characters of its own.
enum TTextKind { tkWestern, tkOtherBmp, tkBeyondBmp, tkKinds };

TTextKind kindOf(char32_t c)
{
    if (c >= 0xA0 && c <= 0xFF)
        return tkWestern;
    if (c > 0xFFFF || QChar::isSurrogate(c))
        return tkBeyondBmp;
    return tkOtherBmp;
}

QString kindSample(TTextKind kind)
{
    QString sample;
    switch (kind) {
    case tkWestern:
        for (char32_t c = 0xA0; c <= 0xFF; ++c)
            sample += QChar(c);
        break;
    case tkOtherBmp:
        // Letters of several scripts, signs, a joiner, characters whose low
        // byte is an apostrophe, and the plane's ends but for the two codes
        // that are no characters (U+FFFE, U+FFFF).
        for (char32_t c : {0x80, 0x9F, 0x100, 0x127, 0x152, 0x394, 0x436, 0x5D0, 0x627, 0xE01, 0x200D, 0x2027,
                           0x20AC, 0x2122, 0x3042, 0x4E2D, 0xAC00, 0xE000, 0xFEFF, 0xFFFD})
            sample += QChar(c);
        break;
    default:
        for (char32_t c : {0x10000, 0x1D11E, 0x1F427, 0x1F468, 0x1F600, 0x20000, 0x10FFFF})
            sample += QString::fromUcs4(&c, 1);
        break;
    }
    return sample;
}

QString kindName(TTextKind kind)
{
    switch (kind) {
    case tkWestern: return QStringLiteral("accented letter or sign of Western Europe");
    case tkOtherBmp: return QStringLiteral("letter or sign beyond those of Western Europe");
    default: return QStringLiteral("emoji or rare symbol");
    }
}

// True when the connection gives the text back as sent.
bool comesBack(QSqlDatabase& db, const QString& sample)
{
    QSqlQuery probe(db);
    probe.setForwardOnly(true);
    return probe.exec(QStringLiteral("SELECT '%1' AS kv_probe").arg(sample)) && probe.next() &&
           probe.value(0).toString() == sample;
}

// The kinds of character the connection does not give back as sent, one
// bit each.
int uncarriedKinds(QSqlDatabase& db)
{
    int uncarried = 0;
    for (int kind = 0; kind < tkKinds; ++kind)
        if (!comesBack(db, kindSample(TTextKind(kind))))
            uncarried |= 1 << kind;
    return uncarried;
}

// The characters the connection may not give back at the start of a text
// although it carries them elsewhere: a conversion from UTF-16 that takes a
// leading U+FEFF for a byte order mark drops it, and reads a text that
// starts with U+FFFE byte-swapped. Those it does not give back.
QString lostAtStart(QSqlDatabase& db)
{
    QString lost;
    for (const QChar mark : {QChar(0xFEFF), QChar(0xFFFE)})
        if (!comesBack(db, mark + QStringLiteral("kv")))
            lost += mark;
    return lost;
}

QString errorText(const QSqlError& err)
{
    QString db = err.databaseText().trimmed();
    QString drv = err.driverText().trimmed();
    // The engine has nothing to say when the driver itself refused the
    // statement (it then reports SQLite's "not an error"): the driver's text
    // says what went wrong.
    if (db.isEmpty() || db.compare(QLatin1String("not an error"), Qt::CaseInsensitive) == 0)
        return drv;
    return db;
}
}  // namespace

void DatabaseErrorFrom(const QSqlError& err, const QString& context)
{
    QString msg = errorText(err);
    if (msg.isEmpty())
        msg = QStringLiteral("General SQL error");
    throw EDatabaseError(context.isEmpty() ? msg : context + QStringLiteral(": ") + msg);
}

bool IsDuplicateKeyError(const EDatabaseError& error)
{
    // SQLite: "UNIQUE constraint failed: t.c" (a primary key too); SQL
    // Server: errors 2627 ("Violation of PRIMARY KEY constraint ... Cannot
    // insert duplicate key in object ...") and 2601 ("Cannot insert
    // duplicate key row in object ... with unique index ...").
    const QString& text = error.Message();
    return text.contains(QLatin1String("UNIQUE constraint failed"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("Cannot insert duplicate key"), Qt::CaseInsensitive);
}

TDatabase::TDatabase(QObject* owner) : QObject(owner)
{
    Params.Add(QStringLiteral("USER NAME=sa"));
    m_connectionName = QStringLiteral("kvsys-%1").arg(++g_connectionSerial);
    databases().append(this);
}

TDatabase::~TDatabase()
{
    try {
        SetConnected(false);
    } catch (...) {
    }
    databases().removeAll(this);
}

TDatabase* TDatabase::Find(const QString& name)
{
    for (TDatabase* db : databases())
        if (db->DatabaseName.compare(name, Qt::CaseInsensitive) == 0)
            return db;
    return nullptr;
}

TDatabase::LoginDialogFn TDatabase::SetLoginDialog(LoginDialogFn fn)
{
    LoginDialogFn old = std::move(loginDialog());
    loginDialog() = std::move(fn);
    return old;
}

bool TDatabase::Connected() const
{
    return m_connected;
}

void TDatabase::registerDataSet(TDataSet* ds)
{
    if (!m_dataSets.contains(ds))
        m_dataSets.append(ds);
}

void TDatabase::unregisterDataSet(TDataSet* ds)
{
    m_dataSets.removeAll(ds);
}

void TDatabase::SetConnected(bool value)
{
    if (value == m_connected)
        return;
    if (!value) {
        const auto sets = m_dataSets;
        for (const QPointer<TDataSet>& ds : sets)
            if (ds)
                ds->Close();
        m_dataSets.clear();
        if (m_inTransaction) {
            m_db.rollback();
            m_inTransaction = m_transactionFailed = false;
        }
        letStatementsGo();
        m_translated.clear();
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        m_connected = false;
        m_sqlite = m_embedded = m_readOnly = false;
        m_uncarried = 0;
        m_lostAtStart.clear();
        m_lockTable.clear();
        emit AfterDisconnect();
        return;
    }

    QString user = Params.Values(QStringLiteral("USER NAME"));
    QString password = Params.Values(QStringLiteral("PASSWORD"));
    if (LoginPrompt) {
        if (!loginDialog() || !loginDialog()(DatabaseName, user, password))
            throw EDatabaseError(QStringLiteral("Cannot connect to database '%1'").arg(DatabaseName));
    }
    const QString source = AliasName.trimmed();
    if (source.isEmpty())
        throw EDatabaseError(QStringLiteral("No data source is set for database '%1'").arg(DatabaseName));

    const QString file = existingFile(source);
    const bool embedded = isSqliteFile(file);
    // A path is never an ODBC data source name: say plainly what is missing.
    if (!embedded && (source.contains(QChar('/')) || source.contains(QChar('\\')))) {
        throw EDatabaseError(file.isEmpty()
                                 ? QStringLiteral("The database file '%1' does not exist").arg(source)
                                 : QStringLiteral("'%1' is not a database file").arg(source));
    }
    if (!QSqlDatabase::isDriverAvailable(embedded ? QStringLiteral("QSQLITE") : QStringLiteral("QODBC")))
        throw EDatabaseError(QStringLiteral("The %1 database driver is not installed")
                                 .arg(embedded ? QStringLiteral("SQLite") : QStringLiteral("ODBC")));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(embedded ? QStringLiteral("QSQLITE") : QStringLiteral("QODBC"),
                                                    m_connectionName);
        bool readOnly = false;
        if (embedded) {
            SqliteSetup::Configure(db, file, readOnly);
        } else {
            db.setDatabaseName(source);
            db.setUserName(user);
            db.setPassword(password);
        }
        if (!db.open()) {
            const QSqlError err = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            DatabaseErrorFrom(err);
        }
        bool sqlite = embedded;
        try {
            if (embedded)
                SqliteSetup::SetUp(db, readOnly);
            else
                sqlite = setUpOdbc(db, source);
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            throw;
        }
        m_uncarried = uncarriedKinds(db);
        // A file is read through the engine's own cursor, which reads every
        // text as stored.
        m_lostAtStart = embedded ? QString() : lostAtStart(db);
        m_db = db;
        m_readOnly = readOnly;
        m_sourceName = embedded ? file : source;
        m_sqlite = sqlite;
        m_lockTable = sqlite && !embedded ? firstTable(db) : QString();
    }
    m_embedded = embedded;
    m_transactionFailed = false;
    m_connected = true;
    emit AfterConnect();
}

void TDatabase::ConnectInstead(const QString& alias, const TStringList& params)
{
    TDatabase next;  // no name of its own: no query finds it
    next.AliasName = alias;
    next.Params = params;
    next.LoginPrompt = false;
    next.NetFileDir = NetFileDir;
    next.SetConnected(true);
    SetConnected(false);
    AliasName = alias;
    Params = params;
    LoginPrompt = false;
    // This database takes the open connection; `next` is left with the one
    // just closed and goes with it.
    std::swap(m_connectionName, next.m_connectionName);
    std::swap(m_db, next.m_db);
    std::swap(m_connected, next.m_connected);
    m_sqlite = next.m_sqlite;
    m_embedded = next.m_embedded;
    m_readOnly = next.m_readOnly;
    m_uncarried = next.m_uncarried;
    m_lostAtStart = next.m_lostAtStart;
    m_lockTable = next.m_lockTable;
    m_sourceName = next.m_sourceName;
    m_transactionFailed = false;
    emit AfterConnect();
}

QString TDatabase::PrepareSql(const QString& text) const
{
    if (!m_sqlite)
        return text;
    // A statement run again (the same page, one row by its key) is
    // translated once.
    const auto known = m_translated.constFind(text);
    if (known != m_translated.cend())
        return *known;
    if (m_translated.size() >= 64)
        m_translated.clear();
    return *m_translated.insert(text, SqlDialect::ToSqlite(text));
}

sqlite3_stmt* TDatabase::TakeStatement(const QByteArray& engineText)
{
    return m_statements.take(engineText);
}

void TDatabase::KeepStatement(const QByteArray& engineText, sqlite3_stmt* statement)
{
    if (!m_connected || m_statements.contains(engineText) || m_statements.size() >= 32)
        sqlite3_finalize(statement);
    else
        m_statements.insert(engineText, statement);
}

void TDatabase::letStatementsGo()
{
    for (sqlite3_stmt* statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    m_statements.clear();
}

QString TDatabase::Uncarried(const QString& text, bool statement, qsizetype* at) const
{
    if (m_uncarried == 0 && m_lostAtStart.isEmpty())
        return QString();
    const qsizetype n = text.size();
    qsizetype opened = -1;  // in a statement: where the quoted text being read begins
    bool quoted = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t unit = text.at(i).unicode();
        if (statement && unit == u'\'') {
            if (quoted && i + 1 < n && text.at(i + 1) == QLatin1Char('\'')) {
                ++i;  // a quote inside the text
                continue;
            }
            quoted = !quoted;
            opened = i + 1;
            continue;
        }
        if (unit < 0x80)
            continue;
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < n && text.at(i + 1).isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(unit, text.at(i + 1).unicode()) : unit;
        const auto named = [&] {
            return QStringLiteral("the character %1 (U+%2)")
                .arg(text.mid(i, pair ? 2 : 1), QString::number(uint(c), 16).toUpper().rightJustified(4, QChar('0')));
        };
        if (at)
            *at = i;
        const bool atStart = statement ? quoted && i == opened : i == 0;
        if (atStart && m_lostAtStart.contains(QChar(unit)))
            return named() + QStringLiteral(" at its start, which the data source %1 cannot take as typed there")
                                 .arg(m_sourceName);
        const TTextKind kind = kindOf(c);
        if (m_uncarried & (1 << kind))
            return named() + QStringLiteral(", which the data source %1 cannot take as typed, nor any other %2")
                                 .arg(m_sourceName, kindName(kind));
        if (pair)
            ++i;
    }
    return QString();
}

namespace {
// The character that starts at `at`, a surrogate pair whole.
QString characterAt(const QString& text, qsizetype at)
{
    return text.mid(at, text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1);
}

// The quoted text of a statement that the character at `at` stands in, its
// doubled quotes single; the whole statement when it stands in none.
QString quotedTextAt(const QString& statement, qsizetype at)
{
    QString quoted;
    bool inside = false;
    for (qsizetype i = 0; i < statement.size(); ++i) {
        if (i == at && !inside)
            return statement;
        const QChar c = statement.at(i);
        if (c != QLatin1Char('\'')) {
            if (inside)
                quoted += c;
            continue;
        }
        if (inside && i + 1 < statement.size() && statement.at(i + 1) == QLatin1Char('\'')) {
            quoted += c;
            ++i;
        } else if (inside && i > at) {
            return quoted;
        } else {
            inside = !inside;
            quoted.clear();
        }
    }
    return inside ? quoted : statement;
}
}  // namespace

void TDatabase::CheckCarried(const QString& text) const
{
    qsizetype at = 0;
    const QString uncarried = Uncarried(text, true, &at);
    if (!uncarried.isEmpty())
        throw EUncarriedText(uncarried, characterAt(text, at), quotedTextAt(text, at));
}

void TDatabase::CheckCarriedAsStored(const QString& field, const QString& value) const
{
    qsizetype at = 0;
    const QString uncarried = Uncarried(value, false, &at);
    if (!uncarried.isEmpty())
        throw EUncarriedText(uncarried, characterAt(value, at), value, field);
}

QString TDatabase::StatementText(const QString& sqlServerText)
{
    try {
        CheckCarried(sqlServerText);
    } catch (const EDatabaseError&) {
        StatementFailed();
        throw;
    }
    return PrepareSql(sqlServerText);
}

QString TDatabase::ReadOnlyMessage() const
{
    return QStringLiteral("The data source %1 is read-only: nothing can be saved").arg(m_sourceName);
}

void TDatabase::StatementFailed()
{
    // The server may have ended the transaction itself (a trigger or
    // constraint that rolls it back, a deadlock): statements after it would
    // then commit one by one, and through ODBC the driver would go on
    // counting the transaction open. It is rolled back at once, so the
    // driver and the server agree again, and takes no further statement.
    if (!m_inTransaction || m_transactionFailed)
        return;
    m_transactionFailed = true;
    rollbackThroughDriver();
}

void TDatabase::StatementError(const QSqlError& err, const QString& context)
{
    StatementFailed();
    // SQLite's "attempt to write a readonly database" (code 8 and its
    // extended codes) on a source opened read-only.
    if (m_readOnly && (err.nativeErrorCode().toInt() & 0xFF) == 8)
        throw EDatabaseError(ReadOnlyMessage());
    DatabaseErrorFrom(err, context);
}

namespace {
QString failedTransactionText(const QString& outcome)
{
    return QStringLiteral("A statement of this transaction failed and it was rolled back: ") + outcome;
}
}  // namespace

void TDatabase::CheckTransactionUsable() const
{
    if (m_inTransaction && m_transactionFailed)
        throw EDatabaseError(failedTransactionText(QStringLiteral("nothing more is written in it")));
}

bool TDatabase::rollbackThroughDriver()
{
    if (m_db.rollback())
        return true;
    if (m_embedded)
        return false;
    // The server has no transaction to roll back: it ended it itself, while
    // the driver still counts one open (and would run every later statement
    // outside any transaction). One begun on the server and rolled back
    // through the driver brings the two together again.
    QSqlQuery begin(m_db);
    begin.setForwardOnly(true);
    return begin.exec(PrepareSql(QStringLiteral("BEGIN TRANSACTION"))) && m_db.rollback();
}

void TDatabase::StartTransaction()
{
    if (!m_connected)
        throw EDatabaseError(QStringLiteral("Database '%1' is not connected").arg(DatabaseName));
    // A transaction is only ever started to write.
    if (m_readOnly)
        throw EDatabaseError(ReadOnlyMessage());
    if (m_inTransaction)
        throw EDatabaseError(QStringLiteral("A transaction is already active"));
    if (m_embedded) {
        // SQLite: the transaction holds the file's write lock from its start,
        // so that what it reads before it writes (a row it compares, a value
        // it checks for duplicates) is still what is stored when it writes:
        // no other program's write can come between. A transaction that
        // took the lock only at its first write would find the file changed
        // since its reads and fail ("database is locked").
        QSqlQuery begin(m_db);
        if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
            DatabaseErrorFrom(begin.lastError());
    } else {
        if (!m_db.transaction())
            DatabaseErrorFrom(m_db.lastError());
        if (m_sqlite && !m_lockTable.isEmpty()) {
            // Through ODBC the driver begins the transaction at its first
            // statement; a write that changes nothing takes the lock there.
            QSqlQuery lock(m_db);
            QString table = m_lockTable;
            table.replace(QChar('"'), QStringLiteral("\"\""));
            if (!lock.exec(QStringLiteral("DELETE FROM \"%1\" WHERE 0").arg(table))) {
                const QSqlError err = lock.lastError();
                rollbackThroughDriver();
                DatabaseErrorFrom(err);
            }
        }
    }
    m_inTransaction = true;
    m_transactionFailed = false;
}

void TDatabase::Commit()
{
    if (!m_inTransaction)
        return;
    if (m_transactionFailed) {
        m_inTransaction = m_transactionFailed = false;
        throw EDatabaseError(failedTransactionText(QStringLiteral("nothing was saved")));
    }
    if (!m_db.commit()) {
        const QSqlError err = m_db.lastError();
        rollbackThroughDriver();
        m_inTransaction = false;
        DatabaseErrorFrom(err);
    }
    m_inTransaction = false;
}

void TDatabase::Rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    if (std::exchange(m_transactionFailed, false))
        return;  // rolled back when its statement failed
    if (!rollbackThroughDriver())
        DatabaseErrorFrom(m_db.lastError());
}

// ---------------------------------------------------------------- TTransaction

TTransaction::TTransaction(TDatabase* db) : m_db(db)
{
    if (!m_db)
        throw EDatabaseError(QStringLiteral("No database for the transaction"));
    if (!m_db->InTransaction()) {
        m_db->StartTransaction();
        m_owner = true;
    }
}

TTransaction::~TTransaction()
{
    if (m_owner && !m_done) {
        try {
            m_db->Rollback();
        } catch (...) {
        }
    }
}

void TTransaction::Commit()
{
    if (m_owner && !m_done)
        m_db->Commit();
    m_done = true;
}

// -------------------------------------------------------------------- TDataSet

namespace {
[[noreturn]] void closedError(const TDataSet* ds)
{
    const QString msg = QStringLiteral("Cannot perform this operation on a closed dataset");
    throw EDatabaseError(ds->objectName().isEmpty() ? msg : ds->objectName() + QStringLiteral(": ") + msg);
}
}  // namespace

namespace {
// A value Locate looks for, made ready once in the forms the rows hold it:
// a number as a number, a text as its UTF-8 bytes.
struct TSought {
    const TField* field = nullptr;
    QVariant want;
    bool numeric = false;     // a number or flag field
    bool text = false;        // a text field
    bool numberOk = false;    // want read as a number
    double number = 0.0;
    bool whole = false;       // want is a whole number: compared exactly
    qint64 wholeValue = 0;
    QString wantText;
    QByteArray wantUtf8;
};

TSought makeSought(const TField* field, const QVariant& want)
{
    TSought s;
    s.field = field;
    s.want = want;
    s.numeric = field->IsNumeric() || field->DataType() == ftBoolean;
    s.text = isStringType(field->DataType());
    if (want.isNull())
        return s;
    if (want.typeId() == QMetaType::Bool) {
        s.numberOk = s.whole = true;
        s.wholeValue = want.toBool() ? 1 : 0;
        s.number = double(s.wholeValue);
    } else {
        const QString t = want.toString().trimmed();
        s.number = t.toDouble(&s.numberOk);
        bool ok = false;
        const qlonglong n = t.toLongLong(&ok);
        if (s.numberOk && ok) {
            s.whole = true;
            s.wholeValue = n;
        }
    }
    s.wantText = want.typeId() == QMetaType::QDateTime ? field->AsStringOf(want) : want.toString();
    s.wantUtf8 = s.wantText.toUtf8();
    return s;
}

// The comparison on the value as the field reads it.
bool soughtMatchesValue(const TSought& s, const QVariant& raw, bool ci, bool partial)
{
    const QVariant v = s.field->ValueOf(raw);
    if (v.isNull() || s.want.isNull())
        return v.isNull() == s.want.isNull();
    if (s.field->IsNumeric() || v.typeId() == QMetaType::Bool) {
        if (!s.numberOk)
            return false;
        const double have = v.typeId() == QMetaType::Bool ? (v.toBool() ? 1.0 : 0.0) : v.toDouble();
        return have == s.number;
    }
    const QString have = s.field->AsStringOf(raw);
    const Qt::CaseSensitivity cs = ci ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return partial ? have.startsWith(s.wantText, cs) : have.compare(s.wantText, cs) == 0;
}

// The same comparison on the stored value itself, for the values a page
// holds most (numbers in number fields, texts in text fields); any other
// goes through the field's conversion.
bool soughtMatches(const TSought& s, const TValueRef& value, bool ci, bool partial)
{
    if (value.kind == TValueRef::Null)
        return s.want.isNull();
    if (s.numeric && (value.kind == TValueRef::Int || value.kind == TValueRef::Float)) {
        if (s.want.isNull() || !s.numberOk)
            return false;
        const TFieldType type = s.field->DataType();
        if (type == ftBoolean && value.kind == TValueRef::Int)
            return (value.i != 0 ? 1.0 : 0.0) == s.number;
        if (value.kind == TValueRef::Int && isIntType(type))
            return s.whole ? value.i == s.wholeValue : double(value.i) == s.number;
        if (value.kind == TValueRef::Float && isFloatType(type))
            return value.d == s.number;
        return soughtMatchesValue(s, value.toVariant(), ci, partial);
    }
    if (s.text && value.kind == TValueRef::Text && !ci && !partial) {
        if (s.want.isNull())
            return false;
        if (value.bytes() == QByteArrayView(s.wantUtf8))
            return true;
        if (value.bytes().isValidUtf8())
            return false;  // the same text would have the same bytes
    }
    return soughtMatchesValue(s, value.toVariant(), ci, partial);
}

// Runs a SELECT forward only, with the values for its ? marks.
bool runSelect(QSqlQuery& q, const QString& text, const QVariantList& params)
{
    q.setForwardOnly(true);
    if (params.isEmpty())
        return q.exec(text);
    if (!q.prepare(text))
        return false;
    for (const QVariant& value : params)
        q.addBindValue(value);
    return q.exec();
}
}  // namespace

// A move of the current row (Next, MoveBy, Locate ...). Where the rows are
// read again on the way and the current row is no longer among them, that is
// told once the outermost move is over, and only when the move has made no
// other row current.
class TMoveScope {
public:
    explicit TMoveScope(TDataSet* ds) : m_ds(ds) { ++m_ds->m_moves; }
    ~TMoveScope()
    {
        if (--m_ds->m_moves == 0 && m_ds->m_lost && std::uncaught_exceptions() == m_unwinding)
            m_ds->tellCurrentRowGone();
    }
    TMoveScope(const TMoveScope&) = delete;
    TMoveScope& operator=(const TMoveScope&) = delete;

private:
    TDataSet* m_ds;
    int m_unwinding = std::uncaught_exceptions();
};

TDatabase& TDataSet::StatementDatabase()
{
    TDatabase* db = Database();
    if (!db)
        throw EDatabaseError(Describe(QStringLiteral("Unknown database '%1'").arg(DatabaseName)));
    if (!db->Connected())
        db->SetConnected(true);
    db->CheckTransactionUsable();
    return *db;
}

TDataSet::TDataSet(QObject* owner) : QObject(owner) {}

TDataSet::~TDataSet()
{
    m_active = false;
    m_cursor.reset();
    if (m_database)
        m_database->unregisterDataSet(this);
}

TDatabase* TDataSet::Database() const
{
    return TDatabase::Find(DatabaseName);
}

QString TDataSet::Describe(const QString& msg) const
{
    return objectName().isEmpty() ? msg : objectName() + QStringLiteral(": ") + msg;
}

void TDataSet::Open()
{
    if (m_active)
        return;
    TDatabase* db = &StatementDatabase();
    const QString whole = SelectText();
    const QString window = FirstWindow > 0 && !UniDirectional ? SqlDialect::WithRowLimit(whole, FirstWindow) : QString();
    TBusyCursor busy;
    // A forward-only reader (an export, a report) reads for as long as it
    // takes, on a snapshot of its own.
    const QString engineText = db->StatementText(window.isEmpty() ? whole : window);
    // (A statement with values bound reads on the program's connection.)
    const QVariantList params = SelectParams();
    std::unique_ptr<TCursor> cursor = UniDirectional && params.isEmpty()
                                          ? OpenReaderCursor(*db, engineText, objectName())
                                          : OpenCursor(*db, engineText, objectName(), params);
    const QVector<TFieldDef>& columns = cursor->Columns();
    m_columnCount = int(columns.size());
    if (!m_defs.isEmpty()) {
        // Persistent fields live as long as the data set; each open maps them
        // to the result's columns again.
        QHash<TFieldKey, int> byName;  // the first column of each name
        byName.reserve(columns.size());
        for (int c = int(columns.size()) - 1; c >= 0; --c)
            byName.insert(TFieldKey{columns[c].Name}, c);
        QVector<int> mapped;
        for (const TFieldDef& def : m_defs) {
            const int col = byName.value(TFieldKey{def.Name}, -1);
            if (col < 0)
                throw EDatabaseError(Describe(QStringLiteral("Field '%1' not found").arg(def.Name)));
            mapped << col;
        }
        if (m_fields.size() != size_t(m_defs.size())) {
            m_fields.clear();
            for (int i = 0; i < m_defs.size(); ++i)
                m_fields.emplace_back(new TField(this, m_defs[i], i, mapped[i]));
            indexFields();
        } else {
            for (int i = 0; i < m_defs.size(); ++i)
                m_fields[i]->m_column = mapped[i];
        }
    } else {
        m_fields.clear();
        for (int c = 0; c < columns.size(); ++c)
            m_fields.emplace_back(new TField(this, columns[c], c, c));
        indexFields();
    }

    m_cursor = std::move(cursor);
    m_rows.Clear();
    m_base = 0;
    m_allFetched = false;
    m_window = window.isEmpty() ? 0 : FirstWindow;
    m_replaced = false;
    m_count = -1;
    m_active = true;
    m_database = db;
    db->registerDataSet(this);
    try {
        // The first window is read whole, so its statement has ended when the
        // data set is open: nothing holds the connection's view of the data
        // while the page stands.
        FetchTo(m_window > 0 ? m_window - 1 : 0);
    } catch (...) {
        Close();
        throw;
    }
    m_cur = FetchedCount() > 0 ? 0 : -1;
    m_picked = false;
    m_bof = true;
    m_eof = m_cur < 0;
    emit AfterOpen();
    notifyScroll();
}

void TDataSet::Close()
{
    if (!m_active)
        return;
    emit BeforeClose();
    m_active = false;
    m_cursor.reset();
    m_rows.Clear();  // the memory goes back to the system
    if (m_defs.isEmpty()) {
        m_fields.clear();  // fields from the server live while the data set is open
        m_fieldIndex.clear();
    }
    m_base = 0;
    m_cur = -1;
    m_bof = m_eof = true;
    m_allFetched = false;
    m_window = 0;
    m_count = -1;
    m_lost = false;
    m_foundByKey = false;
    if (m_database)
        m_database->unregisterDataSet(this);
    emit AfterClose();
}

void TDataSet::SetFieldDefs(const QVector<TFieldDef>& defs)
{
    if (m_active)
        throw EDatabaseError(Describe(QStringLiteral("Cannot change the fields of an open dataset")));
    m_defs = defs;
    m_fields.clear();
    m_fieldIndex.clear();
}

void TDataSet::Refresh()
{
    if (!m_active)
        closedError(this);
    const int recNo = RecNo();
    // A data set whose rows have a key returns to its row by the key (or to
    // none, as it stood); others to the same place.
    const bool byKey = !KeyField.isEmpty();
    const QVariant key = byKey && m_cur >= 0 ? FieldByName(KeyField)->Value() : QVariant();
    DisableControls();
    try {
        Close();
        Open();
        if (byKey && key.isValid())
            LocateKey(key);
        else if (byKey)
            ClearCurrent();
        else if (recNo > 1)
            SetRecNo(qMin(recNo, FetchTo(recNo - 1) ? recNo : FetchedCount()));
    } catch (...) {
        m_disableCount = qMax(0, m_disableCount - 1);
        throw;
    }
    EnableControls();
}

size_t qHash(const TFieldKey& key, size_t seed) noexcept
{
    // Over the folded characters, as the comparison folds them.
    size_t h = seed;
    const QString& s = key.Name;
    for (qsizetype i = 0; i < s.size(); ++i) {
        char32_t c = s.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), s.at(++i).unicode());
        h = h * 31 + QChar::toCaseFolded(c);
    }
    return h;
}

void TDataSet::indexFields()
{
    m_fieldIndex.clear();
    m_fieldIndex.reserve(qsizetype(m_fields.size()));
    for (int i = int(m_fields.size()) - 1; i >= 0; --i)
        m_fieldIndex.insert(TFieldKey{m_fields[size_t(i)]->FieldName()}, i);
}

TField* TDataSet::FindField(const QString& name) const
{
    const int i = m_fieldIndex.value(TFieldKey{name}, -1);
    return i >= 0 && size_t(i) < m_fields.size() ? m_fields[size_t(i)].get() : nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const
{
    TField* f = FindField(name);
    if (!f)
        throw EDatabaseError(Describe(QStringLiteral("Field '%1' not found").arg(name)));
    return f;
}

void TDataSet::fetchOne()
{
    if (m_allFetched || !m_cursor)
        return;
    try {
        if (m_cursor->Next(m_rows))
            return;
        if (m_window > 0 && m_rows.End() >= m_window) {
            readPastWindow();  // the window is full: more may follow
            return;
        }
    } catch (...) {
        m_allFetched = true;
        m_cursor.reset();
        throw;
    }
    m_allFetched = true;
    m_cursor.reset();  // frees the statement (and its read lock)
}

void TDataSet::readPastWindow()
{
    // The whole statement, read again from its first row: the rows of the
    // window are checked against it, so what follows them continues the
    // same order even where the engine could order equal rows either way.
    const int held = m_rows.End();
    m_window = 0;
    m_cursor.reset();
    TDatabase* db = Database();
    if (!db || !db->Connected())
        throw EDatabaseError(Describe(QStringLiteral("The database is not connected")));
    TBusyCursor busy;
    // Where the rows differ, the current row is found again by its key.
    const TField* key = m_cur >= 0 && !KeyField.isEmpty() ? FindField(KeyField) : nullptr;
    const QVariant keyValue = key ? m_rows.Value(m_cur, key->m_column).toVariant() : QVariant();
    const TSought sought = key ? makeSought(key, keyValue) : TSought();
    int found = -1;
    auto look = [&](const TRowStore& rows) {
        const int row = rows.End() - 1;
        if (key && found < 0 && soughtMatches(sought, rows.Value(row, key->m_column), false, false))
            found = row;
    };
    // The rest is read when the operator gets to it, perhaps much later: on a
    // snapshot of its own, so the program's connection still sees what other
    // programs write, and saves are not held back by it.
    const QString engineText = db->StatementText(SelectText());
    const QVariantList params = SelectParams();
    std::unique_ptr<TCursor> cursor = params.isEmpty() ? OpenReaderCursor(*db, engineText, objectName())
                                                       : OpenCursor(*db, engineText, objectName(), params);
    TRowStore again;
    bool same = true;
    bool more = true;
    while (again.End() < held && (more = cursor->Next(again))) {
        same = same && again.RowBytes(again.End() - 1) == m_rows.RowBytes(again.End() - 1);
        look(again);
    }
    if (!same || again.End() < held) {
        // Not among the rows the page held: further on, or gone. One row
        // asked for by its key says which before the page reads on to it.
        if (key && found < 0 && more && m_picked && keyIsThere(*key, keyValue))
            while (found < 0 && (more = cursor->Next(again)))
                look(again);
        m_rows = std::move(again);
        m_replaced = true;
        m_foundByKey = key != nullptr;
        m_found = found;
        ++m_readAgain;
    }
    if (more)
        m_cursor = std::move(cursor);
    else
        m_allFetched = true;
}

bool TDataSet::keyIsThere(const TField& key, const QVariant& value)
{
    TDatabase* db = Database();
    if (!db || !db->Connected())
        throw EDatabaseError(Describe(QStringLiteral("The database is not connected")));
    if (value.isNull())
        return false;
    const QString inner = SqlDialect::WithoutTrailingOrderBy(SelectText()).trimmed();
    QSqlQuery q(db->Connection());
    const QString text =
        QStringLiteral("SELECT COUNT(*) FROM (%1) AS kv_key WHERE kv_key.%2 = ?").arg(inner, key.FieldName());
    if (!runSelect(q, db->StatementText(text), SelectParams() << value))
        db->StatementError(q.lastError(), objectName());
    return q.next() && q.value(0).toLongLong() > 0;
}

void TDataSet::tellCurrentRowGone()
{
    m_lost = false;
    if (m_active && m_cur < 0)
        emit CurrentRowGone();
}

void TDataSet::ClearCurrent()
{
    if (!m_active)
        closedError(this);
    const bool any = FetchTo(m_base);
    m_bof = true;
    m_eof = !any;
    setCurrent(-1);
}

bool TDataSet::FetchTo(int row)
{
    if (!m_active || row < 0)
        return false;
    const int before = FetchedCount();
    while (FetchedCount() <= row && !m_allFetched)
        fetchOne();
    const int after = FetchedCount();
    if (m_allFetched && m_count < 0)
        m_count = after;
    if (m_replaced) {
        // Views start again from the rows as they are now (also while the
        // controls are quiet: they hold rows that may be gone).
        m_replaced = false;
        const bool byKey = std::exchange(m_foundByKey, false);
        if (byKey && (m_found >= 0 || m_picked)) {
            // The current row where its key is now; none where the row the
            // operator picked has gone.
            m_bof = m_found < 0 || (m_bof && m_found == 0);
            if (m_found < 0) {
                m_eof = false;
                m_lost = true;
            }
            m_cur = m_found;
        } else if (byKey) {
            m_cur = after > 0 ? 0 : -1;  // the first row, as opening makes it current
            m_bof = true;
            m_eof = m_cur < 0;
        } else if (m_cur >= after) {
            m_cur = after - 1;
            m_eof = true;
            m_bof = m_cur < 0;
        }
        emit RowsReplaced();
    } else if (after > before && !ControlsDisabled()) {
        emit RowsFetched(before, after - 1);
    }
    if (m_lost && m_moves == 0)
        tellCurrentRowGone();
    return row < after;
}

QVariant TDataSet::RawValue(int row, int fieldIndex)
{
    return ValueRef(row, fieldIndex).toVariant();
}

TValueRef TDataSet::ValueRef(int row, int fieldIndex)
{
    if (!m_active || fieldIndex < 0 || fieldIndex >= int(m_fields.size()))
        return TValueRef();
    if (row < m_base || !FetchTo(row))
        return TValueRef();
    return m_rows.Value(row, m_fields[size_t(fieldIndex)]->m_column);
}

void TDataSet::RowValues(int row, QVector<TValueRef>& out)
{
    out.resize(qsizetype(m_fields.size()));
    if (!m_active || row < m_base || !FetchTo(row)) {
        out.fill(TValueRef());
        return;
    }
    m_columnValues.resize(size_t(m_columnCount));
    const TValueRef* columns = m_columnValues.data();
    m_rows.Values(row, m_columnValues.data(), m_columnCount);
    TValueRef* values = out.data();
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const int column = m_fields[i]->m_column;
        values[i] = column >= 0 && column < m_columnCount ? columns[column] : TValueRef();
    }
}

void TDataSet::notifyScroll()
{
    if (!ControlsDisabled())
        emit AfterScroll();
    else
        m_scrollPending = true;
}

void TDataSet::dropBehind()
{
    if (!UniDirectional || m_cur <= m_base)
        return;
    m_base = m_cur;
    m_rows.DropBefore(m_base);
}

void TDataSet::setCurrent(int row, bool notify)
{
    m_cur = row;
    m_picked = row >= 0;
    dropBehind();
    if (notify)
        notifyScroll();
}

void TDataSet::EnableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0) {
        m_scrollPending = false;
        emit DataChanged();
        emit AfterScroll();
    }
}

void TDataSet::First()
{
    if (!m_active)
        closedError(this);
    if (UniDirectional && m_base > 0)
        throw EDatabaseError(Describe(QStringLiteral("Operation not allowed on a unidirectional dataset")));
    const bool any = FetchTo(0);
    m_bof = true;
    m_eof = !any;
    setCurrent(any ? 0 : -1);
}

void TDataSet::Next()
{
    if (!m_active)
        closedError(this);
    TMoveScope move(this);
    // With no row current, the first row; else the one after the current
    // row, where a new read of the rows on the way has put it.
    const int readAgain = m_readAgain;
    int next = qMax(m_cur + 1, m_base);
    bool there = FetchTo(next);
    if (m_readAgain != readAgain) {
        if (m_lost)
            return;  // the current row went: none stays current
        next = qMax(m_cur + 1, m_base);
        there = FetchTo(next);
    }
    if (there) {
        m_bof = false;
        m_eof = false;
        setCurrent(next);
    } else {
        m_bof = false;
        m_eof = true;
    }
}

void TDataSet::Prior()
{
    if (!m_active)
        closedError(this);
    if (UniDirectional)
        throw EDatabaseError(Describe(QStringLiteral("Operation not allowed on a unidirectional dataset")));
    if (m_cur > 0) {
        m_bof = false;
        m_eof = false;
        setCurrent(m_cur - 1);
    } else {
        m_bof = true;
    }
}

void TDataSet::Last()
{
    if (!m_active)
        closedError(this);
    TMoveScope move(this);
    FetchTo(INT_MAX - 1);
    const int n = FetchedCount();
    m_bof = false;
    m_eof = true;
    setCurrent(n > 0 ? n - 1 : -1);
    if (n == 0)
        m_bof = true;
}

int TDataSet::MoveBy(int distance)
{
    if (!m_active)
        closedError(this);
    TMoveScope move(this);
    int moved = 0;
    const int fetchedBefore = FetchedCount();
    ++m_disableCount;  // one scroll notice for the whole move
    try {
        for (; distance > 0; --distance) {
            const int before = m_cur;
            Next();
            if (m_cur == before || m_lost)
                break;
            ++moved;
        }
        for (; distance < 0; ++distance) {
            const int before = m_cur;
            Prior();
            if (m_cur == before)
                break;
            --moved;
        }
    } catch (...) {
        --m_disableCount;
        throw;
    }
    --m_disableCount;
    m_scrollPending = false;
    if (!ControlsDisabled()) {
        if (FetchedCount() > fetchedBefore)
            emit RowsFetched(fetchedBefore, FetchedCount() - 1);
        if (moved != 0)
            emit AfterScroll();
    }
    return moved;
}

bool TDataSet::IsEmpty()
{
    if (!m_active)
        return true;
    return !FetchTo(m_base);
}

void TDataSet::SetRecNo(int recNo)
{
    if (!m_active)
        closedError(this);
    TMoveScope move(this);
    if (recNo < 1 || !FetchTo(recNo - 1) || recNo - 1 < m_base)
        return;
    m_bof = recNo == 1;
    m_eof = false;
    setCurrent(recNo - 1);
}

int TDataSet::RecordCount()
{
    if (!m_active)
        return 0;
    if (m_count >= 0)
        return m_count;
    if (m_allFetched)
        return m_count = FetchedCount();
    // Count on the server: the statement without its ORDER BY, wrapped.
    TBusyCursor busy;
    TDatabase* db = Database();
    if (db && db->Connected()) {
        const QString inner = SqlDialect::WithoutTrailingOrderBy(SelectText()).trimmed();
        QSqlQuery q(db->Connection());
        if (runSelect(q, db->StatementText(QStringLiteral("SELECT COUNT(*) FROM (%1) AS kv_count").arg(inner)),
                      SelectParams()) &&
            q.next()) {
            m_count = q.value(0).toInt();
            return m_count;
        }
        // Inside a transaction a failed count ends it, as any failed
        // statement does; outside one the rows are counted as they are read.
        if (db->InTransaction())
            db->StatementError(q.lastError(), objectName());
    }
    FetchTo(INT_MAX - 1);
    return m_count = FetchedCount();
}


bool TDataSet::Locate(const QString& keyFields, const QVariant& keyValues, TLocateOptions options)
{
    if (!m_active)
        closedError(this);
    const QStringList names = keyFields.split(QChar(';'), Qt::SkipEmptyParts);
    QVector<TField*> fields;
    for (const QString& n : names)
        fields.push_back(FieldByName(n.trimmed()));
    QVariantList values;
    if (fields.size() == 1)
        values << keyValues;
    else
        values = keyValues.toList();
    if (values.size() != fields.size())
        throw EDatabaseError(Describe(QStringLiteral("Locate needs one value per key field")));

    // The sought values are read once, not again for every row passed.
    std::vector<TSought> sought;
    for (int k = 0; k < fields.size(); ++k)
        sought.push_back(makeSought(fields[k], values[k]));
    const bool ci = options & loCaseInsensitive;
    const bool partial = options & loPartialKey;
    auto matches = [&](int row) {
        for (const TSought& s : sought)
            if (!soughtMatches(s, m_rows.Value(row, s.field->m_column), ci, partial))
                return false;
        return true;
    };

    // The rows read on the way are told to the controls once, at the end,
    // not batch by batch while the walk goes on.
    TMoveScope move(this);
    const int fetchedBefore = FetchedCount();
    int found = -1;
    int readAgain = m_readAgain;
    ++m_disableCount;
    try {
        for (int row = m_base; FetchTo(row); ++row) {
            if (m_readAgain != readAgain) {
                // The rows gave way to a new read of them: the walk starts
                // again from its first row.
                readAgain = m_readAgain;
                row = m_base - 1;
                continue;
            }
            if (matches(row)) {
                found = row;
                break;
            }
        }
    } catch (...) {
        --m_disableCount;
        throw;
    }
    --m_disableCount;
    if (!ControlsDisabled() && FetchedCount() > fetchedBefore)
        emit RowsFetched(fetchedBefore, FetchedCount() - 1);
    if (found < 0)
        return false;
    m_bof = found == 0;
    m_eof = false;
    setCurrent(found);
    return true;
}

bool TDataSet::LocateKey(const QVariant& key)
{
    if (!m_active)
        closedError(this);
    TMoveScope move(this);
    const TField* field = FieldByName(KeyField);
    // Asked of the server only where the rows read so far may not be all.
    bool there = !key.isNull() && (m_allFetched || keyIsThere(*field, key));
    if (there && Locate(KeyField, key))
        return true;
    ClearCurrent();
    m_lost = true;
    return false;
}

// ---------------------------------------------------------------------- TQuery

TQuery::TQuery(QObject* owner, const QString& databaseName) : TDataSet(owner)
{
    DatabaseName = databaseName;
    m_sql.OnChange = [this] { Close(); };
}

QString TQuery::SelectText() const
{
    return m_sql.Lines().join(QChar('\n'));
}

void TQuery::ExecSQL()
{
    TDatabase& db = StatementDatabase();
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!q.exec(db.StatementText(SelectText())))
        db.StatementError(q.lastError(), objectName());
    m_rowsAffected = q.numRowsAffected();
}

qint64 TQuery::ExecInsert()
{
    TDatabase& db = StatementDatabase();
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    QVariant id;
    if (db.IsSqlite()) {
        if (!q.exec(db.StatementText(SelectText())))
            db.StatementError(q.lastError(), objectName());
        m_rowsAffected = q.numRowsAffected();
        QSqlQuery last(db.Connection());
        last.setForwardOnly(true);
        if (!last.exec(QStringLiteral("SELECT last_insert_rowid()")) || !last.next())
            db.StatementError(last.lastError(), objectName());
        id = last.value(0);
    } else {
        // SQL Server: the identity of this INSERT, from the same batch, at
        // the width of the widest identity.
        const QString batch = SelectText() + QStringLiteral("\nSELECT CAST(SCOPE_IDENTITY() AS BIGINT) AS NewID");
        if (!q.exec(db.StatementText(batch)))
            db.StatementError(q.lastError(), objectName());
        m_rowsAffected = q.numRowsAffected();
        while (!q.isSelect() && q.nextResult()) {
        }
        if (q.next())
            id = q.value(0);
    }
    if (id.isNull())
        return 0;  // the table gives no ids
    // The id is read whole: a number cut or rounded on the way would name
    // another row.
    bool whole = false;
    qint64 newId = 0;
    if (id.typeId() == QMetaType::Double) {
        const double d = id.toDouble();
        whole = std::fabs(d) < 9007199254740992.0 && d == std::floor(d);  // exact below 2^53
        newId = whole ? qint64(d) : 0;
    } else {
        newId = id.toLongLong(&whole);
    }
    if (!whole)
        throw EDatabaseError(Describe(QStringLiteral("The server gave no id for the new row")));
    return newId;
}

// ------------------------------------------------------------------ TRowReader

TRowReader::TRowReader(TDataSet* dataSet) : m_ds(dataSet)
{
    if (auto* query = qobject_cast<TQuery*>(dataSet)) {
        m_own = std::make_unique<TQuery>(nullptr, query->DatabaseName);
        m_own->setObjectName(query->objectName());
        m_own->SQL() = query->SQL();
        m_own->SetFieldDefs(query->FieldDefs());
        m_own->UniDirectional = true;
        m_own->DisableControls();  // no control watches it
        m_own->Open();
    } else {
        m_keep = dataSet->RecNo();
        m_ds->DisableControls();
        m_ds->First();
    }
}

TRowReader::~TRowReader()
{
    if (m_own)
        return;
    try {
        if (m_keep > 0 && m_ds->Active())
            m_ds->SetRecNo(m_keep);
    } catch (...) {
    }
    m_ds->EnableControls();
}

// ----------------------------------------------------------------- TDataSource

TDataSource::TDataSource(QObject* owner, TDataSet* dataSet) : QObject(owner)
{
    SetDataSet(dataSet);
}

void TDataSource::SetDataSet(TDataSet* ds)
{
    for (const auto& c : m_links)
        disconnect(c);
    m_links.clear();
    m_dataSet = ds;
    if (ds) {
        m_links << connect(ds, &TDataSet::AfterOpen, this, [this] { if (Enabled) emit StateChange(); });
        m_links << connect(ds, &TDataSet::AfterClose, this, [this] { if (Enabled) emit StateChange(); });
        m_links << connect(ds, &TDataSet::AfterScroll, this, [this] { if (Enabled) emit DataChange(); });
        m_links << connect(ds, &TDataSet::DataChanged, this, [this] { if (Enabled) emit DataChange(); });
        m_links << connect(ds, &TDataSet::RowsFetched, this, [this] { if (Enabled) emit DataChange(); });
    }
    emit DataSetChanged();
}
