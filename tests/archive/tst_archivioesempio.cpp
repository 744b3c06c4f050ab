#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "archive/ArchivioEsempio.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestArchivioEsempio : public QObject
{
    Q_OBJECT

private slots:
    void contenuto();
    void stessoSemeStessiDati();
    void nonSovrascrive();
};

namespace {
ArchivioEsempio::Opzioni piccolo()
{
    ArchivioEsempio::Opzioni o;
    o.dipendenti = 12;
    o.mesi = 2;
    o.seme = 7;
    o.ultimoMese = QDate(2024, 3, 1);
    return o;
}

QString impronta(const QString& percorso)
{
    return AmbienteTest::sqlSu(percorso,
        QStringLiteral("SELECT group_concat(IndiceAnagrafica || Tipo || Data || Stato || "
                       "ifnull(Note, '') || StatoNum, ';') FROM TabellaMovimenti"))
        .toString();
}
} // namespace

void TestArchivioEsempio::contenuto()
{
    AmbienteTest amb(false);
    const QString p = amb.percorso(QStringLiteral("Esempio.mdb"));
    QList<int> mesiFatti;
    const auto r = ArchivioEsempio::Crea(p, piccolo(), [&](int fatti, int) { mesiFatti << fatti; });
    QVERIFY2(r.ok, qPrintable(r.errore));
    QCOMPARE(mesiFatti, QList<int>({ 1, 2 }));
    auto n = [&](const char* sql) { return AmbienteTest::sqlSu(p, QString::fromLatin1(sql)).toInt(); };
    QCOMPARE(n("SELECT count(*) FROM TabellaAnagrafiche"), 12);
    QCOMPARE(n("SELECT count(DISTINCT RagSociale) FROM TabellaAnagrafiche"), 12);
    QCOMPARE(n("SELECT count(*) FROM TabellaStati"), 15);
    QCOMPARE(n("SELECT count(*) FROM TabellaTipi"), 3);
    QCOMPARE(n("SELECT count(*) FROM Configurazioni"), 1);
    QCOMPARE(AmbienteTest::sqlSu(p, QStringLiteral("SELECT Versione FROM TabellaVersione")).toString(),
        QStringLiteral("2.0.6"));
    // February and March 2024: one row per employee, type and day, as the month save writes them.
    QCOMPARE(r.registrazioni, qint64(12 * 4 * (29 + 31)));
    QCOMPARE(n("SELECT count(*) FROM TabellaMovimenti"), 12 * 4 * (29 + 31));
    QCOMPARE(n("SELECT count(*) FROM (SELECT 1 FROM TabellaMovimenti GROUP BY IndiceAnagrafica, Tipo, Data "
               "HAVING count(*) > 1)"),
        0);
    // The stored forms the diary reads.
    QCOMPARE(
        n("SELECT count(*) FROM TabellaMovimenti WHERE Mese NOT IN ('Febbraio', 'Marzo') OR Anno <> '2024'"),
        0);
    QCOMPARE(
        n("SELECT count(*) FROM TabellaMovimenti WHERE CAST(Giorno AS INTEGER) <> CAST(substr(Data, 9, 2) AS "
          "INTEGER)"),
        0);
    QVERIFY(
        n("SELECT count(*) FROM TabellaMovimenti WHERE Stato = '8' AND StatoNum = 8 AND Tipo = 'ORDINARIO'")
        > 100);
    QVERIFY(n("SELECT count(*) FROM TabellaMovimenti WHERE Stato = '7,5' AND StatoNum = 7.5") > 0);
    QVERIFY(n("SELECT count(*) FROM TabellaMovimenti m JOIN TabellaStati s ON s.Stato = m.Stato "
              "WHERE m.Descrizione = s.Descrizione AND m.StatoNum = 0")
        > 0);
    QVERIFY(n("SELECT count(*) FROM TabellaMovimenti WHERE Tipo = 'STRAORDINARIO' AND StatoNum > 0") > 0);
    // Weekends hold no ordinary hours; extra-type rows never hold a state code; names only on ordinary rows.
    QCOMPARE(n("SELECT count(*) FROM TabellaMovimenti WHERE Tipo = 'ORDINARIO' AND StatoNum > 0 AND "
               "strftime('%w', Data) IN ('0', '6')"),
        0);
    QCOMPARE(
        n("SELECT count(*) FROM TabellaMovimenti WHERE Tipo <> 'ORDINARIO' AND Stato <> '' AND StatoNum = 0"),
        0);
    QCOMPARE(n("SELECT count(*) FROM TabellaMovimenti WHERE Tipo <> 'ORDINARIO' AND RagSociale <> ''"), 0);
}

void TestArchivioEsempio::stessoSemeStessiDati()
{
    AmbienteTest amb(false);
    const QString a = amb.percorso(QStringLiteral("a.mdb"));
    const QString b = amb.percorso(QStringLiteral("b.mdb"));
    const QString c = amb.percorso(QStringLiteral("c.mdb"));
    QVERIFY(ArchivioEsempio::Crea(a, piccolo()).ok);
    QVERIFY(ArchivioEsempio::Crea(b, piccolo()).ok);
    auto altro = piccolo();
    altro.seme = 8;
    QVERIFY(ArchivioEsempio::Crea(c, altro).ok);
    QCOMPARE(impronta(a), impronta(b));
    QVERIFY(impronta(a) != impronta(c));
}

void TestArchivioEsempio::nonSovrascrive()
{
    AmbienteTest amb;
    stato(amb, QStringLiteral("MIO"));
    const qint64 dimensione = QFileInfo(amb.archivio()).size();
    const auto r = ArchivioEsempio::Crea(amb.archivio(), piccolo());
    QVERIFY(!r.ok);
    QVERIFY(r.errore.contains(QStringLiteral("esiste già")));
    QCOMPARE(QFileInfo(amb.archivio()).size(), dimensione);
    QCOMPARE(amb.sql(QStringLiteral("SELECT group_concat(Stato) FROM TabellaStati")).toString(),
        QStringLiteral("MIO"));
    QVERIFY(!ArchivioEsempio::Crea(amb.percorso(QStringLiteral("manca/x.mdb")), piccolo()).ok);
}

QTEST_GUILESS_MAIN(TestArchivioEsempio)
#include "tst_archivioesempio.moc"
