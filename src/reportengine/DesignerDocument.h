#pragma once
// What the report designer edits: the template (the one truth the canvas
// draws), the selection, and undo/redo as whole-template snapshots. Every
// change goes through here, so the window and the canvas never touch the
// template directly and every change can be undone.

#include "ReportTemplate.h"

#include <QList>
#include <functional>

namespace Report {

struct ObjectRef {
    int band = -1;
    int index = -1;
    bool operator==(const ObjectRef &o) const { return band == o.band && index == o.index; }
};

// Paper sizes the page set-up offers (mm, as seen upright).
struct PaperSize {
    QString name;
    double width;
    double height;
};
const QList<PaperSize> &paperSizes();   // A4, A5, B5, envelope DL; anything else is custom
QString paperNameFor(double width, double height);   // "自定义" when none matches

// Captions of band and object kinds as the designer shows them.
QString bandKindCaption(BandKind kind);
QString objectKindCaption(ObjectKind kind);
const QList<BandKind> &bandKindsInPageOrder();

class DesignerDocument {
public:
    void reset(const ReportTemplate &t);   // a new template: no history, not modified
    const ReportTemplate &templ() const { return m_t; }

    // One undoable change of the template.
    void edit(const std::function<void(ReportTemplate &)> &change);
    // A mouse drag: begun once, updated from the state at its start as the
    // mouse moves, and kept as one undo step only when something changed.
    void beginGesture();
    void updateGesture(const std::function<void(ReportTemplate &)> &fromStart);
    void endGesture();
    bool inGesture() const { return m_gesture; }
    int gestureBand() const;   // the one band of the objects dragged; -1: several

    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    void undo();
    void redo();

    bool modified() const { return m_state != m_savedState; }
    void markSaved() { m_savedState = m_state; }

    // Selection: objects, and the band new objects go into.
    const QList<ObjectRef> &selection() const { return m_selection; }
    void select(const QList<ObjectRef> &refs);
    void toggle(const ObjectRef &ref);
    bool isSelected(const ObjectRef &ref) const { return m_selection.contains(ref); }
    int currentBand() const { return m_currentBand; }
    void setCurrentBand(int band);
    const ReportObject *object(const ObjectRef &ref) const;

    // Grid: positions dragged or stepped with the arrows land on it while snapping is on.
    bool snap = true;
    double grid = 1;   // mm
    double snapped(double mm) const;

    // Arrow keys: move by (dx, dy) mm, or with resize grow the size.
    // fine: a tenth of a millimetre and no snapping.
    void stepSelection(int dx, int dy, bool resize, bool fine);
    // Drag from the gesture's start by (dx, dy) mm. Moved objects stay on
    // their band's paper; objects of one band dropped on band `toBand`, whose
    // top is `bandShift` mm below theirs, move onto it.
    void dragSelection(double dx, double dy, int toBand = -1, double bandShift = 0);
    void dragResize(double dw, double dh);
    void dragBandHeight(int band, double dh);

    // Adds an object of that kind to the current band (the first band when
    // none is current) and selects it; false when there is no band.
    bool addObject(ObjectKind kind, const QByteArray &picture = {});
    void deleteSelection();
    // A band of that kind, placed among the others in page order; becomes current.
    void addBand(BandKind kind);
    void deleteBand(int band);

private:
    void pushUndo();
    void fixSelection();

    ReportTemplate m_t;
    ReportTemplate m_gestureStart;
    bool m_gesture = false;
    bool m_gestureChanged = false;
    QList<QPair<ReportTemplate, int>> m_undo, m_redo;
    int m_state = 0;
    int m_savedState = 0;
    int m_nextState = 1;
    QList<ObjectRef> m_selection;
    QList<ObjectRef> m_gestureSelection;
    int m_currentBand = -1;
};

} // namespace Report
