#include "RowStore.h"
#include <QDateTime>
#include <QStringDecoder>
#include <cstdlib>
#include <cstring>
#include <new>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

// Tags of the stored values. Integers take as many bytes as they need; a
// text of up to 239 bytes has its length in the tag.
namespace {
enum : uint8_t {
    kNull = 0,
    kInt1 = 1,  // .. kInt8 = 8: that many bytes, little-endian, signed
    kFloat = 9,
    kDateTime = 10,
    kDate = 11,
    kTime = 12,
    kLongText = 13,
    kBlob = 14,
    kShortText = 16
};
constexpr int kShortTextMax = 255 - kShortText;
constexpr qint64 kMsPerDay = 86400000;

// Memory freed in one go above this is handed back to the system at once.
constexpr size_t kTrimAbove = size_t(1) << 20;

// A stored text as it is: a leading U+FEFF is a character of the text, not
// a byte order mark to drop (as QString::fromUtf8 takes it).
QString storedText(const char* data, int size)
{
    if (size < 3 || std::memcmp(data, "\xEF\xBB\xBF", 3) != 0)
        return QString::fromUtf8(data, size);
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return utf8.decode(QByteArrayView(data, size));
}

template <typename T>
T readRaw(const char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

int intBytes(qint64 v)
{
    int n = 1;
    while (n < 8) {
        const qint64 limit = qint64(1) << (8 * n - 1);
        if (v >= -limit && v < limit)
            break;
        ++n;
    }
    return n;
}
}  // namespace

struct TRowStore::Batch {
    char* data = nullptr;
    uint32_t size = 0;
    uint32_t capacity = 0;
    int rows = 0;
    uint32_t start[kBatchRows + 1] = {0};
    ~Batch() { std::free(data); }
};

QVariant TValueRef::toVariant() const
{
    switch (kind) {
    case Null: return QVariant();
    case Int: return QVariant(qlonglong(i));
    case Float: return QVariant(d);
    case Text: return QVariant(storedText(data, size));
    case Blob: return QVariant(QByteArray(data, size));
    case DateTime:
        return QVariant(QDateTime(QDate::fromJulianDay(i / kMsPerDay),
                                  QTime::fromMSecsSinceStartOfDay(int(i % kMsPerDay)), Qt::UTC));
    case Date: return QVariant(QDate::fromJulianDay(i));
    case Time: return QVariant(QTime::fromMSecsSinceStartOfDay(int(i)));
    }
    return QVariant();
}

const char* DecodeValue(const char* p, TValueRef& out)
{
    const uint8_t tag = uint8_t(*p++);
    out = TValueRef();
    if (tag >= kShortText) {
        out.kind = TValueRef::Text;
        out.data = p;
        out.size = tag - kShortText;
        return p + out.size;
    }
    switch (tag) {
    case kNull:
        return p;
    case kFloat:
        out.kind = TValueRef::Float;
        out.d = readRaw<double>(p);
        return p + 8;
    case kDateTime:
        out.kind = TValueRef::DateTime;
        out.i = readRaw<qint64>(p);
        return p + 8;
    case kDate:
    case kTime:
        out.kind = tag == kDate ? TValueRef::Date : TValueRef::Time;
        out.i = readRaw<qint32>(p);
        return p + 4;
    case kLongText:
    case kBlob:
        out.kind = tag == kBlob ? TValueRef::Blob : TValueRef::Text;
        out.size = int(readRaw<uint32_t>(p));
        out.data = p + 4;
        return out.data + out.size;
    default: {
        // kInt1 .. kInt8: sign-extend from the top byte.
        const int n = tag;
        quint64 u = 0;
        std::memcpy(&u, p, size_t(n));
        if (n < 8 && (u >> (8 * n - 1)) & 1)
            u |= ~quint64(0) << (8 * n);
        out.kind = TValueRef::Int;
        out.i = qint64(u);
        return p + n;
    }
    }
}

TRowStore::TRowStore() = default;

TRowStore::~TRowStore()
{
    Clear();
}

TRowStore::TRowStore(TRowStore&& other) noexcept
    : m_batches(std::move(other.m_batches)), m_base(other.m_base), m_end(other.m_end),
      m_lastBatchBytes(other.m_lastBatchBytes)
{
    other.m_batches.clear();
    other.m_base = other.m_end = 0;
}

TRowStore& TRowStore::operator=(TRowStore&& other) noexcept
{
    if (this != &other) {
        Clear();
        m_batches = std::move(other.m_batches);
        m_base = other.m_base;
        m_end = other.m_end;
        m_lastBatchBytes = other.m_lastBatchBytes;
        other.m_batches.clear();
        other.m_base = other.m_end = 0;
    }
    return *this;
}

const char* TRowStore::rowStart(int row) const
{
    const int index = row - m_base;
    const Batch& b = *m_batches[size_t(index / kBatchRows)];
    return b.data + b.start[index % kBatchRows];
}

QByteArrayView TRowStore::RowBytes(int row) const
{
    if (!Holds(row))
        return QByteArrayView();
    const int index = row - m_base;
    const Batch& b = *m_batches[size_t(index / kBatchRows)];
    const int k = index % kBatchRows;
    return QByteArrayView(b.data + b.start[k], qsizetype(b.start[k + 1] - b.start[k]));
}

TValueRef TRowStore::Value(int row, int column) const
{
    TValueRef v;
    const QByteArrayView bytes = RowBytes(row);
    if (bytes.isEmpty() || column < 0)
        return v;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    for (int c = 0; c <= column; ++c) {
        if (p >= end)
            return TValueRef();
        p = DecodeValue(p, v);
    }
    return v;
}

void TRowStore::Values(int row, TValueRef* out, int count) const
{
    const QByteArrayView bytes = RowBytes(row);
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    for (int c = 0; c < count; ++c) {
        if (p && p < end)
            p = DecodeValue(p, out[c]);
        else
            out[c] = TValueRef();
    }
}

TRowStore::Batch& TRowStore::writing()
{
    if (m_batches.empty() || m_batches.back()->rows == kBatchRows) {
        if (!m_batches.empty()) {
            // A full batch keeps only what it uses; the next one starts at
            // about that size, so rows of one statement rarely move again.
            Batch& full = *m_batches.back();
            m_lastBatchBytes = full.size;
            if (full.capacity > full.size) {
                if (char* shrunk = static_cast<char*>(std::realloc(full.data, full.size ? full.size : 1))) {
                    full.data = shrunk;
                    full.capacity = full.size;
                }
            }
        }
        auto batch = std::make_unique<Batch>();
        const size_t guess = m_lastBatchBytes ? m_lastBatchBytes + m_lastBatchBytes / 8 : 16 * 1024;
        batch->data = static_cast<char*>(std::malloc(guess));
        if (!batch->data)
            throw std::bad_alloc();
        batch->capacity = uint32_t(guess);
        m_batches.push_back(std::move(batch));
    }
    return *m_batches.back();
}

char* TRowStore::reserve(qsizetype bytes)
{
    Batch& b = *m_batches.back();
    const size_t need = size_t(b.size) + size_t(bytes);
    if (need > b.capacity) {
        size_t cap = qMax<size_t>(size_t(b.capacity) * 2, need);
        if (cap > UINT32_MAX) {
            cap = need;
            if (cap > UINT32_MAX)
                throw std::bad_alloc();
        }
        char* grown = static_cast<char*>(std::realloc(b.data, cap));
        if (!grown)
            throw std::bad_alloc();
        b.data = grown;
        b.capacity = uint32_t(cap);
    }
    return b.data + b.size;
}

void TRowStore::BeginRow()
{
    Batch& b = writing();
    b.size = b.start[b.rows];
}

void TRowStore::PutNull()
{
    *reserve(1) = char(kNull);
    ++m_batches.back()->size;
}

void TRowStore::PutInt(qint64 v)
{
    const int n = intBytes(v);
    char* p = reserve(1 + n);
    *p = char(kInt1 + n - 1);
    const quint64 u = quint64(v);
    std::memcpy(p + 1, &u, size_t(n));  // little-endian hosts
    m_batches.back()->size += uint32_t(1 + n);
}

void TRowStore::PutFloat(double v)
{
    char* p = reserve(9);
    *p = char(kFloat);
    std::memcpy(p + 1, &v, 8);
    m_batches.back()->size += 9;
}

void TRowStore::PutText(const char* utf8, qsizetype size)
{
    if (size <= kShortTextMax) {
        char* p = reserve(1 + size);
        *p = char(kShortText + size);
        if (size)
            std::memcpy(p + 1, utf8, size_t(size));
        m_batches.back()->size += uint32_t(1 + size);
        return;
    }
    char* p = reserve(5 + size);
    *p = char(kLongText);
    const uint32_t n = uint32_t(size);
    std::memcpy(p + 1, &n, 4);
    std::memcpy(p + 5, utf8, size_t(size));
    m_batches.back()->size += uint32_t(5 + size);
}

void TRowStore::PutBlob(const char* bytes, qsizetype size)
{
    char* p = reserve(5 + size);
    *p = char(kBlob);
    const uint32_t n = uint32_t(size);
    std::memcpy(p + 1, &n, 4);
    if (size)
        std::memcpy(p + 5, bytes, size_t(size));
    m_batches.back()->size += uint32_t(5 + size);
}

void TRowStore::PutDateTime(qint64 julianMsecs)
{
    char* p = reserve(9);
    *p = char(kDateTime);
    std::memcpy(p + 1, &julianMsecs, 8);
    m_batches.back()->size += 9;
}

void TRowStore::PutDate(qint64 julianDay)
{
    char* p = reserve(5);
    *p = char(kDate);
    const qint32 v = qint32(julianDay);
    std::memcpy(p + 1, &v, 4);
    m_batches.back()->size += 5;
}

void TRowStore::PutTime(int msecsOfDay)
{
    char* p = reserve(5);
    *p = char(kTime);
    const qint32 v = msecsOfDay;
    std::memcpy(p + 1, &v, 4);
    m_batches.back()->size += 5;
}

void TRowStore::PutVariant(const QVariant& v)
{
    if (!v.isValid() || v.isNull()) {
        PutNull();
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
        PutInt(v.toBool() ? 1 : 0);
        return;
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
        PutInt(v.toLongLong());
        return;
    case QMetaType::Double: case QMetaType::Float:
        PutFloat(v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        PutBlob(b.constData(), b.size());
        return;
    }
    case QMetaType::QDateTime: {
        // The wall-clock date and time, whatever zone the driver named.
        const QDateTime dt = v.toDateTime();
        PutDateTime(dt.date().toJulianDay() * kMsPerDay + dt.time().msecsSinceStartOfDay());
        return;
    }
    case QMetaType::QDate:
        PutDate(v.toDate().toJulianDay());
        return;
    case QMetaType::QTime:
        PutTime(v.toTime().msecsSinceStartOfDay());
        return;
    default: {
        const QByteArray text = v.toString().toUtf8();
        PutText(text.constData(), text.size());
        return;
    }
    }
}

void TRowStore::EndRow()
{
    Batch& b = *m_batches.back();
    b.start[++b.rows] = b.size;
    ++m_end;
}

void TRowStore::CancelRow()
{
    if (!m_batches.empty()) {
        Batch& b = *m_batches.back();
        b.size = b.start[b.rows];
    }
}

void TRowStore::DropBefore(int row)
{
    size_t drop = row > m_base ? size_t((row - m_base) / kBatchRows) : 0;
    drop = qMin(drop, m_batches.size());
    if (drop == 0)
        return;
    m_batches.erase(m_batches.begin(), m_batches.begin() + qsizetype(drop));
    m_base += int(drop) * kBatchRows;
    if (m_batches.empty())
        m_base = m_end;
}

void TRowStore::Clear()
{
    const size_t freed = MemoryUsed();
    m_batches.clear();
    m_batches.shrink_to_fit();
    m_base = m_end = 0;
    m_lastBatchBytes = 0;
#if defined(__GLIBC__)
    if (freed > kTrimAbove)
        malloc_trim(0);
#endif
}

size_t TRowStore::MemoryUsed() const
{
    size_t bytes = 0;
    for (const auto& b : m_batches)
        bytes += sizeof(Batch) + b->capacity;
    return bytes;
}
