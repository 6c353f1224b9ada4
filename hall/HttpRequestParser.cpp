#include "hall/HttpRequestParser.h"

#include <algorithm>

namespace velmora {

namespace {

using Result = HttpRequestParser::Result;
using Outcome = HttpRequestParser::Outcome;

Result refused(int status) {
    Result result;
    result.outcome = Outcome::Refused;
    result.status = status;
    return result;
}

bool isTokenChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const char c : text) {
        if (!isTokenChar(c)) {
            return false;
        }
    }
    return true;
}

// No method is longer ("PROPPATCH", "UPDATEREDIRECTREF" are the long ones).
constexpr qsizetype maxMethod = 32;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text) {
    while (!text.isEmpty() && isBlank(text.front())) {
        text = text.sliced(1);
    }
    while (!text.isEmpty() && isBlank(text.back())) {
        text.chop(1);
    }
    return text;
}

bool sameWord(QByteArrayView a, QByteArrayView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// "keep-alive, Close" holds close; a list of words as Connection and Upgrade write them.
bool listHolds(QByteArrayView list, QByteArrayView word) {
    while (!list.isEmpty()) {
        const qsizetype comma = list.indexOf(',');
        if (sameWord(trimmed(list.first(comma < 0 ? list.size() : comma)), word)) {
            return true;
        }
        list = comma < 0 ? QByteArrayView() : list.sliced(comma + 1);
    }
    return false;
}

// A field value: visible characters, blanks and bytes past ASCII, no control character.
bool isFieldValue(QByteArrayView value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f) {
            return false;
        }
    }
    return true;
}

bool isVisible(QByteArrayView text) {
    for (const char c : text) {
        if (c <= ' ' || c == 0x7f) { // char may be signed: bytes past ASCII are below too
            return false;
        }
    }
    return true;
}

// The path of a request target: "/eventi?x" and "http://host/eventi" are "/eventi"; "*" stays.
// Empty when the target has no path form.
QByteArray pathOf(QByteArrayView target) {
    if (target == "*") {
        return "*";
    }
    if (!target.startsWith('/')) {
        for (const char *scheme : {"http://", "https://"}) {
            if (sameWord(target.first(std::min(target.size(), qsizetype(qstrlen(scheme)))),
                         scheme)) {
                const QByteArrayView rest = target.sliced(qstrlen(scheme));
                const qsizetype slash = rest.indexOf('/');
                return slash < 0 ? QByteArray("/") : pathOf(rest.sliced(slash));
            }
        }
        return {};
    }
    const qsizetype query = target.indexOf('?');
    return target.first(query < 0 ? target.size() : query).toByteArray();
}

// "HTTP/1.1": 1; "HTTP/1.0": 0; another version (2.0): -1; not a version: -2.
int minorVersion(QByteArrayView version) {
    if (version.size() != 8 || !version.startsWith("HTTP/") || version.at(6) != '.' ||
        !QByteArrayView("0123456789").contains(version.at(5)) ||
        !QByteArrayView("0123456789").contains(version.at(7))) {
        return -2;
    }
    if (version.at(5) != '1' || (version.at(7) != '0' && version.at(7) != '1')) {
        return -1;
    }
    return version.at(7) - '0';
}

} // namespace

