#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>

class Griglia;
class QPainter;
class QRectF;

// A picture of a grid as shown, taken for the detailed print: the fixed rows and every body row
// with a height, every column with a width, with their texts and colours at that moment. It is
// drawn, not copied from the screen, so a printer gets it at its own resolution.
struct FotoGriglia
{
    struct Cella
    {
        QString testo;
        QColor sfondo; // invalid: white, or grey for a fixed cell
        Qt::Alignment allineamento;
        bool fissa = false;
    };

    QList<int> righe; // grid rows in the picture
    QList<int> altezze; // twips, one per row in the picture
    QList<int> colonne; // grid columns in the picture
    QList<int> larghezze; // twips
    QList<QList<Cella>> celle; // [row in the picture][column in the picture]
    double puntiCarattere = 8; // the grid's font size, in points

    // Natural size in twips.
    QSize dimensione() const;

    // Takes the picture of `griglia`; `altezzaRiga` gives a row's height in twips (0 = hidden).
    static FotoGriglia Fotografa(
        const Griglia& griglia, const std::function<int(int)>& altezzaRiga, double puntiCarattere = 8);

    // Draws the picture into `destinazione` (in the painter's units), stretched to fill it.
    void Disegna(QPainter& painter, const QRectF& destinazione) const;

    static const QColor SfondoFisso;
    static const QColor ColoreLinee;
};
