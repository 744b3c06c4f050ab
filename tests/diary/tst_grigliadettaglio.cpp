#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"
#include "comune/ModelloGriglia.h"
#include "diary/RigheDipendenti.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace GrigliaDettaglio;
using namespace Qt::StringLiterals;
using RigheDipendenti::Filtro;

class TestGrigliaDettaglio : public QObject
{
    Q_OBJECT

private slots:
    void formaDelMese_data();
    void formaDelMese();
    void giorniDelMese_data();
    void giorniDelMese();
    void coloriDeiGiorni_data();
    void coloriDeiGiorni();
    void festivita_data();
    void festivita();
    void righePerDipendente();
    void piuDiCentoTipi();
    void filtroOrdinamentoSelezione_data();
    void filtroOrdinamentoSelezione();
    void movimentiNelleCelle();
    void noteColorate();
    void espandiCalendario();
    void modelloPerLaVista();
};

namespace {
Parametri parametri(
    const AmbienteTest& amb, const QString& mese, const QString& anno, const QDate& oggi = QDate(2000, 1, 1))
{
    Parametri p;
    p.archivio = amb.archivio();
    p.mese = mese;
    p.anno = anno;
    p.oggi = oggi;
    p.tipi = RigheDipendenti::CaricaTipi(amb.archivio());
    return p;
}

QStringList colonna(const Griglia& g, int c)
{
    QStringList testi;
    for (int r = RigheFisse; r < g.righe(); ++r)
        testi << g.testo(r, c);
    return testi;
}
} // namespace

void TestGrigliaDettaglio::formaDelMese_data()
{
    QTest::addColumn<QString>("mese");
    QTest::addColumn<QString>("anno");
    QTest::addColumn<int>("colonne");
    QTest::addColumn<QString>("primoGiorno"); // weekday initials of day 1
    QTest::newRow("febbraio bisestile") << "Febbraio"
                                        << "2024" << 33 << "Gi";
    QTest::newRow("febbraio") << "Febbraio"
                              << "2023" << 32 << "Me";
    QTest::newRow("aprile") << "Aprile"
                            << "2023" << 34 << "Sa";
    QTest::newRow("dicembre") << "Dicembre"
                              << "2026" << 35 << "Ma";
}

