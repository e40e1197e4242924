#pragma once
// The course view's window: paints what courseViewText (session/course_view.h)
// gives, in a fixed-width font, each lead's text in the lead list's colours
// (the current lead blue or violet, clashes with the candidate red, a false
// plan's repeats brown). A click on a lead's text asks for it as the
// current lead; the wheel scrolls a view taller than the window.
#include <QWidget>

namespace quarnel {

class Composition;

class CourseViewWindow : public QWidget {
    Q_OBJECT
public:
    explicit CourseViewWindow(QWidget* parent);

    void setComposition(const Composition* composition);
    void setCurrentLead(int lead);
    int currentLead() const { return currentLead_; }
    // The lead whose text is at a point of the window, or 0.
    int leadAt(const QPoint& point) const;

signals:
    void leadClicked(int lead);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    const Composition* composition_ = nullptr;
    int currentLead_ = 0;
    int scroll_ = 0;  // lines scrolled off the top
};

}  // namespace quarnel
