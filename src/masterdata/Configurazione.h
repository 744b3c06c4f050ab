#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QImage;

// The company settings of the one Configurazioni row, without any window: the settings window
// shows and edits them, the new-archive command stores the initial ones, the tests check them.
namespace Configurazione {

struct Dati
{
    QString RagSociale;
    QString Indirizzo;
    QString Cap;
    QString Comune;
    QString Provincia;
    QString Piva;
    QString CodiceFiscale;
    QString Tel;
    QString Fax;
    bool VisualizzaIntestazione = false;
    QString Banca;
    QString Cab;
    QString Abi;
    QString Cin;
    QString CC;
    QString Iban;
    QString Agenzia;
    bool VisualizzaLogo = false;
    QString PercorsoBackup;
    bool SalvataggioAutomatico = false;
    QString prnDocs;
    QString prnDocsPDF;

    bool operator==(const Dati&) const = default;
};

// The text settings: each column has the name of the window's control that edits it.
struct CampoTesto
{
    QString nome;
    QString Dati::*valore;
};
const QList<CampoTesto>& CampiTesto();
// How many characters a text setting takes (the field size; "Provincia" two).
int Limite(const QString& campo);

// What a new archive receives: no company data, the default backup folder, switches off.
Dati ValoriIniziali();

struct Lettura
{
    bool riga = false; // the archive has a settings row
    Dati dati;
    QString fileLogo; // the stored picture's bytes written to a work file ("" without a row)
    QString erroreLogo; // why the picture could not be read (the rest was)
};
// The first settings row; an empty backup folder reads as the default one. Throws ErroreArchivio
// (a picture that cannot be read only fills `erroreLogo`).
Lettura Leggi(const QString& archivio);

struct Esito
{
    bool logoSalvato = true;
    QString erroreLogo;
};
// Stores every setting in the first row (added when missing), in one transaction; the program
// password and the paths of other versions are not touched. `logo` holds the bitmap bytes of the
// picture shown; empty leaves the stored picture as it is. A logo that cannot be stored is undone
// alone and reported in the answer: the other settings are kept. Throws ErroreArchivio when the
// settings themselves were not stored.
Esito Salva(const QString& archivio, const Dati& dati, const QByteArray& logo);

// Whether the settings save tells the user what happened (not while an archive is being created).
enum class Avvisi { Messaggi, Nessuno };

// The "Salva Configurazione" command: Salva under the error routine, then
// "REGISTRAZIONE EFFETTUATA" and a warning when the logo was not stored, unless `avvisi` says none.
// False when the settings were not stored; the reason goes into `errore` and, with messages, into
// a message.
bool SalvaConfigurazione(const QString& archivio, const Dati& dati, const QByteArray& logo,
    QString* errore = nullptr, Avvisi avvisi = Avvisi::Messaggi);

// Creates the archive `nome` (with ".mdb") in `cartella` with every table and its settings row
// (the initial settings, stored silently by the settings save). False with the
// reason when it could not be made.
bool CreaArchivio(const QString& cartella, const QString& nome, QString* errore = nullptr);

// The placeholder picture "Nessun logo.bmp": the program folder's own when one is there, else
// the one built into the program.
QString FileNessunLogo(const QString& cartellaProgramma);
// A picture as the bytes of a bitmap file; empty for a null picture.
QByteArray InBitmap(const QImage& immagine);
// Any picture file (JPG, BMP, ...) as bitmap bytes; empty with the reason when it is not a picture.
QByteArray BitmapDaFile(const QString& file, QString* errore = nullptr);

} // namespace Configurazione
