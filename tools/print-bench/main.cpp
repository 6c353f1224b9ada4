// Prints N cards of a card archive to a PDF, landscape (or portrait), and reports the speed.
// Usage: velmora-print-bench --carte N [--archivio CARTELLA] [--verticale] [--grezzo] -o FILE.pdf

#include "errors/VelmoraError.h"
#include "print/ArchiveSearch.h"
#include "print/PainterSurface.h"
#include "print/PdfTarget.h"
#include "print/PrintPlan.h"
#include "print/PrintRun.h"
#include "settings/SettingsFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>

namespace {

const QString usage =
    QStringLiteral("Uso: velmora-print-bench --carte N [--archivio CARTELLA] [--verticale] "
                   "[--grezzo] -o FILE.pdf\n"
                   "--grezzo disegna lo stesso contenuto con un QPainter nudo, per confronto.\n");

// The same content as a landscape run, drawn with a bare painter on a PDF writer: the yardstick
// for the engine's own cost (archive, steps, call trail, fonts).
void drawBare(int count, const QString &output) {
    QPdfWriter writer(output);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, {}));
    QPainter painter(&writer);
    const auto font = [](double points, bool bold) {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPointSizeF(points);
        f.setBold(bold);
        f.setHintingPreference(QFont::PreferNoHinting);
        f.setKerning(false);
        return f;
    };
    const QFont title = font(22, false), number = font(15, false), cells = font(16, true),
                strip = font(9, true);
    QFont credit(QStringLiteral("Liberation Sans"));
    credit.setPixelSize(25);
    for (int card = 1; card <= count; ++card) {
        const int slot = (card - 1) % 6;
        const double ox = (slot % 2) * 410 * 4.0, oy = (slot / 2) * (198 * 3.8 + 75);
        painter.setPen(QPen(Qt::black, 1));
        painter.setFont(title);
        painter.drawText(QPointF(ox + 48, oy + 40), QStringLiteral("Tombola"));
        painter.setFont(number);
        painter.drawText(QPointF(ox + 1250, oy + 40), QStringLiteral("N."));
        painter.drawText(QPointF(ox + 1310, oy + 40), QLatin1Char(' ') + QString::number(card));
        painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(QPointF(ox + 32, oy + 106), QPointF(ox + 1536, oy + 106));
        painter.setPen(QPen(Qt::black, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(QPointF(ox + 48, oy + 118), QPointF(ox + 1520, oy + 118));
        painter.drawRect(QRectF(ox + 48, oy + 152, 1472, 509));
        painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawRect(QRectF(ox + 64, oy + 167, 1440, 479));
        painter.setFont(credit);
        painter.setTransform(QTransform::fromTranslate(20, oy + 90).rotate(-90));
        painter.drawText(QPointF(0, 20),
                         QStringLiteral("Velmora - Studio Corvetto - velmora@example.org"));
        painter.resetTransform();
        for (double v : {86.0, 128.0}) {
            painter.drawLine(QPointF(ox + 64, oy + v * 3.8), QPointF(ox + 1504, oy + v * 3.8));
        }
        for (int c = 1; c < 9; ++c) {
            painter.drawLine(QPointF(ox + 64 + c * 160, oy + 167),
                             QPointF(ox + 64 + c * 160, oy + 646));
        }
        painter.setFont(cells);
        for (int k = 0; k < 15; ++k) {
            painter.drawText(QPointF(ox + 80 + (k % 9) * 160, oy + 250 + (k % 3) * 160),
                             QString::number(10 + k * 5));
        }
        painter.setFont(strip);
        painter.drawText(QPointF(ox + 48, oy + 720), QStringLiteral("Grande tombola"));
        if (slot == 5 && card != count) {
            writer.newPage();
        }
    }
}

int fail(const QString &message) {
    QTextStream(stderr) << "velmora-print-bench: " << message << '\n' << usage;
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QString cards;
    QString folder;
    QString output;
    bool landscape = true;
    bool bare = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &name = arguments.at(i);
        if (name == u"--verticale") {
            landscape = false;
            continue;
        }
        if (name == u"--grezzo") {
            bare = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            return fail(QStringLiteral("manca il valore dell'opzione %1.").arg(name));
        }
        const QString value = arguments.at(++i);
        if (name == u"--carte") {
            cards = value;
        } else if (name == u"--archivio") {
            folder = value;
        } else if (name == u"-o") {
            output = value;
        } else {
            return fail(QStringLiteral("opzione sconosciuta \"%1\".").arg(name));
        }
    }
    if (cards.isEmpty() || output.isEmpty()) {
        return fail(QStringLiteral("servono --carte e -o."));
    }

    QString refusal;
    const auto plan = velmora::PrintPlan::make(QStringLiteral("1"), cards, landscape, &refusal);
    if (!plan) {
        return fail(refusal);
    }
    if (bare) {
        QElapsedTimer timer;
        timer.start();
        drawBare(plan->cardCount(), output);
        const double seconds = timer.nsecsElapsed() / 1e9;
        QTextStream(stdout) << "grezzo: cartelle: " << plan->cardCount() << "  secondi: " << seconds
                            << "  cartelle/secondo: " << plan->cardCount() / seconds
                            << "  byte del PDF: " << QFileInfo(output).size() << '\n';
        return 0;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        const auto archive = folder.isEmpty() ? velmora::ArchiveSearch::open()
                                              : velmora::ArchiveSearch::open({folder});
        const velmora::Configurazione settings = velmora::SettingsFile::defaults();
        velmora::PdfTarget target(output);
        velmora::PainterSurface surface(target);
        velmora::PrintRun run(surface, *archive, settings, false);
        run.run(*plan, {});
        const double seconds = timer.nsecsElapsed() / 1e9;
        QTextStream(stdout) << "cartelle: " << run.cardsDrawn() << "  pagine: " << plan->pageCount()
                            << "  secondi: " << seconds
                            << "  cartelle/secondo: " << run.cardsDrawn() / seconds
                            << "  byte del PDF: " << QFileInfo(output).size() << '\n';
    } catch (const velmora::VelmoraError &error) {
        return fail(error.description());
    }
    return 0;
}
