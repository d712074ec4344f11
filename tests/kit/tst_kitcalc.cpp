#include "CurrEdit.h"
#include "KitCalc.h"
#include "Locale.h"
#include "TestSupport.h"
#include <QLabel>
#include <memory>

namespace {

void keyIn(TCalculatorPanel& calc, const QString& keys)
{
    for (QChar k : keys)
        calc.CalcKey(k);
}

}  // namespace

class TestKitCalc : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kvtest::QuietHeadlessNotices(); }
    void init() { SetFormatSettings(TFormatSettings::DayFirstEnglish()); }

    void keyedSums_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("display");
        QTest::newRow("addition") << "12+3=" << "15";
        QTest::newRow("left to right") << "2*3+4=" << "10";
        QTest::newRow("no precedence") << "10-4/3=" << "2";
        QTest::newRow("operator changed") << "8+*2=" << "16";
        QTest::newRow("square root") << "9Q" << "3";
        QTest::newRow("reciprocal") << "4R" << "0.25";
        QTest::newRow("percent of the first operand") << "50+10%=" << "55";
        QTest::newRow("sign") << "1.5_" << "-1.5";
        QTest::newRow("comma is the decimal key") << "5,5+1=" << "6.5";
        QTest::newRow("backspace") << "123\b" << "12";
        QTest::newRow("clear") << "12+3C" << "0";
        QTest::newRow("Enter is equals") << "6*7\r" << "42";
        QTest::newRow("division by zero") << "7/0=" << "Error";
        QTest::newRow("root of a negative") << "4_Q" << "Error";
        QTest::newRow("error holds until cleared") << "7/0=5+" << "Error";
    }
    void keyedSums()
    {
        QFETCH(QString, keys);
        QFETCH(QString, display);
        TCalculatorPanel calc;
        keyIn(calc, keys);
        QCOMPARE(calc.DisplayText(), display);
        QCOMPARE(calc.State() == csError, display == "Error");
    }
    void errorsNotifyAndRefusedKeysBeep()
    {
        TCalculatorPanel calc;
        int errors = 0;
        calc.OnError = [&](QObject*) { ++errors; };
        keyIn(calc, "1/0=");
        QCOMPARE(errors, 1);
        QCOMPARE(calc.DisplayValue(), 0.0);
        const int beeps = BeepCount();
        keyIn(calc, "5");
        QCOMPARE(BeepCount(), beeps + 1);
        calc.SetBeepOnError(false);
        keyIn(calc, "5");
        QCOMPARE(BeepCount(), beeps + 1);
    }
    void memoryKeys()
    {
        TCalculatorPanel calc;
        QLabel* mark = calc.findChild<QLabel*>("MemoryLabel");
        QVERIFY(mark);
        keyIn(calc, "5");
        calc.ButtonClick(cbMS);
        QCOMPARE(calc.Memory(), 5.0);
        QVERIFY(!mark->isHidden());
        keyIn(calc, "C2");
        calc.ButtonClick(cbMP);
        QCOMPARE(calc.Memory(), 7.0);
        keyIn(calc, "C");
        calc.ButtonClick(cbMR);
        QCOMPARE(calc.DisplayText(), QString("7"));
        keyIn(calc, "+1=");
        QCOMPARE(calc.DisplayText(), QString("8"));
        calc.ButtonClick(cbMC);
        QCOMPARE(calc.Memory(), 0.0);
        QVERIFY(mark->isHidden());
    }
    void clickedKeyIsTyped()
    {
        TCalculatorPanel calc;
        QTest::mouseClick(calc.Button(cbNum7), Qt::LeftButton);
        QCOMPARE(calc.DisplayText(), QString("7"));
    }
    void decimalKeyFollowsTheLocale()
    {
        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = '.';
        SetFormatSettings(fs);
        TCalculatorPanel calc;
        QCOMPARE(calc.Button(cbDcm)->Caption(), QString(","));
        keyIn(calc, "1.5*2=");
        QCOMPARE(calc.DisplayText(), QString("3"));
        QCOMPARE(calc.DisplayValue(), 3.0);
    }

    // The drop-down on a number edit: opened by Alt+Down, keys typed into
    // the edit go to it, OK hands the result over.
    void popupOnANumberEdit()
    {
        QWidget form;
        form.setGeometry(100, 100, 300, 200);
        auto* edit = new TCustomNumEdit(&form);
        edit->setGeometry(16, 16, 121, 21);
        edit->UseCalculator(true);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        edit->setFocus(Qt::TabFocusReason);
        edit->SetValue(12);

        QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
        QVERIFY(edit->PopupVisible());
        TLocCalculator* calc = edit->PopupCalculator()->Calculator();
        QCOMPARE(calc->DisplayText(), QString("12"));
        QTest::keyClicks(edit, "*3");
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(edit->PopupVisible());
        QCOMPARE(calc->DisplayText(), QString("36"));
        QCOMPARE(edit->Text(), QString("12"));
        QTest::mouseClick(calc->Button(cbOk), Qt::LeftButton);
        QVERIFY(!edit->PopupVisible());
        QCOMPARE(edit->Value(), 36.0);
        QVERIFY(edit->Modified());

        QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
        QTest::keyClicks(edit, "+1");
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!edit->PopupVisible());
        QCOMPARE(edit->Value(), 36.0);

        const int beeps = BeepCount();
        QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
        QTest::keyClicks(edit, "/0=");
        QCOMPARE(calc->DisplayText(), QString("Error"));
        QCOMPARE(BeepCount(), beeps + 1);  // the edit's error notice
    }
};

KV_TEST_MAIN(TestKitCalc)
#include "tst_kitcalc.moc"
