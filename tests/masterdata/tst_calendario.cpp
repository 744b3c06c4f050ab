#include "AmbienteTest.h"

#include "archive/FestivitaAzienda.h"
#include "comune/Orologio.h"
#include "gui/masterdata/F_Calendario.h"
#include "masterdata/GrigliaCalendario.h"
#include "gui/masterdata/SceltaData.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace GrigliaCalendario;

class TestCalendario : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void celleDelMese_data();
    void celleDelMese();
    void coloriECaratteri();
    void festivita_data();
    void festivita();
    void testiNonValidi();
    void finestraAllApertura();
    void sceltaDiUnGiorno();
    void celleVuote_data();
    void celleVuote();
    void annoOltreElenco();
    void tastiera();
    void annullaEConferma();
    void sceltaModale();
};

namespace {
// Cells holding a day, as index -> day.
QMap<int, int> giorni(const Celle& celle)
{
    QMap<int, int> m;
    for (int i = 0; i < NumeroCelle; ++i)
        if (celle[i].giorno)
            m.insert(i, celle[i].giorno);
    return m;
}
} // namespace

void TestCalendario::init()
{
    Orologio::ImpostaAdesso(QDateTime(QDate(2021, 3, 17), QTime(9, 30, 5)));
}

void TestCalendario::cleanup()
{
    Orologio::ImpostaAdesso({});
}

void TestCalendario::celleDelMese_data()
{
    QTest::addColumn<int>("mese");
    QTest::addColumn<QString>("anno");
    QTest::addColumn<int>("primaCella");
    QTest::addColumn<int>("ultimaCella");
    QTest::newRow("marzo 2021, inizia di lunedì") << 3 << "2021" << 8 << 38;
    QTest::newRow("agosto 2021, inizia di domenica") << 8 << "2021" << 7 << 37;
    QTest::newRow("maggio 2021, 31 giorni da sabato") << 5 << "2021" << 6 << 36;
    QTest::newRow("febbraio 2021, inizia di lunedì") << 2 << "2021" << 8 << 35;
    QTest::newRow("febbraio 2024, inizia di giovedì") << 2 << "2024" << 4 << 32;
    QTest::newRow("gennaio 2022, inizia di sabato") << 1 << "2022" << 6 << 36;
}

void TestCalendario::celleDelMese()
{
    QFETCH(int, mese);
    QFETCH(QString, anno);
    QFETCH(int, primaCella);
    QFETCH(int, ultimaCella);
    const Celle celle = Compila(mese, anno, {});
    const QMap<int, int> g = giorni(celle);
    QCOMPARE(g.firstKey(), primaCella);
    QCOMPARE(g.lastKey(), ultimaCella);
    QCOMPARE(g.size(), ultimaCella - primaCella + 1);
    int atteso = 1;
    for (auto it = g.cbegin(); it != g.cend(); ++it)
        QCOMPARE(it.value(), atteso++);
    // Every day sits in the column of its weekday (Monday first).
    for (auto it = g.cbegin(); it != g.cend(); ++it)
        QCOMPARE(Colonna(it.key()) + 1, QDate(anno.toInt(), mese, it.value()).dayOfWeek());
    QCOMPARE(celle[0].giorno, 0);
}

void TestCalendario::coloriECaratteri()
{
    // March 2021: Sundays 7, 14, 21, 28; the 17th selected.
    const Celle celle = Compila(3, QStringLiteral("2021"), QStringLiteral("17/03/2021"));
    for (int i = 0; i < NumeroCelle; ++i) {
        const Cella& c = celle[i];
        QCOMPARE(c.dimensione, 9);
        QVERIFY(!c.sottolineato);
        if (!c.giorno) {
            QCOMPARE(c.sfondo, i % 7 == 0 ? VuotaDomenica : VuotaFeriale);
            QVERIFY(!c.grassetto);
        } else if (c.giorno == 17) {
            QCOMPARE(c.sfondo, GiornoScelto);
            QVERIFY(c.grassetto);
        } else {
            QCOMPARE(c.sfondo, c.giorno % 7 == 0 ? GiornoDomenica : GiornoFeriale);
            QVERIFY(!c.grassetto);
        }
    }
    // The selection of another month highlights nothing here.
    const Celle aprile = Compila(4, QStringLiteral("2021"), QStringLiteral("17/03/2021"));
    for (const Cella& c : aprile)
        QVERIFY(c.sfondo != GiornoScelto);
}

