#include "ComCtrls.h"
#include "TestSupport.h"
#include <QLabel>
#include <QSignalSpy>

// The page control with tabs on several rows.
class TestPageControl : public QObject {
    Q_OBJECT
private slots:
    void tabsWrapOntoRowsWithTheActiveRowNextToThePage()
    {
        TPageControl pc;
        for (int i = 0; i < 12; ++i)
            pc.addTab(new QLabel(QString::number(i)), QString("tDubiousValidResolution%1").arg(i));
        pc.resize(500, 300);
        pc.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pc));
        int rows = 0;
        QVector<QRect> rects = pc.TabRows()->Layout(pc.TabRows()->width(), &rows);
        QVERIFY(rows > 2);
        QVERIFY(pc.TabRows()->height() >= rows * (rects[0].height()));
        QCOMPARE(pc.currentIndex(), 0);
        const int bottom = rects[0].top();
        for (const QRect& r : rects)
            QVERIFY(r.top() <= bottom);  // the active tab's row is the lowest
        // Clicking a tab on an upper row selects it and brings its row down.
        int upper = -1;
        for (int i = 0; i < rects.size(); ++i)
            if (rects[i].top() < bottom)
                upper = i;
        QSignalSpy changed(&pc, &TPageControl::currentChanged);
        QTest::mouseClick(pc.TabRows(), Qt::LeftButton, {}, rects[upper].center());
        QCOMPARE(pc.currentIndex(), upper);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(pc.currentWidget(), pc.widget(upper));
        rects = pc.TabRows()->Layout(pc.TabRows()->width());
        for (const QRect& r : rects)
            QVERIFY(r.top() <= rects[upper].top());
    }

    void hiddenTabs()
    {
        TPageControl pc;
        for (int i = 0; i < 4; ++i)
            pc.addTab(new QLabel, QString("t%1").arg(i));
        pc.resize(400, 200);
        pc.show();
        pc.setCurrentIndex(2);
        pc.setTabVisible(2, false);  // the next visible page takes over
        QCOMPARE(pc.currentIndex(), 3);
        pc.setTabVisible(3, false);
        QCOMPARE(pc.currentIndex(), 1);
        pc.setTabVisible(0, false);
        pc.setTabVisible(1, false);
        QCOMPARE(pc.currentIndex(), -1);
        QVERIFY(pc.currentWidget() == nullptr);
        QVERIFY(pc.TabRows()->Layout(400)[1].isNull());
        pc.setCurrentIndex(2);  // a hidden page cannot be made current
        QCOMPARE(pc.currentIndex(), -1);
        pc.setTabVisible(2, true);
        QCOMPARE(pc.currentIndex(), 2);
        pc.setTabVisible(0, true);
        QTest::keyClick(&pc, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(pc.currentIndex(), 0);
        QTest::keyClick(&pc, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(pc.currentIndex(), 2);
    }

    // Hiding every tab at once: no page current, one change told (none when
    // none was current), the tab rows empty and their height gone.
    void hideAllTabs()
    {
        TPageControl pc;
        for (int i = 0; i < 30; ++i)
            pc.addTab(new QLabel, QString("tPage%1").arg(i));
        pc.resize(300, 200);
        pc.show();
        pc.setCurrentIndex(7);
        const int tallRows = pc.TabRows()->height();
        QSignalSpy changed(&pc, &TPageControl::currentChanged);
        pc.HideAllTabs();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), -1);
        QCOMPARE(pc.currentIndex(), -1);
        QVERIFY(pc.currentWidget() == nullptr);
        for (int i = 0; i < pc.count(); ++i)
            QVERIFY(!pc.isTabVisible(i));
        QVERIFY(pc.TabRows()->height() < tallRows);
        pc.HideAllTabs();
        QCOMPARE(changed.count(), 1);
        pc.setTabVisible(4, true);
        QCOMPARE(pc.currentIndex(), 4);
    }
};

KV_TEST_MAIN(TestPageControl)
#include "tst_pagecontrol.moc"
