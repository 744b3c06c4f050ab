#include "AmbienteTest.h"
#include "Controlli.h"
#include "DatiDiProva.h"

#include "gui/masterdata/SceltaData.h"

#include "archive/FunzioniPerVariabili.h"
#include "gui/masterdata/F_SchedaDipendente.h"
#include "platform/Servizi.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using FunzioniPerVariabili::LeggiVariabile;

namespace {

void Inserisci(AmbienteTest& amb, const QString& codice, const QString& ragSociale, bool attivo,
    const QString& telefono = {})
{
    dipendente(amb, codice, ragSociale, attivo ? 1 : 0,
        { { "Cognome", ragSociale.section(QLatin1Char(' '), 0, 0) }, { "Maschio", 0 }, { "Femmina", 1 },
            { "Telefono", telefono }, { "DataNascita", QStringLiteral("1980-02-01") } });
}

// A card on an archive with three employees, shown and active so focus moves as for a user.
class Scheda
{
public:
    explicit Scheda(AmbienteTest& amb, bool dati = true)
        : m_sessione(amb.sessione)
    {
        if (dati) {
            Inserisci(
                amb, QStringLiteral("R01"), QStringLiteral("Rossi Mario"), true, QStringLiteral("055 111"));
            Inserisci(amb, QStringLiteral("B02"), QStringLiteral("Bianchi Anna"), false);
            Inserisci(amb, QStringLiteral("V03"), QStringLiteral("Verdi Luca"), true);
        }
        apri();
    }
    ~Scheda() { delete w.data(); }
    Scheda(const Scheda&) = delete;
    Scheda& operator=(const Scheda&) = delete;

    // A closed card deletes itself; this opens a new one.
    void apri()
    {
        delete w.data();
        w = new F_SchedaDipendente(m_sessione);
        w->show();
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

    template <typename T = QWidget> T* c(const char* nome) const { return figlio<T>(w, nome); }
    QLineEdit* riga(const char* nome) const { return c<QLineEdit>(nome); }
    QString testo(const char* nome) const
    {
        QWidget* x = c(nome);
        if (auto* cb = qobject_cast<QComboBox*>(x))
            return cb->currentText();
        if (auto* t = qobject_cast<QPlainTextEdit*>(x))
            return t->toPlainText();
        return static_cast<QLineEdit*>(x)->text();
    }
    QTableView* griglia() const { return c<QTableView>("GrigliaAnagrafiche"); }
    QStringList colonna(int col) const
    {
        QStringList r;
        for (int i = 0; i < griglia()->model()->rowCount(); ++i)
            r << griglia()->model()->index(i, col).data().toString();
        return r;
    }
    void clicRiga(int riga) const
    {
        const QModelIndex i = griglia()->model()->index(riga, 2);
        QTest::mouseClick(griglia()->viewport(), Qt::LeftButton, {}, griglia()->visualRect(i).center());
    }
    int rigaDi(const QString& ragSociale) const { return static_cast<int>(colonna(2).indexOf(ragSociale)); }
    QString focus() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    void scriviCodice(const QString& codice) const
    {
        QLineEdit* codiceW = riga("Codice");
        codiceW->setFocus();
        codiceW->selectAll();
        QTest::keyClick(codiceW, Qt::Key_Backspace);
        QTest::keyClicks(codiceW, codice);
    }
    bool schedaVuota() const
    {
        for (const char* n : { "RagSociale", "Cognome", "Nome", "Telefono", "DataNascita", "Note", "Indice" })
            if (!testo(n).isEmpty())
                return false;
        return c<QRadioButton>("Maschio")->isChecked() && c<QRadioButton>("Attivo")->isChecked();
    }

    Sessione& m_sessione;
    QPointer<F_SchedaDipendente> w;
};

} // namespace

class TestSchedaDipendente : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void aperturaPredefinita();
    void filtriMostranoSiNo();
    void vistaRiapertaComeLasciata();
    void ordinamentoNonSiDigita();
    void selezioneEvidenzia();
    void codiceSconosciutoSvuotaLaScheda();
    void codiceInvariatoNonRicarica();
    void codiceVuotoSvuotaLaScheda();
    void invioSuCodiceECatena();
    void registraDallaScheda();
    void date();
    void escNellaListaENuovo();
    void cancellaDallaScheda();
    void postaEWeb();
    void stampaElenco();
    void esciChiudeLaScheda();
};

