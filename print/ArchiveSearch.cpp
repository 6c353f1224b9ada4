#include "print/ArchiveSearch.h"

#include "errors/VelmoraError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora {
namespace {

QString notFound(const QStringList &folders) {
    QStringList shown;
    for (const QString &folder : folders) {
        shown.append(QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(folder)));
    }
    return QStringLiteral("Impossibile trovare l'archivio delle cartelle %1 (cercato in: %2)")
        .arg(CardArchive::fileName, shown.join(QStringLiteral(", ")));
}

} // namespace

QStringList ArchiveSearch::folders() {
    QStringList result;
    const auto add = [&result](const QString &folder) {
        if (folder.isEmpty()) {
            return;
        }
        const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
        if (!result.contains(clean)) {
            result.append(clean);
        }
    };
    add(QDir::currentPath());
    add(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (!programFolder.isEmpty()) {
        add(programFolder + QStringLiteral("/../share/velmora"));
        add(programFolder + QStringLiteral("/data"));
    }
    return result;
}

std::unique_ptr<CardArchive> ArchiveSearch::open() {
    return open(folders());
}

std::unique_ptr<CardArchive> ArchiveSearch::open(const QStringList &folders) {
    for (const QString &folder : folders) {
        // The first folder that holds an archive decides: an archive there that cannot be read
        // (or several differing in case, or a folder under its name) is reported, never
        // silently replaced by one further down the list.
        try {
            return std::make_unique<CardArchive>(folder);
        } catch (const VelmoraError &error) {
            if (error.number() != VelmoraError::FileNotFound &&
                error.number() != VelmoraError::PathNotFound) {
                throw;
            }
        }
    }
    throw VelmoraError(VelmoraError::FileNotFound,
                       notFound(folders) + QStringLiteral(": nessuna cartella è stata stampata."));
}

QString ArchiveSearch::locate() {
    for (const QString &folder : folders()) {
        const QString file = CardArchive::locate(folder);
        if (!file.isEmpty()) {
            return file;
        }
    }
    return {};
}

QString ArchiveSearch::describe(const CardArchive &archive) {
    const qint64 cards = archive.cardCount();
    // The count first: on the print page a long path may be cut.
    return QStringLiteral("Archivio: %2, \"%1\".")
        .arg(QDir::toNativeSeparators(QFileInfo(archive.path()).absoluteFilePath()),
             cards == 1 ? QStringLiteral("1 cartella") : QStringLiteral("%1 cartelle").arg(cards));
}

QString ArchiveSearch::describe(const QStringList &folders) {
    const QStringList where = folders.isEmpty() ? ArchiveSearch::folders() : folders;
    for (const QString &folder : where) {
        try {
            return describe(CardArchive(folder));
        } catch (const VelmoraError &error) {
            if (error.number() != VelmoraError::FileNotFound &&
                error.number() != VelmoraError::PathNotFound) {
                return error.description();
            }
        }
    }
    return QStringLiteral("Archivio delle cartelle %1 non trovato.").arg(CardArchive::fileName);
}

} // namespace velmora
