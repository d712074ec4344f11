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
    // with EAbort. A connection that is a copy of the main or the test set is
    // mended as that set is (SetDatabaseSet).
    void DMCreate();
    // Connects from "DBconnection", prompting first when a value is missing.
    // Engine errors propagate.
    void ConnectDatabase();
    // Makes the test set (true) or the main set (false) the connection in
    // use. A set lacking a value is asked for first; Cancel there changes
    // nothing (the result is false, the database stays the one it was). A set
    // that does not connect is told, naming the set and its data source, and
    // asked for at the prompt until what is given connects; Cancel there
    // raises EAbort, the database and the settings staying as they were. What
    // connects is stored in the set and in "DBconnection".
    bool SetDatabaseSet(bool Test);

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
