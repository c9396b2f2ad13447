#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// One MBTiles file, opened read-only: its description from the metadata
// table and its tiles by web-map address (the file stores rows bottom-up).
// Vector tiles come back as plain protobuf, whether stored gzip-compressed
// or not. A file that cannot serve tiles says why in error().
class MbtilesFile {
public:
    // No real tile comes near this, stored or unpacked. Unpacking stops
    // there and a larger tile is refused, so a small hostile tile cannot take
    // the memory of the program or of the page.
    static constexpr qsizetype maxTileBytes = 8 * 1024 * 1024;

    // The path is taken as absolute and shown cleaned: a relative one that
    // climbs above the root stops there, as the system resolves it.
    explicit MbtilesFile(const QString& path);
    ~MbtilesFile();
    MbtilesFile(const MbtilesFile&) = delete;
    MbtilesFile& operator=(const MbtilesFile&) = delete;

    bool isOpen() const { return query_ != nullptr; }
    QString error() const { return error_; }
    QString path() const { return path_; }

    // "png", "jpg", "webp" or "pbf".
    QString format() const { return format_; }
    bool isVector() const { return format_ == QLatin1String("pbf"); }
    QString name() const { return name_; }
    QString attribution() const { return attribution_; }
    int minZoom() const { return minZoom_; }
    int maxZoom() const { return maxZoom_; }

    // Nothing for a missing tile, an address outside the levels, a tile that
    // does not decode or one over maxTileBytes (then *tooLarge is set).
    std::optional<QByteArray> tile(int zoom, int column, int row, bool* tooLarge = nullptr) const;

private:
    QString fail(const QString& reason);
    void readMetadata();
    void checkTiles();
    std::optional<QByteArray> storedTile(int zoom, int column, int tmsRow, bool* tooLarge) const;

    QString path_;
    QString error_;
    QString format_;
    QString name_;
    QString attribution_;
    int minZoom_ = 0;
    int maxZoom_ = 22;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* query_ = nullptr;
};
