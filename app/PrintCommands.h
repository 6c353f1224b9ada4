#pragma once

#include <functional>
#include <memory>

class QWidget;

namespace velmora {

class MessagePresenter;
class PrintPage;
class SalvaPdf;
struct Configurazione;

// The commands of the print page and what they do: "Registro stampe" in the row at the page's
// foot, "Anteprima" and "Salva PDF…" beside the orientation, the print itself and, after a run,
// the evening's next first card. Their messages and dialogs open over the main window.
class PrintCommands {
public:
    // The height of the commands in the row at the page's foot, in twips.
    static constexpr int rowCommandHeight = 375;

    // Adds the buttons to page.
    PrintCommands(QWidget &mainWindow, PrintPage &page, Configurazione &settings,
                  std::function<MessagePresenter &()> presenter);
    ~PrintCommands();

    // The print command: the printer selection dialog, then, when confirmed, the run.
    void stampa();
    // The pages of the run chosen, drawn as they will print; its "Stampa…" goes on to
    // printCommand().
    void anteprima();
    // The run chosen, into a PDF file the user names.
    void salvaPdf();
    SalvaPdf &salvaPdfCommand() const { return *m_salvaPdf; }

    // "Stampa" of the window and of the preview: the action set, else stampa().
    void printCommand();
    void setPrintAction(std::function<void()> action) { m_printAction = std::move(action); }

    // The page's first card: the one after the last archive card printed this evening.
    void proposeFirstCard();

private:
    void addButtons();
    void mostraRegistro();

    QWidget &m_mainWindow;
    PrintPage &m_page;
    Configurazione &m_settings;
    std::function<MessagePresenter &()> m_presenter;
    std::unique_ptr<SalvaPdf> m_salvaPdf;
    std::function<void()> m_printAction;
};

} // namespace velmora
