#pragma once

#include "ErroreArchivio.h"
#include "IndirizzoServer.h"

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdio>
#include <functional>
#include <optional>

namespace Schema {
struct Tabella;
}
struct sqlite3;
struct sqlite3_stmt;
struct pg_conn;
struct pg_result;

// One row of Archivio::scorri: values read straight from the engine, without a QVariant each.
class RigaRapida
{
public:
    explicit RigaRapida(sqlite3_stmt* istruzione)
        : m_istruzione(istruzione)
    { }
    // A row of a server archive, read through Qt SQL.
    explicit RigaRapida(const QSqlQuery* query)
        : m_query(query)
    { }
    // A row of a server archive, as the server sent it (one row per result).
    explicit RigaRapida(const pg_result* risultato)
        : m_risultato(risultato)
    { }
    qint64 intero(int colonna) const;
    double reale(int colonna) const;
    QString testo(int colonna) const; // "" for null
    // The text's bytes as the engine holds them (UTF-8), valid until the next row.
    QByteArrayView grezzo(int colonna) const;
    bool nullo(int colonna) const;
    // The bytes of a binary value (a logo), empty for null.
    QByteArray binario(int colonna) const;
    // What the engine holds in the column, whatever the field's declared type.
    enum class Genere { Nullo, Intero, Reale, Testo, Binario };
    Genere genere(int colonna) const;

private:
    sqlite3_stmt* m_istruzione = nullptr;
    const QSqlQuery* m_query = nullptr;
    const pg_result* m_risultato = nullptr;
    mutable QList<QByteArray> m_grezzi; // a server row's texts as UTF-8, for grezzo()
};

// One open archive, for the length of one operation: opened by path, worked on, closed by the
// destructor. Every failure throws ErroreArchivio with the number the error routine knows.
class Archivio
{
public:
    enum class Apertura {
        Esistente, // the file must be there and be an archive
        CreaSeManca, // a missing file is created (the folder must exist)
    };

    // `percorso` is a file's path or a server address (IndirizzoServer): a server database
    // must exist; "creating" it there is the creation command's making of the tables.
    explicit Archivio(const QString& percorso, Apertura modo = Apertura::Esistente);
    ~Archivio();
    Archivio(const Archivio&) = delete;
    Archivio& operator=(const Archivio&) = delete;

    const QString& percorso() const { return m_percorso; }
    Motore motore() const { return m_motore; }
    // A table, field or index name as this engine's SQL wants it.
    QString quota(const QString& nome) const;
    // Runs one statement whose failure is expected at times (a field or index that exists, a
    // unique index older rows break): false when it failed, the transaction still usable. A busy
    // archive still throws.
    bool tenta(const QString& sql);
    // After rows came in with their own keys: new keys of `tabella` go on after the highest one.
    void chiaviDopoCopia(const Schema::Tabella& tabella);

    // Runs one statement with bound values; the query is positioned before its first row.
    QSqlQuery esegui(const QString& sql, const QVariantList& valori = {});
    // A statement prepared once and run many times (inside a transaction).
    QSqlQuery prepara(const QString& sql);
    void eseguiPreparata(QSqlQuery& query, const QVariantList& valori);
    // Runs a query and hands each row to `riga`: the month-sized reads of the grids and the save,
    // where a QVariant per value would cost more than the engine's own work.
    void scorri(
        const QString& sql, const QVariantList& valori, const std::function<void(const RigaRapida&)>& riga);
    // The first column of the first row, or an invalid QVariant when there is no row.
    QVariant valore(const QString& sql, const QVariantList& valori = {});

    // Write transactions take the write lock at once, so a busy archive fails before any change.
    void inizia();
    void conferma();
    void annulla();
    bool inTransazione() const { return m_inTransazione; }

    bool esisteTabella(const QString& tabella);
    QStringList campi(const QString& tabella);
    QStringList indici(const QString& tabella);

    // The archive's own handle, for the rare reader that needs Qt SQL directly.
    QSqlDatabase& database() { return m_db; }

    // Reports the share of the work done (0-100); false asks the work to stop (it then throws 3059).
    using Avanzamento = std::function<bool(int percento)>;

    // Copies `sorgente` into the new file `destinazione` (which must not exist), compacted and
    // consistent even while other programs write (they wait to write until it ends).
    static void CopiaCompatta(
        const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento = {});
    // Copies `sorgente` page by page into the new file `destinazione`, a few megabytes at a time:
    // other instances read and write between the steps (a write makes the copy start again; after
    // a few restarts the rest goes in one step). The copy is the archive as it was at one moment.
    // Safe on any thread. A `destinazione` left by a failure is the caller's to remove.
    static void CopiaIstantanea(
        const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento = {});
    // Whether there is an archive at `percorso`: the file, or the program's tables in the server's
    // database (a database that cannot be reached counts as none).
    static bool Esiste(const QString& percorso);
    // Throws unless `percorso` is a file the engine reads as an archive (its header).
    static void Verifica(const QString& percorso);
    // What opening an archive checks: the header, then the schema (tables, fields, indexes) and
    // the first and last rows of every table, a few pages whatever the archive's age. Another
    // file, or one cut short or overwritten in its first pages, throws 3049. Nothing is written;
    // an archive busy with another writer passes (the open that follows waits for it).
    static void VerificaApertura(const QString& percorso);
    // A read-only pass over every page: throws 3049 when any of it is damaged. It reads the whole
    // file, so it runs where that is done anyway (backup, restore, compaction) or on request.
    // Safe on any thread: it uses a connection of its own.
    static void VerificaCompleta(const QString& percorso, const Avanzamento& avanzamento = {});

