#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>

namespace velmora {

// One font of one size on a device of one resolution, with its measures. Surfaces keep the
// shared pointer, so measuring a text never builds a font or a metrics object.
struct FontFace {
    quint64 id = 0; // unique for the life of the program, never 0
    QFont font;
    QFontMetricsF metrics;
    double ascent = 0;
    double lineSpacing = 0;

    // The advance of text in device pixels. Texts of up to three characters (the card's
    // cells) are measured once per face: shaping is the costliest part of a measure.
    double advance(const QString &text) const;

    mutable QHash<quint64, double> shortAdvances{}; // advance()'s memory, by packed text
};

// Decides which installed family prints a face name. Windows faces that fontconfig aliases to
// metric-compatible families (Arial, Times New Roman, Courier New) count as existing when their
// alias is installed. Any other face that is not installed (Verdana, Tahoma from a settings file
// written on Windows) is printed with the family fontconfig substitutes for it, as QFontInfo
// reports it: a stand-in. Every answer is cached: a card run asks the same few names thousands
// of times. Used from the user-interface thread only; needs a QGuiApplication.
class FontResolver {
public:
    struct Face {
        QString name;         // the name as the surface reports it ("ARIAL" reads back as "Arial")
        QString family;       // the installed family that draws it
        bool standIn = false; // the face itself is not installed: family stands in for it
    };

    // Throws VelmoraError 380 with an Italian message when no installed font can print name
    // (an empty name, or no font at all).
    static Face resolve(const QString &name);
    // Installed, or a Windows face with its alias installed; a stand-in does not count.
    static bool exists(const QString &name);
    // resolve() without throwing: nothing when no face can be had.
    static std::optional<Face> face(const QString &name);

    // The Windows faces that a settings file may name, each with the family that stands in
    // for it ("Arial" is drawn by "Liberation Sans").
    struct WindowsFace {
        QString windowsName;
        QString family;
    };
    static QList<WindowsFace> windowsFaces();

    // A font of family (as returned by resolve) in points, measured at dpi.
    static std::shared_ptr<const FontFace> pointFace(const QString &family, double pointSize,
                                                     bool bold, bool italic, int dpi);
    // A font whose em is pixelSize device pixels, normal weight, upright.
    static std::shared_ptr<const FontFace> pixelFace(const QString &family, int pixelSize, int dpi);

    // How many times the font database was consulted for a name (each name once).
    static int databaseLookups();
    // Forgets every answer, for fonts installed while the program runs.
    static void clearCache();
};

} // namespace velmora
