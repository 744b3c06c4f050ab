#include "ModelloGriglia.h"

#include "comune/Griglia.h"

#include <QGuiApplication>
#include <QPalette>

ModelloGriglia::ModelloGriglia(Griglia* griglia, QObject* parent)
    : QAbstractTableModel(parent)
    , m_griglia(griglia)
{
    connect(griglia, &Griglia::ricostruzioneIniziata, this, &ModelloGriglia::beginResetModel);
    connect(griglia, &Griglia::ricostruzioneFinita, this, &ModelloGriglia::endResetModel);
    connect(griglia, &Griglia::cellaCambiata, this, [this](int r, int c) {
        const QModelIndex i = index(r, c);
        emit dataChanged(i, i);
    });
    connect(griglia, &Griglia::colonnaCambiata, this, [this](int c) {
        emit formatoColonnaCambiato(c);
        emit dataChanged(index(0, c), index(rowCount() - 1, c), { Qt::TextAlignmentRole });
    });
}

QColor ModelloGriglia::SfondoFisso()
{
    return QGuiApplication::palette().color(QPalette::Button);
}

int ModelloGriglia::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_griglia ? 0 : m_griglia->righe();
}

int ModelloGriglia::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_griglia ? 0 : m_griglia->colonne();
}

QVariant ModelloGriglia::data(const QModelIndex& index, int role) const
{
    if (!m_griglia || !index.isValid())
        return {};
    const int r = index.row();
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return m_griglia->testo(r, c);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        const QString suggerimento = m_griglia->suggerimento(r, c);
        return suggerimento.isEmpty() ? QVariant() : QVariant(suggerimento);
    }
    case Qt::BackgroundRole: {
        const QColor colore = m_griglia->sfondo(r, c);
        if (colore.isValid())
            return colore;
        if (m_griglia->cellaFissa(r, c))
            return SfondoFisso();
        return {};
    }
    case Qt::ForegroundRole:
        // Fixed cells are disabled for the cursor but must not look greyed out.
        if (m_griglia->cellaFissa(r, c))
            return QGuiApplication::palette().color(QPalette::Active, QPalette::ButtonText);
        return {};
    case Qt::TextAlignmentRole: {
        Qt::Alignment a = m_griglia->allineamento(r, c);
        if (!(a & Qt::AlignHorizontal_Mask))
            a |= Qt::AlignLeft;
        if (!(a & Qt::AlignVertical_Mask))
            a |= Qt::AlignVCenter;
        return a.toInt();
    }
    default:
        return {};
    }
}

Qt::ItemFlags ModelloGriglia::flags(const QModelIndex& index) const
{
    if (!m_griglia || !index.isValid() || m_griglia->cellaFissa(index.row(), index.column()))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
