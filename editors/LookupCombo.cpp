#include "LookupCombo.h"
#include "DB.h"
#include "DataMod.h"
#include "GenFns.h"
#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QTimer>
#include <QWheelEvent>

// ------------------------------------------------------------ rows

void TLookupRows::Add(QStringView text, int id)
{
    m_texts.append(text);
    m_ends.append(int(m_texts.size()));
    m_ids.append(id);
}

QStringView TLookupRows::Text(int row) const
{
    if (row < 0 || row >= Count())
        return QStringView();
    const int start = row == 0 ? 0 : m_ends[row - 1];
    return QStringView(m_texts).mid(start, m_ends[row] - start);
}

void TLookupRows::Squeeze()
{
    m_texts.squeeze();
    m_ends.squeeze();
    m_ids.squeeze();
}

// ------------------------------------------------------------ the list

int TLookupList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant TLookupList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return Text(index.row()).toString();
    if (role == Qt::UserRole)
        return ID(index.row());
    return QVariant();
}

int TLookupList::IndexOf(int id) const
{
    for (int i = 0, n = Count(); i < n; ++i)
        if (m_rows.ID(i) == id)
            return i;
    return -1;
}

namespace {

// A text's hash with letter case and the blanks around it aside: equal for
// texts that compare equal without regard to case.
uint foldedHash(QStringView text)
{
    text = text.trimmed();
    uint h = 2166136261u;
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        char32_t c = text[i].unicode();
        if (c < 128) {
            if (c >= 'A' && c <= 'Z')
                c += 'a' - 'A';
        } else {
            if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
            c = QChar::toCaseFolded(c);
        }
        h = (h ^ uint(c)) * 16777619u;
    }
    return h;
}

}  // namespace

template <typename F>
void TLookupList::forEachNamed(QStringView text, F row) const
{
    if (m_slots.isEmpty() && Count() > 0) {
        qsizetype size = 16;
        while (size < 2 * qsizetype(Count()))
            size *= 2;
        m_slots.fill(0, size);
        for (int r = 0, n = Count(); r < n; ++r) {
            qsizetype slot = foldedHash(Text(r)) & (size - 1);
            while (m_slots[slot] != 0)
                slot = (slot + 1) & (size - 1);
            m_slots[slot] = r + 1;
        }
    }
    if (m_slots.isEmpty())
        return;
    // Rows of the same hash lie along the probe in the order they were put
    // there, which is row order.
    const QStringView key = text.trimmed();
    const qsizetype mask = m_slots.size() - 1;
    for (qsizetype slot = foldedHash(key) & mask; m_slots[slot] != 0; slot = (slot + 1) & mask) {
        const int r = m_slots[slot] - 1;
        if (Text(r).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            row(r);
    }
}

int TLookupList::Find(QStringView text) const
{
    const QStringView key = text.trimmed();
    int exact = -1, folded = -1, foldedRows = 0;
    forEachNamed(key, [&](int r) {
        if (Text(r).trimmed() == key) {
            if (exact < 0)
                exact = r;
        } else if (foldedRows++ == 0) {
            folded = r;
        }
    });
    if (exact >= 0)
        return exact;
    return foldedRows == 1 ? folded : -1;
}

QModelIndexList TLookupList::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                   Qt::MatchFlags flags) const
{
    const bool wholeText = (flags & Qt::MatchTypeMask) == Qt::MatchFixedString && !(flags & Qt::MatchRecursive);
    if (!wholeText || hits != 1 || start != index(0, 0) || (role != Qt::DisplayRole && role != Qt::EditRole) ||
        value.metaType().id() != QMetaType::QString)
        return QAbstractListModel::match(start, role, value, hits, flags);
    const QString text = value.toString();
    const Qt::CaseSensitivity cs = flags & Qt::MatchCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    int first = -1;
    forEachNamed(text, [&](int r) {
        if (first < 0 && Text(r).compare(text, cs) == 0)
            first = r;
    });
    return first < 0 ? QModelIndexList() : QModelIndexList{index(first, 0)};
}

void TLookupList::Assign(TLookupRows rows)
{
    rows.Squeeze();
    beginResetModel();
    m_rows = std::move(rows);
    dropIndex();
    endResetModel();
}

void TLookupList::Append(QStringView text, int id)
{
    beginInsertRows(QModelIndex(), Count(), Count());
    m_rows.Add(text, id);
    dropIndex();
    endInsertRows();
}

// ------------------------------------------------------------ the combo

