#include "AmbienteTest.h"
#include "ArchivioDanneggiato.h"
#include "Controlli.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "archive/Backup.h"
#include "archive/FunzioniPerVariabili.h"
#include "archive/Module1.h"
#include "archive/Password.h"
#include "archive/Percorsi.h"
#include "archive/Presenza.h"
#include "gui/diary/F_Avvio.h"
#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/SettimanaTipo.h"
#include "comune/Orologio.h"
#include "masterdata/Configurazione.h"
#include "gui/masterdata/F_Configurazioni.h"
#include "gui/masterdata/F_Pass.h"
#include "gui/masterdata/F_PercorsoBakup.h"
#include "masterdata/ImmaginiDatabase.h"
#include "gui/masterdata/SceltaData.h"
#include "gui/platform/ElencoStampanti.h"
#include "platform/Piattaforma.h"
#include "gui/printing/Stampanti.h"
#include "platform/Servizi.h"
#include "gui/platform/ServiziGrafici.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <memory>

using Configurazione::Dati;

namespace {

void clicca(QWidget* w, const char* nome)
{
    QTest::mouseClick(figlio<QAbstractButton>(w, nome), Qt::LeftButton);
}

QString testo(QWidget* w, const char* nome)
{
    return figlio<QLineEdit>(w, nome)->text();
}

// Settings that differ from each other in every field, accents and quotes included.
Dati DatiDiProva()
{
    Dati d;
    d.RagSociale = QStringLiteral("Rossi Costruzioni S.r.l.");
    d.Indirizzo = QStringLiteral("Via dell'Università 12");
    d.Cap = QStringLiteral("20100");
    d.Comune = QStringLiteral("Milano");
    d.Provincia = QStringLiteral("MI");
    d.Piva = QStringLiteral("01234567890");
    d.CodiceFiscale = QStringLiteral("RSSMRA80A01F205X");
    d.Tel = QStringLiteral("02 1234567");
    d.Fax = QStringLiteral("02 7654321");
    d.VisualizzaIntestazione = true;
    d.Banca = QStringLiteral("Banca \"Popolare\"");
    d.Cab = QStringLiteral("01600");
    d.Abi = QStringLiteral("05034");
    d.Cin = QStringLiteral("X");
    d.CC = QStringLiteral("000012345678");
    d.Iban = QStringLiteral("IT60X0542811101000000123456");
    d.Agenzia = QStringLiteral("Agenzia 3 – Brera");
    d.VisualizzaLogo = false;
    d.PercorsoBackup = QStringLiteral("/srv/backup/ditta");
    d.SalvataggioAutomatico = true;
    d.prnDocs = QStringLiteral("Ufficio");
    d.prnDocsPDF = QStringLiteral("PDFCreator");
    return d;
}

QImage ImmagineDiProva(int larghezza, int altezza)
{
    QImage img(larghezza, altezza, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, larghezza, altezza);
    g.setColorAt(0, QColor(0x20, 0x40, 0xA0));
    g.setColorAt(1, QColor(0xF0, 0xC0, 0x30));
    p.fillRect(img.rect(), g);
    p.setPen(Qt::white);
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("Ditta"));
    return img;
}

QByteArray LeggiTutto(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray LogoMemorizzato(const AmbienteTest& amb)
{
    return amb.sql(QStringLiteral("SELECT Logo FROM Configurazioni ORDER BY Indice LIMIT 1")).toByteArray();
}

bool StessaImmagine(const QImage& a, const QImage& b)
{
    return !a.isNull() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

QList<Stampante> Elenco(const QStringList& nomi)
{
    QList<Stampante> l;
    for (const QString& n : nomi)
        l.append({ n, QStringLiteral("driver"), QStringLiteral("porta"), false });
    return l;
}

} // namespace

class TestConfigurazioni : public QObject
{
    Q_OBJECT

private slots:
    // The busy window, the password prompt and the progress window are the windows' own.
    void initTestCase() { ServiziGrafici::Installa(servizi()); }
    void init();
    void cleanup();

    void andataERitornoDiOgniCampo();
    void finestraCaricaESalva();
    void senzaRigaNonScriveAlCaricamento();
    void archivioMancante();
    void nuovoArchivioRiceveLeImpostazioniInSilenzio();
    void limitiDeiCampi();
    void interruttoriDiStampaSiEscludono();
    void festivitaDellAzienda();
    void settimanaTipo();

    void pezziDiFile_data();
    void pezziDiFile();
    void logoJpgSalvatoComeBitmap();
    void segnaposto();
    void logoNonSalvatoNonPerdeIlResto_data();
    void logoNonSalvatoNonPerdeIlResto();
    void fileNonImmagine();
    void logoNonLeggibileNonNascondeIlResto();

    void passwordNellaFinestra();
    void apriChiedeLaPassword();
    void chiudiRicaricaERiapre();
    void seguePrincipale();
    void elenchiStampanti();

    void creazioneArchivi();
    void backupElencoERipristino();
    void ottimizzazione();
    void verificaArchivio();
    void percorsoArchivio();
    void percorsoBakup();

private:
    QStringList m_stampanti;
    int m_aperture = 0;
};

void TestConfigurazioni::init()
{
    m_stampanti = { QStringLiteral("Ufficio"), QStringLiteral("Magazzino"), QStringLiteral("PDFCreator") };
    servizi().stampanti = [this] { return Elenco(m_stampanti); };
    m_aperture = 0;
    servizi().apriPrincipale = [this] { ++m_aperture; };
    Orologio::ImpostaOggi(QDate(2026, 12, 7));
}

void TestConfigurazioni::cleanup()
{
    servizi().stampanti = {};
    servizi().apriPrincipale = {};
    servizi().cartellaImmagini.clear();
    Orologio::ImpostaOggi({});
    Presenza::Termina();
}

void TestConfigurazioni::andataERitornoDiOgniCampo()
{
    AmbienteTest amb;
    amb.sql(QStringLiteral(
        "INSERT INTO Configurazioni (Password, Percorso, PercorsoRicerca) VALUES ('p', 'a', 'b')"));
    const Dati d = DatiDiProva();
    Configurazione::Salva(amb.archivio(), d, {});
    Configurazione::Lettura l = Configurazione::Leggi(amb.archivio());
    QVERIFY(l.riga);
    QCOMPARE(l.dati, d);

    // Every text column on its own: a field mixed up with another would show here.
    for (const Configurazione::CampoTesto& c : Configurazione::CampiTesto()) {
        Dati uno = d;
        uno.*c.valore = QStringLiteral("valore di ") + c.nome;
        Configurazione::Salva(amb.archivio(), uno, {});
        QCOMPARE(
            amb.sql(QStringLiteral("SELECT %1 FROM Configurazioni").arg(c.nome)).toString(), uno.*c.valore);
        QCOMPARE(Configurazione::Leggi(amb.archivio()).dati, uno);
    }
    // The switches are stored 1 and 0; an older archive's -1 reads as ticked.
    Dati flag = d;
    flag.VisualizzaIntestazione = false;
    flag.VisualizzaLogo = true;
    flag.SalvataggioAutomatico = false;
    Configurazione::Salva(amb.archivio(), flag, {});
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT VisualizzaIntestazione || VisualizzaLogo || SalvataggioAutomatico "
                               "FROM Configurazioni"))
            .toString(),
        QStringLiteral("010"));
    amb.sql(QStringLiteral("UPDATE Configurazioni SET VisualizzaIntestazione = -1, PercorsoBackup = NULL"));
    l = Configurazione::Leggi(amb.archivio());
    QVERIFY(l.dati.VisualizzaIntestazione);
    // No backup folder stored reads as the default one.
    QCOMPARE(l.dati.PercorsoBackup, Piattaforma::CartellaBackupPredefinita());

    // Still one row, and the password and older paths untouched.
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
    QCOMPARE(amb.sql(QStringLiteral("SELECT Password || Percorso || PercorsoRicerca FROM Configurazioni"))
                 .toString(),
        QStringLiteral("pab"));
}

