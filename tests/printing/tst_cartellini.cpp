#include "AmbienteTest.h"
#include "DatiDiProva.h"
#include "StrumentiPdf.h"

#include "archive/FestivitaAzienda.h"
#include "archive/Module1.h"
#include "masterdata/Configurazione.h"
#include "platform/Servizi.h"
#include "printing/Cartellini.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The attendance sheets read back from the PDF: what a clerk would check on each page.
class TestCartellini : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void unFoglioPerDipendente_data();
    void unFoglioPerDipendente();
    void notaLunga();
    void richieste_data();
    void richieste();
};

namespace {

const QString Settimana = QStringLiteral("Lunedì|Martedì|Mercoledì|Giovedì|Venerdì|Sabato|Domenica");

// Three employees, listed by name: Bianchi Anna has no entries, Rossi Mario most of them.
struct Archivio3
{
    qint64 bianchi = 0;
    qint64 rossi = 0;
    qint64 verdi = 0;
};

Archivio3 Prepara(AmbienteTest& amb)
{
    Configurazione::Dati azienda = AziendaDiProva();
    azienda.VisualizzaIntestazione = true;
    Configurazione::Salva(amb.archivio(), azienda, {});
    ArchivioDiProva a(amb);
    stato(a, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(a, QStringLiteral("M"), QStringLiteral("Malattia"));
    tipo(a, QStringLiteral("STRAORDINARIO"));
    tipo(a, QStringLiteral("NOTTURNO"));
    Archivio3 d;
    d.rossi = dipendente(a, QStringLiteral("C01"), QStringLiteral("Rossi Mario"), 1,
        { { "CodiceFiscale", QStringLiteral("RSSMRA80A01E507X") },
            { "DataNascita", QStringLiteral("1980-01-01") }, { "LuogoNascita", QStringLiteral("Lecco") } });
    d.bianchi = dipendente(a, QStringLiteral("C02"), QStringLiteral("Bianchi Anna"));
    d.verdi = dipendente(a, QStringLiteral("C03"), QStringLiteral("Verdi Luca"));
    return d;
}

// Rossi's month: 8 hours and 1,5 of overtime on the 3rd (with a note), 7,5 on the 4th, holidays
// on the 5th and the 6th (the 6th stored twice, the later row counts); Verdi ill on the 3rd. A
// day of the month before must not show.
void Movimenti(AmbienteTest& amb, const Archivio3& d, const MeseAnno& m)
{
    ArchivioDiProva a(amb);
    movimento(a, d.rossi, QStringLiteral("ORDINARIO"), m.data(3), QStringLiteral("8"),
        QStringLiteral("Visita medica"));
    movimento(a, d.rossi, QStringLiteral("straordinario"), m.data(3), QStringLiteral("1,5"));
    movimento(a, d.rossi, QStringLiteral("ORDINARIO"), m.data(4), QStringLiteral("7,5"));
    movimento(a, d.rossi, QStringLiteral("ORDINARIO"), m.data(5), QStringLiteral("F"));
    movimento(a, d.rossi, QStringLiteral("ORDINARIO"), m.data(6), QStringLiteral("4"));
    movimento(a, d.rossi, QStringLiteral("ORDINARIO"), m.data(6), QStringLiteral("F"));
    movimento(a, d.verdi, QStringLiteral("ORDINARIO"), m.data(3), QStringLiteral("M"));
    movimento(a, d.rossi, QStringLiteral("ORDINARIO"), m.precedente().data(3), QStringLiteral("6"));
}

Cartellini::Richiesta Richiesta(const AmbienteTest& amb, const MeseAnno& m)
{
    Cartellini::Richiesta r;
    r.archivio = amb.archivio();
    r.mese = m;
    return r;
}

// The day lines of a page: day number -> the rest of the line after the weekday, checking the
// weekday of each.
QMap<int, QString> Giorni(const QString& pagina, const MeseAnno& m, QStringList* errori)
{
    QMap<int, QString> giorni;
    static const QRegularExpression riga(
        QStringLiteral("^\\s*(\\d{1,2})\\s+(%1)(?:\\s+(.*))?$").arg(Settimana));
    for (const QString& testo : pagina.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch r = riga.match(testo);
        if (!r.hasMatch())
            continue;
        const int g = r.captured(1).toInt();
        const QString atteso = Module1::NomeGiorno(Module1::NumeroGiornoSettimana(m.data(g)));
        if (r.captured(2) != atteso || giorni.contains(g))
            *errori << testo;
        giorni.insert(g, r.captured(3).simplified());
    }
    return giorni;
}

// The line under the last one that holds `intestazione` (the totals are a row of headings over a
// row of figures, after the days), simplified.
QString SottoA(const QString& pagina, const QString& intestazione)
{
    const QStringList righe = pagina.split(QLatin1Char('\n'));
    for (qsizetype i = righe.size() - 2; i >= 0; --i)
        if (righe.at(i).contains(intestazione)) {
            for (qsizetype j = i + 1; j < righe.size(); ++j)
                if (!righe.at(j).trimmed().isEmpty())
                    return righe.at(j).simplified();
        }
    return {};
}

// Where the word stands on its page, as a share of the A4 height (0 top, 1 bottom), each time.
QList<double> Altezze(const QString& pdf, const QString& parola)
{
    QList<double> altezze;
    for (const StrumentiPdf::Parola& p : StrumentiPdf::Parole(pdf))
        if (p.testo == parola)
            altezze << p.y / 842;
    return altezze;
}

} // namespace

void TestCartellini::init()
{
    servizi().cartellaModelli
        = QDir(qEnvironmentVariable("CARTAVIA_TEST_BIN")).filePath(QStringLiteral("reports"));
}

void TestCartellini::cleanup()
{
    servizi().cartellaModelli.clear();
}

void TestCartellini::unFoglioPerDipendente_data()
{
    QTest::addColumn<int>("anno");
    QTest::addColumn<int>("mese");
    QTest::addColumn<int>("giorni");
    QTest::addColumn<int>("giornoFesta");
    QTest::addColumn<QString>("festa");
    QTest::newRow("febbraio, patrono") << 2026 << 2 << 28 << 14 << QStringLiteral("Patrono: San Valentino");
    QTest::newRow("giugno") << 2026 << 6 << 30 << 2 << QStringLiteral("Festa della Repubblica");
    QTest::newRow("dicembre") << 2026 << 12 << 31 << 8 << QStringLiteral("Immacolata Concezione");
    QTest::newRow("febbraio bisestile") << 2028 << 2 << 29 << 14 << QStringLiteral("Patrono: San Valentino");
}

void TestCartellini::unFoglioPerDipendente()
{
    QFETCH(int, anno);
    QFETCH(int, mese);
    QFETCH(int, giorni);
    QFETCH(int, giornoFesta);
    QFETCH(QString, festa);
    AmbienteTest amb;
    const Archivio3 d = Prepara(amb);
    QVERIFY(FestivitaAzienda::ScriviPatrono(amb.archivio(), 14, 2, QStringLiteral("San Valentino")));
    const MeseAnno m { mese, anno };
    Movimenti(amb, d, m);

    const QString file = amb.percorso(QStringLiteral("cartellini.pdf"));
    QString errore;
    int pagine = 0;
    QVERIFY2(Cartellini::StampaPdf(Richiesta(amb, m), file, &errore, &pagine), qPrintable(errore));
    QCOMPARE(pagine, 3);
    QCOMPARE(StrumentiPdf::Pagine(file), 3);
    QCOMPARE(StrumentiPdf::Fogli(file).first().toSize(), QSize(595, 842));

    const QString titolo = QStringLiteral("CARTELLINO PRESENZE - %1 %2").arg(m.nomeMese()).arg(anno);
    const QStringList nomi { QStringLiteral("Bianchi Anna"), QStringLiteral("Rossi Mario"),
        QStringLiteral("Verdi Luca") };
    for (int p = 1; p <= 3; ++p) {
        const QString pagina = StrumentiPdf::TestoPagina(file, p);
        QVERIFY2(pagina.contains(titolo) && pagina.contains(QStringLiteral("Officine Rossi S.r.l.")),
            qPrintable(pagina));
        for (int altro = 1; altro <= 3; ++altro)
            QCOMPARE(pagina.contains(nomi.at(altro - 1)), altro == p);
        // Every day of the month once, with its weekday; the holiday named on its line.
        QStringList errori;
        const QMap<int, QString> righe = Giorni(pagina, m, &errori);
        QVERIFY2(errori.isEmpty(), qPrintable(errori.join(u'\n')));
        QCOMPARE(righe.size(), giorni);
        QCOMPARE(righe.lastKey(), giorni);
        QVERIFY2(righe.value(giornoFesta).contains(festa), qPrintable(righe.value(giornoFesta)));
        QVERIFY(pagina.contains(QStringLiteral("Luogo e data ____________")));
        QVERIFY(pagina.contains(QStringLiteral("Pag. 1 di 1")));
    }

    const QString rossi = StrumentiPdf::TestoPagina(file, 2);
    for (const QString& dato : { QStringLiteral("C01"), QStringLiteral("RSSMRA80A01E507X"),
             QStringLiteral("Nato/a il 01/01/1980 a Lecco") })
        QVERIFY2(rossi.simplified().contains(dato), qPrintable(dato));
    QStringList errori;
    const QMap<int, QString> giorniRossi = Giorni(rossi, m, &errori);
    // ORDINARIO, NOTTURNO, STRAORDINARIO, note.
    QCOMPARE(giorniRossi.value(3), QStringLiteral("8 1,5 Visita medica"));
    QCOMPARE(giorniRossi.value(4), QStringLiteral("7,5"));
    QCOMPARE(giorniRossi.value(5), QStringLiteral("F - Ferie"));
    QCOMPARE(giorniRossi.value(6), QStringLiteral("F - Ferie"));
    QCOMPARE(SottoA(rossi, QStringLiteral("Giorni lavorati")), QStringLiteral("15,5 0 1,5 2"));
    QCOMPARE(SottoA(rossi, QStringLiteral("F - Ferie")), QStringLiteral("2"));

    const QString bianchi = StrumentiPdf::TestoPagina(file, 1);
    QCOMPARE(SottoA(bianchi, QStringLiteral("Giorni lavorati")), QStringLiteral("0 0 0 0"));
    QCOMPARE(SottoA(bianchi, QStringLiteral("Giorni per stato")), QStringLiteral("Nessuno"));
    QVERIFY(!bianchi.contains(QStringLiteral(" - Ferie")));
    const QString verdi = StrumentiPdf::TestoPagina(file, 3);
    QCOMPARE(Giorni(verdi, m, &errori).value(3), QStringLiteral("M - Malattia"));
    QCOMPARE(SottoA(verdi, QStringLiteral("M - Malattia")), QStringLiteral("1"));

    // The signatures at the foot of every page, under the place and date.
    for (const QString& parola : { QStringLiteral("Firma"), QStringLiteral("Luogo") }) {
        const QList<double> altezze = Altezze(file, parola);
        QCOMPARE(altezze.size(), parola == QLatin1String("Firma") ? 6 : 3);
        for (double a : altezze)
            QVERIFY2(a > 0.82 && a < 0.95, qPrintable(QStringLiteral("%1 a %2").arg(parola).arg(a)));
    }
}

void TestCartellini::notaLunga()
{
    AmbienteTest amb;
    const Archivio3 d = Prepara(amb);
    const MeseAnno m { 12, 2026 };
    Movimenti(amb, d, m);
    QStringList nota;
    for (int i = 1; i <= 40; ++i)
        nota << QStringLiteral("Riga %1 della nota").arg(i);
    ArchivioDiProva a(amb);
    movimento(a, d.rossi, QStringLiteral("ORDINARIO"), m.data(20), QStringLiteral("8"), nota.join(u'\n'));

    const QString file = amb.percorso(QStringLiteral("cartellini.pdf"));
    QString errore;
    QVERIFY2(Cartellini::StampaPdf(Richiesta(amb, m), file, &errore), qPrintable(errore));
    // Rossi's sheet goes on to a second page; the others keep one each.
    QCOMPARE(StrumentiPdf::Pagine(file), 4);
    const QString prima = StrumentiPdf::TestoPagina(file, 2);
    const QString seconda = StrumentiPdf::TestoPagina(file, 3);
    QVERIFY(prima.contains(QStringLiteral("Rossi Mario")) && prima.contains(QStringLiteral("Pag. 1 di 2")));
    QVERIFY(
        seconda.contains(QStringLiteral("Rossi Mario")) && seconda.contains(QStringLiteral("Pag. 2 di 2")));
    QVERIFY(StrumentiPdf::TestoPagina(file, 4).contains(QStringLiteral("Verdi Luca")));
    // No day lost or repeated across the break, every line of the note printed once, the signatures
    // only at the foot of the second page.
    QStringList errori;
    QMap<int, QString> giorni = Giorni(prima, m, &errori);
    const QMap<int, QString> dopo = Giorni(seconda, m, &errori);
    for (auto g = dopo.cbegin(); g != dopo.cend(); ++g) {
        QVERIFY2(!giorni.contains(g.key()), qPrintable(g.value()));
        giorni.insert(g.key(), g.value());
    }
    QVERIFY2(errori.isEmpty(), qPrintable(errori.join(u'\n')));
    QCOMPARE(giorni.size(), 31);
    const QString entrambe = prima + seconda;
    for (const QString& riga : nota)
        QCOMPARE(entrambe.count(QRegularExpression(QStringLiteral("\\b%1\\b").arg(riga))), 1);
    QVERIFY(!prima.contains(QStringLiteral("Firma del dipendente")));
    QVERIFY(seconda.contains(QStringLiteral("Firma del dipendente")));
    QCOMPARE(seconda.count(QStringLiteral("Luogo e data")), 1);
    QCOMPARE(SottoA(seconda, QStringLiteral("Giorni lavorati")), QStringLiteral("23,5 0 1,5 3"));
}

void TestCartellini::richieste_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("errore"); // "" when the print is done
    QTest::newRow("un dipendente") << QStringLiteral("c01") << QString();
    QTest::newRow("codice assente") << QStringLiteral("X99")
                                    << QStringLiteral("Nessun dipendente con codice «X99».");
    QTest::newRow("modello mancante") << QStringLiteral("modello") << QStringLiteral("Cartellino");
    QTest::newRow("cartella mancante")
        << QStringLiteral("cartella") << QStringLiteral("Impossibile scrivere il file PDF");
    QTest::newRow("annullata") << QStringLiteral("annulla") << QStringLiteral("annullata");
}

