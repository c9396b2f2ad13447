#pragma once

#include <QString>

// The INI value "ClusterRadios": whether crowded markers start grouped into
// clusters. Empty means off; 1/0, true/false, yes/no and on/off are read in
// any case; anything else leaves clusters off, with a message for the user.
struct ClusterSetting {
    bool on = false;
    QString problem; // empty when the value was usable

    static ClusterSetting fromIni(const QString& value);
};
