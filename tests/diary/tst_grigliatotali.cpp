#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "archive/Module1.h"
#include "archive/Password.h"
#include "gui/diary/F_Avvio.h"
#include "comune/Griglia.h"
#include "diary/GrigliaTotali.h"
#include "comune/Orologio.h"
#include "diary/RigheDipendenti.h"
#include "gui/masterdata/F_Calendario.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>

using namespace GrigliaTotali;
using RigheDipendenti::Filtro;

class TestGrigliaTotali : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void formaSenzaTipi();
    void formaConDueTipiAlPrimoRiepilogo();
    void periodo_data();
    void periodo();
    void oreEStati();
    void contiEdAvanzamento();
    void togliZero_data();
    void togliZero();
    void comeLaDefinizioneRigaPerRiga_data();
    void comeLaDefinizioneRigaPerRiga();
};

namespace {
const QString Ordinario = QStringLiteral("ORDINARIO");

Parametri parametri(const AmbienteTest& amb, const QString& mese, const QString& anno,
    const QString& dal = {}, const QString& al = {})
{
    Parametri p;
    p.archivio = amb.archivio();
    p.mese = mese;
    p.anno = anno;
    p.dal = dal;
    p.al = al;
    p.tipi = RigheDipendenti::CaricaTipi(amb.archivio());
    return p;
}

QStringList testi(std::initializer_list<const char*> t)
{
    QStringList l;
    for (const char* s : t)
        l << QString::fromUtf8(s);
    return l;
}

QStringList colonna(const Griglia& g, int c, int da = 2)
{
    QStringList testi;
    for (int r = da; r < g.righe(); ++r)
        testi << g.testo(r, c);
    return testi;
}

QStringList riga(const Griglia& g, int r, int da = 3)
{
    QStringList testi;
    for (int c = da; c < g.colonne(); ++c)
        testi << g.testo(r, c);
    return testi;
}

// The totals written the slow way, one query per row and per row and state, as the view has
// always been defined; only the rows' order and the column order are taken from the archive.
QList<QStringList> riferimento(const Parametri& p)
{
    Archivio db(p.archivio);
    QStringList stati;
    QSqlQuery qs = db.esegui(QStringLiteral("SELECT Stato FROM TabellaStati WHERE Indice > 0"));
    while (qs.next())
        stati << qs.value(0).toString();
    std::stable_sort(stati.begin(), stati.end(),
        [](const QString& a, const QString& b) { return a.toLower() < b.toLower(); });

    QString periodo;
    QVariantList valoriPeriodo;
    const QDate dal = Module1::LeggiData(p.dal);
    const QDate al = Module1::LeggiData(p.al);
    if (dal.isValid() || al.isValid()) {
        if (dal.isValid()) {
            periodo += QStringLiteral(" AND Data >= ?");
            valoriPeriodo << dal.toString(Qt::ISODate);
        }
        if (al.isValid()) {
            periodo += QStringLiteral(" AND Data <= ?");
            valoriPeriodo << al.toString(Qt::ISODate);
        }
    } else {
        periodo = QStringLiteral(" AND Mese = ? AND Anno = ?");
        valoriPeriodo << p.mese << p.anno;
    }
    const auto testo = [](double v) {
        const QString t = Module1::FormattaNumero(v);
        return t == QLatin1String("0") ? QString() : t;
    };

    const QStringList elencoTipi = QStringList { Ordinario } + p.tipi;
    const int t = int(p.tipi.size());
    QList<QStringList> righe;
    double totale = 0;
    QList<double> orePerTipo(t + 2, 0.0);
    QList<int> totaleStato(stati.size(), 0);
    QList<QList<int>> statoPerTipo(stati.size(), QList<int>(t + 2, 0));
    for (const RigheDipendenti::Dipendente& d : RigheDipendenti::LeggiDipendenti(db, p.criteri)) {
        for (int k = 0; k <= t; ++k) {
            const QString tipo = elencoTipi.at(k);
            const int posizione = int(elencoTipi.indexOf(tipo));
            QStringList r { QString::number(d.indice), d.codice, k == 0 ? d.ragSociale : QString(), tipo };
            const QVariant somma
                = db.valore(QStringLiteral("SELECT sum(StatoNum) FROM TabellaMovimenti "
                                           "WHERE IndiceAnagrafica = ? AND Tipo = ? COLLATE NOCASE")
                        + periodo,
                    QVariantList { d.indice, tipo } + valoriPeriodo);
            r << (somma.isNull() ? QString() : testo(somma.toDouble()));
            totale += somma.toDouble();
            orePerTipo[posizione] += somma.toDouble();
            for (int s = 0; s < stati.size(); ++s) {
                const int n = db.valore(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE "
                                                       "IndiceAnagrafica = ? AND Stato = ? COLLATE NOCASE "
                                                       "AND Tipo = ? COLLATE NOCASE")
                                        + periodo,
                                    QVariantList { d.indice, stati.at(s), tipo } + valoriPeriodo)
                                  .toInt();
                r << (n ? QString::number(n) : QString());
                totaleStato[s] += n;
                statoPerTipo[s][posizione] += n;
            }
            righe << r;
        }
    }
    const auto riepilogo
        = [&](const QString& tipo, const QString& ore, const std::function<QString(int)>& cella) {
              QStringList r { QString(), QString(), QString(), tipo, ore };
              for (int s = 0; s < stati.size(); ++s)
                  r << cella(s);
              righe << r;
          };
    const auto conteggio = [](int n) { return n ? QString::number(n) : QString(); };
    riepilogo(TrattinoTipo, TrattinoOre, [](int) { return TrattinoOre; });
    if (t > 0) {
        for (int k = 0; k <= t; ++k)
            riepilogo(elencoTipi.at(k), testo(orePerTipo.at(k)),
                [&](int s) { return conteggio(statoPerTipo.at(s).at(k)); });
        riepilogo(TrattinoTipo, TrattinoOre, [](int) { return TrattinoStato; });
    }
    riepilogo(TestoTotale, testo(totale), [&](int s) { return conteggio(totaleStato.at(s)); });
    return righe;
}

