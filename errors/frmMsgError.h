#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace velmora {

class HoverLabel;

// The modal error window: shows a report, sized to it, above every other window; lets the
// user copy or mail the report and answer "&Termina" (3), "&Riprova" (4) or "&Ignora" (5).
class frmMsgError : public QDialog {
    Q_OBJECT
public:
    explicit frmMsgError(QWidget *parent = nullptr);

    // Loads, sizes and shows the report modally; returns the answer, 0 if the window was
    // closed without one.
    int ShowReport(const QString &text);
    // Loads the report and sizes and centres the window for it, without showing it.
    void LoadReport(const QString &text);
    int ErrResponse() const { return m_response; }
    // A stop of the print run is pending: said next to the answers, whichever is chosen.
    void setStopPending(bool pending);
    const QString &reportText() const { return m_text; }

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void answer(int code);
    void placeStopNotice();
    void fit();
    void refitToFrame();
    void copyReport();
    void sendReport();
    void setLinkColour(QLabel *label, const QColor &colour);

    QLabel *picExclamation = nullptr;
    QLabel *picCritical = nullptr;
    QLabel *Label1 = nullptr;
    QPlainTextEdit *txtErrorMessage = nullptr;
    QWidget *picSendMail = nullptr;
    HoverLabel *lblSend = nullptr;
    HoverLabel *lblCopy = nullptr;
    std::array<QPushButton *, 3> cmdResponse{};
    QLabel *lblInterruzione = nullptr; // the pending stop, under the answers
    QString m_text;
    int m_response = 0;
    QSize m_frameUsed; // the frame the size and the centre were taken with
};

} // namespace velmora
