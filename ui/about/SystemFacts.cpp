#include "ui/about/SystemFacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <QSysInfo>
#include <algorithm>

namespace {

QString readTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The value of the first "key : value" line whose key is `key`.
QString firstValue(const QStringList& lines, const QString& key) {
    for (const QString& line : lines) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && line.left(colon).trimmed() == key)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace

SystemSnapshot takeSystemSnapshot(const QString& databaseFileName) {
    SystemSnapshot snapshot;
    snapshot.operatingSystem = QSysInfo::prettyProductName();
    snapshot.kernel = QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion();
    snapshot.architecture = QSysInfo::currentCpuArchitecture();
    snapshot.cpuInfo = readTextFile(QStringLiteral("/proc/cpuinfo"));
    snapshot.memInfo = readTextFile(QStringLiteral("/proc/meminfo"));
    snapshot.qtVersion = QString::fromLatin1(qVersion());
    const QFileInfo database(QDir::current().absoluteFilePath(databaseFileName));
    snapshot.databasePath = database.absoluteFilePath();
    if (database.isFile())
        snapshot.databaseSize = database.size();
    return snapshot;
}

QList<SystemFact> systemFacts(const SystemSnapshot& snapshot) {
    const QString unknown = QStringLiteral("unknown");
    auto orUnknown = [&](const QString& text) { return text.isEmpty() ? unknown : text; };
    return {
        {QStringLiteral("Operating system"), orUnknown(snapshot.operatingSystem)},
        {QStringLiteral("Kernel"), orUnknown(snapshot.kernel.trimmed())},
        {QStringLiteral("Processor"),
         processorDescription(snapshot.cpuInfo, snapshot.architecture)},
        {QStringLiteral("Memory"), memoryDescription(snapshot.memInfo)},
        {QStringLiteral("Qt version"), orUnknown(snapshot.qtVersion)},
        {QStringLiteral("Database file"), orUnknown(snapshot.databasePath)},
        {QStringLiteral("Database size"), snapshot.databaseSize
                                              ? byteSizeText(*snapshot.databaseSize)
                                              : QStringLiteral("no such file")},
    };
}

QString processorDescription(const QString& cpuInfo, const QString& architecture) {
    const QStringList lines = cpuInfo.split(QLatin1Char('\n'));
    QString model = firstValue(lines, QStringLiteral("model name"));
    if (model.isEmpty())
        model = firstValue(lines, QStringLiteral("Hardware"));
    if (model.isEmpty())
        model = firstValue(lines, QStringLiteral("Model"));
    model = model.simplified();
    const qsizetype processors = std::count_if(lines.begin(), lines.end(), [](const QString& line) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        return colon > 0 && line.left(colon).trimmed() == QLatin1String("processor");
    });

    QStringList details;
    if (processors > 0)
        details << (processors == 1 ? QStringLiteral("1 logical processor")
                                    : QStringLiteral("%1 logical processors").arg(processors));
    if (!architecture.isEmpty())
        details << architecture;
    if (model.isEmpty())
        return details.isEmpty() ? QStringLiteral("unknown") : details.join(QStringLiteral(", "));
    if (details.isEmpty())
        return model;
    return model + QStringLiteral(" (") + details.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString memoryDescription(const QString& memInfo) {
    const QString total = firstValue(memInfo.split(QLatin1Char('\n')), QStringLiteral("MemTotal"));
    const QStringList parts = total.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    bool ok = false;
    const qint64 kibibytes = parts.value(0).toLongLong(&ok);
    if (!ok || kibibytes <= 0 || parts.value(1, QStringLiteral("kB")) != QLatin1String("kB"))
        return QStringLiteral("unknown");
    return byteSizeText(kibibytes * 1024);
}

QString byteSizeText(qint64 bytes) {
    if (bytes < 1024)
        return bytes == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(bytes);
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeIecFormat);
}
