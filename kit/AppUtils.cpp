#include "AppUtils.h"
#include "Application.h"
#include "Platform.h"
#include "StrUtils.h"
#include "SysUtils.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

// ---------------------------------------------------------------- form attributes

namespace {

const char* const BorderStyleProperty = "BorderStyle";
const char* const PositionProperty = "Position";
const char* const FormStyleProperty = "FormStyle";
const char* const MinPositionProperty = "kvMinPosition";
const char* const MaxPositionProperty = "kvMaxPosition";

QPointer<QWidget>& MainFormRef()
{
    static QPointer<QWidget> form;
    return form;
}

bool HasFixedSize(const QWidget* Form)
{
    return Form->minimumSize() == Form->maximumSize()
        || Form->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

// A form attribute Qt has no counterpart for, kept on the form as a
// property; Default while none was set.
template <typename T>
T AttributeOf(const QWidget* Form, const char* Name, T Default)
{
    const QVariant v = Form ? Form->property(Name) : QVariant();
    return v.isValid() ? static_cast<T>(v.toInt()) : Default;
}

void SetAttribute(QWidget* Form, const char* Name, int Value)
{
    if (Form)
        Form->setProperty(Name, Value);
}

}  // namespace

TFormBorderStyle FormBorderStyle(const QWidget* Form)
{
    if (!Form)
        return bsNone;
    const QVariant v = Form->property(BorderStyleProperty);
    if (v.isValid())
        return static_cast<TFormBorderStyle>(v.toInt());
    if (Form->windowFlags().testFlag(Qt::FramelessWindowHint))
        return bsNone;
    const bool fixed = HasFixedSize(Form);
    if (Form->windowType() == Qt::Tool)
        return fixed ? bsToolWindow : bsSizeToolWin;
    if (fixed)
        return Form->windowType() == Qt::Dialog ? bsDialog : bsSingle;
    return bsSizeable;
}

void SetFormBorderStyle(QWidget* Form, TFormBorderStyle Value)
{
    SetAttribute(Form, BorderStyleProperty, int(Value));
}

TPosition FormPosition(const QWidget* Form)
{
    return AttributeOf(Form, PositionProperty, poDesigned);
}

void SetFormPosition(QWidget* Form, TPosition Value)
{
    SetAttribute(Form, PositionProperty, int(Value));
}

TFormStyle FormStyle(const QWidget* Form)
{
    return AttributeOf(Form, FormStyleProperty, fsNormal);
}

void SetFormStyle(QWidget* Form, TFormStyle Value)
{
    SetAttribute(Form, FormStyleProperty, int(Value));
}

TWindowState FormWindowState(const QWidget* Form)
{
    const Qt::WindowStates s = Form->windowState();
    if (s & Qt::WindowMinimized)
        return wsMinimized;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return wsMaximized;
    return wsNormal;
}

void SetFormWindowState(QWidget* Form, TWindowState Value)
{
    Qt::WindowStates s = Form->windowState();
    switch (Value) {
    case wsNormal:
        s &= ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
        break;
    case wsMinimized:
        s |= Qt::WindowMinimized;  // a maximized window comes back maximized
        break;
    case wsMaximized:
        s = (s & ~Qt::WindowMinimized) | Qt::WindowMaximized;
        break;
    }
    if (s != Form->windowState())
        Form->setWindowState(s);
}

QWidget* ApplicationMainForm()
{
    return MainFormRef();
}

void SetApplicationMainForm(QWidget* Form)
{
    MainFormRef() = Form;
}

int ScreenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

QSize ScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(0, 0);
}

// ---------------------------------------------------------------- window placement