void TestSchedaDipendente::cleanup() { }

void TestSchedaDipendente::aperturaPredefinita()
{
    AmbienteTest amb;
    Scheda s(amb);
    QCOMPARE(s.w->windowTitle(), QStringLiteral("Scheda Dipendente"));
    QVERIFY(s.c<QRadioButton>("Tutti")->isChecked());
    QCOMPARE(s.testo("Ordinamento"), QStringLiteral("Ragione Sociale"));
    QCOMPARE(s.colonna(2),
        (QStringList {
            QStringLiteral("Bianchi Anna"), QStringLiteral("Rossi Mario"), QStringLiteral("Verdi Luca") }));
    QVERIFY(!s.c("FrameScheda")->isEnabled());
    QVERIFY(s.schedaVuota());
    QCOMPARE(s.c<QPushButton>("Command4")->text(), QStringLiteral("Inserisci"));
    QVERIFY(s.griglia()->isColumnHidden(0));
    QCOMPARE(s.griglia()->columnWidth(1), 800 / 15);
    QCOMPARE(s.griglia()->columnWidth(2), 2600 / 15);
    QCOMPARE(s.griglia()->columnWidth(5), 600 / 15);
    QCOMPARE(s.griglia()->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Attivo"));
    QCOMPARE(s.riga("Codice")->maxLength(), 50);
    QCOMPARE(s.riga("Provincia")->maxLength(), 2);
    QCOMPARE(s.riga("Cap")->maxLength(), 5);
    QCOMPARE(s.c<QComboBox>("Nazione")->itemText(0), QStringLiteral("Italia"));
    QCOMPARE(s.c<QComboBox>("Cittadinanza")->itemText(0), QStringLiteral("Italiana"));
    for (const char* obbligatorio : { "Codice", "RagSociale", "Cognome", "Nome" }) {
        QWidget* x = s.c(obbligatorio);
        if (auto* cb = qobject_cast<QComboBox*>(x))
            x = cb->lineEdit();
        QCOMPARE(x->palette().color(QPalette::Active, QPalette::Base), QColor(0xC0, 0xC0, 0xFF));
    }
    QCOMPARE(s.riga("Indirizzo")->palette().color(QPalette::Active, QPalette::Base),
        s.riga("Indirizzo")->style()->standardPalette().color(QPalette::Active, QPalette::Base));
    int controlli = 0;
    for (QWidget* x : s.w->findChildren<QWidget*>()) {
        const bool controllo = qobject_cast<QLineEdit*>(x) || qobject_cast<QComboBox*>(x)
            || qobject_cast<QAbstractButton*>(x) || qobject_cast<QPlainTextEdit*>(x)
            || qobject_cast<QTableView*>(x);
        if (!controllo || x->objectName().isEmpty() || x->objectName().startsWith(QLatin1String("qt_"))
            || qobject_cast<QComboBox*>(x->parentWidget()))
            continue;
        ++controlli;
        QVERIFY2(!QAccessible::queryAccessibleInterface(x)->text(QAccessible::Name).isEmpty(),
            qPrintable(x->objectName()));
    }
    QVERIFY(controlli > 40);
}

void TestSchedaDipendente::filtriMostranoSiNo()
{
    AmbienteTest amb;
    Scheda s(amb);
    QCOMPARE(
        s.colonna(5), (QStringList { QStringLiteral("NO"), QStringLiteral("SI"), QStringLiteral("SI") }));
    QTest::mouseClick(s.c("Attivi"), Qt::LeftButton);
    QCOMPARE(s.colonna(2), (QStringList { QStringLiteral("Rossi Mario"), QStringLiteral("Verdi Luca") }));
    QCOMPARE(s.colonna(5), (QStringList { QStringLiteral("SI"), QStringLiteral("SI") }));
    QTest::mouseClick(s.c("NonAttivi"), Qt::LeftButton);
    QCOMPARE(s.colonna(2), QStringList { QStringLiteral("Bianchi Anna") });
    QCOMPARE(s.colonna(5), QStringList { QStringLiteral("NO") });
    QCOMPARE(s.colonna(4), QStringList { QString() });
}

void TestSchedaDipendente::vistaRiapertaComeLasciata()
{
    AmbienteTest amb;
    Scheda s(amb);
    QTest::mouseClick(s.c("NonAttivi"), Qt::LeftButton);
    QCOMPARE(
        LeggiVariabile(amb.archivio(), QStringLiteral("F_SchedaDipendente_Attivi")), QStringLiteral("0"));
    QCOMPARE(
        LeggiVariabile(amb.archivio(), QStringLiteral("F_SchedaDipendente_NonAttivi")), QStringLiteral("-1"));
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_SchedaDipendente_Tutti")), QStringLiteral("0"));
    QTest::mouseClick(s.c("Tutti"), Qt::LeftButton);
    auto* ordinamento = s.c<QComboBox>("Ordinamento");
    ordinamento->setFocus();
    QTest::keyClick(ordinamento, Qt::Key_Down); // a pick from the list
    QCOMPARE(ordinamento->currentText(), QStringLiteral("Codice"));
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_SchedaDipendente_Ordinamento")),
        QStringLiteral("Codice"));
    QCOMPARE(
        s.colonna(1), (QStringList { QStringLiteral("B02"), QStringLiteral("R01"), QStringLiteral("V03") }));
    QTest::mouseClick(s.c("Attivi"), Qt::LeftButton);
    s.w->close();

    s.apri();
    QVERIFY(s.c<QRadioButton>("Attivi")->isChecked());
    QCOMPARE(s.testo("Ordinamento"), QStringLiteral("Codice"));
    QCOMPARE(s.colonna(1), (QStringList { QStringLiteral("R01"), QStringLiteral("V03") }));
}

