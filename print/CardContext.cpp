#include "print/CardContext.h"

namespace velmora {

const CardContext::Prepared &CardContext::prepared() {
    if (!m_prepared) {
        auto prepared = std::make_shared<Prepared>();
        prepared->fontTombola = settings.FontTombola.trimmed();
        prepared->titolo = settings.Titolo.trimmed();
        prepared->frase1 = settings.Frase1.trimmed();
        prepared->frase2 = settings.Frase2.trimmed();
        prepared->ditta = settings.Ditta.trimmed();
        prepared->via = settings.Via.trimmed();
        prepared->tel = settings.Tel.trimmed();
        m_prepared = std::move(prepared);
    }
    return *m_prepared;
}

const QString &CardContext::cellText(const RecordCartella &record, int cell) {
    prepared();
    const QByteArrayView bytes = record.cellBytes(cell);
    std::unique_ptr<Prepared::CellTextRow> &row = m_prepared->cellTexts[quint8(bytes[0])];
    if (!row) {
        row = std::make_unique<Prepared::CellTextRow>();
    }
    QString &text = (*row)[quint8(bytes[1])];
    if (text.isNull()) {
        text = record.cellText(cell);
    }
    return text;
}

const QString &CardContext::viaTel(const QString &separator) {
    prepared();
    Prepared &p = *m_prepared;
    if (p.viaTel.isNull() || p.viaTelSeparator != separator) {
        p.viaTelSeparator = separator;
        p.viaTel = QStringLiteral("  ") + p.via + separator + p.tel;
    }
    return p.viaTel;
}

} // namespace velmora
