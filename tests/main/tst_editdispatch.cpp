#include "EditDispatch.h"
#include "EditorSupport.h"
#include "KitDBCtrl.h"
#include "MainFixture.h"
#include "SysEdit.h"
#include "SysEditServiceID.h"
#include "SysServiceRecord.h"
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>

// The main window's route to the record editors, on the demo database: which
// pages open which editor, the starting-point question, what each page
// copies from its current row into the editor, the empty-page rules, the
// page reloaded (and its row found again) after the editor wrote something,
// the editor freed when it closes.
namespace {

const QString kQuestion = "Use the present data as a starting point?";

// The pages of the generic editor and the table code each lays it out for.
const QVector<QPair<int, int>> kGenericPages = {
    {1001, 4},  {1005, 27}, {1006, 23}, {1013, 3},  {1014, 29}, {1015, 22}, {1024, 8},  {1025, 10}, {1027, 28},
    {1028, 25}, {1029, 21}, {1031, 20}, {1032, 19}, {1041, 5},  {1042, 17}, {1043, 9},  {1044, 0},  {1045, 11},
    {1047, 1},  {1048, 26}, {1049, 15}, {1050, 16}, {1065, 6},  {1068, 7},  {1069, 13}, {1070, 14}, {1083, 2},
};

// The named inputs of an editor as the operator sees them, after its mode
// ("add" or "edit") and joined by "|": an edit's or a date input's text, a
// box as 0 or 1, a list's shown item; "cbF*" gives the boxes whose names
// start with cbF, in their order, as a string of 0 and 1.
QString shown(TRecordEditor& editor, const QStringList& names)
{
    QStringList out{editor.AppendMode() ? "add" : "edit"};
    for (const QString& name : names) {
        QString flags;
        for (QCheckBox* box : editor.findChildren<QCheckBox*>())
            if (name.endsWith('*') && box->objectName().startsWith(name.chopped(1)))
                flags += box->isChecked() ? '1' : '0';
        QWidget* w = editor.findChild<QWidget*>(name);
        if (name.endsWith('*'))
            out << flags;
        else if (auto* box = qobject_cast<QCheckBox*>(w))
            out << QString::number(box->isChecked());
        else if (auto* list = qobject_cast<QComboBox*>(w))
            out << list->currentText();
        else if (auto* date = qobject_cast<TCustomDateEdit*>(w))
            out << date->Text();
        else
            out << (w ? qobject_cast<QLineEdit*>(w)->text() : "no " + name);
    }
    return out.join('|');
}

}  // namespace

class TestEditDispatch : public QObject {
    Q_OBJECT
    kvtest::MainFixture fx;

