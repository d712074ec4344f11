#include "DataMod.h"
#include "Application.h"
#include "Cp1252.h"
#include "IniFiles.h"
#include "LoginFrm.h"
#include "Platform.h"
#include "SysUtils.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <optional>

TDM* DM = nullptr;

namespace {
// The scrambling key: 31 characters of the Windows code page (© is A9, ® AE).
const QByteArray& scrambleKey()
{
    static const QByteArray key = cp1252::fromUnicode(QString::fromUtf8("©~1q2W3e4R5t6Y7u8I9o0P1a2S3d4~®"));
    return key;
}

// The engine user name and the stored password constant of the unused login
// handler; the password is kept complemented.
const char kEngineUser[] = "kvsys";
const unsigned char kEnginePasswordInverted[6] = {0x8F, 0x9E, 0x8C, 0x8C, 0xCE, 0xCD};
}  // namespace

QString SettingsFileName()
{
    QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("kvsys");
    return SettingsFolder() + base + QStringLiteral(".ini");
}

TDM::TDM(QObject* owner) : QObject(owner)
{
    setObjectName(QStringLiteral("DM"));
    dbKVdata = new TDatabase(this);
    dbKVdata->setObjectName(QLatin1String(kDatabaseName));
    dbKVdata->DatabaseName = QLatin1String(kDatabaseName);
    dbKVdata->AliasName = QStringLiteral("SQLKV");
    dbKVdata->Params.Assign(QStringList{QStringLiteral("USER NAME=sa")});
    dbKVdata->SessionName = QStringLiteral("Default");
    dbKVdata->LoginPrompt = true;
}

namespace {
// A scrambled text Windows-1252 cannot hold is its UTF-8 bytes after the
// byte-order mark; every other text keeps its Windows-1252 bytes, as stored
// values always were.
const QByteArray kUtf8Mark("\xEF\xBB\xBF");

QByteArray xorBytes(const QByteArray& in)
{
    const QByteArray& key = scrambleKey();
    QByteArray out(in.size(), '\0');
    for (int i = 0; i < in.size(); ++i)
        out[i] = char(in[i] ^ key[i % key.size()]);
    return out;
}
}  // namespace

QString TDM::XorWithKey(const QString& S)
{
    return cp1252::toUnicode(xorBytes(cp1252::fromUnicode(S)));
}

QString TDM::EncodeString(const QString& S)
{
    // A Windows-1252 text that happens to begin with the mark's three bytes
    // ("ï»¿") is marked too, so it reads back as itself.
    QByteArray clear = cp1252::fits(S) ? cp1252::fromUnicode(S) : QByteArray();
    if (clear.size() < S.size() || clear.startsWith(kUtf8Mark))
        clear = kUtf8Mark + S.toUtf8();
    const QByteArray bytes = xorBytes(clear);
    QString out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes)
        out += IntToHex(static_cast<unsigned char>(b), 2);
    return out;
}

QString TDM::DecodeString(const QString& H)
{
    QByteArray bytes;
    for (int pos = 0; pos + 1 < H.size(); pos += 2)
        bytes.append(char(StrToInt(QChar('$') + H.mid(pos, 2))));
    const QByteArray clear = xorBytes(bytes);
    if (clear.startsWith(kUtf8Mark))
        return QString::fromUtf8(clear.mid(kUtf8Mark.size()));
    return cp1252::toUnicode(clear);
}

QString TDM::DecodeOrEmpty(const QString& H)
{
    try {
        return DecodeString(H);
    } catch (const EConvertError&) {
        return QString();
    }
}

