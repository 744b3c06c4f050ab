#pragma once

#include "gui/platform/ElencoStampanti.h"
#include "printing/Report.h"

#include <QDialog>
#include <QPrinter>

#include <functional>

class QLabel;
class QPainter;
class QPrintPreviewWidget;
class QPushButton;

// The preview of a report (the summary, the employee list): its A4 pages as they will print, and
// "Stampa", which prints them on the printer chosen for the report, the one the window names,
// with no other printer to pick by mistake. The built-in PDF printer asks where to save. A print
// that fails is said and leaves the preview open, to try again or close.
class AnteprimaReport : public QDialog
{
    Q_OBJECT

public:
    // `stampante` invalid: the system's default printer.
    AnteprimaReport(const Report::Documento& documento, const Stampante& stampante, const QString& titolo,
        QWidget* parent = nullptr);
    // A report drawn page by page when shown (`disegna` paints every page on the printer given,
    // through its painter), printed by `stampa` (true when it printed; it tells its failures).
    using Disegno = std::function<void(QPainter& painter, QPrinter& printer)>;
    AnteprimaReport(Disegno disegna, std::function<bool()> stampa, const Stampante& stampante,
        const QString& titolo, QWidget* parent = nullptr);
    ~AnteprimaReport() override;

    // The page a preview lays out and shows: A4, as every print, whatever queue prints it.
    static void PaginaAnteprima(QPrinter& printer, const QString& titolo);
    // Whether "Stampa" printed the report.
    bool stampato() const { return m_stampato; }

    void Stampa_Click();

private:
    void AggiornaPagina();

    Disegno m_disegna;
    std::function<bool()> m_stampa;
    QPrinter m_printer;
    QPrintPreviewWidget* m_anteprima = nullptr;
    QPushButton* m_precedente = nullptr;
    QPushButton* m_successiva = nullptr;
    QLabel* m_pagina = nullptr;
    bool m_stampato = false;
};
