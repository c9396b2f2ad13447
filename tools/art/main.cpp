// Writes the program's artwork as PNG files into the folder given on the command line.
#include "tools/art/AppIconArt.h"
#include "tools/art/BannerArt.h"
#include "tools/art/ToolbarArt.h"

#include <QDir>
#include <QTextStream>

namespace {

bool save(const QImage& image, const QDir& folder, const QString& fileName) {
    const QString path = folder.filePath(fileName);
    if (image.save(path, "PNG"))
        return true;
    QTextStream(stderr) << "make-art: cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        QTextStream(stderr) << "usage: make-art OUTPUT_FOLDER\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists()) {
        QTextStream(stderr) << "make-art: no such folder " << folder.path() << '\n';
        return 2;
    }

    bool ok = save(drawAboutBanner(), folder, "about-banner.png");
    ok = save(drawAboutBanner(2), folder, "about-banner@2x.png") && ok;
    for (int scale : {1, 2})
        for (const ToolbarPicture& picture : drawToolbarPictures(scale))
            ok = save(picture.image, folder, picture.fileName) && ok;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok = save(drawApplicationIcon(size), folder, QString("app-icon-%1.png").arg(size)) && ok;
    return ok ? 0 : 1;
}
