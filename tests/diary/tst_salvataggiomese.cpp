#include "AltroUtente.h"
#include "AmbienteTest.h"
#include "DatiDiProva.h"
#include "Innesco.h"

#include "archive/Archivio.h"
#include "archive/ErroreArchivio.h"
#include "archive/GestioneErrore.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/RigheDipendenti.h"
#include "diary/SalvataggioMese.h"

#include <QCoreApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <cstdio>

class TestSalvataggioMese : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void tabellaDiRegistrazione();
    void secondoSalvataggio();
    void tipiRipetuti_data();
    void tipiRipetuti();
    void dipendentiNonMostrati();
    void cancellaMese();
    void archivioOccupatoOltreLeRiprove();
    void guastoAMetaSalvataggio();
    void archivioSparito();
    void processoTerminatoDuranteIlSalvataggio_data();
    void processoTerminatoDuranteIlSalvataggio();
    void uccisoInMomentiCasuali();
};

namespace {

const QString Febbraio = QStringLiteral("Febbraio");
const QString Anno2024 = QStringLiteral("2024");
constexpr int GiorniFebbraio2024 = 29;
const char* const VariabileFiglio = "CARTAVIA_TEST_SALVA_ARCHIVIO";
const char* const VariabileValore = "CARTAVIA_TEST_SALVA_VALORE";
// Set: the helper saves straight through, saying "INIZIO" as the save begins.
const char* const VariabileSenzaPausa = "CARTAVIA_TEST_SALVA_SENZA_PAUSA";

bool costruisci(const QString& archivio, Griglia& g, const QString& codiceDipendente = {})
{
    GrigliaDettaglio::Parametri p;
    p.archivio = archivio;
    p.mese = Febbraio;
    p.anno = Anno2024;
    p.tipi = RigheDipendenti::CaricaTipi(archivio);
    p.criteri.codiceDipendente = codiceDipendente;
    p.oggi = QDate(2024, 2, 14);
    return GrigliaDettaglio::DimensionaGriglia1(g, p);
}

int riga(const Griglia& g, qint64 indice, const QString& tipo)
{
    for (int r = 2; r < g.righe(); ++r)
        if (g.testo(r, 0) == QString::number(indice) && g.testo(r, 3) == tipo)
            return r;
    return -1;
}

void scrivi(Griglia& g, int r, int giorno, const QString& testo)
{
    g.impostaTesto(r, GrigliaDettaglio::ColonnaGiorno(giorno), testo);
}

struct Movimento
{
    int righe = 0;
    QVariant stato;
    QVariant statoNum;
    QVariant descrizione;
    QVariant note;
    QVariant data;
    QVariant ragSociale;
    QVariant codice;
};

Movimento leggi(
    const QString& archivio, qint64 indice, const QString& tipo, int giorno, const QString& mese = Febbraio)
{
    Movimento m;
    Archivio db(archivio);
    QSqlQuery q = db.esegui(
        QStringLiteral("SELECT Stato, StatoNum, Descrizione, Note, Data, RagSociale, CodiceAnagrafica "
                       "FROM TabellaMovimenti WHERE IndiceAnagrafica = ? AND Tipo = ? AND Giorno = ? "
                       "AND Mese = ? AND Anno = ? ORDER BY Indice"),
        { indice, tipo, QString::number(giorno), mese, Anno2024 });
    while (q.next()) {
        if (m.righe++ == 0)
            m = { 1, q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5), q.value(6) };
    }
    return m;
}

int contaMese(const AmbienteTest& amb, const QString& mese = Febbraio)
{
    return amb
        .sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE Mese = ? AND Anno = ?"),
            { mese, Anno2024 })
        .toInt();
}

// `dipendenti` employees and three extra types.
void popola(const AmbienteTest& amb, int dipendenti)
{
    Archivio db(amb.archivio());
    InTransazione(db, [&] {
        for (int i = 0; i < dipendenti; ++i)
            dipendente(db, QStringLiteral("C%1").arg(i),
                QStringLiteral("Dipendente %1").arg(i, 3, 10, QLatin1Char('0')));
        for (const char* nome : { "EXTRA", "NOTTURNO", "FESTIVO" })
            tipo(db, QString::fromLatin1(nome));
    });
}

