#pragma once

#include "ui/AboutAnimation.h"
#include "ui/RandomSource.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

class QLabel;

namespace velmora {

class qbButtons_H;

// The about window: version, the maker's lines, a mail link to the support address, and an OK
// button that wanders about. The animation state is shared by every opening during a run; the
// opening in which the 600th tick falls closes by itself.
class AbuotForm : public QDialog {
    Q_OBJECT
public:
    // What the window needs from the rest of the program.
    struct Seams {
        QString versionText; // shown after "v. "
        // The window enabled again when this one closes (the main window), may be null.
        QWidget *mainWindow = nullptr;
        std::function<void(const QString &address, const QString &subject)> sendMail;
        std::function<void(QWidget *window)> centre;
        // Random numbers for this opening; null means a generator seeded from the clock.
        std::shared_ptr<RandomSource> random;
    };

    explicit AbuotForm(Seams seams, QWidget *parent = nullptr);

    // The animation state of the whole run.
    static AboutAnimation::State &animationState();
    // Where OK stands, in twips from the window's top-left corner.
    QPoint okPosition() const { return {m_okGeometry.left, m_okGeometry.top}; }
    bool isAnimating() const { return m_timer.isActive(); }

public slots:
    // One tick of Timer1 (1 ms): moves OK, and closes the window on the 600th tick of the run.
    void tick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void done(int result) override;

private:
    void setLinkColour(const QColor &colour);
    void sendMail();

    Seams m_seams;
    std::shared_ptr<RandomSource> m_random;
    AboutAnimation::Geometry m_okGeometry;
    QTimer m_timer;
    QLabel *m_label1 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_version = nullptr;
    qbButtons_H *m_ok = nullptr;
};

} // namespace velmora