QList<QStringList> corpo(const Griglia& g)
{
    QList<QStringList> righe;
    for (int r = 2; r < g.righe(); ++r)
        righe << riga(g, r, 0);
    return righe;
}
} // namespace

void TestGrigliaTotali::init()
{
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
}

void TestGrigliaTotali::cleanup()
{
    Orologio::ImpostaAdesso({});
}

void TestGrigliaTotali::formaSenzaTipi()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    movimento(amb, rossi, Ordinario, QDate(2024, 3, 4), QStringLiteral("F"));
    movimento(amb, rossi, Ordinario, QDate(2024, 3, 5), QStringLiteral("8"));

    Griglia g;
    const Esito e = DimensionaGriglia2(g, parametri(amb, QStringLiteral("Marzo"), QStringLiteral("2024")));
    QVERIFY(e.letto);
    QCOMPARE(g.righeFisse(), 2);
    QCOMPARE(g.colonneFisse(), 4);
    QCOMPARE(g.colonne(), 2 + 5);
    QCOMPARE(e.numeroStati, 2);
    QCOMPARE(e.numeroDipendenti, 2);
    QCOMPARE(e.numeroTipi, 0);
    for (const auto& [c, larghezza] : std::initializer_list<std::pair<int, int>> {
             { 0, 0 }, { 1, 0 }, { 2, 2500 }, { 3, 1600 }, { 4, 800 }, { 5, 600 }, { 6, 600 } })
        QCOMPARE(g.larghezza(c), larghezza);
    QCOMPARE(g.testo(0, 2), QStringLiteral("::::::::::::::: DIPENDENTI :::::::::::::::"));
    QCOMPARE(g.testo(0, 3), QStringLiteral("::::::::::: Tipo :::::::::::"));
    QCOMPARE(
        riga(g, 1, 4), (QStringList { QStringLiteral("ORE"), QStringLiteral("F"), QStringLiteral("M") }));
    for (int c = 4; c <= 6; ++c)
        QCOMPARE(g.sfondo(1, c), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(g.allineamento(2, 3) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(g.allineamento(2, 4), Qt::AlignCenter);
    QCOMPARE(g.allineamento(2, 5), Qt::AlignHCenter | Qt::AlignBottom);

    // Bianchi, Rossi, then the separator and the total only.
    QCOMPARE(g.righe(), 2 + 2 + 2);
    QCOMPARE(e.primaRigaRiepilogo, 4);
    QCOMPARE(e.rigaTotale(), 5);
    QCOMPARE(colonna(g, 2),
        (QStringList { QStringLiteral("Bianchi"), QStringLiteral("Rossi"), QString(), QString() }));
    QCOMPARE(riga(g, 3), (QStringList { Ordinario, QStringLiteral("8"), QStringLiteral("1"), QString() }));
    QCOMPARE(riga(g, 4),
        (QStringList { QStringLiteral("---------------------"), QStringLiteral("--------"),
            QStringLiteral("--------"), QStringLiteral("--------") }));
    QCOMPARE(riga(g, 5),
        (QStringList { QStringLiteral("TOTALE:"), QStringLiteral("8"), QStringLiteral("1"), QString() }));
    for (int c = 2; c <= 6; ++c) {
        QCOMPARE(g.sfondo(4, c), QColor(0xFF, 0xFF, 0xC0));
        QCOMPARE(g.sfondo(5, c), QColor(0xFF, 0xC0, 0xC0));
    }
    // The employee rows keep their block colours, the figures the grid's own background.
    QCOMPARE(g.sfondo(2, 3), RigheDipendenti::ColorePrimoBlocco);
    QCOMPARE(g.sfondo(3, 3), RigheDipendenti::ColoreSecondoBlocco);
    QVERIFY(!g.sfondo(3, 4).isValid());

    // No state at all: the hours column alone.
    amb.sql(QStringLiteral("DELETE FROM TabellaStati"));
    const Esito senzaStati
        = DimensionaGriglia2(g, parametri(amb, QStringLiteral("Marzo"), QStringLiteral("2024")));
    QCOMPARE(g.colonne(), 5);
    QCOMPARE(senzaStati.numeroStati, 0);
    QCOMPARE(g.testo(senzaStati.rigaTotale(), 4), QStringLiteral("8"));
}

void TestGrigliaTotali::formaConDueTipiAlPrimoRiepilogo()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    tipo(amb, QStringLiteral("STRAORDINARIO"));
    tipo(amb, QStringLiteral("FESTIVO"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    movimento(amb, rossi, Ordinario, QDate(2024, 2, 1), QStringLiteral("F"));
    movimento(amb, rossi, Ordinario, QDate(2024, 2, 2), QStringLiteral("8"));
    movimento(amb, rossi, QStringLiteral("STRAORDINARIO"), QDate(2024, 2, 2), QStringLiteral("2"));
    movimento(amb, rossi, QStringLiteral("FESTIVO"), QDate(2024, 2, 4), QStringLiteral("6,5"));

    std::unique_ptr<F_Avvio> f(F_Avvio::Apri(amb.sessione));
    QVERIFY(f);
    auto* barra = f->findChild<QProgressBar*>(QStringLiteral("ProgressRiepilogo"));
    QVERIFY(barra);
    QCOMPARE(f->findChild<QLabel*>(QStringLiteral("LabelInfo"))->text(),
        QStringLiteral("Stati:  (F) Ferie  -  (M) Malattia"));
    bool stampata = true;
    QVERIFY(f->PreparaStampa(&stampata).isEmpty()); // the detail view has no summary to print
    QVERIFY(!stampata);
    QTest::mouseClick(f->findChild<QCheckBox*>(QStringLiteral("VisualizzaTotali")), Qt::LeftButton);

    const Griglia& g = f->griglia();
    const Esito& e = f->Totali();
    QVERIFY(e.letto);
    QCOMPARE(e.numeroTipi, 2);
    QCOMPARE(g.colonne(), 7);
    // Rossi's three rows, then 1 + 3 + 1 + 1 summary rows.
    QCOMPARE(e.primaRigaRiepilogo, 5);
    QCOMPARE(g.righe() - e.primaRigaRiepilogo, 6);
    QCOMPARE(colonna(g, 3),
        (QStringList { Ordinario, QStringLiteral("FESTIVO"), QStringLiteral("STRAORDINARIO"),
            QStringLiteral("---------------------"), Ordinario, QStringLiteral("FESTIVO"),
            QStringLiteral("STRAORDINARIO"), QStringLiteral("---------------------"),
            QStringLiteral("TOTALE:") }));
    QCOMPARE(colonna(g, 4, 5),
        (QStringList { QStringLiteral("--------"), QStringLiteral("8"), QStringLiteral("6,5"),
            QStringLiteral("2"), QStringLiteral("--------"), QStringLiteral("16,5") }));
    QCOMPARE(colonna(g, 5, 5),
        (QStringList { QStringLiteral("--------"), QStringLiteral("1"), QString(), QString(),
            QStringLiteral("-----------"), QStringLiteral("1") }));
    QCOMPARE(colonna(g, 6, 5),
        (QStringList { QStringLiteral("--------"), QString(), QString(), QString(),
            QStringLiteral("-----------"), QString() }));
    for (int r = 5; r <= 8; ++r)
        QCOMPARE(g.sfondo(r, 2), QColor(0xFF, 0xFF, 0xC0));
    for (int r = 9; r <= 10; ++r)
        for (int c = 2; c <= 6; ++c)
            QCOMPARE(g.sfondo(r, c), QColor(0xFF, 0xC0, 0xC0));
    QVERIFY(!barra->isVisible());
    QVERIFY(barra->maximum() >= 1);
    QCOMPARE(barra->value(), barra->maximum());
}

void TestGrigliaTotali::periodo_data()
{
    QTest::addColumn<QString>("mese");
    QTest::addColumn<QString>("dal");
    QTest::addColumn<QString>("al");
    QTest::addColumn<QString>("ore");
    QTest::addColumn<QString>("ferie");
    // Stored: 31/12/2023 1 h; 10/01/2024 8 h; 31/01/2024 7,5 h and F; 01/02/2024 2 h; 15/06/2025 4 h and F;
    // one day of January with no date.
    QTest::newRow("mese") << "Gennaio"
                          << ""
                          << ""
                          << "16,5"
                          << "1";
    QTest::newRow("mese senza periodo") << "Febbraio"
                                        << ""
                                        << ""
                                        << "2"
                                        << "";
    QTest::newRow("solo dal") << "Marzo"
                              << "31/01/2024"
                              << ""
                              << "13,5"
                              << "2";
    QTest::newRow("solo al") << "Marzo"
                             << ""
                             << "31/01/2024"
                             << "16,5"
                             << "1";
    QTest::newRow("estremi inclusi") << "Marzo"
                                     << "31/12/2023"
                                     << "01/02/2024"
                                     << "18,5"
                                     << "1";
    QTest::newRow("un giorno") << "Marzo"
                               << "31/01/2024"
                               << "31/01/2024"
                               << "7,5"
                               << "1";
    QTest::newRow("date non valide") << "Febbraio"
                                     << "32/13/2024"
                                     << "abc"
                                     << "2"
                                     << "";
    QTest::newRow("dal non valido") << "Marzo"
                                    << "xx"
                                    << "10/01/2024"
                                    << "9"
                                    << "";
    QTest::newRow("al prima del dal") << "Gennaio"
                                      << "01/02/2024"
                                      << "31/01/2024"
                                      << ""
                                      << "";
}

void TestGrigliaTotali::periodo()
{
    QFETCH(QString, mese);
    QFETCH(QString, dal);
    QFETCH(QString, al);
    QFETCH(QString, ore);
    QFETCH(QString, ferie);
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    movimento(amb, rossi, Ordinario, QDate(2023, 12, 31), QStringLiteral("1"));
    movimento(amb, rossi, Ordinario, QDate(2024, 1, 10), QStringLiteral("8"));
    movimento(amb, rossi, Ordinario, QDate(2024, 1, 31), QStringLiteral("7,5"));
    movimento(amb, rossi, Ordinario, QDate(2024, 1, 31), QStringLiteral("F"));
    movimento(amb, rossi, Ordinario, QDate(2024, 2, 1), QStringLiteral("2"));
    movimento(amb, rossi, Ordinario, QDate(2025, 6, 15), QStringLiteral("4"));
    movimento(amb, rossi, Ordinario, QDate(2025, 6, 15), QStringLiteral("F"));
    // A row without its date.
    movimento(amb, rossi, Ordinario, QDate(2024, 1, 1), QStringLiteral("1"), {},
        { { "Data", {} }, { "Giorno", {} } });

    Griglia g;
    const Esito e = DimensionaGriglia2(g, parametri(amb, mese, QStringLiteral("2024"), dal, al));
    QVERIFY(e.letto);
    QCOMPARE(g.testo(2, 4), ore);
    QCOMPARE(g.testo(2, 5), ferie);
    QCOMPARE(g.testo(e.rigaTotale(), 4), ore);
    QCOMPARE(g.testo(e.rigaTotale(), 5), ferie);
}

void TestGrigliaTotali::oreEStati()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    const qint64 verdi = dipendente(amb, QStringLiteral("V1"), QStringLiteral("Verdi"));
    tipo(amb, QStringLiteral("EXTRA"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("P'"), QStringLiteral("Permesso d'ufficio"));
    stato(amb, QStringLiteral("R"), QStringLiteral("Riposo"));
    const QDate giorno(2024, 5, 6);
    movimento(amb, rossi, Ordinario, giorno, QStringLiteral("7,5"));
    movimento(amb, rossi, Ordinario, giorno.addDays(1), QStringLiteral("8"));
    movimento(amb, rossi, Ordinario, giorno.addDays(2), QStringLiteral("F"));
    movimento(amb, rossi, Ordinario, giorno.addDays(3), QStringLiteral("P'"));
    // The archive compares without case.
    movimento(amb, rossi, Ordinario, giorno.addDays(4), QStringLiteral("p'"));
    movimento(amb, rossi, QStringLiteral("EXTRA"), giorno, QStringLiteral("0,25"));
    movimento(amb, rossi, QStringLiteral("extra"), giorno.addDays(1), QStringLiteral("F"));
    movimento(amb, verdi, Ordinario, giorno, QStringLiteral("F"));
    movimento(amb, verdi, Ordinario, giorno.addDays(1), QStringLiteral("F"));
    movimento(amb, verdi, Ordinario, giorno.addDays(2), QString()); // an empty day
    movimento(amb, verdi, QStringLiteral("ALTRO"), giorno, QStringLiteral("5")); // a type no longer listed
    movimento(amb, 999, Ordinario, giorno, QStringLiteral("F")); // an employee deleted long ago

    Griglia g;
    const Esito e = DimensionaGriglia2(g, parametri(amb, QStringLiteral("Maggio"), QStringLiteral("2024")));
    QCOMPARE(riga(g, 1, 4),
        (QStringList {
            QStringLiteral("ORE"), QStringLiteral("F"), QStringLiteral("P'"), QStringLiteral("R") }));
    QCOMPARE(riga(g, 2), testi({ "ORDINARIO", "15,5", "1", "2", "" }));
    QCOMPARE(riga(g, 3), testi({ "EXTRA", "0,25", "1", "", "" }));
    QCOMPARE(riga(g, 4), testi({ "ORDINARIO", "", "2", "", "" }));
    QCOMPARE(riga(g, 5), testi({ "EXTRA", "", "", "", "" }));
    const int f = e.primaRigaRiepilogo;
    QCOMPARE(riga(g, f + 1), testi({ "ORDINARIO", "15,5", "3", "2", "" }));
    QCOMPARE(riga(g, f + 2), testi({ "EXTRA", "0,25", "1", "", "" }));
    QCOMPARE(riga(g, e.rigaTotale()), testi({ "TOTALE:", "15,75", "4", "2", "" }));

    // Per state column the counts of the type positions add up to the total.
    for (int c = 5; c < g.colonne(); ++c) {
        int somma = 0;
        for (int t = 0; t <= e.numeroTipi; ++t)
            somma += g.testo(f + 1 + t, c).toInt();
        QCOMPARE(somma, g.testo(e.rigaTotale(), c).toInt());
        QCOMPARE(somma == 0, g.testo(e.rigaTotale(), c).isEmpty());
    }
}

void TestGrigliaTotali::contiEdAvanzamento()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"), 1);
    dipendente(amb, QStringLiteral("V1"), QStringLiteral("Verdi"), 0);
    dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"), -1);
    dipendente(amb, QStringLiteral("N1"), QStringLiteral("Neri"), QVariant());
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    amb.sql(QStringLiteral("INSERT INTO TabellaStati (Indice, Stato) VALUES (0, 'Z')"));
    tipo(amb, QStringLiteral("EXTRA"));

    bool ok = false;
    QCOMPARE(CalcolaNumeroStati(amb.archivio(), &ok), 2);
    QVERIFY(ok);
    RigheDipendenti::Criteri criteri;
    QCOMPARE(CalcolaNumeroDipendenti(amb.archivio(), criteri, &ok), 4);
    QVERIFY(ok);
    criteri.filtro = Filtro::Attivi;
    QCOMPARE(CalcolaNumeroDipendenti(amb.archivio(), criteri), 2);
    criteri.filtro = Filtro::NonAttivi;
    QCOMPARE(CalcolaNumeroDipendenti(amb.archivio(), criteri), 2);
    criteri.filtro = Filtro::Tutti;
    criteri.codiceDipendente = QStringLiteral("v1");
    QCOMPARE(CalcolaNumeroDipendenti(amb.archivio(), criteri), 1);
    criteri.codiceDipendente = QStringLiteral("X' OR 1=1 --");
    QCOMPARE(CalcolaNumeroDipendenti(amb.archivio(), criteri), 0);

    Parametri p = parametri(amb, QStringLiteral("Maggio"), QStringLiteral("2024"));
    QList<std::pair<int, int>> passi;
    p.avanzamento = [&passi](int valore, int massimo) { passi.append({ valore, massimo }); };
    Griglia g;
    const Esito e = DimensionaGriglia2(g, p);
    QCOMPARE(e.numeroDipendenti, 4);
    QCOMPARE(g.colonne(), 5 + 2); // the state with Indice 0 has no column
    QVERIFY(passi.size() >= 2);
    QCOMPARE(passi.first().first, 0);
    QCOMPARE(passi.last().first, passi.last().second);
    for (int i = 1; i < passi.size(); ++i)
        QVERIFY(passi.at(i).first >= passi.at(i - 1).first);
}

void TestGrigliaTotali::togliZero_data()
{
    QTest::addColumn<double>("valore");
    QTest::addColumn<QString>("testo");
    QTest::newRow("zero") << 0.0 << "";
    QTest::newRow("meno zero") << -0.0 << "";
    QTest::newRow("quasi zero") << 1e-12 << "";
    QTest::newRow("intero") << 8.0 << "8";
    QTest::newRow("decimale") << 15.5 << "15,5";
    QTest::newRow("somma inesatta") << 0.1 + 0.2 << "0,3";
    QTest::newRow("negativo") << -2.25 << "-2,25";
}

void TestGrigliaTotali::togliZero()
{
    QFETCH(double, valore);
    QFETCH(QString, testo);
    QCOMPARE(TogliZero(valore), testo);
}

void TestGrigliaTotali::comeLaDefinizioneRigaPerRiga_data()
{
    QTest::addColumn<QString>("mese");
    QTest::addColumn<QString>("anno");
    QTest::addColumn<QString>("dal");
    QTest::addColumn<QString>("al");
    QTest::addColumn<int>("filtro");
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QString>("ordinamento");
    QTest::newRow("gennaio") << "Gennaio"
                             << "2024"
                             << ""
                             << "" << int(Filtro::Tutti) << ""
                             << "Ragione Sociale";
    QTest::newRow("dicembre attivi") << "Dicembre"
                                     << "2023"
                                     << ""
                                     << "" << int(Filtro::Attivi) << ""
                                     << "Codice";
    QTest::newRow("mese vuoto") << "Luglio"
                                << "2024"
                                << ""
                                << "" << int(Filtro::Tutti) << ""
                                << "Inserimento";
    QTest::newRow("periodo") << "Marzo"
                             << "2024"
                             << "15/12/2023"
                             << "20/01/2024" << int(Filtro::Tutti) << ""
                             << "Ragione Sociale";
    QTest::newRow("solo dal non attivi") << "Marzo"
                                         << "2024"
                                         << "01/02/2024"
                                         << "" << int(Filtro::NonAttivi) << ""
                                         << "Codice";
    QTest::newRow("solo al") << "Marzo"
                             << "2024"
                             << ""
                             << "10/12/2023" << int(Filtro::Tutti) << ""
                             << "Inserimento";
    QTest::newRow("un dipendente nel periodo") << "Marzo"
                                               << "2024"
                                               << "01/11/2023"
                                               << "29/02/2024" << int(Filtro::Tutti) << "e03"
                                               << "Ragione Sociale";
    QTest::newRow("un dipendente nel mese") << "Febbraio"
                                            << "2024"
                                            << ""
                                            << "" << int(Filtro::Tutti) << "E05"
                                            << "Ragione Sociale";
}

void TestGrigliaTotali::comeLaDefinizioneRigaPerRiga()
{
    QFETCH(QString, mese);
    QFETCH(QString, anno);
    QFETCH(QString, dal);
    QFETCH(QString, al);
    QFETCH(int, filtro);
    QFETCH(QString, codice);
    QFETCH(QString, ordinamento);

    AmbienteTest amb;
    QRandomGenerator caso(20240611);
    QList<qint64> indici;
    for (int i = 1; i <= 14; ++i) {
        const QVariant attivo = QList<QVariant> { 1, 0, -1, QVariant() }.at(int(caso.bounded(4)));
        indici << dipendente(amb, QStringLiteral("E%1").arg(i, 2, 10, QLatin1Char('0')),
            QStringLiteral("Dipendente %1").arg(QChar(u'A' + int(caso.bounded(26)))), attivo);
    }
    indici << 999; // entries of an employee no longer in the registry
    tipo(amb, QStringLiteral("EXTRA"));
    tipo(amb, QStringLiteral("Straordinario"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("m"), QStringLiteral("Malattia"));
    stato(amb, QStringLiteral("P'"), QStringLiteral("Permesso"));
    stato(amb, QStringLiteral("R"), QStringLiteral("Riposo")); // never recorded
    stato(amb, QStringLiteral("8"), QStringLiteral("Otto")); // a code that reads as hours
    amb.sql(QStringLiteral("INSERT INTO TabellaStati (Indice, Stato) VALUES (0, 'Z')"));

    const QStringList tipi { Ordinario, QStringLiteral("EXTRA"), QStringLiteral("straordinario"),
        QStringLiteral("ALTRO"), QStringLiteral("ordinario") };
    const QStringList codici { QStringLiteral("F"), QStringLiteral("M"), QStringLiteral("m"),
        QStringLiteral("P'"), QStringLiteral("p'"), QStringLiteral("Z"), QStringLiteral("Q"), QString() };
    {
        Archivio db(amb.archivio());
        InTransazione(db, [&] {
            const QDate inizio(2023, 11, 1);
            for (int i = 0; i < 2500; ++i) {
                const qint64 indice = indici.at(int(caso.bounded(indici.size())));
                const QString t = tipi.at(int(caso.bounded(tipi.size())));
                const QDate data = inizio.addDays(caso.bounded(152));
                const int scelta = int(caso.bounded(10));
                if (scelta < 5) {
                    const double ore = double(caso.bounded(1, 41)) / 4;
                    movimento(db, indice, t, data, Module1::FormattaNumero(ore));
                } else if (scelta == 5) {
                    // Hours without their number.
                    movimento(db, indice, t, data, QStringLiteral("8"), {}, { { "StatoNum", {} } });
                } else {
                    movimento(db, indice, t, data, codici.at(int(caso.bounded(codici.size()))));
                }
                if (caso.bounded(40) == 0)
                    db.esegui(QStringLiteral("UPDATE TabellaMovimenti SET Data = NULL WHERE Indice = (SELECT "
                                             "max(Indice) FROM TabellaMovimenti)"));
            }
        });
    }

    Parametri p = parametri(amb, mese, anno, dal, al);
    p.criteri.filtro = Filtro(filtro);
    p.criteri.codiceDipendente = codice;
    p.criteri.ordinamento = ordinamento;
    Griglia g;
    const Esito e = DimensionaGriglia2(g, p);
    QVERIFY(e.letto);
    const QList<QStringList> atteso = riferimento(p);
    const QList<QStringList> ottenuto = corpo(g);
    QCOMPARE(ottenuto.size(), atteso.size());
    for (int r = 0; r < atteso.size(); ++r)
        QCOMPARE(ottenuto.at(r), atteso.at(r));
    // The data must exercise the view: some figures in the body.
    if (mese != QLatin1String("Luglio"))
        QVERIFY(!g.testo(e.rigaTotale(), 4).isEmpty());
}

QTEST_MAIN(TestGrigliaTotali)
#include "tst_grigliatotali.moc"
