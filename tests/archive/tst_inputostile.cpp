// Hostile text in every field that reaches the archive: quotes, an SQL injection attempt, a very
// long text, control characters and emoji are stored as typed (or cut to the field's limit), and
// nothing else in the archive changes.
#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "gui/archive/AvvioSelezione.h"
#include "archive/Module1.h"
#include "archive/Percorsi.h"
#include "archive/Schema.h"
#include "diary/ElencoStati.h"
#include "comune/Griglia.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/NoteGiorno.h"
#include "diary/RegoleCella.h"
#include "diary/RigheDipendenti.h"
#include "diary/SalvataggioMese.h"
#include "masterdata/Anagrafiche.h"
#include "masterdata/Configurazione.h"
#include "masterdata/TabellaCodici.h"
#include "platform/Servizi.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

const QString Iniezione = QStringLiteral("'; drop table TabellaMovimenti; --");

// Name and text of every hostile value.
QList<QPair<QString, QString>> Ostili()
{
    QString lungo;
    while (lungo.size() < 10000)
        lungo += QStringLiteral("àbç'\"%_ ");
    lungo.truncate(10000);
    return {
        { QStringLiteral("apici"), QStringLiteral("D'Angelo \"il Grande\" `x` ''") },
        { QStringLiteral("iniezione"), Iniezione },
        { QStringLiteral("iniezione con apice doppio"),
            QStringLiteral("\"); DELETE FROM TabellaAnagrafiche; --") },
        { QStringLiteral("lungo"), lungo },
        { QStringLiteral("controllo"), QStringLiteral("a\tb\u0001c\u001bd\u007fe\u0007\rf\ng") },
        { QStringLiteral("nul"), QStringLiteral("prima") + QChar(u'\0') + QStringLiteral("dopo") },
        { QStringLiteral("emoji"), QStringLiteral("😀 👍🏽 👨‍👩‍👧 🇮🇹 ok") },
        { QStringLiteral("emoji al limite"), QString(49, QLatin1Char('x')) + QStringLiteral("😀😀") },
        { QStringLiteral("percentuali e segnaposto"), QStringLiteral("%1 %s %n ? :nome @p $1") },
    };
}

// Stored as typed, or cut to the field's limit (never through the middle of a character pair).
bool Conservato(const QString& memorizzato, const QString& digitato, int limite)
{
    if (memorizzato == digitato)
        return true;
    if (limite <= 0 || digitato.size() <= limite)
        return false;
    QString tagliato = digitato.left(limite);
    if (tagliato.back().isHighSurrogate())
        tagliato.chop(1);
    return memorizzato == tagliato;
}

// Every row of every table, for "nothing else changed".
QStringList Istantanea(const QString& archivio, const QStringList& escluse = {})
{
    QStringList righe;
    Archivio db(archivio);
    QStringList tabelle;
    QSqlQuery t = db.esegui(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    while (t.next())
        tabelle << t.value(0).toString();
    for (const QString& tabella : tabelle) {
        righe << QStringLiteral("== ") + tabella;
        if (escluse.contains(tabella))
            continue;
        QSqlQuery q = db.esegui(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(tabella));
        while (q.next()) {
            QStringList valori;
            for (int i = 0; i < q.record().count(); ++i)
                valori << q.value(i).toString();
            righe << valori.join(QChar(0x1F));
        }
    }
    return righe;
}

qint64 Dipendente(const AmbienteTest& amb, const QString& codice)
{
    return dipendente(
        amb, codice, QStringLiteral("Rossi Mario"), 1, { { "Cognome", QStringLiteral("Rossi") } });
}

void AggiungiRighe()
{
    QTest::addColumn<QString>("ostile");
    for (const auto& [nome, testo] : Ostili())
        QTest::newRow(qUtf8Printable(nome)) << testo;
}

} // namespace

class TestInputOstile : public QObject
{
    Q_OBJECT

private slots:
    void schedaDipendente_data() { AggiungiRighe(); }
    void schedaDipendente();
    void statiETipi_data() { AggiungiRighe(); }
    void statiETipi();
    void configurazione_data() { AggiungiRighe(); }
    void configurazione();
    void note_data() { AggiungiRighe(); }
    void note();
    void celle_data() { AggiungiRighe(); }
    void celle();
    void nomeNuovoArchivio_data() { AggiungiRighe(); }
    void nomeNuovoArchivio();
};

