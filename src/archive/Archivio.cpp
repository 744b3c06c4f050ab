#include "Archivio.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

#include <sqlite3.h>

namespace {

QAtomicInteger<quint64> g_contatoreConnessioni;

// How long the engine itself waits for a lock before the error routine sees it; short, so the
// wait window can show that the archive is busy.
constexpr int AttesaMotoreMs = 100;
// "CART" in the engine header marks files this program created.
constexpr int IdentificativoArchivio = 0x43415254;

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

} // namespace

Archivio::Archivio(const QString& percorso, Apertura modo)
    : m_percorso(percorso)
{
    if (percorso.trimmed().isEmpty())
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido,
                             QStringLiteral("Il percorso dell'archivio non è indicato."));
    const QFileInfo info(percorso);
    if (!cartellaEsiste(percorso) || info.isDir())
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido,
                             QStringLiteral("Il percorso «%1» non è valido.").arg(QDir::toNativeSeparators(percorso)));
    // An empty file is what an interrupted creation leaves: there is nothing in it to lose.
    const bool vuoto = info.exists() && info.size() == 0 && modo == Apertura::CreaSeManca;
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
        const ErroreArchivio e = Traduci(m_db.lastError(), percorso);
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nomeConnessione);
        throw e;
    }
    if (modo == Apertura::CreaSeManca && (vuoto || !info.exists())) {
        // Writes the header at once, so the file is an archive from here on.
        QSqlQuery q(m_db);
        if (!q.exec(QStringLiteral("PRAGMA application_id = %1").arg(IdentificativoArchivio))) {
            const ErroreArchivio e = Traduci(q.lastError(), percorso);
            q = QSqlQuery();
            m_db.close();
            m_db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_nomeConnessione);
            m_nomeConnessione.clear();
            throw e;
        }
    }
}

Archivio::~Archivio()
{
    if (m_nomeConnessione.isEmpty())
        return;
    if (m_inTransazione)
        QSqlQuery(QStringLiteral("ROLLBACK"), m_db);
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_nomeConnessione);
}

QSqlQuery Archivio::esegui(const QString& sql, const QVariantList& valori)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw Traduci(q.lastError(), sql);
    eseguiPreparata(q, valori);
    return q;
}

QSqlQuery Archivio::prepara(const QString& sql)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw Traduci(q.lastError(), sql);
    return q;
}

void Archivio::eseguiPreparata(QSqlQuery& query, const QVariantList& valori)
{
    for (int i = 0; i < valori.size(); ++i)
        query.bindValue(i, valori.at(i));
    if (!query.exec())
        throw Traduci(query.lastError(), query.lastQuery());
}

QVariant Archivio::valore(const QString& sql, const QVariantList& valori)
{
    QSqlQuery q = esegui(sql, valori);
    if (q.next())
        return q.value(0);
    if (q.lastError().isValid())
        throw Traduci(q.lastError(), sql);
    return {};
}

void Archivio::inizia()
{
    if (m_inTransazione)
        return;
    esegui(QStringLiteral("BEGIN IMMEDIATE"));
    m_inTransazione = true;
}

void Archivio::conferma()
{
    if (!m_inTransazione)
        return;
    esegui(QStringLiteral("COMMIT"));
    m_inTransazione = false;
}

void Archivio::annulla()
{
    if (!m_inTransazione)
        return;
    m_inTransazione = false;
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("ROLLBACK"));
}

bool Archivio::esisteTabella(const QString& tabella)
{
    return valore(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
                  {tabella})
               .toInt()
        > 0;
}

QStringList Archivio::campi(const QString& tabella)
{
    QStringList nomi;
    QSqlQuery q = esegui(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {tabella});
    while (q.next())
        nomi << q.value(0).toString();
    return nomi;
}

QStringList Archivio::indici(const QString& tabella)
{
    QStringList nomi;
    QSqlQuery q = esegui(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ? COLLATE NOCASE "
                       "AND name NOT LIKE 'sqlite_autoindex%' ORDER BY name"),
        {tabella});
    while (q.next())
        nomi << q.value(0).toString();
    return nomi;
}

qint64 RigaRapida::intero(int colonna) const
{
    return sqlite3_column_int64(m_istruzione, colonna);
}

double RigaRapida::reale(int colonna) const
{
    return sqlite3_column_double(m_istruzione, colonna);
}

QString RigaRapida::testo(int colonna) const
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_istruzione, colonna));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(m_istruzione, colonna)) : QString();
}

QByteArrayView RigaRapida::grezzo(int colonna) const
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_istruzione, colonna));
    return t ? QByteArrayView(t, sqlite3_column_bytes(m_istruzione, colonna)) : QByteArrayView();
}

bool RigaRapida::nullo(int colonna) const
{
    return sqlite3_column_type(m_istruzione, colonna) == SQLITE_NULL;
}