void TestConfigurazioni::finestraCaricaESalva()
{
    AmbienteTest amb;
    const Dati d = DatiDiProva();
    Configurazione::Salva(amb.archivio(), d, {});
    {
        F_Configurazioni w(amb.sessione);
        QCOMPARE(w.windowTitle(), QStringLiteral("Configurazioni"));
        QCOMPARE(w.LeggiCampi(), d);
        QCOMPARE(testo(&w, "RagSociale"), d.RagSociale);
        QCOMPARE(figlio<QComboBox>(&w, "prnDocsPDF")->currentText(), d.prnDocsPDF);
        QVERIFY(figlio<QCheckBox>(&w, "SalvataggioAutomatico")->isChecked());
        QVERIFY(amb.messaggi.chiamate.isEmpty());

        figlio<QLineEdit>(&w, "Comune")->setText(QStringLiteral("Bergamo"));
        figlio<QLineEdit>(&w, "Iban")->setText(QStringLiteral("IT00A"));
        figlio<QLineEdit>(&w, "PercorsoBackup")->setText(QStringLiteral("/altrove"));
        figlio<QCheckBox>(&w, "SalvataggioAutomatico")->setChecked(false);
        clicca(&w, "Command4");
        QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("REGISTRAZIONE EFFETTUATA") });
        QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Information);
    }
    Dati atteso = d;
    atteso.Comune = QStringLiteral("Bergamo");
    atteso.Iban = QStringLiteral("IT00A");
    atteso.PercorsoBackup = QStringLiteral("/altrove");
    atteso.SalvataggioAutomatico = false;
    QCOMPARE(Configurazione::Leggi(amb.archivio()).dati, atteso);
    // The backup procedures read the same row.
    QCOMPARE(Backup::LeggiImpostazioniBackup(amb.archivio()).percorso, QStringLiteral("/altrove"));
    QVERIFY(!Backup::LeggiImpostazioniBackup(amb.archivio()).automatico);
}

void TestConfigurazioni::senzaRigaNonScriveAlCaricamento()
{
    AmbienteTest amb;
    F_Configurazioni w(amb.sessione);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 0);
    QCOMPARE(testo(&w, "RagSociale"), QString());
    QCOMPARE(testo(&w, "PercorsoBackup"), Piattaforma::CartellaBackupPredefinita());
    QVERIFY(figlio<QLabel>(&w, "Logo")->pixmap().isNull());
    figlio<QLineEdit>(&w, "RagSociale")->setText(QStringLiteral("Nuova"));
    clicca(&w, "Command4");
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT RagSociale FROM Configurazioni")).toString(), QStringLiteral("Nuova"));
    // Without a picture the logo field stays empty.
    QVERIFY(amb.sql(QStringLiteral("SELECT Logo FROM Configurazioni")).isNull());
}

void TestConfigurazioni::archivioMancante()
{
    AmbienteTest amb(false);
    F_Configurazioni w(amb.sessione);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("Eseguire creazione database") });
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);

    // A save that cannot reach the archive is not told as a success.
    amb.messaggi.svuota();
    clicca(&w, "Command4");
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QVERIFY(amb.messaggi.chiamate.at(0).testo.startsWith(
        QStringLiteral("ATTENZIONE: CONFIGURAZIONE NON REGISTRATA")));
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);
}

void TestConfigurazioni::nuovoArchivioRiceveLeImpostazioniInSilenzio()
{
    AmbienteTest amb(false);
    const QString cartella = amb.percorso(QStringLiteral("archivi"));
    QString errore;
    QVERIFY2(
        Configurazione::CreaArchivio(cartella, QStringLiteral("Nuovo.mdb"), &errore), qPrintable(errore));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    const QString archivio = QDir(cartella).filePath(QStringLiteral("Nuovo.mdb"));
    const Configurazione::Lettura l = Configurazione::Leggi(archivio);
    QVERIFY(l.riga);
    QCOMPARE(l.dati, Configurazione::ValoriIniziali());
    QCOMPARE(AmbienteTest::sqlSu(archivio, QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
    // A new archive asks no password.
    Sessione nuova;
    nuova.PercorsoArchivio = archivio;
    QVERIFY(ControllaPassword(nuova));
    QVERIFY(amb.messaggi.chiamate.isEmpty());

    // The save itself is what stays silent while an archive is being made.
    QVERIFY(Configurazione::SalvaConfigurazione(
        archivio, DatiDiProva(), {}, nullptr, Configurazione::Avvisi::Nessuno));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(Configurazione::Leggi(archivio).dati, DatiDiProva());
}

void TestConfigurazioni::limitiDeiCampi()
{
    AmbienteTest amb;
    F_Configurazioni w(amb.sessione);
    QCOMPARE(figlio<QLineEdit>(&w, "Provincia")->maxLength(), 2);
    QCOMPARE(figlio<QLineEdit>(&w, "Cap")->maxLength(), 50);
    QCOMPARE(figlio<QLineEdit>(&w, "Piva")->maxLength(), 50);
    QCOMPARE(figlio<QLineEdit>(&w, "RagSociale")->maxLength(), 250);
    QCOMPARE(figlio<QLineEdit>(&w, "Iban")->maxLength(), 250);
    QTest::keyClicks(figlio<QLineEdit>(&w, "Provincia"), QStringLiteral("MIL"));
    QCOMPARE(testo(&w, "Provincia"), QStringLiteral("MI"));
    QVERIFY(figlio<QLineEdit>(&w, "Cin")->alignment() & Qt::AlignHCenter);
    // Captions and labels as the users know them.
    QCOMPARE(figlio<QCheckBox>(&w, "VisualizzaIntestazione")->text(),
        QStringLiteral(" Visualizza Intestazione in Stampa"));
    QCOMPARE(figlio<QCheckBox>(&w, "VisualizzaLogo")->text(), QStringLiteral(" Visualizza Logo in Stampa"));
    QCOMPARE(figlio<QLabel>(&w, "LabelCap")->text(), QStringLiteral("Cap/Comune/Pr:"));
    QCOMPARE(figlio<QLabel>(&w, "LabelCab")->text(), QStringLiteral("Cab/Abi/Cin/CC:"));
    QCOMPARE(figlio<QPushButton>(&w, "Command8")->text(), QStringLiteral("Seleziona Immagine"));
    QCOMPARE(figlio<QPushButton>(&w, "Command20")->text(), QStringLiteral("Cancella Immagine"));
    // Every control can be named by a screen reader.
    const QList<QWidget*> controlli = w.findChildren<QWidget*>();
    for (QWidget* c : controlli) {
        // The field inside a combo or spin box is read through its owner.
        if (qobject_cast<QLineEdit*>(c)
            && (qobject_cast<QComboBox*>(c->parentWidget())
                || qobject_cast<QAbstractSpinBox*>(c->parentWidget())))
            continue;
        if (qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c)
            || qobject_cast<QListWidget*>(c))
            QVERIFY2(!QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name).isEmpty(),
                qPrintable(c->objectName()));
    }
}

