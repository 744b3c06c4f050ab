#pragma once

#include <QString>

class ElencoStati;

// What a day cell of the detail grid accepts and how its text is stored, without widgets: the
// keystroke rules of the grid and the storage rule of the month save.
namespace RegoleCella {

enum class Riga {
    Intestazione, // the two header rows: keys are discarded
    Ordinario, // the first row of an employee: any character
    Extra, // the rows of the extra types: hours only (digits and the comma)
};

// The kind of grid row `riga` with `numeroTipi` extra types per employee.
Riga TipoRiga(int riga, int numeroTipi);

// The longest text a cell takes (the stored field's size).
int LunghezzaMassima();

// The cell's text after a key that typed `tasto` (usually one character): "." becomes ",",
// Backspace empties the cell, Esc and other control characters change nothing, extra-type rows
// take only the digits and ",". The text never grows beyond LunghezzaMassima().
QString TastoPremuto(const QString& testo, const QString& tasto, Riga riga);

// The number a cell holds: true and the value when its text parses to a number other than 0.
bool Numero(const QString& testo, double* valore = nullptr);

// How a cell's text is stored.
struct Contenuto
{
    enum class Genere {
        Vuoto, // empty or blanks
        Ore, // a number other than 0
        Stato, // a state code of TabellaStati
        NonValido, // anything else: the cell is emptied
    };
    Genere genere = Genere::Vuoto;
    QString testo; // what the cell shows and Stato stores: "" / "7,5" / "F"
    double numero = 0; // StatoNum
    QString descrizione; // the state's Descrizione (states only; other kinds leave it unchanged)
    bool conDescrizione() const { return genere == Genere::Stato; }
};

Contenuto Classifica(const QString& testo, const ElencoStati& stati);

} // namespace RegoleCella
