#include "LookupCombo.h"
#include "DB.h"
#include "DataMod.h"
#include "GenFns.h"
#include <QAbstractItemView>
#include <QLineEdit>
#include <QListView>

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

void TLookupList::Assign(TLookupRows rows)
{
    rows.Squeeze();
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void TLookupList::Append(QStringView text, int id)
{
    beginInsertRows(QModelIndex(), Count(), Count());
    m_rows.Add(text, id);
    endInsertRows();
}

// ------------------------------------------------------------ the combo

TLookupCombo::TLookupCombo(QWidget* parent) : QComboBox(parent), m_list(new TLookupList(this))
{
    setEditable(false);
    // Placed where its window puts it: no size measured from the items.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setModel(m_list);
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
    TLookupRows rows;
    if (blankFirst)
        rows.Add(QStringView(), 0);
    TQuery q(nullptr, QLatin1String(kDatabaseName));
    q.UniDirectional = true;
    q.SQL().Assign(selectLines);
    q.Open();
    const TField* text = q.FieldByName(textField);
    const TField* id = q.FieldByName(idField);
    for (; !q.Eof(); q.Next())
        rows.Add(text->AsString(), id->AsInteger());
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
    m_list->Append(text, id);
    if (shown < 0)
        setCurrentIndex(-1);  // a first item is not a choice
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
    if (index >= 0 && m_list->Text(index) == text)
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
    for (int i = 0, n = m_list->Count(); i < n; ++i)
        if (m_list->Text(i).trimmed().compare(text, Qt::CaseInsensitive) == 0)
            return ItemID(i);
    return 0;
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
