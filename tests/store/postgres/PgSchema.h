#pragma once

#include "app/Error.h"
#include "tests/support/PgSession.h"

#include <QFile>

// Creates the four tables, their triggers and the change count with the
// script a writer runs.
inline void createPgSchema(PgSession& session) {
    QFile script(QStringLiteral(PG_SCHEMA_PATH));
    if (!script.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("cannot read ") + script.fileName());
    session.exec(QString::fromUtf8(script.readAll()));
}
