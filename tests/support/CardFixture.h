#pragma once

#include "errors/CallTrail.h"
#include "errors/ErrorPresenter.h"
#include "print/RecordCartella.h"
#include "settings/Configurazione.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <vector>

// A card archive in a temporary folder, and a scripted error window, for the card drawing and
// print run tests.
namespace velmora::testing {

// Card n holds numbers that say where they are: column c, row r holds 10 c + r + 1 when the
// cell is filled (five cells of each row), so a number read back names its cell.
inline velmora::RecordCartella numberedCard(int n) {
    velmora::RecordCartella record;
    for (int row = 0; row < velmora::RecordCartella::rows; ++row) {
        for (int column = 0; column < velmora::RecordCartella::columns; ++column) {
            // Rows fill columns (row, row + 2, row + 4, ...) so each row has five numbers.
            const bool filled = (column + row) % 2 == 0 || (row == 1 && column == 8);
            const int count = filled ? 10 * column + row + 1 : 0;
            record.setCellNumber(velmora::RecordCartella::cellIndex(column, row), count);
        }
    }
    record.setNumeroArchivio(QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0')));
    return record;
}

// The archive's bytes with record N storing number N + 1000: an archive whose numbers are not
// the places of its cards.
inline QByteArray shiftedNumbers(QByteArray stored) {
    constexpr qsizetype size = velmora::RecordCartella::recordSize;
    for (qsizetype at = 0; at + size <= stored.size(); at += size) {
        velmora::RecordCartella record =
            velmora::RecordCartella::fromStored(QByteArrayView(stored).sliced(at, size));
        record.setNumeroArchivio(QString::number(at / size + 1001).rightJustified(5, u'0'));
        stored.replace(at, size, record.toStored());
    }
    return stored;
}

class ArchiveFixture {
public:
    // Cards 1..count, each made by make(n).
    explicit ArchiveFixture(
        int count, const std::function<velmora::RecordCartella(int)> &make = numberedCard) {
        QByteArray bytes;
        for (int n = 1; n <= count; ++n) {
            bytes += make(n).toStored();
        }
        QFile out(path());
        if (out.open(QIODevice::WriteOnly)) {
            out.write(bytes);
        }
    }
    QString folder() const { return m_dir.path(); }
    QString path() const { return m_dir.filePath(QStringLiteral("RidoDur.dat")); }

private:
    QTemporaryDir m_dir;
};

// Answers from a script (IDABORT when it runs out) and keeps every report.
class ScriptedPresenter : public velmora::ErrorPresenter {
public:
    std::deque<int> answers;
    QStringList reports;
    std::function<void()> onReport;
    int showReport(const QString &report) override {
        reports << report;
        if (onReport) {
            onReport();
        }
        if (answers.empty()) {
            return velmora::IDABORT;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Installs a presenter for the life of the object.
class PresenterScope {
public:
    explicit PresenterScope(velmora::ErrorPresenter &presenter)
        : m_previous(velmora::ErrorPresenter::install(&presenter)) {}
    ~PresenterScope() { velmora::ErrorPresenter::install(m_previous); }
    PresenterScope(const PresenterScope &) = delete;
    PresenterScope &operator=(const PresenterScope &) = delete;

private:
    velmora::ErrorPresenter *m_previous;
};

// The default settings with a distinct colour for every part, so a text's colour names it.
inline velmora::Configurazione colouredSettings() {
    velmora::Configurazione c = velmora::SettingsFile::defaults();
    c.Titolo = QStringLiteral("  Tombola di Natale ");
    c.Frase1 = QStringLiteral(" Prima frase");
    c.Frase2 = QStringLiteral("Seconda frase ");
    c.Ditta = QStringLiteral(" Pro Loco");
    c.Via = QStringLiteral("Via Roma 1 ");
    c.Tel = QStringLiteral(" 0123 456");
    c.ColoreTitolo = 0x000001;
    c.ColoreNumeroCartella = 0x000002;
    c.ColoreLineaSottile = 0x000003;
    c.ColoreLineaGrossa = 0x000004;
    c.ColoreGriglia = 0x000005;
    c.ColoreBordo = 0x000006;
    c.ColoreFrase = 0x000007;
    c.ColorePrimaCinquina = 0x000008;
    c.ColoreSecondaCinquina = 0x000009;
    c.ColoreTerzaCinquina = 0x00000A;
    return c;
}

} // namespace velmora::testing
