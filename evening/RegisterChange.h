#pragma once

#include "register/RegisterFailure.h"

#include <QSqlError>
#include <QString>

namespace velmora {

// What a write of the evening (a number, a take-back, an award, a prize's value, a new game, a
// sale of cards) came to; no caller may ignore it. Only a Done change is in the register, and
// only then is it shown.
struct [[nodiscard]] RegisterChange {
    enum class Outcome {
        Done,     // in the register
        Refused,  // not allowed (a number drawn already, a card not printed): nothing written
        NotStored // the register did not take it: nothing changed, it may be tried again
    };
    Outcome outcome = Outcome::Refused;
    RegisterFailure::Kind failure = RegisterFailure::Kind::Other; // when NotStored
    // Refused or NotStored: why, one Italian clause ("il disco è pieno"); may be empty for a
    // refusal the caller words itself.
    QString reason;
    int number = 0; // the number drawn or taken back

    bool done() const { return outcome == Outcome::Done; }
    bool notStored() const { return outcome == Outcome::NotStored; }
    explicit operator bool() const { return done(); }

    static RegisterChange made() { return {Outcome::Done, RegisterFailure::Kind::Other, {}, 0}; }
    static RegisterChange refused(const QString &why = {}) {
        return {Outcome::Refused, RegisterFailure::Kind::Other, why, 0};
    }
    // A transaction that failed on the database at path: NotStored, said in the user's words;
    // Refused for a reason the program gave itself.
    static RegisterChange failed(const QSqlError &error, const QString &path) {
        if (RegisterFailure::isRefusal(error)) {
            return refused(RegisterFailure::reason(error));
        }
        return {Outcome::NotStored, RegisterFailure::kind(error, path),
                RegisterFailure::reason(error, path), 0};
    }
};

} // namespace velmora
