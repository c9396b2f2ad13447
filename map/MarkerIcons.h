#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The names served under "/mapfiles/ms/micons/": the five colours of the page's
// colour cycle and "marker", the standard marker.
QStringList markerIconNames();

// A 32 x 32 PNG pin whose tip is the pixel (15, 31); empty for an unknown name.
QByteArray markerIconPng(const QString& name);
