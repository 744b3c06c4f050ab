#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "gui/diary/VistaGriglia.h"
#include "gui/masterdata/F_TabellaStati.h"
#include "gui/masterdata/F_TabellaTipi.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

class TestTabelleCodici : public QObject
{
    Q_OBJECT

private slots:
    void griglia();
    void registra_data();
    void registra();
    void tastiInvioEsc();
    void selezioneEAggiornamento_data();
    void selezioneEAggiornamento();
    void codiciDoppi();
    void cancellazione_data();
    void cancellazione();
};

namespace {

std::unique_ptr<F_TabellaCodici> apri(const AmbienteTest& amb, const QString& quale)
{
    if (quale == QLatin1String("stati"))
        return std::make_unique<F_TabellaStati>(amb.archivio());
    return std::make_unique<F_TabellaTipi>(amb.archivio());
}

QString tabella(const QString& quale)
{
    return quale == QLatin1String("stati") ? QStringLiteral("TabellaStati") : QStringLiteral("TabellaTipi");
}

QString campo(const QString& quale)
{
    return quale == QLatin1String("stati") ? QStringLiteral("Stato") : QStringLiteral("Tipo");
}

// The records of the table as "CODE=description", in key order.
QStringList contenuto(const AmbienteTest& amb, const QString& quale)
{
    QStringList righe;
    const int n = amb.sql(QStringLiteral("SELECT count(*) FROM %1").arg(tabella(quale))).toInt();
    for (int i = 0; i < n; ++i)
        righe << amb.sql(QStringLiteral(
                             "SELECT %1 || '=' || Descrizione FROM %2 ORDER BY Indice LIMIT 1 OFFSET ?")
                             .arg(campo(quale), tabella(quale)),
                        { i })
                     .toString();
    return righe;
}

void svuota(QLineEdit* e)
{
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
}

VistaGriglia* vista(F_TabellaCodici* f)
{
    return f->findChild<VistaGriglia*>(QStringLiteral("RigheArt"));
}

void seleziona(F_TabellaCodici* f, int riga)
{
    VistaGriglia* v = vista(f);
    v->setCurrentIndex(v->model()->index(riga, 1));
}

} // namespace

void TestTabelleCodici::griglia()
{
    AmbienteTest amb;
    {
        F_TabellaStati f(amb.archivio());
        QCOMPARE(f.windowTitle(), QStringLiteral("Tabella Stati"));
        QCOMPARE(f.campoCodice()->objectName(), QStringLiteral("Stato"));
        const Griglia& g = f.tabella().griglia();
        // An empty table: the header row only.
        QCOMPARE(g.righe(), 1);
        QCOMPARE(g.testo(0, 1), QStringLiteral("Stato"));
        QCOMPARE(g.testo(0, 2), QStringLiteral("Descrizione"));
        QCOMPARE(g.larghezza(0), 0);
        QCOMPARE(g.larghezza(1), 545);
        QCOMPARE(g.larghezza(2), 5285);
        QVERIFY(vista(&f)->isColumnHidden(0));
        QCOMPARE(f.findChild<QPushButton*>(QStringLiteral("Command2"))->toolTip(),
            QStringLiteral("INSERISCI TIPOLOGIA"));
        QCOMPARE(f.findChild<QPushButton*>(QStringLiteral("Command15"))->toolTip(),
            QStringLiteral("CANCELLAZIONE COMPLETA STRUTTURA"));
        QCOMPARE(f.findChild<QPushButton*>(QStringLiteral("Fine"))->text(), QStringLiteral("Esci"));
    }
    tipo(amb, QStringLiteral("EXTRA"), QStringLiteral("Straordinario"));
    tipo(amb, QStringLiteral("ORDINARIO"), QStringLiteral("Anche questo"));
    F_TabellaTipi f(amb.archivio());
    QCOMPARE(f.windowTitle(), QStringLiteral("Tabella Tipi"));
    QCOMPARE(f.campoCodice()->objectName(), QStringLiteral("Tipo"));
    const Griglia& g = f.tabella().griglia();
    QCOMPARE(g.righe(), 3);
    QCOMPARE(g.testo(0, 1), QStringLiteral("Tipo"));
    QCOMPARE(g.larghezza(1), 1655);
    QCOMPARE(g.larghezza(2), 4175);
    QCOMPARE(g.testo(1, 1), QStringLiteral("EXTRA"));
    QCOMPARE(g.testo(1, 2), QStringLiteral("Straordinario"));
    QCOMPARE(g.testo(2, 1), QStringLiteral("ORDINARIO"));
}