void TestCartellini::richieste()
{
    QFETCH(QString, caso);
    QFETCH(QString, errore);
    AmbienteTest amb;
    const Archivio3 d = Prepara(amb);
    const MeseAnno m { 6, 2026 };
    Movimenti(amb, d, m);
    Cartellini::Richiesta r = Richiesta(amb, m);
    QString file = amb.percorso(QStringLiteral("cartellini.pdf"));
    // A file already there is replaced only by a print that is complete.
    QFile vecchio(file);
    QVERIFY(vecchio.open(QIODevice::WriteOnly));
    vecchio.write("vecchio");
    vecchio.close();
    QTemporaryDir vuota;
    int chiamate = 0;
    if (caso == QLatin1String("modello"))
        servizi().cartellaModelli = vuota.path();
    else if (caso == QLatin1String("cartella"))
        file = amb.percorso(QStringLiteral("manca/cartellini.pdf"));
    else if (caso == QLatin1String("annulla"))
        r.avanzamento = [&](int fatti, int totale) {
            ++chiamate;
            return totale == 3 && fatti < 2;
        };
    else
        r.criteri.codiceDipendente = caso;

    QString detto;
    const bool fatto = Cartellini::StampaPdf(r, file, &detto);
    QCOMPARE(fatto, errore.isEmpty());
    if (!fatto) {
        QVERIFY2(detto.contains(errore), qPrintable(detto));
        QFile f(amb.percorso(QStringLiteral("cartellini.pdf")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("vecchio"));
        QVERIFY(!QFileInfo::exists(amb.percorso(QStringLiteral("manca"))));
        QCOMPARE(chiamate, caso == QLatin1String("annulla") ? 3 : 0);
        return;
    }
    QCOMPARE(StrumentiPdf::Pagine(file), 1);
    const QString testo = StrumentiPdf::Testo(file);
    QVERIFY(
        testo.contains(QStringLiteral("Rossi Mario")) && testo.contains(QStringLiteral("RSSMRA80A01E507X")));
    QVERIFY(!testo.contains(QStringLiteral("Bianchi")) && !testo.contains(QStringLiteral("Verdi")));
}

int main(int argc, char* argv[])
{
    // Text is laid out with the fonts of a graphical application; no display is needed.
    QGuiApplication app(argc, argv);
    TestCartellini test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cartellini.moc"
