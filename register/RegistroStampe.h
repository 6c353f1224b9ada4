#pragma once

#include "register/ArchiveFingerprint.h"
#include "register/RunRecord.h"

#include <QDialog>
#include <QList>
#include <QSqlDatabase>

#include <optional>

class QTableView;
class QStandardItemModel;

namespace velmora {

class MessagePresenter;

// "Registro stampe": the print runs, newest first, in a read-only table. A run whose archive
// is not the RidoDur.dat the program would use now (other bytes, or none found) is flagged.
class RegistroStampe : public QDialog {
    Q_OBJECT
public:
    enum Column { Numero, Data, Cartelle, Intervallo, Numerazione, Esito, Archivio, Uscita };

    RegistroStampe(const QList<RunRecord> &runs, const std::optional<ArchiveFingerprint> &current,
                   QWidget *parent = nullptr);

    // Shows the runs the open register holds (an invalid database: none was ever written) until
    // the window is closed, each run compared with currentArchive (the archive a print would
    // read now; empty: none is found). A register that cannot be read is told through messages.
    static void mostra(QWidget *parent, MessagePresenter &messages, const QString &currentArchive,
                       QSqlDatabase database);

    QTableView *table() const { return m_table; }

private:
    QTableView *m_table;
    QStandardItemModel *m_model;
};

} // namespace velmora
