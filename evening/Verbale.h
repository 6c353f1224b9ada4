#pragma once

#include "evening/Evening.h"
#include "register/RunRecord.h"
#include "rules/ClaimCheck.h"
#include "rules/DrawLog.h"
#include "rules/PrizePlan.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace velmora {

// Everything the record of one game says, read from the register: the evening and who held
// it, the archive and the runs the cards came from, the cards in play, the prizes, every
// number drawn (taken back ones too), the claims checked and the awards. Plain data: the same
// game read twice gives the same record.
class Verbale {
public:
    // The archive the evening's cards were printed from.
    struct Archive {
        QString path;
        QString fileName;
        qint64 cards = 0;
        QString sha256;
    };
    // A run of the evening: the printed numbers it delivered.
    struct Run {
        qint64 id = 0;
        int firstPrinted = 0; // 0 when it delivered no card
        int lastPrinted = 0;
        int firstArchiveCard = 0;
        int lastArchiveCard = 0;
        QString numbering; // "dal numero 1", "numeri dell'archivio"
        int delivered = 0; // cards that reached the printer or the file
        bool certain = true;
        QString archiveFileName;
        QString archiveSha256; // tells apart archives of one name
    };
    // A prize given, with its cards (run, printed number, archive card) and each card's number
    // as printed on it ("00605" under the archive's numbering).
    struct AwardLine {
        QString prize;
        QString value;
        bool wholeToEach = false;
        QList<AwardedCard> cards;
        QStringList printed;
        QDateTime awarded;
        QDateTime takenBack; // given by mistake and taken back then; invalid while it stands
    };

    // The games of the current evening, oldest first; reason says why when empty and failed.
    static QList<GameListing> gamesOfCurrentEvening(QSqlDatabase db, QString *reason);
    // The record of one game, from the register alone (and the archives of its runs, for the
    // numbers printed on the cards); nullopt with reason (one Italian sentence) when it does not
    // exist.
    static std::optional<Verbale> read(QSqlDatabase db, qint64 game, QString *reason);
    // The game being played (the newest one not ended), 0 when there is none.
    static qint64 currentGame(QSqlDatabase db, QString *reason);

    // The register the record was read from: never to be written over by the record's PDF.
    QString registerPath;
    // The evening
    QString eveningName;
    QDate eveningDate;
    // Who held it and the cards' title, as the game kept them when it began (the settings'
    // Ditta, Via, Tel and Titolo then); empty for a game kept before games had them
    QString ditta;
    QString via;
    QString tel;
    QString title;
    // The game
    qint64 game = 0;
    int gameNumber = 0; // its place among the evening's games, from 1
    QDateTime started;
    QDateTime ended; // its last number or award once it is over; invalid while it is played

    QList<Archive> archives; // one per archive file the evening's runs printed from
    QList<Run> runs;
    QList<SoldRange> sold; // empty: every card the runs delivered played
    int soldCount = 0;
    qint64 takingsCents = 0;
    QList<Prize> prizes;
    QList<DrawLogEntry> draws; // in order, taken-back ones included
    QList<ClaimCheck> claims;
    QStringList claimPrinted; // each claim's card as printed on it
    QList<AwardLine> awards;  // in the order given, those taken back included
    // Where the evening was held and who signs; the usual roles when none were entered.
    Signing signing;

    // "digitato", "cliccato", "estratto dal computer"; empty when not known.
    static QString sourceText(DrawSource source);
    // What each card of a prize gets: "10,00 € diviso fra 3 cartelle: 3,33 € ciascuna (resta
    // 0,01 €)", "10,00 € a ciascuna delle 2 cartelle", "un cesto"; a value that is not an
    // amount is said as typed. Empty when the prize has no value.
    static QString shareText(const QString &value, bool wholeToEach, int cards);
    // The money a prize given costs: its value, once for each card when each gets the whole;
    // nothing when its value is not an amount.
    static std::optional<qint64> givenCents(const QString &value, bool wholeToEach, int cards);
    // A value as an amount with its sign, "10,00 €"; as typed when it is not an amount.
    static QString valueText(const QString &value);
};

} // namespace velmora