void TestGrigliaDettaglio::formaDelMese()
{
    QFETCH(QString, mese);
    QFETCH(QString, anno);
    QFETCH(int, colonne);
    QFETCH(QString, primoGiorno);
    AmbienteTest amb;
    Griglia g;
    QVERIFY(DimensionaGriglia1(g, parametri(amb, mese, anno)));
    QCOMPARE(g.colonne(), colonne);
    QCOMPARE(g.righe(), 2);
    QCOMPARE(g.righeFisse(), 2);
    QCOMPARE(g.colonneFisse(), 4);
    QCOMPARE(g.larghezza(0), 0);
    QCOMPARE(g.larghezza(1), 0);
    QCOMPARE(g.larghezza(2), 2500);
    QCOMPARE(g.larghezza(3), 1600);
    QCOMPARE(g.testo(0, 2), QStringLiteral("::::::::::::::: DIPENDENTI :::::::::::::::"));
    QCOMPARE(g.testo(0, 3), QStringLiteral("::::::::::: Tipo :::::::::::"));
    QCOMPARE(g.testo(0, 4), primoGiorno);
    for (int c = 4; c < colonne; ++c) {
        QCOMPARE(g.testo(1, c), QString::number(c - 3));
        QCOMPARE(g.larghezza(c), 350);
        QCOMPARE(g.allineamento(1, c), Qt::AlignCenter);
        QCOMPARE(g.testo(0, c).size(), 2);
    }
    QCOMPARE(g.allineamento(0, 2) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

void TestGrigliaDettaglio::giorniDelMese_data()
{
    QTest::addColumn<QString>("mese");
    QTest::addColumn<QString>("anno");
    QTest::addColumn<int>("giorni");
    QTest::newRow("febbraio 2024") << "Febbraio"
                                   << "2024" << 29;
    QTest::newRow("febbraio 2023") << "Febbraio"
                                   << "2023" << 28;
    QTest::newRow("febbraio 1900") << "Febbraio"
                                   << "1900" << 28;
    QTest::newRow("febbraio 2000") << "Febbraio"
                                   << "2000" << 29;
    QTest::newRow("aprile") << "Aprile"
                            << "2023" << 30;
    QTest::newRow("settembre") << "Settembre"
                               << "2023" << 30;
    QTest::newRow("gennaio") << "Gennaio"
                             << "2023" << 31;
    QTest::newRow("dicembre") << "Dicembre"
                              << "2009" << 31;
    QTest::newRow("minuscolo") << "agosto"
                               << "2023" << 31;
    QTest::newRow("non un mese") << "Pippo"
                                 << "2023" << 28;
}

void TestGrigliaDettaglio::giorniDelMese()
{
    QFETCH(QString, mese);
    QFETCH(QString, anno);
    QFETCH(int, giorni);
    QCOMPARE(CalcolaNumeroGiorniMese(mese, anno), giorni);
}

void TestGrigliaDettaglio::coloriDeiGiorni_data()
{
    QTest::addColumn<QDate>("oggi");
    QTest::addColumn<int>("giornoGiallo"); // 0 = none
    // March 2024: Saturdays 2, 9, 16, 23, 30; Sundays 3, 10, 17, 24, 31.
    QTest::newRow("oggi feriale") << QDate(2024, 3, 13) << 13;
    QTest::newRow("oggi sabato") << QDate(2024, 3, 16) << 16;
    QTest::newRow("oggi domenica") << QDate(2024, 3, 31) << 31;
    QTest::newRow("oggi altro mese") << QDate(2024, 4, 13) << 0;
    QTest::newRow("oggi altro anno") << QDate(2023, 3, 13) << 0;
}

void TestGrigliaDettaglio::coloriDeiGiorni()
{
    QFETCH(QDate, oggi);
    QFETCH(int, giornoGiallo);
    AmbienteTest amb;
    Griglia g;
    DimensionaGriglia1(g, parametri(amb, QStringLiteral("Marzo"), QStringLiteral("2024"), oggi));
    int gialli = 0;
    for (int d = 1; d <= 31; ++d) {
        const QColor colore = g.sfondo(1, ColonnaGiorno(d));
        QVERIFY(!g.sfondo(0, ColonnaGiorno(d)).isValid());
        if (colore == ColoreOggi) {
            ++gialli;
            QCOMPARE(d, giornoGiallo);
            continue;
        }
        const int settimana = QDate(2024, 3, d).dayOfWeek();
        const QColor atteso = settimana == 7 ? ColoreDomenica : settimana == 6 ? ColoreSabato : ColoreFeriale;
        QCOMPARE(colore, atteso);
    }
    QCOMPARE(gialli, giornoGiallo ? 1 : 0);
    QCOMPARE(g.testo(0, ColonnaGiorno(16)), QStringLiteral("Sa"));
    QCOMPARE(g.testo(0, ColonnaGiorno(17)), QStringLiteral("Do"));
    QCOMPARE(g.testo(0, ColonnaGiorno(18)), QStringLiteral("Lu"));
}

void TestGrigliaDettaglio::festivita_data()
{
    QTest::addColumn<QString>("mese");
    QTest::addColumn<QString>("anno");
    QTest::addColumn<int>("giorno");
    QTest::addColumn<QDate>("oggi");
    QTest::addColumn<bool>("evidenzia");
    QTest::addColumn<QColor>("colore");
    QTest::addColumn<QString>("nome");
    const QDate altroGiorno(2000, 1, 1);
    QTest::newRow("Immacolata, martedì")
        << "Dicembre"
        << "2026" << 8 << altroGiorno << true << ColoreDomenica << "Immacolata Concezione";
    QTest::newRow("Santo Stefano, sabato")
        << "Dicembre"
        << "2026" << 26 << altroGiorno << true << ColoreDomenica << "Santo Stefano";
    QTest::newRow("Lunedì dell'Angelo in marzo")
        << "Marzo"
        << "2027" << 29 << altroGiorno << true << ColoreDomenica << "Lunedì dell'Angelo";
    QTest::newRow("Festa della Repubblica")
        << "Giugno"
        << "2026" << 2 << altroGiorno << true << ColoreDomenica << "Festa della Repubblica";
    QTest::newRow("25 aprile di domenica")
        << "Aprile"
        << "2027" << 25 << altroGiorno << true << ColoreDomenica << "Festa della Liberazione";
    QTest::newRow("patrono") << "Dicembre"
                             << "2026" << 7 << altroGiorno << true << ColoreDomenica
                             << "Patrono: Sant'Ambrogio";
    QTest::newRow("chiusura aziendale")
        << "Dicembre"
        << "2026" << 24 << altroGiorno << true << ColoreDomenica << "Chiusura aziendale";
    QTest::newRow("oggi è festa: vince il giallo")
        << "Dicembre"
        << "2026" << 8 << QDate(2026, 12, 8) << true << ColoreOggi << "Immacolata Concezione";
    QTest::newRow("evidenziazione spenta") << "Dicembre"
                                           << "2026" << 8 << altroGiorno << false << ColoreFeriale << "";
    QTest::newRow("sabato spento resta sabato") << "Dicembre"
                                                << "2026" << 26 << altroGiorno << false << ColoreSabato << "";
    QTest::newRow("giorno feriale") << "Dicembre"
                                    << "2026" << 9 << altroGiorno << true << ColoreFeriale << "";
}

void TestGrigliaDettaglio::festivita()
{
    QFETCH(QString, mese);
    QFETCH(QString, anno);
    QFETCH(int, giorno);
    QFETCH(QDate, oggi);
    QFETCH(bool, evidenzia);
    QFETCH(QColor, colore);
    QFETCH(QString, nome);
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    Parametri p = parametri(amb, mese, anno, oggi);
    p.azienda.giornoPatrono = 7;
    p.azienda.mesePatrono = 12;
    p.azienda.nomePatrono = QStringLiteral("Sant'Ambrogio");
    p.azienda.chiusure = { QDate(2026, 12, 24), QDate(2027, 12, 24) };
    p.azienda.evidenzia = evidenzia;
    Griglia g;
    QVERIFY(DimensionaGriglia1(g, p));
    const int c = ColonnaGiorno(giorno);
    QCOMPARE(g.sfondo(1, c), colore);
    QCOMPARE(g.suggerimento(1, c), nome);
    // Only the day cell is marked; the view reads the name as the cell's tooltip.
    QVERIFY(g.suggerimento(0, c).isEmpty() && g.suggerimento(2, c).isEmpty());
    QVERIFY(!g.sfondo(2, c).isValid());
    ModelloGriglia m(&g);
    QCOMPARE(m.data(m.index(1, c), Qt::ToolTipRole), nome.isEmpty() ? QVariant() : QVariant(nome));
}

void TestGrigliaDettaglio::righePerDipendente()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    const qint64 bianchi = dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    const qint64 verdi = dipendente(amb, QStringLiteral("V1"), QStringLiteral("Verdi"));

    Griglia g;
    DimensionaGriglia1(g, parametri(amb, QStringLiteral("Maggio"), QStringLiteral("2024")));
    QCOMPARE(g.righe(), 2 + 3);
    QCOMPARE(colonna(g, 2), (QStringList { u"Bianchi"_s, u"Rossi"_s, u"Verdi"_s }));
    QCOMPARE(colonna(g, 3), (QStringList { u"ORDINARIO"_s, u"ORDINARIO"_s, u"ORDINARIO"_s }));

    tipo(amb, QStringLiteral("STRAORDINARIO"));
    tipo(amb, QStringLiteral("Notturno"));
    DimensionaGriglia1(g, parametri(amb, QStringLiteral("Maggio"), QStringLiteral("2024")));
    QCOMPARE(g.righe(), 2 + 3 * 3);
    QCOMPARE(colonna(g, 0),
        (QStringList { QString::number(bianchi), QString::number(bianchi), QString::number(bianchi),
            QString::number(rossi), QString::number(rossi), QString::number(rossi), QString::number(verdi),
            QString::number(verdi), QString::number(verdi) }));
    QCOMPARE(colonna(g, 1),
        (QStringList { u"B1"_s, u"B1"_s, u"B1"_s, u"R1"_s, u"R1"_s, u"R1"_s, u"V1"_s, u"V1"_s, u"V1"_s }));
    QCOMPARE(colonna(g, 2),
        (QStringList { u"Bianchi"_s, u""_s, u""_s, u"Rossi"_s, u""_s, u""_s, u"Verdi"_s, u""_s, u""_s }));
    QCOMPARE(colonna(g, 3),
        (QStringList { u"ORDINARIO"_s, u"Notturno"_s, u"STRAORDINARIO"_s, u"ORDINARIO"_s, u"Notturno"_s,
            u"STRAORDINARIO"_s, u"ORDINARIO"_s, u"Notturno"_s, u"STRAORDINARIO"_s }));
    // One block colour per employee, alternating, on columns 1 to 3 only.
    const QColor blocchi[] = { RigheDipendenti::ColorePrimoBlocco, RigheDipendenti::ColoreSecondoBlocco,
        RigheDipendenti::ColorePrimoBlocco };
    for (int r = 2; r < g.righe(); ++r) {
        for (int c = 1; c <= 3; ++c)
            QCOMPARE(g.sfondo(r, c), blocchi[(r - 2) / 3]);
        QVERIFY(!g.sfondo(r, 0).isValid());
        QVERIFY(!g.sfondo(r, 4).isValid());
    }
}

void TestGrigliaDettaglio::piuDiCentoTipi()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("A"), QStringLiteral("Uno"));
    dipendente(amb, QStringLiteral("B"), QStringLiteral("Due"));
    // Inserted out of order: the first hundred alphabetically are kept, not the first hundred stored.
    for (int i = 105; i >= 1; --i)
        tipo(amb, QStringLiteral("Tipo %1").arg(i, 3, 10, QLatin1Char('0')));
    bool ok = false;
    const QStringList tipi = RigheDipendenti::CaricaTipi(amb.archivio(), &ok);
    QVERIFY(ok);
    QCOMPARE(tipi.size(), 100);
    QCOMPARE(tipi.first(), QStringLiteral("Tipo 001"));
    QCOMPARE(tipi.last(), QStringLiteral("Tipo 100"));

    Griglia g;
    DimensionaGriglia1(g, parametri(amb, QStringLiteral("Maggio"), QStringLiteral("2024")));
    QCOMPARE(g.righe(), 2 + 2 * 101);
    QCOMPARE(g.testo(2 + 101, 3), QStringLiteral("ORDINARIO"));
    QCOMPARE(g.testo(2 + 101, 2), QStringLiteral("Uno"));
    QCOMPARE(g.testo(2 + 100, 3), QStringLiteral("Tipo 100"));
}

