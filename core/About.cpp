#include "About.h"
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

TAboutBox::TAboutBox(QWidget* AOwner, const QString& FileName) : QDialog(AOwner)
{
    FormCreate(FileName.isEmpty() ? QCoreApplication::applicationFilePath() : FileName);

    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(298, 211);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(8, 8, 281, 161);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 8, 32, 32);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_DesktopIcon);
    ProgramIcon->setPixmap(icon.pixmap(32, 32));

    auto label = [this](const char* name, const QString& text, int left, int top, int width, int height) {
        auto* l = new QLabel(text, Panel1);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(left, top, width, height);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    ProductName = label("ProductName", QStringLiteral("Product Name"), 8, 52, 80, 16);
    Version = label("Version", QStringLiteral("Version"), 8, 76, 80, 16);
    Copyright = label("Copyright", QStringLiteral("Copyright"), 8, 100, 80, 16);
    Comments = label("Comments", QStringLiteral("Comments"), 8, 124, 80, 16);
    lblProduct = label("lblProduct", QStringLiteral("Invoice Brellinghast"), 96, 52, 177, 16);
    lblVersion = label("lblVersion", QString(), 96, 76, 177, 16);
    lblCompany = label("lblCompany", QString(), 96, 100, 177, 16);
    lblComments = label("lblComments", QString(), 96, 124, 177, 32);
    lblComments->setWordWrap(true);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(111, 178, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
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
