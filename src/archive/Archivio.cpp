#include "Archivio.h"

#include "archive/Schema.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QElapsedTimer>
#include <QThread>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <atomic>
#include <charconv>
#include <cstring>
#include <memory>

namespace {

QAtomicInteger<quint64> g_contatoreConnessioni;

std::atomic<bool> g_contaViaggi { false };
std::atomic<qint64> g_connessioniContate { 0 };
std::atomic<qint64> g_andateRitornoContate { 0 };

// How long the engine itself waits for a lock before the error routine sees it; short, so the
// wait window can show that the archive is busy.
constexpr int AttesaMotoreMs = 100;
// "CART" in the engine header marks files this program created.
constexpr int IdentificativoArchivio = 0x43415254;
// A copy step holds the archive's read lock for this many pages (4 MiB of 4 KiB pages).
constexpr int PaginePerPasso = 1024;
// Writes of others that make a copy start again before it takes the rest in one step.
constexpr int RipreseMassime = 3;
// How long a copy waits for another instance's write before it gives up.
constexpr int AttesaCopiaMs = 60000;
// How long the full check waits for another instance's write to end.
constexpr int AttesaVerificaMs = 5000;

QString testoMotore(const QSqlError& e)
{
    QString t = e.databaseText();
    if (t.isEmpty())
        t = e.driverText();
    return t;
}

bool cartellaEsiste(const QString& percorso)
{
    return QFileInfo(QFileInfo(percorso).absolutePath()).isDir();
}

bool codiceDanno(int codiceMotore)
{
    const int c = codiceMotore & 0xFF;
    return c == SQLITE_CORRUPT || c == SQLITE_NOTADB;
}

// Another instance holding the archive, or a journal only a writer may roll back: no damage,
// the open that follows meets it and waits or rolls back.
bool codiceDiPassaggio(int codiceMotore)
{
    const int c = codiceMotore & 0xFF;
    return c == SQLITE_BUSY || c == SQLITE_LOCKED || c == SQLITE_READONLY;
}

// Archives an operation found damaged, with the file as it was then (size, time, and the header,
// whose change counter every write moves): a file changed since (restored, replaced by another
// instance) is judged afresh.
struct FileDanneggiato
{
    qint64 dimensione = 0;
    QDateTime modifica;
    QByteArray intestazione;

    static FileDanneggiato Di(const QFileInfo& info)
    {
        QFile f(info.absoluteFilePath());
        const QByteArray intestazione = f.open(QIODevice::ReadOnly) ? f.read(100) : QByteArray();
        return { info.size(), info.lastModified(), intestazione };
    }
    bool operator==(const FileDanneggiato&) const = default;
};

QMutex g_muteDanneggiati;
QHash<QString, FileDanneggiato> g_danneggiati;
QAtomicInteger<int> g_numeroDanneggiati;

void marcaDanneggiato(const QString& percorso)
{
    const QFileInfo info(percorso);
    if (!info.exists())
        return;
    const QMutexLocker blocco(&g_muteDanneggiati);
    g_danneggiati.insert(info.absoluteFilePath(), FileDanneggiato::Di(info));
    g_numeroDanneggiati.storeRelaxed(int(g_danneggiati.size()));
}

void dimenticaDanneggiato(const QString& percorso)
{
    if (g_numeroDanneggiati.loadRelaxed() == 0)
        return;
    const QMutexLocker blocco(&g_muteDanneggiati);
    g_danneggiati.remove(QFileInfo(percorso).absoluteFilePath());
    g_numeroDanneggiati.storeRelaxed(int(g_danneggiati.size()));
}

// The pages a whole-file read has brought in, for its progress: the full check runs inside one
// engine instruction, so only the reads tell how far it is. Counted per thread by a thin layer
// over the engine's own file access, used by the check's connection alone.
struct LettureContate
{
    qint64 letti = 0;
    qint64 totale = 1;
    const Archivio::Avanzamento* avanzamento = nullptr;
    sqlite3* db = nullptr;
    int ultimo = -1;
    bool annullato = false;

