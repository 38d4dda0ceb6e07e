#pragma once

#include "comm_protocol.h"

#include <QLoggingCategory>
#include <QString>

// Diagnostics of the command engine (debug off by default).
Q_DECLARE_LOGGING_CATEGORY(lcEngine)

// One line in the engine's failure pattern:
// "Got error code <n> <name> for <subject> in <operation> () at <file> <line>".
void logEngineError(
    eResult_t code, const QString &subject, const char *operation, const char *file, int line);

#define ENGINE_LOG_ERROR(code, subject, operation)                                                 \
    logEngineError((code), (subject), (operation), __FILE__, __LINE__)

// The file name without its directories, as log lines show it.
const char *engineSourceName(const char *path);