// The helper saving the whole month at `valore` straight through, started and told to begin.
bool avviaSalvataggio(QProcess& figlio, const AmbienteTest& amb, const QString& valore)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(VariabileFiglio), amb.archivio());
    env.insert(QString::fromLatin1(VariabileValore), valore);
    env.insert(QString::fromLatin1(VariabileSenzaPausa), QStringLiteral("1"));
    figlio.setProcessEnvironment(env);
    figlio.setProgram(QCoreApplication::applicationFilePath());
    figlio.start();
    if (!figlio.waitForStarted(30000))
        return false;
    QByteArray uscita;
    while (!uscita.contains("INIZIO") && figlio.waitForReadyRead(60000))
        uscita += figlio.readAllStandardOutput();
    return uscita.contains("INIZIO");
}

// The values the month's cells hold: text and number, with how many rows hold each.
QMap<QString, int> valoriDelMese(const AmbienteTest& amb)
{
    QMap<QString, int> valori;
    Archivio db(amb.archivio());
    QSqlQuery q = db.esegui(QStringLiteral("SELECT Stato, StatoNum, count(*) FROM TabellaMovimenti "
                                           "WHERE Mese = ? AND Anno = ? GROUP BY Stato, StatoNum"),
        { Febbraio, Anno2024 });
    while (q.next())
        valori.insert(q.value(0).toString() + QLatin1Char('/') + q.value(1).toString(), q.value(2).toInt());
    return valori;
}

// The helper process: saves a big month with every cell at one value and stops, half-way
// through the writing, until it is killed (or, without the pause, saves to the end).
int salvaFinoAllaFine()
{
    const QString archivio = qEnvironmentVariable(VariabileFiglio);
    const QString valore = qEnvironmentVariable(VariabileValore);
    Griglia g;
    if (!costruisci(archivio, g))
        return 3;
    for (int r = 2; r < g.righe(); ++r)
        for (int d = 1; d <= GiorniFebbraio2024; ++d)
            scrivi(g, r, d, valore);
    SalvataggioMese salvataggio(archivio, g, Febbraio, Anno2024);
    if (qEnvironmentVariableIsSet(VariabileSenzaPausa)) {
        std::printf("INIZIO\n");
        std::fflush(stdout);
        return salvataggio.Salva() ? 0 : 1;
    }
    bool fermato = false;
    salvataggio.impostaAvanzamento(
        [&](int r) {
            if (fermato || r < g.righe() / 2)
                return;
            fermato = true;
            std::printf("META\n");
            std::fflush(stdout);
            QThread::sleep(120);
        },
        10);
    return salvataggio.Salva() ? 0 : 1;
}

} // namespace

void TestSalvataggioMese::cleanup()
{
    servizi().errori.ContatoreErrori = 0;
}

