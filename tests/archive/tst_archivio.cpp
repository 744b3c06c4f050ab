#include "AmbienteTest.h"
#include "ArchivioDanneggiato.h"

#include "archive/Archivio.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>

class TestArchivio : public QObject
{
    Q_OBJECT

private slots:
    void aperturaFallita_data();
    void aperturaFallita();
    void archivioTroncato();
    void valoriLegati();
    void transazioneTuttoONiente();
    void erroriNumerati();
    void archivioOccupato();
    void copiaCompatta();
    void verifiche();
    void copiaIstantaneaMentreAltriScrivono();
    void connessioniChiuse();
};

namespace {
int numeroErrore(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ErroreArchivio& e) {
        return e.numero();
    }
    return 0;
}

QByteArray intestazioneJet()
{
    QByteArray b(4096, '\0');
    const QByteArray firma = QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    b.replace(0, firma.size(), firma);
    return b;
}
} // namespace

void TestArchivio::aperturaFallita_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<bool>("creaFile");
    QTest::addColumn<int>("errore");

    QTest::newRow("file mancante") << "manca.mdb" << QByteArray() << false
                                   << int(CodiciErrore::FileNonTrovato);
    QTest::newRow("cartella mancante")
        << "nessuna/x.mdb" << QByteArray() << false << int(CodiciErrore::PercorsoNonValido);
    QTest::newRow("zero byte") << "vuoto.mdb" << QByteArray() << true << int(CodiciErrore::NonUnArchivio);
    QTest::newRow("testo") << "testo.mdb" << QByteArray(3000, 'x') << true
                           << int(CodiciErrore::NonUnArchivio);
    QTest::newRow("vecchio jet") << "jet.mdb" << intestazioneJet() << true
                                 << int(CodiciErrore::NonUnArchivio);
    QTest::newRow("corto") << "corto.mdb" << QByteArray("SQLite format 3\0", 16) << true
                           << int(CodiciErrore::NonUnArchivio);
}

void TestArchivio::aperturaFallita()
{
    QFETCH(QString, nome);
    QFETCH(QByteArray, contenuto);
    QFETCH(bool, creaFile);
    QFETCH(int, errore);

    AmbienteTest amb(false);
    const QString percorso = amb.percorso(nome);
    if (creaFile) {
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenuto);
    }
    QCOMPARE(numeroErrore([&] { Archivio db(percorso); }), errore);
    if (creaFile) {
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), contenuto);
    } else {
        QVERIFY(!QFileInfo::exists(percorso));
    }
    // A foreign file is never taken over by the creation mode either.
    if (creaFile && !contenuto.isEmpty())
        QCOMPARE(numeroErrore([&] { Archivio db(percorso, Archivio::Apertura::CreaSeManca); }), errore);
}

void TestArchivio::archivioTroncato()
{
    AmbienteTest amb;
    for (int i = 0; i < 200; ++i)
        amb.sql(QStringLiteral("INSERT INTO TabellaStati (Stato, Descrizione) VALUES (?, ?)"),
            { QStringLiteral("S%1").arg(i), QString(200, QLatin1Char('d')) });
    QFile f(amb.archivio());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray inizio = f.read(4096);
    f.close();
    const QString troncato = amb.percorso(QStringLiteral("troncato.mdb"));
    QFile t(troncato);
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.write(inizio);
    t.close();
    const int errore = numeroErrore([&] {
        Archivio db(troncato);
        QSqlQuery q = db.esegui(QStringLiteral("SELECT count(*), max(Descrizione) FROM TabellaStati"));
        while (q.next()) { }
        db.esegui(QStringLiteral("PRAGMA integrity_check"));
    });
    QCOMPARE(errore, int(CodiciErrore::NonUnArchivio));
    QCOMPARE(QFileInfo(troncato).size(), qint64(4096));
}

void TestArchivio::valoriLegati()
{
    AmbienteTest amb;
    const QStringList ostili
        = { QStringLiteral("D'Angelo"), QStringLiteral("'; drop table TabellaMovimenti; --"),
              QStringLiteral("\"x\" OR 1=1"), QStringLiteral("emoji 😀 e àèìòù") };
    {
        Archivio db(amb.archivio());
        for (const QString& s : ostili)
            db.esegui(
                QStringLiteral("INSERT INTO TabellaStati (Stato, Descrizione) VALUES (?, ?)"), { s, s });
        for (const QString& s : ostili)
            QCOMPARE(db.valore(QStringLiteral("SELECT Descrizione FROM TabellaStati WHERE Stato = ?"), { s })
                         .toString(),
                s);
        QVERIFY(db.esisteTabella(QStringLiteral("TabellaMovimenti")));
        QCOMPARE(db.valore(QStringLiteral("SELECT count(*) FROM TabellaStati")).toInt(), ostili.size());
        QVERIFY(!db.valore(QStringLiteral("SELECT Stato FROM TabellaStati WHERE Stato = ?"),
                       { QStringLiteral("nessuno") })
                     .isValid());
    }
}