namespace {
const char kConnection[] = "DBconnection";

QString setSection(bool test)
{
    return test ? QStringLiteral("TestCfg") : QStringLiteral("MainCfg");
}

// A connection identity as the settings file keeps it, or as typed at the
// prompt.
struct TIdentity {
    QString Dsn, User, Password;
    bool Typed = false;
    bool Complete() const { return !Dsn.isEmpty() && !User.isEmpty() && !Password.isEmpty(); }
    bool operator==(const TIdentity& o) const { return Dsn == o.Dsn && User == o.User && Password == o.Password; }
};

// A value that is not valid hex counts as missing, so the prompt asks again
// instead of every start failing.
TIdentity readConnection(const TIniFile& ini)
{
    return {ini.ReadString(QLatin1String(kConnection), QStringLiteral("KVDSN"), QString()),
            TDM::DecodeOrEmpty(ini.ReadString(QLatin1String(kConnection), QStringLiteral("ur"), QString())),
            TDM::DecodeOrEmpty(ini.ReadString(QLatin1String(kConnection), QStringLiteral("pd"), QString()))};
}

TIdentity readSet(const TIniFile& ini, const QString& section)
{
    return {TDM::DecodeOrEmpty(ini.ReadString(section, QStringLiteral("id1"), QString())),
            TDM::DecodeOrEmpty(ini.ReadString(section, QStringLiteral("id2"), QString())),
            TDM::DecodeOrEmpty(ini.ReadString(section, QStringLiteral("id3"), QString()))};
}

// The connection prompt proposing the identity's data source and user name,
// and its password only when that was typed (a stored one is never shown).
// On OK the identity is what was given.
bool askIdentity(TIdentity& id)
{
    TStringList params;
    params.SetValue(QStringLiteral("USER NAME"), id.User);
    if (id.Typed)
        params.SetValue(QStringLiteral("PASSWORD"), id.Password);
    QString dsn = id.Dsn;
    if (!LoginPrompt(QStringLiteral("Brellinghast"), true, dsn, params))
        return false;
    id = {dsn, params.Values(QStringLiteral("USER NAME")), params.Values(QStringLiteral("PASSWORD")), true};
    return true;
}

// Connects as the identity; a data source that fails leaves the connection
// in use as it was.
void connectTo(TDatabase& db, const TIdentity& id)
{
    db.NetFileDir = SettingsFolder();
    db.ConnectInstead(id.Dsn, TStringList{QStringLiteral("USER NAME=") + id.User,
                                          QStringLiteral("PASSWORD=") + id.Password});
}

// A connected identity becomes the connection in use and, when it belongs
// to a set, that set.
void storeIdentity(const TIdentity& id, const QString& section)
{
    TIniFile ini(SettingsFileName());
    ini.WriteString(QLatin1String(kConnection), QStringLiteral("KVDSN"), id.Dsn);
    ini.WriteString(QLatin1String(kConnection), QStringLiteral("ur"), TDM::EncodeString(id.User));
    ini.WriteString(QLatin1String(kConnection), QStringLiteral("pd"), TDM::EncodeString(id.Password));
    if (!section.isEmpty()) {
        ini.WriteString(section, QStringLiteral("id1"), TDM::EncodeString(id.Dsn));
        ini.WriteString(section, QStringLiteral("id2"), TDM::EncodeString(id.User));
        ini.WriteString(section, QStringLiteral("id3"), TDM::EncodeString(id.Password));
    }
    ini.UpdateFile();
}

// Connects as the identity and stores it. One that does not connect is
// told, naming the set when it is one, and the prompt asks, proposing what
// was tried, until what it is given connects. Cancel raises EAbort with
// nothing stored and the connection in use as it was. `failure`, when
// given, says why the identity did not connect just now.
void connectAndStore(TDatabase& db, TIdentity id, const QString& section, std::optional<QString> failure = {})
{
    for (;;) {
        if (!failure) {
            try {
                connectTo(db, id);
                break;
            } catch (const EDatabaseError& e) {
                failure = e.Message();
            }
        }
        if (!section.isEmpty())
            failure = QStringLiteral("Cannot connect to the %1 database '%2': %3")
                          .arg(section == setSection(true) ? QStringLiteral("test") : QStringLiteral("main"), id.Dsn,
                               *failure);
        HandleException(EDatabaseError(*failure));
        failure.reset();
        do {
            if (!askIdentity(id))
                Abort();
        } while (!id.Complete());
    }
    storeIdentity(id, section);
}
}  // namespace

void TDM::DMCreate()
{
    QString failure;
    try {
        ConnectDatabase();
        return;
    } catch (const EDatabaseError& e) {
        failure = e.Message();
    }
    const TIniFile ini(SettingsFileName());
    TIdentity id = readConnection(ini);
    if (id.Dsn.isEmpty())
        id.Dsn = dbKVdata->AliasName;
    // The connection in use is normally a copy of a set: a mend belongs to
    // that set too, or the set would bring the failure back.
    QString section;
    for (const bool test : {false, true})
        if (section.isEmpty() && id.Complete() && readSet(ini, setSection(test)) == id)
            section = setSection(test);
    connectAndStore(*dbKVdata, id, section, failure);
}

void TDM::ConnectDatabase()
{
    TIniFile ini(SettingsFileName());
    TIdentity id = readConnection(ini);

    if (!id.Complete()) {
        if (id.Dsn.isEmpty())
            id.Dsn = dbKVdata->AliasName;
        // Cancel gives no identity, whatever the file held.
        if (!askIdentity(id))
            id.User = id.Password = QString();
        if (!id.Dsn.isEmpty())
            ini.WriteString(QLatin1String(kConnection), QStringLiteral("KVDSN"), id.Dsn);
        if (!id.User.isEmpty())
            ini.WriteString(QLatin1String(kConnection), QStringLiteral("ur"), EncodeString(id.User));
        if (!id.Password.isEmpty())
            ini.WriteString(QLatin1String(kConnection), QStringLiteral("pd"), EncodeString(id.Password));
    }

    if (!id.User.isEmpty() && !id.Password.isEmpty()) {
        if (dbKVdata->Connected())
            dbKVdata->SetConnected(false);
        dbKVdata->AliasName = id.Dsn;
        dbKVdata->Params.Assign(
            QStringList{QStringLiteral("USER NAME=") + id.User, QStringLiteral("PASSWORD=") + id.Password});
        dbKVdata->LoginPrompt = false;
    }

    dbKVdata->NetFileDir = SettingsFolder();
    dbKVdata->SetConnected(true);
    ini.UpdateFile();
}

bool TDM::SetDatabaseSet(bool Test)
{
    const QString section = setSection(Test);
    TIdentity id = readSet(TIniFile(SettingsFileName()), section);
    if (!id.Complete()) {
        if (id.Dsn.isEmpty())
            id.Dsn = dbKVdata->AliasName + (Test ? QStringLiteral("_TESTDB") : QString());
        do {
            if (!askIdentity(id))
                return false;
        } while (!id.Complete());
    }
    connectAndStore(*dbKVdata, id, section);
    return true;
}

QString TDM::InvertString(const QString& S)
{
    QString out;
    out.reserve(S.size());
    for (QChar c : S) {
        unsigned char b = '?';
        cp1252::charToByte(c, b);
        out += cp1252::byteToChar(static_cast<unsigned char>(~b));
    }
    return out;
}

void TDM::DBSaccLogin(TDatabase*, TStringList& LoginParams)
{
    QString stored;
    for (unsigned char b : kEnginePasswordInverted)
        stored += cp1252::byteToChar(b);
    LoginParams.SetValue(QStringLiteral("USERNAME"), QString::fromLatin1(kEngineUser));
    LoginParams.SetValue(QStringLiteral("PASSWORD"), InvertString(stored));
}