void TestSalvataggioMese::tabellaDiRegistrazione()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    tipo(amb, QStringLiteral("EXTRA"), QStringLiteral("Straordinario"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    // A day stored before, with a description and a note of its own.
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2024, 2, 3), QStringLiteral("M"),
        QStringLiteral("visita"), { { "Descrizione", QStringLiteral("Malattia") } });

    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g));
    const int ordinario = riga(g, rossi, QStringLiteral("ORDINARIO"));
    const int extra = riga(g, rossi, QStringLiteral("EXTRA"));
    QCOMPARE(g.testo(ordinario, GrigliaDettaglio::ColonnaGiorno(3)), QStringLiteral("M"));
    scrivi(g, ordinario, 1, QStringLiteral("7,5"));
    scrivi(g, ordinario, 2, QStringLiteral("f"));
    scrivi(g, ordinario, 3, QStringLiteral("ZZ"));
    scrivi(g, ordinario, 4, QStringLiteral("0"));
    scrivi(g, ordinario, 5, QStringLiteral("8,00"));
    scrivi(g, extra, 1, QStringLiteral("2"));

    QList<int> avanzamento;
    SalvataggioMese salvataggio(amb.archivio(), g, Febbraio, Anno2024);
    salvataggio.impostaAvanzamento([&](int r) { avanzamento << r; }, 1);
    QVERIFY(salvataggio.Salva());
    QCOMPARE(salvataggio.numeroErrore(), 0);
    QCOMPARE(avanzamento, (QList<int> { ordinario, extra }));

    // One row per grid row and day, also for the empty cells.
    QCOMPARE(contaMese(amb), 2 * GiorniFebbraio2024);
    QCOMPARE(salvataggio.righeInserite(), 2 * GiorniFebbraio2024 - 1);
    Movimento m = leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 1);
    QCOMPARE(m.stato.toString(), QStringLiteral("7,5"));
    QCOMPARE(m.statoNum.toDouble(), 7.5);
    QVERIFY(m.descrizione.isNull());
    QCOMPARE(m.data.toString(), QStringLiteral("2024-02-01"));
    QCOMPARE(m.ragSociale.toString(), QStringLiteral("Rossi"));
    QCOMPARE(m.codice.toString(), QStringLiteral("R1"));
    m = leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 2);
    QCOMPARE(m.stato.toString(), QStringLiteral("F"));
    QCOMPARE(m.statoNum.toDouble(), 0.0);
    QCOMPARE(m.descrizione.toString(), QStringLiteral("Ferie"));
    // An unknown code is emptied; the row keeps its old description and its note.
    m = leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 3);
    QCOMPARE(m.righe, 1);
    QCOMPARE(m.stato.toString(), QString());
    QCOMPARE(m.statoNum.toDouble(), 0.0);
    QCOMPARE(m.descrizione.toString(), QStringLiteral("Malattia"));
    QCOMPARE(m.note.toString(), QStringLiteral("visita"));
    m = leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 4);
    QCOMPARE(m.stato.toString(), QString());
    QVERIFY(!m.statoNum.isNull());
    QCOMPARE(m.statoNum.toDouble(), 0.0);
    QCOMPARE(
        leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 5).stato.toString(), QStringLiteral("8"));
    m = leggi(amb.archivio(), rossi, QStringLiteral("EXTRA"), 1);
    QCOMPARE(m.stato.toString(), QStringLiteral("2"));
    QCOMPARE(m.statoNum.toDouble(), 2.0);
    QCOMPARE(m.ragSociale.toString(), QString());
    m = leggi(amb.archivio(), rossi, QStringLiteral("EXTRA"), 29);
    QCOMPARE(m.righe, 1);
    QCOMPARE(m.stato.toString(), QString());
    QCOMPARE(m.data.toString(), QStringLiteral("2024-02-29"));

    // Empty cells and the extra rows' names are stored as empty texts, not as missing values.
    // (The row stored before keeps its fields as they were.)
    QCOMPARE(amb.sql(QStringLiteral(
                         "SELECT count(*) FROM TabellaMovimenti WHERE Stato IS NULL OR StatoNum IS NULL"))
                 .toInt(),
        0);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE RagSociale IS NULL "
                                    "OR CodiceAnagrafica IS NULL"))
                 .toInt(),
        1);

    // The grid shows what was stored.
    QCOMPARE(g.testo(ordinario, GrigliaDettaglio::ColonnaGiorno(2)), QStringLiteral("F"));
    QCOMPARE(g.testo(ordinario, GrigliaDettaglio::ColonnaGiorno(3)), QString());
    QCOMPARE(g.testo(ordinario, GrigliaDettaglio::ColonnaGiorno(4)), QString());
    QCOMPARE(g.testo(ordinario, GrigliaDettaglio::ColonnaGiorno(5)), QStringLiteral("8"));
}

void TestSalvataggioMese::tipiRipetuti_data()
{
    QTest::addColumn<QStringList>("tabellaTipi");
    QTest::addColumn<QStringList>("righeAttese");
    QTest::newRow("un tipo ORDINARIO") << QStringList { QStringLiteral("ORDINARIO"),
        QStringLiteral("EXTRA") } << QStringList { QStringLiteral("ORDINARIO"), QStringLiteral("EXTRA") };
    QTest::newRow("un tipo due volte") << QStringList { QStringLiteral("STRAORDINARIO"),
        QStringLiteral("EXTRA"), QStringLiteral("STRAORDINARIO") }
                                       << QStringList { QStringLiteral("ORDINARIO"), QStringLiteral("EXTRA"),
                                              QStringLiteral("STRAORDINARIO") };
    QTest::newRow("maiuscole diverse") << QStringList { QStringLiteral("ordinario"), QStringLiteral("Extra"),
        QStringLiteral("EXTRA") } << QStringList { QStringLiteral("ORDINARIO"), QStringLiteral("Extra") };
}

