#include "store/RowFilter.h"

#include "app/Error.h"
#include "store/DateTimeValue.h"

#include <cmath>

namespace {

constexpr double realTolerance = 0.00001;

qint64 integerOfLiteralText(const QString& text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? value : 0;
}

double realOfLiteralText(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : 0.0;
}

template <typename T> int threeWay(T left, T right) {
    return left < right ? -1 : (left > right ? 1 : 0);
}

} // namespace

RowFilter::RowFilter(const FilterExpression& expression, const ColumnStore& store) {
    collator_.setCaseSensitivity(Qt::CaseSensitive);
    for (const FilterComparison& comparison : expression.comparisons) {
        Condition condition;
        condition.column = store.columnIndex(comparison.column);
        if (condition.column < 0)
            throw Error(QStringLiteral("Unknown column \"%1\" in filter").arg(comparison.column));
        condition.kind = store.info(condition.column).kind;
        condition.op = comparison.op;
        switch (condition.kind) {
        case ColumnKind::Integer:
            condition.integer = comparison.literalIsText ? integerOfLiteralText(comparison.text)
                                                         : comparison.integer;
            break;
        case ColumnKind::Real:
            condition.number = comparison.literalIsText ? realOfLiteralText(comparison.text)
                                                        : double(comparison.integer);
            break;
        case ColumnKind::DateTime:
            condition.number = comparison.literalIsText ? readFixedFormDateTime(comparison.text)
                                                        : double(comparison.integer);
            break;
        case ColumnKind::Text:
            condition.text =
                comparison.literalIsText ? comparison.text : QString::number(comparison.integer);
            condition.textUtf8 = condition.text.toUtf8();
            break;
        }
        conditions_.push_back(std::move(condition));
    }
}

bool RowFilter::passes(const ColumnStore& store, quint32 row) const {
    for (const Condition& condition : conditions_) {
        if (!holds(store, condition, row))
            return false;
    }
    return true;
}

std::optional<RowFilter::IntegerEquality> RowFilter::integerEquality() const {
    for (const Condition& condition : conditions_) {
        if (condition.kind == ColumnKind::Integer &&
            condition.op == FilterComparison::Operator::Equal)
            return IntegerEquality{condition.column, condition.integer, conditions_.size() == 1};
    }
    return std::nullopt;
}

bool RowFilter::holds(const ColumnStore& store, const Condition& condition, quint32 row) const {
    using Op = FilterComparison::Operator;
    // NULL lies below every literal.
    if (store.isNull(condition.column, row))
        return condition.op == Op::LessOrEqual;

    int order = 0;
    switch (condition.kind) {
    case ColumnKind::Integer:
        order = threeWay(store.integer(condition.column, row), condition.integer);
        break;
    case ColumnKind::Real: {
        const double value = store.number(condition.column, row);
        order = std::fabs(value - condition.number) <= realTolerance
                    ? 0
                    : threeWay(value, condition.number);
        break;
    }
    case ColumnKind::DateTime:
        order = threeWay(store.number(condition.column, row), condition.number);
        break;
    case ColumnKind::Text:
        order = compareText(store, condition, row);
        break;
    }
    switch (condition.op) {
    case Op::Equal:
        return order == 0;
    case Op::GreaterOrEqual:
        return order >= 0;
    case Op::LessOrEqual:
        return order <= 0;
    }
    return false;
}

int RowFilter::compareText(const ColumnStore& store, const Condition& condition,
                           quint32 row) const {
    const QByteArrayView value = store.utf8(condition.column, row);
    // Identical text collates equal; only differing text needs the collator.
    if (value == condition.textUtf8)
        return 0;
    return collator_.compare(QString::fromUtf8(value), condition.text);
}
