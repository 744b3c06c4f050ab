#include "AmbienteTest.h"
#include "Controlli.h"
#include "DatiDiProva.h"
#include "StrumentiPdf.h"

#include "comune/Orologio.h"
#include "gui/diary/F_Avvio.h"
#include "gui/printing/LavoroStampa.h"
#include "masterdata/Configurazione.h"
#include "platform/Servizi.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>

// "Stampa Cartellini" from the main window: the sheets of what the grid shows, as saved.
class TestStampaCartellini : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void modificheNonRegistrate_data();
    void modificheNonRegistrate();
    void dipendenteSceltoInAnteprima();
};

namespace {

const Stampante Pdf { QStringLiteral("PDFCreator"), QStringLiteral("Qt PDF"), QStringLiteral("FILE:"), true };
const QString Domanda = QStringLiteral("Ci sono modifiche non registrate. Registrarle prima di stampare?");

struct Principale
{
    F_Avvio* f = nullptr;
    Principale(AmbienteTest& amb, bool pdf)
        : f(F_Avvio::Apri(amb.sessione))
    {
        if (!f)
            qFatal("finestra principale non aperta");
        w<QCheckBox>(f, "AbilitaStampaPdf")->setChecked(pdf);
    }
    ~Principale() { delete f; }
    QAction* cartellini() const { return f->findChild<QAction*>(QStringLiteral("mStampaCartellini")); }
};

// What the sheet shows on day `giorno` after the weekday.
QString Giorno(const QString& testo, int giorno)
{
    const QRegularExpression riga(
        QStringLiteral("(?:^|\\n)\\s*%1\\s+(?:Lunedì|Martedì|Mercoledì|Giovedì|Venerdì|Sabato|Domenica)"
                       "[ \\t]*([^\\n]*)")
            .arg(giorno));
    return riga.match(testo).captured(1).simplified();
}

} // namespace

void TestStampaCartellini::init()
{
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
    servizi().stampanti = [] { return QList<Stampante> { Pdf }; };
    servizi().cartellaModelli
        = QDir(qEnvironmentVariable("CARTAVIA_TEST_BIN")).filePath(QStringLiteral("reports"));
}

void TestStampaCartellini::cleanup()
{
    servizi().anteprima = {};
    servizi().cartellaModelli.clear();
    servizi().stampanti = {};
    Orologio::ImpostaAdesso({});
}

void TestStampaCartellini::modificheNonRegistrate_data()
{
    QTest::addColumn<int>("risposta");
    QTest::addColumn<bool>("stampati");
    QTest::addColumn<QString>("giorno2"); // the sheet's day 2 of the first employee
    QTest::newRow("Sì: registrati e stampati") << int(Messaggi::Yes) << true << QStringLiteral("6");
    QTest::newRow("No: stampato l'archivio") << int(Messaggi::No) << true << QString();
    QTest::newRow("Annulla: niente") << int(Messaggi::Cancel) << false << QString();
}

void TestStampaCartellini::modificheNonRegistrate()
{
    QFETCH(int, risposta);
    QFETCH(bool, stampati);
    QFETCH(QString, giorno2);
    AmbienteTest amb;
    Configurazione::Salva(amb.archivio(), AziendaDiProva(), {});
    dipendenti(amb, 2);
    movimento(amb, 1, QStringLiteral("ORDINARIO"), QDate(2024, 2, 1), QStringLiteral("8"));
    Principale f(amb, true);
    QVERIFY(f.cartellini()->isEnabled());
    f.f->documento().Digita(0, 2, QStringLiteral("6"));
    f.f->documento().ChiudiDigitazione();

    const QString file = amb.percorso(QStringLiteral("cartellini.pdf"));
    amb.messaggi.risposte.enqueue(Messaggi::Risposta(risposta));
    amb.messaggi.file.enqueue(file);
    f.cartellini()->trigger();

    QVERIFY(!amb.messaggi.chiamate.isEmpty());
    QCOMPARE(amb.messaggi.chiamate.first().testo, Domanda);
    QCOMPARE(amb.messaggi.chiamate.first().pulsanti, Messaggi::Yes | Messaggi::No | Messaggi::Cancel);
    QCOMPARE(f.f->documento().celleModificate(), risposta == Messaggi::Yes ? 0 : 1);
    if (!stampati) {
        QCOMPARE(amb.messaggi.chiamate.size(), 1);
        QVERIFY(amb.messaggi.salvataggiProposti.isEmpty());
        QVERIFY(!QFileInfo::exists(file));
        return;
    }
    QCOMPARE(amb.messaggi.salvataggiProposti,
        QStringList { LavoroStampa::FilePdfProposto(QStringLiteral("Cartellini presenze Febbraio 2024")) });
    QCOMPARE(StrumentiPdf::Pagine(file), 2);
    const QString primo = StrumentiPdf::TestoPagina(file, 1);
    QVERIFY2(primo.contains(QStringLiteral("Dipendente 01")), qPrintable(primo));
    QCOMPARE(Giorno(primo, 1), QStringLiteral("8"));
    QCOMPARE(Giorno(primo, 2), giorno2);
    QVERIFY(StrumentiPdf::TestoPagina(file, 2).contains(QStringLiteral("Dipendente 02")));
}

void TestStampaCartellini::dipendenteSceltoInAnteprima()
{
    AmbienteTest amb;
    dipendenti(amb, 3);
    Principale f(amb, false);
    QComboBox* codice = w<QComboBox>(f.f, "CodiceDipentente");
    codice->setCurrentIndex(codice->findText(QStringLiteral("C02")));
    f.f->DimensionaGriglia_Click();

    const QString file = amb.percorso(QStringLiteral("anteprima.pdf"));
    int anteprime = 0;
    servizi().anteprima = [&](QPrinter& printer, const std::function<void(QPrinter*)>& disegna) {
        ++anteprime;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        disegna(&printer);
    };
    f.cartellini()->trigger();
    QCOMPARE(anteprime, 1);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(StrumentiPdf::Pagine(file), 1);
    const QString testo = StrumentiPdf::Testo(file);
    QVERIFY2(testo.contains(QStringLiteral("Dipendente 02"))
            && !testo.contains(QStringLiteral("Dipendente 01"))
            && !testo.contains(QStringLiteral("Dipendente 03")),
        qPrintable(testo));

    // The totals view has no sheets to print.
    w<QCheckBox>(f.f, "VisualizzaTotali")->click();
    QVERIFY(!f.cartellini()->isEnabled());
    w<QCheckBox>(f.f, "VisualizzaTotali")->click();
    QVERIFY(f.cartellini()->isEnabled());
}

QTEST_MAIN(TestStampaCartellini)
#include "tst_stampacartellini.moc"
