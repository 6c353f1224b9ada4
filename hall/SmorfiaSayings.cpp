#include "hall/SmorfiaSayings.h"

#include <array>

namespace velmora {

namespace {

// One line a number, 1 to 90, written for the program: short enough to say after the number
// before the next one is drawn.
const std::array<const char *, 90> sayings = {
    "l'Italia",                  // 1
    "la bambina",                // 2
    "la gatta",                  // 3
    "il maiale",                 // 4
    "la mano",                   // 5
    "quella che guarda a terra", // 6
    "il vaso",                   // 7
    "la Madonna",                // 8
    "la figliolanza",            // 9
    "i fagioli",                 // 10
    "i topi",                    // 11
    "i soldati",                 // 12
    "Sant'Antonio",              // 13
    "l'ubriaco",                 // 14
    "il ragazzo",                // 15
    "il sedere",                 // 16
    "la disgrazia",              // 17
    "il sangue",                 // 18
    "la risata",                 // 19
    "la festa",                  // 20
    "la donna nuda",             // 21
    "il pazzo",                  // 22
    "lo scemo",                  // 23
    "le guardie",                // 24
    "Natale",                    // 25
    "Nannina",                   // 26
    "il vaso da notte",          // 27
    "le tette",                  // 28
    "il padre dei bambini",      // 29
    "le palle del tenente",      // 30
    "il padrone di casa",        // 31
    "il capitone",               // 32
    "gli anni di Cristo",        // 33
    "la testa",                  // 34
    "l'uccellino",               // 35
    "le nacchere",               // 36
    "il monaco",                 // 37
    "le botte",                  // 38
    "la corda al collo",         // 39
    "la noia",                   // 40
    "il coltello",               // 41
    "il caffè",                  // 42
    "la donna al balcone",       // 43
    "le carceri",                // 44
    "il vino buono",             // 45
    "i denari",                  // 46
    "il morto",                  // 47
    "il morto che parla",        // 48
    "il pezzo di carne",         // 49
    "il pane",                   // 50
    "il giardino",               // 51
    "la mamma",                  // 52
    "il vecchio",                // 53
    "il cappello",               // 54
    "la musica",                 // 55
    "la caduta",                 // 56
    "il gobbo",                  // 57
    "il pacco",                  // 58
    "i peli",                    // 59
    "si lamenta",                // 60
    "il cacciatore",             // 61
    "il morto ammazzato",        // 62
    "la sposa",                  // 63
    "la giacca",                 // 64
    "il pianto",                 // 65
    "le due zitelle",            // 66
    "il polpo nella chitarra",   // 67
    "la zuppa cotta",            // 68
    "sottosopra",                // 69
    "il palazzo",                // 70
    "l'uomo da nulla",           // 71
    "la meraviglia",             // 72
    "l'ospedale",                // 73
    "la grotta",                 // 74
    "Pulcinella",                // 75
    "la fontana",                // 76
    "le gambe delle donne",      // 77
    "la bella ragazza",          // 78
    "il ladro",                  // 79
    "la bocca",                  // 80
    "i fiori",                   // 81
    "la tavola imbandita",       // 82
    "il maltempo",               // 83
    "la chiesa",                 // 84
    "le anime del purgatorio",   // 85
    "la bottega",                // 86
    "i pidocchi",                // 87
    "i caciocavalli",            // 88
    "la vecchia",                // 89
    "la paura",                  // 90
};

} // namespace

QString smorfiaSaying(int number) {
    if (number < 1 || number > 90) {
        return {};
    }
    return QString::fromUtf8(sayings[std::size_t(number - 1)]);
}

} // namespace velmora
