#include "app/SettingsFile.h"

#include "app/ConfigurazioneCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <utility>

namespace velmora {
namespace {

// The maker's contact lines of a fresh installation (30, 33 and 30 characters at most).
constexpr const char *defaultDitta = "info@velmora.example";
constexpr const char *defaultVia = "Via Tigli 12, Bologna";
constexpr const char *defaultTel = "Tel. 051 555 0142";
constexpr qint16 defaultDimensione = 16;
constexpr qint16 defaultPrimaCartella = 1;

QString reason(QFileDevice::FileError error) {
    switch (error) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("autorizzazione negata");
    case QFileDevice::ReadError:
        return QStringLiteral("errore di lettura");
    case QFileDevice::WriteError:
        return QStringLiteral("errore di scrittura (il disco potrebbe essere pieno)");
    case QFileDevice::ResourceError:
        return QStringLiteral("risorse del sistema esaurite (disco pieno?)");
    case QFileDevice::OpenError:
        return QStringLiteral("il file non si può aprire");
    default:
        return QStringLiteral("errore del file system");
    }
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
                    QStringLiteral("Impossibile creare il file di configurazione %1: %2.\n"
                                   "Il programma usa le impostazioni predefinite.")
                        .arg(shown(m_path), saved.error)};
        }
        return {LoadOutcome::Created, {}};
    }

    QFile file(m_path);
    QByteArray bytes;
    bool ok = !info.isDir() && file.open(QIODevice::ReadOnly);
    if (ok) {
        bytes = file.readAll();
        ok = file.error() == QFileDevice::NoError;
    }
    if (!ok) {
        const QString why =
            info.isDir() ? QStringLiteral("al suo posto c'è una cartella") : reason(file.error());
        return {LoadOutcome::ReadFailed,
                QStringLiteral("Impossibile leggere il file di configurazione %1: %2.")
                    .arg(shown(m_path), why)};
    }
    record = ConfigurazioneCodec::decode(bytes);
    m_tail = bytes.mid(Configurazione::recordSize);
    return {LoadOutcome::Loaded, {}};
}

QByteArray SettingsFile::currentTail() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return m_tail;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return m_tail;
    }
    return bytes.mid(Configurazione::recordSize);
}

SettingsFile::SaveResult SettingsFile::save(const Configurazione &record) {
    const auto failed = [this](const QString &why) {
        return SaveResult{false, QStringLiteral("Impossibile salvare la configurazione nel file "
                                                "%1: %2.")
                                     .arg(shown(m_path), why)};
    };
    const QFileInfo info(m_path);
    if (info.isDir()) {
        return failed(QStringLiteral("al suo posto c'è una cartella"));
    }
    if (!QDir().mkpath(info.absolutePath())) {
        return failed(
            QStringLiteral("la cartella %1 non si può creare").arg(shown(info.absolutePath())));
    }
    const QByteArray tail = currentTail();
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        return failed(reason(file.error()));
    }
    const QByteArray bytes = ConfigurazioneCodec::encode(record) + tail;
    if (file.write(bytes) != bytes.size()) {
        const QString why = reason(file.error());
        file.cancelWriting();
        return failed(why);
    }
    if (!file.commit()) {
        return failed(reason(file.error()));
    }
    return {true, {}};
}

} // namespace velmora