    void letto(int byte)
    {
        letti += byte;
        const int percento = int(std::min<qint64>(99, letti * 100 / totale));
        if (percento == ultimo || annullato)
            return;
        ultimo = percento;
        if (avanzamento && *avanzamento && !(*avanzamento)(percento)) {
            annullato = true;
            sqlite3_interrupt(db);
        }
    }
};

thread_local LettureContate* t_letture = nullptr;

const char* const NomeVfsContato = "cartavia-letture";

struct FileContato
{
    sqlite3_file base;
    sqlite3_file* reale;
};

sqlite3_vfs* g_vfsReale = nullptr;

sqlite3_file* reale(sqlite3_file* f)
{
    return reinterpret_cast<FileContato*>(f)->reale;
}

const sqlite3_io_methods g_metodiContati = {
    3,
    [](sqlite3_file* f) { return reale(f)->pMethods->xClose(reale(f)); },
    [](sqlite3_file* f, void* dati, int quanti, sqlite3_int64 da) {
        const int esito = reale(f)->pMethods->xRead(reale(f), dati, quanti, da);
        if (t_letture)
            t_letture->letto(quanti);
        return esito;
    },
    [](sqlite3_file* f, const void* dati, int quanti, sqlite3_int64 da) {
        return reale(f)->pMethods->xWrite(reale(f), dati, quanti, da);
    },
    [](sqlite3_file* f, sqlite3_int64 dimensione) {
        return reale(f)->pMethods->xTruncate(reale(f), dimensione);
    },
    [](sqlite3_file* f, int modo) { return reale(f)->pMethods->xSync(reale(f), modo); },
    [](sqlite3_file* f, sqlite3_int64* dimensione) {
        return reale(f)->pMethods->xFileSize(reale(f), dimensione);
    },
    [](sqlite3_file* f, int livello) { return reale(f)->pMethods->xLock(reale(f), livello); },
    [](sqlite3_file* f, int livello) { return reale(f)->pMethods->xUnlock(reale(f), livello); },
    [](sqlite3_file* f, int* esito) { return reale(f)->pMethods->xCheckReservedLock(reale(f), esito); },
    [](sqlite3_file* f, int operazione, void* argomento) {
        return reale(f)->pMethods->xFileControl(reale(f), operazione, argomento);
    },
    [](sqlite3_file* f) { return reale(f)->pMethods->xSectorSize(reale(f)); },
    [](sqlite3_file* f) { return reale(f)->pMethods->xDeviceCharacteristics(reale(f)); },
    [](sqlite3_file* f, int regione, int dimensione, int estendi, void volatile** memoria) {
        const sqlite3_io_methods* m = reale(f)->pMethods;
        return m->iVersion >= 2 && m->xShmMap ? m->xShmMap(reale(f), regione, dimensione, estendi, memoria)
                                              : SQLITE_IOERR_SHMMAP;
    },
    [](sqlite3_file* f, int da, int quanti, int modo) {
        const sqlite3_io_methods* m = reale(f)->pMethods;
        return m->iVersion >= 2 && m->xShmLock ? m->xShmLock(reale(f), da, quanti, modo)
                                               : SQLITE_IOERR_SHMLOCK;
    },
    [](sqlite3_file* f) {
        const sqlite3_io_methods* m = reale(f)->pMethods;
        if (m->iVersion >= 2 && m->xShmBarrier)
            m->xShmBarrier(reale(f));
    },
    [](sqlite3_file* f, int elimina) {
        const sqlite3_io_methods* m = reale(f)->pMethods;
        return m->iVersion >= 2 && m->xShmUnmap ? m->xShmUnmap(reale(f), elimina) : SQLITE_OK;
    },
    // No memory-mapped reads: every page goes through xRead and is counted.
    [](sqlite3_file*, sqlite3_int64, int, void** pagina) {
        *pagina = nullptr;
        return SQLITE_OK;
    },
    [](sqlite3_file*, sqlite3_int64, void*) { return SQLITE_OK; },
};

sqlite3_vfs* vfsContato()
{
    static sqlite3_vfs vfs = [] {
        g_vfsReale = sqlite3_vfs_find(nullptr);
        sqlite3_vfs v {};
        v.iVersion = 2;
        v.szOsFile = int(sizeof(FileContato)) + g_vfsReale->szOsFile;
        v.mxPathname = g_vfsReale->mxPathname;
        v.zName = NomeVfsContato;
        v.xOpen = [](sqlite3_vfs*, sqlite3_filename nome, sqlite3_file* f, int modo, int* modoOttenuto) {
            auto* contato = reinterpret_cast<FileContato*>(f);
            contato->reale = reinterpret_cast<sqlite3_file*>(contato + 1);
            contato->reale->pMethods = nullptr;
            const int esito = g_vfsReale->xOpen(g_vfsReale, nome, contato->reale, modo, modoOttenuto);
            contato->base.pMethods = contato->reale->pMethods ? &g_metodiContati : nullptr;
            return esito;
        };
        v.xDelete = [](sqlite3_vfs*, const char* nome, int sincronizza) {
            return g_vfsReale->xDelete(g_vfsReale, nome, sincronizza);
        };
        v.xAccess = [](sqlite3_vfs*, const char* nome, int modo, int* esito) {
            return g_vfsReale->xAccess(g_vfsReale, nome, modo, esito);
        };
        v.xFullPathname = [](sqlite3_vfs*, const char* nome, int quanti, char* completo) {
            return g_vfsReale->xFullPathname(g_vfsReale, nome, quanti, completo);
        };
        v.xDlOpen = [](sqlite3_vfs*, const char* nome) { return g_vfsReale->xDlOpen(g_vfsReale, nome); };
        v.xDlError
            = [](sqlite3_vfs*, int quanti, char* testo) { g_vfsReale->xDlError(g_vfsReale, quanti, testo); };
        v.xDlSym = [](sqlite3_vfs*, void* libreria, const char* simbolo) {
            return g_vfsReale->xDlSym(g_vfsReale, libreria, simbolo);
        };
        v.xDlClose = [](sqlite3_vfs*, void* libreria) { g_vfsReale->xDlClose(g_vfsReale, libreria); };
        v.xRandomness = [](sqlite3_vfs*, int quanti, char* dati) {
            return g_vfsReale->xRandomness(g_vfsReale, quanti, dati);
        };
        v.xSleep = [](sqlite3_vfs*, int micro) { return g_vfsReale->xSleep(g_vfsReale, micro); };
        v.xCurrentTime = [](sqlite3_vfs*, double* ora) { return g_vfsReale->xCurrentTime(g_vfsReale, ora); };
        v.xGetLastError = [](sqlite3_vfs*, int quanti, char* testo) {
            return g_vfsReale->xGetLastError(g_vfsReale, quanti, testo);
        };
        v.xCurrentTimeInt64
            = [](sqlite3_vfs*, sqlite3_int64* ora) { return g_vfsReale->xCurrentTimeInt64(g_vfsReale, ora); };
        return v;
    }();
    static const bool registrato = sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    return registrato ? &vfs : nullptr;
}

// A connection of the engine's own for the checks: usable on any thread, closed on leaving.
class ConnessioneDiretta
{
public:
    ConnessioneDiretta(const QString& percorso, int modo, const char* vfs = nullptr)
    {
        const QByteArray nome = QFileInfo(percorso).absoluteFilePath().toUtf8();
        m_esito = sqlite3_open_v2(nome.constData(), &m_db, modo, vfs);
        if (m_db) {
            sqlite3_extended_result_codes(m_db, 1);
            sqlite3_busy_timeout(m_db, AttesaMotoreMs);
        }
        if (m_esito != SQLITE_OK && m_db)
            m_esito = sqlite3_extended_errcode(m_db);
    }
    ~ConnessioneDiretta() { sqlite3_close_v2(m_db); }
    ConnessioneDiretta(const ConnessioneDiretta&) = delete;
    ConnessioneDiretta& operator=(const ConnessioneDiretta&) = delete;

    sqlite3* db() const { return m_db; }
    int esito() const { return m_esito; }
    QString testo() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString(); }

    // Runs `sql` and hands each row to `riga`; the engine's result code.
    int scorri(const QByteArray& sql, const std::function<void(sqlite3_stmt*)>& riga = {})
    {
        sqlite3_stmt* istruzione = nullptr;
        int rc = sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &istruzione, nullptr);
        if (rc != SQLITE_OK)
            return sqlite3_extended_errcode(m_db);
        while ((rc = sqlite3_step(istruzione)) == SQLITE_ROW)
            if (riga)
                riga(istruzione);
        const int codice = rc == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(m_db);
        sqlite3_finalize(istruzione);
        return codice;
    }

private:
    sqlite3* m_db = nullptr;
    int m_esito = SQLITE_OK;
};

QByteArray quotaNome(const QByteArray& nome)
{
    QByteArray q = nome;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

} // namespace

Archivio::Archivio(const QString& percorso, Apertura modo)
    : m_percorso(percorso)
    , m_motore(MotoreDi(percorso))
{
    if (percorso.trimmed().isEmpty())
        throw ErroreArchivio(
            CodiciErrore::PercorsoNonValido, QStringLiteral("Il percorso dell'archivio non è indicato."));
    if (m_motore == Motore::PostgreSQL) {
        apriServer();
        return;
    }
    const QFileInfo info(percorso);
    if (!cartellaEsiste(percorso) || info.isDir())
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido,
            QStringLiteral("Il percorso «%1» non è valido.").arg(QDir::toNativeSeparators(percorso)));
    // An empty file is what an interrupted creation leaves: there is nothing in it to lose.
    const bool vuoto = info.exists() && info.size() == 0 && modo == Apertura::CreaSeManca;
    if (info.exists() && NotoDanneggiato(percorso))
        throw ErroreArchivio(CodiciErrore::NonUnArchivio, TestoDanneggiato(percorso));
    if (info.exists() && !vuoto)
        Verifica(percorso);
    else if (modo == Apertura::Esistente)
        throw ErroreArchivio(CodiciErrore::FileNonTrovato,
            QStringLiteral("Impossibile trovare il file «%1».").arg(QDir::toNativeSeparators(percorso)));

    m_nomeConnessione = QStringLiteral("archivio-%1").arg(g_contatoreConnessioni.fetchAndAddRelaxed(1));
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nomeConnessione);
    m_db.setDatabaseName(info.absoluteFilePath());
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(AttesaMotoreMs));
    if (!m_db.open()) {
        const ErroreArchivio e = errore(m_db.lastError(), percorso);
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nomeConnessione);
        throw e;
    }
    if (modo == Apertura::CreaSeManca && (vuoto || !info.exists())) {
        // Writes the header at once, so the file is an archive from here on.
        QSqlQuery q(m_db);
        if (!q.exec(QStringLiteral("PRAGMA application_id = %1").arg(IdentificativoArchivio))) {
            const ErroreArchivio e = errore(q.lastError(), percorso);
            q = QSqlQuery();
            m_db.close();
            m_db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_nomeConnessione);
            m_nomeConnessione.clear();
            throw e;
        }
    }
}