void TestConfigurazioni::interruttoriDiStampaSiEscludono()
{
    AmbienteTest amb;
    F_Configurazioni w(amb.sessione);
    auto* intestazione = figlio<QCheckBox>(&w, "VisualizzaIntestazione");
    auto* logo = figlio<QCheckBox>(&w, "VisualizzaLogo");
    QTest::mouseClick(intestazione, Qt::LeftButton);
    QVERIFY(intestazione->isChecked());
    QVERIFY(!logo->isChecked());
    QTest::mouseClick(logo, Qt::LeftButton);
    QVERIFY(logo->isChecked());
    QVERIFY(!intestazione->isChecked());
    QTest::mouseClick(intestazione, Qt::LeftButton);
    QVERIFY(intestazione->isChecked());
    QVERIFY(!logo->isChecked());
    QTest::mouseClick(intestazione, Qt::LeftButton);
    QVERIFY(!intestazione->isChecked());
    QVERIFY(!logo->isChecked());
    // Both ticked (as an older version could store them): a click on either clears the other.
    for (QCheckBox* cliccata : { intestazione, logo }) {
        intestazione->setChecked(true);
        logo->setChecked(true);
        QTest::mouseClick(cliccata, Qt::LeftButton);
        QVERIFY(!cliccata->isChecked());
        QVERIFY(!(cliccata == logo ? intestazione : logo)->isChecked());
    }
    QTest::mouseClick(logo, Qt::LeftButton);
    clicca(&w, "Command4");
    QCOMPARE(amb.sql(QStringLiteral("SELECT VisualizzaIntestazione || VisualizzaLogo FROM Configurazioni"))
                 .toString(),
        QStringLiteral("01"));
    Module1::CaricaConfigurazione(amb.sessione);
    QCOMPARE(amb.sessione.VisualizzaLogoStampa, QStringLiteral("1"));
    QCOMPARE(amb.sessione.VisualizzaIntestazioneStampa, QString());
}

// Each change of the group is stored at once, and the main window's next build shows it.
void TestConfigurazioni::festivitaDellAzienda()
{
    AmbienteTest amb;
    Orologio::ImpostaOggi(QDate(2026, 12, 10));
    std::unique_ptr<F_Avvio> principale(F_Avvio::Apri(amb.sessione));
    QVERIFY(principale);
    const int colonna7 = GrigliaDettaglio::ColonnaGiorno(7);
    QCOMPARE(principale->griglia().suggerimento(1, colonna7), QString());

    F_Configurazioni f(amb.sessione);
    f.show();
    auto* patrono = figlio<QLineEdit>(&f, "Patrono");
    auto* chiusure = figlio<QListWidget>(&f, "Chiusure");
    QVERIFY(figlio<QCheckBox>(&f, "EvidenziaFestivita")->isChecked());
    QCOMPARE(figlio<QSpinBox>(&f, "AnnoChiusure")->value(), 2026);
    QVERIFY(!figlio<QPushButton>(&f, "RimuoviChiusura")->isEnabled());

    patrono->setText(QStringLiteral("7/12"));
    figlio<QLineEdit>(&f, "NomePatrono")->setText(QStringLiteral("Sant'Ambrogio"));
    QTest::keyClick(patrono, Qt::Key_Return);
    QCOMPARE(patrono->text(), QStringLiteral("07/12"));
    QCOMPARE(FunzioniPerVariabili::LeggiVariabile(amb.archivio(), QStringLiteral("F_Configurazioni_Patrono")),
        QStringLiteral("07/12"));
    principale->Form_Activate();
    QCOMPARE(principale->griglia().suggerimento(1, colonna7), QStringLiteral("Patrono: Sant'Ambrogio"));
    QCOMPARE(principale->griglia().sfondo(1, colonna7), GrigliaDettaglio::ColoreDomenica);

    // A day no year has is refused and the stored one comes back.
    patrono->setText(QStringLiteral("31/02"));
    QTest::keyClick(patrono, Qt::Key_Return);
    QCOMPARE(amb.messaggi.testi().size(), 1);
    QVERIFY(amb.messaggi.testi().first().startsWith(QStringLiteral("Giorno del patrono non valido")));
    QCOMPARE(patrono->text(), QStringLiteral("07/12"));
    QCOMPARE(FunzioniPerVariabili::LeggiVariabile(amb.archivio(), QStringLiteral("F_Configurazioni_Patrono")),
        QStringLiteral("07/12"));

    // Closures come from the calendar, which opens on the day after the last one.
    QStringList proposte;
    QStringList scelte { QStringLiteral("24/12/2026"), QStringLiteral("25/12/2026"),
        QStringLiteral("04/01/2027") };
    servizi().scegliData = [&](const QString& iniziale) {
        proposte << iniziale;
        return scelte.takeFirst();
    };
    clicca(&f, "AggiungiChiusura");
    clicca(&f, "AggiungiChiusura");
    QCOMPARE(proposte, (QStringList { QStringLiteral("10/12/2026"), QStringLiteral("25/12/2026") }));
    QCOMPARE(chiusure->count(), 2);
    QCOMPARE(chiusure->item(0)->text(), QStringLiteral("24/12/2026 - Giovedì"));
    QCOMPARE(
        FunzioniPerVariabili::LeggiVariabile(amb.archivio(), QStringLiteral("F_Configurazioni_Chiusure2026")),
        QStringLiteral("24/12-25/12"));
    // Another year's closure shows that year's list and leaves this one's alone.
    clicca(&f, "AggiungiChiusura");
    servizi().scegliData = {};
    QCOMPARE(figlio<QSpinBox>(&f, "AnnoChiusure")->value(), 2027);
    QCOMPARE(chiusure->count(), 1);
    QCOMPARE(
        FunzioniPerVariabili::LeggiVariabile(amb.archivio(), QStringLiteral("F_Configurazioni_Chiusure2027")),
        QStringLiteral("04/01"));
    figlio<QSpinBox>(&f, "AnnoChiusure")->setValue(2026);
    QCOMPARE(chiusure->count(), 2);
    chiusure->setCurrentRow(0);
    QTest::keyClick(chiusure, Qt::Key_Delete);
    QCOMPARE(
        FunzioniPerVariabili::LeggiVariabile(amb.archivio(), QStringLiteral("F_Configurazioni_Chiusure2026")),
        QStringLiteral("25/12"));
    QCOMPARE(chiusure->count(), 1);

    auto* evidenzia = figlio<QCheckBox>(&f, "EvidenziaFestivita");
    QTest::mouseClick(evidenzia, Qt::LeftButton, {}, QPoint(8, evidenzia->height() / 2));
    QCOMPARE(FunzioniPerVariabili::LeggiVariabile(
                 amb.archivio(), QStringLiteral("F_Configurazioni_EvidenziaFestivita")),
        QStringLiteral("0"));
    principale->Form_Activate();
    QCOMPARE(principale->griglia().suggerimento(1, colonna7), QString());
    QCOMPARE(amb.messaggi.testi().size(), 1);
    Orologio::ImpostaAdesso({});
}

