#pragma once
// What the record editors' tests share: a database with the audit actions
// and the operator, and the operator's way of filling an editor and saving.
// Header only: the tests that include it link the editors.
#include "Locale.h"
#include "LookupCombo.h"
#include "OperatorIdentity.h"
#include "RecordEditor.h"
#include "SysEditBatchType.h"
#include "SysEditCustomer.h"
#include "SysEditUserFunction.h"
#include "SysUtils.h"
#include "TestSupport.h"
#include "ToolEdit.h"
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOption>

namespace kvtest {

// "yyyymmdd" as a date.
inline TDateTime Ymd(const QString& s)
{
    return EncodeDate(s.left(4).toInt(), s.mid(4, 2).toInt(), s.mid(6, 2).toInt());
}

// The regional settings with `decimal` as the decimal separator (and the
// other one for thousands) for as long as the object lives.
class DecimalSeparator {
public:
    explicit DecimalSeparator(QChar decimal) : m_saved(FormatSettings())
    {
        TFormatSettings settings = m_saved;
        settings.DecimalSeparator = decimal;
        settings.ThousandSeparator = decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
        SetFormatSettings(settings);
    }
    ~DecimalSeparator() { SetFormatSettings(m_saved); }

private:
    TFormatSettings m_saved;
};

// What the operator types into, picks or clicks.
inline bool IsInput(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractButton*>(w);
}

// What an input needs to show its text uncut: a check box its line, the
// others their line within their frame and a pixel's margin.
inline int TextHeight(const QWidget* input)
{
    const int line = input->fontMetrics().height();
    if (qobject_cast<const QCheckBox*>(input))
        return line;
    return line + 2 * (input->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, input) + 1);
}

// True when a box's caption, written beside its tick, runs past its edge.
inline bool CaptionCut(const QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    const QString caption = QString(box->text()).remove(QLatin1Char('&'));
    return room.left() + box->fontMetrics().tightBoundingRect(caption).right() >= box->width();
}

// What a control is laid out on inside `window`: the sheet of the scroll
// area its window's inputs scroll on, else the window itself.
inline const QWidget* SheetOf(const QWidget* control, const QWidget& window)
{
    for (const QWidget* p = control->parentWidget(); p && p != &window; p = p->parentWidget())
        if (auto* area = qobject_cast<const QScrollArea*>(p))
            return area->widget();
    return &window;
}

// What does not read whole in a shown window (or a bar of controls): a
// label or a box's caption smaller than its text, a label out of the window
// or running into an input; an input out of the window, too low for its
// text or running into another input. Controls on a sheet that scrolls are
// laid out on the sheet. Empty when all is well.
inline QStringList LayoutFaults(const QWidget& window)
{
    QStringList faults;
    const auto placed = [&](const QWidget* w) {
        return QRect(w->mapTo(SheetOf(w, window), QPoint(0, 0)), w->size());
    };
    const auto inside = [&](const QWidget* w) { return SheetOf(w, window)->rect().contains(placed(w)); };
    const auto meet = [&](const QWidget* a, const QWidget* b) {
        return SheetOf(a, window) == SheetOf(b, window) && placed(a).intersects(placed(b));
    };
    QList<const QWidget*> inputs;
    for (const QWidget* w : window.findChildren<QWidget*>())
        if (IsInput(w) && w->isVisible() && !IsInput(w->parentWidget()))  // the parts of an input count as the input
            inputs << w;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        if (label->width() < label->sizeHint().width() || label->height() < label->sizeHint().height())
            faults << label->objectName() + QStringLiteral(" is cut");
        if (!inside(label))
            faults << label->objectName() + QStringLiteral(" runs out of the window");
        for (const QWidget* input : inputs)
            if (meet(label, input))
                faults << label->objectName() + QStringLiteral(" runs into ") + input->objectName();
    }
    for (const QWidget* input : inputs) {
        if (!inside(input))
            faults << input->objectName() + QStringLiteral(" runs out of the window");
        if (input->height() < TextHeight(input))
            faults << QStringLiteral("%1 is %2 high of %3").arg(input->objectName()).arg(input->height()).arg(TextHeight(input));
        if (auto* box = qobject_cast<const QCheckBox*>(input); box && CaptionCut(box))
            faults << input->objectName() + QStringLiteral(" has its caption cut");
        for (const QWidget* other : inputs)
            if (other < input && meet(input, other))
                faults << input->objectName() + QStringLiteral(" runs into ") + other->objectName();
    }
    return faults;
}

