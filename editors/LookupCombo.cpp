#include "LookupCombo.h"
#include "DB.h"
#include "DataMod.h"
#include "GenFns.h"
#include <QLineEdit>

TLookupCombo::TLookupCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    // activated comes only from the operator's own choice.
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        m_picked = true;
        emit PickedID(ItemID(index));
    });
}

void TLookupCombo::SetEditable(bool value)
{
    setEditable(value);
    if (!value)
        return;
    setInsertPolicy(QComboBox::NoInsert);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_typed = true; });
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
    m_typed = false;
}

bool TLookupCombo::SetID(int id, const QString& shownWhenMissing)
{
    const QSignalBlocker quiet(this);
    m_stored = id;
    m_picked = false;
    m_typed = false;
    const int index = IndexOfID(id);
    setCurrentIndex(index);
    if (index < 0 && isEditable())
        setEditText(shownWhenMissing);
    return index >= 0;
}

int TLookupCombo::ID() const
{
    const int index = currentIndex();
    if (!isEditable()) {
        if (index >= 0)
            return ItemID(index);
        return m_picked ? 0 : m_stored;
    }
    const QString text = currentText();
    if (index >= 0 && itemText(index) == text)
        return ItemID(index);
    if (index < 0 && !m_picked && !m_typed)
        return m_stored;  // untouched: the stored id, shown with its own text
    return typedID();
}

int TLookupCombo::typedID() const
{
    const QString text = currentText().trimmed();
    if (text.isEmpty())
        return 0;
    for (int i = 0; i < count(); ++i)
        if (itemText(i).trimmed().compare(text, Qt::CaseInsensitive) == 0)
            return ItemID(i);
    return 0;
}

bool TLookupCombo::TextKnown() const
{
    return !isEditable() || currentText().trimmed().isEmpty() || ID() != 0;
}
