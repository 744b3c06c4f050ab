#include "AmbienteTest.h"

#include "archive/Module1.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QTest>
#include <QTimer>

using namespace Module1;

class TestModule1 : public QObject
{
    Q_OBJECT

private slots:
    void nomiMesiEGiorni();
    void controllaData_data();
    void controllaData();
    void controllaDataIndipendenteDalLocale();
    void duplicaApici_data();
    void duplicaApici();
    void valoreNumerico_data();
    void valoreNumerico();
    void formattaNumero_data();
    void formattaNumero();
    void sostituisciTesto_data();
    void sostituisciTesto();
    void pausaLasciaGirareGliEventi();
    void caricaConfigurazione();
};

void TestModule1::nomiMesiEGiorni()
{
    QCOMPARE(NumeroMese(QStringLiteral("MARZO")), 3);
    QCOMPARE(NumeroMese(QStringLiteral("marzo ")), 0);
    QCOMPARE(NumeroMese(QStringLiteral("dicembre")), 12);
    QCOMPARE(NumeroMese(QString()), 0);
    QCOMPARE(NomeMese(1), QStringLiteral("Gennaio"));
    QCOMPARE(NomeMese(12), QStringLiteral("Dicembre"));
    QCOMPARE(NomeMese(13), QString());
    QCOMPARE(NomeMese(0), QString());
    QCOMPARE(NomeMese(QStringLiteral("9")), QStringLiteral("Settembre"));
    QCOMPARE(NomeMese(QStringLiteral("nove")), QString());
    for (int m = 1; m <= 12; ++m)
        QCOMPARE(NumeroMese(NomeMese(m)), m);
    QCOMPARE(NomeGiorno(0), QString());
    QCOMPARE(NomeGiorno(8), QString());
    QCOMPARE(NomeGiorno(1), QStringLiteral("Domenica"));
    QCOMPARE(NomeGiorno(3), QStringLiteral("Martedì"));
    QCOMPARE(NomeGiorno(7), QStringLiteral("Sabato"));
    // 7 December 2026 is a Monday, 13 December a Sunday.
    QCOMPARE(NomeGiorno(NumeroGiornoSettimana(QDate(2026, 12, 7))), QStringLiteral("Lunedì"));
    QCOMPARE(NumeroGiornoSettimana(QDate(2026, 12, 13)), 1);
}

void TestModule1::controllaData_data()
{
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<bool>("messaggio");

    QTest::newRow("vuoto") << ""
                           << "" << false;
    QTest::newRow("sei cifre") << "010124"
                               << "01/01/2024" << false;
    QTest::newRow("otto cifre") << "15032021"
                                << "15/03/2021" << false;
    QTest::newRow("otto cifre con zero") << "01022024"
                                         << "01/02/2024" << false;
    QTest::newRow("gia valida") << "1/2/2024"
                                << "01/02/2024" << false;
    QTest::newRow("anno a due cifre recente") << "5/6/29"
                                              << "05/06/2029" << false;
    QTest::newRow("anno a due cifre vecchio") << "5/6/30"
                                              << "05/06/1930" << false;
    QTest::newRow("trattini") << "05-06-2020"
                              << "05/06/2020" << false;
    QTest::newRow("bisestile") << "29/02/2024"
                               << "29/02/2024" << false;
    QTest::newRow("31 febbraio") << "31/02/2024"
                                 << "31/02/2024" << true;
    QTest::newRow("29 febbraio non bisestile") << "29/02/2023"
                                               << "29/02/2023" << true;
    QTest::newRow("mese 13") << "01/13/2024"
                             << "01/13/2024" << true;
    QTest::newRow("testo") << "domani"
                           << "domani" << true;
    QTest::newRow("sei cifre impossibili") << "999999"
                                           << "999999" << true;
    QTest::newRow("otto cifre impossibili") << "99999999"
                                            << "99999999" << true;
    QTest::newRow("zeri davanti") << "000002"
                                  << "000002" << true;
    QTest::newRow("cinque cifre") << "12345"
                                  << "12345" << true;
    QTest::newRow("sei zeri") << "000000"
                              << "000000" << true;
    QTest::newRow("otto zeri") << "00000000"
                               << "00000000" << true;
}

void TestModule1::controllaData()
{
    QFETCH(QString, digitato);
    QFETCH(QString, atteso);
    QFETCH(bool, messaggio);
    AmbienteTest amb(false);
    QString testo = digitato;
    QCOMPARE(ControllaData(testo), atteso);
    QCOMPARE(testo, atteso);
    QCOMPARE(amb.messaggi.chiamate.size(), messaggio ? 1 : 0);
    if (messaggio) {
        QCOMPARE(amb.messaggi.chiamate.first().testo, QStringLiteral("La data non è corretta"));
        QCOMPARE(amb.messaggi.chiamate.first().titolo, QStringLiteral("DATA"));
        QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
    }
}

void TestModule1::controllaDataIndipendenteDalLocale()
{
    AmbienteTest amb(false);
    const QLocale prima;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QString t = QStringLiteral("03/04/2024");
    QCOMPARE(ControllaData(t), QStringLiteral("03/04/2024"));
    QCOMPARE(LeggiData(t), QDate(2024, 4, 3));
    QCOMPARE(FormattaNumero(7.5), QStringLiteral("7,5"));
    QLocale::setDefault(prima);
}

void TestModule1::duplicaApici_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("vuoto") << ""
                           << "";
    QTest::newRow("senza") << "Rossi"
                           << "Rossi";
    QTest::newRow("uno") << "D'Angelo"
                         << "D''Angelo";
    QTest::newRow("ai bordi") << "'x'"
                              << "''x''";
    QTest::newRow("doppio") << "a''b"
                            << "a''''b";
}