void Archivio::apriServer()
{
    QString motivo;
    const std::optional<IndirizzoServer> indirizzo = IndirizzoServer::Leggi(m_percorso, &motivo);
    if (!indirizzo)
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido, motivo);
    m_nomeConnessione = QStringLiteral("archivio-%1").arg(g_contatoreConnessioni.fetchAndAddRelaxed(1));
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_nomeConnessione);
    const auto chiudi = [this] {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nomeConnessione);
        m_nomeConnessione.clear();
    };
    if (!m_db.isValid()) {
        chiudi();
        throw ErroreArchivio(CodiciErrore::Generico,
            QStringLiteral(
                "Il supporto per gli archivi su server PostgreSQL non è installato (driver QPSQL)."));
    }
    m_db.setHostName(indirizzo->host);
    m_db.setPort(indirizzo->porta);
    m_db.setDatabaseName(indirizzo->database);
    if (!indirizzo->utente.isEmpty())
        m_db.setUserName(indirizzo->utente);
    // The password the user typed in this run; else the server's own ways (~/.pgpass, PGPASSWORD).
    if (const QString password = IndirizzoServer::Password(m_percorso); !password.isEmpty())
        m_db.setPassword(password);
    // A lock held by another copy fails fast, as the file's busy wait does, so the error routine
    // can show the wait window and try again; notices of what exists already are no news. The
    // archive's reads go through its indexes (a month is a few pages of a big table): the
    // planner is told that pages read out of order cost little more than in order, as on any
    // disk of today, or it scans a whole table for a month's rows. Given with the connection,
    // these cost no round trip of their own.
    m_db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=cartavia;"
                                          "options='-c lock_timeout=%1 -c client_min_messages=warning "
                                          "-c random_page_cost=1.1'")
                               .arg(AttesaMotoreMs));
    if (!m_db.open()) {
        const QSqlError e = m_db.lastError();
        chiudi();
        if (e.nativeErrorCode().size() == 5)
            throw TraduciServer(e.nativeErrorCode(), testoMotore(e), indirizzo->Descrizione())
                .suArchivio(m_percorso);
        throw ErroreArchivio(CodiciErrore::FileNonTrovato,
            QStringLiteral("Impossibile collegarsi all'archivio %1. (%2)")
                .arg(indirizzo->Descrizione(), testoMotore(e).trimmed()))
            .suArchivio(m_percorso);
    }
    if (g_contaViaggi) {
        ++g_connessioniContate;
        if (pg_conn* c = connessioneServer(); c && (m_traccia = std::tmpfile())) {
            PQtrace(c, m_traccia);
            PQsetTraceFlags(c, PQTRACE_SUPPRESS_TIMESTAMPS);
        }
    }
}

QString Archivio::quota(const QString& nome) const
{
    QString q = m_motore == Motore::PostgreSQL ? nome.toLower() : nome;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

bool Archivio::tenta(const QString& sql)
{
    // On the server a failed statement spoils the transaction around it: a savepoint keeps it.
    const bool puntoDiRipresa = m_motore == Motore::PostgreSQL && m_inTransazione;
    if (puntoDiRipresa)
        esegui(QStringLiteral("SAVEPOINT tentativo"));
    try {
        esegui(sql);
    } catch (const ErroreArchivio& e) {
        if (e.numero() == CodiciErrore::Bloccato)
            throw;
        if (puntoDiRipresa)
            esegui(QStringLiteral("ROLLBACK TO SAVEPOINT tentativo"));
        return false;
    }
    if (puntoDiRipresa)
        esegui(QStringLiteral("RELEASE SAVEPOINT tentativo"));
    return true;
}

void Archivio::chiaviDopoCopia(const Schema::Tabella& tabella)
{
    // The file's engine keeps its counter past every key written; the server's identity does not.
    if (m_motore != Motore::PostgreSQL || tabella.campi.isEmpty()
        || tabella.campi.first().tipo != Schema::Tipo::LongAuto)
        return;
    const QString t = quota(tabella.nome);
    const QString k = quota(tabella.campi.first().nome);
    esegui(QStringLiteral(
        "SELECT setval(pg_get_serial_sequence('%1', '%2'), coalesce(max(%3), 0) + 1, false) FROM %4")
               .arg(tabella.nome.toLower(), tabella.campi.first().nome.toLower(), k, t));
}

Archivio::~Archivio()
{
    if (m_nomeConnessione.isEmpty())
        return;
    if (m_inTransazione)
        QSqlQuery(QStringLiteral("ROLLBACK"), m_db);
    if (m_traccia) {
        if (pg_conn* c = connessioneServer())
            PQuntrace(c);
        // Every answer of the server ends with the message that it is ready for the next request.
        std::rewind(m_traccia);
        char linea[256];
        qint64 n = 0;
        bool inizioLinea = true;
        while (std::fgets(linea, sizeof linea, m_traccia)) {
            if (inizioLinea && std::strncmp(linea, "B\t", 2) == 0 && std::strstr(linea, "\tReadyForQuery"))
                ++n;
            inizioLinea = std::strchr(linea, '\n') != nullptr;
        }
        std::fclose(m_traccia);
        g_andateRitornoContate += n;
    }
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_nomeConnessione);
}

QString Archivio::perMotore(const QString& sql) const
{
    if (m_motore == Motore::SQLite)
        return sql;
    // CROSS JOIN tells the file's engine which table to loop over first; the server orders joins
    // itself and reads CROSS JOIN as a join without a condition.
    QString r = sql;
    r.replace(QLatin1String(" CROSS JOIN "), QLatin1String(" JOIN "));
    return r;
}

QSqlQuery Archivio::esegui(const QString& testo, const QVariantList& valori)
{
    const QString sql = perMotore(testo);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    // The server prepares queries and data changes only: the rest (transactions, schema) goes as
    // it is, and has no values to bind.
    if (m_motore == Motore::PostgreSQL && valori.isEmpty()) {
        if (!q.exec(sql))
            throw errore(q.lastError(), sql);
        return q;
    }
    if (!q.prepare(sql))
        throw errore(q.lastError(), sql);
    eseguiPreparata(q, valori);
    return q;
}

QSqlQuery Archivio::prepara(const QString& sql)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(perMotore(sql)))
        throw errore(q.lastError(), sql);
    return q;
}

void Archivio::eseguiPreparata(QSqlQuery& query, const QVariantList& valori)
{
    for (int i = 0; i < valori.size(); ++i)
        query.bindValue(i, valori.at(i));
    if (!query.exec())
        throw errore(query.lastError(), query.lastQuery());
}

QVariant Archivio::valore(const QString& sql, const QVariantList& valori)
{
    QSqlQuery q = esegui(sql, valori);
    if (q.next())
        return q.value(0);
    if (q.lastError().isValid())
        throw errore(q.lastError(), sql);
    return {};
}

void Archivio::inizia()
{
    if (m_inTransazione)
        return;
    esegui(m_motore == Motore::PostgreSQL ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
    m_inTransazione = true;
}

void Archivio::conferma()
{
    if (!m_inTransazione)
        return;
    if (m_erroreDifferito) {
        const ErroreArchivio e = *m_erroreDifferito;
        m_erroreDifferito.reset();
        annulla();
        throw e;
    }
    // A server takes the commit of a transaction a failed statement spoiled as its rollback, and
    // says nothing: the changes would be lost as if saved.
    if (pg_conn* c = m_motore == Motore::PostgreSQL ? connessioneServer() : nullptr;
        c && PQtransactionStatus(c) == PQTRANS_INERROR) {
        annulla();
        throw ErroreArchivio(CodiciErrore::Generico,
            QStringLiteral("Le modifiche non sono state salvate: un'istruzione non è riuscita sul server."))
            .suArchivio(m_percorso);
    }
    esegui(QStringLiteral("COMMIT"));
    m_inTransazione = false;
}

void Archivio::annulla()
{
    m_erroreDifferito.reset();
    if (!m_inTransazione)
        return;
    m_inTransazione = false;
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("ROLLBACK"));
}

