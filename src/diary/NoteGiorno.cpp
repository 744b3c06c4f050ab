#include "NoteGiorno.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"

#include <QSqlQuery>

namespace NoteGiorno {

namespace {
// The cell's rows: days by their number and types without regard to case, as the grid matches
// them.
const QString Condizione = QStringLiteral(" WHERE IndiceAnagrafica = ? AND Anno = ? AND Mese = ? AND Tipo = "
                                          "? COLLATE NOCASE AND CAST(Giorno AS INTEGER) = ?");

QVariantList valori(const Cella& c)
{
    return { c.indice, c.anno, c.mese, c.tipo, qint64(Module1::ValoreNumerico(c.giorno)) };
}
} // namespace

bool Leggi(const QString& archivio, const Cella& cella, QString* nota, bool* esiste)
{
    QVariant trovata;
    bool riga = false;
    const bool letta = EseguiPasso([&] {
        riga = false;
        Archivio db(archivio);
        // Of a day stored twice, the note the grid colours the cell for.
        QSqlQuery q = db.esegui(QStringLiteral("SELECT COALESCE(Note, '') FROM TabellaMovimenti") + Condizione
                + QStringLiteral(" ORDER BY COALESCE(Note, '') = '', Indice DESC LIMIT 1"),
            valori(cella));
        if (q.next()) {
            riga = true;
            trovata = q.value(0);
        }
    });
    if (nota)
        *nota = letta && riga ? trovata.toString() : QString();
    if (esiste)
        *esiste = letta && riga;
    return letta;
}

Esito Scrivi(const QString& archivio, const Cella& cella, const QString& nota)
{
    int scritte = 0;
    const bool ok = EseguiPasso([&] {
        Archivio db(archivio);
        InTransazione(db, [&] {
            QVariantList v { nota.isNull() ? QStringLiteral("") : nota };
            v << valori(cella);
            QSqlQuery q = db.esegui(QStringLiteral("UPDATE TabellaMovimenti SET Note = ?") + Condizione, v);
            scritte = q.numRowsAffected();
        });
    });
    if (!ok)
        return Esito::NonRiuscita;
    return scritte > 0 ? Esito::Memorizzata : Esito::RigaMancante;
}

} // namespace NoteGiorno
