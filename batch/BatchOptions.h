#pragma once

#include "batch/EveningQuery.h"
#include "batch/RegisterQuery.h"
#include "batch/VerbaleQuery.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

// What the command line of velmora-pdf asks for. Texts of the range are kept as typed: the
// print run reads them with the same rules as the boxes of the print page.
struct BatchOptions {
    enum class Mode { Print, Verify, Help, Version, Register, Wins, Evening, Verbale };
    enum class Numbering { Progressiva, Archivio };

    Mode mode = Mode::Print;
    std::optional<QString> prima;    // first card; empty: the one stored in the settings
    std::optional<QString> cartelle; // card count; required to print
    std::optional<bool> landscape;   // empty: the orientation stored in the settings
    Numbering numerazione = Numbering::Progressiva;
    bool centred = true;    // --posizione: a PDF's sheet centred on its page, or from its corner
    QString archivio;       // folder of the archive; empty: the usual folders
    QString configurazione; // settings file; empty: the window program's own
    QString stampante;      // printer name; empty when printing to a file
    QString output;         // PDF file ("-": standard output); empty when printing to a printer
    std::optional<QString> estratti; // --vincite: the numbers drawn, as typed
    std::optional<QString> corsa;    // --vincite: a run of the print register
    bool inGioco = false;            // --vincite: only the cards in play of the current evening
    QString piattaforma; // Qt platform to draw on; empty: off screen, whatever the environment

    // What is asked of the print register (Mode::Register).
    std::optional<RegisterQuery> registro;
    // What is asked of the evening (Mode::Evening).
    std::optional<EveningQuery> serata;
    // What is asked of the games (Mode::Verbale).
    std::optional<VerbaleQuery> verbale;

    // The exit statuses of the program.
    static constexpr int exitOk = 0;
    static constexpr int exitFailed = 1;
    static constexpr int exitUsage = 2;

    // arguments as main() has them, the program name first. A usage error (unknown option,
    // missing or bad value, options that exclude each other) leaves options empty.
    static struct BatchParsed parse(const QStringList &arguments);

    // The Qt platform the program runs on: the one asked for with --piattaforma, else
    // "offscreen" (it never opens a window, and must run without a display).
    static QByteArray platform(const BatchParsed &parsed);

    static QString helpText();
    static QString versionText();

private:
    // parse() before its error is put in the shape of every message line.
    static struct BatchParsed parseWords(const QStringList &arguments);
};

// The outcome of BatchOptions::parse().
struct BatchParsed {
    std::optional<BatchOptions> options;
    QString error; // Italian, one sentence, when options is empty
};

} // namespace velmora