void TestSchedaDipendente::ordinamentoNonSiDigita()
{
    AmbienteTest amb;
    Scheda s(amb);
    auto* ordinamento = s.c<QComboBox>("Ordinamento");
    ordinamento->setFocus();
    QTest::keyClicks(ordinamento, QStringLiteral("Inserimento"));
    QTest::keyClicks(ordinamento, QStringLiteral("c"));
    QCOMPARE(ordinamento->currentText(), QStringLiteral("Ragione Sociale"));
    QCOMPARE(LeggiVariabile(amb.archivio(), QStringLiteral("F_SchedaDipendente_Ordinamento")), QString());
    QCOMPARE(s.colonna(2),
        (QStringList {
            QStringLiteral("Bianchi Anna"), QStringLiteral("Rossi Mario"), QStringLiteral("Verdi Luca") }));
}

void TestSchedaDipendente::selezioneEvidenzia()
{
    AmbienteTest amb;
    Scheda s(amb);
    const int rossi = s.rigaDi(QStringLiteral("Rossi Mario"));
    const int verdi = s.rigaDi(QStringLiteral("Verdi Luca"));
    s.clicRiga(rossi);
    QCOMPARE(s.testo("Codice"), QStringLiteral("R01"));
    QCOMPARE(s.testo("RagSociale"), QStringLiteral("Rossi Mario"));
    QCOMPARE(s.testo("Telefono"), QStringLiteral("055 111"));
    QCOMPARE(s.testo("DataNascita"), QStringLiteral("01/02/1980"));
    QVERIFY(s.c<QRadioButton>("Femmina")->isChecked());
    QVERIFY(s.c("FrameScheda")->isEnabled());
    QCOMPARE(s.c<QPushButton>("Command4")->text(), QStringLiteral("Modifica"));
    const QAbstractItemModel* m = s.griglia()->model();
    for (int c = 0; c < m->columnCount(); ++c)
        QCOMPARE(
            m->index(rossi, c).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0xC0, 0xC0, 0xFF));
    s.clicRiga(verdi);
    QCOMPARE(s.testo("Codice"), QStringLiteral("V03"));
    QVERIFY(!m->index(rossi, 2).data(Qt::BackgroundRole).isValid());
    QCOMPARE(m->index(verdi, 2).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0xC0, 0xC0, 0xFF));
}