bool Archivio::esisteTabella(const QString& tabella)
{
    if (m_motore == Motore::PostgreSQL)
        return valore(QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE table_schema = "
                                     "current_schema() AND lower(table_name) = lower(?)"),
                   { tabella })
                   .toInt()
            > 0;
    return valore(QStringLiteral(
                      "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
               { tabella })
               .toInt()
        > 0;
}

namespace {
// A server folds unquoted names to lower case: the program's own spelling where it knows the name.
QString nomeDelloSchema(const QString& nome, const QStringList& noti)
{
    for (const QString& n : noti)
        if (n.compare(nome, Qt::CaseInsensitive) == 0)
            return n;
    return nome;
}
} // namespace

QStringList Archivio::campi(const QString& tabella)
{
    QStringList nomi;
    if (m_motore == Motore::PostgreSQL) {
        QStringList noti;
        if (const Schema::Tabella* t = Schema::TrovaTabella(tabella))
            for (const Schema::Campo& c : t->campi)
                noti << c.nome;
        QSqlQuery q = esegui(
            QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema = "
                           "current_schema() AND lower(table_name) = lower(?) ORDER BY ordinal_position"),
            { tabella });
        while (q.next())
            nomi << nomeDelloSchema(q.value(0).toString(), noti);
        return nomi;
    }
    QSqlQuery q = esegui(QStringLiteral("SELECT name FROM pragma_table_info(?)"), { tabella });
    while (q.next())
        nomi << q.value(0).toString();
    return nomi;
}

QStringList Archivio::indici(const QString& tabella)
{
    QStringList nomi;
    if (m_motore == Motore::PostgreSQL) {
        QStringList noti;
        if (const Schema::Tabella* t = Schema::TrovaTabella(tabella))
            for (const Schema::Indice& i : t->indici)
                noti << Schema::NomeIndiceArchivio(t->nome, i.nome);
        // The key's own index (<table>_pkey) is the engine's, as SQLite's rowid is.
        QSqlQuery q = esegui(
            QStringLiteral("SELECT indexname FROM pg_indexes WHERE schemaname = current_schema() "
                           "AND lower(tablename) = lower(?) AND indexname NOT LIKE '%\\_pkey' ESCAPE '\\' "
                           "ORDER BY indexname"),
            { tabella });
        while (q.next())
            nomi << nomeDelloSchema(q.value(0).toString(), noti);
        nomi.sort();
        return nomi;
    }
    QSqlQuery q = esegui(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ? COLLATE NOCASE "
                       "AND name NOT LIKE 'sqlite_autoindex%' ORDER BY name"),
        { tabella });
    while (q.next())
        nomi << q.value(0).toString();
    return nomi;
}

qint64 RigaRapida::intero(int colonna) const
{
    if (m_risultato) {
        // A real where an integer is asked for is cut to its whole part, as the file's engine does.
        const char* t = PQgetvalue(m_risultato, 0, colonna);
        if (PQftype(m_risultato, colonna) == 16) // bool: a condition's value, 1 or 0 as in the file
            return *t == 't';
        const char* fine = t + PQgetlength(m_risultato, 0, colonna);
        qint64 v = 0;
        if (const auto [resto, esito] = std::from_chars(t, fine, v); esito == std::errc() && resto == fine)
            return v;
        return qint64(reale(colonna));
    }
    if (m_query)
        return m_query->value(colonna).toLongLong();
    return sqlite3_column_int64(m_istruzione, colonna);
}

double RigaRapida::reale(int colonna) const
{
    if (m_risultato) {
        // The server writes reals exactly (shortest form that reads back the same), in the C locale.
        const char* t = PQgetvalue(m_risultato, 0, colonna);
        double v = 0;
        std::from_chars(t, t + PQgetlength(m_risultato, 0, colonna), v);
        return v;
    }
    if (m_query)
        return m_query->value(colonna).toDouble();
    return sqlite3_column_double(m_istruzione, colonna);
}

QString RigaRapida::testo(int colonna) const
{
    if (m_risultato)
        return PQgetisnull(m_risultato, 0, colonna)
            ? QString()
            : QString::fromUtf8(PQgetvalue(m_risultato, 0, colonna), PQgetlength(m_risultato, 0, colonna));
    if (m_query)
        return m_query->value(colonna).toString();
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_istruzione, colonna));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(m_istruzione, colonna)) : QString();
}

QByteArrayView RigaRapida::grezzo(int colonna) const
{
    if (m_risultato)
        return QByteArrayView(PQgetvalue(m_risultato, 0, colonna), PQgetlength(m_risultato, 0, colonna));
    if (m_query) {
        if (m_grezzi.size() <= colonna)
            m_grezzi.resize(colonna + 1);
        m_grezzi[colonna] = m_query->value(colonna).toString().toUtf8();
        return m_grezzi.at(colonna);
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_istruzione, colonna));
    return t ? QByteArrayView(t, sqlite3_column_bytes(m_istruzione, colonna)) : QByteArrayView();
}

bool RigaRapida::nullo(int colonna) const
{
    if (m_risultato)
        return PQgetisnull(m_risultato, 0, colonna);
    if (m_query)
        return m_query->isNull(colonna);
    return sqlite3_column_type(m_istruzione, colonna) == SQLITE_NULL;
}

sqlite3* Archivio::connessioneSqlite()
{
    const QVariant maniglia = m_db.driver()->handle();
    if (maniglia.isValid() && qstrcmp(maniglia.typeName(), "sqlite3*") == 0)
        if (auto* m = *static_cast<sqlite3* const*>(maniglia.constData()))
            return m;
    throw ErroreArchivio(
        CodiciErrore::Generico, QStringLiteral("Accesso diretto all'archivio non disponibile."))
        .suArchivio(m_percorso);
}

namespace {

// The program's `?` placeholders as the server's $1, $2...: outside quoted texts and names.
QByteArray segnapostiNumerati(const QString& sql)
{
    QByteArray r;
    r.reserve(sql.size() + 16);
    const QByteArray t = sql.toUtf8();
    char virgolette = 0;
    int n = 0;
    for (const char c : t) {
        if (virgolette) {
            if (c == virgolette)
                virgolette = 0;
        } else if (c == '\'' || c == '"') {
            virgolette = c;
        } else if (c == '?') {
            r += '$' + QByteArray::number(++n);
            continue;
        }
        r += c;
    }
    return r;
}

struct LiberaRisultato
{
    void operator()(PGresult* r) const { PQclear(r); }
};
using Risultato = std::unique_ptr<PGresult, LiberaRisultato>;

// The numbered error for a failed statement's result, or for the connection when there is none.
ErroreArchivio erroreServer(const PGresult* r, pg_conn* c, const QString& sql)
{
    const char* stato = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const QString messaggio = QString::fromUtf8(r ? PQresultErrorMessage(r) : PQerrorMessage(c));
    // No state: the connection itself failed.
    return Archivio::TraduciServer(
        stato && *stato ? QString::fromLatin1(stato) : QStringLiteral("08006"), messaggio, sql);
}

} // namespace

pg_conn* Archivio::connessioneServer()
{
    const QVariant maniglia = m_db.driver()->handle();
    // Qt SQL names the type by the library's struct, or by its typedef in other releases.
    if (!maniglia.isValid()
        || (qstrcmp(maniglia.typeName(), "pg_conn*") != 0 && qstrcmp(maniglia.typeName(), "PGconn*") != 0))
        return nullptr;
    auto* c = *static_cast<pg_conn* const*>(maniglia.constData());
    // A statement of Qt SQL's still sending its rows holds the connection.
    return c && PQtransactionStatus(c) != PQTRANS_ACTIVE ? c : nullptr;
}

void Archivio::ContaViaggi(bool attiva)
{
    if (attiva) {
        g_connessioniContate = 0;
        g_andateRitornoContate = 0;
    }
    g_contaViaggi = attiva;
}