void TestGrigliaDettaglio::filtroOrdinamentoSelezione_data()
{
    QTest::addColumn<int>("filtro");
    QTest::addColumn<QString>("ordinamento");
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QStringList>("nomi");
    // Stored: (C3, "bruno", active 1), (A9, "Zeta", -1), (b2, "Alfa", 0), (D1, "carlo", never set).
    const int tutti = int(Filtro::Tutti);
    QTest::newRow("ragione sociale") << tutti << "Ragione Sociale"
                                     << "" << QStringList { u"Alfa"_s, u"bruno"_s, u"carlo"_s, u"Zeta"_s };
    QTest::newRow("codice") << tutti << "Codice"
                            << "" << QStringList { u"Zeta"_s, u"Alfa"_s, u"bruno"_s, u"carlo"_s };
    QTest::newRow("inserimento") << tutti << "Inserimento"
                                 << "" << QStringList { u"bruno"_s, u"Zeta"_s, u"Alfa"_s, u"carlo"_s };
    QTest::newRow("attivi") << int(Filtro::Attivi) << "Ragione Sociale"
                            << "" << QStringList { u"bruno"_s, u"Zeta"_s };
    QTest::newRow("non attivi") << int(Filtro::NonAttivi) << "Codice"
                                << "" << QStringList { u"Alfa"_s, u"carlo"_s };
    QTest::newRow("un dipendente") << tutti << "Ragione Sociale"
                                   << "A9" << QStringList { u"Zeta"_s };
    QTest::newRow("codice in minuscolo") << tutti << "Ragione Sociale"
                                         << "B2" << QStringList { u"Alfa"_s };
    QTest::newRow("dipendente filtrato") << int(Filtro::Attivi) << "Codice"
                                         << "B2" << QStringList {};
    QTest::newRow("codice sconosciuto") << tutti << "Codice"
                                        << "X' OR 1=1 --" << QStringList {};
}