void TestInputOstile::schedaDipendente()
{
    QFETCH(QString, ostile);
    AmbienteTest amb;
    const qint64 altro = Dipendente(amb, QStringLiteral("A1"));
    movimento(amb, altro, QStringLiteral("ORDINARIO"), QDate(2024, 3, 1), QStringLiteral("F"));
    const QStringList prima = Istantanea(amb.archivio(), { QStringLiteral("TabellaAnagrafiche") });

    // Every text control at once (the dates are no text: they take only dates), the code too.
    Anagrafiche::Scheda s;
    s.imposta(QStringLiteral("Codice"), ostile);
    for (const Anagrafiche::CampoScheda& c : Anagrafiche::CampiScheda())
        if (!c.controllo.startsWith(QLatin1String("Data")))
            s.imposta(c.controllo, ostile);
    s.imposta(QStringLiteral("DataNascita"), ostile);
    QCOMPARE(Anagrafiche::Registra(amb.archivio(), s), Anagrafiche::EsitoRegistrazione::Registrata);

    const std::optional<Anagrafiche::Scheda> letta = Anagrafiche::LeggiScheda(amb.archivio(), s.chiave());
    QVERIFY(letta);
    for (const QString& controllo : s.testi.keys()) {
        if (controllo.startsWith(QLatin1String("Data")))
            continue;
        const QString memorizzato = letta->testo(controllo);
        if (!Conservato(memorizzato, ostile, Anagrafiche::Limite(controllo))
            && !Conservato(memorizzato, ostile.trimmed(), Anagrafiche::Limite(controllo)))
            QFAIL(qPrintable(QStringLiteral("%1: «%2»").arg(controllo, memorizzato.left(80))));
    }
    QVERIFY(letta->testo(QStringLiteral("DataNascita")).isEmpty());
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche")).toInt(), 2);
    QCOMPARE(amb.sql(QStringLiteral("SELECT Codice FROM TabellaAnagrafiche WHERE Indice = ?"), { altro })
                 .toString(),
        QStringLiteral("A1"));
    QCOMPARE(Istantanea(amb.archivio(), { QStringLiteral("TabellaAnagrafiche") }), prima);
}

void TestInputOstile::statiETipi()
{
    QFETCH(QString, ostile);
    for (const DefinizioneTabellaCodici* def : { &DefinizioneStati(), &DefinizioneTipi() }) {
        AmbienteTest amb;
        const QStringList prima = Istantanea(amb.archivio(), { def->tabella });
        const int righePrima = amb.sql(QStringLiteral("SELECT count(*) FROM %1").arg(def->tabella)).toInt();
        TabellaCodici tabella(amb.archivio(), *def);
        const TabellaCodici::EsitoRegistrazione esito = tabella.Registra({ QString(), ostile, ostile });
        if (Module1::ValoreNumerico(ostile) != 0) {
            // A code with digits is refused with its message.
            QCOMPARE(esito, TabellaCodici::EsitoRegistrazione::CodiceConNumeri);
            QCOMPARE(amb.messaggi.testi(), QStringList { def->codiceConNumeri });
            QCOMPARE(
                amb.sql(QStringLiteral("SELECT count(*) FROM %1").arg(def->tabella)).toInt(), righePrima);
        } else {
            QCOMPARE(esito, TabellaCodici::EsitoRegistrazione::Registrato);
            QCOMPARE(
                amb.sql(QStringLiteral("SELECT count(*) FROM %1").arg(def->tabella)).toInt(), righePrima + 1);
            const QString codice = amb.sql(QStringLiteral("SELECT %1 FROM %2 ORDER BY Indice DESC LIMIT 1")
                                               .arg(def->campoCodice, def->tabella))
                                       .toString();
            const QString descrizione
                = amb.sql(QStringLiteral("SELECT Descrizione FROM %1 ORDER BY Indice DESC LIMIT 1")
                              .arg(def->tabella))
                      .toString();
            QVERIFY2(Conservato(codice, ostile.trimmed().toUpper(),
                         Schema::Dimensione(def->tabella, def->campoCodice)),
                qPrintable(codice.left(80)));
            QVERIFY2(Conservato(descrizione, ostile,
                         Schema::Dimensione(def->tabella, QStringLiteral("Descrizione"))),
                qPrintable(descrizione.left(80)));
        }
        QCOMPARE(Istantanea(amb.archivio(), { def->tabella }), prima);
    }
}

