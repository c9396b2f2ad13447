#pragma once

#include <QByteArray>
#include <QString>

// A 32 x 32 PNG pin whose tip is the pixel (15, 31), for the names served under
// "/mapfiles/ms/micons/": the five colours of the page's colour cycle and
// "marker", the standard marker. Empty for an unknown name.
QByteArray markerIconPng(const QString& name);
