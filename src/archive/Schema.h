#pragma once

#include "archive/IndirizzoServer.h"

#include <QList>
#include <QString>
#include <QStringList>

// The archive's tables, fields and indexes as data: the creation command and the windows that
// limit input lengths read them from here.
namespace Schema {

enum class Tipo { Long, LongAuto, Testo, Memo, Data, Double, Booleano, Binario };

struct Campo
{
    QString nome;
    Tipo tipo;
    int dimensione = 0; // characters, for Testo
    bool zeroConsentito = true;
};

struct Indice
{
    QString nome; // the index's own name; stored as <table>_<name>
    QStringList campi;
    bool primario = false;
    bool unico = false;
    QString condizione; // a partial index: only the rows that meet it
    bool senzaMaiuscole = false; // compares its texts without regard to case (COLLATE NOCASE)
};

struct Tabella
{
    QString nome;
    QList<Campo> campi;
    QList<Indice> indici;
    QString messaggio; // progress line written once the table is checked
};

// The rows of TabellaMovimenti that count in the totals; a query that repeats this condition
// word for word can read them from the partial index TabellaMovimenti_TotaliKey alone.
inline const QString CondizioneTotali = QStringLiteral("(StatoNum <> 0 OR Stato <> '')");

// The nine tables in the order the creation command checks them.
const QList<Tabella>& Tabelle();
const Tabella* TrovaTabella(const QString& nome);
// The input limit of a text field, or 0 when unlimited (memo) or unknown.
int Dimensione(const QString& tabella, const QString& campo);

// The field's type as the engine declares it.
QString TipoMotore(Tipo tipo, Motore motore = Motore::SQLite);
QString NomeIndiceArchivio(const QString& tabella, const QString& indice);

} // namespace Schema
