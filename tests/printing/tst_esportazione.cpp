// The exports read back as their consumers read them: the CSV files parsed by the rules a
// spreadsheet follows, the XLSX opened as the zip it is and its sheets' XML read cell by cell.
#include "AmbienteTest.h"
#include "DatiDiProva.h"

#include "archive/Archivio.h"
#include "archive/ArchivioEsempio.h"
#include "archive/Module1.h"
#include "comune/Griglia.h"
#include "diary/GrigliaTotali.h"
#include "diary/RigheDipendenti.h"
#include "printing/Esportazione.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QXmlStreamReader>

#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace Esportazione;
using namespace Qt::StringLiterals;

class TestEsportazione : public QObject
{
    Q_OBJECT

private slots:
    void csvRighe_data();
    void csvRighe();
    void csvMese();
    void xlsx();
    void stessiNumeriDeiTotali_data();
    void stessiNumeriDeiTotali();
    void richiesteRifiutate_data();
    void richiesteRifiutate();
    void nessunFileAMeta_data();
    void nessunFileAMeta();
};

namespace {

const QString Azienda = QStringLiteral("Officine Rossi S.r.l.");
const QString CognomeDifficile = QStringLiteral("D'Amico; \"Totò\"");
const QString Formula = QStringLiteral("=HYPERLINK(\"http://x\")");
const QString NotaDifficile = QStringLiteral("prima riga\r\nseconda; \"terza\"");

// Two employees in November 2026 with every kind of awkward text: a separator and quotes in a
// name, a name that is a formula, a note over two lines, a note that starts like a formula.
void prepara(const AmbienteTest& amb)
{
    azienda(amb, { { "RagSociale", Azienda } });
    stato(amb, QStringLiteral("F"), QStringLiteral("Ferie"));
    stato(amb, QStringLiteral("M"), QStringLiteral("Malattia"));
    tipo(amb, QStringLiteral("STRAORDINARIO"));
    const qint64 a = dipendente(amb, QStringLiteral("A01"), QStringLiteral("Rossi Mario"), 1,
        { { "Cognome", CognomeDifficile }, { "Nome", QStringLiteral("Mario") },
            { "CodiceFiscale", QStringLiteral("DMCMRA80A01E507X") } });
    // No surname and first name: the name on the card stands in.
    const qint64 b = dipendente(amb, QStringLiteral("B02"), Formula);
    const QString ord = RigheDipendenti::Ordinario;
    movimento(amb, a, ord, QDate(2026, 11, 2), QStringLiteral("7,5"));
    movimento(amb, a, QStringLiteral("STRAORDINARIO"), QDate(2026, 11, 2), QStringLiteral("1,5"));
    movimento(amb, a, ord, QDate(2026, 11, 3), QStringLiteral("8"), NotaDifficile);
    movimento(amb, a, ord, QDate(2026, 11, 4), QStringLiteral("F"), {},
        { { "Descrizione", QStringLiteral("Ferie") } });
    movimento(amb, a, ord, QDate(2026, 11, 5), QString()); // a saved empty day
    movimento(amb, a, ord, QDate(2026, 11, 6), QString(), QStringLiteral("nota su un giorno vuoto"));
    movimento(amb, a, ord, QDate(2026, 12, 1), QStringLiteral("8")); // another month
    movimento(amb, b, ord, QDate(2026, 11, 2), QStringLiteral("M"), QStringLiteral("@nota"));
}

Richiesta richiesta(const AmbienteTest& amb, Formato formato, const QString& file)
{
    Richiesta r;
    r.archivio = amb.archivio();
    r.mese = { 11, 2026 };
    r.tipi = RigheDipendenti::CaricaTipi(amb.archivio());
    r.formato = formato;
    r.file = amb.percorso(file);
    return r;
}

QByteArray leggi(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A CSV as a spreadsheet reads it: `;` between fields, CR LF after each record, a quoted field
// may hold anything with its quotes doubled. Nothing when the text breaks those rules.
std::optional<QList<QStringList>> leggiCsv(const QByteArray& byte)
{
    if (!byte.startsWith("\xEF\xBB\xBF"))
        return std::nullopt;
    const QString t = QString::fromUtf8(byte.mid(3));
    QList<QStringList> righe;
    QStringList riga;
    QString campo;
    bool citato = false;
    bool appenaChiuso = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (citato) {
            if (c != u'"') {
                campo += c;
            } else if (i + 1 < t.size() && t.at(i + 1) == u'"') {
                campo += c;
                ++i;
            } else {
                citato = false;
                appenaChiuso = true;
            }
        } else if (c == u'"') {
            if (!campo.isEmpty() || appenaChiuso)
                return std::nullopt;
            citato = true;
        } else if (c == u';') {
            riga << campo;
            campo.clear();
            appenaChiuso = false;
        } else if (c == u'\r' && i + 1 < t.size() && t.at(i + 1) == u'\n') {
            riga << campo;
            righe << riga;
            riga.clear();
            campo.clear();
            appenaChiuso = false;
            ++i;
        } else if (c == u'\r' || c == u'\n' || appenaChiuso) {
            return std::nullopt;
        } else {
            campo += c;
        }
    }
    if (citato || !campo.isEmpty() || !riga.isEmpty())
        return std::nullopt;
    return righe;
}

QByteArray dalloZip(const QString& file, const QString& parte)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), { QStringLiteral("-p"), file, parte });
    if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0)
        return {};
    return unzip.readAllStandardOutput();
}

