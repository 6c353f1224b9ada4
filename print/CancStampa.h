#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace velmora {

class qbButtons_H;

// The small window shown while cards are printing. Its stop button, Escape and the close box
// all unload it; the print run looks before each card whether it is still loaded and stops when
// it is not. Unloading gives the main window back with the normal pointer, and may safely run
// more than once. A progress bar says "Cartella i di n".
class CancStampa : public QWidget {
    Q_OBJECT
public:
    // mainWindow is enabled again when this window unloads; it is not the parent, so that the
    // stop window stays usable while the main window is disabled.
    explicit CancStampa(QWidget *mainWindow);

    // Load and show, not modal, centred on the screen.
    void mostra();
    // True from mostra() until the window is unloaded.
    bool isLoaded() const { return m_loaded; }
    // Closes the window and gives the main window back.
    void unload();

    // Cards done out of total. The bar is repainted at most every 50 ms, and always for the
    // first and the last card, so a long run is not slowed by its progress display.
    void setProgress(int done, int total);

    qbButtons_H *stopButton() const { return m_stop; }
    QProgressBar *progressBar() const { return m_progress; }

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void stopClicked();
    void unloadSteps();

    QPointer<QWidget> m_mainWindow;
    QLabel *m_label = nullptr;
    qbButtons_H *m_stop = nullptr;
    QProgressBar *m_progress = nullptr;
    QElapsedTimer m_sinceRepaint;
    bool m_loaded = false;
};

} // namespace velmora