// A day's hours are stored as soon as its box is left; what is no number of hours is refused.
void TestConfigurazioni::settimanaTipo()
{
    AmbienteTest amb;
    F_Configurazioni f(amb.sessione);
    f.show();
    auto* lunedi = figlio<QLineEdit>(&f, "OreLun");
    auto* sabato = figlio<QLineEdit>(&f, "OreSab");
    QCOMPARE(lunedi->text(), QStringLiteral("8"));
    QCOMPARE(sabato->text(), QString());

    lunedi->clear();
    QTest::keyClicks(lunedi, QStringLiteral("7.5"));
    QTest::keyClick(lunedi, Qt::Key_Return);
    QCOMPARE(lunedi->text(), QStringLiteral("7,5"));
    QCOMPARE(FunzioniPerVariabili::LeggiVariabile(amb.archivio(), SettimanaTipo::Variabile),
        QStringLiteral("7,5;8;8;8;8;;"));

    QTest::keyClicks(sabato, QStringLiteral("4 ore"));
    QTest::keyClick(sabato, Qt::Key_Return);
    QCOMPARE(amb.messaggi.testi(),
        QStringList { QStringLiteral(
            "Ore del sabato non valide: scrivere un numero da 0 a 24, per esempio 8 o 7,5.") });
    QCOMPARE(sabato->text(), QString());
    QCOMPARE(SettimanaTipo::Leggi(amb.archivio()).ore.at(5), QString());
}

void TestConfigurazioni::pezziDiFile_data()
{
    QTest::addColumn<int>("dimensione");
    QTest::addColumn<QString>("modo");
    QTest::newRow("vuoto") << 0 << "EDIT";
    QTest::newRow("un byte") << 1 << "edit";
    QTest::newRow("un pezzo meno uno") << 2047 << "EDIT";
    QTest::newRow("un pezzo") << 2048 << "";
    QTest::newRow("un pezzo più uno") << 2049 << "ADDNEW";
    QTest::newRow("grande, non multiplo") << 1500 * 1024 + 7 << "AddNew";
    QTest::newRow("tre pezzi esatti") << 3 * 2048 << "qualunque";
}

