#pragma once

#include <QString>
#include <QStringList>

struct Sessione;

// Where the program keeps its location files and finds its archives, without any window, so the
// selection window, the settings window and the tests share one set of rules.
namespace Percorsi {

// The folder the program runs from (the services' one when set).
QString CartellaEseguibile();

// Creates the folder and every missing parent; every failure is ignored (a folder that is there
// already is the usual case).
void CreaCartella(const QString& percorso);
// Writes "Test" = "OK" in section "Test" of "test.inf" in `cartella` and reads it back.
bool CartellaScrivibile(const QString& cartella);

// The start-up steps that fix the session's CartellaProgramma, CartellaCondivisa, CartellaInf and
// CartellaArchiviPredefinita, run the one-time move of the old location file and create the
// default archives folder.
void InizializzaCartelle(Sessione& sessione);
// The one-time move from the old layout: a Percorso.txt next to the program that names the old
// default archive gives its folder to Cartavia.inf, unless "Vendrale.inf" is in CartellaInf.
void ControllaEsistenzaFileInf(const Sessione& sessione);

// Cartavia.inf and Percorso.txt in CartellaInf.
QString FileInf(const Sessione& sessione);
QString FilePercorsoTxt(const Sessione& sessione);

struct Posizione
{
    QString percorso; // the archives folder, no trailing separator
    QString nome; // the archive file name with ".mdb"
};
// The "Percorso" and "Nome" of section "Database" in Cartavia.inf ("" when missing).
Posizione LeggiPosizione(const Sessione& sessione);
// Writes them back; false when the file could not be written.
bool MemorizzaPercorso(const Sessione& sessione, const QString& percorso, const QString& nome);
// Sets the session's NomeArchivio, CartellaArchiviScelta and PercorsoArchivio and rewrites
// Percorso.txt.
void AggiornaDBPath_e_Variabili(Sessione& sessione, const QString& percorso, const QString& nome);
// The archive path for a folder and a file name.
QString PercorsoArchivioDa(const QString& percorso, const QString& nome);

// The archives (".mdb" files) of a folder, sorted by name without regard to case. A folder that
// cannot be read gives an empty list and the error number and text the list shows.
QStringList ElencoArchivi(
    const QString& cartella, int* numeroErrore = nullptr, QString* descrizione = nullptr);

// True when the name has only letters, digits, "_", "-", " ", "(" and ")" and at least one letter
// or digit. The first refused character is reported ("Il Carattere / non è ammesso").
bool ControlloNomeDbOk(const QString& nome);

// Where a restore leaves its safety copy "copia.mdb": the program folder when it can be written,
// else the shared folder (the same choice as for the location file).
QString CartellaCopiaSicurezza(const Sessione& sessione);

// The program update hand-off: writes Programma.inf in the shared folder and starts a copy of
// the downloader that ships next to the program.
enum class EsitoAggiornamento {
    Avviato,
    NonDisponibile, // no downloader next to the program
    Errore, // the copy could not be made or started
};
QString NomeScaricatore();
EsitoAggiornamento AvviaAggiornamento(const Sessione& sessione);

} // namespace Percorsi
