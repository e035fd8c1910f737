#pragma once
// The designer's drawing of the template: the page's bands stacked, each a
// titled strip followed by its area with its objects. It draws the document
// and turns mouse and arrow keys into document changes; it keeps no state
// of the template of its own.

#include "DesignerDocument.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

namespace Report {

class DesignerCanvas : public QWidget {
    Q_OBJECT
public:
    explicit DesignerCanvas(DesignerDocument &doc, QWidget *parent = nullptr);

    static constexpr double Scale = 4;        // pixels per millimetre
    static constexpr int TitleHeight = 18;    // pixels of a band's title strip
    static constexpr int Pad = 16;

    // Where things are drawn, in the canvas's pixels.
    QRect bandTitleRect(int band) const;
    QRect bandRect(int band) const;           // the band's area, below its title
    QRect objectRect(const ObjectRef &ref) const;
    QRect resizeHandle(const ObjectRef &ref) const;

    void refresh();   // the document changed: new size, redraw
    QSize sizeHint() const override;

signals:
    void changed();                              // the template or the selection changed
    void objectActivated(const Report::ObjectRef &ref);   // double-click: edit the object
    void bandActivated(int band);                // double-click on a band's title

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    enum class Drag { None, Move, Resize, BandHeight, Rubber };
    ObjectRef objectAt(const QPoint &p) const;
    int bandAt(const QPoint &p) const;          // band whose title or area holds p; -1 none
    int bandEdgeAt(const QPoint &p) const;      // band whose lower edge is under p; -1 none
    int bandTop(int band) const;
    int bandLeft() const;
    int bandWidth() const;
    void paintObject(class QPainter &p, const ReportObject &o, const QRect &r) const;

    DesignerDocument &m_doc;
    Drag m_drag = Drag::None;
    QPoint m_press;
    QPoint m_now;
    int m_dragBand = -1;
    bool m_rubberAdds = false;
};

} // namespace Report
