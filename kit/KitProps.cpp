#include "KitProps.h"
#include "Formats.h"
#include "KitSplit.h"  // AlignControls
#include "Locale.h"
#include "SysUtils.h"
#include <QApplication>
#include <QHash>
#include <QMetaEnum>
#include <QWidget>

namespace {

const char* const GeometryNames[] = {"Left", "Top", "Width", "Height"};

TTypeKind KindOfType(QMetaType Type)
{
    switch (Type.id()) {
    case QMetaType::Bool:
        return tkEnumeration;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return tkInteger;
    case QMetaType::Char:
    case QMetaType::QChar:
    case QMetaType::Char16:
        return tkChar;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return tkInt64;
    case QMetaType::Double:
    case QMetaType::Float:
        return tkFloat;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return tkLString;
    case QMetaType::QStringList:
        return tkClass;
    case QMetaType::QVariant:
        return tkVariant;
    default:
        break;
    }
    if (Type.flags() & QMetaType::PointerToQObject)
        return tkClass;
    // Value types with a text form of their own (colours, dates, ...) go
    // through it; the rest (rectangles, lists, ...) are records and skipped.
    const QMetaType text = QMetaType::fromType<QString>();
    if (Type.isValid() && QMetaType::canConvert(Type, text) && QMetaType::canConvert(text, Type))
        return tkVariant;
    return tkRecord;
}

QObject* FormOf(const QObject* Object)
{
    for (const QObject* o = Object; o; o = o->parent()) {
        if (const auto* w = qobject_cast<const QWidget*>(o))
            return w->window();
    }
    return nullptr;
}

bool SameText(const QString& A, const QString& B)
{
    return A.compare(B, Qt::CaseInsensitive) == 0;
}

QString EnumText(const QMetaEnum& Enum, int Value)
{
    const char* key = Enum.valueToKey(Value);
    return key ? QString::fromLatin1(key) : QString::number(Value);
}

// The enum value of a name, ignoring case; false when none matches.
bool EnumValue(const QMetaEnum& Enum, const QString& Name, int& Value)
{
    for (int i = 0; i < Enum.keyCount(); ++i) {
        if (SameText(QString::fromLatin1(Enum.key(i)), Name)) {
            Value = Enum.value(i);
            return true;
        }
    }
    return false;
}

QString FloatToText(double Value)
{
    QString s = FloatToStr(Value);
    return s.replace(FormatSettings().DecimalSeparator, QChar('.'));
}

double TextToFloat(const QString& Text)
{
    QString s = Text;
    return StrToFloat(s.replace(QChar('.'), FormatSettings().DecimalSeparator));
}

}  // namespace

TTypeKind PropertyKind(const QMetaProperty& Property)
{
    if (Property.isFlagType())
        return tkSet;
    if (Property.isEnumType())
        return tkEnumeration;
    return KindOfType(Property.metaType());
}

// ---------------------------------------------------------------- property list

TPropInfoList::TPropInfoList(const QObject* Object)
{
    if (!Object)
        return;
    if (qobject_cast<const QWidget*>(Object)) {
        for (const char* name : GeometryNames)
            m_items.append({QString::fromLatin1(name), tkInteger, TPropInfo::Geometry, -1});
    }
    const QMetaObject* meta = Object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isReadable() || !p.isWritable() || !p.isStored() || qstrcmp(p.name(), "objectName") == 0)
            continue;
        m_items.append({QString::fromLatin1(p.name()), PropertyKind(p), TPropInfo::Meta, i});
    }
    for (const QByteArray& name : Object->dynamicPropertyNames()) {
        if (name.startsWith("_q_"))
            continue;
        m_items.append({QString::fromLatin1(name), KindOfType(Object->property(name).metaType()),
                        TPropInfo::Dynamic, -1});
    }
}

const TPropInfo* TPropInfoList::Find(const QString& Name) const
{
    // An exact match first: Qt names differ from one another only by case
    // in rare cases, and the exact one is then meant.
    for (const TPropInfo& info : m_items)
        if (info.Name == Name)
            return &info;
    for (const TPropInfo& info : m_items)
        if (SameText(info.Name, Name))
            return &info;
    return nullptr;
}

// ---------------------------------------------------------------- helpers

bool ParseStoredPropsItem(const QString& Item, QString& CompName, QString& PropName)
{
    const qsizetype dot = Item.indexOf(QChar('.'));
    if (dot < 0)
        return false;
    CompName = Item.left(dot).trimmed();
    PropName = Item.mid(dot + 1).trimmed();
    return !CompName.isEmpty() && !PropName.isEmpty();
}

