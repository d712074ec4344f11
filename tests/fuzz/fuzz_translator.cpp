// The dialect translator on any text: it ends, stays within its depth, and
// gives text no longer than a bounded multiple of the input.
#include "Exceptions.h"
#include "FuzzSupport.h"
#include "SqlDialect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString sql = kvfuzz::Text(data, size);
    try {
        const QString out = SqlDialect::ToSqlite(sql);
        kvfuzz::Check(out.size() <= 8 * sql.size() + 64);
    } catch (const EDatabaseError&) {
        // nested past the limit: refused with its message
    }
    const QString cut = SqlDialect::WithoutTrailingOrderBy(sql);
    kvfuzz::Check(sql.startsWith(cut));
    return 0;
}
