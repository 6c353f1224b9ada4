// Any settings record and any archive records, through the whole card drawing on the recording
// surface: nothing crashes, every card leaves the call trail as it found it, and when the check
// made before a run passes, no card's drawing meets a fault (the run is one message or none).
//
// Input: one byte of choices (bit 0 landscape, bit 1 archive numbering), 307 bytes of settings
// record (short inputs read as the settings file reads them), then the archive's records.

#include "FuzzCheck.h"
#include "errors/CallTrail.h"
#include "errors/ErrorPresenter.h"
#include "errors/VelmoraError.h"
#include "print/CardArchive.h"
#include "print/PrintPlan.h"
#include "print/PrintRun.h"
#include "print/RecordingSurface.h"
#include "print/RunCheck.h"
#include "settings/ConfigurazioneCodec.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <memory>

using namespace velmora;

namespace {

constexpr int maxCards = 12; // two landscape pages: enough for every slot and a page end

// Counts the reports and skips the failed step (or, for settings the check refused, leaves the
// card, so a card with a fault in every step stays quick), so a fault cannot loop.
class CountingPresenter : public ErrorPresenter {
public:
    explicit CountingPresenter(int answer) : m_answer(answer) {}
    int showReport(const QString &report) override {
        ++reports;
        first = first.isEmpty() ? report : first;
        return m_answer;
    }
    int reports = 0;
    QString first; // the first report, said when a report was not expected

private:
    int m_answer;
};

QGuiApplication &application() {
    static int argc = 1;
    static char name[] = "fuzz_carddrawing";
    static char *argv[] = {name, nullptr};
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    Q_UNUSED(offscreen);
    static QGuiApplication app(argc, argv);
    return app;
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    application();
    if (size < 1) {
        return 0;
    }
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const bool landscape = (input.at(0) & 1) != 0;
    const bool archiveNumbers = (input.at(0) & 2) != 0;
    const Configurazione settings =
        ConfigurazioneCodec::decode(input.mid(1, Configurazione::recordSize));
    QByteArray records = input.mid(1 + Configurazione::recordSize);
    records.truncate(maxCards * RecordCartella::recordSize);
    const int cards = int(records.size() / RecordCartella::recordSize);
    if (cards == 0) {
        return 0;
    }

    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    writeFile(QDir(dir.path()).filePath(CardArchive::fileName), records);
    CardArchive archive(dir.path());

    QString refusal;
    std::optional<PrintPlan> plan =
        PrintPlan::make(QStringLiteral("1"), QString::number(cards), landscape, &refusal);
    FUZZ_CHECK(plan.has_value());
    // As every run plans: the slots that only fill up the last page past the archive stay blank.
    const bool whole = !plan->fitToArchive(archive.cardCount(), archive.path()).has_value();
    const RunCheck::Result check =
        RunCheck::check(settings, *plan, archive, archiveNumbers, RunCheck::Place::Window);
    FUZZ_CHECK(check.ok() || !check.refusal.trimmed().isEmpty());

    CountingPresenter presenter(check.ok() ? IDIGNORE : IDABORT);
    ErrorPresenter *previous = ErrorPresenter::install(&presenter);
    RecordingSurface surface;
    PrintRun run(surface, archive, settings, archiveNumbers);
    bool calibrationRefused = false;
    try {
        run.run(*plan, {});
    } catch (const VelmoraError &error) {
        // Only a calibration beyond its limits is refused outside the cards, before any card.
        FUZZ_CHECK(error.number() == 380);
        FUZZ_CHECK(run.cardsDrawn() == 0);
        calibrationRefused = true;
    }
    ErrorPresenter::install(previous);
    FUZZ_CHECK(CallTrail::count() == 0);
    if (!calibrationRefused) {
        FUZZ_CHECK(run.cardsDrawn() == plan->cardCount());
    }
    if (check.ok() && whole && !calibrationRefused && presenter.reports != 0) {
        std::fprintf(stderr, "%s\n", qPrintable(presenter.first));
        FUZZ_CHECK(presenter.reports == 0);
    }
    return 0;
}
