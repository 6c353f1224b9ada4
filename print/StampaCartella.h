#pragma once

#include "print/CardContext.h"
#include "print/CardLayout.h"

#include <QString>
#include <QtGlobal>

namespace velmora {

// The credit line printed sideways along every card.
extern const QString RigaCrediti;

// Draws one card on the page in progress: title, number, rules, border, grid, the fifteen
// numbers, the turned credit line and the heading strip of the slot. Each statement is one
// step of RecordingProcedure, so a failure is reported with its step as the line, and the
// user's answer retries it, skips it or leaves the card; the call trail is as before on return.
void StampaCartellaLayout(const CardLayout &layout, CardContext &ctx, qint16 card, qint16 slot,
                          qint16 firstCard);
// Six cards on a landscape page, slot 1 to 6 left to right, top to bottom.
void StampaCartella(CardContext &ctx, qint16 card, qint16 slot, qint16 firstCard);
// Three cards on a portrait page, slot 1 to 3 from the top.
void StampaCartella2(CardContext &ctx, qint16 card, qint16 slot, qint16 firstCard);

} // namespace velmora
