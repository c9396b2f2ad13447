#pragma once

#include <QList>
#include <QString>
#include <optional>

// What the machine tells about itself, read once when the system properties are shown.
struct SystemSnapshot {
    QString operatingSystem;
    QString kernel;
    QString architecture;
    QString cpuInfo; // text of /proc/cpuinfo, empty where there is none
    QString memInfo; // text of /proc/meminfo, empty where there is none
    QString qtVersion;
    QString databasePath;
    std::optional<qint64> databaseSize; // absent when the file does not exist
};

struct SystemFact {
    QString name;
    QString value;

    bool operator==(const SystemFact&) const = default;
};

// Reads the running system; the database file is looked up in the working directory.
SystemSnapshot takeSystemSnapshot(const QString& databaseFileName);

// The rows the system properties show, in order.
QList<SystemFact> systemFacts(const SystemSnapshot& snapshot);

// "model (N logical processors, architecture)" from the cpuinfo text.
QString processorDescription(const QString& cpuInfo, const QString& architecture);

// The total memory from the meminfo text, or "unknown".
QString memoryDescription(const QString& memInfo);

// A size for people: "512 bytes", "1.5 KiB", "15.6 GiB".
QString byteSizeText(qint64 bytes);
