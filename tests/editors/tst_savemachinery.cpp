#include "AuditTrail.h"
#include "GenFns.h"
#include "Locale.h"
#include "OperatorIdentity.h"
#include "RecordEditor.h"
#include "TestSupport.h"
#include "ToolEdit.h"
#include <QLineEdit>
#include <QPushButton>

// The editors' save machinery: one attempt is one transaction, the new row's
// id comes from its INSERT, refusals and errors leave the window open with
// its input, and audit rows never go out without the row they name.
namespace {

// A small editor of tOrigin rows, written as every editor is.
class TOriginEditor : public TRecordEditor {
public:
    QLineEdit* edtDescription;
    QPushButton* btnOk;
    bool closeOnSave = true;

    TOriginEditor()
    {
        edtDescription = new QLineEdit(this);
        btnOk = new QPushButton(QStringLiteral("&Save"), this);
        connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
        ReadAuditIds();
    }
    void btnOkClick()
    {
        RunSave([this](TSaveAttempt& save) {
            const QString description = edtDescription->text().trimmed();
            if (description.isEmpty())
                Refuse(QStringLiteral("A Description is Mandatory."));
            const int id = save.ExecInsert({"INSERT INTO tOrigin", "(Description,Active)",
                                            "VALUES (" + Quote(description) + ",1)"});
            TAuditTrail audit = NewAudit(AuditIds.Insert, "tOrigin");
            audit.SetTableID(id);
            audit.AddField("DESCRIPTION", QString(), description);
            audit.AddField("ACTIVE", QString(), "1");
            save.Write(audit);
            return closeOnSave;
        });
    }
};

}  // namespace

class TestSaveMachinery : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

    QStringList audit() const
    {
        return db->Rows("SELECT UserID || '|' || ActionTime || '|' || Action || '|' || TableName || '|' || "
                        "TableID || '|' || FieldName || '|' || quote(OldValue) || '|' || quote(NewValue) "
                        "FROM tAuditTrail ORDER BY AuditID");
    }

