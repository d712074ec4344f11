#pragma once
// A drop-down list of reference rows: each item is a row's text with the
// row's id beside it.
//
// Selecting an id from code (a property setter showing the stored value)
// never signals: only the operator's own picks do, so a dependent list is
// refilled when the operator chooses, not when the window is filled. When
// the stored id is not among the items (an inactive row, say) the list shows
// nothing selected, and ID() gives the stored id back unchanged until the
// operator picks something: saving an untouched window never loses it.
#include <QComboBox>
#include <QStringList>
#include <QVector>

class TLookupCombo : public QComboBox {
    Q_OBJECT
public:
    explicit TLookupCombo(QWidget* parent = nullptr);

    // Empties the list and fills it from a SELECT: each row's textField
    // becomes an item with its idField as the item's id. With blankFirst the
    // list starts with a blank item of id 0.
    void Fill(const QStringList& selectLines, const QString& textField, const QString& idField = QStringLiteral("ID"),
              bool blankFirst = false);
    void AddItem(const QString& text, int id);
    // Empties the list; the stored id is forgotten too.
    void ClearItems();

    int ItemID(int index) const { return index >= 0 && index < m_ids.size() ? m_ids[index] : 0; }
    int IndexOfID(int id) const { return int(m_ids.indexOf(id)); }

    // Lets the operator type into the list (see above).
    void SetEditable(bool value);

    // Shows the item of that id (none when it is not there) and keeps the id
    // as the stored one. No signal. True when the item was found. An
    // editable list shows shownWhenMissing for an id it does not hold.
    bool SetID(int id, const QString& shownWhenMissing = QString());
    // The picked or shown item's id; the stored id when nothing is selected
    // and the operator picked nothing; otherwise 0.
    int ID() const;
    // True once the operator has picked an item since the last SetID.
    bool Picked() const { return m_picked; }
    // False when typed text names no item (an editable list only).
    bool TextKnown() const;

signals:
    // The operator chose an item (keyboard or mouse).
    void PickedID(int id);

private:
    QVector<int> m_ids;
    int m_stored = 0;
    bool m_picked = false;
    bool m_typed = false;  // the operator typed since the last SetID
    int typedID() const;
};
