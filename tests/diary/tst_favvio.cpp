#include "AmbienteTest.h"
#include "Controlli.h"
#include "DatiDiProva.h"

#include "archive/Password.h"
#include "gui/masterdata/F_Configurazioni.h"

#include "archive/FunzioniPerVariabili.h"
#include "archive/Module1.h"
#include "gui/diary/F_Avvio.h"
#include "gui/diary/ImmissioneDettaglio.h"
#include "diary/GrigliaDettaglio.h"
#include "comune/Orologio.h"
#include "diary/RegolaRientro.h"
#include "gui/diary/VistaGriglia.h"
#include "gui/masterdata/F_Calendario.h"
#include "gui/masterdata/F_TabellaStati.h"
#include "platform/Servizi.h"

#include <QAction>
#include <QPointer>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QHash>
#include <QImage>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

using namespace FunzioniPerVariabili;

class TestFAvvio : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void regolaRientro_data();
    void regolaRientro();
    void statoAlCaricamento();
    void esportaDalMenu();
    void versionePiuRecente();
    void impostazioniMemorizzate_data();
    void impostazioniMemorizzate();
    void impostazioniScritte();
    void meseEAnno();
    void selezioneDipendente();
    void periodo();
    void calendarioDalPeriodo();
    void cambioVista();
    void rientroDaAltreFinestre();
    void schedaDipendentiDalMenu();
    void configurazioniRiapronoLaFinestra();
    void colonneFisseDuranteLoScorrimento();
    void disconnettiEFine();
};

namespace {
QStringList nomiInGriglia(const F_Avvio& f)
{
    QStringList nomi;
    for (int r = 2; r < f.griglia().righe(); ++r)
        if (!f.griglia().testo(r, 2).isEmpty())
            nomi << f.griglia().testo(r, 2);
    return nomi;
}

QStringList voci(QComboBox* c)
{
    QStringList v;
    for (int i = 0; i < c->count(); ++i)
        v << c->itemText(i);
    return v;
}

// The colour that covers most of what the widget paints.
QColor sfondo(QWidget* w)
{
    const QImage immagine = w->grab().toImage();
    QHash<QRgb, int> conteggio;
    for (int y = 0; y < immagine.height(); ++y)
        for (int x = 0; x < immagine.width(); ++x)
            ++conteggio[immagine.pixel(x, y) | 0xFF000000u];
    QRgb prevalente = 0;
    for (auto i = conteggio.cbegin(); i != conteggio.cend(); ++i)
        if (i.value() > conteggio.value(prevalente))
            prevalente = i.key();
    return QColor(prevalente);
}

// Leaves a line edit the way the user does, with Tab.
void lascia(QLineEdit* casella)
{
    casella->setFocus(Qt::OtherFocusReason);
    QVERIFY(casella->hasFocus());
    QTest::keyClick(casella, Qt::Key_Tab);
}

struct Finestra
{
    F_Avvio* f = nullptr;
    explicit Finestra(F_Avvio* finestra)
        : f(finestra)
    { }
    ~Finestra() { delete f; }
    F_Avvio* operator->() const { return f; }
};
} // namespace

void TestFAvvio::init()
{
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
}

void TestFAvvio::cleanup()
{
    Orologio::ImpostaAdesso({});
}

void TestFAvvio::regolaRientro_data()
{
    // Events: A = became active, C = closed (1 = back to the main window, 0 = to another of ours);
    // M main, P program window, K calendar, X message box, E other application; S = the calendar
    // raises its flag. Expected: one letter per return, R = rebuild, L = lists only.
    QTest::addColumn<QString>("eventi");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("dopo un messaggio") << "AX AM"
                                       << "";
    QTest::newRow("da un'altra applicazione") << "AE AM"
                                              << "";
    QTest::newRow("finestra lasciata") << "AP AM"
                                       << "R";
    QTest::newRow("finestra chiusa") << "AP CP1 AM"
                                     << "R";
    QTest::newRow("passando da un'altra applicazione") << "AP AE AM"
                                                       << "R";
    QTest::newRow("messaggio nella finestra") << "AP AX AP CP1"
                                              << "R";
    QTest::newRow("due attivazioni") << "AP AM AM AX AM"
                                     << "R";
    QTest::newRow("chiusa senza essere lasciata") << "AM CP1"
                                                  << "";
    QTest::newRow("calendario") << "AK S CK1 AM"
                                << "L";
    QTest::newRow("calendario salta una volta") << "AK S CK1 AP CP1"
                                                << "LR";
    QTest::newRow("calendario dalla scheda") << "AP AK S CK0 CP1"
                                             << "R";
    QTest::newRow("calendario dalla scheda, scheda riattivata") << "AP AK S CK0 AP AM"
                                                                << "R";
    QTest::newRow("calendario chiuso prima del rientro") << "AK S AM"
                                                         << "L";
}

void TestFAvvio::regolaRientro()
{
    QFETCH(QString, eventi);
    QFETCH(QString, atteso);
    bool salta = false;
    RegolaRientro regola(salta);
    using F = RegolaRientro::Finestra;
    const auto tipo = [](QChar c) {
        switch (c.toLatin1()) {
        case 'M':
            return F::Principale;
        case 'P':
            return F::Programma;
        case 'K':
            return F::Calendario;
        case 'X':
            return F::Passeggera;
        default:
            return F::Esterna;
        }
    };
    QString esiti;
    for (const QString& e : eventi.split(QLatin1Char(' '))) {
        RegolaRientro::Esito esito;
        if (e == QLatin1String("S"))
            salta = true;
        else if (e.at(0) == QLatin1Char('A'))
            esito = regola.Attivata(tipo(e.at(1)));
        else
            esito = regola.Chiusa(tipo(e.at(1)), e.at(2) == QLatin1Char('1'));
        if (esito.rientro)
            esiti += esito.ricostruisci ? QLatin1Char('R') : QLatin1Char('L');
    }
    QCOMPARE(esiti, atteso);
    // Every return consumes the calendar's flag.
    if (!esiti.isEmpty())
        QVERIFY(!salta);
}

