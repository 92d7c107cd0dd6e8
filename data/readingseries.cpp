#include "data/readingseries.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The same double, bit for bit where it matters: -0 is not 0, and NaN is NaN.
bool same(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

constexpr int MostBases = 0xFFFF;

} // namespace

double ReadingSeries::valueUm(int i) const
{
    const ReadingRecord &r = at(i);
    if (r.hasExtras()) {
        const ReadingExtras *x = extrasOf(i);
        if (x && (x->fields & ReadingExtras::ValueUm))
            return x->valueUm;
    }
    return r.valueUm();
}

double ReadingSeries::valueMil(int i) const
{
    const ReadingRecord &r = at(i);
    if (r.hasExtras()) {
        const ReadingExtras *x = extrasOf(i);
        if (x && (x->fields & ReadingExtras::ValueMil))
            return x->valueMil;
    }
    return r.valueMil();
}

QString ReadingSeries::textUm(int i) const
{
    const ReadingRecord &r = at(i);
    if (r.hasExtras()) {
        const ReadingExtras *x = extrasOf(i);
        if (x && (x->fields & ReadingExtras::TextUm))
            return x->textUm;
    }
    return r.textUm();
}

QString ReadingSeries::textMil(int i) const
{
    const ReadingRecord &r = at(i);
    if (r.hasExtras()) {
        const ReadingExtras *x = extrasOf(i);
        if (x && (x->fields & ReadingExtras::TextMil))
            return x->textMil;
    }
    return r.textMil();
}

QString ReadingSeries::unitText(int i) const
{
    const ReadingRecord &r = at(i);
    if (r.hasExtras()) {
        const ReadingExtras *x = extrasOf(i);
        if (x && (x->fields & ReadingExtras::UnitText))
            return x->unit;
    }
    return unitName(r.unit());
}

QString ReadingSeries::basis(int i) const
{
    const ReadingRecord &r = at(i);
    if (r.hasExtras()) {
        const ReadingExtras *x = extrasOf(i);
        if (x && (x->fields & ReadingExtras::Basis))
            return x->basis;
    }
    return m_bases.value(r.basis);
}

ReadingFields ReadingSeries::fields(int i) const
{
    ReadingFields f;
    f.time = dateTime(i);
    f.valueUm = valueUm(i);
    f.valueMil = valueMil(i);
    f.textUm = textUm(i);
    f.textMil = textMil(i);
    f.overload = overload(i);
    f.unit = unitText(i);
    f.basis = basis(i);
    return f;
}

void ReadingSeries::append(const ReadingFields &f)
{
    ReadingRecord r;
    const Unit unit = readingUnit(f.unit);
    r.setUnit(unit);
    r.setOverload(f.overload);
    if (f.time.isValid()) {
        qint64 instant = 0;
        int offset = 0;
        m_clock.split(f.time, &instant, &offset);
        r.setTime(instant, offset);
    }

    // The record is made from the reading's own value and text; whatever
    // it would then give otherwise is kept beside it.
    ReadingExtras x;
    const bool um = unit == Unit::Micrometre;
    if (!r.isOverload()) {
        r.value = um ? f.valueUm : f.valueMil;
        const QString &own = um ? f.textUm : f.textMil;
        const int decimals = decimalsOf(own, r.value);
        if (decimals < 0) {
            x.fields |= um ? ReadingExtras::TextUm : ReadingExtras::TextMil;
            (um ? x.textUm : x.textMil) = own;
        } else {
            r.decimals = quint8(decimals);
        }
    }
    if (!same(r.valueUm(), f.valueUm)) {
        x.fields |= ReadingExtras::ValueUm;
        x.valueUm = f.valueUm;
    }
    if (!same(r.valueMil(), f.valueMil)) {
        x.fields |= ReadingExtras::ValueMil;
        x.valueMil = f.valueMil;
    }
    if (!(x.fields & ReadingExtras::TextUm) && r.textUm() != f.textUm) {
        x.fields |= ReadingExtras::TextUm;
        x.textUm = f.textUm;
    }
    if (!(x.fields & ReadingExtras::TextMil) && r.textMil() != f.textMil) {
        x.fields |= ReadingExtras::TextMil;
        x.textMil = f.textMil;
    }
    if (f.unit != unitName(unit)) {
        x.fields |= ReadingExtras::UnitText;
        x.unit = f.unit;
    }
    appendRecord(r, f.basis, x.fields ? &x : nullptr);
}

void ReadingSeries::appendText(const QString &valueText, const QString &unitText, const QString &basis,
                               const QDateTime &time)
{
    ReadingRecord r;
    const bool micro = unitText == micrometreSymbol();
    const Unit unit = micro ? Unit::Micrometre : readingUnit(unitText);
    r.setUnit(unit);
    if (time.isValid()) {
        qint64 instant = 0;
        int offset = 0;
        m_clock.split(time, &instant, &offset);
        r.setTime(instant, offset);
    }
    ReadingExtras x;
    if (valueText.contains(QLatin1Char('L'))) {
        r.setOverload(valueText.contains(QLatin1Char('-')) ? Overload::Below : Overload::Above);
    } else {
        bool ok = false;
        double value = valueText.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            value = 0;
        r.value = value;
        const int decimals = decimalsOf(valueText, value, ok);
        if (decimals < 0) {
            x.fields |= unit == Unit::Micrometre ? ReadingExtras::TextUm : ReadingExtras::TextMil;
            (unit == Unit::Micrometre ? x.textUm : x.textMil) = valueText;
        } else {
            r.decimals = quint8(decimals);
        }
    }
    if (!micro && unitText != unitName(unit)) {
        x.fields |= ReadingExtras::UnitText;
        x.unit = unitText;
    }
    appendRecord(r, basis, x.fields ? &x : nullptr);
}

