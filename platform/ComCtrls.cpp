#include "ComCtrls.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QVBoxLayout>

namespace {
constexpr int kTabPadding = 12;  // text to tab edge, both sides together
}

// ------------------------------------------------------------------ TTabRows

TTabRows::TTabRows(TPageControl* owner) : QWidget(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("TabRows"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

int TTabRows::rowHeight() const
{
    return fontMetrics().height() + 8;
}

int TTabRows::tabWidth(int index) const
{
    // As wide as the style makes a tab for the caption, so it is never cut.
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.text = m_owner->m_tabs[index].Caption;
    opt.shape = QTabBar::RoundedNorth;
    const int hspace = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &opt, this);
    const QSize text(fontMetrics().size(Qt::TextShowMnemonic, opt.text).width() + hspace + kTabPadding / 2,
                     rowHeight());
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, text, this).width();
}

QVector<QRect> TTabRows::Layout(int width, int* rowsOut) const
{
    const int n = m_owner->count();
    QVector<QRect> rects(n);
    // First pass: which row each visible tab lands on.
    QVector<int> rowOf(n, -1);
    QVector<QVector<int>> rows(1);
    int x = 0;
    for (int i = 0; i < n; ++i) {
        if (!m_owner->m_tabs[i].Visible)
            continue;
        const int w = tabWidth(i);
        if (x > 0 && x + w > width) {
            rows.append(QVector<int>());
            x = 0;
        }
        rows.last().append(i);
        x += w;
    }
    if (rows.last().isEmpty() && rows.size() > 1)
        rows.removeLast();
    // The active tab's row moves next to the page (the bottom row).
    int activeRow = -1;
    for (int r = 0; r < rows.size(); ++r)
        if (rows[r].contains(m_owner->m_current))
            activeRow = r;
    if (activeRow >= 0 && activeRow != rows.size() - 1)
        rows.move(activeRow, rows.size() - 1);
    const int h = rowHeight();
    for (int r = 0; r < rows.size(); ++r) {
        // Full rows are stretched to the width, as multi-line tabs are.
        int used = 0;
        for (int i : rows[r])
            used += tabWidth(i);
        const bool stretch = rows.size() > 1;
        const int extra = stretch && !rows[r].isEmpty() ? (width - used) / int(rows[r].size()) : 0;
        int left = 0;
        for (int k = 0; k < rows[r].size(); ++k) {
            const int i = rows[r][k];
            int w = tabWidth(i) + qMax(0, extra);
            if (stretch && k == rows[r].size() - 1)
                w = qMax(w, width - left);
            rects[i] = QRect(left, r * h, w, h);
            left += w;
        }
    }
    if (rowsOut)
        *rowsOut = int(rows.size());
    return rects;
}

int TTabRows::heightForWidth(int width) const
{
    int rows = 1;
    Layout(width, &rows);
    return rows * rowHeight() + 2;
}

QSize TTabRows::sizeHint() const
{
    return QSize(200, heightForWidth(width() > 0 ? width() : 200));
}

QSize TTabRows::minimumSizeHint() const
{
    return QSize(50, rowHeight() + 2);
}

void TTabRows::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    const int h = heightForWidth(width());
    if (h != height())
        setFixedHeight(h);
}

int TTabRows::TabAt(const QPoint& pos) const
{
    const QVector<QRect> rects = Layout(width());
    for (int i = 0; i < rects.size(); ++i)
        if (!rects[i].isNull() && rects[i].contains(pos))
            return i;
    return -1;
}

void TTabRows::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const int i = TabAt(e->position().toPoint());
    if (i >= 0)
        m_owner->setCurrentIndex(i);
}

void TTabRows::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    const QVector<QRect> rects = Layout(width());
    for (int pass = 0; pass < 2; ++pass) {
        // The active tab last, so it overlaps its neighbours.
        for (int i = 0; i < rects.size(); ++i) {
            if (rects[i].isNull() || (i == m_owner->m_current) != (pass == 1))
                continue;
            QStyleOptionTab opt;
            opt.initFrom(this);
            opt.rect = rects[i];
            opt.text = m_owner->m_tabs[i].Caption;
            opt.shape = QTabBar::RoundedNorth;
            opt.position = QStyleOptionTab::Middle;
            if (i == m_owner->m_current)
                opt.state |= QStyle::State_Selected;
            else
                opt.state &= ~QStyle::State_Selected;
            p.drawControl(QStyle::CE_TabBarTab, opt);
        }
    }
}

