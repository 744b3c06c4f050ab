#pragma once

#include <QAbstractTableModel>

#include <functional>

class ElencoAnagrafiche;

// Shows an ElencoAnagrafiche in a view: its row 0 becomes the header, rows 1..n the view's rows.
class GrigliaAnagraficheModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit GrigliaAnagraficheModel(const ElencoAnagrafiche& elenco, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(
        int sezione, Qt::Orientation orientamento, int ruolo = Qt::DisplayRole) const override;

    // Runs `carica`, which reloads the list, as a reset of the model.
    void ricarica(const std::function<void()>& carica);
    // The backgrounds of the list changed.
    void sfondiCambiati();

    static int rigaElenco(const QModelIndex& indice) { return indice.row() + 1; }

private:
    const ElencoAnagrafiche& m_elenco;
};
