#include "AmbienteTest.h"

#include "archive/FestivitaAzienda.h"
#include "archive/FunzioniPerVariabili.h"
#include "comune/Festivita.h"

#include <QTest>

using namespace Festivita;

class TestFestivita : public QObject
{
    Q_OBJECT

private slots:
    void pasqua_data();
    void pasqua();
    void regoleDellAnno_data();
    void regoleDellAnno();
    void giorniAzienda_data();
    void giorniAzienda();
    void chiusureMemorizzate_data();
    void chiusureMemorizzate();
    void impostazioniNellArchivio();
};

namespace {
QString nomeDel(const QList<Festa>& feste, const QDate& data)
{
    QStringList nomi;
    for (const Festa& f : feste)
        if (f.data == data)
            nomi << f.nome;
    return nomi.join(QLatin1Char('|'));
}
} // namespace

void TestFestivita::pasqua_data()
{
    QTest::addColumn<int>("anno");
    QTest::addColumn<QDate>("atteso");
    QTest::newRow("2019") << 2019 << QDate(2019, 4, 21);
    QTest::newRow("2024") << 2024 << QDate(2024, 3, 31);
    QTest::newRow("2025") << 2025 << QDate(2025, 4, 20);
    QTest::newRow("2027") << 2027 << QDate(2027, 3, 28);
    QTest::newRow("2038, il giorno della Liberazione") << 2038 << QDate(2038, 4, 25);
    QTest::newRow("2000") << 2000 << QDate(2000, 4, 23);
    QTest::newRow("2285, la più alta") << 2285 << QDate(2285, 3, 22);
    QTest::newRow("1943, la più bassa") << 1943 << QDate(1943, 4, 25);
    QTest::newRow("prima del calendario gregoriano") << 1582 << QDate();
}

void TestFestivita::pasqua()
{
    QFETCH(int, anno);
    QFETCH(QDate, atteso);
    QCOMPARE(Pasqua(anno), atteso);
    if (atteso.isValid()) {
        QCOMPARE(atteso.dayOfWeek(), 7);
        const QList<Festa> feste = Nazionali(anno);
        QCOMPARE(nomeDel(feste, atteso.addDays(1)), QStringLiteral("Lunedì dell'Angelo"));
        QVERIFY(std::is_sorted(
            feste.cbegin(), feste.cend(), [](const Festa& a, const Festa& b) { return a.data < b.data; }));
    }
}

void TestFestivita::regoleDellAnno_data()
{
    QTest::addColumn<QDate>("data");
    QTest::addColumn<QString>("nome"); // "" = no national holiday that day
    QTest::newRow("2000: il 2 giugno non è festa") << QDate(2000, 6, 2) << "";
    QTest::newRow("2000: la prima domenica di giugno") << QDate(2000, 6, 4) << "Festa della Repubblica";
    QTest::newRow("2001: il 2 giugno") << QDate(2001, 6, 2) << "Festa della Repubblica";
    QTest::newRow("1985: niente Epifania") << QDate(1985, 1, 6) << "";
    QTest::newRow("1986: Epifania") << QDate(1986, 1, 6) << "Epifania";
    QTest::newRow("2025: niente San Francesco") << QDate(2025, 10, 4) << "";
    QTest::newRow("2026: San Francesco di domenica") << QDate(2026, 10, 4) << "San Francesco d'Assisi";
    QTest::newRow("2027: San Francesco di lunedì") << QDate(2027, 10, 4) << "San Francesco d'Assisi";
    QTest::newRow("2038: Pasqua e Liberazione") << QDate(2038, 4, 25) << "Pasqua|Festa della Liberazione";
    QTest::newRow("2011: Pasquetta e Liberazione")
        << QDate(2011, 4, 25) << "Lunedì dell'Angelo|Festa della Liberazione";
    QTest::newRow("Immacolata") << QDate(2026, 12, 8) << "Immacolata Concezione";
    QTest::newRow("Ferragosto") << QDate(2026, 8, 15) << "Ferragosto";
    QTest::newRow("giorno feriale") << QDate(2026, 12, 9) << "";
}

void TestFestivita::regoleDellAnno()
{
    QFETCH(QDate, data);
    QFETCH(QString, nome);
    QCOMPARE(nomeDel(Nazionali(data.year()), data), nome);
    // Ten days every year, Easter and its Monday, 6 January and 4 October as the year says.
    const int anno = data.year();
    QCOMPARE(Nazionali(anno).size(), 12 - (anno < 1986 ? 1 : 0) + (anno >= 2026 ? 1 : 0));
}

void TestFestivita::giorniAzienda_data()
{
    QTest::addColumn<int>("mese");
    QTest::addColumn<int>("giornoPatrono");
    QTest::addColumn<QString>("nomePatrono");
    QTest::addColumn<QList<QDate>>("chiusure");
    QTest::addColumn<bool>("evidenzia");
    QTest::addColumn<QString>("legenda");
    const QList<QDate> fineAnno { QDate(2026, 12, 24), QDate(2026, 12, 25), QDate(2026, 12, 28),
        QDate(2026, 12, 29), QDate(2026, 12, 30), QDate(2027, 1, 2) };
    QTest::newRow("dicembre 2026") << 12 << 0 << "" << QList<QDate> {} << true
                                   << "Festività: 8 Immacolata Concezione - 25 Natale - 26 Santo Stefano";
    QTest::newRow("Sant'Ambrogio e chiusure") << 12 << 7 << "Sant'Ambrogio" << fineAnno << true
                                              << "Festività: 7 Patrono: Sant'Ambrogio - 8 Immacolata "
                                                 "Concezione - 24 Chiusura aziendale - 25 Natale - "
                                                 "26 Santo Stefano - 28-30 Chiusura aziendale";
    QTest::newRow("patrono senza nome, sul giorno dell'Immacolata")
        << 12 << 8 << "" << QList<QDate> {} << true
        << "Festività: 8 Immacolata Concezione, Patrono - 25 Natale - 26 Santo Stefano";
    QTest::newRow("evidenziazione spenta") << 12 << 7 << "Sant'Ambrogio" << fineAnno << false << "";
    QTest::newRow("mese senza feste") << 3 << 0 << "" << fineAnno << true << "";
}