void TestFAvvio::statoAlCaricamento()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"), 0);
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(f.f);
    QCOMPARE(F_Avvio::Corrente(), f.f);
    QCOMPARE(f->windowTitle(), QStringLiteral("Cartavia Ver.2.0.6"));
    QCOMPARE(f->Mese(), QStringLiteral("Febbraio"));
    QCOMPARE(f->Anno(), QStringLiteral("2024"));
    QCOMPARE(voci(w<QComboBox>(f.f, "Anno")),
        (QStringList { QStringLiteral("2016"), QStringLiteral("2017"), QStringLiteral("2018"),
            QStringLiteral("2019"), QStringLiteral("2020"), QStringLiteral("2021"), QStringLiteral("2022"),
            QStringLiteral("2023"), QStringLiteral("2024"), QStringLiteral("2025") }));
    QCOMPARE(voci(w<QComboBox>(f.f, "Mese")).size(), 12);
    QCOMPARE(w<QComboBox>(f.f, "Ordinamento")->currentText(), QStringLiteral("Ragione Sociale"));
    QVERIFY(w<QRadioButton>(f.f, "VisualizzaTutti")->isChecked());
    QCOMPARE(sfondo(w<QRadioButton>(f.f, "VisualizzaTutti")), QColor(0x80, 0x80, 0xFF));
    QCOMPARE(sfondo(w<QRadioButton>(f.f, "VisualizzaAttivi")), QColor(0xD4, 0xD0, 0xC8));
    QCOMPARE(sfondo(w<QRadioButton>(f.f, "VisualizzaNonAttivi")), QColor(0xD4, 0xD0, 0xC8));
    // The filter options are written back at load.
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_VisualizzaTutti")), QStringLiteral("-1"));
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_VisualizzaAttivi")), QStringLiteral("0"));
    QVERIFY(!f->EspandiCalendario());
    QVERIFY(!f->VisualizzaTotali());
    QVERIFY(!w<QGroupBox>(f.f, "FramePeriodo")->isVisible());
    QVERIFY(!w<QPushButton>(f.f, "Aggiorna")->isVisible());
    QVERIFY(w<QWidget>(f.f, "FrameRegistra")->isVisible());
    QCOMPARE(w<QPushButton>(f.f, "Anteprima")->text(), QStringLiteral("Stampa Dettagliata"));
    QCOMPARE(w<QLabel>(f.f, "Label4")->text(), QStringLiteral("SELEZIONA IL GIORNO..."));
    QVERIFY(!w<QPlainTextEdit>(f.f, "Note")->isEnabled());
    QCOMPARE(w<QLabel>(f.f, "LabelInfo")->text(), QStringLiteral("Stati:  (F) Ferie  -  (M) Malattia"));
    // The grid of the current month, built once at opening.
    QCOMPARE(f->NumeroRicostruzioni(), 1);
    QCOMPARE(f->griglia().colonne(), 33);
    QCOMPARE(nomiInGriglia(*f.f), (QStringList { QStringLiteral("Bianchi"), QStringLiteral("Rossi") }));
    QCOMPARE(f->griglia().sfondo(1, GrigliaDettaglio::ColonnaGiorno(14)), GrigliaDettaglio::ColoreOggi);
    // The two employee boxes list every employee, index-parallel.
    QCOMPARE(voci(w<QComboBox>(f.f, "RagSocialeDipentente")),
        (QStringList { QStringLiteral("Rossi"), QStringLiteral("Bianchi") }));
    QCOMPARE(voci(w<QComboBox>(f.f, "CodiceDipentente")),
        (QStringList { QStringLiteral("R1"), QStringLiteral("B1") }));
    QCOMPARE(w<QComboBox>(f.f, "CodiceDipentente")->currentText(), QString());
    QCOMPARE(f->ElencoTipi(), QStringList { QStringLiteral("ORDINARIO") });
    QCOMPARE(f->NumeroTipi(), 0);
    QCOMPARE(f->SelezionaTipo(QStringLiteral("ORDINARIO")), 0);
    QCOMPARE(f->SelezionaTipo(QStringLiteral("ALTRO")), 1);
    for (const char* voce : { "mTabellaDipendenti", "mTabellaStati", "mTabellaTipi", "mConfigurazioni" })
        QVERIFY(f->findChild<QAction*>(QLatin1String(voce)));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(amb.terminazioni, 0);
}

void TestFAvvio::versionePiuRecente()
{
    AmbienteTest amb;
    amb.sql(QStringLiteral("DELETE FROM TabellaVersione"));
    amb.sql(QStringLiteral("INSERT INTO TabellaVersione (Versione) VALUES ('9.9.9')"));
    QVERIFY(!F_Avvio::Apri(amb.sessione));
    QCOMPARE(amb.terminazioni, 1);
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
}