// A type is its text: each employee gets one row per text, whatever TabellaTipi repeats, so no
// save can write one row's cells over another's.
void TestSalvataggioMese::tipiRipetuti()
{
    QFETCH(QStringList, tabellaTipi);
    QFETCH(QStringList, righeAttese);
    AmbienteTest amb;
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    const qint64 bianchi = dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    for (const QString& t : tabellaTipi)
        tipo(amb, t);

    // A new month: exactly one stored row per employee, type and day.
    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g));
    QCOMPARE(g.righe() - 2, 2 * righeAttese.size());
    for (int i = 0; i < righeAttese.size(); ++i)
        QCOMPARE(g.testo(2 + i, 3), righeAttese.at(i));
    for (int r = 2; r < g.righe(); ++r)
        scrivi(
            g, r, 1, g.testo(r, 3) == QStringLiteral("ORDINARIO") ? QStringLiteral("F") : QString::number(r));
    QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());
    QCOMPARE(contaMese(amb), 2 * righeAttese.size() * GiorniFebbraio2024);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM TabellaMovimenti GROUP BY "
                                    "IndiceAnagrafica, lower(Tipo), Giorno HAVING count(*) > 1) AS doppi"))
                 .toInt(),
        0);

    // Read back, every stored entry shows once, in its own row.
    Griglia letta;
    QVERIFY(costruisci(amb.archivio(), letta));
    for (int r = 2; r < letta.righe(); ++r) {
        const QString atteso
            = letta.testo(r, 3) == QStringLiteral("ORDINARIO") ? QStringLiteral("F") : QString::number(r);
        QCOMPARE(letta.testo(r, GrigliaDettaglio::ColonnaGiorno(1)), atteso);
    }

    // "Registra" on the untouched month changes no stored row.
    const QMap<QString, int> prima = valoriDelMese(amb);
    SalvataggioMese ancora(amb.archivio(), letta, Febbraio, Anno2024);
    QVERIFY(ancora.Salva());
    QCOMPARE(ancora.righeAggiornate(), 0);
    QCOMPARE(ancora.righeInserite(), 0);
    QCOMPARE(valoriDelMese(amb), prima);
    QCOMPARE(
        leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 1).stato.toString(), QStringLiteral("F"));
    QCOMPARE(
        leggi(amb.archivio(), bianchi, QStringLiteral("ORDINARIO"), 1).stato.toString(), QStringLiteral("F"));
}

void TestSalvataggioMese::secondoSalvataggio()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g));
    const int r = riga(g, rossi, QStringLiteral("ORDINARIO"));
    scrivi(g, r, 1, QStringLiteral("8"));
    QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());
    QCOMPARE(contaMese(amb), GiorniFebbraio2024);

    // The second save finds every row of the first: no duplicates, only the changed day written.
    scrivi(g, r, 1, QStringLiteral("f"));
    SalvataggioMese secondo(amb.archivio(), g, Febbraio, Anno2024);
    QVERIFY(secondo.Salva());
    QCOMPARE(secondo.righeInserite(), 0);
    QCOMPARE(secondo.righeAggiornate(), 1);
    QCOMPARE(contaMese(amb), GiorniFebbraio2024);
    const Movimento m = leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 1);
    QCOMPARE(m.stato.toString(), QStringLiteral("F"));
    QCOMPARE(m.statoNum.toDouble(), 0.0);
    QCOMPARE(m.descrizione.toString(), QStringLiteral("Ferie"));

    // A grid built again from the archive saves to the same rows.
    Griglia nuova;
    QVERIFY(costruisci(amb.archivio(), nuova));
    QCOMPARE(nuova.testo(r, GrigliaDettaglio::ColonnaGiorno(1)), QStringLiteral("F"));
    QVERIFY(SalvataggioMese(amb.archivio(), nuova, Febbraio, Anno2024).Salva());
    QCOMPARE(contaMese(amb), GiorniFebbraio2024);

    // A day an older archive stored twice takes the value on both rows.
    movimento(amb, rossi, QStringLiteral("ordinario"), QDate(2024, 2, 2), QStringLiteral("4"), {},
        { { "Giorno", QStringLiteral("02") } });
    scrivi(nuova, r, 2, QStringLiteral("6"));
    QVERIFY(SalvataggioMese(amb.archivio(), nuova, Febbraio, Anno2024).Salva());
    QCOMPARE(contaMese(amb), GiorniFebbraio2024 + 1);
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE StatoNum = 6 AND Stato = '6'"))
            .toInt(),
        2);
}

