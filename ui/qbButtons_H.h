#pragma once

#include "ui/QbCaption.h"
#include "ui/QbPicture.h"
#include "ui/QbStyle3.h"

#include <QColor>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>
#include <functional>

class QShortcut;

namespace velmora {

// The program's own owner-drawn command button: push, toggle or option (one group per
// container), with hover colours tracked by a 50 ms poll of the widget under the pointer.
// Conflicting property settings throw VelmoraError (number 380) and leave the button as it was;
// out-of-range values of the enumerated properties are ignored.
class qbButtons_H : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int ButtonStyle READ ButtonStyle WRITE setButtonStyle)
    Q_PROPERTY(int Mode READ Mode WRITE setMode)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int CaptionAlign READ CaptionAlign WRITE setCaptionAlign)
    Q_PROPERTY(int CaptionStyle READ CaptionStyle WRITE setCaptionStyle)
    Q_PROPERTY(int CustomClick READ CustomClick WRITE setCustomClick)
    Q_PROPERTY(int ButtonShape READ ButtonShape WRITE setButtonShape)
    Q_PROPERTY(int PictureAlign READ PictureAlign WRITE setPictureAlign)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(bool Value READ Value WRITE setValue)
    Q_PROPERTY(int PictureSize READ PictureSize WRITE setPictureSize)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(int FontStyle READ FontStyle WRITE setFontStyle)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QColor GradientColor READ GradientColor WRITE setGradientColor)
    Q_PROPERTY(int GradientMode READ GradientMode WRITE setGradientMode)
    Q_PROPERTY(int HoverColorLocks READ HoverColorLocks WRITE setHoverColorLocks)
    Q_PROPERTY(QColor HoverForeColor READ HoverForeColor WRITE setHoverForeColor)
    Q_PROPERTY(QColor HoverBackColor READ HoverBackColor WRITE setHoverBackColor)
    Q_PROPERTY(bool Default READ Default WRITE setDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE setCancel)

public:
    enum ModeValue { PushButton = 0, ToggleButton = 1, OptionButton = 2 };
    enum FontStyleFlag { Bold = 1, Italic = 2, Underline = 4, Strikeout = 8 };
    enum MouseButton { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
    enum ShiftFlag { ShiftKey = 1, ControlKey = 2, AltKey = 4 };
    static constexpr int customPointer = 99;

    explicit qbButtons_H(QWidget *parent = nullptr);
    ~qbButtons_H() override;

    int ButtonStyle() const { return m_buttonStyle; }
    void setButtonStyle(int style);
    int Mode() const { return m_mode; }
    void setMode(int mode);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    const QbCaption &parsedCaption() const { return m_parsedCaption; }
    int CaptionAlign() const { return m_captionAlign; }
    void setCaptionAlign(int align);
    int CaptionStyle() const { return m_captionStyle; }
    void setCaptionStyle(int style);
    int CustomClick() const { return m_customClick; }
    void setCustomClick(int value);
    int ButtonShape() const { return m_buttonShape; }
    void setButtonShape(int shape);
    const QbPicture &Picture() const { return m_picture; }
    void setPicture(const QbPicture &picture);
    int PictureAlign() const { return m_pictureAlign; }
    void setPictureAlign(int align);
    bool ShowFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool show);
    bool Value() const { return m_value; }
    void setValue(bool value);
    int PictureSize() const { return m_pictureSize; }
    void setPictureSize(int size);
    int pictureEdge() const; // (PictureSize + 2) * 8 pixels
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    const QbPicture &MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QbPicture &icon);
    int FontStyle() const;
    void setFontStyle(int flags);
    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(const QColor &colour);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &colour);
    QColor GradientColor() const { return m_gradientColor; }
    void setGradientColor(const QColor &colour);
    int GradientMode() const { return m_gradientMode; }
    void setGradientMode(int mode);
    void ResetDefaultColors();
    int HoverColorLocks() const { return m_hoverColorLocks; }
    void setHoverColorLocks(int locks);
    QColor HoverForeColor() const { return m_hoverForeColor; }
    void setHoverForeColor(const QColor &colour);
    QColor HoverBackColor() const { return m_hoverBackColor; }
    void setHoverBackColor(const QColor &colour);
    // Enter activates the default button of the window, Escape its cancel button.
    bool Default() const { return m_default; }
    void setDefault(bool isDefault);
    bool Cancel() const { return m_cancel; }
    void setCancel(bool isCancel);

    void Refresh();
    void DelayDrawing(bool delay);

    // The property store: keys in lower case; absent keys take their documented values, so a
    // map written by writeProperties() reads back to the same button. Values that are out of
    // range, of the wrong type or in conflict are skipped; the returned list says why, in
    // Italian, one line each (empty when everything was taken).
    QStringList readProperties(const QVariantMap &store);
    QVariantMap writeProperties() const;

    bool isHovering() const { return m_hovering; }
    bool isPressed() const { return m_pressed; }
    bool isHeldDown() const { return m_heldDown; }
    // Other option buttons of the same container, this one included.
    QList<qbButtons_H *> optionGroup() const;

    // The hover poll asks which widget is under the pointer; tests replace the question.
    using PointerQuery = std::function<QWidget *()>;
    static void setPointerQuery(PointerQuery query);
    static constexpr int hoverPollMs = 50;

