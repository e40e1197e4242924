#pragma once
// The composition list: every lead's lead head and file line, the current
// lead in blue (violet when OK would refuse the candidate) and the leads the
// candidate clashes with in red. It only draws what it is given. A caption,
// when set, heads the list in grey on a line of its own (a fill shown
// before it is taken says so there). The leads of a false plan's repeating
// lead heads and lead ends are brown. Lines never print over each other: as
// many columns as fit, and a list that scrolls (the wheel) when even one
// column is too tall. A click on a lead's line asks for it as the current
// lead (leadClicked). A lead's method held aside by an edit follows its
// line; the music column, when on, gives each lead's music score.
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "composition/music.h"

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
    // The methods held aside, one a lead ("" for none).
    void setHeldMethods(const std::vector<std::string>& held);
    // The music table the column scores with (a copy; none: no scores).
    void setMusicTable(const MusicTable* table);
    // The music column: off by default, so that the list keeps its format.
    void setMusicColumn(bool on);
    bool musicColumn() const { return musicColumn_; }
    // The lines as drawn now.
    std::vector<std::string> lines() const;
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
    std::vector<std::string> held_;
    // Scored on the window's own copy: the session's table stays the session's.
    mutable std::optional<MusicTable> music_;
    bool musicColumn_ = false;
};

}  // namespace quarnel