void TestSalvataggioMese::dipendentiNonMostrati()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    const qint64 bianchi = dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    movimento(amb, bianchi, QStringLiteral("ORDINARIO"), QDate(2024, 2, 1), QStringLiteral("ZZ"));
    // Rossi's other months are not the month being saved.
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2024, 3, 1), QStringLiteral("ZZ"));

    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g, QStringLiteral("R1")));
    QCOMPARE(g.righe(), 3);
    scrivi(g, 2, 1, QStringLiteral("8"));
    QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());
    QCOMPARE(contaMese(amb), GiorniFebbraio2024 + 1);
    const Movimento b = leggi(amb.archivio(), bianchi, QStringLiteral("ORDINARIO"), 1);
    QCOMPARE(b.righe, 1);
    QCOMPARE(b.stato.toString(), QStringLiteral("ZZ"));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE IndiceAnagrafica = ?"),
                    { bianchi })
                 .toInt(),
        1);
    QCOMPARE(leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 1, QStringLiteral("Marzo"))
                 .stato.toString(),
        QStringLiteral("ZZ"));
}

void TestSalvataggioMese::cancellaMese()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    const qint64 bianchi = dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    tipo(amb, QStringLiteral("EXTRA"));
    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g));
    QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());
    amb.sql(
        QStringLiteral("UPDATE TabellaMovimenti SET Note = 'nota' WHERE IndiceAnagrafica = ?"), { bianchi });
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2024, 1, 1), QStringLiteral("8"));
    QCOMPARE(contaMese(amb), 4 * GiorniFebbraio2024);

    QString errore = QStringLiteral("x");
    QVERIFY(SalvataggioMese::CancellaMese(amb.archivio(), Febbraio, Anno2024, &errore));
    QCOMPARE(errore, QString());
    QCOMPARE(contaMese(amb), 0);
    QCOMPARE(contaMese(amb, QStringLiteral("Gennaio")), 1);
}

void TestSalvataggioMese::archivioOccupatoOltreLeRiprove()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g));
    scrivi(g, 2, 1, QStringLiteral("f"));
    scrivi(g, 2, 2, QStringLiteral("7,50"));
    {
        AltroUtente altro(amb.archivio());
        QVERIFY(altro.bloccato());
        // Only a few of the error routine's retries are left, so the lock outlasts them.
        servizi().errori.ContatoreErrori = 96;
        SalvataggioMese salvataggio(amb.archivio(), g, Febbraio, Anno2024);
        QVERIFY(!salvataggio.Salva());
        QCOMPARE(salvataggio.numeroErrore(), CodiciErrore::Bloccato);
        QVERIFY(!salvataggio.descrizioneErrore().isEmpty());
    }
    QCOMPARE(contaMese(amb), 0);
    // The edits are still in the grid as typed, for another try.
    QCOMPARE(g.testo(2, GrigliaDettaglio::ColonnaGiorno(1)), QStringLiteral("f"));
    QCOMPARE(g.testo(2, GrigliaDettaglio::ColonnaGiorno(2)), QStringLiteral("7,50"));

    servizi().errori.ContatoreErrori = 0;
    QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());
    QCOMPARE(
        leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 1).stato.toString(), QStringLiteral("F"));
}