void TestConfigurazioni::pezziDiFile()
{
    QFETCH(int, dimensione);
    QFETCH(QString, modo);
    AmbienteTest amb;
    servizi().cartellaImmagini = amb.cartella();
    QByteArray dati(dimensione, Qt::Uninitialized);
    for (int i = 0; i < dimensione; ++i)
        dati[i] = static_cast<char>((quint32(i) * 7919u + quint32(i) / 2048u) & 0xFFu);
    const QString file = amb.percorso(QStringLiteral("sorgente.bin"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(dati);
    }
    // An older, longer content is replaced, not appended to.
    amb.sql(QStringLiteral("INSERT INTO Configurazioni (RagSociale, Logo) VALUES ('Ditta', ?)"),
        { QByteArray(5000, 'z') });

    Archivio db(amb.archivio());
    ImmaginiDatabase::Riga riga { QStringLiteral("Configurazioni"),
        db.valore(QStringLiteral("SELECT min(Indice) FROM Configurazioni")) };
    const QVariant prima = riga.indice;
    if (modo.isEmpty()) {
        // The caller runs the transaction.
        InTransazione(
            db, [&] { ImmaginiDatabase::SalvaFileInCampo(db, riga, QStringLiteral("Logo"), file, modo); });
    } else {
        ImmaginiDatabase::SalvaFileInCampo(db, riga, QStringLiteral("Logo"), file, modo);
    }
    if (modo.toUpper() == QLatin1String("ADDNEW")) {
        QVERIFY(riga.indice != prima);
        QCOMPARE(db.valore(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 2);
    } else {
        QCOMPARE(riga.indice, prima);
    }
    const QString letto = ImmaginiDatabase::LeggiFileDaCampo(db, riga, QStringLiteral("Logo"));
    QCOMPARE(letto, QDir(amb.cartella()).filePath(QStringLiteral("img_temp.bin")));
    QCOMPARE(LeggiTutto(letto).size(), dati.size());
    QVERIFY(LeggiTutto(letto) == dati);
    // At the end of the records there is nothing to read.
    QCOMPARE(ImmaginiDatabase::LeggiFileDaCampo(
                 db, { QStringLiteral("Configurazioni"), {} }, QStringLiteral("Logo")),
        QString());
}

void TestConfigurazioni::logoJpgSalvatoComeBitmap()
{
    AmbienteTest amb;
    const QString jpg = amb.percorso(QStringLiteral("marchio.jpg"));
    QVERIFY(ImmagineDiProva(400, 300).save(jpg, "JPG", 85));
    const QImage attesa(jpg);
    QVERIFY(!attesa.isNull());
    {
        F_Configurazioni w(amb.sessione);
        amb.messaggi.file << jpg;
        clicca(&w, "Command8");
        QVERIFY(!figlio<QLabel>(&w, "Logo")->pixmap().isNull());
        QVERIFY(StessaImmagine(w.ImmagineLogo(), attesa));
        // Nothing is written until the settings are saved.
        QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 0);
        clicca(&w, "Command4");
    }
    const QByteArray memorizzato = LogoMemorizzato(amb);
    QVERIFY(memorizzato.startsWith("BM"));
    QVERIFY(StessaImmagine(QImage::fromData(memorizzato, "BMP"), attesa));
    // No work file is left behind.
    QVERIFY(!QFile::exists(ImmaginiDatabase::FileSalvataggio()));

    // Shown again on the next opening, and stored again unchanged by a later save.
    F_Configurazioni w(amb.sessione);
    QVERIFY(StessaImmagine(w.ImmagineLogo(), attesa));
    QVERIFY(!figlio<QLabel>(&w, "Logo")->pixmap().isNull());
    // The shown copy is scaled into the frame; the stored one keeps its size.
    QVERIFY(figlio<QLabel>(&w, "Logo")->pixmap().width() <= 320);
    QCOMPARE(w.ImmagineLogo().size(), QSize(400, 300));
    clicca(&w, "Command4");
    QVERIFY(LogoMemorizzato(amb) == memorizzato);
    QVERIFY(!QFile::exists(ImmaginiDatabase::FileLettura()));
}

void TestConfigurazioni::segnaposto()
{
    AmbienteTest amb;
    const QByteArray incorporato = LeggiTutto(QStringLiteral(":/Nessun logo.bmp"));
    QVERIFY(incorporato.startsWith("BM"));
    {
        F_Configurazioni w(amb.sessione);
        clicca(&w, "Command20");
        QVERIFY(!figlio<QLabel>(&w, "Logo")->pixmap().isNull());
        QVERIFY(w.BitmapLogo() == incorporato);
        clicca(&w, "Command4");
    }
    QVERIFY(LogoMemorizzato(amb) == incorporato);

    // A placeholder beside the program takes the place of the built-in one.
    amb.sessione.CartellaProgramma = amb.cartella();
    const QString proprio = QDir(amb.cartella()).filePath(QStringLiteral("Nessun logo.bmp"));
    QVERIFY(ImmagineDiProva(40, 30).save(proprio, "BMP"));
    QCOMPARE(Configurazione::FileNessunLogo(amb.sessione.CartellaProgramma), proprio);
    F_Configurazioni w(amb.sessione);
    clicca(&w, "Command20");
    QVERIFY(w.BitmapLogo() == LeggiTutto(proprio));

    // One that is not a picture leaves the picture as it was.
    QFile f(proprio);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("non sono un'immagine");
    f.close();
    const QByteArray prima = w.BitmapLogo();
    clicca(&w, "Command20");
    QVERIFY(w.BitmapLogo() == prima);
}

void TestConfigurazioni::logoNonSalvatoNonPerdeIlResto_data()
{
    QTest::addColumn<bool>("fileDiLavoro");
    QTest::newRow("file di lavoro non scrivibile") << true;
    QTest::newRow("campo rifiutato dall'archivio") << false;
}

void TestConfigurazioni::logoNonSalvatoNonPerdeIlResto()
{
    QFETCH(bool, fileDiLavoro);
    AmbienteTest amb;
    servizi().cartellaImmagini = amb.cartella();
    const QByteArray vecchio = Configurazione::InBitmap(ImmagineDiProva(20, 10));
    amb.sql(
        QStringLiteral("INSERT INTO Configurazioni (RagSociale, Logo) VALUES ('Vecchia', ?)"), { vecchio });
    if (fileDiLavoro)
        QVERIFY(QDir().mkpath(ImmaginiDatabase::FileSalvataggio()));
    else
        amb.sql(QStringLiteral("CREATE TRIGGER rifiuta BEFORE UPDATE OF Logo ON Configurazioni "
                               "BEGIN SELECT RAISE(ABORT, 'logo rifiutato'); END"));

    F_Configurazioni w(amb.sessione);
    const QString jpg = amb.percorso(QStringLiteral("nuovo.jpg"));
    QVERIFY(ImmagineDiProva(64, 48).save(jpg, "JPG"));
    amb.messaggi.file << jpg;
    clicca(&w, "Command8");
    figlio<QLineEdit>(&w, "RagSociale")->setText(QStringLiteral("Nuova"));
    figlio<QLineEdit>(&w, "Tel")->setText(QStringLiteral("055 1"));
    amb.messaggi.svuota();
    clicca(&w, "Command4");

    QCOMPARE(amb.sql(QStringLiteral("SELECT RagSociale || '/' || Tel FROM Configurazioni")).toString(),
        QStringLiteral("Nuova/055 1"));
    QVERIFY(LogoMemorizzato(amb) == vecchio);
    QCOMPARE(amb.messaggi.chiamate.size(), 2);
    QCOMPARE(amb.messaggi.chiamate.at(0).testo, QStringLiteral("REGISTRAZIONE EFFETTUATA"));
    QVERIFY(amb.messaggi.chiamate.at(1).testo.startsWith(
        QStringLiteral("ATTENZIONE: IL LOGO NON È STATO SALVATO.")));
    QCOMPARE(amb.messaggi.chiamate.at(1).icona, Messaggi::Warning);
}

void TestConfigurazioni::fileNonImmagine()
{
    AmbienteTest amb;
    F_Configurazioni w(amb.sessione);
    clicca(&w, "Command20");
    const QByteArray prima = w.BitmapLogo();
    const QString falso = amb.percorso(QStringLiteral("falso.jpg"));
    QFile f(falso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("testo");
    f.close();
    amb.messaggi.file << falso;
    clicca(&w, "Command8");
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Warning);
    QVERIFY(w.BitmapLogo() == prima);
    // Cancelling the file dialog changes nothing and says nothing.
    clicca(&w, "Command8");
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
}

void TestConfigurazioni::logoNonLeggibileNonNascondeIlResto()
{
    AmbienteTest amb;
    servizi().cartellaImmagini = amb.cartella();
    const QByteArray logo = Configurazione::InBitmap(ImmagineDiProva(20, 10));
    Configurazione::Salva(amb.archivio(), DatiDiProva(), logo);
    QVERIFY(QDir().mkpath(ImmaginiDatabase::FileLettura()));
    F_Configurazioni w(amb.sessione);
    QCOMPARE(w.LeggiCampi(), DatiDiProva());
    QVERIFY(w.BitmapLogo().isEmpty());
    QCOMPARE(figlio<QLabel>(&w, "Logo")->text(), QStringLiteral("(impossibile leggere il logo)"));
    clicca(&w, "Command4");
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("REGISTRAZIONE EFFETTUATA") });
    QVERIFY(LogoMemorizzato(amb) == logo);
}

