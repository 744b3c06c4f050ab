#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "archive/Module1.h"
#include "gui/platform/ElencoStampanti.h"
#include "gui/printing/F_SelezioneStampante.h"
#include "gui/printing/Stampanti.h"
#include "platform/Servizi.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

using namespace Stampanti;

namespace {

QList<Stampante> Elenco(const QStringList& nomi)
{
    QList<Stampante> elenco;
    for (const QString& n : nomi)
        elenco << Stampante { n, QStringLiteral("driver ") + n, QStringLiteral("porta ") + n, false };
    return elenco;
}

// The one settings row: a company printing its documents on `stampante`.
void Impostazioni(const AmbienteTest& amb, const QVariant& stampante = QStringLiteral("Ufficio"))
{
    amb.sql(QStringLiteral("DELETE FROM Configurazioni"));
    azienda(amb, { { "RagSociale", QStringLiteral("Ditta") }, { "prnDocs", stampante } });
}

} // namespace

class TestStampanti : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void elencoDiSistemaHaLaStampantePdf();
    void stampantePdf_data();
    void stampantePdf();
    void nomeMemorizzato_data();
    void nomeMemorizzato();
    void memorizzaSenzaRigaImpostazioni();
    void finestraElencaEMemorizzaSubito();
    void finestraCancellaConCancEBackspace();
    void finestraNonSiDigita();
    void finestraSenzaArchivio();

private:
    QStringList m_installate;
};

void TestStampanti::init()
{
    m_installate = { QStringLiteral("Ufficio"), QStringLiteral("Magazzino") };
    servizi().stampanti = [this] { return Elenco(m_installate); };
}

void TestStampanti::cleanup()
{
    servizi().stampanti = {};
}

void TestStampanti::elencoDiSistemaHaLaStampantePdf()
{
    AmbienteTest amb;
    servizi().stampanti = {};
    const QList<Stampante> installate = ElencoStampanti::Installate();
    QVERIFY(!installate.isEmpty());
    int pdf = 0;
    for (const Stampante& s : installate)
        pdf += s.nome == QLatin1String("PDFCreator") ? 1 : 0;
    QCOMPARE(pdf, 1);
    QVERIFY(TrovaStampantePdf(amb.sessione));
    QCOMPARE(amb.sessione.StampantePdf.nome, QStringLiteral("PDFCreator"));
    QPrinter printer;
    ElencoStampanti::Configura(printer, amb.sessione.StampantePdf);
    QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
}

void TestStampanti::stampantePdf_data()
{
    QTest::addColumn<QStringList>("installate");
    QTest::addColumn<bool>("trovata");
    QTest::newRow("nessuna") << QStringList { QStringLiteral("Ufficio") } << false;
    QTest::newRow("solo inizio") << QStringList { QStringLiteral("PDFCreator (copia)"),
        QStringLiteral("PDFCreator2") }
                                 << false;
    QTest::newRow("maiuscole") << QStringList { QStringLiteral("pdfcreator"), QStringLiteral("PDFCREATOR") }
                               << false;
    QTest::newRow("spazio") << QStringList { QStringLiteral("PDFCreator ") } << false;
    QTest::newRow("esatta") << QStringList { QStringLiteral("Ufficio"), QStringLiteral("PDFCreator") }
                            << true;
}

void TestStampanti::stampantePdf()
{
    QFETCH(QStringList, installate);
    QFETCH(bool, trovata);
    AmbienteTest amb;
    m_installate = installate;
    amb.sessione.StampantePdf
        = Stampante { QStringLiteral("PDFCreator"), {}, {}, true }; // left from an earlier look-up
    QCOMPARE(CaricaStampanti(amb.sessione), trovata);
    QCOMPARE(amb.sessione.StampantePdf.valida(), trovata);
    if (trovata)
        QCOMPARE(amb.sessione.StampantePdf.porta, QStringLiteral("porta PDFCreator"));
}

void TestStampanti::nomeMemorizzato_data()
{
    QTest::addColumn<QVariant>("memorizzato");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<bool>("trovata");
    QTest::newRow("installata") << QVariant(QStringLiteral("Magazzino")) << "Magazzino" << true;
    QTest::newRow("non installata") << QVariant(QStringLiteral("Vecchia")) << "Vecchia" << false;
    QTest::newRow("maiuscole diverse") << QVariant(QStringLiteral("magazzino")) << "magazzino" << false;
    QTest::newRow("vuota") << QVariant(QString()) << "" << false;
    QTest::newRow("nulla") << QVariant(QMetaType(QMetaType::QString)) << "" << false;
}

void TestStampanti::nomeMemorizzato()
{
    QFETCH(QVariant, memorizzato);
    QFETCH(QString, nome);
    QFETCH(bool, trovata);
    AmbienteTest amb;
    Impostazioni(amb, memorizzato);
    amb.sessione.StampanteDocumenti = Elenco({ QStringLiteral("Ufficio") }).first();
    CaricaStampanti(amb.sessione);
    QCOMPARE(amb.sessione.NomeStampanteDocumenti, nome);
    QCOMPARE(amb.sessione.StampanteDocumentiTrovata, trovata);
    QCOMPARE(amb.sessione.StampanteDocumenti.valida(), trovata);
    if (trovata)
        QCOMPARE(amb.sessione.StampanteDocumenti.driver, QStringLiteral("driver Magazzino"));
}

