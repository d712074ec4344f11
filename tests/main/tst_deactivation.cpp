#include "EditorSupport.h"
#include "KitDBCtrl.h"
#include "MainFixture.h"
#include "RecordEditor.h"
#include "SqliteSetup.h"
#include <QPushButton>
#include <sqlite3.h>

namespace {
// The statements that write, as the engine runs them on the program's own
// connection, while the object lives.
class WriteTrace {
public:
    explicit WriteTrace(TDatabase* db) : m_handle(SqliteSetup::EngineHandle(db->Connection()))
    {
        sqlite3_trace_v2(m_handle, SQLITE_TRACE_STMT, &WriteTrace::traced, this);
    }
    ~WriteTrace() { sqlite3_trace_v2(m_handle, 0, nullptr, nullptr); }
    const QStringList& Statements() const { return m_statements; }

private:
    static int traced(unsigned, void* self, void*, void* text)
    {
        const QString statement = QString::fromUtf8(static_cast<const char*>(text));
        if (QRegularExpression("^\\s*(UPDATE|INSERT|DELETE)\\b", QRegularExpression::CaseInsensitiveOption)
                .match(statement).hasMatch())
            static_cast<WriteTrace*>(self)->m_statements << statement;
        return 0;
    }
    sqlite3* m_handle;
    QStringList m_statements;
};
}  // namespace

// Del on the main window: deactivation and reactivation of reference rows,
// deletion of programs, their audit rows, and the page afterwards.
class TestDeactivation : public QObject {
    Q_OBJECT
    kvtest::MainFixture fx;
    kvtest::TestDatabase* db = nullptr;
    TMainForm* form = nullptr;

    // Today and now on the fixed clock: every audit row of a run has one time.
    const QString today = "20260305";
    const QString now = "20260305 14:07:09";

    QStringList audit() const
    {
        return db->Rows("SELECT UserID || '|' || ActionTime || '|' || Action || '|' || TableName || '|' || "
                        "FieldName || '|' || quote(OldValue) || '|' || quote(NewValue) || '|' || TableID "
                        "FROM tAuditTrail ORDER BY AuditID");
    }
    QString row(const QString& table, const QString& columns, int id) const
    {
        return db->Value(QString("SELECT %1 FROM %2 WHERE ID = %3").arg(columns, table).arg(id));
    }
    QString auditRow(const QString& user, int action, const QString& table, const QString& field,
                     const QString& oldValue, const QString& newValue, int id) const
    {
        return QStringList({user, now, QString::number(action), table, field, oldValue, newValue, QString::number(id)})
            .join('|');
    }
    void startAs(int operatorId)
    {
        kvtest::WriteConnectionSettings(db->File(), db->File() + ".unused");
        fx.Launch({QString::number(operatorId)});
        form = fx.form.get();
        QVERIFY(!form->Timebomb->isActive());
    }
    void audited(const QString& table) { db->Exec(QString("INSERT INTO tAudit (\"Table\") VALUES ('%1');").arg(table)); }

    // Opens a page; with everyRow the page shows inactive rows too, as the
    // filter bar's Terminated box does.
    TQuery* open(int pageId, bool everyRow = true)
    {
        TQuery* q = form->CurrentQuery(pageId);
        for (int i = 0; everyRow && i < q->SQL().Count(); ++i)
            if (q->SQL()[i].startsWith("WHERE"))
                q->SQL().SetStrings(i, "WHERE 1 = 1");
        form->OpenTab(form->SheetOf(pageId));
        return q;
    }
    static int current(TQuery* q, const QString& key = "id") { return q->FieldByName(key)->AsInteger(); }

private slots:
    // Operators: 1 admin (7, 9, 14, 15), 2 viewer (7), 3 editor (7, 14),
    // 4 an apostrophe in the login (7, 14).
    void init()
    {
        fx.db = std::make_unique<kvtest::TestDatabase>(true, "fixture");
        db = fx.db.get();
        db->Exec("INSERT INTO tUser (ID, UserLogin, FirstName, Surname, Password, Active) VALUES "
                 "(1,'admin','Ada','Admin','pw',1),(2,'viewer','Vic','Brown','pw',1),"
                 "(3,'editor','Ed','Carter','pw',1),(4,'o''neil','Pat','O''Neil','pw',1);"
                 "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (1,7),(1,9),(1,14),(1,15),"
                 "(2,7),(3,7),(3,14),(4,7),(4,14);"
                 "INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),"
                 "(12,'Reference Delete'),(13,'Reference Insert');");
    }
    void cleanup() { fx.Stop(); }