void TestModule1::duplicaApici()
{
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(DuplicaApici(testo), atteso);
}

void TestModule1::valoreNumerico_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<double>("atteso");
    QTest::newRow("vuoto") << "" << 0.0;
    QTest::newRow("lettere") << "abc" << 0.0;
    QTest::newRow("virgola sola") << "," << 0.0;
    QTest::newRow("meno solo") << "-" << 0.0;
    QTest::newRow("dodici e mezzo") << "12,5" << 12.5;
    QTest::newRow("meno tre") << "-3" << -3.0;
    QTest::newRow("due meno") << "--3" << 3.0;
    QTest::newRow("meno in mezzo") << "3-" << -3.0;
    QTest::newRow("migliaia") << "1.234,50" << 1234.5;
    QTest::newRow("versione") << "2.0.6" << 206.0;
    QTest::newRow("due virgole") << "1,2,3" << 1.23;
    QTest::newRow("virgola iniziale") << ",5" << 0.5;
    QTest::newRow("virgola finale") << "8," << 8.0;
    QTest::newRow("spazi e lettere") << " 7 ore, 30" << 7.3;
    QTest::newRow("zeri") << "0008" << 8.0;
    // Past the largest double: no number rather than infinity.
    QTest::newRow("troppe cifre") << QString(400, QLatin1Char('9')) << 0.0;
    QTest::newRow("troppe cifre negative") << QLatin1Char('-') + QString(400, QLatin1Char('9')) << 0.0;
    QTest::newRow("grande ma finito") << QStringLiteral("1") + QString(300, QLatin1Char('0')) << 1e300;
}

void TestModule1::valoreNumerico()
{
    QFETCH(QString, testo);
    QFETCH(double, atteso);
    QCOMPARE(ValoreNumerico(testo), atteso);
}

void TestModule1::formattaNumero_data()
{
    QTest::addColumn<double>("valore");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("intero") << 8.0 << "8";
    QTest::newRow("mezzo") << 7.5 << "7,5";
    QTest::newRow("somma") << 15.5 << "15,5";
    QTest::newRow("arrotondamento") << (0.1 + 0.2) << "0,3";
    QTest::newRow("negativo") << -2.25 << "-2,25";
    QTest::newRow("zero negativo") << -0.0 << "0";
    QTest::newRow("grande") << 1234567.0 << "1234567";
}

void TestModule1::formattaNumero()
{
    QFETCH(double, valore);
    QFETCH(QString, atteso);
    QCOMPARE(FormattaNumero(valore), atteso);
}

void TestModule1::sostituisciTesto_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("cerca");
    QTest::addColumn<QString>("sostituisci");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("cartella programmi") << "C:\\Program Files\\Cartavia"
                                        << "program files"
                                        << "programmi"
                                        << "C:\\programmi\\Cartavia";
    QTest::newRow("solo la prima") << "aXbXc"
                                   << "x"
                                   << "-"
                                   << "a-bXc";
    QTest::newRow("assente") << "abc"
                             << "z"
                             << "y"
                             << "abc";
    QTest::newRow("piu corto") << "ab"
                               << "abc"
                               << "y"
                               << "ab";
    QTest::newRow("tutto") << "ABC"
                           << "abc"
                           << ""
                           << "";
}

void TestModule1::sostituisciTesto()
{
    QFETCH(QString, testo);
    QFETCH(QString, cerca);
    QFETCH(QString, sostituisci);
    QFETCH(QString, atteso);
    QCOMPARE(SostituisciTesto(testo, cerca, sostituisci), atteso);
}

void TestModule1::pausaLasciaGirareGliEventi()
{
    bool scattato = false;
    QTimer::singleShot(20, [&] { scattato = true; });
    QElapsedTimer t;
    t.start();
    Pausa(0.1);
    QVERIFY(scattato);
    QVERIFY(t.elapsed() >= 100);
}

void TestModule1::caricaConfigurazione()
{
    AmbienteTest amb;
    amb.sessione.CartellaBackup = QStringLiteral("prima");
    // No row: nothing changes.
    Module1::CaricaConfigurazione(amb.sessione);
    QCOMPARE(amb.sessione.CartellaBackup, QStringLiteral("prima"));

    amb.sql(
        QStringLiteral("INSERT INTO Configurazioni (PercorsoBackup, VisualizzaLogo, VisualizzaIntestazione) "
                       "VALUES ('', -1, 0)"));
    Module1::CaricaConfigurazione(amb.sessione);
    QVERIFY(amb.sessione.CartellaBackup.endsWith(QStringLiteral("BackupCartavia/")));
    QCOMPARE(amb.sessione.VisualizzaLogoStampa, QStringLiteral("-1"));
    QCOMPARE(amb.sessione.VisualizzaIntestazioneStampa, QString());

    amb.sql(
        QStringLiteral(
            "UPDATE Configurazioni SET PercorsoBackup = ?, VisualizzaLogo = 0, VisualizzaIntestazione = -1"),
        { QStringLiteral("/dati/copie/") });
    Module1::CaricaConfigurazione(amb.sessione);
    QCOMPARE(amb.sessione.CartellaBackup, QStringLiteral("/dati/copie/"));
    QCOMPARE(amb.sessione.VisualizzaLogoStampa, QString());
    QCOMPARE(amb.sessione.VisualizzaIntestazioneStampa, QStringLiteral("-1"));
}

QTEST_GUILESS_MAIN(TestModule1)
#include "tst_module1.moc"
