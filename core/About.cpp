#include "About.h"
#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* AOwner, const QString& FileName) : QDialog(AOwner)
{
    FormCreate(FileName.isEmpty() ? QCoreApplication::applicationFilePath() : FileName);

    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    // A title and a close button only: the box is not resized or minimized.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* grid = new QGridLayout(Panel1);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_DesktopIcon);
    ProgramIcon->setPixmap(icon.pixmap(32, 32));
    grid->addWidget(ProgramIcon, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->setRowMinimumHeight(0, 32);

    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, Panel1);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    ProductName = label("ProductName", QStringLiteral("Product Name"));
    Version = label("Version", QStringLiteral("Version"));
    Copyright = label("Copyright", QStringLiteral("Copyright"));
    Comments = label("Comments", QStringLiteral("Comments"));
    lblProduct = label("lblProduct", QStringLiteral("Invoice Brellinghast"));
    lblVersion = label("lblVersion", QString());
    lblCompany = label("lblCompany", QString());
    lblComments = label("lblComments", QString());
    lblComments->setWordWrap(true);
    const QList<QPair<QLabel*, QLabel*>> rows{
        {ProductName, lblProduct}, {Version, lblVersion}, {Copyright, lblCompany}, {Comments, lblComments}};
    for (int i = 0; i < rows.size(); ++i) {
        grid->addWidget(rows[i].first, i + 1, 0);
        grid->addWidget(rows[i].second, i + 1, 1);
    }
    grid->setColumnStretch(1, 1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setMinimumSize(75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(9);
    outer->addWidget(Panel1);
    outer->addWidget(OKButton, 0, Qt::AlignHCenter);
    // The box is as large as its text needs, and no larger.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    fitToText();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::FormCreate(const QString& FileName)
{
    m_verInfo = std::make_unique<TVerInfoRes>(FileName);
}

void TAboutBox::FormShow()
{
    if (!m_verInfo)
        return;
    lblVersion->setText(m_verInfo->GetVersionString(TVerInfoRes::viFileVersion));
    lblCompany->setText(m_verInfo->GetVersionString(TVerInfoRes::viCompanyName));
    lblComments->setText(m_verInfo->GetVersionString(TVerInfoRes::viComments));
    fitToText();
}

void TAboutBox::fitToText()
{
    // The values share one column: as wide as the widest single-line value,
    // and the comments wrap beyond about forty characters.
    const QFontMetrics fm(lblComments->font());
    const int wrapAt = fm.averageCharWidth() * 40;
    int width = fm.horizontalAdvance(lblComments->text());
    width = qMin(width, wrapAt);
    for (const QLabel* value : {lblProduct, lblVersion, lblCompany})
        width = qMax(width, value->fontMetrics().horizontalAdvance(value->text()));
    width = qMax(width, 177);
    for (QLabel* value : {lblProduct, lblVersion, lblCompany, lblComments})
        value->setFixedWidth(width);
    lblComments->setFixedHeight(qMax(lblComments->heightForWidth(width), fm.height()));
    layout()->activate();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAboutBox::FormClose()
{
    m_verInfo.reset();
}

void TAboutBox::OKButtonClick()
{
    accept();
}

void TAboutBox::showEvent(QShowEvent* Event)
{
    FormShow();
    QDialog::showEvent(Event);
}

void TAboutBox::done(int Result)
{
    FormClose();
    QDialog::done(Result);
}
