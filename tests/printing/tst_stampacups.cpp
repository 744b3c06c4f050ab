#include "AmbienteTest.h"
#include "Controlli.h"
#include "DatiDiProva.h"
#include "StrumentiPdf.h"

#include "archive/Password.h"
#include "gui/diary/F_Avvio.h"
#include "comune/Orologio.h"
#include "gui/masterdata/F_SchedaDipendente.h"
#include "gui/platform/ElencoStampanti.h"
#include "gui/printing/AnteprimaReport.h"
#include "gui/printing/Lavagna.h"
#include "gui/printing/LavoroStampa.h"
#include "printing/Report.h"
#include "gui/printing/StampaDettagliata.h"
#include "gui/printing/StampaElenco.h"
#include "gui/printing/Stampanti.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

namespace {

// A queue driver that hands the job on as the PDF it is, on a printer whose own paper is Letter,
// as a queue set up in another country would be.
const char* const Ppd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "PROVA.PPD"
*Manufacturer: "Cartavia"
*Product: "(Prova)"
*ModelName: "Coda di prova"
*ShortNickName: "Coda di prova"
*NickName: "Coda di prova"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Letter
*PageSize Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: Letter
*PageRegion Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: Letter
*ImageableArea Letter/US Letter: "18 18 594 774"
*ImageableArea A4/A4: "18 18 577 824"
*DefaultPaperDimension: Letter
*PaperDimension Letter/US Letter: "612 792"
*PaperDimension A4/A4: "595 842"
)ppd";

// A print system of the test's own: a CUPS scheduler listening only on a socket in a temporary
// folder, with queues that write each job into a file there.
class SistemaStampa
{
public:
    ~SistemaStampa() { Ferma(); }

    // "" when it runs; otherwise why not.
    QString Avvia();
    void Ferma();
    // Runs one of CUPS's tools on this scheduler; its error text is kept for the reports.
    bool Comando(const QString& programma, const QStringList& argomenti, QString* uscita = nullptr) const;
    bool AggiungiCoda(const QString& nome) const;
    QString file(const QString& coda) const
    {
        return m_dir.filePath(QStringLiteral("uscita/%1.pdf").arg(coda));
    }
    // Every job the queue ever had; -1 when there is no such queue.
    int lavori(const QString& coda) const;
    // The queue has no job left to do.
    bool finiti(const QString& coda) const;

private:
    QString Programma(const QString& nome) const;
    QString Registro() const;

    QTemporaryDir m_dir { QStringLiteral("/tmp/cartavia-cups-XXXXXX") };
    QProcess m_cupsd;
    mutable QString m_errore;
};

QString SistemaStampa::Programma(const QString& nome) const
{
    return QStandardPaths::findExecutable(nome,
        { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/sbin"),
            QStringLiteral("/bin") });
}

