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
//
// The rows live in a TLookupList, filled in one go and held compactly (one
// buffer of texts and one of ids), so a list of a million customers costs
// about what its texts cost and several lists can share one.
#include <QAbstractListModel>
#include <QComboBox>
#include <QStringList>
#include <QVector>

// Rows gathered before they go into a list: texts (one buffer) and ids.
class TLookupRows {
public:
    void Add(QStringView text, int id);
    int Count() const { return int(m_ids.size()); }
    QStringView Text(int row) const;
    int ID(int row) const { return row >= 0 && row < Count() ? m_ids[row] : 0; }
    // Gives back the memory the buffers hold beyond their rows.
    void Squeeze();

private:
    QString m_texts;
    QVector<int> m_ends;  // where each row's text ends in m_texts
    QVector<int> m_ids;
};

// The rows behind one or more lookup combos.
class TLookupList : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TLookupList(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // The text (display and edit roles) and the id (the user role).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    int Count() const { return m_rows.Count(); }
    QStringView Text(int row) const { return m_rows.Text(row); }
    int ID(int row) const { return m_rows.ID(row); }
    // The first row with the id; -1 when there is none.
    int IndexOf(int id) const;
    // The row whose text, blanks around it aside, is `text` (the first of
    // several); else the one row whose text differs from it in letter case
    // only; else -1 (no such row, or several).
    int Find(QStringView text) const;

    // A whole text looked up from the top (as a combo looks up its typed
    // text) goes through the rows' index; anything else as any model does.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith | Qt::MatchWrap)) const override;

    // Replaces every row at once.
    void Assign(TLookupRows rows);
    // One more row at the end.
    void Append(QStringView text, int id);
    void Clear() { Assign(TLookupRows()); }

private:
    // Calls `row` for each row whose text, blanks aside, equals `text` in
    // letter case or not, in row order.
    template <typename F>
    void forEachNamed(QStringView text, F row) const;
    void dropIndex() { m_slots.clear(); }

    TLookupRows m_rows;
    // The rows by their text, letter case and blanks aside, built when first
    // looked up: an open table of row + 1, 0 where free.
    mutable QVector<int> m_slots;
};

class TLookupCombo : public QComboBox {
    Q_OBJECT
public:
    explicit TLookupCombo(QWidget* parent = nullptr);

    // Empties the list and fills it from a SELECT: each row's textField
    // becomes an item with its idField as the item's id; a row whose id does
    // not fit an item's id is left out. With blankFirst the list starts with
    // a blank item of id 0.
    void Fill(const QStringList& selectLines, const QString& textField, const QString& idField = QStringLiteral("ID"),
              bool blankFirst = false);
    void AddItem(const QString& text, int id);
    // Empties the list; the stored id is forgotten too.
    void ClearItems();
    // Shows the rows of `list` (which several combos may share, and which
    // outlives them); nothing is selected and the stored id is forgotten.
    void SetList(TLookupList* list);
    TLookupList* List() const { return m_list; }

    int ItemID(int index) const { return m_list->ID(index); }
    int IndexOfID(int id) const { return m_list->IndexOf(id); }

    // Lets the operator type into the list (see above).
    void SetEditable(bool value);

    // Shows the item of that id (none when it is not there) and keeps the id
    // as the stored one. No signal. True when the item was found. An
    // editable list shows shownWhenMissing for an id it does not hold.
    bool SetID(int id, const QString& shownWhenMissing = QString());
    // The picked or shown item's id; the stored id when nothing is selected
    // and the operator picked nothing; otherwise 0. A list that takes typing:
    // the stored or picked id while the text is as it was shown with it
    // (blanks around it aside), else the id of the item the text names (0
    // for none).
    int ID() const;
    // True once the operator has picked an item since the last SetID.
    bool Picked() const { return m_picked; }
    // False when typed text names no item (an editable list only).
    bool TextKnown() const;

    // A long list drops down without measuring every item first.
    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

signals:
    // The operator chose an item (keyboard or mouse).
    void PickedID(int id);

private:
    void forget();
    void keep(int id);
    TLookupList* m_list;
    int m_stored = 0;
    bool m_picked = false;
    QString m_shown;  // the text shown with the stored or picked id (a list that takes typing)
    bool m_listChoice = false;  // the dropped-down list is choosing an item
};
