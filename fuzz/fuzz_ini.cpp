// The INI reader over any file content. Input: the file's bytes, or
// "section NUL key NUL bytes" to look up a value of the input's choosing.

#include "app/IniReader.h"
#include "fuzz/FuzzCheck.h"

#include <QByteArrayView>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

const QString missing = QStringLiteral("<missing>");

QString lookUp(const QString& path, const QString& section, const QString& key) {
    const QString value = IniReader(path).readString(section, key, missing);
    fuzzCheck(value.size() <= IniReader::maxLength, "a value is at most maxLength long");
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.ini"));

    const QByteArrayView input(data, qsizetype(size));
    QString section = QStringLiteral("General");
    QString key = QStringLiteral("GoogleMapKey");
    QByteArrayView content = input;
    const qsizetype first = input.indexOf('\0');
    const qsizetype second = first < 0 ? -1 : input.indexOf('\0', first + 1);
    if (second >= 0) {
        section = QString::fromUtf8(input.first(first));
        key = QString::fromUtf8(input.sliced(first + 1, second - first - 1));
        content = input.sliced(second + 1);
    }

    QFile file(path);
    fuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "write the file");
    file.write(content.data(), content.size());
    file.close();

    const QString value = lookUp(path, section, key);
    if (!content.contains('='))
        fuzzCheck(value == missing, "a file without \"=\" holds no value");
    lookUp(path, QStringLiteral("General"), QStringLiteral("TileUrl"));
    return 0;
}
