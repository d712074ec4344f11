#include "OperatorIdentity.h"
#include "SysEditServiceKpi.h"
#include "TestSupport.h"
#include <QLineEdit>
#include <QPushButton>

// The service-level editor: the INSERT and UPDATE lines it builds, the rows
// and audit rows it writes (the new row's id from its INSERT), and texts cut
// to their columns.
class TestSysEditServiceKpi : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    QStringList audit() const
    {
        return db->Rows("SELECT UserID || '|' || Action || '|' || TableName || '|' || quote(TableID) || '|' || "
                        "FieldName || '|' || quote(OldValue) || '|' || quote(NewValue) FROM tAuditTrail "
                        "ORDER BY AuditID");
    }
    QStringList row(int id) const
    {
        return db->Rows(QString("SELECT quote(KpiNumber) || '|' || quote(Description) || '|' || "
                                "quote(ResponseHours) || '|' || quote(RestorationHours) || '|' || "
                                "quote(Availability) || '|' || quote(CoreHours) || '|' || quote(AfterHours) || "
                                "'|' || quote(TravelTime) || '|' || quote(FaultDetect) || '|' || Active "
                                "FROM tServiceKpi WHERE ID = %1").arg(id));
    }
    // The editor as the main window leaves it: mode first, then id and values.
    std::unique_ptr<TSysEditServiceKpiForm> editor(bool add, const QStringList& values = {})
    {
        auto f = std::make_unique<TSysEditServiceKpiForm>();
        f->SetAppendMode(add);
        f->SetID("1");
        if (!values.isEmpty()) {
            f->SetKpiNumber(values.value(0));
            f->SetDescription(values.value(1));
            f->SetResponseHours(values.value(2));
            f->SetRestorationHours(values.value(3));
            f->SetAvailability(values.value(4));
            f->SetCoreHours(values.value(5));
            f->SetAfterHours(values.value(6));
            f->SetTravelTime(values.value(7));
            f->SetFaultDetect(values.value(8));
        }
        return f;
    }
    static QStringList gold()
    {
        return {"102", "Gold", "1", "8", "99.95%", "24x7", "Included", "Included", "Proactive"};
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(12,'Reference Delete'),"
                 "(13,'Reference Insert');"
                 "INSERT INTO tAudit (\"Table\") VALUES ('tServiceKpi');"
                 "INSERT INTO tServiceKpi (ID, KpiNumber, Description, ResponseHours, RestorationHours, "
                 "Availability, CoreHours, AfterHours, TravelTime, FaultDetect, Active) VALUES "
                 "(1,'102','Gold','1','8','99.95%','24x7','Included','Included','Proactive',1);");
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = " kpi'admin ";
    }
    void cleanup() { db.reset(); }

    // Typed letters of the number become capitals.
    void capitals()
    {
        auto edit = editor(false);
        edit->show();
        edit->edtKpiNumber->setFocus();
        QTest::keyClicks(edit->edtKpiNumber, "p1a");
        QCOMPARE(edit->KpiNumber(), QString("P1A"));
    }

    // From the defaults every column is NULL but Active; nothing is audited.
    void addFromDefaults()
    {
        auto f = editor(true);
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(f->result(), int(mrOk));
        const QVector<QStringList> expected = {{
            "INSERT INTO tServiceKpi",
            "(KpiNumber, Active, Description, ResponseHours, RestorationHours,",
            "Availability, CoreHours, AfterHours, TravelTime, FaultDetect)",
            "VALUES (NULL, 1,NULL,NULL,NULL,",
            "NULL,NULL,NULL,NULL,NULL)",
        }};
        QCOMPARE(f->LastStatements(), expected);
        QCOMPARE(row(2), QStringList({"NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|1"}));
        QCOMPARE(audit(), QStringList());
    }

    // The audit rows name the row the INSERT made, whatever its texts: an
    // empty number, a wildcard, a quote, or texts longer than the columns.
    void addIsAuditedWithTheNewId_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("valuesLine");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QStringList>("auditRows");
        QTest::newRow("every text") << gold() << "VALUES ('102',1,'Gold','1','8',"
                                    << "'102'|'Gold'|'1'|'8'|'99.95%'|'24x7'|'Included'|'Included'|'Proactive'|1"
                                    << QStringList({"KPINUMBER|NULL|'102'", "ACTIVE|NULL|'1'",
                                                    "DESCRIPTION|NULL|'Gold'",
                                                    "RESPONSEHOURS|NULL|'1'", "RESTORATIONHOURS|NULL|'8'",
                                                    "AVAILABILITY|NULL|'99.95%'", "COREHOURS|NULL|'24x7'",
                                                    "AFTERHOURS|NULL|'Included'", "TRAVELTIME|NULL|'Included'",
                                                    "FAULTDETECT|NULL|'Proactive'"});
        QTest::newRow("no number") << QStringList({"", "Unnumbered"}) << "VALUES (NULL, 1,'Unnumbered',NULL,NULL,"
                                   << "NULL|'Unnumbered'|NULL|NULL|NULL|NULL|NULL|NULL|NULL|1"
                                   << QStringList({"DESCRIPTION|NULL|'Unnumbered'"});
        QTest::newRow("wildcards and quotes")
            << QStringList({"1_%", "O'Reilly's [gold]"}) << "VALUES ('1_%',1,'O''Reilly''s [gold]',NULL,NULL,"
            << "'1_%'|'O''Reilly''s [gold]'|NULL|NULL|NULL|NULL|NULL|NULL|NULL|1"
            << QStringList({"KPINUMBER|NULL|'1_%'", "ACTIVE|NULL|'1'", "DESCRIPTION|NULL|'O''Reilly''s [gold]'"});
        const QString longNumber(10000, 'K');
        const QString longText(10000, 'd');
        QTest::newRow("ten thousand characters")
            << QStringList({longNumber, longText, longText})
            << "VALUES ('" + longNumber.left(50) + "',1,'" + longText.left(128) + "','" + longText.left(50) + "',NULL,"
            << "'" + longNumber.left(50) + "'|'" + longText.left(128) + "'|'" + longText.left(50) +
                   "'|NULL|NULL|NULL|NULL|NULL|NULL|1"
            << QStringList({"KPINUMBER|NULL|'" + longNumber.left(50) + "'", "ACTIVE|NULL|'1'",
                            "DESCRIPTION|NULL|'" + longText.left(128) + "'",
                            "RESPONSEHOURS|NULL|'" + longText.left(50) + "'"});
    }
    void addIsAuditedWithTheNewId()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, valuesLine);
        QFETCH(QString, row);
        QFETCH(QStringList, auditRows);
        // A row with the same texts already there must not take the audit rows.
        db->Exec("INSERT INTO tServiceKpi (ID, KpiNumber, Description, Active) VALUES (7, NULL, 'Unnumbered', 1),"
                 "(8, '1a%', 'O''Reilly''s [gold]', 1);");
        auto f = editor(true, values);
        f->btnOkClick();
        QCOMPARE(f->result(), int(mrOk));
        QCOMPARE(f->LastStatements().first().at(3), valuesLine);
        QCOMPARE(this->row(9), QStringList({row}));
        QStringList expected;
        for (const QString& r : auditRows)
            expected << "kpi'admin|13|tServiceKpi|9|" + r;
        QCOMPARE(audit(), expected);
    }

    // A change writes the number always and every other column only when it
    // changed, in its line; each change has its audit row.
    void editWritesTheChanges_data()
    {
        QTest::addColumn<QStringList>("typed");  // column index = text
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("auditRows");
        QTest::newRow("nothing changed") << QStringList()
                                         << QStringList({"UPDATE tServiceKpi", "SET KpiNumber = '102'", "WHERE id = 1"})
                                         << QStringList();
        QTest::newRow("one of each line")
            << QStringList({"1=Gold plus", "4=", "8=It's monitored"})
            << QStringList({"UPDATE tServiceKpi", "SET KpiNumber = '102', Description = 'Gold plus',",
                            " Availability = NULL,", " FaultDetect = 'It''s monitored'", "WHERE id = 1"})
            << QStringList({"DESCRIPTION|'Gold'|'Gold plus'", "AVAILABILITY|'99.95%'|NULL",
                            "FAULTDETECT|'Proactive'|'It''s monitored'"});
        QTest::newRow("number cleared, middle line last")
            << QStringList({"0=", "3=12", "5=Mon-Fri"})
            << QStringList({"UPDATE tServiceKpi", "SET KpiNumber = NULL,",
                            " RestorationHours = '12', CoreHours = 'Mon-Fri'",
                            "WHERE id = 1"})
            << QStringList({"KPINUMBER|'102'|NULL", "RESTORATIONHOURS|'8'|'12'", "COREHOURS|'24x7'|'Mon-Fri'"});
        QTest::newRow("cut to the column")
            << QStringList({"2=" + QString(60, 'h')})
            << QStringList({"UPDATE tServiceKpi", "SET KpiNumber = '102', ResponseHours = '" + QString(50, 'h') + "'",
                            "WHERE id = 1"})
            << QStringList({"RESPONSEHOURS|'1'|'" + QString(50, 'h') + "'"});
    }
    void editWritesTheChanges()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, auditRows);
        auto f = editor(false, gold());
        const QList<QLineEdit*> edits = {f->edtKpiNumber, f->edtDescription, f->edtResponseHours,
                                         f->edtRestorationHours, f->edtAvailability, f->edtCoreHours,
                                         f->edtAfterHours, f->edtTravelTime, f->edtFaultDetect};
        for (const QString& t : typed)
            edits[t.section('=', 0, 0).toInt()]->setText(t.section('=', 1));
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(f->result(), int(mrOk));
        QCOMPARE(f->LastStatements().first(), lines);
        QStringList expected;
        for (const QString& r : auditRows)
            expected << "kpi'admin|11|tServiceKpi|1|" + r;
        QCOMPARE(audit(), expected);
        QStringList now = gold();
        for (const QString& t : typed) {
            const int i = t.section('=', 0, 0).toInt();
            now[i] = t.section('=', 1).left(i == 1 ? 128 : 50);
        }
        QStringList quoted;
        for (const QString& v : now)
            quoted << (v.isEmpty() ? "NULL" : "'" + QString(v).replace("'", "''") + "'");
        QCOMPARE(row(1), QStringList({quoted.join('|') + "|1"}));
    }

    // Without the table in the audit list nothing is audited, and no audit
    // action is needed.
    void notAudited()
    {
        db->Exec("DELETE FROM tAudit; DELETE FROM tEvent;");
        auto f = editor(false, gold());
        f->edtDescription->setText("Gold 2");
        f->btnOkClick();
        QCOMPARE(f->result(), int(mrOk));
        QCOMPARE(db->Value("SELECT Description FROM tServiceKpi WHERE ID = 1"), QString("Gold 2"));
        QCOMPARE(audit(), QStringList());
    }
};

KV_TEST_MAIN(TestSysEditServiceKpi)
#include "tst_syseditservicekpi.moc"