    // Active with an end date (tActivity): today's end date and back, the old
    // date read before reactivating, the same row current after the reload.
    void endDateBothDirections_data()
    {
        QTest::addColumn<bool>("isAudited");
        QTest::newRow("audited") << true;
        QTest::newRow("not audited") << false;
    }
    void endDateBothDirections()
    {
        QFETCH(bool, isAudited);
        db->Exec("INSERT INTO tActivity (ID, Description, StartDate, EndDate, Active) VALUES "
                 "(4,'Alpha','20240101',NULL,1),(5,'Beta','20250101',NULL,1),(8,'Gamma','20230101',NULL,0);");
        if (isAudited)
            audited("tActivity");
        startAs(1);
        kvtest::MessageRecorder boxes;
        TQuery* q = open(1001);
        QVERIFY(q->Locate("id", 5));
        const QString state = "Active || '|' || quote(EndDate)";

        form->DeleteRecord(1001);
        QCOMPARE(row("tActivity", state, 5), QString("0|'%1'").arg(today));
        QCOMPARE(current(q), 5);
        QVERIFY(!q->FieldByName("Active")->AsBoolean());
        form->DeleteRecord(1001);
        QCOMPARE(row("tActivity", state, 5), QString("1|NULL"));
        QCOMPARE(current(q), 5);
        // An inactive row without an end date: the audit keeps NULL as its
        // old date, not the zero date.
        QVERIFY(q->Locate("id", 8));
        form->DeleteRecord(1001);
        QCOMPARE(row("tActivity", state, 8), QString("1|NULL"));
        QCOMPARE(row("tActivity", state, 4), QString("1|NULL"));  // untouched
        QCOMPARE(audit(), !isAudited ? QStringList() : QStringList({
            auditRow("admin", 12, "tActivity", "EndDate", "'NULL'", "'" + today + "'", 5),
            auditRow("admin", 11, "tActivity", "EndDate", "'" + today + "'", "NULL", 5),
            auditRow("admin", 11, "tActivity", "EndDate", "'NULL'", "NULL", 8)}));
        QCOMPARE(boxes.Count(), 0);  // nothing is asked
    }

    // A row removed behind the page's back: Del says so, and no audit row
    // claims a change.
    void rowGoneMeanwhile()
    {
        db->Exec("INSERT INTO tActivity (ID, Description, Active) VALUES (4,'Alpha',1),(5,'Beta',1);");
        audited("tActivity");
        startAs(1);
        TQuery* q = open(1001);
        QVERIFY(q->Locate("id", 5));
        db->Exec("DELETE FROM tActivity WHERE ID = 5;");
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(form->btnDel, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList({"The row is no longer in the table; nothing was changed."}));
        QCOMPARE(audit(), QStringList());
    }

