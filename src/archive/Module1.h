#pragma once

#include <QDate>
#include <QString>

struct Sessione;

// Shared procedures of the start-up and settings code.
namespace Module1 {

inline const QString VersioneProgramma = QStringLiteral("2.0.6");
// The program's own mail and web addresses, offered by the About window.
inline const QString IndirizzoPosta = QStringLiteral("mailto:info@cartavia.example");
inline const QString IndirizzoWeb = QStringLiteral("https://cartavia.example/");

// 1 to 12 for an Italian month name in any case, else 0 (no trimming).
int NumeroMese(const QString& nome);
// "Gennaio" .. "Dicembre", or "" outside 1..12.
QString NomeMese(int numero);
QString NomeMese(const QString& numero);
// 1 = "Domenica" .. 7 = "Sabato", or "" outside 1..7.
QString NomeGiorno(int numero);
// 1 = Sunday .. 7 = Saturday, the weekday numbering the names follow.
int NumeroGiornoSettimana(const QDate& data);

// Checks a typed date: six or eight digits get the slashes, a valid day/month/year becomes
// "dd/MM/yyyy"; an invalid non-empty text is reported ("La data non è corretta") and returned
// as typed. `testo` is changed in place as well.
QString ControllaData(QString& testo);
// A day/month/year text (two- or four-digit year) as a date; invalid when it is not one.
QDate LeggiData(const QString& testo);
// "dd/MM/yyyy", the program's date form whatever the system locale is.
QString FormattaData(const QDate& data);
// Hours and totals with a decimal comma and no trailing zeros: 7.5 -> "7,5", 8 -> "8".
QString FormattaNumero(double valore);

QString DuplicaApici(const QString& testo);
// Reads numbers typed with a decimal comma: "12,5" -> 12.5, "2.0.6" -> 206, "-3" -> -3; 0 when
// there is none or it is too large for a double.
double ValoreNumerico(const QString& testo);
// Replaces the first match of `cerca`, compared without regard to case.
QString SostituisciTesto(const QString& testo, const QString& cerca, const QString& sostituisci);
// Lets window events run until `secondi` have passed.
void Pausa(double secondi);
// Loads CartellaBackup, VisualizzaLogoStampa and VisualizzaIntestazioneStampa of the session's
// archive.
void CaricaConfigurazione(Sessione& sessione);

} // namespace Module1
