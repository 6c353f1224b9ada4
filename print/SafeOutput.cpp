#include "print/SafeOutput.h"

#include "errors/FileErrorText.h"

#include "print/RecordCartella.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <QRegularExpression>

#include <algorithm>
#include <vector>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

constexpr qint64 pdfTailBytes = 1024; // where a complete PDF says %%EOF
constexpr int maxLinkHops = 40;       // as the system's own limit on nested links

// The temporary file's name: short and unrelated to the name asked for, so that a name up to
// the file system's limit never fails for it, and carrying the writer's process number, so that
// one left by a killed run can be told from one a live run is writing.
const QString partPrefix = QStringLiteral(".vlm");
const QString partSuffix = QStringLiteral(".part");

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

bool statOf(const QString &path, struct stat *info) {
    return ::stat(QFile::encodeName(path).constData(), info) == 0;
}

// What a path that is there but not a plain file is, in the user's words.
QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return QStringLiteral("è una cartella");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("è una FIFO (pipe con nome), non un file");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("è un dispositivo, non un file");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("è un socket, non un file");
    }
    return QStringLiteral("non è un file normale");
}

// The file a chain of symbolic links leads to (the path itself when it is no link); a link
// that leads nowhere gives the path it names, where the file will be made.
QString followLinks(const QString &path) {
    QString current = path;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymLink()) {
            break;
        }
        current = info.symLinkTarget();
    }
    return current;
}

// The permissions of a file newly created here: rw for all less the process's umask.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// What an existing file that is not a PDF seems to be, from its first bytes, its size and its
// name, so the user knows what the output would have destroyed.
QString lookalike(const QString &path, const QByteArray &head, qint64 size) {
    const QString name = QFileInfo(path).fileName();
    if (head.startsWith(QByteArrayLiteral("SQLite format 3"))) {
        return QStringLiteral("un database SQLite (come il registro delle stampe)");
    }
    if (name.contains(QStringLiteral("RidoDur"), Qt::CaseInsensitive) ||
        (size > 0 && size % RecordCartella::recordSize == 0 &&
         name.endsWith(QStringLiteral(".dat"), Qt::CaseInsensitive))) {
        return QStringLiteral("un archivio delle cartelle");
    }
    if (name.compare(QStringLiteral("vel.cnf"), Qt::CaseInsensitive) == 0 ||
        name.endsWith(QStringLiteral(".cnf"), Qt::CaseInsensitive)) {
        return QStringLiteral("un file di configurazione");
    }
    return QStringLiteral("un file di altro tipo");
}

bool isMemberOf(gid_t group) {
    if (group == ::getegid()) {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(std::max(count, 0));
    const int got = ::getgroups(int(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(got, 0), group) !=
           groups.begin() + std::max(got, 0);
}

// Removes the temporary files that runs now gone left in folder: only ours (by name and
// owner) and only when the process named in the name no longer exists.
void removeStaleParts(const QString &folder) {
    static const QRegularExpression ours(QStringLiteral("^\\.vlm(\\d+)-[A-Za-z0-9]{6}\\.part$"));
    const QStringList names = QDir(folder).entryList({partPrefix + u'*' + partSuffix},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = ours.match(name);
        bool number = false;
        const pid_t writer = pid_t(match.captured(1).toLongLong(&number));
        if (!match.hasMatch() || !number || writer <= 0 || writer == ::getpid()) {
            continue;
        }
        if (::kill(writer, 0) == 0 || errno != ESRCH) {
            continue; // alive, or someone else's we may not signal
        }
        const QByteArray path = QFile::encodeName(QDir(folder).filePath(name));
        struct stat info {};
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid()) {
            ::unlink(path.constData());
        }
    }
}

// The mode a replacing file takes: the very bits of the file it replaces (read from the file
// itself, not from what the current user may do with it, which for root is everything), or
// those of a new file.
mode_t replacingMode(const QString &target) {
    struct stat old {};
    return statOf(target, &old) ? (old.st_mode & 0777) : newFileMode();
}

} // namespace

SafeOutput::SafeOutput(const QString &requestedPath)
    : m_requested(isStandardOutput(requestedPath) ? requestedPath
                                                  : QFileInfo(requestedPath).absoluteFilePath()),
      m_target(m_requested), m_toStandardOutput(isStandardOutput(requestedPath)) {
    if (!m_toStandardOutput) {
        m_target = QFileInfo(followLinks(m_requested)).absoluteFilePath();
    }
}

SafeOutput::~SafeOutput() {
    if (!m_committed) {
        discard();
    }
}

bool SafeOutput::isStandardOutput(const QString &requestedPath) {
    return requestedPath == QStringLiteral("-");
}

QString SafeOutput::shownName() const {
    return m_toStandardOutput ? QStringLiteral("standard output")
                              : QStringLiteral("\"%1\"").arg(shown(m_requested));
}

