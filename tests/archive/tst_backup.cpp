#include "AmbienteTest.h"
#include "ArchivioDanneggiato.h"
#include "DatiDiProva.h"
#include "ProcessoPresenza.h"

#include "archive/Archivio.h"
#include "archive/Backup.h"
#include "archive/IndirizzoServer.h"
#include "archive/Percorsi.h"
#include "archive/LavoroInSottofondo.h"
#include "archive/Module1.h"
#include "archive/Presenza.h"
#include "comune/Orologio.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>

namespace {

const QString TestoOccupatoRipristino
    = QStringLiteral("IN QUESTO MOMENTO L'ARCHIVIO RISULTA OCCUPATO, \n RITENTARE L'OPERAZIONE DOPO AVER "
                     "RIAVVIATO IL PROGRAMMA");
const QString TestoOccupatoOttimizzazione = QStringLiteral(
    "ATTENZIONE!   Ottimizzazione Impossibile.     La base-dati è occupata da un'altra applicazione.");

void scriviFile(const QString& file, const QByteArray& dati)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(dati);
}

int contaDipendenti(const QString& archivio)
{
    return AmbienteTest::sqlSu(archivio, QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche")).toInt();
}

void aggiungiDipendenti(const AmbienteTest& amb, int quanti, const QString& prefisso)
{
    Archivio db(amb.archivio());
    InTransazione(db, [&] {
        for (int i = 0; i < quanti; ++i)
            dipendente(
                db, prefisso + QString::number(i), {}, 1, { { "Cognome", QString(200, QLatin1Char('x')) } });
    });
}

// The backup of the test's archive on day `giorno`: named after its file, or after its database on
// a server.
QString backupDi(const AmbienteTest& amb, const char* giorno = "071226")
{
    const std::optional<IndirizzoServer> server = IndirizzoServer::Leggi(amb.archivio());
    return QString::fromLatin1(giorno) + QLatin1Char('-')
        + (server ? server->database + QStringLiteral(".mdb") : QStringLiteral("Archivio.mdb"));
}

// How a backup is damaged.
enum GuastoBackup { Contenuto, Troncato, PaginaDiMezzo };

QStringList fileDi(const QString& cartella)
{
    return QDir(cartella).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// The files beside the archive other than the archive and its presence file: work files left over.
QStringList fileDiLavoro(const QString& cartella)
{
    QStringList r;
    for (const QString& f : fileDi(cartella))
        if (f.startsWith(QLatin1String("Archivio.mdb")) && f != QLatin1String("Archivio.mdb")
            && f != QLatin1String("Archivio.mdb.presenze"))
            r << f;
    return r;
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void nomeBackup_data();
    void nomeBackup();
    void dueBackupNelloStessoGiorno();
    void backupCoerenteDuranteUnaScrittura();
    void backupInterrottoODoppio();
    void salvataggioAutomatico_data();
    void salvataggioAutomatico();
    void backupManualeRiferisceIlFallimento();
    void elencoDalPiuRecente();
    void elencoCartellaVuotaOMancante();
    void impostazioniBackup();
    void ripristino();
    void ripristinoMentreUnAltraIstanzaUsaLArchivio();
    void ripristinoConLaPropriaPresenza();
    void ripristinoDaBackupDanneggiato_data();
    void ripristinoDaBackupDanneggiato();
    void ripristinoArchivioMancanteODanneggiato();
    void compattazione();
    void compattazioneOccupata();
};

void TestBackup::init()
{
    Orologio::ImpostaOggi(QDate(2026, 12, 7));
}

void TestBackup::cleanup()
{
    Orologio::ImpostaOggi({});
    Presenza::Termina();
}

void TestBackup::nomeBackup_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QDate>("data");
    QTest::newRow("dicembre") << "071226-Archivio.mdb" << QDate(2026, 12, 7);
    QTest::newRow("gennaio") << "010100-Prova 1.mdb" << QDate(2000, 1, 1);
    QTest::newRow("quest'anno") << "311226-Archivio.mdb" << QDate(2026, 12, 31);
    QTest::newRow("secolo scorso") << "311299-Archivio.mdb" << QDate(1999, 12, 31);
    QTest::newRow("giorno impossibile") << "310224-Archivio.mdb" << QDate();
    QTest::newRow("lettere") << "0712a6-Archivio.mdb" << QDate();
    QTest::newRow("corto") << "07122" << QDate();
    QTest::newRow("nessuna data") << "Archivio.mdb" << QDate();
}

void TestBackup::nomeBackup()
{
    QFETCH(QString, nome);
    QFETCH(QDate, data);
    QCOMPARE(Backup::DataDaNomeBackup(nome), data);
    QCOMPARE(
        Backup::DataBackup(nome), data.isValid() ? data.toString(QStringLiteral("dd/MM/yyyy")) : QString());
    if (data.isValid())
        QCOMPARE(Backup::NomeBackup(data, nome.mid(7)), nome);
}

void TestBackup::dueBackupNelloStessoGiorno()
{
    AmbienteTest amb;
    const QString cartella = amb.percorso(QStringLiteral("backup/annidata"));
    aggiungiDipendenti(amb, 3, QStringLiteral("A"));
    QString errore;
    QVERIFY2(Backup::CopiaArchivio(amb.archivio(), cartella, &errore), qPrintable(errore));
    aggiungiDipendenti(amb, 2, QStringLiteral("B"));
    QVERIFY2(Backup::CopiaArchivio(amb.archivio(), cartella, &errore), qPrintable(errore));

    QCOMPARE(fileDi(cartella), QStringList { backupDi(amb) });
    // The second backup replaced the first.
    QCOMPARE(contaDipendenti(QDir(cartella).filePath(backupDi(amb))), 5);

    // The next day makes a second file; the globals of the open archive give the same result.
    Orologio::ImpostaOggi(QDate(2026, 12, 8));
    amb.sessione.CartellaBackup = cartella;
    QVERIFY(Backup::CopiaArchivio(amb.sessione));
    QCOMPARE(fileDi(cartella), QStringList({ backupDi(amb), backupDi(amb, "081226") }));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestBackup::backupCoerenteDuranteUnaScrittura()
{
    AmbienteTest amb;
    aggiungiDipendenti(amb, 4, QStringLiteral("A"));
    // Another instance is in the middle of a write that is not committed yet.
    Archivio altra(amb.archivio());
    altra.inizia();
    altra.esegui(QStringLiteral("INSERT INTO TabellaAnagrafiche (Codice) VALUES ('in corso')"));
    altra.esegui(QStringLiteral("DELETE FROM TabellaAnagrafiche WHERE Codice = 'A0'"));

    const QString cartella = amb.percorso(QStringLiteral("backup"));
    QString errore;
    QVERIFY2(Backup::CopiaArchivio(amb.archivio(), cartella, &errore), qPrintable(errore));
    altra.conferma();

    const QString copia = QDir(cartella).filePath(backupDi(amb));
    QCOMPARE(AmbienteTest::sqlSu(copia, QStringLiteral("PRAGMA integrity_check")).toString(),
        QStringLiteral("ok"));
    QCOMPARE(contaDipendenti(copia), 4);
    QCOMPARE(AmbienteTest::sqlSu(
                 copia, QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche WHERE Codice = 'A0'"))
                 .toInt(),
        1);
}

void TestBackup::backupInterrottoODoppio()
{
    AmbienteTest amb;
    aggiungiDipendenti(amb, 3000, QStringLiteral("A"));
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    const QString destinazione = Backup::DestinazioneBackup(amb.archivio(), cartella);
    QCOMPARE(QFileInfo(destinazione).fileName(), backupDi(amb));

    // Stopped half way: nothing is left in the folder.
    int numero = 0;
    try {
        Backup::CopiaControllata(amb.archivio(), destinazione, [](int percento) { return percento < 30; });
    } catch (const ErroreArchivio& e) {
        numero = e.numero();
    }
    QCOMPARE(numero, int(CodiciErrore::Annullato));
    QCOMPARE(fileDi(cartella), QStringList());

    // A second copy into the same file while the first runs is refused; the first ends whole.
    QString secondo;
    int secondiFatti = 0;
    QList<int> passi;
    Backup::CopiaControllata(amb.archivio(), destinazione, [&](int percento) {
        if (passi.isEmpty())
            secondiFatti += Backup::CopiaArchivio(amb.archivio(), cartella, &secondo);
        passi << percento;
        return true;
    });
    QCOMPARE(secondiFatti, 0);
    QVERIFY2(secondo.contains(QStringLiteral("in corso")), qPrintable(secondo));
    QVERIFY(std::is_sorted(passi.begin(), passi.end()));
    QCOMPARE(passi.last(), 100);
    QCOMPARE(fileDi(cartella), QStringList { backupDi(amb) });
    QCOMPARE(contaDipendenti(destinazione), 3000);
}

void TestBackup::salvataggioAutomatico_data()
{
    QTest::addColumn<int>("interruttore");
    QTest::addColumn<bool>("diRete");
    QTest::addColumn<bool>("atteso");
    QTest::newRow("acceso") << 1 << false << true;
    QTest::newRow("acceso, valore -1") << -1 << false << true;
    QTest::newRow("spento") << 0 << false << false;
    QTest::newRow("archivio in rete") << 1 << true << false;
}

void TestBackup::salvataggioAutomatico()
{
    QFETCH(int, interruttore);
    QFETCH(bool, diRete);
    QFETCH(bool, atteso);
    if (diRete && AmbienteTest::SuServer())
        QSKIP("a network share's path is a file's");
    AmbienteTest amb;
    const QString cartella = amb.percorso(QStringLiteral("automatico"));
    azienda(amb, { { "PercorsoBackup", cartella }, { "SalvataggioAutomatico", interruttore } });
    // "//" opens the same file on Linux, and is what a network share path starts with.
    const QString archivio = diRete ? QStringLiteral("/") + amb.archivio() : amb.archivio();
    const std::unique_ptr<LavoroInSottofondo> lavoro(PreparaSalvataggioAutomatico(archivio));
    QCOMPARE(bool(lavoro), atteso);
    if (lavoro) {
        lavoro->avvia();
        lavoro->attendi();
        QVERIFY2(lavoro->riuscito(), qPrintable(lavoro->descrizioneErrore()));
    }
    QCOMPARE(QFileInfo::exists(QDir(cartella).filePath(backupDi(amb))), atteso);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestBackup::backupManualeRiferisceIlFallimento()
{
    AmbienteTest amb;
    // A folder below a file can never be made (whoever runs the test).
    scriviFile(amb.percorso(QStringLiteral("unfile")), "x");
    const QString nonScrivibile = amb.percorso(QStringLiteral("unfile/backup"));
    Backup::Esito esito = Backup::Salvataggio(amb.archivio(), nonScrivibile);
    QVERIFY(!esito.riuscito);
    QCOMPARE(esito.icona, Messaggi::Critical);
    QVERIFY2(esito.testo.startsWith(QStringLiteral("ATTENZIONE: SALVATAGGIO NON RIUSCITO.\n")),
        qPrintable(esito.testo));

    esito = Backup::Salvataggio(amb.archivio(), QStringLiteral(" "));
    QVERIFY(!esito.riuscito);
    QCOMPARE(esito.testo,
        QStringLiteral("ATTENZIONE: SALVATAGGIO NON RIUSCITO.\nCartella di backup non indicata."));

    // A file that is not an archive is not "backed up" either.
    scriviFile(amb.percorso(QStringLiteral("finto.mdb")), QByteArray(4096, 'z'));
    esito = Backup::Salvataggio(amb.percorso(QStringLiteral("finto.mdb")), amb.percorso(QStringLiteral("b")));
    QVERIFY(!esito.riuscito);
    QVERIFY(esito.testo != QStringLiteral("PROCEDURA TERMINATA"));
    QVERIFY(fileDi(amb.percorso(QStringLiteral("b"))).isEmpty());

    esito = Backup::Salvataggio(amb.archivio(), amb.percorso(QStringLiteral("ok")));
    QVERIFY(esito.riuscito);
    QCOMPARE(esito.testo, QStringLiteral("PROCEDURA TERMINATA"));
    QCOMPARE(fileDi(amb.percorso(QStringLiteral("ok"))), QStringList { backupDi(amb) });
    // The work asks and says nothing itself.
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestBackup::elencoDalPiuRecente()
{
    AmbienteTest amb(false);
    const QString cartella = amb.cartella();
    for (const char* nome : { "151223-Archivio.mdb", "010124-Archivio.mdb", "note.mdb", "020124-Prova 1.mdb",
             "010124-Altro.mdb", "311299-Vecchio.mdb", "leggimi.txt" })
        scriviFile(QDir(cartella).filePath(QString::fromLatin1(nome)), "x");
    QString avviso = QStringLiteral("non toccato");
    QCOMPARE(Backup::ElencoBackup(cartella, &avviso),
        QStringList({ QStringLiteral("020124-Prova 1.mdb"), QStringLiteral("010124-Altro.mdb"),
            QStringLiteral("010124-Archivio.mdb"), QStringLiteral("151223-Archivio.mdb"),
            QStringLiteral("311299-Vecchio.mdb"), QStringLiteral("note.mdb") }));
    QCOMPARE(avviso, QString());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestBackup::elencoCartellaVuotaOMancante()
{
    AmbienteTest amb(false);
    QDir().mkpath(amb.percorso(QStringLiteral("vuota")));
    for (const char* cartella : { "manca", "vuota" }) {
        QString avviso;
        QVERIFY(Backup::ElencoBackup(amb.percorso(QString::fromLatin1(cartella)), &avviso).isEmpty());
        QCOMPARE(avviso, QStringLiteral("Attenzione percorso non corretto"));
    }
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestBackup::impostazioniBackup()
{
    AmbienteTest amb;
    Backup::ImpostazioniBackup imp = Backup::LeggiImpostazioniBackup(amb.archivio());
    QVERIFY(!imp.riga);
    QVERIFY(!imp.automatico);
    QVERIFY(!imp.percorso.isEmpty());

    QVERIFY(Backup::MemorizzaPercorsoBackup(amb.archivio(), QStringLiteral("/dati/backup"), true));
    imp = Backup::LeggiImpostazioniBackup(amb.archivio());
    QVERIFY(imp.riga);
    QVERIFY(imp.automatico);
    QCOMPARE(imp.percorso, QStringLiteral("/dati/backup"));

    QVERIFY(Backup::MemorizzaPercorsoBackup(amb.archivio(), QStringLiteral("/altro"), false));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
    QCOMPARE(amb.sql(QStringLiteral("SELECT SalvataggioAutomatico FROM Configurazioni")).toInt(), 0);
    QCOMPARE(Backup::LeggiImpostazioniBackup(amb.archivio()).percorso, QStringLiteral("/altro"));
}

void TestBackup::ripristino()
{
    AmbienteTest amb;
    amb.sessione.CartellaInf = amb.percorso(QStringLiteral("programma"));
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    aggiungiDipendenti(amb, 3, QStringLiteral("A"));
    QVERIFY(Backup::CopiaArchivio(amb.archivio(), cartella));
    aggiungiDipendenti(amb, 7, QStringLiteral("B"));
    // The backup lacks a table; the restore adds it.
    const QString nome = backupDi(amb);
    AmbienteTest::sqlSu(QDir(cartella).filePath(nome), QStringLiteral("DROP TABLE Stampa2"));

    const Backup::Esito esito
        = Backup::Ripristino(amb.archivio(), cartella, nome, Percorsi::CartellaCopiaSicurezza(amb.sessione));
    QVERIFY(esito.riuscito);
    QCOMPARE(esito.testo, QString());
    QCOMPARE(contaDipendenti(amb.archivio()), 3);
    // The archive as it was before is kept as the safety copy.
    QCOMPARE(contaDipendenti(QDir(amb.sessione.CartellaInf).filePath(QStringLiteral("copia.mdb"))), 10);
    Archivio db(amb.archivio());
    QVERIFY(db.esisteTabella(QStringLiteral("Stampa2")));
    // No work file is left beside the archive.
    QCOMPARE(fileDiLavoro(amb.cartella()), QStringList());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestBackup::ripristinoMentreUnAltraIstanzaUsaLArchivio()
{
    AmbienteTest amb;
    amb.sessione.CartellaInf = amb.percorso(QStringLiteral("programma"));
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    QVERIFY(Backup::CopiaArchivio(amb.archivio(), cartella));
    aggiungiDipendenti(amb, 5, QStringLiteral("A"));
    const QByteArray prima = AmbienteTest::Impronta(amb.archivio());

    ProcessoPresenza::Processo altra(QStringLiteral("condivisa"), amb.archivio());
    QCOMPARE(altra.stato(), QStringLiteral("ottenuta"));
    const Backup::Esito esito = Backup::Ripristino(
        amb.archivio(), cartella, backupDi(amb), Percorsi::CartellaCopiaSicurezza(amb.sessione));
    QVERIFY(!esito.riuscito);
    QCOMPARE(esito.testo, TestoOccupatoRipristino);
    QCOMPARE(esito.icona, Messaggi::Critical);
    QCOMPARE(AmbienteTest::Impronta(amb.archivio()), prima);
    QCOMPARE(contaDipendenti(amb.archivio()), 5);

    // Once the other instance has gone, the same restore goes through.
    altra.termina();
    QVERIFY(Backup::Ripristino(
        amb.archivio(), cartella, backupDi(amb), Percorsi::CartellaCopiaSicurezza(amb.sessione))
                .riuscito);
    QCOMPARE(contaDipendenti(amb.archivio()), 0);
}

void TestBackup::ripristinoConLaPropriaPresenza()
{
    AmbienteTest amb;
    amb.sessione.CartellaInf = amb.percorso(QStringLiteral("programma"));
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    QVERIFY(Backup::CopiaArchivio(amb.archivio(), cartella));
    aggiungiDipendenti(amb, 5, QStringLiteral("A"));
    // The settings window restores while this very instance uses the archive.
    QCOMPARE(Presenza::Inizia(amb.archivio()), Presenza::Stato::Ottenuta);
    QVERIFY(Backup::Ripristino(
        amb.archivio(), cartella, backupDi(amb), Percorsi::CartellaCopiaSicurezza(amb.sessione))
                .riuscito);
    QCOMPARE(contaDipendenti(amb.archivio()), 0);
    QCOMPARE(ProcessoPresenza::ProvaEsclusiva(amb.archivio()), QStringLiteral("occupata"));
}

void TestBackup::ripristinoDaBackupDanneggiato_data()
{
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<int>("guasto");
    QTest::newRow("testo qualsiasi") << QByteArray("non sono un archivio\n").repeated(100) << int(Contenuto);
    QTest::newRow("vuoto") << QByteArray() << int(Contenuto);
    QTest::newRow("archivio troncato") << QByteArray() << int(Troncato);
    QTest::newRow("pagina di mezzo") << QByteArray() << int(PaginaDiMezzo);
    QByteArray intestazione("SQLite format 3\0", 16);
    QTest::newRow("intestazione e rumore") << intestazione + QByteArray(8192, '\x5a') << int(Contenuto);
}

void TestBackup::ripristinoDaBackupDanneggiato()
{
    QFETCH(QByteArray, contenuto);
    QFETCH(int, guasto);
    AmbienteTest amb;
    amb.sessione.CartellaInf = amb.percorso(QStringLiteral("programma"));
    aggiungiDipendenti(amb, 300, QStringLiteral("A"));
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    const QString nome = backupDi(amb);
    if (guasto == Troncato) {
        QVERIFY(Backup::CopiaArchivio(amb.archivio(), cartella));
        QFile f(QDir(cartella).filePath(nome));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(f.size() / 2));
    } else if (guasto == PaginaDiMezzo) {
        // Opening the backup does not meet the damage; reading all of its rows does.
        ArchivioDanneggiato::RiempiMovimenti(
            amb.archivio(), 300, QStringLiteral("Marzo"), QStringLiteral("2026"));
        QVERIFY(Backup::CopiaArchivio(amb.archivio(), cartella));
        QVERIFY(ArchivioDanneggiato::DanneggiaPaginaCentrale(QDir(cartella).filePath(nome)));
    } else {
        QDir().mkpath(cartella);
        scriviFile(QDir(cartella).filePath(nome), contenuto);
    }
    const QByteArray prima = AmbienteTest::Impronta(amb.archivio());

    const Backup::Esito esito
        = Backup::Ripristino(amb.archivio(), cartella, nome, Percorsi::CartellaCopiaSicurezza(amb.sessione));
    QVERIFY(!esito.riuscito);
    QVERIFY2(esito.testo.contains(QStringLiteral("non è un archivio valido")), qPrintable(esito.testo));
    QVERIFY(esito.testo.contains(QStringLiteral("Ripristino non effettuato")));
    QCOMPARE(esito.icona, Messaggi::Critical);
    QCOMPARE(AmbienteTest::Impronta(amb.archivio()), prima);
    QCOMPARE(contaDipendenti(amb.archivio()), 300);
    QCOMPARE(fileDiLavoro(amb.cartella()), QStringList());
}

void TestBackup::ripristinoArchivioMancanteODanneggiato()
{
    AmbienteTest amb;
    amb.sessione.CartellaInf = amb.percorso(QStringLiteral("programma"));
    aggiungiDipendenti(amb, 4, QStringLiteral("A"));
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    QVERIFY(Backup::CopiaArchivio(amb.archivio(), cartella));
    const QString nome = backupDi(amb);

    // (A server's database is neither overwritten with noise nor removed by the restore's users.)
    if (!AmbienteTest::SuServer()) {
        // A damaged archive is what a restore is for: it is kept as the safety copy and replaced.
        scriviFile(amb.archivio(), QByteArray(5000, 'k'));
        QVERIFY(
            Backup::Ripristino(amb.archivio(), cartella, nome, Percorsi::CartellaCopiaSicurezza(amb.sessione))
                .riuscito);
        QCOMPARE(contaDipendenti(amb.archivio()), 4);
        QCOMPARE(AmbienteTest::Impronta(QDir(amb.sessione.CartellaInf).filePath(QStringLiteral("copia.mdb"))),
            QCryptographicHash::hash(QByteArray(5000, 'k'), QCryptographicHash::Sha256));

        // A missing archive comes back from the backup.
        QVERIFY(QFile::remove(amb.archivio()));
        QVERIFY(
            Backup::Ripristino(amb.archivio(), cartella, nome, Percorsi::CartellaCopiaSicurezza(amb.sessione))
                .riuscito);
        QCOMPARE(contaDipendenti(amb.archivio()), 4);
    }

    // Missing backup file, folder too short: nothing happens beyond the message.
    const QByteArray prima = AmbienteTest::Impronta(amb.archivio());
    Backup::Esito esito = Backup::Ripristino(amb.archivio(), cartella, QStringLiteral("010101-Archivio.mdb"),
        Percorsi::CartellaCopiaSicurezza(amb.sessione));
    QVERIFY(!esito.riuscito);
    QCOMPARE(
        esito.testo, QStringLiteral("Problemi nella procedura di ripristino ... ripristino non effettuato"));
    QCOMPARE(esito.icona, Messaggi::Critical);
    esito = Backup::Ripristino(
        amb.archivio(), QStringLiteral("/"), nome, Percorsi::CartellaCopiaSicurezza(amb.sessione));
    QVERIFY(!esito.riuscito);
    QCOMPARE(esito.testo, QStringLiteral("Cartella di backup non valida"));
    QCOMPARE(esito.icona, Messaggi::Critical);
    QCOMPARE(AmbienteTest::Impronta(amb.archivio()), prima);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestBackup::compattazione()
{
    AmbienteTest amb;
    aggiungiDipendenti(amb, 2000, QStringLiteral("A"));
    amb.sql(QStringLiteral("DELETE FROM TabellaAnagrafiche WHERE Codice <> 'A7' AND Codice <> 'A1999'"));
    azienda(amb, { { "RagSociale", QStringLiteral("Ditta") } });
    const qint64 primaDimensione = QFileInfo(amb.archivio()).size();

    const Backup::Esito esito = Backup::Ottimizzazione(amb.archivio());
    QVERIFY(esito.riuscito);
    QCOMPARE(esito.testo, QStringLiteral("Ottimizzazione conclusa"));
    if (AmbienteTest::SuServer()) {
        // The server keeps its files; what it learnt of the table counts the live rows alone.
        QCOMPARE(
            amb.sql(QStringLiteral("SELECT reltuples FROM pg_class WHERE relname = 'tabellaanagrafiche'"))
                .toInt(),
            2);
    } else {
        QVERIFY2(QFileInfo(amb.archivio()).size() < primaDimensione / 4,
            qPrintable(
                QStringLiteral("%1 -> %2").arg(primaDimensione).arg(QFileInfo(amb.archivio()).size())));
        QCOMPARE(amb.sql(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }
    QStringList codici;
    {
        Archivio db(amb.archivio());
        QSqlQuery q = db.esegui(QStringLiteral("SELECT Codice FROM TabellaAnagrafiche ORDER BY Codice"));
        while (q.next())
            codici << q.value(0).toString();
    }
    QCOMPARE(codici, QStringList({ QStringLiteral("A1999"), QStringLiteral("A7") }));
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT RagSociale FROM Configurazioni")).toString(), QStringLiteral("Ditta"));
    QCOMPARE(fileDiLavoro(amb.cartella()), QStringList());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestBackup::compattazioneOccupata()
{
    AmbienteTest amb;
    aggiungiDipendenti(amb, 500, QStringLiteral("A"));
    amb.sql(QStringLiteral("DELETE FROM TabellaAnagrafiche"));
    const QByteArray prima = AmbienteTest::Impronta(amb.archivio());
    if (AmbienteTest::SuServer()) {
        // The server compacts beside the other copies and their writes: nobody has to leave.
        ProcessoPresenza::Processo altra(QStringLiteral("condivisa"), amb.archivio());
        QCOMPARE(altra.stato(), QStringLiteral("ottenuta"));
        Archivio scrive(amb.archivio());
        scrive.inizia();
        scrive.esegui(QStringLiteral("INSERT INTO TabellaAnagrafiche (Codice) VALUES ('in corso')"));
        const Backup::Esito esito = Backup::Ottimizzazione(amb.archivio());
        QVERIFY2(esito.riuscito, qPrintable(esito.testo));
        QCOMPARE(AmbienteTest::Impronta(amb.archivio()), prima);
        scrive.conferma();
        QCOMPARE(contaDipendenti(amb.archivio()), 1);
        return;
    }
    {
        ProcessoPresenza::Processo altra(QStringLiteral("condivisa"), amb.archivio());
        QCOMPARE(altra.stato(), QStringLiteral("ottenuta"));
        const Backup::Esito esito = Backup::Ottimizzazione(amb.archivio());
        QVERIFY(!esito.riuscito);
        QCOMPARE(esito.testo, TestoOccupatoOttimizzazione);
        QCOMPARE(esito.icona, Messaggi::Warning);
        QCOMPARE(AmbienteTest::Impronta(amb.archivio()), prima);
    }

    // A write in progress in another connection stops it the same way.
    {
        Archivio altra(amb.archivio());
        altra.inizia();
        altra.esegui(QStringLiteral("INSERT INTO TabellaAnagrafiche (Codice) VALUES ('in corso')"));
        const Backup::Esito esito = Backup::Ottimizzazione(amb.archivio());
        QVERIFY(!esito.riuscito);
        QCOMPARE(esito.testo, TestoOccupatoOttimizzazione);
        altra.conferma();
    }
    QCOMPARE(contaDipendenti(amb.archivio()), 1);

    // This instance's own presence does not stop it.
    const qint64 primaDimensione = QFileInfo(amb.archivio()).size();
    QCOMPARE(Presenza::Inizia(amb.archivio()), Presenza::Stato::Ottenuta);
    QVERIFY(Backup::Ottimizzazione(amb.archivio()).riuscito);
    QCOMPARE(contaDipendenti(amb.archivio()), 1);
    QVERIFY(QFileInfo(amb.archivio()).size() < primaDimensione);
}

CARTAVIA_MAIN_CON_PRESENZA(QCoreApplication, TestBackup)
#include "tst_backup.moc"
