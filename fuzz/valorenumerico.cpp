// ValoreNumerico reads whatever was typed: never NaN, never infinite, and a text of digits with
// at most one comma is the number it spells.
#include "FuzzComune.h"

#include "archive/Module1.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    const QString testo = TestoDaByte(dati, dimensione);
    const double valore = Module1::ValoreNumerico(testo);
    VERIFICA(std::isfinite(valore), testo);

    int meno = 0;
    bool soloNumero = !testo.isEmpty();
    for (QChar c : testo) {
        if (c == QLatin1Char('-'))
            ++meno;
        else if (!(c.unicode() >= '0' && c.unicode() <= '9') && c != QLatin1Char(','))
            soloNumero = false;
    }
    VERIFICA(meno % 2 == 0 ? valore >= 0 : valore <= 0, testo);

    // Digits and one comma, no sign, short enough for a double: the same as the C reading.
    if (soloNumero && meno == 0 && testo.count(QLatin1Char(',')) <= 1 && testo.size() < 300) {
        QString conPunto = testo;
        conPunto.replace(QLatin1Char(','), QLatin1Char('.'));
        const double atteso
            = conPunto == QLatin1String(".") ? 0.0 : std::strtod(conPunto.toLatin1().constData(), nullptr);
        VERIFICA(valore == atteso, testo);
    }

    // What FormattaNumero writes reads back as the same number (to its ten decimals).
    const double riletto = Module1::ValoreNumerico(Module1::FormattaNumero(valore));
    VERIFICA(std::isfinite(riletto), testo);
    VERIFICA(std::fabs(riletto - valore) <= 1e-9 * std::max(1.0, std::fabs(valore)), testo);
    return 0;
}
