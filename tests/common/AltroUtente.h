#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Another user of the archive: a second connection holding its exclusive lock until rilascia()
// or the end of the scope.
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
    bool m_bloccato = false;
};
