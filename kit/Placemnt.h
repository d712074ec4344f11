#pragma once
// Form placement: a component on a form that remembers the form between
// runs. TFormPlacement keeps the window's rectangle, positions and state in
// one section of a profile file (or of the registry store); TFormStorage
// also keeps chosen properties of the form's components ("panel.Width"
// under the key "panel_Width") and named values.
//
// It reads the placement when the form is shown (before the form's own show
// handling), writes it when a close of the form is allowed, and once more
// when the form is destroyed without a close having saved it.
#include "AppUtils.h"
#include "KitHook.h"
#include "KitProps.h"
#include "VCLUtils.h"  // TNotifyEvent
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSize>
#include <QStringList>
#include <QVariant>
#include <memory>

class TFormPlacement;
class TIniLink;

KV_DECLARE_EXCEPTION(EStringListError, Exception)

enum TPlacementOption : unsigned { fpState = 1u << 0, fpPosition = 1u << 1, fpActiveControl = 1u << 2 };
using TPlacementOptions = unsigned;

// Size and position limits for the form, each 0 when not set. The two
// track limits become the form's minimum and maximum size; the maximized
// size and position are kept for the file only (the window manager places
// a maximized window).
class TWinMinMaxInfo {
public:
    explicit TWinMinMaxInfo(TFormPlacement* Placement = nullptr) : m_placement(Placement) {}
    TWinMinMaxInfo(const TWinMinMaxInfo&) = delete;
    TWinMinMaxInfo& operator=(const TWinMinMaxInfo&) = delete;

    int MaxPosLeft() const { return m_values[2]; }
    int MaxPosTop() const { return m_values[3]; }
    int MaxSizeHeight() const { return m_values[1]; }
    int MaxSizeWidth() const { return m_values[0]; }
    int MaxTrackHeight() const { return m_values[7]; }
    int MaxTrackWidth() const { return m_values[6]; }
    int MinTrackHeight() const { return m_values[5]; }
    int MinTrackWidth() const { return m_values[4]; }
    void SetMaxPosLeft(int Value) { set(2, Value); }
    void SetMaxPosTop(int Value) { set(3, Value); }
    void SetMaxSizeHeight(int Value) { set(1, Value); }
    void SetMaxSizeWidth(int Value) { set(0, Value); }
    void SetMaxTrackHeight(int Value) { set(7, Value); }
    void SetMaxTrackWidth(int Value) { set(6, Value); }
    void SetMinTrackHeight(int Value) { set(5, Value); }
    void SetMinTrackWidth(int Value) { set(4, Value); }

    void Assign(const TWinMinMaxInfo& Source);
    bool DefaultMinMaxInfo() const;  // every value 0

private:
    void set(int Index, int Value);
    TFormPlacement* m_placement;
    // In the order of the window system's record: max size, max position,
    // min track size, max track size.
    int m_values[8] = {0, 0, 0, 0, 0, 0, 0, 0};
};

class TFormPlacement : public QObject {
    Q_OBJECT
public:
    // Owner: the form (a window); any other owner makes a placement that
    // only reads and writes keys.
    explicit TFormPlacement(QObject* Owner = nullptr);
    ~TFormPlacement() override;

