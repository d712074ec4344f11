#pragma once
// TKitWindowHook: lets a component see a control's events before and after
// the control itself handles them, without subclassing the control. All
// hooks on one control share one event filter (a control hook); the first
// hook creates it, the last one to leave removes it.
//
// While some hook has an after-handler, the filter hands every event that
// was not handled before to the control's own event handling itself and then
// raises the after-handlers; event filters installed on the control before
// the first hook then no longer see the control's events. Hooks with
// before-handlers only leave the delivery as it is.
#include <QObject>
#include <QPointer>
#include <functional>

class QEvent;
class QWidget;

// Handled true stops the chain; before the control, it also keeps the event
// from the control.
using THookMessageEvent = std::function<void(QObject* Sender, QEvent* Msg, bool& Handled)>;

class TKitWindowHook : public QObject {
    Q_OBJECT
public:
    explicit TKitWindowHook(QObject* Owner = nullptr);
    ~TKitWindowHook() override;

    // Hooked while Active and a control is set.
    bool Active() const { return m_active; }
    void SetActive(bool Value);
    // The control whose events are seen; a control that is destroyed is
    // cleared.
    QWidget* WinControl() const { return m_control; }
    void SetWinControl(QWidget* Value);

    void HookControl() { SetActive(true); }
    void UnhookControl() { SetActive(false); }
    // True while this hook is among its control's clients.
    bool Hooked() const { return m_hooked; }

    THookMessageEvent BeforeMessage;
    THookMessageEvent AfterMessage;

    // The number of controls that carry a hook filter (tests).
    static int HookedControlCount();

private:
    void attach();
    void detach();
    bool m_active = true;
    bool m_hooked = false;
    QPointer<QWidget> m_control;
    QMetaObject::Connection m_destroyed;
};
