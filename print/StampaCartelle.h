#pragma once

#include "print/PrintRequest.h"
#include "print/RunJournal.h"

#include <QObject>

#include <QStringList>
#include <functional>

class QWidget;

namespace velmora {

class CancStampa;
class MessagePresenter;
class PrinterSurface;
class RunPreparation;
struct Configurazione;

// The print run of the main window: the cards asked for on the print page, drawn on the current
// printer while the main window is disabled and the stop window is shown. A range beyond the
// card numbers, an empty run and a missing archive are said before anything is printed; a run
// stopped with the stop window ends its document, so the pages drawn so far come out.
class StampaCartelle : public QObject {
    Q_OBJECT
public:
    enum class Result { Completed, Stopped, NothingToPrint, Refused, NoArchive, Failed };

    // journal begins the run's entry in the register as it starts.
    StampaCartelle(QWidget &mainWindow, const PrintRequest &request, const Configurazione &settings,
                   MessagePresenter &messages, PrinterSurface &surface, RunJournal::Opener journal);

    // Where the archive is looked for; empty (the default) means the usual folders.
    void setArchiveFolders(const QStringList &folders) { m_archiveFolders = folders; }

    // For a run whose document is only a draft until its caller puts it in place (a PDF written
    // to a temporary file): the register names the run by destination, and a completed run
    // counts as delivered, and completed, only when deliver() says the document is in place.
    void setDelivery(const QString &destination, std::function<bool()> deliver) {
        m_destination = destination;
        m_deliver = std::move(deliver);
    }

    // Runs the whole print and returns when it is over, with the main window enabled again.
    // A run that cannot be printed is said in a message window.
    Result run();
    // Prints a run already prepared (Ready), whose archive it takes; as run() otherwise.
    Result print(RunPreparation &prepared);

    // The stop window while a run is on, else nullptr.
    CancStampa *stopWindow() const { return m_stopWindow; }

signals:
    // After each card drawn: done of total cards.
    void cartellaStampata(int done, int total);

private:
    QWidget &m_mainWindow;
    const PrintRequest m_request;
    const Configurazione &m_settings;
    MessagePresenter &m_messages;
    PrinterSurface &m_surface;
    RunJournal::Opener m_journal;
    QStringList m_archiveFolders;
    CancStampa *m_stopWindow = nullptr;
    QString m_destination;
    std::function<bool()> m_deliver;
};

} // namespace velmora
