#pragma once
// A page control whose tabs wrap onto several rows, as the main window's
// table pages need: a dozen open tables stay visible at once. The row of the
// active tab sits next to the page, as multi-line tab controls arrange it.
#include <QStackedWidget>
#include <QVector>
#include <QWidget>

class TPageControl;

// The tab rows above the pages.
class TTabRows : public QWidget {
    Q_OBJECT
public:
    explicit TTabRows(TPageControl* owner);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // Tab rectangles for a width: one per tab, empty for hidden tabs.
    QVector<QRect> Layout(int width, int* rows = nullptr) const;
    int TabAt(const QPoint& pos) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    int tabWidth(int index) const;
    int rowHeight() const;
    TPageControl* m_owner;
};

class TPageControl : public QWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    int addTab(QWidget* page, const QString& caption);
    int count() const { return int(m_tabs.size()); }
    QWidget* widget(int index) const;
    int indexOf(QWidget* page) const;
    QString tabText(int index) const;
    void setTabVisible(int index, bool visible);
    // Hides every tab, laying the tab rows out once.
    void HideAllTabs();
    bool isTabVisible(int index) const;
    // -1 when no visible page is active.
    int currentIndex() const { return m_current; }
    QWidget* currentWidget() const { return widget(m_current); }
    void setCurrentIndex(int index);
    TTabRows* TabRows() const { return m_rows; }

signals:
    void currentChanged(int index);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    friend class TTabRows;
    struct Tab {
        QWidget* Page;
        QString Caption;
        bool Visible = true;
    };
    void selectNeighbourOf(int index);
    void layoutRows();
    QVector<Tab> m_tabs;
    int m_current = -1;
    TTabRows* m_rows;
    QStackedWidget* m_stack;
    QWidget* m_empty;
};
