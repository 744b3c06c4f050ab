#include "CreazioneDB.h"

#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "platform/Messaggi.h"
#include "platform/Piattaforma.h"

#include <QSqlQuery>

void CreazioneDB::setRiga(const QString& testo)
{
    m_riga = testo;
    if (testo != QLatin1String("COMANDO ESEGUITO")) {
        ++m_contatore;
        m_help << QStringLiteral("n.%1 %2").arg(m_contatore).arg(testo);
        if (m_help.size() > 15)
            m_rigaInCima = int(m_help.size()) - 15;
        emit helpCambiato();
    }
    emit rigaCambiata(testo);
}

bool CreazioneDB::CreaDB_Click(QString& percorso)
{
    const bool ok = eseguiCreazione(percorso, true);
    percorso = m_percorso;
    return ok;
}

bool CreazioneDB::CreaDB(const QString& percorso)
{
    return eseguiCreazione(percorso, false);
}

bool CreazioneDB::eseguiCreazione(const QString& percorso, bool ripiega)
{
    m_tuttoBene = true;
    m_ultimoErrore = 0;
    m_descrizioneUltimoErrore.clear();
    m_percorso = percorso;

    // Step 1: make the file. A file that is there already is fine; one that is not an archive
    // stops everything, so it is never written over.
    int errore = 0;
    QString descrizione;
    bool creato = EseguiConAttesa(
        [&] { Archivio db(m_percorso, Archivio::Apertura::CreaSeManca); }, &errore, &descrizione);
    if (!creato && errore == CodiciErrore::PercorsoNonValido && ripiega) {
        m_percorso = QStringLiteral("Archivio.mdb");
        creato = EseguiConAttesa(
            [&] { Archivio db(m_percorso, Archivio::Apertura::CreaSeManca); }, &errore, &descrizione);
    }
    if (!creato) {
        m_ultimoErrore = errore;
        m_descrizioneUltimoErrore = descrizione;
        return false;
    }

    CreaTabellaConfigurazioni();
    CreaTabellaVersione();
    CreaTabellaStampa();
    CreaTabellaStampa2();
    CreaTabellaVariabili();
    CreaTabellaAnagrafiche();
    CreaTabellaStati();
    CreaTabellaTipi();
    CreaTabellaMovimenti();
    AllineaDB_Click(m_percorso);
    setRiga(QStringLiteral("COMANDO ESEGUITO"));
    if (m_help.size() > 9)
        m_rigaInCima = int(m_help.size()) - 9;
    return m_tuttoBene;
}

bool CreazioneDB::creaTabella(const Schema::Tabella& tabella)
{
    int errore = 0;
    QString descrizione;
    const bool ok = EseguiConAttesa(
        [&] {
            Archivio db(m_percorso, Archivio::Apertura::CreaSeManca);
            // One transaction per table: a new archive is written in a few disk syncs, not one per field.
            InTransazione(db, [&] {
                const auto quota = [&db](const QString& nome) { return db.quota(nome); };
                // The server compares the texts of these indexes and queries without regard to
                // case through a collation of this name, as the file's engine has its own.
                if (db.motore() == Motore::PostgreSQL)
                    db.esegui(
                        QStringLiteral("CREATE COLLATION IF NOT EXISTS nocase (provider = icu, locale = "
                                       "'und-u-ks-level2', deterministic = false)"));
                const Schema::Campo& primo = tabella.campi.first();
                QString definizione
                    = quota(primo.nome) + QLatin1Char(' ') + Schema::TipoMotore(primo.tipo, db.motore());
                if (!primo.zeroConsentito)
                    definizione += QStringLiteral(" NOT NULL CHECK (%1 <> '')").arg(quota(primo.nome));
                db.esegui(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
                              .arg(quota(tabella.nome), definizione));

                QStringList esistenti;
                for (const QString& c : db.campi(tabella.nome))
                    esistenti << c.toLower();
                for (const Schema::Campo& c : tabella.campi)
                    if (!esistenti.contains(c.nome.toLower()))
                        db.tenta(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                     .arg(quota(tabella.nome), quota(c.nome),
                                         Schema::TipoMotore(c.tipo, db.motore())));
                for (const Schema::Indice& i : tabella.indici) {
                    QStringList colonne;
                    for (const QString& c : i.campi)
                        colonne << quota(c)
                                + (i.senzaMaiuscole ? QStringLiteral(" COLLATE NOCASE") : QString());
                    // Rows that break a unique index of an older archive leave it without the
                    // index; nothing else changes.
                    db.tenta(QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (%4)%5")
                                 .arg(i.unico ? QStringLiteral("UNIQUE ") : QString(),
                                     quota(Schema::NomeIndiceArchivio(tabella.nome, i.nome)),
                                     quota(tabella.nome), colonne.join(QStringLiteral(", ")),
                                     i.condizione.isEmpty() ? QString()
                                                            : QStringLiteral(" WHERE ") + i.condizione));
                }
            });
        },
        &errore, &descrizione);
    if (!ok) {
        m_tuttoBene = false;
        m_ultimoErrore = errore;
        m_descrizioneUltimoErrore = descrizione;
    }
    setRiga(tabella.messaggio);
    return ok;
}