    // Restore on show and save on close.
    bool Active() const { return m_active; }
    void SetActive(bool Value) { m_active = Value; }
    // The file (or registry key) name: the one set, else the default one. A
    // file name without a folder is kept in the settings folder.
    QString IniFileName() const;
    void SetIniFileName(const QString& Value) { m_iniFileName = Value; }
    // The section: the one set, else the owner's default section (a form's
    // class name).
    QString IniSection() const;
    void SetIniSection(const QString& Value) { m_iniSection = Value; }
    TWinMinMaxInfo* MinMaxInfo() { return &m_minMaxInfo; }
    void SetMinMaxInfo(const TWinMinMaxInfo& Value) { m_minMaxInfo.Assign(Value); }
    TPlacementOptions Options() const { return m_options; }
    void SetOptions(TPlacementOptions Value) { m_options = Value; }
    // The form can be neither resized nor maximized.
    bool PreventResize() const { return m_preventResize; }
    void SetPreventResize(bool Value);
    TPlacementRegRoot RegistryRoot() const { return m_registryRoot; }
    void SetRegistryRoot(TPlacementRegRoot Value) { m_registryRoot = Value; }
    bool UseRegistry() const { return m_useRegistry; }
    void SetUseRegistry(bool Value) { m_useRegistry = Value; }
    // The placement is restored only when the stored "FormVersion" is at
    // least this.
    int Version() const { return m_version; }
    void SetVersion(int Value) { m_version = Value; }

    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

    // The form is built: hooks its show, close and destroy, applies
    // PreventResize and the limits. Runs by itself at the first show when
    // the owner has not called it.
    virtual void Loaded();
    virtual void SavePlacement();
    virtual void RestorePlacement();
    // Single keys, on the open store or opening it for the one call.
    virtual QString ReadString(const QString& Section, const QString& Ident, const QString& Default);
    virtual void WriteString(const QString& Section, const QString& Ident, const QString& Value);
    QString ReadString(const QString& Ident, const QString& Default);
    void WriteString(const QString& Ident, const QString& Value);
    int ReadInteger(const QString& Section, const QString& Ident, int Default);
    void WriteInteger(const QString& Section, const QString& Ident, int Value);
    int ReadInteger(const QString& Ident, int Default);
    void WriteInteger(const QString& Ident, int Value);
    void EraseSections();  // the placement's section

    // The whole save and the whole restore.
    void SaveFormPlacement();
    void RestoreFormPlacement();

    QWidget* Form() const { return m_form; }
    // The open store (only during a save, a restore or a single-key call).
    TIniStore IniStore() const { return TIniStore{m_regFile.get(), m_iniFile.get()}; }
    bool IsRestored() const { return m_restored; }
    bool IsSaved() const { return m_saved; }
    TKitWindowHook* WinHook() const { return m_winHook; }

protected:
    void IniOpen(bool ForWrite);
    void IniFree();
    bool Destroying() const { return m_destroying; }
    void UpdatePlacement();
    void UpdatePreventResize();
    void CheckToggleHook();

    friend class TWinMinMaxInfo;
    friend class TIniLink;
    // The save run from the form's destruction (the destructor runs it).
    void FormDestroy();

private:
    void formShow();
    void formCloseQueryDone(bool Allowed);
    void winHookAfter(QObject* Sender, QEvent* Msg, bool& Handled);
    void formEventBefore(QObject* Sender, QEvent* Msg, bool& Handled);
    void applyLimits(bool Hooked);
    void addLink(TIniLink* Link);
    void removeLink(TIniLink* Link);

    bool m_active = true;
    QString m_iniFileName;
    QString m_iniSection;
    TWinMinMaxInfo m_minMaxInfo{this};
    TPlacementOptions m_options = 0;
    bool m_preventResize = false;
    TPlacementRegRoot m_registryRoot = prCurrentUser;
    bool m_useRegistry = false;
    int m_version = 0;

    std::unique_ptr<TIniFile> m_iniFile;
    std::unique_ptr<TRegIniFile> m_regFile;
    QList<TIniLink*> m_links;
    bool m_restored = false;
    bool m_saved = false;
    bool m_destroying = false;
    bool m_loaded = false;
    bool m_defMaximize = true;
    QPointer<QWidget> m_form;
    mutable QString m_formSection;  // the form's default section, kept for the destroy-time save
    TKitWindowHook* m_winHook = nullptr;     // size limits
    TKitWindowHook* m_formEvents = nullptr;  // show and close
    // The form's own limits, given back when the hook lets go.
    QSize m_savedMinSize;
    QSize m_savedMaxSize;
    bool m_limitsSaved = false;
};