Archivio::Viaggi Archivio::ViaggiContati()
{
    return { g_connessioniContate, g_andateRitornoContate };
}

ScritturaRapida::ScritturaRapida(Archivio& db, const QString& sql)
    : m_db(db)
    , m_sql(sql)
    , m_motore(db.motore() == Motore::SQLite ? db.connessioneSqlite() : nullptr)
{
    if (!m_motore) {
        m_segnaposti = int(sql.count(QLatin1Char('?')));
        m_server = db.connessioneServer();
        if (!m_server) {
            m_query.emplace(db.prepara(sql));
            svuotaValori();
            return;
        }
        static QAtomicInteger<quint64> contatore;
        m_nome = "cartavia_scrittura_" + QByteArray::number(contatore.fetchAndAddRelaxed(1));
        const Risultato r { PQprepare(
            m_server, m_nome.constData(), segnapostiNumerati(db.perMotore(sql)).constData(), 0, nullptr) };
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
            throw erroreServer(r.get(), m_server, sql).suArchivio(db.percorso());
        m_valori.resize(m_segnaposti);
        m_formati.resize(m_segnaposti);
        if (!PQenterPipelineMode(m_server)) {
            PQclear(PQexec(m_server, "DEALLOCATE " + m_nome));
            throw erroreServer(nullptr, m_server, sql).suArchivio(db.percorso());
        }
        return;
    }
    const QByteArray testoSql = sql.toUtf8();
    controlla(
        sqlite3_prepare_v2(m_motore, testoSql.constData(), int(testoSql.size()), &m_istruzione, nullptr));
}

void ScritturaRapida::svuotaValori()
{
    if (m_server) {
        for (int i = 0; i < m_segnaposti; ++i) {
            m_valori[i] = QByteArray();
            m_formati[i] = 0;
        }
        return;
    }
    // Through Qt SQL every value of a row is bound, the nulls too.
    for (int i = 0; i < m_segnaposti; ++i)
        m_query->bindValue(i, QVariant(QMetaType(QMetaType::QString)));
}

ScritturaRapida::~ScritturaRapida()
{
    sqlite3_finalize(m_istruzione);
    if (!m_server)
        return;
    try {
        completa();
    } catch (const ErroreArchivio& e) {
        if (!m_db.m_erroreDifferito)
            m_db.m_erroreDifferito = e;
    }
    PQclear(PQexec(m_server, "DEALLOCATE " + m_nome));
}

void ScritturaRapida::completa()
{
    if (!m_server || !PQpipelineStatus(m_server))
        return;
    struct Esci
    {
        pg_conn* c;
        ~Esci() { PQexitPipelineMode(c); }
    } esci { m_server };
    raccogli();
}

void ScritturaRapida::raccogli()
{
    // The answers of the rows sent, up to the sync that closes them; the first failure counts (the
    // rows after it were not run).
    if (!PQpipelineSync(m_server))
        throw erroreServer(nullptr, m_server, m_sql).suArchivio(m_db.percorso());
    std::optional<ErroreArchivio> errore;
    for (;;) {
        Risultato r { PQgetResult(m_server) };
        if (!r) {
            if (PQstatus(m_server) != CONNECTION_OK) {
                if (!errore)
                    errore = erroreServer(nullptr, m_server, m_sql).suArchivio(m_db.percorso());
                break;
            }
            continue; // the end of one row's answer
        }
        const ExecStatusType stato = PQresultStatus(r.get());
        if (stato == PGRES_PIPELINE_SYNC)
            break;
        if (stato != PGRES_COMMAND_OK && stato != PGRES_TUPLES_OK && stato != PGRES_PIPELINE_ABORTED
            && !errore)
            errore = erroreServer(r.get(), m_server, m_sql).suArchivio(m_db.percorso());
    }
    m_inViaggio = 0;
    if (errore)
        throw *errore;
}

void ScritturaRapida::controlla(int esito)
{
    if (esito != SQLITE_OK && esito != SQLITE_DONE)
        throw m_db.errore(
            sqlite3_extended_errcode(m_motore), QString::fromUtf8(sqlite3_errmsg(m_motore)), m_sql);
}

void ScritturaRapida::intero(int colonna, qint64 valore)
{
    if (m_server) {
        m_valori[colonna] = QByteArray::number(valore);
        return;
    }
    if (m_query)
        return m_query->bindValue(colonna, valore);
    controlla(sqlite3_bind_int64(m_istruzione, colonna + 1, valore));
}

void ScritturaRapida::reale(int colonna, double valore)
{
    if (m_server) {
        m_valori[colonna] = QByteArray::number(valore, 'g', 17);
        return;
    }
    if (m_query)
        return m_query->bindValue(colonna, valore);
    controlla(sqlite3_bind_double(m_istruzione, colonna + 1, valore));
}

void ScritturaRapida::testo(int colonna, const QString& valore)
{
    if (m_server) {
        // Never null: an empty text is a value.
        m_valori[colonna] = valore.toUtf8();
        if (m_valori[colonna].isNull())
            m_valori[colonna] = QByteArray("", 0);
        return;
    }
    if (m_query)
        return m_query->bindValue(colonna, valore);
    const QByteArray t = valore.toUtf8();
    controlla(sqlite3_bind_text(m_istruzione, colonna + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT));
}

void ScritturaRapida::binario(int colonna, QByteArrayView valore)
{
    if (m_server) {
        // The bytes as they are: the server reads a binary value without escapes.
        m_valori[colonna] = valore.toByteArray();
        if (m_valori[colonna].isNull())
            m_valori[colonna] = QByteArray("", 0);
        m_formati[colonna] = 1;
        return;
    }
    if (m_query)
        return m_query->bindValue(colonna, valore.toByteArray());
    controlla(sqlite3_bind_blob64(
        m_istruzione, colonna + 1, valore.data(), sqlite3_uint64(valore.size()), SQLITE_TRANSIENT));
}

void ScritturaRapida::esegui()
{
    if (m_server) {
        if (!PQpipelineStatus(m_server) && !PQenterPipelineMode(m_server))
            throw erroreServer(nullptr, m_server, m_sql).suArchivio(m_db.percorso());
        QList<const char*> valori(m_segnaposti);
        QList<int> lunghezze(m_segnaposti);
        for (int i = 0; i < m_segnaposti; ++i) {
            valori[i] = m_valori.at(i).isNull() ? nullptr : m_valori.at(i).constData();
            lunghezze[i] = int(m_valori.at(i).size());
        }
        const bool inviata = PQsendQueryPrepared(m_server, m_nome.constData(), m_segnaposti,
            valori.constData(), lunghezze.constData(), m_formati.constData(), 0);
        svuotaValori();
        if (!inviata)
            throw erroreServer(nullptr, m_server, m_sql).suArchivio(m_db.percorso());
        // Enough rows on their way to fill the connection, never the memory.
        if (++m_inViaggio >= 256)
            raccogli();
        return;
    }
    if (m_query) {
        const bool ok = m_query->exec();
        const QSqlError e = m_query->lastError();
        svuotaValori();
        if (!ok)
            throw m_db.errore(e, m_sql);
        return;
    }
    const int esito = sqlite3_step(m_istruzione);
    sqlite3_reset(m_istruzione);
    sqlite3_clear_bindings(m_istruzione);
    if (esito != SQLITE_DONE)
        controlla(esito == SQLITE_ROW ? SQLITE_MISUSE : esito);
}

