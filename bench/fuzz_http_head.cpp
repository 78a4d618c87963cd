// Mutation fuzzing of the HTTP head parser: well-formed heads are mutated at random (bytes
// flipped, inserted, deleted, repeated, tokens of the grammar spliced in) and fed to it. Every
// case must end in a status the server sends (0, 400 or 505) with a sane framing; memory errors
// show in a build with sanitizers (-DLEXIGROVE_SANITIZE=ON).
//
//   fuzz_http_head [CASES] [SEED]     (default 100000 cases, seed 1)

#include "http/httpheadparser.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

const QByteArray seeds[] = {
    "GET /cgi-bin/meta/meta.ger1-asso?eingabe=Baum&anzahl=200 HTTP/1.1\r\nHost: x\r\n\r\n",
    "POST /cgi-bin/meta/meta.ger1-asso HTTP/1.1\r\nHost: 127.0.0.1:27431\r\nKeep-Alive: 300\r\n"
    "Connection-Type: keep-alive\r\nContent-type: text/html\r\nContent-Length: 21\r\n\r\n",
    "GET http://127.0.0.1:27431/api/v1/associations?q=Haus,Garten HTTP/1.0\r\n"
    "Connection: keep-alive\r\nExpect: 100-continue\r\n\r\n",
    "\r\n\r\nHEAD / HTTP/1.1\nHost: a\nAccept: application/json\n\n",
};

const QByteArray tokens[] = {"\r\n",
                             "\n",
                             ":",
                             " ",
                             "\t",
                             QByteArray("\0", 1),
                             "\r",
                             "HTTP/1.1",
                             "HTTP/2.0",
                             "HTTP/1.9",
                             "http://",
                             "https://",
                             "?",
                             "/",
                             "Host: x",
                             "Content-Length: ",
                             "99999999999999999999",
                             "-1",
                             "Transfer-Encoding: chunked",
                             "Connection: close, keep-alive",
                             "Expect: ",
                             "\xff\xfe"};

QByteArray mutated(std::mt19937 &random)
{
    QByteArray data = seeds[random() % std::size(seeds)];
    const int steps = 1 + int(random() % 8);
    for (int i = 0; i < steps; ++i) {
        const qsizetype at = data.isEmpty() ? 0 : qsizetype(random() % size_t(data.size()));
        switch (random() % 6) {
        case 0:
            if (!data.isEmpty()) {
                data[at] = char(random());
            }
            break;
        case 1:
            data.insert(at, char(random()));
            break;
        case 2:
            data.remove(at, qsizetype(random() % 16));
            break;
        case 3:
            data.insert(at, tokens[random() % std::size(tokens)]);
            break;
        case 4:
            data.insert(at, data.mid(at, qsizetype(random() % 64)).repeated(int(random() % 8)));
            break;
        default:
            data = data.left(at); // cut short
            break;
        }
    }
    return data;
}

// Returns a description of what is wrong, or nullptr.
const char *check(const QByteArray &data)
{
    qsizetype start = 0;
    const qsizetype end = HttpHeadParser::findEnd(data, &start);
    if (start < 0 || start > data.size() || end > data.size() || (end >= 0 && end <= start)) {
        return "findEnd out of range";
    }
    if (end < 0) {
        return nullptr;
    }
    HttpHeadParser parser;
    HttpRequest request;
    const int status = parser.parse(QByteArrayView(data).sliced(start, end - start), &request);
    if (status != 0 && status != 400 && status != 505) {
        return "unexpected status";
    }
    if (status == 0 && (!request.path.startsWith('/') || parser.contentLength() < 0 ||
                        request.minorVersion < 0 || request.minorVersion > 1)) {
        return "accepted head with bad framing";
    }
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    const long cases = argc > 1 ? std::atol(argv[1]) : 100000;
    std::mt19937 random(argc > 2 ? unsigned(std::atol(argv[2])) : 1u);
    long accepted = 0;
    long refused = 0;
    long incomplete = 0;
    for (long i = 0; i < cases; ++i) {
        const QByteArray data = mutated(random);
        if (const char *problem = check(data)) {
            std::printf("case %ld: %s\n%s\n", i, problem, data.toPercentEncoding().constData());
            return 1;
        }
        qsizetype start = 0;
        const qsizetype end = HttpHeadParser::findEnd(data, &start);
        HttpHeadParser parser;
        HttpRequest request;
        if (end < 0) {
            ++incomplete;
        } else if (parser.parse(QByteArrayView(data).sliced(start, end - start), &request) == 0) {
            ++accepted;
        } else {
            ++refused;
        }
    }
    std::printf("%ld cases: %ld accepted, %ld refused, %ld incomplete heads; no fault\n", cases,
                accepted, refused, incomplete);
    return 0;
}