void TestFAvvio::impostazioniMemorizzate_data()
{
    QTest::addColumn<QString>("ordinamento");
    QTest::addColumn<QString>("attivi");
    QTest::addColumn<QString>("nonAttivi");
    QTest::addColumn<QString>("tutti");
    QTest::addColumn<QString>("espandi");
    QTest::addColumn<QString>("ordinamentoAtteso");
    QTest::addColumn<QString>("opzioneAttesa");
    QTest::addColumn<int>("larghezzaGiorno");
    QTest::newRow("mai scritte") << ""
                                 << ""
                                 << ""
                                 << ""
                                 << ""
                                 << "Ragione Sociale"
                                 << "VisualizzaTutti" << 350;
    QTest::newRow("codice, attivi") << "Codice"
                                    << "-1"
                                    << "0"
                                    << "0"
                                    << "0"
                                    << "Codice"
                                    << "VisualizzaAttivi" << 350;
    QTest::newRow("inserimento, non attivi, espanso") << "Inserimento"
                                                      << "0"
                                                      << "-1"
                                                      << "0"
                                                      << "1"
                                                      << "Inserimento"
                                                      << "VisualizzaNonAttivi" << 450;
    QTest::newRow("tre flag spenti") << "Codice"
                                     << "0"
                                     << "0"
                                     << "0"
                                     << "0"
                                     << "Codice"
                                     << "VisualizzaTutti" << 350;
    QTest::newRow("ordinamento sconosciuto") << "Pippo"
                                             << ""
                                             << ""
                                             << "-1"
                                             << ""
                                             << "Ragione Sociale"
                                             << "VisualizzaTutti" << 350;
    QTest::newRow("due flag, vince l'ultimo") << ""
                                              << "-1"
                                              << "-1"
                                              << "0"
                                              << ""
                                              << "Ragione Sociale"
                                              << "VisualizzaNonAttivi" << 350;
}

void TestFAvvio::impostazioniMemorizzate()
{
    QFETCH(QString, ordinamento);
    QFETCH(QString, attivi);
    QFETCH(QString, nonAttivi);
    QFETCH(QString, tutti);
    QFETCH(QString, espandi);
    QFETCH(QString, ordinamentoAtteso);
    QFETCH(QString, opzioneAttesa);
    QFETCH(int, larghezzaGiorno);
    AmbienteTest amb;
    const auto scrivi = [&amb](const char* nome, const QString& valore) {
        if (!valore.isEmpty())
            ScriviVariabile(amb.archivio(), QLatin1String(nome), valore);
    };
    scrivi("F_Avvio_Ordinamento", ordinamento);
    scrivi("F_Avvio_VisualizzaAttivi", attivi);
    scrivi("F_Avvio_VisualizzaNonAttivi", nonAttivi);
    scrivi("F_Avvio_VisualizzaTutti", tutti);
    scrivi("F_Avvio_EspandiCalendario", espandi);
    dipendente(amb, QStringLiteral("Z"), QStringLiteral("Attivo"), 1);
    dipendente(amb, QStringLiteral("A"), QStringLiteral("Cessato"), 0);

    Finestra f(F_Avvio::Apri(amb.sessione));
    QCOMPARE(w<QComboBox>(f.f, "Ordinamento")->currentText(), ordinamentoAtteso);
    auto* opzione = w<QRadioButton>(f.f, opzioneAttesa.toLatin1().constData());
    QVERIFY(opzione->isChecked());
    QCOMPARE(sfondo(opzione), QColor(0x80, 0x80, 0xFF));
    QCOMPARE(f->EspandiCalendario(), larghezzaGiorno == 450);
    QCOMPARE(f->griglia().larghezza(4), larghezzaGiorno);
    QCOMPARE(f->CriteriDipendenti().ordinamento, ordinamentoAtteso);
    // The stored choices shape the first grid.
    QStringList attesi;
    if (opzioneAttesa == QLatin1String("VisualizzaAttivi"))
        attesi = { QStringLiteral("Attivo") };
    else if (opzioneAttesa == QLatin1String("VisualizzaNonAttivi"))
        attesi = { QStringLiteral("Cessato") };
    else if (ordinamentoAtteso == QLatin1String("Ragione Sociale"))
        attesi = { QStringLiteral("Attivo"), QStringLiteral("Cessato") };
    else if (ordinamentoAtteso == QLatin1String("Codice"))
        attesi = { QStringLiteral("Cessato"), QStringLiteral("Attivo") };
    else
        attesi = { QStringLiteral("Attivo"), QStringLiteral("Cessato") };
    QCOMPARE(nomiInGriglia(*f.f), attesi);
}

void TestFAvvio::impostazioniScritte()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("Z"), QStringLiteral("Attivo"), 1);
    dipendente(amb, QStringLiteral("A"), QStringLiteral("Cessato"), 0);
    Finestra f(F_Avvio::Apri(amb.sessione));
    auto* ordinamento = w<QComboBox>(f.f, "Ordinamento");
    ordinamento->setCurrentIndex(1);
    emit ordinamento->activated(1);
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_Ordinamento")), QStringLiteral("Codice"));
    QCOMPARE(nomiInGriglia(*f.f), (QStringList { QStringLiteral("Cessato"), QStringLiteral("Attivo") }));

    // A filter option is stored and coloured at once, and used by the next rebuild.
    const int prima = f->NumeroRicostruzioni();
    auto* nonAttivi = w<QRadioButton>(f.f, "VisualizzaNonAttivi");
    QTest::mouseClick(nonAttivi, Qt::LeftButton);
    QVERIFY(nonAttivi->isChecked());
    QVERIFY(LeggiFlag(amb.archivio(), QStringLiteral("F_Avvio_VisualizzaNonAttivi")));
    QVERIFY(!LeggiFlag(amb.archivio(), QStringLiteral("F_Avvio_VisualizzaTutti")));
    QVERIFY(!LeggiFlag(amb.archivio(), QStringLiteral("F_Avvio_VisualizzaAttivi")));
    QCOMPARE(sfondo(nonAttivi), QColor(0x80, 0x80, 0xFF));
    QCOMPARE(sfondo(w<QRadioButton>(f.f, "VisualizzaTutti")), QColor(0xD4, 0xD0, 0xC8));
    QCOMPARE(f->NumeroRicostruzioni(), prima);
    f->DimensionaGriglia_Click();
    QCOMPARE(nomiInGriglia(*f.f), QStringList { QStringLiteral("Cessato") });

    auto* espandi = w<QCheckBox>(f.f, "EspandiCalendario");
    QTest::mouseClick(espandi, Qt::LeftButton);
    QCOMPARE(
        LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_EspandiCalendario")), QStringLiteral("1"));
    QCOMPARE(f->griglia().larghezza(10), 450);
    QCOMPARE(f->RigheArt()->columnWidth(10), 30);
    QTest::mouseClick(espandi, Qt::LeftButton);
    QCOMPARE(
        LeggiVariabile(amb.archivio(), QStringLiteral("F_Avvio_EspandiCalendario")), QStringLiteral("0"));
    QCOMPARE(f->RigheArt()->columnWidth(10), 23);

    // A new window starts from what was written.
    delete f.f;
    f.f = F_Avvio::Apri(amb.sessione);
    QCOMPARE(w<QComboBox>(f.f, "Ordinamento")->currentText(), QStringLiteral("Codice"));
    QVERIFY(w<QRadioButton>(f.f, "VisualizzaNonAttivi")->isChecked());
}