// The controls of a bar that its window does not show whole (each named,
// "lies outside the window"). Empty when all is well.
inline QStringList OutsideTheWindow(const QWidget& bar)
{
    QStringList faults;
    const QWidget* window = bar.window();
    for (const QWidget* w : bar.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!window->rect().contains(QRect(w->mapTo(window, QPoint(0, 0)), w->size())))
            faults << w->objectName() + QStringLiteral(" lies outside the window");
    return faults;
}

// The regional settings the program builds from a locale ("de_DE") for as
// long as the object lives.
class RegionalSettings {
public:
    explicit RegionalSettings(const QString& locale) : m_saved(FormatSettings())
    {
        SetFormatSettings(TFormatSettings::FromLocale(QLocale(locale)));
    }
    ~RegionalSettings() { SetFormatSettings(m_saved); }

private:
    TFormatSettings m_saved;
};

// Customer 20 as stored (kCustomer20) and as the main window gives it to
// its editor, to change it.
inline const char* const kCustomer20 =
    "INSERT INTO tCustomer (ID, ShipTo, FullName, VNumber, Address01, Address02, Status, Rate, Invoice, "
    "InvoiceServices, PlatinumUpdate, Active, MaxExServiceAmount) VALUES (20,'HLTH','Department of "
    "Health','V1000231','Health House','73 Carrington St','Agency',1,1,1,0,1,25000)";
inline std::unique_ptr<TSysEditCustomerForm> CustomerEditorOf20()
{
    auto f = std::make_unique<TSysEditCustomerForm>();
    f->SetCustomerID("20");
    f->SetShipTo("HLTH");
    f->SetFullName("Department of Health");
    f->SetVNumber("V1000231");
    f->SetActive(true);
    f->SetStatus("Agency");
    f->SetRate(1);
    f->SetMaxExServiceAmount(25000);
    f->SetPlatinumUpdate(false);
    f->SetInvoice(true);
    f->SetInvoiceServices(true);
    f->SetAddress(1, "Health House");
    f->SetAddress(2, "73 Carrington St");
    f->SetAppendMode(false);
    return f;
}

// Batch type 30 as stored (kBatchType30, with the lists it picks from) and
// as the main window gives it to its editor, to change it: its supplier no
// longer active, no program, a name kept for a flag switched off.
inline const char* const kBatchType30 =
    "INSERT INTO tSupplier (ID, SupplierName, Active) VALUES (1,'Telstra',1),(2,'Optus',1),(3,'OldCo',0);"
    "INSERT INTO tDataSourceType (ID, DataSource) VALUES (1,'CSV'),(2,'EDI');"
    "INSERT INTO tProgram (ID, Description, Active) VALUES (1,'ImportA',1),(2,'ImportB',0);"
    "INSERT INTO tReportGroup (ID, GroupDesc) VALUES (1,'Mobile'),(2,'Fixed');"
    "INSERT INTO tBatchType (ID, Description, SupplierID, DataSourceTypeID, Active, ProgramID, "
    "ReportGroupID, SupplierDisplayedName, AccountNo, AccountNoName, InvoiceNo, InvoiceNoName, CallDates, "
    "CriticalCheck01, CriticalCheck09, Var01Description) VALUES (30,'Old Telstra',3,1,1,NULL,2,"
    "'Telstra',1,'Acct',0,'Old invoice name',1,1,1,'Calls')";
inline std::unique_ptr<TSysEditBatchTypeForm> BatchTypeEditorOf30()
{
    using F = TSysEditBatchTypeForm;
    auto f = std::make_unique<F>();
    f->SetBatchTypeID("30");
    f->SetDescription("Old Telstra");
    f->SetSupplierDisplayedName("Telstra");
    f->SetSupplierID(3);
    f->SetReportGroupID(2);
    f->SetDataSourceTypeID(1);
    f->SetFlag(F::AccountNo, true);
    f->SetFlagName(F::AccountNo, "Acct");
    f->SetFlagName(F::InvoiceNo, "Old invoice name");
    f->SetFlag(F::RentDates, false);
    f->SetFlag(F::CallDates, true);
    f->SetFlag(F::TenderNumber, false);
    f->SetFlag(F::MultiManual, false);
    f->SetFlag(F::EarlyRevenue, false);
    f->SetVar(1, "Calls");
    f->SetCritical1To15("100000001000000");
    f->SetDubious1To15("000000000000000");
    f->SetAppendMode(false);
    return f;
}

