#include "CurrEdit.h"
#include "Formats.h"
#include "Locale.h"
#include "TestSupport.h"
#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <memory>

namespace {

// "en": 1,234.50 and $ in front; "de": 1.234,50 € behind; "fr": blanks
// between thousands and a decimal comma; "ch": apostrophes between
// thousands and a decimal point; "za": blanks between thousands and a
// decimal point.
TFormatSettings profile(const QString& name)
{
    TFormatSettings fs = TFormatSettings::DayFirstEnglish();
    if (name == QLatin1String("de")) {
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = '.';
        fs.CurrencyString = QString::fromUtf8("\xE2\x82\xAC");
        fs.CurrencyFormat = 3;
    } else if (name == QLatin1String("fr")) {
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = ' ';
        fs.CurrencyString = QStringLiteral("F");
        fs.CurrencyFormat = 1;
    } else if (name == QLatin1String("ch")) {
        fs.ThousandSeparator = '\'';
    } else if (name == QLatin1String("za")) {
        fs.ThousandSeparator = ' ';
    }
    return fs;
}

}  // namespace

class TestCurrEdit : public QObject {
    Q_OBJECT

    std::unique_ptr<QDialog> form;
    TCurrencyEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    int changes = 0;

    void enter() { edit->setFocus(Qt::TabFocusReason); }
    void leave() { other->setFocus(Qt::TabFocusReason); }

private slots:
    void init()
    {
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
        form = std::make_unique<QDialog>();
        form->setGeometry(100, 100, 300, 200);
        edit = new TCurrencyEdit(form.get());
        edit->setObjectName("edtExpectedRent");
        edit->setGeometry(16, 16, 121, 21);
        other = new QLineEdit(form.get());
        other->setGeometry(16, 60, 121, 21);
        changes = 0;
        edit->OnChange = [this](QObject*) { ++changes; };
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        leave();
    }
    void cleanup()
    {
        form.reset();
        SetFormatSettings(TFormatSettings::DayFirstEnglish());
    }

    // -------------------------------------------------------------- rules