void TestGrigliaDettaglio::filtroOrdinamentoSelezione()
{
    QFETCH(int, filtro);
    QFETCH(QString, ordinamento);
    QFETCH(QString, codice);
    QFETCH(QStringList, nomi);
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("C3"), QStringLiteral("bruno"), 1);
    dipendente(amb, QStringLiteral("A9"), QStringLiteral("Zeta"), -1);
    dipendente(amb, QStringLiteral("b2"), QStringLiteral("Alfa"), 0);
    dipendente(amb, QStringLiteral("D1"), QStringLiteral("carlo"), QVariant());
    tipo(amb, QStringLiteral("EXTRA"));

    Parametri p = parametri(amb, QStringLiteral("Giugno"), QStringLiteral("2024"));
    p.criteri.filtro = Filtro(filtro);
    p.criteri.ordinamento = ordinamento;
    p.criteri.codiceDipendente = codice;
    Griglia g;
    QVERIFY(DimensionaGriglia1(g, p));
    QStringList trovati;
    for (int r = 2; r < g.righe(); r += 2) {
        trovati << g.testo(r, 2);
        QCOMPARE(g.testo(r + 1, 3), QStringLiteral("EXTRA"));
    }
    QCOMPARE(trovati, nomi);
    QCOMPARE(g.righe(), 2 + 2 * int(nomi.size()));
}