void TestInputOstile::configurazione()
{
    QFETCH(QString, ostile);
    AmbienteTest amb;
    const QStringList prima = Istantanea(amb.archivio(), { QStringLiteral("Configurazioni") });
    Configurazione::Dati dati = Configurazione::ValoriIniziali();
    for (const Configurazione::CampoTesto& c : Configurazione::CampiTesto())
        dati.*c.valore = ostile;
    QVERIFY(Configurazione::SalvaConfigurazione(amb.archivio(), dati, {}));
    const Configurazione::Lettura letta = Configurazione::Leggi(amb.archivio());
    QVERIFY(letta.riga);
    for (const Configurazione::CampoTesto& c : Configurazione::CampiTesto()) {
        const QString memorizzato = letta.dati.*c.valore;
        QVERIFY2(Conservato(memorizzato, ostile, Configurazione::Limite(c.nome)),
            qPrintable(QStringLiteral("%1: «%2»").arg(c.nome, memorizzato.left(80))));
    }
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
    QCOMPARE(Istantanea(amb.archivio(), { QStringLiteral("Configurazioni") }), prima);
}

void TestInputOstile::note()
{
    QFETCH(QString, ostile);
    AmbienteTest amb;
    const qint64 indice = Dipendente(amb, QStringLiteral("N1"));
    for (int giorno = 1; giorno <= 2; ++giorno)
        movimento(amb, indice, QStringLiteral("ORDINARIO"), QDate(2024, 3, giorno), QStringLiteral("F"),
            QStringLiteral("vecchia"));
    const QStringList prima = Istantanea(amb.archivio(), { QStringLiteral("TabellaMovimenti") });

    const NoteGiorno::Cella cella { QStringLiteral("Marzo"), QStringLiteral("2024"), QStringLiteral("1"),
        indice, QStringLiteral("ORDINARIO") };
    QCOMPARE(NoteGiorno::Scrivi(amb.archivio(), cella, ostile), NoteGiorno::Esito::Memorizzata);
    QString nota;
    bool esiste = false;
    QVERIFY(NoteGiorno::Leggi(amb.archivio(), cella, &nota, &esiste));
    QVERIFY(esiste);
    QVERIFY2(Conservato(nota, ostile,
                 Schema::Dimensione(QStringLiteral("TabellaMovimenti"), QStringLiteral("Note"))),
        qPrintable(nota.left(80)));
    // The other day and the rest of the row are as they were.
    QCOMPARE(amb.sql(QStringLiteral("SELECT Note FROM TabellaMovimenti WHERE Giorno = '2'")).toString(),
        QStringLiteral("vecchia"));
    QCOMPARE(amb.sql(QStringLiteral("SELECT group_concat(Stato) FROM TabellaMovimenti")).toString(),
        QStringLiteral("F,F"));
    QCOMPARE(Istantanea(amb.archivio(), { QStringLiteral("TabellaMovimenti") }), prima);
}

