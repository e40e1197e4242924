#pragma once
// The composition list: every lead's lead head and file line, the current
// lead in blue (violet when OK would refuse the candidate) and the leads the
// candidate clashes with in red. It only draws what it is given. A caption,
// when set, heads the list in grey on a line of its own (a fill shown
// before it is taken says so there). The leads of a false plan's repeating
// lead heads and lead ends are brown. Lines never print over each other: as
// many columns as fit, and a list that scrolls (the wheel) when even one
// column is too tall. A click on a lead's line asks for it as the current
// lead (leadClicked).
#include <QWidget>

namespace quarnel {

class Composition;

class DisplayWindow : public QWidget {
    Q_OBJECT
public:
    DisplayWindow(QWidget* parent, const QRect& rectangle, const QString& text, int id);

    void setComposition(const Composition* composition);
    // Stores the lead and redraws when the event loop next runs (the dialog
    // also repaints at every frame of a running search).
    void setCurrentLead(int lead);
    int currentLead() const { return currentLead_; }
    const Composition* composition() const { return composition_; }
    // An empty caption gives the whole window to the list.
    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }
    // What the window says while no composition is loaded.
    static QString startHint();
    // How far the list is scrolled down, in pixels.
    int scrollOffset() const { return scroll_; }

signals:
    void leadClicked(int lead);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Geometry;
    // Where the list goes in the window as it is now.
    Geometry geometryNow() const;
    int scroll_ = 0;
    const Composition* composition_ = nullptr;
    int currentLead_ = 0;
    QString caption_;
};

}  // namespace quarnel
