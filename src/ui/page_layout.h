#pragma once

#include <string>
#include <vector>

#include "platform/dialog_model.h"

namespace sondrix {

// Where the controls of a page or popup go, computed once for every window
// that shows the models: each toolkit measures its own controls (its font,
// its DPI) and places them where this says, so that the windows cannot
// drift apart. All lengths are in the toolkit's pixels; the spacings below
// are at 96 dots per inch and grow with the toolkit's scale.

struct SLayoutSize {
    int width = 0;
    int height = 0;
};

struct SLayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
};

struct SLayoutMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// How a control sits in its group.
enum class EPlacement {
    Field,   // caption | control (| the button that follows)
    Button,  // runs of buttons side by side
    Choice,  // runs of check boxes and radios, one under the other
    Wide,    // the whole width: texts, lists, pictures, bars
};

EPlacement PlacementOf(const SControl& control);
// OK and Cancel of a popup, outside every group: a row at the bottom.
bool IsDialogButton(const SControl& control);

// Spacing of pages, at 96 dots per inch.
constexpr int kLayoutRowSpacing = 4;
constexpr int kLayoutColumnSpacing = 6;
constexpr int kLayoutBoxMargin = 8;

// Columns of a run's grid: check boxes and radios one under the other (two
// columns for a long list), buttons side by side as far as they fit in
// about 330 pixels (at 96 dpi; `widest` is in the same unit), spread evenly
// over the rows.
int RunColumns(EPlacement placement, int count, int widest);

// Group boxes spread over columns: each, in order, goes to the column that
// is shortest so far.
struct SSectionColumns {
    std::vector<int> columnOf;  // per section
    std::vector<int> heights;   // per column
    std::vector<int> widths;    // per column
};
SSectionColumns AssignColumns(const std::vector<SLayoutSize>& sections, int count, int spacing);
// The column count (1..3) that keeps the sections closest to the room a
// 1366 x 768 laptop leaves for a page (1240 x 470 at 96 dpi, times `scale`).
int ChooseColumnCount(const std::vector<SLayoutSize>& sections, int spacing, double scale = 1.0);

// What a toolkit tells of its controls, in its own pixels.
class ILayoutMetrics {
  public:
    virtual ~ILayoutMetrics() = default;
    // The size the control's own widget asks for.
    virtual SLayoutSize ControlSize(const CDialogModel& model, const SControl& control) const = 0;
    // Whether the control takes the room its cell has spare (lists, the
    // fingerprint image) or keeps its own size (a picture drawn to size).
    virtual bool Stretches(const CDialogModel& model, const SControl& control) const = 0;
    // A caption beside a field, a list or a run.
    virtual SLayoutSize LabelSize(const std::string& text) const = 0;
    // The room a group box's frame and caption take around its contents.
    virtual SLayoutMargins GroupFrame(const std::string& caption) const = 0;
    // Toolkit pixels per pixel at 96 dots per inch.
    virtual double Scale() const = 0;
};

// A control's place on the page (and its caption's, when it has one).
struct SPlacedControl {
    int id = 0;
    SLayoutRect rect;
    bool hasLabel = false;
    SLayoutRect label;
};

struct SPlacedGroup {
    std::string caption;  // empty: controls outside every group (no frame)
    SLayoutRect rect;
};

struct SPageLayout {
    SLayoutSize natural;                   // the size that shows everything, nothing squeezed
    std::vector<SPlacedControl> controls;  // the visible controls
    std::vector<SPlacedGroup> groups;      // the groups with a visible control
    const SPlacedControl* Find(int id) const;
};

// Lays the visible controls of `model` out on a page of `area`; an area
// smaller than the natural size (or empty) gets the natural size. Spare
// height goes to the lists and the image, spare width to the columns.
SPageLayout LayOutPage(const CDialogModel& model, const ILayoutMetrics& metrics,
                       SLayoutSize area = {});

// The main window's height shared out: what a window of `room` shows.
struct SWindowParts {
    int header = 0;         // the header picture's row (with its spacing)
    int chrome = 0;         // menu, margins, message line row, splitter handle
    SLayoutSize pages;      // the tab control showing the tallest page
    int tracer = 0;         // the tracer's usual rows
    int tracerMinimum = 0;  // its heading and three rows
    int width = 0;          // the widest of everything but the pages
};
struct SWindowFit {
    bool showHeader = true;
    SLayoutSize window;  // the client area
    int pages = 0;       // the tab control's height
    int tracer = 0;      // the tracer's height
};
// The header goes first when the screen is short: the pages and a tracer of
// a few rows matter more. On a small screen (the dialog's compact rule) the
// window takes `compact` at most and the pages scroll.
SWindowFit FitWindow(const SWindowParts& parts, SLayoutSize room, bool smallScreen,
                     SLayoutSize compact);
// How the splitter shares `total` between the pages and the tracer: the pages
// what they ask for as far as the tracer keeps its minimum.
int PagesShare(int total, int pagesWanted, int tracerMinimum);

}  // namespace sondrix