QByteArray RigaRapida::binario(int colonna) const
{
    if (m_risultato) {
        if (PQgetisnull(m_risultato, 0, colonna))
            return {};
        size_t n = 0;
        unsigned char* b = PQunescapeBytea(
            reinterpret_cast<const unsigned char*>(PQgetvalue(m_risultato, 0, colonna)), &n);
        if (!b)
            throw std::bad_alloc();
        QByteArray r(reinterpret_cast<const char*>(b), qsizetype(n));
        PQfreemem(b);
        return r;
    }
    if (m_query)
        return m_query->value(colonna).toByteArray();
    const auto* b = static_cast<const char*>(sqlite3_column_blob(m_istruzione, colonna));
    return b ? QByteArray(b, sqlite3_column_bytes(m_istruzione, colonna)) : QByteArray();
}

RigaRapida::Genere RigaRapida::genere(int colonna) const
{
    if (m_risultato) {
        if (PQgetisnull(m_risultato, 0, colonna))
            return Genere::Nullo;
        // The server's type numbers (pg_type), fixed since its first releases.
        switch (PQftype(m_risultato, colonna)) {
        case 16: // bool
        case 20: // int8
        case 21: // int2
        case 23: // int4
            return Genere::Intero;
        case 700: // float4
        case 701: // float8
        case 1700: // numeric
            return Genere::Reale;
        case 17: // bytea
            return Genere::Binario;
        default:
            return Genere::Testo;
        }
    }
    if (m_query) {
        const QVariant v = m_query->value(colonna);
        if (v.isNull())
            return Genere::Nullo;
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Bool:
            return Genere::Intero;
        case QMetaType::Double:
            return Genere::Reale;
        case QMetaType::QByteArray:
            return Genere::Binario;
        default:
            return Genere::Testo;
        }
    }
    switch (sqlite3_column_type(m_istruzione, colonna)) {
    case SQLITE_NULL:
        return Genere::Nullo;
    case SQLITE_INTEGER:
        return Genere::Intero;
    case SQLITE_FLOAT:
        return Genere::Reale;
    case SQLITE_BLOB:
        return Genere::Binario;
    default:
        return Genere::Testo;
    }
}

void Archivio::scorri(
    const QString& sql, const QVariantList& valori, const std::function<void(const RigaRapida&)>& riga)
{
    if (m_motore == Motore::PostgreSQL) {
        if (scorriServer(sql, valori, riga))
            return;
        QSqlQuery q = esegui(sql, valori);
        const RigaRapida r(&q);
        while (q.next())
            riga(r);
        if (q.lastError().isValid())
            throw errore(q.lastError(), sql);
        return;
    }
    sqlite3* motore = connessioneSqlite();
    sqlite3_stmt* istruzione = nullptr;
    const QByteArray testoSql = sql.toUtf8();
    if (sqlite3_prepare_v2(motore, testoSql.constData(), int(testoSql.size()), &istruzione, nullptr)
        != SQLITE_OK)
        throw errore(sqlite3_extended_errcode(motore), QString::fromUtf8(sqlite3_errmsg(motore)), sql);
    struct Chiudi
    {
        sqlite3_stmt* s;
        ~Chiudi() { sqlite3_finalize(s); }
    } chiudi { istruzione };
    for (int i = 0; i < valori.size(); ++i) {
        const QVariant& v = valori.at(i);
        int esito = SQLITE_OK;
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            esito = sqlite3_bind_int64(istruzione, i + 1, v.toLongLong());
            break;
        case QMetaType::Double:
            esito = sqlite3_bind_double(istruzione, i + 1, v.toDouble());
            break;
        default:
            if (v.isNull()) {
                esito = sqlite3_bind_null(istruzione, i + 1);
            } else {
                const QByteArray t = v.toString().toUtf8();
                esito = sqlite3_bind_text(istruzione, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            }
        }
        if (esito != SQLITE_OK)
            throw errore(esito, QString::fromUtf8(sqlite3_errmsg(motore)), sql);
    }
    const RigaRapida r(istruzione);
    for (;;) {
        const int esito = sqlite3_step(istruzione);
        if (esito == SQLITE_ROW) {
            riga(r);
            continue;
        }
        if (esito == SQLITE_DONE)
            return;
        throw errore(sqlite3_extended_errcode(motore), QString::fromUtf8(sqlite3_errmsg(motore)), sql);
    }
}

bool Archivio::scorriServer(
    const QString& testo, const QVariantList& valori, const std::function<void(const RigaRapida&)>& riga)
{
    pg_conn* c = connessioneServer();
    if (!c)
        return false;
    const QString sql = perMotore(testo);
    // Values go as text, as the file's engine receives them: integers and reals typed so the
    // server compares them as numbers, texts left for the server to type from where they stand.
    QList<QByteArray> testi(valori.size());
    QList<const char*> puntatori(valori.size(), nullptr);
    QList<Oid> tipi(valori.size(), 0);
    for (qsizetype i = 0; i < valori.size(); ++i) {
        const QVariant& v = valori.at(i);
        if (v.isNull())
            continue;
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            testi[i] = QByteArray::number(v.toLongLong());
            tipi[i] = 20; // int8
            break;
        case QMetaType::Double:
            testi[i] = QByteArray::number(v.toDouble(), 'g', 17);
            tipi[i] = 701; // float8
            break;
        default:
            testi[i] = v.toString().toUtf8();
        }
        puntatori[i] = testi.at(i).constData();
    }
    const QByteArray istruzione = segnapostiNumerati(sql);
    if (!PQsendQueryParams(c, istruzione.constData(), int(valori.size()), tipi.constData(),
            puntatori.constData(), nullptr, nullptr, 0))
        throw erroreServer(nullptr, c, sql).suArchivio(m_percorso);
    // Row by row, so a month or a whole table never sits in memory twice.
    PQsetSingleRowMode(c);
    std::optional<ErroreArchivio> errore;
    try {
        while (Risultato r { PQgetResult(c) }) {
            switch (PQresultStatus(r.get())) {
            case PGRES_SINGLE_TUPLE:
                if (!errore)
                    riga(RigaRapida(r.get()));
                break;
            case PGRES_TUPLES_OK:
            case PGRES_COMMAND_OK:
                break;
            default:
                if (!errore)
                    errore = erroreServer(r.get(), c, sql).suArchivio(m_percorso);
            }
        }
    } catch (...) {
        // The rest of the answer is read and dropped: the connection must be ready for the next
        // statement, the rollback first of all.
        while (Risultato r { PQgetResult(c) }) { }
        throw;
    }
    if (errore)
        throw *errore;
    return true;
}

bool Archivio::Esiste(const QString& percorso)
{
    if (!IndirizzoServer::E(percorso))
        return QFileInfo::exists(percorso);
    try {
        Archivio db(percorso);
        return db.esisteTabella(QStringLiteral("TabellaVersione"));
    } catch (const ErroreArchivio&) {
        return false;
    }
}

void Archivio::Verifica(const QString& percorso)
{
    QFile f(percorso);
    if (!f.exists())
        throw ErroreArchivio(CodiciErrore::FileNonTrovato,
            QStringLiteral("Impossibile trovare il file «%1».").arg(QDir::toNativeSeparators(percorso)));
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreArchivio(CodiciErrore::FileInUso,
            QStringLiteral("Impossibile leggere il file «%1».").arg(QDir::toNativeSeparators(percorso)));
    static const QByteArray firma("SQLite format 3\0", 16);
    // An engine page is at least 512 bytes; anything shorter is a truncated or foreign file.
    if (f.size() < 512 || f.read(16) != firma)
        throw ErroreArchivio(CodiciErrore::NonUnArchivio, TestoDanneggiato(percorso));
}

QString Archivio::TestoDanneggiato(const QString& percorso)
{
    return QStringLiteral("Il file «%1» non è un archivio di Cartavia oppure è danneggiato.")
        .arg(QDir::toNativeSeparators(percorso));
}

