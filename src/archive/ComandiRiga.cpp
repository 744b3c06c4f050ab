#include "ComandiRiga.h"

#include "archive/CreazioneDB.h"
#include "archive/Module1.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstring>

namespace ComandiRiga {

namespace {
const char* const ComandiConsole[] = {"--versione", "--crea-archivio", "--aiuto", "--help", "-h"};

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
    if (comando == QLatin1String("--crea-archivio"))
        return creaArchivio(a.value(1));
    if (comando == QLatin1String("--aiuto") || comando == QLatin1String("--help") || comando == QLatin1String("-h"))
        return aiuto();
    err() << "Opzione sconosciuta: " << comando << "\n";
    aiuto();
    return 2;
}

} // namespace ComandiRiga
