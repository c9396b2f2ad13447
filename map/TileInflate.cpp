#include "map/TileInflate.h"

#include <algorithm>
#include <zlib.h>

namespace {

constexpr qsizetype chunkBytes = 64 * 1024;
constexpr int anyHeaderWindowBits = 15 + 32;

} // namespace

bool isCompressed(const QByteArray& data) {
    if (data.size() < 2)
        return false;
    const auto first = static_cast<unsigned char>(data[0]);
    const auto second = static_cast<unsigned char>(data[1]);
    return (first == 0x1f && second == 0x8b) ||
           (first == 0x78 && ((first << 8) | second) % 31 == 0);
}

Inflated inflateAtMost(const QByteArray& packed, qsizetype maxBytes) {
    z_stream stream{};
    if (inflateInit2(&stream, anyHeaderWindowBits) != Z_OK)
        return {Inflated::Broken, {}};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.avail_in = static_cast<uInt>(packed.size());
    QByteArray out;
    int status = Z_OK;
    // Room for one byte past the limit tells a tile of exactly maxBytes from
    // a larger one.
    while (status == Z_OK && out.size() <= maxBytes) {
        const qsizetype used = out.size();
        const qsizetype room = std::min(chunkBytes, maxBytes + 1 - used);
        out.resize(used + room);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        stream.avail_out = static_cast<uInt>(room);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(used + room - stream.avail_out);
    }
    inflateEnd(&stream);
    if (out.size() > maxBytes)
        return {Inflated::TooLarge, {}};
    if (status != Z_STREAM_END)
        return {Inflated::Broken, {}};
    return {Inflated::Done, out};
}

QByteArray inflatedPrefix(const QByteArray& packed, qsizetype count) {
    z_stream stream{};
    if (inflateInit2(&stream, anyHeaderWindowBits) != Z_OK)
        return {};
    QByteArray out(count, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(count);
    inflate(&stream, Z_SYNC_FLUSH);
    out.resize(count - stream.avail_out);
    inflateEnd(&stream);
    return out;
}
