#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/IndirizzoServer.h"
#include "archive/Module1.h"
#include "archive/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void nuovoArchivio();
    void ripetizioneNonCambiaNulla();
    void campoTipoMancante();
    void campoPrnDocsPDFMancante();
    void campoEsistenteNonCambiato();
    void righeDiAvanzamento();
    void percorsoNonValidoRipiega();
    void controllaVersione_data();
    void controllaVersione();
    void rigaDiComando();
    void esportaDaRigaDiComando();
    void rigaDiComandoErrata_data();
    void rigaDiComandoErrata();
};

namespace {
struct Atteso
{
    const char* tabella;
    QStringList campi;
    QStringList indici;
};

QStringList l(const char* testo)
{
    return QString::fromLatin1(testo).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QList<Atteso> schemaAtteso()
{
    return {
        { "TabellaAnagrafiche",
            l("Indice Codice RagSociale Nome Cognome Indirizzo Cap Comune Provincia Cellulare Telefono Email "
              "Web Note "
              "TipoDocumento NroDocumento DataDocumento DataNascita LuogoNascita Cittadinanza Nazione "
              "StatoDiNascita "
              "LuogoDocumento ProvinciaDiNascita Maschio Femmina CodiceFiscale Attivo NonAttivo"),
            l("TabellaAnagrafiche_PrimaryKey TabellaAnagrafiche_SecondaryKey") },
        { "TabellaStati", l("Indice Stato Descrizione"), l("TabellaStati_PrimaryKey TabellaStati_StatoKey") },
        { "TabellaTipi", l("Indice Tipo Descrizione"), l("TabellaTipi_PrimaryKey") },
        { "TabellaMovimenti",
            l("Indice Data Giorno Mese Anno IndiceAnagrafica CodiceAnagrafica RagSociale Stato Descrizione "
              "Note StatoNum "
              "Tipo"),
            l("TabellaMovimenti_DataKey TabellaMovimenti_GiornoKey TabellaMovimenti_MeseKey "
              "TabellaMovimenti_PrimaryKey "
              "TabellaMovimenti_TotaliKey") },
        { "TabellaVersione", l("Indice Versione"), l("TabellaVersione_PrimaryKey") },
        { "Variabili", l("NomeVar ValoreStringa"), l("Variabili_NomeVarInd") },
        { "Configurazioni",
            l("Indice RagSociale Indirizzo Cap Comune Provincia Piva CodiceFiscale Tel Fax Percorso "
              "PercorsoBackup prnDocs "
              "Password VisualizzaIntestazione VisualizzaLogo SalvataggioAutomatico Banca Cab Abi Cin CC "
              "Iban Agenzia "
              "PercorsoRicerca Logo prnDocsPDF"),
            l("Configurazioni_PrimaryKey") },
        { "Stampa", l("Indice Descrizione IndiceRif DescrizioneMemo"),
            l("Stampa_Primario Stampa_Secondario") },
        { "Stampa2", l("Indice Des1 Des2 Des3 Des4 Des5 Des6 IndiceRif Grassetto Des7 Des8 Des9"),
            l("Stampa2_Primario Stampa2_Secondrio") },
    };
}

// The rows of a query's first column, in one text.
QString righe(Archivio& db, const QString& sql)
{
    QSqlQuery q = db.esegui(sql);
    QStringList r;
    while (q.next())
        r << q.value(0).toString();
    return r.join(QLatin1Char('\n'));
}

// Tables, fields with their types and defaults, indexes and constraints, as the engine keeps them.
QString dumpSchema(const QString& percorso)
{
    Archivio db(percorso);
    if (db.motore() == Motore::SQLite)
        return righe(
            db, QStringLiteral("SELECT type || name || coalesce(sql, '') FROM sqlite_master ORDER BY name"));
    return righe(db,
               QStringLiteral(
                   "SELECT table_name || '.' || column_name || ' ' || data_type || ' ' || is_nullable "
                   "|| ' ' || is_identity || ' ' || coalesce(column_default, '') || ' ' || "
                   "coalesce(collation_name, '') FROM information_schema.columns WHERE table_schema = "
                   "current_schema() ORDER BY table_name, ordinal_position"))
        + righe(db,
            QStringLiteral(
                "SELECT indexdef FROM pg_indexes WHERE schemaname = current_schema() ORDER BY indexname"))
        + righe(db,
            QStringLiteral("SELECT conname || ' ' || pg_get_constraintdef(oid) FROM pg_constraint WHERE "
                           "connamespace = current_schema()::regnamespace ORDER BY conname"));
}

// The archive's tables, in lower case (the server's own spelling).
QStringList tabelle(Archivio& db)
{
    const QString sql = db.motore() == Motore::SQLite
        ? QStringLiteral(
            "SELECT lower(name) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
            "ORDER BY 1")
        : QStringLiteral("SELECT lower(table_name) FROM information_schema.tables WHERE table_schema = "
                         "current_schema() AND table_type = 'BASE TABLE' ORDER BY 1");
    return righe(db, sql).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A field's declared type, in lower case.
QString tipoCampo(const QString& percorso, const QString& tabella, const QString& campo)
{
    Archivio db(percorso);
    const QString sql = db.motore() == Motore::SQLite
        ? QStringLiteral("SELECT lower(type) FROM pragma_table_info(?) WHERE name = ?")
        : QStringLiteral("SELECT lower(data_type) FROM information_schema.columns WHERE table_schema = "
                         "current_schema() AND table_name = lower(?) AND column_name = lower(?)");
    return db.valore(sql, { tabella, campo }).toString();
}

// `colonne` of an older archive's table ("Stato TEXT"), after its key Indice.
void tabellaVecchia(const QString& percorso, const QString& tabella, const QString& colonne)
{
    Archivio db(percorso, Archivio::Apertura::CreaSeManca);
    db.esegui(QStringLiteral("CREATE TABLE %1 (Indice %2, %3)")
                  .arg(tabella, Schema::TipoMotore(Schema::Tipo::LongAuto, db.motore()), colonne));
}
} // namespace

void TestSchema::nuovoArchivio()
{
    AmbienteTest amb;
    Archivio db(amb.archivio());
    const QStringList presenti = tabelle(db);
    QCOMPARE(presenti.size(), 9);
    for (const Atteso& a : schemaAtteso()) {
        const QString t = QString::fromLatin1(a.tabella);
        QVERIFY2(presenti.contains(t.toLower()), a.tabella);
        QCOMPARE(db.campi(t), a.campi);
        QCOMPARE(db.indici(t), a.indici);
    }
    QCOMPARE(db.valore(QStringLiteral("SELECT count(*) FROM TabellaVersione")).toInt(), 0);
    // Unique keys hold; a zero-length setting name is refused.
    db.esegui(QStringLiteral("INSERT INTO TabellaAnagrafiche (Codice) VALUES ('A1')"));
    bool rifiutato = false;
    try {
        db.esegui(QStringLiteral("INSERT INTO TabellaAnagrafiche (Codice) VALUES ('A1')"));
    } catch (const ErroreArchivio&) {
        rifiutato = true;
    }
    QVERIFY(rifiutato);
    rifiutato = false;
    try {
        db.esegui(QStringLiteral("INSERT INTO Variabili (NomeVar, ValoreStringa) VALUES ('', 'x')"));
    } catch (const ErroreArchivio&) {
        rifiutato = true;
    }
    QVERIFY(rifiutato);
}

void TestSchema::ripetizioneNonCambiaNulla()
{
    AmbienteTest amb;
    amb.sql(QStringLiteral("INSERT INTO TabellaMovimenti (Stato, Tipo) VALUES ('F', 'STRAORDINARIO')"));
    amb.sql(QStringLiteral("INSERT INTO Configurazioni (RagSociale) VALUES ('Ditta')"));
    const QString prima = dumpSchema(amb.archivio());
    QVERIFY(CreazioneDB().CreaDB(amb.archivio()));
    QVERIFY(CreazioneDB().CreaDB_Click(amb.sessione.PercorsoArchivio));
    QCOMPARE(dumpSchema(amb.archivio()), prima);
    QCOMPARE(amb.sql(QStringLiteral("SELECT Tipo FROM TabellaMovimenti")).toString(),
        QStringLiteral("STRAORDINARIO"));
    QCOMPARE(
        amb.sql(QStringLiteral("SELECT RagSociale FROM Configurazioni")).toString(), QStringLiteral("Ditta"));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM Configurazioni")).toInt(), 1);
}

void TestSchema::campoTipoMancante()
{
    AmbienteTest amb(AmbienteTest::Partenza::DatabaseVuoto);
    const QString vecchio = amb.archivio();
    tabellaVecchia(vecchio, QStringLiteral("TabellaMovimenti"),
        QStringLiteral("Data TEXT, Stato TEXT, StatoNum %1")
            .arg(Schema::TipoMotore(
                Schema::Tipo::Double, IndirizzoServer::E(vecchio) ? Motore::PostgreSQL : Motore::SQLite)));
    for (int i = 0; i < 5; ++i)
        AmbienteTest::sqlSu(vecchio,
            QStringLiteral("INSERT INTO TabellaMovimenti (Stato, StatoNum) VALUES (?, ?)"),
            { QString::number(i), i });
    QVERIFY(CreazioneDB().CreaDB(vecchio));
    QCOMPARE(AmbienteTest::sqlSu(
                 vecchio, QStringLiteral("SELECT count(*) FROM TabellaMovimenti WHERE Tipo = 'ORDINARIO'"))
                 .toInt(),
        5);
    QCOMPARE(
        AmbienteTest::sqlSu(vecchio, QStringLiteral("SELECT sum(StatoNum) FROM TabellaMovimenti")).toInt(),
        10);
    Archivio db(vecchio);
    // Existing fields keep their place; the missing ones follow in the listed order.
    QCOMPARE(db.campi(QStringLiteral("TabellaMovimenti")).mid(0, 5), l("Indice Data Stato StatoNum Giorno"));
    QCOMPARE(db.campi(QStringLiteral("TabellaMovimenti")).size(), 13);
}

void TestSchema::campoPrnDocsPDFMancante()
{
    AmbienteTest amb(AmbienteTest::Partenza::DatabaseVuoto);
    const QString vecchio = amb.archivio();
    tabellaVecchia(
        vecchio, QStringLiteral("Configurazioni"), QStringLiteral("RagSociale TEXT, prnDocs TEXT"));
    AmbienteTest::sqlSu(
        vecchio, QStringLiteral("INSERT INTO Configurazioni (RagSociale, prnDocs) VALUES ('Ditta', 'HP')"));
    QVERIFY(CreazioneDB().CreaDB(vecchio));
    Archivio db(vecchio);
    QVERIFY(db.campi(QStringLiteral("Configurazioni")).contains(QStringLiteral("prnDocsPDF")));
    QSqlQuery q = db.esegui(QStringLiteral("SELECT RagSociale, prnDocs, prnDocsPDF FROM Configurazioni"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("Ditta"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("HP"));
    QVERIFY(q.value(2).isNull());
    QVERIFY(!q.next());
}

void TestSchema::campoEsistenteNonCambiato()
{
    AmbienteTest amb(AmbienteTest::Partenza::DatabaseVuoto);
    const QString vecchio = amb.archivio();
    tabellaVecchia(vecchio, QStringLiteral("TabellaStati"), QStringLiteral("Stato INTEGER"));
    QVERIFY(CreazioneDB().CreaDB(vecchio));
    QCOMPARE(tipoCampo(vecchio, QStringLiteral("TabellaStati"), QStringLiteral("Stato")),
        QStringLiteral("integer"));
    QCOMPARE(tipoCampo(vecchio, QStringLiteral("TabellaStati"), QStringLiteral("Descrizione")),
        QStringLiteral("text"));
}

void TestSchema::righeDiAvanzamento()
{
    AmbienteTest amb(AmbienteTest::Partenza::DatabaseVuoto);
    CreazioneDB c;
    QStringList righe;
    auto conn = connect(&c, &CreazioneDB::rigaCambiata, this, [&](const QString& r) { righe << r; });
    const qsizetype prima = c.Help().size();
    QVERIFY(c.CreaDB(amb.archivio()));
    disconnect(conn);
    QCOMPARE(righe.size(), 10);
    QCOMPARE(righe.first(), QStringLiteral("Controllo Tabella Configurazioni Effettuato"));
    QCOMPARE(righe.at(8), QStringLiteral("Controllo Tabella Movimenti Effettuato"));
    QCOMPARE(righe.last(), QStringLiteral("COMANDO ESEGUITO"));
    QCOMPARE(c.riga(), QStringLiteral("COMANDO ESEGUITO"));
    // "COMANDO ESEGUITO" is not listed; every other line is numbered by the running counter.
    QCOMPARE(c.Help().size(), prima + 9);
    QCOMPARE(c.Help().last(), QStringLiteral("n.%1 Controllo Tabella Movimenti Effettuato").arg(prima + 9));
    QCOMPARE(c.RigaInCima(), int(c.Help().size()) - 9);
}

void TestSchema::percorsoNonValidoRipiega()
{
    AmbienteTest amb(false);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(amb.cartella());
    amb.sessione.PercorsoArchivio = amb.percorso(QStringLiteral("non/esiste/Archivio.mdb"));
    const bool ok = CreazioneDB().CreaDB_Click(amb.sessione.PercorsoArchivio);
    QDir::setCurrent(cwd);
    QVERIFY(ok);
    QCOMPARE(amb.sessione.PercorsoArchivio, QStringLiteral("Archivio.mdb"));
    QVERIFY(QFileInfo::exists(amb.percorso(QStringLiteral("Archivio.mdb"))));
    // The explicit form reports the failure instead.
    CreazioneDB esplicita;
    QVERIFY(!esplicita.CreaDB(amb.percorso(QStringLiteral("non/esiste/Archivio.mdb"))));
    QCOMPARE(esplicita.UltimoErrore(), int(CodiciErrore::PercorsoNonValido));
}

void TestSchema::controllaVersione_data()
{
    QTest::addColumn<QString>("memorizzata"); // null: no row
    QTest::addColumn<bool>("prosegue");
    QTest::addColumn<QString>("messaggio");
    QTest::addColumn<QString>("dopo");

    QTest::newRow("nessuna riga") << QString() << true << QString() << "2.0.6";
    QTest::newRow("uguale") << "2.0.6" << true << QString() << "2.0.6";
    QTest::newRow("vecchia") << "2.0.5" << true << "E' stato eseguito un aggiornamento"
                             << "2.0.6";
    QTest::newRow("nuova")
        << "2.0.7" << false
        << "Attenzione, la versione del database è più aggiornata rispetto a quella del programma!"
           "\r\nEseguire l'aggiornamento del programma"
        << "2.0.7";
}

void TestSchema::controllaVersione()
{
    QFETCH(QString, memorizzata);
    QFETCH(bool, prosegue);
    QFETCH(QString, messaggio);
    QFETCH(QString, dopo);

    AmbienteTest amb;
    if (!memorizzata.isNull()) {
        amb.sql(QStringLiteral("INSERT INTO TabellaVersione (Versione) VALUES (?)"), { memorizzata });
        // Drop a table: the update path must run the creation, the other paths must not touch the schema.
        amb.sql(QStringLiteral("DROP TABLE Stampa"));
    }
    QCOMPARE(ControllaVersione(amb.sessione.PercorsoArchivio, Module1::VersioneProgramma), prosegue);
    QCOMPARE(amb.terminazioni, prosegue ? 0 : 1);
    if (messaggio.isEmpty()) {
        QVERIFY(amb.messaggi.chiamate.isEmpty());
    } else {
        QCOMPARE(amb.messaggi.chiamate.size(), 1);
        QCOMPARE(amb.messaggi.chiamate.first().testo, messaggio);
        QCOMPARE(amb.messaggi.chiamate.first().icona, prosegue ? Messaggi::Information : Messaggi::Critical);
    }
    {
        Archivio db(amb.archivio());
        QCOMPARE(righe(db, QStringLiteral("SELECT Versione FROM TabellaVersione")), dopo);
        QCOMPARE(db.esisteTabella(QStringLiteral("Stampa")),
            memorizzata.isNull() || memorizzata == QLatin1String("2.0.5"));
    }

    // The next start is silent and changes nothing.
    if (prosegue) {
        amb.messaggi.svuota();
        QVERIFY(ControllaVersione(amb.sessione.PercorsoArchivio, Module1::VersioneProgramma));
        QVERIFY(amb.messaggi.chiamate.isEmpty());
        QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaVersione")).toInt(), 1);
    }
}

void TestSchema::rigaDiComando()
{
    const QString programma = qEnvironmentVariable("CARTAVIA_TEST_BIN") + QStringLiteral("/cartavia");
    if (!QFileInfo::exists(programma))
        QSKIP("program not built");
    QTemporaryDir dir;
    const QString percorso = dir.filePath(QStringLiteral("nuova/../Nuovo archivio.mdb"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);

    p.start(programma, { QStringLiteral("--versione") });
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), QStringLiteral("2.0.6"));

    p.start(programma, { QStringLiteral("--festivita"), QStringLiteral("2027") });
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    const QStringList feste
        = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(feste.size(), 13);
    QCOMPARE(feste.first(), QStringLiteral("01/01/2027 Capodanno"));
    QVERIFY(feste.contains(QStringLiteral("29/03/2027 Lunedì dell'Angelo")));
    QCOMPARE(feste.last(), QStringLiteral("26/12/2027 Santo Stefano"));

    QDir(dir.path()).mkdir(QStringLiteral("nuova"));
    p.start(programma, { QStringLiteral("--crea-archivio"), percorso });
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    const QStringList righe
        = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(righe.size(), 10);
    QCOMPARE(righe.last(), QStringLiteral("COMANDO ESEGUITO"));
    const QString creato = dir.filePath(QStringLiteral("Nuovo archivio.mdb"));
    QCOMPARE(AmbienteTest::sqlSu(creato,
                 QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name "
                                "NOT LIKE 'sqlite_%'"))
                 .toInt(),
        9);

    // Inside a plain file: not a folder, so nothing can be written there.
    p.start(programma, { QStringLiteral("--crea-archivio"), creato + QStringLiteral("/dentro.mdb") });
    QVERIFY(p.waitForFinished(30000));
    QVERIFY(p.exitCode() != 0);
    QVERIFY(QString::fromUtf8(p.readAllStandardError())
                .contains(QStringLiteral("impossibile creare l'archivio")));

    // A file that is not an archive is left alone.
    const QString testo = dir.filePath(QStringLiteral("lettera.mdb"));
    QFile f(testo);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1000, 'a'));
    f.close();
    p.start(programma, { QStringLiteral("--crea-archivio"), testo });
    QVERIFY(p.waitForFinished(30000));
    QVERIFY(p.exitCode() != 0);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("non è un archivio")));
    QCOMPARE(QFileInfo(testo).size(), qint64(1000));
}

