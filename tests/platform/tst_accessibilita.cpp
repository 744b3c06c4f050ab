#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "gui/archive/Attendere.h"
#include "gui/archive/AvvioSelezione.h"
#include "gui/archive/F_CreazioneDB.h"
#include "archive/Percorsi.h"
#include "gui/diary/F_Avvio.h"
#include "comune/Orologio.h"
#include "masterdata/Configurazione.h"
#include "gui/masterdata/F_Calendario.h"
#include "gui/masterdata/F_Configurazioni.h"
#include "gui/masterdata/F_Pass.h"
#include "gui/masterdata/F_PercorsoBakup.h"
#include "gui/masterdata/F_SchedaDipendente.h"
#include "gui/masterdata/F_TabellaStati.h"
#include "gui/masterdata/F_TabellaTipi.h"
#include "gui/printing/F_SelezioneStampante.h"
#include "gui/printing/Lavagna.h"
#include "platform/Servizi.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <functional>
#include <memory>

// Screen readers read a window through the accessible names. A control that shows text must be
// announced by that text (its own name may only add to it), and a control without text must have
// a name, or the reader announces nothing useful.
class TestAccessibilita : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void nomiDelleFinestre_data();
    void nomiDelleFinestre();
    void nomiSeguonoIlTesto();

private:
    QTemporaryDir m_casa;
    QString m_modello;
};

namespace {

using Crea = std::function<QWidget*(AmbienteTest&)>;

void archivioConDati(AmbienteTest& amb)
{
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi Mario"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    tipo(amb, QStringLiteral("EXTRA"));
    Configurazione::Salva(amb.archivio(), AziendaDiProva(), {});
}

Lavagna* anteprima(AmbienteTest& amb)
{
    auto* l = new Lavagna(amb.sessione);
    l->InserisciDatiTestata(QStringLiteral("Stati:  (F) Ferie  -  (M) Malattia"));
    l->PreparaPagina(FotoGriglia(), QStringLiteral("Mese: Febbraio  Anno: 2024"));
    return l;
}

QString nomeLetto(QWidget* w)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QString();
}

// The text a person sees: without mnemonics, markup and repeated blanks.
QString testoVisibile(QWidget* w)
{
    QString t;
    if (auto* l = qobject_cast<QLabel*>(w)) {
        t = l->text();
        if (l->textFormat() == Qt::RichText || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(t))) {
            QTextDocument d;
            d.setHtml(t);
            t = d.toPlainText();
        }
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        t = b->text();
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        t = g->title();
    }
    t.replace(QLatin1String("&&"), QLatin1String("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return t.simplified();
}

bool haLettere(const QString& t)
{
    return std::any_of(t.cbegin(), t.cend(), [](QChar c) { return c.isLetterOrNumber(); });
}

// Parts of composite controls (a combo's field and list, a table's corner button) are read
// through their owner.
bool parteInterna(QWidget* w, QWidget* finestra)
{
    if (w->objectName().startsWith(QLatin1String("qt_")))
        return true;
    for (QWidget* p = w->parentWidget(); p && p != finestra; p = p->parentWidget())
        if (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractSpinBox*>(p)
            || qobject_cast<QAbstractItemView*>(p))
            return true;
    return false;
}

bool daNominare(QWidget* w)
{
    if (qobject_cast<QHeaderView*>(w))
        return false;
    return qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)
        || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QPlainTextEdit*>(w)
        || qobject_cast<QTextEdit*>(w);
}

QStringList difetti(QWidget* finestra)
{
    QStringList trovati;
    for (QWidget* w : finestra->findChildren<QWidget*>()) {
        if (parteInterna(w, finestra))
            continue;
        const QString nome = nomeLetto(w).simplified();
        const QString testo = testoVisibile(w);
        const bool mostraTesto
            = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w);
        const QString id
            = QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
        if (mostraTesto && haLettere(testo)) {
            if (!nome.startsWith(testo, Qt::CaseInsensitive))
                trovati << QStringLiteral("%1 mostra \"%2\" ma si chiama \"%3\"").arg(id, testo, nome);
        } else if ((qobject_cast<QAbstractButton*>(w) || daNominare(w)) && nome.isEmpty()) {
            trovati << id + QStringLiteral(" senza nome");
        }
    }
    return trovati;
}

} // namespace

Q_DECLARE_METATYPE(Crea)

void TestAccessibilita::initTestCase()
{
    // The selection window looks for its folders in the home folder.
    QVERIFY(m_casa.isValid());
    qputenv("HOME", QFile::encodeName(m_casa.path()));
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    servizi().cartellaEseguibile = m_casa.filePath(QStringLiteral("programma"));
    QDir().mkpath(m_casa.filePath(QStringLiteral("programma")));
    // One archive made once and copied for each window: the windows only read it.
    AmbienteTest amb;
    archivioConDati(amb);
    m_modello = m_casa.filePath(QStringLiteral("modello.mdb"));
    QVERIFY(QFile::copy(amb.archivio(), m_modello));
}

