#include "AuditTrail.h"
#include "EditorSupport.h"
#include "GenFns.h"

// The editors' save machinery: one attempt is one transaction, the new row's
// id comes from its INSERT, errors leave the window open with its input, and
// audit rows never go out without the row they name.
namespace {

// A small editor of tOrigin rows, written as every editor is.
class TOriginEditor : public TRecordEditor {
public:
    QLineEdit* edtDescription = AddEdit("edtDescription", 0, 0, 100);
    QPushButton* btnOk = AddButton("btnOk", "&Save", 0, 30);

    TOriginEditor()
    {
        connect(btnOk, &QPushButton::clicked, this, [this] {
            RunSave([this](TSaveAttempt& save) {
                const QString description = edtDescription->text().trimmed();
                const int id = save.ExecInsert({"INSERT INTO tOrigin", "(Description,Active)",
                                                "VALUES (" + Quote(description) + ",1)"});
                TAuditTrail audit = NewAudit(AuditIds.Insert, "tOrigin");
                audit.SetTableID(id);
                audit.AddField("DESCRIPTION", QString(), description);
                audit.AddField("ACTIVE", QString(), "1");
                save.Write(audit);
                return true;
            });
        });
        ReadAuditIds();
    }
    // A text kept as a property setter keeps it, in an input of that width.
    QLineEdit* Kept(const QString& stored, int width)
    {
        LimitTyping(edtDescription, width);
        KeepText(edtDescription, "Description", stored);
        return edtDescription;
    }
    QString Saved() const { return TextOf(edtDescription); }
};

}  // namespace

class TestSaveMachinery : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

private slots:
    void init()
    {
        db = kvtest::EditorDatabase({}, "INSERT INTO tOrigin (ID, Description, Active) VALUES (40,'Perth',0)",
                                    " o'neil ");
    }
    void cleanup() { db.reset(); }

    // A failing audit insert takes the row with it; the window keeps the
    // input; the next Save writes the row once, and its audit rows name the
    // row the INSERT made (not the older row of the same text).
    void oneAttemptIsOneTransaction()
    {
        db->Exec("CREATE TRIGGER refuseActive BEFORE INSERT ON tAuditTrail WHEN NEW.FieldName = 'ACTIVE' "
                 "BEGIN SELECT RAISE(ABORT, 'audit refused'); END;");
        TOriginEditor editor;
        editor.edtDescription->setText("  Perth ");
        kvtest::MessageRecorder boxes;
        QTest::mouseClick(editor.btnOk, Qt::LeftButton);
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(boxes.Boxes().first().Type, mtWarning);
        QVERIFY(boxes.Texts().first().contains("audit refused"));
        QCOMPARE(db->Value("SELECT COUNT(*) || '|' || (SELECT COUNT(*) FROM tAuditTrail) FROM tOrigin"), QString("1|0"));
        QVERIFY(editor.result() != mrOk);
        QVERIFY(!editor.Wrote());
        QCOMPARE(editor.edtDescription->text(), QString("  Perth "));
        QCOMPARE(editor.LastStatements().size(), 3);  // the row and both audit rows were tried

        db->Exec("DROP TRIGGER refuseActive;");
        KV_EXPECT_SAVED(editor);
        QVERIFY(editor.Wrote());
        QCOMPARE(db->Rows("SELECT ID || '|' || Description || '|' || Active FROM tOrigin ORDER BY ID"),
                 QStringList({"40|Perth|0", "41|Perth|1"}));
        const QString head = "INSERT INTO tAuditTrail",
                      columns = "(UserID,ActionTime,Action,TableName,TableID,FieldName,OldValue,NewValue)",
                      values = "VALUES ('o''neil','20260305 14:07:09',13,'tOrigin',41,";
        const QVector<QStringList> expected = {{"INSERT INTO tOrigin", "(Description,Active)", "VALUES ('Perth',1)"},
                                               {head, columns, values + "'DESCRIPTION',NULL,'Perth')"},
                                               {head, columns, values + "'ACTIVE',NULL,'1')"}};
        QCOMPARE(editor.LastStatements(), expected);
        QCOMPARE(db->AuditRows(),
                 kvtest::Prefixed("o'neil|13|tOrigin|41|", {"DESCRIPTION|NULL|'Perth'", "ACTIVE|NULL|'1'"}));
    }

    // No audit row goes out without the id of the row it names, by either
    // route; the action ids are the last row of each kind of event.
    void auditRowsAndActions()
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

        db->Exec("INSERT INTO tEvent (ID, Description) VALUES (14,'Batch Import'),(15,'reference update (new)');");
        const TAuditEventIds ids = ReadAuditEventIds();
        QCOMPARE(QStringList({ids.Update, ids.Delete, ids.Insert}), QStringList({"15", "12", "13"}));
    }

    // Amounts reach SQL in one form whatever the regional settings, rounded
    // to four decimals.
    void amountTexts()
    {
        kvtest::DecimalSeparator separator(',');
        QCOMPARE(QStringList({CurrText(12.5), CurrText(0), CurrText(-0.0001), CurrText(1234567.891249),
                              CurrText(0.1 + 0.2)}),
                 QStringList({"12.5", "0", "-0.0001", "1234567.8912", "0.3"}));
    }

    // Typed letters become capitals where they were typed, the cursor
    // staying after them.
    void upperCaseInput()
    {
        QLineEdit edit;
        SetUpperCase(&edit);
        edit.show();
        edit.setFocus();
        QTest::keyClicks(&edit, "ab1");
        QTest::keyClick(&edit, Qt::Key_Left);
        QTest::keyClicks(&edit, "x");
        QCOMPARE(edit.text(), QString("ABX1"));
        QCOMPARE(edit.cursorPosition(), 3);
    }

    // An input takes no more typed characters than its width, a character
    // whole or not at all. A longer stored text shows whole, and the input
    // holds no more than it; left alone it is saved as stored, changed it is
    // saved as the input shows it.
    void typingWidth_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");  // at the end; "\b" deletes
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("saved");
        QTest::newRow("typed beyond the width") << "" << "ABCDEF" << "ABCD" << "ABCD";
        QTest::newRow("emoji at the last place") << "" << "ABC🐧" << "ABC" << "ABC";
        QTest::newRow("longer, left alone") << " TRSYXX " << "" << "TRSYXX" << " TRSYXX ";
        QTest::newRow("longer, typed at") << "TRSYXX" << "Z" << "TRSYXX" << "TRSYXX";
        QTest::newRow("longer, shortened") << "TRSYXX" << "\b" << "TRSYX" << "TRSYX";
    }
    void typingWidth()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, saved);
        TOriginEditor editor;
        QLineEdit* edit = editor.Kept(stored, 4);
        editor.show();
        edit->setFocus();
        edit->end(false);
        const qsizetype keys = typed.contains(QChar(0xD83D)) ? typed.indexOf(QChar(0xD83D)) : typed.size();
        QTest::keyClicks(edit, typed.left(keys));
        QInputMethodEvent commit;
        commit.setCommitString(typed.mid(keys));
        QApplication::sendEvent(edit, &commit);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(editor.Saved(), saved);
    }

    // The edges of a 32-bit id (the rest of the id rule is tested through
    // the editors' checks).
    void idTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("id");
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