// Batch type 30's UPDATE as its editor writes it untouched, with each
// change (the text it replaces, and by what) made in its lines.
inline QStringList BatchType30Update(const QList<QPair<QString, QString>>& changes = {})
{
    QStringList lines{
        "UPDATE tBatchType", "SET Description = 'Old Telstra', SupplierID = 3, DataSourceTypeID = 1,",
        " AccountNo = 1, InvoiceNo = 0, TotalRevenue = 0, TotalPayable = 0, TotalCredits = 0, "
        "OpeningBalance = 0, PaymentsReceived = 0,",
        " TotalAdjustments = 0, BatchStart = 0, BatchEnd = 0, PaymentDate = 0, CreditsToCustomers = 0, "
        "GST = 0, GSTAdjustment = 0,",
        " OrderNumber = 0, RequisitionNumber = 0, IssueDate = 0, RentDates = 0, CallDates = 1, Rounding = 0, "
        "TenderNumber = 0, MultiManualEntry = 0, EarlyRevenue = 0, CriticalCheck01 = 1,",
        " CriticalCheck02 = 0, CriticalCheck03 = 0, CriticalCheck04 = 0, CriticalCheck05 = 0, "
        "CriticalCheck06 = 0, CriticalCheck07 = 0,",
        " CriticalCheck08 = 0, CriticalCheck09 = 1, CriticalCheck10 = 0, CriticalCheck11 = 0, "
        "CriticalCheck12 = 0, CriticalCheck13 = 0, CriticalCheck14 = 0, CriticalCheck15 = 0,",
        " DubiousCheck01 = 0, DubiousCheck02 = 0, DubiousCheck03 = 0, DubiousCheck04 = 0, "
        "DubiousCheck05 = 0, DubiousCheck06 = 0, DubiousCheck07 = 0,",
        " DubiousCheck08 = 0, DubiousCheck09 = 0, DubiousCheck10 = 0, DubiousCheck11 = 0, "
        "DubiousCheck12 = 0, DubiousCheck13 = 0, DubiousCheck14 = 0, DubiousCheck15 = 0,",
        " ProgramID = NULL, AccountNoName = 'Acct', InvoiceNoName = 'Old invoice name', "
        "TotalRevenueName = NULL, TotalPayableName = NULL,",
        " TotalCreditsName = NULL, OpeningBalanceName = NULL, PaymentsReceivedName = NULL, "
        "TotalAdjustmentsName = NULL, BatchStartName = NULL,",
        " BatchEndName = NULL, PaymentDateName = NULL,",
        " GSTName = NULL, GSTAdjustmentName = NULL, OrderNumberName = NULL, RequisitionNumberName = NULL,",
        " IssueDateName = NULL, RoundingName = NULL,",
        " Var01Description = 'Calls', Var02Description = NULL, Var03Description = NULL, "
        "Var04Description = NULL,",
        " Var05Description = NULL, Var06Description = NULL, Var07Description = NULL, "
        "Var08Description = NULL,",
        " Var09Description = NULL, Var10Description = NULL, Var11Description = NULL, "
        "Var12Description = NULL,",
        " Var13Description = NULL, Var14Description = NULL, Var15Description = NULL", "WHERE id = 30"};
    for (QString& line : lines)
        for (const auto& [was, is] : changes)
            line.replace(was, is);
    return lines;
}

// The operators as stored, with their rights (7 and 9 for operator 3), and
// operator 3 as the main window gives it to its editor, to change it.
inline const char* const kOperators =
    "INSERT INTO tUser (ID, UserLogin, Password, FirstName, Surname, Active) VALUES "
    "(1,'admin','adm','Ada','Min',1),(2,'jsmith','js',NULL,'Smith',0),(3,'mnguyen','old','Minh','Nguyen',1),"
    "(4,'jxdoe','jx',NULL,NULL,1);"
    "INSERT INTO tUserFunction (UserID, FunctionID) VALUES (1,7),(1,14),(3,7),(3,9)";
inline std::unique_ptr<TSysEditUserFunctionForm> OperatorEditorOf3()
{
    auto f = std::make_unique<TSysEditUserFunctionForm>();
    f->SetUserID(3);
    f->SetUserLogin("mnguyen");
    f->SetPassword("old");
    f->SetFirstName("Minh");
    f->SetSurname("Nguyen");
    f->SetFunction1To16("0000001010000000");  // 7 and 9
    f->SetAppendMode(false);
    return f;
}

// A fresh database with the audit actions (11 update, 12 delete, 13 insert),
// the `audited` tables listed in tAudit and the rows of `sql`; the operator
// logged in as `login`.
inline std::unique_ptr<TestDatabase> EditorDatabase(const QStringList& audited, const QString& sql,
                                                    const QString& login = QStringLiteral("admin"))
{
    auto db = std::make_unique<TestDatabase>();
    QString setup = QStringLiteral("BEGIN; INSERT INTO tEvent (ID, Description) VALUES (11,'Reference Update'),"
                                   "(12,'Reference Delete'),(13,'Reference Insert');");
    for (const QString& table : audited)
        setup += QStringLiteral("INSERT INTO tAudit (\"Table\") VALUES ('%1');").arg(table);
    db->Exec(setup + sql + QStringLiteral("; COMMIT;"));
    Operator() = TOperatorIdentity();
    Operator().OPERATORNAME = login;
    return db;
}

