#pragma once

#include "print/PrintRequest.h"
#include "settings/PrintRange.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace velmora {

struct Configurazione;
class ElidedLabel;
class FiltroNumerico;

// Page 4 of the main window: how many cards, from which card of the archive, how many pages,
// the orientation and the numbering. The four boxes are kept consistent after every key that
// edits one of them; the first card and the orientation are written into the settings record
// at once.
class PrintPage : public QWidget {
    Q_OBJECT
public:
    explicit PrintPage(Configurazione &settings, QWidget *parent = nullptr);

    // Start-up, once the settings are loaded: selects the stored orientation (0 or 1; any
    // other value leaves portrait selected), shows the stored first card, which limits and
    // stores it like any change, and brings the last card and the numbering caption in line.
    void applySettings();

    // Shows card as the first card, as typing it would (the evening's next card).
    void proposeFirstCard(int card);

    // True when the cards carry their archive numbers, false when they are numbered from 1.
    bool numerazioneArchivio() const { return m_numerazioneArchivio; }
    // Back to numbering from 1 (start-up).
    void resetNumerazione();

    // The cards on a page of the selected orientation (from the card layouts): 6 landscape,
    // else 3; read from the option every time.
    int cardsPerPage() const;
    // Selects the landscape (true) or portrait option, as a click on it does.
    void setLandscape(bool landscape);

    // What the print run reads: the texts of the first-card and card-count boxes.
    QString primaCartellaText() const;
    QString nCartelleText() const;
    // The run "Stampa" asks for, as the page stands now.
    PrintRequest request() const;

    // Focus on arrival at the page: the card count, then the page count, where it stays.
    void focusOnArrival();
    QLineEdit *box(PrintBox which) const;

    // Adds a command button to the row at the foot of the page, after those added before;
    // the page takes ownership.
    void addCommand(QWidget *command);
    // Adds a command about the printed pages (their preview, a PDF of them) beside the
    // orientation pictures, under those added before; the page takes ownership.
    void addPageCommand(QWidget *command);

    // Shows which card archive a print would read (or that none is found), in lblArchivio.
    void mostraArchivio(const QString &text);

    // The key filter of the four boxes, shared with the font-size box if wanted.
    FiltroNumerico *numericFilter() const { return m_filter; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isLandscape() const;
    void recompute(PrintBox which);
    void recomputeFrom(const QLineEdit *edited);
    void fitNumberingCaption();
    void firstCardChanged(const QString &text);

    Configurazione &m_settings;
    FiltroNumerico *m_filter = nullptr;
    QLineEdit *m_nPagine = nullptr;
    QLineEdit *m_nCartelle = nullptr;
    QLineEdit *m_primaCartella = nullptr;
    QLineEdit *m_ultimaCartella = nullptr;
    std::array<QRadioButton *, 2> m_numCartella{};
    std::array<QRadioButton *, 2> m_optOrientamento{};
    QWidget *m_commands = nullptr;
    QWidget *m_pageCommands = nullptr;
    ElidedLabel *m_archivio = nullptr;
    bool m_numerazioneArchivio = false;
    // The box the user has edited since the last recomputation, if any.
    QLineEdit *m_editedBox = nullptr;
};

} // namespace velmora
