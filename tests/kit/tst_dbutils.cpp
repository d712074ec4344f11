#include "DBUtils.h"
#include "IniFiles.h"
#include "TestSupport.h"
#include <QVBoxLayout>

namespace {

// A form class of its own, so that its class name is the section.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    TMainForm() { setObjectName(QStringLiteral("MainForm")); }
};

QString Order(const QVector<TColumnLayout>& columns)
{
    QStringList parts;
    for (const TColumnLayout& c : columns)
        parts << QStringLiteral("%1=%2").arg(c.FieldName).arg(c.Width);
    return parts.join(QChar(' '));
}

}  // namespace

class TestDBUtils : public QObject {
    Q_OBJECT
private slots:
    void dataSetSections()
    {
        TMainForm form;
        auto* sheet = new QWidget(&form);
        sheet->setObjectName(QStringLiteral("TabCustomer"));
        auto* query = new TQuery(&form);
        query->setObjectName(QStringLiteral("qSysCustomer"));
        auto* onSheet = new TQuery(sheet);
        onSheet->setObjectName(QStringLiteral("qOnSheet"));
        TQuery loose;
        loose.setObjectName(QStringLiteral("qLoose"));

        QCOMPARE(GetDataSetSection(nullptr), QString());
        QCOMPARE(GetDataSetSection(query), QStringLiteral("TMainForm"));
        // Not owned by a form: its own name, where a component's default
        // section would be empty.
        QCOMPARE(DefaultSectionName(&loose), QString());
        QCOMPARE(GetDataSetSection(&loose), QStringLiteral("qLoose"));
        QCOMPARE(GetDataSetSection(onSheet), QStringLiteral("qOnSheet"));
    }

    void restoreColumns_data()
    {
        QTest::addColumn<QStringList>("stored");  // key=value lines for grid "G"
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing stored") << QStringList() << "A=10 B=20 C=30";
        QTest::newRow("full reorder") << QStringList{"G.A=2,11", "G.B=0,22", "G.C=1,33"} << "B=22 C=33 A=11";
        QTest::newRow("width only") << QStringList{"G.B=x,25"} << "A=10 B=25 C=30";
        QTest::newRow("index only") << QStringList{"G.C=0"} << "C=30 A=10 B=20";
        QTest::newRow("index past the end") << QStringList{"G.A=9,12"} << "B=20 C=30 A=12";
        QTest::newRow("key case and blanks") << QStringList{"g.c = 1 , 31"} << "A=10 C=31 B=20";
        QTest::newRow("other grid's keys") << QStringList{"H.A=2,99"} << "A=10 B=20 C=30";
    }
    void restoreColumns()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        TIniFile ini(dir.filePath(QStringLiteral("l.ini")));
        for (const QString& line : stored) {
            const int eq = line.indexOf(QChar('='));
            ini.WriteString(QStringLiteral("S"), line.left(eq), line.mid(eq + 1));
        }
        const QVector<TColumnLayout> now{{QStringLiteral("A"), 10}, {QStringLiteral("B"), 20}, {QStringLiteral("C"), 30}};
        const TIniStore store{nullptr, &ini};
        QCOMPARE(Order(RestoreColumnsLayout(store, QStringLiteral("S"), QStringLiteral("G"), now)), expected);
    }

    void saveColumnsErasesTheSection()
    {
        QTemporaryDir dir;
        TIniFile ini(dir.filePath(QStringLiteral("l.ini")));
        ini.WriteString(QStringLiteral("S"), QStringLiteral("G.Old"), QStringLiteral("0,1"));
        SaveColumnsLayout(TIniStore{nullptr, &ini}, QStringLiteral("S"), QStringLiteral("G"),
                          {{QStringLiteral("B"), 20}, {QStringLiteral("A"), 10}});
        QCOMPARE(ini.ReadSection(QStringLiteral("S")), (QStringList{QStringLiteral("G.B"), QStringLiteral("G.A")}));
        QCOMPARE(ini.ReadString(QStringLiteral("S"), QStringLiteral("G.A"), QString()), QStringLiteral("1,10"));
    }

    void fieldsRoundTrip_data()
    {
        QTest::addColumn<bool>("registry");
        QTest::newRow("profile file") << false;
        QTest::newRow("registry") << true;
    }
    void fieldsRoundTrip()
    {
        QFETCH(bool, registry);
        QTemporaryDir dir;
        TIniFile ini(dir.filePath(QStringLiteral("l.ini")));
        TRegIniFile reg(QStringLiteral("Software\\kvtest"));
        const TIniStore store = registry ? TIniStore{&reg, nullptr} : TIniStore{nullptr, &ini};
        SaveFieldsLayout(store, QStringLiteral("TMainForm"), QStringLiteral("qSysUser"),
                         {{QStringLiteral("Surname"), 20, true}, {QStringLiteral("ID"), 8, false}});
        QCOMPARE(IniStorageReadString(store, QStringLiteral("TMainForm"), QStringLiteral("qSysUserID"), QString()),
                 QStringLiteral("1,8,0"));
        const QVector<TFieldLayout> now{{QStringLiteral("ID"), 10, true}, {QStringLiteral("Surname"), 10, true},
                                        {QStringLiteral("Active"), 10, true}};
        QVector<TFieldLayout> back =
            RestoreFieldsLayout(store, QStringLiteral("TMainForm"), QStringLiteral("qSysUser"), now, false);
        QCOMPARE(back.size(), 3);
        QCOMPARE(back[0].FieldName, QStringLiteral("Surname"));
        QCOMPARE(back[0].DisplayWidth, 20);
        QCOMPARE(back[1].FieldName, QStringLiteral("ID"));
        QCOMPARE(back[1].DisplayWidth, 8);
        QVERIFY(back[1].Visible);  // only when asked
        QCOMPARE(back[2].FieldName, QStringLiteral("Active"));
        back = RestoreFieldsLayout(store, QStringLiteral("TMainForm"), QStringLiteral("qSysUser"), now, true);
        QVERIFY(!back[1].Visible);
    }
};

KV_TEST_MAIN(TestDBUtils)
#include "tst_dbutils.moc"
