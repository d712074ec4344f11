#include "LookupCombo.h"
#include "DB.h"
#include "DataMod.h"
#include "GenFns.h"

TLookupCombo::TLookupCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    // activated comes only from the operator's own choice.
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        m_picked = true;
        emit PickedID(ItemID(index));
    });
}

void TLookupCombo::Fill(const QStringList& selectLines, const QString& textField, const QString& idField,
                        bool blankFirst)
{
    ClearItems();
    if (blankFirst)
        AddItem(QString(), 0);
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.SQL().Assign(selectLines);
    q.Open();
    for (; !q.Eof(); q.Next())
        AddItem(q.FieldByName(textField)->AsString(), q.FieldByName(idField)->AsInteger());
    q.Close();
}

void TLookupCombo::AddItem(const QString& text, int id)
{
    const QSignalBlocker quiet(this);
    const int shown = currentIndex();
    addItem(text);
    m_ids.append(id);
    if (shown < 0)
        setCurrentIndex(-1);  // a first item is not a choice
}

void TLookupCombo::ClearItems()
{
    const QSignalBlocker quiet(this);
    clear();
    m_ids.clear();
    m_stored = 0;
    m_picked = false;
}

bool TLookupCombo::SetID(int id)
{
    const QSignalBlocker quiet(this);
    m_stored = id;
    m_picked = false;
    const int index = IndexOfID(id);
    setCurrentIndex(index);
    return index >= 0;
}

int TLookupCombo::ID() const
{
    const int index = currentIndex();
    if (index >= 0)
        return ItemID(index);
    return m_picked ? 0 : m_stored;
}
