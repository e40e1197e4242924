#pragma once
// A method drawn as a line diagram over the seven leads of its plain course:
// the treble in red, one working bell in blue. It only draws what it is given.
// Its context menu saves the method's blue line (session/blue_line.h, as
// quarnel-cli line draws it) as an SVG, PNG or PDF file, or copies it to
// the clipboard as a picture.
#include <QWidget>

class QAction;

namespace quarnel {

class Method;
class Prompts;
struct Page;

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
    // Who chooses the files and hears of failures (not owned); without
    // prompts the Save as actions do nothing.
    void setPrompts(Prompts* prompts) { prompts_ = prompts; }

    // The context menu's actions, by object name: saveSvgAction,
    // savePngAction, savePdfAction, copyAction. Enabled while a method is
    // shown.
    QAction* action(const QString& name) const;

private:
    void paintEvent(QPaintEvent* event) override;
    // Save as: the blue line to a file of the format the extension names.
    void saveAs(const char* extension);
    void copy();
    // The blue line page of the method shown; empty for none.
    bool blueLinePage(Page& page, std::string& title) const;

    const Method* method_ = nullptr;
    QString caption_;
    Prompts* prompts_ = nullptr;
};

}  // namespace quarnel