void TestConfigurazioni::passwordNellaFinestra()
{
    AmbienteTest amb;
    azienda(amb, { { "RagSociale", QStringLiteral("Ditta") } });
    F_Configurazioni w(amb.sessione);
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* password = figlio<QLineEdit>(&w, "Password");
    auto* salva = figlio<QPushButton>(&w, "Command11");
    QCOMPARE(password->text(), QStringLiteral("-----------------Inserisci password----------------"));
    QCOMPARE(password->echoMode(), QLineEdit::Normal);
    QVERIFY(!salva->isEnabled());

    // Entering the box empties it and enables "Salva".
    password->setFocus(Qt::TabFocusReason);
    QVERIFY(password->text().isEmpty());
    QVERIFY(salva->isEnabled());
    QTest::keyClicks(password, QStringLiteral("Nuova-77"));
    clicca(&w, "Command11");
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("PASSWORD IMPOSTATA CORRETTAMENTE") });
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Information);
    const QString memorizzata = amb.sql(QStringLiteral("SELECT Password FROM Configurazioni")).toString();
    QVERIFY(!memorizzata.contains(QStringLiteral("Nuova-77")));
    QVERIFY(PasswordCorretta(memorizzata, QStringLiteral("Nuova-77")));
    QVERIFY(!salva->isEnabled());

    // "Salva Configurazione" leaves the password alone.
    clicca(&w, "Command4");
    QCOMPARE(amb.sql(QStringLiteral("SELECT Password FROM Configurazioni")).toString(), memorizzata);

    // An empty box removes it.
    amb.messaggi.svuota();
    password->clear();
    clicca(&w, "Command11");
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("PASSWORD IMPOSTATA CORRETTAMENTE") });
    QCOMPARE(amb.sql(QStringLiteral("SELECT Password FROM Configurazioni")).toString(), QString());
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT RagSociale FROM Configurazioni")).toString(), QStringLiteral("Ditta"));
}

void TestConfigurazioni::apriChiedeLaPassword()
{
    AmbienteTest amb;
    // No password: nothing is asked.
    QPointer<F_Configurazioni> f = F_Configurazioni::Apri(amb.sessione);
    QVERIFY(f);
    QVERIFY(f->isVisible());
    QVERIFY(!f->isModal());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    // A second call brings the same window forward.
    QCOMPARE(F_Configurazioni::Apri(amb.sessione), f.data());
    QCOMPARE(F_Configurazioni::Aperta(), f.data());
    f->close();
    QTRY_VERIFY(f.isNull());
    QVERIFY(!F_Configurazioni::Aperta());

    MemorizzaPassword(amb.archivio(), QStringLiteral("giusta"));
    auto rispondi = [](const QString& testo) {
        QTimer::singleShot(0, [testo] {
            auto* t = new QTimer;
            QObject::connect(t, &QTimer::timeout, [t, testo] {
                if (auto* p = qobject_cast<F_Pass*>(QApplication::activeModalWidget())) {
                    t->stop();
                    t->deleteLater();
                    p->findChild<QLineEdit*>(QStringLiteral("Password"))->setText(testo);
                    QTest::keyClick(p->findChild<QLineEdit*>(QStringLiteral("Password")), Qt::Key_Return);
                }
            });
            t->start(10);
        });
    };
    rispondi(QStringLiteral("sbagliata"));
    QVERIFY(!F_Configurazioni::Apri(amb.sessione));
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("PASSWORD ERRATA") });
    QVERIFY(amb.terminazioni >= 1);
    QVERIFY(!F_Configurazioni::Aperta());

    amb.messaggi.svuota();
    rispondi(QStringLiteral("giusta"));
    f = F_Configurazioni::Apri(amb.sessione);
    QVERIFY(f);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    f->close();
    QTRY_VERIFY(f.isNull());

    // Right after "Chiudi" the main window's load does not ask again.
    amb.sessione.SaltaPassword = true;
    f = F_Configurazioni::Apri(amb.sessione);
    QVERIFY(f);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    f->close();
    QTRY_VERIFY(f.isNull());
}

void TestConfigurazioni::chiudiRicaricaERiapre()
{
    AmbienteTest amb;
    Dati d = DatiDiProva();
    d.VisualizzaIntestazione = false;
    d.VisualizzaLogo = true;
    d.PercorsoBackup = amb.percorso(QStringLiteral("copie"));
    Configurazione::Salva(amb.archivio(), d, {});
    amb.sessione.CartellaBackup.clear();
    amb.sessione.VisualizzaLogoStampa.clear();
    amb.sessione.NomeStampanteDocumenti.clear();
    amb.sessione.StampanteDocumentiTrovata = false;

    QPointer<F_Configurazioni> f = F_Configurazioni::Apri(amb.sessione);
    QVERIFY(f);
    clicca(f, "Command1");
    QVERIFY(amb.sessione.SaltaPassword);
    QCOMPARE(amb.sessione.CartellaBackup, amb.percorso(QStringLiteral("copie")));
    QCOMPARE(amb.sessione.VisualizzaLogoStampa, QStringLiteral("1"));
    QCOMPARE(amb.sessione.NomeStampanteDocumenti, QStringLiteral("Ufficio"));
    QVERIFY(amb.sessione.StampanteDocumentiTrovata);
    QTRY_COMPARE(m_aperture, 1);
    QTRY_VERIFY(f.isNull());
    // Unsaved edits are dropped with the window.
    QCOMPARE(Configurazione::Leggi(amb.archivio()).dati, d);
}

void TestConfigurazioni::seguePrincipale()
{
    AmbienteTest amb;
    QWidget principale;
    principale.show();
    QPointer<F_Configurazioni> f = F_Configurazioni::Apri(amb.sessione, &principale);
    QVERIFY(f);
    QVERIFY(f->isWindow());
    // Closed with the main window ("Disconnetti"), not left editing an archive no longer chosen.
    principale.hide();
    QTRY_VERIFY(f.isNull());
}