void TestArchivio::transazioneTuttoONiente()
{
    AmbienteTest amb;
    {
        Archivio db(amb.archivio());
        QCOMPARE(numeroErrore([&] {
            InTransazione(db, [&] {
                db.esegui(QStringLiteral("INSERT INTO TabellaTipi (Tipo) VALUES ('A')"));
                db.esegui(QStringLiteral("INSERT INTO TabellaManca (Tipo) VALUES ('B')"));
            });
        }),
            int(CodiciErrore::TabellaNonTrovata));
        QVERIFY(!db.inTransazione());
        InTransazione(db, [&] { db.esegui(QStringLiteral("INSERT INTO TabellaTipi (Tipo) VALUES ('C')")); });
    }
    QCOMPARE(amb.sql(QStringLiteral("SELECT group_concat(Tipo) FROM TabellaTipi")).toString(),
        QStringLiteral("C"));
}

void TestArchivio::erroriNumerati()
{
    AmbienteTest amb;
    Archivio db(amb.archivio());
    QCOMPARE(numeroErrore([&] { db.esegui(QStringLiteral("SELECT * FROM Inesistente")); }),
        int(CodiciErrore::TabellaNonTrovata));
    QCOMPARE(numeroErrore([&] { db.esegui(QStringLiteral("SELECT Inesistente FROM TabellaTipi")); }),
        int(CodiciErrore::CampoNonTrovato));
    QCOMPARE(numeroErrore([&] { db.esegui(QStringLiteral("SELEC 1")); }), int(CodiciErrore::Generico));
}

void TestArchivio::archivioOccupato()
{
    AmbienteTest amb;
    QSqlDatabase altro = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("altro"));
    altro.setDatabaseName(amb.archivio());
    QVERIFY(altro.open());
    QSqlQuery blocco(altro);
    QVERIFY(blocco.exec(QStringLiteral("BEGIN EXCLUSIVE")));

    QCOMPARE(numeroErrore([&] {
        Archivio db(amb.archivio());
        db.esegui(QStringLiteral("INSERT INTO TabellaTipi (Tipo) VALUES ('A')"));
    }),
        int(CodiciErrore::Bloccato));
    // Readers are blocked too while the exclusive lock is held.
    QCOMPARE(numeroErrore([&] {
        Archivio db(amb.archivio());
        db.valore(QStringLiteral("SELECT count(*) FROM TabellaTipi"));
    }),
        int(CodiciErrore::Bloccato));

    QVERIFY(blocco.exec(QStringLiteral("COMMIT")));
    blocco = QSqlQuery();
    altro.close();
    altro = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("altro"));

    Archivio db(amb.archivio());
    db.esegui(QStringLiteral("INSERT INTO TabellaTipi (Tipo) VALUES ('A')"));
    QCOMPARE(db.valore(QStringLiteral("SELECT count(*) FROM TabellaTipi")).toInt(), 1);
}

void TestArchivio::copiaCompatta()
{
    AmbienteTest amb;
    {
        Archivio db(amb.archivio());
        InTransazione(db, [&] {
            for (int i = 0; i < 3000; ++i)
                db.esegui(QStringLiteral("INSERT INTO TabellaMovimenti (Stato, Note) VALUES (?, ?)"),
                    { QString::number(i), QString(300, QLatin1Char('n')) });
        });
        db.esegui(QStringLiteral("DELETE FROM TabellaMovimenti WHERE Indice > 10"));
    }
    const qint64 prima = QFileInfo(amb.archivio()).size();
    const QString copia = amb.percorso(QStringLiteral("copia.mdb"));
    Archivio::CopiaCompatta(amb.archivio(), copia);
    QVERIFY(QFileInfo(copia).size() < prima / 4);
    QCOMPARE(AmbienteTest::sqlSu(copia, QStringLiteral("SELECT count(*) FROM TabellaMovimenti")).toInt(), 10);
    QCOMPARE(QFileInfo(amb.archivio()).size(), prima);

    // An existing destination is never written over; a missing folder is an invalid path.
    QCOMPARE(numeroErrore([&] { Archivio::CopiaCompatta(amb.archivio(), copia); }),
        int(CodiciErrore::PercorsoNonValido));
    QCOMPARE(numeroErrore(
                 [&] { Archivio::CopiaCompatta(amb.archivio(), amb.percorso(QStringLiteral("no/x.mdb"))); }),
        int(CodiciErrore::PercorsoNonValido));
    QCOMPARE(numeroErrore([&] {
        Archivio::CopiaCompatta(
            amb.percorso(QStringLiteral("manca.mdb")), amb.percorso(QStringLiteral("y.mdb")));
    }),
        int(CodiciErrore::FileNonTrovato));
    QVERIFY(!QFileInfo::exists(amb.percorso(QStringLiteral("y.mdb"))));
}

