// The automatic backup of the main window runs beside the user: the window takes input while it
// copies, ending the program stops it without leaving a file, a process killed meanwhile leaves
// no file under the backup's name, and failures are said in the window's status area.
#include "AmbienteTest.h"
#include "ArchivioDanneggiato.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "archive/Backup.h"
#include "archive/LavoroInSottofondo.h"
#include "archive/Module1.h"
#include "archive/Password.h"
#include "gui/diary/F_Avvio.h"
#include "comune/Orologio.h"
#include "gui/diary/SalvataggioAutomatico.h"
#include "gui/platform/ServiziGrafici.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

const char* const VariabileModo = "CARTAVIA_TEST_SALVATAGGIO";
const char* const VariabileArchivio = "CARTAVIA_TEST_SALVATAGGIO_ARCHIVIO";
const char* const VariabileLimite = "CARTAVIA_TEST_SALVATAGGIO_LIMITE";
// The one clock: the window opens on February and the backup is named by this day.
const QDate Giorno(2024, 2, 14);
const QString NomeBackup = QStringLiteral("140224-Archivio.mdb");
// Rows enough for a copy of several steps (about 6 MiB).
constexpr int RigheArchivio = 9000;

void Prepara(const AmbienteTest& amb, const QString& cartellaBackup)
{
    amb.sql(
        QStringLiteral("INSERT INTO TabellaVersione (Versione) VALUES (?)"), { Module1::VersioneProgramma });
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    azienda(amb, { { "PercorsoBackup", cartellaBackup }, { "SalvataggioAutomatico", 1 } });
    ArchivioDanneggiato::RiempiMovimenti(
        amb.archivio(), RigheArchivio, QStringLiteral("Marzo"), QStringLiteral("2019"));
}

