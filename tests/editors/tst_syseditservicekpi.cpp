#include "EditorSupport.h"
#include "SysEditServiceKpi.h"

// The service-level editor: the INSERT and UPDATE lines it builds, the rows
// and audit rows it writes (the new row's id from its INSERT), and texts cut
// to their columns.
namespace {
using F = TSysEditServiceKpiForm;
using Setter = void (F::*)(const QString&);
const Setter kSetters[] = {&F::SetKpiNumber,   &F::SetDescription, &F::SetResponseHours,
                           &F::SetRestorationHours, &F::SetAvailability, &F::SetCoreHours,
                           &F::SetAfterHours,  &F::SetTravelTime,  &F::SetFaultDetect};
}  // namespace

class TestSysEditServiceKpi : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    QString row(int id) const
    {
        return db->Value(QString("SELECT quote(KpiNumber) || '|' || quote(Description) || '|' || quote(ResponseHours) "
                                 "|| '|' || quote(RestorationHours) || '|' || quote(Availability) || '|' || "
                                 "quote(CoreHours) || '|' || quote(AfterHours) || '|' || quote(TravelTime) || '|' || "
                                 "quote(FaultDetect) || '|' || Active FROM tServiceKpi WHERE ID = %1")
                             .arg(id));
    }
    // The editor as the main window leaves it: mode first, then id and the
    // values in the order of kSetters.
    static std::unique_ptr<TSysEditServiceKpiForm> editor(bool add, const QStringList& values = {})
    {
        auto f = std::make_unique<TSysEditServiceKpiForm>();
        f->SetAppendMode(add);
        f->SetID("1");
        for (int i = 0; i < values.size(); ++i)
            ((*f).*kSetters[i])(values[i]);
        return f;
    }

