#pragma once

#include <QString>

// How a column's values are held and compared.
enum class ColumnKind { Integer, Real, Text, DateTime };

ColumnKind columnKindOfDeclaredType(const QString& declaredType);
