#pragma once

#include <QtGlobal>

// What one client may cost the server. A connection that breaks a limit gets an error reply and
// is closed; the defaults suit a local service with a handful of clients.
struct HttpLimits
{
    int maxConnections = 256;  // further clients wait in the listen queue until one ends
    int idleTimeoutMs = 15000; // a connection must complete a request within this
    int headTimeoutMs = 5000;  // a request head must be complete this long after it began
    // A body must arrive at this rate at least, on top of the head's time.
    int minBodyBytesPerSecond = 4096;
    // At the cap, with clients waiting, a connection that has waited this long for the rest of
    // a request (or for a new one) gives way.
    int evictAfterMs = 1000;
    int lingerMs = 2000;                // a closing connection still drains input this long
    qsizetype maxHeadBytes = 16 * 1024; // request line and header fields
    qsizetype maxBodyBytes = 64 * 1024;
    qsizetype maxPendingOutput = 1024 * 1024; // stop reading while more is waiting to go out
    // What one connection may write in one turn of the event loop before the others have theirs:
    // a big reply, or many pipelined ones, would otherwise hold up every small one behind it.
    qsizetype writeSlice = 128 * 1024;
};
