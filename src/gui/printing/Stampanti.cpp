#include "Stampanti.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Sessione.h"

#include <QSqlQuery>

namespace Stampanti {

namespace {

// Every reader and the writer use the same row: the first settings row by key.
const QString SqlRiga
    = QStringLiteral("SELECT Indice, prnDocs FROM Configurazioni WHERE Indice > 0 ORDER BY Indice LIMIT 1");

// A printer that is gone is not kept either, so no report reaches a stale queue.
bool Cerca(const QString& nome, Stampante& trovata)
{
    const QList<Stampante> installate = ElencoStampanti::Installate();
    for (const Stampante& s : installate) {
        if (!nome.isEmpty() && s.nome == nome) {
            trovata = s;
            return true;
        }
    }
    trovata = {};
    return false;
}

} // namespace

void LeggiStampanteDocumenti(Sessione& sessione)
{
    QString nome;
    // A failed read leaves no name rather than the one of an archive opened earlier.
    sessione.NomeStampanteDocumenti.clear();
    if (LeggiNomeMemorizzato(sessione.PercorsoArchivio, nome))
        sessione.NomeStampanteDocumenti = nome;
}

bool ImpostaStampante(Sessione& sessione)
{
    return Cerca(sessione.NomeStampanteDocumenti, sessione.StampanteDocumenti);
}

bool TrovaStampantePdf(Sessione& sessione)
{
    return Cerca(ElencoStampanti::NomePdf, sessione.StampantePdf);
}

void RileggiStampanteDocumenti(Sessione& sessione)
{
    LeggiStampanteDocumenti(sessione);
    sessione.StampanteDocumentiTrovata = ImpostaStampante(sessione);
}

bool CaricaStampanti(Sessione& sessione)
{
    RileggiStampanteDocumenti(sessione);
    return TrovaStampantePdf(sessione);
}

bool LeggiNomeMemorizzato(const QString& archivio, QString& nome, int* errore)
{
    QString letto;
    int numero = 0;
    const bool ok = EseguiConAttesa(
        [&] {
            Archivio db(archivio);
            QSqlQuery q = db.esegui(SqlRiga);
            letto = q.next() ? q.value(1).toString() : QString();
        },
        &numero);
    if (errore)
        *errore = ok ? 0 : numero;
    if (ok)
        nome = letto;
    return ok;
}

bool MemorizzaStampanteDocumenti(Sessione& sessione, const QString& nome, QString* descrizione)
{
    const bool ok = EseguiConAttesa(
        [&] {
            Archivio db(sessione.PercorsoArchivio);
            InTransazione(db, [&] {
                QSqlQuery q = db.esegui(SqlRiga);
                if (q.next()) {
                    const QVariant indice = q.value(0);
                    q.finish();
                    db.esegui(QStringLiteral("UPDATE Configurazioni SET prnDocs = ? WHERE Indice = ?"),
                        { nome, indice });
                } else {
                    q.finish();
                    db.esegui(QStringLiteral("INSERT INTO Configurazioni (prnDocs) VALUES (?)"), { nome });
                }
            });
        },
        nullptr, descrizione);
    if (ok) {
        RileggiStampanteDocumenti(sessione);
    }
    return ok;
}

} // namespace Stampanti
