#include "EditorSupport.h"
#include "SysEdit.h"
#include "SysEditAgreement.h"
#include "SysEditBatchType.h"
#include "SysEditCustomer.h"
#include "SysEditServType.h"
#include "SysEditServiceID.h"
#include "SysEditServiceKpi.h"
#include "SysEditServiceSplit.h"
#include "SysEditSupplier.h"
#include "SysEditTariff.h"
#include "SysEditUserFunction.h"
#include "SysServiceRecord.h"
#include <QDialog>
#include <QScreen>
#include <QScrollArea>
#include <cmath>
#include <functional>

namespace {

using MakeWindow = std::function<QWidget*()>;

// Every editor of its own, the line-detail dialog and the generic editor.
const std::vector<std::pair<const char*, MakeWindow>>& windows()
{
    static const std::vector<std::pair<const char*, MakeWindow>> all = {
        {"service id", [] { return new TSysEditServiceIDForm; }},
        {"line details", [] { return new TSysServiceRecordForm; }},
        {"service type", [] { return new TSysEditServTypeForm; }},
        {"operator", [] { return new TSysEditUserFunctionForm; }},
        {"batch type", [] { return new TSysEditBatchTypeForm; }},
        {"customer", [] { return new TSysEditCustomerForm; }},
        {"supplier", [] { return new TSysEditSupplierForm; }},
        {"service level", [] { return new TSysEditServiceKpiForm; }},
        {"agreement", [] { return new TSysEditAgreementForm; }},
        {"tariff", [] { return new TSysEditTariffForm; }},
        {"split", [] { return new TSplitForm; }},
        {"generic", [] {
             auto* f = new TSysEditForm;
             f->SetTableNameID(4);
             return f;
         }},
    };
    return all;
}

// What a laptop's screen of 1366 by 768 pixels leaves to a window with its
// frame, in the screen's own pixels: the rest is the desktop's panel.
constexpr int kLaptopWidth = 1366;
constexpr int kLaptopHeight = 740;

// The window's size and the place of each of its buttons.
QStringList buttonsOf(const QWidget& window)
{
    QStringList out{QStringLiteral("window %1 x %2").arg(window.width()).arg(window.height())};
    for (const QPushButton* b : window.findChildren<QPushButton*>())
        if (b->window() == &window)
            out << QStringLiteral("%1 at %2,%3").arg(b->objectName()).arg(b->x()).arg(b->y());
    return out;
}

// True when the whole control shows: no window or area it lies in cuts any
// of it off, and it lies on the screen.
bool wholeInView(const QWidget* control)
{
    for (const QWidget* p = control->parentWidget(); p; p = p->parentWidget())
        if (!p->rect().contains(QRect(control->mapTo(p, QPoint(0, 0)), control->size())))
            return false;
    const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
    return control->screen()->geometry().contains(onScreen);
}

// Everything the database holds: every table's rows counted.
QStringList contents(const kvtest::TestDatabase& db)
{
    QStringList out;
    for (const QString& table : db.Rows("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"))
        out << table + QChar(' ') + db.Value("SELECT count(*) FROM \"" + table + "\"");
    return out;
}

}  // namespace