void TestFAvvio::meseEAnno()
{
    AmbienteTest amb;
    Finestra f(F_Avvio::Apri(amb.sessione));
    f->ImpostaMeseAnno(QStringLiteral("Gennaio"), 2010);
    f->prec_Click();
    QCOMPARE(f->Mese(), QStringLiteral("Dicembre"));
    QCOMPARE(f->Anno(), QStringLiteral("2009"));
    QCOMPARE(f->griglia().colonne(), 35);
    // Years beyond the list join it in order.
    const QStringList anni = voci(w<QComboBox>(f.f, "Anno"));
    QCOMPARE(anni.mid(0, 3),
        (QStringList { QStringLiteral("2009"), QStringLiteral("2010"), QStringLiteral("2016") }));
    f->succ_Click();
    QCOMPARE(f->Mese(), QStringLiteral("Gennaio"));
    QCOMPARE(f->Anno(), QStringLiteral("2010"));
    QCOMPARE(voci(w<QComboBox>(f.f, "Anno")).size(), 12);
    f->succ_Click();
    QCOMPARE(f->Mese(), QStringLiteral("Febbraio"));
    QCOMPARE(f->griglia().colonne(), 32);
    QTest::mouseClick(w<QPushButton>(f.f, "ImpostataMeseCorrente"), Qt::LeftButton);
    QCOMPARE(f->Mese(), QStringLiteral("Febbraio"));
    QCOMPARE(f->Anno(), QStringLiteral("2024"));
    QCOMPARE(f->griglia().colonne(), 33);
    QTest::mouseClick(w<QWidget>(f.f, "prec"), Qt::LeftButton);
    QCOMPARE(f->Mese(), QStringLiteral("Gennaio"));
    QCOMPARE(f->griglia().colonne(), 35);

    // Picking from the list rebuilds; typing and the wheel change nothing.
    auto* mese = w<QComboBox>(f.f, "Mese");
    const int prima = f->NumeroRicostruzioni();
    QTest::keyClick(mese, Qt::Key_Down);
    QTest::keyClick(mese, Qt::Key_M);
    QCOMPARE(f->Mese(), QStringLiteral("Gennaio"));
    QCOMPARE(f->NumeroRicostruzioni(), prima);
    mese->setCurrentIndex(3);
    emit mese->activated(3);
    QCOMPARE(f->NumeroRicostruzioni(), prima + 1);
    QCOMPARE(f->griglia().colonne(), 34);
}