void TestCalendario::festivita_data()
{
    QTest::addColumn<int>("giorno");
    QTest::addColumn<QString>("selezionata");
    QTest::addColumn<bool>("evidenzia");
    QTest::addColumn<QColor>("sfondo");
    QTest::addColumn<QString>("festa");
    // December 2026; the company's patron day is 7 December.
    QTest::newRow("Immacolata") << 8 << "" << true << GiornoDomenica << "Immacolata Concezione";
    QTest::newRow("Santo Stefano, sabato") << 26 << "" << true << GiornoDomenica << "Santo Stefano";
    QTest::newRow("patrono") << 7 << "" << true << GiornoDomenica << "Patrono: Sant'Ambrogio";
    QTest::newRow("festa scelta: vince il giallo") << 25 << "25/12/2026" << true << GiornoScelto << "Natale";
    QTest::newRow("evidenziazione spenta") << 8 << "" << false << GiornoFeriale << "";
    QTest::newRow("giorno feriale") << 9 << "" << true << GiornoFeriale << "";
}

void TestCalendario::festivita()
{
    QFETCH(int, giorno);
    QFETCH(QString, selezionata);
    QFETCH(bool, evidenzia);
    QFETCH(QColor, sfondo);
    QFETCH(QString, festa);
    Festivita::GiorniAzienda azienda;
    azienda.giornoPatrono = 7;
    azienda.mesePatrono = 12;
    azienda.nomePatrono = QStringLiteral("Sant'Ambrogio");
    azienda.evidenzia = evidenzia;
    const int cella = CellaPrimoGiorno(QDate(2026, 12, 1)) + giorno - 1;
    const Cella c = Compila(12, QStringLiteral("2026"), selezionata, azienda)[cella];
    QCOMPARE(c.giorno, giorno);
    QCOMPARE(c.sfondo, sfondo);
    QCOMPARE(c.festa, festa);

    // The window reads the company's days from the archive and shows the name on the day.
    AmbienteTest amb;
    QVERIFY(FestivitaAzienda::ScriviPatrono(amb.archivio(), 7, 12, QStringLiteral("Sant'Ambrogio")));
    QVERIFY(FestivitaAzienda::ScriviEvidenzia(amb.archivio(), evidenzia));
    F_Calendario finestra(
        nullptr, selezionata.isEmpty() ? QStringLiteral("01/12/2026") : selezionata, amb.archivio());
    QCOMPARE(finestra.giorno(cella)->toolTip(), festa);
}

void TestCalendario::testiNonValidi()
{
    for (const auto& [mese, anno] : std::initializer_list<std::pair<int, QString>> {
             { 0, QStringLiteral("2021") }, { 13, QStringLiteral("2021") }, { 3, QString() },
             { 3, QStringLiteral("abc") }, { 3, QStringLiteral("0") }, { 3, QStringLiteral("99999") } }) {
        const Celle celle = Compila(mese, anno, QStringLiteral("non una data"));
        QVERIFY2(giorni(celle).isEmpty(), qPrintable(anno));
        QCOMPARE(celle[1].sfondo, VuotaFeriale);
        QCOMPARE(celle[7].sfondo, VuotaDomenica);
    }
}