QString SistemaStampa::Registro() const
{
    QFile f(m_dir.filePath(QStringLiteral("log/error_log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(f.readAll()).right(800);
}

QString SistemaStampa::Avvia()
{
    for (const char* p : { "cupsd", "lpadmin", "lpstat", "cupsreject", "cupsaccept" })
        if (Programma(QLatin1String(p)).isEmpty())
            return QStringLiteral("manca il programma %1 (pacchetto cups)").arg(QLatin1String(p));
    // The scheduler runs the job's filters as the user lp, which only root can become.
    if (geteuid() != 0)
        return QStringLiteral("un cupsd di prova richiede l'utente root");
    if (!m_dir.isValid())
        return QStringLiteral("cartella temporanea non creata");
    const QDir d(m_dir.path());
    ::chmod(QFile::encodeName(d.path()).constData(), 0755);
    for (const char* c : { "spool", "cache", "state", "log", "uscita", "tmp" })
        d.mkpath(QLatin1String(c));
    ::chmod(QFile::encodeName(d.filePath(QStringLiteral("tmp"))).constData(), 01777);

    const QString socket = d.filePath(QStringLiteral("cups.sock"));
    const auto scrivi = [&d](const QString& nome, const QByteArray& testo) {
        QFile f(d.filePath(nome));
        return f.open(QIODevice::WriteOnly) && f.write(testo) == testo.size();
    };
    const QByteArray conf
        = QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                         "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n"
                         "</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                         "  </Limit>\n</Policy>\n")
              .arg(socket)
              .toLocal8Bit();
    const QByteArray file
        = QStringLiteral("ServerRoot %1\nStateDir %1/state\nCacheDir %1/cache\nRequestRoot %1/spool\n"
                         "TempDir %1/tmp\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                         "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
                         "PageLog %1/log/page_log\nFileDevice Yes\nUser lp\nGroup lp\n"
                         "SystemGroup root\n")
              .arg(d.path())
              .toLocal8Bit();
    if (!scrivi(QStringLiteral("cupsd.conf"), conf) || !scrivi(QStringLiteral("cups-files.conf"), file)
        || !scrivi(QStringLiteral("prova.ppd"), Ppd))
        return QStringLiteral("configurazione non scritta");

    // The program and the tools of this test talk to this scheduler only.
    qputenv("CUPS_SERVER", QFile::encodeName(socket));
#ifdef Q_OS_LINUX
    // A test that dies takes its scheduler with it.
    m_cupsd.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(Programma(QStringLiteral("cupsd")),
        { QStringLiteral("-f"), QStringLiteral("-c"), d.filePath(QStringLiteral("cupsd.conf")),
            QStringLiteral("-s"), d.filePath(QStringLiteral("cups-files.conf")) });
    if (!m_cupsd.waitForStarted(5000))
        return QStringLiteral("cupsd non parte: %1").arg(m_cupsd.errorString());
    bool pronto = false;
    for (int i = 0; i < 100 && !pronto && m_cupsd.state() == QProcess::Running; ++i) {
        // lpstat answers 0 either way: its words tell.
        QString stato;
        pronto = Comando(QStringLiteral("lpstat"), { QStringLiteral("-r") }, &stato)
            && stato.trimmed() == QLatin1String("scheduler is running");
        if (!pronto)
            QTest::qWait(100);
    }
    if (!pronto)
        return QStringLiteral("cupsd non risponde: %1 %2")
            .arg(QString::fromLocal8Bit(m_cupsd.readAll()), Registro());
    if (!AggiungiCoda(QStringLiteral("Ufficio")) || !AggiungiCoda(QStringLiteral("Seconda"))
        || !Comando(QStringLiteral("lpadmin"), { QStringLiteral("-d"), QStringLiteral("Seconda") }))
        return QStringLiteral("code non create: %1 %2").arg(m_errore, Registro());
    return {};
}

void SistemaStampa::Ferma()
{
    if (m_cupsd.state() == QProcess::NotRunning)
        return;
    m_cupsd.terminate();
    if (!m_cupsd.waitForFinished(5000))
        m_cupsd.kill();
    m_cupsd.waitForFinished(5000);
}

bool SistemaStampa::Comando(const QString& programma, const QStringList& argomenti, QString* uscita) const
{
    QProcess p;
    // Answers in words that do not depend on the language of the machine.
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(ambiente);
    p.start(Programma(programma), argomenti);
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit)
        return false;
    if (uscita)
        *uscita = QString::fromLocal8Bit(p.readAllStandardOutput());
    if (p.exitCode() != 0)
        m_errore = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitCode() == 0;
}

bool SistemaStampa::AggiungiCoda(const QString& nome) const
{
    return Comando(QStringLiteral("lpadmin"),
        { QStringLiteral("-p"), nome, QStringLiteral("-E"), QStringLiteral("-v"),
            QStringLiteral("file:") + file(nome), QStringLiteral("-P"),
            m_dir.filePath(QStringLiteral("prova.ppd")) });
}

int SistemaStampa::lavori(const QString& coda) const
{
    QString uscita;
    if (!Comando(QStringLiteral("lpstat"),
            { QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), coda }, &uscita))
        return -1;
    return int(uscita.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

bool SistemaStampa::finiti(const QString& coda) const
{
    QString uscita;
    return Comando(QStringLiteral("lpstat"), { QStringLiteral("-o"), coda }, &uscita)
        && uscita.trimmed().isEmpty();
}

// Employees with 8 hours on 1 February 2024 each.
void DipendentiConOre(AmbienteTest& amb, int quanti)
{
    dipendenti(amb, quanti);
    for (int i = 1; i <= quanti; ++i)
        movimento(amb, i, QStringLiteral("ORDINARIO"), QDate(2024, 2, 1), QStringLiteral("8"));
}

// What the user saw on the preview of a print and whether it was still open after "Stampa".
struct Anteprima
{
    bool aperta = false;
    bool apertaDopo = false;
    QString stampante; // what the report preview says it prints on
};

const QString Riepilogo = QStringLiteral("riepilogo");
const QString Elenco = QStringLiteral("elenco");
const QString Dettagliata = QStringLiteral("dettagliata");

// The name of the job and of the PDF proposed.
QString Titolo(const QString& rapporto)
{
    if (rapporto == Riepilogo)
        return QStringLiteral("Riepilogo presenze Febbraio 2024");
    if (rapporto == Elenco)
        return QStringLiteral("Elenco dipendenti");
    return QStringLiteral("Presenze dettagliate Febbraio 2024");
}

// Opens the report's preview with its own button, as the user would, without PDF output ticked;
// once the preview shows (the real window, shown modally) the user presses "Stampa" and closes
// what stays open. `prima` runs once the window is open, before the print.
Anteprima Stampa(AmbienteTest& amb, const QString& rapporto, const std::function<void()>& prima = {})
{
    Anteprima vista;
    auto* utente = new QTimer(qApp);
    utente->setInterval(10);
    QObject::connect(utente, &QTimer::timeout, utente, [utente, &vista] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible() || !(qobject_cast<AnteprimaReport*>(d) || qobject_cast<Lavagna*>(d)))
            return;
        utente->stop();
        utente->deleteLater();
        vista.aperta = true;
        if (auto* l = d->findChild<QLabel*>(QStringLiteral("Stampante")))
            vista.stampante = l->text();
        QTest::mouseClick(w<QPushButton>(d, "Stampa"), Qt::LeftButton);
        vista.apertaDopo = d->isVisible();
        if (d->isVisible())
            d->reject();
    });
    utente->start();

    if (rapporto == Elenco) {
        Stampanti::CaricaStampanti(amb.sessione);
        if (prima)
            prima();
        F_SchedaDipendente scheda(amb.sessione);
        scheda.show();
        QTest::mouseClick(w<QPushButton>(&scheda, "Anteprima"), Qt::LeftButton);
    } else {
        const std::unique_ptr<F_Avvio> f(F_Avvio::Apri(amb.sessione));
        if (!f)
            qFatal("finestra principale non aperta");
        w<QCheckBox>(f.get(), "AbilitaStampaPdf")->setChecked(false);
        if (rapporto == Riepilogo)
            w<QCheckBox>(f.get(), "VisualizzaTotali")->click();
        if (prima)
            prima();
        QTest::mouseClick(w<QPushButton>(f.get(), "Anteprima"), Qt::LeftButton);
    }
    if (!vista.aperta) {
        utente->stop();
        utente->deleteLater();
    }
    return vista;
}

QStringList TestoPagine(const QString& pdf)
{
    QStringList pagine;
    for (int p = 1; p <= StrumentiPdf::Pagine(pdf); ++p)
        pagine << StrumentiPdf::TestoPagina(pdf, p).simplified();
    return pagine;
}

bool TuttiA4(const QList<QSizeF>& fogli)
{
    for (const QSizeF& f : fogli)
        if (qRound(f.width()) != 595 || qRound(f.height()) != 842)
            return false;
    return !fogli.isEmpty();
}

} // namespace

