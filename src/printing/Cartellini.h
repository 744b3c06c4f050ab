#pragma once

#include "diary/MeseAnno.h"
#include "diary/RigheDipendenti.h"
#include "printing/Report.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPainter;
class QPagedPaintDevice;

// The monthly attendance sheet of each employee, to be signed: the days of the month with their
// entries as stored, the totals, the signature lines. One document per employee through the
// report template "Cartellino", composed and drawn one after the other, so a print of hundreds of
// sheets holds one of them at a time.
namespace Cartellini {

inline const QString Modello = QStringLiteral("Cartellino");

struct Richiesta
{
    QString archivio;
    MeseAnno mese;
    RigheDipendenti::Criteri criteri; // the employees, in their order (one with codiceDipendente)
    QStringList tipi; // the extra types' columns, in order; empty: those of the archive
    // Told the sheets drawn so far out of the total; false stops the print.
    std::function<bool(int fatti, int totale)> avanzamento;
};

// "Cartellini presenze Novembre 2026": the job's and the PDF's name.
QString Titolo(const MeseAnno& mese);

// The sheets of one request: the archive is read once, each sheet is composed when drawn.
class Fogli
{
public:
    explicit Fogli(const Richiesta& richiesta);
    ~Fogli();
    Fogli(const Fogli&) = delete;
    Fogli& operator=(const Fogli&) = delete;

    // Reads the template, the company, the employees, the states, the holidays and the month's
    // entries. False with the reason in Italian.
    bool Leggi(QString* errore = nullptr);
    // The employees, one sheet each.
    int numero() const;
    // The sheet of the employee in position `i`.
    bool Componi(int i, Report::Documento& documento, QString* errore = nullptr) const;
    // Draws every sheet on `dispositivo` through `painter` (begun on it), each from a new page,
    // the first on the current one. False with the reason when a sheet could not be composed,
    // the device took no more pages or the progress asked to stop (`*annullata` then).
    bool Disegna(QPainter& painter, QPagedPaintDevice& dispositivo, QString* errore = nullptr,
        int* pagine = nullptr, bool* annullata = nullptr) const;

private:
    struct Dati;
    std::unique_ptr<Dati> m;
};

// Writes the sheets of the request into `filePdf` (A4, without a display; the application must
// be a QGuiApplication, the offscreen platform will do). A file left by a failure or a stop is
// removed. False with the reason in Italian; no employee to print is a failure too.
bool StampaPdf(
    const Richiesta& richiesta, const QString& filePdf, QString* errore = nullptr, int* pagine = nullptr);

} // namespace Cartellini
