#include "AmbienteTest.h"
#include "Controlli.h"
#include "DatiDiProva.h"

#include "archive/Password.h"
#include "archive/Archivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "gui/diary/F_Avvio.h"
#include "diary/GrigliaDettaglio.h"
#include "gui/diary/ImmissioneDettaglio.h"
#include "comune/Orologio.h"
#include "gui/diary/VistaGriglia.h"
#include "gui/masterdata/F_Calendario.h"
#include "gui/masterdata/F_TabellaStati.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTest>

class TestImmissione : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void digitazioneENormalizzazione();
    void codiceRimossoAllArrivo();
    void settimanaDaTastiera();
    void salvataggioNonRiuscito();
    void cancellaMese();
    void noteDelGiorno();
    void modificheNonRegistrateDopoUnaNota();
    void domandaPrimaDiPerdereLeModifiche_data();
    void domandaPrimaDiPerdereLeModifiche();
    void ricostruzioniCheTengonoLeModifiche();
    void vistaTotali();
    void tabellaStatiDalMenu();
    void rigaDiImmissioneFerma();
    void tastiDiModifica();
};

namespace {

struct Finestra
{
    F_Avvio* f = nullptr;
    explicit Finestra(F_Avvio* finestra)
        : f(finestra)
    { }
    ~Finestra() { delete f; }
    F_Avvio* operator->() const { return f; }
};

int col(int giorno)
{
    return GrigliaDettaglio::ColonnaGiorno(giorno);
}

void vaiA(F_Avvio* f, int riga, int colonna)
{
    VistaGriglia* v = f->RigheArt();
    v->setCurrentIndex(v->model()->index(riga, colonna));
}

void digita(F_Avvio* f, const QString& testo)
{
    QTest::keyClicks(f->RigheArt(), testo);
}

void tasto(F_Avvio* f, Qt::Key k)
{
    QTest::keyClick(f->RigheArt(), k);
}

QString cella(F_Avvio* f, int riga, int giorno)
{
    return f->griglia().testo(riga, col(giorno));
}

QVariantList movimento(const AmbienteTest& amb, qint64 indice, const QString& tipo, int giorno,
    const QString& mese = QStringLiteral("Febbraio"))
{
    Archivio db(amb.archivio());
    QSqlQuery q = db.esegui(
        QStringLiteral(
            "SELECT Stato, StatoNum, Descrizione, Note FROM TabellaMovimenti "
            "WHERE IndiceAnagrafica = ? AND Tipo = ? AND Giorno = ? AND Mese = ? AND Anno = '2024'"),
        { indice, tipo, QString::number(giorno), mese });
    if (!q.next())
        return {};
    QVariantList valori;
    for (int i = 0; i < 4; ++i)
        valori << (q.isNull(i) ? QVariant() : q.value(i));
    return valori;
}

int contaMovimenti(const AmbienteTest& amb)
{
    return amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti")).toInt();
}

} // namespace

void TestImmissione::init()
{
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
}

void TestImmissione::cleanup()
{
    Orologio::ImpostaAdesso({});
    servizi().errori.ContatoreErrori = 0;
}