void TestFAvvio::selezioneDipendente()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    dipendente(amb, QStringLiteral("V1"), QStringLiteral("Verdi"));
    tipo(amb, QStringLiteral("EXTRA"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    auto* codici = w<QComboBox>(f.f, "CodiceDipentente");
    auto* nomi = w<QComboBox>(f.f, "RagSocialeDipentente");
    QCOMPARE(voci(nomi),
        (QStringList { QStringLiteral("Verdi"), QStringLiteral("Rossi"), QStringLiteral("Bianchi") }));

    emit nomi->activated(1);
    QCOMPARE(codici->currentText(), QStringLiteral("R1"));
    QCOMPARE(nomi->currentText(), QStringLiteral("Rossi"));
    QCOMPARE(f->griglia().righe(), 2 + 2);
    QCOMPARE(nomiInGriglia(*f.f), QStringList { QStringLiteral("Rossi") });

    emit codici->activated(2);
    QCOMPARE(nomi->currentText(), QStringLiteral("Bianchi"));
    QCOMPARE(nomiInGriglia(*f.f), QStringList { QStringLiteral("Bianchi") });

    // Coming back from another window reloads the boxes but keeps the choice.
    dipendente(amb, QStringLiteral("A1"), QStringLiteral("Amati"));
    f->Form_Activate();
    QCOMPARE(voci(nomi).size(), 4);
    QCOMPARE(codici->currentText(), QStringLiteral("B1"));
    QCOMPARE(nomi->currentText(), QStringLiteral("Bianchi"));
    QCOMPARE(nomiInGriglia(*f.f), QStringList { QStringLiteral("Bianchi") });

    // A code typed in full and confirmed with Enter picks it, in any case.
    codici->setFocus();
    codici->lineEdit()->selectAll();
    QTest::keyClicks(codici->lineEdit(), QStringLiteral("v1"));
    QTest::keyClick(codici->lineEdit(), Qt::Key_Return);
    QCOMPARE(nomi->currentText(), QStringLiteral("Verdi"));
    QCOMPARE(nomiInGriglia(*f.f), QStringList { QStringLiteral("Verdi") });

    QTest::mouseClick(w<QPushButton>(f.f, "Command2"), Qt::LeftButton);
    QCOMPARE(codici->currentText(), QString());
    QCOMPARE(nomi->currentText(), QString());
    QCOMPARE(nomiInGriglia(*f.f).size(), 4);
}

void TestFAvvio::periodo()
{
    AmbienteTest amb;
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    auto* dal = w<QLineEdit>(f.f, "Dal");
    auto* al = w<QLineEdit>(f.f, "Al");
    auto* aggiorna = w<QPushButton>(f.f, "Aggiorna");
    auto* meseAnno = w<QGroupBox>(f.f, "FrameSelezioneMese");
    QTest::mouseClick(w<QCheckBox>(f.f, "VisualizzaTotali"), Qt::LeftButton);
    QVERIFY(w<QGroupBox>(f.f, "FramePeriodo")->isVisible());
    QVERIFY(meseAnno->isVisible());

    auto* ordinamento = w<QComboBox>(f.f, "Ordinamento");
    const QPoint posizione = ordinamento->mapTo(f.f, QPoint());
    dal->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(dal, QStringLiteral("010124"));
    // A period replaces the month in the summary as soon as a box holds text; the top row stays put.
    QVERIFY(!meseAnno->isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(ordinamento->mapTo(f.f, QPoint()), posizione);
    lascia(dal);
    QCOMPARE(dal->text(), QStringLiteral("01/01/2024"));
    QCOMPARE(f->DalMemorizzato(), QStringLiteral("01/01/2024"));
    QVERIFY(!aggiorna->isVisible()); // the end date decides

    al->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(al, QStringLiteral("31/1/2024"));
    lascia(al);
    QCOMPARE(al->text(), QStringLiteral("31/01/2024"));
    QCOMPARE(f->AlMemorizzato(), QStringLiteral("31/01/2024"));
    QVERIFY(aggiorna->isVisible());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    const int prima = f->NumeroRicostruzioni();
    QTest::mouseClick(aggiorna, Qt::LeftButton);
    QCOMPARE(f->NumeroRicostruzioni(), prima + 1);
    QVERIFY(!aggiorna->isVisible());

    // A wrong date is reported and left for correction.
    al->setFocus(Qt::OtherFocusReason);
    al->selectAll();
    QTest::keyClicks(al, QStringLiteral("32/13/2024"));
    lascia(al);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("La data non è corretta") });
    QCOMPARE(al->text(), QStringLiteral("32/13/2024"));
    QVERIFY(!aggiorna->isVisible());
    QCOMPARE(f->AlMemorizzato(), QStringLiteral("32/13/2024"));

    // Leaving the summary empties the boxes; coming back puts the remembered ones back.
    QTest::mouseClick(w<QCheckBox>(f.f, "VisualizzaTotali"), Qt::LeftButton);
    QCOMPARE(dal->text(), QString());
    QVERIFY(!w<QGroupBox>(f.f, "FramePeriodo")->isVisible());
    QVERIFY(meseAnno->isVisible());
    QTest::mouseClick(w<QCheckBox>(f.f, "VisualizzaTotali"), Qt::LeftButton);
    QCOMPARE(dal->text(), QStringLiteral("01/01/2024"));
    QCOMPARE(al->text(), QStringLiteral("32/13/2024"));
    QVERIFY(!meseAnno->isVisible());

    QTest::mouseClick(w<QPushButton>(f.f, "Command4"), Qt::LeftButton);
    QCOMPARE(dal->text(), QString());
    QCOMPARE(al->text(), QString());
    QCOMPARE(f->DalMemorizzato(), QString());
    QCOMPARE(f->AlMemorizzato(), QString());
    QVERIFY(aggiorna->isVisible());
    QVERIFY(meseAnno->isVisible());
}

void TestFAvvio::calendarioDalPeriodo()
{
    AmbienteTest amb;
    Finestra f(F_Avvio::Apri(amb.sessione));
    QTest::mouseClick(w<QCheckBox>(f.f, "VisualizzaTotali"), Qt::LeftButton);
    auto* dal = w<QLineEdit>(f.f, "Dal");
    dal->setText(QStringLiteral("05/01/2024"));
    QTimer::singleShot(0, [] {
        auto* c = qobject_cast<F_Calendario*>(QApplication::activeModalWidget());
        QVERIFY(c);
        // It opens on the date in the box.
        QCOMPARE(c->Datasel(), QStringLiteral("05/01/2024"));
        c->giorno_Click(17); // January 2024 began on a Monday: day 1 in cell 8
        c->Command1_Click();
    });
    QTest::mouseDClick(dal, Qt::LeftButton);
    QCOMPARE(dal->text(), QStringLiteral("10/01/2024"));
    QVERIFY(w<QPushButton>(f.f, "Aggiorna")->isVisible());

    QTimer::singleShot(
        0, [] { qobject_cast<F_Calendario*>(QApplication::activeModalWidget())->Command2_Click(); });
    QTest::mouseDClick(w<QLineEdit>(f.f, "Al"), Qt::LeftButton);
    QCOMPARE(w<QLineEdit>(f.f, "Al")->text(), QString());
}

