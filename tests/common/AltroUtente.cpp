#include "AltroUtente.h"

namespace {
const QString NomeConnessione = QStringLiteral("altro-utente");
}

AltroUtente::AltroUtente(const QString& percorso)
{
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
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(NomeConnessione);
}

void AltroUtente::rilascia()
{
    if (m_db.isOpen()) {
        QSqlQuery(QStringLiteral("COMMIT"), m_db);
        m_db.close();
    }
    m_bloccato = false;
}
