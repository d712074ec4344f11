#pragma once
// Where a form's placement is kept and how it is written: default file,
// registry key and section names, one call on whichever store is open, and
// the window placement of a form as text keys.
//
// Widgets know nothing of a form's border style, start position, form style
// or of the application's main form, so those are kept here with the widget
// (as the splitter unit keeps a widget's docking).
#include "IniFiles.h"
#include <QPoint>
#include <QSettings>
#include <QString>
#include <functional>
#include <memory>

class QObject;
class QWidget;

// ---------------------------------------------------------------- form attributes

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                 poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// The border style set for the window; without one it follows the window's
// flags and size limits: frameless bsNone, a tool window bsSizeToolWin or
// bsToolWindow, a fixed-size dialog bsDialog, another fixed size bsSingle,
// else bsSizeable.
TFormBorderStyle FormBorderStyle(const QWidget* Form);
void SetFormBorderStyle(QWidget* Form, TFormBorderStyle Value);
// poDesigned unless set (the main window sets poDefault).
TPosition FormPosition(const QWidget* Form);
void SetFormPosition(QWidget* Form, TPosition Value);
TFormStyle FormStyle(const QWidget* Form);  // fsNormal unless set
void SetFormStyle(QWidget* Form, TFormStyle Value);
// Minimized wins over maximized, as a window shows it.
TWindowState FormWindowState(const QWidget* Form);
void SetFormWindowState(QWidget* Form, TWindowState Value);

// The application's main form: the program names it once its main window
// exists; none until then.
QWidget* ApplicationMainForm();
void SetApplicationMainForm(QWidget* Form);

// The screen's logical resolution and size (the primary screen).
int ScreenPixelsPerInch();
QSize ScreenSize();

// ---------------------------------------------------------------- window placement

// A window's placement as the window system keeps it: rectangles with the
// right and bottom edges just outside (Right = Left + Width). The normal
// rectangle is the window's client geometry while it is neither maximized
// nor minimized; the minimized and maximized positions are only kept (-1, -1
// until set), since windows here are placed by the window manager.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int WPF_SETMINPOSITION = 1;
constexpr int WPF_RESTORETOMAXIMIZED = 2;

struct TWindowPlacement {
    int Flags = 0;
    int ShowCmd = SW_SHOWNORMAL;
    QPoint MinPosition{-1, -1};
    QPoint MaxPosition{-1, -1};
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // normal rectangle
};

// ShowCmd from the window state: minimized 2, maximized 3, else 1; Flags
// WPF_RESTORETOMAXIMIZED for a minimized window that was maximized.
TWindowPlacement GetWindowPlacement(const QWidget* Form);
// Sets the normal rectangle (keeping the present state) and the kept
// positions; ShowCmd 0 leaves the state alone, 1, 2 and 3 set it.
void SetWindowPlacement(QWidget* Form, const TWindowPlacement& Placement);

// The border metrics of a style as the classic window system gives them
// (border 1, frame 4, dialog frame 3; none 0): the maximized position of a
// window is set to their negative.
QPoint BorderMetrics(TFormBorderStyle Style);

// ---------------------------------------------------------------- stores

// The registry store: one key path under a root, its sub-keys as sections
// and their values as keys, kept by QSettings in the native format (a file
// per root under the user's configuration folder). Values are written as
// they are, without the profile file's quote rule.
enum TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers,
                         prDynData };
QString RegRootName(TPlacementRegRoot Root);  // "HKEY_CURRENT_USER", ...

class TRegIniFile {
public:
    // Opens KeyPath ("Software\kvsys") under the current user's root.
    explicit TRegIniFile(const QString& KeyPath);
    ~TRegIniFile();

    TPlacementRegRoot RootKey() const { return m_root; }
    void SetRootKey(TPlacementRegRoot Root);
    // Opens Key under the root; a key that does not exist is created only
    // with CanCreate. False when it is missing and not created.
    bool OpenKey(const QString& Key, bool CanCreate);
    QString CurrentPath() const { return m_path; }

    QString ReadString(const QString& Section, const QString& Ident, const QString& Default) const;
    int ReadInteger(const QString& Section, const QString& Ident, int Default) const;
    bool ReadBool(const QString& Section, const QString& Ident, bool Default) const;
    void WriteString(const QString& Section, const QString& Ident, const QString& Value);
    void WriteInteger(const QString& Section, const QString& Ident, int Value);
    void WriteBool(const QString& Section, const QString& Ident, bool Value);
    void EraseSection(const QString& Section);

private:
    QString key(const QString& Section, const QString& Ident) const;
    void reopenSettings();
    TPlacementRegRoot m_root = prCurrentUser;
    QString m_path;
    std::unique_ptr<QSettings> m_settings;
};

// The store a placement has open: the registry store or a profile file,
// at most one of them; neither when none is open.
struct TIniStore {
    TRegIniFile* Reg = nullptr;
    TIniFile* Ini = nullptr;
    bool IsOpen() const { return Reg || Ini; }
};

// One call on the open store; without one a read gives its default and a
// write does nothing.
QString IniStorageReadString(const TIniStore& Store, const QString& Section, const QString& Ident,
                             const QString& Default);
void IniStorageWriteString(const TIniStore& Store, const QString& Section, const QString& Ident,
                           const QString& Value);
int IniStorageReadInteger(const TIniStore& Store, const QString& Section, const QString& Ident,
                          int Default);
void IniStorageWriteInteger(const TIniStore& Store, const QString& Section, const QString& Ident,
                            int Value);
void IniStorageWriteBool(const TIniStore& Store, const QString& Section, const QString& Ident, bool Value);
void IniStorageEraseSection(const TIniStore& Store, const QString& Section);

// ---------------------------------------------------------------- default names

// The program's file name without folder and with the extension ".INI",
// or what the replaceable name function gives when one is set. A name
// without a folder is kept in the settings folder.
QString DefaultIniFileName();
void SetDefaultIniNameFunction(std::function<QString()> Function);
// "Software\" and the application title (or the program's name), then
// "\" and the sub-key when one is set.
QString DefaultIniRegKey();
void SetUseApplicationTitle(bool Value);
void SetRegistrySubKey(const QString& Value);
// A form: its class name. A control: its form's class name and its own
// name run together (without a form, its parent's name and its own). Any
// other object of a form: "Form.Name". Nothing: "".
QString DefaultSectionName(const QObject* Component);
// A file name without a folder placed in the settings folder.
QString ResolveIniFileName(const QString& Name);

// ---------------------------------------------------------------- placement keys

// Writes "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" and "NormPos"
// (the last two each under the screen-size key and the plain key).
void WriteWindowPlacement(QWidget* Form, const TIniStore& Store, const QString& Section);
// Reads them back: the position when asked and the stored resolution is the
// screen's, the state when asked.
void ReadWindowPlacement(QWidget* Form, const TIniStore& Store, const QString& Section, bool LoadState,
                         bool LoadPosition);
// The key with the screen-size suffix: "NormPos(1024x768)".
QString ScreenSizeKey(const QString& Ident);
void WritePosStr(const TIniStore& Store, const QString& Section, const QString& Ident, const QString& Value);
QString ReadPosStr(const TIniStore& Store, const QString& Section, const QString& Ident);
// The show command a stored "ShowCmd" gives for a form's default state:
// 1, 5, 9 normal; 2, 6, 7 minimized; 3 maximized; anything else the default.
TWindowState ShowCmdToWindowState(int ShowCmd, TWindowState Default);
// Maximized for the main form (or any form while there is none) that is an
// MDI frame or a plain form with the default position; otherwise normal.
TWindowState DefaultWindowState(const QWidget* Form);
