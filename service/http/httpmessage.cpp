#include "http/httpmessage.h"

HttpResponse HttpResponse::error(int status, const QByteArray &extraHeaders)
{
    const QByteArray text = QByteArray::number(status).append(' ').append(reasonPhrase(status));
    HttpResponse response;
    response.status = status;
    response.contentType = "text/html; charset=utf-8";
    response.body = QByteArray("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>")
                        .append(text)
                        .append("</title></head>\n<body><h1>")
                        .append(text)
                        .append("</h1></body></html>\n");
    response.extraHeaders = QByteArray("X-Content-Type-Options: nosniff\r\n").append(extraHeaders);
    return response;
}

QByteArray HttpResponse::reasonPhrase(int status)
{
    switch (status) {
    case 100:
        return "Continue";
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Unknown";
    }
}

QByteArray HttpResponse::head(bool keepAlive) const
{
    QByteArray out;
    out.reserve(160 + extraHeaders.size());
    out.append("HTTP/1.1 ")
        .append(QByteArray::number(status))
        .append(' ')
        .append(reasonPhrase(status))
        .append("\r\nServer: lexigrove-assocd\r\n");
    // These two have no content, so nothing may describe one.
    if (status != 204 && status != 304) {
        out.append("Content-Type: ")
            .append(contentType)
            .append("\r\nContent-Length: ")
            .append(QByteArray::number(body.size()))
            .append("\r\n");
    }
    return out.append(keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n")
        .append(extraHeaders)
        .append("\r\n");
}

QByteArray HttpResponse::serialize(bool keepAlive, bool headOnly) const
{
    return headOnly ? head(keepAlive) : head(keepAlive).append(body);
}
