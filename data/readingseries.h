#pragma once

#include "data/readingrecord.h"
#include "data/readingclock.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <memory>
#include <utility>
#include <vector>

// What a reading says beyond what its value gives: the rare reading whose
// texts, values, unit text or basis a compact record cannot carry.
struct ReadingExtras
{
    enum Field : quint8 { ValueUm = 0x01, ValueMil = 0x02, TextUm = 0x04, TextMil = 0x08, UnitText = 0x10, Basis = 0x20 };
    quint8 fields = 0;
    double valueUm = 0;
    double valueMil = 0;
    QString textUm;
    QString textMil;
    QString unit;
    QString basis;
};

// The readings of an item in arrival order, each a 24-byte ReadingRecord, with
// the table of basis texts they share and the extras of the rare ones.
//
// Readings are kept in chunks that double in size up to 65,536 readings,
// so a series grows without moving what it holds. A copy is a snapshot:
// it shares the chunks, and the series copies the last chunk before it
// writes into a chunk a snapshot also holds. So a snapshot never changes
// and may be read on another thread while the series goes on growing.
class ReadingSeries
{
public:
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    const ReadingRecord &at(int i) const
    {
        const Place p = place(i);
        return m_chunks[std::size_t(p.chunk)]->records[std::size_t(p.offset)];
    }

    // Each field as the reading said it.
    Unit unit(int i) const { return at(i).unit(); }
    Overload overload(int i) const { return at(i).overload(); }
    double valueUm(int i) const;
    double valueMil(int i) const;
    double valueIn(int i, Unit shown) const { return shown == Unit::Micrometre ? valueUm(i) : valueMil(i); }
    QString textUm(int i) const;
    QString textMil(int i) const;
    QString textIn(int i, Unit shown) const { return shown == Unit::Micrometre ? textUm(i) : textMil(i); }
    // "um", "mil", or the unit text the gauge sent when it was another.
    QString unitText(int i) const;
    QString basis(int i) const;
    QDateTime dateTime(int i) const { return at(i).dateTime(); }
    QString timeText(int i) const { return at(i).timeText(); }

    // Everything the reading said, as one record of texts.
    ReadingFields fields(int i) const;

    // Appends a reading, kept compactly.
    void append(const ReadingFields &fields);
    // Appends the reading of one value text in a known unit, as
    // ReadingFields::fromText makes it.
    void appendText(const QString &valueText, const QString &unitText, const QString &basis, const QDateTime &time);
    // Appends readings [first, first + count) of another series.
    void append(const ReadingSeries &other, int first = 0, int count = -1);
    // Appends a record whose unit, overload, value, decimals and time are
    // set, with its basis text and, when it has them, its extras.
    void appendRecord(ReadingRecord record, const QString &basis, const ReadingExtras *extras = nullptr);
    void reserve(int readings);
    void clear();

    // Calls f(const ReadingRecord &) for [first, first + count), chunk by chunk.
    template <typename F> void forEachRecord(int first, int count, F f) const;
    template <typename F> void forEachRecord(F f) const { forEachRecord(0, m_size, f); }
    // The values of [first, first + count) in `shown`, appended to out.
    void appendValuesIn(int first, int count, Unit shown, std::vector<double> &out) const;

    // The bytes the series holds (for measuring).
    std::size_t heldBytes() const;

private:
    struct Chunk
    {
        std::vector<ReadingRecord> records;       // reserved to the chunk's capacity
        std::vector<std::pair<int, ReadingExtras>> extras;  // by reading index, ascending
    };
    struct Place
    {
        int chunk;
        int offset;
    };

    static constexpr int FirstChunk = 256;
    static constexpr int LargestChunk = 65536;
    static constexpr int DoublingChunks = 9;    // 256 ... 65,536
    static constexpr int DoublingEnd = FirstChunk * ((1 << (DoublingChunks - 1)) - 1);   // 65,280

    static int chunkCapacity(int chunk) { return chunk < DoublingChunks ? FirstChunk << chunk : LargestChunk; }
    static Place place(int i)
    {
        if (i < DoublingEnd) {
            const unsigned units = unsigned(i / FirstChunk) + 1;
            int chunk = 0;
            while ((units >> (chunk + 1)) != 0)
                ++chunk;
            return {chunk, i - FirstChunk * ((1 << chunk) - 1)};
        }
        const int beyond = i - DoublingEnd;
        return {DoublingChunks - 1 + beyond / LargestChunk, beyond % LargestChunk};
    }

    const ReadingExtras *extrasOf(int i) const;
    // The chunk the next reading goes into, the series' own.
    Chunk &writableChunk();
    quint16 basisIndex(const QString &basis, bool *fits);

    std::vector<std::shared_ptr<Chunk>> m_chunks;
    int m_size = 0;
    QVector<QString> m_bases;
    QHash<QString, int> m_basisIndex;
    int m_lastBasis = -1;
    ReadingClock m_clock;
};

template <typename F>
void ReadingSeries::forEachRecord(int first, int count, F f) const
{
    if (first < 0)
        first = 0;
    int end = count < 0 ? m_size : std::min(m_size, first + count);
    if (first >= end)
        return;
    Place p = place(first);
    int i = first;
    while (i < end) {
        const std::vector<ReadingRecord> &records = m_chunks[std::size_t(p.chunk)]->records;
        const int n = std::min(int(records.size()) - p.offset, end - i);
        const ReadingRecord *r = records.data() + p.offset;
        for (int k = 0; k < n; ++k)
            f(r[k]);
        i += n;
        ++p.chunk;
        p.offset = 0;
    }
}