HttpRequestParser::Result HttpRequestParser::parse(QByteArrayView bytes) {
    qsizetype at = 0;
    // An empty line or two before a request is left over from the one before it; a third is
    // read as the request line, and refused.
    for (int skipped = 0; skipped < 2; ++skipped) {
        if (bytes.sliced(at).startsWith("\r\n")) {
            at += 2;
        } else if (bytes.sliced(at).startsWith('\n')) {
            at += 1;
        }
    }

    // The request line. What is not a method is refused from its first bytes (a TLS greeting,
    // a stray protocol); then the length, also before the line has all come, so that a long
    // line is 414 however it ends.
    qsizetype methodLength = 0;
    for (; at + methodLength < bytes.size(); ++methodLength) {
        const char c = bytes.at(at + methodLength);
        if (c == ' ' || c == '\r' || c == '\n') {
            break;
        }
        if (!isTokenChar(c) || methodLength == maxMethod) {
            return refused(400);
        }
    }
    const qsizetype lineEnd = bytes.indexOf('\n', at);
    if (lineEnd < 0) {
        const QByteArrayView partial = bytes.sliced(at);
        const qsizetype atLeast = partial.size() - (partial.endsWith('\r') ? 1 : 0);
        return atLeast > maxLineBytes ? refused(414) : Result();
    }
    QByteArrayView line = bytes.sliced(at, lineEnd - at);
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    if (line.size() > maxLineBytes) {
        return refused(414);
    }
    const qsizetype firstSpace = line.indexOf(' ');
    const qsizetype secondSpace = firstSpace < 0 ? -1 : line.indexOf(' ', firstSpace + 1);
    if (secondSpace < 0 || line.indexOf(' ', secondSpace + 1) >= 0) {
        return refused(400);
    }
    const QByteArrayView method = line.first(firstSpace);
    const QByteArrayView target = line.sliced(firstSpace + 1, secondSpace - firstSpace - 1);
    const int minor = minorVersion(line.sliced(secondSpace + 1));
    if (minor == -2 || !isToken(method) || target.isEmpty() || !isVisible(target)) {
        return refused(400);
    }
    if (minor < 0) {
        return refused(505);
    }
    Result result;
    result.request.method = method.toByteArray();
    result.request.path = pathOf(target);
    if (result.request.path.isEmpty()) {
        return refused(400);
    }
    result.request.close = minor == 0;

    // The headers, up to the empty line. A line that would end past the head's bound is 431
    // before anything else is said of it.
    int hosts = 0;
    bool chunkedOrOther = false;
    QByteArrayView length;
    at = lineEnd + 1;
    for (;;) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0) {
            return bytes.size() > maxHeadBytes ? refused(431) : Result();
        }
        if (end + 1 > maxHeadBytes) {
            return refused(431);
        }
        QByteArrayView header = bytes.sliced(at, end - at);
        at = end + 1;
        if (header.endsWith('\r')) {
            header.chop(1);
        }
        if (header.isEmpty()) {
            break;
        }
        const qsizetype colon = header.indexOf(':');
        // No blank before the colon, no line folded onto the one before.
        if (colon < 0 || !isToken(header.first(colon))) {
            return refused(400);
        }
        const QByteArrayView name = header.first(colon);
        const QByteArrayView value = trimmed(header.sliced(colon + 1));
        if (!isFieldValue(value)) {
            return refused(400);
        }
        if (sameWord(name, "Host")) {
            ++hosts;
        } else if (sameWord(name, "Content-Length")) {
            // Digits only, and the same each time it is repeated: two lengths are two
            // readings of where the next request starts.
            if (value.isEmpty() || (!length.isNull() && length != value)) {
                return refused(400);
            }
            for (const char c : value) {
                if (c < '0' || c > '9') {
                    return refused(400);
                }
                result.request.hasBody = result.request.hasBody || c != '0';
            }
            length = value;
        } else if (sameWord(name, "Transfer-Encoding")) {
            chunkedOrOther = true;
        } else if (sameWord(name, "Connection")) {
            result.request.close = result.request.close || listHolds(value, "close");
        } else if (sameWord(name, "Expect")) {
            result.request.oddExpect = result.request.oddExpect || !sameWord(value, "100-continue");
        } else if (sameWord(name, "Upgrade")) {
            result.request.webSocket = result.request.webSocket || listHolds(value, "websocket");
        }
    }
    // A body's length said two ways, or in a way HTTP/1.0 does not know, leaves the end of the
    // request in doubt; HTTP/1.1 names its host once.
    if ((chunkedOrOther && (!length.isNull() || minor == 0)) || hosts > 1 ||
        (minor == 1 && hosts == 0)) {
        return refused(400);
    }
    result.request.hasBody = result.request.hasBody || chunkedOrOther;
    result.outcome = Outcome::Complete;
    result.length = at;
    return result;
}

} // namespace velmora