    // The termination date of services and the updater stamp of rates follow
    // the same rule; the login is quoted wherever it is written.
    void terminationDateAndRateStamp()
    {
        db->Exec("INSERT INTO tServiceID (ID, ServiceID, InstallationDate, TerminationDate, Active) VALUES "
                 "(21,'0211','20200101',NULL,1),(22,'0222','20200101','20251130',0);"
                 "INSERT INTO tRate (ID, Description, StartDate, EndDate, Active, LastUpdatedBy) VALUES "
                 "(31,'Local','20240101',NULL,1,'someone'),(32,'Trunk','20240101','20250630',0,'someone');");
        audited("tServiceID");
        audited("tRate");
        startAs(4);  // o'neil
        TQuery* services = open(1051);
        for (int id : {21, 22}) {
            QVERIFY(services->Locate("id", id));
            form->DeleteRecord(1051);
        }
        TQuery* rates = open(1049);
        for (int id : {31, 32}) {
            QVERIFY(rates->Locate("id", id));
            form->DeleteRecord(1049);
            QCOMPARE(current(rates), id);
        }
        const QString service = "Active || '|' || quote(TerminationDate)";
        const QString rate = "Active || '|' || quote(EndDate) || '|' || LastUpdatedBy";
        QCOMPARE(row("tServiceID", service, 21), QString("0|'%1'").arg(today));
        QCOMPARE(row("tServiceID", service, 22), QString("1|NULL"));
        QCOMPARE(row("tRate", rate, 31), QString("0|'%1'|o'neil").arg(today));
        QCOMPARE(row("tRate", rate, 32), QString("1|NULL|o'neil"));
        QCOMPARE(audit(), QStringList({
                              auditRow("o'neil", 12, "tServiceID", "TerminationDate", "'NULL'", "'" + today + "'", 21),
                              auditRow("o'neil", 11, "tServiceID", "TerminationDate", "'20251130'", "NULL", 22),
                              auditRow("o'neil", 12, "tRate", "EndDate", "'NULL'", "'" + today + "'", 31),
                              auditRow("o'neil", 11, "tRate", "EndDate", "'20250630'", "NULL", 32),
                          }));
    }

