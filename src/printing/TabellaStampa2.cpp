#include "TabellaStampa2.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"
#include "diary/GrigliaTotali.h"

#include <QSqlQuery>

namespace TabellaStampa2 {

using GrigliaTotali::ColonnaOre;
using GrigliaTotali::PrimaColonnaStati;

QList<RigaStampa2> Righe(const Griglia& g, const GrigliaTotali::Esito& esito, const Descrizione& descrizione)
{
    QList<RigaStampa2> righe;
    const auto aggiungi = [&righe](const QString& testo, int grassetto) {
        RigaStampa2 r;
        r.Des1 = testo;
        r.Grassetto = grassetto;
        righe << r;
    };
    const int ultimaColonnaStati = PrimaColonnaStati + esito.numeroStati - 1;
    const auto righeStati = [&](int r) {
        for (int c = PrimaColonnaStati; c <= ultimaColonnaStati; ++c) {
            const QString n = g.testo(r, c);
            if (!n.trimmed().isEmpty())
                aggiungi(descrizione(g.testo(1, c)) + SeparatoreStato + n, 0);
        }
    };
    const auto righeTipi = [&](int da, int a, int grassetto) {
        for (int k = da; k <= a; ++k) {
            aggiungi(g.testo(k, 3) + SeparatoreTipo + g.testo(k, ColonnaOre), grassetto);
            righeStati(k);
        }
    };

    const int t = esito.numeroTipi;
    for (int b = 0; b < esito.numeroDipendenti; ++b) {
        const int i = 2 + b * (t + 1);
        aggiungi(PrefissoDipendente + g.testo(i, 2), 1);
        aggiungi(PrefissoOre + g.testo(i, ColonnaOre), 0);
        righeStati(i);
        righeTipi(i + 1, i + t, 0);
    }

    const int f = esito.primaRigaRiepilogo;
    if (esito.codiceDipendente.isEmpty()) {
        aggiungi(BannerParziali, 0);
        aggiungi(PrefissoOre + g.testo(f + 1, ColonnaOre), 1);
        righeStati(f + 1);
        if (t >= 1)
            righeTipi(f + 2, f + t + 1, 1);
    }

    aggiungi(BannerTotali, 0);
    const int totale = esito.rigaTotale();
    aggiungi(PrefissoOre + g.testo(totale, ColonnaOre), 1);
    righeStati(totale);
    return righe;
}

QList<RigaStampa2> PreparaStampa(
    const QString& archivio, const Griglia& griglia, const GrigliaTotali::Esito& esito, bool* ok)
{
    QList<RigaStampa2> scritte;
    // The counts come from the grid as built, not from the archive now: an employee or a state
    // added since would shift every block.
    const bool valida = esito.costruita() && griglia.colonne() == PrimaColonnaStati + esito.numeroStati
        && esito.rigaTotale() < griglia.righe();
    const bool fatto = valida && EseguiPasso([&] {
        scritte.clear();
        Archivio db(archivio);
        InTransazione(db, [&] {
            db.esegui(QStringLiteral("DELETE FROM Stampa2"));
            QSqlQuery cerca = db.prepara(QStringLiteral("SELECT Descrizione FROM TabellaStati WHERE Stato = "
                                                        "? COLLATE NOCASE ORDER BY Indice LIMIT 1"));
            const Descrizione descrizione = [&](const QString& stato) {
                db.eseguiPreparata(cerca, { stato });
                const QString d = cerca.next() ? cerca.value(0).toString() : QString();
                cerca.finish();
                return d;
            };
            scritte = Righe(griglia, esito, descrizione);
            QSqlQuery inserisci
                = db.prepara(QStringLiteral("INSERT INTO Stampa2 (Des1, Des2, Des3, Des4, Des5, Des6, Des7, "
                                            "Des8, Des9, IndiceRif, Grassetto) "
                                            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            for (RigaStampa2& r : scritte) {
                db.eseguiPreparata(inserisci,
                    { r.Des1, r.Des2, r.Des3, r.Des4, r.Des5, r.Des6, r.Des7, r.Des8, r.Des9, r.IndiceRif,
                        r.Grassetto });
                r.Indice = inserisci.lastInsertId().toLongLong();
            }
        });
    });
    if (!fatto)
        scritte.clear();
    if (ok)
        *ok = fatto;
    return scritte;
}

} // namespace TabellaStampa2
