#include "store/RowFingerprint.h"

#include <QHashFunctions>

#include <bit>
#include <cstring>

namespace {

quint64 mix(quint64 hash, quint64 value) {
    hash ^= value + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
    return hash * 0xff51afd7ed558ccdULL;
}

} // namespace

void RowFingerprint::add(const std::vector<ColumnStore::Cell>& cells,
                         const std::vector<ColumnStore::ColumnInfo>& columns, qint64 rowid) {
    quint64 hash = mix(0, quint64(rowid));
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const ColumnStore::Cell& cell = cells[c];
        if (cell.isNull) {
            hash = mix(hash, 0x6e756c6cULL);
            continue;
        }
        switch (columns[c].kind) {
        case ColumnKind::Integer:
            hash = mix(hash, quint64(cell.integer));
            break;
        case ColumnKind::Real:
        case ColumnKind::DateTime:
            hash = mix(hash, std::bit_cast<quint64>(cell.number));
            break;
        case ColumnKind::Text:
            hash = mix(hash, qHash(cell.text, 0) ^ quint64(cell.text.size()));
            break;
        }
    }
    sum_ += hash;
    ++rows_;
}

void RowFingerprint::add(const RowFingerprint& other) {
    sum_ += other.sum_;
    rows_ += other.rows_;
}