void TestTabelleCodici::registra_data()
{
    QTest::addColumn<QString>("quale");
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QString>("descrizione");
    QTest::addColumn<QString>("registrato"); // "" = nothing stored
    QTest::addColumn<QString>("messaggio");
    for (const QString& quale : { QStringLiteral("stati"), QStringLiteral("tipi") }) {
        const bool stati = quale == QLatin1String("stati");
        const QString numeri = stati ? QStringLiteral("Attenzione, lo stato non può contenere numeri")
                                     : QStringLiteral("Attenzione, lo tipo non può contenere numeri");
        const QString mancante = stati ? QStringLiteral("Attenzione, inserire uno stato!")
                                       : QStringLiteral("Attenzione, inserire uno tipo!");
        const auto riga = [&](const char* nome) -> QTestData& {
            return QTest::newRow(qPrintable(quale + QLatin1Char(' ') + QLatin1String(nome)));
        };
        riga("minuscole") << quale << "ab"
                          << "Assenza breve"
                          << "AB=Assenza breve"
                          << "";
        riga("zero") << quale << "A0"
                     << "Con zero"
                     << "A0=Con zero"
                     << "";
        riga("spazi intorno") << quale << " f "
                              << "Ferie"
                              << "F=Ferie"
                              << "";
        riga("A1") << quale << "A1"
                   << "x"
                   << "" << numeri;
        riga("1") << quale << "1"
                  << "x"
                  << "" << numeri;
        riga("1A") << quale << "1A"
                   << "x"
                   << "" << numeri;
        riga("A,5") << quale << "A,5"
                    << "x"
                    << "" << numeri;
        riga("codice vuoto") << quale << ""
                             << "x"
                             << "" << mancante;
        riga("solo spazi") << quale << "   "
                           << "x"
                           << "" << mancante;
        riga("descrizione vuota") << quale << "M"
                                  << ""
                                  << ""
                                  << "Attenzione, inserire una descrizione!";
    }
}

void TestTabelleCodici::registra()
{
    QFETCH(QString, quale);
    QFETCH(QString, codice);
    QFETCH(QString, descrizione);
    QFETCH(QString, registrato);
    QFETCH(QString, messaggio);
    AmbienteTest amb;
    const auto f = apri(amb, quale);
    f->show();
    QVERIFY(QTest::qWaitForWindowActive(f.get()));
    f->campoCodice()->setFocus();
    QTest::keyClicks(f->campoCodice(), codice);
    QTest::keyClicks(f->campoDescrizione(), descrizione);
    QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    if (registrato.isEmpty()) {
        QCOMPARE(amb.messaggi.testi(), QStringList { messaggio });
        QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);
        QCOMPARE(contenuto(amb, quale), QStringList());
        // The fields stay for correction, the focus on the one to correct.
        QCOMPARE(f->campoCodice()->text(), codice);
        QCOMPARE(f->campoDescrizione()->text(), descrizione);
        QWidget* daCorreggere = descrizione.isEmpty() ? f->campoDescrizione() : f->campoCodice();
        QTRY_COMPARE(QApplication::focusWidget(), daCorreggere);
    } else {
        QVERIFY(amb.messaggi.chiamate.isEmpty());
        QCOMPARE(contenuto(amb, quale), QStringList { registrato });
        QCOMPARE(f->campoCodice()->text(), QString());
        QCOMPARE(f->campoDescrizione()->text(), QString());
        QCOMPARE(f->tabella().griglia().righe(), 2);
        QCOMPARE(f->tabella().griglia().testo(1, 1), registrato.section(QLatin1Char('='), 0, 0));
        QTRY_COMPARE(QApplication::focusWidget(), f->campoCodice());
    }
}

