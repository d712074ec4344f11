#pragma once
// Properties of an object to and from text, for the placement file: the
// object's Qt properties, and for a widget also its geometry under the
// names Left, Top, Width and Height (a widget's Width is not a Qt
// property). Each kind has its own text form: integers in decimal, enums and
// booleans by name, flag sets as "[A,B]", floats with ".", strings as they
// are, string lists as a sub-section with "Count" and "Item0"..., object
// references by name, owned objects property by property.
#include <QList>
#include <QMetaProperty>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The property kinds; each has its own text form.
enum TTypeKind { tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass,
                 tkMethod, tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface,
                 tkInt64, tkDynArray };

struct TPropInfo {
    QString Name;
    TTypeKind Kind = tkUnknown;
    // Where the value lives: the widget's geometry, a declared Qt property
    // (MetaIndex) or a dynamic property.
    enum TSource { Geometry, Meta, Dynamic } Source = Meta;
    int MetaIndex = -1;
};

// The properties of one object that can be kept: geometry first for a
// widget, then its declared properties (readable, writable, stored; not
// objectName), then its dynamic properties. Lookup ignores case.
class TPropInfoList {
public:
    explicit TPropInfoList(const QObject* Object);
    int Count() const { return int(m_items.size()); }
    const TPropInfo& Items(int Index) const { return m_items.at(Index); }
    const TPropInfo* Find(const QString& Name) const;
    bool Contains(const QString& Name) const { return Find(Name) != nullptr; }

private:
    QList<TPropInfo> m_items;
};

// The kind of a declared property.
TTypeKind PropertyKind(const QMetaProperty& Property);

// One kept line of a form storage: "Component.Property" and the component.
struct TStoredProp {
    QString Line;
    QPointer<QObject> Object;
};

// Writes and reads the properties of one object under Section, each key
// being Prefix followed by the property name.
class TPropsStorage {
public:
    TPropsStorage() = default;
    virtual ~TPropsStorage() = default;

    QObject* AObject = nullptr;
    QObject* Owner = nullptr;  // the form the object lives on
    QString Prefix;
    QString Section;
    std::function<QString(const QString& Section, const QString& Ident, const QString& Default)> OnReadString;
    std::function<void(const QString& Section, const QString& Ident, const QString& Value)> OnWriteString;
    std::function<void(const QString& Section)> OnEraseSection;

    // Each calls its handler; a read without one gives an empty text.
    virtual QString ReadString(const QString& ASection, const QString& Item, const QString& Default);
    virtual void WriteString(const QString& ASection, const QString& Item, const QString& Value);
    virtual void EraseSection(const QString& ASection);
    virtual QString GetItemName(const QString& APropName) const { return Prefix + APropName; }
    // A storage with the same handlers, for a nested object.
    virtual std::unique_ptr<TPropsStorage> CreateStorage() const;

    // The named properties of AObject (names it lacks are passed over).
    void StoreProperties(const QStringList& PropNames);
    void LoadProperties(const QStringList& PropNames);
    // Every line's property of the line's object, with Prefix set to the
    // object's name and "_".
    void StoreObjectsProps(const QList<TStoredProp>& Lines);
    void LoadObjectsProps(const QList<TStoredProp>& Lines);

    // The text of one property of AObject, and setting it from text.
    QString StoreAnyProperty(const TPropInfo& Info);
    void LoadAnyProperty(const TPropInfo& Info);

private:
    QString readValue(const TPropInfo& Info) const;     // the property as text
    void writeValue(const TPropInfo& Info, const QString& Text);
    QVariant rawValue(const TPropInfo& Info) const;
    void setRawValue(const TPropInfo& Info, const QVariant& Value);
    QString stringsSection(const TPropInfo& Info) const;
    void storeStrings(const TPropInfo& Info);
    void loadStrings(const TPropInfo& Info);
    // How a property is kept, the same way both ways: a string list in a
    // section of its own, an owned object property by property (Nested),
    // not at all, or as one text.
    enum class TPropRoute { Strings, Nested, Skipped, Text };
    TPropRoute route(const TPropInfo& Info, QObject*& Nested) const;
    // Action on each property of an owned object, through a storage whose
    // prefix is this property's key and ".".
    void forEachNested(const TPropInfo& Info, QObject* Nested,
                       const std::function<void(TPropsStorage&, const TPropInfo&)>& Action);
    QObject* ownedObject(const TPropInfo& Info) const;
};

// Splits "Component.Property" at the first "."; both parts trimmed. False
// when either is empty.
bool ParseStoredPropsItem(const QString& Item, QString& CompName, QString& PropName);
// The name of an object reference as it is kept: its name, qualified by its
// form's name when it lives on another form than Owner; "(null)" for none.
QString ComponentReferenceName(const QObject* Component, const QObject* Owner);
// Finds a referenced object again: on Owner's form by plain name, else
// among the top-level windows (and their objects) by "Form.Name".
QObject* FindComponentReference(const QString& Name, const QObject* Owner);
