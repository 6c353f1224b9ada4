#include "app/CommandButton.h"

#include "ui/qbButtons_H.h"

namespace velmora {
namespace {

constexpr int buttonLook = 3;
constexpr int rectangular = 0;
constexpr int pushButton = 0;
constexpr int captionCentred = 2;
constexpr int noGradient = 0;

} // namespace

qbButtons_H *CommandButton::make(QWidget *parent, const QString &name, const QString &caption,
                                 const QColor &face, const QFont &font) {
    auto *button = new qbButtons_H(parent);
    button->setObjectName(name);
    const QStringList refused = button->readProperties({
        {QStringLiteral("backstyle"), buttonLook},
        {QStringLiteral("shape"), rectangular},
        {QStringLiteral("mode"), pushButton},
        {QStringLiteral("capalign"), captionCentred},
        {QStringLiteral("caption"), caption},
        {QStringLiteral("cback"), face},
        {QStringLiteral("gradient"), noGradient},
        {QStringLiteral("font"), font},
    });
    Q_ASSERT(refused.isEmpty());
    return button;
}

} // namespace velmora
