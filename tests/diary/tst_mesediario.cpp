#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "diary/ElencoStati.h"
#include "diary/MeseDiario.h"
#include "diary/SalvataggioMese.h"
#include "diary/SettimanaTipo.h"

#include <QTest>

class TestMeseDiario : public QObject
{
    Q_OBJECT

private slots:
    void salvaSoloLeDifferenze();
    void annullaERipetiAttraversoIlSalvataggio();
    void incollaUnBlocco();
    void settimanaTipo();
};

namespace {

// February 2024 (29 days) of every employee, with the extra type "NOTTURNO".
GrigliaDettaglio::Parametri febbraio(const AmbienteTest& amb)
{
    GrigliaDettaglio::Parametri p;
    p.archivio = amb.archivio();
    p.mese = QStringLiteral("Febbraio");
    p.anno = QStringLiteral("2024");
    p.tipi = { QStringLiteral("NOTTURNO") };
    return p;
}

struct Scritte
{
    int inserite = -1;
    int aggiornate = -1;
};

Scritte salva(MeseDiario& d)
{
    SalvataggioMese s(d);
    if (!s.Salva())
        return {};
    return { s.righeInserite(), s.righeAggiornate() };
}

QString stored(const AmbienteTest& amb, int giorno, const QString& tipo = QStringLiteral("ORDINARIO"))
{
    return amb
        .sql(QStringLiteral("SELECT Stato FROM TabellaMovimenti WHERE Giorno = ? AND Tipo = ? AND "
                            "IndiceAnagrafica = 1"),
            { QString::number(giorno), tipo })
        .toString();
}

ElencoStati stati(const AmbienteTest& amb)
{
    Archivio db(amb.archivio());
    return ElencoStati::Leggi(db);
}

} // namespace

void TestMeseDiario::salvaSoloLeDifferenze()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    MeseDiario d;
    QVERIFY(d.Carica(febbraio(amb)));
    QCOMPARE(d.righe(), 2);
    QCOMPARE(d.giorni(), 29);
    // A month never saved gets its rows, empty days too, as the month save always stored it.
    QCOMPARE(salva(d).inserite, 2 * 29);
    // The name is stored with the ORDINARIO rows, as the month was always stored.
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE RagSociale = 'Rossi'")).toInt(),
        29);

    d.Digita(0, 1, QStringLiteral("8"));
    d.ChiudiDigitazione();
    d.Digita(1, 2, QStringLiteral("1,5"));
    QCOMPARE(d.celleModificate(), 2);
    const Scritte due = salva(d);
    QCOMPARE(due.inserite, 0);
    QCOMPARE(due.aggiornate, 2);
    QCOMPARE(stored(amb, 2, QStringLiteral("NOTTURNO")), QStringLiteral("1,5"));
    QCOMPARE(d.celleModificate(), 0);

    // Edited and taken back by undo: nothing differs, nothing is written.
    MeseDiario ricaricato;
    QVERIFY(ricaricato.Carica(febbraio(amb)));
    QCOMPARE(ricaricato.testo(0, 1), QStringLiteral("8"));
    ricaricato.Digita(0, 3, QStringLiteral("7"));
    ricaricato.Svuota({ 0, 1, 1, 2 });
    QCOMPARE(ricaricato.celleModificate(), 3);
    ricaricato.storia().undo();
    ricaricato.storia().undo();
    QCOMPARE(ricaricato.celleModificate(), 0);
    const Scritte nessuna = salva(ricaricato);
    QCOMPARE(nessuna.inserite, 0);
    QCOMPARE(nessuna.aggiornate, 0);
}

void TestMeseDiario::annullaERipetiAttraversoIlSalvataggio()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2024, 2, 5), QStringLiteral("4"));
    MeseDiario d;
    QVERIFY(d.Carica(febbraio(amb)));
    // The keys typed in one cell are one step; leaving the cell closes it.
    for (const QString& t : { QStringLiteral("7"), QStringLiteral("7,"), QStringLiteral("7,5") })
        d.Digita(0, 5, t);
    d.ChiudiDigitazione();
    QCOMPARE(d.storia().count(), 1);
    QCOMPARE(salva(d).aggiornate, 1);
    QCOMPARE(stored(amb, 5), QStringLiteral("7,5"));

    // After the save the history is still there: undo makes the cell edited again.
    d.storia().undo();
    QCOMPARE(d.testo(0, 5), QStringLiteral("4"));
    QVERIFY(d.modificata(0, 5));
    QCOMPARE(salva(d).aggiornate, 1);
    QCOMPARE(stored(amb, 5), QStringLiteral("4"));
    d.storia().redo();
    QCOMPARE(d.testo(0, 5), QStringLiteral("7,5"));
    QCOMPARE(d.celleModificate(), 1);

    // Reloading the month keeps the edits and their history; another month starts afresh.
    QVERIFY(d.Carica(febbraio(amb)));
    QCOMPARE(d.testo(0, 5), QStringLiteral("7,5"));
    QVERIFY(d.storia().canUndo());
    GrigliaDettaglio::Parametri marzo = febbraio(amb);
    marzo.mese = QStringLiteral("Marzo");
    QVERIFY(d.Carica(marzo));
    QCOMPARE(d.celleModificate(), 0);
    QVERIFY(!d.storia().canUndo());
}

