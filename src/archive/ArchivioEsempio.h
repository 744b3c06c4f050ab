#pragma once

#include <QDate>
#include <QString>

#include <functional>

// A complete archive with believable data, for a new user to try the program and for the benchmark.
namespace ArchivioEsempio {

struct Opzioni
{
    int dipendenti = 25;
    int mesi = 3; // ending with `ultimoMese`
    int tipiExtra = 3; // STRAORDINARIO, NOTTURNO, FESTIVO (0 to 3)
    int stati = 15; // 1 to 15
    quint32 seme = 1; // the same seed gives the same archive
    QDate ultimoMese = QDate::currentDate();
};

struct Risultato
{
    bool ok = false;
    QString errore; // Italian, when not ok
    qint64 registrazioni = 0; // TabellaMovimenti rows written
};

// Creates the archive at `percorso`, which must not exist yet. `avanzamento` gets the months done.
Risultato Crea(const QString& percorso, const Opzioni& opzioni,
    const std::function<void(int fatti, int totali)>& avanzamento = {});

} // namespace ArchivioEsempio