void TestImmissione::digitazioneENormalizzazione()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    tipo(amb, QStringLiteral("EXTRA"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    // A day stored earlier with a state: typing over it keeps its description when the text is refused.
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2024, 2, 6), QStringLiteral("M"), {},
        { { "Descrizione", QStringLiteral("Malattia") } });
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    f->RigheArt()->setFocus();
    auto* label4 = w<QLabel>(f.f, "Label4");
    auto* note = w<QPlainTextEdit>(f.f, "Note");
    auto* ins = w<QPushButton>(f.f, "Ins");
    QCOMPARE(f->RigheArt()->selectionMode(), QAbstractItemView::ContiguousSelection);

    // The cursor arrives: highlight, selected-cell boxes, the note label.
    vaiA(f.f, 2, col(1));
    QCOMPARE(f->griglia().sfondo(2, col(1)), ImmissioneDettaglio::ColoreEvidenza);
    // What is painted, too: no focus frame of the style over the highlight (the cell is empty).
    {
        const QRect rettangolo
            = f->RigheArt()->visualRect(f->RigheArt()->currentIndex()).adjusted(1, 1, -2, -2);
        const QImage dipinta = f->RigheArt()->viewport()->grab(rettangolo).toImage();
        QVERIFY(!dipinta.isNull());
        for (int y = 0; y < dipinta.height(); ++y)
            for (int x = 0; x < dipinta.width(); ++x)
                QCOMPARE(QColor(dipinta.pixel(x, y)), ImmissioneDettaglio::ColoreEvidenza);
    }
    QCOMPARE(w<QLineEdit>(f.f, "CodiceAnagraficaSelezionata")->text(), QStringLiteral("R1"));
    QCOMPARE(w<QLineEdit>(f.f, "AnagraficaSelezionata")->text(), QStringLiteral("Rossi"));
    QCOMPARE(w<QLineEdit>(f.f, "tiposelezionato")->text(), QStringLiteral("ORDINARIO"));
    QCOMPARE(w<QLineEdit>(f.f, "GiornoAnagraficaSelezionata")->text(), QStringLiteral("1"));
    QCOMPARE(w<QLineEdit>(f.f, "IndiceAnagraficaSelezionata")->text(), QString::number(rossi));
    QCOMPARE(label4->text(), QStringLiteral("NOTE DEL GIORNO: 1/2/2024 - DIPENDENTE: Rossi"));
    QCOMPARE(label4->palette().color(QPalette::Window), QColor(0x87, 0x96, 0xBE));
    QVERIFY(note->isEnabled());
    QCOMPARE(note->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));

    digita(f.f, QStringLiteral("7.5"));
    QCOMPARE(cella(f.f, 2, 1), QStringLiteral("7,5"));
    QCOMPARE(ins->text(), QStringLiteral("Registra"));
    tasto(f.f, Qt::Key_Right);
    QCOMPARE(f->RigheArt()->currentIndex().column(), col(2));
    // The cell left gets its own colour back.
    QVERIFY(!f->griglia().sfondo(2, col(1)).isValid());
    QCOMPARE(f->griglia().sfondo(2, col(2)), ImmissioneDettaglio::ColoreEvidenza);
    QCOMPARE(cella(f.f, 2, 1), QStringLiteral("7,5"));

    digita(f.f, QStringLiteral("8,00"));
    tasto(f.f, Qt::Key_Right);
    QCOMPARE(cella(f.f, 2, 2), QStringLiteral("8"));
    digita(f.f, QStringLiteral("f"));
    tasto(f.f, Qt::Key_Right);
    QCOMPARE(cella(f.f, 2, 3), QStringLiteral("f"));
    // Backspace empties, Delete empties.
    digita(f.f, QStringLiteral("12"));
    tasto(f.f, Qt::Key_Backspace);
    QCOMPARE(cella(f.f, 2, 4), QString());
    digita(f.f, QStringLiteral("9"));
    tasto(f.f, Qt::Key_Delete);
    QCOMPARE(cella(f.f, 2, 4), QString());
    // Typing goes into the cell: the cursor does not jump to a matching cell.
    QCOMPARE(f->RigheArt()->currentIndex().column(), col(4));
    // An unknown code and a lone 0, saved without leaving the cell.
    tasto(f.f, Qt::Key_Right);
    digita(f.f, QStringLiteral("0"));
    vaiA(f.f, 2, col(6));
    QCOMPARE(cella(f.f, 2, 5), QString()); // emptied on leaving, without a beep
    QCOMPARE(amb.messaggi.beep, 0);
    QCOMPARE(cella(f.f, 2, 6), QStringLiteral("M"));
    digita(f.f, QStringLiteral("ZZ"));
    QCOMPARE(cella(f.f, 2, 6), QStringLiteral("MZZ"));

    // The extra-type row takes digits and the comma only.
    vaiA(f.f, 3, col(1));
    QCOMPARE(w<QLineEdit>(f.f, "tiposelezionato")->text(), QStringLiteral("EXTRA"));
    QCOMPARE(w<QLineEdit>(f.f, "AnagraficaSelezionata")->text(), QString());
    QCOMPARE(cella(f.f, 2, 6), QString()); // "MZZ" is no state
    digita(f.f, QStringLiteral("ab"));
    QCOMPARE(cella(f.f, 3, 1), QString());
    digita(f.f, QStringLiteral("1.5x"));
    QCOMPARE(cella(f.f, 3, 1), QStringLiteral("1,5"));
    vaiA(f.f, 2, col(7));
    digita(f.f, QStringLiteral("0"));

    QTest::mouseClick(ins, Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("Registrazione Effettuata") });
    QCOMPARE(amb.messaggi.chiamate.last().icona, Messaggi::Information);
    QCOMPARE(ins->text(), QStringLiteral("Registrazione Effettuata"));
    QVERIFY(!w<QWidget>(f.f, "FrameSalva")->isVisible());
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 1),
        (QVariantList { QStringLiteral("7,5"), 7.5, {}, {} }));
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 2),
        (QVariantList { QStringLiteral("8"), 8.0, {}, {} }));
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 3),
        (QVariantList { QStringLiteral("F"), 0.0, QStringLiteral("Ferie"), {} }));
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 6),
        (QVariantList { QString(), 0.0, QStringLiteral("Malattia"), {} }));
    QCOMPARE(
        movimento(amb, rossi, QStringLiteral("ORDINARIO"), 7), (QVariantList { QString(), 0.0, {}, {} }));
    QCOMPARE(movimento(amb, rossi, QStringLiteral("EXTRA"), 1),
        (QVariantList { QStringLiteral("1,5"), 1.5, {}, {} }));
    QCOMPARE(cella(f.f, 2, 3), QStringLiteral("F"));
    QCOMPARE(cella(f.f, 2, 7), QString());
    QCOMPARE(contaMovimenti(amb), 2 * 29);

    // The next key released in the grid makes the button "Registra" again.
    tasto(f.f, Qt::Key_Right);
    QCOMPARE(ins->text(), QStringLiteral("Registra"));

    // Esc throws the edits away and reads the month again; the cursor stays.
    vaiA(f.f, 2, col(10));
    digita(f.f, QStringLiteral("5"));
    const int prima = f->NumeroRicostruzioni();
    tasto(f.f, Qt::Key_Escape);
    QCOMPARE(f->NumeroRicostruzioni(), prima + 1);
    QCOMPARE(cella(f.f, 2, 10), QString());
    QCOMPARE(cella(f.f, 2, 1), QStringLiteral("7,5"));
    QCOMPARE(f->RigheArt()->currentIndex(), f->RigheArt()->model()->index(2, col(10)));
    QCOMPARE(f->griglia().sfondo(2, col(10)), ImmissioneDettaglio::ColoreEvidenza);
    QCOMPARE(amb.messaggi.beep, 0);
}

