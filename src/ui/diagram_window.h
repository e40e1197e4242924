#pragma once
// A method drawn as a line diagram over the seven leads of its plain course:
// the treble in red, one working bell in blue. It only draws what it is given.
#include <QWidget>

namespace quarnel {

class Method;

class DiagramWindow : public QWidget {
    Q_OBJECT
public:
    DiagramWindow(QWidget* parent, const QRect& rectangle, const QString& text, int id);

    // Stores the method (not owned; none to draw nothing) and repaints when
    // the event loop next runs.
    void showMethod(const Method* method);
    const Method* method() const { return method_; }
    // The label drawn in the top left corner ("Committed method", "Candidate").
    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Method* method_ = nullptr;
    QString caption_;
};

}  // namespace quarnel
