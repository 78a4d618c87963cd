#pragma once

#include <QByteArray>

#include <memory>

// One parsed request, as the connection hands it to the handler.
struct HttpRequest
{
    QByteArray method;
    QByteArray path;  // the request target before "?"
    QByteArray query; // after "?", without it
    QByteArray accept;
    QByteArray acceptLanguage;
    QByteArray origin;      // of a browser script's request
    QByteArray ifNoneMatch; // the entity tags of a copy the client holds
    QByteArray body;
    int minorVersion = 1; // HTTP/1.minorVersion
};

struct HttpResponse
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QByteArray extraHeaders; // complete lines, each ending in "\r\n"

    static HttpResponse error(int status, const QByteArray &extraHeaders = {});
    static QByteArray reasonPhrase(int status);

    // Status line and headers, up to the blank line that ends them.
    QByteArray head(bool keepAlive) const;
    // The head and, unless headOnly, the body.
    QByteArray serialize(bool keepAlive, bool headOnly) const;
};

// An answer made of parts that can be computed apart, and at once (one per seed keyword of a
// search), so that a big request does not hold a worker thread for long.
class HttpSplitAnswer
{
public:
    virtual ~HttpSplitAnswer() = default;
    virtual int parts() const = 0;
    // Distinct parts may be computed at the same time, on different threads.
    virtual void computePart(int index) = 0;
    // Once every part is computed.
    virtual HttpResponse response() = 0;

    HttpResponse answerInOneGo()
    {
        for (int i = 0; i < parts(); ++i) {
            computePart(i);
        }
        return response();
    }
};

// Answers requests, once per complete request: in the thread of the connection, or on worker
// threads, several at once (see HttpServer::setWorkerThreads).
class HttpHandler
{
public:
    virtual ~HttpHandler() = default;
    virtual HttpResponse handle(const HttpRequest &request) = 0;
    // Answers a request that costs next to nothing (an error, a cached reply) in the calling
    // thread, sparing the trip to a worker; false when handle() must do it.
    virtual bool handleAtOnce(const HttpRequest &request, HttpResponse *response)
    {
        static_cast<void>(request);
        static_cast<void>(response);
        return false;
    }
    // On a worker, for a request that handleAtOnce() did not answer: the answer in parts, each
    // computed on a worker of its own; null when handle() answers it in one go.
    virtual std::shared_ptr<HttpSplitAnswer> split(const HttpRequest &request)
    {
        static_cast<void>(request);
        return nullptr;
    }
};