    // Active only: the page's own audit row by login, the same row current
    // after the reload; or (agreements and their kin) the shared audit
    // routines by number, the delete event both ways and the first row
    // current. tServiceSplit tells its notice after every toggle.
    void activeBothWays_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("seed");
        QTest::addColumn<bool>("isAudited");
        QTest::newRow("tApplication") << 1006 << "tApplication"
            << "INSERT INTO tApplication (ID, Description) VALUES (1,'Billing'),(7,'Voice');" << true;
        QTest::newRow("tServiceSplit audited") << 1061 << "tServiceSplit"
            << "INSERT INTO tServiceSplit (ID, CallPercentage) VALUES (1,50),(7,100);" << true;
        QTest::newRow("tServiceSplit not audited") << 1061 << "tServiceSplit"
            << "INSERT INTO tServiceSplit (ID, CallPercentage) VALUES (1,50),(7,100);" << false;
        QTest::newRow("tAgreement, shared routines") << 1003 << "tAgreement"
            << "INSERT INTO tAgreement (ID, AgreementNo) VALUES (1,'A1'),(7,'A7');" << true;
        QTest::newRow("tAgreementTariffs, shared routines") << 1004 << "tAgreementTariffs"
            << "INSERT INTO tAgreement (ID, AgreementNo) VALUES (1,'A1'),(7,'A7');"
               "INSERT INTO tAgreementTariffs (ID, AgreementID) VALUES (1,1),(7,7);" << true;
    }
    void activeBothWays()
    {
        QFETCH(int, pageId);
        QFETCH(QString, table);
        QFETCH(QString, seed);
        QFETCH(bool, isAudited);
        const bool shared = pageId == 1003 || pageId == 1004;
        db->Exec(seed);
        if (isAudited)
            audited(table);
        startAs(3);  // editor: number 3, login "editor"
        kvtest::MessageRecorder boxes;
        TQuery* q = open(pageId);
        QVERIFY(q->Locate("id", 7));
        form->DeleteRecord(pageId);
        QCOMPARE(row(table, "Active", 7), QString("0"));
        QCOMPARE(current(q), shared ? 1 : 7);
        QVERIFY(q->Locate("id", 7));
        form->DeleteRecord(pageId);
        QCOMPARE(row(table, "Active", 7), QString("1"));
        QCOMPARE(row(table, "Active", 1), QString("1"));
        QStringList expected;
        if (shared)
            expected << auditRow("3", 12, table, "ACTIVE", "'1'", "'0'", 7) << auditRow("3", 12, table, "ACTIVE", "'0'", "'1'", 7);
        else if (isAudited)
            expected << auditRow("editor", 12, table, "Active", "'1'", "'0'", 7)
                     << auditRow("editor", 11, table, "Active", "'0'", "'1'", 7);
        QCOMPARE(audit(), expected);
        const char* notice = "The tServiceSplit table MUST be updated \r\nto process relevant transactions.";
        QCOMPARE(boxes.Texts(), pageId == 1061 ? QStringList({notice, notice}) : QStringList());
        if (pageId == 1061)
            QCOMPARE(boxes.Boxes().first().Type, mtWarning);
    }

    // Programs are deleted outright; a program a batch type uses is deleted
    // only when the operator says Yes.
    void programDeletion_data()
    {
        QTest::addColumn<bool>("usedByBatchType");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("unused: no question") << false << int(mrNone) << true;
        QTest::newRow("used, Yes") << true << int(mrYes) << true;
        QTest::newRow("used, No") << true << int(mrNo) << false;
    }
    void programDeletion()
    {
        QFETCH(bool, usedByBatchType);
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        db->Exec("INSERT INTO tProgram (ID, Description) VALUES (1,'Loader'),(2,'O''Brien''s import'),(3,'Other');");
        if (usedByBatchType)
            db->Exec("INSERT INTO tBatchType (ID, Description, ProgramID) VALUES (9,'Mobiles',2);");
        audited("tProgram");
        startAs(1);
        kvtest::MessageRecorder boxes;
        boxes.Answer(answer);
        TQuery* q = open(1048);
        QVERIFY(q->Locate("id", 2));
        form->DeleteRecord(1048);
        QCOMPARE(boxes.Texts(), usedByBatchType ? QStringList({"This ID is used in tBatchType. Continue?"}) : QStringList());
        if (usedByBatchType)
            QCOMPARE(boxes.Boxes().first().Buttons, TMsgDlgButtons(mbYes | mbNo));
        QCOMPARE(db->Rows("SELECT ID FROM tProgram ORDER BY ID"), deleted ? QStringList({"1", "3"}) : QStringList({"1", "2", "3"}));
        QCOMPARE(audit(), !deleted ? QStringList() : QStringList({
            auditRow("1", 12, "tProgram", "ID", "'2'", "'NULL'", 2),
            auditRow("1", 12, "tProgram", "DESCRIPTION", "'O''Brien''s import'", "'NULL'", 2)}));
        QCOMPARE(current(q), deleted ? 1 : 2);  // not even reloaded on No
    }

    // The change and its audit rows stand or fall together; the error is
    // shown and the page stays as it was. A database without the audit
    // events stops the change with a clear message.
    void failureLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("seed");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("message");
        QTest::newRow("audit insert refused") << 1001
            << "INSERT INTO tActivity (ID, Description, Active) VALUES (4,'Alpha',1),(5,'Beta',1),(6,'Gamma',1);"
               "CREATE TRIGGER refuse BEFORE INSERT ON tAuditTrail BEGIN SELECT RAISE(ABORT, 'audit trail is read-only'); END;"
            << "SELECT group_concat(Active || quote(EndDate)) FROM tActivity" << "audit trail is read-only";
        QTest::newRow("no audit events") << 1001
            << "DELETE FROM tEvent;"
               "INSERT INTO tActivity (ID, Description, Active) VALUES (4,'Alpha',1),(5,'Beta',1),(6,'Gamma',1);"
            << "SELECT group_concat(Active || quote(EndDate)) FROM tActivity"
            << "No audit event is defined for this change (tEvent has no row for it)";
        QTest::newRow("program delete refused") << 1048
            << "INSERT INTO tProgram (ID, Description) VALUES (4,'Loader'),(5,'Importer'),(6,'Other');"
               "CREATE TRIGGER refuse BEFORE DELETE ON tProgram BEGIN SELECT RAISE(ABORT, 'program is referenced'); END;"
            << "SELECT group_concat(ID) FROM tProgram" << "program is referenced";
    }
    void failureLeavesEverythingAsItWas()
    {
        QFETCH(int, pageId);
        QFETCH(QString, seed);
        QFETCH(QString, state);
        QFETCH(QString, message);
        db->Exec(seed);
        audited(pageId == 1001 ? "tActivity" : "tProgram");
        const QString before = db->Value(state);
        startAs(1);
        kvtest::MessageRecorder boxes;
        TQuery* q = open(pageId, false);
        QVERIFY(q->Locate("id", 5));
        form->show();
        QTest::mouseClick(form->btnDel, Qt::LeftButton);
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(boxes.Boxes().first().Type, mtError);
        QVERIFY2(boxes.Texts().first().contains(message), qPrintable(boxes.Texts().first()));
        QCOMPARE(db->Value(state), before);
        QVERIFY(audit().isEmpty());
        QVERIFY(q->Active());
        QCOMPARE(q->RecordCount(), 3);
        QCOMPARE(current(q), 5);
    }

    // A page of current rows loses the deactivated row, the first row then
    // current; the page's own statement stays.
    void deactivatedRowLeavesACurrentOnlyPage()
    {
        db->Exec("INSERT INTO tCentre (ID, Description, Active) VALUES (1,'Alpha',1),(2,'Beta',1),(3,'Gamma',1);");
        startAs(1);
        TQuery* q = open(1013, false);
        QVERIFY(q->Locate("id", 2));
        form->DeleteRecord(1013);
        QCOMPARE(row("tCentre", "Active", 2), QString("0"));
        QCOMPARE(q->RecordCount(), 2);
        QCOMPARE(current(q), 1);
        QCOMPARE(q->SQL()[q->SQL().Count() - 2], QString("WHERE Active = 1"));
    }

    // Both operator pages change tUser; each reloads the other, which keeps
    // its own current operator.
    void operatorPagesReloadEachOther_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::newRow("tUser") << 1081;
        QTest::newRow("tUserFunction") << 1082;
    }
    void operatorPagesReloadEachOther()
    {
        QFETCH(int, pageId);
        audited(pageId == 1081 ? "tUser" : "tUserFunction");
        startAs(1);
        const int other = pageId == 1081 ? 1082 : 1081;
        const QString key = pageId == 1081 ? "id" : "UserID";
        const QString otherKey = pageId == 1081 ? "UserID" : "id";
        TQuery* otherPage = open(other, false);  // current operators only
        QCOMPARE(otherPage->RecordCount(), 4);
        QVERIFY(otherPage->Locate(otherKey, 3));
        TQuery* q = open(pageId);
        QVERIFY(q->Locate(key, 2));
        form->DeleteRecord(pageId);
        QCOMPARE(row("tUser", "Active", 2), QString("0"));
        QCOMPARE(db->Value("SELECT count(*) FROM tUserFunction WHERE UserID = 2"), QString("1"));
        QCOMPARE(current(q, key), 2);
        QCOMPARE(otherPage->RecordCount(), 3);  // reloaded: operator 2 has gone
        QCOMPARE(current(otherPage, otherKey), 3);
        // The audit row names tUser whichever table decided the audit.
        QCOMPARE(audit(), QStringList({auditRow("admin", 12, "tUser", "Active", "'1'", "'0'", 2)}));
    }

    // Another program changed the row after the page read it: Del writes
    // nothing, says what is stored now, and the page shows the row as
    // stored; a row gone is told and the page has none picked.
    void changedSinceThePageRead_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("meanwhile");  // %1: the table
        QTest::addColumn<QString>("stored");     // Active and the date the row then has
        QTest::addColumn<QString>("told");
        const QString changed = "Another operator changed this row after the page read it: it is now %1. "
                                "Nothing was changed; the page shows the row as it is stored now.";
        QTest::newRow("deactivated with an end date") << 1001 << "tActivity"
            << "UPDATE %1 SET Active = 0, EndDate = '20260301' WHERE ID = 5;" << "0|'20260301'"
            << changed.arg("inactive, with the end date 01/03/2026");
        QTest::newRow("supplier ended on 2025-06-30") << 1066 << "tSupplier"
            << "UPDATE %1 SET Active = 0, EndDate = '20250630' WHERE ID = 5;" << "0|'20250630'"
            << changed.arg("inactive, with the end date 30/06/2025");
        QTest::newRow("supplier given an end date, still active") << 1066 << "tSupplier"
            << "UPDATE %1 SET EndDate = '20250630' WHERE ID = 5;" << "1|'20250630'"
            << changed.arg("active, with the end date 30/06/2025");
        QTest::newRow("reactivated") << 1001 << "tActivity"
            << "UPDATE %1 SET Active = 1, EndDate = NULL WHERE ID = 8;" << "1|NULL"
            << changed.arg("active, with no end date");
        QTest::newRow("service terminated") << 1051 << "tServiceID"
            << "UPDATE %1 SET Active = 0, TerminationDate = '20260301' WHERE ID = 5;" << "0|'20260301'"
            << changed.arg("inactive, with the termination date 01/03/2026");
        QTest::newRow("batch type deactivated") << 1012 << "tBatchType" << "UPDATE %1 SET Active = 0 WHERE ID = 5;"
            << "0|" << changed.arg("inactive");
        QTest::newRow("operator deactivated, rights page") << 1082 << "tUser"
            << "UPDATE %1 SET Active = 0 WHERE ID = 5;" << "0|" << changed.arg("inactive");
        QTest::newRow("program removed") << 1048 << "tProgram" << "DELETE FROM %1 WHERE ID = 5;" << ""
            << "The row is no longer in the table; nothing was changed.";
    }
    void changedSinceThePageRead()
    {
        QFETCH(int, pageId);
        QFETCH(QString, table);
        QFETCH(QString, meanwhile);
        QFETCH(QString, stored);
        QFETCH(QString, told);
        db->Exec("INSERT INTO tActivity (ID, Description, EndDate, Active) VALUES (5,'Beta',NULL,1),"
                 "(8,'Gamma','20250101',0);"
                 "INSERT INTO tSupplier (ID, SupplierName, Active) VALUES (5,'Corvane',1);"
                 "INSERT INTO tServiceID (ID, ServiceID, Active) VALUES (5,'0211',1);"
                 "INSERT INTO tBatchType (ID, Description, Active) VALUES (5,'Mobiles',1);"
                 "INSERT INTO tUser (ID, UserLogin, Active) VALUES (5,'temp',1);"
                 "INSERT INTO tProgram (ID, Description) VALUES (5,'Loader');");
        audited(pageId == 1082 ? "tUserFunction" : table);
        startAs(1);
        TQuery* q = open(pageId);
        const int id = meanwhile.contains("ID = 8") ? 8 : 5;
        QVERIFY(q->Locate(pageId == 1082 ? "UserID" : "id", id));
        db->Exec(meanwhile.arg(table));
        const QString date = pageId == 1051 ? "TerminationDate" : "EndDate";
        const QString state = stored.endsWith('|') || stored.isEmpty() ? "Active || '|'" : "Active || '|' || quote(" + date + ")";
        kvtest::MessageRecorder boxes;
        form->DeleteRecord(pageId);
        QCOMPARE(boxes.Texts(), QStringList({told}));
        QCOMPARE(row(table, state, id), stored);
        QCOMPARE(audit(), QStringList());
        if (stored.isEmpty()) {
            QCOMPARE(q->CurrentRow(), -1);  // no row picked
        } else {
            QCOMPARE(current(q, pageId == 1082 ? "UserID" : "id"), id);
            QCOMPARE(q->FieldByName("Active")->AsString(), QString(stored.startsWith('1') ? "True" : "False"));
        }
    }

    // The row the operator picked stays picked when the page reads its rows
    // again: past its first rows with rows added or removed before it, and
    // after the filter is applied. Where it has gone, the page says so, no
    // row is picked and Del and a double-click do nothing.
    void pickedRowStaysPicked_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("filter");  // the ServiceID filter applied; empty: scrolled to the end
        QTest::addColumn<int>("deactivated");  // 0: none, the page having told that the row went
        QTest::newRow("a service added before it") << "INSERT INTO tServiceID (ID, ServiceID, Active) VALUES "
                                                      "(900,'0200000000',1);" << "" << 72;
        QTest::newRow("a service removed before it") << "DELETE FROM tServiceID WHERE ID = 5;" << "" << 72;
        QTest::newRow("the picked service removed") << "DELETE FROM tServiceID WHERE ID = 72;" << "" << 0;
        QTest::newRow("a filter that keeps it") << "" << "02000000" << 72;
        QTest::newRow("a filter that leaves it out") << "" << "020000001" << 0;
    }
    void pickedRowStaysPicked()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QString, filter);
        QFETCH(int, deactivated);
        db->Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                 "INSERT INTO tServiceID (ID, ServiceID, Active) SELECT i, printf('02%08d', i), 1 FROM n;");
        audited("tServiceID");
        startAs(1);
        form->show();
        TQuery* q = open(1051, false);
        QVERIFY(q->WindowRows() > 0 && q->WindowRows() < 300);  // the page reads its first rows, the rest later
        QVERIFY(q->Locate("id", 72));
        if (!meanwhile.isEmpty())
            db->Exec(meanwhile);
        kvtest::MessageRecorder boxes;
        TKitDBGrid* grid = form->PageOf(1051)->Grid;
        if (filter.isEmpty()) {
            while (grid->Model()->canFetchMore(QModelIndex()))
                grid->scrollToBottom();  // as the operator drags the scroll bar down
        } else {
            form->SysPageControlChange();  // the filter bar for the page, as the tree shows it
            const int column = form->cbField->findText("ServiceID");
            form->cbField->setCurrentIndex(column);
            emit form->cbField->activated(column);  // as the operator's pick
            kvtest::Retype(form->edtValue, filter);
            QTest::mouseClick(form->btnApply, Qt::LeftButton);
        }
        QCoreApplication::processEvents();
        const QString gone = "The row you picked is no longer on this page. No row is picked now.";
        QCOMPARE(boxes.Texts(), deactivated ? QStringList() : QStringList({gone}));
        QCOMPARE(grid->currentIndex().isValid(), deactivated != 0);
        if (deactivated)
            QCOMPARE(grid->Model()->data(grid->currentIndex().siblingAtColumn(0)).toString(), QString::number(deactivated));
        bool opened = false;
        TRecordEditor::SetShowModalHook([&](TRecordEditor&) {
            opened = true;
            return int(mrCancel);
        });
        if (!deactivated)
            form->KitDBGridSysDblClick();
        TRecordEditor::SetShowModalHook(nullptr);
        QVERIFY(!opened);
        QTest::mouseClick(form->btnDel, Qt::LeftButton);
        QCOMPARE(db->Rows("SELECT ID FROM tServiceID WHERE Active = 0"),
                 deactivated ? QStringList({QString::number(deactivated)}) : QStringList());
        QCOMPARE(audit().size(), deactivated ? 1 : 0);
    }

    // Where nobody else changed the row, Del writes the statements (audit
    // rows included) it always wrote; the reactivated rows had an end date.
    // An active row with an end date keeps that date in its audit row as the
    // value the change replaced.
    void writesAsToday_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("audit");  // the tAudit entry; empty: not audited
        QTest::addColumn<QStringList>("writes");
        const QString own = "INSERT INTO tAuditTrail\n(UserID,ActionTime,Action,TableName,FieldName,Oldvalue,NewValue,"
                            "TableID)\nVALUES ('editor','20260305 14:07:09',";
        const QString shared = "INSERT INTO tAuditTrail\n(UserID,ActionTime,Action,TableName,TableID,FieldName,OldValue,"
                               "NewValue)\nVALUES ('3','20260305 14:07:09',12,";
        QTest::newRow("tActivity, deactivated") << 1001 << 5 << "tActivity" << QStringList({
            "UPDATE tActivity\nSET Active = 0,\nEndDate = '20260305'\nWHERE ID =5",
            own + "12,'tActivity','EndDate','NULL','20260305',5)"});
        QTest::newRow("tActivity, active with an end date") << 1001 << 6 << "tActivity" << QStringList({
            "UPDATE tActivity\nSET Active = 0,\nEndDate = '20260305'\nWHERE ID =6",
            own + "12,'tActivity','EndDate','20261231','20260305',6)"});
        QTest::newRow("tActivity, reactivated") << 1001 << 8 << "tActivity" << QStringList({
            "UPDATE tActivity\nSET Active = 1,\nEndDate = NULL\nWHERE ID =8",
            own + "11,'tActivity','EndDate','20240630',NULL,8)"});
        QTest::newRow("tActivity, not audited") << 1001 << 5 << "" << QStringList({
            "UPDATE tActivity\nSET Active = 0,\nEndDate = '20260305'\nWHERE ID =5"});
        QTest::newRow("tServiceID") << 1051 << 21 << "tServiceID" << QStringList({
            "UPDATE tServiceID\nSET Active = 0,\nTerminationDate = '20260305'\nWHERE ID =21",
            own + "12,'tServiceID','TerminationDate','NULL','20260305',21)"});
        QTest::newRow("tRate, reactivated") << 1049 << 32 << "tRate" << QStringList({
            "UPDATE tRate\nSET Active = 1,\nEndDate = NULL,\nLastUpdatedBy = 'editor'\nWHERE ID =32",
            own + "11,'tRate','EndDate','20250630',NULL,32)"});
        QTest::newRow("tBatchType") << 1012 << 9 << "tBatchType" << QStringList({
            "UPDATE tBatchType\nSET Active = 0\nWHERE ID =9", own + "12,'tBatchType','Active','1','0',9)"});
        QTest::newRow("tPerson, reactivated") << 1047 << 6 << "tPerson" << QStringList({
            "UPDATE tPerson\nSET Active = 1\nWHERE ID =6", own + "11,'tPerson','Active','0',1,6)"});
        QTest::newRow("tUserFunction") << 1082 << 2 << "tUserFunction" << QStringList({
            "UPDATE tUser\nSET Active = 0\nWHERE ID =2", own + "12,'tUser','Active','1','0',2)"});
        QTest::newRow("tAgreement") << 1003 << 7 << "tAgreement" << QStringList({
            "UPDATE tAgreement\nSET Active = 0\nWHERE ID =7", shared + "'tAgreement',7,'ACTIVE','1','0')"});
        QTest::newRow("tProgram") << 1048 << 2 << "tProgram" << QStringList({
            shared + "'tProgram',2,'ID','2','NULL')", shared + "'tProgram',2,'DESCRIPTION','Loader','NULL')",
            "DELETE FROM tProgram\nWHERE ID = 2"});
    }
    void writesAsToday()
    {
        QFETCH(int, pageId);
        QFETCH(int, id);
        QFETCH(QString, audit);
        QFETCH(QStringList, writes);
        db->Exec("INSERT INTO tActivity (ID, Description, StartDate, EndDate, Active) VALUES "
                 "(5,'Beta','20250101',NULL,1),(6,'Delta','20250101','20261231',1),(8,'Gamma','20230101','20240630',0);"
                 "INSERT INTO tServiceID (ID, ServiceID, InstallationDate, Active) VALUES (21,'0211','20200101',1);"
                 "INSERT INTO tRate (ID, Description, EndDate, Active) VALUES (32,'Trunk','20250630',0);"
                 "INSERT INTO tBatchType (ID, Description, Active) VALUES (9,'Mobiles',1);"
                 "INSERT INTO tAgreement (ID, AgreementNo, Active) VALUES (7,'A7',1);"
                 "INSERT INTO tProgram (ID, Description) VALUES (2,'Loader');"
                 "INSERT INTO tPerson (ID, Person, Active) VALUES (6,'Pat',0);");
        if (!audit.isEmpty())
            audited(audit);
        startAs(3);
        TQuery* q = open(pageId);
        QVERIFY(q->Locate(pageId == 1082 ? "UserID" : "id", id));
        kvtest::MessageRecorder boxes;
        WriteTrace trace(DM->dbKVdata);
        form->DeleteRecord(pageId);
        QCOMPARE(trace.Statements(), writes);
        QCOMPARE(boxes.Count(), 0);
    }

    // Nothing happens without right 14, nor on an empty page.
    void nothingHappens_data()
    {
        QTest::addColumn<int>("operatorId");
        QTest::addColumn<int>("pageId");
        QTest::newRow("without right 14") << 2 << 1001;
        QTest::newRow("empty page") << 1 << 1044;
    }
    void nothingHappens()
    {
        QFETCH(int, operatorId);
        QFETCH(int, pageId);
        db->Exec("INSERT INTO tActivity (ID, Description, Active) VALUES (5,'Beta',1);");
        audited("tActivity");
        audited("tLocation");
        startAs(operatorId);
        kvtest::MessageRecorder boxes;
        TQuery* q = open(pageId);
        form->show();
        QTest::mouseClick(form->btnDel, Qt::LeftButton);
        QCOMPARE(row("tActivity", "Active", 5), QString("1"));
        QVERIFY(audit().isEmpty());
        QCOMPARE(boxes.Count(), 0);
        QVERIFY(q->Active());
    }
};

KV_TEST_MAIN(TestDeactivation)
#include "tst_deactivation.moc"