void TestConfigurazioni::elenchiStampanti()
{
    AmbienteTest amb;
    azienda(
        amb, { { "prnDocs", QStringLiteral("Vecchia") }, { "prnDocsPDF", QStringLiteral("PDFCreator") } });
    F_Configurazioni w(amb.sessione);
    w.show();
    auto* documenti = figlio<QComboBox>(&w, "prnDocs");
    auto* pdf = figlio<QComboBox>(&w, "prnDocsPDF");
    for (QComboBox* c : { documenti, pdf }) {
        QStringList voci;
        for (int i = 0; i < c->count(); ++i)
            voci << c->itemText(i);
        QCOMPARE(voci, m_stampanti);
    }
    // A stored name no printer has is still shown.
    QCOMPARE(documenti->currentText(), QStringLiteral("Vecchia"));
    QCOMPARE(pdf->currentText(), QStringLiteral("PDFCreator"));

    // The documents box takes no typing; Backspace empties it.
    documenti->setFocus();
    QTest::keyClicks(documenti, QStringLiteral("abc"));
    QCOMPARE(documenti->currentText(), QStringLiteral("Vecchia"));
    QTest::keyClick(documenti, Qt::Key_Backspace);
    QCOMPARE(documenti->currentText(), QString());
    documenti->setCurrentIndex(1);
    clicca(&w, "Command4");
    QCOMPARE(amb.sql(QStringLiteral("SELECT prnDocs || '/' || prnDocsPDF FROM Configurazioni")).toString(),
        QStringLiteral("Magazzino/PDFCreator"));
}

void TestConfigurazioni::creazioneArchivi()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("tenuto"), {});
    amb.sql(QStringLiteral("DROP TABLE Stampa2"));
    F_Configurazioni w(amb.sessione);
    QCOMPARE(figlio<QPushButton>(&w, "Command2")->text(), QStringLiteral("CREAZIONE ARCHIVI"));
    clicca(&w, "Command2");
    QCOMPARE(testo(&w, "StatoCreazione"), QStringLiteral("CREAZIONE COMPLETATA CON SUCCESSO"));
    for (const char* pulsante : { "Command2", "Command1", "Command4" })
        QVERIFY(figlio<QPushButton>(&w, pulsante)->isEnabled());
    Archivio db(amb.archivio());
    QVERIFY(db.esisteTabella(QStringLiteral("Stampa2")));
    QCOMPARE(db.valore(QStringLiteral("SELECT Codice FROM TabellaAnagrafiche")).toString(),
        QStringLiteral("tenuto"));
}

void TestConfigurazioni::backupElencoERipristino()
{
    AmbienteTest amb;
    amb.sessione.CartellaInf = amb.percorso(QStringLiteral("programma"));
    const QString cartella = amb.percorso(QStringLiteral("copie"));
    dipendente(amb, QStringLiteral("prima"), {});
    QPointer<F_Configurazioni> f = F_Configurazioni::Apri(amb.sessione);
    QVERIFY(f);
    figlio<QLineEdit>(f, "PercorsoBackup")->setText(cartella);

    // Backup now, into the folder the box shows.
    clicca(f, "Backup");
    QCOMPARE(amb.messaggi.testi(),
        (QStringList { QStringLiteral("ESEGUO IL SALVATAGGIO ARCHIVIO SU HARD DISK?"),
            QStringLiteral("PROCEDURA TERMINATA") }));
    QVERIFY(QFile::exists(QDir(cartella).filePath(QStringLiteral("071226-Archivio.mdb"))));
    QVERIFY(QFile::copy(QDir(cartella).filePath(QStringLiteral("071226-Archivio.mdb")),
        QDir(cartella).filePath(QStringLiteral("010125-Archivio.mdb"))));
    dipendente(amb, QStringLiteral("dopo"), {});

    auto* ripristina = figlio<QPushButton>(f, "RipristinaDb");
    QVERIFY(!ripristina->isEnabled());
    clicca(f, "Command9");
    auto* lista = figlio<QListWidget>(f, "List1");
    QCOMPARE(lista->count(), 2);
    QCOMPARE(lista->item(0)->text(), QStringLiteral("071226-Archivio.mdb"));
    lista->setCurrentRow(1);
    QCOMPARE(testo(f, "DataBackup"), QStringLiteral("01/01/2025"));
    lista->setCurrentRow(0);
    QCOMPARE(testo(f, "DataBackup"), QStringLiteral("07/12/2026"));
    QVERIFY(ripristina->isEnabled());
    QCOMPARE(ripristina->text(), QStringLiteral("Ripristina Backup (07/12/2026)"));
    QVERIFY(ripristina->styleSheet().contains(QStringLiteral("#C0FFC0")));

    amb.messaggi.svuota();
    amb.messaggi.testiInput << QStringLiteral("si");
    clicca(f, "RipristinaDb");
    QCOMPARE(amb.sql(QStringLiteral("SELECT group_concat(Codice) FROM TabellaAnagrafiche")).toString(),
        QStringLiteral("prima"));
    // The main window loads the restored archive again; this window is done.
    QTRY_COMPARE(m_aperture, 1);
    QTRY_VERIFY(f.isNull());
    QVERIFY(!amb.sessione.SaltaPassword);

    // A folder without files says so and lists nothing.
    F_Configurazioni w(amb.sessione);
    figlio<QLineEdit>(&w, "PercorsoBackup")->setText(amb.percorso(QStringLiteral("vuota")));
    amb.messaggi.svuota();
    clicca(&w, "Command9");
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("Attenzione percorso non corretto") });
    QCOMPARE(figlio<QListWidget>(&w, "List1")->count(), 0);
    QVERIFY(!figlio<QPushButton>(&w, "RipristinaDb")->isEnabled());
    QCOMPARE(figlio<QPushButton>(&w, "RipristinaDb")->text(), QStringLiteral("Ripristina Backup"));
}

void TestConfigurazioni::ottimizzazione()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("tenuto"), {});
    F_Configurazioni w(amb.sessione);
    // Only the exact lower-case word goes on.
    amb.messaggi.testiInput << QStringLiteral("Confermo");
    clicca(&w, "Command3");
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    amb.messaggi.testiInput << QStringLiteral("confermo");
    clicca(&w, "Command3");
    QCOMPARE(amb.messaggi.testi(),
        (QStringList { QStringLiteral("CONFERMI L'OTTIMIZZAZIONE DEL DATABASE"),
            QStringLiteral("Ottimizzazione conclusa") }));
    QCOMPARE(amb.messaggi.chiamate.at(1).icona, Messaggi::NoIcon);
    QCOMPARE(amb.sql(QStringLiteral("SELECT Codice FROM TabellaAnagrafiche")).toString(),
        QStringLiteral("tenuto"));
}

