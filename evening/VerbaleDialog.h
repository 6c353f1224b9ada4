#pragma once

#include "evening/Verbale.h"

#include <QDialog>
#include <QPrinter>
#include <QSqlDatabase>

#include <optional>

class QLabel;
class QListWidget;
class QPrintPreviewWidget;
class QPushButton;

namespace velmora {

class FileChooser;
class MessagePresenter;

// "Verbale dell'estrazione": the games of the current evening, the current one chosen, and the
// record of the game chosen as it prints, with "Salva PDF…", "Stampa…" and "Chiudi". The record
// is read from the register each time a game is chosen; nothing here changes a game.
class VerbaleDialog : public QDialog {
    Q_OBJECT
public:
    // An open register database: the record is the register's alone, whatever the settings say.
    VerbaleDialog(QSqlDatabase db, MessagePresenter &messages, QWidget *parent = nullptr);
    ~VerbaleDialog() override;

    // Opens the register at its usual place and shows the window until it is closed; failures
    // are told through messages.
    static void mostra(QWidget *parent, MessagePresenter &messages);

    // Where "Salva PDF…" asks for the file name; by default the program's PDF file dialog.
    void setFileChooser(FileChooser *chooser) { m_chooser = chooser; }
    // The game whose record is shown; 0 when none could be read.
    qint64 shownGame() const { return m_verbale ? m_verbale->game : 0; }

private:
    void loadGames();
    void showChosenGame();
    void paintPreview(QPrinter *printer);
    void savePdf();
    void writePdf(const QString &path);
    void print();

    QSqlDatabase m_db;
    MessagePresenter &m_messages;
    FileChooser *m_chooser = nullptr;
    std::optional<Verbale> m_verbale;
    QString m_lastFolder;
    QPrinter m_previewPrinter{QPrinter::HighResolution};
    QListWidget *m_games;
    QPrintPreviewWidget *m_preview;
    QLabel *m_notice;
    QPushButton *m_save;
    QPushButton *m_print;
};

} // namespace velmora
