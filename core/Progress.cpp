#include "Progress.h"
#include "Application.h"
#include "GenericPrint.h"
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TProgressForm::TProgressForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("Progress Status"));
    setFixedSize(306, 112);

    Msg = new QLabel(QStringLiteral("Please wait ..."), this);
    Msg->setObjectName(QStringLiteral("Msg"));
    Msg->setGeometry(16, 10, 274, 18);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(16, 34, 274, 18);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    btnCancel = new QPushButton(QStringLiteral("Abort"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(116, 70, 75, 25);
    btnCancel->setDefault(true);
    connect(btnCancel, &QPushButton::clicked, this, &TProgressForm::btnCancelClick);
}

void TProgressForm::SetPosition(int percent)
{
    const int p = qBound(ProgressBar1->minimum(), percent, ProgressBar1->maximum());
    if (ProgressBar1->value() != p)
        ProgressBar1->setValue(p);
}

void TProgressForm::btnCancelClick()
{
    AbortPrintJob();
    hide();
}

void TProgressForm::ProcessWinMessages()
{
    ProcessMessages();
}

void TProgressForm::reject()
{
    if (btnCancel->isVisible() && btnCancel->isEnabled())
        btnCancel->click();
}
