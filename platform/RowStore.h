#pragma once
// Rows as a data set keeps them: every value in a few bytes (a tag byte, then
// the value), the rows of a batch packed one after another in one buffer.
// A million rows of a page take about what their texts take; values become a
// QVariant or a display text only when something reads them.
#include <QByteArrayView>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

// One stored value, read in place: valid while the store keeps its row.
struct TValueRef {
    enum Kind : uint8_t { Null, Int, Float, Text, Blob, DateTime, Date, Time };
    Kind kind = Null;
    qint64 i = 0;  // Int; DateTime: msecs from the start of Julian day 0; Date: Julian day; Time: msecs of the day
    double d = 0.0;
    const char* data = nullptr;  // Text (UTF-8) and Blob
    int size = 0;

    bool isNull() const { return kind == Null; }
    QByteArrayView bytes() const { return QByteArrayView(data, size); }
    // Null is an invalid QVariant; Int a qlonglong, Float a double, Text a
    // QString, Blob a QByteArray, the date kinds a QDateTime (UTC: stored
    // date-times carry no zone), QDate or QTime.
    QVariant toVariant() const;
};

class TRowStore {
public:
    static constexpr int kBatchRows = 1024;

    TRowStore();
    ~TRowStore();
    TRowStore(TRowStore&& other) noexcept;
    TRowStore& operator=(TRowStore&& other) noexcept;
    TRowStore(const TRowStore&) = delete;
    TRowStore& operator=(const TRowStore&) = delete;

    // Row numbers held: Base() up to End() - 1. Base() moves on only as a
    // forward-only reader drops what lies behind it.
    int Base() const { return m_base; }
    int End() const { return m_end; }
    bool Holds(int row) const { return row >= m_base && row < m_end; }
    // The value in a column of a row held (Null for a column the row lacks).
    TValueRef Value(int row, int column) const;
    // The first `count` values of a row held, in one pass (Null where the
    // row has fewer).
    void Values(int row, TValueRef* out, int count) const;
    // The row's bytes, for comparing two reads of the same statement.
    QByteArrayView RowBytes(int row) const;

    // Writing a row: BeginRow, one Put per column, then EndRow (or
    // CancelRow when the read failed half way).
    void BeginRow();
    void PutNull();
    void PutInt(qint64 v);
    void PutFloat(double v);
    void PutText(const char* utf8, qsizetype size);
    void PutBlob(const char* bytes, qsizetype size);
    void PutDateTime(qint64 julianMsecs);
    void PutDate(qint64 julianDay);
    void PutTime(int msecsOfDay);
    void PutVariant(const QVariant& v);
    void EndRow();
    void CancelRow();

    // Frees the batches wholly before `row`.
    void DropBefore(int row);
    // Frees everything and hands the memory back to the system.
    void Clear();
    // Bytes held (buffers and row offsets).
    size_t MemoryUsed() const;

private:
    struct Batch;
    Batch& writing();
    char* reserve(qsizetype bytes);
    const char* rowStart(int row) const;
    std::vector<std::unique_ptr<Batch>> m_batches;
    int m_base = 0;  // first row of m_batches[0]
    int m_end = 0;
    size_t m_lastBatchBytes = 0;
};

// The value at `p`, and where the next one starts.
const char* DecodeValue(const char* p, TValueRef& out);
