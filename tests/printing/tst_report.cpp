#include "AmbienteTest.h"
#include "DatiDiProva.h"
#include "StrumentiPdf.h"

#include "archive/Module1.h"
#include "comune/Orologio.h"
#include "masterdata/Configurazione.h"
#include "platform/Piattaforma.h"
#include "gui/printing/AnteprimaReport.h"
#include "gui/printing/LavoroStampa.h"
#include "gui/printing/EsecuzioneReport.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>

using namespace Report;

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void riepilogoInPdf();
    void intestazioneELogo_data();
    void intestazioneELogo();
    void periodo_data();
    void periodo();
    void piuPagine();
    void anteprima();
    void stampaDallAnteprima_data();
    void stampaDallAnteprima();
    void elencoInColonna();
    void modelloMancanteOGuasto_data();
    void modelloMancanteOGuasto();
    void pdfNonScrivibile();
    void pdfAnnullato();
    void stampanteNonDisponibile();
    void formula_data();
    void formula();
};

namespace {

const Stampante Pdf { QStringLiteral("PDFCreator"), QStringLiteral("Qt PDF"), QStringLiteral("FILE:"), true };

QString Modelli()
{
    return QDir(qEnvironmentVariable("CARTAVIA_TEST_BIN")).filePath(QStringLiteral("reports"));
}

TabellaStampa2::RigaStampa2 Linea(const QString& testo, int grassetto = 0)
{
    TabellaStampa2::RigaStampa2 r;
    r.Des1 = testo;
    r.Grassetto = grassetto;
    return r;
}

void Azienda(AmbienteTest& amb, bool intestazione, bool logo)
{
    Configurazione::Dati d = AziendaDiProva();
    d.VisualizzaIntestazione = intestazione;
    d.VisualizzaLogo = logo;
    QImage immagine(120, 60, QImage::Format_RGB32);
    immagine.fill(QColor(0x20, 0x40, 0x80));
    Configurazione::Salva(amb.archivio(), d, Configurazione::InBitmap(immagine));
}

Richiesta Riepilogo(const AmbienteTest& amb, const QList<TabellaStampa2::RigaStampa2>& righe)
{
    Richiesta r;
    r.modello = StampaRiepilogativa;
    r.archivio = amb.sessione.PercorsoArchivio;
    r.formulaSelezione = FormulaConfigurazioni;
    r.parametri
        = { { QStringLiteral("Periodo"), QString() }, { QStringLiteral("Mese"), QStringLiteral("Febbraio") },
              { QStringLiteral("Anno"), QStringLiteral("2024") } };
    r.stampante = Pdf;
    r.destinazione = Destinazione::Stampante;
    r.titolo = QStringLiteral("Riepilogo presenze Febbraio 2024");
    r.righeStampa2 = righe;
    return r;
}

// Straight to the built-in PDF printer, saved at `file`.
QString InPdf(AmbienteTest& amb, const Richiesta& r, const QString& nome = QStringLiteral("stampa.pdf"))
{
    const QString file = amb.percorso(nome);
    amb.messaggi.file.enqueue(file);
    if (!Esegui(r))
        return {};
    return file;
}

// The texts in the order they appear, each after the one before.
bool InOrdine(const QString& testo, const QStringList& parti)
{
    qsizetype da = 0;
    for (const QString& p : parti) {
        da = testo.indexOf(p, da);
        if (da < 0) {
            qWarning() << "manca" << p;
            return false;
        }
        da += p.size();
    }
    return true;
}

bool HaGrassetto(const QStringList& caratteri, const QString& famiglia)
{
    for (const QString& c : caratteri)
        if (c.startsWith(famiglia) && c.contains(QLatin1String("Bold")))
            return true;
    return false;
}

} // namespace

void TestReport::init()
{
    servizi().cartellaModelli = Modelli();
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
}

