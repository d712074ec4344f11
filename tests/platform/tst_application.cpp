#include "Clock.h"
#include "TestSupport.h"
#include <QPushButton>

// The last guard: an exception that leaves an event handler is shown in an
// error box and the program carries on.
class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void exceptionInAHandlerIsShownAndTheProgramGoesOn()
    {
        kvtest::MessageRecorder boxes;
        QPushButton button("Go");
        int clicks = 0;
        QObject::connect(&button, &QPushButton::clicked, [&] {
            ++clicks;
            if (clicks == 1)
                throw EConvertError("'abc' is not a valid integer value");
            if (clicks == 2)
                throw EDatabaseError("Already ends with a stop.");
            if (clicks == 3)
                Abort();
        });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 3);
        QCOMPARE(boxes.Texts(),
                 QStringList({"'abc' is not a valid integer value.", "Already ends with a stop."}));
        QCOMPARE(boxes.Boxes().first().Type, mtError);
        QCOMPARE(boxes.Boxes().first().Caption, QString("Error"));
    }

    // Handlers run guarded: what they raise is shown and stops there, even
    // when the signal is emitted straight from code (no event loop between).
    void guardedHandlers()
    {
        kvtest::MessageRecorder boxes;
        QPushButton button("Go");
        int after = 0;
        QObject::connect(&button, &QPushButton::clicked, &button,
                         Guarded([] { throw EDatabaseError("Table 'tNothing' not found"); }));
        QObject::connect(&button, &QPushButton::clicked, [&] { ++after; });
        emit button.clicked();
        QCOMPARE(after, 1);  // the next slot still ran
        QCOMPARE(boxes.Texts(), QStringList({"Table 'tNothing' not found."}));
        QVERIFY(!RunGuarded([] { throw EConvertError("'x' is not a valid integer value"); }, mtWarning));
        QCOMPARE(boxes.Boxes().last().Type, mtWarning);
        QVERIFY(RunGuarded([] {}));
        QCOMPARE(boxes.Count(), 2);
    }

    void messageSeamRecordsAndAnswers()
    {
        kvtest::MessageRecorder boxes;
        boxes.Answer(mrNo);
        QCOMPARE(MessageDlg("Use the present data as a starting point?", mtConfirmation, mbYesNo), int(mrNo));
        QCOMPARE(MessageDlg("A Description is Mandatory.", mtWarning, mbOK), int(mrOk));
        QCOMPARE(boxes.Count(), 2);
        QCOMPARE(boxes.Boxes()[0].Caption, QString("Confirm"));
        QCOMPARE(boxes.Boxes()[1].Caption, QString("Warning"));
        const int before = BeepCount();
        MessageBeep();
        QCOMPARE(BeepCount(), before + 1);
    }

    void clockSeam()
    {
        QCOMPARE(Clock::Now(), QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
        Clock::SetFixed(QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5)));
        QCOMPARE(Clock::Today(), QDate(2030, 1, 2));
        Clock::SetSystem();
        QVERIFY(Clock::Today().year() >= 2026);
        Clock::SetFixed(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
    }
};

KV_TEST_MAIN(TestApplication)
#include "tst_application.moc"
