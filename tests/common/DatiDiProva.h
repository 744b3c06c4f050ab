#pragma once

#include "masterdata/Configurazione.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <utility>

class AmbienteTest;
class Archivio;

// Columns of one row and their values: {{"Note", QStringLiteral("visita")}}.
using Campi = QList<std::pair<const char*, QVariant>>;

// Where the rows go: the test's archive, another archive file (each row committed at once), or an
// archive already open, for many rows inside one transaction of the caller's.
class ArchivioDiProva
{
public:
    ArchivioDiProva(const AmbienteTest& amb);
    ArchivioDiProva(const QString& percorso);
    ArchivioDiProva(Archivio& db);

    // Writes the row with bound values and returns its key; `altri` adds columns or replaces some.
    qint64 inserisci(const char* tabella, Campi campi, const Campi& altri = {}) const;

private:
    QString m_percorso;
    Archivio* m_db = nullptr;
};

// Rows shaped as the program stores them. Each returns the key (Indice) of its row; `altri` is for
// the odd rows a test wants on purpose (a day without its number, a day past the month's end).

// Attivo as given (1, 0, the older -1 or null) and NonAttivo its opposite, as the card stores them.
qint64 dipendente(const ArchivioDiProva& a, const QString& codice, const QString& nome,
    const QVariant& attivo = 1, const Campi& altri = {});
// Active employees C01, C02, ... named Nome(1), Nome(2), ...; on a new archive their keys are 1, 2, ...
void dipendenti(const ArchivioDiProva& a, int quanti);
qint64 tipo(const ArchivioDiProva& a, const QString& tipo, const QVariant& descrizione = {});
qint64 stato(const ArchivioDiProva& a, const QString& codice, const QVariant& descrizione = {});
// One day of a diary row: the cell's text (hours such as "7,5", or a state code) and its number.
qint64 movimento(const ArchivioDiProva& a, qint64 dipendente, const QString& tipo, const QDate& data,
    const QVariant& stato, const QVariant& nota = {}, const Campi& altri = {});
// The Configurazioni row with the columns given.
qint64 azienda(const ArchivioDiProva& a, const Campi& campi);

// "Dipendente 01", "Dipendente 02", ...
QString Nome(int i);

// The company header the tests print and show: every field of the header set.
Configurazione::Dati AziendaDiProva();