void TestReport::cleanup()
{
    servizi().cartellaModelli.clear();
    servizi().anteprima = {};
    Orologio::ImpostaAdesso({});
}

void TestReport::riepilogoInPdf()
{
    AmbienteTest amb;
    Azienda(amb, true, false);
    const QList<TabellaStampa2::RigaStampa2> righe { Linea(QStringLiteral(" - Rossi Mario"), 1),
        Linea(QStringLiteral("TOTALE ORE: 160")), Linea(QStringLiteral("Ferie : 2")),
        Linea(QStringLiteral("STRAORDINARIO (ORE) : 7,5")), Linea(TabellaStampa2::BannerTotali),
        Linea(QStringLiteral("TOTALE ORE: 167,5"), 1) };
    // Another copy of the program rewrote the table meanwhile: this print shows its own lines.
    amb.sql(QStringLiteral("INSERT INTO Stampa2 (Des1, Grassetto) VALUES ('Bianchi Luigi', 1)"));

    const QString file = InPdf(amb, Riepilogo(amb, righe));
    QVERIFY(!file.isEmpty());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    // The save box proposed the report and the period in the documents folder.
    QCOMPARE(amb.messaggi.salvataggiProposti,
        QStringList {
            Piattaforma::UnisciPercorso(Piattaforma::CartellaSpeciale(QStringLiteral("CartellaDocumenti")),
                QStringLiteral("Riepilogo presenze Febbraio 2024.pdf")) });
    QCOMPARE(StrumentiPdf::Pagine(file), 1);
    const QString testo = StrumentiPdf::Testo(file);
    QVERIFY2(
        InOrdine(testo,
            { QStringLiteral("Officine Rossi S.r.l."), QStringLiteral("Via Roma 1"),
                QStringLiteral("Cap: 23900 - Comune: Lecco - Pr. : LC"), QStringLiteral("Tel : 0341 111"),
                QStringLiteral("RIEPILOGO PRESENZE"), QStringLiteral("Mese: Febbraio"),
                QStringLiteral("Anno: 2024"), QStringLiteral("- Rossi Mario"),
                QStringLiteral("TOTALE ORE: 160"), QStringLiteral("Ferie : 2"),
                QStringLiteral("STRAORDINARIO (ORE) : 7,5"), QStringLiteral("TOTALI"),
                QStringLiteral("TOTALE ORE: 167,5"), QStringLiteral("Pag. 1 di 1") }),
        qPrintable(testo));
    QVERIFY(!testo.contains(QLatin1String("Bianchi")));
    QVERIFY(!testo.contains(QLatin1String("Periodo")));
    // Bold lines are set in the bold face of the lines' font.
    const QStringList caratteri = StrumentiPdf::Caratteri(file);
    QVERIFY2(HaGrassetto(caratteri, QStringLiteral("DejaVuSansMono")), qPrintable(caratteri.join(u' ')));

    // Without bold lines no bold face of that font is needed.
    const QString normale
        = InPdf(amb, Riepilogo(amb, { Linea(QStringLiteral("TOTALE ORE: 8")) }), QStringLiteral("n.pdf"));
    QVERIFY(StrumentiPdf::Caratteri(normale).contains(QStringLiteral("DejaVuSansMono")));
    QVERIFY(!HaGrassetto(StrumentiPdf::Caratteri(normale), QStringLiteral("DejaVuSansMono")));
}

void TestReport::intestazioneELogo_data()
{
    QTest::addColumn<bool>("riga");
    QTest::addColumn<bool>("intestazione");
    QTest::addColumn<bool>("logo");
    QTest::newRow("tutto") << true << true << true;
    QTest::newRow("intestazione spenta") << true << false << false;
    QTest::newRow("logo senza intestazione") << true << false << true;
    QTest::newRow("nessuna riga") << false << false << false;
}

