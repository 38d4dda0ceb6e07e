#pragma once

#include <QLoggingCategory>

// Diagnostics of the main window and its discovery worker (debug off by default).
Q_DECLARE_LOGGING_CATEGORY(lcWindow)
Q_DECLARE_LOGGING_CATEGORY(lcDiscover)
