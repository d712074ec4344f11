#include "DataMod.h"
#include "Application.h"
#include "Cp1252.h"
#include "IniFiles.h"
#include "LoginFrm.h"
#include "Platform.h"
#include "SysUtils.h"
#include <QCoreApplication>
#include <QFileInfo>

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

void TDM::DMCreate()
{
    for (bool first = true;; first = false) {
        if (!first && !PromptForConnection())
            Abort();  // the operator gave up: the start ends quietly
        try {
            ConnectDatabase();
            return;
        } catch (const EDatabaseError& e) {
            HandleException(e);
        }
    }
}

bool TDM::PromptForConnection()
{
    TIniFile ini(SettingsFileName());
    QString dsn = ini.ReadString(QStringLiteral("DBconnection"), QStringLiteral("KVDSN"), QString());
    if (dsn.isEmpty())
        dsn = dbKVdata->AliasName;
    TStringList list;
    if (!LoginPrompt(QStringLiteral("Brellinghast"), true, dsn, list))
        return false;
    const QString user = list.Values(QStringLiteral("USER NAME"));
    const QString password = list.Values(QStringLiteral("PASSWORD"));
    if (!dsn.isEmpty())
        ini.WriteString(QStringLiteral("DBconnection"), QStringLiteral("KVDSN"), dsn);
    if (!user.isEmpty())
        ini.WriteString(QStringLiteral("DBconnection"), QStringLiteral("ur"), EncodeString(user));
    if (!password.isEmpty())
        ini.WriteString(QStringLiteral("DBconnection"), QStringLiteral("pd"), EncodeString(password));
    return true;
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

void TDM::ConnectDatabase()
{
    TStringList list;
    TIniFile ini(SettingsFileName());

    QString dsn = ini.ReadString(QStringLiteral("DBconnection"), QStringLiteral("KVDSN"), QString());
    // A value that is not valid hex counts as missing, so the prompt asks
    // again instead of every start failing.
    QString user = DecodeOrEmpty(ini.ReadString(QStringLiteral("DBconnection"), QStringLiteral("ur"), QString()));
    QString password = DecodeOrEmpty(ini.ReadString(QStringLiteral("DBconnection"), QStringLiteral("pd"), QString()));

    if (dsn.isEmpty() || user.isEmpty() || password.isEmpty()) {
        if (dsn.isEmpty())
            dsn = dbKVdata->AliasName;
        LoginPrompt(QStringLiteral("Brellinghast"), true, dsn, list);
        user = list.Values(QStringLiteral("USER NAME"));
        password = list.Values(QStringLiteral("PASSWORD"));
        if (!dsn.isEmpty())
            ini.WriteString(QStringLiteral("DBconnection"), QStringLiteral("KVDSN"), dsn);
        if (!user.isEmpty())
            ini.WriteString(QStringLiteral("DBconnection"), QStringLiteral("ur"), EncodeString(user));
        if (!password.isEmpty())
            ini.WriteString(QStringLiteral("DBconnection"), QStringLiteral("pd"), EncodeString(password));
    }

    if (!user.isEmpty() && !password.isEmpty()) {
        list.Add(QStringLiteral("USER NAME=") + user);
        list.Add(QStringLiteral("PASSWORD=") + password);
        if (dbKVdata->Connected())
            dbKVdata->SetConnected(false);
        dbKVdata->AliasName = dsn;
        dbKVdata->Params = list;
        dbKVdata->LoginPrompt = false;
    }

    dbKVdata->NetFileDir = SettingsFolder();
    dbKVdata->SetConnected(true);
    ini.UpdateFile();
}

void TDM::SetDatabaseSet(bool Test)
{
    TStringList list;
    TIniFile ini(SettingsFileName());
    const QString section = Test ? QStringLiteral("TestCfg") : QStringLiteral("MainCfg");

    QString dsn = DecodeOrEmpty(ini.ReadString(section, QStringLiteral("id1"), QString()));
    QString user = DecodeOrEmpty(ini.ReadString(section, QStringLiteral("id2"), QString()));
    QString password = DecodeOrEmpty(ini.ReadString(section, QStringLiteral("id3"), QString()));

    if (dsn.isEmpty() || user.isEmpty() || password.isEmpty()) {
        if (dsn.isEmpty())
            dsn = dbKVdata->AliasName + (Test ? QStringLiteral("_TESTDB") : QString());
        LoginPrompt(QStringLiteral("Brellinghast"), true, dsn, list);
        user = list.Values(QStringLiteral("USER NAME"));
        password = list.Values(QStringLiteral("PASSWORD"));
    }

    if (!dsn.isEmpty()) {
        ini.WriteString(QStringLiteral("DBconnection"), QStringLiteral("KVDSN"), dsn);
        ini.WriteString(section, QStringLiteral("id1"), EncodeString(dsn));
    }
    if (!user.isEmpty()) {
        ini.WriteString(QStringLiteral("DBconnection"), QStringLiteral("ur"), EncodeString(user));
        ini.WriteString(section, QStringLiteral("id2"), EncodeString(user));
    }
    if (!password.isEmpty()) {
        ini.WriteString(QStringLiteral("DBconnection"), QStringLiteral("pd"), EncodeString(password));
        ini.WriteString(section, QStringLiteral("id3"), EncodeString(password));
    }

    ConnectDatabase();
    ini.UpdateFile();
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