void TestImmissione::codiceRimossoAllArrivo()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("X"), QStringLiteral("Vecchio"));
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2024, 2, 2), QStringLiteral("X"));
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2024, 2, 3), QStringLiteral("F"));
    amb.sql(QStringLiteral("DELETE FROM TabellaStati WHERE Stato = 'X'"));
    tipo(amb, QStringLiteral("EXTRA"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QCOMPARE(cella(f.f, 2, 2), QStringLiteral("X"));
    vaiA(f.f, 2, col(3));
    QCOMPARE(amb.messaggi.beep, 0);
    // Arriving on the removed code empties it with a beep.
    vaiA(f.f, 2, col(2));
    QCOMPARE(cella(f.f, 2, 2), QString());
    QCOMPARE(amb.messaggi.beep, 1);
    QCOMPARE(cella(f.f, 2, 3), QStringLiteral("F"));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    // Nothing is written until the month is saved.
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 2).value(0).toString(), QStringLiteral("X"));

    // The status line says why a text went, without a message box.
    QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("«X» non è uno stato della Tabella Stati"));
    vaiA(f.f, 2, col(4));
    digita(f.f, QStringLiteral("fe"));
    vaiA(f.f, 2, col(5));
    QCOMPARE(cella(f.f, 2, 4), QString());
    QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("«FE» non è uno stato della Tabella Stati"));
    vaiA(f.f, 3, col(5));
    digita(f.f, QStringLiteral("f"));
    QCOMPARE(cella(f.f, 3, 5), QString());
    QCOMPARE(f->statusBar()->currentMessage(),
        QStringLiteral("«F» non è ammesso: la riga EXTRA accetta solo ore"));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestImmissione::settimanaDaTastiera()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    const qint64 bianchi = dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    tipo(amb, QStringLiteral("EXTRA"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    VistaGriglia* v = f->RigheArt();
    v->setFocus();
    // Bianchi's rows first (2 and 3), then Rossi's (4 and 5). Monday 5 to Friday 9 February 2024.
    QCOMPARE(f->griglia().testo(2, 2), QStringLiteral("Bianchi"));
    QCOMPARE(f->griglia().testo(4, 2), QStringLiteral("Rossi"));
    const QStringList bianchiSettimana { QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("f"),
        QStringLiteral("7.5"), QStringLiteral("8") };
    const QStringList rossiSettimana { QStringLiteral("m"), QStringLiteral("M"), QStringLiteral("8"),
        QStringLiteral("8"), QStringLiteral("4.5") };
    vaiA(f.f, 2, col(5));
    for (const QString& t : bianchiSettimana) {
        digita(f.f, t);
        tasto(f.f, Qt::Key_Right);
    }
    tasto(f.f, Qt::Key_Down); // Bianchi's extra row, Saturday
    tasto(f.f, Qt::Key_Left); // Friday
    digita(f.f, QStringLiteral("2"));
    tasto(f.f, Qt::Key_Down);
    QCOMPARE(v->currentIndex().row(), 4);
    for (int i = 0; i < 4; ++i)
        tasto(f.f, Qt::Key_Left);
    QCOMPARE(v->currentIndex().column(), col(5));
    for (const QString& t : rossiSettimana) {
        digita(f.f, t);
        tasto(f.f, Qt::Key_Right);
    }
    QTest::mouseClick(w<QPushButton>(f.f, "Ins"), Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(), QStringList { QStringLiteral("Registrazione Effettuata") });

    const QStringList bianchiAtteso { QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("F"),
        QStringLiteral("7,5"), QStringLiteral("8") };
    const QStringList rossiAtteso { QStringLiteral("M"), QStringLiteral("M"), QStringLiteral("8"),
        QStringLiteral("8"), QStringLiteral("4,5") };
    const auto controlla = [&] {
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(cella(f.f, 2, 5 + i), bianchiAtteso.at(i));
            QCOMPARE(cella(f.f, 4, 5 + i), rossiAtteso.at(i));
        }
        QCOMPARE(cella(f.f, 3, 9), QStringLiteral("2"));
        QCOMPARE(cella(f.f, 2, 4), QString());
        QCOMPARE(cella(f.f, 4, 10), QString());
    };
    controlla();

    // Another month shows nothing of it; coming back shows the same entries.
    QTest::mouseClick(w<QWidget>(f.f, "succ"), Qt::LeftButton);
    QCOMPARE(f->Mese(), QStringLiteral("Marzo"));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(cella(f.f, 2, 5 + i), QString());
    QTest::mouseClick(w<QWidget>(f.f, "prec"), Qt::LeftButton);
    QCOMPARE(f->Mese(), QStringLiteral("Febbraio"));
    controlla();
    QCOMPARE(movimento(amb, bianchi, QStringLiteral("ORDINARIO"), 8),
        (QVariantList { QStringLiteral("7,5"), 7.5, {}, {} }));
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 5),
        (QVariantList { QStringLiteral("M"), 0.0, QStringLiteral("Malattia"), {} }));
    QCOMPARE(movimento(amb, bianchi, QStringLiteral("EXTRA"), 9),
        (QVariantList { QStringLiteral("2"), 2.0, {}, {} }));
}