TLookupCombo::TLookupCombo(QWidget* parent) : QComboBox(parent), m_list(new TLookupList(this))
{
    setEditable(false);
    // Placed where its window puts it: no size measured from the items.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setModel(m_list);
    // activated comes only from the operator's own choice; in a list that
    // takes typing only from a choice in the dropped-down list (the text
    // decides otherwise).
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (isEditable() && !m_listChoice)
            return;
        m_listChoice = false;
        keep(ItemID(index));
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
    // Texts completed and looked up on Return only as they are written.
    if (QCompleter* completion = completer())
        completion->setCaseSensitivity(Qt::CaseSensitive);
    // A choice in the dropped-down list is made by Return or a click there;
    // seen here before the list acts on it.
    view()->installEventFilter(this);
    view()->viewport()->installEventFilter(this);
}

bool TLookupCombo::eventFilter(QObject* watched, QEvent* e)
{
    const bool key = e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress;
    const bool choosing = (key && (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Return ||
                                   static_cast<QKeyEvent*>(e)->key() == Qt::Key_Enter)) ||
                          (e->type() == QEvent::MouseButtonRelease && watched == view()->viewport());
    if (choosing && !m_listChoice) {
        // The choice follows at once, if the list makes one at all.
        m_listChoice = true;
        QTimer::singleShot(0, this, [this] { m_listChoice = false; });
    }
    return QComboBox::eventFilter(watched, e);
}

void TLookupCombo::keyPressEvent(QKeyEvent* e)
{
    // In a list that takes typing the arrow and page keys drop the list
    // down instead of stepping to the next item (Ctrl with an arrow still
    // completes the text).
    const int key = e->key();
    const bool arrow = key == Qt::Key_Up || key == Qt::Key_Down;
    if (isEditable() && (arrow || key == Qt::Key_PageUp || key == Qt::Key_PageDown) &&
        !(arrow && e->modifiers() & Qt::ControlModifier)) {
        e->accept();
        showPopup();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void TLookupCombo::wheelEvent(QWheelEvent* e)
{
    // The wheel over a list that takes typing chooses nothing.
    if (isEditable()) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

void TLookupCombo::Fill(const QStringList& selectLines, const QString& textField, const QString& idField,
                        bool blankFirst)
{
    TLookupRows rows;
    if (blankFirst)
        rows.Add(QStringView(), 0);
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.UniDirectional = true;
    q.SQL().Assign(selectLines);
    q.Open();
    const TField* text = q.FieldByName(textField);
    const TField* id = q.FieldByName(idField);
    // A row whose id does not fit an item's id is left out: it cannot be
    // chosen, so it is never taken for another row.
    int rowId = 0;
    for (; !q.Eof(); q.Next())
        if (id->TryAsInteger(rowId))
            rows.Add(text->AsString(), rowId);
    q.Close();
    const QSignalBlocker quiet(this);
    m_list->Assign(std::move(rows));
    setCurrentIndex(-1);
    forget();
}

void TLookupCombo::AddItem(const QString& text, int id)
{
    const QSignalBlocker quiet(this);
    const int shown = currentIndex();
    const QString typed = currentText();
    m_list->Append(text, id);
    if (shown < 0) {
        setCurrentIndex(-1);  // a first item is not a choice
        if (isEditable())
            setEditText(typed);
    }
}

void TLookupCombo::ClearItems()
{
    const QSignalBlocker quiet(this);
    m_list->Clear();
    setCurrentIndex(-1);
    forget();
}

void TLookupCombo::SetList(TLookupList* list)
{
    const QSignalBlocker quiet(this);
    // The list made for this combo goes with it.
    setModel(list);
    m_list = list;
    setCurrentIndex(-1);
    if (isEditable())
        setEditText(QString());
    forget();
}

void TLookupCombo::forget()
{
    keep(0);
    m_picked = false;
}

void TLookupCombo::keep(int id)
{
    m_stored = id;
    m_shown = currentText();
    m_listChoice = false;
}

bool TLookupCombo::SetID(int id, const QString& shownWhenMissing)
{
    const QSignalBlocker quiet(this);
    const int index = IndexOfID(id);
    setCurrentIndex(index);
    if (index < 0 && isEditable())
        setEditText(shownWhenMissing);
    keep(id);
    m_picked = false;
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
    // The text as it was shown, read as every text of the list is read
    // (blanks around it aside): the id shown or picked with it, whatever
    // item has that text too.
    const QString text = currentText();
    if (QStringView(text).trimmed() == QStringView(m_shown).trimmed())
        return m_stored;
    const int row = text.trimmed().isEmpty() ? -1 : m_list->Find(text);
    return row < 0 ? 0 : ItemID(row);
}

bool TLookupCombo::TextKnown() const
{
    return !isEditable() || currentText().trimmed().isEmpty() || ID() != 0;
}

void TLookupCombo::showPopup()
{
    // Every row is as high as the first: the view lays out only what shows.
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    QComboBox::showPopup();
}
