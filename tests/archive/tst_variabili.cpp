#include "AmbienteTest.h"

#include "archive/Archivio.h"
#include "archive/FunzioniPerVariabili.h"
#include "archive/Module1.h"

#include <QSqlQuery>
#include <QFileInfo>
#include <QTest>

using namespace FunzioniPerVariabili;

class TestVariabili : public QObject
{
    Q_OBJECT

private slots:
    void leggiEScrivi();
    void flag_data();
    void flag();
    void archivioIrraggiungibile();
    void testiOstiliELimiti();
    void nomiSenzaMaiuscole();
};

void TestVariabili::leggiEScrivi()
{
    AmbienteTest amb;
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_Ordinamento")), QString());
    QVERIFY(!LeggiFlag(amb.archivio(), QStringLiteral("F_Avvio_VisualizzaTutti")));
    QVERIFY(ScriviVariabile(amb.archivio(), QStringLiteral("F_Avvio_Ordinamento"), QStringLiteral("Codice")));
    QVERIFY(ScriviVariabile(
        amb.archivio(), QStringLiteral("F_Avvio_Ordinamento"), QStringLiteral("Ragione Sociale")));
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_Ordinamento")),
        QStringLiteral("Ragione Sociale"));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Variabili WHERE NomeVar = 'F_Avvio_Ordinamento'"))
                 .toInt(),
        1);
    QVERIFY(ScriviVariabile(amb.archivio(), QStringLiteral("F_Avvio_EspandiCalendario"), QString()));
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_EspandiCalendario")), QString());
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Variabili")).toInt(), 2);
}

void TestVariabili::flag_data()
{
    QTest::addColumn<QString>("memorizzato");
    QTest::addColumn<bool>("atteso");
    QTest::newRow("meno uno") << "-1" << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("uno") << "1" << true;
    QTest::newRow("vuoto") << "" << false;
    QTest::newRow("testo") << "Vero" << false;
    QTest::newRow("zero decimale") << "0.0" << false;
}

void TestVariabili::flag()
{
    QFETCH(QString, memorizzato);
    QFETCH(bool, atteso);
    AmbienteTest amb;
    amb.sql(
        QStringLiteral("INSERT INTO Variabili (NomeVar, ValoreStringa) VALUES ('F', ?)"), { memorizzato });
    QCOMPARE(LeggiFlag(amb.archivio(), QStringLiteral("F")), atteso);
    QVERIFY(ScriviFlag(amb.archivio(), QStringLiteral("F"), !atteso));
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F")),
        atteso ? QStringLiteral("0") : QStringLiteral("-1"));
    QCOMPARE(LeggiFlag(amb.archivio(), QStringLiteral("F")), !atteso);
}

void TestVariabili::archivioIrraggiungibile()
{
    AmbienteTest amb(false);
    const QString manca = amb.percorso(QStringLiteral("manca.mdb"));
    QVERIFY(!ScriviVariabile(manca, QStringLiteral("X"), QStringLiteral("1")));
    QCOMPARE(LeggiVariabile(manca, QStringLiteral("X")), QString());
    QVERIFY(!LeggiFlag(manca, QStringLiteral("X")));
    QVERIFY(!QFileInfo::exists(manca));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestVariabili::testiOstiliELimiti()
{
    AmbienteTest amb;
    const QString ostile = QStringLiteral("'; drop table Variabili; --");
    QVERIFY(ScriviVariabile(amb.archivio(), ostile, ostile));
    QCOMPARE(LeggiVariabile(amb.archivio(), ostile), ostile);
    const QString lungo(500, QLatin1Char('v'));
    QVERIFY(ScriviVariabile(amb.archivio(), QStringLiteral("Lungo"), lungo));
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("Lungo")), lungo.left(200));
    QVERIFY(!ScriviVariabile(amb.archivio(), QString(), QStringLiteral("x")));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Variabili")).toInt(), 2);
}

void TestVariabili::nomiSenzaMaiuscole()
{
    AmbienteTest amb;
    // A name written by an older version in other letters is the same setting.
    amb.sql(QStringLiteral(
        "INSERT INTO Variabili (NomeVar, ValoreStringa) VALUES ('f_avvio_ordinamento', 'Codice')"));
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_Ordinamento")), QStringLiteral("Codice"));
    QVERIFY(ScriviVariabile(
        amb.archivio(), QStringLiteral("F_AVVIO_ORDINAMENTO"), QStringLiteral("Inserimento")));
    QCOMPARE(
        LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_Ordinamento")), QStringLiteral("Inserimento"));
    QVERIFY(ScriviFlag(amb.archivio(), QStringLiteral("F_Avvio_VisualizzaTutti"), true));
    QVERIFY(LeggiFlag(amb.archivio(), QStringLiteral("f_avvio_visualizzatutti")));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Variabili")).toInt(), 2);
    // The key of a new archive serves the look-up, so it never reads the whole table.
    Archivio db(amb.archivio());
    QSqlQuery piano = db.esegui(QStringLiteral("EXPLAIN QUERY PLAN SELECT ValoreStringa FROM Variabili "
                                               "WHERE NomeVar = ? COLLATE NOCASE"),
        { QStringLiteral("x") });
    QVERIFY(piano.next());
    QVERIFY2(
        piano.value(3).toString().startsWith(QLatin1String("SEARCH")), qPrintable(piano.value(3).toString()));
}

QTEST_GUILESS_MAIN(TestVariabili)
#include "tst_variabili.moc"