    void normalizing_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normal");
        QTest::newRow("blanks trimmed") << "en" << "  12.5 " << "12.5";
        QTest::newRow("thousands dropped") << "en" << "1,234,567.5" << "1234567.5";
        QTest::newRow("empty is zero") << "en" << "" << "0";
        QTest::newRow("minus alone") << "en" << "-" << "-0";
        QTest::newRow("de: point is the thousands") << "de" << "1.234,5" << "1234,5";
        QTest::newRow("fr: point becomes the comma") << "fr" << "12.5" << "12,5";
        QTest::newRow("fr: blanks inside stay out") << "fr" << "1 234,5" << "1234,5";
        QTest::newRow("ch: comma read as the point") << "ch" << "1'234,5" << "1234.5";
        QTest::newRow("za: comma read as the point") << "za" << "1 234,5" << "1234.5";
    }
    void normalizing()
    {
        QFETCH(QString, profile);
        QFETCH(QString, text);
        QFETCH(QString, normal);
        SetFormatSettings(::profile(profile));
        QCOMPARE(TCustomNumEdit::NormalizeNumberText(text), normal);
    }

    void textSetter_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");  // as read back from the text
        QTest::addColumn<QString>("editText");
        QTest::newRow("plain") << "en" << "1234.5" << true << 1234.5 << "1234.5";
        QTest::newRow("rounded to the decimals") << "en" << "1234.567" << true << 1234.57 << "1234.57";
        QTest::newRow("grouped") << "en" << "1,234.50" << true << 1234.5 << "1234.5";
        QTest::newRow("minus alone is zero") << "en" << "-" << true << 0.0 << "";
        QTest::newRow("empty is zero") << "en" << "" << true << 0.0 << "";
        QTest::newRow("letters") << "en" << "abc" << false << 0.0 << "";
        QTest::newRow("two points") << "en" << "1.2.3" << false << 0.0 << "";
        QTest::newRow("de grouped") << "de" << "1.234,5" << true << 1234.5 << "1234,5";
    }
    void textSetter()
    {
        QFETCH(QString, profile);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        QFETCH(QString, editText);
        SetFormatSettings(::profile(profile));
        edit->SetValue(7);
        if (!ok) {
            QVERIFY_THROWS_EXCEPTION(EConvertError, edit->SetText(text));
            QCOMPARE(edit->Value(), 7.0);
            return;
        }
        edit->SetText(text);
        QCOMPARE(edit->Text(), editText);
        QCOMPARE(edit->Value(), value);
    }
    void valueNeverFails()
    {
        edit->setText("not a number");  // as if typed around the filter
        QCOMPARE(edit->Value(), 0.0);
        edit->SetMinValue(5);
        edit->SetMaxValue(10);
        edit->setText("xyz");
        QCOMPARE(edit->Value(), 5.0);
    }

    void rangeRule_data()
    {
        QTest::addColumn<double>("minValue");
        QTest::addColumn<double>("maxValue");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("stored");
        QTest::newRow("no range") << 0.0 << 0.0 << -50.0 << -50.0;
        QTest::newRow("equal bounds: none") << 5.0 << 5.0 << 99.0 << 99.0;
        QTest::newRow("clamped above") << 0.0 << 100.0 << 150.0 << 100.0;
        QTest::newRow("clamped below") << 10.0 << 100.0 << 5.0 << 10.0;
        QTest::newRow("lower bound only") << 10.0 << 0.0 << 5.0 << 10.0;
        QTest::newRow("lower bound only, large") << 10.0 << 0.0 << 5000.0 << 5000.0;
        QTest::newRow("upper bound only") << 0.0 << -10.0 << 5.0 << -10.0;
        QTest::newRow("reversed, both set: none") << 20.0 << 10.0 << 5.0 << 5.0;
    }
    void rangeRule()
    {
        QFETCH(double, minValue);
        QFETCH(double, maxValue);
        QFETCH(double, value);
        QFETCH(double, stored);
        edit->SetMinValue(minValue);
        edit->SetMaxValue(maxValue);
        edit->SetValue(value);
        QCOMPARE(edit->Value(), stored);
        QCOMPARE(edit->ApplyValueRange(false, value), stored);
        if (stored != value) {
            try {
                edit->ApplyValueRange(true, value);
                QFAIL("must raise");
            } catch (const ERangeError& e) {
                QCOMPARE(e.Message(), QString("Value must be between %1 and %2")
                                          .arg(FloatToStrF(minValue, ffFixed, 18, 2), FloatToStrF(maxValue, ffFixed, 18, 2)));
            }
        }
    }
    void boundsClampTheValueAtOnce()
    {
        edit->SetValue(150);
        edit->SetMaxValue(100);
        QCOMPARE(edit->Value(), 100.0);
        QCOMPARE(edit->Text(), QString("100"));
    }

    // -------------------------------------------------------------- display

    void plainWhileEditedFormattedOtherwise()
    {
        edit->SetValue(1234.567);
        QCOMPARE(edit->Text(), QString("1234.57"));
        QCOMPARE(edit->ShownText(), QString("$1,234.57"));
        enter();
        QCOMPARE(edit->ShownText(), QString("1234.57"));
        QCOMPARE(edit->selectedText(), QString("1234.57"));
        leave();
        QCOMPARE(edit->ShownText(), QString("$1,234.57"));
        QCOMPARE(edit->Text(), QString("1234.57"));
        edit->SetValue(-1234.5);
        QCOMPARE(edit->ShownText(), QString("-$1,234.50"));
    }
    void zeroShowsEmpty()
    {
        edit->SetValue(0);
        QCOMPARE(edit->Text(), QString());
        QCOMPARE(edit->ShownText(), QString());
        QCOMPARE(edit->Value(), 0.0);
        edit->SetZeroEmpty(false);
        QCOMPARE(edit->Text(), QString("0"));
        QCOMPARE(edit->ShownText(), QString("$0.00"));
    }
    void currencyFormatFollowsTheLocale_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<int>("placement");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("shown");
        QTest::newRow("symbol first") << "$" << 0 << 2 << "$,0.00;-$,0.00" << "-$1,234.50";
        QTest::newRow("symbol after") << "F" << 1 << 2 << ",0.00F;-,0.00F" << "-1,234.50F";
        QTest::newRow("symbol first, blank") << "R" << 2 << 2 << "R ,0.00;-R ,0.00" << "-R 1,234.50";
        QTest::newRow("symbol after, blank") << "kr" << 3 << 2 << ",0.00 kr;-,0.00 kr" << "-1,234.50 kr";
        QTest::newRow("no decimals") << "Y" << 0 << 0 << "Y,0.;-Y,0." << "-Y1,235";
        QTest::newRow("point in the symbol") << "kr." << 3 << 2 << ",0.00 kr'.';-,0.00 kr'.'" << "-1,234.50 kr.";
        QTest::newRow("no symbol") << "" << 0 << 2 << ",0.00;-,0.00" << "-1,234.50";
    }
    void currencyFormatFollowsTheLocale()
    {
        QFETCH(QString, symbol);
        QFETCH(int, placement);
        QFETCH(int, decimals);
        QFETCH(QString, format);
        QFETCH(QString, shown);
        TFormatSettings fs = TFormatSettings::DayFirstEnglish();
        fs.CurrencyString = symbol;
        fs.CurrencyFormat = placement;
        fs.CurrencyDecimals = decimals;
        SetFormatSettings(fs);
        QCOMPARE(CurrencyDisplayFormat(), format);
        QCOMPARE(edit->DisplayFormat(), format);
        edit->SetValue(-1234.5);
        QCOMPARE(edit->ShownText(), shown);
    }
    void localeChangeRewritesTheText()
    {
        edit->SetValue(1234.5);
        SetFormatSettings(profile("de"));
        QCOMPARE(edit->Text(), QString("1234,5"));
        QCOMPARE(edit->Value(), 1234.5);
        QCOMPARE(edit->ShownText(), QString::fromUtf8("1.234,50 \xE2\x82\xAC"));
    }
    void formatOnEditingGroupsAsTyped()
    {
        edit->SetFormatOnEditing(true);
        edit->SetValue(1234.5);
        enter();
        QCOMPARE(edit->Text(), QString("1,234.5"));
        edit->selectAll();
        QTest::keyClicks(edit, "1234567.8");
        QCOMPARE(edit->Text(), QString("1,234,567.8"));
        QCOMPARE(edit->Value(), 1234567.8);
        edit->setCursorPosition(1);
        QTest::keyClick(edit, Qt::Key_Backspace);  // the cursor stays before the "2"
        QCOMPARE(edit->Text(), QString("234,567.8"));
        QTest::keyClick(edit, '9');
        QCOMPARE(edit->Text(), QString("9,234,567.8"));
        leave();
        QCOMPARE(edit->Text(), QString("9234567.8"));
    }

    void displayFormatSetByHand()
    {
        edit->SetDisplayFormat("0.000");
        edit->SetValue(2.5);
        QCOMPARE(edit->ShownText(), QString("2.500"));
        edit->SetDisplayFormat("");
        QCOMPARE(edit->ShownText(), QString("2.5"));
    }

    // -------------------------------------------------------------- typing

    void typingKeepsANumber()
    {
        enter();
        const int beeps = BeepCount();
        QTest::keyClicks(edit, "12.34");
        QCOMPARE(edit->Text(), QString("12.34"));
        QCOMPARE(BeepCount(), beeps);
        QTest::keyClick(edit, '5');  // a third decimal
        QCOMPARE(edit->Text(), QString("12.34"));
        QCOMPARE(BeepCount(), beeps + 1);
        QTest::keyClick(edit, 'x');
        QTest::keyClick(edit, '.');
        QCOMPARE(edit->Text(), QString("12.34"));
        QCOMPARE(BeepCount(), beeps + 3);
        QVERIFY(changes > 0);
        QCOMPARE(edit->Value(), 12.34);
    }
    void typedSeparators_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("leftText");
        QTest::newRow("en: thousands comma taken, dropped on leaving") << "en" << "1,234.5" << "1,234.5" << 1234.5
                                                                        << "1234.5";
        QTest::newRow("de: comma is the decimal") << "de" << "12,5" << "12,5" << 12.5 << "12,5";
        QTest::newRow("de: point groups") << "de" << "1.234" << "1.234" << 1234.0 << "1234";
        QTest::newRow("fr: point becomes the comma") << "fr" << "3.5" << "3,5" << 3.5 << "3,5";
        QTest::newRow("ch: comma becomes the point") << "ch" << "2,5" << "2.5" << 2.5 << "2.5";
        QTest::newRow("za: comma becomes the point") << "za" << "2,5" << "2.5" << 2.5 << "2.5";
        // A blank is a key only where it groups thousands; refused elsewhere,
        // it leaves the keys after it taken.
        QTest::newRow("de: a blank refused") << "de" << "1 000,5" << "1000,5" << 1000.5 << "1000,5";
        QTest::newRow("en: a blank refused") << "en" << "1 000.5" << "1000.5" << 1000.5 << "1000.5";
        QTest::newRow("ch: a blank refused") << "ch" << "1 000.5" << "1000.5" << 1000.5 << "1000.5";
        QTest::newRow("de: a leading blank refused") << "de" << " 12" << "12" << 12.0 << "12";
        QTest::newRow("fr: a blank groups") << "fr" << "1 000,5" << "1 000,5" << 1000.5 << "1000,5";
        QTest::newRow("de: an apostrophe refused") << "de" << "1'000,5" << "1000,5" << 1000.5 << "1000,5";
        QTest::newRow("de: a letter refused") << "de" << "1x000,5" << "1000,5" << 1000.5 << "1000,5";
        QTest::newRow("de: a second comma refused") << "de" << "1,0,5" << "1,05" << 1.05 << "1,05";
        // "{7}": an input method commits 7 for the character before the cursor.
        QTest::newRow("de: a commit replacing the 5 before the cursor") << "de" << "1000,5{7}" << "1000,7" << 1000.7
                                                                         << "1000,7";
    }
    void typedSeparators()
    {
        QFETCH(QString, profile);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(QString, leftText);
        SetFormatSettings(::profile(profile));
        enter();
        QTest::keyClicks(edit, keys.section('{', 0, 0));
        if (keys.contains('{')) {
            QInputMethodEvent commit;
            commit.setCommitString(keys.section('{', 1).chopped(1), -1, 1);
            QApplication::sendEvent(edit, &commit);
        }
        QCOMPARE(edit->Text(), text);
        QCOMPARE(edit->Value(), value);
        leave();
        QCOMPARE(edit->Text(), leftText);
    }
    void signAgainstAPositiveRange()
    {
        edit->SetMinValue(0);
        edit->SetMaxValue(100);
        enter();
        const int beeps = BeepCount();
        QTest::keyClick(edit, '-');
        QCOMPARE(edit->Text(), QString("-"));
        QCOMPARE(edit->Value(), 0.0);
        QTest::keyClick(edit, '5');
        QCOMPARE(edit->Text(), QString("-"));
        QCOMPARE(BeepCount(), beeps + 1);
        edit->SetValue(150);
        QCOMPARE(edit->Value(), 100.0);
    }
    void noBeepWhenAskedNot()
    {
        edit->SetBeepOnError(false);
        enter();
        const int beeps = BeepCount();
        QTest::keyClick(edit, 'q');
        QCOMPARE(BeepCount(), beeps);
        QCOMPARE(edit->Text(), QString());
    }
    void enteringAndLeavingFireNoChange()
    {
        edit->SetValue(5);
        changes = 0;
        enter();
        leave();
        QCOMPARE(changes, 0);
    }
    void escapeResetsToTheValue()
    {
        edit->SetValue(12.5);
        enter();
        QTest::keyClicks(edit, "99");
        QCOMPARE(edit->Text(), QString("99"));
        QSignalSpy rejected(form.get(), &QDialog::rejected);
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(edit->Text(), QString("12.5"));
        QCOMPARE(edit->selectedText(), QString("12.5"));
        QCOMPARE(rejected.count(), 1);  // the form's cancel too
    }
    void readOnlyTakesNothing()
    {
        edit->SetValue(3);
        edit->SetReadOnly(true);
        enter();
        QTest::keyClicks(edit, "9");
        QCOMPARE(edit->Text(), QString("3"));
    }

    // -------------------------------------------------------------- paste and leaving

    void pasteIsCheckedAtOnce()
    {
        enter();
        QGuiApplication::clipboard()->setText("45.5");
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->Text(), QString("45.5"));
        QCOMPARE(edit->Value(), 45.5);

        edit->selectAll();
        QGuiApplication::clipboard()->setText("4x");
        const int beeps = BeepCount();
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->Text(), QString("45.5"));
        QCOMPARE(edit->selectedText(), QString("45.5"));
        QCOMPARE(BeepCount(), beeps + 1);

        edit->SetDirectInput(false);
        QGuiApplication::clipboard()->setText("7");
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->Text(), QString("45.5"));
    }
    void checkOnExitReportsTheRange()
    {
        kvtest::MessageRecorder boxes;
        edit->SetMinValue(0);
        edit->SetMaxValue(100);
        edit->SetCheckOnExit(true);
        enter();
        QTest::keyClicks(edit, "150");
        leave();
        QCOMPARE(boxes.Texts(), QStringList{"Value must be between 0.00 and 100.00."});
        QTRY_COMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->Text(), QString("150"));
        edit->selectAll();
        QTest::keyClicks(edit, "99");
        leave();
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(edit->Value(), 99.0);
    }
    void withoutCheckOnExitTheValueIsClamped()
    {
        kvtest::MessageRecorder boxes;
        edit->SetMinValue(0);
        edit->SetMaxValue(100);
        enter();
        QTest::keyClicks(edit, "150");
        leave();
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(edit->Text(), QString("100"));
    }
};

KV_TEST_MAIN(TestCurrEdit)
#include "tst_curredit.moc"
