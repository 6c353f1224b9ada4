#pragma once

#include "app/PrintCommands.h"
#include "settings/Configurazione.h"
#include "settings/SettingsFile.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class QLineEdit;

namespace velmora {

class CambioFont;
class CardPicture;
class FontControls;
class PartSelection;
class MessagePresenter;
class qbButtons_H;
class PrintPage;
class SalvaPdf;
class GameSession;

// The main window: four pages shown one at a time (title, card appearance, heading lines,
// print) and the navigation strip under them. It owns the program's settings record.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int pageCount = 4;
    static constexpr int navCount = 4;

    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The settings file to use; by default SettingsFile::defaultPath(). Set before avvio().
    void setSettingsPath(const QString &path) { m_settingsPath = path; }
    // Where failures are shown; nullptr restores the message boxes. Not owned.
    void setMessagePresenter(MessagePresenter *presenter);

    // Start-up: centres and titles the window, shows page 1, makes a non-empty command line
    // the current directory, loads (or creates) the settings and shows them, lists the fonts.
    // False when the program must end: the user has been told why.
    bool avvio(const QString &commandLine);

    // The navigation step of button cmdNav(index): 0 about, 1 save and quit, 2 back,
    // 3 forward (print on page 4). Independent of the class of the buttons.
    void cmdNav_Click(int index);
    // The page shown, 1 to 4 (0 before the first navigation step).
    int pagina() const { return m_pagina; }

    // Writes the record to the settings file, taking ParX and ParY from their boxes when the
    // user has typed in them. A calibration value that is not a number or beyond 50 mm is
    // refused with a message naming its box; the stored value stays and the rest is saved.
    // False when the file could not be written, with the Italian reason in lastSaveError().
    bool SalvaConfigurazione();
    const QString &lastSaveError() const { return m_lastSaveError; }

    Configurazione &settings() { return m_settings; }
    // Page containers Picture1(0..3); nullptr outside.
    QWidget *page(int index) const;
    // The navigation buttons cmdNav(0..3); nullptr outside.
    qbButtons_H *cmdNav(int index) const;
    // picCartella(0), the preview of page 2, or picCartella(2), the card of page 1.
    CardPicture *picCartella(int index) const;
    FontControls *fontControls() const { return m_fontControls; }
    // The colour controls of page 2 and the card font of both card pictures.
    PartSelection *partSelection() const { return m_partSelection; }
    CambioFont &cambioFont() const { return *m_cambioFont; }

    // The print page inside Picture1(3).
    PrintPage *printPage() const { return m_printPage; }

    // The board of the evening, opened by "Tabellone" on pages 1 and 4.
    GameSession &gameSession() const { return *m_game; }

    // The print command of page 4: the printer selection dialog, then, when confirmed, the run.
    void stampa() { m_printCommands->stampa(); }
    // "Anteprima" of page 4: the pages of the run chosen, drawn as they will print; its
    // "Stampa…" goes on to the print command.
    void anteprima() { m_printCommands->anteprima(); }
    // "Salva PDF…" of page 4: the run chosen, into a PDF file the user names.
    void salvaPdf() { m_printCommands->salvaPdf(); }
    SalvaPdf &salvaPdfCommand() const { return m_printCommands->salvaPdfCommand(); }

    // What "?" and "Stampa" do instead of the defaults: "?" shows the about window modally
    // unless replaced, "Stampa" prints with stampa().
    void setAboutAction(std::function<void()> action) { m_aboutAction = std::move(action); }
    void setPrintAction(std::function<void()> action) {
        m_printCommands->setPrintAction(std::move(action));
    }

signals:
    // After start-up has shown the stored fields in the boxes of pages 1 to 3: the print page,
    // the preview's colours and the card font take their share of the record from here.
    void configurazioneMostrata();

private:
    void buildPage1();
    void buildPage2();
    void buildPage3();
    void buildNavigation();
    void buildPage4();
    void buildGameCommands();
    QLineEdit *addHeadingBox(const char *name, const QString &label, int maxLength, int row);
    void mostraInformazioni();
    void mostraConfigurazione();
    void moveFocusTo(QWidget *target);
    void salvaConfigurazioneClick();
    void esci();
    MessagePresenter &presenter();

    Configurazione m_settings;
    QString m_settingsPath;
    std::unique_ptr<SettingsFile> m_settingsFile;
    QString m_lastSaveError;
    qint16 m_pagina = 0;
    bool m_parXEdited = false;
    bool m_parYEdited = false;

    std::array<QWidget *, pageCount> m_pages{};
    std::array<qbButtons_H *, navCount> m_cmdNav{};
    CardPicture *m_preview = nullptr;
    CardPicture *m_decorative = nullptr;
    FontControls *m_fontControls = nullptr;
    PartSelection *m_partSelection = nullptr;
    std::unique_ptr<CambioFont> m_cambioFont;
    PrintPage *m_printPage = nullptr;
    std::unique_ptr<PrintCommands> m_printCommands;
    std::unique_ptr<GameSession> m_game;
    QLineEdit *m_txtFrase = nullptr;
    QLineEdit *m_txtTombola = nullptr;
    QLineEdit *m_frase1 = nullptr;
    QLineEdit *m_frase2 = nullptr;
    QLineEdit *m_ditta = nullptr;
    QLineEdit *m_via = nullptr;
    QLineEdit *m_tel = nullptr;
    QLineEdit *m_parY = nullptr;
    QLineEdit *m_parX = nullptr;
    qbButtons_H *m_salva = nullptr;

    std::unique_ptr<MessagePresenter> m_messageBoxes;
    MessagePresenter *m_presenter = nullptr;
    std::function<void()> m_aboutAction;
};

} // namespace velmora