struct CellaXml
{
    QString tipo; // the t attribute: "" for a number
    QString valore; // the number, or the text
    QString formula;
};

// "A1" -> (0, 0).
QString riferimento(int colonna, int riga)
{
    QString nome;
    for (int c = colonna + 1; c > 0; c = (c - 1) / 26)
        nome.prepend(QChar(u'A' + (c - 1) % 26));
    return nome + QString::number(riga + 1);
}

// The cells of a sheet of the workbook, by reference; texts read whether shared or inline.
QHash<QString, CellaXml> celle(const QString& file, int foglio)
{
    QStringList condivisi;
    QXmlStreamReader s(dalloZip(file, QStringLiteral("xl/sharedStrings.xml")));
    while (s.readNextStartElement() || !s.atEnd())
        if (s.isStartElement() && s.name() == u"si")
            condivisi << s.readElementText(QXmlStreamReader::IncludeChildElements);
    QHash<QString, CellaXml> celle;
    QXmlStreamReader x(dalloZip(file, QStringLiteral("xl/worksheets/sheet%1.xml").arg(foglio)));
    QString ref;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == u"c") {
            ref = x.attributes().value(QStringLiteral("r")).toString();
            celle[ref].tipo = x.attributes().value(QStringLiteral("t")).toString();
        } else if (x.name() == u"v") {
            CellaXml& c = celle[ref];
            c.valore = x.readElementText();
            if (c.tipo == u"s")
                c.valore = condivisi.value(c.valore.toInt());
        } else if (x.name() == u"is") {
            celle[ref].valore = x.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (x.name() == u"f") {
            celle[ref].formula = x.readElementText();
        }
    }
    return celle;
}

// The body row (0-based) of the sheet whose code and type columns hold these.
int rigaDi(const QHash<QString, CellaXml>& foglio, const QString& codice, const QString& tipo, int da)
{
    for (int r = da; foglio.contains(riferimento(0, r)); ++r)
        if (foglio.value(riferimento(0, r)).valore == codice
            && foglio.value(riferimento(4, r)).valore == tipo)
            return r;
    return -1;
}

} // namespace