void TestGrigliaDettaglio::movimentiNelleCelle()
{
    AmbienteTest amb;
    const qint64 a = dipendente(amb, QStringLiteral("A"), QStringLiteral("Anna"));
    const qint64 b = dipendente(amb, QStringLiteral("B"), QStringLiteral("Bruno"), 0);
    tipo(amb, QStringLiteral("STRAORDINARIO"));
    const QString feb = QStringLiteral("Febbraio");
    const QString anno = QStringLiteral("2024");
    const QString ord = QStringLiteral("ORDINARIO");
    movimento(amb, a, ord, QDate(2024, 2, 1), QStringLiteral("8"));
    movimento(amb, a, ord, QDate(2024, 2, 29), QStringLiteral("F"));
    movimento(amb, a, QStringLiteral("straordinario"), QDate(2024, 2, 2), QStringLiteral("2,5"));
    movimento(amb, a, ord, QDate(2024, 2, 3), QVariant());
    // A day past the month's end.
    movimento(
        amb, a, ord, QDate(2024, 2, 1), QStringLiteral("X"), {}, { { "Giorno", u"30"_s }, { "Data", {} } });
    movimento(amb, a, ord, QDate(2023, 2, 4), QStringLiteral("Y"));
    movimento(amb, a, ord, QDate(2024, 3, 5), QStringLiteral("Z"));
    movimento(amb, a, QStringLiteral("NOTTURNO"), QDate(2024, 2, 6), QStringLiteral("W"));
    movimento(amb, b, ord, QDate(2024, 2, 7), QStringLiteral("M"));
    // A day stored twice shows the later row.
    movimento(amb, b, ord, QDate(2024, 2, 8), QStringLiteral("P"));
    movimento(amb, b, ord, QDate(2024, 2, 8), QStringLiteral("7,5"));

    Parametri p = parametri(amb, feb, anno);
    p.criteri.ordinamento = QStringLiteral("Ragione Sociale");
    Griglia g;
    QVERIFY(DimensionaGriglia1(g, p));
    QCOMPARE(g.righe(), 2 + 4);
    QCOMPARE(g.testo(2, ColonnaGiorno(1)), QStringLiteral("8"));
    QCOMPARE(g.testo(2, ColonnaGiorno(29)), QStringLiteral("F"));
    QCOMPARE(g.testo(3, ColonnaGiorno(2)), QStringLiteral("2,5"));
    QCOMPARE(g.testo(4, ColonnaGiorno(7)), QStringLiteral("M"));
    QCOMPARE(g.testo(4, ColonnaGiorno(8)), QStringLiteral("7,5"));
    int piene = 0;
    for (int r = 2; r < g.righe(); ++r)
        for (int c = 4; c < g.colonne(); ++c)
            piene += !g.testo(r, c).isEmpty();
    QCOMPARE(piene, 5);

    // The filter hides Bruno's rows and with them his entries.
    p.criteri.filtro = Filtro::Attivi;
    QVERIFY(DimensionaGriglia1(g, p));
    QCOMPARE(g.righe(), 2 + 2);
    QCOMPARE(g.testo(2, ColonnaGiorno(1)), QStringLiteral("8"));
    QCOMPARE(g.testo(3, ColonnaGiorno(2)), QStringLiteral("2,5"));
}

