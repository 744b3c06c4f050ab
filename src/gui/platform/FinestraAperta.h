#pragma once

#include <QApplication>
#include <QWidget>

// The open window of class `Finestra` that `scelta` accepts, else nullptr. The application keeps
// the list of its windows, so no window needs a pointer of its own to the ones that must stay
// single. A window that was closed and waits to be deleted is no longer open.
template <class Finestra, class Scelta> Finestra* FinestraAperta(Scelta scelta)
{
    const QWidgetList finestre = QApplication::topLevelWidgets();
    for (QWidget* w : finestre) {
        auto* f = qobject_cast<Finestra*>(w);
        if (f && !(f->testAttribute(Qt::WA_DeleteOnClose) && f->isHidden()) && scelta(*f))
            return f;
    }
    return nullptr;
}

template <class Finestra> Finestra* FinestraAperta()
{
    return FinestraAperta<Finestra>([](const Finestra&) { return true; });
}
