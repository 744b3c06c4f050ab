#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The employee registry without windows: reading a card, looking a code up, saving and
// deleting with every check and question of the employee card.
namespace Anagrafiche {

// One text control of the card and the field of TabellaAnagrafiche it shows.
struct CampoScheda
{
    QString controllo;
    QString campo;
    int limiteScheda = 0; // the card's own limit, tighter than the field; 0 = the field's
};

// Every text and list control of the card but the code, in the order Enter walks them.
const QList<CampoScheda>& CampiScheda();
// The input limit of a card control (the code included), 0 when unlimited.
int Limite(const QString& controllo);

// What the card shows, by control name.
struct Scheda
{
    QString indice; // the hidden key: "" or "0" for a new employee
    QHash<QString, QString> testi; // "Codice" and every control of CampiScheda()
    bool maschio = true;
    bool femmina = false;
    bool attivo = true;
    bool nonAttivo = false;

    QString testo(const QString& controllo) const { return testi.value(controllo); }
    void imposta(const QString& controllo, const QString& valore) { testi.insert(controllo, valore); }
    qint32 chiave() const;
};

// The card of the employee `indice`, or nothing when there is no such record (or the archive
// could not be read).
std::optional<Scheda> LeggiScheda(const QString& archivio, qint32 indice);
// The key of the employee with `codice`, 0 when none (an empty code matches nobody).
qint32 CercaCodice(const QString& archivio, const QString& codice);

// True when another employee already uses `codice` (the message names it), or when the check
// could not be made; `indice` is the card's own key, 0 for a new employee.
bool ControllaEsistenzaCodiceAnagrafica(const QString& archivio, const QString& codice, qint32 indice);
// True when the employee has an entry with a state, hours or a note (or the check failed, so
// a delete asks the stronger confirmation).
bool EsistenzaMovimentiCollegatiAnagrafica(const QString& archivio, qint32 indice);

// The name made from surname and name when none is typed.
QString ComponiRagSociale(const QString& cognome, const QString& nome);

enum class EsitoRegistrazione {
    Registrata,
    CodiceMancante,
    CodiceUsato,
    CampiObbligatori,
    RagSocialeUsata,
    Annullata,
    NonRiuscita,
};

// Saves the card (new or existing employee), asking and reporting as the card does; on
// success `scheda.indice` holds the stored key. A composed name stays on the card either way.
EsitoRegistrazione Registra(const QString& archivio, Scheda& scheda);

enum class EsitoCancellazione { Cancellata, NessunaSelezione, Annullata, NonRiuscita };

// Deletes the employee of the card and every entry row of theirs in one transaction, after
// the questions (a typed "SI" when entries with content exist).
EsitoCancellazione Cancella(const QString& archivio, const Scheda& scheda);

} // namespace Anagrafiche
