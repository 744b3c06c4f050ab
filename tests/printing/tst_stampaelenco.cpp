#include "AmbienteTest.h"
#include "DatiDiProva.h"
#include "StrumentiPdf.h"

#include "archive/Archivio.h"
#include "archive/Module1.h"
#include "comune/Orologio.h"
#include "gui/masterdata/F_SchedaDipendente.h"
#include "gui/platform/ElencoStampanti.h"
#include "gui/printing/EsecuzioneReport.h"
#include "gui/printing/StampaElenco.h"
#include "gui/printing/Stampanti.h"
#include "platform/Servizi.h"

#include <QDir>
#include <QPrinter>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

using namespace StampaElenco;

class TestStampaElenco : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void righe();
    void nomeLungo();
    void nessunDipendente();
    void filtroEOrdine_data();
    void filtroEOrdine();
    void scritteInStampa();
    void dallaScheda();
};

namespace {

const QString Regola = QString(141, QLatin1Char('-'));
const QString Intestazione
    = QStringLiteral("Codice |Ragione Sociale         |Cellulare      |Telefono       |Attiv|");

QStringList Elenco(const AmbienteTest& amb, ElencoAnagrafiche::Filtro filtro, const QString& ordinamento)
{
    ElencoAnagrafiche elenco;
    if (!elenco.Carica(amb.archivio(), filtro, ordinamento))
        return {};
    return Righe(elenco, QDate(2024, 2, 14));
}

QStringList Stampa(const AmbienteTest& amb)
{
    QStringList righe;
    Archivio db(amb.sessione.PercorsoArchivio);
    QSqlQuery q = db.esegui(QStringLiteral("SELECT Descrizione FROM Stampa ORDER BY Indice"));
    while (q.next())
        righe << q.value(0).toString();
    return righe;
}

} // namespace

void TestStampaElenco::init()
{
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
    servizi().cartellaModelli
        = QDir(qEnvironmentVariable("CARTAVIA_TEST_BIN")).filePath(QStringLiteral("reports"));
}

void TestStampaElenco::cleanup()
{
    servizi().anteprima = {};
    servizi().cartellaModelli.clear();
    Orologio::ImpostaAdesso({});
}

void TestStampaElenco::righe()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("A1"), QStringLiteral("Rossi Mario"), 1,
        { { "Cellulare", QStringLiteral("333 1234567") } });
    dipendente(amb, QStringLiteral("B2"), QStringLiteral("Bianchi Anna"), 0);
    const QStringList righe
        = Elenco(amb, ElencoAnagrafiche::Filtro::Tutti, QStringLiteral("Ragione Sociale"));
    QCOMPARE(righe,
        (QStringList { QStringLiteral("Data di Stampa: 14/02/2024"), QString(), Regola, Intestazione, Regola,
            QStringLiteral("B2     |Bianchi Anna            |               |               |NO   |"),
            QStringLiteral("A1     |Rossi Mario             |333 1234567    |               |SI   |"), Regola,
            QString() }));
    // 7 + 24 + 15 + 15 + 5 characters and a bar after each slice.
    QCOMPARE(righe.at(3).size(), 71);
    QCOMPARE(Regola.size(), 141);
}

void TestStampaElenco::nomeLungo()
{
    AmbienteTest amb;
    const QString nome = QStringLiteral("Bartolomeo Abbondanzieri Castelvetrano");
    dipendente(amb, QStringLiteral("CODICELUNGO1"), nome);
    const QStringList righe = Elenco(amb, ElencoAnagrafiche::Filtro::Tutti, QStringLiteral("Codice"));
    const QString riga = righe.at(5);
    QCOMPARE(riga.section(u'|', 0, 0), QStringLiteral("CODICEL"));
    QCOMPARE(riga.section(u'|', 1, 1), nome.left(24));
    QCOMPARE(riga.size(), 71);
}

void TestStampaElenco::nessunDipendente()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("A1"), QStringLiteral("Rossi Mario"), 1);
    // No employee is inactive: the fixed lines all the same.
    const QStringList righe = Elenco(amb, ElencoAnagrafiche::Filtro::NonAttivi, QStringLiteral("Codice"));
    QCOMPARE(righe,
        (QStringList { QStringLiteral("Data di Stampa: 14/02/2024"), QString(), Regola, Intestazione, Regola,
            Regola, QString() }));
}

