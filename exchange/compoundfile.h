#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstddef>
#include <cstdint>
#include <vector>

// The compound file container of classic Office documents: a small FAT file
// system inside one file (512-byte sectors, an allocation table, a directory
// and a mini stream for small streams). Only root-level streams are needed
// by the workbook format, so the writer makes no storages.

struct CompoundStream
{
    QString name;
    QByteArray data;
};

// Builds a version 3 compound file (512-byte sectors) holding the streams
// at root level. Streams below 4096 bytes go into the mini stream; files
// with more than 109 allocation-table sectors get the extended table.
QByteArray writeCompoundFile(const QVector<CompoundStream> &streams);

// Reads root-level streams of a compound file (versions 3 and 4). Every
// chain, size and index is checked against the file, so a damaged or
// hostile file gives an error text, never a crash, a hang or an allocation
// larger than the file itself.
class CompoundFileReader
{
public:
    // The data is shared, not copied.
    bool open(const QByteArray &file);
    QString errorString() const { return m_error; }

    QStringList streamNames() const;
    bool hasStream(const QString &name) const;
    // Case-insensitive name, as the format compares names.
    bool readStream(const QString &name, QByteArray *out);

    // True when the data starts with the compound file signature.
    static bool hasSignature(const QByteArray &file);

private:
    struct Entry
    {
        QString name;
        quint8 type = 0;
        quint32 left = 0, right = 0, child = 0;
        quint32 start = 0;
        quint64 size = 0;
    };

    bool fail(const QString &text);
    const char *sectorData(quint32 sector) const;
    // What a sector holds, as far as the container's own structures go.
    enum Owner : quint8 { Unowned, ExtendedTable, AllocationTable, Directory, MiniTable, MiniStream };
    // Follows a chain of the allocation table for at most maxLength
    // sectors: a stream's chain only as far as its size needs, whatever
    // lies beyond. Fails on a bad index, a cycle, or a sector that belongs
    // to the container's own structures. Claims the chain's sectors for
    // owner unless it is Unowned.
    bool followChain(quint32 start, Owner owner, std::vector<quint32> *chain, size_t maxLength = SIZE_MAX);
    bool followMiniChain(quint32 start, std::vector<quint32> *chain, size_t maxLength);
    bool readChainBytes(quint32 start, quint64 size, Owner owner, QByteArray *out);
    bool loadMiniStream();
    int findRootChild(const QString &name) const;

    QByteArray m_file;
    QString m_error;
    quint32 m_sectorSize = 512;
    quint32 m_sectorCount = 0;
    bool m_version3 = true;
    std::vector<quint32> m_fat;
    std::vector<quint8> m_owner;
    std::vector<quint32> m_visited; // generation of the last visit, for cycles
    std::vector<quint32> m_miniVisited;
    quint32 m_generation = 0;
    std::vector<quint32> m_miniFat;
    QVector<Entry> m_entries;
    std::vector<int> m_rootChildren;
    QByteArray m_miniStream;
    quint32 m_firstMiniFatSector = 0;
};
