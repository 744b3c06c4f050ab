#include "FotoGriglia.h"

#include "comune/Griglia.h"

#include <QPainter>
#include <QRectF>

const QColor FotoGriglia::SfondoFisso { 0xE4, 0xE4, 0xE4 };
const QColor FotoGriglia::ColoreLinee { 0x9A, 0x9A, 0x9A };

QSize FotoGriglia::dimensione() const
{
    int w = 0;
    int h = 0;
    for (int l : larghezze)
        w += l;
    for (int a : altezze)
        h += a;
    return { w, h };
}

FotoGriglia FotoGriglia::Fotografa(const Griglia& g, const std::function<int(int)>& altezzaRiga, double punti)
{
    FotoGriglia foto;
    foto.puntiCarattere = punti;
    for (int c = 0; c < g.colonne(); ++c) {
        if (g.larghezza(c) > 0) {
            foto.colonne << c;
            foto.larghezze << g.larghezza(c);
        }
    }
    for (int r = 0; r < g.righe(); ++r) {
        const int altezza = altezzaRiga(r);
        // The fixed rows always; a body row only when it has a height (the others belong to other
        // pages).
        if (altezza <= 0 && r >= g.righeFisse())
            continue;
        foto.righe << r;
        foto.altezze << std::max(altezza, 0);
        QList<Cella> riga;
        riga.reserve(foto.colonne.size());
        for (int c : std::as_const(foto.colonne))
            riga << Cella { g.testo(r, c), g.sfondo(r, c), g.allineamento(r, c), g.cellaFissa(r, c) };
        foto.celle << riga;
    }
    return foto;
}

void FotoGriglia::Disegna(QPainter& painter, const QRectF& destinazione) const
{
    const QSize naturale = dimensione();
    if (naturale.isEmpty())
        return;
    painter.save();
    painter.translate(destinazione.topLeft());
    // Everything below is in twips of the grid at its natural size.
    painter.scale(destinazione.width() / naturale.width(), destinazione.height() / naturale.height());
    painter.setClipRect(QRectF(0, 0, naturale.width(), naturale.height()));

    QFont carattere(QStringLiteral("DejaVu Sans"));
    carattere.setPixelSize(int(puntiCarattere * 20)); // 20 twips a point
    painter.setFont(carattere);
    const QPen linee(ColoreLinee, 8);
    const int margine = 25;

    qreal y = 0;
    for (int i = 0; i < celle.size(); ++i) {
        const qreal h = altezze.at(i);
        qreal x = 0;
        for (int j = 0; j < celle.at(i).size(); ++j) {
            const Cella& cella = celle.at(i).at(j);
            const QRectF rettangolo(x, y, larghezze.at(j), h);
            QColor sfondo = cella.sfondo;
            if (!sfondo.isValid())
                sfondo = cella.fissa ? SfondoFisso : QColor(Qt::white);
            painter.fillRect(rettangolo, sfondo);
            painter.setPen(linee);
            painter.drawRect(rettangolo);
            if (!cella.testo.isEmpty()) {
                Qt::Alignment a = cella.allineamento;
                if (!(a & Qt::AlignHorizontal_Mask))
                    a |= Qt::AlignLeft;
                a = (a & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
                painter.save();
                const QRectF testo = rettangolo.adjusted(margine, 0, -margine, 0);
                painter.setClipRect(rettangolo, Qt::IntersectClip);
                painter.setPen(Qt::black);
                painter.drawText(testo, int(a) | Qt::TextSingleLine, cella.testo);
                painter.restore();
            }
            x += larghezze.at(j);
        }
        y += h;
    }
    painter.restore();
}
