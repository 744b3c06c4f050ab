#pragma once

#include <QHash>
#include <QString>

class Archivio;

// The attendance state codes of TabellaStati for look-ups. Codes compare without regard to case,
// as the archive always did; of two records with one code the first gives the description.
class ElencoStati
{
public:
    static ElencoStati Leggi(Archivio& db);

    void aggiungi(const QString& codice, const QString& descrizione);
    bool contiene(const QString& codice) const;
    // The code's description, "" when there is no such code.
    QString descrizione(const QString& codice) const;
    bool vuoto() const { return m_descrizioni.isEmpty(); }

    // The form codes are compared in (the engine's case folding: letters A to Z only).
    static QString Chiave(const QString& codice);

private:
    QHash<QString, QString> m_descrizioni;
};

// True when `stato` is a code of TabellaStati. When the archive could not be read the answer is
// false and `letto` (if given) is set to false, so a caller can leave the cell alone.
bool ControllaEsistenzaStato(const QString& archivio, const QString& stato, bool* letto = nullptr);
// The description of the first TabellaStati record with code `stato`, "" when none.
QString TrovaDescrizioneStato(const QString& archivio, const QString& stato);