void TestEsportazione::csvRighe_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("colonna");
    QTest::addColumn<QString>("atteso");
    const QString ord = RigheDipendenti::Ordinario;
    const QString a = QStringLiteral("A01");
    const QString d2 = QStringLiteral("02/11/2026");
    QTest::newRow("ore con la virgola") << a << d2 << ord << "Ore"
                                        << "7,5";
    QTest::newRow("le ore non hanno stato") << a << d2 << ord << "Stato"
                                            << "";
    QTest::newRow("tipo extra") << a << d2 << "STRAORDINARIO"
                                << "Ore"
                                << "1,5";
    QTest::newRow("stato") << a << "04/11/2026" << ord << "Stato"
                           << "F";
    QTest::newRow("uno stato non ha ore") << a << "04/11/2026" << ord << "Ore"
                                          << "";
    QTest::newRow("descrizione dello stato") << a << "04/11/2026" << ord << "Descrizione"
                                             << "Ferie";
    QTest::newRow("nota su due righe") << a << "03/11/2026" << ord << "Nota" << NotaDifficile;
    QTest::newRow("nome con ; e virgolette") << a << d2 << ord << "Cognome" << CognomeDifficile;
    QTest::newRow("codice fiscale") << a << d2 << ord << "Codice fiscale"
                                    << "DMCMRA80A01E507X";
    QTest::newRow("formula nel nome") << "B02" << d2 << ord << "Cognome" << QString(u'\'' + Formula);
    QTest::newRow("formula nella nota") << "B02" << d2 << ord << "Nota"
                                        << "'@nota";
}

void TestEsportazione::csvRighe()
{
    QFETCH(QString, codice);
    QFETCH(QString, data);
    QFETCH(QString, tipo);
    QFETCH(QString, colonna);
    QFETCH(QString, atteso);
    AmbienteTest amb;
    prepara(amb);
    const Esito e = Esporta(richiesta(amb, Formato::CsvRighe, QStringLiteral("righe.csv")));
    QVERIFY2(e.ok, qPrintable(e.errore));
    QCOMPARE(e.dipendenti, 2);

    const auto righe = leggiCsv(leggi(amb.percorso(QStringLiteral("righe.csv"))));
    QVERIFY(righe);
    const QStringList intestazione = righe->first();
    QCOMPARE(intestazione.join(u';'),
        QStringLiteral("Data;Codice;Codice fiscale;Cognome;Nome;Tipo;Ore;Stato;Descrizione;Nota"));
    // The five days that hold something; the empty ones and December are no lines.
    QCOMPARE(righe->size(), 1 + 5);
    for (const QStringList& r : *righe)
        QCOMPARE(r.size(), intestazione.size());

    const QStringList* trovata = nullptr;
    for (const QStringList& r : *righe)
        if (r.at(0) == data && r.at(1) == codice && r.at(5) == tipo)
            trovata = &r;
    QVERIFY(trovata);
    QCOMPARE(trovata->at(intestazione.indexOf(colonna)), atteso);
}

void TestEsportazione::csvMese()
{
    AmbienteTest amb;
    prepara(amb);
    Richiesta r = richiesta(amb, Formato::CsvMese, QStringLiteral("mese.csv"));
    QList<QPair<int, int>> avanzamento;
    r.avanzamento = [&](int fatti, int totale) {
        avanzamento << qMakePair(fatti, totale);
        return true;
    };
    const Esito e = Esporta(r);
    QVERIFY2(e.ok, qPrintable(e.errore));
    QCOMPARE(avanzamento, (QList<QPair<int, int>> { { 0, 2 }, { 1, 2 }, { 2, 2 } }));

    const auto righe = leggiCsv(leggi(r.file));
    QVERIFY(righe);
    QCOMPARE(righe->size(), 3 + 2 * 2);
    QCOMPARE(righe->at(0), QStringList { Azienda + QStringLiteral(" - Presenze Novembre 2026") });
    const QStringList intestazione = righe->at(2);
    QCOMPARE(intestazione.mid(0, 5),
        (QStringList { u"Codice"_s, u"Cognome"_s, u"Nome"_s, u"Codice fiscale"_s, u"Tipo"_s }));
    QCOMPARE(intestazione.size(), 5 + 30 + 1);
    QCOMPARE(intestazione.at(5), QStringLiteral("1"));
    QCOMPARE(intestazione.at(34), QStringLiteral("30"));
    QCOMPARE(intestazione.last(), QStringLiteral("Totale ore"));
    QCOMPARE(righe->at(1).at(5), QStringLiteral("Do")); // 1 November 2026
    QCOMPARE(righe->at(1).at(6), QStringLiteral("Lu"));

    // Ordered by name as the main window: "=HYPERLINK..." before "Rossi Mario".
    const QStringList b = righe->at(3);
    QCOMPARE(b.mid(0, 5), (QStringList { u"B02"_s, u'\'' + Formula, u""_s, u""_s, u"ORDINARIO"_s }));
    QCOMPARE(b.at(6), QStringLiteral("M"));
    QCOMPARE(b.last(), QStringLiteral("0"));
    const QStringList a = righe->at(5);
    QCOMPARE(a.mid(0, 5),
        (QStringList { u"A01"_s, CognomeDifficile, u"Mario"_s, u"DMCMRA80A01E507X"_s, u"ORDINARIO"_s }));
    QCOMPARE(a.mid(5, 6), (QStringList { u""_s, u"7,5"_s, u"8"_s, u"F"_s, u""_s, u""_s }));
    QCOMPARE(a.last(), QStringLiteral("15,5"));
    const QStringList extra = righe->at(6);
    QCOMPARE(extra.at(4), QStringLiteral("STRAORDINARIO"));
    QCOMPARE(extra.at(6), QStringLiteral("1,5"));
    QCOMPARE(extra.last(), QStringLiteral("1,5"));
}