bool Archivio::NotoDanneggiato(const QString& percorso)
{
    if (g_numeroDanneggiati.loadRelaxed() == 0)
        return false;
    const QFileInfo info(percorso);
    const QMutexLocker blocco(&g_muteDanneggiati);
    const auto i = g_danneggiati.constFind(info.absoluteFilePath());
    if (i == g_danneggiati.constEnd())
        return false;
    if (info.exists() && *i == FileDanneggiato::Di(info))
        return true;
    g_danneggiati.erase(i);
    g_numeroDanneggiati.storeRelaxed(int(g_danneggiati.size()));
    return false;
}

void Archivio::VerificaApertura(const QString& percorso)
{
    if (IndirizzoServer::E(percorso)) {
        // The server keeps its own pages whole; what is to check is that the archive is there.
        Archivio db(percorso);
        if (!db.esisteTabella(QStringLiteral("TabellaVersione")))
            throw ErroreArchivio(CodiciErrore::TabellaNonTrovata,
                QStringLiteral("Il database %1 non contiene un archivio di Cartavia.")
                    .arg(IndirizzoServer::Leggi(percorso)->Descrizione()));
        return;
    }
    Verifica(percorso);
    int codice = SQLITE_OK;
    QString testo;
    {
        ConnessioneDiretta c(percorso, SQLITE_OPEN_READONLY);
        codice = c.esito();
        // The first statement reads the whole schema; the first and last row of each table then
        // cross the top of its tree, where a page overwritten or cut off shows at once.
        QList<QByteArray> tabelle;
        if (codice == SQLITE_OK)
            codice = c.scorri("SELECT name FROM sqlite_master WHERE type = 'table'", [&](sqlite3_stmt* s) {
                tabelle << QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
            });
        for (const QByteArray& t : std::as_const(tabelle)) {
            for (const char* verso : { " ORDER BY rowid LIMIT 1", " ORDER BY rowid DESC LIMIT 1" }) {
                if (codice == SQLITE_OK)
                    codice = c.scorri("SELECT * FROM " + quotaNome(t) + verso);
            }
        }
        testo = c.testo();
    }
    if (codice == SQLITE_OK || codiceDiPassaggio(codice))
        return;
    if (codiceDanno(codice)) {
        marcaDanneggiato(percorso);
        throw ErroreArchivio(CodiciErrore::NonUnArchivio, TestoDanneggiato(percorso));
    }
    throw Traduci(codice, testo, percorso);
}

namespace {
// What the progress handler of a compaction needs.
struct StatoCompattazione
{
    sqlite3* db;
    qint64 pagine;
    const Archivio::Avanzamento* avanzamento;
    int ultimo;
    bool annullato;
};

int avanzamentoCompattazione(void* p)
{
    auto* s = static_cast<StatoCompattazione*>(p);
    // A compaction reads each page about once: the pages read so far tell how far it is.
    int letti = 0;
    int massimo = 0;
    sqlite3_db_status(s->db, SQLITE_DBSTATUS_CACHE_MISS, &letti, &massimo, 0);
    const int percento = int(std::min<qint64>(99, qint64(letti) * 100 / s->pagine));
    if (percento == s->ultimo)
        return 0;
    s->ultimo = percento;
    s->annullato = !(*s->avanzamento)(percento);
    return s->annullato ? 1 : 0;
}
} // namespace

void Archivio::VerificaCompleta(const QString& percorso, const Avanzamento& avanzamento)
{
    Verifica(percorso);
    QString esito;
    int codice = SQLITE_OK;
    QString testo;
    LettureContate letture;
    {
        const sqlite3_vfs* vfs = avanzamento ? vfsContato() : nullptr;
        ConnessioneDiretta c(percorso, SQLITE_OPEN_READONLY, vfs ? NomeVfsContato : nullptr);
        codice = c.esito();
        // Asked for by the user or run on a copy: a write of another instance is waited for.
        sqlite3_busy_timeout(c.db(), AttesaVerificaMs);
        if (codice == SQLITE_OK)
            codice = c.scorri("PRAGMA page_count",
                [&](sqlite3_stmt* s) { letture.totale = std::max<qint64>(1, sqlite3_column_int64(s, 0)); });
        if (codice == SQLITE_OK)
            codice = c.scorri(
                "PRAGMA page_size", [&](sqlite3_stmt* s) { letture.totale *= sqlite3_column_int64(s, 0); });
        letture.avanzamento = &avanzamento;
        letture.db = c.db();
        struct Conta
        {
            LettureContate* prima;
            explicit Conta(LettureContate* l)
                : prima(t_letture)
            {
                t_letture = l;
            }
            ~Conta() { t_letture = prima; }
        } conta(vfs ? &letture : nullptr);
        if (codice == SQLITE_OK)
            codice = c.scorri("PRAGMA quick_check(1)", [&](sqlite3_stmt* s) {
                esito = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
            });
        testo = c.testo();
    }
    if (letture.annullato)
        throw ErroreArchivio(CodiciErrore::Annullato, QStringLiteral("Operazione annullata."));
    if (codice == SQLITE_OK && esito == QLatin1String("ok")) {
        dimenticaDanneggiato(percorso);
        if (avanzamento)
            avanzamento(100);
        return;
    }
    if (codice == SQLITE_OK || codiceDanno(codice)) {
        marcaDanneggiato(percorso);
        throw ErroreArchivio(CodiciErrore::NonUnArchivio, TestoDanneggiato(percorso));
    }
    throw Traduci(codice, testo, percorso);
}

void Archivio::SegnaDanneggiato(const QString& percorso)
{
    marcaDanneggiato(percorso);
}

namespace {
// The absolute path of a copy about to be made: a new file in a folder that exists.
QString destinazioneNuova(const QString& destinazione)
{
    const QString assoluto = QFileInfo(destinazione).absoluteFilePath();
    if (QFileInfo::exists(assoluto))
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido,
            QStringLiteral("Il file «%1» esiste già.").arg(QDir::toNativeSeparators(destinazione)));
    if (!cartellaEsiste(assoluto))
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido,
            QStringLiteral("Il percorso «%1» non è valido.").arg(QDir::toNativeSeparators(destinazione)));
    return assoluto;
}
} // namespace

void Archivio::CopiaCompatta(
    const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento)
{
    const QString assoluto = destinazioneNuova(destinazione);
    bool annullato = false;
    try {
        Archivio db(sorgente);
        sqlite3* motore = nullptr;
        const QVariant maniglia = db.m_db.driver()->handle();
        if (avanzamento && maniglia.isValid() && qstrcmp(maniglia.typeName(), "sqlite3*") == 0)
            motore = *static_cast<sqlite3* const*>(maniglia.constData());
        StatoCompattazione stato { motore, 1, &avanzamento, -1, false };
        if (motore) {
            stato.pagine = std::max<qint64>(1, db.valore(QStringLiteral("PRAGMA page_count")).toLongLong());
            sqlite3_progress_handler(motore, 20000, avanzamentoCompattazione, &stato);
        }
        try {
            db.esegui(QStringLiteral("VACUUM INTO ?"), { assoluto });
        } catch (...) {
            annullato = stato.annullato;
            if (motore)
                sqlite3_progress_handler(motore, 0, nullptr, nullptr);
            throw;
        }
        if (motore)
            sqlite3_progress_handler(motore, 0, nullptr, nullptr);
    } catch (...) {
        QFile::remove(assoluto);
        if (annullato)
            throw ErroreArchivio(CodiciErrore::Annullato, QStringLiteral("Operazione annullata."));
        throw;
    }
}