void TestConfigurazioni::verificaArchivio()
{
    AmbienteTest amb;
    ArchivioDanneggiato::RiempiMovimenti(
        amb.archivio(), 3000, QStringLiteral("Marzo"), QStringLiteral("2024"));
    F_Configurazioni w(amb.sessione);
    clicca(&w, "VerificaArchivio");
    QCOMPARE(amb.messaggi.testi(),
        QStringList { QStringLiteral("Verifica completata: l'archivio «Archivio.mdb» è integro.") });
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Information);

    QVERIFY(ArchivioDanneggiato::DanneggiaPaginaCentrale(amb.archivio()));
    amb.messaggi.svuota();
    clicca(&w, "VerificaArchivio");
    QCOMPARE(amb.messaggi.testi(),
        QStringList {
            QStringLiteral("Verifica completata: l'archivio «Archivio.mdb» è danneggiato.\nRipristinare "
                           "l'ultimo backup integro con «Ripristina Backup».") });
    QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);
}

void TestConfigurazioni::percorsoArchivio()
{
    AmbienteTest amb;
    amb.sessione.CartellaInf = amb.percorso(QStringLiteral("programma"));
    QDir().mkpath(amb.sessione.CartellaInf);
    amb.sessione.CartellaArchiviPredefinita = amb.percorso(QStringLiteral("Archivi Cartavia"));
    const QString percorsoTxt = QDir(amb.sessione.CartellaInf).filePath(QStringLiteral("Percorso.txt"));
    // The open archive lacks a table: "Default" and "Salva" complete it, and only it.
    auto tabellaStampa = [&] {
        return amb.sql(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'Stampa'")).toInt();
    };
    amb.sql(QStringLiteral("DROP TABLE Stampa"));
    F_Configurazioni w(amb.sessione);
    auto* percorso = figlio<QLineEdit>(&w, "BackupNew");
    QVERIFY(percorso->isReadOnly());
    QCOMPARE(QDir::fromNativeSeparators(percorso->text()), amb.archivio());

    const QString predefinito
        = QDir(amb.sessione.CartellaArchiviPredefinita).filePath(QStringLiteral("Archivio.mdb"));
    clicca(&w, "Command10");
    QCOMPARE(QDir::fromNativeSeparators(percorso->text()), predefinito);
    QCOMPARE(QString::fromUtf8(LeggiTutto(percorsoTxt)),
        QDir::toNativeSeparators(predefinito) + QLatin1Char('\n'));
    QVERIFY(!QFile::exists(predefinito));
    QVERIFY(!QFileInfo::exists(amb.sessione.CartellaArchiviPredefinita));
    QCOMPARE(tabellaStampa(), 1);
    QCOMPARE(testo(&w, "StatoCreazione"), QStringLiteral("CREAZIONE COMPLETATA CON SUCCESSO"));
    QCOMPARE(amb.sessione.PercorsoArchivio, amb.archivio());

    // Any file picked stays as it is, an SQLite file of another program included.
    const QString altro = amb.percorso(QStringLiteral("Altro.mdb"));
    AmbienteTest::sqlSu(altro, QStringLiteral("CREATE TABLE Clienti (Nome TEXT)"));
    const QByteArray prima = LeggiTutto(altro);
    amb.sql(QStringLiteral("DROP TABLE Stampa"));
    amb.messaggi.file << altro;
    clicca(&w, "Command21");
    // The file box proposes the usual archive name in the folder of the path shown.
    QCOMPARE(amb.messaggi.apertureProposte,
        QStringList {
            QDir(amb.sessione.CartellaArchiviPredefinita).filePath(QStringLiteral("Archivio.mdb")) });
    QCOMPARE(QDir::fromNativeSeparators(percorso->text()), altro);
    clicca(&w, "Command6");
    QVERIFY(LeggiTutto(altro) == prima);
    QCOMPARE(QString::fromUtf8(LeggiTutto(percorsoTxt)), QDir::toNativeSeparators(altro) + QLatin1Char('\n'));
    QCOMPARE(tabellaStampa(), 1);
    QCOMPARE(amb.sessione.PercorsoArchivio, amb.archivio());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestConfigurazioni::percorsoBakup()
{
    QCOMPARE(
        F_PercorsoBakup::ConSeparatoreFinale(QStringLiteral("/srv/copie")), QStringLiteral("/srv/copie/"));
    QCOMPARE(
        F_PercorsoBakup::ConSeparatoreFinale(QStringLiteral("/srv/copie///")), QStringLiteral("/srv/copie/"));
    QCOMPARE(F_PercorsoBakup::ConSeparatoreFinale(QStringLiteral("/")), QStringLiteral("/"));

    AmbienteTest amb;
    QDir(amb.cartella()).mkpath(QStringLiteral("uno/due"));
    QPointer<F_Configurazioni> f = F_Configurazioni::Apri(amb.sessione);
    QVERIFY(f);
    {
        F_PercorsoBakup p(F_PercorsoBakup::Scopo::Backup);
        QCOMPARE(p.windowTitle(), QStringLiteral("Percorso"));
        p.ImpostaCartella(amb.cartella());
        auto* cartelle = figlio<QListWidget>(&p, "Dir1");
        QCOMPARE(cartelle->item(0)->text(), QStringLiteral(".."));
        const QList<QListWidgetItem*> uno = cartelle->findItems(QStringLiteral("uno"), Qt::MatchExactly);
        QCOMPARE(uno.size(), 1);
        emit cartelle->itemActivated(uno.first());
        QCOMPARE(p.Cartella(), QDir(amb.cartella()).filePath(QStringLiteral("uno")));
        QCOMPARE(
            testo(&p, "PercorsoB"), QDir(amb.cartella()).filePath(QStringLiteral("uno")) + QLatin1Char('/'));
        figlio<QLineEdit>(&p, "PercorsoB")->setText(amb.percorso(QStringLiteral("uno//")));
        clicca(&p, "Command2");
        QCOMPARE(p.result(), int(QDialog::Accepted));
        QCOMPARE(p.PercorsoScelto(), amb.percorso(QStringLiteral("uno/")));
    }
    QCOMPARE(testo(f, "PercorsoBackup"), amb.percorso(QStringLiteral("uno/")));

    // "Chiudi" gives nothing back.
    F_PercorsoBakup p(F_PercorsoBakup::Scopo::EsportazioneExcel);
    clicca(&p, "Command1");
    QCOMPARE(p.PercorsoScelto(), QString());
    f->close();
    QTRY_VERIFY(f.isNull());
}

QTEST_MAIN(TestConfigurazioni)
#include "tst_configurazioni.moc"
