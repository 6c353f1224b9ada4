#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

namespace velmora {

class PrinterSurface;

// Keeps a text inside the room it has: drawn as large as it was asked for when it fits, else
// with its font shrunk a whole device pixel at a time, never below floorPoints; a text that
// does not fit even at the floor is cut, with an ellipsis, to what does.
//
// On the page the room is measured with the surface's own fonts, and every answer is kept for
// the life of the object: the print run keeps one for a run, in which texts do not change, so
// each text is measured once per run, not once per card.
class TextFit {
public:
    static constexpr double floorPoints = 6;
    // No text of a card is drawn smaller than this where its card has room for it.
    static constexpr double legiblePoints = 5;

    // A line of up to two parts drawn side by side at one size (the name line: the name in
    // bold, then street and telephone).
    struct Line {
        double points = 0; // the size to draw at
        QString first;
        QString second;
        bool shrunk = false; // smaller than asked for
        bool cut = false;    // cut with an ellipsis
    };

    // The largest em in whole pixels, from basePixels down to floorPixels, at which width(em)
    // is within room; 0 when none is.
    static int largestFitting(int basePixels, int floorPixels, double room,
                              const std::function<double(int)> &width);
    // The longest start of text that, followed by an ellipsis, is within room (the ellipsis
    // alone, or nothing, when even that is too wide).
    static QString cut(const QString &text, double room,
                       const std::function<double(const QString &)> &width);

    // Fits first (bold firstBold) and second (bold secondBold) side by side into room (in the
    // surface's unit), in the surface's current face, italic and size; the em shrinks in whole
    // device pixels. The surface's font is as it was on return.
    Line fit(PrinterSurface &surface, double room, const QString &first, bool firstBold,
             const QString &second = {}, bool secondBold = false);
    // The advance of text in the surface's current font, in the surface's unit.
    double width(PrinterSurface &surface, const QString &text);

private:
    struct Key {
        QString face;
        double points = 0;
        bool italic = false;
        qint64 room = 0; // 1/16 pixel
        QString first;
        QString second;
        quint8 bold = 0; // bit 0: first, bit 1: second
        friend bool operator==(const Key &, const Key &) = default;
    };
    friend size_t qHash(const Key &key, size_t seed) {
        return qHashMulti(seed, key.face, key.points, key.room, key.first, key.second, key.bold,
                          key.italic);
    }

    Line measure(PrinterSurface &surface, const Key &key);

    QHash<Key, Line> m_lines;
    QHash<Key, double> m_widths;
};

} // namespace velmora
