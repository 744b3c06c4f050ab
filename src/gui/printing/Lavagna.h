#pragma once

#include "printing/FotoGriglia.h"
#include "printing/PaginaLavagna.h"

#include <QDialog>

#include <functional>

struct Sessione;
namespace Ui {
class Lavagna;
}
class QLabel;
class QPainter;

// The print preview of the detailed month ("Anteprima di Stampa"): one page of the grid under
// the company header. "Stampa" prints the page and closes; once a page has been printed the
// following pages print themselves as soon as they are shown. A new window is made for each page.
class Lavagna : public QDialog
{
    Q_OBJECT

    Sessione& m_sessione;

public:
    explicit Lavagna(Sessione& sessione, QWidget* parent = nullptr);
    ~Lavagna() override;

    // The page has been closed.
    bool AnteprimaChiusa = false;

    // The window's layout in twips as the header and the page left it.
    const PaginaLavagna::Pagina& pagina() const { return m_pagina; }
    const FotoGriglia& foto() const { return m_foto; }

    // Fills the company header from the settings row and the states legend `legenda`. Throws
    // ErroreArchivio when the settings cannot be read (the caller's error routine decides).
    void InserisciDatiTestata(const QString& legenda);
    // Places the grid picture and the period line and sizes and centres the window.
    void PreparaPagina(const FotoGriglia& foto, const QString& periodo);

    // How "Stampa" prints this page: true when it was printed. Without it nothing is printed; a
    // page not printed stays open, to try again or leave.
    using StampaPagina = std::function<bool(Lavagna&)>;
    void ImpostaStampaPagina(StampaPagina stampa) { m_stampa = std::move(stampa); }

    // Draws the window's client area as it prints (without the buttons) into `area`, in the
    // painter's device units, with its proportions kept.
    void DisegnaPagina(QPainter& painter, const QRectF& area) const;
    // The same for a page kept from a window since closed.
    static void DisegnaPagina(
        QPainter& painter, const QRectF& area, const PaginaLavagna::Pagina& pagina, const FotoGriglia& foto);

    void Form_Activate();
    void Stampa_Click();
    void esci_Click();

    // Point sizes of the header lines, the period line and the legend, also used when printing.
    static constexpr double PuntiRagSociale = 12;
    static constexpr double PuntiIntestazione = 9;
    static constexpr double PuntiPeriodo = 10;
    static constexpr double PuntiLegenda = 7;

public slots:
    void done(int esito) override;

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void Applica();
    static QFont Carattere(double punti, bool grassetto, int scala);
    QPixmap ImmagineGriglia() const;

    const QScopedPointer<Ui::Lavagna> m_ui;
    PaginaLavagna::Pagina m_pagina;
    FotoGriglia m_foto;
    StampaPagina m_stampa;
};