void TestSalvataggioMese::guastoAMetaSalvataggio()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("A1"), QStringLiteral("Amati"));
    const qint64 zeta = dipendente(amb, QStringLiteral("Z1"), QStringLiteral("Zeta"));
    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g));
    for (int r = 2; r < g.righe(); ++r)
        for (int d = 1; d <= GiorniFebbraio2024; ++d)
            scrivi(g, r, d, QStringLiteral("3"));
    QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());

    // The second employee's rows cannot be written (as a full disk would do), after the first
    // employee's rows were.
    Innesco::Crea(amb.archivio(), QStringLiteral("guasto"), QStringLiteral("BEFORE UPDATE"),
        QStringLiteral("TabellaMovimenti"), QStringLiteral("NEW.IndiceAnagrafica = %1").arg(zeta),
        QStringLiteral("disco pieno"));
    for (int r = 2; r < g.righe(); ++r)
        for (int d = 1; d <= GiorniFebbraio2024; ++d)
            scrivi(g, r, d, QStringLiteral("5"));
    SalvataggioMese salvataggio(amb.archivio(), g, Febbraio, Anno2024);
    int righeRaggiunte = 0;
    salvataggio.impostaAvanzamento([&](int r) { righeRaggiunte = r; }, 1);
    QVERIFY(!salvataggio.Salva());
    QVERIFY(righeRaggiunte >= 2);
    QVERIFY(salvataggio.descrizioneErrore().contains(QStringLiteral("disco pieno")));
    // Nothing of the failed save is stored, not even the first employee's rows.
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE StatoNum = 3")).toInt(),
        2 * GiorniFebbraio2024);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE StatoNum <> 3")).toInt(), 0);
    QCOMPARE(
        leggi(amb.archivio(), rossi, QStringLiteral("ORDINARIO"), 1).stato.toString(), QStringLiteral("3"));
    QCOMPARE(g.testo(2, GrigliaDettaglio::ColonnaGiorno(1)), QStringLiteral("5"));
}

void TestSalvataggioMese::archivioSparito()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g));
    scrivi(g, 2, 1, QStringLiteral("8"));
    amb.eliminaArchivio();
    SalvataggioMese salvataggio(amb.archivio(), g, Febbraio, Anno2024);
    QVERIFY(!salvataggio.Salva());
    QCOMPARE(salvataggio.numeroErrore(), CodiciErrore::FileNonTrovato);
    // Not made again by the save.
    QVERIFY(!Archivio::Esiste(amb.archivio()));
    QCOMPARE(g.testo(2, GrigliaDettaglio::ColonnaGiorno(1)), QStringLiteral("8"));
}

void TestSalvataggioMese::processoTerminatoDuranteIlSalvataggio_data()
{
    QTest::addColumn<bool>("giaSalvato");
    QTest::newRow("mese gia salvato") << true;
    QTest::newRow("mese mai salvato") << false;
}

void TestSalvataggioMese::processoTerminatoDuranteIlSalvataggio()
{
    QFETCH(bool, giaSalvato);
    AmbienteTest amb;
    // 300 employees with 3 extra types: about 35,000 cells.
    popola(amb, 300);
    const int righeAttese = 300 * 4 * GiorniFebbraio2024;
    if (giaSalvato) {
        Griglia g;
        QVERIFY(costruisci(amb.archivio(), g));
        for (int r = 2; r < g.righe(); ++r)
            for (int d = 1; d <= GiorniFebbraio2024; ++d)
                scrivi(g, r, d, QStringLiteral("3"));
        QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());
        QCOMPARE(contaMese(amb), righeAttese);
    }

    QProcess figlio;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(VariabileFiglio), amb.archivio());
    env.insert(QString::fromLatin1(VariabileValore), QStringLiteral("5"));
    figlio.setProcessEnvironment(env);
    figlio.setProgram(QCoreApplication::applicationFilePath());
    figlio.start();
    QVERIFY(figlio.waitForStarted(30000));
    QByteArray uscita;
    while (!uscita.contains("META") && figlio.waitForReadyRead(60000))
        uscita += figlio.readAllStandardOutput();
    QVERIFY2(uscita.contains("META"), figlio.readAllStandardError().constData());
    // Half the month is written, uncommitted, when the process dies.
    if (!AmbienteTest::SuServer())
        QVERIFY(QFileInfo::exists(amb.archivio() + QStringLiteral("-journal")));
    figlio.kill();
    QVERIFY(figlio.waitForFinished(30000));
    QCOMPARE(figlio.exitStatus(), QProcess::CrashExit);

    if (!AmbienteTest::SuServer())
        QCOMPARE(amb.sql(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    if (giaSalvato) {
        QCOMPARE(contaMese(amb), righeAttese);
        QCOMPARE(amb.sql(QStringLiteral(
                             "SELECT count(*) FROM TabellaMovimenti WHERE StatoNum = 3 AND Stato = '3'"))
                     .toInt(),
            righeAttese);
    } else {
        QCOMPARE(contaMese(amb), 0);
    }
    // The archive takes the next save as usual.
    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g));
    scrivi(g, 2, 1, QStringLiteral("7"));
    QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());
    QCOMPARE(contaMese(amb), righeAttese);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE StatoNum = 7")).toInt(), 1);
}