void TestImmissione::salvataggioNonRiuscito()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    vaiA(f.f, 2, col(1));
    digita(f.f, QStringLiteral("8"));
    vaiA(f.f, 2, col(2));
    digita(f.f, QStringLiteral("6,50"));
    auto* ins = w<QPushButton>(f.f, "Ins");
    {
        // Another user keeps the archive locked beyond the retries.
        QSqlDatabase altro = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("altro"));
        altro.setDatabaseName(amb.archivio());
        QVERIFY(altro.open());
        QVERIFY(QSqlQuery(altro).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        servizi().errori.ContatoreErrori = 96;
        QTest::mouseClick(ins, Qt::LeftButton);
        QSqlQuery(QStringLiteral("ROLLBACK"), altro);
        altro.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("altro"));
    QCOMPARE(amb.messaggi.chiamate.size(), 1);
    QVERIFY(amb.messaggi.chiamate.first().testo.startsWith(
        QStringLiteral("Attenzione! Il mese di Febbraio 2024 NON è stato registrato")));
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
    QCOMPARE(ins->text(), QStringLiteral("Registra"));
    QVERIFY(!w<QWidget>(f.f, "FrameSalva")->isVisible());
    QCOMPARE(contaMovimenti(amb), 0);
    // The edits wait in the grid for another try.
    QCOMPARE(cella(f.f, 2, 1), QStringLiteral("8"));
    QCOMPARE(cella(f.f, 2, 2), QStringLiteral("6,50"));
    QCOMPARE(f->Immissione()->celleModificate(), 2);

    servizi().errori.ContatoreErrori = 0;
    QTest::mouseClick(ins, Qt::LeftButton);
    QCOMPARE(amb.messaggi.chiamate.last().testo, QStringLiteral("Registrazione Effettuata"));
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 2),
        (QVariantList { QStringLiteral("6,5"), 6.5, {}, {} }));
    QCOMPARE(cella(f.f, 2, 2), QStringLiteral("6,5"));
    QCOMPARE(f->Immissione()->celleModificate(), 0);
}

