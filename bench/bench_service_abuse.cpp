// Load of requests that lexigrove-assocd must refuse, for bench/service-load.sh (wrk only sends
// well-formed requests). Keeps CONNECTIONS connections busy for SECONDS: each sends one bad
// request, reads the answer until the service closes, and connects again.
//
//   bench_service_abuse PORT [CONNECTIONS] [SECONDS]

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

namespace {

QList<QByteArray> badRequests()
{
    const QByteArray head = "POST /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r\nHost: x\r\n";
    return {
        "GARBAGE\r\n\r\n",
        head + "Content-Length: 12x\r\n\r\n",
        head + "Content-Length: 1000000\r\n\r\n" + QByteArray("eingabe=Haus&").repeated(2000),
        "GET /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r\nHost: x\r\nX-Fill: " +
            QByteArray(20000, 'a') + "\r\n\r\n",
        head + "Transfer-Encoding: chunked\r\n\r\n5\r\nHallo\r\n0\r\n\r\n",
        "GET /cgi-bin/meta/meta.ger1-asso HTTP/2.0\r\nHost: x\r\n\r\n",
        "GET /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r\n\r\n",
        head + "Accept: a" + '\0' + "b\r\nContent-Length: 0\r\n\r\n",
        QByteArray("\r\n").repeated(50000) + "GARBAGE\r\n\r\n",
    };
}

class Abuser : public QObject
{
public:
    Abuser(quint16 port, int index, QMap<QByteArray, int> *statuses)
        : m_port(port), m_index(index), m_statuses(statuses)
    {
        connect(&m_socket, &QTcpSocket::connected, this, [this] {
            static const QList<QByteArray> requests = badRequests();
            m_socket.write(requests[m_index++ % requests.size()]);
        });
        connect(&m_socket, &QTcpSocket::readyRead, this,
                [this] { m_reply.append(m_socket.readAll()); });
        connect(&m_socket, &QTcpSocket::disconnected, this, &Abuser::restart);
        connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] {
            if (m_socket.state() == QAbstractSocket::UnconnectedState) {
                restart();
            }
        });
        start();
    }
    // Tearing the connection down would count as one more closed connection.
    ~Abuser() override { disconnect(&m_socket, nullptr, this, nullptr); }

private:
    void start()
    {
        m_reply.clear();
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    }
    void restart()
    {
        const QByteArray status = m_reply.startsWith("HTTP/1.1 ") ? m_reply.mid(9, 3) : "none";
        ++(*m_statuses)[status];
        QTimer::singleShot(0, this, &Abuser::start);
    }

    QTcpSocket m_socket;
    quint16 m_port;
    int m_index;
    QByteArray m_reply;
    QMap<QByteArray, int> *m_statuses;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_service_abuse PORT [CONNECTIONS] [SECONDS]\n");
        return 2;
    }
    const quint16 port = quint16(args[1].toUInt());
    const int connections = args.size() > 2 ? args[2].toInt() : 32;
    const int seconds = args.size() > 3 ? args[3].toInt() : 10;

    QMap<QByteArray, int> statuses;
    QList<Abuser *> abusers;
    for (int i = 0; i < connections; ++i) {
        abusers.append(new Abuser(port, i, &statuses));
    }
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    qDeleteAll(abusers);

    int total = 0;
    for (auto it = statuses.cbegin(); it != statuses.cend(); ++it) {
        total += it.value();
    }
    std::printf("%d bad requests in %.1f s (%.0f per second) on %d connections; answers:", total,
                double(clock.elapsed()) / 1000, total * 1000.0 / double(clock.elapsed()),
                connections);
    for (auto it = statuses.cbegin(); it != statuses.cend(); ++it) {
        std::printf(" %s x%d", it.key().constData(), it.value());
    }
    std::printf("\n");
    return 0;
}
