#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>

class Griglia;

// Shows a Griglia in a view: the texts as the display role (screen readers and tests read them
// there), a cell's word as its tooltip and description, colours and alignments as roles. Fixed cells are not
// enabled, so the view's cursor never lands on them.
class ModelloGriglia : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ModelloGriglia(Griglia* griglia, QObject* parent = nullptr);

    Griglia* griglia() const { return m_griglia; }
    // Background of fixed cells without a colour of their own.
    static QColor SfondoFisso();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A column's width or alignment changed outside a rebuild.
    void formatoColonnaCambiato(int colonna);

private:
    QPointer<Griglia> m_griglia;
};
