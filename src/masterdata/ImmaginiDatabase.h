#pragma once

#include <QString>
#include <QVariant>

class Archivio;

// Moves a file into and out of a long-binary field, in pieces of 2048 bytes, through the work
// files "tmp.bin" (written before a save) and "img_temp.bin" (written by a load).
namespace ImmaginiDatabase {

constexpr int Pezzo = 2048;

// The folder of the work files: a private folder of this run of the program, so two copies of
// the program never read each other's pictures (the services' one when set).
QString CartellaLavoro();
QString FileSalvataggio(); // "tmp.bin"
QString FileLettura(); // "img_temp.bin"

// The record a field belongs to: the table and the row key. A null key is the end of the
// records (nothing to read).
struct Riga
{
    QString tabella;
    QVariant indice;
    bool fine() const { return indice.isNull(); }
};

// Puts the bytes of `file` into `campo` of the row. `modo`, upper-cased: "ADDNEW" first adds a
// row (its key goes into `riga`), "EDIT" works on the current row; both then store in their own
// transaction unless the caller runs one. Any other text: the caller has the row and the
// transaction. The field ends up holding exactly the file's bytes. Throws ErroreArchivio (also
// when the file cannot be read).
void SalvaFileInCampo(
    Archivio& db, Riga& riga, const QString& campo, const QString& file, const QString& modo);

// Writes the field's bytes to FileLettura() and answers that path; "" at the end of the records.
// Throws ErroreArchivio (also when the file cannot be written).
QString LeggiFileDaCampo(Archivio& db, const Riga& riga, const QString& campo);

} // namespace ImmaginiDatabase
