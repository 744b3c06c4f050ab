#include "AmbienteTest.h"
#include "Controlli.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "gui/archive/AvvioSelezione.h"
#include "gui/archive/F_ArchivioServer.h"
#include "archive/IndirizzoServer.h"
#include "archive/Backup.h"
#include "gui/archive/F_Info.h"
#include "archive/CreazioneDB.h"
#include "archive/Module1.h"
#include "archive/Percorsi.h"
#include "archive/Presenza.h"
#include "archive/Schema.h"
#include "platform/FileIni.h"
#include "platform/Piattaforma.h"
#include "comune/Orologio.h"
#include "platform/Servizi.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QTest>

#include <memory>

namespace {

// A fresh home folder (documents, shared folder) and program folder for each test, and a main
// window stand-in that the selection window hands over to.
class Ambiente
{
public:
    Ambiente()
        : amb(false)
    {
        casa = amb.percorso(QStringLiteral("casa"));
        programma = amb.percorso(QStringLiteral("programma"));
        QDir().mkpath(casa);
        QDir().mkpath(programma);
        qputenv("HOME", QFile::encodeName(casa));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        servizi().cartellaEseguibile = programma;
        amb.sessione.CartellaInf.clear();
        servizi().apriPrincipale = [this] {
            ++aperture;
            principale.show();
        };
        Orologio::ImpostaOggi(QDate(2026, 12, 7));
    }
    ~Ambiente()
    {
        servizi().apriPrincipale = {};
        servizi().cartellaEseguibile.clear();
        Orologio::ImpostaOggi({});
        Presenza::Termina();
    }

    QString documenti() const { return QDir(casa).filePath(QStringLiteral("Documents/Archivi Cartavia")); }
    QString condivisa() const { return QDir(casa).filePath(QStringLiteral(".local/share/Rovello")); }
    static void creaArchivio(const QString& percorso)
    {
        QDir().mkpath(QFileInfo(percorso).path());
        QVERIFY(CreazioneDB().CreaDB(percorso));
    }
    QString leggiInf(const QString& cartella, const QString& chiave) const
    {
        return FileIni::Leggi(
            QDir(cartella).filePath(QStringLiteral("Cartavia.inf")), QStringLiteral("Database"), chiave);
    }

