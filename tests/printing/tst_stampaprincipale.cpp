#include "AmbienteTest.h"
#include "Controlli.h"
#include "DatiDiProva.h"
#include "StrumentiPdf.h"

#include "archive/Module1.h"
#include "archive/Password.h"
#include "gui/diary/F_Avvio.h"
#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"
#include "comune/Orologio.h"
#include "gui/diary/VistaGriglia.h"
#include "masterdata/Configurazione.h"
#include "gui/platform/ElencoStampanti.h"
#include "platform/Piattaforma.h"
#include "gui/printing/LancioStampa.h"
#include "gui/printing/LavoroStampa.h"
#include "gui/printing/Lavagna.h"
#include "gui/printing/EsecuzioneReport.h"
#include "gui/printing/StampaDettagliata.h"
#include "gui/printing/Stampanti.h"
#include "platform/Servizi.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

class TestStampaPrincipale : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void paginaUnica();
    void righeEsatte();
    void unaRigaInPiu();
    void escSullaPrimaPagina();
    void stampaTrePagine();
    void blocchiInteri();
    void festivitaSottoLaLegenda();
    void salvataggioAnnullato();
    void periodoDelRiepilogo_data();
    void periodoDelRiepilogo();
    void riepilogoInPdfSenzaAnteprima();
    void riepilogoInAnteprima();
    void larghezzaGrigliaRipristinata();

private:
    // What a page of the preview showed.
    struct Vista
    {
        QString periodo;
        QList<int> righe; // grid rows in the page picture
        bool attendeva = false; // it waited for the user (did not print itself)
    };
    QList<Vista> m_viste;
    QList<double> m_attese;
    // What the user does on a page that waits for them.
    std::function<void(Lavagna&)> m_azione;
    int m_anteprimeReport = 0;
};

namespace {

const Stampante Pdf { QStringLiteral("PDFCreator"), QStringLiteral("Qt PDF"), QStringLiteral("FILE:"), true };

void Clicca(Lavagna& l, const char* pulsante)
{
    QTest::mouseClick(w<QPushButton>(&l, pulsante), Qt::LeftButton);
}

// The main window on the test archive, with PDF output chosen.
struct Principale
{
    F_Avvio* f = nullptr;
    explicit Principale(AmbienteTest& amb, bool pdf = true)
        : f(F_Avvio::Apri(amb.sessione))
    {
        if (!f)
            qFatal("finestra principale non aperta");
        w<QCheckBox>(f, "AbilitaStampaPdf")->setChecked(pdf);
    }
    ~Principale() { delete f; }
    F_Avvio* operator->() const { return f; }
    VistaGriglia* vista() const { return f->RigheArt(); }
    int corpo() const { return f->griglia().righe() - 2; }
};

QList<int> Da(int primo, int ultimo)
{
    QList<int> r;
    for (int i = primo; i <= ultimo; ++i)
        r << i;
    return r;
}

} // namespace

void TestStampaPrincipale::init()
{
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
    servizi().stampanti = [] { return QList<Stampante> { Pdf }; };
    servizi().cartellaModelli
        = QDir(qEnvironmentVariable("CARTAVIA_TEST_BIN")).filePath(QStringLiteral("reports"));
    m_viste.clear();
    m_attese.clear();
    m_azione = {};
    m_anteprimeReport = 0;
    servizi().mostraPagina = [this](QDialog& pagina) {
        auto& l = static_cast<Lavagna&>(pagina);
        l.show();
        // A page in print mode prints itself as soon as it is shown.
        QCoreApplication::processEvents();
        m_viste << Vista { l.pagina().Periodo.testo, l.foto().righe, l.isVisible() };
        if (l.isVisible() && m_azione)
            m_azione(l);
        if (l.isVisible()) {
            QTest::qFail("pagina rimasta aperta", __FILE__, __LINE__);
            l.reject();
        }
    };
    servizi().pausaTraPagine = [this](double secondi) { m_attese << secondi; };
    servizi().anteprima = [this](QPrinter&, const std::function<void(QPrinter*)>&) { ++m_anteprimeReport; };
}

