#include "GrigliaAnagraficheModel.h"

#include "masterdata/ElencoAnagrafiche.h"

#include <QBrush>

GrigliaAnagraficheModel::GrigliaAnagraficheModel(const ElencoAnagrafiche& elenco, QObject* parent)
    : QAbstractTableModel(parent)
    , m_elenco(elenco)
{ }

int GrigliaAnagraficheModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_elenco.righe() - 1;
}

int GrigliaAnagraficheModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ElencoAnagrafiche::NumeroColonne;
}

QVariant GrigliaAnagraficheModel::data(const QModelIndex& indice, int ruolo) const
{
    if (!indice.isValid())
        return {};
    const int riga = rigaElenco(indice);
    switch (ruolo) {
    case Qt::DisplayRole:
        return m_elenco.testo(riga, indice.column());
    case Qt::BackgroundRole: {
        const QColor c = m_elenco.sfondo(riga);
        return c.isValid() ? QVariant(QBrush(c)) : QVariant();
    }
    case Qt::TextAlignmentRole:
        if (indice.column() == ElencoAnagrafiche::ColAttivo)
            return QVariant(Qt::AlignCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant GrigliaAnagraficheModel::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (orientamento == Qt::Horizontal && ruolo == Qt::DisplayRole)
        return m_elenco.testo(0, sezione);
    return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
}

void GrigliaAnagraficheModel::ricarica(const std::function<void()>& carica)
{
    beginResetModel();
    carica();
    endResetModel();
}

void GrigliaAnagraficheModel::sfondiCambiati()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { Qt::BackgroundRole });
}
