#include "exchange/compoundfile.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

constexpr quint32 FreeSect = 0xFFFFFFFFu;
constexpr quint32 EndOfChain = 0xFFFFFFFEu;
constexpr quint32 FatSect = 0xFFFFFFFDu;
constexpr quint32 DifSect = 0xFFFFFFFCu;
constexpr quint32 NoStream = 0xFFFFFFFFu;
constexpr quint32 HeaderSize = 512;
constexpr quint32 WriteSectorSize = 512;
constexpr quint32 MiniSectorSize = 64;
constexpr quint32 MiniStreamCutoff = 4096;
constexpr int HeaderDifatEntries = 109;
constexpr int DirEntrySize = 128;

const unsigned char Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

enum EntryType : quint8 { StorageEntry = 1, StreamEntry = 2, RootEntry = 5 };

quint16 get16(const char *p) { return qFromLittleEndian<quint16>(p); }
quint32 get32(const char *p) { return qFromLittleEndian<quint32>(p); }
quint64 get64(const char *p) { return qFromLittleEndian<quint64>(p); }
void put16(char *p, quint16 v) { qToLittleEndian(v, p); }
void put32(char *p, quint32 v) { qToLittleEndian(v, p); }
void put64(char *p, quint64 v) { qToLittleEndian(v, p); }

quint32 ceilDiv(quint64 a, quint64 b) { return quint32((a + b - 1) / b); }


// Directory order of the format: shorter names first, then by upper case.
bool nameLess(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return a.toUpper() < b.toUpper();
}

struct DirNode
{
    QString name;
    quint8 type = StreamEntry;
    quint32 start = EndOfChain;
    quint32 size = 0;
    quint32 left = NoStream, right = NoStream, child = NoStream;
    bool black = true;
};

// A balanced binary tree is a valid red-black tree when only the nodes of
// its deepest level are red, and only if that level is not full.
quint32 buildTree(std::vector<DirNode> &nodes, const std::vector<quint32> &sorted, int lo, int hi,
                  int depth, int deepest, bool perfect)
{
    if (lo > hi)
        return NoStream;
    const int mid = (lo + hi) / 2;
    DirNode &node = nodes[sorted[size_t(mid)]];
    node.black = perfect || depth < deepest;
    node.left = buildTree(nodes, sorted, lo, mid - 1, depth + 1, deepest, perfect);
    node.right = buildTree(nodes, sorted, mid + 1, hi, depth + 1, deepest, perfect);
    return sorted[size_t(mid)];
}

void writeDirEntry(char *p, const DirNode &node)
{
    std::memset(p, 0, DirEntrySize);
    const QString name = node.name.left(31);
    for (int i = 0; i < name.size(); ++i)
        put16(p + 2 * i, name.at(i).unicode());
    put16(p + 64, quint16((name.size() + 1) * 2));
    p[66] = char(node.type);
    p[67] = node.black ? 1 : 0;
    put32(p + 68, node.left);
    put32(p + 72, node.right);
    put32(p + 76, node.child);
    put32(p + 116, node.start);
    put64(p + 120, node.size);
}

} // namespace