void TestFAvvio::cambioVista()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowExposed(f.f));
    auto* griglia = f->RigheArt();
    auto* filtro = w<QWidget>(f.f, "FVisualizzazione");
    auto* registra = w<QWidget>(f.f, "FrameRegistra");
    const int altezzaDettaglio = griglia->height();
    QVERIFY(filtro->geometry().top() >= griglia->geometry().bottom());
    QVERIFY(filtro->geometry().bottom() <= registra->geometry().top());

    QTest::mouseClick(w<QCheckBox>(f.f, "VisualizzaTotali"), Qt::LeftButton);
    QVERIFY(f->VisualizzaTotali());
    QCOMPARE(w<QPushButton>(f.f, "Anteprima")->text(), QStringLiteral("Stampa Riepilogo"));
    for (const char* nome : { "Ins", "Command1", "SalvaNote", "mSchedeDipendenti" })
        QVERIFY2(!w<QWidget>(f.f, nome)->isEnabled(), nome);
    QVERIFY(!registra->isVisible());
    QVERIFY(w<QGroupBox>(f.f, "FramePeriodo")->isVisible());
    QCOMPARE(f->griglia().righeFisse(), 2);
    QCOMPARE(f->griglia().colonneFisse(), 4);
    QCOMPARE(f->griglia().testo(1, 4), QStringLiteral("ORE"));
    QTRY_VERIFY(griglia->height() > altezzaDettaglio + registra->height() / 2);
    // The filter options sit where the entry frame ended.
    QTRY_VERIFY(filtro->geometry().bottom() > registra->geometry().top());

    QTest::mouseClick(w<QCheckBox>(f.f, "VisualizzaTotali"), Qt::LeftButton);
    QCOMPARE(w<QPushButton>(f.f, "Anteprima")->text(), QStringLiteral("Stampa Dettagliata"));
    for (const char* nome :
        { "Ins", "Command1", "SalvaNote", "mSchedeDipendenti", "Ordinamento", "VisualizzaAttivi" })
        QVERIFY2(w<QWidget>(f.f, nome)->isEnabled(), nome);
    QVERIFY(registra->isVisible());
    QCOMPARE(f->griglia().colonne(), 33);
    QCOMPARE(nomiInGriglia(*f.f), QStringList { QStringLiteral("Rossi") });
    QTRY_COMPARE(griglia->height(), altezzaDettaglio);
}

void TestFAvvio::rientroDaAltreFinestre()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    int ricostruzioni = f->NumeroRicostruzioni();
    dipendente(amb, QStringLiteral("N1"), QStringLiteral("Nuovo"));

    // A message box closing: nothing reloads.
    {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Cartavia"), QStringLiteral("Prova"),
            QMessageBox::Ok, f.f);
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.close();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.f));
        QTest::qWait(20);
    }
    {
        QInputDialog input(f.f);
        input.show();
        QVERIFY(QTest::qWaitForWindowActive(&input));
        input.close();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.f));
        QTest::qWait(20);
    }
    QCOMPARE(f->NumeroRicostruzioni(), ricostruzioni);
    QCOMPARE(nomiInGriglia(*f.f), QStringList { QStringLiteral("Rossi") });

    // Another window of the program (here a stand-in for the states window) closing: rebuilt once.
    {
        QWidget tabella;
        tabella.setWindowTitle(QStringLiteral("Tabella Stati"));
        f->ApriFinestra(&tabella);
        QVERIFY(QTest::qWaitForWindowActive(&tabella));
        tabella.close();
        QTRY_COMPARE(f->NumeroRicostruzioni(), ricostruzioni + 1);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.f));
        QTest::qWait(20);
        QCOMPARE(f->NumeroRicostruzioni(), ricostruzioni + 1);
    }
    QCOMPARE(nomiInGriglia(*f.f), (QStringList { QStringLiteral("Nuovo"), QStringLiteral("Rossi") }));
    ++ricostruzioni;

    // Left open and the main window clicked: rebuilt as well.
    {
        QWidget scheda;
        scheda.show();
        scheda.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&scheda));
        f->activateWindow();
        QTRY_COMPARE(f->NumeroRicostruzioni(), ricostruzioni + 1);
        ++ricostruzioni;
        // Closing it later, from the main window, is no return.
        scheda.close();
        QTest::qWait(20);
        QCOMPARE(f->NumeroRicostruzioni(), ricostruzioni);
    }

    // The calendar: the lists are reloaded but its one-shot flag spares the grid.
    tipo(amb, QStringLiteral("EXTRA"));
    QTimer::singleShot(
        0, [] { qobject_cast<F_Calendario*>(QApplication::activeModalWidget())->Command2_Click(); });
    f->Dal_DblClick();
    QTRY_COMPARE(f->NumeroTipi(), 1);
    QCOMPARE(f->NumeroRicostruzioni(), ricostruzioni);
    QVERIFY(!amb.sessione.SaltaRicostruzioneGriglia);
    // ... and only that one.
    {
        QWidget tabella;
        f->ApriFinestra(&tabella);
        QVERIFY(QTest::qWaitForWindowActive(&tabella));
        tabella.hide();
        QTRY_COMPARE(f->NumeroRicostruzioni(), ricostruzioni + 1);
    }
    QCOMPARE(f->griglia().righe(), 2 + 2 * 2);

    // A window that asks not to count.
    ricostruzioni = f->NumeroRicostruzioni();
    {
        QWidget avviso;
        avviso.setProperty("CartaviaPasseggera", true);
        avviso.show();
        avviso.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&avviso));
        avviso.close();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.f));
        QTest::qWait(20);
    }
    QCOMPARE(f->NumeroRicostruzioni(), ricostruzioni);
    f->FinestraFiglioChiusa();
    QCOMPARE(f->NumeroRicostruzioni(), ricostruzioni + 1);
}