void TestFestivita::giorniAzienda()
{
    QFETCH(int, mese);
    QFETCH(int, giornoPatrono);
    QFETCH(QString, nomePatrono);
    QFETCH(QList<QDate>, chiusure);
    QFETCH(bool, evidenzia);
    QFETCH(QString, legenda);
    GiorniAzienda a;
    a.giornoPatrono = giornoPatrono;
    a.mesePatrono = giornoPatrono ? 12 : 0;
    a.nomePatrono = nomePatrono;
    a.chiusure = chiusure;
    a.evidenzia = evidenzia;
    const QList<Festa> delMese = DaEvidenziare(2026, mese, a);
    QCOMPARE(Legenda(delMese), legenda);
    // One entry a day, in order, all in the month.
    for (qsizetype i = 0; i < delMese.size(); ++i) {
        QCOMPARE(delMese.at(i).data.month(), mese);
        if (i > 0)
            QVERIFY(delMese.at(i - 1).data < delMese.at(i).data);
    }
}

void TestFestivita::chiusureMemorizzate_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QList<QDate>>("date");
    QTest::addColumn<QString>("riscritto");
    const auto d = [](int g, int m) { return QDate(2026, m, g); };
    QTest::newRow("nessuna") << "" << QList<QDate> {} << "";
    QTest::newRow("giorni e tratti") << "24/12 10/08-12/08"
                                     << QList<QDate> { d(10, 8), d(11, 8), d(12, 8), d(24, 12) }
                                     << "10/08-12/08 24/12";
    QTest::newRow("doppioni e tratti che si toccano")
        << "03/01 01/01-02/01 02/01" << QList<QDate> { d(1, 1), d(2, 1), d(3, 1) } << "01/01-03/01";
    QTest::newRow("pezzi guasti saltati")
        << "31/02 xx 05/05-01/05 1/5-2/5-3/5 07/07" << QList<QDate> { d(7, 7) } << "07/07";
    QTest::newRow("29 febbraio di un anno comune") << "29/02" << QList<QDate> {} << "";
}

void TestFestivita::chiusureMemorizzate()
{
    QFETCH(QString, testo);
    QFETCH(QList<QDate>, date);
    QFETCH(QString, riscritto);
    QCOMPARE(FestivitaAzienda::LeggiChiusure(2026, testo), date);
    QCOMPARE(FestivitaAzienda::TestoChiusure(2026, date + QList<QDate> { QDate(2025, 12, 31) }), riscritto);
}

void TestFestivita::impostazioniNellArchivio()
{
    AmbienteTest amb;
    // Nothing written: no company days, the marking on.
    bool letto = false;
    GiorniAzienda g = FestivitaAzienda::Leggi(amb.archivio(), 2026, &letto);
    QVERIFY(letto);
    QVERIFY(g.evidenzia);
    QVERIFY(!g.patrono());
    QVERIFY(g.chiusure.isEmpty());

    QVERIFY(FestivitaAzienda::ScriviPatrono(amb.archivio(), 29, 6, QStringLiteral(" San Pietro e Paolo ")));
    QVERIFY(FestivitaAzienda::ScriviEvidenzia(amb.archivio(), false));
    const QList<QDate> agosto { QDate(2026, 8, 10), QDate(2026, 8, 11), QDate(2026, 8, 14) };
    QVERIFY(FestivitaAzienda::ScriviChiusure(amb.archivio(), 2026, agosto));
    QCOMPARE(
        FunzioniPerVariabili::LeggiVariabile(amb.archivio(), QStringLiteral("F_Configurazioni_Chiusure2026")),
        QStringLiteral("10/08-11/08 14/08"));
    g = FestivitaAzienda::Leggi(amb.archivio(), 2026);
    QVERIFY(!g.evidenzia);
    QCOMPARE(g.giornoPatrono, 29);
    QCOMPARE(g.mesePatrono, 6);
    QCOMPARE(g.nomePatrono, QStringLiteral("San Pietro e Paolo"));
    QCOMPARE(g.chiusure, agosto);
    // Each year keeps its own closures.
    QVERIFY(FestivitaAzienda::Leggi(amb.archivio(), 2027).chiusure.isEmpty());

    // A year of closures that does not fit its setting is refused whole, not cut.
    QList<QDate> troppe;
    for (int i = 0; i < 34; ++i)
        troppe << QDate(2026, 1, 1).addDays(2 * i);
    QVERIFY(FestivitaAzienda::ChiusureCiStanno(2026, troppe.mid(0, 33)));
    QVERIFY(!FestivitaAzienda::ScriviChiusure(amb.archivio(), 2026, troppe));
    QCOMPARE(FestivitaAzienda::Leggi(amb.archivio(), 2026).chiusure, agosto);

    // An archive that cannot be read says so, so nothing is written over what it holds.
    QFile::remove(amb.archivio());
    FestivitaAzienda::Leggi(amb.archivio(), 2026, &letto);
    QVERIFY(!letto);
}

QTEST_GUILESS_MAIN(TestFestivita)
#include "tst_festivita.moc"
