#include "ComandiRiga.h"

#include "archive/Archivio.h"
#include "archive/ArchivioEsempio.h"
#include "archive/CreazioneDB.h"
#include "archive/ErroreArchivio.h"
#include "archive/ImportazioneJet.h"
#include "archive/IndirizzoServer.h"
#include "archive/TrasferimentoArchivio.h"
#include "archive/Module1.h"
#include "comune/Festivita.h"
#include "comune/Orologio.h"
#include "diary/RigheDipendenti.h"
#include "printing/Cartellini.h"
#include "printing/Esportazione.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstring>

namespace ComandiRiga {

namespace {
QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

void scriviAiuto(QTextStream& s)
{
    s << "Uso: cartavia [opzione]\n"
         "  (nessuna opzione)          avvia il programma\n"
         "  --versione                 mostra la versione del programma\n"
         "  --crea-archivio PERCORSO   crea o completa l'archivio indicato\n"
         "  --archivio-esempio PERCORSO [--dipendenti N] [--mesi M] [--seme S]\n"
         "                             crea un archivio di prova con dati verosimili\n"
         "                             (predefiniti: 25 dipendenti, 3 mesi fino al mese corrente)\n"
         "  --apri-archivio PERCORSO   apre la finestra principale su quell'archivio\n"
         "  --festivita ANNO           elenca le festività nazionali dell'anno, una per riga\n"
         "                             (gg/mm/aaaa Nome)\n"
         "  --esporta ARCHIVIO FILE [--mese M --anno A | --dal GG/MM/AAAA --al GG/MM/AAAA]\n"
         "            [--formato xlsx|csv|csv-righe] [--dipendente CODICE]\n"
         "                             esporta le presenze di un mese (predefinito: il mese\n"
         "                             corrente) o di un periodo per le paghe; il formato\n"
         "                             segue l'estensione del file se non è indicato\n"
         "  --stampa-cartellini ARCHIVIO FILE.pdf [--mese M --anno A] [--dipendente CODICE]\n"
         "                             scrive in PDF i cartellini presenze del mese da firmare\n"
         "                             (predefinito: il mese corrente), uno per dipendente\n"
         "  --importa-archivio VECCHIO.mdb NUOVO.mdb\n"
         "                             crea un nuovo archivio con i dati di un archivio della\n"
         "                             versione precedente (Jet, Access 97 o 2000-2003)\n"
         "  --copia-archivio SORGENTE DESTINAZIONE\n"
         "                             copia un archivio intero in uno nuovo: da file a server\n"
         "                             (postgresql://utente@host:porta/database), da server a\n"
         "                             file, o tra due dello stesso tipo\n"
         "  --aiuto, --help, -h        mostra questo aiuto\n";
    s.flush();
}

// An archive's file as a full path; a server address as it is.
QString archivioAssoluto(const QString& percorso)
{
    return IndirizzoServer::E(percorso) ? percorso.trimmed() : QFileInfo(percorso).absoluteFilePath();
}

int aiuto()
{
    scriviAiuto(out());
    return 0;
}

// A command line the program cannot run: what is wrong and the usage, on stderr, status 2, so a
// script stops instead of waiting for a window.
int erroreUso(const QString& messaggio)
{
    err() << "Errore: " << messaggio << "\n\n";
    scriviAiuto(err());
    return 2;
}

int creaArchivio(const QString& percorso)
{
    if (percorso.trimmed().isEmpty()) {
        err() << "Errore: indicare il percorso dell'archivio da creare.\n";
        return 2;
    }
    const QString assoluto = archivioAssoluto(percorso);
    CreazioneDB c;
    QObject::connect(&c, &CreazioneDB::rigaCambiata, [](const QString& riga) {
        out() << riga << '\n';
        out().flush();
    });
    if (!c.CreaDB(assoluto)) {
        err() << "Errore: impossibile creare l'archivio «" << QDir::toNativeSeparators(assoluto) << "»";
        if (!c.DescrizioneUltimoErrore().isEmpty())
            err() << " (" << c.UltimoErrore() << ": " << c.DescrizioneUltimoErrore() << ")";
        err() << ".\n";
        err().flush();
        return 1;
    }
    return 0;
}
// The whole number following `nome` in `a`, `predefinito` when absent; -1 when present but not a number.
int numeroOpzione(const QStringList& a, const QString& nome, int predefinito)
{
    const qsizetype i = a.indexOf(nome);
    if (i < 0)
        return predefinito;
    bool ok = false;
    const int n = a.value(i + 1).toInt(&ok);
    return ok && n >= 0 ? n : -1;
}

int archivioEsempio(const QStringList& a)
{
    const QString percorso = a.value(1);
    if (percorso.isEmpty() || percorso.startsWith(QLatin1String("--")))
        return erroreUso(QStringLiteral("indicare il percorso dell'archivio di esempio da creare."));
    for (qsizetype i = 2; i < a.size(); i += 2) {
        const QString& opzione = a.at(i);
        if (opzione != QLatin1String("--dipendenti") && opzione != QLatin1String("--mesi")
            && opzione != QLatin1String("--seme"))
            return erroreUso(QStringLiteral("opzione sconosciuta per --archivio-esempio: %1").arg(opzione));
        if (i + 1 >= a.size())
            return erroreUso(QStringLiteral("manca il valore di %1.").arg(opzione));
    }
    ArchivioEsempio::Opzioni opzioni;
    opzioni.dipendenti = numeroOpzione(a, QStringLiteral("--dipendenti"), opzioni.dipendenti);
    opzioni.mesi = numeroOpzione(a, QStringLiteral("--mesi"), opzioni.mesi);
    const int seme = numeroOpzione(a, QStringLiteral("--seme"), int(opzioni.seme));
    if (opzioni.dipendenti < 0 || opzioni.mesi < 0 || seme < 0 || opzioni.dipendenti > 100000
        || opzioni.mesi > 600)
        return erroreUso(QStringLiteral("--dipendenti, --mesi e --seme vogliono un numero intero (al massimo "
                                        "100000 dipendenti e 600 mesi)."));
    opzioni.seme = quint32(seme);
    const QString assoluto = archivioAssoluto(percorso);
    const ArchivioEsempio::Risultato r = ArchivioEsempio::Crea(assoluto, opzioni, [](int fatti, int totali) {
        out() << "Mesi registrati: " << fatti << " di " << totali << '\n';
        out().flush();
    });
    if (!r.ok) {
        err() << "Errore: " << r.errore << '\n';
        return 1;
    }
    out() << "Archivio di esempio creato: " << QDir::toNativeSeparators(assoluto) << " ("
          << opzioni.dipendenti << " dipendenti, " << opzioni.mesi << " mesi, " << r.registrazioni
          << " registrazioni)\n";
    out().flush();
    return 0;
}
// The value after `nome`, "" when absent; `presente` tells whether the option was given.
QString valoreOpzione(const QStringList& a, const QString& nome, bool* presente = nullptr)
{
    const qsizetype i = a.indexOf(nome);
    if (presente)
        *presente = i >= 0;
    return i >= 0 ? a.value(i + 1) : QString();
}

const QString MeseNonValido = QStringLiteral("mese o anno non validi: --mese 1..12 (o il nome) --anno AAAA.");

// `--mese` (1..12 or the name) and `--anno`, each defaulting to today's; false when not a month.
bool leggiMese(const QStringList& a, MeseAnno* risultato)
{
    const QDate oggi = Orologio::Oggi();
    MeseAnno m { oggi.month(), oggi.year() };
    bool conMese = false;
    bool conAnno = false;
    const QString mese = valoreOpzione(a, QStringLiteral("--mese"), &conMese);
    const QString anno = valoreOpzione(a, QStringLiteral("--anno"), &conAnno);
    bool numero = false;
    if (conMese) {
        const int n = mese.toInt(&numero);
        m.mese = numero ? n : Module1::NumeroMese(mese);
    }
    if (conAnno) {
        m.anno = anno.toInt(&numero);
        if (!numero)
            m.anno = 0;
    }
    *risultato = m;
    return m.valido();
}

// The options after the two paths of a command: each from `ammesse`, once, with a value.
QString controllaOpzioni(const QStringList& a, const QStringList& ammesse, const QString& comando)
{
    for (qsizetype i = 3; i < a.size(); i += 2) {
        if (!ammesse.contains(a.at(i)) || a.indexOf(a.at(i), i + 1) > 0)
            return QStringLiteral("opzione sconosciuta o ripetuta per %1: %2").arg(comando, a.at(i));
        if (i + 1 >= a.size() || a.at(i + 1).startsWith(QLatin1String("--")))
            return QStringLiteral("manca il valore di %1.").arg(a.at(i));
    }
    return {};
}

// A command that could not be done: the reason on stderr, status 1.
int fallito(const QString& motivo)
{
    err() << "Errore: " << motivo << '\n';
    err().flush();
    return 1;
}

// The archive and the file of a command that reads one and writes the other: both given.
bool dueFile(const QStringList& a)
{
    for (qsizetype i : { 1, 2 })
        if (a.value(i).isEmpty() || a.value(i).startsWith(QLatin1String("--")))
            return false;
    return true;
}

QString archivioMancante(const QString& archivio)
{
    return QStringLiteral("l'archivio «%1» non esiste.").arg(QDir::toNativeSeparators(archivio));
}

int importaArchivio(const QStringList& a)
{
    if (!dueFile(a))
        return erroreUso(QStringLiteral("indicare l'archivio precedente e il nuovo archivio "
                                        "(--importa-archivio VECCHIO.mdb NUOVO.mdb)."));
    if (a.size() > 3)
        return erroreUso(QStringLiteral("--importa-archivio non vuole altri argomenti: %1").arg(a.at(3)));
    const QString nuovo = QFileInfo(a.at(2)).absoluteFilePath();
    QString ultima;
    try {
        const ImportazioneJet::Rapporto r = ImportazioneJet::Importa(
            QFileInfo(a.at(1)).absoluteFilePath(), nuovo, [&ultima](const QString& riga, int) {
                if (riga != ultima) {
                    out() << riga << '\n';
                    out().flush();
                    ultima = riga;
                }
                return true;
            });
        out() << "Archivio importato: " << QDir::toNativeSeparators(nuovo) << '\n';
        for (const QString& riga : r.Righe())
            out() << riga << '\n';
        out().flush();
        return 0;
    } catch (const ErroreArchivio& e) {
        return fallito(e.descrizione());
    }
}

int copiaArchivio(const QStringList& a)
{
    if (!dueFile(a))
        return erroreUso(QStringLiteral(
            "indicare l'archivio da copiare e quello nuovo (--copia-archivio SORGENTE DESTINAZIONE)."));
    if (a.size() > 3)
        return erroreUso(QStringLiteral("--copia-archivio non vuole altri argomenti: %1").arg(a.at(3)));
    const QString destinazione = archivioAssoluto(a.at(2));
    try {
        int ultimo = -1;
        const TrasferimentoArchivio::Righe righe
            = TrasferimentoArchivio::Copia(archivioAssoluto(a.at(1)), destinazione, [&ultimo](int percento) {
                  if (percento / 10 != ultimo / 10) {
                      out() << "Copia: " << percento << "%\n";
                      out().flush();
                  }
                  ultimo = percento;
                  return true;
              });
        out() << "Archivio copiato in: " << destinazione << '\n';
        for (const auto& [tabella, n] : righe)
            out() << tabella << ": " << n << " righe\n";
        out().flush();
        return 0;
    } catch (const ErroreArchivio& e) {
        return fallito(e.descrizione());
    }
}

int esporta(const QStringList& a)
{
    const QString archivio = a.value(1);
    const QString file = a.value(2);
    if (!dueFile(a))
        return erroreUso(
            QStringLiteral("indicare l'archivio e il file da scrivere (--esporta ARCHIVIO FILE)."));
    static const QStringList opzioni { QStringLiteral("--mese"), QStringLiteral("--anno"),
        QStringLiteral("--dal"), QStringLiteral("--al"), QStringLiteral("--formato"),
        QStringLiteral("--dipendente") };
    if (const QString sbagliata = controllaOpzioni(a, opzioni, QStringLiteral("--esporta"));
        !sbagliata.isEmpty())
        return erroreUso(sbagliata);

    Esportazione::Richiesta r;
    r.archivio = archivioAssoluto(archivio);
    r.file = QFileInfo(file).absoluteFilePath();

    bool conFormato = false;
    const QString formato = valoreOpzione(a, QStringLiteral("--formato"), &conFormato).toLower();
    if (conFormato) {
        if (formato == QLatin1String("xlsx"))
            r.formato = Esportazione::Formato::Xlsx;
        else if (formato == QLatin1String("csv"))
            r.formato = Esportazione::Formato::CsvMese;
        else if (formato == QLatin1String("csv-righe"))
            r.formato = Esportazione::Formato::CsvRighe;
        else
            return erroreUso(QStringLiteral("formato sconosciuto: %1 (xlsx, csv o csv-righe).").arg(formato));
    } else if (const auto f = Esportazione::FormatoDaEstensione(file)) {
        r.formato = *f;
    } else {
        return erroreUso(QStringLiteral("indicare --formato oppure un file .xlsx o .csv: «%1».")
                             .arg(QFileInfo(file).fileName()));
    }

    bool conMese = false;
    bool conAnno = false;
    bool conDal = false;
    bool conAl = false;
    valoreOpzione(a, QStringLiteral("--mese"), &conMese);
    valoreOpzione(a, QStringLiteral("--anno"), &conAnno);
    const QString dal = valoreOpzione(a, QStringLiteral("--dal"), &conDal);
    const QString al = valoreOpzione(a, QStringLiteral("--al"), &conAl);
    if ((conMese || conAnno) && (conDal || conAl))
        return erroreUso(
            QStringLiteral("indicare un mese (--mese e --anno) oppure un periodo (--dal e --al), non "
                           "entrambi."));
    if (conDal || conAl) {
        r.dal = Module1::LeggiData(dal);
        r.al = Module1::LeggiData(al);
        if (!conDal || !conAl || !r.dal.isValid() || !r.al.isValid())
            return erroreUso(
                QStringLiteral("il periodo vuole due date valide: --dal GG/MM/AAAA --al GG/MM/AAAA."));
        if (r.dal > r.al)
            return erroreUso(QStringLiteral("la data --dal viene dopo la data --al."));
        if (r.dal.daysTo(r.al) + 1 > Esportazione::MassimoGiorni)
            return erroreUso(QStringLiteral("il periodo supera %1 giorni: esportarlo in più parti.")
                                 .arg(Esportazione::MassimoGiorni));
    } else if (!leggiMese(a, &r.mese)) {
        return erroreUso(MeseNonValido);
    }

    if (!Archivio::Esiste(r.archivio))
        return fallito(archivioMancante(r.archivio));
    r.tipi = RigheDipendenti::CaricaTipi(r.archivio);
    // An unknown code is the export's own refusal.
    r.criteri.codiceDipendente = valoreOpzione(a, QStringLiteral("--dipendente"));
    const Esportazione::Esito esito = Esportazione::Esporta(r);
    if (!esito.ok)
        return fallito(esito.errore);
    out() << "Esportazione completata: " << QDir::toNativeSeparators(r.file) << " (" << esito.dipendenti
          << " dipendenti)\n";
    out().flush();
    return 0;
}

int stampaCartellini(const QStringList& a)
{
    const QString archivio = a.value(1);
    const QString file = a.value(2);
    if (!dueFile(a))
        return erroreUso(QStringLiteral(
            "indicare l'archivio e il PDF da scrivere (--stampa-cartellini ARCHIVIO FILE.pdf)."));
    if (const QString sbagliata = controllaOpzioni(a,
            { QStringLiteral("--mese"), QStringLiteral("--anno"), QStringLiteral("--dipendente") },
            QStringLiteral("--stampa-cartellini"));
        !sbagliata.isEmpty())
        return erroreUso(sbagliata);
    Cartellini::Richiesta r;
    if (!leggiMese(a, &r.mese))
        return erroreUso(MeseNonValido);
    r.archivio = archivioAssoluto(archivio);
    r.criteri.codiceDipendente = valoreOpzione(a, QStringLiteral("--dipendente"));
    if (!Archivio::Esiste(r.archivio))
        return fallito(archivioMancante(r.archivio));
    const QString pdf = QFileInfo(file).absoluteFilePath();
    QString errore;
    int pagine = 0;
    if (!Cartellini::StampaPdf(r, pdf, &errore, &pagine))
        return fallito(errore);
    out() << "Cartellini scritti: " << QDir::toNativeSeparators(pdf) << " ("
          << (pagine == 1 ? QStringLiteral("1 pagina") : QStringLiteral("%1 pagine").arg(pagine)) << ")\n";
    out().flush();
    return 0;
}

// The Gregorian computus starts in 1583; four digits are all a date text holds.
constexpr int PrimoAnno = 1583;
constexpr int UltimoAnno = 9999;

int festivita(const QString& testo)
{
    if (testo.isEmpty() || testo.startsWith(QLatin1String("--")))
        return erroreUso(QStringLiteral("indicare l'anno delle festività (--festivita ANNO)."));
    bool ok = false;
    const int anno = testo.toInt(&ok);
    if (!ok || anno < PrimoAnno || anno > UltimoAnno || testo != testo.trimmed())
        return erroreUso(QStringLiteral("anno non valido: %1 (un anno da %2 a %3).")
                             .arg(testo)
                             .arg(PrimoAnno)
                             .arg(UltimoAnno));
    for (const Festivita::Festa& f : Festivita::Nazionali(anno))
        out() << Module1::FormattaData(f.data) << ' ' << f.nome << '\n';
    out().flush();
    return 0;
}
} // namespace

bool ImpaginaTesti(int argc, char* argv[])
{
    return argc >= 2 && std::strcmp(argv[1], "--stampa-cartellini") == 0;
}

bool RichiedeSoloConsole(int argc, char* argv[])
{
    if (argc < 2)
        return false;
    const char* primo = argv[1];
    if (std::strcmp(primo, "--apri-archivio") == 0)
        return false;
    // A single dash is one of the toolkit's own options (-platform, -style, ...), which the
    // application takes before the program reads what is left; -h is ours.
    if (primo[0] == '-' && primo[1] != '-' && std::strcmp(primo, "-h") != 0)
        return false;
    return true;
}

int Esegui(const QStringList& argomenti)
{
    const QStringList a = argomenti.mid(1);
    if (a.isEmpty())
        return aiuto();
    const QString& comando = a.first();
    const auto senzaAltro = [&a, &comando](qsizetype valori) {
        return a.size() <= 1 + valori
            ? QString()
            : QStringLiteral("%1 non vuole altri argomenti: %2").arg(comando, a.at(1 + valori));
    };
    QString troppi;
    if (comando == QLatin1String("--versione")) {
        if (!(troppi = senzaAltro(0)).isEmpty())
            return erroreUso(troppi);
        out() << Module1::VersioneProgramma << '\n';
        out().flush();
        return 0;
    }
    if (comando == QLatin1String("--archivio-esempio"))
        return archivioEsempio(a);
    if (comando == QLatin1String("--esporta"))
        return esporta(a);
    if (comando == QLatin1String("--importa-archivio"))
        return importaArchivio(a);
    if (comando == QLatin1String("--copia-archivio"))
        return copiaArchivio(a);
    if (comando == QLatin1String("--stampa-cartellini"))
        return stampaCartellini(a);
    if (comando == QLatin1String("--festivita")) {
        if (a.size() > 1 && !(troppi = senzaAltro(1)).isEmpty())
            return erroreUso(troppi);
        return festivita(a.value(1));
    }
    if (comando == QLatin1String("--crea-archivio")) {
        if (a.value(1).trimmed().isEmpty() || a.value(1).startsWith(QLatin1String("--")))
            return erroreUso(QStringLiteral("indicare il percorso dell'archivio da creare."));
        if (!(troppi = senzaAltro(1)).isEmpty())
            return erroreUso(troppi);
        return creaArchivio(a.value(1));
    }
    if (comando == QLatin1String("--aiuto") || comando == QLatin1String("--help")
        || comando == QLatin1String("-h"))
        return aiuto();
    if (comando == QLatin1String("--apri-archivio")) {
        if (a.value(1).isEmpty() || a.value(1).startsWith(QLatin1String("--")))
            return erroreUso(QStringLiteral("indicare il percorso dell'archivio da aprire."));
        const QString troppo = senzaAltro(1);
        return erroreUso(troppo.isEmpty() ? QStringLiteral("--apri-archivio va usata da sola.") : troppo);
    }
    return erroreUso(QStringLiteral("opzione sconosciuta: %1").arg(comando));
}

bool ApriArchivioValido(const QStringList& argomenti, QString* percorso)
{
    const QStringList a = argomenti.mid(1);
    if (a.size() != 2 || a.first() != QLatin1String("--apri-archivio")
        || a.at(1).startsWith(QLatin1String("--")))
        return false;
    if (percorso)
        *percorso = a.at(1);
    return true;
}

} // namespace ComandiRiga