void TestSalvataggioMese::uccisoInMomentiCasuali()
{
    AmbienteTest amb;
    // 200 employees with 3 extra types: 23,200 cells, every one changed by each save.
    popola(amb, 200);
    const int righeAttese = 200 * 4 * GiorniFebbraio2024;
    {
        Griglia g;
        QVERIFY(costruisci(amb.archivio(), g));
        for (int r = 2; r < g.righe(); ++r)
            for (int d = 1; d <= GiorniFebbraio2024; ++d)
                scrivi(g, r, d, QStringLiteral("1"));
        QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());
    }

    // How long one save takes here, so the kills fall all over it.
    qint64 durata = 0;
    {
        QProcess figlio;
        QVERIFY(avviaSalvataggio(figlio, amb, QStringLiteral("2")));
        QElapsedTimer t;
        t.start();
        QVERIFY(figlio.waitForFinished(120000));
        durata = std::max<qint64>(t.elapsed(), 1);
        QCOMPARE(figlio.exitStatus(), QProcess::NormalExit);
        QCOMPARE(figlio.exitCode(), 0);
    }
    QCOMPARE(valoriDelMese(amb), (QMap<QString, int> { { QStringLiteral("2/2"), righeAttese } }));

    QRandomGenerator caso(20240229);
    int vecchio = 2;
    int interrotti = 0;
    for (int i = 0; i < 20; ++i) {
        const int nuovo = vecchio % 9 + 1;
        const qint64 attesa = qint64(caso.bounded(double(durata) * 1.1));
        QProcess figlio;
        QVERIFY(avviaSalvataggio(figlio, amb, QString::number(nuovo)));
        QThread::msleep(quint64(attesa));
        figlio.kill();
        QVERIFY(figlio.waitForFinished(30000));

        const QString contesto = QStringLiteral("colpo %1 dopo %2 ms di %3").arg(i).arg(attesa).arg(durata);
        if (!AmbienteTest::SuServer())
            QVERIFY2(amb.sql(QStringLiteral("PRAGMA integrity_check")).toString() == QLatin1String("ok"),
                qPrintable(contesto));
        // All of the old month or all of the new one, never a mix.
        const QMap<QString, int> valori = valoriDelMese(amb);
        const QMap<QString, int> tuttoVecchio { { QStringLiteral("%1/%1").arg(vecchio), righeAttese } };
        const QMap<QString, int> tuttoNuovo { { QStringLiteral("%1/%1").arg(nuovo), righeAttese } };
        QVERIFY2(valori == tuttoVecchio || valori == tuttoNuovo,
            qPrintable(contesto + QStringLiteral(": ") + QStringList(valori.keys()).join(QLatin1Char(' '))));
        if (valori == tuttoNuovo)
            vecchio = nuovo;
        else
            ++interrotti;
    }
    qInfo("salvataggio di %lld ms; %d colpi su 20 a salvataggio non concluso", durata, interrotti);
    // The kills must have caught saves in the middle, or nothing was proved.
    QVERIFY(interrotti > 0);

    // The archive takes the next save as usual.
    Griglia g;
    QVERIFY(costruisci(amb.archivio(), g));
    scrivi(g, 2, 1, QStringLiteral("7,5"));
    QVERIFY(SalvataggioMese(amb.archivio(), g, Febbraio, Anno2024).Salva());
    QCOMPARE(contaMese(amb), righeAttese);
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE Stato = '7,5'")).toInt(), 1);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(VariabileFiglio))
        return salvaFinoAllaFine();
    TestSalvataggioMese test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_salvataggiomese.moc"
