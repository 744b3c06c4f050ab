// Files that are not whole archives (empty, cut short, garbage, an old engine's file) opened from
// the selection window and by the main window: a clear message, the file as it was and the
// program still running.
#include "AmbienteTest.h"
#include "ArchivioDanneggiato.h"

#include "archive/Archivio.h"
#include "gui/archive/AvvioSelezione.h"
#include "archive/Backup.h"
#include "gui/archive/DialoghiBackup.h"
#include "archive/FunzioniPerVariabili.h"
#include "archive/Module1.h"
#include "archive/Password.h"
#include "archive/Percorsi.h"
#include "archive/Presenza.h"
#include "gui/diary/F_Avvio.h"
#include "comune/Griglia.h"
#include "comune/Orologio.h"
#include "diary/SalvataggioMese.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QPointer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray Leggi(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<illeggibile>");
}

void Scrivi(const QString& file, const QByteArray& dati)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(dati), dati.size());
}

// A real archive with enough rows to span many pages.
QByteArray ArchivioVero(const AmbienteTest& amb)
{
    amb.sql(QStringLiteral(
        "INSERT INTO TabellaAnagrafiche (Codice, RagSociale, Attivo) VALUES ('R1', 'Rossi', 1)"));
    for (int i = 0; i < 300; ++i)
        amb.sql(QStringLiteral(
                    "INSERT INTO TabellaMovimenti (Data, Giorno, Mese, Anno, IndiceAnagrafica, Tipo, Stato, "
                    "Note) VALUES ('2024-03-01', ?, 'Marzo', '2024', 1, 'ORDINARIO', 'F', ?)"),
            { QString::number(i), QString(200, QLatin1Char('n')) });
    return Leggi(amb.archivio());
}

bool MessaggioChiaro(const MessaggiScriptati& m)
{
    for (const MessaggiScriptati::Chiamata& c : m.chiamate)
        if (c.icona == Messaggi::Critical
            && (c.testo.contains(QStringLiteral("non è un archivio"))
                || c.testo.contains(QStringLiteral("danneggiato"))))
            return true;
    return false;
}

} // namespace

class TestArchivioDanneggiato : public QObject
{
    Q_OBJECT

private slots:
    void init() { }
    void cleanup() { }
    void file_data();
    void dallaSelezione_data() { file_data(); }
    void dallaSelezione();
    void dallaFinestraPrincipale_data() { file_data(); }
    void dallaFinestraPrincipale();
    void dannoOltreLePrimePagine();
};

void TestArchivioDanneggiato::file_data()
{
    QTest::addColumn<QString>("genere");
    QTest::newRow("vuoto") << QStringLiteral("vuoto");
    QTest::newRow("solo intestazione") << QStringLiteral("intestazione");
    QTest::newRow("troncato a una pagina") << QStringLiteral("pagina");
    QTest::newRow("troncato a metà") << QStringLiteral("meta");
    QTest::newRow("spazzatura") << QStringLiteral("spazzatura");
    QTest::newRow("pagine mescolate") << QStringLiteral("mescolato");
    QTest::newRow("vecchio motore Jet") << QStringLiteral("jet");
    QTest::newRow("testo") << QStringLiteral("testo");
}

namespace {
QByteArray Contenuto(const QString& genere, const AmbienteTest& amb)
{
    const QByteArray vero = ArchivioVero(amb);
    QRandomGenerator caso(42);
    if (genere == QLatin1String("vuoto"))
        return {};
    if (genere == QLatin1String("intestazione"))
        return vero.left(100);
    if (genere == QLatin1String("pagina"))
        return vero.left(4096);
    if (genere == QLatin1String("meta"))
        return vero.left(vero.size() / 2);
    if (genere == QLatin1String("spazzatura")) {
        QByteArray b(8192, '\0');
        for (char& c : b)
            c = char(caso.bounded(256));
        return b;
    }
    if (genere == QLatin1String("mescolato")) {
        // The first page intact, the rest overwritten: the engine reads the header and then fails.
        QByteArray b = vero;
        for (qsizetype i = 4096; i < b.size(); ++i)
            b[i] = char(caso.bounded(256));
        return b;
    }
    if (genere == QLatin1String("jet")) {
        QByteArray b("\x00\x01\x00\x00Standard Jet DB\x00", 20);
        b.append(QByteArray(4096 - b.size(), '\x5a'));
        return b;
    }
    return QByteArray("Questo non è un archivio.\n").repeated(40);
}
} // namespace

