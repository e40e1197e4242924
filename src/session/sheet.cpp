#include "session/sheet.h"

#include <algorithm>
#include <sstream>

#include "composition/analysis.h"
#include "composition/calling.h"
#include "composition/composer_line.h"
#include "composition/composition.h"
#include "composition/layout_text.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "session/blue_line.h"

namespace quarnel {

namespace {

// The blue lines of a sheet: three to an A4 page.
constexpr BlueLineStyle SheetBlueLine{5.6, 6.2, 5.6, 11, 10.5, 7.5};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Words set on lines no wider than width, broken between words.
std::vector<std::string> wrapped(const std::string& text, double size, double width) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    for (std::string word; in >> word;) {
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && proportionalWidth(longer, size, false) > width) {
            out.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.empty()) out.push_back(line);
    return out;
}

// Lays items down the pages, starting a new page when a block does not fit.
class PageFlow {
public:
    explicit PageFlow(PaperSize paper) : paper_(paper) { newPage(); }

    double width() const { return paper_.width - 2 * SheetMargin; }
    // Makes room for a block of height points: a new page when it does not
    // fit below what is there. Returns the block's top.
    double room(double height) {
        if (y_ + height > paper_.height - SheetMargin && y_ > SheetMargin) newPage();
        const double top = y_;
        y_ += height;
        return top;
    }
    void text(const std::string& text, double size, Face face = Face::Proportional, bool bold = false,
              Align align = Align::Left) {
        const double top = room(size * 1.35);
        const double x = align == Align::Centre ? paper_.width / 2 : SheetMargin;
        pages_.back().items.push_back(PageText{{x, top + size}, text, size, face, bold, align});
    }
    void space(double points) { y_ += points; }
    void figure(const Figure& f) {
        const double top = room(f.height);
        place(pages_.back(), f, {(paper_.width - f.width) / 2, top});
    }
    std::vector<Page> finish() {
        const int count = static_cast<int>(pages_.size());
        for (int i = 0; count > 1 && i < count; ++i)
            pages_[static_cast<std::size_t>(i)].items.push_back(
                PageText{{paper_.width / 2, paper_.height - SheetMargin / 2},
                         "page " + std::to_string(i + 1) + " of " + std::to_string(count), 8, Face::Proportional, false,
                         Align::Centre, 0, DarkGrey});
        return std::move(pages_);
    }

private:
    void newPage() {
        pages_.push_back(Page{paper_.width, paper_.height, {}});
        y_ = SheetMargin;
    }

    PaperSize paper_;
    std::vector<Page> pages_;
    double y_ = 0;
};

// "Cambridge" for the library's "Cambridge S"; a notation text as it is.
std::string shortName(const std::string& name) { return baseMethodName(name); }

bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

}  // namespace

std::string methodTitle(const std::string& name) {
    const auto ends = [&](const std::string& suffix) {
        return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (ends(" S")) return name.substr(0, name.size() - 2) + " Surprise Major";
    if (ends(" D")) return name.substr(0, name.size() - 2) + " Delight Major";
    if (ends(" TB")) return name.substr(0, name.size() - 3) + " Treble Bob Major";
    return name;
}

std::vector<Page> compositionSheet(const Composition& composition, const MethodLibrary& library,
                                   const MusicTable* music, const SheetOptions& options) {
    if (composition.leadCount() == 0) return {};
    PageFlow flow(options.paper);
    std::vector<std::string> layout = linesOf(layoutText(composition, library, false));
    // The title is the layout's first line; the composer's line is set
    // under it in the proportional face, and "Contains" is written below
    // with all-the-work beside it.
    const std::string title = layout.front();
    layout.erase(layout.begin());
    layout.erase(std::remove_if(layout.begin(), layout.end(),
                                [](const std::string& l) { return startsWith(l, "Contains") || composerOfLine(l); }),
                 layout.end());
    flow.text(title, SheetTitleSize, Face::Proportional, true, Align::Centre);
    const std::string composer = !options.composer.empty()       ? options.composer
                                 : !composition.composer().empty() ? composerLine(composition.composer())
                                                                   : std::string();
    if (!composer.empty()) flow.text(composer, SheetTextSize + 1, Face::Proportional, false, Align::Centre);
    flow.space(12);

    std::size_t widest = 0;
    for (const std::string& l : layout) widest = std::max(widest, l.size());
    const double fitting = widest == 0 ? SheetCallingSize : flow.width() / (static_cast<double>(widest) * FixedAdvance);
    const double callingSize = std::max(SheetSmallestCalling, std::min(SheetCallingSize, fitting));
    for (const std::string& l : layout) flow.text(l, callingSize, Face::Fixed);
    flow.space(10);

    const MethodBalance balance = methodBalance(composition);
    std::string contains = "Contains";
    for (std::size_t i = 0; i < balance.methods.size(); ++i)
        contains += " " + std::to_string(balance.methods[i].changes) + " " + shortName(balance.methods[i].name) +
                    (i + 1 < balance.methods.size() ? "," : "");
    if (balance.methods.size() > 1) contains += "; " + std::to_string(balance.changesOfMethod) + " changes of method";
    if (!balance.methods.empty())
        contains += balance.allTheWork() ? "; all the work of each method"
                                         : "; " + std::to_string(balance.piecesRung()) + " of " +
                                               std::to_string(balance.piecesPossible()) + " pieces of work";
    contains += ".";
    for (const std::string& l : wrapped(contains, SheetTextSize, flow.width())) flow.text(l, SheetTextSize);

    if (music != nullptr) {
        const std::vector<MusicCount> counts = musicCounts(composition, *music);
        if (!counts.empty()) {
            flow.space(8);
            flow.text("Music", SheetTextSize, Face::Proportional, true);
            std::size_t width = 0;
            for (const MusicCount& c : counts) width = std::max(width, std::to_string(c.rows).size());
            for (const MusicCount& c : counts) {
                std::string count = std::to_string(c.rows);
                count.insert(0, width - count.size(), ' ');
                flow.text(count + "  " + c.title, SheetTextSize - 1, Face::Fixed);
            }
        }
    }

    flow.space(16);
    for (const MethodFigures& m : balance.methods) {
        const MajorMethod method(m.notation, library);
        const BlueLine line = blueLine(method, methodTitle(m.name), {}, SheetBlueLine);
        if (line.figure.items.empty()) continue;
        flow.figure(line.figure);
        flow.space(14);
    }
    return flow.finish();
}

}  // namespace quarnel