void TestReport::intestazioneELogo()
{
    QFETCH(bool, riga);
    QFETCH(bool, intestazione);
    QFETCH(bool, logo);
    AmbienteTest amb;
    if (riga)
        Azienda(amb, intestazione, logo);
    const QString file = InPdf(amb, Riepilogo(amb, { Linea(QStringLiteral("TOTALE ORE: 8")) }));
    QVERIFY(!file.isEmpty());
    const QString testo = StrumentiPdf::Testo(file);
    QCOMPARE(testo.contains(QLatin1String("Officine Rossi S.r.l.")), intestazione);
    QCOMPARE(testo.contains(QLatin1String("Via Roma 1")), intestazione);
    QVERIFY(testo.contains(QLatin1String("TOTALE ORE: 8")));
    QCOMPARE(StrumentiPdf::Immagini(file), logo ? 1 : 0);
}

void TestReport::periodo_data()
{
    QTest::addColumn<QString>("periodo");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<QString>("assente");
    QTest::newRow("con periodo") << QStringLiteral("Dal: 01/02/2024  al: 15/02/2024")
                                 << QStringLiteral("Periodo Dal: 01/02/2024 al: 15/02/2024")
                                 << QStringLiteral("Mese:");
    QTest::newRow("senza periodo") << QString() << QStringLiteral("Mese: Febbraio Anno: 2024")
                                   << QStringLiteral("Periodo");
}

void TestReport::periodo()
{
    QFETCH(QString, periodo);
    QFETCH(QString, atteso);
    QFETCH(QString, assente);
    AmbienteTest amb;
    Richiesta r = Riepilogo(amb, { Linea(QStringLiteral("TOTALE ORE: 8")) });
    r.parametri[0].valore = periodo;
    const QString testo = StrumentiPdf::Testo(InPdf(amb, r)).simplified();
    QVERIFY2(testo.contains(atteso), qPrintable(testo));
    QVERIFY(!testo.contains(assente));
}

void TestReport::piuPagine()
{
    AmbienteTest amb;
    QList<TabellaStampa2::RigaStampa2> righe;
    for (int i = 1; i <= 150; ++i)
        righe << Linea(QStringLiteral("Riga numero %1").arg(i), i % 10 == 1 ? 1 : 0);
    const QString file = InPdf(amb, Riepilogo(amb, righe));
    const int pagine = StrumentiPdf::Pagine(file);
    QVERIFY2(pagine >= 2, qPrintable(QString::number(pagine)));
    const QString testo = StrumentiPdf::Testo(file);
    QStringList tutte;
    for (int i = 1; i <= 150; ++i)
        tutte << QStringLiteral("Riga numero %1\n").arg(i);
    QVERIFY(InOrdine(testo, tutte));
    for (int p = 1; p <= pagine; ++p)
        QVERIFY(
            StrumentiPdf::TestoPagina(file, p).contains(QStringLiteral("Pag. %1 di %2").arg(p).arg(pagine)));
    // The last line is on the last page, the first on the first.
    QVERIFY(StrumentiPdf::TestoPagina(file, 1).contains(QLatin1String("Riga numero 1\n")));
    QVERIFY(StrumentiPdf::TestoPagina(file, pagine).contains(QLatin1String("Riga numero 150")));
}

void TestReport::anteprima()
{
    AmbienteTest amb;
    Azienda(amb, true, false);
    int anteprime = 0;
    const QString file = amb.percorso(QStringLiteral("anteprima.pdf"));
    QString nomeStampante;
    servizi().anteprima = [&](QPrinter& printer, const std::function<void(QPrinter*)>& disegna) {
        ++anteprime;
        nomeStampante = printer.docName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        disegna(&printer);
    };
    Richiesta r = Riepilogo(amb, { Linea(QStringLiteral(" - Rossi Mario"), 1) });
    r.destinazione = Destinazione::Anteprima;
    r.stampante = {};
    QVERIFY(Esegui(r));
    QCOMPARE(anteprime, 1);
    QCOMPARE(nomeStampante, QStringLiteral("Riepilogo presenze Febbraio 2024"));
    // The preview asks for no file: that is its own print button's business.
    QVERIFY(amb.messaggi.salvataggiProposti.isEmpty());
    QVERIFY(StrumentiPdf::Testo(file).contains(QLatin1String("- Rossi Mario")));
}