void TestImmissione::cancellaMese()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    const qint64 nascosto = dipendente(amb, QStringLiteral("N1"), QStringLiteral("Nascosto"), 0);
    for (const auto& [indice, data] : { std::pair(rossi, QDate(2024, 2, 1)),
             std::pair(nascosto, QDate(2024, 2, 1)), std::pair(rossi, QDate(2024, 3, 1)) })
        movimento(
            amb, indice, QStringLiteral("ORDINARIO"), data, QStringLiteral("8"), QStringLiteral("nota"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    auto* attivi = w<QWidget>(f.f, "VisualizzaAttivi");
    QTest::mouseClick(attivi, Qt::LeftButton);
    f->DimensionaGriglia_Click();
    QCOMPARE(f->griglia().righe(), 3);
    QCOMPARE(cella(f.f, 2, 1), QStringLiteral("8"));
    auto* cancella = w<QPushButton>(f.f, "Command1");

    amb.messaggi.risposte.enqueue(Messaggi::Cancel);
    QTest::mouseClick(cancella, Qt::LeftButton);
    amb.messaggi.risposte.enqueue(Messaggi::Ok);
    amb.messaggi.risposte.enqueue(Messaggi::No);
    QTest::mouseClick(cancella, Qt::LeftButton);
    QCOMPARE(contaMovimenti(amb), 3);
    QCOMPARE(amb.messaggi.chiamate.size(), 3);
    QCOMPARE(amb.messaggi.chiamate.at(0).testo,
        QStringLiteral("Attenzione questa operazione cancellerà tutti i dati del corrente mese!"));
    QCOMPARE(amb.messaggi.chiamate.at(0).pulsanti, Messaggi::Ok | Messaggi::Cancel);
    QCOMPARE(amb.messaggi.chiamate.at(2).testo,
        QStringLiteral("Sicuri di voler cancellare tutti dati contenuti nel mese di Febbraio 2024?"));
    QCOMPARE(amb.messaggi.chiamate.at(2).pulsanti, Messaggi::Yes | Messaggi::No);
    QCOMPARE(amb.messaggi.chiamate.at(2).icona, Messaggi::Warning);

    amb.messaggi.svuota();
    amb.messaggi.risposte.enqueue(Messaggi::Ok);
    amb.messaggi.risposte.enqueue(Messaggi::Yes);
    QTest::mouseClick(cancella, Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi().last(), QStringLiteral("Cancellazione Effettuata"));
    // Every row of the month goes, notes and employees not shown included; other months stay.
    QCOMPARE(contaMovimenti(amb), 1);
    QCOMPARE(
        movimento(amb, rossi, QStringLiteral("ORDINARIO"), 1, QStringLiteral("Marzo")).value(3).toString(),
        QStringLiteral("nota"));
    QCOMPARE(cella(f.f, 2, 1), QString());
}

void TestImmissione::noteDelGiorno()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    tipo(amb, QStringLiteral("EXTRA"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    VistaGriglia* v = f->RigheArt();
    auto* note = w<QPlainTextEdit>(f.f, "Note");
    v->setFocus();

    // A month never saved: the box is there, but nothing can be stored in it.
    vaiA(f.f, 2, col(3));
    QVERIFY(note->isEnabled());
    QCOMPARE(note->toPlainText(), QString());
    note->setFocus(Qt::MouseFocusReason);
    QCOMPARE(amb.messaggi.testi(),
        QStringList { QStringLiteral("Salvare il mese prima di inserire le note del giorno!") });
    QCOMPARE(amb.messaggi.chiamate.last().icona, Messaggi::Information);
    QTest::keyClicks(note, QStringLiteral("visita medica"));
    v->setFocus(Qt::MouseFocusReason);
    QCOMPARE(amb.messaggi.testi().last(), QStringLiteral("Attenzione! La nota non è stata memorizzata!"));
    QCOMPARE(contaMovimenti(amb), 0);
    // Leaving an empty box says nothing.
    amb.messaggi.svuota();
    vaiA(f.f, 2, col(4));
    note->setFocus(Qt::MouseFocusReason);
    v->setFocus(Qt::MouseFocusReason);
    QCOMPARE(amb.messaggi.testi(),
        QStringList { QStringLiteral("Salvare il mese prima di inserire le note del giorno!") });

    QTest::mouseClick(w<QPushButton>(f.f, "Ins"), Qt::LeftButton);
    amb.messaggi.svuota();

    // A stored note colours its cell; the rows of the two types of one day have notes of their own.
    vaiA(f.f, 2, col(3));
    note->setFocus(Qt::MouseFocusReason);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QTest::keyClicks(note, QStringLiteral("visita medica"));
    const int prima = f->NumeroRicostruzioni();
    v->setFocus(Qt::MouseFocusReason);
    // Stored without reading the month again: the colour follows at once.
    QCOMPARE(f->NumeroRicostruzioni(), prima);
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 3).value(3).toString(),
        QStringLiteral("visita medica"));
    QCOMPARE(v->currentIndex(), v->model()->index(2, col(3)));
    QCOMPARE(f->griglia().sfondo(2, col(3)), ImmissioneDettaglio::ColoreEvidenza);

    vaiA(f.f, 3, col(3));
    QCOMPARE(f->griglia().sfondo(2, col(3)), GrigliaDettaglio::ColoreNota);
    QCOMPARE(note->toPlainText(), QString());
    note->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(note, QStringLiteral("turno di notte"));
    // The button stores it as well (once on leaving the box, once on the click).
    QTest::mouseClick(w<QPushButton>(f.f, "SalvaNote"), Qt::LeftButton);
    QCOMPARE(movimento(amb, rossi, QStringLiteral("EXTRA"), 3).value(3).toString(),
        QStringLiteral("turno di notte"));
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 3).value(3).toString(),
        QStringLiteral("visita medica"));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE Note <> ''")).toInt(), 2);
    vaiA(f.f, 2, col(3));
    QCOMPARE(note->toPlainText(), QStringLiteral("visita medica"));
    QCOMPARE(f->griglia().sfondo(3, col(3)), GrigliaDettaglio::ColoreNota);
    vaiA(f.f, 3, col(3));
    QCOMPARE(note->toPlainText(), QStringLiteral("turno di notte"));

    // Emptied with "Svuota Nota": an empty text is stored and the colour goes.
    QTest::mouseClick(w<QPushButton>(f.f, "cnote"), Qt::LeftButton);
    QVERIFY(note->hasFocus());
    QCOMPARE(note->toPlainText(), QString());
    v->setFocus(Qt::MouseFocusReason);
    const QVariant vuota = movimento(amb, rossi, QStringLiteral("EXTRA"), 3).value(3);
    QVERIFY(!vuota.isNull());
    QCOMPARE(vuota.toString(), QString());
    vaiA(f.f, 2, col(5));
    QVERIFY(!f->griglia().sfondo(3, col(3)).isValid());
    QCOMPARE(f->griglia().sfondo(2, col(3)), GrigliaDettaglio::ColoreNota);
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestImmissione::domandaPrimaDiPerdereLeModifiche_data()
{
    QTest::addColumn<QString>("azione");
    QTest::addColumn<int>("risposta");
    for (const char* azione :
        { "mese successivo", "mese dalla lista", "riepilogo", "altro dipendente", "fine", "chiusura" }) {
        QTest::addRow("%s, sì", azione) << QString::fromLatin1(azione) << int(Messaggi::Yes);
        QTest::addRow("%s, no", azione) << QString::fromLatin1(azione) << int(Messaggi::No);
        QTest::addRow("%s, annulla", azione) << QString::fromLatin1(azione) << int(Messaggi::Cancel);
    }
}

