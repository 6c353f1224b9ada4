#pragma once

#include <QLabel>

namespace velmora {

// A label used as a link: it reports the pointer moving over it and clicks, and can be
// pressed from the keyboard (its access key, Space or Enter).
class HoverLabel : public QLabel {
    Q_OBJECT
public:
    explicit HoverLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void hovered();
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
};

} // namespace velmora