// The three reports printed through a real print system: the queue chosen is the one printed on,
// on A4; a queue that refuses the job or was deleted is said and the preview stays open.
class TestStampaCups : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void sullaStampanteScelta_data();
    void sullaStampanteScelta();
    void codaCheRifiuta_data();
    void codaCheRifiuta();
    void rifiutoAllInvio();
    void codaEliminata_data();
    void codaEliminata();

private:
    SistemaStampa m_cups;
};

void TestStampaCups::initTestCase()
{
    const QString perche = m_cups.Avvia();
    if (!perche.isEmpty())
        QSKIP(qPrintable(QStringLiteral("Sistema di stampa CUPS di prova non disponibile: ") + perche));
}

void TestStampaCups::cleanupTestCase()
{
    m_cups.Ferma();
}

void TestStampaCups::init()
{
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
    servizi().stampanti = {};
    servizi().cartellaModelli
        = QDir(qEnvironmentVariable("CARTAVIA_TEST_BIN")).filePath(QStringLiteral("reports"));
    // Pages that print themselves follow one another at once.
    servizi().pausaTraPagine = [](double) {};
    if (m_cups.lavori(QStringLiteral("Ufficio")) < 0)
        QVERIFY(m_cups.AggiungiCoda(QStringLiteral("Ufficio")));
    QVERIFY(m_cups.Comando(QStringLiteral("cupsaccept"), { QStringLiteral("Ufficio") }));
    for (const QString& coda : { QStringLiteral("Ufficio"), QStringLiteral("Seconda") })
        QFile::remove(m_cups.file(coda));
}

