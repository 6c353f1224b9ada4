#pragma once

#include <QLabel>

namespace velmora {

// A one-line label that never widens its page. A text longer than its room keeps what comes
// before its first quotation mark (what it is, how many cards) and shortens the quoted path
// that follows from its left with "…", so the file's own name stays; text(), the tooltip and
// the accessible name keep it whole.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    // The text as drawn in a room of that many pixels.
    QString shownText(int room) const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace velmora
