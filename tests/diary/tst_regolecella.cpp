#include "diary/ElencoStati.h"
#include "diary/RegoleCella.h"

#include <QTest>

using RegoleCella::Contenuto;
using RegoleCella::Riga;

Q_DECLARE_METATYPE(RegoleCella::Riga)
Q_DECLARE_METATYPE(RegoleCella::Contenuto::Genere)

class TestRegoleCella : public QObject
{
    Q_OBJECT

private slots:
    void tipoRiga();
    void tastoPremuto_data();
    void tastoPremuto();
    void lunghezzaMassima();
    void classifica_data();
    void classifica();
};

void TestRegoleCella::tipoRiga()
{
    // Two extra types: rows 2, 5, 8 are the "ORDINARIO" rows.
    QCOMPARE(RegoleCella::TipoRiga(0, 2), Riga::Intestazione);
    QCOMPARE(RegoleCella::TipoRiga(1, 2), Riga::Intestazione);
    QCOMPARE(RegoleCella::TipoRiga(2, 2), Riga::Ordinario);
    QCOMPARE(RegoleCella::TipoRiga(3, 2), Riga::Extra);
    QCOMPARE(RegoleCella::TipoRiga(4, 2), Riga::Extra);
    QCOMPARE(RegoleCella::TipoRiga(5, 2), Riga::Ordinario);
    QCOMPARE(RegoleCella::TipoRiga(8, 2), Riga::Ordinario);
    // No extra types: every body row is an "ORDINARIO" row.
    QCOMPARE(RegoleCella::TipoRiga(3, 0), Riga::Ordinario);
    QCOMPARE(RegoleCella::TipoRiga(7, 0), Riga::Ordinario);
}

void TestRegoleCella::tastoPremuto_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("tasto");
    QTest::addColumn<Riga>("riga");
    QTest::addColumn<QString>("atteso");
    const Riga o = Riga::Ordinario;
    const Riga e = Riga::Extra;
    QTest::newRow("cifra") << ""
                           << "7" << o << "7";
    QTest::newRow("punto diventa virgola") << "7"
                                           << "." << o << "7,";
    QTest::newRow("dopo la virgola") << "7,"
                                     << "5" << o << "7,5";
    QTest::newRow("lettera in ordinario") << ""
                                          << "f" << o << "f";
    QTest::newRow("spazio in ordinario") << "F"
                                         << " " << o << "F ";
    QTest::newRow("backspace svuota") << "7,5"
                                      << "\b" << o << "";
    QTest::newRow("backspace svuota extra") << "12"
                                            << "\b" << e << "";
    QTest::newRow("esc non fa nulla") << "8"
                                      << "\x1b" << o << "8";
    QTest::newRow("invio non entra") << "8"
                                     << "\r" << o << "8";
    QTest::newRow("tab non entra") << "8"
                                   << "\t" << o << "8";
    QTest::newRow("lettera in extra") << "1"
                                      << "a" << e << "1";
    QTest::newRow("maiuscola in extra") << ""
                                        << "F" << e << "";
    QTest::newRow("cifra in extra") << "1"
                                    << "2" << e << "12";
    QTest::newRow("virgola in extra") << "1"
                                      << "," << e << "1,";
    QTest::newRow("punto in extra") << "1"
                                    << "." << e << "1,";
    QTest::newRow("segno in extra") << ""
                                    << "-" << e << "";
    QTest::newRow("intestazione") << "Lu"
                                  << "5" << Riga::Intestazione << "Lu";
    QTest::newRow("piu caratteri") << ""
                                   << "a.b" << o << "a,b";
    QTest::newRow("piu caratteri in extra") << ""
                                            << "1a.5" << e << "1,5";
    QTest::newRow("accentata") << "" << QStringLiteral("è") << o << QStringLiteral("è");
    QTest::newRow("fuori dal piano base")
        << "" << QStringLiteral("\U0001F600") << o << QStringLiteral("\U0001F600");
    QTest::newRow("mezzo carattere") << "A" << QString(QChar(0xD83D)) << o << "A";
    QTest::newRow("carattere di controllo") << "A" << QString(QChar(0x7F)) << o << "A";
}

void TestRegoleCella::tastoPremuto()
{
    QFETCH(QString, testo);
    QFETCH(QString, tasto);
    QFETCH(Riga, riga);
    QFETCH(QString, atteso);
    QCOMPARE(RegoleCella::TastoPremuto(testo, tasto, riga), atteso);
}