void TestReport::stampaDallAnteprima_data()
{
    QTest::addColumn<QString>("stampante");
    QTest::addColumn<QString>("file"); // the save box's answer
    QTest::addColumn<bool>("stampato");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("PDFCreator") << QStringLiteral("PDFCreator") << QStringLiteral("anteprima.pdf") << true
                                << QString();
    QTest::newRow("salvataggio annullato") << QStringLiteral("PDFCreator") << QString() << false << QString();
    QTest::newRow("coda sparita")
        << QStringLiteral("Stampante rimossa 7f3a") << QString() << false
        << QStringLiteral("La stampante «Stampante rimossa 7f3a» non è disponibile.\nSceglierne "
                          "un'altra con «SELEZIONA STAMPANTE PREDEFINITA».");
}

void TestReport::stampaDallAnteprima()
{
    QFETCH(QString, stampante);
    QFETCH(QString, file);
    QFETCH(bool, stampato);
    QFETCH(QString, messaggio);
    AmbienteTest amb;
    QList<TabellaStampa2::RigaStampa2> righe;
    for (int i = 1; i <= 150; ++i)
        righe << Linea(QStringLiteral("Riga numero %1").arg(i));
    Richiesta r = Riepilogo(amb, righe);
    r.destinazione = Destinazione::Anteprima;
    r.stampante = stampante == Pdf.nome
        ? Pdf
        : Stampante { stampante, QStringLiteral("driver"), QStringLiteral("porta"), false };
    const QString pdf = file.isEmpty() ? QString() : amb.percorso(file);
    amb.messaggi.file.enqueue(pdf);

    // The real preview: "Stampa" prints on the request's printer, the one the window names.
    QString nome;
    bool apertaDopo = true;
    bool vista = false;
    QTimer utente;
    utente.setInterval(10);
    connect(&utente, &QTimer::timeout, this, [&] {
        auto* finestra = qobject_cast<AnteprimaReport*>(QApplication::activeModalWidget());
        if (!finestra || !finestra->isVisible())
            return;
        utente.stop();
        vista = true;
        nome = finestra->findChild<QLabel*>(QStringLiteral("Stampante"))->text();
        QTest::mouseClick(finestra->findChild<QPushButton*>(QStringLiteral("Stampa")), Qt::LeftButton);
        apertaDopo = finestra->isVisible();
        finestra->reject();
    });
    utente.start();
    QVERIFY(Esegui(r));
    QVERIFY(vista);
    QCOMPARE(nome,
        stampante == Pdf.nome ? QStringLiteral("Stampante: PDFCreator (file PDF)")
                              : QStringLiteral("Stampante: ") + stampante);
    // A print that did not happen leaves the preview open.
    QCOMPARE(apertaDopo, !stampato);
    QCOMPARE(amb.messaggi.testi(), messaggio.isEmpty() ? QStringList() : QStringList { messaggio });
    QCOMPARE(amb.messaggi.salvataggiProposti,
        stampante == Pdf.nome ? QStringList { LavoroStampa::FilePdfProposto(r.titolo) } : QStringList());
    if (!stampato)
        return;
    // The pages previewed, on A4.
    QVERIFY(StrumentiPdf::Pagine(pdf) > 1);
    QVERIFY(
        StrumentiPdf::TestoPagina(pdf, StrumentiPdf::Pagine(pdf)).contains(QLatin1String("Riga numero 150")));
    for (const QSizeF& foglio : StrumentiPdf::Fogli(pdf))
        QCOMPARE(foglio.toSize(), QSize(595, 842));
}

