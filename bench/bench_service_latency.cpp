// Request latency of a running lexigrove-assocd, as a client sees it:
//
//   bench_service_latency PORT uncached CUE-FILE
//       each keyword of the file (one a line, '#' lines skipped) once, n=200, on one kept-alive
//       connection: the first request for a keyword, so the cache cannot answer it
//   bench_service_latency PORT uncached-api CUE-FILE
//       the same through the API, two keywords of the file a request, 200 words each, as CSV
//   bench_service_latency PORT loaded [SECONDS] [CONNECTIONS] [WORD-LIST]
//       a cached classic request, one after the other, while CONNECTIONS other connections
//       (default 64) ask for pages of 10 seeds x 200 words as fast as they are answered: the
//       same page (so cached after the first), or with WORD-LIST ten new words of it each time
//
//   bench_service_latency PORT burst [CLIENTS]
//       CLIENTS (default 10000) connect at once, each sends one request with "Connection:
//       close"; counts the replies by status, and the clients that got nothing or a reset
//
// Prints p50, p99 and the largest latency in milliseconds.

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int connectTo(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sockaddr_in address{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        std::perror("connect");
        std::exit(1);
    }
    return fd;
}

// Sends one request and reads its whole reply (Content-Length framing); false on failure.
bool exchange(int fd, const QByteArray &request, QByteArray *buffer)
{
    if (::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) != request.size()) {
        return false;
    }
    buffer->clear();
    char chunk[65536];
    for (;;) {
        const qsizetype end = buffer->indexOf("\r\n\r\n");
        if (end >= 0) {
            const qsizetype at = buffer->indexOf("Content-Length: ");
            const qsizetype length =
                at < 0 ? 0 : buffer->mid(at + 16, 12).split('\r')[0].toLongLong();
            if (buffer->size() >= end + 4 + length) {
                return buffer->startsWith("HTTP/1.1 200");
            }
        }
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) {
            return false;
        }
        buffer->append(chunk, n);
    }
}

QByteArray get(const QByteArray &target)
{
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

QByteArray encoded(const QByteArray &word)
{
    return word.toPercentEncoding();
}

void report(std::vector<double> ms)
{
    if (ms.empty()) {
        std::printf("no requests\n");
        return;
    }
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[std::min(ms.size() - 1, size_t(q * ms.size()))]; };
    std::printf("requests %zu  p50 %.3f ms  p99 %.3f ms  max %.3f ms\n", ms.size(), at(0.5),
                at(0.99), ms.back());
}

