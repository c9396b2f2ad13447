#pragma once

#include <QByteArray>

// Gzip or zlib data, as vector tiles are stored; the header tells which.
bool isCompressed(const QByteArray& data);

struct Inflated {
    enum Status { Done, TooLarge, Broken };
    Status status;
    QByteArray data; // empty unless Done
};

// Inflates at most maxBytes and stops there, so a small tile that would
// unpack to gigabytes costs no more memory than a large real one.
Inflated inflateAtMost(const QByteArray& packed, qsizetype maxBytes);

// The first count bytes of the inflated data (fewer when it ends or breaks
// sooner): enough to tell a tile's kind without unpacking it.
QByteArray inflatedPrefix(const QByteArray& packed, qsizetype count);
