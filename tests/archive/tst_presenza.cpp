#include "AmbienteTest.h"
#include "ProcessoPresenza.h"

#include "archive/Presenza.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>

using Presenza::Stato;

class TestPresenza : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Presenza::Termina(); }
    void fileAccantoAllArchivio();
    void propriaPresenzaNonBloccaLaManutenzione();
    void altraIstanzaBloccaLaManutenzione();
    void manutenzioneBloccaLeAltreIstanze();
    void unArchivioAllaVolta();
    void cartellaMancante();
};

void TestPresenza::fileAccantoAllArchivio()
{
    AmbienteTest amb(false);
    QCOMPARE(Presenza::FilePresenza(amb.archivio()), amb.archivio() + QStringLiteral(".presenze"));
    QCOMPARE(Presenza::Inizia(amb.archivio()), Stato::Ottenuta);
    QVERIFY(QFileInfo(Presenza::FilePresenza(amb.archivio())).isFile());
    // Every user of a shared folder must be able to lock it.
    QCOMPARE(QFileInfo(Presenza::FilePresenza(amb.archivio())).permissions() & QFileDevice::WriteOther,
        QFileDevice::WriteOther);
    QCOMPARE(Presenza::ArchivioInUso(), amb.archivio());
    Presenza::Termina();
    QCOMPARE(Presenza::ArchivioInUso(), QString());
}

void TestPresenza::propriaPresenzaNonBloccaLaManutenzione()
{
    AmbienteTest amb(false);
    QCOMPARE(Presenza::Inizia(amb.archivio()), Stato::Ottenuta);
    {
        Presenza::Esclusiva esclusiva(amb.archivio());
        QCOMPARE(esclusiva.stato(), Stato::Ottenuta);
        // While it is held, no other instance may take it either.
        QCOMPARE(ProcessoPresenza::ProvaEsclusiva(amb.archivio()), QStringLiteral("occupata"));
    }
    // The instance's own presence is back afterwards and still keeps others from maintenance.
    QCOMPARE(Presenza::ArchivioInUso(), amb.archivio());
    QCOMPARE(ProcessoPresenza::ProvaEsclusiva(amb.archivio()), QStringLiteral("occupata"));
    Presenza::Termina();
    QCOMPARE(ProcessoPresenza::ProvaEsclusiva(amb.archivio()), QStringLiteral("ottenuta"));
}

void TestPresenza::altraIstanzaBloccaLaManutenzione()
{
    AmbienteTest amb(false);
    {
        ProcessoPresenza::Processo altra(QStringLiteral("condivisa"), amb.archivio());
        QCOMPARE(altra.stato(), QStringLiteral("ottenuta"));
        {
            Presenza::Esclusiva esclusiva(amb.archivio());
            QCOMPARE(esclusiva.stato(), Stato::Occupata);
        }
        // Both instances use the archive at once.
        QCOMPARE(Presenza::Inizia(amb.archivio()), Stato::Ottenuta);
        {
            Presenza::Esclusiva esclusiva(amb.archivio());
            QCOMPARE(esclusiva.stato(), Stato::Occupata);
        }
        // The failed attempt left this instance's presence as it was.
        QCOMPARE(ProcessoPresenza::ProvaEsclusiva(amb.archivio()), QStringLiteral("occupata"));
        Presenza::Termina();
    }
    // The other instance ended (a crash ends its locks the same way).
    Presenza::Esclusiva esclusiva(amb.archivio());
    QCOMPARE(esclusiva.stato(), Stato::Ottenuta);
}

void TestPresenza::manutenzioneBloccaLeAltreIstanze()
{
    AmbienteTest amb(false);
    {
        ProcessoPresenza::Processo manutenzione(QStringLiteral("esclusiva"), amb.archivio());
        QCOMPARE(manutenzione.stato(), QStringLiteral("ottenuta"));
        QCOMPARE(Presenza::Inizia(amb.archivio()), Stato::Occupata);
        QCOMPARE(Presenza::ArchivioInUso(), QString());
    }
    QCOMPARE(Presenza::Inizia(amb.archivio()), Stato::Ottenuta);
}

void TestPresenza::unArchivioAllaVolta()
{
    AmbienteTest amb(false);
    const QString altro = amb.percorso(QStringLiteral("Altro.mdb"));
    QCOMPARE(Presenza::Inizia(amb.archivio()), Stato::Ottenuta);
    QCOMPARE(Presenza::Inizia(altro), Stato::Ottenuta);
    QCOMPARE(Presenza::ArchivioInUso(), altro);
    // The first archive was given up.
    QCOMPARE(ProcessoPresenza::ProvaEsclusiva(amb.archivio()), QStringLiteral("ottenuta"));
    QCOMPARE(ProcessoPresenza::ProvaEsclusiva(altro), QStringLiteral("occupata"));
}

void TestPresenza::cartellaMancante()
{
    AmbienteTest amb(false);
    const QString archivio = amb.percorso(QStringLiteral("manca/Archivio.mdb"));
    QCOMPARE(Presenza::Inizia(archivio), Stato::NonDisponibile);
    Presenza::Esclusiva esclusiva(archivio);
    QCOMPARE(esclusiva.stato(), Stato::NonDisponibile);
}

CARTAVIA_MAIN_CON_PRESENZA(QCoreApplication, TestPresenza)
#include "tst_presenza.moc"