// Typed cells are never dropped without a word: "Sì" saves and goes on, "No" drops them and goes
// on, "Annulla" stays with them.
void TestImmissione::domandaPrimaDiPerdereLeModifiche()
{
    QFETCH(QString, azione);
    QFETCH(int, risposta);
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    dipendente(amb, QStringLiteral("V1"), QStringLiteral("Verdi"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    f->RigheArt()->setFocus();
    vaiA(f.f, 2, col(1));
    digita(f.f, QStringLiteral("8"));
    vaiA(f.f, 2, col(2));

    amb.messaggi.risposte.enqueue(Messaggi::Risposta(risposta));
    bool chiusa = false;
    if (azione == QLatin1String("mese successivo")) {
        QTest::mouseClick(w<QToolButton>(f.f, "succ"), Qt::LeftButton);
    } else if (azione == QLatin1String("mese dalla lista")) {
        auto* mese = w<QComboBox>(f.f, "Mese");
        mese->setCurrentIndex(3);
        emit mese->activated(3);
    } else if (azione == QLatin1String("riepilogo")) {
        QTest::mouseClick(w<QCheckBox>(f.f, "VisualizzaTotali"), Qt::LeftButton);
    } else if (azione == QLatin1String("altro dipendente")) {
        auto* codice = w<QComboBox>(f.f, "CodiceDipentente");
        const int i = codice->findText(QStringLiteral("V1"));
        codice->setCurrentIndex(i);
        emit codice->activated(i);
    } else if (azione == QLatin1String("fine")) {
        QTest::mouseClick(w<QPushButton>(f.f, "Fine"), Qt::LeftButton);
    } else {
        chiusa = f->close();
    }

    QCOMPARE(amb.messaggi.chiamate.value(0).testo,
        QStringLiteral("Ci sono modifiche non registrate nel mese di Febbraio 2024. Registrarle?"));
    const bool salvato
        = movimento(amb, rossi, QStringLiteral("ORDINARIO"), 1).value(0).toString() == QLatin1String("8");
    QCOMPARE(salvato, risposta == Messaggi::Yes);
    const bool resta = risposta == Messaggi::Cancel;
    if (azione == QLatin1String("fine") || azione == QLatin1String("chiusura")) {
        QCOMPARE(amb.terminazioni, resta ? 0 : 1);
        if (azione == QLatin1String("chiusura"))
            QCOMPARE(chiusa, !resta);
        return;
    }
    if (resta) {
        // Nothing moved: same month, same view, same employees, the typed cell still there.
        QCOMPARE(f->Mese(), QStringLiteral("Febbraio"));
        QVERIFY(!f->VisualizzaTotali());
        QCOMPARE(w<QComboBox>(f.f, "CodiceDipentente")->currentText(), QString());
        QCOMPARE(cella(f.f, 2, 1), QStringLiteral("8"));
        QCOMPARE(f->Immissione()->celleModificate(), 1);
    } else {
        QVERIFY(f->Mese() != QLatin1String("Febbraio") || f->VisualizzaTotali()
            || w<QComboBox>(f.f, "CodiceDipentente")->currentText() == QLatin1String("V1"));
        QCOMPARE(f->Immissione()->celleModificate(), 0);
    }
}

// Rebuilds of the same month keep the typed cells; Esc is the one way to drop them, silently.
void TestImmissione::ricostruzioniCheTengonoLeModifiche()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    dipendente(amb, QStringLiteral("V1"), QStringLiteral("Verdi"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    f->RigheArt()->setFocus();
    vaiA(f.f, 2, col(3));
    digita(f.f, QStringLiteral("5"));
    vaiA(f.f, 2, col(4));

    // Back from another window, another order (Rossi's row moves), the same employee alone.
    f->Form_Activate(true);
    QCOMPARE(cella(f.f, 2, 3), QStringLiteral("5"));
    auto* ordinamento = w<QComboBox>(f.f, "Ordinamento");
    ordinamento->setCurrentText(QStringLiteral("Inserimento"));
    emit ordinamento->activated(ordinamento->currentIndex());
    auto* codice = w<QComboBox>(f.f, "CodiceDipentente");
    const int i = codice->findText(QStringLiteral("R1"));
    codice->setCurrentIndex(i);
    emit codice->activated(i);
    QCOMPARE(f->griglia().testo(2, 1), QStringLiteral("R1"));
    QCOMPARE(cella(f.f, 2, 3), QStringLiteral("5"));
    QCOMPARE(f->Immissione()->celleModificate(), 1);
    QVERIFY(amb.messaggi.chiamate.isEmpty());

    tasto(f.f, Qt::Key_Escape);
    QCOMPARE(cella(f.f, 2, 3), QString());
    QCOMPARE(f->Immissione()->celleModificate(), 0);
    QTest::mouseClick(w<QToolButton>(f.f, "succ"), Qt::LeftButton);
    QCOMPARE(f->Mese(), QStringLiteral("Marzo"));
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestImmissione::modificheNonRegistrateDopoUnaNota()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    VistaGriglia* v = f->RigheArt();
    auto* note = w<QPlainTextEdit>(f.f, "Note");
    v->setFocus();
    vaiA(f.f, 2, col(1));
    digita(f.f, QStringLiteral("8"));
    QTest::mouseClick(w<QPushButton>(f.f, "Ins"), Qt::LeftButton);

    // Typed and not saved: 6 on day 2 (the cursor left it), 7,00 on day 4 (the cursor is on it).
    vaiA(f.f, 2, col(2));
    digita(f.f, QStringLiteral("6"));
    vaiA(f.f, 2, col(4));
    digita(f.f, QStringLiteral("7,00"));
    note->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(note, QStringLiteral("permesso"));
    v->setFocus(Qt::MouseFocusReason);
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 4).value(3).toString(),
        QStringLiteral("permesso"));

    // The refresh brought the note's colour and kept every edit.
    QCOMPARE(cella(f.f, 2, 1), QStringLiteral("8"));
    QCOMPARE(cella(f.f, 2, 2), QStringLiteral("6"));
    QCOMPARE(cella(f.f, 2, 4), QStringLiteral("7,00"));
    QCOMPARE(f->Immissione()->celleModificate(), 2);
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 2).value(0).toString(), QString());
    vaiA(f.f, 2, col(5));
    QCOMPARE(cella(f.f, 2, 4), QStringLiteral("7"));
    QCOMPARE(f->griglia().sfondo(2, col(4)), GrigliaDettaglio::ColoreNota);

    QTest::mouseClick(w<QPushButton>(f.f, "Ins"), Qt::LeftButton);
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 2).value(0).toString(), QStringLiteral("6"));
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 4),
        (QVariantList { QStringLiteral("7"), 7.0, {}, QStringLiteral("permesso") }));

    // A note typed and left unstored when a month button rebuilds the grid is stored first.
    vaiA(f.f, 2, col(6));
    note->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(note, QStringLiteral("ferie anticipate"));
    QTest::mouseClick(w<QWidget>(f.f, "succ"), Qt::LeftButton);
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 6).value(3).toString(),
        QStringLiteral("ferie anticipate"));
}