bool SafeOutput::checkTarget(const QList<KeptFile> &kept, QString *error) const {
    const auto refuse = [&](const QString &why) {
        *error = QStringLiteral("Impossibile scrivere %1: %2.").arg(shownName(), why);
        return false;
    };
    struct stat target {};
    if (!statOf(m_target, &target)) {
        return true; // a new file
    }
    if (!S_ISREG(target.st_mode)) {
        return refuse(kindOf(target.st_mode));
    }
    // By identity, not by name: another name, a link or a hard link of a kept file is the file.
    for (const KeptFile &file : kept) {
        struct stat read {};
        if (!file.path.isEmpty() && statOf(file.path, &read) && read.st_dev == target.st_dev &&
            read.st_ino == target.st_ino) {
            return refuse(QStringLiteral("è %1 \"%2\", che non va sovrascritto")
                              .arg(file.what, shown(QFileInfo(file.path).absoluteFilePath())));
        }
    }
    if (target.st_size > 0) {
        // Only a PDF is ever replaced: whatever else is there may be the one copy of something.
        QFile existing(m_target);
        if (!existing.open(QIODevice::ReadOnly)) {
            return refuse(QStringLiteral("il file esiste e non si può leggere per controllare "
                                         "che sia un PDF, quindi non viene sostituito"));
        }
        const QByteArray head = existing.read(16);
        if (!head.startsWith(QByteArrayLiteral("%PDF-"))) {
            return refuse(QStringLiteral("il file esiste e sembra %1, non un PDF, quindi non "
                                         "viene sostituito")
                              .arg(lookalike(m_target, head, target.st_size)));
        }
    }
    // A read-only PDF was made so on purpose: refused even to root, who could write it.
    if ((target.st_mode & S_IWUSR) == 0) {
        return refuse(QStringLiteral("il file esiste ed è di sola lettura, quindi non viene "
                                     "sostituito"));
    }
    // The new file keeps the owner and group of the one it replaces; only root can give it
    // another user's.
    if (::geteuid() != 0 && (target.st_uid != ::geteuid() || !isMemberOf(target.st_gid))) {
        return refuse(QStringLiteral("il file esiste e appartiene a un altro utente o gruppo, "
                                     "quindi non viene sostituito"));
    }
    if (::access(QFile::encodeName(m_target).constData(), W_OK) != 0) {
        return refuse(FileErrorText::whyNotWritable(m_target, errno));
    }
    return true;
}

bool SafeOutput::check(const QList<KeptFile> &kept, QString *error) const {
    return m_toStandardOutput || checkTarget(kept, error);
}

bool SafeOutput::reserve(const QList<KeptFile> &kept, QString *error) {
    m_committed = false;
    if (!check(kept, error)) {
        return false;
    }
    const QString folder =
        m_toStandardOutput ? QDir::tempPath() : QFileInfo(m_target).absolutePath();
    removeStaleParts(folder);
    const QString pattern = folder + u'/' + partPrefix + QString::number(::getpid()) +
                            QStringLiteral("-XXXXXX") + partSuffix;
    QTemporaryFile reserved(pattern);
    errno = 0;
    if (!reserved.open()) {
        const int failure = errno;
        *error = QStringLiteral("Impossibile scrivere %1: %2.")
                     .arg(shownName(), FileErrorText::whyNotWritable(
                                           m_toStandardOutput ? pattern : m_target, failure));
        return false;
    }
    reserved.setAutoRemove(false);
    m_temporary = reserved.fileName();
    return true;
}

QString SafeOutput::writeFailure() const {
    // The PDF engine reports no failed write of its own: the file system is asked with one.
    const QString why = FileErrorText::whyNotWritable(m_toStandardOutput ? m_temporary : m_target,
                                                      FileErrorText::writeError(m_temporary));
    if (why == FileErrorText::reason(0)) {
        return {};
    }
    return QStringLiteral("Impossibile scrivere %1: %2.").arg(shownName(), why);
}

bool SafeOutput::commitPdf(QString *error) {
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
        const QString cause = writeFailure();
        QString what = cause.isEmpty() ? QStringLiteral("Il file PDF %1 non è stato scritto per "
                                                        "intero")
                                             .arg(shownName())
                                       : cause;
        if (what.endsWith(u'.')) {
            what.chop(1); // one sentence: what went wrong, then that nothing was left
        }
        *error = what + QStringLiteral(": nessun file è stato scritto.");
        discard();
        return false;
    }
    if (m_toStandardOutput) {
        const bool copied = copyToStandardOutput(error);
        discard();
        m_committed = copied;
        return copied;
    }
    // The owner and group of the file replaced (checked possible before the run), then its
    // mode; a failed chmod leaves the temporary file's own 0600: stricter, never wider.
    struct stat old {};
    if (statOf(m_target, &old) &&
        ::chown(QFile::encodeName(m_temporary).constData(), old.st_uid, old.st_gid) != 0) {
        *error = QStringLiteral("Impossibile scrivere %1: non si può dare al nuovo file il "
                                "proprietario di quello che sostituirebbe.")
                     .arg(shownName());
        discard();
        return false;
    }
    ::chmod(QFile::encodeName(m_temporary).constData(), replacingMode(m_target));

    std::error_code failure;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(m_temporary).toStdString()),
                            std::filesystem::path(QFile::encodeName(m_target).toStdString()),
                            failure);
    if (failure) {
        *error = QStringLiteral("Impossibile scrivere %1: %2.")
                     .arg(shownName(), FileErrorText::whyNotWritable(m_target, failure.value()));
        discard();
        return false;
    }
    m_committed = true;
    return true;
}

bool SafeOutput::copyToStandardOutput(QString *error) {
    QFile from(m_temporary);
    QFile to;
    bool ok = from.open(QIODevice::ReadOnly) && to.open(stdout, QIODevice::WriteOnly);
    while (ok && !from.atEnd()) {
        constexpr qint64 chunk = 1 << 16;
        const QByteArray bytes = from.read(chunk);
        ok = !bytes.isEmpty() && to.write(bytes) == bytes.size();
    }
    ok = ok && to.flush();
    if (!ok) {
        *error = QStringLiteral("Impossibile scrivere il PDF su standard output: %1.")
                     .arg(FileErrorText::reason(errno));
    }
    return ok;
}

void SafeOutput::discard() {
    if (!m_temporary.isEmpty()) {
        QFile::remove(m_temporary);
        m_temporary.clear();
    }
}

} // namespace velmora
