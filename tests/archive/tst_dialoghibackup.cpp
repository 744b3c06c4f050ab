#include "AmbienteTest.h"

#include "archive/Backup.h"
#include "archive/Percorsi.h"
#include "archive/Module1.h"
#include "comune/Orologio.h"
#include "gui/archive/DialoghiBackup.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

const QString DomandaBackup = QStringLiteral("ESEGUO IL SALVATAGGIO ARCHIVIO SU HARD DISK?");
const QString DomandaRipristino = QStringLiteral(
    "Attenzione: un errato ripristino potrebbe causare la perdita di tutti i dati, continuare?");
const QString ConfermaRipristino
    = QStringLiteral("Confermare l'operazione di ripristino archivio digitando: SI");
const QString ConfermaOttimizzazione = QStringLiteral("PER EFFETTUARE L'OPERAZIONE DIGITARE: confermo");
const QString DomandaOttimizzazione = QStringLiteral("CONFERMI L'OTTIMIZZAZIONE DEL DATABASE");

QByteArray impronta(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

int contaDipendenti(const QString& archivio)
{
    return AmbienteTest::sqlSu(archivio, QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche")).toInt();
}

// `quanti` employees with long names, so deleting them leaves free pages to compact.
void aggiungiDipendenti(const AmbienteTest& amb, int quanti, const QString& prefisso)
{
    amb.sql(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                           "INSERT INTO TabellaAnagrafiche (Codice, Cognome) "
                           "SELECT ? || i, substr(hex(zeroblob(100)), 1, 200) FROM n"),
        { quanti, prefisso });
}

} // namespace

// The questions each backup command asks before its work, and the message it shows after it.
class TestDialoghiBackup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void eseguiBackup();
    void elencoCartellaVuotaOMancante();
    void ripristinoConferme_data();
    void ripristinoConferme();
    void ripristinoFallito();
    void compattazioneConferme_data();
    void compattazioneConferme();
    void compattazioneFallita();
};

void TestDialoghiBackup::init()
{
    Orologio::ImpostaOggi(QDate(2026, 12, 7));
}