// Lets another component (a grid, the speed bar) keep its own layout in the
// placement's file when the placement saves and restores.
class TIniLink {
public:
    TIniLink();
    virtual ~TIniLink();
    TIniLink(const TIniLink&) = delete;
    TIniLink& operator=(const TIniLink&) = delete;

    TFormPlacement* IniObject() const { return m_storage; }
    void SetStorage(TFormPlacement* Value);
    TFormPlacement* Storage() const { return m_storage; }
    // The placement's open store; none when closed or unlinked.
    TIniStore IniStore() const;
    // The placement's section and "\"; empty when unlinked.
    QString RootSection() const;

    virtual void SaveToIni();
    virtual void LoadFromIni();

    TNotifyEvent OnSave;
    TNotifyEvent OnLoad;

private:
    friend class TFormPlacement;
    TFormPlacement* m_storage = nullptr;
};

// A named value kept in the placement's section, scrambled when it has a
// key string.
class TStoredValues;
class TStoredValue;
using TStoredValueEvent = std::function<void(TStoredValue* Sender, QVariant& Value)>;

class TStoredValue {
public:
    explicit TStoredValue(TStoredValues* Collection) : m_collection(Collection) {}
    QString Name() const { return m_name; }
    // Raises EStringListError "String list does not allow duplicates" when
    // another value of the collection has that name (case ignored).
    void SetName(const QString& Value);
    QVariant Value() const { return m_value; }
    void SetValue(const QVariant& Value) { m_value = Value; }
    QString KeyString() const { return m_keyString; }
    void SetKeyString(const QString& Value) { m_keyString = Value; }
    TStoredValueEvent OnSave;
    TStoredValueEvent OnRestore;

    void Save();
    void Restore();

private:
    TStoredValues* m_collection;
    QString m_name;
    QVariant m_value;
    QString m_keyString;
};

class TStoredValues {
public:
    explicit TStoredValues(TFormPlacement* Storage = nullptr) : m_storage(Storage) {}
    ~TStoredValues();
    TStoredValues(const TStoredValues&) = delete;
    TStoredValues& operator=(const TStoredValues&) = delete;

    TFormPlacement* Storage() const { return m_storage; }
    void SetStorage(TFormPlacement* Value) { m_storage = Value; }
    // A new value with that name (the name must be free).
    TStoredValue* Add(const QString& Name);
    void Delete(int Index);
    void Clear();
    int Count() const { return int(m_items.size()); }
    TStoredValue* Items(int Index) const { return m_items.at(Index); }
    int IndexOf(const QString& Name) const;  // case ignored; -1 when none
    TStoredValue* ValueByName(const QString& Name) const;
    QVariant StoredValue(const QString& Name) const;
    void SetStoredValue(const QString& Name, const QVariant& Value);

    void SaveValues();
    void RestoreValues();

private:
    TFormPlacement* m_storage;
    QList<TStoredValue*> m_items;
};

class TFormStorage : public TFormPlacement {
    Q_OBJECT
public:
    explicit TFormStorage(QObject* Owner = nullptr);
    ~TFormStorage() override;

    // One line per kept property: "Component.Property". Lines naming no
    // component of the form are dropped once the form is built (Loaded).
    QStringList StoredProps() const;
    void SetStoredProps(const QStringList& Value);
    TStoredValues* StoredValues() { return &m_storedValues; }

    void Loaded() override;
    void SavePlacement() override;
    void RestorePlacement() override;
    virtual void SaveProperties();
    virtual void RestoreProperties();

private:
    // Resolves the lines against the form (load time) or rebuilds them from
    // their objects (before writing).
    void updateStoredList(bool FromForm);
    void watch(QObject* Object);
    QList<TStoredProp> m_storedProps;
    QSet<QObject*> m_watched;
    TStoredValues m_storedValues{this};
};