void TestInputOstile::celle()
{
    QFETCH(QString, ostile);
    AmbienteTest amb;
    const qint64 indice = Dipendente(amb, QStringLiteral("C1"));
    const qint64 altro = Dipendente(amb, QStringLiteral("C2"));
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    const QStringList prima = Istantanea(amb.archivio(), { QStringLiteral("TabellaMovimenti") });

    Griglia g;
    GrigliaDettaglio::Parametri p;
    p.archivio = amb.archivio();
    p.mese = QStringLiteral("Febbraio");
    p.anno = QStringLiteral("2024");
    p.tipi = RigheDipendenti::CaricaTipi(amb.archivio());
    p.criteri.codiceDipendente = QStringLiteral("C1");
    p.oggi = QDate(2024, 2, 14);
    QVERIFY(GrigliaDettaglio::DimensionaGriglia1(g, p));
    int r = -1;
    for (int i = 2; i < g.righe(); ++i)
        if (g.testo(i, 0) == QString::number(indice) && g.testo(i, 3) == QLatin1String("ORDINARIO"))
            r = i;
    QVERIFY(r >= 0);
    g.impostaTesto(r, GrigliaDettaglio::ColonnaGiorno(1), ostile);
    g.impostaTesto(r, GrigliaDettaglio::ColonnaGiorno(2), QStringLiteral("f"));
    g.impostaTesto(r, GrigliaDettaglio::ColonnaGiorno(3), QStringLiteral("7,5"));
    SalvataggioMese salvataggio(amb.archivio(), g, QStringLiteral("Febbraio"), QStringLiteral("2024"));
    QVERIFY2(salvataggio.Salva(), qPrintable(salvataggio.descrizioneErrore()));

    // Stored by the cell rule (digits make hours; anything else that is no state is emptied),
    // the other cells as always.
    ElencoStati stati;
    stati.aggiungi(QStringLiteral("F"), QStringLiteral("Ferie"));
    const QString atteso = RegoleCella::Classifica(ostile, stati).testo;
    QVERIFY(atteso.isEmpty() || QStringView(atteso).toDouble() != 0 || atteso.contains(QLatin1Char(',')));
    auto stato = [&](int giorno) {
        return amb.sql(
            QStringLiteral("SELECT Stato FROM TabellaMovimenti WHERE IndiceAnagrafica = ? AND Giorno = ? "
                           "AND Mese = 'Febbraio' AND Tipo = 'ORDINARIO'"),
            { indice, QString::number(giorno) });
    };
    QCOMPARE(stato(1).toString(), atteso);
    QCOMPARE(g.testo(r, GrigliaDettaglio::ColonnaGiorno(1)), atteso);
    QCOMPARE(stato(2).toString(), QStringLiteral("F"));
    QCOMPARE(stato(3).toString(), QStringLiteral("7,5"));
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE IndiceAnagrafica = ?"), { altro })
            .toInt(),
        0);
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE IndiceAnagrafica = ? AND Tipo = "
                               "'ORDINARIO'"),
               { indice })
            .toInt(),
        29);
    QCOMPARE(amb.sql(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    QCOMPARE(Istantanea(amb.archivio(), { QStringLiteral("TabellaMovimenti") }), prima);
}

void TestInputOstile::nomeNuovoArchivio()
{
    QFETCH(QString, ostile);
    AmbienteTest amb(false);
    const QString casa = amb.percorso(QStringLiteral("casa"));
    const QString programma = amb.percorso(QStringLiteral("programma"));
    const QString archivi = amb.percorso(QStringLiteral("archivi"));
    QDir().mkpath(casa);
    QDir().mkpath(programma);
    QDir().mkpath(archivi);
    qputenv("HOME", QFile::encodeName(casa));
    servizi().cartellaEseguibile = programma;
    amb.sessione.CartellaInf.clear();
    {
        AvvioSelezione w(amb.sessione);
        w.ImpostaPercorso(archivi);
        amb.messaggi.svuota();
        amb.messaggi.testiInput << ostile;
        w.CreaNuovoArchivio_Click();
        const QStringList file = QDir(archivi).entryList(QDir::Files | QDir::Hidden);
        if (Percorsi::ControlloNomeDbOk(ostile)) {
            // A name of allowed characters is made, or refused with the reason when the file
            // system cannot take it (too long).
            QVERIFY(file.isEmpty() || file == QStringList { ostile + QStringLiteral(".mdb") });
            QVERIFY(!amb.messaggi.testi().isEmpty());
        } else {
            QVERIFY2(file.isEmpty(), qPrintable(file.join(QLatin1Char(','))));
            QVERIFY(amb.messaggi.testi().first().endsWith(QStringLiteral(" non è ammesso")));
        }
        QCOMPARE(amb.terminazioni, 0);
    }
    servizi().cartellaEseguibile.clear();
}

QTEST_MAIN(TestInputOstile)
#include "tst_inputostile.moc"
