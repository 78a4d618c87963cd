#pragma once

#include <QtGlobal>

// What one client may cost the server. A connection that breaks a limit gets an error reply and
// is closed; the defaults suit a local service with a handful of clients.
struct HttpLimits
{
    int maxConnections = 256;           // further connections get 503 and are closed
    int idleTimeoutMs = 15000;          // a connection must complete a request within this
    int headTimeoutMs = 5000;           // a request head must be complete this long after it began
    int lingerMs = 2000;                // a closing connection still drains input this long
    qsizetype maxHeadBytes = 16 * 1024; // request line and header fields
    qsizetype maxBodyBytes = 64 * 1024;
    qsizetype maxPendingOutput = 1024 * 1024; // stop reading while more is waiting to go out
};