QString ComponentReferenceName(const QObject* Component, const QObject* Owner)
{
    if (!Component)
        return QStringLiteral("(null)");
    const QObject* form = FormOf(Component);
    if (form && form != Component && form != FormOf(Owner))
        return form->objectName() + QChar('.') + Component->objectName();
    return Component->objectName();
}

QObject* FindComponentReference(const QString& Name, const QObject* Owner)
{
    if (Name.isEmpty() || Name == QLatin1String("(null)"))
        return nullptr;
    const qsizetype dot = Name.indexOf(QChar('.'));
    if (dot < 0) {
        if (QObject* form = FormOf(Owner)) {
            if (form->objectName() == Name)
                return form;
            if (QObject* found = form->findChild<QObject*>(Name))
                return found;
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == Name)
                return w;
        return nullptr;
    }
    const QString formName = Name.left(dot);
    const QString compName = Name.mid(dot + 1);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == formName)
            return w->findChild<QObject*>(compName);
    return nullptr;
}

// ---------------------------------------------------------------- storage

QString TPropsStorage::ReadString(const QString& ASection, const QString& Item, const QString& Default)
{
    return OnReadString ? OnReadString(ASection, Item, Default) : QString();
}

void TPropsStorage::WriteString(const QString& ASection, const QString& Item, const QString& Value)
{
    if (OnWriteString)
        OnWriteString(ASection, Item, Value);
}

void TPropsStorage::EraseSection(const QString& ASection)
{
    if (OnEraseSection)
        OnEraseSection(ASection);
}

std::unique_ptr<TPropsStorage> TPropsStorage::CreateStorage() const
{
    auto storage = std::make_unique<TPropsStorage>();
    storage->Owner = Owner;
    storage->Section = Section;
    storage->OnReadString = OnReadString;
    storage->OnWriteString = OnWriteString;
    storage->OnEraseSection = OnEraseSection;
    return storage;
}

QVariant TPropsStorage::rawValue(const TPropInfo& Info) const
{
    switch (Info.Source) {
    case TPropInfo::Geometry: {
        const auto* w = static_cast<const QWidget*>(AObject);
        if (Info.Name == QLatin1String("Left"))
            return w->x();
        if (Info.Name == QLatin1String("Top"))
            return w->y();
        if (Info.Name == QLatin1String("Width"))
            return w->width();
        return w->height();
    }
    case TPropInfo::Meta:
        return AObject->metaObject()->property(Info.MetaIndex).read(AObject);
    case TPropInfo::Dynamic:
        return AObject->property(Info.Name.toLatin1());
    }
    return QVariant();
}

void TPropsStorage::setRawValue(const TPropInfo& Info, const QVariant& Value)
{
    switch (Info.Source) {
    case TPropInfo::Geometry: {
        auto* w = static_cast<QWidget*>(AObject);
        const int v = Value.toInt();
        if (Info.Name == QLatin1String("Left")) {
            w->move(v, w->y());
        } else if (Info.Name == QLatin1String("Top")) {
            w->move(w->x(), v);
        } else if (Info.Name == QLatin1String("Width")) {
            // A width the layout holds fixed is the width to change.
            if (w->minimumWidth() == w->maximumWidth())
                w->setFixedWidth(v);
            else
                w->resize(v, w->height());
        } else {
            if (w->minimumHeight() == w->maximumHeight())
                w->setFixedHeight(v);
            else
                w->resize(w->width(), v);
        }
        // Docked neighbours follow the new size.
        if (!w->isWindow())
            AlignControls(w->parentWidget());
        break;
    }
    case TPropInfo::Meta:
        AObject->metaObject()->property(Info.MetaIndex).write(AObject, Value);
        break;
    case TPropInfo::Dynamic:
        AObject->setProperty(Info.Name.toLatin1(), Value);
        break;
    }
}

QString TPropsStorage::readValue(const TPropInfo& Info) const
{
    const QVariant v = rawValue(Info);
    switch (Info.Kind) {
    case tkInteger:
    case tkInt64:
        return QString::number(v.toLongLong());
    case tkChar:
    case tkWChar: {
        const QChar c = v.metaType().id() == QMetaType::QChar ? v.value<QChar>() : QChar(v.toInt());
        return c.isNull() ? QString() : QString(c);
    }
    case tkEnumeration:
        if (Info.Source == TPropInfo::Meta) {
            const QMetaProperty p = AObject->metaObject()->property(Info.MetaIndex);
            if (p.isEnumType())
                return EnumText(p.enumerator(), v.toInt());
        }
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case tkSet: {
        const QMetaEnum e = AObject->metaObject()->property(Info.MetaIndex).enumerator();
        const int bits = v.toInt();
        QStringList names;
        int named = 0;
        for (int i = 0; i < e.keyCount(); ++i) {
            const int k = e.value(i);
            // Single bits only, each under its first name: combined keys
            // and aliases would name a bit twice.
            if (k != 0 && (k & (k - 1)) == 0 && (bits & k) == k && !(named & k)) {
                names << QString::fromLatin1(e.key(i));
                named |= k;
            }
        }
        return QChar('[') + names.join(QChar(',')) + QChar(']');
    }
    case tkFloat:
        return FloatToText(v.toDouble());
    case tkString:
    case tkLString:
    case tkVariant:
        return v.toString();
    case tkClass:
        return ComponentReferenceName(v.value<QObject*>(), Owner ? Owner : AObject);
    default:
        return QString();
    }
}

