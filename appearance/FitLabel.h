#pragma once

#include <QFont>
#include <QLabel>

namespace velmora {

// A label of a card picture that shows its text as the printed card does: whole and inside the
// label, its font shrunk a pixel at a time when the text is too wide, never below 6 points, and
// past that cut with an ellipsis. Its font property stays as it was set.
class FitLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The font and text as shown: font() and text() when the text fits.
    QFont shownFont() const;
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool fits() const;
};

} // namespace velmora