void CreazioneDB::CreaTabellaConfigurazioni()
{
    creaTabella(*Schema::TrovaTabella(QStringLiteral("Configurazioni")));
}
void CreazioneDB::CreaTabellaVersione()
{
    creaTabella(*Schema::TrovaTabella(QStringLiteral("TabellaVersione")));
}
void CreazioneDB::CreaTabellaStampa()
{
    creaTabella(*Schema::TrovaTabella(QStringLiteral("Stampa")));
}
void CreazioneDB::CreaTabellaStampa2()
{
    creaTabella(*Schema::TrovaTabella(QStringLiteral("Stampa2")));
}
void CreazioneDB::CreaTabellaVariabili()
{
    creaTabella(*Schema::TrovaTabella(QStringLiteral("Variabili")));
}
void CreazioneDB::CreaTabellaAnagrafiche()
{
    creaTabella(*Schema::TrovaTabella(QStringLiteral("TabellaAnagrafiche")));
}
void CreazioneDB::CreaTabellaStati()
{
    creaTabella(*Schema::TrovaTabella(QStringLiteral("TabellaStati")));
}
void CreazioneDB::CreaTabellaTipi()
{
    creaTabella(*Schema::TrovaTabella(QStringLiteral("TabellaTipi")));
}
void CreazioneDB::CreaTabellaMovimenti()
{
    creaTabella(*Schema::TrovaTabella(QStringLiteral("TabellaMovimenti")));
}

void CreazioneDB::Allinea(Archivio& db)
{
    db.esegui(QStringLiteral("UPDATE TabellaMovimenti SET Tipo = ? WHERE Tipo IS NULL"),
        { QStringLiteral("ORDINARIO") });
}

void CreazioneDB::AllineaDB_Click(const QString& percorso)
{
    m_percorso = percorso;
    const bool ok = EseguiConAttesa([&] {
        Archivio db(m_percorso);
        Allinea(db);
    });
    if (!ok)
        m_tuttoBene = false;
}

bool ControllaVersione(QString& archivio, const QString& versione)
{
    QVariant memorizzata;
    bool letta = EseguiPasso([&] {
        Archivio db(archivio);
        memorizzata
            = db.valore(QStringLiteral("SELECT Versione FROM TabellaVersione ORDER BY Indice LIMIT 1"));
    });

    if (!letta || !memorizzata.isValid()) {
        CreazioneDB().CreaDB_Click(archivio);
        EseguiPasso([&] {
            Archivio db(archivio);
            // A failed first read may have met a row after all: add one only when there is none.
            InTransazione(db, [&] {
                if (!db.valore(QStringLiteral("SELECT count(*) FROM TabellaVersione")).toInt())
                    db.esegui(
                        QStringLiteral("INSERT INTO TabellaVersione (Versione) VALUES (?)"), { versione });
            });
        });
        return true;
    }

    const QString testo = memorizzata.toString();
    if (Module1::ValoreNumerico(versione) < Module1::ValoreNumerico(testo)) {
        messaggi().Messaggio(
            QStringLiteral("Attenzione, la versione del database è più aggiornata rispetto a quella "
                           "del programma!\r\nEseguire l'aggiornamento del programma"),
            Messaggi::Ok, Messaggi::Critical);
        Piattaforma::TerminaProgramma();
        return false;
    }
    if (testo != versione) {
        EseguiPasso([&] {
            Archivio db(archivio);
            db.esegui(QStringLiteral(
                          "UPDATE TabellaVersione SET Versione = ? WHERE Indice = (SELECT min(Indice) FROM "
                          "TabellaVersione)"),
                { versione });
        });
        CreazioneDB().CreaDB_Click(archivio);
        messaggi().Messaggio(
            QStringLiteral("E' stato eseguito un aggiornamento"), Messaggi::Ok, Messaggi::Information);
    }
    return true;
}