    // The message for an archive the engine finds damaged (or a file that is no archive).
    static QString TestoDanneggiato(const QString& percorso);
    // True while `percorso` is known damaged: an operation met the engine's corruption error on it
    // and the file has not changed since. No connection opens it then (3049), so nothing more is
    // written to it; a restore or a full check that passes lifts it.
    static bool NotoDanneggiato(const QString& percorso);
    // Records that `percorso` was found damaged (by a check of a copy of it).
    static void SegnaDanneggiato(const QString& percorso);

    // Counts, from now on, the connections this process opens to servers and the round trips made
    // on them once open (each statement's request and the server's answer): what a month's grid
    // costs on a distant server. Tracing slows the work; off by default.
    struct Viaggi
    {
        qint64 connessioni = 0;
        qint64 andateRitorno = 0;
    };
    static void ContaViaggi(bool attiva);
    // What was counted since ContaViaggi(true), connections closed so far only.
    static Viaggi ViaggiContati();

    // Maps an engine error to the program's numbered error.
    static ErroreArchivio Traduci(const QSqlError& errore, const QString& contesto = {});
    static ErroreArchivio Traduci(int codiceMotore, const QString& testoMotore, const QString& contesto = {});
    // The same for a server's failure, from its SQLSTATE.
    static ErroreArchivio TraduciServer(
        const QString& stato, const QString& testoMotore, const QString& contesto = {});

private:
    friend class ScritturaRapida;
    // The engine's own handle under Qt SQL's connection.
    sqlite3* connessioneSqlite();
    // The server connection under Qt SQL's, or null when Qt SQL is in the middle of a statement.
    pg_conn* connessioneServer();
    // scorri on the server, straight through its client library; false when it cannot be used.
    bool scorriServer(
        const QString& sql, const QVariantList& valori, const std::function<void(const RigaRapida&)>& riga);
    // The program's SQL as this engine reads it.
    QString perMotore(const QString& sql) const;
    void apriServer();
    // The numbered error for a failure of this connection; damage marks the archive.
    ErroreArchivio errore(int codiceMotore, const QString& testoMotore, const QString& contesto = {}) const;
    ErroreArchivio errore(const QSqlError& e, const QString& contesto = {}) const;

    QString m_percorso;
    Motore m_motore = Motore::SQLite;
    QString m_nomeConnessione;
    QSqlDatabase m_db;
    bool m_inTransazione = false;
    std::FILE* m_traccia = nullptr; // the connection's traffic, while ContaViaggi is on
    // A bulk write's failure found where it could not be thrown: the commit throws it instead.
    std::optional<ErroreArchivio> m_erroreDifferito;
};

// One statement prepared once and run for many rows, its values bound straight into the engine:
// the bulk writes (an import, a copy) where a QVariant per value would cost more than the engine's
// work. Columns count from 0; a column not bound for a row is null. On a server the rows go
// without waiting for each answer, a few hundred at a time: a row's failure may be thrown by a
// later esegui() or by completa(), which ends the writing (the transaction's commit throws it
// too, when completa() was never reached). Nothing else runs on the archive meanwhile.
class ScritturaRapida
{
public:
    ScritturaRapida(Archivio& db, const QString& sql);
    ~ScritturaRapida();
    ScritturaRapida(const ScritturaRapida&) = delete;
    ScritturaRapida& operator=(const ScritturaRapida&) = delete;

    void intero(int colonna, qint64 valore);
    void reale(int colonna, double valore);
    void testo(int colonna, const QString& valore);
    void binario(int colonna, QByteArrayView valore);
    // Runs the statement with the values bound, then clears them for the next row.
    void esegui();
    // Waits for the rows still on their way; throws the first failure among them.
    void completa();

private:
    void controlla(int esito);
    void svuotaValori();
    void raccogli();

    Archivio& m_db;
    QString m_sql;
    sqlite3* m_motore = nullptr;
    sqlite3_stmt* m_istruzione = nullptr;
    std::optional<QSqlQuery> m_query; // server archives, when the client library cannot be used
    int m_segnaposti = 0; // the statement's values, all bound on every row on a server
    pg_conn* m_server = nullptr;
    QByteArray m_nome; // of the statement prepared on the server
    QList<QByteArray> m_valori; // a server row's values as text, or bytes for binario()
    QList<int> m_formati;
    int m_inViaggio = 0; // rows sent whose answer is still to read
};

// Runs `f` in one write transaction: committed when it returns, rolled back when it throws.
template <typename F> void InTransazione(Archivio& db, F&& f)
{
    db.inizia();
    try {
        f();
        db.conferma();
    } catch (...) {
        db.annulla();
        throw;
    }
}
