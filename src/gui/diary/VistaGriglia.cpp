#include "VistaGriglia.h"

#include "comune/Twips.h"
#include "comune/Griglia.h"
#include "comune/ModelloGriglia.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>

namespace {
// The current cell shows its own background (the grids' highlight colour); the style's focus
// frame would paint over it, and so would the selection's colour where a view selects ranges
// around its current cell (property "correnteSenzaSelezione").
class DelegatoSenzaCornice : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* opzione, const QModelIndex& indice) const override
    {
        QStyledItemDelegate::initStyleOption(opzione, indice);
        opzione->state &= ~QStyle::State_HasFocus;
        const auto* vista = qobject_cast<const QAbstractItemView*>(opzione->widget);
        if (vista && vista->property("correnteSenzaSelezione").toBool() && vista->currentIndex() == indice)
            opzione->state &= ~QStyle::State_Selected;
    }
};
} // namespace

VistaGriglia::VistaGriglia(QWidget* parent)
    : QTableView(parent)
{
    setItemDelegate(new DelegatoSenzaCornice(this));
    m_righe = creaSovrapposta(QStringLiteral("RigheFisse"));
    m_colonne = creaSovrapposta(QStringLiteral("ColonneFisse"));
    m_angolo = creaSovrapposta(QStringLiteral("AngoloFisso"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Day columns are 350 twips: the grid's small font and no ellipsis keep "Me", "31" and "7,5"
    // whole.
    QFont carattere = font();
    carattere.setPointSize(8);
    setFont(carattere);
    setTextElideMode(Qt::ElideNone);
    for (QTableView* v : { m_righe, m_colonne, m_angolo }) {
        v->setFont(carattere);
        v->setTextElideMode(Qt::ElideNone);
    }
    const int altezzaRiga = fontMetrics().height() + 6;
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(altezzaRiga);
    horizontalHeader()->setMinimumSectionSize(1);

    // The left band follows the body up and down, the top band follows it across.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_colonne->verticalScrollBar(),
        &QScrollBar::setValue);
    connect(m_colonne->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
        &QScrollBar::setValue);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_righe->horizontalScrollBar(),
        &QScrollBar::setValue);
    connect(m_righe->horizontalScrollBar(), &QScrollBar::valueChanged, horizontalScrollBar(),
        &QScrollBar::setValue);
}

QTableView* VistaGriglia::creaSovrapposta(const QString& nome)
{
    auto* v = new QTableView(this);
    v->setObjectName(nome);
    v->setFocusPolicy(Qt::NoFocus);
    v->setAutoScroll(false);
    v->setSelectionMode(NoSelection);
    v->setEditTriggers(NoEditTriggers);
    v->setWordWrap(false);
    v->horizontalHeader()->hide();
    v->verticalHeader()->hide();
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setHorizontalScrollMode(ScrollPerPixel);
    v->setVerticalScrollMode(ScrollPerPixel);
    v->setFrameShape(QFrame::NoFrame);
    v->setCornerButtonEnabled(false);
    v->verticalHeader()->setMinimumSectionSize(1);
    v->horizontalHeader()->setMinimumSectionSize(1);
    v->setAccessibleName(nome);
    v->viewport()->installEventFilter(this);
    return v;
}

void VistaGriglia::impostaModello(ModelloGriglia* modello)
{
    m_modello = modello;
    setModel(modello);
    for (QTableView* v : { m_righe, m_colonne, m_angolo }) {
        v->setModel(modello);
        v->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    }
    // Connected after the views' own handlers, so the widths are put back after their reset.
    connect(modello, &QAbstractItemModel::modelReset, this, &VistaGriglia::applicaFormati);
    connect(modello, &ModelloGriglia::formatoColonnaCambiato, this, &VistaGriglia::applicaFormatoColonna);
    applicaFormati();
}

void VistaGriglia::applicaFormatoColonna(int colonna)
{
    const Griglia* g = m_modello ? m_modello->griglia() : nullptr;
    if (!g)
        return;
    const int twips = g->larghezza(colonna);
    for (QTableView* v : { static_cast<QTableView*>(this), m_righe, m_colonne, m_angolo }) {
        v->setColumnHidden(colonna, twips == 0);
        if (twips > 0)
            v->setColumnWidth(colonna, Twips::pixel(twips));
    }
    posizionaSovrapposte();
}