    AmbienteTest amb;
    QString casa;
    QString programma;
    QWidget principale;
    int aperture = 0;
};

QListWidget* lista(QWidget& w)
{
    return figlio<QListWidget>(w, "CartellaArchivi");
}

QStringList voci(QWidget& w)
{
    QStringList r;
    for (int i = 0; i < lista(w)->count(); ++i)
        r << lista(w)->item(i)->text();
    return r;
}

QString voceCorrente(QWidget& w)
{
    return lista(w)->currentItem() ? lista(w)->currentItem()->text() : QString();
}

void clicca(QWidget& w, const char* nome)
{
    QAbstractButton* b = figlio<QAbstractButton>(w, nome);
    // A check box reacts on its box and text only, not across the whole row it spans.
    const QPoint punto = qobject_cast<QCheckBox*>(b) ? QPoint(6, b->height() / 2) : b->rect().center();
    QTest::mouseClick(b, Qt::LeftButton, {}, punto);
}

void scegliVoce(QWidget& w, const QString& testo)
{
    const QList<QListWidgetItem*> trovate = lista(w)->findItems(testo, Qt::MatchExactly);
    QVERIFY(!trovate.isEmpty());
    const QRect r = lista(w)->visualItemRect(trovate.first());
    QTest::mouseClick(lista(w)->viewport(), Qt::LeftButton, {}, r.center());
}

QString leggiFile(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace

class TestAvvioSelezione : public QObject
{
    Q_OBJECT

private slots:
    void primoAvvioSenzaFileDiPosizione();
    void creaNuovoArchivio();
    void nomeDiArchivio_data();
    void nomeDiArchivio();
    void nomiRifiutatiDallaFinestra();
    void sceltaERiavvio();
    void cartellaProgrammaNonScrivibile_data();
    void cartellaProgrammaNonScrivibile();
    void spostamentoDalVecchioPercorso();
    void layoutCompattoEdEsteso();
    void cartellaIlleggibileEAggiornamento();
    void percorsoArchivi();
    void areaBackup();
    void okSuUnFileCheNonEUnArchivio();
    void invioNellaLista();
    void annullaEInfo();
    void aggiornamentoNonDisponibile();
    void ottimizzaDallaFinestra();
    void importaArchivioPrecedente();
    void archivioSuServer();
    void percorsoADaCapo_data();
    void percorsoADaCapo();
};

void TestAvvioSelezione::primoAvvioSenzaFileDiPosizione()
{
    Ambiente a;
    AvvioSelezione w(a.amb.sessione);
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("Cartavia ver.2.0.6"));
    QCOMPARE(w.Percorso(), a.documenti());
    QVERIFY(QFileInfo(a.documenti()).isDir());
    QVERIFY(voci(w).isEmpty());
    QCOMPARE(w.Nome(), QString());
    QVERIFY(!figlio<QPushButton>(w, "OK")->isEnabled());
    QVERIFY(figlio<QLabel>(w, "Messaggio")->isHidden());
    // An empty folder says how to begin, with the window's own captions.
    auto* suggerimento = figlio<QLabel>(w, "SuggerimentoCartellaVuota");
    QVERIFY(suggerimento->isVisible());
    for (const char* pulsante : { "Impostazioni", "CreaNuovoArchivio" })
        QVERIFY(
            suggerimento->text().contains(figlio<QPushButton>(w, pulsante)->text().remove(QLatin1Char('&'))));
    QCOMPARE(a.amb.sessione.CartellaProgramma, a.programma);
    QCOMPARE(a.amb.sessione.CartellaInf, a.programma);
    QCOMPARE(a.amb.sessione.CartellaCondivisa, a.condivisa());
    QVERIFY(QFileInfo(a.condivisa()).isDir());
    QVERIFY(!w.TimerRefresh.isActive());
    QCOMPARE(w.TimerRefresh.interval(), 5000);
    QVERIFY(a.amb.messaggi.chiamate.isEmpty());
    // OK does nothing without an archive.
    w.OK_Click();
    QCOMPARE(a.aperture, 0);
}

void TestAvvioSelezione::creaNuovoArchivio()
{
    Ambiente a;
    AvvioSelezione w(a.amb.sessione);
    w.show();
    clicca(w, "Impostazioni");
    a.amb.messaggi.testiInput << QStringLiteral("Prova 1");
    clicca(w, "CreaNuovoArchivio");

    const QString archivio = QDir(a.documenti()).filePath(QStringLiteral("Prova 1.mdb"));
    QCOMPARE(a.amb.messaggi.richiesteInput,
        QStringList { QStringLiteral("Indicare il nome dell'archivio da creare") });
    QCOMPARE(a.amb.messaggi.testi(), QStringList { QStringLiteral("Operazione Effettuata") });
    QCOMPARE(a.amb.messaggi.chiamate.at(0).icona, Messaggi::Information);
    QVERIFY(QFileInfo(archivio).isFile());
    {
        Archivio db(archivio);
        for (const Schema::Tabella& t : Schema::Tabelle())
            QVERIFY2(db.esisteTabella(t.nome), qPrintable(t.nome));
        QCOMPARE(db.valore(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
        QCOMPARE(db.valore(QStringLiteral("SELECT PercorsoBackup FROM Configurazioni")).toString(),
            Piattaforma::CartellaBackupPredefinita());
        QCOMPARE(db.valore(QStringLiteral("SELECT Password FROM Configurazioni")).toString(), QString());
    }
    QCOMPARE(voci(w), QStringList { QStringLiteral("Prova 1.mdb") });
    QVERIFY(figlio<QLabel>(w, "SuggerimentoCartellaVuota")->isHidden());
    QCOMPARE(voceCorrente(w), QStringLiteral("Prova 1.mdb"));
    QCOMPARE(w.Nome(), QStringLiteral("Prova 1.mdb"));
    QCOMPARE(a.amb.sessione.PercorsoArchivio, archivio);
    QVERIFY(figlio<QPushButton>(w, "OK")->isEnabled());
    QCOMPARE(a.leggiInf(a.programma, QStringLiteral("Nome")), QStringLiteral("Prova 1.mdb"));
    QCOMPARE(figlio<QLabel>(w, "LabelBackup")->text(),
        QStringLiteral("PERCORSO CARTELLA DI BACKUP PER L'ARCHIVIO: Prova 1.mdb"));

    // The same name again creates nothing and keeps the archive.
    dipendente(archivio, QStringLiteral("tenuto"), {});
    a.amb.messaggi.svuota();
    a.amb.messaggi.testiInput << QStringLiteral("Prova 1");
    clicca(w, "CreaNuovoArchivio");
    QCOMPARE(a.amb.messaggi.testi(), QStringList { QStringLiteral("L'archivio «Prova 1.mdb» esiste già.") });
    QCOMPARE(
        AmbienteTest::sqlSu(archivio, QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche")).toInt(), 1);
}

void TestAvvioSelezione::nomeDiArchivio_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<bool>("accettato");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("lettere, cifre, spazi") << "Prova 1" << true << "";
    QTest::newRow("simboli ammessi") << "Ditta (2024)-sede_1" << true << "";
    QTest::newRow("barra") << "Prova/1" << false << "Il Carattere / non è ammesso";
    QTest::newRow("solo trattini bassi") << "___" << false << "";
    QTest::newRow("solo simboli ammessi") << "( - )" << false << "";
    QTest::newRow("lettera accentata") << "Caffè" << false << "Il Carattere è non è ammesso";
    QTest::newRow("punto") << "a.b" << false << "Il Carattere . non è ammesso";
    QTest::newRow("primo rifiutato") << "a*b?" << false << "Il Carattere * non è ammesso";
}

void TestAvvioSelezione::nomeDiArchivio()
{
    QFETCH(QString, nome);
    QFETCH(bool, accettato);
    QFETCH(QString, messaggio);
    AmbienteTest amb(false);
    QCOMPARE(Percorsi::ControlloNomeDbOk(nome), accettato);
    QCOMPARE(amb.messaggi.testi(), messaggio.isEmpty() ? QStringList() : QStringList { messaggio });
    if (!messaggio.isEmpty())
        QCOMPARE(amb.messaggi.chiamate.at(0).icona, Messaggi::Information);
}

void TestAvvioSelezione::nomiRifiutatiDallaFinestra()
{
    Ambiente a;
    AvvioSelezione w(a.amb.sessione);
    w.show();
    a.amb.messaggi.testiInput << QStringLiteral("Prova/1") << QStringLiteral("___") << QStringLiteral("   ");
    w.CreaNuovoArchivio_Click();
    // A refused name comes back in the box for correction, until a blank answer gives up.
    QCOMPARE(a.amb.messaggi.predefinitiInput,
        (QStringList { QString(), QStringLiteral("Prova/1"), QStringLiteral("___") }));
    w.CreaNuovoArchivio_Click();
    QCOMPARE(a.amb.messaggi.testi(), QStringList { QStringLiteral("Il Carattere / non è ammesso") });
    QVERIFY(QDir(a.documenti()).entryList(QDir::Files).isEmpty());
    QVERIFY(voci(w).isEmpty());
    QVERIFY(!figlio<QPushButton>(w, "OK")->isEnabled());
}

void TestAvvioSelezione::sceltaERiavvio()
{
    Ambiente a;
    Ambiente::creaArchivio(QDir(a.documenti()).filePath(QStringLiteral("Alfa.mdb")));
    Ambiente::creaArchivio(QDir(a.documenti()).filePath(QStringLiteral("beta.mdb")));
    const QString beta = QDir(a.documenti()).filePath(QStringLiteral("beta.mdb"));
    {
        AvvioSelezione w(a.amb.sessione);
        w.show();
        QCOMPARE(voci(w), QStringList({ QStringLiteral("Alfa.mdb"), QStringLiteral("beta.mdb") }));
        // Nothing remembered yet: the first archive is proposed.
        QCOMPARE(voceCorrente(w), QStringLiteral("Alfa.mdb"));
        QCOMPARE(w.Nome(), QStringLiteral("Alfa.mdb"));
        scegliVoce(w, QStringLiteral("beta.mdb"));
        QCOMPARE(w.Nome(), QStringLiteral("beta.mdb"));
        w.ApriChiudiImpostazioni(true);
        clicca(w, "OK");
        QCOMPARE(a.aperture, 1);
        QVERIFY(w.isHidden());
        QVERIFY(!w.ImpostazioniAperte());
        QCOMPARE(a.amb.sessione.PercorsoArchivio, beta);
        QCOMPARE(a.amb.sessione.NomeArchivio, QStringLiteral("beta.mdb"));
        QCOMPARE(a.amb.sessione.CartellaArchiviScelta, a.documenti());
        QCOMPARE(Presenza::ArchivioInUso(), beta);
        QCOMPARE(leggiFile(QDir(a.programma).filePath(QStringLiteral("Percorso.txt"))).trimmed(), beta);
        QCOMPARE(a.leggiInf(a.programma, QStringLiteral("Nome")), QStringLiteral("beta.mdb"));
        QCOMPARE(a.leggiInf(a.programma, QStringLiteral("Percorso")), a.documenti());
    }
    Presenza::Termina();
    a.principale.hide();
    a.amb.sessione.PercorsoArchivio.clear();

    AvvioSelezione nuova(a.amb.sessione);
    nuova.show();
    QCOMPARE(nuova.Nome(), QStringLiteral("beta.mdb"));
    QCOMPARE(voceCorrente(nuova), QStringLiteral("beta.mdb"));
    QCOMPARE(a.amb.sessione.PercorsoArchivio, beta);
    QVERIFY(figlio<QPushButton>(nuova, "OK")->isEnabled());
}

void TestAvvioSelezione::cartellaProgrammaNonScrivibile_data()
{
    QTest::addColumn<bool>("eUnFile");
    QTest::newRow("cartella mancante") << false;
    QTest::newRow("un file al posto della cartella") << true;
}

void TestAvvioSelezione::cartellaProgrammaNonScrivibile()
{
    QFETCH(bool, eUnFile);
    Ambiente a;
    // Whoever runs the tests, nothing can be written inside a folder that is missing or is a file.
    const QString programma = a.amb.percorso(QStringLiteral("installato"));
    if (eUnFile) {
        QFile f(programma);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    servizi().cartellaEseguibile = programma;
    Ambiente::creaArchivio(QDir(a.documenti()).filePath(QStringLiteral("Archivio.mdb")));
    AvvioSelezione w(a.amb.sessione);
    w.show();
    QCOMPARE(a.amb.sessione.CartellaInf, a.condivisa());
    clicca(w, "OK");
    QCOMPARE(a.aperture, 1);
    QCOMPARE(a.leggiInf(a.condivisa(), QStringLiteral("Nome")), QStringLiteral("Archivio.mdb"));
    QCOMPARE(leggiFile(QDir(a.condivisa()).filePath(QStringLiteral("Percorso.txt"))).trimmed(),
        QDir(a.documenti()).filePath(QStringLiteral("Archivio.mdb")));
    QVERIFY(!QFileInfo::exists(QDir(programma).filePath(QStringLiteral("Cartavia.inf"))));
}

void TestAvvioSelezione::spostamentoDalVecchioPercorso()
{
    Ambiente a;
    const QString vecchiaCartella = QDir(Piattaforma::CartellaSpeciale(QStringLiteral("CartellaProgrammi")))
                                        .filePath(QStringLiteral("Cartavia"));
    Ambiente::creaArchivio(QDir(vecchiaCartella).filePath(QStringLiteral("Archivio.mdb")));
    {
        QFile f(QDir(a.programma).filePath(QStringLiteral("Percorso.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QFile::encodeName(QDir(vecchiaCartella).filePath(QStringLiteral("Archivio.mdb"))) + "\r\n");
    }
    {
        AvvioSelezione w(a.amb.sessione);
        w.show();
        QCOMPARE(w.Percorso(), vecchiaCartella);
        QCOMPARE(w.Nome(), QStringLiteral("Archivio.mdb"));
    }

    // With "Vendrale.inf" beside the location file the old path is not taken again.
    QFile::remove(QDir(a.programma).filePath(QStringLiteral("Cartavia.inf")));
    {
        QFile f(QDir(a.programma).filePath(QStringLiteral("Percorso.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QFile::encodeName(QDir(vecchiaCartella).filePath(QStringLiteral("Archivio.mdb"))) + "\n");
        QFile v(QDir(a.programma).filePath(QStringLiteral("Vendrale.inf")));
        QVERIFY(v.open(QIODevice::WriteOnly));
    }
    AvvioSelezione w(a.amb.sessione);
    w.show();
    QCOMPARE(w.Percorso(), a.documenti());
}

void TestAvvioSelezione::layoutCompattoEdEsteso()
{
    Ambiente a;
    AvvioSelezione w(a.amb.sessione);
    w.show();
    const int larghezza = 9405 / 15;
    QCOMPARE(w.width(), larghezza);
    QVERIFY(!w.ImpostazioniAperte());
    QVERIFY(figlio<QWidget>(w, "prima_linea")->isVisible());
    QVERIFY(!figlio<QWidget>(w, "CreaNuovoArchivio")->isVisible());
    const int compatta = w.height();

    clicca(w, "Impostazioni");
    QVERIFY(w.ImpostazioniAperte());
    QCOMPARE(w.width(), larghezza);
    QVERIFY(!figlio<QWidget>(w, "prima_linea")->isVisible());
    for (const char* nome : { "CreaNuovoArchivio", "OttimizzaArchivio", "SelezionaPercorso",
             "ReImpostaPercorso", "ApriCartellaArchivi", "SelezionaPercorsoBackup", "Backup",
             "ApriCartellaBakcup", "SalvataggioAutomatico", "AggiornamentoOnLine", "Seconda_Linea" }) {
        QWidget* c = figlio<QWidget>(w, nome);
        QVERIFY2(c->isVisible(), nome);
        // Nothing sticks out of the window.
        QVERIFY2(w.rect().contains(QRect(c->mapTo(&w, QPoint(0, 0)), c->size())), nome);
    }
    QVERIFY(w.height() > compatta);
    QCOMPARE(figlio<QAbstractButton>(w, "AggiornamentoOnLine")->text(),
        QStringLiteral("SCARICA AGGIORNAMENTI ON LINE"));
    QCOMPARE(figlio<QAbstractButton>(w, "SalvataggioAutomatico")->text(),
        QStringLiteral("Abilita Salvataggio Automatico Archivi"));

    clicca(w, "Impostazioni");
    QCOMPARE(w.height(), compatta);
    QCOMPARE(w.width(), larghezza);
}

void TestAvvioSelezione::cartellaIlleggibileEAggiornamento()
{
    Ambiente a;
    const QString cartella = a.amb.percorso(QStringLiteral("rete/archivi"));
    FileIni::Scrivi(QDir(a.programma).filePath(QStringLiteral("Cartavia.inf")), QStringLiteral("Database"),
        QStringLiteral("Percorso"), cartella);
    FileIni::Scrivi(QDir(a.programma).filePath(QStringLiteral("Cartavia.inf")), QStringLiteral("Database"),
        QStringLiteral("Nome"), QStringLiteral("Ditta.mdb"));
    AvvioSelezione w(a.amb.sessione);
    w.show();
    QCOMPARE(w.Percorso(), cartella);
    QCOMPARE(w.Nome(), QString());
    QCOMPARE(w.Messaggio(), QStringLiteral("76 (Impossibile trovare il percorso)"));
    QVERIFY(figlio<QLabel>(w, "Messaggio")->isVisible());
    QVERIFY(!figlio<QPushButton>(w, "OK")->isEnabled());

    // The folder comes back (a network share reconnected): the next refresh finds the archives.
    Ambiente::creaArchivio(QDir(cartella).filePath(QStringLiteral("Ditta.mdb")));
    Ambiente::creaArchivio(QDir(cartella).filePath(QStringLiteral("Altra.mdb")));
    w.TimerRefresh_Timer();
    QCOMPARE(w.Messaggio(), QString());
    QVERIFY(figlio<QLabel>(w, "Messaggio")->isHidden());
    QCOMPARE(voci(w), QStringList({ QStringLiteral("Altra.mdb"), QStringLiteral("Ditta.mdb") }));
    QCOMPARE(w.Nome(), QStringLiteral("Altra.mdb"));
    QVERIFY(figlio<QPushButton>(w, "OK")->isEnabled());

    // A file added while the file manager is open appears at the next tick; the choice stays.
    scegliVoce(w, QStringLiteral("Ditta.mdb"));
    Ambiente::creaArchivio(QDir(cartella).filePath(QStringLiteral("Zeta.mdb")));
    w.TimerRefresh_Timer();
    QCOMPARE(voci(w).size(), 3);
    QCOMPARE(voceCorrente(w), QStringLiteral("Ditta.mdb"));
    QCOMPARE(w.Nome(), QStringLiteral("Ditta.mdb"));

    // The chosen archive vanishes: the first one is proposed.
    QVERIFY(QFile::remove(QDir(cartella).filePath(QStringLiteral("Ditta.mdb"))));
    w.TimerRefresh_Timer();
    QCOMPARE(w.Nome(), QStringLiteral("Altra.mdb"));
}

void TestAvvioSelezione::percorsoArchivi()
{
    Ambiente a;
    AvvioSelezione w(a.amb.sessione);
    w.show();
    w.ApriChiudiImpostazioni(true);
    clicca(w, "ReImpostaPercorso");
    QCOMPARE(a.amb.messaggi.testi(),
        QStringList { QStringLiteral("Il percorso predefinito è già quello impostato") });
    QCOMPARE(a.amb.messaggi.chiamate.at(0).icona, Messaggi::Information);

    const QString altra = a.amb.percorso(QStringLiteral("altri archivi"));
    Ambiente::creaArchivio(QDir(altra).filePath(QStringLiteral("Storico.mdb")));
    a.amb.messaggi.cartelle << altra;
    clicca(w, "SelezionaPercorso");
    QCOMPARE(a.amb.messaggi.cartelleIniziali, QStringList { a.documenti() });
    QCOMPARE(w.Percorso(), altra);
    QCOMPARE(w.Nome(), QStringLiteral("Storico.mdb"));
    QCOMPARE(a.leggiInf(a.programma, QStringLiteral("Percorso")), altra);

    // Cancel in the chooser keeps the folder.
    clicca(w, "SelezionaPercorso");
    QCOMPARE(w.Percorso(), altra);

    a.amb.messaggi.svuota();
    a.amb.messaggi.risposte << Messaggi::No << Messaggi::Yes;
    clicca(w, "ReImpostaPercorso");
    QCOMPARE(w.Percorso(), altra);
    clicca(w, "ReImpostaPercorso");
    QCOMPARE(a.amb.messaggi.testi(),
        QStringList(
            2, QStringLiteral("Reimpostare il percorso della cartella archivi in :\n\n") + a.documenti()));
    QCOMPARE(w.Percorso(), a.documenti());
    QCOMPARE(w.Nome(), QString());
    QCOMPARE(a.leggiInf(a.programma, QStringLiteral("Percorso")), a.documenti());
}

void TestAvvioSelezione::areaBackup()
{
    Ambiente a;
    const QString alfa = QDir(a.documenti()).filePath(QStringLiteral("Alfa.mdb"));
    Ambiente::creaArchivio(alfa);
    Ambiente::creaArchivio(QDir(a.documenti()).filePath(QStringLiteral("Beta.mdb")));
    const QString cartellaAlfa = a.amb.percorso(QStringLiteral("copie di alfa"));
    QDir().mkpath(cartellaAlfa);
    azienda(alfa, { { "PercorsoBackup", cartellaAlfa }, { "SalvataggioAutomatico", 1 } });
    AvvioSelezione w(a.amb.sessione);
    w.show();
    w.ApriChiudiImpostazioni(true);
    auto* label = figlio<QLabel>(w, "LabelBackup");
    auto* automatico = figlio<QCheckBox>(w, "SalvataggioAutomatico");
    QCOMPARE(w.Nome(), QStringLiteral("Alfa.mdb"));
    QCOMPARE(label->text(), QStringLiteral("PERCORSO CARTELLA DI BACKUP PER L'ARCHIVIO: Alfa.mdb"));
    QCOMPARE(w.PercorsoBackup(), cartellaAlfa);
    QVERIFY(automatico->isChecked());

    scegliVoce(w, QStringLiteral("Beta.mdb"));
    QCOMPARE(label->text(), QStringLiteral("PERCORSO CARTELLA BACKUP"));
    QCOMPARE(w.PercorsoBackup(), Piattaforma::CartellaBackupPredefinita());
    QVERIFY(!automatico->isChecked());

    scegliVoce(w, QStringLiteral("Alfa.mdb"));
    clicca(w, "SalvataggioAutomatico");
    QCOMPARE(
        AmbienteTest::sqlSu(alfa, QStringLiteral("SELECT SalvataggioAutomatico FROM Configurazioni")).toInt(),
        0);
    const QString nuova = a.amb.percorso(QStringLiteral("nuove copie"));
    a.amb.messaggi.cartelle << nuova;
    clicca(w, "SelezionaPercorsoBackup");
    QCOMPARE(a.amb.messaggi.cartelleIniziali, QStringList { cartellaAlfa });
    QCOMPARE(
        AmbienteTest::sqlSu(alfa, QStringLiteral("SELECT PercorsoBackup FROM Configurazioni")).toString(),
        nuova);
    QCOMPARE(AmbienteTest::sqlSu(alfa, QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);

    a.amb.messaggi.risposte << Messaggi::Yes;
    clicca(w, "Backup");
    QCOMPARE(a.amb.messaggi.testi(),
        QStringList({ QStringLiteral("ESEGUO IL SALVATAGGIO ARCHIVIO SU HARD DISK?"),
            QStringLiteral("PROCEDURA TERMINATA") }));
    QVERIFY(QFileInfo(QDir(nuova).filePath(QStringLiteral("071226-Alfa.mdb"))).isFile());

    // Beta had no settings row: ticking the box makes one. The folder shown is this computer's
    // default; the archive may be shared, so none is stored and each computer keeps its own.
    scegliVoce(w, QStringLiteral("Beta.mdb"));
    clicca(w, "SalvataggioAutomatico");
    const QString beta = QDir(a.documenti()).filePath(QStringLiteral("Beta.mdb"));
    QCOMPARE(
        AmbienteTest::sqlSu(beta, QStringLiteral("SELECT SalvataggioAutomatico FROM Configurazioni")).toInt(),
        1);
    QCOMPARE(
        AmbienteTest::sqlSu(beta, QStringLiteral("SELECT PercorsoBackup FROM Configurazioni")).toString(),
        QString());
    QCOMPARE(label->text(), QStringLiteral("PERCORSO CARTELLA DI BACKUP PER L'ARCHIVIO: Beta.mdb"));
    // Chosen again later, the blank folder still shows as the default and stays blank.
    scegliVoce(w, QStringLiteral("Alfa.mdb"));
    scegliVoce(w, QStringLiteral("Beta.mdb"));
    QCOMPARE(w.PercorsoBackup(), Piattaforma::CartellaBackupPredefinita());
    QCOMPARE(figlio<QLabel>(w, "PercorsoBackup")->toolTip(), Piattaforma::CartellaBackupPredefinita());
    QVERIFY(automatico->isChecked());
    clicca(w, "SalvataggioAutomatico");
    const QString riga = AmbienteTest::sqlSu(beta,
        QStringLiteral("SELECT ifnull(PercorsoBackup, '') || '|' || "
                       "SalvataggioAutomatico FROM Configurazioni"))
                             .toString();
    QCOMPARE(riga, QStringLiteral("|0"));
}

void TestAvvioSelezione::okSuUnFileCheNonEUnArchivio()
{
    Ambiente a;
    QDir().mkpath(a.documenti());
    {
        QFile f(QDir(a.documenti()).filePath(QStringLiteral("Vecchio.mdb")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("Standard Jet DB").leftJustified(4096, '\0'));
    }
    AvvioSelezione w(a.amb.sessione);
    w.show();
    QCOMPARE(w.Nome(), QStringLiteral("Vecchio.mdb"));
    clicca(w, "OK");
    QCOMPARE(a.aperture, 0);
    QVERIFY(w.isVisible());
    QCOMPARE(a.amb.messaggi.chiamate.size(), 1);
    QCOMPARE(a.amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);
    QVERIFY(a.amb.messaggi.testi().at(0).contains(QStringLiteral("non è un archivio")));
    QCOMPARE(Presenza::ArchivioInUso(), QString());
}

void TestAvvioSelezione::invioNellaLista()
{
    Ambiente a;
    Ambiente::creaArchivio(QDir(a.documenti()).filePath(QStringLiteral("Archivio.mdb")));
    AvvioSelezione w(a.amb.sessione);
    w.show();
    w.TimerRefresh.start();
    QTest::keyClick(lista(w), Qt::Key_Return);
    QCOMPARE(a.aperture, 1);
    QVERIFY(w.isHidden());
    QVERIFY(!w.TimerRefresh.isActive());

    // "Disconnetti" brings the window back; a double click opens again.
    Presenza::Termina();
    a.principale.hide();
    w.MostraDiNuovo();
    QVERIFY(w.isVisible());
    const QRect r = lista(w)->visualItemRect(lista(w)->item(0));
    QTest::mouseClick(lista(w)->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(lista(w)->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(a.aperture, 2);

    // Without a main window on screen the choice stays open rather than leaving nothing visible.
    Presenza::Termina();
    a.principale.hide();
    w.MostraDiNuovo();
    servizi().apriPrincipale = [&a] { ++a.aperture; };
    clicca(w, "OK");
    QCOMPARE(a.aperture, 3);
    QVERIFY(w.isVisible());
    QCOMPARE(Presenza::ArchivioInUso(), QString());
}

void TestAvvioSelezione::annullaEInfo()
{
    Ambiente a;
    AvvioSelezione w(a.amb.sessione);
    w.show();
    clicca(w, "MostraInfo");
    QPointer<F_Info> info = w.findChild<F_Info*>();
    QVERIFY(info);
    QVERIFY(info->isVisible());
    QVERIFY(info->isModal());
    QCOMPARE(figlio<QLabel>(*info, "Versione")->text(), QStringLiteral("Versione 2.0.6"));
    QVERIFY(a.amb.messaggi.chiamate.isEmpty());

    // The two buttons hand the program's addresses to the mail program and the browser.
    clicca(*info, "Posta");
    clicca(*info, "Web");
    QCOMPARE(a.amb.urlAperti, (QList<QUrl> { QUrl(Module1::IndirizzoPosta), QUrl(Module1::IndirizzoWeb) }));
    QCOMPARE(a.amb.urlAperti.at(0).scheme(), QStringLiteral("mailto"));
    QCOMPARE(a.amb.urlAperti.at(1).scheme(), QStringLiteral("https"));
    QVERIFY(figlio<QPushButton>(*info, "Posta")->text().contains(a.amb.urlAperti.at(0).path()));
    QVERIFY(a.amb.messaggi.chiamate.isEmpty());
    // A computer with no program for it says so.
    servizi().apriUrl = [](const QUrl&) { return false; };
    clicca(*info, "Posta");
    QCOMPARE(a.amb.messaggi.chiamate.size(), 1);
    QCOMPARE(a.amb.messaggi.chiamate.at(0).icona, Messaggi::Warning);
    QVERIFY(a.amb.messaggi.testi().at(0).contains(a.amb.urlAperti.at(0).path()));
    clicca(*info, "Chiudi");
    QTRY_VERIFY(!info);

    QCOMPARE(a.amb.terminazioni, 0);
    clicca(w, "annulla");
    QCOMPARE(a.amb.terminazioni, 1);
}

void TestAvvioSelezione::aggiornamentoNonDisponibile()
{
    Ambiente a;
    AvvioSelezione w(a.amb.sessione);
    w.show();
    w.ApriChiudiImpostazioni(true);
    a.amb.messaggi.risposte << Messaggi::No;
    clicca(w, "AggiornamentoOnLine");
    const QString inf = QDir(a.condivisa()).filePath(QStringLiteral("Programma.inf"));
    QVERIFY(!QFileInfo::exists(inf));

    a.amb.messaggi.risposte << Messaggi::Yes;
    clicca(w, "AggiornamentoOnLine");
    QCOMPARE(a.amb.messaggi.testi(),
        QStringList({ QStringLiteral("Controllare su internet la presenza di aggiornamenti?"),
            QStringLiteral("Controllare su internet la presenza di aggiornamenti?"),
            QStringLiteral("Funzione non disponibile") }));
    QCOMPARE(a.amb.messaggi.chiamate.last().icona, Messaggi::Warning);
    QCOMPARE(FileIni::Leggi(inf, QStringLiteral("Programma"), QStringLiteral("Programma")),
        QStringLiteral("Cartavia"));
    QCOMPARE(FileIni::Leggi(inf, QStringLiteral("Programma"), QStringLiteral("Versione")),
        QStringLiteral("2.0.6"));
    QCOMPARE(FileIni::Leggi(inf, QStringLiteral("Programma"), QStringLiteral("Percorso")), a.programma);
}

void TestAvvioSelezione::ottimizzaDallaFinestra()
{
    Ambiente a;
    const QString archivio = QDir(a.documenti()).filePath(QStringLiteral("Archivio.mdb"));
    Ambiente::creaArchivio(archivio);
    AvvioSelezione w(a.amb.sessione);
    w.show();
    w.ApriChiudiImpostazioni(true);
    a.amb.messaggi.testiInput << QStringLiteral("Confermo") << QStringLiteral("confermo");
    a.amb.messaggi.risposte << Messaggi::Yes;
    clicca(w, "OttimizzaArchivio");
    QVERIFY(a.amb.messaggi.chiamate.isEmpty());
    clicca(w, "OttimizzaArchivio");
    QCOMPARE(a.amb.messaggi.testi().last(), QStringLiteral("Ottimizzazione conclusa"));
    QCOMPARE(a.amb.messaggi.chiamate.last().icona, Messaggi::Information);
    Archivio::Verifica(archivio);
}

// The old file's name is proposed, then the same name with a number once it is taken; the new
// archive is chosen in the list and the report shown; a refused file leaves the folder alone.
void TestAvvioSelezione::importaArchivioPrecedente()
{
    Ambiente a;
    AvvioSelezione w(a.amb.sessione);
    w.show();
    w.ApriChiudiImpostazioni(true);
    const QString vecchio = QDir(qEnvironmentVariable("CARTAVIA_SOURCE_DIR"))
                                .filePath(QStringLiteral("tests/archive/jet/archivio_jet4.mdb"));
    for (const QString& nome : { QStringLiteral("archivio_jet4"), QStringLiteral("archivio_jet4 (2)") }) {
        a.amb.messaggi.svuota();
        a.amb.messaggi.file << vecchio;
        a.amb.messaggi.testiInput << nome;
        clicca(w, "ImportaArchivioPrecedente");
        QCOMPARE(a.amb.messaggi.predefinitiInput.last(), nome);
        QCOMPARE(a.amb.messaggi.chiamate.size(), 1);
        QCOMPARE(a.amb.messaggi.chiamate.at(0).icona, Messaggi::Information);
        QVERIFY2(a.amb.messaggi.testi().at(0).contains(
                     QStringLiteral("TabellaMovimenti: 728 righe lette, 728 scritte.")),
            qPrintable(a.amb.messaggi.testi().at(0)));
        QCOMPARE(voceCorrente(w), nome + QStringLiteral(".mdb"));
        QCOMPARE(
            a.amb.sessione.PercorsoArchivio, QDir(a.documenti()).filePath(nome + QStringLiteral(".mdb")));
    }
    a.amb.messaggi.svuota();
    a.amb.messaggi.file << QDir(qEnvironmentVariable("CARTAVIA_SOURCE_DIR"))
                               .filePath(QStringLiteral("tests/archive/jet/cifrato.mdb"));
    a.amb.messaggi.testiInput << QStringLiteral("Cifrato");
    clicca(w, "ImportaArchivioPrecedente");
    QCOMPARE(a.amb.messaggi.chiamate.size(), 1);
    QCOMPARE(a.amb.messaggi.chiamate.at(0).icona, Messaggi::Critical);
    QCOMPARE(voci(w),
        (QStringList { QStringLiteral("archivio_jet4 (2).mdb"), QStringLiteral("archivio_jet4.mdb") }));
    QCOMPARE(QDir(a.documenti()).entryList(QDir::Files).size(), 2);
}

// The server entry: the address typed in its window, an empty database made into an archive on
// request, the main window opened on it, and the address (never the password) offered next time.
void TestAvvioSelezione::archivioSuServer()
{
    const DatabaseDiProva database;
    const IndirizzoServer server = *IndirizzoServer::Leggi(database.indirizzo());
    Ambiente a;
    AvvioSelezione w(a.amb.sessione);
    w.show();
    IndirizzoServer offerto;
    const auto compila = [&](bool accetta) {
        QTimer::singleShot(0, [&, accetta] {
            for (QWidget* t : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<F_ArchivioServer*>(t)) {
                    offerto = d->Indirizzo();
                    d->Host->setText(server.host);
                    d->Porta->setValue(server.porta);
                    d->Database->setText(server.database);
                    d->Utente->setText(server.utente);
                    d->PasswordServer->setText(QStringLiteral("non-serve"));
                    accetta ? d->accept() : d->reject();
                }
        });
    };
    a.amb.messaggi.risposte << Messaggi::Yes;
    compila(true);
    clicca(w, "ArchivioSuServer");
    QCOMPARE(a.amb.messaggi.chiamate.size(), 1);
    QCOMPARE(a.amb.messaggi.chiamate.at(0).icona, Messaggi::Question);
    QCOMPARE(a.aperture, 1);
    QCOMPARE(a.amb.sessione.PercorsoArchivio, server.Testo());
    QVERIFY(Archivio::Esiste(server.Testo()));
    QCOMPARE(Presenza::ArchivioInUso(), server.Testo());
    QCOMPARE(IndirizzoServer::Password(server.Testo()), QStringLiteral("non-serve"));
    const QString inf = leggiFile(QDir(a.programma).filePath(QStringLiteral("Cartavia.inf")));
    QVERIFY(inf.contains(server.database) && !inf.contains(QStringLiteral("non-serve")));

    // Next time the window comes up with the same address; cancelled, nothing changes.
    a.amb.messaggi.svuota();
    compila(false);
    clicca(w, "ArchivioSuServer");
    QCOMPARE(offerto, server);
    QCOMPARE(a.aperture, 1);
    QVERIFY(a.amb.messaggi.chiamate.isEmpty());

    // At the next start the server archive, used last, is the one Enter opens, without its window.
    AvvioSelezione dopo(a.amb.sessione);
    dopo.show();
    QVERIFY(QTest::qWaitForWindowActive(&dopo));
    auto* ultimo = figlio<QPushButton>(dopo, "UltimoServer");
    QVERIFY(ultimo->isVisible() && ultimo->hasFocus());
    a.amb.sessione.PercorsoArchivio.clear();
    QTest::keyClick(ultimo, Qt::Key_Return);
    QCOMPARE(a.aperture, 2);
    QCOMPARE(a.amb.sessione.PercorsoArchivio, server.Testo());
    QVERIFY(a.amb.messaggi.chiamate.isEmpty());
}

void TestAvvioSelezione::percorsoADaCapo_data()
{
    QTest::addColumn<QString>("percorso");
    QTest::addColumn<QString>("atteso"); // "|" marks the invisible places to wrap at
    QTest::newRow("vuoto") << ""
                           << "";
    QTest::newRow("cartelle brevi") << "/home/anna/Archivi Cartavia"
                                    << "/|home/|anna/|Archivi Cartavia";
    QTest::newRow("trattini") << "/dati/ditta_rossi-2024"
                              << "/|dati/|ditta_|rossi-|2024";
    const QString lungo = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    QString spezzato;
    for (QChar c : lungo)
        spezzato += c + QStringLiteral("|");
    QTest::newRow("nome più lungo di una riga")
        << QStringLiteral("/x/") + lungo << QStringLiteral("/|x/|") + spezzato;
}

void TestAvvioSelezione::percorsoADaCapo()
{
    QFETCH(QString, percorso);
    QFETCH(QString, atteso);
    QString mostrato = PercorsoADaCapo(percorso);
    mostrato.replace(QChar(0x200B), QLatin1Char('|'));
    QCOMPARE(mostrato, atteso);
}

QTEST_MAIN(TestAvvioSelezione)
#include "tst_avvioselezione.moc"
