#include "Placemnt.h"
#include "Application.h"  // HandleException
#include "StrUtils.h"
#include <QEvent>
#include <QWidget>

namespace {

// Closes the placement's store when a save or restore leaves, however it
// leaves.
class TStoreGuard {
public:
    TStoreGuard(bool Opened, std::function<void()> Close) : m_opened(Opened), m_close(std::move(Close)) {}
    ~TStoreGuard()
    {
        if (m_opened)
            m_close();
    }

private:
    bool m_opened;
    std::function<void()> m_close;
};

bool HasMaximizeIcon(const QWidget* Form)
{
    return Form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
}

}  // namespace

// ---------------------------------------------------------------- limits

void TWinMinMaxInfo::set(int Index, int Value)
{
    if (m_values[Index] == Value)
        return;
    m_values[Index] = Value;
    if (m_placement) {
        m_placement->UpdatePlacement();
        m_placement->CheckToggleHook();
    }
}

void TWinMinMaxInfo::Assign(const TWinMinMaxInfo& Source)
{
    for (int i = 0; i < 8; ++i)
        m_values[i] = Source.m_values[i];
    if (m_placement) {
        m_placement->UpdatePlacement();
        m_placement->CheckToggleHook();
    }
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const
{
    for (int v : m_values)
        if (v != 0)
            return false;
    return true;
}

// ---------------------------------------------------------------- placement

TFormPlacement::TFormPlacement(QObject* Owner) : QObject(Owner)
{
    auto* form = qobject_cast<QWidget*>(Owner);
    m_winHook = new TKitWindowHook(this);
    m_winHook->SetActive(false);
    m_winHook->AfterMessage = [this](QObject* sender, QEvent* msg, bool& handled) {
        winHookAfter(sender, msg, handled);
    };
    if (form && form->isWindow()) {
        m_form = form;
        m_options = fpState | fpPosition;
        m_formSection = DefaultSectionName(form);
        m_defMaximize = HasMaximizeIcon(form);
        // Stands in for taking over the form's show and close-query events:
        // the restore runs before the form handles its show, the save after
        // the form has allowed its close.
        m_formEvents = new TKitWindowHook(this);
        m_formEvents->BeforeMessage = [this](QObject* sender, QEvent* msg, bool& handled) {
            formEventBefore(sender, msg, handled);
        };
        m_formEvents->SetWinControl(form);
    }
}

TFormPlacement::~TFormPlacement()
{
    // Children die from their parent's destructor after it has taken each
    // out of its child list; a placement still listed is being deleted on
    // its own and does not count as its form's destruction.
    if (m_form && parent() == m_form && !m_form->children().contains(this))
        FormDestroy();
    IniFree();
    for (TIniLink* link : m_links)
        link->m_storage = nullptr;
    m_links.clear();
    // The form gets its events and limits back.
    delete m_formEvents;
    m_formEvents = nullptr;
    if (m_form && m_limitsSaved) {
        m_form->setMinimumSize(m_savedMinSize);
        m_form->setMaximumSize(m_savedMaxSize);
    }
    delete m_winHook;
    m_winHook = nullptr;
}

QString TFormPlacement::IniFileName() const
{
    if (!m_iniFileName.isEmpty())
        return m_iniFileName;
    return m_useRegistry ? DefaultIniRegKey() : DefaultIniFileName();
}

QString TFormPlacement::IniSection() const
{
    if (!m_iniSection.isEmpty())
        return m_iniSection;
    if (m_form) {
        // The form's class is known while it lives; the destroy-time save
        // runs when only its base is left, so the name is kept.
        if (!m_destroying)
            m_formSection = DefaultSectionName(m_form);
        return m_formSection;
    }
    return DefaultSectionName(parent());
}

void TFormPlacement::SetPreventResize(bool Value)
{
    if (m_preventResize == Value)
        return;
    m_preventResize = Value;
    if (!m_loaded)
        return;
    UpdatePreventResize();
    CheckToggleHook();
    UpdatePlacement();
}

void TFormPlacement::Loaded()
{
    m_loaded = true;
    if (!m_form)
        return;
    m_defMaximize = HasMaximizeIcon(m_form);
    UpdatePreventResize();
    CheckToggleHook();
}

// ---------------------------------------------------------------- store

void TFormPlacement::IniOpen(bool ForWrite)
{
    if (m_iniFile || m_regFile)
        return;
    if (m_useRegistry) {
        m_regFile = std::make_unique<TRegIniFile>(IniFileName());
        if (m_registryRoot != prCurrentUser) {
            m_regFile->SetRootKey(m_registryRoot);
            m_regFile->OpenKey(IniFileName(), ForWrite);
        }
    } else {
        m_iniFile = std::make_unique<TIniFile>(ResolveIniFileName(IniFileName()));
    }
}

void TFormPlacement::IniFree()
{
    m_iniFile.reset();
    m_regFile.reset();
}

QString TFormPlacement::ReadString(const QString& Section, const QString& Ident, const QString& Default)
{
    const bool opened = !IniStore().IsOpen();
    IniOpen(false);
    TStoreGuard guard(opened, [this] { IniFree(); });
    return IniStorageReadString(IniStore(), Section, Ident, Default);
}

void TFormPlacement::WriteString(const QString& Section, const QString& Ident, const QString& Value)
{
    const bool opened = !IniStore().IsOpen();
    IniOpen(true);
    TStoreGuard guard(opened, [this] { IniFree(); });
    IniStorageWriteString(IniStore(), Section, Ident, Value);
}

QString TFormPlacement::ReadString(const QString& Ident, const QString& Default)
{
    return ReadString(IniSection(), Ident, Default);
}

void TFormPlacement::WriteString(const QString& Ident, const QString& Value)
{
    WriteString(IniSection(), Ident, Value);
}

int TFormPlacement::ReadInteger(const QString& Section, const QString& Ident, int Default)
{
    const bool opened = !IniStore().IsOpen();
    IniOpen(false);
    TStoreGuard guard(opened, [this] { IniFree(); });
    return IniStorageReadInteger(IniStore(), Section, Ident, Default);
}

void TFormPlacement::WriteInteger(const QString& Section, const QString& Ident, int Value)
{
    const bool opened = !IniStore().IsOpen();
    IniOpen(true);
    TStoreGuard guard(opened, [this] { IniFree(); });
    IniStorageWriteInteger(IniStore(), Section, Ident, Value);
}

int TFormPlacement::ReadInteger(const QString& Ident, int Default)
{
    return ReadInteger(IniSection(), Ident, Default);
}

void TFormPlacement::WriteInteger(const QString& Ident, int Value)
{
    WriteInteger(IniSection(), Ident, Value);
}

void TFormPlacement::EraseSections()
{
    const bool opened = !IniStore().IsOpen();
    IniOpen(true);
    TStoreGuard guard(opened, [this] { IniFree(); });
    IniStorageEraseSection(IniStore(), IniSection());
}

// ---------------------------------------------------------------- save and restore

void TFormPlacement::SavePlacement()
{
    if (m_form) {
        const TIniStore store = IniStore();
        const QString section = IniSection();
        if (m_options & (fpState | fpPosition)) {
            WriteWindowPlacement(m_form, store, section);
            IniStorageWriteBool(store, section, QStringLiteral("Visible"), m_destroying);
        }
        if (m_options & fpActiveControl) {
            QWidget* focused = m_form->focusWidget();
            if (focused && focused != m_form)
                IniStorageWriteString(store, section, QStringLiteral("ActiveControl"), focused->objectName());
        }
    }
    for (TIniLink* link : QList<TIniLink*>(m_links))
        link->SaveToIni();
}

void TFormPlacement::RestorePlacement()
{
    if (m_form)
        ReadWindowPlacement(m_form, IniStore(), IniSection(), m_options & fpState, m_options & fpPosition);
    for (TIniLink* link : QList<TIniLink*>(m_links))
        link->LoadFromIni();
}

void TFormPlacement::SaveFormPlacement()
{
    if (m_active && !m_restored)
        return;  // nothing read yet: writing now would lose the stored placement
    const bool opened = !IniStore().IsOpen();
    IniOpen(true);
    TStoreGuard guard(opened, [this] { IniFree(); });
    IniStorageWriteInteger(IniStore(), IniSection(), QStringLiteral("FormVersion"), m_version);
    SavePlacement();
    if (OnSavePlacement)
        OnSavePlacement(this);
    m_saved = true;
}

void TFormPlacement::RestoreFormPlacement()
{
    m_saved = false;
    {
        const bool opened = !IniStore().IsOpen();
        IniOpen(false);
        TStoreGuard guard(opened, [this] { IniFree(); });
        const int stored = IniStorageReadInteger(IniStore(), IniSection(), QStringLiteral("FormVersion"), 0);
        if (stored >= m_version) {
            RestorePlacement();
            m_restored = true;
            if (OnRestorePlacement)
                OnRestorePlacement(this);
            if ((m_options & fpActiveControl) && m_form) {
                const QString name =
                    IniStorageReadString(IniStore(), IniSection(), QStringLiteral("ActiveControl"), QString());
                QWidget* control = name.isEmpty() ? nullptr : m_form->findChild<QWidget*>(name);
                if (control && control->focusPolicy() != Qt::NoFocus && control->isEnabled()
                    && control->isVisibleTo(m_form))
                    control->setFocus();
            }
        }
        m_restored = true;
    }
    UpdatePlacement();
}

void TFormPlacement::FormDestroy()
{
    if (!m_active || m_saved)
        return;
    m_destroying = true;
    try {
        SaveFormPlacement();
    } catch (const std::exception& e) {
        HandleException(e);
    }
    m_destroying = false;
}

// ---------------------------------------------------------------- form events

void TFormPlacement::formEventBefore(QObject*, QEvent* Msg, bool& Handled)
{
    // Only the show the program asks for: a window coming back from the
    // task bar is shown by the window system, not by the form.
    if (Msg->type() == QEvent::Show && !Msg->spontaneous()) {
        formShow();
    } else if (Msg->type() == QEvent::Close && m_form) {
        // The form decides on its close first; the placement saves after it.
        QPointer<TFormPlacement> self(this);
        static_cast<QObject*>(m_form)->event(Msg);
        Handled = true;
        if (self)
            formCloseQueryDone(Msg->isAccepted());
    }
}

void TFormPlacement::formShow()
{
    if (!m_loaded)
        Loaded();
    if (m_active)
        RestoreFormPlacement();
}

void TFormPlacement::formCloseQueryDone(bool Allowed)
{
    if (!Allowed || !m_active || !m_form || !m_form->testAttribute(Qt::WA_WState_Created))
        return;
    // A placement that cannot be written must not keep the window open.
    try {
        SaveFormPlacement();
    } catch (const std::exception& e) {
        HandleException(e);
    }
}

// ---------------------------------------------------------------- limits

void TFormPlacement::UpdatePlacement()
{
    if (!m_form || !m_loaded || !m_form->testAttribute(Qt::WA_WState_Created) || m_preventResize
        || !m_minMaxInfo.DefaultMinMaxInfo())
        return;
    TWindowPlacement p = GetWindowPlacement(m_form);
    if (!m_form->isVisible())
        p.ShowCmd = SW_HIDE;
    p.MaxPosition = -BorderMetrics(FormBorderStyle(m_form));
    SetWindowPlacement(m_form, p);
}

void TFormPlacement::UpdatePreventResize()
{
    if (!m_form)
        return;
    bool wanted;
    if (m_preventResize) {
        m_defMaximize = HasMaximizeIcon(m_form);
        wanted = false;
    } else {
        wanted = m_defMaximize && FormBorderStyle(m_form) != bsDialog;
    }
    if (HasMaximizeIcon(m_form) == wanted)
        return;
    // Changing a window's flags hides it; a shown form is shown again
    // without another restore.
    const bool shown = m_form->isVisible();
    const bool active = m_active;
    m_form->setWindowFlag(Qt::WindowMaximizeButtonHint, wanted);
    if (shown) {
        m_active = false;
        m_form->show();
        m_active = active;
    }
}

void TFormPlacement::CheckToggleHook()
{
    if (!m_form)
        return;
    const bool needed = m_preventResize || !m_minMaxInfo.DefaultMinMaxInfo();
    if (needed) {
        m_winHook->SetWinControl(m_form);
        m_winHook->SetActive(true);
        applyLimits(true);
    } else if (m_winHook->Hooked()) {
        m_winHook->SetActive(false);
        applyLimits(false);
    }
}

void TFormPlacement::applyLimits(bool Hooked)
{
    if (!m_form)
        return;
    if (!Hooked) {
        if (m_limitsSaved) {
            m_form->setMinimumSize(m_savedMinSize);
            m_form->setMaximumSize(m_savedMaxSize);
            m_limitsSaved = false;
        }
        return;
    }
    if (!m_limitsSaved) {
        m_savedMinSize = m_form->minimumSize();
        m_savedMaxSize = m_form->maximumSize();
        m_limitsSaved = true;
    }
    if (m_preventResize) {
        // Held at the size it has while it is shown.
        if (m_form->isVisible())
            m_form->setFixedSize(m_form->size());
        return;
    }
    QSize minSize = m_savedMinSize;
    QSize maxSize = m_savedMaxSize;
    if (m_minMaxInfo.MinTrackWidth())
        minSize.setWidth(m_minMaxInfo.MinTrackWidth());
    if (m_minMaxInfo.MinTrackHeight())
        minSize.setHeight(m_minMaxInfo.MinTrackHeight());
    if (m_minMaxInfo.MaxTrackWidth())
        maxSize.setWidth(m_minMaxInfo.MaxTrackWidth());
    if (m_minMaxInfo.MaxTrackHeight())
        maxSize.setHeight(m_minMaxInfo.MaxTrackHeight());
    m_form->setMinimumSize(minSize);
    m_form->setMaximumSize(maxSize);
}

void TFormPlacement::winHookAfter(QObject*, QEvent* Msg, bool&)
{
    // The moments the window system asks a window for its limits.
    switch (Msg->type()) {
    case QEvent::Show:
    case QEvent::WindowStateChange:
        applyLimits(true);
        break;
    default:
        break;
    }
}

void TFormPlacement::addLink(TIniLink* Link)
{
    if (!m_links.contains(Link))
        m_links.append(Link);
}

void TFormPlacement::removeLink(TIniLink* Link)
{
    m_links.removeAll(Link);
}

// ---------------------------------------------------------------- links

TIniLink::TIniLink() = default;

TIniLink::~TIniLink()
{
    SetStorage(nullptr);
}

void TIniLink::SetStorage(TFormPlacement* Value)
{
    if (m_storage == Value)
        return;
    if (m_storage)
        m_storage->removeLink(this);
    m_storage = Value;
    if (m_storage)
        m_storage->addLink(this);
}

TIniStore TIniLink::IniStore() const
{
    return m_storage ? m_storage->IniStore() : TIniStore();
}

QString TIniLink::RootSection() const
{
    return m_storage ? m_storage->IniSection() + QChar('\\') : QString();
}

void TIniLink::SaveToIni()
{
    if (OnSave)
        OnSave(nullptr);
}

void TIniLink::LoadFromIni()
{
    if (OnLoad)
        OnLoad(nullptr);
}

// ---------------------------------------------------------------- stored values

void TStoredValue::SetName(const QString& Value)
{
    if (m_collection) {
        const int other = m_collection->IndexOf(Value);
        if (other >= 0 && m_collection->Items(other) != this)
            throw EStringListError(QStringLiteral("String list does not allow duplicates"));
    }
    m_name = Value;
}

void TStoredValue::Save()
{
    TFormPlacement* storage = m_collection ? m_collection->Storage() : nullptr;
    if (!storage || m_name.isEmpty())
        return;
    QVariant value = m_value;
    if (OnSave)
        OnSave(this, value);
    QString text = value.toString();
    if (!m_keyString.isEmpty())
        text = XorEncodeToHex(text, m_keyString);
    storage->WriteString(storage->IniSection(), m_name, text);
}

void TStoredValue::Restore()
{
    TFormPlacement* storage = m_collection ? m_collection->Storage() : nullptr;
    if (!storage || m_name.isEmpty())
        return;
    QString fallback = m_value.toString();
    if (!m_keyString.isEmpty())
        fallback = XorEncodeToHex(fallback, m_keyString);
    QString text = storage->ReadString(storage->IniSection(), m_name, fallback);
    if (!m_keyString.isEmpty())
        text = XorDecodeFromHex(text, m_keyString);
    // Back to the kind of value it holds; a value without a kind is text.
    QVariant value(text);
    if (m_value.isValid() && m_value.metaType().id() != QMetaType::QString) {
        QVariant converted = value;
        if (converted.convert(m_value.metaType()))
            value = converted;
    }
    if (OnRestore)
        OnRestore(this, value);
    m_value = value;
}

TStoredValues::~TStoredValues()
{
    Clear();
}

TStoredValue* TStoredValues::Add(const QString& Name)
{
    auto* value = new TStoredValue(this);
    try {
        value->SetName(Name);
    } catch (...) {
        delete value;
        throw;
    }
    m_items.append(value);
    return value;
}

void TStoredValues::Delete(int Index)
{
    delete m_items.takeAt(Index);
}

void TStoredValues::Clear()
{
    qDeleteAll(m_items);
    m_items.clear();
}

int TStoredValues::IndexOf(const QString& Name) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items.at(i)->Name().compare(Name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TStoredValue* TStoredValues::ValueByName(const QString& Name) const
{
    const int i = IndexOf(Name);
    return i < 0 ? nullptr : m_items.at(i);
}

QVariant TStoredValues::StoredValue(const QString& Name) const
{
    const TStoredValue* v = ValueByName(Name);
    return v ? v->Value() : QVariant();
}

void TStoredValues::SetStoredValue(const QString& Name, const QVariant& Value)
{
    TStoredValue* v = ValueByName(Name);
    if (!v)
        v = Add(Name);
    v->SetValue(Value);
}

void TStoredValues::SaveValues()
{
    for (TStoredValue* v : m_items)
        v->Save();
}

void TStoredValues::RestoreValues()
{
    for (TStoredValue* v : m_items)
        v->Restore();
}

// ---------------------------------------------------------------- form storage

TFormStorage::TFormStorage(QObject* Owner) : TFormPlacement(Owner) {}

TFormStorage::~TFormStorage()
{
    // The destroy-time save needs the stored properties, which are this
    // class's; run it while they are still here.
    if (Form() && parent() == Form() && !Form()->children().contains(this))
        FormDestroy();
}

QStringList TFormStorage::StoredProps() const
{
    QStringList lines;
    for (const TStoredProp& p : m_storedProps)
        lines << p.Line;
    return lines;
}

void TFormStorage::SetStoredProps(const QStringList& Value)
{
    m_storedProps.clear();
    for (const QString& line : Value)
        m_storedProps.append({line, nullptr});
    // Lines are bound to their components as soon as the form has them.
    if (Form()) {
        for (TStoredProp& p : m_storedProps) {
            QString compName, propName;
            if (ParseStoredPropsItem(p.Line, compName, propName))
                p.Object = Form()->findChild<QObject*>(compName);
            watch(p.Object);
        }
    }
}

void TFormStorage::watch(QObject* Object)
{
    if (!Object || m_watched.contains(Object))
        return;
    m_watched.insert(Object);
    // A component going away takes its lines with it.
    connect(Object, &QObject::destroyed, this, [this](QObject* gone) {
        m_watched.remove(gone);
        for (int i = int(m_storedProps.size()) - 1; i >= 0; --i)
            if (m_storedProps.at(i).Object == gone || m_storedProps.at(i).Object.isNull())
                m_storedProps.removeAt(i);
    });
}

void TFormStorage::updateStoredList(bool FromForm)
{
    for (int i = int(m_storedProps.size()) - 1; i >= 0; --i) {
        TStoredProp& p = m_storedProps[i];
        QString compName, propName;
        if (!ParseStoredPropsItem(p.Line, compName, propName)) {
            m_storedProps.removeAt(i);
            continue;
        }
        if (FromForm) {
            QObject* object = Form() ? Form()->findChild<QObject*>(compName) : nullptr;
            if (!object) {
                m_storedProps.removeAt(i);
                continue;
            }
            p.Object = object;
            watch(object);
        } else {
            if (!p.Object) {
                m_storedProps.removeAt(i);
                continue;
            }
            p.Line = p.Object->objectName() + QChar('.') + propName;
        }
    }
}

void TFormStorage::Loaded()
{
    TFormPlacement::Loaded();
    updateStoredList(true);
}

void TFormStorage::SavePlacement()
{
    TFormPlacement::SavePlacement();
    SaveProperties();
    m_storedValues.SaveValues();
}

void TFormStorage::RestorePlacement()
{
    TFormPlacement::RestorePlacement();
    // Properties set while restoring may look the placement up.
    RestoreProperties();
    m_storedValues.RestoreValues();
}

void TFormStorage::SaveProperties()
{
    updateStoredList(false);
    TPropsStorage storage;
    storage.Owner = Form() ? static_cast<QObject*>(Form()) : parent();
    storage.Section = IniSection();
    storage.OnWriteString = [this](const QString& section, const QString& ident, const QString& value) {
        WriteString(section, ident, value);
    };
    storage.OnEraseSection = [this](const QString& section) { IniStorageEraseSection(IniStore(), section); };
    storage.StoreObjectsProps(m_storedProps);
}

void TFormStorage::RestoreProperties()
{
    updateStoredList(false);
    TPropsStorage storage;
    storage.Owner = Form() ? static_cast<QObject*>(Form()) : parent();
    storage.Section = IniSection();
    storage.OnReadString = [this](const QString& section, const QString& ident, const QString& def) {
        return ReadString(section, ident, def);
    };
    storage.LoadObjectsProps(m_storedProps);
}