void TestTabelleCodici::tastiInvioEsc()
{
    AmbienteTest amb;
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    F_TabellaStati f(amb.archivio());
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.campoCodice()->setFocus();
    QTest::keyClicks(f.campoCodice(), QStringLiteral("m"));
    QTest::keyClick(f.campoCodice(), Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), f.campoDescrizione());
    QTest::keyClicks(f.campoDescrizione(), QStringLiteral("Malattia"));
    QTest::keyClick(f.campoDescrizione(), Qt::Key_Return);
    QCOMPARE(contenuto(amb, QStringLiteral("stati")),
        (QStringList { QStringLiteral("F=Ferie"), QStringLiteral("M=Malattia") }));
    QTRY_COMPARE(QApplication::focusWidget(), f.campoCodice());

    // Esc in any of the three: fields emptied, highlight gone.
    for (QWidget* dove : QList<QWidget*> { f.campoCodice(), f.campoDescrizione(), vista(&f) }) {
        seleziona(&f, 2);
        QCOMPARE(f.campoCodice()->text(), QStringLiteral("M"));
        QCOMPARE(f.tabella().griglia().sfondo(2, 2), TabellaCodici::ColoreEvidenza);
        QTest::keyClick(dove, Qt::Key_Escape);
        QCOMPARE(f.campoCodice()->text(), QString());
        QCOMPARE(f.campoDescrizione()->text(), QString());
        QCOMPARE(f.Indice(), QString());
        QVERIFY(!f.tabella().griglia().sfondo(2, 2).isValid());
        vista(&f)->setCurrentIndex({});
    }
    QVERIFY(amb.messaggi.chiamate.isEmpty());
}

void TestTabelleCodici::selezioneEAggiornamento_data()
{
    QTest::addColumn<QString>("quale");
    QTest::addColumn<QString>("domanda");
    QTest::newRow("stati") << "stati"
                           << "Attenzione si stà aggiornando uno stato già esistente. Continuare?";
    QTest::newRow("tipi") << "tipi"
                          << "Attenzione si stà aggiornando uno tipo già esistente. Continuare?";
}

void TestTabelleCodici::selezioneEAggiornamento()
{
    QFETCH(QString, quale);
    QFETCH(QString, domanda);
    AmbienteTest amb;
    amb.sql(QStringLiteral("INSERT INTO %1 (%2, Descrizione) VALUES ('F', 'Ferie'), ('M', 'Malattia')")
                .arg(tabella(quale), campo(quale)));
    movimento(amb, 1, QStringLiteral("M"), QDate(2024, 2, 1), QStringLiteral("M"));
    const auto f = apri(amb, quale);
    const Griglia& g = f->tabella().griglia();
    seleziona(f.get(), 2);
    QCOMPARE(f->Indice(),
        amb.sql(QStringLiteral("SELECT Indice FROM %1 WHERE %2 = 'M'").arg(tabella(quale), campo(quale)))
            .toString());
    QCOMPARE(f->campoCodice()->text(), QStringLiteral("M"));
    QCOMPARE(f->campoDescrizione()->text(), QStringLiteral("Malattia"));
    for (int c = 0; c < 3; ++c)
        QCOMPARE(g.sfondo(2, c), TabellaCodici::ColoreEvidenza);
    seleziona(f.get(), 1);
    QCOMPARE(f->campoCodice()->text(), QStringLiteral("F"));
    QVERIFY(!g.sfondo(2, 1).isValid());
    QCOMPARE(g.sfondo(1, 1), TabellaCodici::ColoreEvidenza);
    seleziona(f.get(), 2);

    svuota(f->campoCodice());
    QTest::keyClicks(f->campoCodice(), QStringLiteral("mx"));
    svuota(f->campoDescrizione());
    QTest::keyClicks(f->campoDescrizione(), QStringLiteral("Malattia lunga"));
    auto* registra = f->findChild<QPushButton*>(QStringLiteral("Command2"));
    amb.messaggi.risposte.enqueue(Messaggi::No);
    QTest::mouseClick(registra, Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(), QStringList { domanda });
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Question);
    QCOMPARE(amb.messaggi.chiamate.first().pulsanti, Messaggi::Yes | Messaggi::No);
    // No: nothing changes, the fields stay as typed.
    QCOMPARE(
        contenuto(amb, quale), (QStringList { QStringLiteral("F=Ferie"), QStringLiteral("M=Malattia") }));
    QCOMPARE(f->campoCodice()->text(), QStringLiteral("mx"));
    QCOMPARE(f->campoDescrizione()->text(), QStringLiteral("Malattia lunga"));
    QCOMPARE(g.testo(2, 1), QStringLiteral("M"));
    QCOMPARE(g.sfondo(2, 1), TabellaCodici::ColoreEvidenza);

    amb.messaggi.risposte.enqueue(Messaggi::Yes);
    QTest::mouseClick(registra, Qt::LeftButton);
    QCOMPARE(contenuto(amb, quale),
        (QStringList { QStringLiteral("F=Ferie"), QStringLiteral("MX=Malattia lunga") }));
    QCOMPARE(g.testo(2, 1), QStringLiteral("MX"));
    QCOMPARE(f->Indice(), QString());
    QCOMPARE(f->campoCodice()->text(), QString());
    // Only the table changes: entries keep the old code.
    QCOMPARE(amb.sql(QStringLiteral("SELECT Stato || Tipo FROM TabellaMovimenti")).toString(),
        QStringLiteral("MM"));
}