void TestFAvvio::schedaDipendentiDalMenu()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    QAction* voce = f->findChild<QAction*>(QStringLiteral("mTabellaDipendenti"));
    QVERIFY(voce && voce->isEnabled());
    voce->trigger();
    QWidget* scheda = nullptr;
    QTRY_VERIFY((scheda = QApplication::activeWindow()) && scheda != f.f);
    QCOMPARE(scheda->metaObject()->className(), "F_SchedaDipendente");
    w<QLineEdit>(scheda, "Codice")->setText(QStringLiteral("R9"));
    w<QLineEdit>(scheda, "Indirizzo")->setText(QStringLiteral("Via non registrata 1"));
    // An employee added while the card is open shows up when the card closes.
    dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    const int prima = f->NumeroRicostruzioni();
    const QPointer<QWidget> chiusa(scheda);
    QTest::mouseClick(w<QPushButton>(scheda, "Fine"), Qt::LeftButton);
    QTRY_COMPARE(f->NumeroRicostruzioni(), prima + 1);
    QCOMPARE(nomiInGriglia(*f.f), (QStringList { QStringLiteral("Bianchi"), QStringLiteral("Rossi") }));
    QTRY_VERIFY(!chiusa);
    // The next opening loads the card afresh: nothing of what was typed, the list read again
    // (with an employee another copy of the program added meanwhile).
    dipendente(amb, QStringLiteral("V1"), QStringLiteral("Verdi"));
    voce->trigger();
    QTRY_VERIFY((scheda = QApplication::activeWindow()) && scheda != f.f);
    QCOMPARE(scheda->metaObject()->className(), "F_SchedaDipendente");
    QCOMPARE(w<QLineEdit>(scheda, "Codice")->text(), QString());
    QCOMPARE(w<QLineEdit>(scheda, "Indirizzo")->text(), QString());
    const QAbstractItemModel* lista = w<QTableView>(scheda, "GrigliaAnagrafiche")->model();
    QStringList nomi;
    for (int r = 0; r < lista->rowCount(); ++r)
        nomi << lista->index(r, 2).data().toString();
    QCOMPARE(
        nomi, (QStringList { QStringLiteral("Bianchi"), QStringLiteral("Rossi"), QStringLiteral("Verdi") }));
    scheda->close();
}

void TestFAvvio::configurazioniRiapronoLaFinestra()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    servizi().apriPrincipale = [&amb] { F_Avvio::Apri(amb.sessione); };
    QPointer<F_Avvio> prima = F_Avvio::Apri(amb.sessione);
    QVERIFY(prima);
    // The employee card and the states window are open with edits not saved yet.
    prima->findChild<QAction*>(QStringLiteral("mTabellaDipendenti"))->trigger();
    QPointer<QWidget> scheda;
    QTRY_VERIFY((scheda = QApplication::activeWindow()) && scheda != prima.data());
    w<QLineEdit>(scheda, "Codice")->setText(QStringLiteral("R9"));
    w<QLineEdit>(scheda, "Indirizzo")->setText(QStringLiteral("Via non registrata 1"));
    prima->findChild<QAction*>(QStringLiteral("mTabellaStati"))->trigger();
    QPointer<F_TabellaStati> stati = F_TabellaStati::Apri(amb.archivio(), prima);
    QTRY_COMPARE(QApplication::activeWindow(), stati.data());
    stati->campoDescrizione()->setText(QStringLiteral("Ferie non registrate"));
    const QRect posizioneStati = stati->geometry();

    QAction* voce = prima->findChild<QAction*>(QStringLiteral("mConfigurazioni"));
    QVERIFY(voce && voce->isEnabled());
    // A day typed in the grid and not registered: the reopen asks first (no way to stay).
    prima->RigheArt()->setCurrentIndex(
        prima->RigheArt()->model()->index(2, GrigliaDettaglio::ColonnaGiorno(1)));
    QTest::keyClicks(prima->RigheArt(), QStringLiteral("8"));
    amb.messaggi.risposte.enqueue(Messaggi::Yes);
    voce->trigger();
    F_Configurazioni* conf = F_Configurazioni::Aperta();
    QVERIFY(conf);
    // "Chiudi" reopens the main window from scratch, with the password step skipped once.
    QPushButton* chiudi = conf->findChild<QPushButton*>(QStringLiteral("Command1"));
    QVERIFY(chiudi);
    chiudi->click();
    QTRY_VERIFY(F_Avvio::Corrente() && F_Avvio::Corrente() != prima.data());
    QTRY_VERIFY(!prima);
    QVERIFY(!amb.sessione.SaltaPassword);
    QCOMPARE(amb.terminazioni, 0);
    QCOMPARE(nomiInGriglia(*F_Avvio::Corrente()), QStringList { QStringLiteral("Rossi") });
    const auto domanda = amb.messaggi.chiamate.value(0);
    QVERIFY2(domanda.testo.startsWith(QStringLiteral("Ci sono modifiche non registrate")),
        qPrintable(domanda.testo));
    QCOMPARE(domanda.pulsanti, Messaggi::Yes | Messaggi::No);
    QCOMPARE(amb.sql(QStringLiteral(
                         "SELECT Stato FROM TabellaMovimenti WHERE Giorno = '1' AND Tipo = 'ORDINARIO'"))
                 .toString(),
        QStringLiteral("8"));

    // The card and the states window stayed open through the reopen, with what was typed.
    F_Avvio* nuova = F_Avvio::Corrente();
    QVERIFY(scheda && scheda->isVisible());
    QVERIFY(stati && stati->isVisible());
    QCOMPARE(w<QLineEdit>(scheda, "Indirizzo")->text(), QStringLiteral("Via non registrata 1"));
    QCOMPARE(stati->campoDescrizione()->text(), QStringLiteral("Ferie non registrate"));
    QCOMPARE(stati->geometry(), posizioneStati);
    // They now belong to the new main window: its menu finds the same card, closing the card
    // brings it back with a rebuild, and it takes them along when it goes.
    QCOMPARE(stati->parentWidget(), nuova);
    nuova->findChild<QAction*>(QStringLiteral("mTabellaDipendenti"))->trigger();
    QTRY_COMPARE(QApplication::activeWindow(), scheda.data());
    const int ricostruzioni = nuova->NumeroRicostruzioni();
    scheda->close();
    QTRY_COMPARE(nuova->NumeroRicostruzioni(), ricostruzioni + 1);
    QTRY_VERIFY(!scheda);
    delete nuova;
    QVERIFY(!stati);
    servizi().apriPrincipale = {};
}