private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init()
    {
        db = kvtest::EditorDatabase({"tServiceKpi"},
                                    "INSERT INTO tServiceKpi (ID, KpiNumber, Description, ResponseHours, "
                                    "RestorationHours, Availability, CoreHours, AfterHours, TravelTime, FaultDetect, "
                                    "Active) VALUES (1,'102','Gold','1','8','99.95%','24x7','Included','Included',"
                                    "'Proactive',1)",
                                    " kpi'admin ");
    }
    void cleanup() { db.reset(); }

    // The INSERT names every column, NULL for an empty text; the audit rows
    // name the row the INSERT made whatever its texts (an empty number, a
    // wildcard, a quote, texts longer than the columns, texts another row
    // has), one for each text written.
    void add_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("valuesLine");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QStringList>("auditRows");
        QTest::newRow("every text")
            << QStringList({"102", "Gold", "1", "8", "99.95%", "24x7", "Included", "Included", "Proactive"})
            << "VALUES ('102',1,'Gold','1','8',"
            << "'102'|'Gold'|'1'|'8'|'99.95%'|'24x7'|'Included'|'Included'|'Proactive'|1"
            << QStringList({"KPINUMBER|NULL|'102'", "ACTIVE|NULL|'1'", "DESCRIPTION|NULL|'Gold'",
                            "RESPONSEHOURS|NULL|'1'", "RESTORATIONHOURS|NULL|'8'", "AVAILABILITY|NULL|'99.95%'",
                            "COREHOURS|NULL|'24x7'", "AFTERHOURS|NULL|'Included'", "TRAVELTIME|NULL|'Included'",
                            "FAULTDETECT|NULL|'Proactive'"});
        QTest::newRow("no number") << QStringList({"", "Unnumbered"}) << "VALUES (NULL, 1,'Unnumbered',NULL,NULL,"
                                   << "NULL|'Unnumbered'|NULL|NULL|NULL|NULL|NULL|NULL|NULL|1"
                                   << QStringList({"DESCRIPTION|NULL|'Unnumbered'"});
        QTest::newRow("wildcards and quotes")
            << QStringList({"1_%", "O'Reilly's [gold]"}) << "VALUES ('1_%',1,'O''Reilly''s [gold]',NULL,NULL,"
            << "'1_%'|'O''Reilly''s [gold]'|NULL|NULL|NULL|NULL|NULL|NULL|NULL|1"
            << QStringList({"KPINUMBER|NULL|'1_%'", "ACTIVE|NULL|'1'", "DESCRIPTION|NULL|'O''Reilly''s [gold]'"});
        const QString number = QString(50, 'K'), description = QString(128, 'd'), hours = QString(50, 'd');
        QTest::newRow("ten thousand characters")
            << QStringList({QString(10000, 'K'), QString(10000, 'd'), QString(10000, 'd')})
            << "VALUES ('" + number + "',1,'" + description + "','" + hours + "',NULL,"
            << "'" + number + "'|'" + description + "'|'" + hours + "'|NULL|NULL|NULL|NULL|NULL|NULL|1"
            << QStringList({"KPINUMBER|NULL|'" + number + "'", "ACTIVE|NULL|'1'",
                            "DESCRIPTION|NULL|'" + description + "'", "RESPONSEHOURS|NULL|'" + hours + "'"});
    }
    void add()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, valuesLine);
        QFETCH(QString, row);
        QFETCH(QStringList, auditRows);
        db->Exec("INSERT INTO tServiceKpi (ID, KpiNumber, Description, Active) VALUES (7, NULL, 'Unnumbered', 1),"
                 "(8, '1a%', 'O''Reilly''s [gold]', 1);");
        auto f = editor(true, values);
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first().mid(0, 4),
                 QStringList({"INSERT INTO tServiceKpi", "(KpiNumber, Active, Description, ResponseHours, "
                              "RestorationHours,", "Availability, CoreHours, AfterHours, TravelTime, FaultDetect)",
                              valuesLine}));
        QCOMPARE(this->row(9), row);
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("kpi'admin|13|tServiceKpi|9|", auditRows));
    }

    // A change writes the number always and every other column only when it
    // changed, in its line; each change has its audit row.
    void edit_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QStringList>("auditRows");
        QTest::newRow("one of each line")
            << QStringList({"edtDescription=Gold plus", "edtAvailability=", "edtFaultDetect=It's monitored"})
            << QStringList({"UPDATE tServiceKpi", "SET KpiNumber = '102', Description = 'Gold plus',",
                            " Availability = NULL,", " FaultDetect = 'It''s monitored'", "WHERE id = 1"})
            << "'102'|'Gold plus'|'1'|'8'|NULL|'24x7'|'Included'|'Included'|'It''s monitored'|1"
            << QStringList({"DESCRIPTION|'Gold'|'Gold plus'", "AVAILABILITY|'99.95%'|NULL",
                            "FAULTDETECT|'Proactive'|'It''s monitored'"});
        QTest::newRow("number cleared, middle line last")
            << QStringList({"edtKpiNumber=", "edtRestorationHours=12", "edtCoreHours=Mon-Fri"})
            << QStringList({"UPDATE tServiceKpi", "SET KpiNumber = NULL,", " RestorationHours = '12', CoreHours = 'Mon-Fri'",
                            "WHERE id = 1"})
            << "NULL|'Gold'|'1'|'12'|'99.95%'|'Mon-Fri'|'Included'|'Included'|'Proactive'|1"
            << QStringList({"KPINUMBER|'102'|NULL", "RESTORATIONHOURS|'8'|'12'", "COREHOURS|'24x7'|'Mon-Fri'"});
        QTest::newRow("cut to the column")
            << QStringList({"edtResponseHours=" + QString(60, 'h')})
            << QStringList({"UPDATE tServiceKpi", "SET KpiNumber = '102', ResponseHours = '" + QString(50, 'h') + "'",
                            "WHERE id = 1"})
            << "'102'|'Gold'|'" + QString(50, 'h') + "'|'8'|'99.95%'|'24x7'|'Included'|'Included'|'Proactive'|1"
            << QStringList({"RESPONSEHOURS|'1'|'" + QString(50, 'h') + "'"});
    }
    void edit()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, lines);
        QFETCH(QString, row);
        QFETCH(QStringList, auditRows);
        auto f = editor(false, {"102", "Gold", "1", "8", "99.95%", "24x7", "Included", "Included", "Proactive"});
        kvtest::Enter(*f, typed);
        KV_EXPECT_SAVED(*f);
        QCOMPARE(f->LastStatements().first(), lines);
        QCOMPARE(db->AuditRows(), kvtest::Prefixed("kpi'admin|11|tServiceKpi|1|", auditRows));
        QCOMPARE(this->row(1), row);
    }
};

KV_TEST_MAIN(TestSysEditServiceKpi)
#include "tst_syseditservicekpi.moc"
