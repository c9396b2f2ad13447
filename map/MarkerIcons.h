#pragma once

#include <QByteArray>
#include <QString>

// A 32 x 32 PNG pin whose tip is the pixel (15, 31), for the names served under
// "/mapfiles/ms/micons/": the five colours of the page's colour cycle and
// "marker", the standard marker. A name ending in "@2x" gives the same pin
// drawn 64 x 64 for screens of twice the density. Empty for an unknown name.
QByteArray markerIconPng(const QString& name);
