#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"
#include "diary/GrigliaTotali.h"
#include "diary/RigheDipendenti.h"
#include "printing/TabellaStampa2.h"

#include <QSqlQuery>
#include <QTest>

using namespace TabellaStampa2;

class TestTabellaStampa2 : public QObject
{
    Q_OBJECT

private slots:
    void esempioDiSetteRighe();
    void grassettoEOrdine();
    void nessunDipendente_data();
    void nessunDipendente();
    void senzaTipi();
    void dipendenteSelezionato();
    void secondaStampaSostituisceLaPrima();
    void tuttoONiente();
    void dallaGrigliaComeMostrata();
};

namespace {
const QString Ordinario = QStringLiteral("ORDINARIO");

using Linea = std::pair<QString, int>; // Des1, Grassetto

QDate marzo(int giorno)
{
    return QDate(2024, 3, giorno);
}

GrigliaTotali::Esito costruisci(const AmbienteTest& amb, Griglia& g, const QString& codice = {})
{
    GrigliaTotali::Parametri p;
    p.archivio = amb.archivio();
    p.mese = QStringLiteral("Marzo");
    p.anno = QStringLiteral("2024");
    p.tipi = RigheDipendenti::CaricaTipi(amb.archivio());
    p.criteri.codiceDipendente = codice;
    return GrigliaTotali::DimensionaGriglia2(g, p);
}

QList<Linea> linee(const QList<RigaStampa2>& righe)
{
    QList<Linea> l;
    for (const RigaStampa2& r : righe)
        l.append({ r.Des1, r.Grassetto });
    return l;
}

// Stampa2 as the report engine reads it: ascending Indice.
QList<RigaStampa2> tabella(AmbienteTest& amb)
{
    Archivio db(amb.archivio());
    QSqlQuery q
        = db.esegui(QStringLiteral("SELECT Indice, Des1, Des2, Des3, Des4, Des5, Des6, Des7, Des8, Des9, "
                                   "IndiceRif, Grassetto FROM Stampa2 ORDER BY Indice"));
    QList<RigaStampa2> righe;
    while (q.next()) {
        RigaStampa2 r;
        r.Indice = q.value(0).toLongLong();
        r.Des1 = q.value(1).toString();
        r.Des2 = q.value(2).toString();
        r.Des3 = q.value(3).toString();
        r.Des4 = q.value(4).toString();
        r.Des5 = q.value(5).toString();
        r.Des6 = q.value(6).toString();
        r.Des7 = q.value(7).toString();
        r.Des8 = q.value(8).toString();
        r.Des9 = q.value(9).toString();
        r.IndiceRif = q.value(10).isNull() ? QVariant() : q.value(10);
        r.Grassetto = q.value(11).toInt();
        righe << r;
    }
    return righe;
}

// Prints, checks that the table holds exactly the lines returned, and gives them back.
QList<Linea> stampa(AmbienteTest& amb, const Griglia& g, const GrigliaTotali::Esito& e)
{
    bool ok = false;
    const QList<RigaStampa2> scritte = PreparaStampa(amb.archivio(), g, e, &ok);
    [&] { QVERIFY(ok); }();
    [&] { QCOMPARE(tabella(amb), scritte); }();
    return linee(scritte);
}

const QString Ore = QStringLiteral("TOTALE ORE: ");
} // namespace

