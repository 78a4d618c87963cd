#include "index/indexwatch.h"

#include <algorithm>
#include <csignal>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace IndexWatch {

namespace {

struct Stamp
{
    off_t size = 0;
    timespec modified{};
};

// Read by the signal handler, so plain data written once before the handler is installed.
int watchedFd = -1;
Stamp stamp;
char faultMessage[2048];
size_t faultMessageLength = 0;

bool stampOf(int fd, Stamp *out)
{
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0) {
        return false;
    }
    out->size = info.st_size;
    out->modified = info.st_mtim;
    return true;
}

void onFault(int signal)
{
    // The handler was reset on entry: returning repeats the fault and ends the process as
    // before, for a crash that has nothing to do with the index.
    if (changed()) {
        ssize_t ignored = ::write(STDERR_FILENO, faultMessage, faultMessageLength);
        static_cast<void>(ignored);
        ::_exit(1);
    }
    static_cast<void>(signal);
}

} // namespace

QString message(const QString &path)
{
    return QStringLiteral("the association index %1 was changed while in use; replace an index "
                          "by writing the new one beside it and renaming it over the old one "
                          "(as --compile-index does), never by copying over it or truncating it. "
                          "Stopping, so that the service starts again with the new index")
        .arg(path);
}

void start(int fd, const QString &path)
{
    if (watchedFd >= 0 || !stampOf(fd, &stamp)) {
        return;
    }
    watchedFd = fd;
    const QByteArray text = "lexigrove-assocd: " + message(path).toLocal8Bit() + '\n';
    faultMessageLength = std::min(size_t(text.size()), sizeof faultMessage);
    std::memcpy(faultMessage, text.constData(), faultMessageLength);
    struct sigaction action
    {
    };
    action.sa_handler = onFault;
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, nullptr);
    ::sigaction(SIGSEGV, &action, nullptr);
}

bool changed()
{
    Stamp now;
    if (watchedFd < 0 || !stampOf(watchedFd, &now)) {
        return false;
    }
    return now.size != stamp.size || now.modified.tv_sec != stamp.modified.tv_sec ||
           now.modified.tv_nsec != stamp.modified.tv_nsec;
}

} // namespace IndexWatch
