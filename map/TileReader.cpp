#include "map/TileReader.h"

#include "map/MbtilesFile.h"

#include <QDir>
#include <QPointer>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <optional>

namespace {

struct TileAddress {
    int file;
    int zoom;
    int column;
    int row;
};

// Four plain decimal numbers: no sign, no spaces, nothing after them (toInt
// alone lets some through), short enough to fit an int.
std::optional<TileAddress> parsed(const QString& address) {
    const QStringList parts = address.split(QLatin1Char('/'));
    if (parts.size() != 4)
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        const QString& part = parts[i];
        if (part.isEmpty() || part.size() > 9 ||
            !std::all_of(part.begin(), part.end(),
                         [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
            return std::nullopt;
        numbers[i] = part.toInt();
    }
    return TileAddress{numbers[0], numbers[1], numbers[2], numbers[3]};
}

QByteArray contentType(const QString& format) {
    if (format == QLatin1String("png"))
        return "image/png";
    if (format == QLatin1String("jpg"))
        return "image/jpeg";
    if (format == QLatin1String("webp"))
        return "image/webp";
    return "application/x-protobuf";
}

// A vector tile that is missing, does not decode or is refused is answered
// empty, which the renderer draws as nothing; a raster one is not found.
TileReader::Reply replyFor(const MbtilesFile& file, const std::optional<QByteArray>& tile) {
    if (!tile && !file.isVector())
        return {};
    return {true, contentType(file.format()), tile.value_or(QByteArray())};
}

} // namespace

TileReader::TileReader(QObject* parent)
    : QObject(parent) {
    worker_.setMaxThreadCount(1);
}

TileReader::~TileReader() {
    worker_.clear();
    worker_.waitForDone();
}

int TileReader::add(std::unique_ptr<MbtilesFile> file) {
    files_.push_back(std::move(file));
    refusalReported_.push_back(false);
    return static_cast<int>(files_.size()) - 1;
}

void TileReader::read(const QString& address, QObject* requester,
                      const std::function<void(const Reply&)>& answer) {
    const QPointer<QObject> alive(requester);
    const std::optional<TileAddress> at = parsed(address);
    if (!at || at->file < 0 || at->file >= static_cast<int>(files_.size())) {
        QMetaObject::invokeMethod(
            this,
            [alive, answer] {
                if (alive)
                    answer(Reply());
            },
            Qt::QueuedConnection);
        return;
    }
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    connect(requester, &QObject::destroyed, this, [cancelled] { *cancelled = true; });
    worker_.start([this, file = files_[at->file], at = *at, cancelled, alive, answer] {
        if (*cancelled)
            return;
        bool tooLarge = false;
        const Reply reply = replyFor(*file, file->tile(at.zoom, at.column, at.row, &tooLarge));
        QMetaObject::invokeMethod(
            this,
            [this, index = at.file, tooLarge, alive, answer, reply] {
                if (tooLarge)
                    reportRefusal(index);
                if (alive)
                    answer(reply);
            },
            Qt::QueuedConnection);
    });
}

void TileReader::reportRefusal(int index) {
    if (refusalReported_[index])
        return;
    refusalReported_[index] = true;
    emit tileRefused(QStringLiteral("%1: a tile is larger than %2 MiB unpacked; such tiles are "
                                    "left blank")
                         .arg(QDir::toNativeSeparators(files_[index]->path()))
                         .arg(MbtilesFile::maxTileBytes / (1024 * 1024)));
}
