#pragma once

#include <QTableView>

class ModelloGriglia;

// Shows a ModelloGriglia as the old grid control did: the fixed rows stay on top while the body
// scrolls down, the fixed columns stay on the left while the days scroll across. Three overlay
// views over the edges of the main one show the fixed parts; they share its model, widths and
// scroll positions and never take the focus.
class VistaGriglia : public QTableView
{
    Q_OBJECT

public:
    explicit VistaGriglia(QWidget* parent = nullptr);

    void impostaModello(ModelloGriglia* modello);
    ModelloGriglia* modelloGriglia() const { return m_modello; }

    // The overlays, for tests and for printing the grid as shown.
    QTableView* righeFisse() const { return m_righe; }
    QTableView* colonneFisse() const { return m_colonne; }
    QTableView* angolo() const { return m_angolo; }

    // Height and width in pixels of the fixed rows and of the visible fixed columns.
    int altezzaFissa() const;
    int larghezzaFissa() const;

    // A row's height in pixels as the detailed print pages the grid: 0 hides the row. The fixed
    // bands follow, so they stay in line with the body.
    int altezzaRiga(int riga) const;
    void impostaAltezzaRiga(int riga, int pixel);

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;

private:
    QTableView* creaSovrapposta(const QString& nome);
    void applicaFormati();
    void applicaFormatoColonna(int colonna);
    void posizionaSovrapposte();

    ModelloGriglia* m_modello = nullptr;
    QTableView* m_righe = nullptr;
    QTableView* m_colonne = nullptr;
    QTableView* m_angolo = nullptr;
};
