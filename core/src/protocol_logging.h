#pragma once

#include <QLoggingCategory>

// Exchange diagnostics of the packet protocol.
Q_DECLARE_LOGGING_CATEGORY(lcProtocol)
// Hex dumps of every frame sent and received (verbose; off unless asked for).
Q_DECLARE_LOGGING_CATEGORY(lcProtocolHex)