void TestStampaPrincipale::cleanup()
{
    servizi().mostraPagina = {};
    servizi().pausaTraPagine = {};
    servizi().anteprima = {};
    servizi().cartellaModelli.clear();
    servizi().stampanti = {};
    Orologio::ImpostaAdesso({});
}

void TestStampaPrincipale::paginaUnica()
{
    AmbienteTest amb;
    Principale f(amb);
    const int r = f->CalcolaNumeroRigheInStampa();
    QVERIFY2(r >= 3, "lo schermo di prova deve contenere qualche riga");
    dipendenti(amb, r - 1);
    f->DimensionaGriglia_Click();
    m_azione = [](Lavagna& l) { Clicca(l, "esci"); };
    f->Anteprima_Click();
    QCOMPARE(m_viste.size(), 1);
    QCOMPARE(m_viste.first().periodo, QStringLiteral("Mese: Febbraio  Anno: 2024 (Pag. 1 di 1)"));
    QCOMPARE(m_viste.first().righe, Da(0, f.corpo() + 1));
    QVERIFY(amb.messaggi.salvataggiProposti.isEmpty());
    QVERIFY(!amb.sessione.StampaInCorso);
}

void TestStampaPrincipale::righeEsatte()
{
    AmbienteTest amb;
    Configurazione::Salva(amb.archivio(), AziendaDiProva(), {});
    Principale f(amb);
    const int r = f->CalcolaNumeroRigheInStampa();
    dipendenti(amb, r);
    f->DimensionaGriglia_Click();
    const QString file = amb.percorso(QStringLiteral("dettagliata.pdf"));
    amb.messaggi.file.enqueue(file);
    m_azione = [](Lavagna& l) { Clicca(l, "Stampa"); };
    f->Anteprima_Click();
    // R body rows exactly: the paged path, one page.
    QCOMPARE(m_viste.size(), 1);
    QCOMPARE(m_viste.first().periodo, QStringLiteral("Mese: Febbraio  Anno: 2024  (Pag. 1 di 1)"));
    QCOMPARE(m_viste.first().righe, Da(0, r + 1));
    QVERIFY(m_attese.isEmpty());
    QCOMPARE(amb.messaggi.salvataggiProposti,
        QStringList { LavoroStampa::FilePdfProposto(QStringLiteral("Presenze dettagliate Febbraio 2024")) });
    QVERIFY(amb.messaggi.salvataggiProposti.first().startsWith(
        Piattaforma::CartellaSpeciale(QStringLiteral("CartellaDocumenti"))));
    QCOMPARE(StrumentiPdf::Pagine(file), 1);
    const QString testo = StrumentiPdf::Testo(file);
    for (const QString& atteso : { QStringLiteral("Officine Rossi S.r.l."), QStringLiteral("Comune: Lecco"),
             QStringLiteral("(Pag. 1 di 1)"), Nome(1), Nome(r), QStringLiteral("ORDINARIO") })
        QVERIFY2(testo.contains(atteso), qPrintable(atteso));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestStampaPrincipale::unaRigaInPiu()
{
    AmbienteTest amb;
    Principale f(amb);
    const int r = f->CalcolaNumeroRigheInStampa();
    dipendenti(amb, r + 1);
    f->DimensionaGriglia_Click();
    const QString file = amb.percorso(QStringLiteral("dettagliata.pdf"));
    amb.messaggi.file.enqueue(file);
    m_azione = [](Lavagna& l) { Clicca(l, "Stampa"); };
    f->Anteprima_Click();
    QCOMPARE(m_viste.size(), 2);
    QCOMPARE(m_viste.at(0).periodo, QStringLiteral("Mese: Febbraio  Anno: 2024  (Pag. 1 di 2)"));
    QCOMPARE(m_viste.at(1).periodo, QStringLiteral("Mese: Febbraio  Anno: 2024  (Pag. 2 di 2)"));
    QCOMPARE(m_viste.at(0).righe, Da(0, r + 1));
    // Page 2: the fixed rows and the last body row.
    QCOMPARE(m_viste.at(1).righe, (QList<int> { 0, 1, r + 2 }));
    QVERIFY(!m_viste.at(1).attendeva);
    QCOMPARE(m_attese, QList<double> { 1 });
    QCOMPARE(StrumentiPdf::Pagine(file), 2);
    QVERIFY(StrumentiPdf::TestoPagina(file, 1).contains(Nome(1)));
    QVERIFY(!StrumentiPdf::TestoPagina(file, 1).contains(Nome(r + 1)));
    QVERIFY(StrumentiPdf::TestoPagina(file, 2).contains(Nome(r + 1)));
    QVERIFY(!StrumentiPdf::TestoPagina(file, 2).contains(Nome(1)));
}

void TestStampaPrincipale::escSullaPrimaPagina()
{
    AmbienteTest amb;
    Principale f(amb);
    const int r = f->CalcolaNumeroRigheInStampa();
    dipendenti(amb, 2 * r + 1);
    f->DimensionaGriglia_Click();
    VistaGriglia* v = f.vista();
    const int h = v->altezzaRiga(1);
    v->impostaAltezzaRiga(5, h * 2);
    v->doItemsLayout();
    QScrollBar* barra = v->verticalScrollBar();
    QVERIFY(barra->maximum() >= 40);
    barra->setValue(40);
    m_azione = [](Lavagna& l) { QTest::keyClick(&l, Qt::Key_Escape); };
    f->Anteprima_Click();
    // Nothing printed, no further page.
    QCOMPARE(m_viste.size(), 1);
    QCOMPARE(m_viste.first().periodo, QStringLiteral("Mese: Febbraio  Anno: 2024  (Pag. 1 di 3)"));
    QVERIFY(amb.messaggi.salvataggiProposti.isEmpty());
    QVERIFY(m_attese.isEmpty());
    // Every body row has the height of row 1 again and the grid is where it was.
    for (int i = 2; i < f->griglia().righe(); ++i)
        QCOMPARE(v->altezzaRiga(i), h);
    QCOMPARE(barra->value(), 40);
}

void TestStampaPrincipale::stampaTrePagine()
{
    AmbienteTest amb;
    Configurazione::Salva(amb.archivio(), AziendaDiProva(), {});
    Principale f(amb);
    const int r = f->CalcolaNumeroRigheInStampa();
    dipendenti(amb, 2 * r + 1);
    f->DimensionaGriglia_Click();
    const QString file = amb.percorso(QStringLiteral("tre.pdf"));
    amb.messaggi.file.enqueue(file);
    int clic = 0;
    m_azione = [&clic](Lavagna& l) {
        ++clic;
        Clicca(l, "Stampa");
    };
    f->Anteprima_Click();
    // One press on page 1; pages 2 and 3 printed themselves, one second apart.
    QCOMPARE(clic, 1);
    QCOMPARE(m_viste.size(), 3);
    QVERIFY(m_viste.at(0).attendeva);
    QVERIFY(!m_viste.at(1).attendeva);
    QVERIFY(!m_viste.at(2).attendeva);
    QCOMPARE(m_viste.at(1).righe, (QList<int> { 0, 1 } + Da(r + 2, 2 * r + 1)));
    QCOMPARE(m_viste.at(2).righe, (QList<int> { 0, 1, 2 * r + 2 }));
    QCOMPARE(m_attese, (QList<double> { 1, 1 }));
    // One job, one file, three pages, each under the header.
    QCOMPARE(amb.messaggi.salvataggiProposti.size(), 1);
    QCOMPARE(StrumentiPdf::Pagine(file), 3);
    for (int p = 1; p <= 3; ++p) {
        const QString pagina = StrumentiPdf::TestoPagina(file, p);
        QVERIFY(pagina.contains(QLatin1String("Officine Rossi S.r.l.")));
        QVERIFY(pagina.contains(QStringLiteral("(Pag. %1 di 3)").arg(p)));
        QVERIFY(pagina.contains(Nome((p - 1) * r + 1)));
    }
    for (int i = 2; i < f->griglia().righe(); ++i)
        QVERIFY(f.vista()->altezzaRiga(i) > 0);
    // Print mode stays on until the next request.
    QVERIFY(amb.sessione.StampaInCorso);
    m_viste.clear();
    m_azione = [](Lavagna& l) { Clicca(l, "esci"); };
    f->Anteprima_Click();
    QCOMPARE(m_viste.size(), 1);
    QVERIFY(m_viste.first().attendeva);
}

void TestStampaPrincipale::blocchiInteri()
{
    AmbienteTest amb;
    for (const char* nome : { "NOTTURNO", "STRAORDINARIO" })
        tipo(amb, QLatin1String(nome));
    Principale f(amb);
    dipendenti(amb, 12);
    f->Form_Activate();
    const int r = f->CalcolaNumeroRigheInStampa();
    QCOMPARE(r % 3, 0);
    amb.messaggi.file.enqueue(amb.percorso(QStringLiteral("blocchi.pdf")));
    m_azione = [](Lavagna& l) { Clicca(l, "Stampa"); };
    f->Anteprima_Click();
    QVERIFY(m_viste.size() >= 2);
    int righe = 0;
    for (const Vista& v : std::as_const(m_viste)) {
        const QList<int> corpo = v.righe.mid(2);
        righe += int(corpo.size());
        // Each page holds whole employees: it starts on an "ORDINARIO" row and ends on a block's
        // last row.
        QCOMPARE(corpo.size() % 3, 0);
        QCOMPARE(f->griglia().testo(corpo.first(), 3), QStringLiteral("ORDINARIO"));
        QVERIFY(!f->griglia().testo(corpo.first(), 2).isEmpty());
    }
    QCOMPARE(righe, 36);
}

// The day header is printed as the grid shows it, and the month's holidays are listed under the
// states legend.
void TestStampaPrincipale::festivitaSottoLaLegenda()
{
    AmbienteTest amb;
    Orologio::ImpostaOggi(QDate(2026, 12, 10));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    dipendenti(amb, 2);
    Principale f(amb);
    const QString file = amb.percorso(QStringLiteral("dicembre.pdf"));
    amb.messaggi.file.enqueue(file);
    QString legenda;
    QColor colore;
    m_azione = [&](Lavagna& l) {
        legenda = l.pagina().LabelInfo.testo;
        const FotoGriglia& foto = l.foto();
        colore = foto.celle.value(int(foto.righe.indexOf(1)))
                     .value(int(foto.colonne.indexOf(GrigliaDettaglio::ColonnaGiorno(8))))
                     .sfondo;
        Clicca(l, "Stampa");
    };
    f->Anteprima_Click();
    const QString feste = QStringLiteral("Festività: 8 Immacolata Concezione - 25 Natale - 26 Santo Stefano");
    QCOMPARE(legenda, QStringLiteral("Stati:  (F) Ferie\n") + feste);
    QCOMPARE(colore, GrigliaDettaglio::ColoreDomenica);
    QVERIFY2(StrumentiPdf::Testo(file).simplified().contains(feste), qPrintable(StrumentiPdf::Testo(file)));

    // Each month lists its own; a month without holidays prints the states legend alone.
    m_azione = [&](Lavagna& l) {
        legenda = l.pagina().LabelInfo.testo;
        Clicca(l, "esci");
    };
    f->succ_Click();
    f->Anteprima_Click();
    QVERIFY(legenda.startsWith(QStringLiteral("Stati:  (F) Ferie\nFestività: 1 Capodanno - 6 Epifania")));
    f->ImpostaMeseAnno(QStringLiteral("Marzo"), 2026);
    f->DimensionaGriglia_Click();
    f->Anteprima_Click();
    QCOMPARE(legenda, QStringLiteral("Stati:  (F) Ferie"));
}

void TestStampaPrincipale::salvataggioAnnullato()
{
    AmbienteTest amb;
    Principale f(amb);
    const int r = f->CalcolaNumeroRigheInStampa();
    dipendenti(amb, r + 1);
    f->DimensionaGriglia_Click();
    // "Stampa" and then "Annulla" in the save box: the page stays open; the user leaves.
    bool apertaDopo = false;
    m_azione = [&apertaDopo](Lavagna& l) {
        Clicca(l, "Stampa");
        apertaDopo = l.isVisible();
        Clicca(l, "esci");
    };
    f->Anteprima_Click();
    QVERIFY(apertaDopo);
    QCOMPARE(m_viste.size(), 1);
    QCOMPARE(amb.messaggi.salvataggiProposti.size(), 1);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QVERIFY(!amb.sessione.StampaInCorso);
}

void TestStampaPrincipale::periodoDelRiepilogo_data()
{
    QTest::addColumn<QString>("dal");
    QTest::addColumn<QString>("al");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("due date") << QStringLiteral("01/02/2024") << QStringLiteral("10/02/2024")
                              << QStringLiteral("Dal: 01/02/2024  al: 10/02/2024");
    QTest::newRow("solo dal") << QStringLiteral("01/02/2024") << QString()
                              << QStringLiteral("Dal: 01/02/2024  al: ");
    QTest::newRow("nessuna") << QString() << QString() << QString();
    QTest::newRow("non valide") << QStringLiteral("30/02/2024") << QStringLiteral("ieri") << QString();
}

void TestStampaPrincipale::periodoDelRiepilogo()
{
    QFETCH(QString, dal);
    QFETCH(QString, al);
    QFETCH(QString, atteso);
    QCOMPARE(LancioStampa::TestoPeriodo(dal, al), atteso);
    LancioStampa::Richiesta richiesta;
    richiesta.dal = dal;
    richiesta.al = al;
    richiesta.mese = QStringLiteral("Febbraio");
    richiesta.anno = QStringLiteral("2024");
    richiesta.stampante = Pdf;
    richiesta.pdf = true;
    const Report::Richiesta r = LancioStampa::RichiestaRiepilogo(richiesta);
    QCOMPARE(r.parametri,
        (QList<Report::Parametro> { { QStringLiteral("Periodo"), atteso },
            { QStringLiteral("Mese"), QStringLiteral("Febbraio") },
            { QStringLiteral("Anno"), QStringLiteral("2024") } }));
    QCOMPARE(r.modello, QStringLiteral("StampaRiepilogativa"));
    QCOMPARE(r.formulaSelezione, QStringLiteral(" {configurazioni.indice} > 0 "));
    QCOMPARE(r.destinazione, Report::Destinazione::Stampante);
}

void TestStampaPrincipale::riepilogoInPdfSenzaAnteprima()
{
    AmbienteTest amb;
    Configurazione::Salva(amb.archivio(), AziendaDiProva(), {});
    dipendenti(amb, 2);
    movimento(amb, 1, QStringLiteral("ORDINARIO"), QDate(2024, 2, 1), QStringLiteral("8"));
    Principale f(amb);
    QVERIFY(!w<QGroupBox>(f.f, "StampaPdf")->isHidden());
    w<QCheckBox>(f.f, "VisualizzaTotali")->click();
    QCOMPARE(w<QPushButton>(f.f, "Anteprima")->text(), QStringLiteral("Stampa Riepilogo"));
    const QString file = amb.percorso(QStringLiteral("riepilogo.pdf"));
    amb.messaggi.file.enqueue(file);
    QTest::mouseClick(w<QPushButton>(f.f, "Anteprima"), Qt::LeftButton);
    // Straight to the PDF printer: neither preview.
    QCOMPARE(m_anteprimeReport, 0);
    QVERIFY(m_viste.isEmpty());
    QCOMPARE(amb.messaggi.salvataggiProposti,
        QStringList { LavoroStampa::FilePdfProposto(QStringLiteral("Riepilogo presenze Febbraio 2024")) });
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    const QString testo = StrumentiPdf::Testo(file).simplified();
    for (const QString& atteso : { QStringLiteral("Officine Rossi S.r.l."),
             QStringLiteral("Mese: Febbraio Anno: 2024"), QStringLiteral("- Dipendente 01 TOTALE ORE: 8"),
             QStringLiteral("TOTALI PARZIALI"), QStringLiteral("Pag. 1 di 1") })
        QVERIFY2(testo.contains(atteso), qPrintable(testo));
}

void TestStampaPrincipale::riepilogoInAnteprima()
{
    AmbienteTest amb;
    dipendenti(amb, 2);
    Principale f(amb, false);
    w<QCheckBox>(f.f, "VisualizzaTotali")->click();
    w<QLineEdit>(f.f, "Dal")->setText(QStringLiteral("01/02/2024"));
    w<QLineEdit>(f.f, "Al")->setText(QStringLiteral("10/02/2024"));
    f->DimensionaGriglia_Click();
    // A new period typed without "Aggiorna": the print shows the figures on screen, so it names
    // the period they were built for.
    w<QLineEdit>(f.f, "Dal")->setText(QStringLiteral("01/10/2026"));
    w<QLineEdit>(f.f, "Al")->setText(QStringLiteral("15/10/2026"));
    QString file = amb.percorso(QStringLiteral("anteprima.pdf"));
    servizi().anteprima = [&](QPrinter& printer, const std::function<void(QPrinter*)>& disegna) {
        ++m_anteprimeReport;
        // Another copy of the program prints meanwhile: this preview keeps its own lines.
        amb.sql(QStringLiteral("DELETE FROM Stampa2"));
        amb.sql(QStringLiteral("INSERT INTO Stampa2 (Des1, Grassetto) VALUES ('Estraneo', 1)"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        disegna(&printer);
    };
    f->Anteprima_Click();
    QCOMPARE(m_anteprimeReport, 1);
    QVERIFY(amb.messaggi.salvataggiProposti.isEmpty());
    const QString testo = StrumentiPdf::Testo(file).simplified();
    QVERIFY2(testo.contains(QLatin1String("Periodo Dal: 01/02/2024 al: 10/02/2024")), qPrintable(testo));
    QVERIFY(testo.contains(QLatin1String("- Dipendente 02")));
    QVERIFY(!testo.contains(QLatin1String("Estraneo")));

    // The other way round: the period emptied without "Aggiorna" still prints the period's figures
    // under the period's heading, not the month's.
    QTest::mouseClick(w<QPushButton>(f.f, "Command4"), Qt::LeftButton);
    file = amb.percorso(QStringLiteral("svuotato.pdf"));
    f->Anteprima_Click();
    QCOMPARE(m_anteprimeReport, 2);
    const QString svuotato = StrumentiPdf::Testo(file).simplified();
    QVERIFY2(
        svuotato.contains(QLatin1String("Periodo Dal: 01/02/2024 al: 10/02/2024")), qPrintable(svuotato));
}

void TestStampaPrincipale::larghezzaGrigliaRipristinata()
{
    AmbienteTest amb;
    dipendenti(amb, 3);
    Principale f(amb);
    w<QCheckBox>(f.f, "EspandiCalendario")->click();
    QVERIFY(f->EspandiCalendario());
    const int larghezza = f.vista()->width();
    m_azione = [&](Lavagna& l) { Clicca(l, "esci"); };
    f->Anteprima_Click();
    QCOMPARE(m_viste.size(), 1);
    QCOMPARE(f.vista()->width(), larghezza);
    // The summary too.
    w<QCheckBox>(f.f, "VisualizzaTotali")->click();
    const int totali = f.vista()->width();
    amb.messaggi.file.enqueue(amb.percorso(QStringLiteral("r.pdf")));
    f->Anteprima_Click();
    QCOMPARE(f.vista()->width(), totali);
}

QTEST_MAIN(TestStampaPrincipale)
#include "tst_stampaprincipale.moc"