void TestTabelleCodici::codiciDoppi()
{
    AmbienteTest amb;
    F_TabellaStati f(amb.archivio());
    for (const char* descrizione : { "Ferie", "Ferie ancora" }) {
        QTest::keyClicks(f.campoCodice(), QStringLiteral("F"));
        QTest::keyClicks(f.campoDescrizione(), QLatin1String(descrizione));
        QTest::keyClick(f.campoDescrizione(), Qt::Key_Return);
    }
    QVERIFY(amb.messaggi.chiamate.isEmpty());
    QCOMPARE(contenuto(amb, QStringLiteral("stati")),
        (QStringList { QStringLiteral("F=Ferie"), QStringLiteral("F=Ferie ancora") }));
    QCOMPARE(f.tabella().griglia().righe(), 3);
}

void TestTabelleCodici::cancellazione_data()
{
    QTest::addColumn<QString>("quale");
    QTest::addColumn<QString>("nessunaSelezione");
    QTest::addColumn<QString>("domanda");
    QTest::newRow("stati") << "stati"
                           << "Attenzione, selezionare lo stato da cancellare"
                           << "Attenzione, cancellare lo stato selezionato?";
    QTest::newRow("tipi") << "tipi"
                          << "Attenzione, selezionare il tipo da cancellare"
                          << "Attenzione, cancellare il tipo selezionato?";
}

void TestTabelleCodici::cancellazione()
{
    QFETCH(QString, quale);
    QFETCH(QString, nessunaSelezione);
    QFETCH(QString, domanda);
    AmbienteTest amb;
    amb.sql(QStringLiteral("INSERT INTO %1 (%2, Descrizione) VALUES ('F', 'Ferie'), ('M', 'Malattia')")
                .arg(tabella(quale), campo(quale)));
    const auto f = apri(amb, quale);
    auto* cancella = f->findChild<QPushButton*>(QStringLiteral("Command15"));

    // Nothing selected: told so, nothing asked.
    QTest::mouseClick(cancella, Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(), QStringList { nessunaSelezione });
    QCOMPARE(amb.messaggi.chiamate.first().icona, Messaggi::Critical);

    amb.messaggi.svuota();
    seleziona(f.get(), 1);
    amb.messaggi.risposte.enqueue(Messaggi::No);
    QTest::mouseClick(cancella, Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(), QStringList { domanda });
    QCOMPARE(contenuto(amb, quale).size(), 2);

    amb.messaggi.svuota();
    amb.messaggi.risposte.enqueue(Messaggi::Yes);
    QTest::mouseClick(cancella, Qt::LeftButton);
    QCOMPARE(amb.messaggi.testi(), (QStringList { domanda, QStringLiteral("Cancellazione Effettuata!") }));
    QCOMPARE(amb.messaggi.chiamate.last().icona, Messaggi::Information);
    QCOMPARE(contenuto(amb, quale), QStringList { QStringLiteral("M=Malattia") });
    QCOMPARE(f->tabella().griglia().righe(), 2);
    QCOMPARE(f->Indice(), QString());
    QCOMPARE(f->campoCodice()->text(), QString());
}

QTEST_MAIN(TestTabelleCodici)
#include "tst_tabellecodici.moc"