void TestImmissione::vistaTotali()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2024, 2, 1), QStringLiteral("8"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    VistaGriglia* v = f->RigheArt();
    QTest::mouseClick(w<QCheckBox>(f.f, "VisualizzaTotali"), Qt::LeftButton);
    QVERIFY(f->VisualizzaTotali());
    auto* ins = w<QPushButton>(f.f, "Ins");
    const QString testoIns = ins->text();

    const auto istantanea = [&] {
        QStringList t;
        const Griglia& g = f->griglia();
        for (int r = 0; r < g.righe(); ++r)
            for (int c = 0; c < g.colonne(); ++c)
                t << g.testo(r, c) + QLatin1Char('|') + g.sfondo(r, c).name();
        return t;
    };
    const QStringList prima = istantanea();
    const int ricostruzioni = f->NumeroRicostruzioni();
    v->setFocus();
    for (int r = f->griglia().righeFisse(); r < f->griglia().righe(); ++r)
        for (int c = f->griglia().colonneFisse(); c < f->griglia().colonne(); ++c) {
            vaiA(f.f, r, c);
            digita(f.f, QStringLiteral("9.f"));
            tasto(f.f, Qt::Key_Delete);
            tasto(f.f, Qt::Key_Backspace);
        }
    tasto(f.f, Qt::Key_Escape);
    tasto(f.f, Qt::Key_Right);
    f->Immissione()->RigheArt_KeyPress(QStringLiteral("5"));
    f->Immissione()->RigheArt_KeyDown(Qt::Key_Delete);
    f->Immissione()->RigheArt_KeyDown(Qt::Key_Escape);
    f->Immissione()->RigheArt_SelChange();
    f->Immissione()->RigheArt_KeyUp();
    f->Immissione()->Ins_Click();
    f->Immissione()->Command1_Click();
    f->Immissione()->SalvaNote_Click();
    QCOMPARE(istantanea(), prima);
    QCOMPARE(f->NumeroRicostruzioni(), ricostruzioni);
    QCOMPARE(ins->text(), testoIns);
    QVERIFY(!ins->isEnabled());
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(amb.messaggi.beep, 0);
    QCOMPARE(contaMovimenti(amb), 1);
    QCOMPARE(movimento(amb, rossi, QStringLiteral("ORDINARIO"), 1).value(0).toString(), QStringLiteral("8"));
    QCOMPARE(w<QLineEdit>(f.f, "IndiceAnagraficaSelezionata")->text(), QString());
}

void TestImmissione::tabellaStatiDalMenu()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    for (const char* nome : { "mTabellaStati", "mTabellaTipi" }) {
        QAction* voce = f->findChild<QAction*>(QLatin1String(nome));
        QVERIFY(voce && voce->isEnabled());
    }
    QAction* stati = f->findChild<QAction*>(QStringLiteral("mTabellaStati"));
    stati->trigger();
    QWidget* finestra = nullptr;
    QTRY_VERIFY((finestra = QApplication::activeWindow()) && finestra != f.f);
    QVERIFY(qobject_cast<F_TabellaStati*>(finestra));
    QCOMPARE(finestra->windowTitle(), QStringLiteral("Tabella Stati"));
    // Picked again while open: the same window.
    stati->trigger();
    QCOMPARE(F_TabellaStati::Apri(amb.archivio(), f.f), finestra);

    // A state added there is known to the main window once the table closes.
    auto* tabella = qobject_cast<F_TabellaStati*>(finestra);
    QTest::keyClicks(tabella->campoCodice(), QStringLiteral("f"));
    QTest::keyClicks(tabella->campoDescrizione(), QStringLiteral("Ferie"));
    QTest::keyClick(tabella->campoDescrizione(), Qt::Key_Return);
    const QPointer<QWidget> chiusa(finestra);
    const int prima = f->NumeroRicostruzioni();
    finestra->close();
    QTRY_COMPARE(f->NumeroRicostruzioni(), prima + 1);
    QTRY_VERIFY(!chiusa);
    QCOMPARE(w<QLabel>(f.f, "LabelInfo")->text(), QStringLiteral("Stati:  (F) Ferie"));

    f->findChild<QAction*>(QStringLiteral("mTabellaTipi"))->trigger();
    QTRY_VERIFY((finestra = QApplication::activeWindow()) && finestra != f.f);
    QCOMPARE(finestra->windowTitle(), QStringLiteral("Tabella Tipi"));
    QVERIFY(finestra->findChild<QLineEdit*>(QStringLiteral("Tipo")));
    finestra->close();
    QTRY_COMPARE(f->NumeroRicostruzioni(), prima + 2);
}