// The export needs no display: it writes the file, or says why not with status 1 and no file.
void TestSchema::esportaDaRigaDiComando()
{
    const QString programma = qEnvironmentVariable("CARTAVIA_TEST_BIN") + QStringLiteral("/cartavia");
    if (!QFileInfo::exists(programma))
        QSKIP("program not built");
    AmbienteTest amb;
    const qint64 rossi = dipendente(amb, QStringLiteral("R1"), QStringLiteral("Rossi"));
    movimento(amb, rossi, QStringLiteral("ORDINARIO"), QDate(2026, 3, 2), QStringLiteral("7,5"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    const auto esegui = [&](const QString& archivio, const QString& file, const QStringList& altro) {
        p.start(programma, QStringList { QStringLiteral("--esporta"), archivio, file } + altro);
        return p.waitForFinished(30000) ? p.exitCode() : -1;
    };
    const QStringList marzo { QStringLiteral("--mese"), QStringLiteral("marzo"), QStringLiteral("--anno"),
        QStringLiteral("2026") };

    const QString csv = amb.percorso(QStringLiteral("righe.csv"));
    QCOMPARE(esegui(amb.archivio(), csv,
                 marzo + QStringList { QStringLiteral("--formato"), QStringLiteral("csv-righe") }),
        0);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString testo = QString::fromUtf8(f.readAll());
    QVERIFY2(testo.contains(QStringLiteral("02/03/2026;R1;")), qPrintable(testo));
    QVERIFY2(testo.contains(QStringLiteral(";7,5;")), qPrintable(testo));

    const QString altro = amb.percorso(QStringLiteral("altro.xlsx"));
    QCOMPARE(esegui(amb.percorso(QStringLiteral("manca.mdb")), altro, marzo), 1);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("non esiste")));
    QCOMPARE(esegui(amb.archivio(), altro,
                 marzo + QStringList { QStringLiteral("--dipendente"), QStringLiteral("ZZ") }),
        1);
    QVERIFY(QString::fromUtf8(p.readAllStandardError())
                .contains(QStringLiteral("Nessun dipendente ha il codice «ZZ»")));
    QVERIFY(!QFileInfo::exists(altro));

    // The sheets to sign: laid out without a display, one page each.
    const QString pdf = amb.percorso(QStringLiteral("cartellini.pdf"));
    p.start(programma, QStringList { QStringLiteral("--stampa-cartellini"), amb.archivio(), pdf } + marzo);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY2(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("(1 pagina)")),
        qPrintable(QString::fromUtf8(p.readAllStandardError())));
    QVERIFY(QFileInfo(pdf).size() > 0);
}

