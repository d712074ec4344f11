#include "SqliteSetup.h"
#include "Exceptions.h"
#include "Platform.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QUrl>
#include <sqlite3.h>
#include <vector>

namespace SqliteSetup {

namespace {

// Byte 18 of the file header is 2 for a database in WAL mode.
bool isWalFile(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = f.read(20);
    return header.size() == 20 && header[18] == 2;
}

// --------------------------------------------------------------------- LIKE

// One code point at a time from UTF-16 or UTF-8, with its case folded.
template <typename Unit>
struct Cursor {
    const Unit* p;
    const Unit* end;
    bool atEnd() const { return p >= end; }
    char32_t next();
};

template <>
char32_t Cursor<char16_t>::next()
{
    char32_t c = *p++;
    if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p))
        c = QChar::surrogateToUcs4(char16_t(c), *p++);
    return c;
}

template <>
char32_t Cursor<unsigned char>::next()
{
    const unsigned char b = *p++;
    if (b < 0x80)
        return b;
    int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t c = b & (0x3F >> more);
    for (; more > 0 && p < end && (*p & 0xC0) == 0x80; --more)
        c = (c << 6) | (*p++ & 0x3F);
    return more == 0 ? c : char32_t(0xFFFD);
}

char32_t fold(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// A set [..] or [^..] starting after its "[". Moves `pc` past the closing
// "]" and tells whether `c` (folded) is in it; false with `pc` unmoved when
// the set is not closed, and "[" is then a plain character.
template <typename Unit>
bool matchSet(Cursor<Unit>& pc, char32_t c, bool& inSet)
{
    Cursor<Unit> q = pc;
    bool negate = false;
    std::vector<char32_t> items;
    Cursor<Unit> peek = q;
    if (!peek.atEnd() && peek.next() == '^') {
        negate = true;
        q = peek;
    }
    bool closed = false;
    bool found = false;
    char32_t prev = 0;
    bool havePrev = false;
    while (!q.atEnd()) {
        const char32_t s = q.next();
        if (s == ']') {
            closed = true;
            break;
        }
        if (s == '-' && havePrev && !q.atEnd()) {
            Cursor<Unit> r = q;
            const char32_t hi = r.next();
            if (hi != ']') {
                q = r;
                const char32_t lo = prev;
                if ((c >= fold(lo) && c <= fold(hi)) || (c >= lo && c <= hi))
                    found = true;
                havePrev = false;
                continue;
            }
        }
        if (fold(s) == c)
            found = true;
        prev = s;
        havePrev = true;
    }
    if (!closed)
        return false;
    pc = q;
    inSet = found != negate;
    return true;
}

template <typename Unit>
bool likeMatch(Cursor<Unit> pat, Cursor<Unit> txt, char32_t escape)
{
    // Greedy with a return to the last %: linear for patterns without %,
    // and never more than pattern x text steps.
    Cursor<Unit> starPat{nullptr, nullptr};
    Cursor<Unit> starTxt{nullptr, nullptr};
    bool haveStar = false;
    while (true) {
        if (!pat.atEnd()) {
            Cursor<Unit> p = pat;
            char32_t pc = p.next();
            if (escape && pc == escape) {
                if (p.atEnd())
                    return false;  // a pattern may not end in its escape
                pc = p.next();
                if (!txt.atEnd()) {
                    Cursor<Unit> t = txt;
                    if (fold(t.next()) == fold(pc)) {
                        pat = p;
                        txt = t;
                        continue;
                    }
                }
            } else if (pc == '%') {
                while (!p.atEnd()) {
                    Cursor<Unit> q = p;
                    if (q.next() != '%')
                        break;
                    p = q;
                }
                if (p.atEnd())
                    return true;  // a trailing % takes the rest
                pat = p;
                starPat = p;
                starTxt = txt;
                haveStar = true;
                continue;
            } else if (!txt.atEnd()) {
                Cursor<Unit> t = txt;
                const char32_t tc = fold(t.next());
                bool ok;
                if (pc == '_') {
                    ok = true;
                } else if (pc == '[') {
                    bool inSet = false;
                    ok = matchSet(p, tc, inSet) ? inSet : tc == '[';
                } else {
                    ok = fold(pc) == tc;
                }
                if (ok) {
                    pat = p;
                    txt = t;
                    continue;
                }
            }
        } else if (txt.atEnd()) {
            return true;
        }
        if (!haveStar || starTxt.atEnd())
            return false;
        starTxt.next();
        txt = starTxt;
        pat = starPat;
    }
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    char32_t escape = 0;
    if (argc == 3) {
        const unsigned char* e = sqlite3_value_text(argv[2]);
        if (!e)
            return;  // NULL
        const int n = sqlite3_value_bytes(argv[2]);
        Cursor<unsigned char> ec{e, e + n};
        if (ec.atEnd() || (escape = ec.next(), !ec.atEnd())) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    const unsigned char* pattern = sqlite3_value_text(argv[0]);
    const int pn = sqlite3_value_bytes(argv[0]);
    const unsigned char* text = sqlite3_value_text(argv[1]);
    const int tn = sqlite3_value_bytes(argv[1]);
    if (!pattern || !text)
        return;  // NULL
    Cursor<unsigned char> p{pattern, pattern + pn};
    Cursor<unsigned char> t{text, text + tn};
    sqlite3_result_int(ctx, likeMatch(p, t, escape) ? 1 : 0);
}

// The functions every connection to the file has: LIKE as above.
bool addFunctions(sqlite3* h)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    return sqlite3_create_function_v2(h, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr, nullptr) ==
               SQLITE_OK &&
           sqlite3_create_function_v2(h, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr, nullptr) ==
               SQLITE_OK;
}

constexpr int kBusyTimeoutMs = 5000;

}  // namespace