private slots:
    void init()
    {
        db = std::make_unique<kvtest::TestDatabase>();
        db->Exec("INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),(12,'Reference Delete'),"
                 "(13,'Reference Insert');"
                 "INSERT INTO tOrigin (ID, Description, Active) VALUES (40,'Perth',0);");
        Operator() = TOperatorIdentity();
        Operator().OPERATORNAME = " o'neil ";
    }
    void cleanup() { db.reset(); }

    // A failing audit insert takes the row with it; the window keeps the
    // input; the next Save writes the row once, and its audit rows name the
    // row the INSERT made (not the older row of the same text).
    void oneAttemptIsOneTransaction()
    {
        db->Exec("CREATE TRIGGER refuseActive BEFORE INSERT ON tAuditTrail WHEN NEW.FieldName = 'ACTIVE' "
                 "BEGIN SELECT RAISE(ABORT, 'audit refused'); END;");
        kvtest::MessageRecorder boxes;
        TOriginEditor editor;
        editor.edtDescription->setText("  Perth ");
        QTest::mouseClick(editor.btnOk, Qt::LeftButton);

        QCOMPARE(db->Value("SELECT COUNT(*) FROM tOrigin"), QString("1"));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tAuditTrail"), QString("0"));
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(boxes.Boxes().first().Type, mtWarning);
        QVERIFY(boxes.Texts().first().contains("audit refused"));
        QVERIFY(editor.result() != mrOk);
        QVERIFY(!editor.Wrote());
        QCOMPARE(editor.edtDescription->text(), QString("  Perth "));
        QCOMPARE(editor.LastStatements().size(), 3);  // the row and both audit rows were tried

        db->Exec("DROP TRIGGER refuseActive;");
        QTest::mouseClick(editor.btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(editor.result(), int(mrOk));
        QVERIFY(editor.Wrote());
        QCOMPARE(db->Rows("SELECT ID || '|' || Description || '|' || Active FROM tOrigin ORDER BY ID"),
                 QStringList({"40|Perth|0", "41|Perth|1"}));
        QCOMPARE(audit(), QStringList({"o'neil|20260305 14:07:09|13|tOrigin|41|DESCRIPTION|NULL|'Perth'",
                                       "o'neil|20260305 14:07:09|13|tOrigin|41|ACTIVE|NULL|'1'"}));
        const QVector<QStringList> expected = {
            {"INSERT INTO tOrigin", "(Description,Active)", "VALUES ('Perth',1)"},
            {"INSERT INTO tAuditTrail", "(UserID,ActionTime,Action,TableName,TableID,FieldName,OldValue,NewValue)",
             "VALUES ('o''neil','20260305 14:07:09',13,'tOrigin',41,'DESCRIPTION',NULL,'Perth')"},
            {"INSERT INTO tAuditTrail", "(UserID,ActionTime,Action,TableName,TableID,FieldName,OldValue,NewValue)",
             "VALUES ('o''neil','20260305 14:07:09',13,'tOrigin',41,'ACTIVE',NULL,'1')"},
        };
        QCOMPARE(editor.LastStatements(), expected);
    }

    // A check that refuses shows its own text as a warning and runs nothing.
    void refusalShowsItsMessage()
    {
        kvtest::MessageRecorder boxes;
        TOriginEditor editor;
        editor.edtDescription->setText("   ");
        editor.btnOkClick();
        QCOMPARE(boxes.Texts(), QStringList({"A Description is Mandatory."}));
        QCOMPARE(boxes.Boxes().first().Type, mtWarning);
        QVERIFY(editor.LastStatements().isEmpty());
        QVERIFY(editor.result() != mrOk);
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tOrigin"), QString("1"));
    }

    // An attempt that writes and keeps the window open still tells the main
    // window that something was written.
    void writeWithoutClosingIsReported()
    {
        kvtest::MessageRecorder boxes;
        TOriginEditor editor;
        editor.closeOnSave = false;
        editor.edtDescription->setText("Hobart");
        editor.btnOkClick();
        QCOMPARE(boxes.Count(), 0);
        QVERIFY(editor.result() != mrOk);
        QVERIFY(editor.Wrote());
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tOrigin WHERE Description = 'Hobart'"), QString("1"));
    }

    // No audit row goes out without the id of the row it names.
    void auditRowsNeedTheirRowsId()
    {
        TAuditTrail noId("u", "13", "tOrigin");
        noId.AddField("DESCRIPTION", QString(), "x");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, noId.Write());
        QString insert, columns, values;
        TStringList lines;
        BeginAuditTrail("u", "13", "tOrigin", insert, columns, values);
        AddAuditField("DESCRIPTION", QString(), "x", lines);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, WriteAuditTrail(insert, columns, values, lines));
        QCOMPARE(db->Value("SELECT COUNT(*) FROM tAuditTrail"), QString("0"));
    }

    // The action ids: the last row of each kind wins, other events are not
    // audit actions.
    void auditEventIds()
    {
        db->Exec("INSERT INTO tEvent (ID, Description) VALUES (14,'Batch Import'),(15,'reference update (new)');");
        const TAuditEventIds ids = ReadAuditEventIds();
        QCOMPARE(ids.Update, QString("15"));
        QCOMPARE(ids.Delete, QString("12"));
        QCOMPARE(ids.Insert, QString("13"));
    }

    void statementLines()
    {
        QStringList update{"UPDATE tThing", "SET Code = 'A',", "Active = 1,  "};
        DropFinalComma(update);
        QCOMPARE(update, QStringList({"UPDATE tThing", "SET Code = 'A',", "Active = 1"}));
        QStringList noComma{"SET Code = 'A'"};
        DropFinalComma(noComma);
        QCOMPARE(noComma, QStringList({"SET Code = 'A'"}));
        QCOMPARE(InsertStatement("tThing", {"(Code,", "Active,"}, {"VALUES ('A',", "1,"}),
                 QStringList({"INSERT INTO tThing", "(Code,", "Active)", "VALUES ('A',", "1)"}));
        QCOMPARE(QuoteOrNull(QString()), QString("NULL"));
        QCOMPARE(QuoteOrNull("it's"), QString("'it''s'"));
    }

    // Amounts and dates reach SQL in one form whatever the regional settings.
    void amountAndDateTexts()
    {
        const TFormatSettings saved = FormatSettings();
        TFormatSettings comma = saved;
        comma.DecimalSeparator = ',';
        comma.ThousandSeparator = '.';
        SetFormatSettings(comma);
        const QStringList amounts{CurrText(12.5), CurrText(0), CurrText(-0.0001), CurrText(1234567.891249),
                                  CurrText(0.1 + 0.2)};
        SetFormatSettings(saved);
        QCOMPARE(amounts, QStringList({"12.5", "0", "-0.0001", "1234567.8912", "0.3"}));

        TDateEdit date;
        QCOMPARE(DateEditYMD(&date), QString());
        date.SetDate(EncodeDate(2026, 2, 28));
        QCOMPARE(DateEditYMD(&date), QString("20260228"));
        date.SetText("31/02/2026");
        QVERIFY_THROWS_EXCEPTION(EConvertError, DateEditYMD(&date));
    }

    // Typed letters become capitals where they were typed; a value set by
    // code shows as given.
    void upperCaseInput()
    {
        QLineEdit edit;
        SetUpperCase(&edit);
        edit.setText("nw-12 b");
        QCOMPARE(edit.text(), QString("nw-12 b"));
        edit.clear();
        edit.show();
        edit.setFocus();
        QTest::keyClicks(&edit, "ab1");
        QTest::keyClick(&edit, Qt::Key_Left);
        QTest::keyClicks(&edit, "x");
        QCOMPARE(edit.text(), QString("ABX1"));
        QCOMPARE(edit.cursorPosition(), 3);
    }

    void idTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("id");
        QTest::newRow("plain") << "12" << true << "12" << 12;
        QTest::newRow("blanks around") << " 7 " << true << " 7 " << 7;
        QTest::newRow("letter inside") << "12a4" << false << "12" << 0;
        QTest::newRow("no digits") << "abc" << false << "" << 0;
        QTest::newRow("empty") << "" << false << "" << 0;
        QTest::newRow("largest") << "2147483647" << true << "2147483647" << 2147483647;
        QTest::newRow("too large for 32 bits") << "2147483648" << false << "2147483648" << 0;
        QTest::newRow("far too large") << "99999999999999999999999" << false << "99999999999999999999999" << 0;
    }
    void idTexts()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QString, left);
        QFETCH(int, id);
        int parsed = -1;
        QCOMPARE(ParseIdText(typed, parsed), ok);
        QCOMPARE(typed, left);
        QCOMPARE(parsed, id);
    }
};

KV_TEST_MAIN(TestSaveMachinery)
#include "tst_savemachinery.moc"
