#pragma once
// The data module: owner of the one database connection every query of the
// program uses, of the connection identity kept scrambled in the
// settings file, and of the switch between the main and the test set.
#include "DB.h"
#include "StringList.h"
#include <QObject>
#include <QString>

// The name of that connection: every query of the program gives it.
inline constexpr char kDatabaseName[] = "dbKVdata";

class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(QObject* owner = nullptr);

    TDatabase* dbKVdata;

    // OnCreate: connects from the settings file. When the stored connection
    // fails, the error is shown and the connection prompt asks again (so one
    // wrong entry cannot lock the program out); cancelling it ends the start
    // with EAbort.
    void DMCreate();
    // Asks for the data source and identity, proposing the stored data
    // source, and writes what was entered to "DBconnection". False when the
    // operator cancelled.
    bool PromptForConnection();
    // Connects from "DBconnection", prompting first when a value is missing.
    // Engine errors propagate.
    void ConnectDatabase();
    // Makes the test set (true) or the main set (false) active and reconnects.
    void SetDatabaseSet(bool Test);

    // Settings scrambling: clear text (Windows-1252 bytes) XORed with a fixed
    // key, written as upper-case hex pairs.
    static QString XorWithKey(const QString& S);
    static QString EncodeString(const QString& S);
    // Raises EConvertError when a pair is not hex; a trailing odd digit is
    // ignored.
    static QString DecodeString(const QString& H);
    // DecodeString that counts text which is not valid hex as missing (empty).
    static QString DecodeOrEmpty(const QString& H);

    // Present for the engine's login event; no event uses it.
    void DBSaccLogin(TDatabase* Database, TStringList& LoginParams);
    static QString InvertString(const QString& S);
};

extern TDM* DM;

// The settings file: the settings folder, then the program's file name with
// the extension ".ini" (kvsys.ini).
QString SettingsFileName();