TWindowPlacement GetWindowPlacement(const QWidget* Form)
{
    TWindowPlacement p;
    QRect g = Form->normalGeometry();
    if (g.isEmpty())
        g = Form->geometry();
    p.Left = g.x();
    p.Top = g.y();
    p.Right = g.x() + g.width();
    p.Bottom = g.y() + g.height();
    const QVariant minPos = Form->property(MinPositionProperty);
    if (minPos.isValid())
        p.MinPosition = minPos.toPoint();
    const QVariant maxPos = Form->property(MaxPositionProperty);
    if (maxPos.isValid())
        p.MaxPosition = maxPos.toPoint();
    const Qt::WindowStates s = Form->windowState();
    if (s & Qt::WindowMinimized) {
        p.ShowCmd = SW_SHOWMINIMIZED;
        if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
            p.Flags |= WPF_RESTORETOMAXIMIZED;
    } else if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        p.ShowCmd = SW_SHOWMAXIMIZED;
    }
    return p;
}

void SetWindowPlacement(QWidget* Form, const TWindowPlacement& Placement)
{
    Form->setProperty(MinPositionProperty, Placement.MinPosition);
    Form->setProperty(MaxPositionProperty, Placement.MaxPosition);
    const QRect normal(Placement.Left, Placement.Top, Placement.Right - Placement.Left,
                       Placement.Bottom - Placement.Top);
    const Qt::WindowStates special = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    const Qt::WindowStates state = Form->windowState();
    const TWindowPlacement current = GetWindowPlacement(Form);
    const bool moved = current.Left != Placement.Left || current.Top != Placement.Top
                       || current.Right != Placement.Right || current.Bottom != Placement.Bottom;
    if (moved && normal.width() > 0 && normal.height() > 0) {
        // The normal rectangle of a maximized window is the one it goes back
        // to; set it in the normal state and return to the present one.
        if (state & special) {
            Form->setWindowState(state & ~special);
            Form->setGeometry(normal);
            Form->setWindowState(state);
        } else {
            Form->setGeometry(normal);
        }
    }
    switch (Placement.ShowCmd) {
    case SW_SHOWNORMAL:
        SetFormWindowState(Form, wsNormal);
        break;
    case SW_SHOWMINIMIZED:
        SetFormWindowState(Form, wsMinimized);
        break;
    case SW_SHOWMAXIMIZED:
        SetFormWindowState(Form, wsMaximized);
        break;
    default:
        break;
    }
}

QPoint BorderMetrics(TFormBorderStyle Style)
{
    switch (Style) {
    case bsSingle:
    case bsToolWindow:
        return QPoint(1, 1);
    case bsSizeable:
    case bsSizeToolWin:
        return QPoint(4, 4);
    case bsDialog:
        return QPoint(3, 3);
    case bsNone:
        break;
    }
    return QPoint(0, 0);
}

// ---------------------------------------------------------------- registry store

QString RegRootName(TPlacementRegRoot Root)
{
    switch (Root) {
    case prCurrentUser:
        return QStringLiteral("HKEY_CURRENT_USER");
    case prLocalMachine:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case prCurrentConfig:
        return QStringLiteral("HKEY_CURRENT_CONFIG");
    case prClassesRoot:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case prUsers:
        return QStringLiteral("HKEY_USERS");
    case prDynData:
        return QStringLiteral("HKEY_DYN_DATA");
    }
    return QString();
}

namespace {

QString RegPath(const QString& Key)
{
    QString path = Key;
    path.replace(QChar('\\'), QChar('/'));
    while (path.startsWith(QChar('/')))
        path.remove(0, 1);
    while (path.endsWith(QChar('/')))
        path.chop(1);
    return path;
}

}  // namespace

TRegIniFile::TRegIniFile(const QString& KeyPath) : m_path(RegPath(KeyPath))
{
    reopenSettings();
}

TRegIniFile::~TRegIniFile() = default;

void TRegIniFile::reopenSettings()
{
    // Every root is a file of its own in the user's configuration folder, so
    // nothing needs rights the user does not have.
    m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("registry"), RegRootName(m_root));
}

void TRegIniFile::SetRootKey(TPlacementRegRoot Root)
{
    if (Root == m_root)
        return;
    m_root = Root;
    reopenSettings();
}

