#pragma once

#include <QLoggingCategory>

// Diagnostics of the session and its workers (debug off by default).
Q_DECLARE_LOGGING_CATEGORY(lcSession)
Q_DECLARE_LOGGING_CATEGORY(lcDiscover)