void TPropsStorage::writeValue(const TPropInfo& Info, const QString& Text)
{
    switch (Info.Kind) {
    case tkInteger:
        setRawValue(Info, StrToIntDef(Text, 0));
        break;
    case tkInt64: {
        bool ok = false;
        const qlonglong v = Text.trimmed().toLongLong(&ok);
        setRawValue(Info, ok ? v : 0);
        break;
    }
    case tkChar:
    case tkWChar:
        if (!Text.isEmpty()) {
            const QVariant current = rawValue(Info);
            if (current.metaType().id() == QMetaType::QChar)
                setRawValue(Info, QVariant::fromValue(Text.at(0)));
            else
                setRawValue(Info, int(Text.at(0).unicode()));
        }
        break;
    case tkEnumeration: {
        if (Info.Source == TPropInfo::Meta) {
            const QMetaProperty p = AObject->metaObject()->property(Info.MetaIndex);
            if (p.isEnumType()) {
                int v = 0;
                if (EnumValue(p.enumerator(), Text, v))
                    setRawValue(Info, v);
                break;
            }
        }
        if (SameText(Text, QStringLiteral("True")))
            setRawValue(Info, true);
        else if (SameText(Text, QStringLiteral("False")))
            setRawValue(Info, false);
        break;
    }
    case tkSet: {
        const QMetaEnum e = AObject->metaObject()->property(Info.MetaIndex).enumerator();
        QString body = Text.trimmed();
        if (body.startsWith(QChar('[')))
            body.remove(0, 1);
        if (body.endsWith(QChar(']')))
            body.chop(1);
        int bits = 0;
        for (const QString& name : body.split(QChar(','), Qt::SkipEmptyParts)) {
            int v = 0;
            if (EnumValue(e, name.trimmed(), v))
                bits |= v;
        }
        setRawValue(Info, bits);
        break;
    }
    case tkFloat:
        setRawValue(Info, TextToFloat(Text));
        break;
    case tkString:
    case tkLString:
        setRawValue(Info, Text);
        break;
    case tkVariant: {
        QVariant v(Text);
        const QMetaType type = Info.Source == TPropInfo::Meta
                                   ? AObject->metaObject()->property(Info.MetaIndex).metaType()
                                   : rawValue(Info).metaType();
        if (type.isValid() && type.id() != QMetaType::QVariant && type.id() != QMetaType::QString)
            v.convert(type);
        setRawValue(Info, v);
        break;
    }
    case tkClass: {
        QObject* found = FindComponentReference(Text, Owner ? Owner : AObject);
        if (found || Text == QLatin1String("(null)")) {
            QVariant v = QVariant::fromValue(found);
            if (Info.Source == TPropInfo::Meta)
                v.convert(AObject->metaObject()->property(Info.MetaIndex).metaType());
            setRawValue(Info, v);
        }
        break;
    }
    default:
        break;
    }
}

QObject* TPropsStorage::ownedObject(const TPropInfo& Info) const
{
    QObject* o = rawValue(Info).value<QObject*>();
    return o && o->parent() == AObject ? o : nullptr;
}

QString TPropsStorage::stringsSection(const TPropInfo& Info) const
{
    return QStringLiteral("%1.%2").arg(Section, GetItemName(Info.Name));
}

void TPropsStorage::storeStrings(const TPropInfo& Info)
{
    const QStringList lines = rawValue(Info).toStringList();
    const QString section = stringsSection(Info);
    EraseSection(section);
    WriteString(section, QStringLiteral("Count"), QString::number(lines.size()));
    for (int i = 0; i < lines.size(); ++i)
        WriteString(section, QStringLiteral("Item%1").arg(i), lines.at(i));
}

void TPropsStorage::loadStrings(const TPropInfo& Info)
{
    const QStringList current = rawValue(Info).toStringList();
    const QString section = stringsSection(Info);
    const int count =
        StrToIntDef(ReadString(section, QStringLiteral("Count"), QString::number(current.size())), 0);
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << ReadString(section, QStringLiteral("Item%1").arg(i), i < current.size() ? current.at(i) : QString());
    setRawValue(Info, lines);
}