QByteArray impronta(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

int righe(const QString& archivio)
{
    return AmbienteTest::sqlSu(archivio, QStringLiteral("SELECT count(*) FROM TabellaMovimenti")).toInt();
}

QStringList fileDi(const QString& cartella)
{
    return QDir(cartella).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Holds the copy at its progress reports until released; lets it go when it is asked to stop.
class Sosta
{
public:
    void su(LavoroInSottofondo* lavoro)
    {
        lavoro->impostaSosta([this, lavoro] {
            if (!m_tieni.loadAcquire())
                return;
            m_ferma.release();
            while (m_tieni.loadAcquire() && !lavoro->annullamentoRichiesto())
                QThread::msleep(5);
        });
    }
    bool ferma() const { return m_ferma.available() > 0; }
    void rilascia() { m_tieni.storeRelease(0); }

private:
    QAtomicInt m_tieni { 1 };
    QSemaphore m_ferma;
};

// The helpers run by the test executable started again.
int AiutanteUcciso()
{
    AmbienteTest amb(false);
    amb.sessione.PercorsoArchivio = qEnvironmentVariable(VariabileArchivio);
    Orologio::ImpostaOggi(Giorno);
    amb.sessione.SaltaPassword = true;
    F_Avvio* f = F_Avvio::Apri(amb.sessione);
    if (!f || !f->Salvataggio())
        return 3;
    f->Salvataggio()->lavoro()->impostaSosta([] {
        std::printf("in corso\n");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    });
    return QApplication::exec();
}

// No file may grow past the limit: writing past it fails as on a full disk.
int AiutanteDiscoPieno()
{
    const rlim_t limite = qEnvironmentVariable(VariabileLimite).toULongLong();
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit r { limite, limite };
    if (setrlimit(RLIMIT_FSIZE, &r) != 0)
        return 4;
    const QString archivio = qEnvironmentVariable(VariabileArchivio);
    try {
        Backup::CopiaControllata(
            archivio, QFileInfo(archivio).dir().filePath(QStringLiteral("backup/") + NomeBackup));
        std::printf("FATTO\n");
    } catch (const ErroreArchivio& e) {
        std::printf("NON FATTO\n%s\n", qUtf8Printable(e.descrizione()));
    }
    return 0;
}

} // namespace

class TestSalvataggioAutomatico : public QObject
{
    Q_OBJECT

private slots:
    // The busy window, the password prompt and the progress window are the windows' own.
    void initTestCase() { ServiziGrafici::Installa(servizi()); }
    void init();
    void cleanup();
    void finestraLiberaDuranteIlSalvataggio();
    void fineDuranteIlSalvataggio();
    void fallimentoDetto_data();
    void fallimentoDetto();
    void programmaUccisoDuranteIlSalvataggio();
    void discoPieno();
};

void TestSalvataggioAutomatico::init()
{
    Orologio::ImpostaOggi(Giorno);
}

void TestSalvataggioAutomatico::cleanup()
{
    Orologio::ImpostaAdesso({});
}

void TestSalvataggioAutomatico::finestraLiberaDuranteIlSalvataggio()
{
    AmbienteTest amb;
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    Prepara(amb, cartella);
    QPointer<F_Avvio> f = F_Avvio::Apri(amb.sessione);
    QVERIFY(f);
    QVERIFY(f->Salvataggio());
    LavoroInSottofondo* lavoro = f->Salvataggio()->lavoro();
    Sosta sosta;
    sosta.su(lavoro);

    // The window is up and the copy under way, held half done.
    QTRY_VERIFY(sosta.ferma());
    QVERIFY(lavoro->inCorso());
    QVERIFY(lavoro->percento() < 100);
    QVERIFY2(f->Salvataggio()->testoStato().contains(QStringLiteral("in corso")),
        qPrintable(f->Salvataggio()->testoStato()));
    QVERIFY(!QFileInfo::exists(QDir(cartella).filePath(NomeBackup)));

    // The user works meanwhile: the next month is shown.
    const int ricostruzioni = f->NumeroRicostruzioni();
    QTest::mouseClick(f->findChild<QToolButton*>(QStringLiteral("succ")), Qt::LeftButton);
    QCOMPARE(f->Mese(), QStringLiteral("Marzo"));
    QCOMPARE(f->NumeroRicostruzioni(), ricostruzioni + 1);
    QVERIFY(lavoro->inCorso());

    sosta.rilascia();
    QTRY_VERIFY_WITH_TIMEOUT(lavoro->concluso(), 60000);
    QVERIFY2(lavoro->riuscito(), qPrintable(lavoro->descrizioneErrore()));
    QTRY_VERIFY(f->Salvataggio()->testoStato().contains(QStringLiteral("completato")));
    QCOMPARE(fileDi(cartella), QStringList { NomeBackup });
    const QString copia = QDir(cartella).filePath(NomeBackup);
    QCOMPARE(AmbienteTest::sqlSu(copia, QStringLiteral("PRAGMA integrity_check")).toString(),
        QStringLiteral("ok"));
    QCOMPARE(righe(copia), RigheArchivio);
    QCOMPARE(amb.messaggi.chiamate.size(), 0);
    f->close();
    QTRY_VERIFY(!f);
}

void TestSalvataggioAutomatico::fineDuranteIlSalvataggio()
{
    AmbienteTest amb;
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    Prepara(amb, cartella);
    QPointer<F_Avvio> f = F_Avvio::Apri(amb.sessione);
    QVERIFY(f && f->Salvataggio());
    LavoroInSottofondo* lavoro = f->Salvataggio()->lavoro();
    Sosta sosta;
    sosta.su(lavoro);
    QTRY_VERIFY(sosta.ferma());

    f->Fine_Click();
    QCOMPARE(amb.terminazioni, 1);
    // Stopped before the end was asked for, its partial copy gone.
    QVERIFY(lavoro->annullato());
    QCOMPARE(fileDi(cartella), QStringList());
    QCOMPARE(righe(amb.archivio()), RigheArchivio);
    f->close();
    QTRY_VERIFY(!f);
}

void TestSalvataggioAutomatico::fallimentoDetto_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("cartella impossibile") << "cartella"
                                          << "Impossibile creare la cartella di backup";
    QTest::newRow("archivio danneggiato") << "danno"
                                          << "è danneggiato";
}

