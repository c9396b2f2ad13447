#include "store/ColumnKind.h"

// The declared type decides, case-insensitively and in this order:
//   contains "DATE" or "TIME"               -> date-time (DATE, DATETIME, TIMESTAMP)
//   contains "INT"                          -> integer   (INTEGER, BIGINT, SMALLINT)
//   contains "REAL", "FLOA", "DOUB", "NUM"
//   or "DEC"                                -> real      (REAL, FLOAT, DOUBLE, NUMERIC, DECIMAL)
//   anything else, or no declared type      -> text      (TEXT, VARCHAR(20), BLOB, an expression)
// Date and time come first so that a type naming both a time and an integer
// ("TIMESTAMP INTEGER", "DATETIME_INT") stays a date-time: the writer keeps
// times as text, and only the date-time kind reads that text as a time.
ColumnKind columnKindOfDeclaredType(const QString& declaredType) {
    const QString type = declaredType.toUpper();
    if (type.contains(u"DATE") || type.contains(u"TIME"))
        return ColumnKind::DateTime;
    if (type.contains(u"INT"))
        return ColumnKind::Integer;
    for (const char16_t* real : {u"REAL", u"FLOA", u"DOUB", u"NUM", u"DEC"}) {
        if (type.contains(QStringView(real)))
            return ColumnKind::Real;
    }
    return ColumnKind::Text;
}