QByteArray writeCompoundFile(const QVector<CompoundStream> &streams)
{
    // Small streams live in the mini stream, 64-byte sectors chained by the
    // mini allocation table.
    std::vector<DirNode> nodes(size_t(streams.size()) + 1);
    nodes[0].name = QStringLiteral("Root Entry");
    nodes[0].type = RootEntry;
    QByteArray mini;
    std::vector<quint32> miniFat;
    quint32 regularSectors = 0;
    for (int i = 0; i < streams.size(); ++i) {
        const QByteArray &data = streams.at(i).data;
        DirNode &node = nodes[size_t(i) + 1];
        node.name = streams.at(i).name;
        node.size = quint32(data.size());
        if (data.isEmpty())
            continue;
        if (quint32(data.size()) < MiniStreamCutoff) {
            const quint32 first = quint32(miniFat.size());
            const quint32 count = ceilDiv(quint64(data.size()), MiniSectorSize);
            for (quint32 k = 0; k < count; ++k)
                miniFat.push_back(k + 1 < count ? first + k + 1 : EndOfChain);
            node.start = first;
            mini.append(data);
            mini.append(QByteArray(int(count * MiniSectorSize) - data.size(), '\0'));
        } else {
            regularSectors += ceilDiv(quint64(data.size()), WriteSectorSize);
        }
    }

    const quint32 perSector = WriteSectorSize / 4;
    const quint32 miniStreamSectors = ceilDiv(quint64(mini.size()), WriteSectorSize);
    const quint32 miniFatSectors = ceilDiv(quint64(miniFat.size()) * 4, WriteSectorSize);
    const quint32 dirSectors = ceilDiv(quint64(nodes.size()) * DirEntrySize, WriteSectorSize);
    const quint32 dataSectors = regularSectors + miniStreamSectors + miniFatSectors + dirSectors;

    // The allocation table also maps its own sectors and those of the
    // extended table, so grow both until they cover everything.
    quint32 fatSectors = 0, difatSectors = 0;
    for (;;) {
        const quint32 total = dataSectors + fatSectors + difatSectors;
        const quint32 needFat = ceilDiv(total, perSector);
        const quint32 needDifat = needFat > quint32(HeaderDifatEntries)
                ? ceilDiv(needFat - HeaderDifatEntries, perSector - 1) : 0;
        if (needFat == fatSectors && needDifat == difatSectors)
            break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const quint32 totalSectors = dataSectors + fatSectors + difatSectors;

    std::vector<quint32> fat(size_t(fatSectors) * perSector, FreeSect);
    quint32 next = 0;
    auto allocate = [&](quint32 count) {
        const quint32 first = next;
        for (quint32 k = 0; k < count; ++k)
            fat[first + k] = k + 1 < count ? first + k + 1 : EndOfChain;
        next += count;
        return count ? first : EndOfChain;
    };
    const quint32 firstFat = next;
    for (quint32 k = 0; k < fatSectors; ++k)
        fat[next++] = FatSect;
    const quint32 firstDifat = next;
    for (quint32 k = 0; k < difatSectors; ++k)
        fat[next++] = DifSect;
    const quint32 firstDir = allocate(dirSectors);
    const quint32 firstMiniFat = allocate(miniFatSectors);
    const quint32 firstMiniStream = allocate(miniStreamSectors);
    nodes[0].start = firstMiniStream;
    nodes[0].size = quint32(mini.size());
    for (int i = 0; i < streams.size(); ++i) {
        const quint32 size = quint32(streams.at(i).data.size());
        if (size >= MiniStreamCutoff)
            nodes[size_t(i) + 1].start = allocate(ceilDiv(size, WriteSectorSize));
    }

    std::vector<quint32> sorted;
    for (quint32 i = 1; i < nodes.size(); ++i)
        sorted.push_back(i);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](quint32 a, quint32 b) { return nameLess(nodes[a].name, nodes[b].name); });
    const int count = int(sorted.size());
    int deepest = 0;
    while ((2 << deepest) - 1 < count)
        ++deepest;
    const bool perfect = count == (2 << deepest) - 1 || count == 0;
    nodes[0].child = buildTree(nodes, sorted, 0, count - 1, 0, deepest, perfect);

    std::vector<char> file(size_t(HeaderSize + quint64(totalSectors) * WriteSectorSize), '\0');
    char *base = file.data();
    auto sector = [&](quint32 s) { return base + HeaderSize + quint64(s) * WriteSectorSize; };

    char *h = base;
    std::memcpy(h, Signature, 8);
    put16(h + 24, 0x003E);
    put16(h + 26, 0x0003);
    put16(h + 28, 0xFFFE);
    put16(h + 30, 9);
    put16(h + 32, 6);
    put32(h + 44, fatSectors);
    put32(h + 48, firstDir);
    put32(h + 56, MiniStreamCutoff);
    put32(h + 60, firstMiniFat);
    put32(h + 64, miniFatSectors);
    put32(h + 68, difatSectors ? firstDifat : EndOfChain);
    put32(h + 72, difatSectors);
    for (int k = 0; k < HeaderDifatEntries; ++k)
        put32(h + 76 + 4 * k, quint32(k) < fatSectors ? firstFat + quint32(k) : FreeSect);
    // Extended table: 127 allocation-table sector numbers and a link each.
    quint32 listed = HeaderDifatEntries;
    for (quint32 d = 0; d < difatSectors; ++d) {
        char *p = sector(firstDifat + d);
        for (quint32 k = 0; k < perSector - 1; ++k, ++listed)
            put32(p + 4 * k, listed < fatSectors ? firstFat + listed : FreeSect);
        put32(p + 4 * (perSector - 1), d + 1 < difatSectors ? firstDifat + d + 1 : EndOfChain);
    }
    for (size_t k = 0; k < fat.size(); ++k)
        put32(sector(firstFat) + 4 * k, fat[k]);
    for (size_t k = 0; k < nodes.size(); ++k)
        writeDirEntry(sector(firstDir) + k * DirEntrySize, nodes[k]);
    for (size_t k = nodes.size(); k < size_t(dirSectors) * (WriteSectorSize / DirEntrySize); ++k) {
        // Unused entries: empty name, no siblings.
        char *p = sector(firstDir) + k * DirEntrySize;
        put32(p + 68, NoStream);
        put32(p + 72, NoStream);
        put32(p + 76, NoStream);
    }
    for (size_t k = 0; k < miniFatSectors * size_t(perSector); ++k)
        put32(sector(firstMiniFat) + 4 * k, k < miniFat.size() ? miniFat[k] : FreeSect);
    if (!mini.isEmpty())
        std::memcpy(sector(firstMiniStream), mini.constData(), size_t(mini.size()));
    for (int i = 0; i < streams.size(); ++i) {
        const QByteArray &data = streams.at(i).data;
        if (quint32(data.size()) >= MiniStreamCutoff)
            std::memcpy(sector(nodes[size_t(i) + 1].start), data.constData(), size_t(data.size()));
    }
    return QByteArray(file.data(), int(file.size()));
}

