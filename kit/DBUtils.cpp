#include "DBUtils.h"
#include "DB.h"
#include <QWidget>
#include <algorithm>

QString GetDataSetSection(const TDataSet* DataSet)
{
    if (!DataSet)
        return QString();
    const auto* owner = qobject_cast<const QWidget*>(DataSet->parent());
    if (owner && owner->isWindow())
        return DefaultSectionName(owner);
    return DataSet->objectName();
}

namespace {

// Comma-separated numbers; an item that is missing or not a number keeps
// its default.
QVector<int> layoutNumbers(const QString& text, const QVector<int>& defaults, QVector<bool>* found = nullptr)
{
    QVector<int> out = defaults;
    if (found)
        found->fill(false, defaults.size());
    const QStringList parts = text.split(QChar(','));
    for (int i = 0; i < out.size() && i < parts.size(); ++i) {
        bool ok = false;
        const int v = parts[i].trimmed().toInt(&ok);
        if (ok) {
            out[i] = v;
            if (found)
                (*found)[i] = true;
        }
    }
    return out;
}

// Moves each named item to its stored index, lowest index first, so that a
// full set of stored indexes reproduces the stored order exactly.
template <typename T>
void moveToIndexes(QVector<T>& items, QVector<QPair<QString, int>> targets)
{
    std::stable_sort(targets.begin(), targets.end(),
                     [](const QPair<QString, int>& a, const QPair<QString, int>& b) { return a.second < b.second; });
    for (const auto& t : targets) {
        int from = -1;
        for (int i = 0; i < items.size(); ++i)
            if (items[i].FieldName.compare(t.first, Qt::CaseInsensitive) == 0) {
                from = i;
                break;
            }
        if (from < 0)
            continue;
        const int to = qBound(0, t.second, int(items.size()) - 1);
        if (from != to)
            items.move(from, to);
    }
}

}  // namespace

void SaveColumnsLayout(const TIniStore& Store, const QString& Section, const QString& GridName,
                       const QVector<TColumnLayout>& Columns)
{
    IniStorageEraseSection(Store, Section);
    for (int i = 0; i < Columns.size(); ++i)
        IniStorageWriteString(Store, Section, QStringLiteral("%1.%2").arg(GridName, Columns[i].FieldName),
                            QStringLiteral("%1,%2").arg(i).arg(Columns[i].Width));
}

QVector<TColumnLayout> RestoreColumnsLayout(const TIniStore& Store, const QString& Section,
                                            const QString& GridName, const QVector<TColumnLayout>& Columns)
{
    QVector<TColumnLayout> out = Columns;
    QVector<QPair<QString, int>> targets;
    for (int i = 0; i < out.size(); ++i) {
        const QString key = QStringLiteral("%1.%2").arg(GridName, out[i].FieldName);
        const QString text = IniStorageReadString(Store, Section, key, QString());
        if (text.isEmpty())
            continue;
        QVector<bool> found;
        const QVector<int> v = layoutNumbers(text, {i, out[i].Width}, &found);
        out[i].Width = v[1];
        if (found[0])
            targets.append({out[i].FieldName, v[0]});
    }
    moveToIndexes(out, targets);
    return out;
}

void SaveFieldsLayout(const TIniStore& Store, const QString& Section, const QString& DataSetName,
                      const QVector<TFieldLayout>& Fields)
{
    for (int i = 0; i < Fields.size(); ++i)
        IniStorageWriteString(Store, Section, DataSetName + Fields[i].FieldName,
                            QStringLiteral("%1,%2,%3").arg(i).arg(Fields[i].DisplayWidth).arg(Fields[i].Visible ? 1 : 0));
}

QVector<TFieldLayout> RestoreFieldsLayout(const TIniStore& Store, const QString& Section,
                                          const QString& DataSetName, const QVector<TFieldLayout>& Fields,
                                          bool RestoreVisible)
{
    QVector<TFieldLayout> out = Fields;
    QVector<QPair<QString, int>> targets;
    for (int i = 0; i < out.size(); ++i) {
        const QString text = IniStorageReadString(Store, Section, DataSetName + out[i].FieldName, QString());
        if (text.isEmpty())
            continue;
        QVector<bool> found;
        const QVector<int> v = layoutNumbers(text, {i, out[i].DisplayWidth, out[i].Visible ? 1 : 0}, &found);
        out[i].DisplayWidth = v[1];
        if (RestoreVisible)
            out[i].Visible = v[2] != 0;
        if (found[0])
            targets.append({out[i].FieldName, v[0]});
    }
    moveToIndexes(out, targets);
    return out;
}
