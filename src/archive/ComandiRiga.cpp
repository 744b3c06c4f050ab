#include "ComandiRiga.h"

#include "archive/ArchivioEsempio.h"
#include "archive/CreazioneDB.h"
#include "archive/Module1.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstring>

namespace ComandiRiga {

namespace {
const char* const ComandiConsole[] = {"--versione", "--crea-archivio", "--archivio-esempio", "--aiuto", "--help", "-h"};

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

int aiuto()
{
    out() << "Uso: cartavia [opzione]\n"
             "  (nessuna opzione)          avvia il programma\n"
             "  --versione                 mostra la versione del programma\n"
             "  --crea-archivio PERCORSO   crea o completa l'archivio indicato\n"
             "  --archivio-esempio PERCORSO [--dipendenti N] [--mesi M] [--seme S]\n"
             "                             crea un archivio di prova con dati verosimili\n"
             "                             (predefiniti: 25 dipendenti, 3 mesi fino al mese corrente)\n"
             "  --apri-archivio PERCORSO   apre la finestra principale su quell'archivio\n"
             "  --aiuto                    mostra questo aiuto\n";
    out().flush();
    return 0;
}

int creaArchivio(const QString& percorso)
{
    if (percorso.trimmed().isEmpty()) {
        err() << "Errore: indicare il percorso dell'archivio da creare.\n";
        return 2;
    }
    const QString assoluto = QFileInfo(percorso).absoluteFilePath();
    CreazioneDB& c = CreazioneDB::Istanza();
    QObject::connect(&c, &CreazioneDB::rigaCambiata, [](const QString& riga) {
        out() << riga << '\n';
        out().flush();
    });
    Module1::PercorsoArchivio = assoluto;
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
    if (percorso.isEmpty() || percorso.startsWith(QLatin1String("--"))) {
        err() << "Errore: indicare il percorso dell'archivio di esempio da creare.\n";
        return 2;
    }
    ArchivioEsempio::Opzioni opzioni;
    opzioni.dipendenti = numeroOpzione(a, QStringLiteral("--dipendenti"), opzioni.dipendenti);
    opzioni.mesi = numeroOpzione(a, QStringLiteral("--mesi"), opzioni.mesi);
    const int seme = numeroOpzione(a, QStringLiteral("--seme"), int(opzioni.seme));
    if (opzioni.dipendenti < 0 || opzioni.mesi < 0 || seme < 0 || opzioni.dipendenti > 100000 || opzioni.mesi > 600) {
        err() << "Errore: --dipendenti, --mesi e --seme vogliono un numero intero (al massimo 100000 dipendenti "
                 "e 600 mesi).\n";
        return 2;
    }
    opzioni.seme = quint32(seme);
    const QString assoluto = QFileInfo(percorso).absoluteFilePath();
    const ArchivioEsempio::Risultato r = ArchivioEsempio::Crea(assoluto, opzioni, [](int fatti, int totali) {
        out() << "Mesi registrati: " << fatti << " di " << totali << '\n';
        out().flush();
    });
    if (!r.ok) {
        err() << "Errore: " << r.errore << '\n';
        return 1;
    }
    out() << "Archivio di esempio creato: " << QDir::toNativeSeparators(assoluto) << " (" << opzioni.dipendenti
          << " dipendenti, " << opzioni.mesi << " mesi, " << r.registrazioni << " registrazioni)\n";
    out().flush();
    return 0;
}
} // namespace

bool RichiedeSoloConsole(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char* c : ComandiConsole)
            if (std::strcmp(argv[i], c) == 0)
                return true;
    return false;
}

int Esegui(const QStringList& argomenti)
{
    const QStringList a = argomenti.mid(1);
    if (a.isEmpty())
        return aiuto();
    const QString& comando = a.first();
    if (comando == QLatin1String("--versione")) {
        out() << Module1::VersioneProgramma << '\n';
        out().flush();
        return 0;
    }
    if (comando == QLatin1String("--archivio-esempio"))
        return archivioEsempio(a);
    if (comando == QLatin1String("--crea-archivio"))
        return creaArchivio(a.value(1));
    if (comando == QLatin1String("--aiuto") || comando == QLatin1String("--help") || comando == QLatin1String("-h"))
        return aiuto();
    err() << "Opzione sconosciuta: " << comando << "\n";
    aiuto();
    return 2;
}

} // namespace ComandiRiga
