#include "KitHook.h"
#include <QEvent>
#include <QList>
#include <QWidget>

namespace {

// One hooked control: the event filter and the hooks it serves, in the order
// they were added.
class TControlHook : public QObject {
public:
    explicit TControlHook(QWidget* Control) : m_control(Control), m_identity(Control)
    {
        Control->installEventFilter(this);
    }
    ~TControlHook() override
    {
        if (m_control)
            m_control->removeEventFilter(this);
    }

    // The control it was made for, also once the control is going away.
    const QWidget* Identity() const { return m_identity; }
    void AddClient(TKitWindowHook* Hook) { m_clients.append(Hook); }
    void RemoveClient(TKitWindowHook* Hook) { m_clients.removeAll(Hook); }
    bool HasClients() const { return !m_clients.isEmpty(); }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Watched != m_control)
            return false;
        // The last hook added hears first, as a chain of window procedures.
        const QList<QPointer<TKitWindowHook>> clients(m_clients.rbegin(), m_clients.rend());
        bool handled = false;
        for (const auto& hook : clients) {
            if (hook && hook->BeforeMessage) {
                hook->BeforeMessage(hook, Event, handled);
                if (handled)
                    return true;
            }
        }
        bool anyAfter = false;
        for (const auto& hook : clients)
            anyAfter = anyAfter || (hook && hook->AfterMessage);
        if (!anyAfter)
            return false;
        // Let the control handle the event now, so the after-handlers see
        // its outcome; the event is then delivered.
        QPointer<QWidget> control(m_control);
        static_cast<QObject*>(m_control)->event(Event);
        if (!control)
            return true;
        for (const auto& hook : clients) {
            if (hook && hook->AfterMessage) {
                hook->AfterMessage(hook, Event, handled);
                if (handled)
                    break;
            }
        }
        return true;
    }

private:
    QPointer<QWidget> m_control;
    const QWidget* m_identity;
    QList<QPointer<TKitWindowHook>> m_clients;
};

// The hooked controls.
QList<TControlHook*>& HookList()
{
    static QList<TControlHook*> list;
    return list;
}

TControlHook* FindControlHook(const QWidget* Control)
{
    for (TControlHook* hook : HookList())
        if (hook->Identity() == Control)
            return hook;
    return nullptr;
}

void DropControlHook(TControlHook* hook)
{
    HookList().removeAll(hook);
    delete hook;
}

}  // namespace

TKitWindowHook::TKitWindowHook(QObject* Owner) : QObject(Owner) {}

TKitWindowHook::~TKitWindowHook()
{
    detach();
}

int TKitWindowHook::HookedControlCount()
{
    return int(HookList().size());
}

void TKitWindowHook::SetActive(bool Value)
{
    m_active = Value;
    if (m_active)
        attach();
    else
        detach();
}

void TKitWindowHook::SetWinControl(QWidget* Value)
{
    if (Value == m_control)
        return;
    detach();
    disconnect(m_destroyed);
    m_control = Value;
    if (m_control) {
        // A control going away takes its hook filter with it.
        m_destroyed = connect(m_control, &QObject::destroyed, this, [this](QObject* gone) {
            if (TControlHook* hook = FindControlHook(static_cast<QWidget*>(gone)))
                DropControlHook(hook);
            m_hooked = false;
            m_control = nullptr;
        });
    }
    if (m_active)
        attach();
}

void TKitWindowHook::attach()
{
    if (m_hooked || !m_control)
        return;
    TControlHook* hook = FindControlHook(m_control);
    if (!hook) {
        hook = new TControlHook(m_control);
        HookList().append(hook);
    }
    hook->AddClient(this);
    m_hooked = true;
}

void TKitWindowHook::detach()
{
    if (!m_hooked)
        return;
    m_hooked = false;
    if (TControlHook* hook = FindControlHook(m_control)) {
        hook->RemoveClient(this);
        if (!hook->HasClients())
            DropControlHook(hook);
    }
}
