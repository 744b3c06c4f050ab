#include "TrasferimentoArchivio.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/IndirizzoServer.h"
#include "archive/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TrasferimentoArchivio {

namespace {

QString nomeDi(const QString& archivio)
{
    if (const auto indirizzo = IndirizzoServer::Leggi(archivio))
        return QStringLiteral("l'archivio %1").arg(indirizzo->Descrizione());
    return QStringLiteral("il file «%1»").arg(QDir::toNativeSeparators(archivio));
}

// The rows of one table, from the snapshot of `da` into the open transaction of `a`.
qint64 copiaTabella(
    Archivio& da, Archivio& a, const Schema::Tabella& tabella, const std::function<void()>& riga)
{
    if (!da.esisteTabella(tabella.nome))
        return 0;
    // Only the fields both know: an older source lacks some, which stay empty.
    const QStringList presenti = da.campi(tabella.nome);
    QStringList campi;
    for (const Schema::Campo& c : tabella.campi)
        if (presenti.contains(c.nome, Qt::CaseInsensitive))
            campi << c.nome;
    QStringList segnaposti;
    segnaposti.fill(QStringLiteral("?"), campi.size());
    const QString elenco = campi.join(QStringLiteral(", "));
    ScritturaRapida scrittura(a,
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(tabella.nome, elenco, segnaposti.join(QStringLiteral(", "))));
    const QString chiave = tabella.campi.first().nome;
    qint64 n = 0;
    da.scorri(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(elenco, tabella.nome, chiave), {},
        [&](const RigaRapida& r) {
            for (int c = 0; c < campi.size(); ++c) {
                switch (r.genere(c)) {
                case RigaRapida::Genere::Nullo:
                    break;
                case RigaRapida::Genere::Intero:
                    scrittura.intero(c, r.intero(c));
                    break;
                case RigaRapida::Genere::Reale:
                    scrittura.reale(c, r.reale(c));
                    break;
                case RigaRapida::Genere::Binario:
                    scrittura.binario(c, r.binario(c));
                    break;
                case RigaRapida::Genere::Testo:
                    scrittura.testo(c, r.testo(c));
                    break;
                }
            }
            scrittura.esegui();
            ++n;
            riga();
        });
    scrittura.completa();
    return n;
}

// Every table of `da`'s snapshot into `a`'s open transaction.
Righe copiaTutto(Archivio& da, Archivio& a, const Avanzamento& avanzamento)
{
    qint64 totale = 0;
    for (const Schema::Tabella& t : Schema::Tabelle())
        if (da.esisteTabella(t.nome))
            totale += da.valore(QStringLiteral("SELECT count(*) FROM %1").arg(t.nome)).toLongLong();
    qint64 fatte = 0;
    int ultimo = -1;
    Righe righe;
    for (const Schema::Tabella& t : Schema::Tabelle()) {
        righe.append({ t.nome, copiaTabella(da, a, t, [&] {
                          const int percento = int(++fatte * 100 / std::max<qint64>(1, totale));
                          if (percento != ultimo && avanzamento && !avanzamento(std::min(99, percento)))
                              throw ErroreArchivio(
                                  CodiciErrore::Annullato, QStringLiteral("Copia annullata."));
                          ultimo = percento;
                      }) });
        a.chiaviDopoCopia(t);
    }
    return righe;
}

} // namespace

Righe Copia(const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento)
{
    if (!Archivio::Esiste(sorgente))
        throw ErroreArchivio(CodiciErrore::FileNonTrovato,
            QStringLiteral("Non c'è alcun archivio da copiare in %1.").arg(nomeDi(sorgente)));
    if (Archivio::Esiste(destinazione))
        throw ErroreArchivio(CodiciErrore::Generico,
            QStringLiteral("In %1 c'è già un archivio: la copia si fa solo in un file nuovo o in un "
                           "database senza le tabelle di Cartavia.")
                .arg(nomeDi(destinazione)));
    const bool server = IndirizzoServer::E(destinazione);
    const QString scrittura = server ? destinazione : destinazione + QStringLiteral(".copia");
    const auto togli = [&] {
        if (!server) {
            QFile::remove(scrittura);
            QFile::remove(scrittura + QStringLiteral("-journal"));
            return;
        }
        try {
            Archivio db(destinazione);
            for (const Schema::Tabella& t : Schema::Tabelle())
                db.tenta(QStringLiteral("DROP TABLE IF EXISTS %1").arg(db.quota(t.nome)));
        } catch (const ErroreArchivio&) {
            // The server went away: what was made there is empty, and a new copy finds it.
        }
    };
    if (!server)
        togli(); // a scratch file left by a copy that was cut short

    Righe righe;
    try {
        CreazioneDB creazione;
        if (!creazione.CreaDB(scrittura))
            throw ErroreArchivio(creazione.UltimoErrore() ? creazione.UltimoErrore() : CodiciErrore::Generico,
                QStringLiteral("Impossibile creare %1.\n%2")
                    .arg(nomeDi(destinazione), creazione.DescrizioneUltimoErrore()));
        Archivio da(sorgente);
        Archivio a(scrittura);
        // One snapshot of the source: a copy is the archive as it was at one moment.
        da.esegui(da.motore() == Motore::PostgreSQL
                ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                : QStringLiteral("BEGIN"));
        InTransazione(a, [&] {
            // The creation wrote its own version row: the source's take its place.
            a.esegui(QStringLiteral("DELETE FROM TabellaVersione"));
            righe = copiaTutto(da, a, avanzamento);
        });
        da.esegui(QStringLiteral("COMMIT"));
    } catch (...) {
        togli();
        throw;
    }
    if (!server && !QFile::rename(scrittura, destinazione)) {
        togli();
        throw ErroreArchivio(CodiciErrore::Generico,
            QStringLiteral("Impossibile dare alla copia il nome «%1».")
                .arg(QDir::toNativeSeparators(destinazione)));
    }
    if (avanzamento)
        avanzamento(100);
    return righe;
}

Righe Sostituisci(const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento)
{
    Archivio da(sorgente);
    Archivio a(destinazione);
    Righe righe;
    da.esegui(QStringLiteral("BEGIN"));
    InTransazione(a, [&] {
        for (const Schema::Tabella& t : Schema::Tabelle())
            if (a.esisteTabella(t.nome))
                a.esegui(QStringLiteral("DELETE FROM %1").arg(t.nome));
        righe = copiaTutto(da, a, avanzamento);
    });
    da.esegui(QStringLiteral("COMMIT"));
    if (avanzamento)
        avanzamento(100);
    return righe;
}

} // namespace TrasferimentoArchivio