bool TRegIniFile::OpenKey(const QString& Key, bool CanCreate)
{
    const QString path = RegPath(Key);
    if (!CanCreate) {
        // A key exists when it holds a value or a sub-key.
        m_settings->beginGroup(path);
        const bool exists = !m_settings->childKeys().isEmpty() || !m_settings->childGroups().isEmpty();
        m_settings->endGroup();
        if (!exists)
            return false;
    }
    m_path = path;
    return true;
}

QString TRegIniFile::key(const QString& Section, const QString& Ident) const
{
    QStringList parts;
    for (const QString& part : {m_path, RegPath(Section), Ident})
        if (!part.isEmpty())
            parts << part;
    return parts.join(QChar('/'));
}

QString TRegIniFile::ReadString(const QString& Section, const QString& Ident, const QString& Default) const
{
    return m_settings->value(key(Section, Ident), Default).toString();
}

int TRegIniFile::ReadInteger(const QString& Section, const QString& Ident, int Default) const
{
    const QVariant v = m_settings->value(key(Section, Ident));
    return v.isValid() ? StrToIntDef(v.toString(), Default) : Default;
}

bool TRegIniFile::ReadBool(const QString& Section, const QString& Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const QString& Section, const QString& Ident, const QString& Value)
{
    m_settings->setValue(key(Section, Ident), Value);
}

void TRegIniFile::WriteInteger(const QString& Section, const QString& Ident, int Value)
{
    WriteString(Section, Ident, QString::number(Value));
}

void TRegIniFile::WriteBool(const QString& Section, const QString& Ident, bool Value)
{
    WriteInteger(Section, Ident, Value ? 1 : 0);
}

void TRegIniFile::EraseSection(const QString& Section)
{
    m_settings->remove(key(Section, QString()));
}

// ---------------------------------------------------------------- store dispatch

QString IniStorageReadString(const TIniStore& Store, const QString& Section, const QString& Ident,
                             const QString& Default)
{
    if (Store.Reg)
        return Store.Reg->ReadString(Section, Ident, Default);
    if (Store.Ini)
        return Store.Ini->ReadString(Section, Ident, Default);
    return Default;
}

void IniStorageWriteString(const TIniStore& Store, const QString& Section, const QString& Ident,
                           const QString& Value)
{
    if (Store.Reg)
        Store.Reg->WriteString(Section, Ident, Value);
    else if (Store.Ini)
        Store.Ini->WriteString(Section, Ident, Value);
}

int IniStorageReadInteger(const TIniStore& Store, const QString& Section, const QString& Ident,
                          int Default)
{
    if (Store.Reg)
        return Store.Reg->ReadInteger(Section, Ident, Default);
    if (Store.Ini)
        return Store.Ini->ReadInteger(Section, Ident, Default);
    return Default;
}

void IniStorageWriteInteger(const TIniStore& Store, const QString& Section, const QString& Ident,
                            int Value)
{
    if (Store.Reg)
        Store.Reg->WriteInteger(Section, Ident, Value);
    else if (Store.Ini)
        Store.Ini->WriteInteger(Section, Ident, Value);
}

void IniStorageWriteBool(const TIniStore& Store, const QString& Section, const QString& Ident, bool Value)
{
    if (Store.Reg)
        Store.Reg->WriteBool(Section, Ident, Value);
    else if (Store.Ini)
        Store.Ini->WriteBool(Section, Ident, Value);
}

void IniStorageEraseSection(const TIniStore& Store, const QString& Section)
{
    if (Store.Reg)
        Store.Reg->EraseSection(Section);
    else if (Store.Ini)
        Store.Ini->EraseSection(Section);
}

// ---------------------------------------------------------------- default names

namespace {

std::function<QString()>& IniNameFunction()
{
    static std::function<QString()> function;
    return function;
}

bool& UseApplicationTitle()
{
    static bool value = true;
    return value;
}

QString& RegistrySubKey()
{
    static QString value;
    return value;
}

QString ProgramFileName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

// The extension is everything from the last "." of the name on; a name
// without a dot gets the extension appended.
QString ChangeFileExt(const QString& Name, const QString& Extension)
{
    const qsizetype dot = Name.lastIndexOf(QChar('.'));
    return (dot < 0 ? Name : Name.left(dot)) + Extension;
}

}  // namespace

