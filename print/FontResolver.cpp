#include "print/FontResolver.h"

#include "errors/VelmoraError.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QImage>
#include <array>
#include <map>
#include <optional>
#include <tuple>

namespace velmora {
namespace {

constexpr int invalidPropertyValue = 380; // "Valore della proprietà non valido"
constexpr double metersPerInch = 0.0254;
// Beyond this many cached sizes the cache starts again; a card run uses a handful.
constexpr std::size_t maxCachedFaces = 512;

struct Alias {
    const char *windowsName;
    const char *family;
};
// fontconfig's metric-compatible aliases (fonts-liberation2).
constexpr std::array aliases{
    Alias{"Arial", "Liberation Sans"},
    Alias{"Times New Roman", "Liberation Serif"},
    Alias{"Courier New", "Liberation Mono"},
};

using FaceKey = std::tuple<QString, double, bool, bool, bool, int>;

struct Cache {
    QHash<QString, std::optional<FontResolver::Face>> names;
    std::map<FaceKey, std::shared_ptr<const FontFace>> faces;
    std::map<int, QImage> devices;
    int lookups = 0;
    quint64 faceSerial = 0;
};

Cache &cache() {
    static Cache instance;
    static const bool registered = [] {
        // Fonts must not outlive the application object that made them.
        qAddPostRoutine(FontResolver::clearCache);
        return true;
    }();
    Q_UNUSED(registered);
    return instance;
}

// Families as the database lists them, with a foundry suffix ("Name [Foundry]") also matched
// by the bare name.
std::optional<QString> installedFamily(const QString &name) {
    const QStringList families = QFontDatabase::families();
    for (const QString &family : families) {
        if (family.compare(name, Qt::CaseInsensitive) == 0) {
            return family;
        }
    }
    for (const QString &family : families) {
        const qsizetype bracket = family.indexOf(QLatin1String(" ["));
        if (bracket > 0 && family.left(bracket).compare(name, Qt::CaseInsensitive) == 0) {
            return family;
        }
    }
    return std::nullopt;
}

std::optional<FontResolver::Face> lookUp(const QString &given) {
    // Blanks around a name (a settings field is padded) do not make another face.
    const QString name = given.trimmed();
    if (name.isEmpty()) {
        return std::nullopt;
    }
    if (const auto family = installedFamily(name)) {
        const qsizetype bracket = family->indexOf(QLatin1String(" ["));
        return FontResolver::Face{bracket > 0 ? family->left(bracket) : *family, *family};
    }
    for (const Alias &alias : aliases) {
        const QString windowsName = QString::fromLatin1(alias.windowsName);
        if (windowsName.compare(name, Qt::CaseInsensitive) == 0) {
            if (const auto family = installedFamily(QString::fromLatin1(alias.family))) {
                return FontResolver::Face{windowsName, *family};
            }
        }
    }
    // fontconfig's choice for a face that is not installed; it must name an installed family,
    // or no face can be had at all.
    const QFontInfo matched{QFont(name)};
    if (const auto family = installedFamily(matched.family())) {
        return FontResolver::Face{name, *family, true};
    }
    return std::nullopt;
}

// A one-pixel image that reports dpi, so metrics come out in that device's pixels.
const QImage &metricsDevice(int dpi) {
    auto &devices = cache().devices;
    auto it = devices.find(dpi);
    if (it == devices.end()) {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMeter = qRound(dpi / metersPerInch);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        it = devices.emplace(dpi, image).first;
    }
    return it->second;
}

std::shared_ptr<const FontFace> cachedFace(const FaceKey &key) {
    const auto &faces = cache().faces;
    const auto it = faces.find(key);
    return it == faces.end() ? nullptr : it->second;
}

std::shared_ptr<const FontFace> makeFace(const FaceKey &key, QFont font, int dpi) {
    auto &faces = cache().faces;
    if (faces.size() >= maxCachedFaces) {
        faces.clear(); // surfaces still hold the faces they use
    }
    // Unhinted outlines give the same advances on the PDF writer, the printer and the
    // metrics image, so what TextWidth measures is what prints.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    const QImage &device = metricsDevice(dpi);
    auto face = std::make_shared<FontFace>(
        FontFace{++cache().faceSerial, font, QFontMetricsF(font, &device), 0, 0});
    face->ascent = face->metrics.ascent();
    face->lineSpacing = face->metrics.lineSpacing();
    faces.emplace(key, face);
    return face;
}

} // namespace

double FontFace::advance(const QString &text) const {
    constexpr qsizetype shortText = 3;
    constexpr std::size_t maxShortAdvances = 4096;
    if (text.size() > shortText) {
        return metrics.horizontalAdvance(text);
    }
    // The UTF-16 units packed in 16 bits each, with the length on top so "1" and "1\0" differ.
    quint64 key = quint64(text.size()) << 60;
    for (qsizetype i = 0; i < text.size(); ++i) {
        key |= quint64(text.at(i).unicode()) << (16 * i);
    }
    const auto it = shortAdvances.constFind(key);
    if (it != shortAdvances.cend()) {
        return *it;
    }
    if (std::size_t(shortAdvances.size()) >= maxShortAdvances) {
        shortAdvances.clear();
    }
    const double width = metrics.horizontalAdvance(text);
    shortAdvances.insert(key, width);
    return width;
}

FontResolver::Face FontResolver::resolve(const QString &name) {
    auto &names = cache().names;
    auto it = names.constFind(name);
    if (it == names.cend()) {
        ++cache().lookups;
        it = names.insert(name, lookUp(name));
    }
    if (!it->has_value()) {
        throw VelmoraError(invalidPropertyValue,
                           QStringLiteral("Valore della proprietà non valido: il carattere "
                                          "\"%1\" non è installato e nessun altro lo "
                                          "sostituisce")
                               .arg(name));
    }
    return **it;
}

QList<FontResolver::WindowsFace> FontResolver::windowsFaces() {
    QList<WindowsFace> faces;
    for (const Alias &alias : aliases) {
        faces.append({QString::fromLatin1(alias.windowsName), QString::fromLatin1(alias.family)});
    }
    return faces;
}

std::optional<FontResolver::Face> FontResolver::face(const QString &name) {
    try {
        return resolve(name);
    } catch (const VelmoraError &) {
        return std::nullopt;
    }
}

bool FontResolver::exists(const QString &name) {
    const std::optional<Face> found = face(name);
    return found && !found->standIn;
}

std::shared_ptr<const FontFace> FontResolver::pointFace(const QString &family, double pointSize,
                                                        bool bold, bool italic, int dpi) {
    const FaceKey key{family, pointSize, false, bold, italic, dpi};
    if (auto face = cachedFace(key)) {
        return face;
    }
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return makeFace(key, font, dpi);
}

std::shared_ptr<const FontFace> FontResolver::pixelFace(const QString &family, int pixelSize,
                                                        int dpi) {
    const FaceKey key{family, double(pixelSize), true, false, false, dpi};
    if (auto face = cachedFace(key)) {
        return face;
    }
    QFont font(family);
    font.setPixelSize(pixelSize);
    return makeFace(key, font, dpi);
}

int FontResolver::databaseLookups() {
    return cache().lookups;
}

void FontResolver::clearCache() {
    cache().names.clear();
    cache().faces.clear();
    cache().devices.clear();
}

} // namespace velmora
