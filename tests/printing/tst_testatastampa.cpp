#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "masterdata/Configurazione.h"
#include "gui/printing/Lavagna.h"
#include "printing/PaginaLavagna.h"

#include <QLabel>
#include <QPainter>
#include <QTest>

using namespace PaginaLavagna;

class TestTestataStampa : public QObject
{
    Q_OBJECT

private slots:
    void righeIntestazione_data();
    void righeIntestazione();
    void posizioni_data();
    void posizioni();
    void legendaLunga();
    void testataDallArchivio();
    void testiPeriodo_data();
    void testiPeriodo();
    void paginaSottoLaTestata();
    void righePerPagina_data();
    void righePerPagina();
    void pagine_data();
    void pagine();
};

namespace {

QImage Logo()
{
    QImage logo(80, 40, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    return logo;
}

QStringList Righe(const Intestazione& i)
{
    return { i.RagSociale, i.Indirizzo, i.Cap, i.Piva, i.Tel };
}

} // namespace

void TestTestataStampa::righeIntestazione_data()
{
    QTest::addColumn<QStringList>("campi"); // Cap, Comune, Provincia, Piva, CodiceFiscale, Tel, Fax
    QTest::addColumn<QStringList>("attese"); // RagSociale .. Tel line
    const QString vuoto;
    QTest::newRow("tutto") << QStringList { QStringLiteral("23900"), QStringLiteral("Lecco"),
        QStringLiteral("LC"), QStringLiteral("0123"), QStringLiteral("RSS"), QStringLiteral("11"),
        QStringLiteral("22") }
                           << QStringList { vuoto, vuoto,
                                  QStringLiteral("Cap: 23900 - Comune: Lecco - Pr. : LC"),
                                  QStringLiteral("P.Iva : 0123 - Cod.Fiscale : RSS"),
                                  QStringLiteral("Tel : 11 - Fax : 22") };
    QTest::newRow("solo comune e fax") << QStringList { vuoto, QStringLiteral("Lecco"), vuoto, vuoto, vuoto,
        vuoto, QStringLiteral("0341 222") }
                                       << QStringList { vuoto, vuoto, QStringLiteral("Comune: Lecco"), vuoto,
                                              QStringLiteral("Fax : 0341 222") };
    QTest::newRow("solo provincia e codice fiscale") << QStringList {
        vuoto, vuoto, QStringLiteral("LC"), vuoto, QStringLiteral("RSS"), vuoto, vuoto
    } << QStringList { vuoto, vuoto, QStringLiteral("Pr. : LC"), QStringLiteral("Cod.Fiscale : RSS"), vuoto };
    QTest::newRow("cap e provincia") << QStringList { QStringLiteral("23900"), vuoto, QStringLiteral("LC"),
        vuoto, vuoto, QStringLiteral("11"), vuoto }
                                     << QStringList { vuoto, vuoto, QStringLiteral("Cap: 23900 - Pr. : LC"),
                                            vuoto, QStringLiteral("Tel : 11") };
    // Blanks only do not count as data.
    QTest::newRow("solo spazi") << QStringList { QStringLiteral("  "), QStringLiteral(" "), vuoto,
        QStringLiteral("   "), vuoto, vuoto, QStringLiteral(" ") }
                                << QStringList { vuoto, vuoto, vuoto, vuoto, vuoto };
}

void TestTestataStampa::righeIntestazione()
{
    QFETCH(QStringList, campi);
    QFETCH(QStringList, attese);
    Configurazione::Dati d;
    d.Cap = campi.at(0);
    d.Comune = campi.at(1);
    d.Provincia = campi.at(2);
    d.Piva = campi.at(3);
    d.CodiceFiscale = campi.at(4);
    d.Tel = campi.at(5);
    d.Fax = campi.at(6);
    QCOMPARE(Righe(RigheIntestazione(d)), attese);
}

void TestTestataStampa::posizioni_data()
{
    QTest::addColumn<bool>("riga"); // the archive has a settings row
    QTest::addColumn<bool>("intestazione");
    QTest::addColumn<bool>("logoAcceso");
    QTest::addColumn<bool>("conImmagine");
    QTest::addColumn<int>("periodo");
    QTest::addColumn<int>("legenda");
    QTest::addColumn<int>("immagine");
    QTest::newRow("nessuna riga") << false << true << true << true << 60 << 505 << 720;
    QTest::newRow("ne' testata ne' logo") << true << false << false << true << 60 << 565 << 760;
    QTest::newRow("solo testata") << true << true << false << true << 1750 << 2255 << 2450;
    QTest::newRow("logo senza testata") << true << false << true << true << 3130 << 3635 << 3830;
    QTest::newRow("logo e testata") << true << true << true << true << 3130 << 3635 << 3830;
    QTest::newRow("logo acceso senza immagine") << true << true << true << false << 1750 << 2255 << 2450;
}

void TestTestataStampa::posizioni()
{
    QFETCH(bool, riga);
    QFETCH(bool, intestazione);
    QFETCH(bool, logoAcceso);
    QFETCH(bool, conImmagine);
    QFETCH(int, periodo);
    QFETCH(int, legenda);
    QFETCH(int, immagine);
    Configurazione::Dati d = AziendaDiProva();
    d.VisualizzaIntestazione = intestazione;
    d.VisualizzaLogo = logoAcceso;
    Pagina p;
    InserisciDatiTestata(
        p, riga ? &d : nullptr, conImmagine ? Logo() : QImage(), QStringLiteral("Stati:  (F) Ferie"));
    QCOMPARE(p.width, 11000);
    QCOMPARE(p.FStampa.left, 11000 - 2235 - 150);
    QCOMPARE(p.Periodo.top, periodo);
    QCOMPARE(p.LabelInfo.top, legenda);
    QCOMPARE(p.ImmagineStampa.top, immagine);
    QCOMPARE(p.LabelInfo.testo, QStringLiteral("Stati:  (F) Ferie"));
    QVERIFY(p.LabelInfo.visibile);
    QVERIFY(p.Periodo.visibile);
    const bool testata = riga && intestazione;
    for (const Controllo* c : { &p.RagSociale, &p.Indirizzo, &p.Cap, &p.Piva, &p.Tel })
        QCOMPARE(c->visibile, testata);
    QCOMPARE(p.RagSociale.testo, testata ? QStringLiteral("Officine Rossi S.r.l.") : QString());
    const bool logo = riga && logoAcceso && conImmagine;
    QCOMPARE(p.Logo.visibile, logo);
    if (logo)
        QCOMPARE(p.Logo.left, 11000 - 4000 - 200);
}

void TestTestataStampa::legendaLunga()
{
    // A legend that needs two lines pushes the picture down instead of being cut.
    Configurazione::Dati d = AziendaDiProva();
    Pagina p;
    InserisciDatiTestata(p, &d, {}, QStringLiteral("Stati: ..."), 400);
    QCOMPARE(p.LabelInfo.height, 400);
    QCOMPARE(p.LabelInfo.top, 2255);
    QCOMPARE(p.ImmagineStampa.top, 2655);
    QCOMPARE(p.LabelInfo.left + p.LabelInfo.width, 11000 - p.LabelInfo.left);
}

void TestTestataStampa::testataDallArchivio()
{
    AmbienteTest amb;
    Lavagna vuota(amb.sessione);
    vuota.InserisciDatiTestata(QStringLiteral("Stati:  (F) Ferie"));
    // An empty Configurazioni: the positions of the first stacking, only legend, period and picture.
    QCOMPARE(vuota.pagina().Periodo.top, 60);
    QCOMPARE(vuota.pagina().LabelInfo.top, 505);
    QCOMPARE(vuota.pagina().ImmagineStampa.top, 720);
    QCOMPARE(
        vuota.findChild<QLabel*>(QStringLiteral("LabelInfo"))->text(), QStringLiteral("Stati:  (F) Ferie"));
    for (const char* nome : { "RagSociale", "Indirizzo", "Cap", "Piva", "Tel", "Logo" })
        QVERIFY2(vuota.findChild<QLabel*>(QLatin1String(nome))->isHidden(), nome);

    // Only the town and the fax filled in.
    Configurazione::Dati d;
    d.Comune = QStringLiteral("Lecco");
    d.Fax = QStringLiteral("0341 222");
    d.VisualizzaIntestazione = true;
    Configurazione::Salva(amb.archivio(), d, {});
    Lavagna solo(amb.sessione);
    solo.InserisciDatiTestata({});
    QCOMPARE(solo.findChild<QLabel*>(QStringLiteral("Cap"))->text(), QStringLiteral("Comune: Lecco"));
    QCOMPARE(solo.findChild<QLabel*>(QStringLiteral("Tel"))->text(), QStringLiteral("Fax : 0341 222"));
    QVERIFY(!solo.findChild<QLabel*>(QStringLiteral("Cap"))->isHidden());
    QVERIFY(!solo.findChild<QLabel*>(QStringLiteral("Tel"))->isHidden());
    for (const char* nome : { "RagSociale", "Indirizzo", "Piva", "Logo" })
        QVERIFY2(solo.findChild<QLabel*>(QLatin1String(nome))->isHidden(), nome);
    QCOMPARE(solo.pagina().Periodo.top, 1750);

    // The header switched off: no header line, whatever the data; a stored logo shown alone.
    d = AziendaDiProva();
    d.VisualizzaIntestazione = false;
    d.VisualizzaLogo = true;
    Configurazione::Salva(amb.archivio(), d, Configurazione::InBitmap(Logo()));
    Lavagna logo(amb.sessione);
    logo.InserisciDatiTestata({});
    for (const char* nome : { "RagSociale", "Indirizzo", "Cap", "Piva", "Tel" })
        QVERIFY2(logo.findChild<QLabel*>(QLatin1String(nome))->isHidden(), nome);
    QVERIFY(!logo.findChild<QLabel*>(QStringLiteral("Logo"))->isHidden());
    QCOMPARE(logo.pagina().immagineLogo.size(), QSize(80, 40));
    QCOMPARE(logo.pagina().Periodo.top, 3130);

    // Both switched off.
    d.VisualizzaLogo = false;
    Configurazione::Salva(amb.archivio(), d, {});
    Lavagna spenta(amb.sessione);
    spenta.InserisciDatiTestata({});
    for (const char* nome : { "RagSociale", "Indirizzo", "Cap", "Piva", "Tel", "Logo" })
        QVERIFY2(spenta.findChild<QLabel*>(QLatin1String(nome))->isHidden(), nome);
    QCOMPARE(spenta.pagina().Periodo.top, 60);
    QCOMPARE(spenta.pagina().ImmagineStampa.top, 760);
}

void TestTestataStampa::testiPeriodo_data()
{
    QTest::addColumn<QString>("dal");
    QTest::addColumn<QString>("al");
    QTest::addColumn<int>("pagina");
    QTest::addColumn<int>("pagine");
    QTest::addColumn<bool>("paginata");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("mese, pagina unica") << QString() << QString() << 1 << 1 << false
                                        << QStringLiteral("Mese: Febbraio  Anno: 2024 (Pag. 1 di 1)");
    QTest::newRow("mese, paginata") << QString() << QString() << 2 << 3 << true
                                    << QStringLiteral("Mese: Febbraio  Anno: 2024  (Pag. 2 di 3)");
    QTest::newRow("periodo") << QStringLiteral("01/02/2024") << QStringLiteral("15/02/2024") << 1 << 1 << true
                             << QStringLiteral("Periodo Dal: 01/02/2024  al: 15/02/2024  (Pag. 1 di 1)");
    QTest::newRow("solo fine valida")
        << QStringLiteral("xx") << QStringLiteral("15/02/2024") << 1 << 1 << false
        << QStringLiteral("Periodo Dal: xx  al: 15/02/2024 (Pag. 1 di 1)");
    QTest::newRow("date non valide") << QStringLiteral("31/02/2024") << QStringLiteral("abc") << 1 << 1
                                     << false << QStringLiteral("Mese: Febbraio  Anno: 2024 (Pag. 1 di 1)");
}

void TestTestataStampa::testiPeriodo()
{
    QFETCH(QString, dal);
    QFETCH(QString, al);
    QFETCH(int, pagina);
    QFETCH(int, pagine);
    QFETCH(bool, paginata);
    QFETCH(QString, atteso);
    QCOMPARE(TestoPeriodo(dal, al, QStringLiteral("Febbraio"), QStringLiteral("2024"),
                 TestoPagina(pagina, pagine, paginata)),
        atteso);
}

void TestTestataStampa::paginaSottoLaTestata()
{
    Configurazione::Dati d = AziendaDiProva();
    Pagina p;
    InserisciDatiTestata(p, &d, {}, {});
    PreparaPagina(p, QSize(14950, 5000), QStringLiteral("Mese: Marzo"), QSize(19200, 16200));
    QCOMPARE(p.ImmagineStampa.left, 50);
    QCOMPARE(p.LabelInfo.left, 50);
    QCOMPARE(p.ImmagineStampa.width, 10800);
    // The proportions of the grid are kept.
    QCOMPARE(p.ImmagineStampa.height, 3612);
    QCOMPARE(p.Periodo.width, 11000);
    QCOMPARE(p.Periodo.testo, QStringLiteral("Mese: Marzo"));
    QCOMPARE(p.height, 2450 + 3612 + 700);
    QCOMPARE(p.top, (16200 - p.height) / 2 - 200);
    QCOMPARE(p.left, (19200 - 11000) / 2);
    // A window taller than the screen starts at its top.
    PreparaPagina(p, QSize(1000, 5000), QString(), QSize(12000, 9000));
    QCOMPARE(p.top, 0);
}

void TestTestataStampa::righePerPagina_data()
{
    QTest::addColumn<int>("schermo"); // twips
    QTest::addColumn<int>("riga"); // height of row 0, twips
    QTest::addColumn<int>("tipi");
    QTest::addColumn<int>("attese");
    // (9000 - 3480 - 500) / (285 x 1.35) = 13.05
    QTest::newRow("schermo 600") << 9000 << 285 << 0 << 13;
    QTest::newRow("schermo 1080") << 16200 << 285 << 0 << 31;
    QTest::newRow("massimo 65") << 60000 << 285 << 0 << 65;
    QTest::newRow("blocchi interi") << 16200 << 285 << 3 << 28;
    QTest::newRow("65 a blocchi") << 60000 << 285 << 3 << 64;
    QTest::newRow("blocco troppo alto") << 9000 << 285 << 20 << 13;
    QTest::newRow("schermo minimo") << 4080 << 285 << 2 << 0;
    QTest::newRow("riga senza altezza") << 9000 << 0 << 0 << 0;
}

void TestTestataStampa::righePerPagina()
{
    QFETCH(int, schermo);
    QFETCH(int, riga);
    QFETCH(int, tipi);
    QFETCH(int, attese);
    QCOMPARE(CalcolaNumeroRigheInStampa(schermo, 3480, riga, tipi), attese);
}

void TestTestataStampa::pagine_data()
{
    QTest::addColumn<int>("corpo"); // body rows
    QTest::addColumn<int>("perPagina");
    QTest::addColumn<int>("pagine");
    QTest::newRow("righe esatte") << 13 << 13 << 1;
    QTest::newRow("una in piu'") << 14 << 13 << 2;
    QTest::newRow("tre pagine") << 27 << 13 << 3;
    QTest::newRow("tre pagine piene") << 39 << 13 << 3;
}

void TestTestataStampa::pagine()
{
    QFETCH(int, corpo);
    QFETCH(int, perPagina);
    QFETCH(int, pagine);
    QCOMPARE(NumeroPagine(corpo + 2, perPagina), pagine);
    QCOMPARE(PaginaDellaRiga(2, perPagina), 1);
    QCOMPARE(PaginaDellaRiga(corpo + 1, perPagina), pagine);
    QCOMPARE(PaginaDellaRiga(perPagina + 1, perPagina), 1);
    QCOMPARE(PaginaDellaRiga(perPagina + 2, perPagina), 2);
}

QTEST_MAIN(TestTestataStampa)
#include "tst_testatastampa.moc"
