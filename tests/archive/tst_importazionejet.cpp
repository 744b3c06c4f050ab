#include "AmbienteTest.h"

#include "archive/Archivio.h"
#include "archive/CreazioneDB.h"
#include "archive/ErroreArchivio.h"
#include "archive/ImportazioneJet.h"
#include "archive/Module1.h"
#include "archive/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlRecord>
#include <QtTest>

namespace {

QString fixture(const QString& nome)
{
    return QDir(qEnvironmentVariable("CARTAVIA_SOURCE_DIR"))
        .filePath(QStringLiteral("tests/archive/jet/") + nome);
}

QByteArray impronta(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result();
}

QJsonObject attesi(const QString& nome)
{
    QFile f(fixture(nome + QStringLiteral(".attesi.json")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

// Where an expected and a stored value differ, and how; "" when they agree.
QString differenza(const QJsonValue& atteso, const QVariant& letto)
{
    const auto diversi = [&](const QString& come) {
        return come + QStringLiteral(" (letto: ") + letto.toString() + QLatin1Char(')');
    };
    if (atteso.isNull())
        return letto.isNull() ? QString() : diversi(QStringLiteral("atteso null"));
    if (letto.isNull())
        return QStringLiteral("letto null");
    if (atteso.isString())
        return letto.typeId() == QMetaType::QString && letto.toString() == atteso.toString()
            ? QString()
            : diversi(QStringLiteral("atteso testo «%1»").arg(atteso.toString().left(60)));
    if (atteso.isDouble()) {
        const bool numero = letto.typeId() == QMetaType::LongLong || letto.typeId() == QMetaType::Double;
        return numero && letto.toDouble() == atteso.toDouble()
            ? QString()
            : diversi(QStringLiteral("atteso numero %1").arg(atteso.toDouble()));
    }
    const QByteArray byte
        = QByteArray::fromHex(atteso.toObject().value(QStringLiteral("hex")).toString().toLatin1());
    return letto.typeId() == QMetaType::QByteArray && letto.toByteArray() == byte
        ? QString()
        : QStringLiteral("byte diversi (%1 letti, %2 attesi)")
              .arg(letto.toByteArray().size())
              .arg(byte.size());
}

} // namespace

class TestImportazioneJet : public QObject
{
    Q_OBJECT

private slots:
    void valoriImportati_data();
    void valoriImportati();
    void ingressiRifiutati_data();
    void ingressiRifiutati();
    void rigaDiComando();
};

void TestImportazioneJet::valoriImportati_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("formato");
    QTest::newRow("Jet 4") << "archivio_jet4"
                           << "Jet 4";
    QTest::newRow("Jet 3") << "archivio_jet3"
                           << "Jet 3";
    QTest::newRow("Jet 3, schema vecchio") << "archivio_vecchio_jet3"
                                           << "Jet 3";
    QTest::newRow("Jet 4, diecimila movimenti") << "archivio_grande_jet4"
                                                << "Jet 4";
}

// Every value the file holds comes out as written into it, the keys included, and the file
// itself is left as it was.
void TestImportazioneJet::valoriImportati()
{
    QFETCH(QString, nome);
    QFETCH(QString, formato);
    AmbienteTest ambiente(false);
    const QString sorgente = fixture(nome + QStringLiteral(".mdb"));
    const QByteArray prima = impronta(sorgente);
    QVERIFY(!prima.isEmpty());
    const QString nuovo = ambiente.percorso(QStringLiteral("Nuovo.mdb"));

    int ultimo = -1;
    bool crescente = true;
    const ImportazioneJet::Rapporto r
        = ImportazioneJet::Importa(sorgente, nuovo, [&](const QString&, int percento) {
              crescente = crescente && percento >= ultimo && percento <= 100;
              ultimo = percento;
              return true;
          });
    QVERIFY(crescente);
    QCOMPARE(r.formato, formato);
    QCOMPARE(impronta(sorgente), prima);
    Archivio::VerificaApertura(nuovo);
    {
        Archivio db(nuovo);
        for (const Schema::Tabella& t : Schema::Tabelle())
            for (const Schema::Indice& i : t.indici)
                QVERIFY2(db.indici(t.nome).contains(Schema::NomeIndiceArchivio(t.nome, i.nome)),
                    qPrintable(i.nome));
    }
    QCOMPARE(QDir(ambiente.cartella()).entryList(QDir::Files), QStringList { QStringLiteral("Nuovo.mdb") });

    const QJsonObject json = attesi(nome);
    QStringList saltati;
    for (const QJsonValue& v : json.value(QStringLiteral("saltati")).toArray())
        saltati << v.toString();
    QStringList riportati = r.campiSaltati;
    riportati.sort();
    saltati.sort();
    QCOMPARE(riportati, saltati);

    const QJsonObject conteggi = json.value(QStringLiteral("conteggi")).toObject();
    QCOMPARE(r.tabelle.size(), conteggi.size());
    for (const ImportazioneJet::Tabella& t : r.tabelle) {
        QCOMPARE(t.scritte, conteggi.value(t.nome).toInteger(-1));
        QCOMPARE(AmbienteTest::sqlSu(nuovo, QStringLiteral("SELECT count(*) FROM ") + t.nome).toLongLong(),
            t.scritte);
        if (t.nome != QLatin1String("Variabili")) // new keys go on after the highest one brought in
            QCOMPARE(
                AmbienteTest::sqlSu(nuovo, QStringLiteral("SELECT ifnull(max(Indice), 0) FROM ") + t.nome),
                AmbienteTest::sqlSu(nuovo,
                    QStringLiteral("SELECT ifnull(max(seq), 0) FROM sqlite_sequence WHERE name = ?"),
                    { t.nome }));
    }
    QCOMPARE(AmbienteTest::sqlSu(nuovo, QStringLiteral("SELECT group_concat(Versione) FROM TabellaVersione"))
                 .toString(),
        Module1::VersioneProgramma);
    QCOMPARE(AmbienteTest::sqlSu(nuovo, QStringLiteral("SELECT count(*) FROM Stampa")).toInt()
            + AmbienteTest::sqlSu(nuovo, QStringLiteral("SELECT count(*) FROM Stampa2")).toInt(),
        0);

    const QJsonObject tabelle = json.value(QStringLiteral("tabelle")).toObject();
    QStringList differenze;
    {
        Archivio db(nuovo);
        for (auto t = tabelle.begin(); t != tabelle.end(); ++t) {
            const QString chiave = t.key() == QLatin1String("Variabili") ? QStringLiteral("NomeVar")
                                                                         : QStringLiteral("Indice");
            QSqlQuery q = db.esegui(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(t.key(), chiave));
            const QJsonArray righe = t.value().toArray();
            int n = 0;
            for (; q.next(); ++n) {
                const QJsonObject riga = righe.at(n).toObject();
                QCOMPARE(q.record().count(), riga.size());
                for (auto c = riga.begin(); c != riga.end(); ++c)
                    if (const QString d = differenza(c.value(), q.value(c.key())); !d.isEmpty())
                        differenze << QStringLiteral("%1 %2 %3: %4")
                                          .arg(t.key(), q.value(chiave).toString(), c.key(), d);
            }
            QCOMPARE(n, righe.size());
        }
    }
    QVERIFY2(differenze.isEmpty(), qPrintable(differenze.mid(0, 10).join(QLatin1Char('\n'))));
}

void TestImportazioneJet::ingressiRifiutati_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("messaggio");
    const QString nonPrecedente
        = QStringLiteral("Il file scelto non è un archivio della versione precedente");
    QTest::newRow("testo") << "*testo" << nonPrecedente;
    QTest::newRow("vuoto") << "*vuoto" << nonPrecedente;
    QTest::newRow("archivio di Cartavia") << "*cartavia" << nonPrecedente;
    QTest::newRow("Jet troncato") << "*troncato"
                                  << "è danneggiato";
    QTest::newRow("senza tabelle")
        << "senza_tabelle.mdb"
        << "non contiene le tabelle di Cartavia: mancano Configurazioni, Variabili, TabellaAnagrafiche, "
           "TabellaStati, TabellaMovimenti.";
    QTest::newRow("pagina danneggiata") << "danneggiato_pagina.mdb"
                                        << "una pagina della tabella TabellaMovimenti";
    QTest::newRow("memo interrotto") << "danneggiato_memo.mdb"
                                     << "una pagina della tabella TabellaAnagrafiche";
    QTest::newRow("cifrato") << "cifrato.mdb"
                             << "è cifrato";
    QTest::newRow("password Jet 3") << "password_jet3.mdb"
                                    << "protetto da una password";
    QTest::newRow("password Jet 4") << "password_jet4.mdb"
                                    << "protetto da una password";
    QTest::newRow("mancante") << "*mancante"
                              << "Impossibile trovare il file";
    QTest::newRow("illeggibile") << "*cartella"
                                 << "Impossibile leggere il file";
    QTest::newRow("destinazione esistente") << "*esistente"
                                            << "esiste già";
    QTest::newRow("interrotto dall'utente") << "*annulla"
                                            << "Importazione annullata";
}

// Each bad input says what is wrong and leaves no archive, nor any part of one, behind.
void TestImportazioneJet::ingressiRifiutati()
{
    QFETCH(QString, nome);
    QFETCH(QString, messaggio);
    AmbienteTest ambiente(false);
    const QString destinazione = ambiente.percorso(QStringLiteral("Nuovo.mdb"));
    QString sorgente = fixture(nome);
    const auto scrivi = [&](const QByteArray& byte) {
        sorgente = ambiente.percorso(QStringLiteral("sorgente.mdb"));
        QFile f(sorgente);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(byte);
    };
    QFile buono(fixture(QStringLiteral("archivio_jet4.mdb")));
    QVERIFY(buono.open(QIODevice::ReadOnly));
    bool annulla = false;
    if (nome == QLatin1String("*testo"))
        scrivi("Nome;Cognome\nMario;Rossi\n");
    else if (nome == QLatin1String("*vuoto"))
        scrivi({});
    else if (nome == QLatin1String("*troncato"))
        scrivi(buono.read(3 * 4096 + 100));
    else if (nome == QLatin1String("*cartavia"))
        QVERIFY(CreazioneDB().CreaDB(sorgente = ambiente.percorso(QStringLiteral("cartavia.mdb"))));
    else if (nome == QLatin1String("*mancante"))
        sorgente = ambiente.percorso(QStringLiteral("nessuno.mdb"));
    else if (nome == QLatin1String("*cartella"))
        QVERIFY(QDir().mkpath(sorgente = ambiente.percorso(QStringLiteral("cartella.mdb"))));
    else if (nome == QLatin1String("*esistente") || (annulla = nome == QLatin1String("*annulla")))
        sorgente = fixture(QStringLiteral("archivio_grande_jet4.mdb"));
    if (nome == QLatin1String("*esistente"))
        AmbienteTest::sqlSu(destinazione, QStringLiteral("CREATE TABLE Mia (x)"));
    const QStringList prima
        = QDir(ambiente.cartella()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    const QByteArray improntaPrima = impronta(destinazione);

    int chiamate = 0;
    try {
        ImportazioneJet::Importa(
            sorgente, destinazione, [&](const QString&, int) { return !annulla || ++chiamate < 5; });
        QFAIL("importato");
    } catch (const ErroreArchivio& e) {
        QVERIFY2(e.descrizione().contains(messaggio), qPrintable(e.descrizione()));
    }
    QCOMPARE(QDir(ambiente.cartella()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), prima);
    QCOMPARE(impronta(destinazione), improntaPrima);
}

// The command line reports per table and fails with a status a script can see.
void TestImportazioneJet::rigaDiComando()
{
    AmbienteTest ambiente(false);
    const QString programma
        = QDir(qEnvironmentVariable("CARTAVIA_TEST_BIN")).filePath(QStringLiteral("cartavia"));
    const auto esegui = [&](const QString& sorgente, QString* uscita) {
        QProcess p;
        p.start(programma,
            { QStringLiteral("--importa-archivio"), sorgente, ambiente.percorso(QStringLiteral("N.mdb")) });
        p.waitForFinished(60000);
        *uscita = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QString uscita;
    QCOMPARE(esegui(fixture(QStringLiteral("cifrato.mdb")), &uscita), 1);
    QVERIFY2(uscita.contains(QStringLiteral("è cifrato")), qPrintable(uscita));
    QVERIFY(!QFile::exists(ambiente.percorso(QStringLiteral("N.mdb"))));
    QCOMPARE(esegui(fixture(QStringLiteral("archivio_vecchio_jet3.mdb")), &uscita), 0);
    QVERIFY2(uscita.contains(QStringLiteral("TabellaMovimenti: 90 righe lette, 90 scritte."))
            && uscita.contains(
                QStringLiteral("non importati: Configurazioni.Modem, TabellaAnagrafiche.Qualifica.")),
        qPrintable(uscita));
}

QTEST_GUILESS_MAIN(TestImportazioneJet)
#include "tst_importazionejet.moc"
