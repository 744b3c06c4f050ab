#include "AltroUtente.h"

#include "archive/Archivio.h"
#include "archive/IndirizzoServer.h"
#include "archive/Schema.h"

#include <QStringList>

namespace {
const QString NomeConnessione = QStringLiteral("altro-utente");
}

AltroUtente::AltroUtente(const QString& percorso)
{
    if (IndirizzoServer::E(percorso)) {
        try {
            m_server = std::make_unique<Archivio>(percorso);
            QStringList tabelle;
            for (const Schema::Tabella& t : Schema::Tabelle())
                if (m_server->esisteTabella(t.nome))
                    tabelle << m_server->quota(t.nome);
            m_server->inizia();
            m_server->esegui(QStringLiteral("LOCK TABLE %1 IN ACCESS EXCLUSIVE MODE")
                                 .arg(tabelle.join(QStringLiteral(", "))));
            m_bloccato = true;
        } catch (const ErroreArchivio&) {
            m_server.reset();
        }
        return;
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), NomeConnessione);
    m_db.setDatabaseName(percorso);
    if (m_db.open()) {
        QSqlQuery q(m_db);
        m_bloccato = q.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
}

AltroUtente::~AltroUtente()
{
    rilascia();
    if (m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(NomeConnessione);
    }
}

void AltroUtente::rilascia()
{
    if (m_server) {
        try {
            m_server->conferma();
        } catch (const ErroreArchivio&) {
            // The lock goes with the connection anyway.
        }
        m_server.reset();
    }
    if (m_db.isOpen()) {
        QSqlQuery(QStringLiteral("COMMIT"), m_db);
        m_db.close();
    }
    m_bloccato = false;
}