void ReadingSeries::append(const ReadingSeries &other, int first, int count)
{
    if (count < 0 || first + count > other.m_size)
        count = other.m_size - first;
    if (first < 0 || count <= 0)
        return;
    if (m_size == 0 && first == 0 && count == other.m_size) {
        *this = other;      // shares the chunks until either side writes
        return;
    }
    reserve(m_size + count);
    int i = first;
    other.forEachRecord(first, count, [&](const ReadingRecord &r) {
        const ReadingExtras *x = r.hasExtras() ? other.extrasOf(i) : nullptr;
        const bool ownBasis = x && (x->fields & ReadingExtras::Basis);
        appendRecord(r, ownBasis ? x->basis : other.m_bases.value(r.basis), x);
        ++i;
    });
}

void ReadingSeries::appendRecord(ReadingRecord record, const QString &basis, const ReadingExtras *extras)
{
    bool fits = true;
    record.basis = basisIndex(basis, &fits);
    ReadingExtras spilled;
    if (!fits) {
        spilled = extras ? *extras : ReadingExtras();
        spilled.fields |= ReadingExtras::Basis;
        spilled.basis = basis;
        extras = &spilled;
    } else if (extras && (extras->fields & ReadingExtras::Basis)) {
        spilled = *extras;
        spilled.fields &= quint8(~ReadingExtras::Basis);
        spilled.basis.clear();
        extras = spilled.fields ? &spilled : nullptr;
    }
    if (extras && extras->fields)
        record.flags |= ReadingRecord::ExtrasFlag;
    else
        record.flags &= quint8(~ReadingRecord::ExtrasFlag);

    Chunk &chunk = writableChunk();
    chunk.records.push_back(record);
    if (record.hasExtras())
        chunk.extras.emplace_back(m_size, *extras);
    ++m_size;
}

void ReadingSeries::reserve(int readings)
{
    // Chunks are made as they are needed; a series never moves what it
    // holds, so there is nothing to reserve beyond the chunk list.
    m_chunks.reserve(std::size_t(place(std::max(readings, 1) - 1).chunk + 1));
}

void ReadingSeries::clear()
{
    *this = ReadingSeries();
}

std::size_t ReadingSeries::heldBytes() const
{
    std::size_t bytes = sizeof(*this) + m_chunks.capacity() * sizeof(m_chunks[0]);
    for (const std::shared_ptr<Chunk> &chunk : m_chunks) {
        bytes += sizeof(Chunk) + chunk->records.capacity() * sizeof(ReadingRecord)
            + chunk->extras.capacity() * sizeof(chunk->extras[0]);
    }
    return bytes;
}

const ReadingExtras *ReadingSeries::extrasOf(int i) const
{
    const Place p = place(i);
    const auto &extras = m_chunks[std::size_t(p.chunk)]->extras;
    const auto found = std::lower_bound(extras.begin(), extras.end(), i,
                                        [](const std::pair<int, ReadingExtras> &e, int index) { return e.first < index; });
    return found != extras.end() && found->first == i ? &found->second : nullptr;
}

ReadingSeries::Chunk &ReadingSeries::writableChunk()
{
    const int last = int(m_chunks.size()) - 1;
    if (last < 0 || int(m_chunks.back()->records.size()) == chunkCapacity(last)) {
        auto chunk = std::make_shared<Chunk>();
        chunk->records.reserve(std::size_t(chunkCapacity(last + 1)));
        m_chunks.push_back(std::move(chunk));
    } else if (m_chunks.back().use_count() > 1) {
        // A snapshot holds this chunk: it keeps the chunk as it is.
        const Chunk &shared = *m_chunks.back();
        auto chunk = std::make_shared<Chunk>();
        chunk->records.reserve(std::size_t(chunkCapacity(last)));
        chunk->records.assign(shared.records.begin(), shared.records.end());
        chunk->extras = shared.extras;
        m_chunks.back() = std::move(chunk);
    }
    return *m_chunks.back();
}

quint16 ReadingSeries::basisIndex(const QString &basis, bool *fits)
{
    *fits = true;
    if (m_lastBasis >= 0 && m_bases.at(m_lastBasis) == basis)
        return quint16(m_lastBasis);
    const auto found = m_basisIndex.constFind(basis);
    if (found != m_basisIndex.constEnd()) {
        m_lastBasis = found.value();
        return quint16(m_lastBasis);
    }
    if (m_bases.size() >= MostBases) {
        *fits = false;
        return 0;
    }
    m_lastBasis = m_bases.size();
    m_basisIndex.insert(basis, m_lastBasis);
    m_bases.append(basis);
    return quint16(m_lastBasis);
}

void ReadingSeries::appendValuesIn(int first, int count, Unit shown, std::vector<double> &out) const
{
    int i = std::max(0, first);
    forEachRecord(first, count, [&](const ReadingRecord &r) {
        out.push_back(r.hasExtras() ? valueIn(i, shown) : r.valueIn(shown));
        ++i;
    });
}