void TPropsStorage::forEachNested(const TPropInfo& Info, QObject* Nested,
                                 const std::function<void(TPropsStorage&, const TPropInfo&)>& Action)
{
    std::unique_ptr<TPropsStorage> nested = CreateStorage();
    nested->AObject = Nested;
    nested->Prefix = GetItemName(Info.Name) + QChar('.');
    const TPropInfoList list(Nested);
    for (int i = 0; i < list.Count(); ++i)
        Action(*nested, list.Items(i));
}

TPropsStorage::TPropRoute TPropsStorage::route(const TPropInfo& Info, QObject*& Nested) const
{
    Nested = nullptr;
    switch (Info.Kind) {
    case tkClass:
        if (rawValue(Info).metaType().id() == QMetaType::QStringList)
            return TPropRoute::Strings;
        Nested = ownedObject(Info);
        return Nested ? TPropRoute::Nested : TPropRoute::Text;
    case tkMethod:
    case tkRecord:
    case tkArray:
    case tkDynArray:
    case tkWString:
    case tkInterface:
    case tkUnknown:
        return TPropRoute::Skipped;
    default:
        return TPropRoute::Text;
    }
}

QString TPropsStorage::StoreAnyProperty(const TPropInfo& Info)
{
    if (!AObject)
        return QString();
    QObject* nested = nullptr;
    switch (route(Info, nested)) {
    case TPropRoute::Strings:
        storeStrings(Info);
        return QString();
    case TPropRoute::Nested:
        forEachNested(Info, nested,
                      [](TPropsStorage& storage, const TPropInfo& info) { storage.StoreAnyProperty(info); });
        return QString();
    case TPropRoute::Skipped:
        return QString();
    case TPropRoute::Text:
        break;
    }
    const QString text = readValue(Info).trimmed();
    const bool stringKind = Info.Kind == tkString || Info.Kind == tkLString || Info.Kind == tkChar
                            || Info.Kind == tkWChar;
    if (!text.isEmpty() || stringKind)
        WriteString(Section, GetItemName(Info.Name), text);
    return text;
}

void TPropsStorage::LoadAnyProperty(const TPropInfo& Info)
{
    if (!AObject)
        return;
    QObject* nested = nullptr;
    switch (route(Info, nested)) {
    case TPropRoute::Strings:
        loadStrings(Info);
        return;
    case TPropRoute::Nested:
        forEachNested(Info, nested,
                      [](TPropsStorage& storage, const TPropInfo& info) { storage.LoadAnyProperty(info); });
        return;
    case TPropRoute::Skipped:
        return;
    case TPropRoute::Text:
        break;
    }
    const QString text = ReadString(Section, GetItemName(Info.Name), readValue(Info)).trimmed();
    writeValue(Info, text);
}

void TPropsStorage::StoreProperties(const QStringList& PropNames)
{
    const TPropInfoList list(AObject);
    for (const QString& name : PropNames)
        if (const TPropInfo* info = list.Find(name))
            StoreAnyProperty(*info);
}

void TPropsStorage::LoadProperties(const QStringList& PropNames)
{
    const TPropInfoList list(AObject);
    for (const QString& name : PropNames)
        if (const TPropInfo* info = list.Find(name))
            LoadAnyProperty(*info);
}

namespace {

// Runs Action for each line whose object is alive and has the property; the
// property lists are gathered once per object.
void ForEachStoredProp(TPropsStorage& Storage, const QList<TStoredProp>& Lines,
                       const std::function<void(const TPropInfo&)>& Action)
{
    QHash<QObject*, std::shared_ptr<TPropInfoList>> lists;
    for (const TStoredProp& line : Lines) {
        QObject* object = line.Object;
        if (!object)
            continue;
        auto& list = lists[object];
        if (!list)
            list = std::make_shared<TPropInfoList>(object);
        QString compName, propName;
        if (!ParseStoredPropsItem(line.Line, compName, propName))
            continue;
        Storage.AObject = object;
        Storage.Prefix = object->objectName() + QChar('_');
        if (const TPropInfo* info = list->Find(propName))
            Action(*info);
    }
}

}  // namespace

void TPropsStorage::StoreObjectsProps(const QList<TStoredProp>& Lines)
{
    ForEachStoredProp(*this, Lines, [this](const TPropInfo& info) { StoreAnyProperty(info); });
}

void TPropsStorage::LoadObjectsProps(const QList<TStoredProp>& Lines)
{
    ForEachStoredProp(*this, Lines, [this](const TPropInfo& info) { LoadAnyProperty(info); });
}
