#pragma once
// The data navigator: first, prior, next, last and refresh over a data
// source, each enabled when its move makes sense.
#include "DB.h"
#include <QPointer>
#include <QWidget>

class QToolButton;

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbRefresh };

class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget* parent = nullptr);
    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return m_source; }
    QToolButton* Button(TNavigateBtn which) const { return m_buttons[which]; }
    void BtnClick(TNavigateBtn which);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void updateButtons();
    QPointer<TDataSource> m_source;
    bool m_iconsSet = false;
    QToolButton* m_buttons[5];
    QVector<QMetaObject::Connection> m_links;
};
