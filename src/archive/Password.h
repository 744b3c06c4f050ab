#pragma once

#include <QString>

struct Sessione;

// The session's SaltaPassword, cleared.
bool ConsumaSaltaPassword(Sessione& sessione);

// The program password check at the main window's load and before the settings window opens:
// an archive without a password passes, otherwise the services ask for it. Sets and returns the
// session's PasswordVerificata; the callers end the program when it is false.
bool ControllaPassword(Sessione& sessione);

// A password typed at the prompt against the archive's. NonLetta: the archive could not be read
// (the prompt stays open for another try).
enum class EsitoPassword { Corretta, Errata, NonLetta };
EsitoPassword VerificaPasswordDigitata(const QString& archivio, const QString& digitata);

// Configurazioni.Password never holds the password itself but a salted PBKDF2-SHA256 digest,
// "pbkdf2-sha256$<iterations>$<salt base64>$<key base64>". Archives of older versions still hold
// the clear text: it is accepted once and then replaced by its digest.
namespace ImprontaPassword {

inline const QString Prefisso = QStringLiteral("pbkdf2-sha256$");
constexpr int Iterazioni = 100000;

// A new digest of `password` with a fresh random salt.
QString Calcola(const QString& password, int iterazioni = Iterazioni);
// True when `memorizzata` is a digest this program can check (else it is an older clear text).
bool Valida(const QString& memorizzata);

} // namespace ImprontaPassword

// True when `digitata` is the password `memorizzata` stands for, compared in constant time. An
// empty `memorizzata` means no password.
bool PasswordCorretta(const QString& memorizzata, const QString& digitata);
// True for a stored value of an older archive: a password in clear text.
bool PasswordInChiaro(const QString& memorizzata);

// Configurazioni.Password of the first settings row ("" for none or null). Throws ErroreArchivio.
QString LeggiPasswordMemorizzata(const QString& archivio);
// Replaces a clear-text password that `digitata` matched by its digest, unless the field changed
// meanwhile. Throws ErroreArchivio.
void AggiornaPasswordInChiaro(const QString& archivio, const QString& memorizzata, const QString& digitata);
// Stores the digest of `testo` as the program password; "" removes it. Without a settings row an
// empty text changes nothing and another one adds the row. Throws ErroreArchivio.
void MemorizzaPassword(const QString& archivio, const QString& testo);

// The settings window's "Salva" beside the password box: stores `testo` and says
// "PASSWORD IMPOSTATA CORRETTAMENTE". False, with the reason shown, when it was not stored.
bool SalvaPasswordProgramma(const QString& archivio, const QString& testo);
