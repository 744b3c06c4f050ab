// A month save that meets a full disk: a helper process saves with a file-size limit below what
// the save needs (the limit a full disk sets, without mounting a tiny file system); the save
// reports the failure, the user gets the not-saved message and the archive is as before.
#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "archive/ErroreArchivio.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/RigheDipendenti.h"
#include "diary/SalvataggioMese.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

const char* const VariabileArchivio = "CARTAVIA_TEST_DISCO_ARCHIVIO";
const char* const VariabileLimite = "CARTAVIA_TEST_DISCO_LIMITE";
const QString Febbraio = QStringLiteral("Febbraio");
const QString Anno2024 = QStringLiteral("2024");
constexpr int Dipendenti = 40;

bool SalvaMese(
    const QString& archivio, const QString& valore, QString* errore = nullptr, int* numero = nullptr)
{
    Griglia g;
    GrigliaDettaglio::Parametri p;
    p.archivio = archivio;
    p.mese = Febbraio;
    p.anno = Anno2024;
    p.tipi = RigheDipendenti::CaricaTipi(archivio);
    p.oggi = QDate(2024, 2, 14);
    if (!GrigliaDettaglio::DimensionaGriglia1(g, p))
        return false;
    for (int r = 2; r < g.righe(); ++r)
        for (int d = 1; d <= 29; ++d)
            g.impostaTesto(r, GrigliaDettaglio::ColonnaGiorno(d), valore);
    SalvataggioMese salvataggio(archivio, g, Febbraio, Anno2024);
    const bool ok = salvataggio.Salva();
    if (errore)
        *errore = salvataggio.descrizioneErrore();
    if (numero)
        *numero = salvataggio.numeroErrore();
    return ok;
}

// The helper: no file may grow past the limit; writing past it fails (EFBIG) instead of ending
// the process, as on a full disk.
int SalvaConDiscoPieno()
{
    const QString archivio = qEnvironmentVariable(VariabileArchivio);
    const rlim_t limite = qEnvironmentVariable(VariabileLimite).toULongLong();
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit r { limite, limite };
    if (setrlimit(RLIMIT_FSIZE, &r) != 0)
        return 4;
    QString errore;
    int numero = 0;
    const bool ok = SalvaMese(archivio, QStringLiteral("F"), &errore, &numero);
    std::printf("%s\n%d\n%s\n", ok ? "SALVATO" : "NON SALVATO", numero, qUtf8Printable(errore));
    return 0;
}

void Prepara(const AmbienteTest& amb)
{
    dipendenti(amb, Dipendenti);
    // A long description on every state cell makes the second save need many more pages.
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie ").repeated(40));
    QVERIFY(SalvaMese(amb.archivio(), QStringLiteral("8")));
    amb.sql(QStringLiteral("UPDATE TabellaMovimenti SET Note = 'nota' WHERE Giorno = '3'"));
}

QStringList Mese(const QString& archivio)
{
    QStringList righe;
    Archivio db(archivio);
    QSqlQuery q = db.esegui(
        QStringLiteral("SELECT IndiceAnagrafica, Tipo, Giorno, Stato, StatoNum, Descrizione, Note "
                       "FROM TabellaMovimenti ORDER BY Indice"));
    while (q.next()) {
        QStringList v;
        for (int i = 0; i < 7; ++i)
            v << q.value(i).toString();
        righe << v.join(QLatin1Char('|'));
    }
    return righe;
}

} // namespace

class TestDiscoPieno : public QObject
{
    Q_OBJECT

private slots:
    void salvataggioConDiscoPieno();
    void salvataggioSuFileSystemPieno();
};

