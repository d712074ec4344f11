#pragma once
// The six address lines of the customer and supplier editors, and how their
// statements write them.
#include "RecordEditor.h"
#include <array>

class QLineEdit;

using TAddressTexts = std::array<QString, 6>;

// The trimmed texts of the six address edits, each cut to its 255
// characters.
TAddressTexts AddressTexts(const std::array<QLineEdit*, 6>& edits);

// The kept value of address n (1 to 6) is named AddressNN.
QString AddressName(int n);

// Adding: the addresses that are not empty go into two column and value
// lines, Address01 to Address04 and then Address05 and Address06, as
// " Address01, Address03," and " 'a', 'c',"; each gets its audit row.
// The second pair is left for the caller to extend.
void AddressInsertLines(const TAddressTexts& addresses, QString columns[2], QString values[2],
                        TAuditTrail* audit);

// Changing: a line of its own for each address that differs from its kept
// value (" Address01 = 'a'," or " Address01 = NULL,"), with its audit row.
void AddressUpdateLines(const TAddressTexts& addresses, const TKeptValues& kept, QStringList& lines,
                        TAuditTrail* audit);
