#include "ElencoStati.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"

#include <QSqlQuery>

namespace {
// The record of a code, the first one when the code is there twice.
const QString QueryStato = QStringLiteral("SELECT Descrizione FROM TabellaStati WHERE Stato = ? COLLATE "
                                          "NOCASE AND Indice > 0 ORDER BY Indice LIMIT 1");
} // namespace

QString ElencoStati::Chiave(const QString& codice)
{
    QString chiave = codice;
    for (QChar& c : chiave)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return chiave;
}

ElencoStati ElencoStati::Leggi(Archivio& db)
{
    ElencoStati elenco;
    QSqlQuery q = db.esegui(
        QStringLiteral("SELECT Stato, Descrizione FROM TabellaStati WHERE Indice > 0 ORDER BY Indice"));
    while (q.next())
        elenco.aggiungi(q.value(0).toString(), q.value(1).toString());
    return elenco;
}

void ElencoStati::aggiungi(const QString& codice, const QString& descrizione)
{
    const QString chiave = Chiave(codice);
    if (!m_descrizioni.contains(chiave))
        m_descrizioni.insert(chiave, descrizione);
}

bool ElencoStati::contiene(const QString& codice) const
{
    return m_descrizioni.contains(Chiave(codice));
}

QString ElencoStati::descrizione(const QString& codice) const
{
    return m_descrizioni.value(Chiave(codice));
}

bool ControllaEsistenzaStato(const QString& archivio, const QString& stato, bool* letto)
{
    bool trovato = false;
    const bool ok = EseguiPasso([&] {
        Archivio db(archivio);
        QSqlQuery q = db.esegui(QueryStato, { stato });
        trovato = q.next();
    });
    if (letto)
        *letto = ok;
    return ok && trovato;
}

QString TrovaDescrizioneStato(const QString& archivio, const QString& stato)
{
    QString descrizione;
    EseguiPasso([&] {
        Archivio db(archivio);
        descrizione = db.valore(QueryStato, { stato }).toString();
    });
    return descrizione;
}
