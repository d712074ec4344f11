#include "DBCtrls.h"
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace {
struct ButtonDef {
    const char* name;
    const char* hint;
    QStyle::StandardPixmap icon;
};
const ButtonDef buttons[5] = {
    {"First", "First record", QStyle::SP_MediaSkipBackward},
    {"Prior", "Prior record", QStyle::SP_MediaSeekBackward},
    {"Next", "Next record", QStyle::SP_MediaSeekForward},
    {"Last", "Last record", QStyle::SP_MediaSkipForward},
    {"Refresh", "Refresh data", QStyle::SP_BrowserReload},
};
}  // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < 5; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(buttons[i].name));
        b->setToolTip(QLatin1String(buttons[i].hint));
        b->setAutoRaise(false);
        b->setFixedSize(25, 25);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, i] { BtnClick(TNavigateBtn(i)); });
        layout->addWidget(b);
        m_buttons[i] = b;
    }
    updateButtons();
}

void TDBNavigator::showEvent(QShowEvent* e)
{
    // The style's pictures are looked up when the navigator is first shown:
    // a window that starts with it hidden does not wait for them.
    if (!m_iconsSet) {
        m_iconsSet = true;
        for (int i = 0; i < 5; ++i)
            m_buttons[i]->setIcon(style()->standardIcon(buttons[i].icon));
    }
    QWidget::showEvent(e);
}

void TDBNavigator::SetDataSource(TDataSource* source)
{
    for (const auto& c : m_links)
        disconnect(c);
    m_links.clear();
    m_source = source;
    if (source) {
        m_links << connect(source, &TDataSource::StateChange, this, [this] { updateButtons(); });
        m_links << connect(source, &TDataSource::DataChange, this, [this] { updateButtons(); });
        m_links << connect(source, &TDataSource::DataSetChanged, this, [this] { updateButtons(); });
    }
    updateButtons();
}

void TDBNavigator::BtnClick(TNavigateBtn which)
{
    TDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    if (!ds || !ds->Active())
        return;
    switch (which) {
    case nbFirst: ds->First(); break;
    case nbPrior: ds->Prior(); break;
    case nbNext: ds->Next(); break;
    case nbLast: ds->Last(); break;
    case nbRefresh: ds->Refresh(); break;
    }
    updateButtons();
}

void TDBNavigator::updateButtons()
{
    TDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    const bool active = ds && ds->Active();
    const bool atStart = !active || ds->Bof() || ds->RecNo() <= 1;
    const bool atEnd = !active || ds->Eof() || (ds->AllFetched() && ds->RecNo() >= ds->FetchedCount());
    m_buttons[nbFirst]->setEnabled(active && !atStart);
    m_buttons[nbPrior]->setEnabled(active && !atStart);
    m_buttons[nbNext]->setEnabled(active && !atEnd);
    m_buttons[nbLast]->setEnabled(active && !atEnd);
    m_buttons[nbRefresh]->setEnabled(active);
}
