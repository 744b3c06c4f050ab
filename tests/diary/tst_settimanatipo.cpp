#include "AmbienteTest.h"

#include "archive/FunzioniPerVariabili.h"
#include "diary/SettimanaTipo.h"

#include <QFile>
#include <QTest>

using Festivita::GiorniAzienda;

Q_DECLARE_METATYPE(GiorniAzienda)

namespace {

SettimanaTipo Settimana(const QString& testo)
{
    const QStringList giorni = testo.split(QLatin1Char(' '));
    SettimanaTipo s;
    for (int i = 0; i < 7; ++i)
        s.ore.at(size_t(i)) = giorni.value(i) == QLatin1String("-") ? QString() : giorni.value(i);
    return s;
}

// Days in a row with the same hours as one run: "1-4=8 5=4".
QString Tratti(const QList<QPair<int, QString>>& giorni)
{
    QStringList tratti;
    for (qsizetype i = 0; i < giorni.size();) {
        qsizetype fine = i;
        while (fine + 1 < giorni.size() && giorni.at(fine + 1).first == giorni.at(fine).first + 1
            && giorni.at(fine + 1).second == giorni.at(i).second)
            ++fine;
        QString tratto = QString::number(giorni.at(i).first);
        if (fine > i)
            tratto += QLatin1Char('-') + QString::number(giorni.at(fine).first);
        tratti << tratto + QLatin1Char('=') + giorni.at(i).second;
        i = fine + 1;
    }
    return tratti.join(QLatin1Char(' '));
}

} // namespace

class TestSettimanaTipo : public QObject
{
    Q_OBJECT

private slots:
    void ore_data();
    void ore();
    void giorniDaCompilare_data();
    void giorniDaCompilare();
    void nellArchivio();
};

void TestSettimanaTipo::ore_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<QString>("ore");
    QTest::newRow("intero") << QStringLiteral(" 8 ") << true << QStringLiteral("8");
    QTest::newRow("punto") << QStringLiteral("7.5") << true << QStringLiteral("7,5");
    QTest::newRow("zeri") << QStringLiteral("07,50") << true << QStringLiteral("7,5");
    QTest::newRow("senza unità") << QStringLiteral(",5") << true << QStringLiteral("0,5");
    QTest::newRow("un giorno intero") << QStringLiteral("24") << true << QStringLiteral("24");
    QTest::newRow("oltre il giorno") << QStringLiteral("24,5") << false << QString();
    QTest::newRow("lettere") << QStringLiteral("8h") << false << QString();
    QTest::newRow("due virgole") << QStringLiteral("1,2,3") << false << QString();
    QTest::newRow("negativo") << QStringLiteral("-3") << false << QString();
}

void TestSettimanaTipo::ore()
{
    QFETCH(QString, testo);
    QFETCH(bool, valido);
    QFETCH(QString, ore);
    const std::optional<QString> letto = SettimanaTipo::Ore(testo);
    QCOMPARE(letto.has_value(), valido);
    if (valido)
        QCOMPARE(*letto, ore);
}

void TestSettimanaTipo::giorniDaCompilare_data()
{
    QTest::addColumn<QString>("settimana");
    QTest::addColumn<int>("anno");
    QTest::addColumn<int>("mese");
    QTest::addColumn<GiorniAzienda>("azienda");
    QTest::addColumn<QString>("giorni");

    // 2 June, a Tuesday, is the Festa della Repubblica.
    QTest::newRow("giugno") << QStringLiteral("8 8 8 8 8 - -") << 2026 << 6 << GiorniAzienda()
                            << QStringLiteral("1=8 3-5=8 8-12=8 15-19=8 22-26=8 29-30=8");
    // Patron day on Monday 7, Immacolata on Tuesday 8, closures on 24 and 31, Santo Stefano on a
    // Saturday with hours; the company does not have them marked, and they are skipped all the
    // same.
    GiorniAzienda dicembre;
    dicembre.giornoPatrono = 7;
    dicembre.mesePatrono = 12;
    dicembre.chiusure = { QDate(2026, 12, 24), QDate(2026, 12, 31), QDate(2027, 1, 4) };
    dicembre.evidenzia = false;
    QTest::newRow("dicembre") << QStringLiteral("8 8 8 8 8 4 -") << 2026 << 12 << dicembre
                              << QStringLiteral("1-4=8 5=4 9-11=8 12=4 14-18=8 19=4 21-23=8 28-30=8");
    // Easter on the 5th, Easter Monday, Liberazione on a Saturday: a week of seven days.
    QTest::newRow("aprile") << QStringLiteral("8 8 8 8 8 8 8") << 2026 << 4 << GiorniAzienda()
                            << QStringLiteral("1-4=8 7-24=8 26-30=8");
    // A leap February, hours written the way a user might type them.
    QTest::newRow("febbraio bisestile")
        << QStringLiteral("- 7.5 - - - - 2") << 2028 << 2 << GiorniAzienda()
        << QStringLiteral("1=7,5 6=2 8=7,5 13=2 15=7,5 20=2 22=7,5 27=2 29=7,5");
}

void TestSettimanaTipo::giorniDaCompilare()
{
    QFETCH(QString, settimana);
    QFETCH(int, anno);
    QFETCH(int, mese);
    QFETCH(GiorniAzienda, azienda);
    QFETCH(QString, giorni);
    QCOMPARE(Tratti(Settimana(settimana).GiorniDaCompilare(anno, mese, azienda)), giorni);
}

void TestSettimanaTipo::nellArchivio()
{
    AmbienteTest amb;
    auto salvato
        = [&] { return FunzioniPerVariabili::LeggiVariabile(amb.archivio(), SettimanaTipo::Variabile); };
    bool letto = false;
    QCOMPARE(SettimanaTipo::Leggi(amb.archivio(), &letto), Settimana(QStringLiteral("8 8 8 8 8 - -")));
    QVERIFY(letto);

    // Stored as the grid shows hours; what is no number of hours is stored as none.
    SettimanaTipo s = Settimana(QStringLiteral("7.5 8,00 0 abc - 4 24"));
    QVERIFY(SettimanaTipo::Scrivi(amb.archivio(), s));
    QCOMPARE(salvato(), QStringLiteral("7,5;8;;;;4;24"));
    QCOMPARE(SettimanaTipo::Leggi(amb.archivio()), Settimana(QStringLiteral("7,5 8 - - - 4 24")));

    // A week of no hours stays so: it is not the week never set.
    QVERIFY(SettimanaTipo::Scrivi(amb.archivio(), SettimanaTipo()));
    QCOMPARE(salvato(), QStringLiteral(";;;;;;"));
    QCOMPARE(SettimanaTipo::Leggi(amb.archivio()), SettimanaTipo());

    // A value written by hand: the days it misses have no hours, what is not hours is dropped.
    QVERIFY(FunzioniPerVariabili::ScriviVariabile(
        amb.archivio(), SettimanaTipo::Variabile, QStringLiteral("6;x;25; 7.5 ")));
    QCOMPARE(SettimanaTipo::Leggi(amb.archivio()), Settimana(QStringLiteral("6 - - 7,5 - - -")));

    // An archive that cannot be read says so, so nothing is written over what it holds.
    QFile::remove(amb.archivio());
    QCOMPARE(SettimanaTipo::Leggi(amb.archivio(), &letto), SettimanaTipo::Predefinita());
    QVERIFY(!letto);
}

QTEST_GUILESS_MAIN(TestSettimanaTipo)
#include "tst_settimanatipo.moc"
