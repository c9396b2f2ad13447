#pragma once

#include "store/ColumnStore.h"
#include "store/FilterExpression.h"

#include <QCollator>

#include <optional>
#include <vector>

// A filter expression bound to a store's columns, each literal converted once
// to the kind of its column.
class RowFilter {
public:
    // Throws Error naming a column the store does not have.
    RowFilter(const FilterExpression& expression, const ColumnStore& store);

    // A row of the store the filter was made for.
    bool passes(const ColumnStore& store, quint32 row) const;

    // A condition "integer column = value" that every passing row meets, so
    // that only the rows an EqualityIndex gives for it need testing.
    struct IntegerEquality {
        int column;
        qint64 value;
        bool alone; // the filter's only condition: every row the index gives passes
    };
    std::optional<IntegerEquality> integerEquality() const;

private:
    struct Condition {
        int column = -1;
        ColumnKind kind = ColumnKind::Text;
        FilterComparison::Operator op = FilterComparison::Operator::Equal;
        qint64 integer = 0;
        double number = 0;
        QString text;
        QByteArray textUtf8;
    };

    bool holds(const ColumnStore& store, const Condition& condition, quint32 row) const;
    int compareText(const ColumnStore& store, const Condition& condition, quint32 row) const;

    std::vector<Condition> conditions_;
    QCollator collator_;
};