// The entry row does not move while the user works: a selected cell names a day and an employee
// in the note caption, and a save widens the "Registra" caption.
void TestImmissione::rigaDiImmissioneFerma()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchieri Annamaria Costanza di Roccabruna"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    f->resize(1180, 800);
    QVERIFY(QTest::qWaitForWindowExposed(f.f));
    const auto posizioni = [&f] {
        QList<QRect> r;
        for (const char* n :
            { "Ins", "FrameAnagraficaSelezionata", "Label4", "Note", "cnote", "SalvaNote" }) {
            QWidget* x = w<QWidget>(f.f, n);
            r << QRect(x->mapTo(f.f, QPoint()), x->size());
        }
        return r;
    };
    const QList<QRect> prima = posizioni();
    vaiA(f.f, 2, col(12));
    QVERIFY(w<QLabel>(f.f, "Label4")->text().contains(QStringLiteral("Roccabruna")));
    QCoreApplication::processEvents();
    QCOMPARE(posizioni(), prima);
    QTest::mouseClick(w<QPushButton>(f.f, "Ins"), Qt::LeftButton);
    QCOMPARE(w<QPushButton>(f.f, "Ins")->text(), QStringLiteral("Registrazione Effettuata"));
    QCoreApplication::processEvents();
    QCOMPARE(posizioni(), prima);
}

void TestImmissione::tastiDiModifica()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    Finestra f(F_Avvio::Apri(amb.sessione));
    QVERIFY(QTest::qWaitForWindowActive(f.f));
    VistaGriglia* v = f->RigheArt();
    v->setFocus();
    const auto scorciatoia = [&](QKeySequence::StandardKey k) {
        const QKeySequence s(k);
        QTest::keyClick(v, Qt::Key(s[0].key()), s[0].keyboardModifiers());
    };

    // Bianchi's row 2, Rossi's row 3. Type, select across with Shift, copy as tab-separated lines.
    vaiA(f.f, 2, col(1));
    digita(f.f, QStringLiteral("7.5"));
    QTest::keyClick(v, Qt::Key_Right, Qt::ShiftModifier);
    digita(f.f, QStringLiteral("f"));
    scorciatoia(QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("7,5\tf\n"));

    // Pasted elsewhere, then undone and redone, one step each.
    vaiA(f.f, 3, col(10));
    scorciatoia(QKeySequence::Paste);
    QCOMPARE(cella(f.f, 3, 10), QStringLiteral("7,5"));
    QCOMPARE(cella(f.f, 3, 11), QStringLiteral("F"));
    QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("Incollate 2 celle, rifiutate 0"));
    scorciatoia(QKeySequence::Undo);
    QCOMPARE(cella(f.f, 3, 10), QString());
    QCOMPARE(cella(f.f, 3, 11), QString());
    QTest::keyClick(v, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(cella(f.f, 3, 11), QStringLiteral("F"));
    scorciatoia(QKeySequence::Undo);
    QTest::keyClick(v, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(cella(f.f, 3, 10), QStringLiteral("7,5"));

    // A range over both employees, from a click: Ctrl+Enter fills it with the value typed, Delete
    // empties it.
    const QModelIndex inizio = v->model()->index(2, col(20));
    v->scrollTo(inizio);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(inizio).center());
    QCOMPARE(v->currentIndex(), inizio);
    QTest::keyClick(v, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(v, Qt::Key_Right, Qt::ShiftModifier);
    digita(f.f, QStringLiteral("8"));
    QTest::keyClick(v, Qt::Key_Return, Qt::ControlModifier);
    for (int r : { 2, 3 })
        for (int g : { 20, 21 })
            QCOMPARE(cella(f.f, r, g), QStringLiteral("8"));
    QCOMPARE(cella(f.f, 2, 19), QString());
    QCOMPARE(cella(f.f, 2, 22), QString());
    tasto(f.f, Qt::Key_Delete);
    for (int r : { 2, 3 })
        for (int g : { 20, 21 })
            QCOMPARE(cella(f.f, r, g), QString());

    // Registered as typed; the menu is for the month view only.
    QTest::mouseClick(w<QPushButton>(f.f, "Ins"), Qt::LeftButton);
    QCOMPARE(movimento(amb, 1, QStringLiteral("ORDINARIO"), 1).value(0).toString(), QStringLiteral("7,5"));
    QCOMPARE(movimento(amb, 2, QStringLiteral("ORDINARIO"), 11).value(2).toString(), QStringLiteral("Ferie"));
    auto* menu = f.f->findChild<QMenu*>(QStringLiteral("mModifica"));
    QVERIFY(menu && menu->isEnabled());
    QTest::mouseClick(w<QCheckBox>(f.f, "VisualizzaTotali"), Qt::LeftButton);
    QVERIFY(!menu->isEnabled());
    QVERIFY(!f->Immissione()->comando(QStringLiteral("mIncolla"))->isEnabled());
}

QTEST_MAIN(TestImmissione)
#include "tst_immissione.moc"