void TestTabellaStampa2::esempioDiSetteRighe()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    tipo(amb, QStringLiteral("EXTRA"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    movimento(amb, rossi, Ordinario, marzo(4), QStringLiteral("F"));
    movimento(amb, rossi, Ordinario, marzo(5), QStringLiteral("F"));
    Griglia g;
    const GrigliaTotali::Esito e = costruisci(amb, g, QStringLiteral("R1"));

    const QList<Linea> attese {
        { QStringLiteral(" - Rossi"), 1 },
        { Ore, 0 },
        { QStringLiteral("Ferie : 2"), 0 },
        { QStringLiteral("EXTRA (ORE) : "), 0 },
        { QStringLiteral("                    ---------------------- TOTALI ----------------------"), 0 },
        { Ore, 1 },
        { QStringLiteral("Ferie : 2"), 0 },
    };
    QCOMPARE(stampa(amb, g, e), attese);
    const QList<RigaStampa2> righe = tabella(amb);
    for (const RigaStampa2& r : righe) {
        QVERIFY(r.Des2.isEmpty() && r.Des5.isEmpty() && r.Des9.isEmpty());
        QVERIFY(r.IndiceRif.isNull());
    }
}

void TestTabellaStampa2::grassettoEOrdine()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    const qint64 bianchi = dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    tipo(amb, QStringLiteral("STRAORDINARIO"));
    tipo(amb, QStringLiteral("FESTIVO"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("P'"), QStringLiteral("Permesso d'ufficio"));
    movimento(amb, rossi, Ordinario, marzo(4), QStringLiteral("8"));
    movimento(amb, rossi, Ordinario, marzo(5), QStringLiteral("F"));
    movimento(amb, rossi, Ordinario, marzo(6), QStringLiteral("P'"));
    movimento(amb, rossi, QStringLiteral("STRAORDINARIO"), marzo(4), QStringLiteral("1,5"));
    movimento(amb, bianchi, Ordinario, marzo(4), QStringLiteral("7,5"));
    movimento(amb, bianchi, Ordinario, marzo(5), QStringLiteral("M"));
    movimento(amb, bianchi, QStringLiteral("FESTIVO"), marzo(10), QStringLiteral("4"));
    Griglia g;
    const GrigliaTotali::Esito e = costruisci(amb, g);

    const QList<Linea> attese {
        { QStringLiteral(" - Bianchi"), 1 },
        { QStringLiteral("TOTALE ORE: 7,5"), 0 },
        { QStringLiteral("Malattia : 1"), 0 },
        { QStringLiteral("FESTIVO (ORE) : 4"), 0 },
        { QStringLiteral("STRAORDINARIO (ORE) : "), 0 },
        { QStringLiteral(" - Rossi"), 1 },
        { QStringLiteral("TOTALE ORE: 8"), 0 },
        { QStringLiteral("Ferie : 1"), 0 },
        { QStringLiteral("Permesso d'ufficio : 1"), 0 },
        { QStringLiteral("FESTIVO (ORE) : "), 0 },
        { QStringLiteral("STRAORDINARIO (ORE) : 1,5"), 0 },
        { QStringLiteral("                    ------------------ TOTALI PARZIALI------------------"), 0 },
        { QStringLiteral("TOTALE ORE: 15,5"), 1 },
        { QStringLiteral("Ferie : 1"), 0 },
        { QStringLiteral("Malattia : 1"), 0 },
        { QStringLiteral("Permesso d'ufficio : 1"), 0 },
        { QStringLiteral("FESTIVO (ORE) : 4"), 1 },
        { QStringLiteral("STRAORDINARIO (ORE) : 1,5"), 1 },
        { QStringLiteral("                    ---------------------- TOTALI ----------------------"), 0 },
        { QStringLiteral("TOTALE ORE: 21"), 1 },
        { QStringLiteral("Ferie : 1"), 0 },
        { QStringLiteral("Malattia : 1"), 0 },
        { QStringLiteral("Permesso d'ufficio : 1"), 0 },
    };
    const QList<Linea> ottenute = stampa(amb, g, e);
    QCOMPARE(ottenute, attese);
    QCOMPARE(BannerParziali.size(), 72);
    QCOMPARE(BannerTotali.size(), 72);
    QVERIFY(BannerParziali.startsWith(QString(20, QLatin1Char(' ')))
        && BannerParziali.at(20) == QLatin1Char('-'));
    QVERIFY(
        BannerTotali.startsWith(QString(20, QLatin1Char(' '))) && BannerTotali.at(20) == QLatin1Char('-'));
    // The reading order is the order of the counter.
    const QList<RigaStampa2> righe = tabella(amb);
    for (int i = 1; i < righe.size(); ++i)
        QVERIFY(righe.at(i).Indice > righe.at(i - 1).Indice);
}

void TestTabellaStampa2::nessunDipendente_data()
{
    QTest::addColumn<bool>("conTipo");
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QStringList>("attese");
    const QString parziali = BannerParziali;
    const QString totali = BannerTotali;
    QTest::newRow("senza tipi") << false << QString() << QStringList { parziali, Ore, totali, Ore };
    QTest::newRow("con un tipo") << true << QString()
                                 << QStringList { parziali, Ore, QStringLiteral("EXTRA (ORE) : "), totali,
                                        Ore };
    QTest::newRow("codice di nessuno") << true << QStringLiteral("ZZ") << QStringList { totali, Ore };
}

void TestTabellaStampa2::nessunDipendente()
{
    QFETCH(bool, conTipo);
    QFETCH(QString, codice);
    QFETCH(QStringList, attese);
    AmbienteTest amb;
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    if (conTipo)
        tipo(amb, QStringLiteral("EXTRA"));
    Griglia g;
    const GrigliaTotali::Esito e = costruisci(amb, g, codice);
    QCOMPARE(e.numeroDipendenti, 0);
    QStringList testi;
    for (const Linea& l : stampa(amb, g, e))
        testi << l.first;
    QCOMPARE(testi, attese);
}

void TestTabellaStampa2::senzaTipi()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    const qint64 verdi = dipendente(amb, QStringLiteral("V1"), QStringLiteral("Verdi"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("R"), QStringLiteral("Riposo")); // never used: no line anywhere
    movimento(amb, rossi, Ordinario, marzo(4), QStringLiteral("6"));
    movimento(amb, rossi, Ordinario, marzo(5), QStringLiteral("F"));
    movimento(amb, verdi, Ordinario, marzo(5), QStringLiteral("F"));
    Griglia g;
    const GrigliaTotali::Esito e = costruisci(amb, g);
    const QList<Linea> attese {
        { QStringLiteral(" - Rossi"), 1 },
        { QStringLiteral("TOTALE ORE: 6"), 0 },
        { QStringLiteral("Ferie : 1"), 0 },
        { QStringLiteral(" - Verdi"), 1 },
        { QStringLiteral("TOTALE ORE: "), 0 },
        { QStringLiteral("Ferie : 1"), 0 },
        { BannerParziali, 0 },
        { QStringLiteral("TOTALE ORE: 6"), 1 },
        { QStringLiteral("Ferie : 2"), 0 },
        { BannerTotali, 0 },
        { QStringLiteral("TOTALE ORE: 6"), 1 },
        { QStringLiteral("Ferie : 2"), 0 },
    };
    QCOMPARE(stampa(amb, g, e), attese);
}

void TestTabellaStampa2::dipendenteSelezionato()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    dipendente(amb, QStringLiteral("V1"), QStringLiteral("Verdi"));
    tipo(amb, QStringLiteral("EXTRA"));
    movimento(amb, rossi, Ordinario, marzo(4), QStringLiteral("8"));
    movimento(amb, rossi, QStringLiteral("EXTRA"), marzo(4), QStringLiteral("2"));
    Griglia g;
    const GrigliaTotali::Esito e = costruisci(amb, g, QStringLiteral("r1"));
    QCOMPARE(e.numeroDipendenti, 1);
    const QList<Linea> attese {
        { QStringLiteral(" - Rossi"), 1 },
        { QStringLiteral("TOTALE ORE: 8"), 0 },
        { QStringLiteral("EXTRA (ORE) : 2"), 0 },
        { BannerTotali, 0 },
        { QStringLiteral("TOTALE ORE: 10"), 1 },
    };
    QCOMPARE(stampa(amb, g, e), attese);
}