QString DefaultIniFileName()
{
    if (IniNameFunction())
        return IniNameFunction()();
    return ChangeFileExt(ProgramFileName(), QStringLiteral(".INI"));
}

void SetDefaultIniNameFunction(std::function<QString()> Function)
{
    IniNameFunction() = std::move(Function);
}

QString DefaultIniRegKey()
{
    const QString title = ApplicationTitle();
    QString result = QStringLiteral("Software\\");
    if (UseApplicationTitle() && !title.isEmpty())
        result += title;
    else
        result += ChangeFileExt(ProgramFileName(), QString());
    if (!RegistrySubKey().isEmpty())
        result += QChar('\\') + RegistrySubKey();
    return result;
}

void SetUseApplicationTitle(bool Value)
{
    UseApplicationTitle() = Value;
}

void SetRegistrySubKey(const QString& Value)
{
    RegistrySubKey() = Value;
}

QString DefaultSectionName(const QObject* Component)
{
    if (!Component)
        return QString();
    if (const auto* w = qobject_cast<const QWidget*>(Component)) {
        if (w->isWindow())
            return QString::fromLatin1(w->metaObject()->className());
        const QWidget* form = w->window();
        if (form && form != w)
            return QString::fromLatin1(form->metaObject()->className()) + w->objectName();
        return (w->parent() ? w->parent()->objectName() : QString()) + w->objectName();
    }
    for (const QObject* p = Component->parent(); p; p = p->parent()) {
        const auto* pw = qobject_cast<const QWidget*>(p);
        if (pw && pw->isWindow())
            return QStringLiteral("%1.%2").arg(QString::fromLatin1(pw->metaObject()->className()),
                                               Component->objectName());
    }
    return QString();
}

QString ResolveIniFileName(const QString& Name)
{
    if (Name.isEmpty() || Name.contains(QChar('/')) || Name.contains(QChar('\\')))
        return Name;
    return SettingsFolder() + Name;
}

// ---------------------------------------------------------------- placement keys

namespace {

const TCharSet PosDelims(" ,");

int Word(const QString& S, int N, int Default)
{
    const QString w = ExtractWordAt(N, S, PosDelims);
    return w.isEmpty() ? Default : StrToIntDef(w, Default);
}

}  // namespace

QString ScreenSizeKey(const QString& Ident)
{
    const QSize s = ScreenSize();
    return Ident + QStringLiteral("(%1x%2)").arg(s.width()).arg(s.height());
}

void WritePosStr(const TIniStore& Store, const QString& Section, const QString& Ident, const QString& Value)
{
    IniStorageWriteString(Store, Section, ScreenSizeKey(Ident), Value);
    IniStorageWriteString(Store, Section, Ident, Value);
}

QString ReadPosStr(const TIniStore& Store, const QString& Section, const QString& Ident)
{
    const QString s = IniStorageReadString(Store, Section, ScreenSizeKey(Ident), QString());
    return s.isEmpty() ? IniStorageReadString(Store, Section, Ident, QString()) : s;
}

void WriteWindowPlacement(QWidget* Form, const TIniStore& Store, const QString& Section)
{
    TWindowPlacement p = GetWindowPlacement(Form);
    if (FormStyle(Form) == fsMDIChild && FormWindowState(Form) == wsMinimized)
        p.Flags |= WPF_SETMINPOSITION;
    IniStorageWriteInteger(Store, Section, QStringLiteral("Flags"), p.Flags);
    IniStorageWriteInteger(Store, Section, QStringLiteral("ShowCmd"), p.ShowCmd);
    IniStorageWriteInteger(Store, Section, QStringLiteral("PixelsPerInch"), ScreenPixelsPerInch());
    const QString fmt = QStringLiteral("%1,%2,%3,%4");
    WritePosStr(Store, Section, QStringLiteral("MinMaxPos"),
                fmt.arg(p.MinPosition.x()).arg(p.MinPosition.y()).arg(p.MaxPosition.x()).arg(p.MaxPosition.y()));
    WritePosStr(Store, Section, QStringLiteral("NormPos"),
                fmt.arg(p.Left).arg(p.Top).arg(p.Right).arg(p.Bottom));
}

