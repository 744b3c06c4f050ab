#include "StampaElenco.h"

#include "archive/Module1.h"
#include "comune/Orologio.h"
#include "archive/Sessione.h"
#include "platform/Messaggi.h"
#include "gui/printing/EsecuzioneReport.h"
#include "gui/printing/LancioStampa.h"

namespace StampaElenco {

QString RigaElenco(const ElencoAnagrafiche& elenco, int riga)
{
    QString testo;
    for (int c = 0; c < ElencoAnagrafiche::NumeroColonne; ++c) {
        const int larghezza = ElencoAnagrafiche::larghezza(c);
        if (larghezza == 0)
            continue;
        const int caratteri = larghezza / TwipsPerCarattere;
        const QString cella = elenco.testo(riga, c).leftJustified(LarghezzaCella, QLatin1Char(' '), true);
        testo += cella.left(caratteri) + QLatin1Char('|');
    }
    return testo;
}

QStringList Righe(const ElencoAnagrafiche& elenco, const QDate& oggi)
{
    QStringList righe { QStringLiteral("Data di Stampa: ") + Module1::FormattaData(oggi), QString(), Riga };
    for (int r = 0; r < elenco.righe(); ++r) {
        righe << RigaElenco(elenco, r);
        if (r == 0)
            righe << Riga;
    }
    righe << Riga << QString();
    return righe;
}

void Anteprima_Click(const Sessione& sessione, ElencoAnagrafiche::Filtro filtro, const QString& ordinamento)
{
    ElencoAnagrafiche elenco;
    bool scritte = false;
    QList<TabellaStampa::RigaStampa> righe;
    if (elenco.Carica(sessione.PercorsoArchivio, filtro, ordinamento))
        righe = TabellaStampa::Scrivi(sessione.PercorsoArchivio, Righe(elenco, Orologio::Oggi()), &scritte);
    if (!scritte) {
        messaggi().Messaggio(QStringLiteral("Impossibile preparare la stampa dell'elenco: l'archivio non è "
                                            "disponibile.\nRiprovare tra qualche istante."),
            Messaggi::Ok, Messaggi::Warning);
        return;
    }

    Report::Richiesta r;
    r.modello = Report::StampaGenerica;
    r.archivio = sessione.PercorsoArchivio;
    r.stampante = LancioStampa::StampanteScelta(sessione, false);
    r.destinazione = Report::Destinazione::Anteprima;
    r.titolo = QStringLiteral("Elenco dipendenti");
    r.righeStampa = righe;
    Report::Esegui(r);
}

} // namespace StampaElenco
