// The cell keystroke rules and the storage rule: a cell never grows past its limit, extra-type
// rows take only hours, and what is stored as hours reads back as the same number.
#include "FuzzComune.h"

#include "archive/Module1.h"
#include "diary/ElencoStati.h"
#include "diary/RegoleCella.h"

#include <cmath>

using RegoleCella::Riga;

namespace {
bool soloOre(const QString& t)
{
    for (QChar c : t)
        if (!(c.unicode() >= '0' && c.unicode() <= '9') && c != QLatin1Char(','))
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    if (dimensione < 2)
        return 0;
    // First byte: the row kind; then the cell's text and the keys, split at the first NUL byte.
    const Riga riga = Riga(dati[0] % 3);
    const QByteArray resto(reinterpret_cast<const char*>(dati + 1), qsizetype(dimensione - 1));
    const qsizetype taglio = resto.indexOf('\0');
    const QByteArray parteCella = taglio < 0 ? QByteArray() : resto.left(taglio);
    const QByteArray parteTasti = taglio < 0 ? resto : resto.mid(taglio + 1);
    const QString cella
        = TestoDaByte(reinterpret_cast<const uint8_t*>(parteCella.constData()), size_t(parteCella.size()));
    const QString tasti
        = TestoDaByte(reinterpret_cast<const uint8_t*>(parteTasti.constData()), size_t(parteTasti.size()));
    const int massimo = RegoleCella::LunghezzaMassima();

    // One key at a time, as the grid sends them, and all at once.
    QString testo = cella.left(massimo);
    for (qsizetype i = 0; i < tasti.size(); ++i) {
        const QString prima = testo;
        testo = RegoleCella::TastoPremuto(testo, tasti.mid(i, 1), riga);
        VERIFICA(testo.size() <= massimo, tasti);
        if (riga == Riga::Intestazione)
            VERIFICA(testo == prima, tasti);
        if (riga == Riga::Extra && testo.startsWith(prima))
            VERIFICA(soloOre(testo.mid(prima.size())), tasti);
    }
    const QString tuttiInsieme = RegoleCella::TastoPremuto(cella.left(massimo), tasti, riga);
    VERIFICA(tuttiInsieme.size() <= massimo, tasti);
    VERIFICA(
        !tuttiInsieme.contains(QLatin1Char('.')) || cella.left(massimo).contains(QLatin1Char('.')), tasti);

    double valore = 0;
    const bool numero = RegoleCella::Numero(testo, &valore);
    VERIFICA(std::isfinite(valore), testo);
    VERIFICA(numero == (valore != 0), testo);

    static const ElencoStati stati = [] {
        ElencoStati s;
        s.aggiungi(QStringLiteral("F"), QStringLiteral("Ferie"));
        s.aggiungi(QStringLiteral("M"), QStringLiteral("Malattia"));
        s.aggiungi(QStringLiteral("P1"), QStringLiteral("Permesso"));
        return s;
    }();
    using Genere = RegoleCella::Contenuto::Genere;
    const RegoleCella::Contenuto c = RegoleCella::Classifica(testo, stati);
    switch (c.genere) {
    case Genere::Vuoto:
        VERIFICA(testo.trimmed().isEmpty(), testo);
        break;
    case Genere::Ore: {
        VERIFICA(std::isfinite(c.numero) && c.numero != 0, testo);
        VERIFICA(c.testo == Module1::FormattaNumero(c.numero), testo);
        double riletto = 0;
        VERIFICA(RegoleCella::Numero(c.testo, &riletto) && riletto == c.numero, testo);
        break;
    }
    case Genere::Stato:
        VERIFICA(stati.contiene(c.testo) && !c.descrizione.isEmpty(), testo);
        break;
    case Genere::NonValido:
        VERIFICA(c.testo.isEmpty(), testo);
        break;
    }
    // Whatever is stored fits the field.
    VERIFICA(c.testo.size() <= massimo, testo);
    return 0;
}