// What the editors of their own show reads whole, at the desktop's font
// whatever its size: each label is as large as its caption, inside its
// window, and clear of every input, box and button; every input is inside
// the window and tall enough for its text; a text wider than its input shows
// from its start. Every window fits a laptop's screen, its OK and Cancel in
// view, and Tab brings each input into view.
class TestEditorLabels : public QObject {
    Q_OBJECT
    std::unique_ptr<kvtest::TestDatabase> db;

private slots:
    void initTestCase()
    {
        kvtest::QuietHeadlessNotices();
        db = kvtest::EditorDatabase({}, "SELECT 1");
        // The windows are shown on a laptop's screen, scaled or not.
        const QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->geometry().size() * screen->devicePixelRatio(), QSize(1366, 768));
    }
    void cleanupTestCase() { db.reset(); }

    void labels_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<MakeWindow>("make");
        for (int points : kvtest::kFontPoints)
            for (const auto& [name, make] : windows())
                QTest::addRow("%s, %d pt", name, points) << points << make;
    }
    void labels()
    {
        QFETCH(int, points);
        QFETCH(MakeWindow, make);
        kvtest::ApplicationFont font(points);
        std::unique_ptr<QWidget> window(make());
        window->show();
        const QStringList faults = kvtest::LayoutFaults(*window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    }

    // At the standard font every window keeps the size it is given and its
    // buttons their places: as at a smaller font, which leaves it as given;
    // and on a screen it fits, nothing of it scrolls.
    void standardFontKeepsTheLayout_data()
    {
        QTest::addColumn<MakeWindow>("make");
        for (const auto& [name, make] : windows())
            QTest::addRow("%s", name) << make;
    }
    void standardFontKeepsTheLayout()
    {
        QFETCH(MakeWindow, make);
        QStringList given;
        {
            kvtest::ApplicationFont font(8);
            std::unique_ptr<QWidget> window(make());
            window->show();
            given = buttonsOf(*window);
        }
        kvtest::ApplicationFont font(9);
        std::unique_ptr<QWidget> window(make());
        window->show();
        QCOMPARE(buttonsOf(*window), given);
        if (window->devicePixelRatio() == 1)
            QVERIFY(window->findChildren<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly).isEmpty());
    }

    // Whatever the font, every window fits a laptop's screen with its frame,
    // and its OK and Cancel show whole in it, so the operator can click them:
    // an untouched OK writes nothing, Cancel closes the window.
    void fitsALaptopScreen_data() { labels_data(); }
    void fitsALaptopScreen()
    {
        QFETCH(int, points);
        QFETCH(MakeWindow, make);
        kvtest::ApplicationFont font(points);
        const QStringList before = contents(*db);
        for (const char* name : {"btnOk", "btnCancel"}) {
            std::unique_ptr<QWidget> window(make());
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            const qreal ratio = window->devicePixelRatio();
            const QSize outside = window->frameGeometry().size();
            QVERIFY2(std::ceil(outside.height() * ratio) <= kLaptopHeight &&
                         std::ceil(outside.width() * ratio) <= kLaptopWidth,
                     qPrintable(QStringLiteral("%1 x %2 at %3").arg(outside.width()).arg(outside.height()).arg(ratio)));
            auto* button = window->findChild<QPushButton*>(QLatin1String(name));
            QVERIFY(button);
            QVERIFY2(wholeInView(button), name);
            // What the pointer meets there is the button itself.
            const QPoint middle = button->mapTo(window.get(), button->rect().center());
            QCOMPARE(window->childAt(middle), button);
            kvtest::MessageRecorder boxes;
            QTest::mouseClick(window->childAt(middle), Qt::LeftButton);
            if (QByteArray(name) == "btnOk")
                QVERIFY2(boxes.Count() > 0 || !window->isVisible(), "OK did nothing");
            else
                QVERIFY2(!window->isVisible() && boxes.Count() == 0, "Cancel did not close the window");
        }
        QCOMPARE(contents(*db), before);
    }

    // Tab takes the operator through every input, and the one it reaches
    // shows whole, on the screen.
    void tabShowsEachInput_data() { labels_data(); }
    void tabShowsEachInput()
    {
        QFETCH(int, points);
        QFETCH(MakeWindow, make);
        kvtest::ApplicationFont font(points);
        std::unique_ptr<QWidget> window(make());
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QWidget* first = QApplication::focusWidget();
        QVERIFY(first);
        QStringList reached;
        QWidget* now = first;
        do {
            QTest::keyClick(now, Qt::Key_Tab);
            now = QApplication::focusWidget();
            QVERIFY(now);
            reached << now->objectName();
            QVERIFY2(wholeInView(now), qPrintable(reached.join(", ")));
        } while (now != first && reached.size() < 200);
        QVERIFY2(reached.size() > 2, qPrintable(reached.join(", ")));
    }

    // A window too tall for the screen keeps its inputs on a sheet that
    // scrolls, with OK and Cancel in view below it: Tab goes through the
    // inputs in the order the window gives, skips none and reaches no hidden
    // one, and scrolls each into view. One that fits with its frame stays as
    // it is.
    void tallWindowScrollsInItsTabOrder_data()
    {
        QTest::addColumn<int>("lessThanScreen");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("as tall as the screen") << 0 << true;
        QTest::newRow("fits with its frame") << 40 << false;
    }
    void tallWindowScrollsInItsTabOrder()
    {
        QFETCH(int, lessThanScreen);
        QFETCH(bool, scrolls);
        kvtest::ApplicationFont font(9);
        const int height = QGuiApplication::primaryScreen()->availableGeometry().height() - lessThanScreen;
        QDialog window;
        window.setFixedSize(300, height);
        // Inputs down the window, taken by Tab from the bottom up.
        QList<QWidget*> order;
        for (int i = 0; i < 6; ++i) {
            auto* edit = new QLineEdit(&window);
            edit->setObjectName(QStringLiteral("edt%1").arg(i));
            PlaceControl(edit, 8, 8 + i * (height - 80) / 5, 120, 21);
            order.prepend(edit);
        }
        auto* hidden = new QLineEdit(&window);
        hidden->setObjectName(QStringLiteral("edtHidden"));
        PlaceControl(hidden, 160, 8, 120, 21);
        hidden->hide();
        for (const auto& [name, left] : {std::pair{"btnOk", 120}, std::pair{"btnCancel", 208}}) {
            auto* button = new QPushButton(QLatin1String(name), &window);
            button->setObjectName(QLatin1String(name));
            PlaceControl(button, left, height - 33, 75, 25);
            order << button;
        }
        for (int i = 1; i < order.size(); ++i)
            QWidget::setTabOrder(order[i - 1], order[i]);
        const QStringList given = buttonsOf(window);
        ScaleToFont(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.findChildren<QScrollArea*>().size(), scrolls ? 1 : 0);
        if (!scrolls)
            QCOMPARE(buttonsOf(window), given);
        QVERIFY(hidden->isHidden());
        order.first()->setFocus();
        QStringList reached, expected;
        for (QWidget* w : order) {
            expected << w->objectName();
            reached << QApplication::focusWidget()->objectName();
            QVERIFY2(wholeInView(QApplication::focusWidget()), qPrintable(reached.join(", ")));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(reached, expected);
        QVERIFY(std::ceil(window.frameGeometry().height() * window.devicePixelRatio()) <=
                window.screen()->availableGeometry().height() * window.devicePixelRatio());
    }

    void longTextsShowTheirStart()
    {
        const QString text = "Standby generator maintenance contract for the Brellinghast business telephone line";
        TSysEditAgreementForm agreement;
        agreement.SetDescription(text);
        TSysEditServiceIDForm service;
        service.SetDescription(text);
        TSysEditCustomerForm customer;
        customer.SetFullName(text);
        for (QLineEdit* e : {agreement.edtDescription, service.edtDescription, customer.edtFullName}) {
            e->window()->show();
            QVERIFY(e->fontMetrics().horizontalAdvance(e->text()) > e->width());
            QCOMPARE(e->cursorPosition(), 0);
        }
    }
};

KV_TEST_MAIN_LAPTOP_SCREEN(TestEditorLabels)
#include "tst_editorlabels.moc"
