#pragma once
// The main window on a fresh database, as the program starts it: settings
// file, data module, then the window with an operator id.
#include "DataMod.h"
#include "IniFiles.h"
#include "KVSysMain.h"
#include "OperatorIdentity.h"
#include "TestSupport.h"
#include <QFile>
#include <QTreeWidget>

namespace kvtest {

// Settings that connect to `file` without asking; the test set is `testFile`.
inline void WriteConnectionSettings(const QString& file, const QString& testFile = QString(),
                                    const QString& getLog = QStringLiteral("1"))
{
    QFile::remove(SettingsFileName());
    TIniFile ini(SettingsFileName());
    ini.WriteString("DBconnection", "KVDSN", file);
    ini.WriteString("DBconnection", "ur", TDM::EncodeString("sa"));
    ini.WriteString("DBconnection", "pd", TDM::EncodeString("pw"));
    ini.WriteString("MainCfg", "id1", TDM::EncodeString(file));
    ini.WriteString("MainCfg", "id2", TDM::EncodeString("sa"));
    ini.WriteString("MainCfg", "id3", TDM::EncodeString("pw"));
    if (!testFile.isEmpty()) {
        ini.WriteString("TestCfg", "id1", TDM::EncodeString(testFile));
        ini.WriteString("TestCfg", "id2", TDM::EncodeString("sa"));
        ini.WriteString("TestCfg", "id3", TDM::EncodeString("pw"));
    }
    if (!getLog.isNull())
        ini.WriteString("General", "GetLog", getLog);
}

inline QString DemoSql()
{
    QFile file(SourcePath("db/demo.sql"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

struct MainFixture {
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<OdbcDataSource> dsn;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<TMainForm> form;

    // A fresh database (with the demo rows when asked) and the window for
    // the operator given (the demo's administrator is 1).
    void Start(const QStringList& args, bool demo = true)
    {
        db = std::make_unique<TestDatabase>(true, QStringLiteral("fixture"));
        if (demo)
            db->Exec(DemoSql());
        WriteConnectionSettings(db->File());
        Launch(args);
    }
    // The same with the program reaching the database through an ODBC data
    // source on its file; false when the SQLite ODBC driver or Qt's ODBC
    // plugin is not installed.
    bool StartThroughOdbc(const QStringList& args)
    {
        db = std::make_unique<TestDatabase>(true, QStringLiteral("fixture"));
        db->Exec(DemoSql());
        dsn = std::make_unique<OdbcDataSource>(QStringLiteral("kvfixture"), db->File());
        if (!dsn->Available())
            return false;
        WriteConnectionSettings(QStringLiteral("kvfixture"));
        Launch(args);
        return true;
    }
    // The data module and the window on the settings as they stand.
    void Launch(const QStringList& args)
    {
        Operator() = TOperatorIdentity();
        dm = std::make_unique<TDM>();
        DM = dm.get();
        dm->DMCreate();
        form = std::make_unique<TMainForm>(args);
    }
    // Window and data module go; the database stays.
    void Close()
    {
        form.reset();
        dm.reset();
        DM = nullptr;
    }
    void Stop()
    {
        Close();
        dsn.reset();
        db.reset();
    }
    // Opens a page as the operator does: its node in the tree.
    bool Open(int pageId)
    {
        const auto items = form->TreeViewSystem->findItems(QLatin1String(FindPage(pageId)->Node),
                                                           Qt::MatchExactly | Qt::MatchRecursive);
        if (items.isEmpty())
            return false;
        form->TreeViewSystem->setCurrentItem(items.first());
        form->TreeViewSystemChange();
        return ActivePageID == pageId;
    }
};

}  // namespace kvtest
