#include "errors/VelmoraError.h"

#include <array>
#include <utility>

namespace velmora {
namespace {

struct ErrorText {
    int number;
    const char *text;
};

// Italian texts of the classic run-time errors that this program can raise.
constexpr std::array errorTexts{
    ErrorText{5, "Chiamata di routine o argomento non validi"},
    ErrorText{6, "Overflow"},
    ErrorText{13, "Tipo non corrispondente"},
    ErrorText{51, "Errore interno"},
    ErrorText{52, "Nome o numero di file non valido"},
    ErrorText{53, "File non trovato"},
    ErrorText{57, "Errore di I/O della periferica"},
    ErrorText{61, "Disco pieno"},
    ErrorText{62, "Input oltre la fine del file"},
    ErrorText{70, "Autorizzazione negata"},
    ErrorText{75, "Errore di accesso al percorso/file"},
    ErrorText{76, "Impossibile trovare il percorso"},
    ErrorText{380, "Valore della proprietà non valido"},
    ErrorText{482, "Errore della stampante"},
    ErrorText{32755, "Cancel."},
    ErrorText{63, "Numero di record non valido"},
    ErrorText{7, "Memoria esaurita"},
    ErrorText{9, "Indice non compreso nell'intervallo"},
};

} // namespace

VelmoraError::VelmoraError(int number, QString description, QString source)
    : m_number(number),
      m_description(description.isEmpty() ? describe(number) : std::move(description)),
      m_source(std::move(source)), m_what(m_description.toUtf8()) {}

QString VelmoraError::describe(int number) {
    for (const ErrorText &entry : errorTexts) {
        if (entry.number == number) {
            return QString::fromUtf8(entry.text);
        }
    }
    return QStringLiteral("Errore definito dall'applicazione o dall'oggetto (%1)").arg(number);
}

} // namespace velmora
