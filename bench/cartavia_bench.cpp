// Times the diary's heavy operations on a company-sized sample archive, next to the floors the
// engine allows (one indexed read, one prepared write) and the per-row forms they replaced.

#include "archive/Archivio.h"
#include "archive/ArchivioEsempio.h"
#include "archive/ErroreArchivio.h"
#include "archive/ImportazioneJet.h"
#include "archive/IndirizzoServer.h"
#include "archive/Module1.h"
#include "archive/Sessione.h"
#include "gui/diary/F_Avvio.h"
#include "comune/Griglia.h"
#include "comune/Orologio.h"
#include "diary/ElencoStati.h"
#include "diary/GrigliaDettaglio.h"
#include "diary/GrigliaTotali.h"
#include "diary/MeseDiario.h"
#include "diary/RigheDipendenti.h"
#include "diary/SalvataggioMese.h"
#include "platform/Piattaforma.h"
#include "printing/Cartellini.h"
#include "printing/Esportazione.h"
#include "printing/TabellaStampa2.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <sys/resource.h>

namespace {

// The archive measured, as the program's session holds it.
Sessione& sessioneBench()
{
    static Sessione s;
    return s;
}

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

double mediana(QList<double> v)
{
    std::sort(v.begin(), v.end());
    if (v.isEmpty())
        return 0;
    const qsizetype n = v.size();
    return n % 2 ? v.at(n / 2) : (v.at(n / 2 - 1) + v.at(n / 2)) / 2;
}

// Median milliseconds of `ripetizioni` runs of `f`; `prima` runs untimed before each run.
template <typename F, typename P> double misura(int ripetizioni, P&& prima, F&& f)
{
    QList<double> tempi;
    for (int i = 0; i < ripetizioni; ++i) {
        prima();
        QElapsedTimer t;
        t.start();
        f();
        tempi << t.nsecsElapsed() / 1e6;
    }
    return mediana(tempi);
}

template <typename F> double misura(int ripetizioni, F&& f)
{
    return misura(
        ripetizioni, [] {}, std::forward<F>(f));
}

double piccoMb()
{
    struct rusage uso
    {
    };
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss / 1024.0; // kilobytes on Linux
}

void errore(const QString& testo)
{
    QTextStream(stderr) << "Errore: " << testo << '\n';
    std::exit(1);
}

// Bytes this process has asked the kernel to read so far (cache hits included): what an archive
// on a network share would have to bring over the wire.
qint64 byteLetti()
{
    QFile f(QStringLiteral("/proc/self/io"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& riga : f.readAll().split('\n'))
        if (riga.startsWith("rchar:"))
            return riga.mid(6).trimmed().toLongLong();
    return 0;
}

struct Apertura
{
    double ms = 0;
    double mib = 0;
};

// The main window opened on `archivio` as the program opens it (archive check, version check,
// settings, printers, filters, the first grid), offscreen: median time and bytes read.
Apertura misuraApertura(const QString& archivio, int ripetizioni)
{
    sessioneBench().PercorsoArchivio = archivio;
    QList<double> tempi;
    QList<double> letti;
    // The first opening also loads fonts and plugins: it is not counted.
    for (int i = 0; i <= ripetizioni; ++i) {
        const qint64 prima = byteLetti();
        QElapsedTimer t;
        t.start();
        F_Avvio* finestra = F_Avvio::Apri(sessioneBench());
        const double ms = t.nsecsElapsed() / 1e6;
        const qint64 dopo = byteLetti();
        if (!finestra)
            errore(QStringLiteral("finestra principale non aperta su %1").arg(archivio));
        finestra->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (i > 0) {
            tempi << ms;
            letti << (dopo - prima) / (1024.0 * 1024.0);
        }
    }
    return { mediana(tempi), mediana(letti) };
}

// The grid the way the original procedure filled it: one query per grid row, its text glued
// together with quoted values, fields read by name.
void grigliaPerRiga(Griglia& g, const GrigliaDettaglio::Parametri& p)
{
    {
        Griglia::Ricostruzione blocco(g);
        g.svuota();
        g.impostaRigheFisse(0);
        g.impostaRighe(2);
        g.impostaColonne(
            GrigliaDettaglio::ColonnaGiorno(GrigliaDettaglio::CalcolaNumeroGiorniMese(p.mese, p.anno)) + 1);
        g.impostaRigheFisse(2);
        g.impostaColonneFisse(4);
        RigheDipendenti::CaricaDipendenti(sessioneBench().PercorsoArchivio, g, p.criteri, p.tipi);
    }
    Archivio db(sessioneBench().PercorsoArchivio);
    for (int r = 2; r < g.righe(); ++r) {
        QSqlQuery q = db.esegui(QStringLiteral(" select * from tabellamovimenti where Mese = '")
            + Module1::DuplicaApici(p.mese) + QStringLiteral("' and Anno = '") + Module1::DuplicaApici(p.anno)
            + QStringLiteral("' and indiceanagrafica = ") + g.testo(r, 0) + QStringLiteral(" and tipo = '")
            + Module1::DuplicaApici(g.testo(r, 3)) + QLatin1Char('\''));
        while (q.next()) {
            const int c = GrigliaDettaglio::ColonnaGiorno(
                int(Module1::ValoreNumerico(q.value(QStringLiteral("giorno")).toString())));
            g.impostaTesto(r, c, q.value(QStringLiteral("Stato")).toString());
            if (!q.value(QStringLiteral("Note")).toString().isEmpty())
                g.impostaSfondo(r, c, GrigliaDettaglio::ColoreNota);
        }
    }
}

// The month totals the way the original procedure computed them: per row one sum of the hours,
// per row and state one query whose rows are counted; window events run after each row and column.
void totaliPerRiga(const GrigliaDettaglio::Parametri& p, double* ore, double* giorni)
{
    Archivio db(sessioneBench().PercorsoArchivio);
    QStringList stati;
    QSqlQuery s = db.esegui(QStringLiteral("select * from tabellastati where indice > 0 order by stato"));
    while (s.next())
        stati << s.value(QStringLiteral("Stato")).toString();
    const QList<RigheDipendenti::Dipendente> dipendenti = RigheDipendenti::LeggiDipendenti(db, p.criteri);
    QStringList tipi { RigheDipendenti::Ordinario };
    tipi += p.tipi;
    const QString periodo = QStringLiteral(" and Mese = '") + Module1::DuplicaApici(p.mese)
        + QStringLiteral("' and Anno = '") + Module1::DuplicaApici(p.anno) + QLatin1Char('\'');
    *ore = 0;
    *giorni = 0;
    for (const auto& d : dipendenti) {
        for (const QString& tipo : tipi) {
            QSqlQuery q = db.esegui(
                QStringLiteral(" Select sum(statonum) as SommaDiStato  from tabellamovimenti where "
                               "indiceanagrafica = ")
                + QString::number(d.indice) + QStringLiteral(" and tipo = '") + Module1::DuplicaApici(tipo)
                + QLatin1Char('\'') + periodo);
            if (q.next())
                *ore += q.value(QStringLiteral("SommaDiStato")).toDouble();
            QCoreApplication::processEvents();
        }
    }
    for (const QString& stato : stati) {
        for (const auto& d : dipendenti) {
            for (const QString& tipo : tipi) {
                QSqlQuery q
                    = db.esegui(QStringLiteral("select * from tabellamovimenti where indiceanagrafica = ")
                        + QString::number(d.indice) + QStringLiteral(" and stato = '") + stato
                        + QStringLiteral("' and  tipo = '") + Module1::DuplicaApici(tipo) + QLatin1Char('\'')
                        + periodo);
                while (q.next())
                    *giorni += 1;
            }
        }
        QCoreApplication::processEvents();
    }
}

// The address of a database beside the server archive `indirizzo`, its name ending in `suffisso`;
// made, empty, when missing (the user needs the right to create databases).
QString archivioAccanto(const QString& indirizzo, const QString& suffisso)
{
    IndirizzoServer accanto = *IndirizzoServer::Leggi(indirizzo);
    accanto.database += suffisso;
    try {
        Archivio db(indirizzo);
        if (!db.valore(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), { accanto.database })
                 .isValid())
            db.esegui(QStringLiteral("CREATE DATABASE \"%1\"")
                          .arg(QString(accanto.database).replace(QLatin1Char('"'), QLatin1String("\"\""))));
    } catch (const ErroreArchivio& e) {
        errore(e.descrizione());
    }
    return accanto.Testo();
}

QtMessageHandler g_gestoreQt = nullptr;

// The offscreen platform says at every window it cannot pass size hints on: not news here.
void messaggioQt(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo)
{
    if (testo.contains(QLatin1String("propagateSizeHints")))
        return;
    if (g_gestoreQt)
        g_gestoreQt(tipo, contesto, testo);
    else
        QTextStream(stderr) << testo << '\n';
}

// The import of an old archive, measured alone: it needs no sample archive.
int misuraImportazione(const QString& vecchio, int ripetizioni, bool json)
{
    QTemporaryDir cartella;
    qint64 righe = 0;
    int n = 0;
    const double ms = misura(ripetizioni, [&] {
        try {
            const auto r = ImportazioneJet::Importa(
                vecchio, cartella.filePath(QStringLiteral("Importato-%1.mdb").arg(++n)));
            righe = 0;
            for (const ImportazioneJet::Tabella& t : r.tabelle)
                righe += t.scritte;
        } catch (const ErroreArchivio& e) {
            errore(e.descrizione());
        }
    });
    const double rigaAlSecondo = righe / (ms / 1000.0);
    out() << "Importazione di " << vecchio << ": " << righe << " righe in " << QString::number(ms, 'f', 1)
          << " ms (mediana di " << ripetizioni << "), " << qRound64(rigaAlSecondo)
          << " righe al secondo; memoria di picco " << QString::number(piccoMb(), 'f', 1) << " MB\n";
    if (json) {
        QJsonObject o;
        o[QStringLiteral("import_ms")] = ms;
        o[QStringLiteral("import_rows")] = double(righe);
        o[QStringLiteral("import_rows_per_s")] = rigaAlSecondo;
        o[QStringLiteral("import_peak_mb")] = piccoMb();
        out() << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
    }
    out().flush();
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_gestoreQt = qInstallMessageHandler(messaggioQt);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Misura le operazioni del diario su un archivio di esempio."));
    parser.addHelpOption();
    QCommandLineOption json(
        QStringLiteral("json"), QStringLiteral("Ultima riga: un oggetto JSON con i risultati."));
    QCommandLineOption dipendenti(QStringLiteral("dipendenti"), QStringLiteral("Dipendenti (300)."),
        QStringLiteral("N"), QStringLiteral("300"));
    QCommandLineOption mesi(
        QStringLiteral("mesi"), QStringLiteral("Mesi (36)."), QStringLiteral("M"), QStringLiteral("36"));
    QCommandLineOption ripetizioni(QStringLiteral("ripetizioni"),
        QStringLiteral("Ripetizioni per misura (7)."), QStringLiteral("R"), QStringLiteral("7"));
    QCommandLineOption archivio(QStringLiteral("archivio"),
        QStringLiteral("Usa (o crea la prima volta) questo archivio di esempio."),
        QStringLiteral("PERCORSO"));
    QCommandLineOption jet(QStringLiteral("jet"),
        QStringLiteral("Misura soltanto l'importazione di questo archivio della versione precedente."),
        QStringLiteral("FILE"));
    parser.addOptions({ json, dipendenti, mesi, ripetizioni, archivio, jet });
    parser.process(app);
    if (parser.isSet(jet))
        return misuraImportazione(
            parser.value(jet), std::max(1, parser.value(ripetizioni).toInt()), parser.isSet(json));

    const int numeroDipendenti = parser.value(dipendenti).toInt();
    const int numeroMesi = std::max(2, parser.value(mesi).toInt());
    const int rip = std::max(1, parser.value(ripetizioni).toInt());

    QTemporaryDir cartella;
    QString percorso = parser.value(archivio);
    if (percorso.isEmpty())
        percorso = cartella.filePath(QStringLiteral("Bench.mdb"));
    // The sample ends with the previous month, so the month measured is complete.
    const QDate oggi = QDate::currentDate();
    const QDate mese = QDate(oggi.year(), oggi.month(), 1).addMonths(-1);
    if (!Archivio::Esiste(percorso)) {
        ArchivioEsempio::Opzioni o;
        o.dipendenti = numeroDipendenti;
        o.mesi = numeroMesi;
        o.tipiExtra = 3;
        o.stati = 15;
        o.seme = 2026;
        o.ultimoMese = mese;
        QElapsedTimer t;
        t.start();
        const auto r = ArchivioEsempio::Crea(percorso, o);
        if (!r.ok)
            errore(r.errore);
        out() << "Archivio di esempio creato in " << t.elapsed() / 1000.0 << " s\n";
        out().flush();
    }
    sessioneBench().PercorsoArchivio = percorso;

    GrigliaDettaglio::Parametri p;

    p.archivio = sessioneBench().PercorsoArchivio;
    p.mese = Module1::NomeMese(mese.month());
    p.anno = QString::number(mese.year());
    p.tipi = RigheDipendenti::CaricaTipi(sessioneBench().PercorsoArchivio);
    p.oggi = oggi;

    qint64 righeArchivio = 0;
    int stati = 0;
    int dipendentiInArchivio = 0;
    {
        Archivio db(percorso);
        righeArchivio = db.valore(QStringLiteral("SELECT count(*) FROM TabellaMovimenti")).toLongLong();
        stati = db.valore(QStringLiteral("SELECT count(*) FROM TabellaStati")).toInt();
        dipendentiInArchivio = db.valore(QStringLiteral("SELECT count(*) FROM TabellaAnagrafiche")).toInt();
    }
    const QString primo = QDate(mese.year(), mese.month(), 1).toString(Qt::ISODate);
    const QString ultimo = QDate(mese.year(), mese.month(), mese.daysInMonth()).toString(Qt::ISODate);

    // 1. The detail grid of the month.
    Griglia griglia;
    const double grigliaMs = misura(rip, [&] {
        if (!GrigliaDettaglio::DimensionaGriglia1(griglia, p))
            errore(QStringLiteral("griglia non letta"));
    });
    // On a server, what the grid costs in requests: a fixed number, whatever the employees.
    Archivio::Viaggi viaggi;
    if (IndirizzoServer::E(percorso)) {
        Archivio::ContaViaggi(true);
        GrigliaDettaglio::DimensionaGriglia1(griglia, p);
        Archivio::ContaViaggi(false);
        viaggi = Archivio::ViaggiContati();
    }
    // Floor A: the month's rows through one indexed query of the same driver.
    qint64 lette = 0;
    const double pavimentoLettura = misura(rip, [&] {
        Archivio db(percorso);
        QSqlQuery q = db.esegui(
            QStringLiteral("SELECT IndiceAnagrafica, Tipo, Giorno, Stato, Note FROM TabellaMovimenti "
                           "WHERE Data >= ? AND Data <= ?"),
            { primo, ultimo });
        lette = 0;
        while (q.next()) {
            q.value(0);
            q.value(1);
            q.value(2);
            q.value(3);
            q.value(4);
            ++lette;
        }
    });
    Griglia ingenua;
    const double grigliaIngenuaMs = misura(std::min(rip, 3), [&] { grigliaPerRiga(ingenua, p); });
    for (int r = 0; r < griglia.righe(); ++r)
        for (int c = 0; c < griglia.colonne(); ++c)
            if (griglia.testo(r, c) != ingenua.testo(r, c) && r >= 2)
                errore(
                    QStringLiteral("la griglia per righe differisce alla riga %1, colonna %2").arg(r).arg(c));

    // 2. Saving the month with 10% of its cells changed.
    QRandomGenerator g(7);
    struct Cella
    {
        int riga;
        int colonna;
    };
    QList<Cella> cambiate;
    const int giorni = griglia.colonne() - GrigliaDettaglio::ColonneFisse;
    const int celle = (griglia.righe() - 2) * giorni;
    while (cambiate.size() < celle / 10)
        cambiate.append({ 2 + int(g.bounded(griglia.righe() - 2)),
            GrigliaDettaglio::ColonneFisse + int(g.bounded(giorni)) });
    // The cells are typed into the month document the grid shows, as the entry does.
    int giro = 0;
    MeseDiario documento;
    const double salvaMs = misura(
        rip,
        [&] {
            documento.Carica(p);
            ++giro;
            for (const Cella& c : cambiate) {
                documento.Digita(c.riga - GrigliaDettaglio::RigheFisse,
                    GrigliaDettaglio::GiornoColonna(c.colonna),
                    QString::number(1 + (giro + c.riga + c.colonna) % 9));
                documento.ChiudiDigitazione();
            }
        },
        [&] {
            SalvataggioMese s(documento);
            if (!s.Salva())
                errore(s.descrizioneErrore());
        });

    // Pasting a block the size of the month (every row, every day) into the document, and showing
    // it in the grid.
    QString blocco;
    {
        const QStringList valori { QStringLiteral("8"), QStringLiteral("7.5"), QString(),
            QStringLiteral("4") };
        for (int r = 0; r < griglia.righe() - GrigliaDettaglio::RigheFisse; ++r) {
            for (int d = 0; d < giorni; ++d) {
                if (d > 0)
                    blocco += QLatin1Char('\t');
                blocco += valori.at((r + d) % valori.size());
            }
            blocco += QStringLiteral("\r\n");
        }
    }
    ElencoStati elencoStati;
    {
        Archivio db(percorso);
        elencoStati = ElencoStati::Leggi(db);
    }
    Griglia grigliaIncollata;
    QObject::connect(&documento, &MeseDiario::celleCambiate, [&](const QList<QPoint>& celle) {
        for (const QPoint& c : celle)
            GrigliaDettaglio::DisegnaCella(grigliaIncollata, documento, c.y(), c.x());
    });
    int incollate = 0;
    const double incollaMs = misura(
        rip,
        [&] {
            documento.Abbandona();
            documento.Carica(p);
            GrigliaDettaglio::Disegna(grigliaIncollata, documento, p);
        },
        [&] { incollate = documento.Incolla(0, 1, blocco, elencoStati).scritte; });
    if (incollate != celle)
        errore(QStringLiteral("incollate %1 celle su %2").arg(incollate).arg(celle));
    // Floor B: the same changed cells written with one prepared statement in one transaction.
    QList<qint64> chiavi;
    {
        Archivio db(percorso);
        QSqlQuery trova
            = db.prepara(QStringLiteral("SELECT Indice FROM TabellaMovimenti WHERE IndiceAnagrafica = ? AND "
                                        "Anno = ? AND Mese = ? AND Tipo = ? AND Giorno = ?"));
        for (const Cella& c : cambiate) {
            db.eseguiPreparata(trova,
                { griglia.testo(c.riga, 0).toLongLong(), p.anno, p.mese, griglia.testo(c.riga, 3),
                    QString::number(GrigliaDettaglio::GiornoColonna(c.colonna)) });
            if (trova.next())
                chiavi << trova.value(0).toLongLong();
        }
    }
    const double pavimentoScrittura = misura(rip, [&] {
        ++giro;
        Archivio db(percorso);
        InTransazione(db, [&] {
            QSqlQuery aggiorna = db.prepara(
                QStringLiteral("UPDATE TabellaMovimenti SET Stato = ?, StatoNum = ? WHERE Indice = ?"));
            for (qsizetype i = 0; i < chiavi.size(); ++i) {
                const int ore = 1 + int((giro + i) % 9);
                db.eseguiPreparata(aggiorna, { QString::number(ore), ore, chiavi.at(i) });
            }
        });
    });

    // Exporting the month for payroll, as a spreadsheet and as CSV.
    const auto esporta = [&](Esportazione::Formato formato, const QString& nome) {
        Esportazione::Richiesta r;
        r.archivio = percorso;
        r.mese = { mese.month(), mese.year() };
        r.tipi = p.tipi;
        r.formato = formato;
        r.file = cartella.filePath(nome);
        return misura(rip, [&] {
            const Esportazione::Esito e = Esportazione::Esporta(r);
            if (!e.ok)
                errore(e.errore);
        });
    };
    const double esportaXlsxMs = esporta(Esportazione::Formato::Xlsx, QStringLiteral("Presenze.xlsx"));
    const double esportaCsvMs = esporta(Esportazione::Formato::CsvMese, QStringLiteral("Presenze.csv"));
    const double esportaRigheMs = esporta(Esportazione::Formato::CsvRighe, QStringLiteral("Movimenti.csv"));

    // 3. The totals of the month and of twelve months; 4. the print table from the month totals.
    GrigliaTotali::Parametri t;
    t.archivio = sessioneBench().PercorsoArchivio;
    t.mese = p.mese;
    t.anno = p.anno;
    t.tipi = p.tipi;
    Griglia totali;
    GrigliaTotali::Esito esito;
    const double totaliMeseMs = misura(rip, [&] { esito = GrigliaTotali::DimensionaGriglia2(totali, t); });
    if (!esito.letto)
        errore(QStringLiteral("totali non letti"));
    GrigliaTotali::Parametri anno = t;
    anno.dal = Module1::FormattaData(QDate(mese.year(), mese.month(), 1).addMonths(-11));
    anno.al = Module1::FormattaData(QDate(mese.year(), mese.month(), mese.daysInMonth()));
    Griglia totaliAnno;
    const double totaliAnnoMs = misura(rip, [&] { GrigliaTotali::DimensionaGriglia2(totaliAnno, anno); });
    double oreIngenue = 0;
    double giorniIngenui = 0;
    const double totaliIngenuiMs
        = misura(std::min(rip, 3), [&] { totaliPerRiga(p, &oreIngenue, &giorniIngenui); });
    {
        // Both ways must agree on the grand totals.
        double giorni = 0;
        for (int c = GrigliaTotali::PrimaColonnaStati; c < totali.colonne(); ++c)
            giorni += Module1::ValoreNumerico(totali.testo(esito.rigaTotale(), c));
        const double ore
            = Module1::ValoreNumerico(totali.testo(esito.rigaTotale(), GrigliaTotali::ColonnaOre));
        if (std::abs(ore - oreIngenue) > 0.001 || giorni != giorniIngenui)
            errore(QStringLiteral("i totali per riga differiscono: ore %1 / %2, giorni %3 / %4")
                       .arg(ore)
                       .arg(oreIngenue)
                       .arg(giorni)
                       .arg(giorniIngenui));
    }
    qsizetype lineeStampa = 0;
    const double stampaMs = misura(rip, [&] {
        bool ok = false;
        lineeStampa
            = TabellaStampa2::PreparaStampa(sessioneBench().PercorsoArchivio, totali, esito, &ok).size();
        if (!ok)
            errore(QStringLiteral("Stampa2 non scritta"));
    });

    // The attendance sheets of the month, one page per employee, into one PDF.
    Cartellini::Richiesta cartellini;
    cartellini.archivio = percorso;
    cartellini.mese = MeseAnno { mese.month(), mese.year() };
    int pagineCartellini = 0;
    const double cartelliniMs = misura(std::min(rip, 3), [&] {
        QString testo;
        if (!Cartellini::StampaPdf(
                cartellini, cartella.filePath(QStringLiteral("Cartellini.pdf")), &testo, &pagineCartellini))
            errore(testo);
    });

    // 5. Opening the main window, on this archive and on a three-month one of the same employees:
    // it must not cost more as the archive ages. The window opens on the measured month, as in the
    // middle of a month of work, so its first grid is a full one.
    servizi().terminaProgramma = [] {};
    Orologio::ImpostaOggi(QDate(mese.year(), mese.month(), 15));
    const Apertura apertura = misuraApertura(percorso, rip);
    // On a server the three-month archive is a database beside the measured one.
    const QString piccolo = IndirizzoServer::E(percorso) ? archivioAccanto(percorso, QStringLiteral("_3mesi"))
                                                         : cartella.filePath(QStringLiteral("Bench3.mdb"));
    if (!Archivio::Esiste(piccolo)) {
        ArchivioEsempio::Opzioni o;
        o.dipendenti = dipendentiInArchivio;
        o.mesi = 3;
        o.tipiExtra = 3;
        o.stati = 15;
        o.seme = 2026;
        o.ultimoMese = mese;
        const auto r = ArchivioEsempio::Crea(piccolo, o);
        if (!r.ok)
            errore(r.errore);
    }
    const Apertura aperturaPiccola = misuraApertura(piccolo, rip);
    sessioneBench().PercorsoArchivio = percorso;
    Orologio::ImpostaAdesso({});
    servizi().terminaProgramma = {};

    const double picco = piccoMb();
    auto intestazione
        = [](const QString& nome, const QString& ms, const QString& rapporto, const QString& accelerazione) {
              out() << nome.leftJustified(42) << ms.rightJustified(12) << rapporto.rightJustified(18)
                    << accelerazione.rightJustified(16) << '\n';
          };
    auto riga = [&](const QString& nome, double ms, const QString& rapporto, const QString& accelerazione) {
        intestazione(nome, QString::number(ms, 'f', 1), rapporto, accelerazione);
    };
    auto x = [](double v) { return QString::number(v, 'f', 2) + QStringLiteral(" x"); };
    out() << "\nArchivio: " << dipendentiInArchivio << " dipendenti, " << p.tipi.size() << " tipi extra, "
          << stati << " stati, " << numeroMesi << " mesi, " << righeArchivio
          << " registrazioni; mese misurato: " << p.mese << ' ' << p.anno << " (" << lette << " righe, "
          << celle << " celle); mediana di " << rip << " ripetizioni\n\n";
    intestazione(QStringLiteral("operazione"), QStringLiteral("mediana ms"),
        QStringLiteral("rispetto al base"), QStringLiteral("su per riga"));
    riga(QStringLiteral("griglia del mese"), grigliaMs, x(grigliaMs / pavimentoLettura),
        x(grigliaIngenuaMs / grigliaMs));
    riga(QStringLiteral("  base A: una lettura indicizzata"), pavimentoLettura, QString(), QString());
    if (viaggi.connessioni > 0)
        out() << "  richieste al server: " << viaggi.andateRitorno << " andate e ritorno su "
              << viaggi.connessioni << " connessioni\n";
    riga(QStringLiteral("  per riga: una query per riga"), grigliaIngenuaMs, QString(), QString());
    riga(QStringLiteral("salvataggio del mese (10% cambiato)"), salvaMs, x(salvaMs / pavimentoScrittura),
        QString());
    riga(QStringLiteral("  base B: scrittura preparata"), pavimentoScrittura, QString(), QString());
    riga(QStringLiteral("incolla un mese intero"), incollaMs, QString(), QString());
    riga(QStringLiteral("esportazione XLSX del mese"), esportaXlsxMs, QString(), QString());
    riga(QStringLiteral("esportazione CSV del mese"), esportaCsvMs, QString(), QString());
    riga(QStringLiteral("esportazione CSV righe del mese"), esportaRigheMs, QString(), QString());
    riga(QStringLiteral("totali del mese"), totaliMeseMs, x(totaliMeseMs / pavimentoLettura),
        x(totaliIngenuiMs / totaliMeseMs));
    riga(QStringLiteral("  per riga: una query per riga e stato"), totaliIngenuiMs, QString(), QString());
    riga(QStringLiteral("totali di 12 mesi"), totaliAnnoMs, QString(), QString());
    riga(QStringLiteral("Stampa2 dai totali del mese"), stampaMs, QString(), QString());
    riga(QStringLiteral("cartellini del mese (%1 pagine)").arg(pagineCartellini), cartelliniMs, QString(),
        QString());
    riga(QStringLiteral("apertura della finestra principale"), apertura.ms,
        x(apertura.ms / aperturaPiccola.ms) + QStringLiteral(" (3 mesi)"), QString());
    riga(QStringLiteral("  su un archivio di 3 mesi"), aperturaPiccola.ms, QString(), QString());
    out() << "\nletti all'apertura: " << QString::number(apertura.mib, 'f', 1) << " MiB ("
          << QString::number(aperturaPiccola.mib, 'f', 1) << " MiB sull'archivio di 3 mesi)";
    out() << "\nmemoria di picco: " << QString::number(picco, 'f', 1)
          << " MB; righe di stampa: " << lineeStampa << '\n';

    if (parser.isSet(json)) {
        QJsonObject o;
        o[QStringLiteral("grid_ms")] = grigliaMs;
        o[QStringLiteral("floor_read_ms")] = pavimentoLettura;
        o[QStringLiteral("grid_ratio")] = grigliaMs / pavimentoLettura;
        if (viaggi.connessioni > 0) {
            o[QStringLiteral("grid_round_trips")] = double(viaggi.andateRitorno);
            o[QStringLiteral("grid_connections")] = double(viaggi.connessioni);
        }
        o[QStringLiteral("save_ms")] = salvaMs;
        o[QStringLiteral("floor_write_ms")] = pavimentoScrittura;
        o[QStringLiteral("save_ratio")] = salvaMs / pavimentoScrittura;
        o[QStringLiteral("paste_ms")] = incollaMs;
        o[QStringLiteral("export_xlsx_ms")] = esportaXlsxMs;
        o[QStringLiteral("export_csv_ms")] = esportaCsvMs;
        o[QStringLiteral("export_csv_lines_ms")] = esportaRigheMs;
        o[QStringLiteral("totals_month_ms")] = totaliMeseMs;
        o[QStringLiteral("totals_month_ratio")] = totaliMeseMs / pavimentoLettura;
        o[QStringLiteral("totals_year_ms")] = totaliAnnoMs;
        o[QStringLiteral("print_table_ms")] = stampaMs;
        o[QStringLiteral("naive_grid_ms")] = grigliaIngenuaMs;
        o[QStringLiteral("grid_speedup")] = grigliaIngenuaMs / grigliaMs;
        o[QStringLiteral("naive_totals_ms")] = totaliIngenuiMs;
        o[QStringLiteral("totals_speedup")] = totaliIngenuiMs / totaliMeseMs;
        o[QStringLiteral("sheets_300_ms")] = cartelliniMs;
        o[QStringLiteral("open_ms")] = apertura.ms;
        o[QStringLiteral("open_read_mib")] = apertura.mib;
        o[QStringLiteral("open_small_ms")] = aperturaPiccola.ms;
        o[QStringLiteral("open_small_read_mib")] = aperturaPiccola.mib;
        o[QStringLiteral("open_ratio")] = apertura.ms / aperturaPiccola.ms;
        o[QStringLiteral("peak_mb")] = picco;
        o[QStringLiteral("employees")] = dipendentiInArchivio;
        o[QStringLiteral("types")] = int(p.tipi.size());
        o[QStringLiteral("states")] = stati;
        o[QStringLiteral("months")] = numeroMesi;
        o[QStringLiteral("rows")] = double(righeArchivio);
        out() << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
    }
    out().flush();
    return 0;
}