void TestAccessibilita::init()
{
    Orologio::ImpostaOggi(QDate(2024, 2, 14));
}

void TestAccessibilita::nomiDelleFinestre_data()
{
    QTest::addColumn<Crea>("crea");
    QTest::newRow("principale") << Crea(
        [](AmbienteTest& amb) { return static_cast<QWidget*>(F_Avvio::Apri(amb.sessione)); });
    QTest::newRow("selezione archivio")
        << Crea([](AmbienteTest& amb) { return new AvvioSelezione(amb.sessione); });
    QTest::newRow("attendere") << Crea([](AmbienteTest&) { return new Attendere; });
    QTest::newRow("creazione archivi")
        << Crea([](AmbienteTest& amb) { return new F_CreazioneDB(amb.sessione); });
    QTest::newRow("scheda dipendente")
        << Crea([](AmbienteTest& amb) { return new F_SchedaDipendente(amb.sessione); });
    QTest::newRow("tabella stati") << Crea(
        [](AmbienteTest& amb) { return new F_TabellaStati(amb.archivio()); });
    QTest::newRow("tabella tipi") << Crea(
        [](AmbienteTest& amb) { return new F_TabellaTipi(amb.archivio()); });
    QTest::newRow("configurazioni") << Crea(
        [](AmbienteTest& amb) { return new F_Configurazioni(amb.sessione); });
    QTest::newRow("password") << Crea([](AmbienteTest& amb) { return new F_Pass(amb.archivio()); });
    QTest::newRow("cartella backup") << Crea(
        [](AmbienteTest&) { return new F_PercorsoBakup(F_PercorsoBakup::Scopo::Backup); });
    QTest::newRow("calendario") << Crea(
        [](AmbienteTest&) { return new F_Calendario(nullptr, QStringLiteral("14/02/2024")); });
    QTest::newRow("stampante") << Crea(
        [](AmbienteTest& amb) { return new F_SelezioneStampante(amb.sessione); });
    QTest::newRow("anteprima di stampa")
        << Crea([](AmbienteTest& amb) { return static_cast<QWidget*>(anteprima(amb)); });
}

void TestAccessibilita::nomiDelleFinestre()
{
    QFETCH(Crea, crea);
    AmbienteTest amb(false);
    QVERIFY(QFile::copy(m_modello, amb.archivio()));
    std::unique_ptr<QWidget> finestra(crea(amb));
    QVERIFY(finestra);
    finestra->setAttribute(Qt::WA_DeleteOnClose, false);
    finestra->show();
    // Something was walked: every window has at least one captioned control.
    QVERIFY(!finestra->findChildren<QAbstractButton*>().isEmpty()
        || !finestra->findChildren<QLabel*>().isEmpty());
    const QStringList trovati = difetti(finestra.get());
    QVERIFY2(trovati.isEmpty(), qPrintable(trovati.join(QLatin1Char('\n'))));
}

void TestAccessibilita::nomiSeguonoIlTesto()
{
    AmbienteTest amb(false);
    QVERIFY(QFile::copy(m_modello, amb.archivio()));

    // The states legend follows the states table.
    {
        std::unique_ptr<F_Avvio> f(F_Avvio::Apri(amb.sessione));
        QVERIFY(f);
        f->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* legenda = f->findChild<QLabel*>(QStringLiteral("LabelInfo"));
        QCOMPARE(nomeLetto(legenda), QStringLiteral("Stati:  (F) Ferie  -  (M) Malattia"));
        stato(amb, QStringLiteral("P"), QStringLiteral("Permesso"));
        f->Form_Activate(false);
        QCOMPARE(nomeLetto(legenda), QStringLiteral("Stati:  (F) Ferie  -  (M) Malattia  -  (P) Permesso"));
    }

    // The card's save button says what it will do.
    {
        F_SchedaDipendente scheda(amb.sessione);
        scheda.show();
        auto* registra = scheda.findChild<QAbstractButton*>(QStringLiteral("Command4"));
        QCOMPARE(nomeLetto(registra), QStringLiteral("Inserisci"));
        scheda.findChild<QLineEdit*>(QStringLiteral("Indice"))->setText(QStringLiteral("1"));
        QCOMPARE(nomeLetto(registra), QStringLiteral("Modifica"));
    }

    // The preview's header reads as printed.
    {
        std::unique_ptr<Lavagna> l(anteprima(amb));
        QCOMPARE(nomeLetto(l->findChild<QLabel*>(QStringLiteral("RagSociale"))),
            QStringLiteral("Officine Rossi S.r.l."));
        QCOMPARE(nomeLetto(l->findChild<QLabel*>(QStringLiteral("Periodo"))),
            QStringLiteral("Mese: Febbraio  Anno: 2024"));
    }
}

QTEST_MAIN(TestAccessibilita)
#include "tst_accessibilita.moc"
