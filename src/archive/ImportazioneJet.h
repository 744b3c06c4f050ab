#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Brings an archive of the previous Windows version (a Jet 3 or Jet 4 .mdb file) into a new
// archive of this program: employees, states, types, movements, company settings and settings
// variables, with their keys. The old file is only read. The new archive appears at its name
// complete or not at all: the rows go into a file beside it, renamed when everything is in.
namespace ImportazioneJet {

struct Tabella
{
    QString nome;
    qint64 lette = 0;
    qint64 scritte = 0;
};

struct Rapporto
{
    QString formato; // "Jet 3" or "Jet 4"
    QList<Tabella> tabelle;
    QStringList campiSaltati; // "Tabella.Campo": in the old file, unknown to this program
    QStringList campiAggiunti; // "Tabella.Campo": missing in the old file, completed
    QStringList tabelleAssenti; // missing in the old file, created empty
    QStringList avvisi; // values that could not be read as what they should be, left empty

    // The report as lines of text, for the command line and the window.
    QStringList Righe() const;
};

// Progress: a line for each step and the share of the rows done (0-100); false stops the import
// (it then throws error 3059 and leaves no file).
using Avanzamento = std::function<bool(const QString& riga, int percento)>;

// Throws ErroreArchivio with an Italian message when the source is not an archive of the
// previous version, lacks this program's tables, is damaged, encrypted or protected by a
// password, cannot be read, or when `destinazione` exists or cannot be written.
Rapporto Importa(const QString& sorgente, const QString& destinazione, const Avanzamento& avanzamento = {});

// The name for the new archive in `cartella`: the old file's name (characters an archive's name
// cannot have made "_") when free, else with a number added ("Archivio (2).mdb").
QString NomeProposto(const QString& sorgente, const QString& cartella);

} // namespace ImportazioneJet
