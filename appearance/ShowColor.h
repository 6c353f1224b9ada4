#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

namespace velmora {

// Shows the colour dialog over owner: solid colours only, starting on black, with its sixteen
// custom colours black at every showing (what the user defines lasts only as long as the
// dialog). On confirmation the chosen colour becomes target's text colour (see ForeColor) and
// the result is true; on cancel nothing changes and the result is false.
bool ShowColor(QWidget *owner, QWidget *target);

// A control's text colour as 0x00BBGGRR, and setting it (labels, boxes and buttons alike).
qint32 ForeColor(const QWidget *control);
void SetForeColor(QWidget *control, qint32 bgr);

// A colour 0x00BBGGRR as the text assistive tools read: "#RRGGBB".
QString TestoColore(qint32 bgr);

} // namespace velmora
