#include "platform/FileIni.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFileIni : public QObject
{
    Q_OBJECT

private slots:
    void scriviELeggi();
    void valoriGrezzi();
    void conservaIlResto();
    void limiti();
    void leggiDaTesto_data();
    void leggiDaTesto();
};

namespace {
QByteArray contenuto(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

void TestFileIni::scriviELeggi()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Cartavia.inf"));
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("Database"), QStringLiteral("Percorso")), QString());
    QVERIFY(FileIni::Scrivi(
        file, QStringLiteral("Database"), QStringLiteral("Percorso"), QStringLiteral("/home/u/Archivi")));
    QVERIFY(FileIni::Scrivi(
        file, QStringLiteral("Database"), QStringLiteral("Nome"), QStringLiteral("Archivio.mdb")));
    QVERIFY(FileIni::Scrivi(
        file, QStringLiteral("Database"), QStringLiteral("percorso"), QStringLiteral("/dati")));
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("DATABASE"), QStringLiteral("Percorso")),
        QStringLiteral("/dati"));
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("Database"), QStringLiteral("Nome")),
        QStringLiteral("Archivio.mdb"));
    QCOMPARE(contenuto(file), QByteArray("[Database]\npercorso=/dati\nNome=Archivio.mdb\n"));
}

void TestFileIni::valoriGrezzi()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Cartavia.inf"));
    // As the Windows program wrote it: raw backslashes, CRLF, ANSI accents.
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Database]\r\nPercorso=C:\\Documenti\\Archivi Cartavia\r\nNome=Citt\xe0.mdb\r\n");
    f.close();
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("Database"), QStringLiteral("Percorso")),
        QStringLiteral("C:\\Documenti\\Archivi Cartavia"));
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("Database"), QStringLiteral("Nome")),
        QStringLiteral("Città.mdb"));
    QVERIFY(FileIni::Scrivi(
        file, QStringLiteral("Database"), QStringLiteral("Nome"), QStringLiteral("D:\\x\\y.mdb")));
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("Database"), QStringLiteral("Nome")),
        QStringLiteral("D:\\x\\y.mdb"));
    QVERIFY(contenuto(file).contains("Nome=D:\\x\\y.mdb"));
}

void TestFileIni::conservaIlResto()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Programma.inf"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("; commento\n[Altro]\nA=1\n\n[Programma]\nVersione=1.0\n\n[Ultima]\nB=2\n");
    f.close();
    QVERIFY(FileIni::Scrivi(
        file, QStringLiteral("Programma"), QStringLiteral("Percorso"), QStringLiteral("/opt/c")));
    QVERIFY(FileIni::Scrivi(file, QStringLiteral("Test"), QStringLiteral("Test"), QStringLiteral("OK")));
    QCOMPARE(contenuto(file),
        QByteArray("; commento\n[Altro]\nA=1\n\n[Programma]\nVersione=1.0\nPercorso=/opt/c\n\n"
                   "[Ultima]\nB=2\n[Test]\nTest=OK\n"));
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("Ultima"), QStringLiteral("B")), QStringLiteral("2"));
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("Altro"), QStringLiteral("Versione")), QString());
}

void TestFileIni::limiti()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("x.inf"));
    QVERIFY(FileIni::Scrivi(file, QStringLiteral("S"), QStringLiteral("K"), QString(400, QLatin1Char('a'))));
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("S"), QStringLiteral("K")).size(), 255);
    // A line break cannot end up inside the file as a new line.
    QVERIFY(FileIni::Scrivi(file, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("a\r\n[S]\nK=b")));
    QCOMPARE(FileIni::Leggi(file, QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("a[S]K=b"));
    QVERIFY(!FileIni::Scrivi(file, QStringLiteral("S"), QStringLiteral("a=b"), QStringLiteral("x")));
    QVERIFY(!FileIni::Scrivi(dir.filePath(QStringLiteral("manca/x.inf")), QStringLiteral("S"),
        QStringLiteral("K"), QStringLiteral("x")));
}

void TestFileIni::leggiDaTesto_data()
{
    QTest::addColumn<QByteArray>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("vuoto") << QByteArray() << QString();
    QTest::newRow("spazi") << QByteArray("  [ Database ]  \n  Percorso =  /a b  \n") << "/a b";
    QTest::newRow("virgolette") << QByteArray("[Database]\nPercorso=\"/a b\"\n") << "/a b";
    QTest::newRow("altra sezione") << QByteArray("[Altro]\nPercorso=/x\n") << QString();
    QTest::newRow("prima vince") << QByteArray("[Database]\nPercorso=1\nPercorso=2\n") << "1";
    QTest::newRow("bom utf8") << QByteArray("\xef\xbb\xbf[Database]\nPercorso=/città\n") << "/città";
    QTest::newRow("senza uguale") << QByteArray("[Database]\nPercorso\n") << QString();
    QTest::newRow("binario") << QByteArray("\0\xff[\0Database]=\n", 14) << QString();
    QTest::newRow("parentesi sola") << QByteArray("[\n]\n[Database\nPercorso=x\n") << QString();
}

void TestFileIni::leggiDaTesto()
{
    QFETCH(QByteArray, testo);
    QFETCH(QString, atteso);
    QCOMPARE(FileIni::LeggiDaTesto(testo, QStringLiteral("Database"), QStringLiteral("Percorso")), atteso);
}

QTEST_APPLESS_MAIN(TestFileIni)
#include "tst_fileini.moc"