void TestDialoghiBackup::cleanup()
{
    Orologio::ImpostaOggi({});
    // The busy cursor never outlives a command.
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void TestDialoghiBackup::eseguiBackup()
{
    AmbienteTest amb;
    const QString ok = amb.percorso(QStringLiteral("ok"));
    amb.messaggi.risposte << Messaggi::No;
    QVERIFY(!DialoghiBackup::EseguiBackup(amb.archivio(), ok));
    QCOMPARE(amb.messaggi.testi(), QStringList { DomandaBackup });
    QCOMPARE(amb.messaggi.chiamate.at(0).pulsanti, Messaggi::Yes | Messaggi::No);
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Information);
    QVERIFY(!QFileInfo::exists(ok));

    // A folder below a file can never be made (whoever runs the test).
    QFile file(amb.percorso(QStringLiteral("unfile")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    amb.messaggi.svuota();
    amb.messaggi.risposte << Messaggi::Yes;
    QVERIFY(!DialoghiBackup::EseguiBackup(amb.archivio(), amb.percorso(QStringLiteral("unfile/backup"))));
    QCOMPARE(amb.messaggi.chiamate.size(), 2);
    QCOMPARE(amb.messaggi.chiamate.at(0).testo, DomandaBackup);
    QCOMPARE(amb.messaggi.chiamate.at(1).icona, Messaggi::Critical);
    QVERIFY(amb.messaggi.chiamate.at(1).testo.contains(QStringLiteral("SALVATAGGIO NON RIUSCITO")));

    amb.messaggi.svuota();
    amb.messaggi.risposte << Messaggi::Yes;
    QVERIFY(DialoghiBackup::EseguiBackup(amb.archivio(), ok));
    QCOMPARE(amb.messaggi.testi(), QStringList({ DomandaBackup, QStringLiteral("PROCEDURA TERMINATA") }));
    QCOMPARE(amb.messaggi.chiamate.last().icona, Messaggi::Information);
    QVERIFY(QFileInfo::exists(QDir(ok).filePath(QStringLiteral("071226-Archivio.mdb"))));
}

void TestDialoghiBackup::elencoCartellaVuotaOMancante()
{
    AmbienteTest amb(false);
    QVERIFY(DialoghiBackup::ElencoBackup(amb.percorso(QStringLiteral("manca"))).isEmpty());
    QDir().mkpath(amb.percorso(QStringLiteral("vuota")));
    QVERIFY(DialoghiBackup::ElencoBackup(amb.percorso(QStringLiteral("vuota"))).isEmpty());
    QCOMPARE(amb.messaggi.testi(), QStringList(2, QStringLiteral("Attenzione percorso non corretto")));
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);

    // A folder with backups lists them and says nothing.
    amb.messaggi.svuota();
    QFile backup(amb.percorso(QStringLiteral("vuota/071226-Archivio.mdb")));
    QVERIFY(backup.open(QIODevice::WriteOnly));
    backup.close();
    QCOMPARE(DialoghiBackup::ElencoBackup(amb.percorso(QStringLiteral("vuota"))),
        QStringList { QStringLiteral("071226-Archivio.mdb") });
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestDialoghiBackup::ripristinoConferme_data()
{
    QTest::addColumn<int>("prima");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<bool>("ripristinato");
    QTest::newRow("SI") << int(Messaggi::Yes) << "SI" << true;
    QTest::newRow("si") << int(Messaggi::Yes) << "si" << true;
    QTest::newRow("Si") << int(Messaggi::Yes) << "Si" << true;
    QTest::newRow("no") << int(Messaggi::Yes) << "no" << false;
    QTest::newRow("annullato") << int(Messaggi::Yes) << "" << false;
    QTest::newRow("SI con spazio") << int(Messaggi::Yes) << "SI " << false;
    QTest::newRow("prima domanda: No") << int(Messaggi::No) << "SI" << false;
}

void TestDialoghiBackup::ripristinoConferme()
{
    QFETCH(int, prima);
    QFETCH(QString, digitato);
    QFETCH(bool, ripristinato);
    AmbienteTest amb;
    amb.sessione.CartellaInf = amb.percorso(QStringLiteral("programma"));
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    aggiungiDipendenti(amb, 3, QStringLiteral("A"));
    QVERIFY(Backup::CopiaArchivio(amb.archivio(), cartella));
    aggiungiDipendenti(amb, 7, QStringLiteral("B"));

    amb.messaggi.risposte << Messaggi::Risposta(prima);
    amb.messaggi.testiInput << digitato;
    QCOMPARE(DialoghiBackup::RipristinaBackup(amb.archivio(), cartella, QStringLiteral("071226-Archivio.mdb"),
                 Percorsi::CartellaCopiaSicurezza(amb.sessione)),
        ripristinato);
    QCOMPARE(amb.messaggi.testi(), QStringList { DomandaRipristino });
    QCOMPARE(amb.messaggi.chiamate.at(0).pulsanti, Messaggi::Yes | Messaggi::No);
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Question);
    QCOMPARE(amb.messaggi.richiesteInput,
        prima == Messaggi::Yes ? QStringList { ConfermaRipristino } : QStringList());
    QCOMPARE(contaDipendenti(amb.archivio()), ripristinato ? 3 : 10);
    QCOMPARE(QFileInfo::exists(QDir(amb.sessione.CartellaInf).filePath(QStringLiteral("copia.mdb"))),
        ripristinato);
}

void TestDialoghiBackup::ripristinoFallito()
{
    AmbienteTest amb;
    amb.sessione.CartellaInf = amb.percorso(QStringLiteral("programma"));
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    QVERIFY(Backup::CopiaArchivio(amb.archivio(), cartella));
    const QByteArray prima = impronta(amb.archivio());
    amb.messaggi.risposte << Messaggi::Yes;
    amb.messaggi.testiInput << QStringLiteral("SI");
    QVERIFY(!DialoghiBackup::RipristinaBackup(amb.archivio(), cartella, QStringLiteral("010101-Archivio.mdb"),
        Percorsi::CartellaCopiaSicurezza(amb.sessione)));
    QCOMPARE(amb.messaggi.testi(),
        QStringList({ DomandaRipristino,
            QStringLiteral("Problemi nella procedura di ripristino ... ripristino non effettuato") }));
    QCOMPARE(amb.messaggi.chiamate.last().icona, Messaggi::Critical);
    QCOMPARE(impronta(amb.archivio()), prima);
}

void TestDialoghiBackup::compattazioneConferme_data()
{
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<int>("risposta");
    QTest::addColumn<int>("iconaFine");
    QTest::addColumn<bool>("compattato");
    const int info = Messaggi::Information;
    QTest::newRow("confermo") << "confermo" << int(Messaggi::Yes) << info << true;
    QTest::newRow("confermo, impostazioni")
        << "confermo" << int(Messaggi::Yes) << int(Messaggi::NoIcon) << true;
    QTest::newRow("Confermo") << "Confermo" << int(Messaggi::Yes) << info << false;
    QTest::newRow("CONFERMO") << "CONFERMO" << int(Messaggi::Yes) << info << false;
    QTest::newRow("confermo, poi No") << "confermo" << int(Messaggi::No) << info << false;
    QTest::newRow("annullato") << "" << int(Messaggi::Yes) << info << false;
}

void TestDialoghiBackup::compattazioneConferme()
{
    QFETCH(QString, digitato);
    QFETCH(int, risposta);
    QFETCH(int, iconaFine);
    QFETCH(bool, compattato);
    AmbienteTest amb;
    aggiungiDipendenti(amb, 2000, QStringLiteral("A"));
    amb.sql(QStringLiteral("DELETE FROM TabellaAnagrafiche WHERE Codice <> 'A7'"));
    const qint64 primaDimensione = QFileInfo(amb.archivio()).size();
    const QByteArray prima = impronta(amb.archivio());

    amb.messaggi.testiInput << digitato;
    amb.messaggi.risposte << Messaggi::Risposta(risposta);
    QCOMPARE(DialoghiBackup::OttimizzaArchivio(amb.archivio(), Messaggi::Icona(iconaFine)), compattato);
    QCOMPARE(amb.messaggi.richiesteInput, QStringList { ConfermaOttimizzazione });
    if (!compattato) {
        QCOMPARE(impronta(amb.archivio()), prima);
        QCOMPARE(amb.messaggi.testi(),
            digitato == QLatin1String("confermo") ? QStringList { DomandaOttimizzazione } : QStringList());
        return;
    }
    QCOMPARE(amb.messaggi.testi(),
        QStringList({ DomandaOttimizzazione, QStringLiteral("Ottimizzazione conclusa") }));
    QCOMPARE(amb.messaggi.chiamate.at(0).pulsanti, Messaggi::Yes | Messaggi::No);
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Question);
    QCOMPARE(amb.messaggi.chiamate.last().icona, Messaggi::Icona(iconaFine));
    QVERIFY(QFileInfo(amb.archivio()).size() < primaDimensione / 4);
    QCOMPARE(contaDipendenti(amb.archivio()), 1);
}

void TestDialoghiBackup::compattazioneFallita()
{
    AmbienteTest amb;
    const QString manca = amb.percorso(QStringLiteral("manca.mdb"));
    amb.messaggi.testiInput << QStringLiteral("confermo");
    amb.messaggi.risposte << Messaggi::Yes;
    QVERIFY(!DialoghiBackup::OttimizzaArchivio(manca, Messaggi::Information));
    QCOMPARE(amb.messaggi.chiamate.size(), 2);
    QVERIFY2(amb.messaggi.chiamate.last().testo.contains(QStringLiteral("Impossibile trovare il file")),
        qPrintable(amb.messaggi.chiamate.last().testo));
    QCOMPARE(amb.messaggi.chiamate.last().icona, Messaggi::Critical);
    QVERIFY(!QFileInfo::exists(manca));
}

QTEST_MAIN(TestDialoghiBackup)
#include "tst_dialoghibackup.moc"
