#include "RegoleCella.h"

#include "archive/Module1.h"
#include "archive/Schema.h"
#include "diary/ElencoStati.h"

namespace RegoleCella {

namespace {
constexpr char16_t Backspace = 8;
constexpr char16_t Esc = 27;

bool cifraOVirgola(char32_t c)
{
    return (c >= U'0' && c <= U'9') || c == U',';
}
} // namespace

Riga TipoRiga(int riga, int numeroTipi)
{
    if (riga < 2)
        return Riga::Intestazione;
    return (riga - 2) % (std::max(numeroTipi, 0) + 1) == 0 ? Riga::Ordinario : Riga::Extra;
}

int LunghezzaMassima()
{
    static const int lunghezza
        = Schema::Dimensione(QStringLiteral("TabellaMovimenti"), QStringLiteral("Stato"));
    return lunghezza > 0 ? lunghezza : 50;
}

QString TastoPremuto(const QString& testo, const QString& tasto, Riga riga)
{
    if (riga == Riga::Intestazione || tasto.contains(QChar(Esc)))
        return testo;
    QString risultato = testo;
    for (qsizetype i = 0; i < tasto.size(); ++i) {
        const QChar c = tasto.at(i);
        if (c == QChar(Backspace)) {
            risultato.clear();
            continue;
        }
        // A character outside the basic plane arrives as two halves; a lone half is dropped.
        char32_t codice = c.unicode();
        QString aggiunta(c);
        if (c.isHighSurrogate() && i + 1 < tasto.size() && tasto.at(i + 1).isLowSurrogate()) {
            codice = QChar::surrogateToUcs4(c, tasto.at(i + 1));
            aggiunta.append(tasto.at(++i));
        } else if (c.isSurrogate()) {
            continue;
        }
        if (codice == U'.') {
            codice = U',';
            aggiunta = QStringLiteral(",");
        }
        if (!QChar::isPrint(codice))
            continue;
        if (riga == Riga::Extra && !cifraOVirgola(codice))
            continue;
        if (risultato.size() + aggiunta.size() > LunghezzaMassima())
            continue;
        risultato.append(aggiunta);
    }
    return risultato;
}

bool Numero(const QString& testo, double* valore)
{
    // The value as the cell shows it (ten decimals at most), so a text and the number stored
    // beside it always agree; what rounds to 0 is no number.
    const double v = Module1::ValoreNumerico(Module1::FormattaNumero(Module1::ValoreNumerico(testo)));
    if (valore)
        *valore = v;
    return v != 0;
}

Contenuto Classifica(const QString& testo, const ElencoStati& stati)
{
    Contenuto c;
    const QString pulito = testo.trimmed();
    if (pulito.isEmpty())
        return c;
    double valore = 0;
    // A number whose text would not fit the field is no number of hours.
    if (Numero(pulito, &valore) && Module1::FormattaNumero(valore).size() <= LunghezzaMassima()) {
        c.genere = Contenuto::Genere::Ore;
        c.numero = valore;
        c.testo = Module1::FormattaNumero(valore);
        return c;
    }
    const QString codice = pulito.toUpper();
    if (stati.contiene(codice)) {
        c.genere = Contenuto::Genere::Stato;
        c.testo = codice;
        c.descrizione = stati.descrizione(codice);
        return c;
    }
    c.genere = Contenuto::Genere::NonValido;
    return c;
}

} // namespace RegoleCella