    // Opens the page with the row of that key current.
    TQuery* openAt(int pageId, const QString& key, int id)
    {
        if (!fx.Open(pageId))
            return nullptr;
        TQuery* q = fx.form->CurrentQuery(pageId);
        return id == 0 || q->Locate(key, id) ? q : nullptr;
    }
    // A double-click, Add then Yes, Add then No: what each editor showed.
    QStringList editAndAdd(const QStringList& inputs, QStringList* boxes = nullptr)
    {
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            seen << shown(e, inputs);
            return int(mrCancel);
        });
        kvtest::MessageRecorder recorder;
        fx.form->KitDBGridSysDblClick();
        recorder.Answer(mrYes);
        fx.form->btnAddClick();
        recorder.Answer(mrNo);
        fx.form->btnAddClick();
        if (boxes)
            *boxes = recorder.Texts();
        return seen;
    }

    // Starts the window again through an ODBC data source when asked; false
    // when that route is not installed here.
    bool startOn(bool odbc)
    {
        if (!odbc)
            return true;
        fx.Stop();
        return fx.StartThroughOdbc({"1"});
    }
    // What the grid of the page shows in a column for its current row.
    QString shownValue(int pageId, const QString& name)
    {
        TKitDBGrid* grid = fx.form->PageOf(pageId)->Grid;
        TDataSetModel* model = grid->Model();
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->FieldAt(column)->FieldName().compare(name, Qt::CaseInsensitive) == 0)
                return model->data(model->index(fx.form->CurrentQuery(pageId)->CurrentRow(), column)).toString();
        return "no " + name + " column";
    }
    QString shownId(int pageId) { return shownValue(pageId, "id"); }
    // A generic and an own editor's page with a row of a wide id, on a
    // SQLite file and through ODBC.
    static void pagesWithWideIds(const QList<qlonglong>& ids)
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("setup");  // %1: the wide id
        QTest::addColumn<QString>("table");
        QTest::addColumn<qlonglong>("id");
        QTest::addColumn<bool>("odbc");
        for (const bool odbc : {false, true}) {
            for (const qlonglong id : ids) {
                const QByteArray route = odbc ? "through ODBC" : "SQLite file";
                QTest::addRow("generic editor, %lld, %s", id, route.constData()) << 1001
                    << "INSERT INTO tActivity (ID, Description, CustomerID, Active) VALUES (%1,'Wide',1,1);"
                    << "tActivity" << id << odbc;
                QTest::addRow("editor of its own, %lld, %s", id, route.constData()) << 1066
                    << "INSERT INTO tSupplier (ID, SupplierName, Active) VALUES (%1,'Wide',1);" << "tSupplier" << id
                    << odbc;
            }
        }
    }

    struct WideRow {
        int pageId = 0;
        QString table;
        qlonglong id = 0;
        TQuery* query = nullptr;  // the page's, on the row; null when not found
    };
    // The test's page opened with its row of a wide id current, on the
    // test's route; false when that route is not installed here.
    bool openWideRow(WideRow& row)
    {
        QFETCH(int, pageId);
        QFETCH(QString, setup);
        QFETCH(QString, table);
        QFETCH(qlonglong, id);
        QFETCH(bool, odbc);
        row = {pageId, table, id, nullptr};
        if (!startOn(odbc))
            return false;
        fx.db->Exec(setup.arg(id) + "INSERT INTO tAudit (\"Table\") VALUES ('" + table + "');");
        if (fx.Open(pageId) && fx.form->CurrentQuery(pageId)->Locate("id", id))
            row.query = fx.form->CurrentQuery(pageId);
        return true;
    }

    // The test's route started and its rows set up; false when that route
    // is not installed here.
    bool setUpReferences()
    {
        QFETCH(bool, odbc);
        QFETCH(QString, setup);
        if (!startOn(odbc))
            return false;
        fx.db->Exec(setup);
        return true;
    }
    // What must not change: the test's state (an expression of subqueries)
    // and the number of audit rows.
    QString unchanged()
    {
        QFETCH(QString, state);
        return fx.db->Value("SELECT " + state + " || '|' || (SELECT COUNT(*) FROM tAuditTrail)");
    }
    // Every row of every table, each value quoted with its type, in the
    // tables' own order; but for the stamps of when and by whom a row was
    // last saved, which an editor's save writes whatever else it does.
    QStringList everyRow()
    {
        QStringList rows;
        for (const QString& table : fx.db->Rows("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
            const QStringList values =
                fx.db->Rows("SELECT 'quote(\"' || name || '\")' FROM pragma_table_info('" + table +
                            "') WHERE name NOT IN ('DateLastChanged', 'LastUpdatedBy')" +
                            (table == "tSystem" ? " AND name <> 'UserID'" : ""));
            const QString select = "SELECT " + values.join(", ") + " FROM \"" + table + "\" ORDER BY rowid";
            rows << kvtest::Prefixed(table + ": ", fx.db->Rows(select));
        }
        return rows;
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init() { fx.Start({"1"}); }
    void cleanup()
    {
        TRecordEditor::SetShowModalHook(nullptr);
        fx.Stop();
    }

    // The generic editor on every page that uses it: a double-click opens
    // it laid out for the page's table with the current row; Add asks where
    // the page says so, copies the row after Yes (its id only where the
    // page copies it), and after No gives a blank editor with today's start
    // date where the page has one. Each editor is freed when it closes.
    void genericPages_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<int>("code");
        for (const auto& [pageId, code] : kGenericPages)
            QTest::newRow(qPrintable(QString::number(pageId))) << pageId << code;
    }
    void genericPages()
    {
        QFETCH(int, pageId);
        QFETCH(int, code);
        TQuery* q = openAt(pageId, "id", 0);
        QVERIFY(q && !q->IsEmpty());
        const QString id = q->FieldByName("id")->AsString();
        const TEditPage* page = FindEditPage(pageId);
        QStringList seen;
        QList<QPointer<TRecordEditor>> editors;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditForm&>(e);
            seen << QString("%1 %2 %3 %4").arg(f.TableNameID()).arg(f.AppendMode()).arg(f.Edit1(), f.Edit2());
            editors << &e;
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(seen.size(), 1);
        const QString row = seen.first().section(' ', 3);  // Edit2 as the page copies it
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        boxes.Answer(mrNo);
        fx.form->btnAddClick();
        const bool idOnAdd = QList<int>{1005, 1045, 1049, 1050, 1069, 1070}.contains(pageId);
        const QString copied = QString("%1 1 %2 %3").arg(code).arg(idOnAdd ? id : QString(), row);
        QCOMPARE(seen, QStringList({QString("%1 0 %2 %3").arg(code).arg(id, row),
                                    page->Question ? copied : QString("%1 1  ").arg(code),
                                    QString("%1 1  ").arg(code)}));
        QCOMPARE(boxes.Texts(), page->Question ? QStringList({kQuestion, kQuestion}) : QStringList());
        for (const auto& editor : editors)
            QVERIFY(editor.isNull());
    }

    // No page but the listed ones opens the generic editor.
    void genericPagesAreTheListed()
    {
        QVector<QPair<int, int>> generic;
        for (const TEditPage& p : EditPages())
            if (p.Kind == TEditKind::Generic)
                generic.append({p.PageID, p.Code});
        QCOMPARE(generic, kGenericPages);
    }

    // Flags without a value read as not set; a person added from the
    // current row gets today shown in its start date, not kept as saved.
    void copyRules()
    {
        fx.db->Exec("UPDATE tElement SET PlatinumUpdate = NULL, LostRevenueFlag = NULL;");
        QVERIFY(openAt(1041, "id", 0));
        QCOMPARE(editAndAdd({"CheckBox1", "CheckBox2"}).first(), QString("edit|0|0"));
        QVERIFY(openAt(1047, "id", 0));
        QString kept = "-";
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            kept = static_cast<TSysEditForm&>(e).Kept(7);
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        boxes.Answer(mrYes);
        fx.form->btnAddClick();
        QCOMPARE(kept, QString());
        QCOMPARE(editAndAdd({"edtEdit7"}).mid(1), QStringList({"add|05/03/2026", "add|05/03/2026"}));
    }

    // The pages with editors of their own: what the editor shows after a
    // double-click, after Add then Yes, after Add then No.
    void specialisedPages_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("meanwhile");  // another program's change once the page has read the row
        const QStringList operatorInputs{"edtUserLogin", "edtPassword", "edtFirstName", "edtSurname", "cbF*"};
        const QString newOperator = "INSERT INTO tUser (ID, UserLogin, Password, FirstName, Surname, Active) VALUES "
                                    "(40,' spaced ',' pw ',' Fay ',' Lin ',1);";
        const auto rights = [&](const QString& functions) {
            return newOperator + "INSERT INTO tUserFunction (UserID, FunctionID) SELECT 40, value FROM json_each('[" +
                   functions + "]');";
        };
        const auto checks = [](const QString& critical, const QString& dubious) {
            QStringList set;
            for (int n = 1; n <= 15; ++n) {
                const auto value = [](QChar c) { return c == 'N' ? QString("NULL") : QString(c); };
                set << QString("CriticalCheck%1 = %2").arg(n, 2, 10, QChar('0')).arg(value(critical[n - 1]))
                    << QString("DubiousCheck%1 = %2").arg(n, 2, 10, QChar('0')).arg(value(dubious[n - 1]));
            }
            return "UPDATE tBatchType SET " + set.join(", ") + " WHERE ID = 2;";
        };
        using L = QStringList;
        QTest::newRow("operator, first, third and last right") << 1082 << rights("1,3,16") << "UserID" << 40
            << operatorInputs
            << L({"edit| spaced |pw|Fay|Lin|1010000000000001", "add| spaced |pw|Fay|Lin|1010000000000001",
                  "add|||||0000000000000000"}) << QString();
        QTest::newRow("operator without a login") << 1082 << "UPDATE tUser SET UserLogin = NULL WHERE ID = 9;"
            << "UserID" << 9 << operatorInputs
            << L({"edit||guest||Guest|0000000000000000", "add||guest||Guest|0000000000000000",
                  "add|||||0000000000000000"}) << QString();
        QTest::newRow("batch type") << 1012
            << "UPDATE tBatchType SET TotalCredits = 0, TotalCreditsName = 'Kept credits', ProgramID = NULL, "
               "Var02Description = ' Originating area ' WHERE ID = 2;"
            << "id" << 2
            << L({"edtID", "edtDescription", "cbSupplier", "cbDataSourceType", "cbProgram", "ckAccountNo",
                  "edtAccountNo", "ckTotalCredits", "edtTotalCredits", "ckRentDates", "edtVar01", "edtVar02",
                  "ckCritical*", "ckDubious*"})
            << L({"edit|2|Brellink freecall and 1300|Brellink Telecommunications|CSV file||1|Account|0|Kept credits|1|"
                  "Answer point|Originating area|111100101100000|110000000000000",
                  "add||Brellink freecall and 1300|Brellink Telecommunications|CSV file||1|Account|0|Kept credits|1|"
                  "Answer point|Originating area|111100101100000|110000000000000",
                  "add||||||0||0||0|||100000001100000|000000000000000"}) << QString();
        QTest::newRow("batch type, first and last, Null as false") << 1012 << checks("1NNNNNNNNNNNNN1", "N1000000000000N")
            << "id" << 2 << L({"ckCritical*", "ckDubious*"})
            << L({"edit|100000000000001|010000000000000", "add|100000000000001|010000000000000",
                  "add|100000001100000|000000000000000"}) << QString();
        QTest::newRow("customer") << 1016 << "UPDATE tCustomer SET Rate = NULL, Address05 = 'Level 3' WHERE ID = 3;"
            << "id" << 3
            << L({"edtID", "edtShipTo", "edtFullName", "edtVNumber", "edtStatus", "edtRate", "edtMaxExServiceAmount",
                  "ckActive", "ckPlatinumUpdate", "ckInvoice", "ckInvoiceServices", "edtAddress01", "edtAddress05"})
            << L({"edit|3|TRSY|Treasury and Finance|V1000102|Agency|0|8000|1|1|1|0|1 Government Place|Level 3",
                  "add||TRSY|Treasury and Finance|V1000102|Agency|0|8000|1|1|1|0|1 Government Place|Level 3",
                  "add||||||||1|0|0|0||"}) << QString();
        QTest::newRow("supplier") << 1066 << "UPDATE tSupplier SET Ziviruri = 1, Address06 = 'Rear entrance' WHERE ID = 2;"
            << "id" << 2
            << L({"edtID", "edtSupplierName", "edtPlatinumVendorID", "ckActive", "ckPlatinumUpdate", "ckZivIruri",
                  "edtAddress01", "edtAddress04", "edtAddress06"})
            << L({"edit|2|Corvane Mobile|CORVMOB01|1|1|1|PO Box 1500||Rear entrance",
                  "add||Corvane Mobile|CORVMOB01|1|1|1|PO Box 1500||Rear entrance", "add||||1|0|0|||"}) << QString();
        QTest::newRow("service type") << 1063 << "" << "id" << 7
            << L({"edtID", "edtCode", "edtDescription", "edtSupplierID", "edtSupplier", "cbRevenueElement",
                  "cbExpenseElement", "edtSystemID", "edtSystem", "edtStartDate", "edtEndDate", "edtExpectedRent",
                  "edtFrequency", "ckNoCalls"})
            << L({"edit|7|TQF|Tie-line queue - fax|1|Brellink Telecommunications|R4110  Fixed voice revenue|"
                  "E5110  Fixed voice expense|1|Fixed Voice|01/01/2012|  /  /    |45|3|1",
                  "add||TQF|Tie-line queue - fax|1|Brellink Telecommunications|R4110  Fixed voice revenue|"
                  "E5110  Fixed voice expense|1|Fixed Voice|05/03/2026|  /  /    |45|3|1",
                  "add||||||||||05/03/2026|  /  /    ||0|0"}) << QString();
        QTest::newRow("agreement") << 1003 << "" << "id" << 3
            << L({"edtID", "edtAgreementNo", "edtDescription", "cbAgreementType", "cbSupplier", "cbBatchType",
                  "cbValidAccountNumber", "edtStartDate", "edtEndDate"})
            << L({"edit|3|WOG-2021-004|Mobile fleet|Whole of government contract|Corvane Mobile|Corvane mobile fleet|"
                  "CM-778120|01/01/2021|  /  /    ",
                  "add||WOG-2021-004|Mobile fleet|Whole of government contract|Corvane Mobile|Corvane mobile fleet|"
                  "CM-778120|05/03/2026|  /  /    ",
                  "add||||||||05/03/2026|  /  /    "}) << QString();
        QTest::newRow("tariff") << 1004 << "UPDATE tAgreementTariffs SET MaxCharge = 2.75 WHERE ID = 4;" << "id" << 4
            << L({"edtID", "cbAgreement", "cbSupplierServiceCode", "edtFixedCharge", "edtFlagFall", "edtMinDuration",
                  "edtMaxCharge", "edtStage1Charge", "edtStage3Duration", "edtStage4Duration", "ckDiscount"})
            << L({"edit|4|WOG-2019-001- Fixed voice services|BT-STD- CALL- National call||0.3|60|2.75|0.12|3600||1",
                  "add||WOG-2019-001- Fixed voice services|BT-STD- CALL- National call||0.3|60|2.75|0.12|3600||1",
                  "add|||||||||||0"}) << QString();
        QTest::newRow("service split") << 1061 << "" << "id" << 2
            << L({"cbServiceID", "cbShipTo1", "edtRent1", "cbShipTo2", "edtOther2", "cbShipTo3"})
            << L({"edit|0290102947|HLTH|50|EDUC|50|", "add|0290007919|HLTH|50|EDUC|50|", "add||||||"}) << QString();
        QTest::newRow("service level") << 1052 << "" << "id" << 2 << L({"edtID", "edtKpiNumber", "edtFaultDetect"})
            << L({"edit|2|102|Proactive monitoring", "add||102|Proactive monitoring", "add|||"}) << QString();
        QTest::newRow("service") << 1051 << "" << "id" << 1
            << L({"edtID", "edtServiceID", "edtDescription", "edtServiceTypeID", "edtServiceType",
                  "edtInstallationDate", "edtServiceCode", "cbApplication"})
            << L({"edit|1|0290007919|LEVEL 2 OPEN PLAN|3|ISDN primary rate (30 channels)|07/02/2012||Voice",
                  "add||0290007919|LEVEL 2 OPEN PLAN|3|ISDN primary rate (30 channels)|05/03/2026||Voice",
                  "add||||||05/03/2026||"}) << QString();
        // Another program changes the row after the page read it: the editor
        // shows the row as stored; a row removed opens nothing.
        QTest::newRow("service, changed under the page") << 1051 << "" << "id" << 1
            << L({"edtID", "edtServiceID", "edtDescription", "edtInstallationDate", "cbApplication"})
            << L({"edit|1|0290007919|LEVEL 3 COMMS ROOM|01/07/2013|", "add||0290007919|LEVEL 3 COMMS ROOM|05/03/2026|",
                  "add||||05/03/2026|"})
            << "UPDATE tServiceID SET Description = 'LEVEL 3 COMMS ROOM', InstallationDate = '20130701', "
               "ApplicationID = NULL WHERE ID = 1;";
        QTest::newRow("customer, changed under the page") << 1016 << "" << "id" << 3
            << L({"edtFullName", "edtStatus", "ckInvoice"})
            << L({"edit|Treasury|Closed|0", "add|Treasury|Closed|0", "add|||0"})
            << "UPDATE tCustomer SET FullName = 'Treasury', Status = 'Closed', Invoice = 0 WHERE ID = 3;";
        QTest::newRow("customer, removed under the page") << 1016 << "" << "id" << 3 << L({"edtShipTo"})
            << L({"add|", "add|"}) << "DELETE FROM tCustomer WHERE ID = 3;";
        QTest::newRow("generic (locations), changed under the page") << 1044 << "" << "id" << 2
            << L({"edtEdit1", "edtEdit2"}) << L({"edit|2|Health House annex", "add||Health House annex", "add||"})
            << "UPDATE tLocation SET Description = 'Health House annex' WHERE ID = 2;";
    }

    void specialisedPages()
    {
        QFETCH(int, pageId);
        QFETCH(QString, setup);
        QFETCH(QString, key);
        QFETCH(int, id);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, expected);
        QFETCH(QString, meanwhile);
        if (!setup.isEmpty())
            fx.db->Exec(setup);
        QVERIFY(openAt(pageId, key, id));
        if (!meanwhile.isEmpty())
            fx.db->Exec(meanwhile);
        QStringList boxes;
        const QStringList seen = editAndAdd(inputs, &boxes);
        QCOMPARE(seen, expected);
        // A row gone is told once, and the page then has none picked to start from.
        QCOMPARE(boxes, expected.size() == 3 ? QStringList({kQuestion, kQuestion})
                                             : QStringList({"The row is no longer in the table."}));
    }

    // A save from the page: the row and its audit rows written, the page
    // reloaded on the same row (also after OK without a change, which
    // writes back what the page copied, names of flags switched off
    // included). Cancel leaves the page alone, unless the editor wrote before
    // it.
    void pageSaves_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("audit");  // table|id|field|old|new, by the demo operator
        const QStringList ok{"btnOk"};
        QTest::newRow("generic, OK") << 1001 << 2 << "" << QStringList({"edtEdit2=Renamed activity"}) << ok
            << "SELECT Description FROM tActivity WHERE ID = 2" << "Renamed activity"
            << QStringList({"tActivity|2|DESCRIPTION|'Emergency response'|'Renamed activity'"});
        QTest::newRow("generic, Cancel") << 1001 << 2 << "" << QStringList({"edtEdit2=Renamed activity"})
            << QStringList({"btnCancel"}) << "SELECT Description FROM tActivity WHERE ID = 2" << "Emergency response"
            << QStringList();
        QTest::newRow("service, Save then Cancel") << 1051 << 1 << "" << QStringList({"edtJobno=J-77"})
            << QStringList({"btnSave", "btnCancel"}) << "SELECT JobNo FROM tServiceID WHERE ID = 1" << "J-77"
            << QStringList({"tServiceID|1|JOBNO|NULL|'J-77'"});
        QTest::newRow("batch type, untouched") << 1012 << 2
            << "UPDATE tBatchType SET TotalCredits = 0, TotalCreditsName = 'Kept credits', ProgramID = NULL "
               "WHERE ID = 2;"
            << QStringList() << ok
            << "SELECT TotalCreditsName || '|' || ifnull(ProgramID, 'NULL') FROM tBatchType WHERE ID = 2"
            << "Kept credits|NULL" << QStringList();
        QTest::newRow("customer, status") << 1016 << 3 << "" << QStringList({"edtStatus=Closed", "edtRate=2"}) << ok
            << "SELECT Status || '|' || Rate FROM tCustomer WHERE ID = 3" << "Closed|2"
            << QStringList({"tCustomer|3|STATUS|'Agency'|'Closed'", "tCustomer|3|RATE|'1'|'2'"});
        // An element stored without a code can be given one, or be changed
        // without one.
        const QString noCode = "UPDATE tElement SET ElementCode = NULL WHERE ID = 1;";
        const QString element = "SELECT ifnull(ElementCode, 'NULL') || '|' || Description FROM tElement WHERE ID = 1";
        const QString renamed = "tElement|1|DESCRIPTION|'Fixed voice revenue'|'Fixed voice'";
        QTest::newRow("element without a code, given one") << 1041 << 1 << noCode
            << QStringList({"edtEdit3=r4119", "edtEdit4=Fixed voice"}) << ok << element << "R4119|Fixed voice"
            << QStringList({"tElement|1|ELEMENTCODE|NULL|'R4119'", renamed});
        QTest::newRow("element without a code, left without") << 1041 << 1 << noCode
            << QStringList({"edtEdit4=Fixed voice"}) << ok << element << "NULL|Fixed voice" << QStringList({renamed});
        // The old code is audited as it was stored: NULL only where there
        // was none.
        QTest::newRow("element without a code, given one in capitals") << 1041 << 1 << noCode
            << QStringList({"edtEdit3=R9001"}) << ok << element << "R9001|Fixed voice revenue"
            << QStringList({"tElement|1|ELEMENTCODE|NULL|'R9001'"});
        QTest::newRow("element with an empty code, given one") << 1041 << 1
            << "UPDATE tElement SET ElementCode = '' WHERE ID = 1;" << QStringList({"edtEdit3=r4119"}) << ok << element
            << "R4119|Fixed voice revenue" << QStringList({"tElement|1|ELEMENTCODE|''|'R4119'"});
        QTest::newRow("element with a blank code, given one") << 1041 << 1
            << "UPDATE tElement SET ElementCode = '  ' WHERE ID = 1;" << QStringList({"edtEdit3=R4119", "edtEdit4=Fixed voice"})
            << ok << element << "R4119|Fixed voice" << QStringList({"tElement|1|ELEMENTCODE|'  '|'R4119'", renamed});
        QTest::newRow("service split") << 1061 << 2 << "" << QStringList({"edtRent1=70", "edtRent2=30"}) << ok
            << "SELECT group_concat(RentPercentage) FROM tServiceSplit WHERE ID IN (1, 2)" << "70,30"
            << QStringList({"tServiceSplit|1|RENTPERCENTAGE|'50'|'70'", "tServiceSplit|2|RENTPERCENTAGE|'50'|'30'"});
        // Texts stored longer than an editor writes, or with blanks around
        // them: left alone they stay as stored and audit nothing, also line
        // details shown in their dialog and left with Okay; a text typed
        // over, as long as the stored one, is saved as the input shows it
        // and audited.
        const QString name = QString("Treasury and Finance ").repeated(5).left(90);
        const QString text400 = QString("Restored within four hours. ").repeated(15).left(400);
        QTest::newRow("customer, long texts untouched") << 1016 << 3
            << "UPDATE tCustomer SET ShipTo = 'TRSYXX', VNumber = 'V100010299', Status = 'Statutory', FullName = '" +
                   name + "' WHERE ID = 3;"
            << QStringList() << ok
            << "SELECT ShipTo || '|' || VNumber || '|' || Status || '|' || length(FullName) FROM tCustomer WHERE ID = 3"
            << "TRSYXX|V100010299|Statutory|90" << QStringList();
        const QString typedOver = name.left(80) + "Typed over";
        QTest::newRow("customer, long name typed over") << 1016 << 3
            << "UPDATE tCustomer SET FullName = '" + name + "' WHERE ID = 3;"
            << QStringList({"edtFullName=" + typedOver}) << ok << "SELECT FullName FROM tCustomer WHERE ID = 3"
            << typedOver << QStringList({"tCustomer|3|FULLNAME|'" + name + "'|'" + typedOver + "'"});
        QTest::newRow("supplier, long name untouched") << 1066 << 2
            << "UPDATE tSupplier SET SupplierName = '" + name + "' WHERE ID = 2;" << QStringList() << ok
            << "SELECT length(SupplierName) FROM tSupplier WHERE ID = 2" << "90" << QStringList();
        const QString kpi = "UPDATE tServiceKpi SET Description = '" + text400 + "' WHERE ID = 2;"
                            "INSERT INTO tAudit (\"Table\") VALUES ('tServiceKpi');";
        const QString kpiCheck = "SELECT length(Description) || '|' || ResponseHours FROM tServiceKpi WHERE ID = 2";
        QTest::newRow("service level, long description untouched") << 1052 << 2 << kpi << QStringList() << ok
            << kpiCheck << "400|1" << QStringList();
        QTest::newRow("service level, long description, another input typed") << 1052 << 2 << kpi
            << QStringList({"edtResponseHours=2"}) << ok << kpiCheck << "400|2"
            << QStringList({"tServiceKpi|2|RESPONSEHOURS|'1'|'2'"});
        QTest::newRow("service, blanks around texts") << 1051 << 1
            << "UPDATE tServiceID SET Description = ' NW LINK ', JobNo = ' J-1', UpMDF = 'M1 ' WHERE ID = 1;"
            << QStringList() << ok << "SELECT quote(Description) || quote(JobNo) || quote(UpMDF) FROM tServiceID WHERE ID = 1"
            << "' NW LINK '' J-1''M1 '" << QStringList();
        const QString details = "SELECT quote(UpMDF) || quote(DownMDF) || quote(No) || quote(Drawing) || quote(Make) || "
                                "quote(Mux) || quote(Length) FROM tServiceID WHERE ID = 1";
        QTest::newRow("service, line details with blanks around them, Details then Okay untouched") << 1051 << 1
            << "UPDATE tServiceID SET UpMDF = ' M1 ', DownMDF = '  D2', No = '101 ', Drawing = ' DR', Make = ' MK ', "
               "Mux = 'MX  ' WHERE ID = 1;"
            << QStringList() << QStringList({"btnDetails", "SysServiceRecordForm.btnOk", "btnOk"}) << details
            << "' M1 ''  D2''101 '' DR'' MK ''MX  '3.3" << QStringList();
        QTest::newRow("operator, names with blanks around them, untouched") << 1082 << 9
            << "UPDATE tUser SET UserLogin = ' guest ', FirstName = ' Gus', Surname = 'Guest  ' WHERE ID = 9;"
            << QStringList() << ok << "SELECT quote(UserLogin) || quote(FirstName) || quote(Surname) FROM tUser WHERE ID = 9"
            << "' guest '' Gus''Guest  '" << QStringList();
        QTest::newRow("batch type, long texts untouched") << 1012 << 2
            << "UPDATE tBatchType SET Description = '" + name.left(60) + "', Var01Description = '" + name.left(30) +
                   "' WHERE ID = 2;"
            << QStringList() << ok
            << "SELECT length(Description) || '|' || length(Var01Description) FROM tBatchType WHERE ID = 2" << "60|30"
            << QStringList();
        QTest::newRow("generic, blanks around a description") << 1044 << 2
            << "UPDATE tLocation SET Description = ' Health House ' WHERE ID = 2;" << QStringList() << ok
            << "SELECT quote(Description) FROM tLocation WHERE ID = 2" << "' Health House '" << QStringList();
    }
    void pageSaves()
    {
        QFETCH(int, pageId);
        QFETCH(int, id);
        QFETCH(QString, setup);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, buttons);
        QFETCH(QString, check);
        QFETCH(QString, value);
        QFETCH(QStringList, audit);
        if (!setup.isEmpty())
            fx.db->Exec(setup);
        const QString lastAudit = fx.db->Value("SELECT ifnull(MAX(AuditID), 0) FROM tAuditTrail");
        const QString key = pageId == 1082 ? "UserID" : "id";
        TQuery* q = openAt(pageId, key, id);
        QVERIFY(q);
        QSignalSpy reopened(q, &TDataSet::AfterOpen);
        QStringList boxes;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            kvtest::Enter(e, inputs);
            // "window.button": a button of a window the editor shows.
            for (const QString& button : buttons)
                boxes << kvtest::Click(button.contains('.') ? *e.findChild<QWidget*>(button.section('.', 0, 0)) : e,
                                       button.section('.', -1));
            return e.result();
        });
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes, QStringList());
        QCOMPARE(reopened.count(), buttons == QStringList({"btnCancel"}) ? 0 : 1);
        QCOMPARE(q->FieldByName(key)->AsInteger(), id);
        QCOMPARE(fx.db->Value(check), value);
        QCOMPARE(fx.db->Rows("SELECT TableName || '|' || TableID || '|' || FieldName || '|' || quote(OldValue) || '|' "
                             "|| quote(NewValue) FROM tAuditTrail WHERE AuditID > " + lastAudit),
                 audit);
        QCOMPARE(fx.db->Value("SELECT COUNT(*) FROM tAuditTrail WHERE UserID || Action <> 'demo1' AND AuditID > " +
                              lastAudit),
                 QString("0"));
    }

    // Adding on an empty page goes on only where the page allows it, with
    // nothing copied after Yes; editing an empty page never does.
    void emptyPages_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("opens");
        QTest::newRow("generic, add, opens empty") << 1001 << "tActivity" << true << true;
        QTest::newRow("generic, edit") << 1001 << "tActivity" << false << false;
        QTest::newRow("generic, add, does not open empty") << 1013 << "tCentre" << true << false;
        QTest::newRow("agreements, add") << 1003 << "tAgreement" << true << true;
        QTest::newRow("tariffs, add") << 1004 << "tAgreementTariffs" << true << true;
        QTest::newRow("splits, add") << 1061 << "tServiceSplit" << true << true;
        QTest::newRow("service levels, add") << 1052 << "tServiceKpi" << true << true;
        QTest::newRow("customers, add") << 1016 << "tCustomer" << true << false;
    }
    void emptyPages()
    {
        QFETCH(int, pageId);
        QFETCH(QString, table);
        QFETCH(bool, add);
        QFETCH(bool, opens);
        fx.db->Exec("DELETE FROM " + table + ";");
        QVERIFY(fx.Open(pageId));
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            seen << e.windowTitle();
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        boxes.Answer(mrYes);
        fx.form->EditRecord(pageId, add);
        QCOMPARE(boxes.Texts(), opens ? QStringList({kQuestion}) : QStringList());
        QCOMPARE(seen.size(), opens ? 1 : 0);
        if (!opens)
            return;
        QVERIFY2(seen.first().endsWith(" (ADD)"), qPrintable(seen.first()));
        QCOMPARE(boxes.Boxes().first().Type, mtConfirmation);
        QCOMPARE(boxes.Boxes().first().Buttons, TMsgDlgButtons(mbYes | mbNo));
    }

    // Pages without editors do nothing; the operator page's rights page
    // points to the operator page, and does nothing when it has no rows.
    void pagesWithoutEditors()
    {
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            seen << e.windowTitle();
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        for (int pageId : {1046, 1009, 1002}) {
            QVERIFY(fx.Open(pageId));
            fx.form->EditRecord(pageId, true);
            fx.form->EditRecord(pageId, false);
        }
        QCOMPARE(boxes.Count(), 0);
        QVERIFY(fx.Open(1081));
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        fx.form->KitDBGridSysDblClick();
        const QString elsewhere = "Select tUserFunction to edit this table.";
        QCOMPARE(boxes.Texts(), QStringList({elsewhere, elsewhere}));
        QCOMPARE(boxes.Boxes().first().Type, mtInformation);
        fx.Stop();
        fx.Start({"1"});
        fx.db->Exec("DELETE FROM tUser;");
        QVERIFY(fx.Open(1081));
        fx.form->EditRecord(1081, true);
        fx.form->EditRecord(1081, false);
        QCOMPARE(boxes.Texts(), QStringList({elsewhere, elsewhere}));
        QCOMPARE(seen, QStringList());
    }

    void noEditingWithoutTheRight()
    {
        fx.Stop();
        fx.Start({"2"});  // may look, not edit
        QVERIFY(fx.Open(1001));
        bool opened = false;
        TRecordEditor::SetShowModalHook([&](TRecordEditor&) {
            opened = true;
            return int(mrCancel);
        });
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(boxes.Count(), 0);
        QVERIFY(!opened);
    }

    // Under a decimal comma: the amounts a page fills in pass the editor's
    // own checks, and Save without a change leaves them as they were and
    // audits nothing (negative, tiny and large amounts among them); the
    // tables that refuse an unchanged save say so. An amount typed over is
    // audited from its stored value whole, and one left beside it is neither
    // written nor audited. A service's line length shows in the line-detail
    // dialog with the decimal comma and comes back from its Okay as stored.
    void untouchedAmounts_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("amounts");  // column = value
        QTest::addColumn<QStringList>("typed");    // input=text
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("audit");    // FIELD|old|new
        const QStringList unchanged{"No data changes were detected."};
        const QStringList none;
        QTest::newRow("cost ranges") << 1014 << "tCostRange"
            << QStringList({"CostRangeFrom = -250.5", "CostRangeTo = 0.0000001"}) << none << unchanged << none;
        QTest::newRow("discounts") << 1027 << "tDiscount"
            << QStringList({"DiscountRate = 12.5", "NonStdRevAdminFee = 2.25", "NonStdExpAdminFee = NULL"}) << none
            << unchanged << none;
        QTest::newRow("discounted rates") << 1028 << "tDiscountedRate" << QStringList({"Rate = 32.5"}) << none
            << unchanged << none;
        QTest::newRow("rates") << 1049 << "tRate"
            << QStringList({"Length = 2.5", "Cost = 32.5", "Cost100 = 1e15", "Percentage = 5", "PartCost = 0.125"})
            << none << none << none;
        QTest::newRow("transaction groups") << 1069 << "tTransactionGroup"
            << QStringList({"CostRangeFrom = -0.5", "CostRangeTo = 1000000.25"}) << none << none << none;
        // Stored with more digits than the page fills in.
        QTest::newRow("rates, more digits") << 1049 << "tRate"
            << QStringList({"Cost = 0.1 + 0.2", "Cost100 = 1250.12345", "Percentage = 12.3456"}) << none << none
            << none;
        QTest::newRow("customers, more digits") << 1016 << "tCustomer"
            << QStringList({"MaxExServiceAmount = 1250.12345"}) << none << none << none;
        QTest::newRow("tariffs, more digits") << 1004 << "tAgreementTariffs"
            << QStringList({"FixedCharge = 1250.12345", "DiscountRate = 0.1 + 0.2"}) << none << none << none;
        QTest::newRow("service types, more digits") << 1063 << "tServiceType"
            << QStringList({"ExpectedRent = 1250.12345"}) << none << none << none;
        // One of them typed over.
        QTest::newRow("rates, more digits, one typed") << 1049 << "tRate"
            << QStringList({"Cost = 0.1 + 0.2", "Cost100 = 1250.12345", "Percentage = 12.3456"})
            << QStringList({"edtEdit6=1300"}) << none << QStringList({"COST100|'1250.12345'|'1300'"});
        QTest::newRow("customers, more digits, typed") << 1016 << "tCustomer"
            << QStringList({"MaxExServiceAmount = 1250.12345"}) << QStringList({"edtMaxExServiceAmount=1300"}) << none
            << QStringList({"MAXEXSERVICEAMOUNT|'1250.12345'|'1300'"});
        QTest::newRow("tariffs, more digits, one typed") << 1004 << "tAgreementTariffs"
            << QStringList({"FixedCharge = 1250.12345", "DiscountRate = 0.1 + 0.2"})
            << QStringList({"edtFixedCharge=1300"}) << none << QStringList({"FIXEDCHARGE|'1250.12345'|'1300'"});
        QTest::newRow("service types, more digits, typed") << 1063 << "tServiceType"
            << QStringList({"ExpectedRent = 1250.12345"}) << QStringList({"edtExpectedRent=1300,5"}) << none
            << QStringList({"EXPECTEDRENT|'1250.12345'|'1300.5'"});
        QTest::newRow("services, a length of three decimals") << 1051 << "tServiceID"
            << QStringList({"Length = 1.125"}) << none << none << none;
    }
    void untouchedAmounts()
    {
        QFETCH(int, pageId);
        QFETCH(QString, table);
        QFETCH(QStringList, amounts);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, audit);
        kvtest::DecimalSeparator separator(',');
        fx.db->Exec("UPDATE " + table + " SET " + amounts.join(", ") + "; INSERT INTO tAudit (\"Table\") VALUES ('" +
                    table + "');");
        // The amounts not typed over, as stored.
        QStringList columns;
        for (const QString& amount : amounts) {
            const QString column = amount.section(' ', 0, 0);
            if (audit.filter(QRegularExpression("^" + column.toUpper() + "\\|")).isEmpty())
                columns << "quote(" + column + ")";
        }
        if (columns.isEmpty())
            columns << "''";
        const QString state = "SELECT group_concat(" + columns.join(" || '|' || ") + ", '@') || '/' || "
                              "(SELECT COUNT(*) FROM tAuditTrail) FROM " + table;
        const QString before = fx.db->Value(state);
        const QString lastAudit = fx.db->Value("SELECT ifnull(MAX(AuditID), 0) FROM tAuditTrail");
        QVERIFY(fx.Open(pageId));
        QStringList shown;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            kvtest::Enter(e, typed);
            if (auto* f = qobject_cast<TSysEditServiceIDForm*>(&e)) {
                f->btnDetailsClick();
                shown << f->SysServiceRecordForm->edtLineLength->text();
                QTest::mouseClick(f->SysServiceRecordForm->btnOk, Qt::LeftButton);
            }
            shown << kvtest::Click(e);
            return e.result();
        });
        fx.form->KitDBGridSysDblClick();
        if (pageId == 1051)  // the length, as the dialog shows it
            QCOMPARE(shown.takeFirst(), amounts.first().section(" = ", 1).replace('.', ','));
        QCOMPARE(shown, boxes);
        QCOMPARE(fx.db->Rows("SELECT FieldName || '|' || quote(OldValue) || '|' || quote(NewValue) FROM tAuditTrail "
                             "WHERE AuditID > " + lastAudit),
                 audit);
        if (audit.isEmpty())
            QCOMPARE(fx.db->Value(state), before);
        else  // only the audit rows added
            QCOMPARE(fx.db->Value(state).section('/', 0, 0), before.section('/', 0, 0));
    }

    // The same typed amount is the same number in every amount input, under
    // the regional settings the program builds from each locale, typed key
    // by key: the generic editor (a rate's cost) and the number inputs (a
    // customer's maximum ExService amount, a tariff's fixed charge, a service
    // type's expected rent) store and audit it alike, and so does the
    // line-detail dialog's Line Length as the generic editor does (after the
    // dialog's Okay, at OK). The generic editor and the length take no
    // thousands separator and refuse such an amount, naming the input,
    // writing nothing; a "." that groups thousands is never read as the
    // point. A key the number
    // inputs refuse
    // (a blank where the thousands separator is none, a letter, a second
    // decimal separator) leaves the keys after it taken, and what an input
    // method commits goes in as its keys would. A text the keys can still
    // leave that is no number ("e5", the 1 of "1e5" deleted) stops OK with a
    // message naming the input, the row unchanged.
    void typedAmountsReadAlike_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("generic");  // the number stored, or "refused"
        QTest::addColumn<QString>("number");   // the number the number inputs store
        QTest::addColumn<bool>("committed");   // by an input method, in one piece
        const QString refused = "refused";
        const auto row = [](const char* name, const QString& locale, const QString& typed, const QString& generic,
                            const QString& number, bool committed = false) {
            QTest::newRow(name) << locale << typed << generic << number << committed;
        };
        row("de_DE 1.000", "de_DE", "1.000", refused, "1000");
        row("de_DE 1.234", "de_DE", "1.234", refused, "1234");
        row("de_DE 1.000,5", "de_DE", "1.000,5", refused, "1000.5");
        row("de_DE 1000,5", "de_DE", "1000,5", "1000.5", "1000.5");
        row("de_DE 0,5", "de_DE", "0,5", "0.5", "0.5");
        row("de_DE 300.5, a point grouping nothing", "de_DE", "300.5", "300.5", "300.5");
        row("de_DE 1.25, a point before two digits", "de_DE", "1.25", "1.25", "1.25");
        row("de_DE 1 000,5, a blank refused", "de_DE", "1 000,5", refused, "1000.5");
        row("de_DE 1x000,5, a letter refused", "de_DE", "1x000,5", refused, "1000.5");
        row("de_DE 1,0,5, a second comma refused", "de_DE", "1,0,5", refused, "1.05");
        row("de_CH 1'000.5", "de_CH", "1'000.5", refused, "1000.5");
        row("de_CH 1.5", "de_CH", "1.5", "1.5", "1.5");
        row("de_CH 1.000", "de_CH", "1.000", "1", "1");
        row("de_CH 1 000.5, a blank refused", "de_CH", "1 000.5", refused, "1000.5");
        row("en_US 1,000.5", "en_US", "1,000.5", refused, "1000.5");
        row("en_US 1000.5", "en_US", "1000.5", "1000.5", "1000.5");
        row("en_US 1,25, a comma before two digits", "en_US", "1,25", refused, "1.25");
        row("en_US 1,250, a comma before three digits", "en_US", "1,250", refused, "1250");
        row("en_US 1 000.5, a blank refused", "en_US", "1 000.5", refused, "1000.5");
        row("en_US 1.0.5, a second point refused", "en_US", "1.0.5", refused, "1.05");
        row("fr_FR 1.000", "fr_FR", "1.000", "1", "1");
        row("fr_FR 1.234", "fr_FR", "1.234", "1.234", "1.234");
        row("fr_FR 1 000,5", "fr_FR", "1 000,5", refused, "1000.5");
        row("fr_FR 1000,5", "fr_FR", "1000,5", "1000.5", "1000.5");
        row("fr_FR 0,5", "fr_FR", "0,5", "0.5", "0.5");
        row("fr_FR 12 345 678,5, blanks grouping", "fr_FR", "12 345 678,5", refused, "12345678.5");
        // The number inputs take the point as the comma as it is typed and
        // refuse the second comma with a beep: they hold 1,0005.
        row("fr_FR 1.000,5", "fr_FR", "1.000,5", refused, "1.0005");
        row("de_DE 1 000,5 committed", "de_DE", "1 000,5", refused, "1000.5", true);
        row("de_DE 1 000,5 committed, a no-break space", "de_DE", "1\u00A0000,5", refused, "1000.5", true);
        row("de_DE 12 345 committed, a narrow no-break space", "de_DE", "12\u202F345", refused, "12345", true);
        row("de_DE 1 000,5, a no-break space typed with AltGr", "de_DE", "1\u00A0000,5", refused, "1000.5");
        row("fr_FR 1 000,5 committed", "fr_FR", "1 000,5", refused, "1000.5", true);
        row("fr_FR 1 000,5 committed, a no-break space", "fr_FR", "1\u00A0000,5", refused, "1000.5", true);
        row("de_DE e5, the 1 of 1e5 deleted", "de_DE", "15\u2190e\u2190\b", refused, refused);
        row("fr_FR e5, the 1 of 1e5 deleted", "fr_FR", "15\u2190e\u2190\b", refused, refused);
    }
    void typedAmountsReadAlike()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(QString, generic);
        QFETCH(QString, number);
        QFETCH(bool, committed);
        kvtest::RegionalSettings regional(locale);
        // Key by key ("\u2190" the left arrow; a character beyond ASCII with
        // AltGr, which several systems report as Ctrl+Alt), or committed.
        const auto enter = [&](QWidget& window, const QString& name) {
            window.show();
            auto* input = window.findChild<QLineEdit*>(name);
            QVERIFY2(input, qPrintable(name));
            input->setFocus();
            QTest::keySequence(input, QKeySequence::SelectAll);
            if (committed) {
                QInputMethodEvent commit;
                commit.setCommitString(typed);
                QApplication::sendEvent(input, &commit);
                return;
            }
            for (const QChar c : typed) {
                if (c == QChar(0x2190))
                    QTest::keyClick(input, Qt::Key_Left);
                else if (c.unicode() < 0x80)
                    QTest::keyClick(input, c.toLatin1());
                else
                    QTest::sendKeyEvent(QTest::Click, input, Qt::Key(c.unicode()), QString(c),
                                        Qt::ControlModifier | Qt::AltModifier);
            }
        };
        struct Amount {
            int PageID, ID;
            QString Input, Table, Column;
            QString Refusal;  // the message of an amount the generic editor's way refuses
        };
        const Amount amounts[] = {
            {1049, 1, "edtEdit5", "tRate", "Cost", "Cost must be a number."},
            {1016, 3, "edtMaxExServiceAmount", "tCustomer", "MaxExServiceAmount", ""},
            {1004, 4, "edtFixedCharge", "tAgreementTariffs", "FixedCharge", ""},
            {1004, 4, "edtStage3Charge", "tAgreementTariffs", "Stage3Charge", ""},
            {1063, 2, "edtExpectedRent", "tServiceType", "ExpectedRent", ""},
            {1051, 1, "edtLineLength", "tServiceID", "Length", "Details, Line Length: Length must be a number."}};
        for (const Amount& a : amounts) {
            const QString expected = a.Refusal.isEmpty() ? number : generic;
            const QString stored = QString("SELECT quote(%1) FROM %2 WHERE ID = %3").arg(a.Column, a.Table).arg(a.ID);
            const QString before = fx.db->Value(stored);
            const QString lastAudit = fx.db->Value("SELECT ifnull(MAX(AuditID), 0) FROM tAuditTrail");
            QVERIFY(openAt(a.PageID, "id", a.ID));
            QStringList boxes;
            TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
                kvtest::MessageRecorder shown;
                if (auto* f = qobject_cast<TSysEditServiceIDForm*>(&e)) {
                    f->show();
                    f->btnDetailsClick();
                    enter(*f->SysServiceRecordForm, a.Input);
                    QTest::mouseClick(f->SysServiceRecordForm->btnOk, Qt::LeftButton);
                } else {
                    enter(e, a.Input);
                }
                QTest::mouseClick(e.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
                boxes = shown.Texts();
                return e.result();
            });
            fx.form->KitDBGridSysDblClick();
            const QStringList audit = fx.db->Rows("SELECT FieldName || '|' || NewValue FROM tAuditTrail WHERE AuditID > " +
                                                  lastAudit);
            if (expected == "refused") {
                QCOMPARE(boxes, QStringList({a.Refusal.isEmpty() ? a.Column + ": 'e5' is not a valid floating point value."
                                                                 : a.Refusal}));
                QCOMPARE(fx.db->Value(stored), before);
                QCOMPARE(audit, QStringList());
                continue;
            }
            QCOMPARE(boxes, QStringList());
            QCOMPARE(fx.db->Value(stored).toDouble(), expected.toDouble());
            QCOMPARE(audit.size(), 1);
            QCOMPARE(audit.first().section('|', 0, 0), a.Column.toUpper());
            QCOMPARE(audit.first().section('|', 1).toDouble(), expected.toDouble());
        }
    }

    // A text stored with characters beyond the Basic Multilingual Plane
    // (written to the file directly) shows as stored on the page and in the
    // editor on both routes, and so does one starting with U+FEFF on the
    // file. Saved untouched or with another input changed, it is never
    // written back as other bytes: through the SQLite ODBC driver, which
    // cannot carry it, a save that writes it back is refused naming its
    // input. Typed over there, the audit row would carry it as the old value:
    // the refusal says so. Such a character the operator typed is named in
    // the input typed in, also where another input holds it stored and is
    // not written. A line detail is named in its dialog, which shows again
    // with the focus on it; nothing is written.
    void storedTextsShownAndKept_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<int>("pageId");  // the text stored: 1044 a location's, 1016 a customer's, 1051 a service's
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("typed");  // on 1051 into the line-detail dialog, then Okay
        QTest::addColumn<QString>("refused");  // how the one box begins; empty: saved
        const QString clef = "𝄞 clef north";
        for (const bool odbc : {false, true}) {
            const QString refused = odbc ? "The stored value of Location holds the character 𝄞 (U+1D11E)" : "";
            QTest::addRow("untouched, %s", odbc ? "through ODBC" : "SQLite file") << odbc << 1044 << clef
                                                                                 << QStringList() << refused;
            QTest::addRow("end date typed, %s", odbc ? "through ODBC" : "SQLite file") << odbc << 1044 << clef
                << QStringList({"edtEdit8=20261231"}) << refused;
        }
        QTest::newRow("typed over, through ODBC") << true << 1044 << clef << QStringList({"edtEdit2=fixed 2"})
            << "The stored value of Location holds the character 𝄞 (U+1D11E), which the data source kvfixture "
               "cannot take as typed, nor any other emoji or rare symbol. The audit trail must keep";
        QTest::newRow("byte order mark first, untouched, SQLite file") << false << 1044
            << QChar(0xFEFF) + QString("north") << QStringList() << "";
        QTest::newRow("typed into another input than the one holding it stored, through ODBC") << true << 1016
            << "x🐧y" << QStringList({"edtStatus=x🐧y"}) << "Status holds the character 🐧 (U+1F427), which";
        QTest::newRow("line detail left alone, through ODBC") << true << 1051 << "M🐧" << QStringList()
            << "The stored value of Details, Up MDF holds the character 🐧 (U+1F427)";
        QTest::newRow("line detail typed, through ODBC") << true << 1051 << "M1" << QStringList({"edtUpMDF=M🐧"})
            << "Details, Up MDF holds the character 🐧 (U+1F427)";
    }
    void storedTextsShownAndKept()
    {
        QFETCH(bool, odbc);
        QFETCH(int, pageId);
        QFETCH(QString, text);
        QFETCH(QStringList, typed);
        QFETCH(QString, refused);
        if (!startOn(odbc))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        const bool service = pageId == 1051;
        struct Place {
            QString Table, Column, Input;
            int ID;
        };
        const Place place = pageId == 1044 ? Place{"tLocation", "Description", "edtEdit2", 90}
                            : service      ? Place{"tServiceID", "UpMDF", "edtUpMDF", 1}
                                           : Place{"tCustomer", "FullName", "edtFullName", 3};
        fx.db->Exec("INSERT INTO tLocation (ID, Description, Active) VALUES (90, '', 1);"
                    "INSERT INTO tAudit (\"Table\") VALUES ('tLocation');"
                    "UPDATE " + place.Table + " SET " + place.Column + " = '" + text + "' WHERE ID = " +
                    QString::number(place.ID));
        const QString stored = "SELECT hex(" + place.Column + ") FROM " + place.Table + " WHERE ID = " +
                               QString::number(place.ID);
        const QString before = fx.db->Value(stored);
        const QStringList rows = everyRow();
        QVERIFY(openAt(pageId, "id", place.ID));
        if (!service)
            QCOMPARE(shownValue(pageId, place.Column), text);
        QString inEditor, focused;
        QStringList boxes;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto* details = service ? static_cast<TSysEditServiceIDForm&>(e).SysServiceRecordForm : nullptr;
            if (details)
                static_cast<TSysEditServiceIDForm&>(e).btnDetailsClick();
            inEditor = shown(e, {place.Input});
            kvtest::Enter(details ? static_cast<QWidget&>(*details) : e, typed);
            if (details)
                QTest::mouseClick(details->btnOk, Qt::LeftButton);
            boxes << kvtest::Click(e);
            if (details && details->isVisible() && details->focusWidget())
                focused = details->focusWidget()->objectName();
            return e.result();
        });
        kvtest::MessageRecorder page;  // an end date saved takes the row off the page of current rows
        fx.form->KitDBGridSysDblClick();
        QCOMPARE(inEditor, "edit|" + text);
        if (refused.isEmpty()) {
            QCOMPARE(boxes, QStringList());
            QCOMPARE(fx.db->Value(stored), before);
            return;
        }
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().startsWith(refused), qPrintable(boxes.first()));
        QCOMPARE(everyRow(), rows);
        QCOMPARE(focused, service ? place.Input : QString());
    }

    // Through the SQLite ODBC driver an addition whose typed text goes into
    // its INSERT without a lookup first is refused with the program's own
    // message, naming the input, when the text holds a character the route
    // cannot carry, and nothing is written.
    void addsRefusedThroughOdbc_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("input");  // as the message names it
        QTest::newRow("customer's full name") << 1016 << QStringList({"edtFullName=x🐧y", "edtRate=1"}) << "tCustomer"
                                              << "FullName";
        QTest::newRow("supplier's name") << 1066 << QStringList({"edtSupplierName=x🐧y"}) << "tSupplier"
                                         << "Supplier Name";
    }
    void addsRefusedThroughOdbc()
    {
        QFETCH(int, pageId);
        QFETCH(QStringList, inputs);
        QFETCH(QString, table);
        QFETCH(QString, input);
        if (!startOn(true))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        const QString state = "SELECT (SELECT COUNT(*) FROM " + table + ") || '|' || (SELECT COUNT(*) FROM tAuditTrail)";
        const QString before = fx.db->Value(state);
        QVERIFY(fx.Open(pageId));
        QStringList boxes;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            kvtest::Enter(e, inputs);
            boxes << kvtest::Click(e);
            return e.result();
        });
        kvtest::MessageRecorder question;
        question.Answer(mrNo);  // from the defaults
        fx.form->btnAddClick();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().startsWith(input + " holds the character 🐧 (U+1F427)"), qPrintable(boxes.first()));
        QCOMPARE(fx.db->Value(state), before);
    }

    // A row whose id is beyond what the editors carry (32 bits) is refused
    // with a message naming the id, by a double-click, by Add from the
    // present data and by Del; nothing opens and nothing is written, not
    // even to row 1, which an id cut to 32 bits would name. The page shows
    // the id whole. Add without the present data still opens a blank
    // editor. The same on a SQLite file and through ODBC.
    void rowsWithIdsBeyond32Bits_data() { pagesWithWideIds({3000000000LL, 4294967297LL, 9007199254740993LL}); }
    void rowsWithIdsBeyond32Bits()
    {
        WideRow row;
        if (!openWideRow(row))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        QVERIFY(row.query);
        QCOMPARE(shownId(row.pageId), QString::number(row.id));
        const QString state = "SELECT group_concat(ID || ':' || Active || ':' || ifnull(EndDate, '')) || '|' || "
                              "(SELECT COUNT(*) FROM tAuditTrail) FROM " + row.table;
        const QString before = fx.db->Value(state);
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            seen << (e.AppendMode() ? "add" : "edit");
            if (!e.AppendMode())
                kvtest::Click(e);  // Save as it stands
            return e.AppendMode() ? int(mrCancel) : e.result();
        });
        kvtest::MessageRecorder boxes;
        TKitDBGrid* grid = fx.form->PageOf(row.pageId)->Grid;
        grid->OnDblClick(grid);
        boxes.Answer(mrYes);
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        boxes.Answer(mrNo);
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        QTest::mouseClick(fx.form->btnDel, Qt::LeftButton);
        const QString refused = QString("This row cannot be changed here: its id %1 is too large for this program.")
                                    .arg(row.id);
        QCOMPARE(boxes.Texts(), QStringList({refused, kQuestion, refused, kQuestion, refused}));
        QCOMPARE(seen, QStringList({"add"}));
        QCOMPARE(fx.db->Value(state), before);
    }

    // Added beside a row whose id is beyond 32 bits, a row takes the next id
    // and every audit row of it names that id whole; the page comes back to
    // the row it was on. The same on a SQLite file and through ODBC.
    void addedBesideWideIds_data() { pagesWithWideIds({3000000000LL, 9007199254740993LL}); }
    void addedBesideWideIds()
    {
        WideRow row;
        if (!openWideRow(row))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        QVERIFY(row.query);
        const QString lastAudit = fx.db->Value("SELECT MAX(AuditID) FROM tAuditTrail");
        QStringList boxes;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            kvtest::Enter(e, row.pageId == 1001 ? QStringList({"edtEdit2=Wider activity", "edtEdit3=1"})
                                                : QStringList({"edtSupplierName=Wider supplies"}));
            boxes << kvtest::Click(e);
            return e.result();
        });
        kvtest::MessageRecorder recorder;
        recorder.Answer(mrNo);
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        QCOMPARE(recorder.Texts(), QStringList({kQuestion}));
        QCOMPARE(boxes.join('\n'), QString());
        const QString added = QString::number(row.id + 1);
        QCOMPARE(fx.db->Value("SELECT MAX(ID) FROM " + row.table), added);
        QCOMPARE(fx.db->Rows("SELECT DISTINCT TableName || '|' || TableID FROM tAuditTrail WHERE AuditID > " +
                             lastAudit),
                 QStringList({row.table + "|" + added}));
        QCOMPARE(row.query->FieldByName("id")->Value(), QVariant(row.id));
        QCOMPARE(shownId(row.pageId), QString::number(row.id));
    }

    // A row whose reference to another row is beyond 32 bits (supplier
    // 2^32+1 where the editor would carry supplier 1) is refused by a
    // double-click and by Add from the present data, with a message naming
    // the value and its column: no editor opens, nothing is written, and the
    // row that a cut id would name stays as it was. The grid shows the value
    // whole. The same on a SQLite file and through ODBC.
    void storedReferencesBeyond32Bits_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<int>("pageId");
        QTest::addColumn<int>("id");          // the page's row
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("column");  // the wide reference
        QTest::addColumn<QString>("state");   // what must not change
        const QString wideSupplier = "INSERT INTO tSupplier (ID, SupplierName, Active) VALUES (4294967297,'Wide',1);";
        const QString suppliers = " || '|' || (SELECT group_concat(ID || ':' || SupplierName) FROM tSupplier)";
        for (const bool odbc : {false, true}) {
            const QByteArray route = odbc ? "through ODBC" : "SQLite file";
            QTest::addRow("agreement's supplier, %s", route.constData()) << odbc << 1003 << 3
                << wideSupplier + "UPDATE tAgreement SET SupplierID = 4294967297 WHERE ID = 3;" << "SupplierID"
                << "(SELECT group_concat(ID || ':' || SupplierID || ':' || AgreementTypeID || ':' || BatchTypeID) "
                   "FROM tAgreement)" + suppliers;
            QTest::addRow("service type's supplier, %s", route.constData()) << odbc << 1063 << 7
                << wideSupplier + "UPDATE tServiceType SET SupplierID = 4294967297 WHERE ID = 7;" << "SupplierID"
                << "(SELECT group_concat(ID || ':' || SupplierID || ':' || Code) FROM tServiceType)" + suppliers;
            QTest::addRow("split's customer, %s", route.constData()) << odbc << 1061 << 2
                << "INSERT INTO tCustomer (ID, ShipTo, Active) VALUES (4294967297,'WIDE',1);"
                   "UPDATE tServiceSplit SET CustomerID = 4294967297 WHERE ID = 2;" << "CustomerID"
                << "(SELECT group_concat(ID || ':' || CustomerID || ':' || RentPercentage || ':' || Active) "
                   "FROM tServiceSplit) || '|' || (SELECT ShipTo FROM tCustomer WHERE ID = 1)";
        }
    }
    void storedReferencesBeyond32Bits()
    {
        QFETCH(int, pageId);
        QFETCH(int, id);
        QFETCH(QString, column);
        if (!setUpReferences())
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        const QString before = unchanged();
        QVERIFY(openAt(pageId, "id", id));
        QCOMPARE(shownValue(pageId, column), QString("4294967297"));
        QStringList seen;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            seen << (e.AppendMode() ? "add" : "edit");
            kvtest::Click(e);  // OK as it stands
            return e.result();
        });
        kvtest::MessageRecorder boxes;
        TKitDBGrid* grid = fx.form->PageOf(pageId)->Grid;
        grid->OnDblClick(grid);
        boxes.Answer(mrYes);
        QTest::mouseClick(fx.form->btnAdd, Qt::LeftButton);
        const QString refused = "The value 4294967297 of " + column + " is too large for this program.";
        QCOMPARE(unchanged(), before);
        QCOMPARE(boxes.Texts(), QStringList({refused, kQuestion, refused}));
        QCOMPARE(seen, QStringList());
    }

    // A reference row whose id is beyond 32 bits (a customer or a supplier
    // of id 2^32+1) is left out of the editor's lists: it cannot be picked,
    // and a ShipTo typed for it is not a known customer, so it never becomes
    // row 1. The other rows stay listed and the editor works on. The same on
    // a SQLite file and through ODBC.
    void referenceRowsBeyond32Bits_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<int>("pageId");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("list");   // the list and the wide row's text in it
        QTest::addColumn<QString>("wide");
        QTest::addColumn<QString>("kept");   // an item the list still holds
        QTest::addColumn<QStringList>("boxes");  // OK after the wide row was picked or typed
        QTest::addColumn<QString>("state");
        for (const bool odbc : {false, true}) {
            const QByteArray route = odbc ? "through ODBC" : "SQLite file";
            QTest::addRow("split editor's customers, %s", route.constData()) << odbc << 1061 << 2
                << "INSERT INTO tCustomer (ID, ShipTo, Active) VALUES (4294967297,'WIDE',1);" << "cbShipTo2" << "WIDE"
                << "HLTH" << QStringList({"ShipTo2 is not a known customer. Save aborted."})
                << "(SELECT group_concat(ID || ':' || CustomerID || ':' || Active) FROM tServiceSplit)";
            QTest::addRow("agreement editor's suppliers, %s", route.constData()) << odbc << 1003 << 3
                << "INSERT INTO tSupplier (ID, SupplierName, Active) VALUES (4294967297,'Wide supplies',1);"
                << "cbSupplier" << "Wide supplies" << "Corvane Mobile" << QStringList()
                << "(SELECT group_concat(ID || ':' || SupplierID || ':' || BatchTypeID) FROM tAgreement)";
        }
    }
    void referenceRowsBeyond32Bits()
    {
        QFETCH(int, pageId);
        QFETCH(int, id);
        QFETCH(QString, list);
        QFETCH(QString, wide);
        QFETCH(QString, kept);
        QFETCH(QStringList, boxes);
        if (!setUpReferences())
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        const QString before = unchanged();
        QVERIFY(openAt(pageId, "id", id));
        QStringList listed;
        QStringList shown;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto* combo = e.findChild<TLookupCombo*>(list);
            listed << QString::number(combo->findText(wide) >= 0) << QString::number(combo->findText(kept) >= 0);
            // The operator picks the row where the list offers it, or types it.
            if (combo->isEditable() || combo->findText(wide) >= 0)
                kvtest::Enter(e, {list + "=" + wide});
            shown << kvtest::Click(e);
            return e.result();
        });
        TKitDBGrid* grid = fx.form->PageOf(pageId)->Grid;
        grid->OnDblClick(grid);
        QCOMPARE(unchanged(), before);
        QCOMPARE(listed, QStringList({"0", "1"}));
        QCOMPARE(shown, boxes);
    }

    // Every page opens on the demo data without a word, on a SQLite file and
    // through ODBC. The operator goes down the page's first dozen rows and
    // double-clicks each: the page's editor opens on that row, and OK
    // without a change writes nothing but its stamps, so every row of every
    // table stays as it was, audit rows included, and no box shows but the
    // editor's own word that nothing changed. The operator page's rights
    // page points to the operator page; pages without editors do nothing.
    void untouchedOkWritesNothing_data()
    {
        QTest::addColumn<int>("pageId");
        QTest::addColumn<bool>("odbc");
        for (const bool odbc : {false, true})
            for (const TEditPage& p : EditPages())
                QTest::addRow("%d %s, %s", p.PageID, FindPage(p.PageID)->Node, odbc ? "through ODBC" : "SQLite file")
                    << p.PageID << odbc;
    }
    void untouchedOkWritesNothing()
    {
        QFETCH(int, pageId);
        QFETCH(bool, odbc);
        kvtest::MessageRecorder boxes;
        if (!startOn(odbc))
            QSKIP("the SQLite ODBC driver or Qt's ODBC plugin is not installed");
        const QStringList before = everyRow();
        fx.form->show();
        QVERIFY(fx.Open(pageId));
        TQuery* q = fx.form->CurrentQuery(pageId);
        QVERIFY(q->Active() && !q->IsEmpty());
        QCOMPARE(boxes.Texts(), QStringList());
        QStringList seen;  // per editor: its mode and the boxes OK showed
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            seen << (QStringList{e.AppendMode() ? "add" : "edit"} + kvtest::Click(e)).join(": ");
            return e.result();
        });
        TKitDBGrid* grid = fx.form->PageOf(pageId)->Grid;
        const int rows = std::min(q->RecordCount(), 12);
        for (int n = 1; n <= rows; ++n) {
            if (n > 1)
                QTest::keyClick(grid, Qt::Key_Down);
            const QPoint row = grid->viewport()->mapFrom(grid, grid->CellRect(0, q->CurrentRow()).center());
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, row);
            QCOMPARE(q->RecNo(), n);
        }
        const TEditKind kind = FindEditPage(pageId)->Kind;
        if (kind == TEditKind::Generic || kind == TEditKind::Specialised) {
            QCOMPARE(seen.size(), rows);
            for (const QString& editor : seen)
                QVERIFY2(editor == "edit" || editor == "edit: No data changes were detected.", qPrintable(editor));
            QCOMPARE(boxes.Texts(), QStringList());
        } else {
            QCOMPARE(seen, QStringList());
            QCOMPARE(boxes.Texts(), kind == TEditKind::Message
                                        ? QStringList(rows, "Select tUserFunction to edit this table.")
                                        : QStringList());
        }
        const QStringList after = everyRow();
        if (after != before) {
            const QSet<QString> was(before.begin(), before.end()), is(after.begin(), after.end());
            QStringList changed = kvtest::Prefixed("was ", QStringList((was - is).values()));
            changed << kvtest::Prefixed("now ", QStringList((is - was).values()));
            changed.sort();
            QFAIL(qPrintable(changed.isEmpty() ? QString("the same rows in another order") : changed.join('\n')));
        }
    }

    // The service page: a double-click fills the editor with the row, and
    // OK without a change writes every column back as it was and audits
    // nothing, row after row, even where the decimal separator is a comma.
    void serviceRowsWrittenBackUnchanged()
    {
        kvtest::DecimalSeparator separator(',');
        const QStringList columns = fx.db->Rows("SELECT 'quote(' || name || ')' FROM pragma_table_info('tServiceID') "
                                                "WHERE name NOT IN ('DateLastChanged', 'LastUpdatedBy')");
        const QString rows = "SELECT group_concat(" + columns.join("||") + ", '@') FROM tServiceID";
        const QString before = fx.db->Value(rows);
        const QString audits = fx.db->Value("SELECT COUNT(*) FROM tAuditTrail");
        QVERIFY(fx.Open(1051));
        TQuery* q = fx.form->CurrentQuery(1051);
        int saved = 0, details = 0;
        TRecordEditor::SetShowModalHook([&](TRecordEditor& e) {
            auto& f = static_cast<TSysEditServiceIDForm&>(e);
            details += f.LineDetails().LineLength.isEmpty() ? 0 : 1;
            saved += kvtest::Click(f).isEmpty() && f.ID() == q->FieldByName("id")->AsInteger();
            return f.result();
        });
        for (int n = 0; n < 30; ++n, q->Next())
            fx.form->KitDBGridSysDblClick();
        QCOMPARE(saved, 30);
        QVERIFY(details > 5);  // rows with line details were among them
        QCOMPARE(fx.db->Value(rows), before);
        QCOMPARE(fx.db->Value("SELECT COUNT(*) FROM tAuditTrail"), audits);
    }
};

KV_TEST_MAIN(TestEditDispatch)
#include "tst_editdispatch.moc"