void TestSchedaDipendente::codiceSconosciutoSvuotaLaScheda()
{
    AmbienteTest amb;
    Scheda s(amb);
    s.clicRiga(s.rigaDi(QStringLiteral("Rossi Mario")));
    s.scriviCodice(QStringLiteral("X99"));
    s.c("Indirizzo")->setFocus(); // leaving the code
    QCOMPARE(s.testo("Codice"), QStringLiteral("X99"));
    QVERIFY(s.schedaVuota());
    QCOMPARE(s.c<QPushButton>("Command4")->text(), QStringLiteral("Inserisci"));
    QVERIFY(s.c("FrameScheda")->isEnabled());
    QCOMPARE(amb.sql(QStringLiteral("SELECT Codice FROM TabellaAnagrafiche WHERE RagSociale = 'Rossi Mario'"))
                 .toString(),
        QStringLiteral("R01"));
}

void TestSchedaDipendente::codiceInvariatoNonRicarica()
{
    AmbienteTest amb;
    Scheda s(amb);
    s.clicRiga(s.rigaDi(QStringLiteral("Rossi Mario")));
    s.riga("Telefono")->setFocus();
    s.riga("Telefono")->selectAll();
    QTest::keyClicks(s.riga("Telefono"), QStringLiteral("333 444"));
    s.riga("Codice")->setFocus();
    s.riga("Indirizzo")->setFocus();
    QCOMPARE(s.testo("Telefono"), QStringLiteral("333 444"));
    QCOMPARE(s.testo("Codice"), QStringLiteral("R01"));
}

void TestSchedaDipendente::codiceVuotoSvuotaLaScheda()
{
    AmbienteTest amb;
    Scheda s(amb);
    s.clicRiga(s.rigaDi(QStringLiteral("Verdi Luca")));
    s.scriviCodice(QString());
    QVERIFY(!s.c("FrameScheda")->isEnabled());
    s.c("Command2")->setFocus();
    QVERIFY(s.schedaVuota());
    QCOMPARE(s.testo("Codice"), QString());
    QCOMPARE(s.c<QPushButton>("Command4")->text(), QStringLiteral("Inserisci"));
}

void TestSchedaDipendente::invioSuCodiceECatena()
{
    AmbienteTest amb;
    Scheda s(amb);
    s.scriviCodice(QStringLiteral("b02"));
    QTest::keyClick(s.riga("Codice"), Qt::Key_Return);
    QCOMPARE(s.testo("Codice"), QStringLiteral("B02"));
    QCOMPARE(s.testo("RagSociale"), QStringLiteral("Bianchi Anna"));
    QVERIFY(s.c<QRadioButton>("NonAttivo")->isChecked());
    QCOMPARE(s.focus(), QStringLiteral("RagSociale"));

    const QStringList catena { QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Indirizzo"),
        QStringLiteral("Cap"), QStringLiteral("Citta"), QStringLiteral("Provincia"),
        QStringLiteral("CodiceFiscale"), QStringLiteral("Nazione"), QStringLiteral("Cellulare"),
        QStringLiteral("Telefono"), QStringLiteral("Email"), QStringLiteral("Web"),
        QStringLiteral("DataNascita"), QStringLiteral("LuogoNascita"), QStringLiteral("ProvinciaDiNascita"),
        QStringLiteral("StatoDiNascita"), QStringLiteral("Cittadinanza"), QStringLiteral("TipoDocumento"),
        QStringLiteral("NroDocumento"), QStringLiteral("DataDocumento"), QStringLiteral("LuogoDocumento"),
        QStringLiteral("Note") };
    QStringList percorso;
    for (int i = 0; i < catena.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        percorso << s.focus();
    }
    QCOMPARE(percorso, catena);
    // Nothing is upper-cased or changed on the way.
    QCOMPARE(s.testo("RagSociale"), QStringLiteral("Bianchi Anna"));
    QCOMPARE(s.testo("Nazione"), QString());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestSchedaDipendente::registraDallaScheda()
{
    AmbienteTest amb;
    Scheda s(amb);
    s.scriviCodice(QStringLiteral("N04"));
    QTest::keyClick(s.riga("Codice"), Qt::Key_Return);
    QCOMPARE(s.focus(), QStringLiteral("RagSociale"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Neri"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ada"));
    QTest::mouseClick(s.c("Femmina"), Qt::LeftButton);
    QTest::mouseClick(s.c("Command4"), Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("Registrazione Effettuata") });
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Information);
    QVERIFY(s.schedaVuota());
    QCOMPARE(s.testo("Codice"), QString());
    QCOMPARE(s.focus(), QStringLiteral("Codice"));
    QVERIFY(s.rigaDi(QStringLiteral("Neri Ada")) >= 0);
    QCOMPARE(amb.sql(QStringLiteral("SELECT Codice || '|' || Cognome || '|' || Nome || '|' || Femmina FROM "
                                    "TabellaAnagrafiche WHERE RagSociale = 'Neri Ada'"))
                 .toString(),
        QStringLiteral("N04|Neri|Ada|1"));

    // A refused save keeps the card as typed, the composed name included.
    amb.messaggi.svuota();
    s.scriviCodice(QStringLiteral("R01"));
    s.scriviCodice(QStringLiteral("N05"));
    QTest::keyClick(s.riga("Codice"), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Neri"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ada"));
    QTest::mouseClick(s.c("Command4"), Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("La Ragione Sociale è già utilizzata") });
    QCOMPARE(s.testo("RagSociale"), QStringLiteral("Neri Ada"));
    QCOMPARE(s.testo("Codice"), QStringLiteral("N05"));
}

