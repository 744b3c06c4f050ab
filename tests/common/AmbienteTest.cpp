#include "AmbienteTest.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "platform/Piattaforma.h"
#include "platform/Servizi.h"

#include <QSqlQuery>
#include <QTest>

AmbienteTest::AmbienteTest(bool creaArchivio)
{
    QVERIFY2(m_dir.isValid(), "cartella temporanea");
    m_archivio = m_dir.filePath(QStringLiteral("Archivio.mdb"));
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

AmbienteTest::~AmbienteTest() = default;

QVariant AmbienteTest::sqlSu(const QString& percorso, const QString& testo, const QVariantList& valori)
{
    Archivio db(percorso, Archivio::Apertura::CreaSeManca);
    QSqlQuery q = db.esegui(testo, valori);
    if (q.isSelect() && q.next())
        return q.value(0);
    return {};
}