void TestTabellaStampa2::secondaStampaSostituisceLaPrima()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    movimento(amb, rossi, Ordinario, marzo(4), QStringLiteral("8"));
    // What another print, of either kind, left behind.
    amb.sql(QStringLiteral(
        "INSERT INTO Stampa2 (Des1, Des2, IndiceRif, Grassetto) VALUES ('vecchia', 'x', 7, 1)"));
    Griglia g;
    const GrigliaTotali::Esito tutti = costruisci(amb, g);
    const QList<Linea> prima = stampa(amb, g, tutti);
    QCOMPARE(prima.size(), 6);
    const QList<RigaStampa2> primaTabella = tabella(amb);

    const GrigliaTotali::Esito uno = costruisci(amb, g, QStringLiteral("R1"));
    const QList<Linea> seconda = stampa(amb, g, uno);
    QCOMPARE(seconda.size(), 4);
    const QList<RigaStampa2> secondaTabella = tabella(amb);
    QCOMPARE(secondaTabella.size(), 4);
    // New lines, after the old ones in the counter.
    QVERIFY(secondaTabella.first().Indice > primaTabella.last().Indice);
}

void TestTabellaStampa2::tuttoONiente()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    movimento(amb, rossi, Ordinario, marzo(4), QStringLiteral("8"));
    Griglia g;
    const GrigliaTotali::Esito e = costruisci(amb, g);
    stampa(amb, g, e);
    const QList<RigaStampa2> prima = tabella(amb);

    // A write that fails half-way (here a trigger refuses the banner) leaves the previous print
    // whole: no reader ever sees half a print or a mix of two.
    amb.sql(QStringLiteral("CREATE TRIGGER rifiuta BEFORE INSERT ON Stampa2 WHEN NEW.Des1 LIKE '%TOTALI%' "
                           "BEGIN SELECT RAISE(ABORT, 'rifiutata'); END"));
    movimento(amb, rossi, Ordinario, marzo(5), QStringLiteral("2"));
    const GrigliaTotali::Esito ricostruita = costruisci(amb, g);
    bool ok = true;
    QVERIFY(PreparaStampa(amb.archivio(), g, ricostruita, &ok).isEmpty());
    QVERIFY(!ok);
    QCOMPARE(tabella(amb), prima);

    // A grid that is not a built summary prints nothing and leaves the table alone.
    amb.sql(QStringLiteral("DROP TRIGGER rifiuta"));
    Griglia vuota;
    QVERIFY(PreparaStampa(amb.archivio(), vuota, GrigliaTotali::Esito {}, &ok).isEmpty());
    QVERIFY(!ok);
    QCOMPARE(tabella(amb), prima);
}

