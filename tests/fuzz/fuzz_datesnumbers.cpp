// Dates and numbers typed or stored as text: the date edit's parser (format
// and text both from the input), stored date-times, integers, floats and the
// SQL number check; a double spliced into SQL reads back as itself.
#include "DB.h"
#include "DateUtil.h"
#include "Formats.h"
#include "FuzzSupport.h"
#include "SqlText.h"
#include "SysUtils.h"
#include <QLocale>
#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kvfuzz::Init();
    const QString all = kvfuzz::Text(data, size);
    const qsizetype bar = all.indexOf(QChar('|'));
    const QString format = bar >= 0 ? all.left(bar) : QStringLiteral("DD/MM/YYYY");
    const QString text = bar >= 0 ? all.mid(bar + 1) : all;

    TDateTime d = 0;
    if (TryParseDateFmt(format, text, d))
        kvfuzz::Check(d == NullDate || IsValidDateValue(d));
    QDateTime dt;
    if (FieldConv::ParseDateTimeText(text, dt))
        kvfuzz::Check(dt.isValid());

    int i = 0;
    if (TryStrToInt(text, i))
        kvfuzz::Check(StrToInt(text) == i);
    double f = 0;
    TryStrToFloat(text, f);
    if (IsSqlNumber(text)) {
        bool ok = false;
        kvfuzz::Check(std::isfinite(QLocale::c().toDouble(text.trimmed(), &ok)) && ok);
    }

    if (size >= sizeof(double)) {
        double v;
        std::memcpy(&v, data, sizeof v);
        if (std::isfinite(v)) {
            const QString s = SqlFloat(v);
            kvfuzz::Check(IsSqlNumber(s));
            kvfuzz::Check(QLocale::c().toDouble(s) == v);
        }
    }
    return 0;
}
