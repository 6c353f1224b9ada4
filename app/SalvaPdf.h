#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace velmora {

class FileChooser;
class MessagePresenter;
class PrintPage;
struct Configurazione;
struct PrintPlan;

// "Salva PDF…" of page 4: the run chosen on the page, printed as the print command prints it
// (stop window, progress, refusals), into a PDF file the user names. The file is written under
// a temporary name and renamed only when complete; a stopped or failed run leaves no file. The
// card archive, the settings file and anything that is not a plain file are never replaced.
// The folder of the last file saved is proposed again while the program runs.
class SalvaPdf {
public:
    enum class Result { Saved, Cancelled, Refused, Stopped, Failed };

    SalvaPdf(QWidget &mainWindow, const PrintPage &page, const Configurazione &settings);

    // Not owned; nullptr restores the file dialog.
    void setFileChooser(FileChooser *chooser) { m_chooser = chooser; }
    // Where the archive is looked for; empty (the default) means the usual folders.
    void setArchiveFolders(const QStringList &folders) { m_archiveFolders = folders; }

    // The settings file in use, never written over (nor any file named as the settings file
    // or the card archive are).
    void setSettingsPath(const QString &path) { m_settingsPath = path; }

    QString lastFolder() const { return m_lastFolder; }
    // "cartelle-<first>-<last>.pdf", the last card raised to fill the last page.
    static QString proposedName(const PrintPlan &plan);

    Result run(MessagePresenter &messages);

private:
    QWidget &m_mainWindow;
    const PrintPage &m_page;
    const Configurazione &m_settings;
    FileChooser *m_chooser = nullptr;
    QStringList m_archiveFolders;
    QString m_settingsPath;
    QString m_lastFolder;
};

} // namespace velmora
