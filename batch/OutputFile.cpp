#include "batch/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <sys/stat.h>

namespace velmora {
namespace {

constexpr qint64 pdfTailBytes = 1024; // where a complete PDF says %%EOF

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// The permissions of a file newly created here: rw for all less the process's umask.
QFileDevice::Permissions newFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions permissions;
    const std::pair<mode_t, QFileDevice::Permission> bits[] = {
        {S_IRUSR, QFileDevice::ReadOwner}, {S_IWUSR, QFileDevice::WriteOwner},
        {S_IRGRP, QFileDevice::ReadGroup}, {S_IWGRP, QFileDevice::WriteGroup},
        {S_IROTH, QFileDevice::ReadOther}, {S_IWOTH, QFileDevice::WriteOther},
    };
    for (const auto &[bit, permission] : bits) {
        if (mode & bit) {
            permissions |= permission;
        }
    }
    if (permissions & QFileDevice::ReadOwner) {
        permissions |= QFileDevice::ReadUser;
    }
    if (permissions & QFileDevice::WriteOwner) {
        permissions |= QFileDevice::WriteUser;
    }
    return permissions;
}

} // namespace

OutputFile::OutputFile(QString requestedPath)
    : m_requested(QFileInfo(requestedPath).absoluteFilePath()) {}

OutputFile::~OutputFile() {
    if (!m_committed) {
        discard();
    }
}

bool OutputFile::reserve(QString *error) {
    const QFileInfo target(m_requested);
    const QFileInfo folder(target.absolutePath());
    if (target.isDir()) {
        *error =
            QStringLiteral("Impossibile scrivere \"%1\": è una cartella.").arg(shown(m_requested));
        return false;
    }
    if (!folder.isDir()) {
        *error = QStringLiteral("Impossibile scrivere \"%1\": la cartella \"%2\" non esiste.")
                     .arg(shown(m_requested), shown(folder.absoluteFilePath()));
        return false;
    }
    if (target.exists() && !target.isWritable()) {
        *error = QStringLiteral("Impossibile scrivere \"%1\": il file esistente è protetto "
                                "dalla scrittura.")
                     .arg(shown(m_requested));
        return false;
    }
    QTemporaryFile reserved(folder.absoluteFilePath() + QStringLiteral("/.") + target.fileName() +
                            QStringLiteral(".XXXXXX.part"));
    if (!reserved.open()) {
        *error = QStringLiteral("Impossibile scrivere nella cartella \"%1\": %2.")
                     .arg(shown(folder.absoluteFilePath()), reserved.errorString());
        return false;
    }
    reserved.setAutoRemove(false);
    m_temporary = reserved.fileName();
    m_committed = false;
    return true;
}

bool OutputFile::commitPdf(QString *error) {
    QFile written(m_temporary);
    bool complete = false;
    if (written.open(QIODevice::ReadOnly)) {
        const QByteArray head = written.read(5);
        const qint64 size = written.size();
        written.seek(std::max<qint64>(0, size - pdfTailBytes));
        const QByteArray tail = written.readAll();
        complete =
            head == "%PDF-" && tail.contains("%%EOF") && written.error() == QFileDevice::NoError;
        written.close();
    }
    if (!complete) {
        *error = QStringLiteral("Il file PDF non è stato scritto per intero (disco pieno?): "
                                "\"%1\" non è stato creato.")
                     .arg(shown(m_requested));
        discard();
        return false;
    }
    const QFileInfo old(m_requested);
    written.setPermissions(old.exists() ? old.permissions() : newFilePermissions());

    std::error_code failure;
    std::filesystem::rename(std::filesystem::path(m_temporary.toStdString()),
                            std::filesystem::path(m_requested.toStdString()), failure);
    if (failure) {
        *error = QStringLiteral("Impossibile dare al file PDF il nome \"%1\": %2.")
                     .arg(shown(m_requested), QString::fromLocal8Bit(failure.message()));
        discard();
        return false;
    }
    m_committed = true;
    return true;
}

void OutputFile::discard() {
    if (!m_temporary.isEmpty()) {
        QFile::remove(m_temporary);
    }
}

} // namespace velmora