void TestReport::elencoInColonna()
{
    AmbienteTest amb;
    Azienda(amb, true, false);
    Richiesta r;
    r.modello = StampaGenerica;
    r.archivio = amb.archivio();
    r.stampante = Pdf;
    r.destinazione = Destinazione::Stampante;
    r.titolo = QStringLiteral("Elenco dipendenti");
    const QStringList righe { QStringLiteral("Data di Stampa: 14/02/2024"), QString(), QString(141, u'-'),
        QStringLiteral("Codice |Ragione Sociale         |Attiv|"), QString(141, u'-'),
        QStringLiteral("A1     |Rossi Mario             |SI   |"),
        QStringLiteral("WWWWWW |iiiiiiiiiiiiiiiiiiiiiiii|NO   |"), QString(141, u'-'), QString() };
    for (const QString& t : righe)
        r.righeStampa << TabellaStampa::RigaStampa { 0, t };
    const QString file = InPdf(amb, r);
    const QString testo = StrumentiPdf::Testo(file);
    QVERIFY2(
        InOrdine(testo,
            { QStringLiteral("Officine Rossi S.r.l."), QStringLiteral("Elenco dipendenti"),
                QStringLiteral("Data di Stampa: 14/02/2024"), QStringLiteral("Ragione Sociale"),
                QStringLiteral("Rossi Mario"), QStringLiteral("iiiiiiii"), QStringLiteral("Pag. 1 di 1") }),
        qPrintable(testo));
    // A monospaced font: the columns line up whatever the letters ("WWWWWW " and "A1     " end
    // where "Codice " does).
    QList<double> barre; // where the second column starts, line by line
    for (const StrumentiPdf::Parola& p : StrumentiPdf::Parole(file))
        if (p.testo.startsWith(u'|') && p.testo.size() > 1 && p.testo != QLatin1String("|SI")
            && p.testo != QLatin1String("|NO") && p.testo != QLatin1String("|Attiv|"))
            barre << p.x;
    QCOMPARE(barre.size(), 3);
    QVERIFY(qAbs(barre.at(1) - barre.at(0)) < 0.5);
    QVERIFY(qAbs(barre.at(2) - barre.at(0)) < 0.5);
    QVERIFY(StrumentiPdf::Caratteri(file).contains(QStringLiteral("DejaVuSansMono")));
}

void TestReport::modelloMancanteOGuasto_data()
{
    QTest::addColumn<QByteArray>("contenuto"); // empty: no template file
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("mancante") << QByteArray()
                              << QStringLiteral("Modello di stampa «StampaRiepilogativa» non trovato.");
    QTest::newRow("sezione aperta") << QByteArray("<html>{{#righe}}</html>")
                                    << QStringLiteral("Il modello di stampa «");
}

void TestReport::modelloMancanteOGuasto()
{
    QFETCH(QByteArray, contenuto);
    QFETCH(QString, messaggio);
    AmbienteTest amb;
    const QString cartella = amb.percorso(QStringLiteral("modelli"));
    QVERIFY(QDir().mkpath(cartella));
    if (!contenuto.isEmpty()) {
        QFile f(QDir(cartella).filePath(QStringLiteral("StampaRiepilogativa.html")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenuto);
    }
    servizi().cartellaModelli = cartella;
    amb.messaggi.file.enqueue(amb.percorso(QStringLiteral("x.pdf")));
    QVERIFY(!Esegui(Riepilogo(amb, { Linea(QStringLiteral("TOTALE ORE: 8")) })));
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QVERIFY2(amb.messaggi.chiamate.first().testo.startsWith(messaggio),
        qPrintable(amb.messaggi.chiamate.first().testo));
    QVERIFY(amb.messaggi.chiamate.first().testo.contains(QDir::toNativeSeparators(cartella)));
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
    // Nothing asked, nothing written.
    QVERIFY(amb.messaggi.salvataggiProposti.isEmpty());
    QVERIFY(!QFileInfo::exists(amb.percorso(QStringLiteral("x.pdf"))));
}

void TestReport::pdfNonScrivibile()
{
    AmbienteTest amb;
    const QString file = amb.percorso(QStringLiteral("manca/cartella/stampa.pdf"));
    amb.messaggi.file.enqueue(file);
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!Esegui(Riepilogo(amb, { Linea(QStringLiteral("TOTALE ORE: 8")) })));
    QCOMPARE(amb.messaggi.testi(),
        QStringList {
            QStringLiteral("Impossibile scrivere il file PDF «%1».\nVerificare che la cartella esista, che "
                           "sia scrivibile e che il file non sia aperto in un altro programma.")
                .arg(QDir::toNativeSeparators(file)) });
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
}

