#include "print/ArchiveSearch.h"

#include "errors/VelmoraError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora {

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
    QStringList shown;
    for (const QString &folder : folders) {
        shown.append(QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(folder)));
    }
    throw VelmoraError(VelmoraError::FileNotFound,
                       QStringLiteral("Impossibile trovare l'archivio delle cartelle %1. "
                                      "Cercato in: %2. Nessuna cartella è stata stampata.")
                           .arg(CardArchive::fileName, shown.join(QStringLiteral(", "))));
}

} // namespace velmora
