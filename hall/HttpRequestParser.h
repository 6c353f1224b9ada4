#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace velmora {

// The head of one HTTP/1.x request, read from the bytes a phone has sent so far on its
// connection. The same bytes always give the same outcome, and the outcome of the first bytes
// stands once it is known: more bytes never turn a request or a refusal into something else.
// A head is bounded: past maxHeadBytes the outcome is always known, so a connection never keeps
// more than that of what a client sends. The board only reads, so no request body is ever
// read: the head says whether one follows, and the answer refuses it.
class HttpRequestParser {
public:
    static constexpr qsizetype maxLineBytes = 2048; // the request line (414 past it)
    static constexpr qsizetype maxHeadBytes = 8192; // line and headers together (431 past it)

    struct Request {
        QByteArray method;      // as sent ("GET")
        QByteArray path;        // the target before any '?', as sent ("/eventi")
        bool close = false;     // closed after the answer: HTTP/1.0, or "Connection: close"
        bool hasBody = false;   // a body follows: Content-Length above 0, or Transfer-Encoding
        bool oddExpect = false; // an Expect other than 100-continue
        bool webSocket = false; // "Upgrade: websocket"
    };
    enum class Outcome { Incomplete, Complete, Refused };
    struct Result {
        Outcome outcome = Outcome::Incomplete;
        int status = 0;       // Refused: 400, 414, 431 or 505
        qsizetype length = 0; // Complete: the head's bytes, its empty last line included
        Request request;      // Complete
    };

    // The first request of bytes: Incomplete while its head has not all come (never past
    // maxHeadBytes), Complete with its length, or Refused with the status that says why.
    static Result parse(QByteArrayView bytes);
};

} // namespace velmora