void TestReport::pdfAnnullato()
{
    AmbienteTest amb;
    // The save box answered "Annulla": no file, no message.
    QVERIFY(!Esegui(Riepilogo(amb, { Linea(QStringLiteral("TOTALE ORE: 8")) })));
    QCOMPARE(amb.messaggi.salvataggiProposti.size(), 1);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(QDir(amb.cartella()).entryList(QStringList { QStringLiteral("*.pdf") }), QStringList());
}

void TestReport::stampanteNonDisponibile()
{
    AmbienteTest amb;
    Richiesta r = Riepilogo(amb, { Linea(QStringLiteral("TOTALE ORE: 8")) });
    // A documents printer removed from the system since it was chosen: said, not printed elsewhere.
    r.stampante = Stampante { QStringLiteral("Stampante rimossa 7f3a"), QStringLiteral("driver"),
        QStringLiteral("porta"), false };
    QVERIFY(!Esegui(r));
    QCOMPARE(amb.messaggi.testi(),
        QStringList { QStringLiteral("La stampante «Stampante rimossa 7f3a» non è disponibile.\nSceglierne "
                                     "un'altra con «SELEZIONA STAMPANTE PREDEFINITA».") });
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
    QVERIFY(amb.messaggi.salvataggiProposti.isEmpty());
}

void TestReport::formula_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("azienda"); // "" = none shown; "!" = refused
    QTest::newRow("indice > 0") << QStringLiteral(" {configurazioni.indice} > 0 ") << QStringLiteral("Prima");
    QTest::newRow("indice > primo") << QStringLiteral("{Configurazioni.Indice} > 1")
                                    << QStringLiteral("Seconda");
    QTest::newRow("oltre l'ultima") << QStringLiteral(" {configurazioni.indice} > 9 ") << QString();
    QTest::newRow("vuota") << QString() << QStringLiteral("Prima");
    QTest::newRow("sconosciuta") << QStringLiteral("{configurazioni.RagSociale} = 'x'")
                                 << QStringLiteral("!");
}

void TestReport::formula()
{
    QFETCH(QString, formula);
    QFETCH(QString, azienda);
    AmbienteTest amb;
    amb.sql(QStringLiteral("INSERT INTO Configurazioni (Indice, RagSociale, VisualizzaIntestazione) VALUES "
                           "(1, 'Prima', 1), (2, 'Seconda', 1)"));
    Richiesta r = Riepilogo(amb, {});
    r.formulaSelezione = formula;
    Documento d;
    QString errore;
    const bool composto = Componi(r, d, &errore);
    QCOMPARE(composto, azienda != QLatin1String("!"));
    if (!composto) {
        QVERIFY(errore.startsWith(QLatin1String("Formula di selezione non riconosciuta")));
        return;
    }
    QCOMPARE(d.html.contains(QLatin1String("Prima")), azienda == QLatin1String("Prima"));
    QCOMPARE(d.html.contains(QLatin1String("Seconda")), azienda == QLatin1String("Seconda"));
    // No lines: the report says so rather than printing an empty page.
    QVERIFY(d.html.contains(QLatin1String("Nessuna riga da stampare.")));
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