void TestArchivio::verifiche()
{
    AmbienteTest amb;
    ArchivioDanneggiato::RiempiMovimenti(
        amb.archivio(), 3000, QStringLiteral("Marzo"), QStringLiteral("2024"));
    const QString sano = amb.percorso(QStringLiteral("sano.mdb"));
    QVERIFY(QFile::copy(amb.archivio(), sano));

    // The full check tells how far it is, up to the end, and stops when asked.
    QList<int> passi;
    Archivio::VerificaCompleta(amb.archivio(), [&](int p) {
        passi << p;
        return true;
    });
    QVERIFY2(passi.size() > 3, qPrintable(QString::number(passi.size())));
    QVERIFY(std::is_sorted(passi.begin(), passi.end()));
    QCOMPARE(passi.last(), 100);
    QCOMPARE(numeroErrore([&] { Archivio::VerificaCompleta(amb.archivio(), [](int) { return false; }); }),
        int(CodiciErrore::Annullato));

    // Damage deep in the rows: opening does not meet it, the full check does, and from then on
    // the archive is refused.
    QVERIFY(ArchivioDanneggiato::DanneggiaPaginaCentrale(amb.archivio()));
    Archivio::VerificaApertura(amb.archivio());
    QVERIFY(!Archivio::NotoDanneggiato(amb.archivio()));
    QCOMPARE(
        numeroErrore([&] { Archivio::VerificaCompleta(amb.archivio()); }), int(CodiciErrore::NonUnArchivio));
    QVERIFY(Archivio::NotoDanneggiato(amb.archivio()));
    QCOMPARE(numeroErrore([&] { Archivio db(amb.archivio()); }), int(CodiciErrore::NonUnArchivio));

    // A read that meets it marks it the same way.
    AmbienteTest altro;
    ArchivioDanneggiato::RiempiMovimenti(
        altro.archivio(), 3000, QStringLiteral("Marzo"), QStringLiteral("2024"));
    QVERIFY(ArchivioDanneggiato::DanneggiaPaginaCentrale(altro.archivio()));
    QCOMPARE(numeroErrore([&] {
        Archivio db(altro.archivio());
        db.valore(QStringLiteral("SELECT max(length(Note)) FROM TabellaMovimenti"));
    }),
        int(CodiciErrore::NonUnArchivio));
    QCOMPARE(numeroErrore([&] { Archivio db(altro.archivio()); }), int(CodiciErrore::NonUnArchivio));

    // The file replaced by a sound one (a restore) is judged afresh.
    AmbienteTest::sqlSu(sano, QStringLiteral("INSERT INTO TabellaTipi (Tipo) VALUES ('X')"));
    QVERIFY(QFile::remove(amb.archivio()));
    QVERIFY(QFile::copy(sano, amb.archivio()));
    QVERIFY(!Archivio::NotoDanneggiato(amb.archivio()));
    QCOMPARE(amb.sql(QStringLiteral("SELECT count(*) FROM TabellaMovimenti")).toInt(), 3000);
}

void TestArchivio::copiaIstantaneaMentreAltriScrivono()
{
    // Enough for several copy steps; another instance commits a row between the steps.
    AmbienteTest amb;
    ArchivioDanneggiato::RiempiMovimenti(
        amb.archivio(), 12000, QStringLiteral("Marzo"), QStringLiteral("2024"));
    const QString copia = amb.percorso(QStringLiteral("copia.mdb"));
    int scritte = 0;
    QList<int> passi;
    Archivio::CopiaIstantanea(amb.archivio(), copia, [&](int p) {
        passi << p;
        if (scritte < 10) {
            amb.sql(
                QStringLiteral("INSERT INTO TabellaTipi (Tipo) VALUES (?)"), { QString::number(++scritte) });
        }
        return true;
    });
    // It ends all the same (the writes would go on), and the copy is whole and holds every row
    // committed before its end.
    QVERIFY2(scritte > 1 && scritte < 10, qPrintable(QString::number(scritte)));
    QCOMPARE(AmbienteTest::sqlSu(copia, QStringLiteral("PRAGMA integrity_check")).toString(),
        QStringLiteral("ok"));
    QCOMPARE(
        AmbienteTest::sqlSu(copia, QStringLiteral("SELECT count(*) FROM TabellaMovimenti")).toInt(), 12000);
    QCOMPARE(AmbienteTest::sqlSu(copia, QStringLiteral("SELECT count(*) FROM TabellaTipi")).toInt(), scritte);

    // A copy stopped on request says so; an existing file is never written over.
    QCOMPARE(numeroErrore([&] {
        Archivio::CopiaIstantanea(
            amb.archivio(), amb.percorso(QStringLiteral("ferma.mdb")), [](int) { return false; });
    }),
        int(CodiciErrore::Annullato));
    QCOMPARE(numeroErrore([&] { Archivio::CopiaIstantanea(amb.archivio(), copia); }),
        int(CodiciErrore::PercorsoNonValido));
}

void TestArchivio::connessioniChiuse()
{
    AmbienteTest amb;
    {
        Archivio db(amb.archivio());
        db.valore(QStringLiteral("SELECT 1"));
        QCOMPARE(QSqlDatabase::connectionNames().size(), 1);
    }
    QVERIFY(QSqlDatabase::connectionNames().isEmpty());
    numeroErrore([&] { Archivio db(amb.percorso(QStringLiteral("manca.mdb"))); });
    QVERIFY(QSqlDatabase::connectionNames().isEmpty());
}

QTEST_GUILESS_MAIN(TestArchivio)
#include "tst_archivio.moc"