void TestCalendario::finestraAllApertura()
{
    F_Calendario c;
    QCOMPARE(c.DataSceltaCalendario, QString());
    QCOMPARE(c.Datasel(), QStringLiteral("17/03/2021"));
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Marzo"));
    QCOMPARE(c.AnnoMostrato(), QStringLiteral("2021"));
    auto* anni = c.findChild<QComboBox*>(QStringLiteral("Anno"));
    QStringList elenco;
    for (int i = 0; i < anni->count(); ++i)
        elenco << anni->itemText(i);
    QCOMPARE(elenco,
        (QStringList { QStringLiteral("2020"), QStringLiteral("2021"), QStringLiteral("2022"),
            QStringLiteral("2023"), QStringLiteral("2024") }));
    QCOMPARE(c.findChild<QComboBox*>(QStringLiteral("Mese"))->count(), 12);
    QCOMPARE(c.findChild<QPushButton*>(QStringLiteral("oggi"))->text(), QStringLiteral("17"));
    QCOMPARE(c.windowTitle(), QString(22, QLatin1Char(' ')) + QStringLiteral("09:30:05"));
    QCOMPARE(c.findChild<QPushButton*>(QStringLiteral("Command1"))->text(), QStringLiteral("CONFERMA"));
    QCOMPARE(c.findChild<QPushButton*>(QStringLiteral("Command2"))->text(), QStringLiteral("ANNULLA"));
    QVERIFY(!c.giorno(0)->isVisibleTo(&c));
    QCOMPARE(c.giorno(8)->text(), QStringLiteral("1"));
    QCOMPARE(c.giorno(24)->text(), QStringLiteral("17"));
    QVERIFY(c.giorno(24)->font().bold());
    QCOMPARE(c.giorno(1)->text(), QString());

    // A date handed in opens on its month with it selected.
    F_Calendario altro(nullptr, QStringLiteral("05/08/2019"));
    QCOMPARE(altro.Datasel(), QStringLiteral("05/08/2019"));
    QCOMPARE(altro.MeseMostrato(), QStringLiteral("Agosto"));
    QCOMPARE(altro.AnnoMostrato(), QStringLiteral("2019"));
    QCOMPARE(altro.celle()[8].sfondo, GiornoScelto); // August 2019 began on a Thursday (cell 4)
}

void TestCalendario::sceltaDiUnGiorno()
{
    F_Calendario c;
    QTest::mouseClick(c.giorno(10), Qt::LeftButton); // 3 March 2021
    QCOMPARE(c.Datasel(), QStringLiteral("03/03/2021"));
    QCOMPARE(c.celle()[10].sfondo, GiornoScelto);
    QCOMPARE(c.celle()[24].sfondo, GiornoFeriale);
    QVERIFY(!c.giorno(24)->font().bold());
    QVERIFY(c.giorno(10)->font().bold());
    c.succ_Click();
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Aprile"));
    QCOMPARE(c.Datasel(), QStringLiteral("03/03/2021"));
    c.oggi_Click();
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Marzo"));
    QCOMPARE(c.Datasel(), QStringLiteral("03/03/2021"));
}

void TestCalendario::celleVuote_data()
{
    QTest::addColumn<int>("cella");
    QTest::addColumn<QString>("mese");
    QTest::addColumn<QString>("anno");
    // March 2021 fills 8 to 38.
    QTest::newRow("prima riga") << 1 << "Febbraio"
                                << "2021";
    QTest::newRow("domenica della prima riga") << 7 << "Febbraio"
                                               << "2021";
    QTest::newRow("fine riga sei") << 42 << "Aprile"
                                   << "2021";
    QTest::newRow("dopo l'ultimo giorno") << 39 << "Aprile"
                                          << "2021";
}

void TestCalendario::celleVuote()
{
    QFETCH(int, cella);
    QFETCH(QString, mese);
    QFETCH(QString, anno);
    F_Calendario c;
    QTest::mouseClick(c.giorno(cella), Qt::LeftButton);
    QCOMPARE(c.MeseMostrato(), mese);
    QCOMPARE(c.AnnoMostrato(), anno);
    QCOMPARE(c.Datasel(), QStringLiteral("17/03/2021"));

    // From the month shown: February 2021 (cells 8 to 35) goes back from 7 and on from 36.
    c.oggi_Click();
    c.prec_Click();
    c.giorno_Click(7);
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Gennaio"));
    c.succ_Click();
    c.giorno_Click(36);
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Marzo"));
}