double timed(int fd, const QByteArray &request, QByteArray *buffer)
{
    const auto start = Clock::now();
    if (!exchange(fd, request, buffer)) {
        std::fprintf(stderr, "request failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

QList<QByteArray> cues(const char *cueFile)
{
    QFile file(QString::fromLocal8Bit(cueFile));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", cueFile);
        std::exit(1);
    }
    QList<QByteArray> words;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray word = line.trimmed();
        if (!word.isEmpty() && !word.startsWith('#')) {
            words.append(encoded(word));
        }
    }
    return words;
}

// With api, two keywords a request (the file's in pairs) as CSV; else the classic page.
int uncached(quint16 port, const char *cueFile, bool api)
{
    const QList<QByteArray> words = cues(cueFile);
    const int fd = connectTo(port);
    QByteArray buffer;
    std::vector<double> ms;
    for (qsizetype i = 0; i + (api ? 1 : 0) < words.size(); i += api ? 2 : 1) {
        QByteArray target = "/cgi-bin/meta/meta.ger1-asso?anzahl=200&eingabe=" + words[i];
        if (api) {
            target = "/api/v1/associations?n=200&format=csv&q=" + words[i] + ',' + words[i + 1];
        }
        ms.push_back(timed(fd, get(target), &buffer));
    }
    ::close(fd);
    report(ms);
    return 0;
}

// With a word list, each heavy page asks for ten words of it not asked for before, so that no
// cache answers it; without, the same ten seeds again and again.
int loaded(quint16 port, int seconds, int connections, const char *wordList)
{
    const QByteArray same = get("/api/v1/associations?n=200&format=csv&q=Haus,Garten,Baum,Auto,"
                                "Wasser,Stadt,Schule,Arbeit,Musik,Zeit");
    const QList<QByteArray> words = wordList ? cues(wordList) : QList<QByteArray>();
    std::atomic<qsizetype> nextWord{0};
    const auto heavy = [&] {
        if (words.size() < 10) {
            return same;
        }
        QByteArray target = "/api/v1/associations?n=200&format=csv&q=";
        for (int i = 0; i < 10; ++i) {
            target += (i ? "," : "") + words[nextWord++ % words.size()];
        }
        return get(target);
    };
    std::atomic<bool> stop{false};
    std::atomic<long> heavyDone{0};
    std::vector<std::thread> load;
    for (int i = 0; i < connections; ++i) {
        load.emplace_back([&] {
            const int fd = connectTo(port);
            QByteArray buffer;
            while (!stop && exchange(fd, heavy(), &buffer)) {
                ++heavyDone;
            }
            ::close(fd);
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const int fd = connectTo(port);
    QByteArray buffer;
    const QByteArray cached = get("/cgi-bin/meta/meta.ger1-asso?eingabe=Haus&anzahl=200");
    timed(fd, cached, &buffer); // now it is cached
    std::vector<double> ms;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        ms.push_back(timed(fd, cached, &buffer));
    }
    stop = true;
    for (std::thread &t : load) {
        t.join();
    }
    ::close(fd);
    report(ms);
    std::printf("heavy pages answered meanwhile: %ld\n", heavyDone.load());
    return 0;
}

struct BurstClient
{
    int fd = -1;
    QByteArray received;
    bool sent = false;
    bool done = false;
    bool reset = false;
};

void serveBurstClient(BurstClient *client, short events, const QByteArray &request)
{
    if (!client->sent && (events & POLLOUT)) {
        client->sent = ::send(client->fd, request.constData(), size_t(request.size()),
                              MSG_NOSIGNAL) == request.size();
    }
    if (events & (POLLIN | POLLHUP | POLLERR)) {
        char chunk[16384];
        const ssize_t n = ::recv(client->fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            client->received.append(chunk, n);
            return;
        }
        if (n < 0 && errno == EAGAIN) {
            return;
        }
        client->done = true;
        client->reset = n < 0;
        ::close(client->fd);
    }
}

int burst(quint16 port, int count)
{
    const QByteArray request = "GET /cgi-bin/meta/meta.ger1-asso?eingabe=Haus&anzahl=200 "
                               "HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    std::vector<BurstClient> clients(static_cast<size_t>(count));
    const auto start = Clock::now();
    for (BurstClient &client : clients) {
        client.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
        ::connect(client.fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    }
    int left = count;
    while (left > 0 && Clock::now() - start < std::chrono::seconds(120)) {
        std::vector<pollfd> polled;
        std::vector<BurstClient *> owners;
        for (BurstClient &client : clients) {
            if (!client.done) {
                polled.push_back({client.fd, short(client.sent ? POLLIN : POLLIN | POLLOUT), 0});
                owners.push_back(&client);
            }
        }
        ::poll(polled.data(), polled.size(), 100);
        for (size_t i = 0; i < polled.size(); ++i) {
            if (polled[i].revents != 0) {
                serveBurstClient(owners[i], polled[i].revents, request);
                left -= owners[i]->done ? 1 : 0;
            }
        }
    }
    int ok = 0, refused = 0, empty = 0, reset = 0;
    for (const BurstClient &client : clients) {
        ok += client.received.startsWith("HTTP/1.1 200 ") ? 1 : 0;
        refused += client.received.startsWith("HTTP/1.1 503 ") ? 1 : 0;
        empty += client.done && client.received.isEmpty() && !client.reset ? 1 : 0;
        reset += client.reset ? 1 : 0;
    }
    std::printf(
        "%d clients in %.2f s: %d answered 200, %d 503, %d empty, %d reset, %d unfinished\n", count,
        std::chrono::duration<double>(Clock::now() - start).count(), ok, refused, empty, reset,
        left);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && QByteArray(argv[2]).startsWith("uncached")) {
        return uncached(quint16(std::atoi(argv[1])), argv[3],
                        QByteArray(argv[2]) == "uncached-api");
    }
    if (argc >= 3 && QByteArray(argv[2]) == "loaded") {
        return loaded(quint16(std::atoi(argv[1])), argc > 3 ? std::atoi(argv[3]) : 10,
                      argc > 4 ? std::atoi(argv[4]) : 64, argc > 5 ? argv[5] : nullptr);
    }
    if (argc >= 3 && QByteArray(argv[2]) == "burst") {
        return burst(quint16(std::atoi(argv[1])), argc > 3 ? std::atoi(argv[3]) : 10000);
    }
    std::fprintf(stderr,
                 "usage: %s PORT uncached|uncached-api CUE-FILE | PORT loaded [SECONDS] "
                 "[CONNECTIONS] [WORD-LIST] | "
                 "PORT burst [CLIENTS]\n",
                 argv[0]);
    return 2;
}
