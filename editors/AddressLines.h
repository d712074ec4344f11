#pragma once
// What the customer and supplier editors share: the six address lines, how
// their statements write them, the Active box that is shown but never
// written, and the line of switches an UPDATE writes whole.
#include "RecordEditor.h"
#include <array>
#include <initializer_list>
#include <utility>

class QCheckBox;
class QLineEdit;

using TAddressTexts = std::array<QString, 6>;

// The kept value of address n (1 to 6) is named AddressNN.
QString AddressName(int n);

// Adding: the addresses that are not empty go into two column and value
// lines, Address01 to Address04 and then Address05 and Address06, as
// " Address01, Address03," and " 'a', 'c',"; each gets its audit row.
// The second pair is left for the caller to extend.
void AddressInsertLines(const TAddressTexts& addresses, QString columns[2], QString values[2],
                        TAuditTrail* audit);
// The pairs AddressInsertLines built that are not empty, each as a column
// line and a value line of the INSERT.
void AppendAddressLines(const QString columns[2], const QString values[2], QStringList& columnLines,
                        QStringList& valueLines);

// Changing: a line of its own for each address that differs from its kept
// value (" Address01 = 'a'," or " Address01 = NULL,"), with its audit row.
void AddressUpdateLines(const TAddressTexts& addresses, const TKeptValues& kept, QStringList& lines,
                        TAuditTrail* audit);

// A switch by its column name (also its kept value's name) and its state.
using TSwitch = std::pair<const char*, bool>;

// An editor of a row with six address lines and an Active box.
class TAddressEditor : public TRecordEditor {
    Q_OBJECT

public:
    static constexpr int kAddresses = 6;

    std::array<QLineEdit*, kAddresses> edtAddress{};  // edtAddress01 ..
    QCheckBox* ckActive = nullptr;                    // shown, never written

    QString Address(int n) const;  // n = 1 .. 6; as TextOf gives it
    void SetAddress(int n, const QString& v);
    bool Active() const;
    void SetActive(bool v);

protected:
    explicit TAddressEditor(QWidget* owner) : TRecordEditor(owner) {}

    // The texts of the six address edits as a save takes them (TextOf).
    TAddressTexts AddressTexts() const;
    // Each address takes at most 255 typed characters.
    void LimitAddressTyping();
    // The Active box, checked; the operator cannot change it.
    void AddActiveBox(int left, int top, int width);
    // The six addresses of the row as its save reads it again.
    static void StoredAddresses(TStoredRow& row);
    // Every switch as " Name = 1," (or 0) on `line`; the audit row of each
    // one that differs from its kept value.
    void SwitchLine(QString& line, std::initializer_list<TSwitch> switches, TAuditTrail* audit) const;
};