signals:
    void MouseDown(int button, int shift, int x, int y);
    void MouseUp(int button, int shift, int x, int y);
    void MouseMove(int button, int shift, int x, int y);
    void KeyDown(int key, int shift);
    void KeyPress(int character);
    void KeyUp(int key, int shift);
    void MouseOnButton(bool over);
    void Click();
    void DoubleClick(int button);
    // A property changed, named by its store key, so the holder can keep it.
    void PropertyChanged(const QString &key);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void pressLeft();
    void activate();
    void checkPointer();
    void setValueChecked(bool value);
    void joinGroup();
    void leaveGroup();
    void updateShortcuts();
    void updateMask();
    void updateCursor();
    void changed(const char *key);
    // Sets the face or caption colour; its hover colour follows unless locked or set apart.
    void setPlainColour(QColor &plain, QColor &hover, int keepLock, const QColor &colour,
                        const char *key, const char *hoverKey);
    QColor systemColour(int role) const;

    struct Layout {
        QRect picture;
        QRect caption;
    };
    Layout layout(const QRect &content, const QFontMetrics &metrics) const;
    void paintFace(QPainter &painter, const QColor &face) const;
    void paintFrame(QPainter &painter, const QbStyle3::State &state) const;
    QbStyle3::State styleState() const; // what the frame and the face are drawn from
    void paintContent(QPainter &painter) const;

    int m_buttonStyle = 0;
    int m_mode = PushButton;
    QString m_caption;
    QbCaption m_parsedCaption;
    int m_captionAlign = 2;
    int m_captionStyle = 0;
    int m_customClick = 0;
    int m_buttonShape = 0;
    QbPicture m_picture;
    int m_pictureAlign = 0;
    bool m_showFocusRect = true;
    bool m_value = false;
    int m_pictureSize = 0;
    int m_mousePointer = 0;
    QbPicture m_mouseIcon;
    QColor m_foreColor;
    QColor m_backColor;
    QColor m_gradientColor;
    int m_gradientMode = 0;
    int m_hoverColorLocks = 0;
    QColor m_hoverForeColor;
    QColor m_hoverBackColor;
    bool m_default = false;
    bool m_cancel = false;

    // State flags of one button.
    bool m_pointerOver = false;
    bool m_pressed = false;
    bool m_hovering = false;
    bool m_heldDown = false;
    bool m_spaceDown = false;
    int m_lastButton = 0;

    QTimer m_hoverTimer;
    QWidget *m_groupContainer = nullptr;
    QShortcut *m_accessShortcut = nullptr;
    QShortcut *m_returnShortcut = nullptr;
    QShortcut *m_enterShortcut = nullptr;
    QShortcut *m_escapeShortcut = nullptr;
};

} // namespace velmora