void TestEsportazione::xlsx()
{
    AmbienteTest amb;
    prepara(amb);
    const Richiesta r = richiesta(amb, Formato::Xlsx, QStringLiteral("mese.xlsx"));
    const Esito e = Esporta(r);
    QVERIFY2(e.ok, qPrintable(e.errore));

    const QByteArray libro = dalloZip(r.file, QStringLiteral("xl/workbook.xml"));
    QVERIFY(libro.contains(R"(name="Presenze")"));
    QVERIFY(libro.contains(R"(name="Riepilogo")"));
    QVERIFY(libro.contains(R"(name="Legenda")"));

    const auto presenze = celle(r.file, 1);
    QCOMPARE(
        presenze.value(QStringLiteral("A1")).valore, Azienda + QStringLiteral(" - Presenze Novembre 2026"));
    const int a = rigaDi(presenze, QStringLiteral("A01"), RigheDipendenti::Ordinario, 3);
    QVERIFY(a > 0);
    QCOMPARE(presenze.value(riferimento(1, a)).valore, CognomeDifficile);
    // Day d is column 4 + d. Hours are numbers, codes are texts.
    const CellaXml ore = presenze.value(riferimento(6, a));
    QVERIFY2(ore.tipo.isEmpty() || ore.tipo == u"n", qPrintable(ore.tipo));
    QCOMPARE(ore.valore.toDouble(), 7.5);
    const CellaXml ferie = presenze.value(riferimento(8, a));
    QVERIFY2(
        ferie.tipo == u"inlineStr" || ferie.tipo == u"s" || ferie.tipo == u"str", qPrintable(ferie.tipo));
    QCOMPARE(ferie.valore, QStringLiteral("F"));
    const CellaXml totale = presenze.value(riferimento(5 + 30, a));
    QCOMPARE(totale.valore.toDouble(), 15.5);
    QVERIFY(totale.formula.startsWith(QStringLiteral("SUM(")));
    const int b = rigaDi(presenze, QStringLiteral("B02"), RigheDipendenti::Ordinario, 3);
    QCOMPARE(presenze.value(riferimento(1, b)).valore, Formula); // a cell's text is never a formula
    QVERIFY(presenze.value(riferimento(1, b)).formula.isEmpty());

    // The notes are comments on their cells; the holiday names on their day.
    const QString commenti = QString::fromUtf8(dalloZip(r.file, QStringLiteral("xl/comments1.xml")));
    QVERIFY(commenti.contains(QStringLiteral("ref=\"%1\"").arg(riferimento(7, a))));
    QVERIFY(commenti.contains(QStringLiteral("seconda; &quot;terza&quot;"))
        || commenti.contains(QStringLiteral("seconda; \"terza\"")));
    QVERIFY(commenti.contains(QStringLiteral("ref=\"%1\"").arg(riferimento(6, b))));
    QVERIFY(commenti.contains(QStringLiteral("Ognissanti")));

    const QByteArray foglio = dalloZip(r.file, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(foglio.contains(R"(state="frozen")"));
    QVERIFY(foglio.contains(R"(orientation="landscape")"));
    QVERIFY(foglio.contains(R"(fitToHeight="0")"));
    QVERIFY(dalloZip(r.file, QStringLiteral("xl/styles.xml")).contains(R"(formatCode="0.##")"));

    const auto riepilogo = celle(r.file, 2);
    const int ra = rigaDi(riepilogo, QStringLiteral("A01"), RigheDipendenti::Ordinario, 2);
    QVERIFY(ra > 0);
    QCOMPARE(riepilogo.value(riferimento(5, 1)).valore, QStringLiteral("Ore"));
    QCOMPARE(riepilogo.value(riferimento(5, ra)).valore.toDouble(), 15.5);
    QCOMPARE(riepilogo.value(riferimento(6, 1)).valore, QStringLiteral("F"));
    QCOMPARE(riepilogo.value(riferimento(6, ra)).valore.toDouble(), 1.0);

    const auto legenda = celle(r.file, 3);
    QStringList testi;
    for (const CellaXml& c : legenda)
        testi << c.valore;
    for (const char* atteso : { "Ferie", "Malattia", "Ognissanti" })
        QVERIFY2(testi.contains(QString::fromUtf8(atteso)), atteso);
}

void TestEsportazione::stessiNumeriDeiTotali_data()
{
    QTest::addColumn<quint32>("seme");
    QTest::addColumn<QDate>("dal");
    QTest::addColumn<QDate>("al");
    QTest::addColumn<QString>("codice");
    QTest::newRow("un mese") << 3u << QDate() << QDate() << QString();
    QTest::newRow("un periodo a cavallo dei mesi")
        << 5u << QDate(2024, 1, 20) << QDate(2024, 3, 10) << QString();
    QTest::newRow("un dipendente in un periodo") << 8u << QDate(2024, 2, 1) << QDate(2024, 3, 31) << "D0003";
}

// On a random archive the totals sheet holds the numbers of the totals view, and they agree with
// the grid sheet's rows and with the lines of the entries' CSV, which are read by other code.
void TestEsportazione::stessiNumeriDeiTotali()
{
    QFETCH(quint32, seme);
    QFETCH(QDate, dal);
    QFETCH(QDate, al);
    QFETCH(QString, codice);
    AmbienteTest amb(false);
    ArchivioEsempio::Opzioni o;
    o.dipendenti = 7;
    o.mesi = 3;
    o.tipiExtra = 2;
    o.stati = 6;
    o.seme = seme;
    o.ultimoMese = QDate(2024, 3, 1);
    const auto creato = ArchivioEsempio::Crea(amb.archivio(), o);
    QVERIFY2(creato.ok, qPrintable(creato.errore));
    if (!codice.isEmpty())
        QVERIFY(AmbienteTest::sqlSu(amb.archivio(),
            QStringLiteral("UPDATE TabellaAnagrafiche SET Codice = ? WHERE Indice = 3"), { codice })
                    .isNull());

    Richiesta r = richiesta(amb, Formato::Xlsx, QStringLiteral("totali.xlsx"));
    r.mese = { 2, 2024 };
    r.dal = dal;
    r.al = al;
    r.criteri.codiceDipendente = codice;
    const Esito e = Esporta(r);
    QVERIFY2(e.ok, qPrintable(e.errore));
    QCOMPARE(e.dipendenti, codice.isEmpty() ? 7 : 1);

    GrigliaTotali::Parametri p;
    p.archivio = amb.archivio();
    p.mese = QStringLiteral("Febbraio");
    p.anno = QStringLiteral("2024");
    p.dal = Module1::FormattaData(dal);
    p.al = Module1::FormattaData(al);
    p.criteri = r.criteri;
    p.tipi = r.tipi;
    Griglia g;
    const GrigliaTotali::Esito vista = GrigliaTotali::DimensionaGriglia2(g, p);
    QVERIFY(vista.letto);

    const auto presenze = celle(r.file, 1);
    const auto riepilogo = celle(r.file, 2);
    const int giorni = dal.isValid() ? int(dal.daysTo(al)) + 1 : 29;
    const auto numero = [](const QHash<QString, CellaXml>& foglio, int c, int r) {
        return foglio.value(riferimento(c, r)).valore.toDouble();
    };
    double oreGriglia = 0;
    for (int gr = 2; gr < vista.primaRigaRiepilogo; ++gr) {
        const int sr = gr; // the sheet's body starts below its title and captions, as the view's
        const int pr = gr + 1; // the grid sheet has one more header row
        QCOMPARE(riepilogo.value(riferimento(0, sr)).valore, g.testo(gr, 1));
        QCOMPARE(riepilogo.value(riferimento(4, sr)).valore, g.testo(gr, 3));
        QCOMPARE(numero(riepilogo, 5, sr), Module1::ValoreNumerico(g.testo(gr, GrigliaTotali::ColonnaOre)));
        QCOMPARE(presenze.value(riferimento(0, pr)).valore, g.testo(gr, 1));
        QCOMPARE(presenze.value(riferimento(4, pr)).valore, g.testo(gr, 3));
        QCOMPARE(numero(presenze, 5 + giorni, pr), numero(riepilogo, 5, sr));
        oreGriglia += numero(presenze, 5 + giorni, pr);
        for (int s = 0; s < vista.numeroStati; ++s) {
            const QString stato = g.testo(1, GrigliaTotali::PrimaColonnaStati + s);
            QCOMPARE(riepilogo.value(riferimento(6 + s, 1)).valore, stato);
            const double conto = Module1::ValoreNumerico(g.testo(gr, GrigliaTotali::PrimaColonnaStati + s));
            QCOMPARE(numero(riepilogo, 6 + s, sr), conto);
            int nelMese = 0;
            for (int d = 0; d < giorni; ++d)
                nelMese
                    += presenze.value(riferimento(5 + d, pr)).valore.compare(stato, Qt::CaseInsensitive) == 0;
            QCOMPARE(nelMese, int(conto));
        }
    }
    const double totaleOre = Module1::ValoreNumerico(g.testo(vista.rigaTotale(), GrigliaTotali::ColonnaOre));
    QVERIFY(totaleOre > 0);
    QCOMPARE(oreGriglia, totaleOre);
    const int rigaTotale = vista.rigaTotale() - (vista.numeroTipi > 0 ? 2 : 1) + 1;
    QCOMPARE(riepilogo.value(riferimento(4, rigaTotale)).valore, GrigliaTotali::TestoTotale);
    QCOMPARE(numero(riepilogo, 5, rigaTotale), totaleOre);

    r.formato = Formato::CsvRighe;
    r.file = amb.percorso(QStringLiteral("righe.csv"));
    QVERIFY(Esporta(r).ok);
    const auto righe = leggiCsv(leggi(r.file));
    QVERIFY(righe);
    double oreRighe = 0;
    for (const QStringList& riga : righe->mid(1))
        oreRighe += Module1::ValoreNumerico(riga.at(6));
    QCOMPARE(oreRighe, totaleOre);
}

void TestEsportazione::richiesteRifiutate_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("errore"); // "" when it is exported
    QTest::newRow("mese non valido") << "mese"
                                     << "non è valido";
    QTest::newRow("dal dopo al") << "rovescio"
                                 << "viene dopo";
    QTest::newRow("367 giorni") << "lungo"
                                << "367 giorni";
    QTest::newRow("366 giorni") << "anno"
                                << "";
    QTest::newRow("archivio mancante") << "archivio"
                                       << "non esiste";
    QTest::newRow("codice sconosciuto") << "codice"
                                        << "«ZZ9»";
    QTest::newRow("cartella mancante") << "cartella"
                                       << "Impossibile scrivere il file «";
}

void TestEsportazione::richiesteRifiutate()
{
    QFETCH(QString, caso);
    QFETCH(QString, errore);
    AmbienteTest amb;
    prepara(amb);
    Richiesta r = richiesta(amb, Formato::Xlsx, QStringLiteral("esportato.xlsx"));
    if (caso == u"mese")
        r.mese = { 13, 2026 };
    else if (caso == u"rovescio")
        r.dal = QDate(2026, 11, 10), r.al = QDate(2026, 11, 9);
    else if (caso == u"lungo")
        r.dal = QDate(2025, 1, 1), r.al = QDate(2026, 1, 2);
    else if (caso == u"anno")
        r.dal = QDate(2024, 1, 1), r.al = QDate(2024, 12, 31);
    else if (caso == u"archivio")
        r.archivio = amb.percorso(QStringLiteral("Manca.mdb"));
    else if (caso == u"codice")
        r.criteri.codiceDipendente = QStringLiteral("ZZ9");
    else if (caso == u"cartella")
        r.file = amb.percorso(QStringLiteral("manca/esportato.xlsx"));

    const Esito e = Esporta(r);
    QCOMPARE(e.ok, errore.isEmpty());
    QVERIFY2(e.errore.contains(errore), qPrintable(e.errore));
    QCOMPARE(QFile::exists(r.file), errore.isEmpty());
    if (!e.ok)
        QCOMPARE(QDir(amb.cartella()).entryList(QDir::Files), QStringList { QStringLiteral("Archivio.mdb") });
}

void TestEsportazione::nessunFileAMeta_data()
{
    QTest::addColumn<Formato>("formato");
    QTest::addColumn<bool>("annulla"); // else the disk fills up
    QTest::addColumn<QString>("errore");
    QTest::newRow("xlsx, disco pieno") << Formato::Xlsx << false << "Impossibile scrivere il file «";
    QTest::newRow("csv del mese, disco pieno")
        << Formato::CsvMese << false << "Impossibile scrivere il file «";
    QTest::newRow("csv righe, disco pieno") << Formato::CsvRighe << false << "Impossibile scrivere il file «";
    QTest::newRow("annullata") << Formato::Xlsx << true << "annullata";
}

// A write that fails halfway, or a stop, leaves the file that was there as it was and nothing
// beside it. A full disk is a file-size limit on this process for the length of the export.
void TestEsportazione::nessunFileAMeta()
{
    QFETCH(Formato, formato);
    QFETCH(bool, annulla);
    QFETCH(QString, errore);
    AmbienteTest amb;
    {
        Archivio db(amb.archivio());
        InTransazione(db, [&db] {
            const ArchivioDiProva a(db);
            dipendenti(a, 40);
            stato(a, QStringLiteral("F"), QStringLiteral("Ferie"));
            for (int i = 1; i <= 40; ++i)
                for (int d = 1; d <= 20; ++d)
                    movimento(a, i, RigheDipendenti::Ordinario, QDate(2026, 11, d),
                        d % 5 ? QStringLiteral("8") : QStringLiteral("F"));
        });
    }
    Richiesta r = richiesta(amb, formato, QStringLiteral("esportato"));
    {
        QFile vecchio(r.file);
        QVERIFY(vecchio.open(QIODevice::WriteOnly));
        vecchio.write("esportazione precedente");
    }
    int ultimo = -1;
    r.avanzamento = [&](int fatti, int) {
        ultimo = fatti;
        return !annulla || fatti < 2;
    };

    Esito e;
    if (annulla) {
        e = Esporta(r);
    } else {
        rlimit prima {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &prima), 0);
        const auto segnale = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = prima;
        limite.rlim_cur = 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limite), 0);
        e = Esporta(r);
        setrlimit(RLIMIT_FSIZE, &prima);
        std::signal(SIGXFSZ, segnale);
    }
    QVERIFY(!e.ok);
    QVERIFY2(e.errore.contains(errore), qPrintable(e.errore));
    if (annulla)
        QCOMPARE(ultimo, 2);
    QCOMPARE(leggi(r.file), QByteArray("esportazione precedente"));
    QCOMPARE(QDir(amb.cartella()).entryList(QDir::Files),
        (QStringList { QStringLiteral("Archivio.mdb"), QStringLiteral("esportato") }));
}

QTEST_GUILESS_MAIN(TestEsportazione)
#include "tst_esportazione.moc"