void TestMeseDiario::incollaUnBlocco()
{
    AmbienteTest amb;
    dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    MeseDiario d;
    QVERIFY(d.Carica(febbraio(amb)));
    // From day 27 of the ORDINARIO row: hours with a dot, a code in lower case, junk, a value past
    // day 29; then the hours-only row, where a code is refused; then a line past the last row.
    const QString appunti = QStringLiteral("7.5\tf\txyz\t8\r\n"
                                           "2\tF\t \t3\r\n"
                                           "1\t1\n");
    const MeseDiario::Esito esito = d.Incolla(0, 27, appunti, stati(amb));
    QCOMPARE(esito.scritte, 4);
    QCOMPARE(esito.rifiutate, 2);
    QCOMPARE(esito.fuori, 4);
    QCOMPARE(d.testo(0, 27), QStringLiteral("7,5"));
    QCOMPARE(d.testo(0, 28), QStringLiteral("F"));
    QCOMPARE(d.testo(0, 29), QString());
    QCOMPARE(d.testo(1, 27), QStringLiteral("2"));
    QCOMPARE(d.testo(1, 28), QString());
    QCOMPARE(d.storia().count(), 1);
    // What is copied pastes back the same.
    QCOMPARE(d.Copia({ 0, 27, 1, 29 }), QStringLiteral("7,5\tF\t\n2\t\t\n"));

    // A whole paste is one step; stored as typing the cells would store them.
    QCOMPARE(salva(d).inserite, 2 * 29);
    QCOMPARE(stored(amb, 27), QStringLiteral("7,5"));
    QCOMPARE(amb.sql(QStringLiteral("SELECT Descrizione FROM TabellaMovimenti WHERE Giorno = '28' AND Tipo = "
                                    "'ORDINARIO'"))
                 .toString(),
        QStringLiteral("Ferie"));
    d.storia().undo();
    QCOMPARE(d.testo(0, 27), QString());
    QCOMPARE(d.celleModificate(), 3);
}

void TestMeseDiario::settimanaTipo()
{
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    dipendente(amb, QStringLiteral("B1"), QStringLiteral("Bianchi"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    // June 2026: 2 June (a Tuesday) is a holiday; Rossi has a stored day off on the 1st and the
    // 3rd typed.
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2026, 6, 1), QStringLiteral("F"));
    GrigliaDettaglio::Parametri p = febbraio(amb);
    p.mese = QStringLiteral("Giugno");
    p.anno = QStringLiteral("2026");
    MeseDiario d;
    QVERIFY(d.Carica(p));
    const int rigaRossi = d.riga(0).indice == rossi ? 0 : 2;
    d.Digita(rigaRossi, 3, QStringLiteral("4"));
    const auto giorni = SettimanaTipo::Predefinita().GiorniDaCompilare(2026, 6, {});

    QCOMPARE(d.CompilaSettimana({ 0, 1, 2, 3 }, giorni), 2 * 21 - 2);
    QCOMPARE(d.testo(rigaRossi, 1), QStringLiteral("F"));
    QCOMPARE(d.testo(rigaRossi, 2), QString());
    QCOMPARE(d.testo(rigaRossi, 3), QStringLiteral("4"));
    QCOMPARE(d.testo(rigaRossi, 4), QStringLiteral("8"));
    QCOMPARE(d.testo(rigaRossi, 6), QString()); // Saturday
    QCOMPARE(d.testo(rigaRossi + 1, 4), QString()); // the extra type's row
    d.storia().undo();
    QCOMPARE(d.testo(rigaRossi, 4), QString());
    QCOMPARE(d.testo(rigaRossi, 3), QStringLiteral("4"));
}

QTEST_GUILESS_MAIN(TestMeseDiario)
#include "tst_mesediario.moc"