void Archivio::scorri(const QString& sql, const QVariantList& valori, const std::function<void(const RigaRapida&)>& riga)
{
    const QVariant maniglia = m_db.driver()->handle();
    sqlite3* motore = nullptr;
    if (maniglia.isValid() && qstrcmp(maniglia.typeName(), "sqlite3*") == 0)
        motore = *static_cast<sqlite3* const*>(maniglia.constData());
    if (!motore)
        throw ErroreArchivio(CodiciErrore::Generico, QStringLiteral("Lettura diretta dell'archivio non disponibile."));
    sqlite3_stmt* istruzione = nullptr;
    const QByteArray testoSql = sql.toUtf8();
    if (sqlite3_prepare_v2(motore, testoSql.constData(), int(testoSql.size()), &istruzione, nullptr) != SQLITE_OK)
        throw Traduci(sqlite3_extended_errcode(motore), QString::fromUtf8(sqlite3_errmsg(motore)), sql);
    struct Chiudi
    {
        sqlite3_stmt* s;
        ~Chiudi() { sqlite3_finalize(s); }
    } chiudi{istruzione};
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
            throw Traduci(esito, QString::fromUtf8(sqlite3_errmsg(motore)), sql);
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
        throw Traduci(sqlite3_extended_errcode(motore), QString::fromUtf8(sqlite3_errmsg(motore)), sql);
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
        throw ErroreArchivio(
            CodiciErrore::NonUnArchivio,
            QStringLiteral("Il file «%1» non è un archivio di Cartavia oppure è danneggiato.")
                .arg(QDir::toNativeSeparators(percorso)));
}

void Archivio::VerificaCompleta(const QString& percorso)
{
    Verifica(percorso);
    auto danneggiato = [&percorso] {
        return ErroreArchivio(CodiciErrore::NonUnArchivio,
                              QStringLiteral("Il file «%1» non è un archivio di Cartavia oppure è danneggiato.")
                                  .arg(QDir::toNativeSeparators(percorso)));
    };
    const QString nome = QStringLiteral("verifica-%1").arg(g_contatoreConnessioni.fetchAndAddRelaxed(1));
    QString esito;
    int numero = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(QFileInfo(percorso).absoluteFilePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(AttesaMotoreMs));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA quick_check(1)")) && q.next())
                esito = q.value(0).toString();
            else
                numero = Traduci(q.lastError(), percorso).numero();
        } else {
            numero = Traduci(db.lastError(), percorso).numero();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(nome);
    if (esito == QLatin1String("ok"))
        return;
    // Another instance holding the archive is no damage: the caller's own open meets the lock.
    if (numero == CodiciErrore::Bloccato || numero == CodiciErrore::FileInUso || numero == CodiciErrore::ArchivioInUso)
        return;
    throw danneggiato();
}

void Archivio::CopiaCompatta(const QString& sorgente, const QString& destinazione)
{
    const QString assoluto = QFileInfo(destinazione).absoluteFilePath();
    if (QFileInfo::exists(assoluto))
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido,
                             QStringLiteral("Il file «%1» esiste già.").arg(QDir::toNativeSeparators(destinazione)));
    if (!cartellaEsiste(assoluto))
        throw ErroreArchivio(CodiciErrore::PercorsoNonValido,
                             QStringLiteral("Il percorso «%1» non è valido.").arg(QDir::toNativeSeparators(destinazione)));
    try {
        Archivio db(sorgente);
        db.esegui(QStringLiteral("VACUUM INTO ?"), {assoluto});
    } catch (...) {
        QFile::remove(assoluto);
        throw;
    }
}

ErroreArchivio Archivio::Traduci(const QSqlError& errore, const QString& contesto)
{
    return Traduci(errore.nativeErrorCode().toInt(), testoMotore(errore), contesto);
}

ErroreArchivio Archivio::Traduci(int codiceMotore, const QString& motore, const QString& contesto)
{
    const int codice = codiceMotore & 0xFF;
    const QString dettaglio = contesto.isEmpty() ? motore : motore + QStringLiteral(" [") + contesto + QLatin1Char(']');
    switch (codice) {
    case 5: // busy
    case 6: // locked
        return {CodiciErrore::Bloccato, QStringLiteral("L'archivio è bloccato da un altro utente. (%1)").arg(motore)};
    case 8:
        return {CodiciErrore::SolaLettura, QStringLiteral("L'archivio è di sola lettura. (%1)").arg(motore)};
    case 10:
        return {CodiciErrore::ErroreDisco, QStringLiteral("Errore di disco o di rete. (%1)").arg(motore)};
    case 11: // corrupt
    case 26: // not a database
        return {CodiciErrore::NonUnArchivio,
                QStringLiteral("L'archivio non è un archivio di Cartavia oppure è danneggiato. (%1)").arg(motore)};
    case 13:
        return {CodiciErrore::DiscoPieno, QStringLiteral("Spazio su disco insufficiente. (%1)").arg(motore)};
    case 14:
        return {CodiciErrore::FileNonTrovato, QStringLiteral("Impossibile aprire l'archivio. (%1)").arg(dettaglio)};
    default:
        break;
    }
    if (motore.contains(QLatin1String("no such table"), Qt::CaseInsensitive))
        return {CodiciErrore::TabellaNonTrovata, QStringLiteral("Tabella non trovata. (%1)").arg(dettaglio)};
    if (motore.contains(QLatin1String("no such column"), Qt::CaseInsensitive)
        || motore.contains(QLatin1String("has no column"), Qt::CaseInsensitive))
        return {CodiciErrore::CampoNonTrovato, QStringLiteral("Campo non trovato. (%1)").arg(dettaglio)};
    return {CodiciErrore::Generico, QStringLiteral("Errore dell'archivio. (%1)").arg(dettaglio)};
}
