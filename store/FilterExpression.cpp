#include "store/FilterExpression.h"

#include "app/Error.h"

#include <QStringList>

namespace {

class FilterParser {
public:
    explicit FilterParser(const QString& text)
        : text_(text) {}

    FilterExpression parse() {
        FilterExpression expression;
        skipBlanks();
        if (atEnd())
            return expression;
        expression.comparisons.push_back(comparison());
        while (true) {
            skipBlanks();
            if (atEnd())
                return expression;
            if (word().compare(u"and", Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("\"and\" expected"));
            skipBlanks();
            expression.comparisons.push_back(comparison());
        }
    }

private:
    FilterComparison comparison() {
        FilterComparison result;
        result.column = word();
        if (result.column.isEmpty())
            fail(QStringLiteral("column name expected"));
        skipBlanks();
        result.op = comparisonOperator();
        skipBlanks();
        literal(result);
        return result;
    }

    FilterComparison::Operator comparisonOperator() {
        if (peek() == u'=') {
            ++pos_;
            return FilterComparison::Operator::Equal;
        }
        if ((peek() == u'>' || peek() == u'<') && peek(1) == u'=') {
            const bool greater = peek() == u'>';
            pos_ += 2;
            return greater ? FilterComparison::Operator::GreaterOrEqual
                           : FilterComparison::Operator::LessOrEqual;
        }
        fail(QStringLiteral("\"=\", \">=\" or \"<=\" expected"));
    }

    void literal(FilterComparison& result) {
        if (peek() == u'\'') {
            ++pos_;
            // Two quotes in a row stand for one quote inside the literal.
            while (true) {
                if (atEnd())
                    fail(QStringLiteral("unterminated text literal"));
                const QChar c = text_[pos_++];
                if (c == u'\'') {
                    if (peek() != u'\'') {
                        result.literalIsText = true;
                        return;
                    }
                    ++pos_;
                }
                result.text += c;
            }
        }
        const qsizetype start = pos_;
        if (peek() == u'-' || peek() == u'+')
            ++pos_;
        while (peek().isDigit())
            ++pos_;
        if (isWordCharacter(peek()))
            fail(QStringLiteral("literal expected"));
        bool ok = false;
        result.integer = QStringView(text_).mid(start, pos_ - start).toLongLong(&ok, 10);
        if (!ok)
            fail(QStringLiteral("literal expected"), start);
    }

    QString word() {
        const qsizetype start = pos_;
        if (peek().isLetter() || peek() == u'_') {
            while (isWordCharacter(peek()))
                ++pos_;
        }
        return text_.mid(start, pos_ - start);
    }

    static bool isWordCharacter(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

    void skipBlanks() {
        while (peek().isSpace())
            ++pos_;
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek(qsizetype ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : QChar();
    }

    [[noreturn]] void fail(const QString& what) { fail(what, pos_); }
    [[noreturn]] void fail(const QString& what, qsizetype at) {
        throw Error(QStringLiteral("Invalid filter \"%1\": %2 at position %3")
                        .arg(text_, what)
                        .arg(at + 1));
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

} // namespace

FilterExpression parseFilter(const QString& text) {
    return FilterParser(text).parse();
}

QString filterText(const FilterExpression& expression) {
    QStringList comparisons;
    for (const FilterComparison& comparison : expression.comparisons) {
        const QString op = comparison.op == FilterComparison::Operator::Equal ? QStringLiteral("=")
                           : comparison.op == FilterComparison::Operator::GreaterOrEqual
                               ? QStringLiteral(">=")
                               : QStringLiteral("<=");
        QString literal = QString::number(comparison.integer);
        if (comparison.literalIsText) {
            literal = comparison.text;
            literal.replace(QLatin1Char('\''), QStringLiteral("''"));
            literal = QLatin1Char('\'') + literal + QLatin1Char('\'');
        }
        comparisons << comparison.column + op + literal;
    }
    return comparisons.join(QStringLiteral(" and "));
}