void Archivio::CopiaIstantanea(
    const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento)
{
    const QString assoluto = destinazioneNuova(destinazione);
    Verifica(sorgente);
    if (NotoDanneggiato(sorgente))
        throw ErroreArchivio(CodiciErrore::NonUnArchivio, TestoDanneggiato(sorgente));

    // Read-write only so that a journal left by a crashed writer is rolled back first; the copy
    // never writes to the archive.
    ConnessioneDiretta da(sorgente, SQLITE_OPEN_READWRITE);
    if (da.esito() != SQLITE_OK)
        throw Traduci(da.esito(), da.testo(), sorgente);
    ConnessioneDiretta a(assoluto, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (a.esito() != SQLITE_OK)
        throw Traduci(a.esito(), a.testo(), destinazione);
    // No journal for a file that is thrown away unless it is complete.
    a.scorri("PRAGMA journal_mode = OFF");
    sqlite3_backup* copia = sqlite3_backup_init(a.db(), "main", da.db(), "main");
    if (!copia)
        throw Traduci(sqlite3_extended_errcode(a.db()), a.testo(), destinazione);

    int pagine = PaginePerPasso;
    int riprese = 0;
    int rimaste = -1;
    int percento = 0;
    bool annullato = false;
    QElapsedTimer occupato;
    int esito = SQLITE_OK;
    for (;;) {
        esito = sqlite3_backup_step(copia, pagine);
        if (esito == SQLITE_DONE)
            break;
        const int codice = esito & 0xFF;
        if (esito == SQLITE_OK) {
            occupato.invalidate();
            const int ora = sqlite3_backup_remaining(copia);
            // Each step copies pages: when as many remain as before, a write made it start again.
            if (rimaste >= 0 && ora >= rimaste && ++riprese >= RipreseMassime)
                pagine = -1;
            rimaste = ora;
            const int totale = sqlite3_backup_pagecount(copia);
            percento = totale > 0 ? int(qint64(totale - ora) * 100 / totale) : 0;
        } else if (codice == SQLITE_BUSY || codice == SQLITE_LOCKED) {
            // Another instance is writing: wait for it, as long as a lock may reasonably last.
            if (!occupato.isValid())
                occupato.start();
            if (occupato.elapsed() > AttesaCopiaMs)
                break;
            QThread::msleep(50);
        } else {
            break;
        }
        if (avanzamento && !avanzamento(percento)) {
            annullato = true;
            break;
        }
    }
    const int fine = sqlite3_backup_finish(copia);
    if (annullato)
        throw ErroreArchivio(CodiciErrore::Annullato, QStringLiteral("Operazione annullata."));
    if (esito != SQLITE_DONE) {
        const bool suCopia = (esito & 0xFF) == SQLITE_FULL || (esito & 0xFF) == SQLITE_IOERR;
        throw Traduci(esito, suCopia ? a.testo() : da.testo(), suCopia ? destinazione : sorgente);
    }
    if (fine != SQLITE_OK)
        throw Traduci(fine, a.testo(), destinazione);
}

ErroreArchivio Archivio::errore(int codiceMotore, const QString& testoMotore, const QString& contesto) const
{
    if (!codiceDanno(codiceMotore))
        return Traduci(codiceMotore, testoMotore, contesto).suArchivio(m_percorso);
    marcaDanneggiato(m_percorso);
    return { CodiciErrore::NonUnArchivio, TestoDanneggiato(m_percorso) };
}

ErroreArchivio Archivio::errore(const QSqlError& e, const QString& contesto) const
{
    if (m_motore == Motore::PostgreSQL)
        return TraduciServer(e.nativeErrorCode(), testoMotore(e), contesto).suArchivio(m_percorso);
    return errore(e.nativeErrorCode().toInt(), testoMotore(e), contesto);
}

ErroreArchivio Archivio::TraduciServer(const QString& stato, const QString& motore, const QString& contesto)
{
    const QString dettaglio = contesto.isEmpty()
        ? motore.trimmed()
        : motore.trimmed() + QStringLiteral(" [") + contesto + QLatin1Char(']');
    // Another copy's lock held past the wait, or two writers that cannot both go on: the archive
    // is busy, and the step is worth trying again.
    if (stato == QLatin1String("55P03") || stato == QLatin1String("40001") || stato == QLatin1String("40P01")
        || stato == QLatin1String("55006"))
        return { CodiciErrore::Bloccato,
            QStringLiteral("L'archivio è bloccato da un altro utente. (%1)").arg(motore.trimmed()) };
    if (stato == QLatin1String("42P01"))
        return { CodiciErrore::TabellaNonTrovata,
            QStringLiteral("Tabella non trovata. (%1)").arg(dettaglio) };
    if (stato == QLatin1String("42703"))
        return { CodiciErrore::CampoNonTrovato, QStringLiteral("Campo non trovato. (%1)").arg(dettaglio) };
    if (stato == QLatin1String("3D000"))
        return { CodiciErrore::FileNonTrovato,
            QStringLiteral("Il database non esiste sul server. (%1)").arg(dettaglio) };
    if (stato == QLatin1String("25006"))
        return { CodiciErrore::SolaLettura,
            QStringLiteral("L'archivio è di sola lettura. (%1)").arg(motore.trimmed()) };
    if (stato == QLatin1String("53100"))
        return { CodiciErrore::DiscoPieno,
            QStringLiteral("Il disco del server è pieno. (%1)").arg(motore.trimmed()) };
    if (stato.startsWith(QLatin1String("08")) || stato.startsWith(QLatin1String("57P")))
        return { CodiciErrore::ErroreDisco,
            QStringLiteral("Errore di rete o del server. (%1)").arg(motore.trimmed()) };
    if (stato.startsWith(QLatin1String("28")) || stato == QLatin1String("42501"))
        return { CodiciErrore::Generico,
            QStringLiteral("Accesso all'archivio negato dal server. (%1)").arg(motore.trimmed()) };
    return { CodiciErrore::Generico, dettaglio };
}

ErroreArchivio Archivio::Traduci(const QSqlError& errore, const QString& contesto)
{
    return Traduci(errore.nativeErrorCode().toInt(), testoMotore(errore), contesto);
}

ErroreArchivio Archivio::Traduci(int codiceMotore, const QString& motore, const QString& contesto)
{
    const int codice = codiceMotore & 0xFF;
    const QString dettaglio
        = contesto.isEmpty() ? motore : motore + QStringLiteral(" [") + contesto + QLatin1Char(']');
    switch (codice) {
    case 5: // busy
    case 6: // locked
        return { CodiciErrore::Bloccato,
            QStringLiteral("L'archivio è bloccato da un altro utente. (%1)").arg(motore) };
    case 8:
        return { CodiciErrore::SolaLettura,
            QStringLiteral("L'archivio è di sola lettura. (%1)").arg(motore) };
    case 10:
        return { CodiciErrore::ErroreDisco, QStringLiteral("Errore di disco o di rete. (%1)").arg(motore) };
    case 11: // corrupt
    case 26: // not a database
        return {
            CodiciErrore::NonUnArchivio,
            QStringLiteral("L'archivio non è un archivio di Cartavia oppure è danneggiato. (%1)").arg(motore)
        };
    case 13:
        return { CodiciErrore::DiscoPieno,
            QStringLiteral("Spazio su disco insufficiente. (%1)").arg(motore) };
    case 14:
        return { CodiciErrore::FileNonTrovato,
            QStringLiteral("Impossibile aprire l'archivio. (%1)").arg(dettaglio) };
    default:
        break;
    }
    if (motore.contains(QLatin1String("no such table"), Qt::CaseInsensitive))
        return { CodiciErrore::TabellaNonTrovata,
            QStringLiteral("Tabella non trovata. (%1)").arg(dettaglio) };
    if (motore.contains(QLatin1String("no such column"), Qt::CaseInsensitive)
        || motore.contains(QLatin1String("has no column"), Qt::CaseInsensitive))
        return { CodiciErrore::CampoNonTrovato, QStringLiteral("Campo non trovato. (%1)").arg(dettaglio) };
    return { CodiciErrore::Generico, QStringLiteral("Errore dell'archivio. (%1)").arg(dettaglio) };
}