void TestSalvataggioAutomatico::fallimentoDetto()
{
    QFETCH(QString, caso);
    QFETCH(QString, motivo);
    AmbienteTest amb;
    QString cartella = amb.percorso(QStringLiteral("backup"));
    // A folder below a file can never be made.
    if (caso == QLatin1String("cartella")) {
        QFile file(amb.percorso(QStringLiteral("unfile")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        cartella = amb.percorso(QStringLiteral("unfile/backup"));
    }
    Prepara(amb, cartella);
    // Yesterday's run left today's backup: a damaged archive must not take its place.
    QByteArray precedente;
    if (caso == QLatin1String("danno")) {
        QVERIFY(Backup::CopiaArchivio(amb.archivio(), cartella));
        precedente = impronta(QDir(cartella).filePath(NomeBackup));
        QVERIFY(ArchivioDanneggiato::DanneggiaPaginaCentrale(amb.archivio()));
    }

    QPointer<F_Avvio> f = F_Avvio::Apri(amb.sessione);
    QVERIFY2(f, qPrintable(amb.messaggi.testi().join(QLatin1String(" | "))));
    QVERIFY(f->Salvataggio());
    QTRY_VERIFY_WITH_TIMEOUT(f->Salvataggio()->lavoro()->concluso(), 60000);
    QTRY_VERIFY2(
        f->Salvataggio()->testoStato().startsWith(QStringLiteral("Salvataggio automatico non riuscito: ")),
        qPrintable(f->Salvataggio()->testoStato()));
    const QString stato = f->Salvataggio()->testoStato();
    QVERIFY2(stato.contains(motivo), qPrintable(stato));
    // The status area speaks; no box interrupts the user.
    QCOMPARE(amb.messaggi.chiamate.size(), 0);
    if (caso == QLatin1String("danno")) {
        QCOMPARE(fileDi(cartella), QStringList { NomeBackup });
        QCOMPARE(impronta(QDir(cartella).filePath(NomeBackup)), precedente);
    } else {
        QVERIFY(QFileInfo(amb.percorso(QStringLiteral("unfile"))).isFile());
    }
    f->close();
    QTRY_VERIFY(!f);
}

void TestSalvataggioAutomatico::programmaUccisoDuranteIlSalvataggio()
{
    AmbienteTest amb;
    const QString cartella = amb.percorso(QStringLiteral("backup"));
    Prepara(amb, cartella);
    QProcess figlio;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(VariabileModo), QStringLiteral("ucciso"));
    env.insert(QString::fromLatin1(VariabileArchivio), amb.archivio());
    figlio.setProcessEnvironment(env);
    figlio.setProgram(QCoreApplication::applicationFilePath());
    figlio.start();
    QVERIFY(figlio.waitForStarted(30000));
    while (!figlio.canReadLine() && figlio.waitForReadyRead(60000)) { }
    QCOMPARE(QString::fromLatin1(figlio.readLine()).trimmed(), QStringLiteral("in corso"));
    figlio.kill();
    QVERIFY(figlio.waitForFinished(30000));
    QCOMPARE(figlio.exitStatus(), QProcess::CrashExit);

    // Whatever the copy had written is not under the backup's name, and the archive is sound.
    QVERIFY2(!fileDi(cartella).contains(NomeBackup), qPrintable(fileDi(cartella).join(QLatin1Char(' '))));
    QCOMPARE(amb.sql(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    QCOMPARE(righe(amb.archivio()), RigheArchivio);

    // The next backup clears what was left and makes a whole one.
    QString errore;
    QVERIFY2(Backup::CopiaArchivio(amb.archivio(), cartella, &errore), qPrintable(errore));
    QCOMPARE(fileDi(cartella), QStringList { NomeBackup });
    QCOMPARE(righe(QDir(cartella).filePath(NomeBackup)), RigheArchivio);
}

void TestSalvataggioAutomatico::discoPieno()
{
    AmbienteTest amb;
    Prepara(amb, amb.percorso(QStringLiteral("backup")));
    const qint64 dimensione = QFileInfo(amb.archivio()).size();
    QProcess figlio;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(VariabileModo), QStringLiteral("discopieno"));
    env.insert(QString::fromLatin1(VariabileArchivio), amb.archivio());
    env.insert(QString::fromLatin1(VariabileLimite), QString::number(dimensione / 2));
    figlio.setProcessEnvironment(env);
    figlio.setProgram(QCoreApplication::applicationFilePath());
    figlio.start();
    QVERIFY(figlio.waitForFinished(120000));
    const QStringList uscita = QString::fromUtf8(figlio.readAllStandardOutput()).split(QLatin1Char('\n'));
    QCOMPARE(figlio.exitCode(), 0);
    QVERIFY2(uscita.size() >= 2, qPrintable(uscita.join(QLatin1Char('|'))));
    QCOMPARE(uscita.at(0), QStringLiteral("NON FATTO"));
    QVERIFY2(
        uscita.at(1).contains(QStringLiteral("spazio su disco insufficiente")), qPrintable(uscita.at(1)));
    QCOMPARE(fileDi(amb.percorso(QStringLiteral("backup"))), QStringList());
    QCOMPARE(amb.sql(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

int main(int argc, char* argv[])
{
    const QByteArray modo = qgetenv(VariabileModo);
    if (modo == "discopieno") {
        QCoreApplication app(argc, argv);
        return AiutanteDiscoPieno();
    }
    QApplication app(argc, argv);
    if (modo == "ucciso")
        return AiutanteUcciso();
    TestSalvataggioAutomatico test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_salvataggioautomatico.moc"
