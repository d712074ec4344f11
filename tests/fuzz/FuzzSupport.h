#pragma once
// What the fuzz targets share: the input as text, and a fixed setting of
// the regional formats and the clock so a run repeats exactly.
#include "Clock.h"
#include "Locale.h"
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace kvfuzz {

inline void Init()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    SetFormatSettings(TFormatSettings::DayFirstEnglish());
    Clock::SetFixed(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
}

inline QString Text(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A finding: the fuzzer stops and keeps the input.
inline void Check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace kvfuzz