bool CanWrite(const QString& file)
{
    const QFileInfo fi(file);
    return PathWritable(fi.absoluteFilePath()) && PathWritable(fi.absolutePath());
}

void Configure(QSqlDatabase& db, const QString& file, bool& readOnly)
{
    readOnly = !CanWrite(file);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (!readOnly) {
        db.setDatabaseName(file);
        db.setConnectOptions(options);
        return;
    }
    options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    const QString shm = file + QStringLiteral("-shm");
    if (isWalFile(file) && !QFileInfo::exists(shm)) {
        // A WAL database opened read-only needs its shared-memory file, which
        // an unwritable folder cannot take. No connection is using the file
        // (the last one removes that file), so it is read as it stands.
        db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?immutable=1"));
        options += QStringLiteral(";QSQLITE_OPEN_URI");
    } else {
        db.setDatabaseName(file);
    }
    db.setConnectOptions(options);
}

sqlite3* EngineHandle(const QSqlDatabase& db)
{
    if (!db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    return handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
               ? *static_cast<sqlite3* const*>(handle.constData())
               : nullptr;
}

void SetUp(QSqlDatabase& db, bool readOnly)
{
    sqlite3* h = EngineHandle(db);
    if (!h)
        throw EDatabaseError(QStringLiteral("The SQLite driver gives no engine handle"));
    if (!addFunctions(h))
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(h)));
    if (!readOnly) {
        // Readers do not hold writers off: a page left half read does not
        // block a save, here or in another program on the same file.
        QSqlQuery wal(db);
        wal.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
}

sqlite3* OpenReader(const QSqlDatabase& db)
{
    // The file (or URI) and URI flag the connection was opened with; used by
    // one thread only, so without the engine's locking of every call.
    int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX;
    if (db.connectOptions().contains(QLatin1String("QSQLITE_OPEN_URI")))
        flags |= SQLITE_OPEN_URI;
    sqlite3* h = nullptr;
    const int rc = sqlite3_open_v2(db.databaseName().toUtf8().constData(), &h, flags, nullptr);
    if (rc != SQLITE_OK || !addFunctions(h)) {
        const QString msg = h ? QString::fromUtf8(sqlite3_errmsg(h)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(h);
        throw EDatabaseError(msg);
    }
    sqlite3_busy_timeout(h, kBusyTimeoutMs);
    return h;
}

bool LikeMatch(QStringView pattern, QStringView text, char32_t escape)
{
    const auto* p = reinterpret_cast<const char16_t*>(pattern.utf16());
    const auto* t = reinterpret_cast<const char16_t*>(text.utf16());
    return likeMatch(Cursor<char16_t>{p, p + pattern.size()}, Cursor<char16_t>{t, t + text.size()}, escape);
}

}  // namespace SqliteSetup
