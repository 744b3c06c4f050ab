#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>

class Archivio;

// Another user of the archive: a second connection holding its exclusive lock until rilascia()
// or the end of the scope. On a server archive, a transaction holding every table of the archive
// locked against reads and writes alike, as the file's lock does.
class AltroUtente
{
public:
    explicit AltroUtente(const QString& percorso);
    ~AltroUtente();
    AltroUtente(const AltroUtente&) = delete;
    AltroUtente& operator=(const AltroUtente&) = delete;

    bool bloccato() const { return m_bloccato; }
    // Ends the lock, keeping what was written under it.
    void rilascia();

private:
    QSqlDatabase m_db;
    std::unique_ptr<Archivio> m_server;
    bool m_bloccato = false;
};
