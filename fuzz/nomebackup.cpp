// The date of a backup name: valid dates are never in a future year nor more than a century back,
// the name made for a date gives that date again, and the date box shows "" or "dd/MM/yyyy".
#include "FuzzComune.h"

#include "archive/Backup.h"
#include "archive/Module1.h"
#include "comune/Orologio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    const QString nome = TestoDaByte(dati, dimensione);
    const QDate data = Backup::DataDaNomeBackup(nome);
    const int anno = Orologio::Oggi().year();
    const QString testo = Backup::DataBackup(nome);
    if (data.isValid()) {
        VERIFICA(data.year() <= anno && data.year() > anno - 100, nome);
        VERIFICA(testo == Module1::FormattaData(data) && testo.size() == 10, nome);
        VERIFICA(Backup::DataDaNomeBackup(Backup::NomeBackup(data, nome.mid(7))) == data, nome);
    } else {
        VERIFICA(testo.isEmpty(), nome);
    }
    // Sorting a list with the name in it keeps every name.
    const QStringList elenco { nome, QStringLiteral("010124-a.mdb"), QStringLiteral("x.mdb"), nome.left(8) };
    VERIFICA(Backup::OrdinaBackup(elenco).size() == elenco.size(), nome);
    return 0;
}
