#include "settings/SettingsFile.h"

#include "errors/FileErrorText.h"
#include "settings/ConfigurazioneCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <utility>

#include <cerrno>
#include <sys/stat.h>

namespace velmora {
namespace {

// The maker's contact lines of a fresh installation (30, 33 and 30 characters at most).
constexpr const char *defaultDitta = "info@velmora.example";
constexpr const char *defaultVia = "Via Tigli 12, Bologna";
constexpr const char *defaultTel = "Tel. 051 555 0142";
constexpr qint16 defaultDimensione = 16;
constexpr qint16 defaultPrimaCartella = 1;

// What is at a path that is there but is no regular file; empty for a regular file.
QString notAFile(const QString &path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode)) {
        return {};
    }
    if (S_ISDIR(info.st_mode)) {
        return QStringLiteral("al suo posto c'è una cartella");
    }
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        return QStringLiteral("è un dispositivo, non un file");
    }
    if (S_ISFIFO(info.st_mode)) {
        return QStringLiteral("è una FIFO (pipe con nome), non un file");
    }
    return QStringLiteral("non è un file normale");
}

// Reads at most limit bytes; errorNumber set when the reading failed.
QByteArray readBounded(const QString &path, qint64 limit, int *errorNumber) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        *errorNumber = errno != 0 ? errno : EIO;
        return {};
    }
    QByteArray bytes = file.read(limit);
    *errorNumber = file.error() == QFileDevice::NoError ? 0 : (errno != 0 ? errno : EIO);
    return bytes;
}

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// Only spaces: other characters at the ends (a tab, a no-break space) are part of the value.
QString trimSpaces(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ') {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == u' ') {
        --end;
    }
    return text.mid(begin, end - begin);
}

} // namespace

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

QString SettingsFile::choosePath(const QString &programDir, const QString &userConfigDir) {
    const QString inProgramDir = QDir(programDir).filePath(QString::fromLatin1(fileName));
    const QFileInfo folder(programDir);
    if (QFileInfo::exists(inProgramDir) || (folder.isDir() && folder.isWritable())) {
        return inProgramDir;
    }
    return QDir(userConfigDir).filePath(QString::fromLatin1(fileName));
}

QString SettingsFile::defaultPath() {
    return choosePath(QCoreApplication::applicationDirPath(),
                      QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

Configurazione SettingsFile::defaults() {
    Configurazione record;
    record.FontTombola = QStringLiteral("Arial");
    record.Titolo = QStringLiteral("Tombola");
    record.Frase1 = QStringLiteral("Grande tombola");
    record.Frase2 = QStringLiteral("Grande tombola");
    record.Orientamento = 0;
    record.Dimensione = defaultDimensione;
    record.setBold(false);
    record.setItalic(false);
    record.Ditta = QString::fromUtf8(defaultDitta);
    record.Riservato = QByteArray(Configurazione::reservedSize, ' ');
    record.Via = QString::fromUtf8(defaultVia);
    record.Tel = QString::fromUtf8(defaultTel);
    record.PrimaCartella = defaultPrimaCartella;
    return record;
}

void SettingsFile::trimTexts(Configurazione &record) {
    record.FontTombola = trimSpaces(record.FontTombola.padded());
    record.Titolo = trimSpaces(record.Titolo.padded());
    record.Frase1 = trimSpaces(record.Frase1.padded());
    record.Frase2 = trimSpaces(record.Frase2.padded());
    record.Ditta = trimSpaces(record.Ditta.padded());
    record.Via = trimSpaces(record.Via.padded());
    record.Tel = trimSpaces(record.Tel.padded());
}

SettingsFile::LoadResult SettingsFile::load(Configurazione &record) {
    const QFileInfo info(m_path);
    if (!info.exists()) {
        Configurazione fresh = defaults();
        const SaveResult saved = save(fresh);
        record = fresh;
        if (!saved.ok) {
            return {LoadOutcome::CreateFailed,
                    QStringLiteral("Impossibile creare il file di configurazione %1 (%2): il "
                                   "programma usa le impostazioni predefinite.")
                        .arg(shown(m_path), saved.reason),
                    false,
                    {}};
        }
        return {LoadOutcome::Created, {}, false, {}};
    }

    const auto unreadable = [this](const QString &why) {
        return LoadResult{LoadOutcome::ReadFailed,
                          QStringLiteral("Impossibile leggere il file di configurazione %1: %2.")
                              .arg(shown(m_path), why),
                          false,
                          {}};
    };
    // Checked before opening: a FIFO would block and a device would never end.
    if (const QString what = notAFile(m_path); !what.isEmpty()) {
        return unreadable(what);
    }
    constexpr qint64 recordSize = Configurazione::recordSize;
    int failure = 0;
    const QByteArray bytes = readBounded(m_path, recordSize + maxTailSize + 1, &failure);
    if (failure != 0) {
        return unreadable(FileErrorText::reason(failure));
    }
    if (bytes.size() > recordSize + maxTailSize) {
        return unreadable(QStringLiteral("è troppo grande per un file di configurazione (più di "
                                         "%1 byte)")
                              .arg(recordSize + maxTailSize));
    }
    LoadResult result;
    if (bytes.size() < recordSize) {
        record = ConfigurazioneCodec::decode(bytes, defaults());
        result.incomplete = true;
        result.notice = QStringLiteral("Il file di configurazione %1 è incompleto (%2 byte su "
                                       "%3): le impostazioni che non contiene hanno i valori "
                                       "predefiniti.")
                            .arg(shown(m_path))
                            .arg(bytes.size())
                            .arg(recordSize);
    } else {
        record = ConfigurazioneCodec::decode(bytes);
    }
    m_tail = bytes.mid(recordSize);
    return result;
}

QByteArray SettingsFile::currentTail() const {
    if (!notAFile(m_path).isEmpty()) {
        return m_tail;
    }
    int failure = 0;
    const QByteArray bytes =
        readBounded(m_path, Configurazione::recordSize + maxTailSize, &failure);
    return failure != 0 ? m_tail : bytes.mid(Configurazione::recordSize);
}

SettingsFile::SaveResult SettingsFile::save(const Configurazione &record) {
    const auto failed = [this](const QString &why) {
        return SaveResult{false,
                          QStringLiteral("Impossibile salvare la configurazione nel file %1: %2.")
                              .arg(shown(m_path), why),
                          why};
    };
    const QFileInfo info(m_path);
    if (const QString what = notAFile(m_path); !what.isEmpty()) {
        return failed(what);
    }
    errno = 0;
    if (!QDir().mkpath(info.absolutePath())) {
        return failed(FileErrorText::whyNotWritable(m_path, errno));
    }
    const QByteArray tail = currentTail();
    QSaveFile file(m_path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return failed(FileErrorText::whyNotWritable(m_path, errno));
    }
    const QByteArray bytes = ConfigurazioneCodec::encode(record) + tail;
    errno = 0;
    // flush() first: QSaveFile's commit() renames even when its own flush ran out of room,
    // which would leave an empty file in place of the old one.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        const int failure = errno;
        file.cancelWriting();
        return failed(FileErrorText::whyNotWritable(m_path, failure));
    }
    return {true, {}, {}};
}

} // namespace velmora