void TestRegoleCella::lunghezzaMassima()
{
    // The stored field holds 50 characters: the cell stops growing there, a pair is never split.
    const int massimo = RegoleCella::LunghezzaMassima();
    QCOMPARE(massimo, 50);
    const QString pieno(massimo, QLatin1Char('A'));
    QCOMPARE(RegoleCella::TastoPremuto(pieno, QStringLiteral("B"), Riga::Ordinario), pieno);
    const QString quasi(massimo - 1, QLatin1Char('A'));
    QCOMPARE(RegoleCella::TastoPremuto(quasi, QStringLiteral("\U0001F600"), Riga::Ordinario), quasi);
    QCOMPARE(RegoleCella::TastoPremuto(quasi, QStringLiteral("B"), Riga::Ordinario).size(), massimo);
    QCOMPARE(RegoleCella::TastoPremuto(pieno, QStringLiteral("\b"), Riga::Ordinario), QString());
}

void TestRegoleCella::classifica_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<Contenuto::Genere>("genere");
    QTest::addColumn<QString>("stato");
    QTest::addColumn<double>("numero");
    QTest::addColumn<QString>("descrizione");
    using G = Contenuto::Genere;
    QTest::newRow("vuota") << "" << G::Vuoto << "" << 0.0 << "";
    QTest::newRow("spazi") << "   " << G::Vuoto << "" << 0.0 << "";
    QTest::newRow("ore") << "8" << G::Ore << "8" << 8.0 << "";
    QTest::newRow("ore con virgola") << "7,5" << G::Ore << "7,5" << 7.5 << "";
    QTest::newRow("zeri finali") << "8,00" << G::Ore << "8" << 8.0 << "";
    // 1e50 written out does not fit the 50-character field: no number of hours.
    QTest::newRow("numero troppo lungo") << QString(50, QLatin1Char('9')) << G::NonValido << "" << 0.0 << "";
    QTest::newRow("negative") << "-2" << G::Ore << "-2" << -2.0 << "";
    QTest::newRow("codice minuscolo") << "f" << G::Stato << "F" << 0.0 << "Ferie";
    QTest::newRow("codice con spazi") << " m " << G::Stato << "M" << 0.0 << "Malattia";
    QTest::newRow("codice con zero") << "a0" << G::Stato << "A0" << 0.0 << "Assente";
    QTest::newRow("codice sconosciuto") << "ZZ" << G::NonValido << "" << 0.0 << "";
    QTest::newRow("zero") << "0" << G::NonValido << "" << 0.0 << "";
    QTest::newRow("zero con virgola") << "0,0" << G::NonValido << "" << 0.0 << "";
    QTest::newRow("virgola sola") << "," << G::NonValido << "" << 0.0 << "";
    // Digits make a number: a code never holds 1 to 9.
    QTest::newRow("lettere e cifre") << "F1" << G::Ore << "1" << 1.0 << "";
    // What rounds to 0 in the shown form is no number.
    QTest::newRow("quasi zero") << "0,00000000001" << G::NonValido << "" << 0.0 << "";
}

void TestRegoleCella::classifica()
{
    QFETCH(QString, testo);
    QFETCH(Contenuto::Genere, genere);
    QFETCH(QString, stato);
    QFETCH(double, numero);
    QFETCH(QString, descrizione);
    ElencoStati stati;
    stati.aggiungi(QStringLiteral("F"), QStringLiteral("Ferie"));
    stati.aggiungi(QStringLiteral("M"), QStringLiteral("Malattia"));
    stati.aggiungi(QStringLiteral("f"), QStringLiteral("Seconda F"));
    stati.aggiungi(QStringLiteral("A0"), QStringLiteral("Assente"));
    const Contenuto c = RegoleCella::Classifica(testo, stati);
    QCOMPARE(c.genere, genere);
    QCOMPARE(c.testo, stato);
    QCOMPARE(c.numero, numero);
    QCOMPARE(c.descrizione, descrizione);
    QCOMPARE(c.conDescrizione(), genere == Contenuto::Genere::Stato);
    // Classifying what a cell shows after a save gives the same again.
    const Contenuto ancora = RegoleCella::Classifica(c.testo, stati);
    QCOMPARE(ancora.testo, c.testo);
    QCOMPARE(ancora.numero, c.numero);
}

QTEST_GUILESS_MAIN(TestRegoleCella)
#include "tst_regolecella.moc"