TWindowState ShowCmdToWindowState(int ShowCmd, TWindowState Default)
{
    switch (ShowCmd) {
    case 1:
    case 5:
    case 9:
        return wsNormal;
    case 2:
    case 6:
    case 7:
        return wsMinimized;
    case 3:
        return wsMaximized;
    default:
        return Default;
    }
}

TWindowState DefaultWindowState(const QWidget* Form)
{
    const QWidget* main = ApplicationMainForm();
    if (main && main != Form)
        return wsNormal;
    const TFormStyle style = FormStyle(Form);
    if (style == fsMDIForm || (style == fsNormal && FormPosition(Form) == poDefault))
        return wsMaximized;
    return wsNormal;
}

void ReadWindowPlacement(QWidget* Form, const TIniStore& Store, const QString& Section, bool LoadState,
                         bool LoadPosition)
{
    if (!Form || (!LoadState && !LoadPosition))
        return;
    TWindowPlacement p = GetWindowPlacement(Form);
    if (!Form->isVisible())
        p.ShowCmd = SW_HIDE;
    if (LoadPosition) {
        bool found = false;
        p.Flags = IniStorageReadInteger(Store, Section, QStringLiteral("Flags"), p.Flags);
        QString s = ReadPosStr(Store, Section, QStringLiteral("MinMaxPos"));
        if (!s.isEmpty()) {
            found = true;
            p.MinPosition = QPoint(Word(s, 1, 0), Word(s, 2, 0));
            p.MaxPosition = QPoint(Word(s, 3, 0), Word(s, 4, 0));
        }
        s = ReadPosStr(Store, Section, QStringLiteral("NormPos"));
        if (!s.isEmpty()) {
            found = true;
            const QRect g = Form->geometry();
            p.Left = Word(s, 1, g.x());
            p.Top = Word(s, 2, g.y());
            p.Right = Word(s, 3, g.x() + g.width());
            p.Bottom = Word(s, 4, g.y() + g.height());
        }
        const int ppi = ScreenPixelsPerInch();
        if (IniStorageReadInteger(Store, Section, QStringLiteral("PixelsPerInch"), ppi) != ppi)
            found = false;
        if (found) {
            const TFormBorderStyle border = FormBorderStyle(Form);
            if (border != bsSizeable && border != bsSizeToolWin) {
                p.Right = p.Left + Form->width();
                p.Bottom = p.Top + Form->height();
            }
            if (p.Right > p.Left) {
                const TPosition position = FormPosition(Form);
                if (position == poScreenCenter || position == poDesktopCenter)
                    SetFormPosition(Form, poDesigned);
                SetWindowPlacement(Form, p);
            }
        }
    }
    if (LoadState) {
        const TWindowState state = ShowCmdToWindowState(
            IniStorageReadInteger(Store, Section, QStringLiteral("ShowCmd"), 0), DefaultWindowState(Form));
        const QWidget* main = ApplicationMainForm();
        if (state == wsMinimized && (main == Form || !main)) {
            // A main window goes down once it is up: minimizing it before it
            // is shown would leave nothing on screen to bring it back.
            SetFormWindowState(Form, wsNormal);
            QPointer<QWidget> guard(Form);
            QMetaObject::invokeMethod(
                Form,
                [guard] {
                    if (guard)
                        SetFormWindowState(guard, wsMinimized);
                },
                Qt::QueuedConnection);
            return;
        }
        SetFormWindowState(Form, state);
    }
    Form->update();
}
