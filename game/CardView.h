#pragma once

#include "print/RecordCartella.h"
#include "rules/NumberSet.h"

#include <QString>
#include <QWidget>

namespace velmora {

struct Configurazione;

// A claimed card as it was printed: the card picture of the appearance page (title, number,
// rules, border, grid, the fifteen numbers, heading line) with the card's own numbers in the
// current colours and font, and a ring round every number drawn.
class CardView : public QWidget {
    Q_OBJECT
public:
    explicit CardView(const Configurazione &settings, QWidget *parent = nullptr);

    // The card to show, its number as printed and the numbers drawn.
    void showCard(const RecordCartella &record, const QString &printedNumber,
                  const NumberSet &drawn, const QString &heading);
    void clear();
    bool hasCard() const { return m_hasCard; }
    // The card's numbers that are drawn, rising (what the rings mark).
    QList<int> marked() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintCard(QPainter &painter) const;
    void updateDescription();

    const Configurazione &m_settings;
    RecordCartella m_record;
    QString m_printedNumber;
    QString m_heading;
    NumberSet m_drawn;
    bool m_hasCard = false;
};

} // namespace velmora
