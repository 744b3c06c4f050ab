#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

class Griglia;
namespace GrigliaTotali {
struct Esito;
}

// The work table of the summary report: one record per printed line, copied from the totals grid
// as shown (nothing is recomputed from the archive).
namespace TabellaStampa2 {

inline const QString PrefissoDipendente = QStringLiteral(" - ");
inline const QString PrefissoOre = QStringLiteral("TOTALE ORE: ");
inline const QString SeparatoreStato = QStringLiteral(" : ");
inline const QString SeparatoreTipo = QStringLiteral(" (ORE) : ");
inline const QString BannerParziali
    = QStringLiteral("                    ------------------ TOTALI PARZIALI------------------");
inline const QString BannerTotali
    = QStringLiteral("                    ---------------------- TOTALI ----------------------");

// One record of Stampa2. The summary writes Des1 and Grassetto; the rest stays empty.
struct RigaStampa2
{
    qint64 Indice = 0; // the archive's counter: ascending is the reading order
    QString Des1;
    QString Des2;
    QString Des3;
    QString Des4;
    QString Des5;
    QString Des6;
    QString Des7;
    QString Des8;
    QString Des9;
    QVariant IndiceRif; // null
    int Grassetto = 0; // 1 = bold

    bool operator==(const RigaStampa2&) const = default;
};

// The description of a state code ("" when it is not a state), compared as the archive does.
using Descrizione = std::function<QString(const QString& stato)>;

// The lines of the summary of a built totals grid, in reading order (Indice left 0): the
// employee blocks, the sub-totals unless one employee is shown, the grand totals.
QList<RigaStampa2> Righe(
    const Griglia& griglia, const GrigliaTotali::Esito& esito, const Descrizione& descrizione);

// Empties Stampa2 and writes the summary into it in one transaction, so two programs printing
// at once never mix their lines. Returns the lines as written (with their Indice): the report
// prints these, not what the table may hold later. False in `ok` (and nothing changed) when the
// grid is not a built totals grid or the archive step was skipped.
QList<RigaStampa2> PreparaStampa(
    const QString& archivio, const Griglia& griglia, const GrigliaTotali::Esito& esito, bool* ok = nullptr);

} // namespace TabellaStampa2
