#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class Archivio;
class Griglia;

// The employee rows shared by the detail grid, the totals grid and printing: per employee one
// "ORDINARIO" row and one row per extra type; hidden columns 0 and 1 hold Indice and Codice,
// column 2 the name (first row only), column 3 the type.
namespace RigheDipendenti {

inline const QString Ordinario = QStringLiteral("ORDINARIO");
inline const QString OrdinaRagioneSociale = QStringLiteral("Ragione Sociale");
inline const QString OrdinaCodice = QStringLiteral("Codice");
inline const QString OrdinaInserimento = QStringLiteral("Inserimento");
constexpr int MassimoTipi = 100;
inline const QColor ColorePrimoBlocco { 0xEE, 0xCF, 0xB9 };
inline const QColor ColoreSecondoBlocco { 0xDE, 0xDE, 0xE9 };

enum class Filtro { Attivi, NonAttivi, Tutti };

// Which employees a grid shows, and in which order.
struct Criteri
{
    Filtro filtro = Filtro::Tutti;
    QString ordinamento = OrdinaRagioneSociale;
    QString codiceDipendente; // "" = every employee
};

struct Dipendente
{
    qint64 indice = 0;
    QString codice;
    QString ragSociale;
};

// The extra types in alphabetical order, at most MassimoTipi. `ok` is false when the archive
// could not be read.
QStringList CaricaTipi(const QString& archivio, bool* ok = nullptr);

// The employees the criteria select, in their order.
QList<Dipendente> LeggiDipendenti(const QString& archivio, const Criteri& criteri, bool* ok = nullptr);
QList<Dipendente> LeggiDipendenti(Archivio& db, const Criteri& criteri);
// Condition on TabellaAnagrafiche (alias `alias`) for the criteria, with its bound values
// appended to `valori`; also used to join the month's entries to the same employees.
QString CondizioneDipendenti(const Criteri& criteri, const QString& alias, QVariantList& valori);

// Every employee for the two selection boxes, by name from Z to A, as the boxes always listed them.
QList<Dipendente> ElencoPerSelezione(const QString& archivio, bool* ok = nullptr);

// Puts the rows of `dipendenti` below the grid's two header rows (rows further down are dropped),
// with the alternating block colours on columns 1 to 3.
void CaricaDipendenti(Griglia& griglia, const QList<Dipendente>& dipendenti, const QStringList& tipi);
// Reads the employees and puts their rows in the grid; false when the archive could not be read.
bool CaricaDipendenti(
    const QString& archivio, Griglia& griglia, const Criteri& criteri, const QStringList& tipi);

} // namespace RigheDipendenti