void TestStampaCups::cleanup()
{
    servizi().mostraPagina = {};
    servizi().pausaTraPagine = {};
    servizi().cartellaModelli.clear();
    Orologio::ImpostaAdesso({});
}

void TestStampaCups::sullaStampanteScelta_data()
{
    QTest::addColumn<QString>("rapporto");
    QTest::newRow("riepilogo") << Riepilogo;
    QTest::newRow("elenco") << Elenco;
    QTest::newRow("dettagliata") << Dettagliata;
}

void TestStampaCups::sullaStampanteScelta()
{
    QFETCH(QString, rapporto);
    AmbienteTest amb;
    // Enough for more than one page of the summary and of the list.
    DipendentiConOre(amb, 70);
    const QString ufficio = m_cups.file(QStringLiteral("Ufficio"));
    const int lavoriUfficio = m_cups.lavori(QStringLiteral("Ufficio"));
    const int lavoriSeconda = m_cups.lavori(QStringLiteral("Seconda"));

    // The office queue chosen: one click on "Stampa" prints there, on A4 though the queue's own
    // paper is Letter; nothing asked, nothing on the system's default queue.
    QVERIFY(Stampanti::MemorizzaStampanteDocumenti(amb.sessione, QStringLiteral("Ufficio")));
    const Anteprima coda = Stampa(amb, rapporto);
    QVERIFY(coda.aperta);
    QVERIFY(!coda.apertaDopo);
    if (rapporto != Dettagliata)
        QCOMPARE(coda.stampante, QStringLiteral("Stampante: Ufficio"));
    QCOMPARE(amb.messaggi.testi(), QStringList());
    QVERIFY(amb.messaggi.salvataggiProposti.isEmpty());
    QCOMPARE(m_cups.lavori(QStringLiteral("Ufficio")), lavoriUfficio + 1);
    QTRY_VERIFY_WITH_TIMEOUT(m_cups.finiti(QStringLiteral("Ufficio")), 20000);
    QVERIFY(TuttiA4(StrumentiPdf::Fogli(ufficio)));
    const QStringList stampate = TestoPagine(ufficio);
    QVERIFY(stampate.join(QLatin1Char(' ')).contains(Nome(1)));

    // "PDFCreator" chosen, PDF output still not ticked: the PDF is written through the save box
    // and no queue gets a job.
    QVERIFY(Stampanti::MemorizzaStampanteDocumenti(amb.sessione, QStringLiteral("PDFCreator")));
    const QString pdf = amb.percorso(QStringLiteral("stampa.pdf"));
    amb.messaggi.file.enqueue(pdf);
    const Anteprima file = Stampa(amb, rapporto);
    QVERIFY(file.aperta);
    QVERIFY(!file.apertaDopo);
    if (rapporto != Dettagliata)
        QCOMPARE(file.stampante, QStringLiteral("Stampante: PDFCreator (file PDF)"));
    QCOMPARE(
        amb.messaggi.salvataggiProposti, QStringList { LavoroStampa::FilePdfProposto(Titolo(rapporto)) });
    QCOMPARE(amb.messaggi.testi(), QStringList());
    QCOMPARE(m_cups.lavori(QStringLiteral("Ufficio")), lavoriUfficio + 1);
    QCOMPARE(m_cups.lavori(QStringLiteral("Seconda")), lavoriSeconda);

    // Both the same pages, with the same breaks.
    QVERIFY(TuttiA4(StrumentiPdf::Fogli(pdf)));
    QCOMPARE(TestoPagine(pdf), stampate);
    if (rapporto != Dettagliata)
        QVERIFY(stampate.size() > 1);
}

void TestStampaCups::codaCheRifiuta_data()
{
    sullaStampanteScelta_data();
}

void TestStampaCups::codaCheRifiuta()
{
    QFETCH(QString, rapporto);
    AmbienteTest amb;
    DipendentiConOre(amb, 3);
    QVERIFY(Stampanti::MemorizzaStampanteDocumenti(amb.sessione, QStringLiteral("Ufficio")));
    QVERIFY(m_cups.Comando(QStringLiteral("cupsreject"),
        { QStringLiteral("-r"), QStringLiteral("In manutenzione"), QStringLiteral("Ufficio") }));
    const int lavoriUfficio = m_cups.lavori(QStringLiteral("Ufficio"));
    const int lavoriSeconda = m_cups.lavori(QStringLiteral("Seconda"));
    const Anteprima vista = Stampa(amb, rapporto);
    QVERIFY(vista.aperta);
    QVERIFY(vista.apertaDopo);
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QVERIFY2(amb.messaggi.chiamate.first().testo.startsWith(
                 QStringLiteral("La stampante «Ufficio» ha rifiutato la stampa: non accetta nuovi lavori (In "
                                "manutenzione).\n")),
        qPrintable(amb.messaggi.chiamate.first().testo));
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
    QCOMPARE(m_cups.lavori(QStringLiteral("Ufficio")), lavoriUfficio);
    QCOMPARE(m_cups.lavori(QStringLiteral("Seconda")), lavoriSeconda);
}

