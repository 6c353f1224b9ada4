#pragma once

#include "hall/HttpRequestParser.h"

#include <QByteArray>

namespace velmora {

// What the board on the phones answers a request: the answer's bytes, and what becomes of the
// connection after it. The page, its style and its script come from the program's resources;
// the event stream's head is answered here, its events are the server's. Every answer carries
// the same strict headers, a refusal says why in Italian, and a connection whose next request
// cannot be told from what the client sends next (a body, a head that does not read) is closed.
class PhoneBoardAnswer {
public:
    enum class Then { KeepOpen, Close, Stream };

    static constexpr const char *streamPath = "/eventi";

    int status = 0;
    QByteArray bytes; // the whole answer; for the stream, its head and first line
    Then then = Then::Close;

    // The answer to a request read by HttpRequestParser (Complete or Refused).
    static PhoneBoardAnswer to(const HttpRequestParser::Result &read);
    // The connection's own refusals: 408 (the head came too slowly), 503 (no room for one more
    // page or stream). Always closes.
    static PhoneBoardAnswer refusal(int status, bool withBody = true);
};

} // namespace velmora