void TestStampanti::memorizzaSenzaRigaImpostazioni()
{
    AmbienteTest amb;
    amb.sql(QStringLiteral("DELETE FROM Configurazioni"));
    QVERIFY(MemorizzaStampanteDocumenti(amb.sessione, QStringLiteral("Ufficio")));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
    QCOMPARE(amb.sessione.NomeStampanteDocumenti, QStringLiteral("Ufficio"));
    QVERIFY(amb.sessione.StampanteDocumentiTrovata);
    QVERIFY(MemorizzaStampanteDocumenti(amb.sessione, QStringLiteral("Magazzino")));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
    QCOMPARE(amb.sql(QStringLiteral("SELECT prnDocs FROM Configurazioni")).toString(),
        QStringLiteral("Magazzino"));

    // Another archive without a settings row leaves no name behind from this one.
    AmbienteTest altro;
    altro.sql(QStringLiteral("DELETE FROM Configurazioni"));
    altro.sessione.NomeStampanteDocumenti = amb.sessione.NomeStampanteDocumenti;
    CaricaStampanti(altro.sessione);
    QCOMPARE(altro.sessione.NomeStampanteDocumenti, QString());
    QVERIFY(!altro.sessione.StampanteDocumentiTrovata);
}

void TestStampanti::finestraElencaEMemorizzaSubito()
{
    AmbienteTest amb;
    Impostazioni(amb);
    m_installate << QStringLiteral("PDFCreator");
    F_SelezioneStampante f(amb.sessione);
    auto* prnDocs = f.findChild<QComboBox*>(QStringLiteral("prnDocs"));
    QVERIFY(prnDocs);
    QStringList voci;
    for (int i = 0; i < prnDocs->count(); ++i)
        voci << prnDocs->itemText(i);
    QCOMPARE(voci, m_installate);
    QCOMPARE(prnDocs->currentText(), QStringLiteral("Ufficio"));

    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    prnDocs->setFocus();
    QTest::keyClick(prnDocs, Qt::Key_Down);
    QCOMPARE(prnDocs->currentText(), QStringLiteral("Magazzino"));
    QCOMPARE(amb.sql(QStringLiteral("SELECT prnDocs FROM Configurazioni")).toString(),
        QStringLiteral("Magazzino"));
    QCOMPARE(amb.sessione.NomeStampanteDocumenti, QStringLiteral("Magazzino"));
    QVERIFY(amb.sessione.StampanteDocumentiTrovata);

    auto* chiudi = f.findChild<QPushButton*>(QStringLiteral("Fine"));
    QCOMPARE(chiudi->text(), QStringLiteral("CHIUDI"));
    QTest::mouseClick(chiudi, Qt::LeftButton);
    QVERIFY(!f.isVisible());
    QCOMPARE(amb.sql(QStringLiteral("SELECT prnDocs FROM Configurazioni")).toString(),
        QStringLiteral("Magazzino"));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestStampanti::finestraCancellaConCancEBackspace()
{
    for (const Qt::Key tasto : { Qt::Key_Delete, Qt::Key_Backspace }) {
        AmbienteTest amb;
        Impostazioni(amb);
        CaricaStampanti(amb.sessione);
        QVERIFY(amb.sessione.StampanteDocumentiTrovata);
        F_SelezioneStampante f(amb.sessione);
        auto* prnDocs = f.findChild<QComboBox*>(QStringLiteral("prnDocs"));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        prnDocs->setFocus();
        QTest::keyClick(prnDocs, tasto);
        QCOMPARE(prnDocs->currentText(), QString());
        QCOMPARE(amb.sql(QStringLiteral("SELECT prnDocs FROM Configurazioni")).toString(), QString());
        QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
        QCOMPARE(amb.sessione.NomeStampanteDocumenti, QString());
        QVERIFY(!amb.sessione.StampanteDocumentiTrovata);
    }
}

void TestStampanti::finestraNonSiDigita()
{
    AmbienteTest amb;
    Impostazioni(amb);
    F_SelezioneStampante f(amb.sessione);
    auto* prnDocs = f.findChild<QComboBox*>(QStringLiteral("prnDocs"));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    prnDocs->setFocus();
    QTest::keyClicks(prnDocs, QStringLiteral("Magaz"));
    QTest::keyClick(prnDocs, Qt::Key_Return);
    QCOMPARE(prnDocs->currentText(), QStringLiteral("Ufficio"));
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT prnDocs FROM Configurazioni")).toString(), QStringLiteral("Ufficio"));
}

void TestStampanti::finestraSenzaArchivio()
{
    AmbienteTest amb(false);
    F_SelezioneStampante f(amb.sessione);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("Eseguire creazione database") });
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Information);

    // A pick that cannot be stored says why and stores nothing.
    amb.messaggi.svuota();
    auto* prnDocs = f.findChild<QComboBox*>(QStringLiteral("prnDocs"));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    prnDocs->setFocus();
    QTest::keyClick(prnDocs, Qt::Key_Down);
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
    QVERIFY(!amb.messaggi.chiamate.first().testo.isEmpty());
    QVERIFY(!QFile::exists(amb.archivio()));
}

QTEST_MAIN(TestStampanti)
#include "tst_stampanti.moc"
