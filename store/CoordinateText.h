// The writer's coordinate texts (degrees and minutes with a hemisphere
// letter) read as decimal degrees, to the map's four decimals or in full.
#pragma once

#include <QChar>
#include <QString>

enum class QuotientRule { Truncating, Rounding };

// Field n (counted from 1; 0 counts as 1) of text cut at delimiter.
QString FieldOf(const QString& text, QChar delimiter, int n);

// Stored "DD.MMmmmm" text to decimal-degree text "DD.dddd", the degrees
// written as a plain script number ("070" -> "70", " +7" -> "7", "" -> "0").
// A hemisphere letter 'S' or 'W' makes an unsigned degrees part negative.
// Throws Error naming the text when it does not convert, degrees other than
// blanks, a sign and digits included.
QString ToDecimalDegrees(const QString& stored, QuotientRule rule, QChar hemisphere = QChar());

// The same reading at full precision, for route figures and files rather
// than script commands: 41° 51.6811' is 41.86135166..., where the map has
// 41.8614. Fails on the text the rounding rule fails on, so a route keeps the
// same reports on the map and in its files.
double decimalDegrees(const QString& stored, QChar hemisphere = QChar());

// "lat,lng" of a record, latitude converted first.
QString coordinatePairText(const QString& lat, QChar ns, const QString& lng, QChar ew,
                           QuotientRule rule);
