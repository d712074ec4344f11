#pragma once
// A field's text, the one AsString gives, written as UTF-8 bytes straight
// from the stored values: for exports that go through every row of a long
// page. Texts are taken as stored, whole numbers written digit by digit,
// floating-point numbers from their shortest exact digits where those are the
// field's text, and the database's date texts ('yyyymmdd', 'yyyymmdd
// hh:mm:ss') become text once per day and once per time of day. Any other
// value, and every value when the regional date and time formats mix dates
// and times, goes through the field's own conversion.
#include "DB.h"
#include <QByteArray>
#include <QHash>
#include <vector>

class TFieldText {
public:
    explicit TFieldText(const TField* field);
    // Appends the value's text to `out`.
    void Append(QByteArray& out, const TValueRef& value);

private:
    enum Kind { Plain, Whole, Real, Stamp, Flag, Other };
    void appendConverted(QByteArray& out, const TValueRef& value);
    bool appendReal(QByteArray& out, double value) const;
    bool appendStamp(QByteArray& out, const TValueRef& value);
    const QByteArray& dayText(int key, const char* digits);

    const TField* m_field;
    Kind m_kind;
    QByteArray m_decimal;  // the regional decimal separator
    int m_lastDay = -1;
    QByteArray m_lastDayText;
    QHash<int, QByteArray> m_days;
    std::vector<QByteArray> m_times;  // by second of the day, made when first met
    QByteArray m_flags[2];            // the texts of 0 and 1
};
