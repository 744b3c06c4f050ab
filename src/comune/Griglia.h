#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>

// A grid as the windows build it: rows and columns, the first rows and columns fixed (headers),
// texts, column widths in twips, alignments and cell colours. Built and edited without a widget;
// ModelloGriglia shows it in a view. Positions outside the grid are ignored on write and read as
// empty.
class Griglia : public QObject
{
    Q_OBJECT

public:
    static constexpr int LarghezzaPredefinita = 1000; // twips

    explicit Griglia(QObject* parent = nullptr);

    int righe() const { return int(m_celle.size()); }
    int colonne() const { return m_colonne; }
    int righeFisse() const { return m_righeFisse; }
    int colonneFisse() const { return m_colonneFisse; }
    void impostaRighe(int n);
    void impostaColonne(int n);
    void impostaRigheFisse(int n);
    void impostaColonneFisse(int n);
    // Appends one empty row; its index.
    int aggiungiRiga();
    bool cellaFissa(int riga, int colonna) const { return riga < m_righeFisse || colonna < m_colonneFisse; }

    QString testo(int riga, int colonna) const;
    void impostaTesto(int riga, int colonna, const QString& testo);
    // An invalid colour is the grid's own background (normal or fixed).
    QColor sfondo(int riga, int colonna) const;
    void impostaSfondo(int riga, int colonna, const QColor& colore);
    // A word on the cell shown on demand (the name of a holiday on its day); "" for none.
    QString suggerimento(int riga, int colonna) const;
    void impostaSuggerimento(int riga, int colonna, const QString& testo);
    // The cell's own alignment when set, else its column's.
    Qt::Alignment allineamento(int riga, int colonna) const;
    void impostaAllineamentoCella(int riga, int colonna, Qt::Alignment allineamento);

    int larghezza(int colonna) const;
    void impostaLarghezza(int colonna, int twips);
    Qt::Alignment allineamentoColonna(int colonna) const;
    void impostaAllineamentoColonna(int colonna, Qt::Alignment allineamento);

    // Empties every text, colour and word on a cell; the shape and the columns' formats stay.
    void svuota();

    // Groups the changes of a whole build into one reset of the views, so a month of a thousand
    // rows is shown once, when it is complete.
    class Ricostruzione
    {
    public:
        explicit Ricostruzione(Griglia& griglia);
        ~Ricostruzione();
        Ricostruzione(const Ricostruzione&) = delete;
        Ricostruzione& operator=(const Ricostruzione&) = delete;

    private:
        Griglia& m_griglia;
    };

signals:
    void ricostruzioneIniziata();
    void ricostruzioneFinita();
    void cellaCambiata(int riga, int colonna);
    void colonnaCambiata(int colonna);

private:
    struct Cella
    {
        QString testo;
        QColor sfondo;
        Qt::Alignment allineamento;
        QString suggerimento;
    };
    struct Colonna
    {
        int larghezza = LarghezzaPredefinita;
        Qt::Alignment allineamento;
    };

    bool valida(int riga, int colonna) const;
    void inizia();
    void finisci();

    QList<QList<Cella>> m_celle;
    QList<Colonna> m_formati;
    int m_colonne = 0;
    int m_righeFisse = 0;
    int m_colonneFisse = 0;
    int m_ricostruzioni = 0;
};
