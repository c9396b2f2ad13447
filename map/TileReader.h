#pragma once

#include <QByteArray>
#include <QObject>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <vector>

class MbtilesFile;

// Serves the tiles of the session's map files by address,
// "<file>/<z>/<x>/<y>", reading and unpacking them on a thread of its own,
// so a file without its index or a tile that unpacks slowly never holds up
// the caller's thread. An address of another form, or naming no open file,
// is not found.
class TileReader : public QObject {
    Q_OBJECT
public:
    struct Reply {
        bool found = false;
        QByteArray contentType;
        QByteArray body;
    };

    explicit TileReader(QObject* parent = nullptr);
    ~TileReader() override;

    // The file's number in addresses. The file is read on the worker only.
    int add(std::unique_ptr<MbtilesFile> file);

    // Calls answer later, on this object's thread, unless the requester is
    // gone by then; a requester gone before its tile is read costs no read.
    void read(const QString& address, QObject* requester,
              const std::function<void(const Reply&)>& answer);

signals:
    // Once per file, when the first of its tiles is refused as too large.
    void tileRefused(const QString& message);

private:
    void reportRefusal(int index);

    std::vector<std::shared_ptr<const MbtilesFile>> files_;
    std::vector<bool> refusalReported_;
    // One thread: each file's statement is used by one thread at a time.
    QThreadPool worker_;
};
