#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QVector>
#include <optional>

// Reads a printed PDF back with poppler's tools: the words with their boxes (in points, from the
// page's top-left corner) and the page count.
namespace velmora::testing {

struct PdfWord {
    int page = 0; // 1 for the first page
    QString text;
    QRectF box;
};

inline bool pdfToolsAvailable() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

// The PDF tools and pdftoppm, which renders a page as a picture.
inline bool pdfPicturesAvailable() {
    return pdfToolsAvailable() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

inline std::optional<QString> toolOutput(const QString &tool, const QStringList &arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QVector<PdfWord> pdfWords(const QString &pdf) {
    QVector<PdfWord> result;
    const auto html = toolOutput(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!html) {
        return result;
    }
    static const QRegularExpression token(
        QStringLiteral("<page |<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" "
                       "xMax=\"([-0-9.]+)\" yMax=\"([-0-9.]+)\">([^<]*)</word>"));
    int page = 0;
    for (auto it = token.globalMatch(*html); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(0) == QLatin1String("<page ")) {
            ++page;
            continue;
        }
        const double x1 = match.captured(1).toDouble();
        const double y1 = match.captured(2).toDouble();
        const double x2 = match.captured(3).toDouble();
        const double y2 = match.captured(4).toDouble();
        result.push_back({page, match.captured(5), QRectF(QPointF(x1, y1), QPointF(x2, y2))});
    }
    return result;
}

inline std::optional<PdfWord> findWord(const QVector<PdfWord> &all, const QString &text) {
    for (const PdfWord &word : all) {
        if (word.text == text) {
            return word;
        }
    }
    return std::nullopt;
}

// The text of pdf as pdftotext -layout lays it out, pages parted by form feeds; empty when the
// tool fails.
inline QString pdfLayoutText(const QString &pdf) {
    return toolOutput(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
        .value_or(QString());
}

// "Pages:" and "Page size:" of pdfinfo.
inline int pdfPageCount(const QString &pdf) {
    const auto info = toolOutput(QStringLiteral("pdfinfo"), {pdf});
    if (!info) {
        return -1;
    }
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    const auto match = pages.match(*info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

inline QSizeF pdfPageSize(const QString &pdf) {
    const auto info = toolOutput(QStringLiteral("pdfinfo"), {pdf});
    static const QRegularExpression size(QStringLiteral("^Page size:\\s+([0-9.]+) x ([0-9.]+) pts"),
                                         QRegularExpression::MultilineOption);
    const auto match = info ? size.match(*info) : QRegularExpressionMatch();
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble())
                            : QSizeF();
}

// The five-digit card numbers printed after "N." with their pages, in page order. The label
// and the number may come out as one word or two.
struct PrintedNumber {
    int page = 0;
    QString number;
};
inline QList<PrintedNumber> printedCardNumbers(const QString &pdf) {
    static const QRegularExpression labelled(QStringLiteral("^N\\.(\\d{5})$"));
    static const QRegularExpression fiveDigits(QStringLiteral("^\\d{5}$"));
    QList<PrintedNumber> found;
    const QVector<PdfWord> words = pdfWords(pdf);
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (const auto match = labelled.match(words[i].text); match.hasMatch()) {
            found.append({words[i].page, match.captured(1)});
        } else if (words[i].text == QLatin1String("N.") && i + 1 < words.size() &&
                   fiveDigits.match(words[i + 1].text).hasMatch()) {
            found.append({words[i].page, words[i + 1].text});
        }
    }
    return found;
}

// The box of the ink of image, in its pixels: a pixel darker than light grey is ink.
inline QRect inkBox(const QImage &image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    QRect box;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            if (row[x] < 200) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// The box of all ink on each page of pdf, in points from the page's top-left corner, as
// poppler renders it at dotsPerInch in grey: a pixel darker than light grey is ink. An empty
// list when pdftoppm is missing or fails.
inline QList<QRectF> pdfInkBoxes(const QString &pdf, int dotsPerInch = 150) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("p"));
    if (!toolOutput(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"),
                                                 QString::number(dotsPerInch), pdf, prefix})) {
        return {};
    }
    const double pointsPerPixel = 72.0 / dotsPerInch;
    QList<QRectF> boxes;
    const QStringList pages =
        QDir(dir.path()).entryList({QStringLiteral("p*.pgm")}, QDir::Files, QDir::Name);
    for (const QString &page : pages) {
        const QRect ink = inkBox(QImage(dir.filePath(page)));
        boxes.append(ink.isNull() ? QRectF()
                                  : QRectF(QPointF(ink.topLeft()) * pointsPerPixel,
                                           QSizeF(ink.size()) * pointsPerPixel));
    }
    return boxes;
}

} // namespace velmora::testing
