#include "GrigliaCalendario.h"

#include "archive/Module1.h"

namespace GrigliaCalendario {

int CellaPrimoGiorno(const QDate& primo)
{
    int w = Module1::NumeroGiornoSettimana(primo); // Sunday = 1
    if (w == 1)
        w = 8;
    else if (w == 2)
        w = 9;
    return w - 1;
}

Celle Compila(
    int mese, const QString& anno, const QString& selezionata, const Festivita::GiorniAzienda& azienda)
{
    Celle celle;
    for (int i = 0; i < NumeroCelle; ++i)
        celle[i].sfondo = ColonnaDomenica(i) ? VuotaDomenica : VuotaFeriale;

    const double valoreAnno = Module1::ValoreNumerico(anno);
    if (valoreAnno <= 0 || mese < 1 || mese > 12)
        return celle;
    const QDate primo = Module1::LeggiData(QStringLiteral("01/%1/%2").arg(mese).arg(anno.trimmed()));
    if (!primo.isValid())
        return celle;
    const QDate scelta = Module1::LeggiData(selezionata);
    const int inizio = CellaPrimoGiorno(primo);
    for (const Festivita::Festa& f : Festivita::DaEvidenziare(primo.year(), primo.month(), azienda))
        celle[inizio + f.data.day() - 1].festa = f.nome;
    for (QDate data = primo; data.month() == primo.month(); data = data.addDays(1)) {
        Cella& c = celle[inizio + data.day() - 1];
        c.giorno = data.day();
        const bool rosso = Module1::NumeroGiornoSettimana(data) == 1 || !c.festa.isEmpty();
        c.sfondo = rosso ? GiornoDomenica : GiornoFeriale;
        if (data == scelta) {
            c.sfondo = GiornoScelto;
            c.grassetto = true;
        }
    }
    return celle;
}

} // namespace GrigliaCalendario