void TestSchema::rigaDiComandoErrata_data()
{
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("sconosciuta") << QStringList { QStringLiteral("--importa") }
                                 << QStringLiteral("opzione sconosciuta: --importa");
    QTest::newRow("refuso") << QStringList { QStringLiteral("--versone") }
                            << QStringLiteral("opzione sconosciuta: --versone");
    QTest::newRow("parola") << QStringList { QStringLiteral("archivio.mdb") }
                            << QStringLiteral("opzione sconosciuta");
    QTest::newRow("versione con altro") << QStringList { QStringLiteral("--versione"), QStringLiteral("x") }
                                        << QStringLiteral("--versione non vuole altri argomenti");
    QTest::newRow("festività senza anno")
        << QStringList { QStringLiteral("--festivita") } << QStringLiteral("indicare l'anno delle festività");
    QTest::newRow("festività, anno non numerico") << QStringList { QStringLiteral("--festivita"),
        QStringLiteral("duemila") } << QStringLiteral("anno non valido: duemila");
    QTest::newRow("crea senza percorso")
        << QStringList { QStringLiteral("--crea-archivio") } << QStringLiteral("indicare il percorso");
    QTest::newRow("esempio, mesi non numerici") << QStringList { QStringLiteral("--archivio-esempio"),
        QStringLiteral("e.mdb"), QStringLiteral("--mesi"), QStringLiteral("tre") }
                                                << QStringLiteral("vogliono un numero intero");
    QTest::newRow("esempio, valore mancante") << QStringList { QStringLiteral("--archivio-esempio"),
        QStringLiteral("e.mdb"), QStringLiteral("--mesi") }
                                              << QStringLiteral("manca il valore di --mesi");
    const auto esporta = [](const QStringList& altro) {
        return QStringList { QStringLiteral("--esporta"), QStringLiteral("a.mdb"), QStringLiteral("p.xlsx") }
        + altro;
    };
    QTest::newRow("esporta, data non valida") << esporta({ QStringLiteral("--dal"),
        QStringLiteral("31/02/2026"), QStringLiteral("--al"), QStringLiteral("10/03/2026") })
                                              << QStringLiteral("il periodo vuole due date valide");
    QTest::newRow("esporta, periodo al rovescio") << esporta({ QStringLiteral("--dal"),
        QStringLiteral("10/03/2026"), QStringLiteral("--al"), QStringLiteral("01/03/2026") })
                                                  << QStringLiteral("viene dopo la data --al");
    QTest::newRow("esporta, periodo troppo lungo") << esporta({ QStringLiteral("--dal"),
        QStringLiteral("01/01/2025"), QStringLiteral("--al"), QStringLiteral("02/01/2026") })
                                                   << QStringLiteral("il periodo supera 366 giorni");
    QTest::newRow("esporta, mese e periodo") << esporta({ QStringLiteral("--mese"), QStringLiteral("3"),
        QStringLiteral("--dal"), QStringLiteral("01/03/2026") })
                                             << QStringLiteral("non entrambi");
    QTest::newRow("esporta, mese 13") << esporta({ QStringLiteral("--mese"), QStringLiteral("13") })
                                      << QStringLiteral("mese o anno non validi");
    QTest::newRow("esporta, formato ignoto")
        << esporta({ QStringLiteral("--formato"), QStringLiteral("ods") })
        << QStringLiteral("formato sconosciuto: ods");
    QTest::newRow("esporta, estensione ignota")
        << QStringList { QStringLiteral("--esporta"), QStringLiteral("a.mdb"), QStringLiteral("p.txt") }
        << QStringLiteral("indicare --formato oppure un file .xlsx o .csv");
    QTest::newRow("cartellini, mese 13") << QStringList { QStringLiteral("--stampa-cartellini"),
        QStringLiteral("a.mdb"), QStringLiteral("c.pdf"), QStringLiteral("--mese"), QStringLiteral("13") }
                                         << QStringLiteral("mese o anno non validi");
    QTest::newRow("cartellini, opzione ignota") << QStringList { QStringLiteral("--stampa-cartellini"),
        QStringLiteral("a.mdb"), QStringLiteral("c.pdf"), QStringLiteral("--formato"),
        QStringLiteral("xlsx") } << QStringLiteral("opzione sconosciuta o ripetuta per --stampa-cartellini");
    QTest::newRow("esempio, opzione ignota") << QStringList { QStringLiteral("--archivio-esempio"),
        QStringLiteral("e.mdb"), QStringLiteral("--mese"),
        QStringLiteral("3") } << QStringLiteral("opzione sconosciuta per --archivio-esempio: --mese");
}

// A wrong command line says what is wrong and how to use the program, and never waits for a
// window (there is no display here: one would make the program fail another way).
void TestSchema::rigaDiComandoErrata()
{
    QFETCH(QStringList, argomenti);
    QFETCH(QString, messaggio);
    const QString programma = qEnvironmentVariable("CARTAVIA_TEST_BIN") + QStringLiteral("/cartavia");
    if (!QFileInfo::exists(programma))
        QSKIP("program not built");
    QTemporaryDir dir;
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(programma, argomenti);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 2);
    const QString errori = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(errori.contains(messaggio), qPrintable(errori));
    QVERIFY2(errori.contains(QStringLiteral("Uso: cartavia")), qPrintable(errori));
    QVERIFY(QDir(dir.path()).isEmpty());

    // -h and --help are the usage on stdout.
    for (const QString& aiuto : { QStringLiteral("-h"), QStringLiteral("--help") }) {
        p.start(programma, { aiuto });
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).startsWith(QStringLiteral("Uso: cartavia")));
    }
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
