#include "devtoolspipe.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

DevToolsPipe::~DevToolsPipe()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    for (const int fd : {m_toBrowser, m_fromBrowser}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool DevToolsPipe::start(const QString &chromium, const QStringList &arguments)
{
    int toBrowser[2];
    int fromBrowser[2];
    if (::pipe2(toBrowser, O_CLOEXEC) != 0 || ::pipe2(fromBrowser, O_CLOEXEC) != 0) {
        return false;
    }
    std::vector<QByteArray> storage{chromium.toLocal8Bit(), "--remote-debugging-pipe"};
    for (const QString &argument : arguments) {
        storage.push_back(argument.toLocal8Bit());
    }
    std::vector<char *> argv;
    for (QByteArray &argument : storage) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        // Out of the way of 3 and 4 first, then exactly there, without close-on-exec.
        const int in = ::fcntl(toBrowser[0], F_DUPFD, 10);
        const int out = ::fcntl(fromBrowser[1], F_DUPFD, 10);
        if (in < 0 || out < 0 || ::dup2(in, 3) < 0 || ::dup2(out, 4) < 0) {
            ::_exit(127);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(toBrowser[0]);
    ::close(fromBrowser[1]);
    m_toBrowser = toBrowser[1];
    m_fromBrowser = fromBrowser[0];
    return m_pid > 0;
}

bool DevToolsPipe::readMessage(QByteArray *message, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        const qsizetype end = m_buffer.indexOf('\0');
        if (end >= 0) {
            *message = m_buffer.left(end);
            m_buffer.remove(0, end + 1);
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        pollfd fd{m_fromBrowser, POLLIN, 0};
        if (::poll(&fd, 1, 20) > 0) {
            char chunk[65536];
            const ssize_t n = ::read(m_fromBrowser, chunk, sizeof chunk);
            if (n <= 0) {
                return false; // the browser ended
            }
            m_buffer.append(chunk, n);
        }
        QTest::qWait(0);
    }
}

QJsonObject DevToolsPipe::call(const QString &method, const QJsonObject &params, int timeoutMs)
{
    const int id = m_nextId++;
    QJsonObject command{{"id", id}, {"method", method}, {"params", params}};
    if (!m_session.isEmpty()) {
        command.insert("sessionId", m_session);
    }
    const QByteArray bytes = QJsonDocument(command).toJson(QJsonDocument::Compact) + '\0';
    if (::write(m_toBrowser, bytes.constData(), size_t(bytes.size())) != bytes.size()) {
        return {{"error", "cannot write to the browser"}};
    }
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray message;
    while (readMessage(&message, int(deadline.remainingTime()))) {
        const QJsonObject reply = QJsonDocument::fromJson(message).object();
        if (reply.value("id").toInt() == id) {
            return reply.contains("error") ? reply : reply.value("result").toObject();
        }
    }
    return {{"error", QString(QStringLiteral("no answer to ") + method)}};
}

bool DevToolsPipe::open(const QString &url)
{
    const QString target =
        call("Target.createTarget", {{"url", "about:blank"}}).value("targetId").toString();
    m_session = call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}})
                    .value("sessionId")
                    .toString();
    return !m_session.isEmpty() && !call("Page.navigate", {{"url", url}}).contains("error");
}

QJsonValue DevToolsPipe::evaluate(const QString &expression)
{
    return call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}})
        .value("result")
        .toObject()
        .value("value");
}

bool DevToolsPipe::waitFor(const QString &expression, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (evaluate(expression).toBool()) {
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}