void TestGrigliaDettaglio::noteColorate()
{
    AmbienteTest amb;
    const qint64 a = dipendente(amb, QStringLiteral("A"), QStringLiteral("Anna"));
    const QString mese = QStringLiteral("Luglio");
    const QString anno = QStringLiteral("2024");
    const QString ord = QStringLiteral("ORDINARIO");
    movimento(amb, a, ord, QDate(2024, 7, 1), QStringLiteral("8"), QVariant());
    movimento(amb, a, ord, QDate(2024, 7, 2), QStringLiteral("8"), QStringLiteral(""));
    movimento(amb, a, ord, QDate(2024, 7, 3), QStringLiteral("8"), QStringLiteral("Visita medica"));
    movimento(amb, a, ord, QDate(2024, 7, 4), QString(), QStringLiteral("Solo nota"));
    Griglia g;
    DimensionaGriglia1(g, parametri(amb, mese, anno));
    QVERIFY(!g.sfondo(2, ColonnaGiorno(1)).isValid());
    QVERIFY(!g.sfondo(2, ColonnaGiorno(2)).isValid());
    QCOMPARE(g.sfondo(2, ColonnaGiorno(3)), ColoreNota);
    QCOMPARE(g.sfondo(2, ColonnaGiorno(4)), ColoreNota);
    QCOMPARE(g.testo(2, ColonnaGiorno(4)), QString());
    QVERIFY(!g.sfondo(2, ColonnaGiorno(5)).isValid());
}

void TestGrigliaDettaglio::espandiCalendario()
{
    AmbienteTest amb;
    Parametri p = parametri(amb, QStringLiteral("Febbraio"), QStringLiteral("2024"));
    p.espandiCalendario = true;
    Griglia g;
    DimensionaGriglia1(g, p);
    for (int c = 4; c < g.colonne(); ++c)
        QCOMPARE(g.larghezza(c), 450);
    QCOMPARE(g.larghezza(2), 2500);
    QCOMPARE(g.larghezza(3), 1600);
    p.espandiCalendario = false;
    DimensionaGriglia1(g, p);
    for (int c = 4; c < g.colonne(); ++c)
        QCOMPARE(g.larghezza(c), 350);
}

void TestGrigliaDettaglio::modelloPerLaVista()
{
    AmbienteTest amb;
    const qint64 a = dipendente(amb, QStringLiteral("A"), QStringLiteral("Anna"));
    movimento(
        amb, a, QStringLiteral("ORDINARIO"), QDate(2024, 5, 2), QStringLiteral("F"), QStringLiteral("nota"));
    Griglia g;
    ModelloGriglia modello(&g);
    QAbstractItemModelTester tester(&modello, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy azzeramenti(&modello, &QAbstractItemModel::modelReset);
    QSignalSpy cambiamenti(&modello, &QAbstractItemModel::dataChanged);

    DimensionaGriglia1(
        g, parametri(amb, QStringLiteral("Maggio"), QStringLiteral("2024"), QDate(2024, 5, 2)));
    // A whole build reaches the views as one reset.
    QCOMPARE(azzeramenti.count(), 1);
    QCOMPARE(cambiamenti.count(), 0);
    QCOMPARE(modello.rowCount(), 3);
    QCOMPARE(modello.columnCount(), 35);
    const QModelIndex cella = modello.index(2, ColonnaGiorno(2));
    QCOMPARE(cella.data().toString(), QStringLiteral("F"));
    QCOMPARE(cella.data(Qt::BackgroundRole).value<QColor>(), ColoreNota);
    QCOMPARE(modello.index(1, ColonnaGiorno(2)).data(Qt::BackgroundRole).value<QColor>(), ColoreOggi);
    QCOMPARE(modello.index(2, 2).data().toString(), QStringLiteral("Anna"));
    // Fixed cells cannot take the cursor; day cells can.
    QCOMPARE(modello.flags(modello.index(2, 3)), Qt::NoItemFlags);
    QCOMPARE(modello.flags(modello.index(1, 5)), Qt::NoItemFlags);
    QVERIFY(modello.flags(cella) & Qt::ItemIsSelectable);
    QCOMPARE(Qt::Alignment(cella.data(Qt::TextAlignmentRole).toInt()), Qt::AlignCenter);

    // An edit outside a rebuild (typing in a cell, a highlight) reaches the view as one change.
    g.impostaTesto(2, ColonnaGiorno(3), QStringLiteral("8"));
    g.impostaSfondo(2, ColonnaGiorno(3), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(cambiamenti.count(), 2);
    QCOMPARE(cambiamenti.first().at(0).toModelIndex(), modello.index(2, ColonnaGiorno(3)));
    QCOMPARE(modello.index(2, ColonnaGiorno(3)).data().toString(), QStringLiteral("8"));
    QCOMPARE(azzeramenti.count(), 1);
    // Writes outside the grid are ignored.
    g.impostaTesto(99, 99, QStringLiteral("x"));
    QCOMPARE(g.testo(99, 99), QString());
    QCOMPARE(cambiamenti.count(), 2);
}

QTEST_GUILESS_MAIN(TestGrigliaDettaglio)
#include "tst_grigliadettaglio.moc"