bool CompoundFileReader::hasSignature(const QByteArray &file)
{
    return file.size() >= 8 && std::memcmp(file.constData(), Signature, 8) == 0;
}

bool CompoundFileReader::fail(const QString &text)
{
    m_error = text;
    return false;
}

const char *CompoundFileReader::sectorData(quint32 sector) const
{
    return m_file.constData() + quint64(sector + 1) * m_sectorSize;
}

bool CompoundFileReader::followChain(quint32 start, Owner owner, std::vector<quint32> *chain, size_t maxLength)
{
    chain->clear();
    ++m_generation;
    quint32 s = start == FreeSect ? EndOfChain : start;
    while (s != EndOfChain && chain->size() < maxLength) {
        if (s >= m_fat.size())
            return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: an allocation chain points outside the file."));
        if (m_visited[s] == m_generation)
            return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: an allocation chain runs in a circle."));
        if (m_owner[s] != Unowned && m_owner[s] != owner)
            return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: a stream overlaps the file's allocation structures."));
        m_visited[s] = m_generation;
        if (owner != Unowned)
            m_owner[s] = owner;
        chain->push_back(s);
        s = m_fat[s];
    }
    return true;
}

bool CompoundFileReader::followMiniChain(quint32 start, std::vector<quint32> *chain, size_t maxLength)
{
    chain->clear();
    ++m_generation;
    quint32 s = start == FreeSect ? EndOfChain : start;
    while (s != EndOfChain && chain->size() < maxLength) {
        if (s >= m_miniFat.size())
            return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: an allocation chain points outside the file."));
        if (m_miniVisited[s] == m_generation)
            return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: an allocation chain runs in a circle."));
        m_miniVisited[s] = m_generation;
        chain->push_back(s);
        s = m_miniFat[s];
    }
    return true;
}