void TestCalendario::annoOltreElenco()
{
    F_Calendario c;
    // Back from January of the first listed year, and on from December of the last.
    auto* mese = c.findChild<QComboBox*>(QStringLiteral("Mese"));
    auto* anno = c.findChild<QComboBox*>(QStringLiteral("Anno"));
    mese->setCurrentIndex(0);
    anno->setEditText(QStringLiteral("2020"));
    c.prec_Click();
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Dicembre"));
    QCOMPARE(c.AnnoMostrato(), QStringLiteral("2019"));
    QCOMPARE(giorni(c.celle()).size(), 31);
    QCOMPARE(anno->count(), 5);
    mese->setCurrentIndex(11);
    anno->setEditText(QStringLiteral("2024"));
    c.succ_Click();
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Gennaio"));
    QCOMPARE(c.AnnoMostrato(), QStringLiteral("2025"));
    c.succ_Click();
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Febbraio"));
    QCOMPARE(giorni(c.celle()).size(), 28);
    c.giorno_Click(giorni(c.celle()).firstKey());
    QCOMPARE(c.Datasel(), QStringLiteral("01/02/2025"));
}

void TestCalendario::tastiera()
{
    F_Calendario c;
    c.show();
    auto* conferma = c.findChild<QPushButton*>(QStringLiteral("Command1"));
    conferma->setFocus();
    QTest::keyClick(conferma, Qt::Key_Right);
    QCOMPARE(c.Datasel(), QStringLiteral("18/03/2021"));
    QTest::keyClick(conferma, Qt::Key_Down);
    QTest::keyClick(conferma, Qt::Key_Down);
    QCOMPARE(c.Datasel(), QStringLiteral("01/04/2021"));
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Aprile"));
    QTest::keyClick(conferma, Qt::Key_Left);
    QCOMPARE(c.Datasel(), QStringLiteral("31/03/2021"));
    QTest::keyClick(conferma, Qt::Key_PageDown);
    QCOMPARE(c.MeseMostrato(), QStringLiteral("Aprile"));
    QTest::keyClick(conferma, Qt::Key_Return);
    QCOMPARE(c.result(), int(QDialog::Accepted));
    QCOMPARE(c.DataSceltaCalendario, QStringLiteral("31/03/2021"));
}

void TestCalendario::annullaEConferma()
{
    // The window that opened it spares one grid rebuild however the calendar closes.
    bool salta = false;
    {
        F_Calendario c(nullptr, {}, {}, &salta);
        c.show();
        QTest::mouseClick(c.giorno(12), Qt::LeftButton);
        QTest::mouseClick(c.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
        QCOMPARE(c.DataSceltaCalendario, QString());
        QVERIFY(salta);
        QVERIFY(!c.isVisible());
    }
    {
        salta = false;
        F_Calendario c(nullptr, {}, {}, &salta);
        c.show();
        QTest::mouseClick(c.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QCOMPARE(c.DataSceltaCalendario, QStringLiteral("17/03/2021"));
        QVERIFY(salta);
    }
    {
        F_Calendario c;
        c.show();
        c.giorno_Click(30); // 23 March
        c.close();
        QCOMPARE(c.DataSceltaCalendario, QString());
    }
}

void TestCalendario::sceltaModale()
{
    QTimer::singleShot(0, [] {
        auto* c = qobject_cast<F_Calendario*>(QApplication::activeModalWidget());
        QVERIFY(c);
        c->giorno_Click(9); // 2 March 2021
        c->Command1_Click();
    });
    QCOMPARE(ScegliDataDaCalendario(nullptr, QString()), QStringLiteral("02/03/2021"));

    QTimer::singleShot(0, [] {
        auto* c = qobject_cast<F_Calendario*>(QApplication::activeModalWidget());
        QVERIFY(c);
        c->Command2_Click();
    });
    QCOMPARE(ScegliDataDaCalendario(nullptr, QStringLiteral("01/01/2020")), QString());
}

QTEST_MAIN(TestCalendario)
#include "tst_calendario.moc"