void TestArchivioDanneggiato::dallaSelezione()
{
    QFETCH(QString, genere);
    AmbienteTest amb;
    const QString archivi = amb.percorso(QStringLiteral("archivi"));
    const QString casa = amb.percorso(QStringLiteral("casa"));
    const QString programma = amb.percorso(QStringLiteral("programma"));
    for (const QString& c : { archivi, casa, programma })
        QDir().mkpath(c);
    qputenv("HOME", QFile::encodeName(casa));
    servizi().cartellaEseguibile = programma;
    amb.sessione.CartellaInf.clear();
    const QString file = QDir(archivi).filePath(QStringLiteral("Danneggiato.mdb"));
    const QByteArray dati = Contenuto(genere, amb);
    Scrivi(file, dati);
    int aperture = 0;
    servizi().apriPrincipale = [&aperture] { ++aperture; };
    {
        AvvioSelezione w(amb.sessione);
        w.ImpostaPercorso(archivi);
        w.ImpostaNome(QStringLiteral("Danneggiato.mdb"));
        amb.messaggi.svuota();
        w.OK_Click();
        QVERIFY2(MessaggioChiaro(amb.messaggi), qPrintable(amb.messaggi.testi().join(QLatin1String(" | "))));
        QCOMPARE(aperture, 0);
        QCOMPARE(amb.terminazioni, 0);
        QVERIFY(Leggi(file) == dati);
        // Another try says the same and still changes nothing.
        amb.messaggi.svuota();
        w.OK_Click();
        QVERIFY(MessaggioChiaro(amb.messaggi));
        QVERIFY(Leggi(file) == dati);
    }
    Presenza::Termina();
    QVERIFY(Leggi(file) == dati);
    const QStringList accanto = QDir(archivi).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(accanto, QStringList { QStringLiteral("Danneggiato.mdb") });
    servizi().apriPrincipale = {};
    servizi().cartellaEseguibile.clear();
}

void TestArchivioDanneggiato::dallaFinestraPrincipale()
{
    QFETCH(QString, genere);
    AmbienteTest amb;
    const QString file = amb.percorso(QStringLiteral("Danneggiato.mdb"));
    const QByteArray dati = Contenuto(genere, amb);
    Scrivi(file, dati);
    amb.sessione.PercorsoArchivio = file;
    amb.messaggi.svuota();
    F_Avvio* f = F_Avvio::Apri(amb.sessione);
    QVERIFY2(!f, "the main window opened on a damaged archive");
    QVERIFY2(MessaggioChiaro(amb.messaggi), qPrintable(amb.messaggi.testi().join(QLatin1String(" | "))));
    QCOMPARE(amb.terminazioni, 0);
    QVERIFY(Leggi(file) == dati);
    const QStringList accanto
        = QDir(amb.cartella()).entryList({ QStringLiteral("Danneggiato*") }, QDir::Files | QDir::Hidden);
    QCOMPARE(accanto, QStringList { QStringLiteral("Danneggiato.mdb") });
}

void TestArchivioDanneggiato::dannoOltreLePrimePagine()
{
    // Damage deep in the rows of one month: opening reads too little to meet it; the operation that
    // reads those rows meets it, says so, and from then on nothing is written.
    AmbienteTest amb;
    amb.sql(
        QStringLiteral("INSERT INTO TabellaVersione (Versione) VALUES (?)"), { Module1::VersioneProgramma });
    amb.sql(QStringLiteral(
        "INSERT INTO TabellaAnagrafiche (Codice, RagSociale, Attivo) VALUES ('R1', 'Rossi', 1)"));
    ArchivioDanneggiato::RiempiMovimenti(
        amb.archivio(), 3000, QStringLiteral("Marzo"), QStringLiteral("2024"));
    QVERIFY(ArchivioDanneggiato::DanneggiaPaginaCentrale(amb.archivio()));
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
    QPointer<F_Avvio> f = F_Avvio::Apri(amb.sessione);
    QVERIFY2(f, qPrintable(amb.messaggi.testi().join(QLatin1String(" | "))));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    const QByteArray dopoApertura = Leggi(amb.archivio());

    // Back to waiting for the user: the actions of the cases before are over.
    QCoreApplication::processEvents();
    f->succ_Click();
    QCOMPARE(f->Mese(), QStringLiteral("Marzo"));
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QVERIFY(MessaggioChiaro(amb.messaggi));
    QVERIFY(Archivio::NotoDanneggiato(amb.archivio()));

    // A save of the month and a setting are neither written nor reported as done.
    SalvataggioMese salvataggio(
        amb.archivio(), f->griglia(), QStringLiteral("Marzo"), QStringLiteral("2024"));
    QVERIFY(!salvataggio.Salva());
    QVERIFY(salvataggio.descrizioneErrore().contains(QStringLiteral("danneggiato")));
    FunzioniPerVariabili::ScriviVariabile(amb.archivio(), QStringLiteral("Prova"), QStringLiteral("1"));
    QVERIFY(Leggi(amb.archivio()) == dopoApertura);

    // A backup is not taken of it, and the check on request says what is wrong.
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    QString errore;
    QVERIFY(!Backup::CopiaArchivio(amb.archivio(), cartella, &errore));
    QVERIFY2(errore.contains(QStringLiteral("danneggiato")), qPrintable(errore));
    QVERIFY(QDir(cartella).entryList(QDir::Files | QDir::Hidden).isEmpty());
    amb.messaggi.svuota();
    QVERIFY(!DialoghiBackup::VerificaArchivio(amb.archivio()));
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);
    QVERIFY(amb.messaggi.chiamate.at(0).testo.contains(QStringLiteral("è danneggiato")));
    QVERIFY(Leggi(amb.archivio()) == dopoApertura);
    f->close();
    QTRY_VERIFY(!f);
    Orologio::ImpostaAdesso({});
}

QTEST_MAIN(TestArchivioDanneggiato)
#include "tst_archiviodanneggiato.moc"