void TestSchedaDipendente::date()
{
    AmbienteTest amb;
    Scheda s(amb);
    s.clicRiga(s.rigaDi(QStringLiteral("Rossi Mario")));
    QLineEdit* nascita = s.riga("DataNascita");
    nascita->setFocus();
    nascita->selectAll();
    QTest::keyClicks(nascita, QStringLiteral("010280"));
    s.riga("DataDocumento")->setFocus();
    QCOMPARE(nascita->text(), QStringLiteral("01/02/1980"));
    QTest::keyClicks(s.riga("DataDocumento"), QStringLiteral("32/13/2020"));
    s.c("Note")->setFocus();
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("La data non è corretta") });
    // The calendar opens on the field's date; cancelling keeps the text, a pick replaces it.
    QStringList aperture;
    QString risposta;
    servizi().scegliData = [&](const QString& iniziale) {
        aperture << iniziale;
        return risposta;
    };
    QTest::mouseDClick(nascita, Qt::LeftButton);
    QCOMPARE(nascita->text(), QStringLiteral("01/02/1980"));
    risposta = QStringLiteral("03/04/1981");
    QTest::mouseDClick(nascita, Qt::LeftButton);
    QCOMPARE(nascita->text(), QStringLiteral("03/04/1981"));
    QCOMPARE(aperture, QStringList({ QStringLiteral("01/02/1980"), QStringLiteral("01/02/1980") }));
    servizi().scegliData = {};

    amb.messaggi.risposte << Messaggi::Yes;
    QTest::mouseClick(s.c("Command4"), Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi().last(), QStringLiteral("Registrazione Effettuata"));
    QVERIFY(amb.sql(QStringLiteral("SELECT DataDocumento FROM TabellaAnagrafiche WHERE Codice = 'R01'"))
                .isNull());
    s.clicRiga(s.rigaDi(QStringLiteral("Rossi Mario")));
    QCOMPARE(s.testo("DataDocumento"), QString());
    QCOMPARE(s.testo("DataNascita"), QStringLiteral("03/04/1981"));
}

void TestSchedaDipendente::escNellaListaENuovo()
{
    AmbienteTest amb;
    Scheda s(amb);
    const int rossi = s.rigaDi(QStringLiteral("Rossi Mario"));
    s.clicRiga(rossi);
    QVERIFY(!s.schedaVuota());
    QTest::keyClick(s.griglia(), Qt::Key_Escape);
    QVERIFY(s.schedaVuota());
    QCOMPARE(s.testo("Codice"), QString());
    QVERIFY(!s.griglia()->model()->index(rossi, 2).data(Qt::BackgroundRole).isValid());
    QVERIFY(s.w->isVisible());

    // The keyboard chooses a row too.
    s.griglia()->setFocus();
    s.griglia()->setCurrentIndex(s.griglia()->model()->index(rossi, 2));
    QTest::keyClick(s.griglia(), Qt::Key_Return);
    QCOMPARE(s.testo("Codice"), QStringLiteral("R01"));

    QTest::mouseClick(s.c("Command2"), Qt::LeftButton);
    QVERIFY(s.schedaVuota());
    QCOMPARE(s.testo("Codice"), QString());
    QCOMPARE(s.focus(), QStringLiteral("Codice"));
}