void TestStampaCups::rifiutoAllInvio()
{
    AmbienteTest amb;
    QVERIFY(Stampanti::MemorizzaStampanteDocumenti(amb.sessione, QStringLiteral("Ufficio")));
    const std::unique_ptr<F_Avvio> f(F_Avvio::Apri(amb.sessione));
    QVERIFY(f);
    w<QCheckBox>(f.get(), "AbilitaStampaPdf")->setChecked(false);
    const int r = f->CalcolaNumeroRigheInStampa();
    DipendentiConOre(amb, r + 1);
    f->DimensionaGriglia_Click();
    // The queue stops taking jobs after page 1 was printed: the job, handed over with the last
    // page, is refused by the print system itself.
    servizi().pausaTraPagine = [this](double) {
        m_cups.Comando(QStringLiteral("cupsreject"),
            { QStringLiteral("-r"), QStringLiteral("Carta esaurita"), QStringLiteral("Ufficio") });
    };
    QList<bool> inAttesa; // each page shown waited for the user
    QStringList messaggi;
    servizi().mostraPagina = [&](QDialog& pagina) {
        auto& l = static_cast<Lavagna&>(pagina);
        l.show();
        QCoreApplication::processEvents();
        inAttesa << l.isVisible();
        if (!l.isVisible())
            return;
        messaggi = amb.messaggi.testi();
        // Page 1, then the refused last page again once the queue takes jobs.
        m_cups.Comando(QStringLiteral("cupsaccept"), { QStringLiteral("Ufficio") });
        QTest::mouseClick(w<QPushButton>(&l, "Stampa"), Qt::LeftButton);
        if (l.isVisible())
            l.reject();
    };
    f->Anteprima_Click();
    QCOMPARE(inAttesa, (QList<bool> { true, true }));
    QCOMPARE(messaggi.size(), 1);
    QVERIFY2(
        messaggi.first().startsWith(QStringLiteral(
            "La stampante «Ufficio» ha rifiutato la stampa: non accetta nuovi lavori (Carta esaurita).")),
        qPrintable(messaggi.first()));
    // Sent again from the last page: both pages, one job.
    QTRY_VERIFY_WITH_TIMEOUT(m_cups.finiti(QStringLiteral("Ufficio")), 20000);
    const QString file = m_cups.file(QStringLiteral("Ufficio"));
    QCOMPARE(StrumentiPdf::Pagine(file), 2);
    QVERIFY(StrumentiPdf::TestoPagina(file, 1).contains(Nome(1)));
    QVERIFY(StrumentiPdf::TestoPagina(file, 2).contains(Nome(r + 1)));
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
}

void TestStampaCups::codaEliminata_data()
{
    sullaStampanteScelta_data();
}

void TestStampaCups::codaEliminata()
{
    QFETCH(QString, rapporto);
    AmbienteTest amb;
    DipendentiConOre(amb, 3);
    QVERIFY(Stampanti::MemorizzaStampanteDocumenti(amb.sessione, QStringLiteral("Ufficio")));
    const int lavoriSeconda = m_cups.lavori(QStringLiteral("Seconda"));
    // Found when the window opened, deleted while it is open.
    const Anteprima vista = Stampa(amb, rapporto, [this, &amb] {
        QVERIFY(amb.sessione.StampanteDocumentiTrovata);
        QVERIFY(
            m_cups.Comando(QStringLiteral("lpadmin"), { QStringLiteral("-x"), QStringLiteral("Ufficio") }));
    });
    QVERIFY(vista.aperta);
    QVERIFY(vista.apertaDopo);
    QCOMPARE(amb.messaggi.testi(),
        QStringList { QStringLiteral("La stampante «Ufficio» non è disponibile.\nSceglierne "
                                     "un'altra con «SELEZIONA STAMPANTE PREDEFINITA».") });
    QCOMPARE(m_cups.lavori(QStringLiteral("Seconda")), lavoriSeconda);
}

QTEST_MAIN(TestStampaCups)
#include "tst_stampacups.moc"
