#pragma once

#include <QString>

#include <optional>

// The engine an archive lives in: one SQLite file, or a database on a PostgreSQL server.
enum class Motore { SQLite, PostgreSQL };

// Where a server archive is: an address written where a file's path goes,
// "postgresql://utente@host:porta/database", or with the socket's folder,
// "postgresql:///database?host=/percorso/socket&port=5432&user=utente". Never a password.
struct IndirizzoServer
{
    QString host; // a name, an IP, or the folder of a Unix socket (starting with "/")
    int porta = 5432;
    QString database;
    QString utente;

    // True when `percorso` is written as a server address rather than a file's path.
    static bool E(const QString& percorso);
    // The address read, or nothing with the reason in `errore` (Italian).
    static std::optional<IndirizzoServer> Leggi(const QString& indirizzo, QString* errore = nullptr);
    // The address in its usual form, the one Leggi reads back.
    QString Testo() const;
    // What the user reads: "database su host".
    QString Descrizione() const;

    bool operator==(const IndirizzoServer&) const = default;

    // The password the user gave for `indirizzo`, kept in memory only while the program runs and
    // handed to every connection to it. Without one the server's own ways apply (~/.pgpass, the
    // PGPASSWORD variable, or none).
    static void ImpostaPassword(const QString& indirizzo, const QString& password);
    static QString Password(const QString& indirizzo);
};

inline Motore MotoreDi(const QString& percorso)
{
    return IndirizzoServer::E(percorso) ? Motore::PostgreSQL : Motore::SQLite;
}