void TestSchedaDipendente::cancellaDallaScheda()
{
    AmbienteTest amb;
    Scheda s(amb);
    s.clicRiga(s.rigaDi(QStringLiteral("Verdi Luca")));
    amb.messaggi.risposte << Messaggi::Yes;
    QTest::mouseClick(s.c("Command10"), Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(),
        (QStringList { QStringLiteral("Sicuri di voler cancellare l'anagrafica selezionata (Verdi Luca) ?"),
            QStringLiteral("Cancellazione Effettuata") }));
    QCOMPARE(s.colonna(2), (QStringList { QStringLiteral("Bianchi Anna"), QStringLiteral("Rossi Mario") }));
    QVERIFY(s.schedaVuota());
    QCOMPARE(s.focus(), QStringLiteral("Codice"));

    amb.messaggi.svuota();
    QTest::mouseClick(s.c("Command10"), Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("Selezionare l'anagrafica da cancellare") });
}

void TestSchedaDipendente::postaEWeb()
{
    AmbienteTest amb;
    Scheda s(amb);
    s.clicRiga(s.rigaDi(QStringLiteral("Rossi Mario")));
    QTest::mouseClick(s.c("Command1"), Qt::LeftButton);
    QTest::mouseClick(s.c("OpenUrl"), Qt::LeftButton);
    QVERIFY(amb.urlAperti.isEmpty());
    s.riga("Email")->setText(QStringLiteral("  mario@ditta.it "));
    s.riga("Web")->setText(QStringLiteral("www.ditta.it"));
    QTest::mouseClick(s.c("Command1"), Qt::LeftButton);
    QTest::mouseClick(s.c("OpenUrl"), Qt::LeftButton);
    s.riga("Web")->setText(QStringLiteral("https://ditta.it/chi"));
    QTest::mouseClick(s.c("OpenUrl"), Qt::LeftButton);
    QCOMPARE(amb.urlAperti,
        (QList<QUrl> { QUrl(QStringLiteral("mailto:mario@ditta.it")),
            QUrl(QStringLiteral("http://www.ditta.it")), QUrl(QStringLiteral("https://ditta.it/chi")) }));
}

void TestSchedaDipendente::stampaElenco()
{
    AmbienteTest amb;
    Scheda s(amb);
    QString ordinamento;
    int chiamate = 0;
    s.w->stampaElenco = [&](ElencoAnagrafiche::Filtro f, const QString& o) {
        ++chiamate;
        QCOMPARE(f, ElencoAnagrafiche::Filtro::Attivi);
        ordinamento = o;
    };
    QTest::mouseClick(s.c("Attivi"), Qt::LeftButton);
    QTest::mouseClick(s.c("Anteprima"), Qt::LeftButton);
    QCOMPARE(chiamate, 1);
    QCOMPARE(ordinamento, QStringLiteral("Ragione Sociale"));
}

void TestSchedaDipendente::esciChiudeLaScheda()
{
    AmbienteTest amb;
    Scheda s(amb);
    s.clicRiga(s.rigaDi(QStringLiteral("Rossi Mario")));
    s.riga("Indirizzo")->setText(QStringLiteral("Via non registrata 1"));
    const QPointer<F_SchedaDipendente> scheda(s.w);
    QTest::mouseClick(s.c("Fine"), Qt::LeftButton);
    QVERIFY(!scheda->isVisible());
    // Gone, not hidden: whoever opens the card again gets a new one, loaded afresh.
    QTRY_VERIFY(!scheda);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

QTEST_MAIN(TestSchedaDipendente)
#include "tst_schedadipendente.moc"
