#pragma once

#include "store/RowFingerprint.h"

#include <QString>

#include <atomic>
#include <optional>

// Fingerprints a rowid table's rows up to a row id, in row id order, on a
// connection of its own, so that it can run beside the user-interface
// thread. It reads a few thousand rows per statement: each statement is its
// own read transaction, and a writer waits for none longer than milliseconds.
// Nothing when the read fails or is cancelled.
std::optional<RowFingerprint> fingerprintRows(const QString& fileName, const QString& tableName,
                                              qint64 lastRowid, const std::atomic_bool& cancelled);