void TestTabellaStampa2::dallaGrigliaComeMostrata()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    stato(amb, QStringLiteral("p'"), QStringLiteral("Permesso d'ufficio"));
    movimento(amb, rossi, Ordinario, marzo(4), QStringLiteral("P'"));
    movimento(amb, rossi, Ordinario, marzo(5), QStringLiteral("8"));
    Griglia g;
    const GrigliaTotali::Esito e = costruisci(amb, g);
    QCOMPARE(g.testo(2, 5), QStringLiteral("1"));
    const QList<Linea> attese = stampa(amb, g, e);
    QVERIFY(attese.contains(Linea { QStringLiteral("Permesso d'ufficio : 1"), 0 }));

    // What others change after the build does not shift or change the printed figures: an
    // employee and a state added, hours saved.
    dipendente(amb, QStringLiteral("A1"), QStringLiteral("Abate"));
    stato(amb, QStringLiteral("A"), QStringLiteral("Assenza"));
    movimento(amb, rossi, Ordinario, marzo(6), QStringLiteral("4"));
    QCOMPARE(stampa(amb, g, e), attese);

    // A state gone from the table prints without its description.
    amb.sql(QStringLiteral("DELETE FROM TabellaStati"));
    const QList<Linea> senza = stampa(amb, g, e);
    QVERIFY(senza.contains(Linea { QStringLiteral(" : 1"), 0 }));
}

QTEST_GUILESS_MAIN(TestTabellaStampa2)
#include "tst_tabellastampa2.moc"