// The audit rows of one row: `prefix` ("user|action|table|id|") before each.
inline QStringList Prefixed(const QString& prefix, const QStringList& rows)
{
    QStringList out;
    for (const QString& row : rows)
        out << prefix + row;
    return out;
}

// A list's items as "id text".
inline QStringList Items(const TLookupCombo* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << QStringLiteral("%1 %2").arg(list->ItemID(i)).arg(list->itemText(i));
    return out;
}

// Types into an input as the operator does, replacing what it held: ASCII
// with the keys, other characters as an input method (an emoji picker, a
// compose key) hands them over.
inline void Retype(QWidget* input, const QString& text)
{
    input->setFocus();
    QTest::keySequence(input, QKeySequence::SelectAll);
    if (text.isEmpty())
        QTest::keyClick(input, Qt::Key_Backspace);
    for (qsizetype i = 0, end = 0; i < text.size(); i = end) {
        const bool keys = text.at(i).unicode() < 0x80;
        for (end = i; end < text.size() && (text.at(end).unicode() < 0x80) == keys;)
            ++end;
        if (keys) {
            QTest::keyClicks(input, text.mid(i, end - i));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(i, end - i));
            QApplication::sendEvent(input, &commit);
        }
    }
}

// Fills inputs of a window by name as the operator does: "edtCode=A1" types
// into an edit (a date input takes "yyyymmdd", or empty to clear it), "ckX=1"
// ticks a box, "cbX=text" picks that item of a list with the keys (or types
// it into a list that takes typing).
inline void Enter(QWidget& window, const QStringList& inputs)
{
    window.show();
    for (const QString& input : inputs) {
        const QString name = input.section(QLatin1Char('='), 0, 0);
        const QString value = input.section(QLatin1Char('='), 1);
        QWidget* w = window.findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        if (auto* date = qobject_cast<TCustomDateEdit*>(w)) {
            if (value.isEmpty() || (value.size() == 8 && value.toInt() > 0))
                date->SetDate(value.isEmpty() ? 0.0 : Ymd(value));
            else
                date->SetText(value);
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            box->setChecked(value == QLatin1String("1"));
        } else if (auto* list = qobject_cast<TLookupCombo*>(w)) {
            if (list->isEditable()) {
                Retype(list->lineEdit(), value);
                continue;
            }
            const int target = list->findText(value);
            QVERIFY2(target >= 0, qPrintable(input));
            list->setFocus();
            if (list->currentIndex() < 0)
                QTest::keyClick(list, Qt::Key_Home);
            while (list->currentIndex() < target)
                QTest::keyClick(list, Qt::Key_Down);
            while (list->currentIndex() > target)
                QTest::keyClick(list, Qt::Key_Up);
        } else {
            Retype(w, value);
        }
    }
}

// Clicks the named button as the operator does; the texts of the boxes shown.
inline QStringList Click(QWidget& window, const QString& button = QStringLiteral("btnOk"))
{
    MessageRecorder boxes;
    QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    return boxes.Texts();
}

// OK saves without a word and closes the window.
inline void ExpectSaved(TRecordEditor& editor)
{
    QCOMPARE(Click(editor), QStringList());
    QCOMPARE(editor.result(), int(mrOk));
}

// OK is refused with one warning: nothing is written, the window stays open.
inline void ExpectRefused(TRecordEditor& editor, const QString& message)
{
    MessageRecorder boxes;
    QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
    QCOMPARE(boxes.Texts(), QStringList{message});
    QCOMPARE(boxes.Boxes().first().Type, mtWarning);
    QVERIFY(editor.result() != mrOk);
    QVERIFY(editor.LastStatements().isEmpty());
}

// The two above, ending the test at once when they fail (what follows reads
// the statements they checked).
#define KV_EXPECT_SAVED(editor) \
    do { kvtest::ExpectSaved(editor); if (QTest::currentTestFailed()) return; } while (false)
#define KV_EXPECT_REFUSED(editor, message) \
    do { kvtest::ExpectRefused(editor, message); if (QTest::currentTestFailed()) return; } while (false)

// The last attempt's statements without its audit rows.
inline QVector<QStringList> RowStatements(const TRecordEditor& editor)
{
    QVector<QStringList> out;
    for (const QStringList& s : editor.LastStatements())
        if (s.first() != QLatin1String("INSERT INTO tAuditTrail"))
            out << s;
    return out;
}

}  // namespace kvtest
