#pragma once

#include <QDate>
#include <QString>

// A month of a year: what the month boxes, the grid and the save talk about, parsed once.
struct MeseAnno
{
    int mese = 0; // 1 .. 12, 0 when not a month
    int anno = 0;

    // From the boxes' texts ("Febbraio", "2024"); not valido() when either is not one.
    static MeseAnno DaTesti(const QString& mese, const QString& anno);

    bool valido() const { return mese >= 1 && mese <= 12 && anno >= 1 && anno <= 9999; }
    QString nomeMese() const; // "Febbraio" as the archive stores it
    QString testoAnno() const { return QString::number(anno); }
    int giorni() const; // 28 .. 31 (28 when not valido())
    QDate data(int giorno) const { return QDate(anno, mese, giorno); }
    MeseAnno precedente() const
    {
        return mese <= 1 ? MeseAnno { 12, anno - 1 } : MeseAnno { mese - 1, anno };
    }
    MeseAnno successivo() const
    {
        return mese >= 12 ? MeseAnno { 1, anno + 1 } : MeseAnno { mese + 1, anno };
    }

    friend bool operator==(const MeseAnno&, const MeseAnno&) = default;
};
