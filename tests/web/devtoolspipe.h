#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// Headless chromium driven over its DevTools pipe (file descriptors 3 and 4, messages ended by
// NUL): enough to load a page, run a line of script and press a real key in it. Waiting keeps the
// event loop turning, so a server in the test's own thread goes on answering.
class DevToolsPipe
{
public:
    ~DevToolsPipe();

    bool start(const QString &chromium, const QStringList &arguments);
    // A command to the browser, or to the page once open() attached to one; the result, or an
    // object with "error" when none came within the time.
    QJsonObject call(const QString &method, const QJsonObject &params = {}, int timeoutMs = 30000);
    bool open(const QString &url);
    // The value of a script expression in the page.
    QJsonValue evaluate(const QString &expression);
    // Waits until the expression is true in the page.
    bool waitFor(const QString &expression, int timeoutMs = 30000);

private:
    bool readMessage(QByteArray *message, int timeoutMs);

    pid_t m_pid = -1;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    int m_nextId = 1;
    QString m_session;
    QByteArray m_buffer;
};
