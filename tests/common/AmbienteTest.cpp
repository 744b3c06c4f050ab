#include "AmbienteTest.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/GestioneErrore.h"
#include "archive/IndirizzoServer.h"
#include "archive/Presenza.h"
#include "archive/Schema.h"
#include "archive/Module1.h"
#include "platform/Piattaforma.h"
#include "platform/Servizi.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

namespace {

// The test run's server (scripts/pg-server), as the CTest fixture wrote its address.
QString indirizzoProve()
{
    QFile f(QDir(qEnvironmentVariable("CARTAVIA_TEST_BIN")).filePath(QStringLiteral("pg/indirizzo")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
}

} // namespace

bool AmbienteTest::SuServer()
{
    return qEnvironmentVariableIsSet("CARTAVIA_PROVE_SERVER");
}

AmbienteTest::AmbienteTest(Partenza partenza)
{
    QVERIFY2(m_dir.isValid(), "cartella temporanea");
    m_archivio = m_dir.filePath(QStringLiteral("Archivio.mdb"));
    const bool creaArchivio = partenza == Partenza::NuovoArchivio;
    if (SuServer() && partenza != Partenza::NessunArchivio) {
        m_database = std::make_unique<DatabaseDiProva>();
        m_archivio = m_database->indirizzo();
    }
    sessione.PercorsoArchivio = m_archivio;
    sessione.NomeArchivio = QStringLiteral("Archivio.mdb");
    servizi().errori.ContatoreErrori = 0;
    servizi().terminaProgramma = [this] { ++terminazioni; };
    servizi().apriUrl = [this](const QUrl& url) {
        urlAperti << url;
        return true;
    };
    if (creaArchivio)
        CreazioneDB().CreaDB(m_archivio);
}

AmbienteTest::~AmbienteTest()
{
    if (m_database)
        Presenza::Termina();
}

DatabaseDiProva::DatabaseDiProva()
{
    static int numero = 0;
    const std::optional<IndirizzoServer> prove = IndirizzoServer::Leggi(indirizzoProve());
    if (!prove) {
        QTest::qFail("il server PostgreSQL delle prove non è avviato (ctest lo avvia)", __FILE__, __LINE__);
        return;
    }
    m_server = prove->Testo();
    m_nome = QStringLiteral("prova_%1_%2").arg(QCoreApplication::applicationPid()).arg(++numero);
    Archivio(m_server).esegui(QStringLiteral("CREATE DATABASE ") + m_nome);
    IndirizzoServer mio = *prove;
    mio.database = m_nome;
    m_indirizzo = mio.Testo();
}

DatabaseDiProva::~DatabaseDiProva()
{
    if (m_nome.isEmpty())
        return;
    try {
        elimina();
    } catch (const ErroreArchivio&) {
        // The run's server goes at the end anyway.
    }
}

void DatabaseDiProva::elimina()
{
    Archivio(m_server).esegui(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_nome));
}

void AmbienteTest::eliminaArchivio()
{
    if (m_database) {
        Presenza::Termina();
        m_database->elimina();
        return;
    }
    QVERIFY(QFile::remove(m_archivio));
}

QByteArray AmbienteTest::Impronta(const QString& percorso)
{
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!IndirizzoServer::E(percorso)) {
        QFile f(percorso);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        h.addData(f.readAll());
        return h.result();
    }
    Archivio db(percorso);
    for (const Schema::Tabella& t : Schema::Tabelle()) {
        if (!db.esisteTabella(t.nome))
            continue;
        const QStringList campi = db.campi(t.nome);
        h.addData(QStringLiteral("%1(%2)\n").arg(t.nome, campi.join(QLatin1Char(','))).toUtf8());
        QSqlQuery q = db.esegui(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(db.quota(t.nome)));
        while (q.next()) {
            for (int c = 0; c < campi.size(); ++c) {
                const QVariant v = q.value(c);
                h.addData(v.isNull() ? QByteArrayLiteral("\x01null") : v.toString().toUtf8());
                h.addData(QByteArrayLiteral("\x00"));
            }
            h.addData(QByteArrayLiteral("\n"));
        }
    }
    return h.result();
}

QVariant AmbienteTest::sqlSu(const QString& percorso, const QString& testo, const QVariantList& valori)
{
    Archivio db(percorso, Archivio::Apertura::CreaSeManca);
    QSqlQuery q = db.esegui(testo, valori);
    if (q.isSelect() && q.next())
        return q.value(0);
    return {};
}
