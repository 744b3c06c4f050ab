#include "AmbienteTest.h"

#include "masterdata/BrowseForFolderModule.h"

#include <QDir>
#include <QTest>

using namespace BrowseForFolderModule;

class TestScegliCartella : public QObject
{
    Q_OBJECT

private slots:
    void scegliCartella();
    void scegliPercorso_data();
    void scegliPercorso();
};

void TestScegliCartella::scegliCartella()
{
    AmbienteTest amb(false);
    amb.messaggi.cartelle << amb.cartella() + QStringLiteral("/sotto/") << QString();
    QCOMPARE(ScegliCartella(amb.cartella()), amb.cartella() + QStringLiteral("/sotto"));
    // Cancel gives "".
    QCOMPARE(ScegliCartella(amb.percorso(QStringLiteral("non-esiste"))), QString());
    QCOMPARE(amb.messaggi.titoliCartella,
        QStringList(
            { QStringLiteral("Seleziona una cartella:"), QStringLiteral("Seleziona una cartella:") }));
    // The start folder is honoured when it exists; a missing one leaves the dialog on its default.
    QCOMPARE(amb.messaggi.cartelleIniziali, QStringList({ amb.cartella(), QString() }));
}

void TestScegliCartella::scegliPercorso_data()
{
    QTest::addColumn<QString>("scelta");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("annulla") << QString() << QString();
    QTest::newRow("radice") << "/"
                            << "/";
    QTest::newRow("cartella") << "/home/dati"
                              << "/home/dati/";
    QTest::newRow("con separatore") << "/home/dati/"
                                    << "/home/dati/";
}

void TestScegliCartella::scegliPercorso()
{
    QFETCH(QString, scelta);
    QFETCH(QString, atteso);
    AmbienteTest amb(false);
    amb.messaggi.cartelle << scelta;
    QCOMPARE(ScegliPercorso(), QDir::toNativeSeparators(atteso));
    QCOMPARE(amb.messaggi.cartelleIniziali, QStringList({ QString() }));
}

QTEST_GUILESS_MAIN(TestScegliCartella)
#include "tst_sceglicartella.moc"