void VistaGriglia::applicaFormati()
{
    const Griglia* g = m_modello ? m_modello->griglia() : nullptr;
    if (!g)
        return;
    for (int c = 0; c < g->colonne(); ++c) {
        const int twips = g->larghezza(c);
        for (QTableView* v : { static_cast<QTableView*>(this), m_righe, m_colonne, m_angolo }) {
            v->setColumnHidden(c, twips == 0);
            if (twips > 0)
                v->setColumnWidth(c, Twips::pixel(twips));
        }
    }
    posizionaSovrapposte();
}

int VistaGriglia::altezzaFissa() const
{
    const Griglia* g = m_modello ? m_modello->griglia() : nullptr;
    int h = 0;
    for (int r = 0; g && r < std::min(g->righeFisse(), g->righe()); ++r)
        h += rowHeight(r);
    return h;
}

int VistaGriglia::larghezzaFissa() const
{
    const Griglia* g = m_modello ? m_modello->griglia() : nullptr;
    int w = 0;
    for (int c = 0; g && c < std::min(g->colonneFisse(), g->colonne()); ++c)
        if (!isColumnHidden(c))
            w += columnWidth(c);
    return w;
}

int VistaGriglia::altezzaRiga(int riga) const
{
    return isRowHidden(riga) ? 0 : rowHeight(riga);
}

void VistaGriglia::impostaAltezzaRiga(int riga, int pixel)
{
    for (QTableView* v : { static_cast<QTableView*>(this), m_righe, m_colonne, m_angolo }) {
        v->setRowHidden(riga, pixel <= 0);
        if (pixel > 0)
            v->setRowHeight(riga, pixel);
    }
}

void VistaGriglia::posizionaSovrapposte()
{
    const QRect area = viewport()->geometry();
    const int alto = std::min(altezzaFissa(), area.height());
    const int sinistra = std::min(larghezzaFissa(), area.width());
    // A grid line's width more, so the bands' edges line up with the body's lines.
    const int linea = showGrid() ? 1 : 0;
    m_righe->setGeometry(area.x(), area.y(), area.width(), alto ? alto + linea : 0);
    m_colonne->setGeometry(area.x(), area.y(), sinistra ? sinistra + linea : 0, area.height());
    m_angolo->setGeometry(area.x(), area.y(), sinistra ? sinistra + linea : 0, alto ? alto + linea : 0);
    m_righe->setVisible(alto > 0);
    m_colonne->setVisible(sinistra > 0);
    m_angolo->setVisible(alto > 0 && sinistra > 0);
    m_colonne->raise();
    m_righe->raise();
    m_angolo->raise();
    m_righe->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    m_colonne->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

bool VistaGriglia::eventFilter(QObject* oggetto, QEvent* evento)
{
    // A wheel turned over a band scrolls the grid, never the band alone (which would show body
    // cells in the header rows).
    if (evento->type() == QEvent::Wheel && oggetto->parent() && oggetto != viewport()
        && (oggetto->parent() == m_righe || oggetto->parent() == m_colonne
            || oggetto->parent() == m_angolo)) {
        const QPoint delta = static_cast<QWheelEvent*>(evento)->angleDelta();
        QScrollBar* barra = qAbs(delta.x()) > qAbs(delta.y()) ? horizontalScrollBar() : verticalScrollBar();
        QCoreApplication::sendEvent(barra, evento);
        return true;
    }
    return QTableView::eventFilter(oggetto, evento);
}

void VistaGriglia::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    posizionaSovrapposte();
}

void VistaGriglia::updateGeometries()
{
    QTableView::updateGeometries();
    posizionaSovrapposte();
}

// The cursor's moves scroll through here too: a cell must never end up under a band.
void VistaGriglia::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const Griglia* g = m_modello ? m_modello->griglia() : nullptr;
    if (!index.isValid() || !g) {
        QTableView::scrollTo(index, hint);
        return;
    }
    const QRect cella = visualRect(index);
    const QRect area = viewport()->rect();
    if (index.row() >= g->righeFisse()) {
        QScrollBar* barra = verticalScrollBar();
        const int alto = altezzaFissa();
        if (cella.top() < alto)
            barra->setValue(barra->value() - (alto - cella.top()));
        else if (cella.bottom() > area.bottom())
            barra->setValue(barra->value() + cella.bottom() - area.bottom());
    }
    if (index.column() >= g->colonneFisse()) {
        QScrollBar* barra = horizontalScrollBar();
        const int sinistra = larghezzaFissa();
        if (cella.left() < sinistra)
            barra->setValue(barra->value() - (sinistra - cella.left()));
        else if (cella.right() > area.right())
            barra->setValue(barra->value() + cella.right() - area.right());
    }
}
