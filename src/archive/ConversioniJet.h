#pragma once

#include <QByteArrayView>
#include <QString>

// Values of an archive of the previous Windows version (a Jet database) in the forms this
// program stores. Pure functions of their bytes: whatever the file holds, they never read past
// what they are given.
namespace ConversioniJet {

// A Jet date: days since 30/12/1899, the integer part negative before it and the time of day
// always counted forward from the start of that day. The archive's ISO text, "yyyy-MM-dd" for a
// whole day and "yyyy-MM-dd HH:mm:ss" when the time (rounded to the second) is not midnight;
// a null string for a value outside the years 100-9999 or not a number.
QString Data(double giorni);

// A text or memo value. Jet 4 holds UTF-16, or "compressed Unicode" (the mark FF FE, then one
// byte per character with 00 switching to and from two bytes per character); Jet 3 holds one
// byte per character in the database's code page (`codePagina`: 1252 unless it says otherwise).
QString Testo(QByteArrayView byte, bool jet4, int codePagina = 1252);

// Whether Testo can read a Jet 3 text of this code page.
bool CodePaginaNota(int codePagina);

} // namespace ConversioniJet
