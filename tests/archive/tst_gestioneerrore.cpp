#include "AltroUtente.h"
#include "AmbienteTest.h"

#include "archive/Archivio.h"
#include "gui/archive/Attendere.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "gui/platform/ServiziGrafici.h"
#include "platform/Servizi.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

using Module1::GestioneErrore;

class TestGestioneErrore : public QObject
{
    Q_OBJECT

private slots:
    // The busy window, the password prompt and the progress window are the windows' own.
    void initTestCase() { ServiziGrafici::Installa(servizi()); }
    void cleanup();
    void archivioOccupatoPerQualcheIstante();
    void erroreNonOccupatoSaltato();
    void tabellaMancanteRicreata();
    void limitiDelContatore();
    void attesaSempliceRiprova();
    void diagnosticaFacoltativa();
};

namespace { } // namespace

void TestGestioneErrore::cleanup()
{
    if (Attendere* w = Attendere::Corrente())
        delete w;
    servizi().errori.MessaggiErroreAttivi = false;
}

void TestGestioneErrore::archivioOccupatoPerQualcheIstante()
{
    AmbienteTest amb;
    AltroUtente altro(amb.archivio());
    QVERIFY(altro.bloccato());
    QTimer::singleShot(900, [&] { altro.rilascia(); });

    QStringList etichette;
    QTimer campione;
    connect(&campione, &QTimer::timeout, this, [&] {
        // Before the first refresh the label still holds its initial text.
        if (Attendere* w = Attendere::Corrente();
            w && w->isVisible() && w->testoLabel1() != QStringLiteral("Attendere... Database Occupato"))
            etichette << w->testoLabel1();
    });
    campione.start(40);

    int tentativi = 0;
    const bool eseguito = EseguiPasso([&] {
        ++tentativi;
        Archivio db(amb.archivio());
        db.esegui(QStringLiteral("INSERT INTO TabellaTipi (Tipo) VALUES ('STRAORDINARIO')"));
    });
    campione.stop();

    QVERIFY(eseguito);
    QVERIFY(tentativi > 1);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaTipi")).toInt(), 1);
    QVERIFY(amb.messaggi.chiamate.isEmpty());

    // The counter shown in the window rises while the retries go on.
    QVERIFY(!etichette.isEmpty());
    QVERIFY(etichette.first().startsWith(QStringLiteral("Attendere... Database Occupato  //")));
    QVERIFY(etichette.first().endsWith(QStringLiteral("//")));
    auto numero = [](const QString& t) { return t.section(QStringLiteral("//"), 1, 1).toInt(); };
    QVERIFY(numero(etichette.last()) > numero(etichette.first()));
    QCOMPARE(numero(etichette.last()) <= tentativi, true);

    // The window is still there right after the last retry and closes by itself shortly after.
    QVERIFY(Attendere::Corrente() != nullptr);
    QVERIFY(Attendere::Corrente()->TimerAttesa.isActive());
    QCOMPARE(Attendere::Corrente()->TimerAttesa.interval(), 222);
    QTRY_VERIFY_WITH_TIMEOUT(Attendere::Corrente() == nullptr, 3000);
}

void TestGestioneErrore::erroreNonOccupatoSaltato()
{
    AmbienteTest amb;
    servizi().errori.ContatoreErrori = 5;
    int tentativi = 0;
    bool dopo = false;
    const bool eseguito = EseguiPasso([&] {
        ++tentativi;
        Archivio db(amb.archivio());
        db.esegui(QStringLiteral("INSERT INTO TabellaTipi (Campo) VALUES ('x')"));
        dopo = true;
    });
    QVERIFY(!eseguito);
    QVERIFY(!dopo);
    QCOMPARE(tentativi, 1);
    QCOMPARE(servizi().errori.ContatoreErrori, 0);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QVERIFY(Attendere::Corrente() == nullptr);
}

void TestGestioneErrore::tabellaMancanteRicreata()
{
    AmbienteTest amb;
    amb.sql(QStringLiteral("DROP TABLE TabellaStati"));
    int righe = -1;
    // The first read fails and is skipped; the table is back for the next one.
    QVERIFY(!EseguiPasso([&] {
        Archivio db(amb.archivio());
        righe = db.valore(QStringLiteral("SELECT count(*) FROM TabellaStati")).toInt();
    }));
    QCOMPARE(righe, -1);
    QVERIFY(EseguiPasso([&] {
        Archivio db(amb.archivio());
        righe = db.valore(QStringLiteral("SELECT count(*) FROM TabellaStati")).toInt();
    }));
    QCOMPARE(righe, 0);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestGestioneErrore::limitiDelContatore()
{
    AmbienteTest amb(false);
    servizi().errori.ContatoreErrori = 98;
    QVERIFY(GestioneErrore(3260, QString())); // the 99th is still retried
    QCOMPARE(servizi().errori.ContatoreErrori, 99);
    QVERIFY(!GestioneErrore(3260, QString())); // the 100th is skipped
    QVERIFY(!GestioneErrore(3024, QString())); // and is not reset on this path
    QCOMPARE(servizi().errori.ContatoreErrori, 101);
    QCOMPARE(amb.terminazioni, 0);
    servizi().errori.ContatoreErrori = 10000;
    QVERIFY(!GestioneErrore(3024, QString()));
    QCOMPARE(amb.terminazioni, 1);
    servizi().errori.ContatoreErrori = 0;
    for (int n : { 3051, 3356, 91 })
        QVERIFY(GestioneErrore(n, QString()));
    QCOMPARE(servizi().errori.ContatoreErrori, 3);
}

void TestGestioneErrore::attesaSempliceRiprova()
{
    AmbienteTest amb;
    AltroUtente altro(amb.archivio());
    QVERIFY(altro.bloccato());
    QTimer::singleShot(300, [&] { altro.rilascia(); });
    servizi().errori.ContatoreErrori = 7;
    QVERIFY(EseguiConAttesa([&] {
        Archivio db(amb.archivio());
        db.esegui(QStringLiteral("INSERT INTO TabellaTipi (Tipo) VALUES ('A')"));
    }));
    // This path neither counts nor resets.
    QCOMPARE(servizi().errori.ContatoreErrori, 7);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaTipi")).toInt(), 1);

    int numero = 0;
    QString descrizione;
    QVERIFY(!EseguiConAttesa(
        [&] { Archivio db(amb.percorso(QStringLiteral("manca.mdb"))); }, &numero, &descrizione));
    QCOMPARE(numero, 3024);
    QVERIFY(descrizione.contains(QStringLiteral("manca.mdb")));
}

void TestGestioneErrore::diagnosticaFacoltativa()
{
    AmbienteTest amb(false);
    servizi().errori.MessaggiErroreAttivi = true;
    amb.messaggi.risposte << Messaggi::Ok << Messaggi::Cancel;
    QVERIFY(GestioneErrore(3000, QStringLiteral("guasto")));
    QVERIFY(!GestioneErrore(3000, QStringLiteral("guasto")));
    QCOMPARE(amb.messaggi.chiamate.size(), 2);
    QCOMPARE(amb.messaggi.chiamate.first().testo,
        QStringLiteral(
            "  -- Messaggi di Errore Attivo (in Config->Utility) --  \r\r3000 guasto\rRipetere Stessa "
            "Istruzione ?"));
}

QTEST_MAIN(TestGestioneErrore)
#include "tst_gestioneerrore.moc"
