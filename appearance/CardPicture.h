#pragma once

#include <QWidget>
#include <array>

class QLabel;

namespace velmora {

// A picture of one Tombola card, laid out in twips: the preview of the appearance page
// (picCartella(0), labels of index 1 and Label6(15..29), with its strips and grid lines as
// controls of their own) or the decorative card of the title page (picCartella(2), labels of
// index 0 and Label6(0..14), its strips and grid painted in black).
class CardPicture : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Preview, Decorative };

    static constexpr int numberCount = 15;
    static constexpr int borderCount = 4;
    static constexpr int gridLineCount = 10;

    explicit CardPicture(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    // Index of the card's labels Tombola, lblNumeroCartella and Frase: 1 preview, 0 decorative.
    int labelIndex() const { return m_kind == Kind::Preview ? 1 : 0; }
    // First Label6 index of the card: 15 preview, 0 decorative.
    int firstNumberIndex() const { return m_kind == Kind::Preview ? numberCount : 0; }

    QLabel *tombola() const { return m_tombola; }
    QLabel *lblNumeroCartella() const { return m_numeroCartella; }
    QLabel *frase() const { return m_frase; }
    // The number label Label6(index), index counted as in its objectName; nullptr outside.
    QLabel *label6(int index) const;

    // Preview only (nullptr on the decorative card): strips filled with their colour, and the
    // grid lines as one-pixel strips. imgGriglia has the indices 0, 1, 3 and 4.
    QWidget *picLineaSottile() const { return m_lineaSottile; }
    QWidget *picLineaGrossa() const { return m_lineaGrossa; }
    QWidget *imgBordoCartella(int index) const;
    QWidget *imgGriglia(int index) const;
    QWidget *lnGriglia(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *makeLabel(const QString &name, const QString &text, const QRect &twips,
                      bool fit = false);
    QWidget *makeStrip(const QString &name, const QRect &pixels);

    Kind m_kind;
    QLabel *m_tombola = nullptr;
    QLabel *m_numeroCartella = nullptr;
    QLabel *m_frase = nullptr;
    std::array<QLabel *, numberCount> m_numbers{};
    QWidget *m_lineaSottile = nullptr;
    QWidget *m_lineaGrossa = nullptr;
    std::array<QWidget *, borderCount> m_bordo{};
    std::array<QWidget *, 5> m_griglia{}; // index 2 stays empty
    std::array<QWidget *, gridLineCount> m_lnGriglia{};
};

} // namespace velmora