// --------------------------------------------------------------- TPageControl

TPageControl::TPageControl(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_rows = new TTabRows(this);
    m_stack = new QStackedWidget(this);
    m_stack->setFrameShape(QFrame::StyledPanel);
    // Shown while no page is active, so a hidden page never shows through.
    m_empty = new QWidget(m_stack);
    m_stack->addWidget(m_empty);
    layout->addWidget(m_rows);
    layout->addWidget(m_stack, 1);
    setFocusPolicy(Qt::TabFocus);
}

int TPageControl::addTab(QWidget* page, const QString& caption)
{
    m_tabs.append({page, caption, true});
    m_stack->addWidget(page);
    const int index = int(m_tabs.size()) - 1;
    if (m_current < 0)
        setCurrentIndex(index);
    m_rows->updateGeometry();
    m_rows->update();
    return index;
}

QWidget* TPageControl::widget(int index) const
{
    return index >= 0 && index < m_tabs.size() ? m_tabs[index].Page : nullptr;
}

int TPageControl::indexOf(QWidget* page) const
{
    for (int i = 0; i < m_tabs.size(); ++i)
        if (m_tabs[i].Page == page)
            return i;
    return -1;
}

QString TPageControl::tabText(int index) const
{
    return index >= 0 && index < m_tabs.size() ? m_tabs[index].Caption : QString();
}

bool TPageControl::isTabVisible(int index) const
{
    return index >= 0 && index < m_tabs.size() && m_tabs[index].Visible;
}

void TPageControl::setTabVisible(int index, bool visible)
{
    if (index < 0 || index >= m_tabs.size() || m_tabs[index].Visible == visible)
        return;
    m_tabs[index].Visible = visible;
    if (!visible && index == m_current)
        selectNeighbourOf(index);
    else if (visible && m_current < 0)
        setCurrentIndex(index);
    layoutRows();
}

void TPageControl::HideAllTabs()
{
    for (Tab& tab : m_tabs)
        tab.Visible = false;
    if (m_current >= 0) {
        m_current = -1;
        m_stack->setCurrentWidget(m_empty);
        emit currentChanged(-1);
    }
    layoutRows();
}

void TPageControl::layoutRows()
{
    const int height = m_rows->heightForWidth(m_rows->width());
    m_rows->resize(m_rows->width(), height);
    m_rows->setFixedHeight(height);
    m_rows->update();
}

void TPageControl::selectNeighbourOf(int index)
{
    for (int i = index + 1; i < m_tabs.size(); ++i)
        if (m_tabs[i].Visible)
            return setCurrentIndex(i);
    for (int i = index - 1; i >= 0; --i)
        if (m_tabs[i].Visible)
            return setCurrentIndex(i);
    m_current = -1;
    m_stack->setCurrentWidget(m_empty);
    m_rows->update();
    emit currentChanged(-1);
}

void TPageControl::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_tabs.size() || !m_tabs[index].Visible || index == m_current)
        return;
    m_current = index;
    m_stack->setCurrentWidget(m_tabs[index].Page);
    m_rows->update();
    emit currentChanged(index);
}

void TPageControl::keyPressEvent(QKeyEvent* e)
{
    // Ctrl+Tab and Ctrl+Shift+Tab move through the visible pages.
    if ((e->modifiers() & Qt::ControlModifier) && (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab)) {
        const bool back = e->key() == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier);
        const int n = count();
        for (int step = 1; step <= n; ++step) {
            const int i = ((m_current + (back ? -step : step)) % n + n) % n;
            if (m_tabs[i].Visible) {
                setCurrentIndex(i);
                break;
            }
        }
        return;
    }
    QWidget::keyPressEvent(e);
}
