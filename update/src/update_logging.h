#pragma once

#include <QLoggingCategory>

// Diagnostics of the firmware update (debug off by default).
Q_DECLARE_LOGGING_CATEGORY(lcUpdate)
