// The phones' server reading what a client sends: for any bytes, the head of a request is read
// within its bound, what is known of it from the first bytes stands whatever follows, and the
// answer is one whole HTTP answer that closes the connection whenever what follows cannot be
// read as the next request.
//
// Input: the bytes a client sends on one connection, requests one after another.

#include "FuzzCheck.h"
#include "hall/HttpRequestParser.h"
#include "hall/PhoneBoardAnswer.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstdint>

using velmora::HttpRequestParser;
using velmora::PhoneBoardAnswer;
using Outcome = HttpRequestParser::Outcome;

namespace {

bool same(const HttpRequestParser::Result &a, const HttpRequestParser::Result &b) {
    return a.outcome == b.outcome && a.status == b.status && a.length == b.length &&
           a.request.method == b.request.method && a.request.path == b.request.path &&
           a.request.close == b.request.close && a.request.hasBody == b.request.hasBody &&
           a.request.oddExpect == b.request.oddExpect && a.request.webSocket == b.request.webSocket;
}

// The value of a header of an answer's head, null when it has none.
QByteArray header(const QByteArray &head, const QByteArray &name) {
    for (const QByteArray &line : head.split('\n')) {
        if (line.startsWith(name + ": ")) {
            return line.mid(name.size() + 2).chopped(1);
        }
    }
    return {};
}

void checkAnswer(const HttpRequestParser::Result &read, const PhoneBoardAnswer &answer) {
    const qsizetype headEnd = answer.bytes.indexOf("\r\n\r\n");
    FUZZ_CHECK(headEnd > 0);
    const QByteArray head = answer.bytes.left(headEnd + 2);
    const QByteArray body = answer.bytes.mid(headEnd + 4);
    FUZZ_CHECK(head.startsWith("HTTP/1.1 " + QByteArray::number(answer.status) + ' '));
    FUZZ_CHECK(header(head, "X-Content-Type-Options") == "nosniff");
    FUZZ_CHECK(header(head, "Content-Security-Policy").startsWith("default-src 'self'"));
    // Closed exactly when it says so; a body, a bad head, HTTP/1.0 or "close" always close.
    const bool closes = answer.then == PhoneBoardAnswer::Then::Close;
    FUZZ_CHECK(closes == (header(head, "Connection") == "close"));
    const bool complete = read.outcome == Outcome::Complete;
    // (The stream lasts until the connection closes, whatever was asked.)
    FUZZ_CHECK(closes || answer.then == PhoneBoardAnswer::Then::Stream ||
               (complete && !read.request.hasBody && !read.request.close));
    if (!complete) {
        FUZZ_CHECK(answer.status == read.status);
    }
    // Only a read of the page's own files or stream is answered 200.
    const bool reads = complete && (read.request.method == "GET" || read.request.method == "HEAD");
    const bool ownPath =
        complete && QList<QByteArray>{"/",          "/tabellone.css", "/tabellone.js",
                                      "/icona.svg", "/favicon.ico",   "/eventi"}
                        .contains(read.request.path);
    FUZZ_CHECK(answer.status != 200 ||
               (reads && ownPath && !read.request.hasBody && !read.request.webSocket));
    // The stream's head (alone, for HEAD) has no length: the stream ends when it closes.
    if (header(head, "Content-Type") == "text/event-stream; charset=utf-8") {
        FUZZ_CHECK(complete && read.request.path == "/eventi" &&
                   header(head, "Content-Length").isNull());
        FUZZ_CHECK((answer.then == PhoneBoardAnswer::Then::Stream) ==
                   (read.request.method == "GET"));
        return;
    }
    // Its length is its body's, which HEAD leaves out.
    const qsizetype length = header(head, "Content-Length").toLongLong();
    FUZZ_CHECK(length > 0);
    const bool headOnly = complete && read.request.method == "HEAD";
    FUZZ_CHECK(body.size() == (headOnly ? 0 : length));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    QByteArrayView rest(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // The requests of one connection as the server takes them, one after another.
    for (int requests = 0; requests < 64; ++requests) {
        const HttpRequestParser::Result read = HttpRequestParser::parse(rest);
        // Bounded: a head not yet whole never holds more than the bound.
        FUZZ_CHECK(read.outcome != Outcome::Incomplete ||
                   rest.size() <= HttpRequestParser::maxHeadBytes);
        FUZZ_CHECK(read.outcome != Outcome::Complete ||
                   (read.length > 0 && read.length <= rest.size() &&
                    read.length <= HttpRequestParser::maxHeadBytes));
        const QList<int> refusals{400, 414, 431, 505};
        FUZZ_CHECK(read.outcome != Outcome::Refused || refusals.contains(read.status));
        // What the first bytes say stands: cut anywhere, they read as Incomplete or as the whole.
        const qsizetype step = std::max<qsizetype>(1, rest.size() / 64);
        for (qsizetype cut = 0; cut < rest.size(); cut += step) {
            const HttpRequestParser::Result part = HttpRequestParser::parse(rest.first(cut));
            FUZZ_CHECK(part.outcome == Outcome::Incomplete || same(part, read));
        }
        if (read.outcome == Outcome::Incomplete) {
            break;
        }
        const PhoneBoardAnswer answer = PhoneBoardAnswer::to(read);
        checkAnswer(read, answer);
        if (answer.then != PhoneBoardAnswer::Then::KeepOpen) {
            break;
        }
        rest = rest.sliced(read.length);
    }
    return 0;
}