bool CompoundFileReader::open(const QByteArray &file)
{
    *this = CompoundFileReader();
    if (!hasSignature(file) || file.size() < int(HeaderSize))
        return fail(QCoreApplication::translate("CompoundFileReader", "The file is not a compound document."));
    const char *h = file.constData();
    const quint16 major = get16(h + 26);
    const quint16 shift = get16(h + 30);
    if (get16(h + 28) != 0xFFFE || !((major == 3 && shift == 9) || (major == 4 && shift == 12))
            || get16(h + 32) != 6)
        return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: its compound document header is invalid."));
    m_version3 = major == 3;
    m_sectorSize = 1u << shift;

    // The last sector may be cut short by careless writers: pad it.
    m_file = file;
    const quint64 body = quint64(file.size()) > m_sectorSize ? quint64(file.size()) - m_sectorSize : 0;
    m_sectorCount = quint32(std::min<quint64>((body + m_sectorSize - 1) / m_sectorSize, 0xFFFFFFF0u));
    const quint64 padded = quint64(m_sectorCount + 1) * m_sectorSize;
    if (padded > quint64(file.size()))
        m_file.append(QByteArray(int(padded - quint64(file.size())), '\0'));

    // Collect the allocation table's sectors from the header and the
    // extended table; each listed sector must exist, and no chain may
    // visit more sectors than the file has.
    const quint32 fatCount = get32(h + 44);
    if (fatCount > m_sectorCount)
        return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: its allocation table is larger than the file."));
    m_owner.assign(m_sectorCount, Unowned);
    std::vector<quint32> fatSectors;
    fatSectors.reserve(fatCount);
    for (int k = 0; k < HeaderDifatEntries && fatSectors.size() < fatCount; ++k)
        fatSectors.push_back(get32(h + 76 + 4 * k));
    quint32 difat = get32(h + 68);
    const quint32 perSector = m_sectorSize / 4;
    quint32 visited = 0;
    while (fatSectors.size() < fatCount && difat != EndOfChain && difat != FreeSect) {
        if (difat >= m_sectorCount || ++visited > m_sectorCount || m_owner[difat] != Unowned)
            return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: its extended allocation table is broken."));
        m_owner[difat] = ExtendedTable;
        const char *p = sectorData(difat);
        for (quint32 k = 0; k + 1 < perSector && fatSectors.size() < fatCount; ++k)
            fatSectors.push_back(get32(p + 4 * k));
        difat = get32(p + 4 * (perSector - 1));
    }
    if (fatSectors.size() < fatCount)
        return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: its allocation table is incomplete."));
    m_fat.resize(size_t(fatCount) * perSector);
    for (size_t i = 0; i < fatSectors.size(); ++i) {
        const quint32 s = fatSectors[i];
        if (s >= m_sectorCount)
            return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: its allocation table points outside the file."));
        if (m_owner[s] != Unowned)
            return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: its allocation table is listed twice."));
        m_owner[s] = AllocationTable;
        const char *p = sectorData(s);
        for (quint32 k = 0; k < perSector; ++k)
            m_fat[i * perSector + k] = get32(p + 4 * k);
    }
    // Entries beyond the file's end are unusable.
    if (m_fat.size() > m_sectorCount)
        m_fat.resize(m_sectorCount);
    m_visited.assign(m_fat.size(), 0);

    std::vector<quint32> dirChain;
    if (!followChain(get32(h + 48), Directory, &dirChain))
        return false;
    if (dirChain.empty())
        return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: it has no directory."));
    const quint32 perDirSector = m_sectorSize / DirEntrySize;
    m_entries.reserve(int(dirChain.size() * perDirSector));
    for (quint32 s : dirChain) {
        const char *sector = sectorData(s);
        for (quint32 k = 0; k < perDirSector; ++k) {
            const char *p = sector + k * DirEntrySize;
            Entry e;
            const int nameBytes = std::min<int>(get16(p + 64), 64);
            const int chars = nameBytes >= 2 ? nameBytes / 2 - 1 : 0;
            e.name.reserve(chars);
            for (int c = 0; c < chars; ++c)
                e.name.append(QChar(get16(p + 2 * c)));
            e.type = quint8(p[66]);
            e.left = get32(p + 68);
            e.right = get32(p + 72);
            e.child = get32(p + 76);
            e.start = get32(p + 116);
            // Version 3 files may hold garbage in the high half.
            e.size = m_version3 ? get32(p + 120) : get64(p + 120);
            m_entries.append(e);
        }
    }
    if (m_entries.first().type != RootEntry)
        return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: its directory has no root."));

    // Walk the root's children (a binary tree of siblings); a visited mark
    // keeps a looping tree from running forever.
    std::vector<bool> seen(size_t(m_entries.size()), false);
    std::vector<quint32> stack{m_entries.first().child};
    while (!stack.empty()) {
        const quint32 i = stack.back();
        stack.pop_back();
        if (i >= quint32(m_entries.size()) || i == 0 || seen[i])
            continue;
        seen[i] = true;
        m_rootChildren.push_back(int(i));
        stack.push_back(m_entries.at(int(i)).left);
        stack.push_back(m_entries.at(int(i)).right);
    }

    m_firstMiniFatSector = get32(h + 60);
    // Claim the mini stream's sectors now, so that a stream running into
    // them is seen as the damage it is.
    return loadMiniStream();
}

