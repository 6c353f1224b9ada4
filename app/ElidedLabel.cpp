#include "app/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

namespace velmora {

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString &text) {
    setText(text);
    setToolTip(text);
}

QString ElidedLabel::shownText(int room) const {
    const QFontMetrics metrics = fontMetrics();
    const QString whole = text();
    if (metrics.horizontalAdvance(whole) <= room) {
        return whole;
    }
    const qsizetype quote = whole.indexOf(u'"');
    const QString lead = quote < 0 ? QString() : whole.left(quote + 1);
    const int rest = room - metrics.horizontalAdvance(lead);
    if (lead.isEmpty() || rest <= 0) {
        return metrics.elidedText(whole, Qt::ElideRight, room);
    }
    return lead + metrics.elidedText(whole.mid(quote + 1), Qt::ElideLeft, rest);
}

void ElidedLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRect room = contentsRect();
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(),
                          shownText(room.width()), foregroundRole());
}

} // namespace velmora
