#pragma once

#include <QString>

// Watches the mapped index for being changed in place. Writing into a mapped file, or cutting
// it short, changes what the service reads under its feet (reads past the new end raise
// SIGBUS); a new index must be renamed over the old one instead, which leaves the mapped file
// untouched. The service then stops with a message saying so, and its unit restarts it.
namespace IndexWatch {

// Remembers the size and time of the open file, and turns a fault (SIGBUS or SIGSEGV) that
// comes after the file changed into the message and exit code 1. Once per process.
void start(int fd, const QString &path);
// Whether the file changed since start(); safe in a signal handler.
bool changed();
QString message(const QString &path);

} // namespace IndexWatch
