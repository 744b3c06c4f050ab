#pragma once

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Reads back a PDF the program wrote, through poppler's command-line tools.
namespace StrumentiPdf {

// The text of the PDF (pdftotext -layout), pages separated by form feeds; "" when unreadable.
QString Testo(const QString& pdf);
// The text of one page (1-based).
QString TestoPagina(const QString& pdf, int pagina);
// A word of the text and where it starts on its page (points).
struct Parola
{
    QString testo;
    double x = 0;
    double y = 0;
};
// Every word of the PDF (pdftotext -bbox), in reading order.
QList<Parola> Parole(const QString& pdf);

// The page count (pdfinfo), 0 when unreadable.
int Pagine(const QString& pdf);
// The size of every page in points (pdfinfo), empty when unreadable.
QList<QSizeF> Fogli(const QString& pdf);
// The names of the fonts the PDF uses (pdffonts).
QStringList Caratteri(const QString& pdf);
// The pictures it holds (pdfimages -list), one line each.
int Immagini(const QString& pdf);

} // namespace StrumentiPdf