QStringList CompoundFileReader::streamNames() const
{
    QStringList names;
    for (int i : m_rootChildren)
        if (m_entries.at(i).type == StreamEntry)
            names.append(m_entries.at(i).name);
    return names;
}

int CompoundFileReader::findRootChild(const QString &name) const
{
    for (int i : m_rootChildren)
        if (m_entries.at(i).type == StreamEntry
                && m_entries.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool CompoundFileReader::hasStream(const QString &name) const
{
    return findRootChild(name) >= 0;
}

bool CompoundFileReader::readChainBytes(quint32 start, quint64 size, Owner owner, QByteArray *out)
{
    if (size > quint64(m_sectorCount) * m_sectorSize)
        return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: a stream is larger than the file."));
    const size_t needed = size_t((size + m_sectorSize - 1) / m_sectorSize);
    std::vector<quint32> chain;
    if (!followChain(start, owner, &chain, needed))
        return false;
    if (chain.size() < needed)
        return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: a stream is shorter than its size."));
    out->resize(int(size));
    char *dst = out->data();
    quint64 left = size;
    for (size_t i = 0; i < needed; ++i) {
        const quint64 n = std::min<quint64>(left, m_sectorSize);
        std::memcpy(dst, sectorData(chain[i]), size_t(n));
        dst += n;
        left -= n;
    }
    return true;
}

bool CompoundFileReader::loadMiniStream()
{
    const Entry &root = m_entries.first();
    const quint64 rootSize = m_version3 ? (root.size & 0xFFFFFFFFu) : root.size;
    if (!readChainBytes(root.start, rootSize, MiniStream, &m_miniStream))
        return false;
    // The mini table is read as far as the mini stream has sectors to map;
    // an empty mini stream needs none.
    const quint32 perSector = m_sectorSize / 4;
    const size_t mapped = size_t(ceilDiv(quint64(m_miniStream.size()), MiniSectorSize));
    std::vector<quint32> chain;
    if (!followChain(m_firstMiniFatSector, MiniTable, &chain, (mapped + perSector - 1) / perSector))
        return false;
    m_miniFat.resize(chain.size() * perSector);
    for (size_t i = 0; i < chain.size(); ++i) {
        const char *p = sectorData(chain[i]);
        for (quint32 k = 0; k < perSector; ++k)
            m_miniFat[i * perSector + k] = get32(p + 4 * k);
    }
    const size_t miniSectors = size_t(m_miniStream.size()) / MiniSectorSize;
    if (m_miniFat.size() > miniSectors)
        m_miniFat.resize(miniSectors);
    m_miniVisited.assign(m_miniFat.size(), 0);
    return true;
}

bool CompoundFileReader::readStream(const QString &name, QByteArray *out)
{
    const int index = findRootChild(name);
    if (index < 0)
        return fail(QCoreApplication::translate("CompoundFileReader", "The file holds no stream named %1.").arg(name));
    const Entry &e = m_entries.at(index);
    out->clear();
    if (e.size == 0)
        return true;
    if (e.size >= MiniStreamCutoff)
        return readChainBytes(e.start, e.size, Unowned, out);

    if (!loadMiniStream())
        return false;
    const size_t needed = size_t((e.size + MiniSectorSize - 1) / MiniSectorSize);
    std::vector<quint32> chain;
    if (!followMiniChain(e.start, &chain, needed))
        return false;
    if (chain.size() < needed)
        return fail(QCoreApplication::translate("CompoundFileReader", "The file is damaged: a stream is shorter than its size."));
    out->resize(int(e.size));
    char *dst = out->data();
    quint64 left = e.size;
    for (size_t i = 0; i < needed; ++i) {
        const quint64 n = std::min<quint64>(left, MiniSectorSize);
        std::memcpy(dst, m_miniStream.constData() + quint64(chain[i]) * MiniSectorSize, size_t(n));
        dst += n;
        left -= n;
    }
    return true;
}
