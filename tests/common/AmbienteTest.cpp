#include "AmbienteTest.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/GestioneErrore.h"
#include "archive/IndirizzoServer.h"
#include "archive/Presenza.h"
#include "archive/Module1.h"
#include "platform/Piattaforma.h"
#include "platform/Servizi.h"

#include <QCoreApplication>
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

AmbienteTest::AmbienteTest(bool creaArchivio)
{
    QVERIFY2(m_dir.isValid(), "cartella temporanea");
    m_archivio = m_dir.filePath(QStringLiteral("Archivio.mdb"));
    if (SuServer() && creaArchivio) {
        // A database of its own for each test, so tests run side by side and start empty.
        static int numero = 0;
        const std::optional<IndirizzoServer> prove = IndirizzoServer::Leggi(indirizzoProve());
        QVERIFY2(prove, "il server PostgreSQL delle prove non è avviato (ctest lo avvia)");
        m_database = QStringLiteral("prova_%1_%2").arg(QCoreApplication::applicationPid()).arg(++numero);
        Archivio(prove->Testo()).esegui(QStringLiteral("CREATE DATABASE ") + m_database);
        IndirizzoServer mio = *prove;
        mio.database = m_database;
        m_archivio = mio.Testo();
        m_server = prove->Testo();
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
    if (m_database.isEmpty())
        return;
    Presenza::Termina();
    try {
        Archivio(m_server).esegui(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
    } catch (const ErroreArchivio&) {
        // The run's server goes at the end anyway.
    }
}

QVariant AmbienteTest::sqlSu(const QString& percorso, const QString& testo, const QVariantList& valori)
{
    Archivio db(percorso, Archivio::Apertura::CreaSeManca);
    QSqlQuery q = db.esegui(testo, valori);
    if (q.isSelect() && q.next())
        return q.value(0);
    return {};
}
