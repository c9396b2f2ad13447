#pragma once

#include <QString>

#include <vector>

// The filter language: comparisons of a column with a literal, joined by
// "and". Example: radio_short_id=7 and time>='2012-05-03 00:00:00'
struct FilterComparison {
    enum class Operator { Equal, GreaterOrEqual, LessOrEqual };

    QString column;
    Operator op = Operator::Equal;
    bool literalIsText = false;
    QString text;       // a text literal, without its quotes
    qint64 integer = 0; // an integer literal
};

struct FilterExpression {
    std::vector<FilterComparison> comparisons; // all must hold; none for an empty text
};

// Throws Error describing where the text stops following the grammar.
FilterExpression parseFilter(const QString& text);
// The text that parses back to the expression, comparisons joined by " and ".
QString filterText(const FilterExpression& expression);