void TestDiscoPieno::salvataggioConDiscoPieno()
{
    AmbienteTest amb;
    Prepara(amb);
    const QStringList prima = Mese(amb.archivio());
    QCOMPARE(prima.size(), Dipendenti * 29);
    const qint64 dimensione = QFileInfo(amb.archivio()).size();

    QProcess figlio;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(VariabileArchivio), amb.archivio());
    env.insert(QString::fromLatin1(VariabileLimite), QString::number(dimensione + 8192));
    figlio.setProcessEnvironment(env);
    figlio.setProgram(QCoreApplication::applicationFilePath());
    figlio.start();
    QVERIFY(figlio.waitForFinished(120000));
    const QString uscita = QString::fromUtf8(figlio.readAllStandardOutput());
    QCOMPARE(figlio.exitStatus(), QProcess::NormalExit);
    QCOMPARE(figlio.exitCode(), 0);
    const QStringList righe = uscita.split(QLatin1Char('\n'));
    QVERIFY2(righe.size() >= 3, qPrintable(uscita));
    QCOMPARE(righe.at(0), QStringLiteral("NON SALVATO"));
    // A full disk reads as "disk full"; a file-size limit as a write error: both are disk errors
    // with their reason for the not-saved message.
    const int numero = righe.at(1).toInt();
    QVERIFY2(numero == CodiciErrore::DiscoPieno || numero == CodiciErrore::ErroreDisco, qPrintable(uscita));
    QVERIFY2(righe.at(2).contains(QStringLiteral("Spazio su disco insufficiente"))
            || righe.at(2).contains(QStringLiteral("Errore di disco")),
        qPrintable(uscita));

    // The archive: whole, and the month exactly as before.
    QCOMPARE(amb.sql(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    QCOMPARE(Mese(amb.archivio()), prima);
    // Room again: the same save goes through.
    QVERIFY(SalvaMese(amb.archivio(), QStringLiteral("F")));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE Stato = 'F'")).toInt(),
        Dipendenti * 29);
}

void TestDiscoPieno::salvataggioSuFileSystemPieno()
{
    // A real full disk: a tiny memory file system, where one can be mounted (root, not in every
    // container).
    AmbienteTest amb;
    Prepara(amb);
    const QString punto = amb.percorso(QStringLiteral("piccolo"));
    QVERIFY(QDir().mkpath(punto));
    if (QProcess::execute(QStringLiteral("mount"),
            { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=2m"),
                QStringLiteral("tmpfs"), punto })
        != 0)
        QSKIP("No tiny file system can be mounted here; the file-size limit case covers the save.");
    struct Smonta
    {
        QString punto;
        ~Smonta() { QProcess::execute(QStringLiteral("umount"), { punto }); }
    } smonta { punto };

    const QString archivio = QDir(punto).filePath(QStringLiteral("Ditta.mdb"));
    QVERIFY(QFile::copy(amb.archivio(), archivio));
    const QStringList prima = Mese(archivio);
    // Fill the rest but a few pages: room for the journal's start, not for the save.
    {
        QFile riempitivo(QDir(punto).filePath(QStringLiteral("riempitivo")));
        QVERIFY(riempitivo.open(QIODevice::WriteOnly));
        const QByteArray blocco(4096, 'x');
        while (riempitivo.write(blocco) == blocco.size() && riempitivo.flush()) { }
        riempitivo.close();
        riempitivo.resize(std::max<qint64>(0, riempitivo.size() - 3 * 4096));
    }
    QString errore;
    int numero = 0;
    QVERIFY(!SalvaMese(archivio, QStringLiteral("F"), &errore, &numero));
    QCOMPARE(numero, CodiciErrore::DiscoPieno);
    QVERIFY2(errore.contains(QStringLiteral("Spazio su disco insufficiente")), qPrintable(errore));
    QCOMPARE(AmbienteTest::sqlSu(archivio, QStringLiteral("PRAGMA integrity_check")).toString(),
        QStringLiteral("ok"));
    QCOMPARE(Mese(archivio), prima);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(VariabileArchivio))
        return SalvaConDiscoPieno();
    TestDiscoPieno test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_discopieno.moc"