void TestFAvvio::colonneFisseDuranteLoScorrimento()
{
    AmbienteTest amb;
    dipendenti(amb, 60);
    Finestra f(F_Avvio::Apri(amb.sessione));
    f->resize(700, 600);
    QVERIFY(QTest::qWaitForWindowExposed(f.f));
    VistaGriglia* v = f->RigheArt();
    QTRY_VERIFY(v->horizontalScrollBar()->maximum() > 0);
    QVERIFY(v->verticalScrollBar()->maximum() > 0);
    // The bands cover exactly the fixed rows and the visible fixed columns.
    QCOMPARE(v->larghezzaFissa(), 166 + 106);
    QCOMPARE(v->altezzaFissa(), 2 * v->rowHeight(0));
    QVERIFY(v->colonneFisse()->isVisible());
    QVERIFY(v->righeFisse()->isVisible());
    QVERIFY(v->angolo()->isVisible());

    // The wheel over the header band scrolls the body, not the band.
    const QPoint sopra(v->larghezzaFissa() + 20, 5);
    QWheelEvent rotella(sopra, v->righeFisse()->viewport()->mapToGlobal(sopra), QPoint(), QPoint(0, -120),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(v->righeFisse()->viewport(), &rotella);
    QVERIFY(v->verticalScrollBar()->value() > 0);
    QCOMPARE(v->righeFisse()->verticalScrollBar()->value(), 0);
    QCOMPARE(v->colonneFisse()->verticalScrollBar()->value(), v->verticalScrollBar()->value());

    v->horizontalScrollBar()->setValue(v->horizontalScrollBar()->maximum());
    v->verticalScrollBar()->setValue(v->verticalScrollBar()->maximum());
    // The names stay on the left, scrolled down with the body; the day headers stay on top,
    // scrolled across with it.
    QCOMPARE(v->colonneFisse()->horizontalScrollBar()->value(), 0);
    QCOMPARE(v->colonneFisse()->verticalScrollBar()->value(), v->verticalScrollBar()->value());
    QCOMPARE(v->righeFisse()->verticalScrollBar()->value(), 0);
    QCOMPARE(v->righeFisse()->horizontalScrollBar()->value(), v->horizontalScrollBar()->value());
    QCOMPARE(
        v->colonneFisse()->indexAt(QPoint(5, v->viewport()->height() - 5)).row(), f->griglia().righe() - 1);

    // The cursor moved onto a cell under a band brings it back into view.
    v->setCurrentIndex(v->model()->index(2, 4));
    const QRect cella = v->visualRect(v->model()->index(2, 4));
    QCOMPARE(cella.top(), v->altezzaFissa());
    QCOMPARE(cella.left(), v->larghezzaFissa());
}

void TestFAvvio::disconnettiEFine()
{
    AmbienteTest amb;
    int selezioni = 0;
    servizi().apriSelezione = [&] { ++selezioni; };
    QPointer<F_Avvio> f = F_Avvio::Apri(amb.sessione);
    QTest::mouseClick(w<QPushButton>(f, "Disconnetti"), Qt::LeftButton);
    QCOMPARE(selezioni, 1);
    QCOMPARE(amb.terminazioni, 0);
    QTRY_VERIFY(!f);

    f = F_Avvio::Apri(amb.sessione);
    QTest::mouseClick(w<QPushButton>(f, "Fine"), Qt::LeftButton);
    QCOMPARE(amb.terminazioni, 1);
    f->close();
    QCOMPARE(amb.terminazioni, 2);
    QTRY_VERIFY(!f);
    servizi().apriSelezione = {};
}

// "Esporta...": typed cells are saved first when the user says so, the form follows the list's
// choice, and a name without extension gets the form's.
void TestFAvvio::esportaDalMenu()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(f.f);
    VistaGriglia* v = f->RigheArt();
    v->setFocus();
    v->setCurrentIndex(v->model()->index(2, GrigliaDettaglio::ColonnaGiorno(5)));
    QTest::keyClicks(v, QStringLiteral("6.5"));
    amb.messaggi.risposte.enqueue(Messaggi::Yes); // save first
    amb.messaggi.file.enqueue(amb.percorso(QStringLiteral("paghe")));
    amb.messaggi.filtri.enqueue(QStringLiteral("CSV righe, una per registrazione (*.csv)"));
    f.f->findChild<QAction*>(QStringLiteral("mEsporta"))->trigger();

    QCOMPARE(amb.messaggi.salvataggiProposti.value(0).section(QLatin1Char('/'), -1),
        QStringLiteral("Presenze Febbraio 2024.xlsx"));
    QVERIFY2(amb.messaggi.testi().first().contains(QStringLiteral("Registrarle prima di esportare")),
        qPrintable(amb.messaggi.testi().join(QLatin1Char('|'))));
    QCOMPARE(f->Immissione()->celleModificate(), 0);
    QFile csv(amb.percorso(QStringLiteral("paghe.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(csv.readAll()).contains(QStringLiteral("05/02/2024;R1;")));
    QVERIFY(amb.messaggi.testi().last().startsWith(QStringLiteral("Esportazione completata")));
}

QTEST_MAIN(TestFAvvio)
#include "tst_favvio.moc"