void TestStampaElenco::filtroEOrdine_data()
{
    QTest::addColumn<int>("filtro");
    QTest::addColumn<QString>("ordinamento");
    QTest::addColumn<QStringList>("codici");
    QTest::newRow("tutti per nome") << int(ElencoAnagrafiche::Filtro::Tutti)
                                    << QStringLiteral("Ragione Sociale")
                                    << QStringList { QStringLiteral("Z9"), QStringLiteral("M5"),
                                           QStringLiteral("A1") };
    QTest::newRow("tutti per codice")
        << int(ElencoAnagrafiche::Filtro::Tutti) << QStringLiteral("Codice")
        << QStringList { QStringLiteral("A1"), QStringLiteral("M5"), QStringLiteral("Z9") };
    QTest::newRow("attivi per inserimento")
        << int(ElencoAnagrafiche::Filtro::Attivi) << QStringLiteral("Inserimento")
        << QStringList { QStringLiteral("M5"), QStringLiteral("A1") };
}

void TestStampaElenco::filtroEOrdine()
{
    QFETCH(int, filtro);
    QFETCH(QString, ordinamento);
    QFETCH(QStringList, codici);
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("M5"), QStringLiteral("Bruni Carla"));
    dipendente(amb, QStringLiteral("A1"), QStringLiteral("Verdi Luca"));
    dipendente(amb, QStringLiteral("Z9"), QStringLiteral("Amato Piero"), 0);
    const QStringList righe = Elenco(amb, ElencoAnagrafiche::Filtro(filtro), ordinamento);
    QStringList stampati;
    for (const QString& r : righe.mid(5, righe.size() - 7))
        stampati << r.section(u'|', 0, 0).trimmed();
    QCOMPARE(stampati, codici);
}

void TestStampaElenco::scritteInStampa()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("A1"), QStringLiteral("Rossi Mario"));
    amb.sql(QStringLiteral("INSERT INTO Stampa (Descrizione) VALUES ('stampa precedente')"));
    QString file;
    int anteprime = 0;
    servizi().anteprima = [&](QPrinter& printer, const std::function<void(QPrinter*)>& disegna) {
        ++anteprime;
        file = amb.percorso(QStringLiteral("elenco.pdf"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        disegna(&printer);
    };
    Anteprima_Click(amb.sessione, ElencoAnagrafiche::Filtro::Tutti, QStringLiteral("Codice"));
    QCOMPARE(anteprime, 1);
    // The table holds exactly this print's lines, in order; the previous one is gone.
    QCOMPARE(Stampa(amb), Elenco(amb, ElencoAnagrafiche::Filtro::Tutti, QStringLiteral("Codice")));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Stampa WHERE Descrizione IS NULL")).toInt(), 0);
    const QString testo = StrumentiPdf::Testo(file).simplified();
    for (const QString& atteso : { QStringLiteral("Elenco dipendenti"),
             QStringLiteral("Data di Stampa: 14/02/2024"), QStringLiteral("Ragione Sociale"),
             QStringLiteral("A1 |Rossi Mario"), QStringLiteral("Pag. 1 di 1") })
        QVERIFY2(testo.contains(atteso), qPrintable(testo));
    QVERIFY(!testo.contains(QLatin1String("stampa precedente")));
    QVERIFY(StrumentiPdf::Caratteri(file).contains(QStringLiteral("DejaVuSansMono")));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestStampaElenco::dallaScheda()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("A1"), QStringLiteral("Rossi Mario"));
    dipendente(amb, QStringLiteral("B2"), QStringLiteral("Bianchi Anna"), 0);
    const Stampante ufficio { QStringLiteral("Ufficio"), QStringLiteral("driver"), QStringLiteral("porta"),
        false };
    servizi().stampanti = [&] { return QList<Stampante> { ufficio }; };
    amb.sessione.StampanteDocumenti = ufficio;
    amb.sessione.StampanteDocumentiTrovata = true;
    QStringList testi;
    servizi().anteprima = [&](QPrinter& printer, const std::function<void(QPrinter*)>& disegna) {
        const QString file = amb.percorso(QStringLiteral("scheda.pdf"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        disegna(&printer);
        testi << StrumentiPdf::Testo(file);
    };
    F_SchedaDipendente scheda(amb.sessione);
    scheda.show();
    QTest::mouseClick(scheda.findChild<QPushButton*>(QStringLiteral("Anteprima")), Qt::LeftButton);
    QCOMPARE(testi.size(), 1);
    // As the card lists them: every employee, by name.
    QVERIFY(testi.first().indexOf(QLatin1String("Bianchi Anna"))
        < testi.first().indexOf(QLatin1String("Rossi Mario")));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    servizi().stampanti = {};
    amb.sessione.StampanteDocumenti = {};
    amb.sessione.StampanteDocumentiTrovata = false;
}

QTEST_MAIN(TestStampaElenco)
#include "tst_stampaelenco.moc"
